#include "platform/controls/DBCheckBox.h"

#include "db/RecordSet.h"
#include "platform/dialogs/MessageBoxes.h"

namespace platform {

DBCheckBox::DBCheckBox(QWidget *parent)
    : QCheckBox(parent), m_link(this, {.show = [this] { showValue(); }}) {
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
    // Setting a state repaints the box even when it is the same one.
    if (checkState() != state)
        setCheckState(state);
}

void DBCheckBox::nextCheckState() {
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void DBCheckBox::write() {
    if (!m_link.canModify())
        return;
    // Read before the edit starts: it shows the stored value again.
    m_link.writeText(checkState() == Qt::Checked ? m_checked : m_unchecked);
}

} // namespace platform
