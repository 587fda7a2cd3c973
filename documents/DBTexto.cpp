#include "documents/DBTexto.h"

#include "db/Field.h"
#include "db/RecordSet.h"

DBTexto::DBTexto(QWidget *parent)
    : QLabel(parent), m_link(this, {.show = [this] { mostrar(); }, .focus = [] {}}) {
    setTextFormat(Qt::PlainText);
}

void DBTexto::mostrar() {
    const db::Field *campo = m_link.field();
    const bool hayValor = campo && m_link.active() && !campo->dataSet().isEmpty();
    setText(hayValor ? campo->displayText() : QString());
}
