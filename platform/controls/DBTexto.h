#pragma once

#include "platform/controls/FieldLink.h"

#include <QLabel>

namespace platform {

// A label that shows one field of the current record of its data source, as the field
// displays it, and follows the record as it moves or changes.
class DBTexto : public QLabel {
    Q_OBJECT
public:
    explicit DBTexto(QWidget *parent = nullptr);

    void setDataSource(db::DataSource *source) { m_link.setSource(source); }
    void setDataField(const QString &name) { m_link.setFieldName(name); }

private:
    void showValue();

    FieldLink m_link;
};

} // namespace platform
