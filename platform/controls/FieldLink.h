#pragma once

#include "db/DataSource.h"

#include <QString>

#include <functional>

namespace db {
class Field;
class RecordSet;
} // namespace db

namespace platform {

// The link of one data-aware control to its data source and, for controls that show one
// field, to that field. Events go to the handler the control gives; binding a source or a
// field is announced to it as ActiveChanged, so the control shows the new binding at once.
// The field is found by name whenever it is needed: fields made by an open without declared
// fields live for that open only.
class FieldLink final : public db::DataLink {
public:
    using Handler = std::function<void(db::DataEvent, db::Field *)>;
    explicit FieldLink(Handler handler);

    void setSource(db::DataSource *source);
    void setFieldName(const QString &name);
    const QString &fieldName() const { return m_fieldName; }

    db::Field *field() const;    // null without a record set or a field of that name
    db::Field *keyField() const; // the key column behind a lookup field, else null
    bool active() const;         // a record set is there and open
    bool editing() const;        // in edit or insert
    bool canModify() const;      // open, writable, and the field takes values
    bool canModifySet() const;   // open and writable
    void edit();                 // puts the record set into edit unless it is editing

    // Whether a change of `changed` alters what the linked field shows.
    bool concerns(const db::Field *changed) const;

    void dataEvent(db::DataEvent event, db::Field *field) override;

private:
    Handler m_handler;
    QString m_fieldName;
};

// Whether a character typed into a free (unmasked) box can belong to the field's value:
// digits and signs for integers, also the decimal marks and an exponent for decimals,
// anything for text and dates.
bool fieldTakesChar(const db::Field &field, QChar c);

} // namespace platform
