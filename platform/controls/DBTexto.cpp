#include "platform/controls/DBTexto.h"

#include "db/Field.h"
#include "db/RecordSet.h"

namespace platform {

DBTexto::DBTexto(QWidget *parent)
    : QLabel(parent), m_link(this, {.show = [this] { showValue(); }, .focus = [] {}}) {
    setTextFormat(Qt::PlainText);
}

void DBTexto::showValue() {
    const db::Field *field = m_link.field();
    const bool hasValue = field && m_link.active() && !field->dataSet().isEmpty();
    setText(hasValue ? field->displayText() : QString());
}

} // namespace platform
