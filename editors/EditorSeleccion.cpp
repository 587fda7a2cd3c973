#include "editors/EditorSeleccion.h"

#include "db/RecordSet.h"
#include "platform/dialogs/MessageBoxes.h"

#include <QPushButton>

EditorSeleccion::EditorSeleccion(db::RecordSet &registros, QWidget *principal)
    : QDialog(principal, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                             Qt::WindowCloseButtonHint),
      m_registros(registros) {}

void EditorSeleccion::prepararBotones(QAbstractButton *aceptar, QAbstractButton *cancelar) {
    if (auto *boton = qobject_cast<QPushButton *>(aceptar))
        boton->setDefault(true);
    if (auto *boton = qobject_cast<QPushButton *>(cancelar))
        boton->setAutoDefault(false);
    connect(aceptar, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(cancelar, &QAbstractButton::clicked, this, &QDialog::reject);
    setFixedSize(size());
}

int EditorSeleccion::IdSeleccionado() const {
    if (!m_registros.active() || m_registros.isEmpty())
        return 0;
    return m_registros.field(QStringLiteral("ID")).asInteger();
}

void EditorSeleccion::done(int resultado) {
    if (!FormClose()) {
        setResult(0);
        return;
    }
    QDialog::done(resultado);
}

bool EditorSeleccion::FormClose() {
    if (!m_registros.editing())
        return true;
    try {
        m_registros.post();
    } catch (...) {
        showException(std::current_exception(), this);
        return false;
    }
    return true;
}
