#pragma once

#include "platform/controls/FieldLink.h"

#include <QPlainTextEdit>

namespace platform {

// Data-bound memo: several lines of text stored whole in one column when the user leaves it
// or the record is posted. The value is assigned as it stands (no set-text hook). Typing
// stops at the length limit (the field's size unless set); with upper-case typing on, each
// typed character is entered in upper case under the system locale, while pasted text keeps
// its case. The first change puts the record set into edit; Escape drops pending text. Text
// with a character the database cannot store is refused where it is typed or pasted.
class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget *parent = nullptr);

    void setDataSource(db::DataSource *source) { m_link.setSource(source); }
    db::DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataField(const QString &name) { m_link.setFieldName(name); }
    const QString &dataField() const { return m_link.fieldName(); }
    db::Field *field() const { return m_link.field(); }

    void setMaxLength(int length) { m_maxLength = length; } // 0: the field's size
    int maxLength() const;
    void setUpperCaseTyping(bool on) { m_upperCaseTyping = on; }
    bool upperCaseTyping() const { return m_upperCaseTyping; }

    bool isModified() const { return m_modified; }
    // Writes changed text into the field; on refusal the focus comes here and the error
    // passes on.
    void updateRecord();
    // Shows the field's value again, dropping pending text.
    void reset();

signals:
    // Before the memo handles a key. A handler that calls event->accept() consumes it.
    void keyDown(QKeyEvent *event);
    // Each typed character before it is entered: a handler may replace it, or drop it by
    // setting it to QChar().
    void keyPress(QChar *key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    bool changeAllowed() const;
    int room() const; // characters that still fit, the selection counted as free
    void onTextChanged();

    FieldLink m_link;
    int m_maxLength = 0;
    bool m_upperCaseTyping = false;
    bool m_modified = false;
    bool m_showing = false;
    bool m_inChange = false;
};

} // namespace platform
