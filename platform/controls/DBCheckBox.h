#pragma once

#include "platform/controls/FieldLink.h"

#include <QCheckBox>

namespace platform {

// Data-bound check box: ticked when the field holds the checked value, clear when it holds the
// unchecked value, grey when it is null or holds anything else. A click by the user ticks or
// clears it (grey goes to ticked) and writes the matching value, putting the record set into
// edit first. The values are "S" and "N" unless set otherwise; they compare without regard
// to case.
class DBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget *parent = nullptr);

    void setDataSource(db::DataSource *source) { m_link.setSource(source); }
    db::DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataField(const QString &name) { m_link.setFieldName(name); }
    const QString &dataField() const { return m_link.fieldName(); }
    db::Field *field() const { return m_link.field(); }

    void setValueChecked(const QString &value);
    const QString &valueChecked() const { return m_checked; }
    void setValueUnchecked(const QString &value);
    const QString &valueUnchecked() const { return m_unchecked; }

protected:
    void nextCheckState() override;

private:
    void showValue();
    void write();

    FieldLink m_link;
    QString m_checked = QStringLiteral("S");
    QString m_unchecked = QStringLiteral("N");
};

} // namespace platform
