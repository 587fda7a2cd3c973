#pragma once

#include <QList>
#include <QObject>

namespace db {

class Field;
class RecordSet;
class DataSource;

enum class DataEvent {
    ActiveChanged,  // opened or closed
    DataSetChanged, // moved, refreshed, a row added or dropped: show everything again
    StateChanged,   // browse, edit, insert
    FieldChanged,   // one field's value (field given)
    RecordChanged,  // the current record after a post or cancel
    UpdateData,     // before a post: write pending text into the fields
    FocusField,     // put the focus on the control of the field given
    MasterChanged   // opened, scrolled, edit or insert started, posted, cancelled, refreshed
};

// What a record set tells the record sets linked to it before it changes its record:
// settle your pending record (before it moves, posts, or starts an edit or insert), or
// drop it (before it cancels or refreshes).
enum class MasterEvent { Settle, Drop };

// Something that listens to a data source: a control, or a record set linked to a master.
class DataLink {
public:
    virtual ~DataLink();
    DataSource *dataSource() const { return m_source; }
    void setDataSource(DataSource *source);
    RecordSet *dataSet() const;

    virtual void dataEvent(DataEvent event, Field *field) = 0;
    // Only links of linked record sets act on these.
    virtual void masterEvent(MasterEvent) {}

private:
    friend class DataSource;
    DataSource *m_source = nullptr;
};

// Sits between one record set and its controls (Sinstalacion, Sarmarios, ...).
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject *parent = nullptr);
    explicit DataSource(RecordSet *dataSet, QObject *parent = nullptr);
    ~DataSource() override;

    RecordSet *dataSet() const { return m_dataSet; }
    void setDataSet(RecordSet *dataSet);

    // Called by the record set.
    void notify(DataEvent event, Field *field = nullptr);
    void notifyDetails(MasterEvent event);

private:
    friend class DataLink;
    friend class RecordSet;
    RecordSet *m_dataSet = nullptr;
    QList<DataLink *> m_links;
};

} // namespace db
