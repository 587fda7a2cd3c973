#include "app/Arranque.h"

#include "app/Aplicacion.h"
#include "app/Uinstalaciones.h"
#include "data/UDatos.h"
#include "db/Engine.h"
#include "platform/dialogs/LoginDialog.h"
#include "platform/dialogs/MessageBoxes.h"

Arranque::Arranque() = default;

Arranque::~Arranque() {
    terminar();
}

bool Arranque::iniciar() {
    m_ventana = std::make_unique<TFinstalacion>();
    const platform::Settings &cfg = m_ventana->configuracion();
    // With no database name there is nothing to log into: the connection fails at once.
    if (cfg.basededatos().isEmpty()) {
        showMessage(m_ventana.get(), TDatos::MensajeFalloConexion(cfg.basededatos()));
        return false;
    }
    m_datos = std::make_unique<TDatos>(m_ventana.get());
    try {
        m_datos->Conectar(cfg.basededatos(), cfg.usuario(),
                          [this, &cfg](QString &usuario, QString &clave) {
                              LoginDialog dialogo(cfg.basededatos(), usuario, m_ventana.get());
                              if (dialogo.exec() != QDialog::Accepted)
                                  return false;
                              usuario = dialogo.userName();
                              clave = dialogo.password();
                              return true;
                          });
    } catch (const db::DatabaseError &e) {
        // The one message, and below it the reason when it is not the path, the user or the
        // password (the engine's lock folder, the file's permissions, a file in use); then
        // the program ends.
        QString texto = TDatos::MensajeFalloConexion(cfg.basededatos());
        if (const QString motivo = db::fb::engineReasonOf(e); !motivo.isEmpty())
            texto += QStringLiteral("\n\n") + motivo;
        showMessage(m_ventana.get(), texto);
        m_datos.reset();
        return false;
    } catch (const db::Abort &) {
        showMessage(m_ventana.get(), TDatos::MensajeFalloConexion(cfg.basededatos()));
        m_datos.reset();
        return false;
    }
    m_ventana->enlazarDatos(*m_datos);
    return true;
}

int Arranque::ejecutar() {
    m_ventana->show();
    const int rc = QApplication::exec();
    terminar();
    return rc;
}

void Arranque::terminar() {
    // The data module goes before the main window: text still pending in a focused control
    // is part of its last posts.
    if (m_datos) {
        m_datos->Cerrar();
        m_datos.reset();
    }
    if (m_ventana) {
        m_ventana->configuracion().clear();
        m_ventana.reset();
    }
}
