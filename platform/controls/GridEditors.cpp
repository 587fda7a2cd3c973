#include "platform/controls/GridEditors.h"

namespace platform {

GridCellEdit::GridCellEdit(QWidget *parent, std::function<void()> beforeChange)
    : MaskedLineEdit(parent), m_beforeChange(std::move(beforeChange)) {
    setFrame(false);
}

void GridCellEdit::aboutToChange() {
    if (m_beforeChange)
        m_beforeChange();
}

GridLookupEdit::GridLookupEdit(QWidget *parent) : QComboBox(parent) {
    setFrame(false);
}

void GridLookupEdit::showKey(const db::Field &lookupField, const QVariant &key) {
    m_list.follow(&lookupField);
    if (m_list.refresh() || count() != m_list.count()) {
        clear();
        addItems(m_list.texts());
    }
    m_initial = m_list.indexOfKey(key);
    setCurrentIndex(m_initial);
}

} // namespace platform
