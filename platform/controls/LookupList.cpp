#include "platform/controls/LookupList.h"

#include "db/RecordSet.h"

#include <QScopedValueRollback>

namespace platform {

LookupList::LookupList() {
    setDataSource(&m_source);
}

LookupList::~LookupList() {
    setDataSource(nullptr);
}

void LookupList::follow(const db::Field *lookupField) {
    db::RecordSet *list = nullptr;
    QString keyField, resultField;
    if (lookupField && lookupField->kind() == db::FieldKind::Lookup) {
        list = lookupField->lookupDataSet;
        keyField = lookupField->lookupKeyField;
        resultField = lookupField->lookupResultField;
    }
    if (list == m_source.dataSet() && keyField == m_keyField && resultField == m_resultField)
        return;
    m_keyField = keyField;
    m_resultField = resultField;
    m_source.setDataSet(list);
    m_stale = true;
}

bool LookupList::refresh() {
    if (!m_stale)
        return false;
    m_texts.clear();
    m_keys.clear();
    db::RecordSet *list = m_source.dataSet();
    const db::Field *k = list ? list->findField(m_keyField) : nullptr;
    const db::Field *r = list ? list->findField(m_resultField) : nullptr;
    if (list && list->active() && k && r) {
        list->fetchAll();
        const int n = list->recordCount();
        m_texts.reserve(n);
        m_keys.reserve(n);
        for (int i = 0; i < n; ++i) {
            m_keys << list->valueAt(i, *k);
            m_texts << r->textOf(list->valueAt(i, *r), true);
        }
    }
    m_stale = false;
    return true;
}

int LookupList::indexOfKey(const QVariant &key) const {
    if (key.isNull())
        return -1;
    const db::RecordSet *list = m_source.dataSet();
    const db::Field *k = list ? list->findField(m_keyField) : nullptr;
    QVariant wanted = key;
    if (k) {
        try {
            wanted = k->convert(key);
        } catch (const db::DatabaseError &) {
            return -1; // no key of the list can look like this
        }
    }
    for (int i = 0; i < m_keys.size(); ++i)
        if (!m_keys[i].isNull() &&
            (m_keys[i] == wanted || m_keys[i].toString() == wanted.toString()))
            return i;
    return -1;
}

int LookupList::indexOfPrefix(const QString &prefix) const {
    for (int i = 0; i < m_texts.size(); ++i)
        if (m_texts[i].startsWith(prefix, Qt::CaseInsensitive))
            return i;
    return -1;
}

bool LookupList::textual() const {
    const db::RecordSet *list = m_source.dataSet();
    const db::Field *r = list ? list->findField(m_resultField) : nullptr;
    return r && (r->type() == db::FieldType::String || r->type() == db::FieldType::FixedChar);
}

void LookupList::locate(const QVariant &key) {
    db::RecordSet *list = m_source.dataSet();
    if (!list || !list->active() || key.isNull())
        return;
    QScopedValueRollback<bool> quiet(m_quiet, true);
    list->locate(m_keyField, key);
}

void LookupList::dataEvent(db::DataEvent event, db::Field *) {
    if (!m_quiet && event != db::DataEvent::MasterChanged && event != db::DataEvent::UpdateData &&
        event != db::DataEvent::FocusField)
        m_stale = true;
}

} // namespace platform
