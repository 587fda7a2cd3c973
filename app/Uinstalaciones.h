#pragma once

#include "app/Acciones.h"
#include "data/DatosView.h"
#include "platform/config/Configuracion.h"
#include "platform/controls/DBNavigator.h"

#include <QWidget>

#include <memory>
#include <vector>

class QKeyEvent;
class QScrollArea;
class StBrowser;
class TDatos;

namespace Ui {
class TFinstalacion;
}

namespace platform {
class DBLookupComboBox;
}

// The main window: the current installation with its cabinets, branches and attachments, and
// the buttons that start everything else. Its controls are bound to the data module's data
// sources once the data module exists (enlazarDatos).
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
    void showEvent(QShowEvent *event) override;

private:
    void prepararControles();
    void conectarManejadores();
    void fijarTamano();
    void ejecutar(const Acciones::Accion &accion);
    void ejecutarSinAtrapar(const Acciones::Accion &accion);

    // Handlers, named after their component and event.
    void SpeedButton7Click();
    void SpeedButton2Click();
    void ImprimirClick();
    void emailClick();
    void SpeedButton6Click();
    void SpeedButton1Click();
    void SpeedButton3Click();
    void CBenviadoClick();
    void DBLookupComboBox16Enter();
    void DBLookupComboBox18Enter();
    void DBEdit3KeyPress(QChar *key);
    void DBGrid2KeyPress(QChar *key);
    void PageControl1Change(int index);
    void DBGrid1DblClick();
    void DBGrid2DblClick();
    void DBNavigator2Click(platform::DBNavigator::Button button);
    void DBNavigator3Click(platform::DBNavigator::Button button);
    void SpeedButton4Click();
    void SpeedButton5Click();

    std::unique_ptr<Ui::TFinstalacion> ui;
    StBrowser *StBrowser1 = nullptr;
    Acciones m_acciones;
    platform::Configuracion m_configuracion;
    TDatos *m_datos = nullptr;
    bool m_medida = false;                   // the size was fixed on the shown controls
    QScrollArea *m_desplazamiento = nullptr; // only on a screen smaller than the form
};
