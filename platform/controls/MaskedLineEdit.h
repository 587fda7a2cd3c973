#pragma once

#include "platform/controls/EditMask.h"

#include <QLineEdit>

#include <functional>

namespace platform {

// A line edit that edits under our edit mask (EditMask), turns typed letters to upper or
// lower case on request, offers each typed character to a hook first, and asks its owner
// before the user's first change (a data-aware control starts the record's edit there).
// DBEdit and the grid's cell editor build on it.
//
// Masked: printable keys, Backspace, Delete, cut and paste go through the mask engine; other
// changing keys (undo, delete word, ...) do nothing. Unmasked: the line edit's own editing.
// Text with a character the database cannot store (none in code page 1252) is refused where
// it is typed or pasted, with the database layer's message; the text stays as it was.
class MaskedLineEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class CharCase { Normal, Upper, Lower };
    Q_ENUM(CharCase)

    explicit MaskedLineEdit(QWidget *parent = nullptr);

    // "M;S;B" as the mask engine reads it; empty for free text.
    void setEditMask(const QString &mask);
    const EditMask &editMask() const { return m_mask; }
    bool isMasked() const { return !m_mask.isEmpty(); }

    void setCharCase(CharCase charCase) { m_charCase = charCase; }
    CharCase charCase() const { return m_charCase; }

    // Which typed characters an unmasked edit takes (all without a filter).
    void setCharFilter(std::function<bool(QChar)> filter) { m_charFilter = std::move(filter); }

    // Shows text as it stands (already shaped by the mask where there is one) and clears
    // the modified flag.
    void showText(const QString &text);
    // The text to store: through the mask when there is one. A mask that refuses the text
    // raises db::DatabaseError with EditMask::InvalidInputMessage.
    QString storedText() const;
    // Selects the whole text with the caret at its start, so that the start is in view.
    void selectFromStart();

signals:
    // Before the control handles a key. A handler that calls event->accept() consumes it.
    void keyDown(QKeyEvent *event);
    // Each typed character, before the control enters it. A handler may replace it, or set
    // it to QChar() to drop it.
    void keyPress(QChar *key);

protected:
    // The control's own keys, before editing keys; true when the key was handled.
    virtual bool handleKey(QKeyEvent *) { return false; }
    // Whether the user may change the text now.
    virtual bool changeAllowed() const { return !isReadOnly(); }
    // Runs before each change the user makes; raising refuses the change, which leaves the
    // text as it was.
    virtual void aboutToChange() {}
    // Drops a change that could not be made: shows the last text shown again.
    virtual void revert();

    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    enum class KeyKind { Navigation, Typing, EraseBack, EraseForward, Paste, Cut, OtherChange };
    static KeyKind kindOf(const QKeyEvent *event);

    void typeText(const QString &raw, bool hooks);
    bool prepareChange();
    void applyMasked(const EditMask::Edit &edit);
    void eraseMasked(bool backward);
    void pasteText();
    void cutText();
    void onTextEdited();

    EditMask m_mask;
    CharCase m_charCase = CharCase::Normal;
    std::function<bool(QChar)> m_charFilter;
    QString m_shown;
    bool m_inChange = false;
};

} // namespace platform
