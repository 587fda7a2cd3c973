#include "platform/controls/DBEdit.h"

#include "db/RecordSet.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>

namespace platform {

DBEdit::DBEdit(QWidget *parent)
    : MaskedLineEdit(parent), m_link(this, {.show = [this] { refresh(); },
                                            .editingChanged =
                                                [this] {
                                                    if (!isModified())
                                                        refresh();
                                                },
                                            .writePending = [this] { updateRecord(); }}) {
    setCharFilter([this](QChar c) {
        const db::Field *f = m_link.field();
        return !f || fieldTakesChar(*f, c);
    });
    reset();
}

void DBEdit::reset() {
    db::Field *f = m_link.field();
    if (!f || !m_link.active()) {
        setEditMask(QString());
        showText(QString());
        setEnabled(m_link.active());
        return;
    }
    setEnabled(true);
    setEditMask(f->editMask);
    if (!isMasked()) {
        const bool text =
            f->type() == db::FieldType::String || f->type() == db::FieldType::FixedChar;
        const int length = text && f->size() > 0 ? f->size() : 32767;
        if (maxLength() != length)
            setMaxLength(length); // sets the text again, losing the selection
    }
    // Set only when it changes: setting it repaints the box, as a new text does.
    const Qt::Alignment alignment = (f->alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    if (this->alignment() != alignment)
        setAlignment(alignment);
    QString shown;
    if (isMasked())
        shown = editMask().displayText(f->editText());
    else if (hasFocus() && changeAllowed())
        shown = f->editText();
    else
        shown = f->displayText();
    showText(shown);
    // Without the focus the text shows from its first character, however wide it is.
    if (!hasFocus())
        setCursorPosition(0);
}

// The record changed under the box: a box with the focus selects its new text from the
// start, so that typing replaces it.
void DBEdit::refresh() {
    reset();
    if (hasFocus() && !m_startingEdit)
        selectFromStart();
}

void DBEdit::updateRecord() {
    if (!isModified())
        return;
    if (!m_link.field() || !m_link.active())
        return;
    try {
        m_link.writeText(storedText());
    } catch (...) {
        setFocus();
        throw;
    }
    reset();
}

bool DBEdit::handleKey(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && isModified()) {
        reset();
        selectFromStart();
        return true;
    }
    return false;
}

bool DBEdit::changeAllowed() const {
    return !isReadOnly() && m_link.canModify();
}

void DBEdit::aboutToChange() {
    // The edit this starts is the user's own change, not a change under the box.
    QScopedValueRollback<bool> starting(m_startingEdit, true);
    m_link.edit();
}

void DBEdit::focusInEvent(QFocusEvent *event) {
    if (!isModified())
        reset(); // the edit text while the focus is here
    MaskedLineEdit::focusInEvent(event);
    // Entering other than by a click selects the whole text, shown from its start: typing
    // replaces it, and a long mask is not shown by its tail. Coming back to the window
    // keeps what the box had when the window was left.
    const Qt::FocusReason reason = event->reason();
    const bool back = m_leftWithWindow &&
                      (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason);
    m_leftWithWindow = false;
    if (reason != Qt::MouseFocusReason && !back)
        selectFromStart();
}

void DBEdit::focusOutEvent(QFocusEvent *event) {
    MaskedLineEdit::focusOutEvent(event);
    // Another window or a popup coming up is no leaving of the box.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) {
        m_leftWithWindow = true;
        return;
    }
    if (isModified())
        updateRecord();
    else
        reset();
}

} // namespace platform
