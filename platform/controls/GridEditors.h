#pragma once

#include "platform/controls/LookupList.h"
#include "platform/controls/MaskedLineEdit.h"

#include <QComboBox>

#include <functional>

namespace platform {

// The in-place editor of a grid cell: a line edit under the field's mask that asks the grid
// before the user's first change (the grid puts the record set into edit there).
class GridCellEdit : public MaskedLineEdit {
    Q_OBJECT
public:
    GridCellEdit(QWidget *parent, std::function<void()> beforeChange);

protected:
    void aboutToChange() override;

private:
    std::function<void()> m_beforeChange;
};

// The in-place editor of a lookup column: the list's result column to choose from.
class GridLookupEdit : public QComboBox {
    Q_OBJECT
public:
    explicit GridLookupEdit(QWidget *parent);

    // Offers the entries of the lookup field's list and selects the one with this key.
    void showKey(const db::Field &lookupField, const QVariant &key);
    QVariant chosenKey() const { return m_list.key(currentIndex()); }
    bool isModified() const { return currentIndex() != m_initial; }

private:
    LookupList m_list;
    int m_initial = -1;
};

} // namespace platform
