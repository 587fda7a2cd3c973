#include "platform/controls/DBRadioGroup.h"

#include "db/RecordSet.h"
#include "platform/dialogs/MessageBoxes.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include <algorithm>

namespace platform {

DBRadioGroup::DBRadioGroup(QWidget *parent)
    : QGroupBox(parent),
      m_link(this, {.show = [this] { showValue(); },
                    .focus =
                        [this] {
                            if (QAbstractButton *b = m_group->checkedButton()
                                                         ? m_group->checkedButton()
                                                         : m_group->button(0))
                                b->setFocus();
                        }}),
      m_group(new QButtonGroup(this)), m_layout(new QGridLayout(this)) {
    connect(m_group, &QButtonGroup::idClicked, this, [this](int index) {
        try {
            choose(index);
        } catch (...) {
            showException(std::current_exception(), this);
        }
        showValue();
    });
    showValue();
}

void DBRadioGroup::setItems(const QStringList &items) {
    m_items = items;
    rebuild();
}

void DBRadioGroup::setValues(const QStringList &values) {
    m_values = values;
    showValue();
}

void DBRadioGroup::setColumns(int columns) {
    m_columns = std::max(columns, 1);
    rebuild();
}

QString DBRadioGroup::valueOf(int index) const {
    return index < m_values.size() ? m_values[index] : m_items.value(index);
}

QRadioButton *DBRadioGroup::button(int index) const {
    return qobject_cast<QRadioButton *>(m_group->button(index));
}

int DBRadioGroup::checkedIndex() const {
    return m_group->checkedId();
}

void DBRadioGroup::rebuild() {
    for (QAbstractButton *b : m_group->buttons()) {
        m_group->removeButton(b);
        delete b;
    }
    const int n = int(m_items.size());
    const int rows = (n + m_columns - 1) / m_columns;
    for (int i = 0; i < n; ++i) {
        auto *b = new QRadioButton(m_items[i], this);
        m_group->addButton(b, i);
        m_layout->addWidget(b, i % std::max(rows, 1), i / std::max(rows, 1));
    }
    showValue();
}

void DBRadioGroup::showValue() {
    const db::Field *f = m_link.field();
    setEnabled(m_link.active());
    int checked = -1;
    if (f && m_link.active() && !f->isNull()) {
        const QString value = f->editText();
        for (int i = 0; i < m_items.size() && checked < 0; ++i)
            if (valueOf(i) == value)
                checked = i;
    }
    if (checked == checkedIndex())
        return;
    // An exclusive group keeps one button checked: let go of it to uncheck them all.
    m_group->setExclusive(false);
    for (QAbstractButton *b : m_group->buttons())
        b->setChecked(m_group->id(b) == checked);
    m_group->setExclusive(true);
}

void DBRadioGroup::choose(int index) {
    const db::Field *f = m_link.field();
    if (!f || !m_link.canModify() || index < 0 || index >= m_items.size())
        return;
    const QString value = valueOf(index);
    if (!f->isNull() && f->editText() == value)
        return;
    m_link.writeText(value);
}

} // namespace platform
