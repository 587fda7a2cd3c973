#include "platform/controls/FieldLink.h"

#include "db/RecordSet.h"

#include <QScopedValueRollback>
#include <QWidget>

namespace platform {

FieldLink::FieldLink(QWidget *control, Callbacks callbacks)
    : m_control(control), m_callbacks(std::move(callbacks)) {}

void FieldLink::setSource(db::DataSource *source) {
    setDataSource(source);
    dataEvent(db::DataEvent::ActiveChanged, nullptr);
}

void FieldLink::setFieldName(const QString &name) {
    m_fieldName = name;
    dataEvent(db::DataEvent::ActiveChanged, nullptr);
}

db::Field *FieldLink::field() const {
    db::RecordSet *rs = dataSet();
    return rs && !m_fieldName.isEmpty() ? rs->findField(m_fieldName) : nullptr;
}

db::Field *FieldLink::keyField() const {
    db::Field *f = field();
    if (!f || f->kind() != db::FieldKind::Lookup)
        return nullptr;
    return dataSet()->findField(f->keyField);
}

bool FieldLink::active() const {
    db::RecordSet *rs = dataSet();
    return rs && rs->active();
}

bool FieldLink::editing() const {
    db::RecordSet *rs = dataSet();
    return rs && rs->editing();
}

bool FieldLink::canModifySet() const {
    return active() && !dataSet()->readOnly();
}

bool FieldLink::canModify() const {
    if (!canModifySet())
        return false;
    const db::Field *f = field();
    if (!f)
        return false;
    switch (f->kind()) {
    case db::FieldKind::Data:
        return true;
    case db::FieldKind::Lookup: {
        const db::Field *k = keyField();
        return k && k->kind() == db::FieldKind::Data;
    }
    case db::FieldKind::Calculated:
        return false;
    }
    return false;
}

void FieldLink::edit() {
    db::RecordSet *rs = dataSet();
    if (rs && !rs->editing())
        rs->edit();
}

template <class Store> void FieldLink::write(db::Field *target, Store store) {
    edit();
    if (!target)
        return;
    QScopedValueRollback<bool> writing(m_writing, true);
    store(*target);
}

void FieldLink::writeText(const QString &text) {
    write(field(), [&](db::Field &f) { f.setText(text); });
}

void FieldLink::writeString(const QString &text) {
    write(field(), [&](db::Field &f) { f.setAsString(text); });
}

void FieldLink::writeKey(const QVariant &key) {
    write(keyField(), [&](db::Field &k) { k.setValue(key); });
}

bool FieldLink::concerns(const db::Field *changed) const {
    const db::Field *f = field();
    if (!f || !changed || changed == f)
        return true;
    switch (f->kind()) {
    case db::FieldKind::Lookup:
        return changed->name().compare(f->keyField, Qt::CaseInsensitive) == 0;
    case db::FieldKind::Calculated:
        return true; // recomputed after any change of the record
    case db::FieldKind::Data:
        return false;
    }
    return false;
}

void FieldLink::dataEvent(db::DataEvent event, db::Field *changed) {
    const auto call = [](const std::function<void()> &f) {
        if (f)
            f();
    };
    switch (event) {
    case db::DataEvent::ActiveChanged:
    case db::DataEvent::DataSetChanged:
    case db::DataEvent::RecordChanged:
        call(m_callbacks.show);
        break;
    case db::DataEvent::StateChanged:
        call(m_callbacks.editingChanged ? m_callbacks.editingChanged : m_callbacks.show);
        break;
    case db::DataEvent::FieldChanged:
        if (!m_writing && concerns(changed))
            call(m_callbacks.show);
        break;
    case db::DataEvent::UpdateData:
        call(m_callbacks.writePending);
        break;
    case db::DataEvent::FocusField:
        if (!changed || (changed != field() && changed != keyField()))
            break;
        if (m_callbacks.focus)
            m_callbacks.focus();
        else if (m_control)
            m_control->setFocus();
        break;
    case db::DataEvent::MasterChanged:
        break;
    }
}

bool fieldTakesChar(const db::Field &field, QChar c) {
    const bool digitOrSign = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-';
    switch (field.type()) {
    case db::FieldType::Integer:
        return digitOrSign;
    case db::FieldType::Float:
        return digitOrSign || c == u',' || c == u'.' || c == u'e' || c == u'E';
    default:
        return true;
    }
}

} // namespace platform
