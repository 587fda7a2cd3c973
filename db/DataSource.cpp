#include "db/DataSource.h"

#include "db/RecordSet.h"

namespace db {

DataLink::~DataLink() {
    setDataSource(nullptr);
}

void DataLink::setDataSource(DataSource *source) {
    if (m_source == source)
        return;
    if (m_source)
        m_source->m_links.removeOne(this);
    m_source = source;
    if (m_source)
        m_source->m_links.append(this);
}

RecordSet *DataLink::dataSet() const {
    return m_source ? m_source->dataSet() : nullptr;
}

DataSource::DataSource(QObject *parent) : QObject(parent) {}

DataSource::DataSource(RecordSet *dataSet, QObject *parent) : QObject(parent) {
    setDataSet(dataSet);
}

DataSource::~DataSource() {
    setDataSet(nullptr);
    for (DataLink *l : std::as_const(m_links))
        l->m_source = nullptr;
}

void DataSource::setDataSet(RecordSet *dataSet) {
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        m_dataSet->m_sources.removeOne(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->m_sources.append(this);
    notify(DataEvent::ActiveChanged);
}

void DataSource::notify(DataEvent event, Field *field) {
    // A link may detach itself while it is told.
    const QList<DataLink *> links = m_links;
    for (DataLink *l : links)
        if (m_links.contains(l))
            l->dataEvent(event, field);
}

void DataSource::notifyDetails(MasterEvent event) {
    const QList<DataLink *> links = m_links;
    for (DataLink *l : links)
        if (m_links.contains(l))
            l->masterEvent(event);
}

} // namespace db
