#include "platform/controls/DBMemo.h"

#include "db/RecordSet.h"
#include "platform/controls/TypedKeys.h"
#include "platform/dialogs/MessageBoxes.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QScopedValueRollback>

#include <algorithm>

namespace platform {
namespace {

bool changesText(const QKeyEvent *event) {
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return true;
    for (QKeySequence::StandardKey k :
         {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo,
          QKeySequence::DeleteEndOfLine, QKeySequence::DeleteEndOfWord,
          QKeySequence::DeleteStartOfWord, QKeySequence::DeleteCompleteLine})
        if (event->matches(k))
            return true;
    return false;
}

} // namespace

DBMemo::DBMemo(QWidget *parent)
    : QPlainTextEdit(parent), m_link(this, {.show = [this] { reset(); },
                                            .editingChanged =
                                                [this] {
                                                    if (!m_modified)
                                                        reset();
                                                },
                                            .writePending = [this] { updateRecord(); }}) {
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::onTextChanged);
    reset();
}

int DBMemo::maxLength() const {
    if (m_maxLength > 0)
        return m_maxLength;
    const db::Field *f = m_link.field();
    const bool text =
        f && (f->type() == db::FieldType::String || f->type() == db::FieldType::FixedChar);
    return text && f->size() > 0 ? f->size() : 0;
}

int DBMemo::room() const {
    const int max = maxLength();
    if (max <= 0)
        return INT_MAX;
    const int selected = int(textCursor().selectedText().size());
    return std::max(0, max - int(toPlainText().size()) + selected);
}

bool DBMemo::changeAllowed() const {
    return !isReadOnly() && m_link.canModify();
}

void DBMemo::reset() {
    const db::Field *f = m_link.field();
    QString text;
    if (f && m_link.active()) {
        text = f->asString();
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }
    if (text != toPlainText()) {
        QScopedValueRollback<bool> showing(m_showing, true);
        setPlainText(text);
    }
    m_modified = false;
    setEnabled(m_link.active());
}

void DBMemo::updateRecord() {
    if (!m_modified)
        return;
    if (!m_link.field() || !m_link.active())
        return;
    try {
        m_link.writeString(toPlainText());
    } catch (...) {
        setFocus();
        throw;
    }
    reset();
}

void DBMemo::keyPressEvent(QKeyEvent *event) {
    event->ignore();
    emit keyDown(event);
    if (event->isAccepted())
        return;
    event->accept();
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_modified)
            reset();
        else
            event->ignore();
        return;
    }
    if (const QString typed = typedText(event); !typed.isEmpty()) {
        if (changeAllowed())
            refuseUnstorable(typed); // whole, before the hooks see one unit at a time
        QString chars;
        for (QChar c : typed) {
            QChar key = c;
            emit keyPress(&key);
            if (!key.isNull())
                chars += key;
        }
        if (m_upperCaseTyping)
            chars = QLocale::system().toUpper(chars);
        if (chars.isEmpty() || !changeAllowed())
            return;
        if (chars.size() > room()) {
            QApplication::beep();
            return;
        }
        m_link.edit();
        QScopedValueRollback<bool> inChange(m_inChange, true);
        insertPlainText(chars);
        return;
    }
    if (changesText(event)) {
        if (!changeAllowed())
            return;
        if (event->matches(QKeySequence::Paste))
            refuseUnstorable(QGuiApplication::clipboard()->text()); // before the edit starts
        const bool newLine = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (newLine && room() < 1) {
            QApplication::beep();
            return;
        }
        m_link.edit();
        QScopedValueRollback<bool> inChange(m_inChange, true);
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DBMemo::insertFromMimeData(const QMimeData *source) {
    if (!source || !source->hasText())
        return;
    // Called from the memo's own code (its menu, a drop): a refusal is shown here.
    try {
        refuseUnstorable(source->text());
    } catch (...) {
        showException(std::current_exception(), this);
        return;
    }
    // Pasted text keeps its case; what does not fit is left out.
    const QString text = source->text().left(room());
    if (!text.isEmpty() || textCursor().hasSelection())
        insertPlainText(text);
}

// Any change that did not come through the keys above (the memo's menu, a drop): the record
// goes into edit afterwards, keeping the new text.
void DBMemo::onTextChanged() {
    if (m_showing)
        return;
    if (m_inChange) {
        m_modified = true;
        return;
    }
    if (!changeAllowed()) {
        reset();
        return;
    }
    const QString text = toPlainText();
    const int position = textCursor().position();
    try {
        m_link.edit();
    } catch (...) {
        reset();
        showException(std::current_exception(), this); // not raised through the memo's code
        return;
    }
    if (toPlainText() != text) {
        QScopedValueRollback<bool> showing(m_showing, true);
        setPlainText(text);
        QTextCursor cursor = textCursor();
        cursor.setPosition(std::min(position, int(text.size())));
        setTextCursor(cursor);
    }
    m_modified = true;
}

void DBMemo::focusOutEvent(QFocusEvent *event) {
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    updateRecord();
}

} // namespace platform
