#include "platform/controls/MaskedLineEdit.h"

#include "db/Errors.h"
#include "platform/controls/TypedKeys.h"
#include "platform/dialogs/MessageBoxes.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QScopedValueRollback>

namespace platform {
namespace {

QString withCase(const QString &text, MaskedLineEdit::CharCase charCase) {
    switch (charCase) {
    case MaskedLineEdit::CharCase::Upper:
        return QLocale::system().toUpper(text);
    case MaskedLineEdit::CharCase::Lower:
        return QLocale::system().toLower(text);
    case MaskedLineEdit::CharCase::Normal:
        break;
    }
    return text;
}

QString clipboardLine() {
    QString text = QGuiApplication::clipboard()->text();
    text.remove(u'\r');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

MaskedLineEdit::MaskedLineEdit(QWidget *parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, &MaskedLineEdit::onTextEdited);
}

void MaskedLineEdit::setEditMask(const QString &mask) {
    if (mask == m_mask.maskString())
        return;
    m_mask = EditMask(mask);
    setAcceptDrops(m_mask.isEmpty());
    setMaxLength(m_mask.isEmpty() ? 32767 : m_mask.length());
}

void MaskedLineEdit::showText(const QString &text) {
    if (text != this->text())
        setText(text);
    setModified(false);
    m_shown = text;
}

QString MaskedLineEdit::storedText() const {
    if (!isMasked())
        return text();
    const std::optional<QString> stored = m_mask.storedText(text());
    if (!stored)
        throw db::DatabaseError(EditMask::InvalidInputMessage.toString());
    return *stored;
}

void MaskedLineEdit::selectFromStart() {
    const int length = int(text().size());
    setSelection(length, -length);
}

void MaskedLineEdit::revert() {
    showText(m_shown);
}

MaskedLineEdit::KeyKind MaskedLineEdit::kindOf(const QKeyEvent *event) {
    if (event->matches(QKeySequence::Paste))
        return KeyKind::Paste;
    if (event->matches(QKeySequence::Cut))
        return KeyKind::Cut;
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll))
        return KeyKind::Navigation;
    for (QKeySequence::StandardKey k :
         {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::DeleteEndOfLine,
          QKeySequence::DeleteEndOfWord, QKeySequence::DeleteStartOfWord,
          QKeySequence::DeleteCompleteLine})
        if (event->matches(k))
            return KeyKind::OtherChange;
    const Qt::KeyboardModifiers mods =
        event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (event->key() == Qt::Key_Backspace && mods == Qt::NoModifier)
        return KeyKind::EraseBack;
    if (event->key() == Qt::Key_Delete && mods == Qt::NoModifier)
        return KeyKind::EraseForward;
    return typedText(event).isEmpty() ? KeyKind::Navigation : KeyKind::Typing;
}

void MaskedLineEdit::keyPressEvent(QKeyEvent *event) {
    event->ignore();
    emit keyDown(event);
    if (event->isAccepted())
        return;
    event->accept();
    if (handleKey(event))
        return;
    if (event->matches(QKeySequence::SelectAll)) {
        selectFromStart();
        return;
    }
    switch (kindOf(event)) {
    case KeyKind::Navigation:
        QLineEdit::keyPressEvent(event);
        return;
    case KeyKind::Typing:
        typeText(event->text(), true);
        return;
    case KeyKind::EraseBack:
    case KeyKind::EraseForward:
        if (isMasked()) {
            eraseMasked(event->key() == Qt::Key_Backspace);
        } else if (prepareChange()) {
            QScopedValueRollback<bool> inChange(m_inChange, true);
            QLineEdit::keyPressEvent(event);
        }
        return;
    case KeyKind::Paste:
        pasteText();
        return;
    case KeyKind::Cut:
        cutText();
        return;
    case KeyKind::OtherChange:
        // Under a mask only the mask's own steps change the text.
        if (!isMasked() && prepareChange()) {
            QScopedValueRollback<bool> inChange(m_inChange, true);
            QLineEdit::keyPressEvent(event);
        }
        return;
    }
}

bool MaskedLineEdit::prepareChange() {
    if (!changeAllowed())
        return false;
    aboutToChange();
    return true;
}

void MaskedLineEdit::typeText(const QString &raw, bool hooks) {
    // Before the hooks and the filter, which see one UTF-16 unit at a time.
    if (changeAllowed())
        refuseUnstorable(raw);
    QString chars;
    for (QChar c : raw) {
        QChar key = c;
        if (hooks)
            emit keyPress(&key);
        if (key.isNull())
            continue;
        if (!isMasked() && m_charFilter && !m_charFilter(key)) {
            QApplication::beep();
            continue;
        }
        chars += key;
    }
    chars = withCase(chars, m_charCase);
    if (chars.isEmpty())
        return;
    if (!isMasked()) {
        if (!prepareChange())
            return;
        QScopedValueRollback<bool> inChange(m_inChange, true);
        insert(chars);
        return;
    }
    auto typed = [&]() -> std::optional<EditMask::Edit> {
        QString text = this->text();
        int cursor = cursorPosition();
        if (hasSelectedText()) {
            const EditMask::Edit erased = m_mask.eraseRange(text, selectionStart(), selectionEnd());
            text = erased.text;
            cursor = erased.cursor;
        }
        return m_mask.typeText(text, cursor, chars);
    };
    // A character the mask refuses changes nothing, the record included.
    if (!typed()) {
        QApplication::beep();
        return;
    }
    if (!prepareChange())
        return;
    if (const std::optional<EditMask::Edit> edit = typed())
        applyMasked(*edit);
}

void MaskedLineEdit::applyMasked(const EditMask::Edit &edit) {
    setText(edit.text);
    setCursorPosition(edit.cursor);
    setModified(true);
}

void MaskedLineEdit::eraseMasked(bool backward) {
    auto erased = [&] {
        if (hasSelectedText())
            return m_mask.eraseRange(text(), selectionStart(), selectionEnd());
        return backward ? m_mask.backspace(text(), cursorPosition())
                        : m_mask.deleteChar(text(), cursorPosition());
    };
    const EditMask::Edit first = erased();
    if (first.text == text()) {
        setCursorPosition(first.cursor); // nothing to erase: only the cursor moves
        return;
    }
    if (prepareChange())
        applyMasked(erased());
}

void MaskedLineEdit::pasteText() {
    const QString clip = withCase(clipboardLine(), m_charCase);
    if (changeAllowed())
        refuseUnstorable(clip);
    if (!isMasked()) {
        if (clip.isEmpty() && !hasSelectedText())
            return;
        if (!prepareChange())
            return;
        QScopedValueRollback<bool> inChange(m_inChange, true);
        insert(clip);
        return;
    }
    // Under a mask each character lands where the mask takes it; the others are skipped.
    auto pasted = [&] {
        EditMask::Edit edit{text(), cursorPosition()};
        if (hasSelectedText())
            edit = m_mask.eraseRange(edit.text, selectionStart(), selectionEnd());
        for (QChar c : clip)
            if (std::optional<EditMask::Edit> next = m_mask.typeChar(edit.text, edit.cursor, c))
                edit = std::move(*next);
        return edit;
    };
    if (pasted().text == text())
        return;
    if (prepareChange())
        applyMasked(pasted());
}

void MaskedLineEdit::cutText() {
    if (!hasSelectedText())
        return;
    copy();
    if (isMasked()) {
        eraseMasked(true);
    } else if (prepareChange()) {
        QScopedValueRollback<bool> inChange(m_inChange, true);
        del();
    }
}

// Changes that came another way than the keys above: the line edit's own menu, a drop, an
// input method. The record is put into edit afterwards, keeping the new text.
void MaskedLineEdit::onTextEdited() {
    if (m_inChange)
        return;
    if (isMasked() || !changeAllowed()) {
        revert();
        return;
    }
    const QString text = this->text();
    const int cursor = cursorPosition();
    // A signal of the line edit's own code: a refusal is shown here, not raised through it.
    bool storable = false;
    try {
        refuseUnstorable(text);
        storable = true;
        aboutToChange();
    } catch (...) {
        // Unstorable text takes back this change alone; a refused edit drops the change too.
        if (!storable && isUndoAvailable()) {
            QScopedValueRollback<bool> inChange(m_inChange, true); // the undo is no new change
            undo();
        } else {
            revert();
        }
        showException(std::current_exception(), this);
        return;
    }
    if (this->text() != text) {
        setText(text);
        setCursorPosition(cursor);
    }
    setModified(true);
}

void MaskedLineEdit::inputMethodEvent(QInputMethodEvent *event) {
    if (!event->commitString().isEmpty() && event->preeditString().isEmpty() &&
        event->replacementLength() == 0) {
        event->accept();
        typeText(event->commitString(), true);
        return;
    }
    if (isMasked()) {
        event->accept(); // no composing under a mask
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void MaskedLineEdit::contextMenuEvent(QContextMenuEvent *event) {
    if (!isMasked()) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    // The line edit's own menu would change the text behind the mask's back.
    QMenu menu(this);
    QAction *cut = menu.addAction(QStringLiteral("Cor&tar"));
    cut->setEnabled(hasSelectedText() && changeAllowed());
    QAction *copyAction = menu.addAction(QStringLiteral("&Copiar"));
    copyAction->setEnabled(hasSelectedText());
    QAction *paste = menu.addAction(QStringLiteral("&Pegar"));
    paste->setEnabled(changeAllowed() && !QGuiApplication::clipboard()->text().isEmpty());
    menu.addSeparator();
    QAction *all = menu.addAction(QStringLiteral("Seleccionar &todo"));
    QAction *chosen = menu.exec(event->globalPos());
    if (chosen == cut)
        cutText();
    else if (chosen == copyAction)
        copy();
    else if (chosen == paste)
        pasteText();
    else if (chosen == all)
        selectAll();
}

} // namespace platform
