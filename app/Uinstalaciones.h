#pragma once

#include "DatosView.h"
#include "config/Configuracion.h"

#include <QWidget>

class TDatos;
class QLabel;

// The main window: the current installation with its cabinets, branches and attachments.
class TFinstalacion : public QWidget, public DatosView {
    Q_OBJECT
public:
    explicit TFinstalacion(QWidget *parent = nullptr);
    ~TFinstalacion() override;

    platform::Configuracion &configuracion() { return m_configuracion; }
    // Binds the window's controls to the data module, once it exists.
    void enlazarDatos(TDatos &datos);
    TDatos *datos() const { return m_datos; }

    // DatosView
    bool enviadoMarcado() const override;
    void mostrarEnviado(bool enviado) override;
    void enfocarExpediente() override;
    void abrirEditorArmarios() override;
    void abrirEditorDerivaciones() override;
    void mensaje(const QString &texto) override;
    void error(const QString &texto) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    platform::Configuracion m_configuracion;
    TDatos *m_datos = nullptr;
    bool m_enviado = false;
    QLabel *m_estado = nullptr;
};
