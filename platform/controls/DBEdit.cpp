#include "platform/controls/DBEdit.h"

#include "db/RecordSet.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>

namespace platform {

DBEdit::DBEdit(QWidget *parent)
    : MaskedLineEdit(parent), m_link([this](db::DataEvent e, db::Field *f) { dataEvent(e, f); }) {
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
    setAlignment((f->alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
    QString shown;
    if (isMasked())
        shown = editMask().displayText(f->editText());
    else if (hasFocus() && changeAllowed())
        shown = f->editText();
    else
        shown = f->displayText();
    showText(shown);
}

void DBEdit::updateRecord() {
    if (!isModified())
        return;
    db::Field *f = m_link.field();
    if (!f || !m_link.active())
        return;
    try {
        const QString stored = storedText();
        m_link.edit();
        QScopedValueRollback<bool> writing(m_writing, true);
        f->setText(stored);
    } catch (...) {
        setFocus();
        throw;
    }
    reset();
}

void DBEdit::dataEvent(db::DataEvent event, db::Field *field) {
    switch (event) {
    case db::DataEvent::ActiveChanged:
    case db::DataEvent::DataSetChanged:
    case db::DataEvent::RecordChanged:
        reset();
        break;
    case db::DataEvent::StateChanged:
        if (!isModified())
            reset();
        break;
    case db::DataEvent::FieldChanged:
        // While this box writes, a refusal after the store must leave its text pending.
        if (!m_writing && m_link.concerns(field))
            reset();
        break;
    case db::DataEvent::UpdateData:
        updateRecord();
        break;
    case db::DataEvent::FocusField:
        if (field && field == m_link.field())
            setFocus();
        break;
    case db::DataEvent::MasterChanged:
        break;
    }
}

bool DBEdit::handleKey(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && isModified()) {
        reset();
        selectAll();
        return true;
    }
    return false;
}

bool DBEdit::changeAllowed() const {
    return !isReadOnly() && m_link.canModify();
}

void DBEdit::aboutToChange() {
    m_link.edit();
}

void DBEdit::focusInEvent(QFocusEvent *event) {
    if (!isModified())
        reset(); // the edit text while the focus is here
    MaskedLineEdit::focusInEvent(event);
    // Entering other than by a click selects the whole text, shown from its start: typing
    // replaces it, and a long mask is not shown by its tail.
    if (event->reason() != Qt::MouseFocusReason && event->reason() != Qt::ActiveWindowFocusReason &&
        event->reason() != Qt::PopupFocusReason)
        setSelection(int(text().size()), -int(text().size()));
}

void DBEdit::focusOutEvent(QFocusEvent *event) {
    MaskedLineEdit::focusOutEvent(event);
    // Another window or a popup coming up is no leaving of the box.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (isModified())
        updateRecord();
    else
        reset();
}

} // namespace platform
