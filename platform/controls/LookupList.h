#pragma once

#include "db/DataSource.h"

#include <QStringList>
#include <QVariant>
#include <QVector>

namespace platform {

// The entries a lookup field offers: the result text and the key of every row of its list
// record set, loaded when first needed and again after the list has changed (reopened,
// scrolled, edited). Loading fetches every row of the list.
class LookupList final : public db::DataLink {
public:
    LookupList();
    ~LookupList() override;
    LookupList(const LookupList &) = delete;
    LookupList &operator=(const LookupList &) = delete;

    // Follows the list of a lookup field; none for any other field or none at all.
    void follow(const db::Field *lookupField);
    db::RecordSet *listSet() const { return m_source.dataSet(); }

    // Loads the entries when the list changed since the last load; true when it did.
    bool refresh();
    int count() const { return int(m_keys.size()); }
    const QStringList &texts() const { return m_texts; }
    QVariant key(int index) const { return m_keys.value(index); }
    int indexOfKey(const QVariant &key) const;      // -1 when no entry has it
    int indexOfPrefix(const QString &prefix) const; // first text beginning so, any case
    bool textual() const;                           // whether the shown column is text

    // Makes the entry with this key the list record set's current row (its after-scroll
    // hooks run). What the list tells meanwhile is not taken for a change.
    void locate(const QVariant &key);

    void dataEvent(db::DataEvent event, db::Field *field) override;

private:
    db::DataSource m_source;
    QString m_keyField;
    QString m_resultField;
    QStringList m_texts;
    QVector<QVariant> m_keys;
    bool m_stale = true;
    bool m_quiet = false;
};

} // namespace platform
