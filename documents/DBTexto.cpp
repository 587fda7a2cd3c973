#include "documents/DBTexto.h"

#include "db/Field.h"
#include "db/RecordSet.h"

DBTexto::DBTexto(QWidget *parent)
    : QLabel(parent), m_link([this](db::DataEvent evento, db::Field *campo) {
          switch (evento) {
          case db::DataEvent::UpdateData:
          case db::DataEvent::FocusField:
              return;
          case db::DataEvent::FieldChanged:
              if (!m_link.concerns(campo))
                  return;
              break;
          default:
              break;
          }
          mostrar();
      }) {
    setTextFormat(Qt::PlainText);
}

void DBTexto::mostrar() {
    const db::Field *campo = m_link.field();
    const bool hayValor = campo && m_link.active() && !campo->dataSet().isEmpty();
    setText(hayValor ? campo->displayText() : QString());
}
