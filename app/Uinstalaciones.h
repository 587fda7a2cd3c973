#pragma once

// TFinstalacion's components (Uinstalaciones.ui), by their names:
//   Panel1            top strip: DBNavigator1 (installations), SpeedButton7 copy the
//                     installation, SpeedButton2 search, Imprimir print the bulletin, email send
//                     it, CBenviado the sent mark, DBEdit2 EXPEDIENTE, DBEdit1 ID, SpeedButton6
//                     about box, BitBtn1 close
//   Panel2            installation: DBLookupComboBox1 supply type, DBEdit3 power (kW),
//                     DBLookupComboBox2 installer with SpeedButton1 its editor, DBLookupComboBox3
//                     manager with SpeedButton3 its editor, DBEdit4 delivery date (FECHA)
//   GroupBox1         location: DBEdit5 street, DBEdit6 number, DBLookupComboBox4 bis type,
//                     DBEdit7 bis, DBEdit8 stair, DBEdit9 floor, DBEdit10 door, DBEdit11
//                     province code with DBLookupComboBox5 its name, DBLookupComboBox16
//                     municipality, DBLookupComboBox18 population entity, DBEdit12 post code
//   PageControl1      the tabs TabSheet1 data, TabSheet2 cabinets, TabSheet3 branches,
//                     TabSheet4 attachments
//   GroupBox2         applicant: DBEdit13 name, DBEdit14 tax number, DBEdit15 telephone,
//                     DBEdit16 notes
//   GroupBox3         service line: DBLookupComboBox6 type, DBLookupComboBox7 cable, DBEdit17
//                     length (m)
//   GroupBox4         general protection box (C.G.P.): DBLookupComboBox8 number,
//                     DBLookupComboBox9 description, DBLookupComboBox10 box type,
//                     DBLookupComboBox11 base current, DBLookupComboBox12 fuse current,
//                     DBLookupComboBox13 voltage, DBLookupComboBox14 placement with DBEdit22
//                     another, DBLookupComboBox15 nature with DBEdit23 another, DBEdit24 address
//   GroupBox5         MAPRED data: DBEdit18 transformer station, DBEdit19 line, DBEdit20 and
//                     DBEdit21 UTM X and Y
//   GroupBox6         general supply line: DBRadioGroup1 order number, DBEdit25 length (m),
//                     DBRadioGroup2 conductor, DBEdit26 phase and DBEdit27 neutral section (mm2)
//   GroupBox7         metering: DBLookupComboBox17 porch situation, DBLookupComboBox19
//                     centralisation with DBEdit28 another, DBLookupComboBox20 placement with
//                     DBEdit29 another, DBEdit30 address
//   Panel3            DBNavigator2 and DBGrid1: the cabinets (double click: their editor)
//   Panel4            DBNavigator3 and DBGrid2: the branches (double click: their editor)
//   Panel5            DBNavigator4 and DBGrid3: the attachments; SpeedButton4 attach a file,
//                     SpeedButton5 delete them all; StBrowser1 the file chooser
//   Label1..Label58   the captions before the controls
// Cliente holds the form; Desplazamiento scrolls it on a screen smaller than the form.

#include "data/DatosView.h"
#include "platform/config/Settings.h"
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

    platform::Settings &configuracion() { return m_configuracion; }
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
    platform::Settings m_configuracion;
    TDatos *m_datos = nullptr;
    bool m_medida = false;                   // the size was fixed on the shown controls
    QScrollArea *m_desplazamiento = nullptr; // only on a screen smaller than the form
};
