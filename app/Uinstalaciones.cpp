#include "Uinstalaciones.h"

#include "MessageBoxes.h"
#include "UDatos.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

TFinstalacion::TFinstalacion(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Finstalacion"));
    setWindowTitle(QStringLiteral("ROSTELVIA - Instalaciones Eléctricas de Enlace"));
    auto *layout = new QVBoxLayout(this);
    m_estado = new QLabel(QStringLiteral("Ventana de instalaciones en construcción."), this);
    layout->addWidget(m_estado);
    resize(480, 160);
    if (const auto fallo = m_configuracion.leer())
        mostrarError(this, *fallo);
}

TFinstalacion::~TFinstalacion() = default;

void TFinstalacion::enlazarDatos(TDatos &datos) {
    m_datos = &datos;
    datos.setView(this);
    auto mostrar = [this] {
        if (!m_datos->DSinstalacion.active())
            return;
        m_estado->setText(QStringLiteral("Expediente: %1").arg(m_datos->DSinstalacion["EXPEDIENTE"].asString()));
    };
    connect(&datos.Sinstalacion, &db::DataSource::dataChanged, this, mostrar);
    mostrar();
}

bool TFinstalacion::enviadoMarcado() const { return m_enviado; }

void TFinstalacion::mostrarEnviado(bool enviado) { m_enviado = enviado; }

void TFinstalacion::enfocarExpediente() {}

void TFinstalacion::abrirEditorArmarios() {}

void TFinstalacion::abrirEditorDerivaciones() {}

void TFinstalacion::mensaje(const QString &texto) { mostrarMensaje(this, texto); }

void TFinstalacion::error(const QString &texto) { mostrarError(this, texto); }

// Closing saves what is pending. When a pending edit cannot be saved, its message shows
// and the window stays open on that record: the user corrects it or cancels the edit.
void TFinstalacion::closeEvent(QCloseEvent *event) {
    if (m_datos) {
        try {
            m_datos->PostearPendientes();
        } catch (const db::DatabaseError &e) {
            mostrarError(this, e.message());
            event->ignore();
            return;
        } catch (const db::Abort &) {
            event->ignore();
            return;
        }
    }
    event->accept();
}
