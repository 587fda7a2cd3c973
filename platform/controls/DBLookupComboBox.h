#pragma once

#include "platform/controls/FieldLink.h"
#include "platform/controls/LookupList.h"

#include <QComboBox>

#include <functional>

namespace platform {

// Lookup combo box, bound to a lookup field (for example "Ngestor", key column GESTOR). It
// shows the text looked up for the record's key; its list shows the lookup list's result
// column. Choosing an entry writes that entry's key into the key column, putting the record
// set into edit first. With the list closed: letters typed select the first entry whose text
// begins with them (any case; at most 32 letters; a pause of more than 2 seconds, Backspace
// or Escape start a new search); Up and Down select the previous and next entry; Alt+Up and
// Alt+Down open and close the list.
class DBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    using Clock = std::function<qint64()>; // milliseconds, never going back
    static constexpr int MaxSearchLength = 32;
    static constexpr qint64 SearchPauseMs = 2000;

    explicit DBLookupComboBox(QWidget *parent = nullptr);

    void setDataSource(db::DataSource *source) { m_link.setSource(source); }
    db::DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataField(const QString &name) { m_link.setFieldName(name); }
    const QString &dataField() const { return m_link.fieldName(); }
    db::Field *field() const { return m_link.field(); }

    QString shownText() const { return m_text; } // what the box shows
    QVariant keyValue() const;                   // the record's key
    const QString &searchText() const { return m_search; }
    void setSearchClock(Clock clock) { m_clock = std::move(clock); }

    // The list's entries (loaded, fetching every row, when the list changed).
    QStringList entries();
    // Writes the key of entry `index` into the key column, after putting the record set into
    // edit. Raises what the record set raises.
    void selectEntry(int index);

    // Delete ("Supr") clears the key behind the box, putting the record set into edit first
    // (where its rules may refuse); the key goes on to the box afterwards. Off by default.
    void setClearOnDelete(bool clear) { m_clearOnDelete = clear; }
    bool clearOnDelete() const { return m_clearOnDelete; }

    void showPopup() override;

signals:
    // Before the box handles a key. A handler that calls event->accept() consumes it.
    void keyDown(QKeyEvent *event);
    // The box received the focus (not when its window or its list comes back).
    void entered();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showValue();
    void loadList();
    void search(QChar c);
    void step(int delta);
    void writeKey(const QVariant &key); // when the record set may be changed
    void storeKey(const QVariant &key);

    FieldLink m_link;
    LookupList m_list;
    QString m_text;
    QString m_search;
    qint64 m_lastSearchKey = 0;
    Clock m_clock;
    bool m_clearOnDelete = false;
};

} // namespace platform
