#include "platform/controls/DBCheckBox.h"

#include "db/RecordSet.h"
#include "platform/dialogs/MessageBoxes.h"

namespace platform {

DBCheckBox::DBCheckBox(QWidget *parent)
    : QCheckBox(parent), m_link([this](db::DataEvent e, db::Field *f) { dataEvent(e, f); }) {
    setTristate(true);
    connect(this, &QAbstractButton::clicked, this, [this] {
        try {
            write();
        } catch (...) {
            showException(std::current_exception(), this);
        }
        showValue();
    });
    showValue();
}

void DBCheckBox::setValueChecked(const QString &value) {
    m_checked = value;
    showValue();
}

void DBCheckBox::setValueUnchecked(const QString &value) {
    m_unchecked = value;
    showValue();
}

void DBCheckBox::dataEvent(db::DataEvent event, db::Field *field) {
    switch (event) {
    case db::DataEvent::FieldChanged:
        if (m_link.concerns(field))
            showValue();
        break;
    case db::DataEvent::FocusField:
        if (field && field == m_link.field())
            setFocus();
        break;
    case db::DataEvent::UpdateData:
    case db::DataEvent::MasterChanged:
        break;
    default:
        showValue();
        break;
    }
}

void DBCheckBox::showValue() {
    const db::Field *f = m_link.field();
    setEnabled(m_link.active());
    Qt::CheckState state = Qt::PartiallyChecked;
    if (f && m_link.active() && !f->isNull()) {
        const QString value = f->editText();
        if (value.compare(m_checked, Qt::CaseInsensitive) == 0)
            state = Qt::Checked;
        else if (value.compare(m_unchecked, Qt::CaseInsensitive) == 0)
            state = Qt::Unchecked;
    }
    setCheckState(state);
}

void DBCheckBox::nextCheckState() {
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void DBCheckBox::write() {
    db::Field *f = m_link.field();
    if (!f || !m_link.canModify())
        return;
    const bool ticked = checkState() == Qt::Checked; // the edit shows the stored value again
    m_link.edit();
    f->setText(ticked ? m_checked : m_unchecked);
}

} // namespace platform
