#pragma once

#include "platform/controls/FieldLink.h"

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

namespace platform {

// Data-bound radio group: its items are shown, and choosing one writes that item's stored
// value (which may differ from the text shown) after putting the record set into edit. A value
// that matches no item's stored value leaves every item unchecked.
class DBRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit DBRadioGroup(QWidget *parent = nullptr);

    void setDataSource(db::DataSource *source) { m_link.setSource(source); }
    db::DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataField(const QString &name) { m_link.setFieldName(name); }
    const QString &dataField() const { return m_link.fieldName(); }
    db::Field *field() const { return m_link.field(); }

    void setItems(const QStringList &items);
    const QStringList &items() const { return m_items; }
    // The stored value of each item; an item without one stands for its own text.
    void setValues(const QStringList &values);
    const QStringList &values() const { return m_values; }
    // Items fill the columns one after the other, top to bottom.
    void setColumns(int columns);
    int columns() const { return m_columns; }

    int checkedIndex() const; // -1 with no item checked
    QRadioButton *button(int index) const;
    QString valueOf(int index) const;

private:
    void rebuild();
    void showValue();
    void choose(int index);

    FieldLink m_link;
    QButtonGroup *m_group;
    QGridLayout *m_layout;
    QStringList m_items;
    QStringList m_values;
    int m_columns = 1;
};

} // namespace platform
