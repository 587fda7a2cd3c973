#pragma once

#include "db/DataSource.h"

#include <QString>
#include <QVariant>

#include <functional>

class QWidget;

namespace db {
class Field;
class RecordSet;
} // namespace db

namespace platform {

// The link of one data-aware control to its data source and, for controls that show one
// field, to that field. It turns the data source's events into the few things a control does:
//  - show: show the value again (bound, opened or closed, moved, a change of what it shows);
//  - editingChanged: browse, edit or insert began (without it, show);
//  - writePending: before a post, write pending text into the field;
//  - focus: the record set asks for this field (without it, the control takes the focus).
// Binding a source or a field is shown at once. A control writes its field through the link
// (writeText, writeString, writeKey): the change it makes is not echoed back to it, so that a
// refusal after the store leaves its pending text alone; after a write it shows the value
// itself. The field is found by name whenever it is needed: fields made by an open without
// declared fields live for that open only.
class FieldLink final : public db::DataLink {
public:
    struct Callbacks {
        std::function<void()> show = {};
        std::function<void()> editingChanged = {};
        std::function<void()> writePending = {};
        std::function<void()> focus = {};
    };
    FieldLink(QWidget *control, Callbacks callbacks);

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

    // Each puts the record set into edit first, then stores; each raises what the record set
    // raises. Through the field's set-text rule:
    void writeText(const QString &text);
    // The text as it stands (empty is null), no set-text rule:
    void writeString(const QString &text);
    // Into the key column behind a lookup field (null clears it):
    void writeKey(const QVariant &key);

    // Whether a change of `changed` alters what the linked field shows.
    bool concerns(const db::Field *changed) const;

    void dataEvent(db::DataEvent event, db::Field *field) override;

private:
    template <class Store> void write(db::Field *target, Store store);

    QWidget *m_control;
    Callbacks m_callbacks;
    QString m_fieldName;
    bool m_writing = false; // while the control stores, the changes are its own
};

// Whether a character typed into a free (unmasked) box can belong to the field's value:
// digits and signs for integers, also the decimal marks and an exponent for decimals,
// anything for text and dates.
bool fieldTakesChar(const db::Field &field, QChar c);

} // namespace platform
