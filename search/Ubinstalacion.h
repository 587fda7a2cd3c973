#pragma once

// TFbinstalacion's components (Ubinstalacion.ui), by their names:
//   GroupBox1              the selection: MEde and MEa the sending dates from and to, CBenv the
//                          sent state (three states), NExp the expedient to jump to
//   Label1..Label3         the captions before the selection controls
//   Imprimir               the printed listing
//   DBNavigator1, DBGrid1  the installations (Qinst through Sinst)
//   BitBtn1, BitBtn2       "&Aceptar" and "&Cancelar"

#include "db/DataSource.h"
#include "platform/report/Report.h"
#include "search/ListaInstalaciones.h"

#include <QDialog>

#include <memory>

class TDatos;
namespace Ui {
class TFbinstalacion;
}

// The search dialog "Búsqueda de instalaciones": the installations in a grid, narrowed by a
// range of sending dates and by the sent state, a jump to an expedient number, the printed
// listing, and the row chosen for the main window. It reads through its own list Qinst and
// never changes data. Created on first use and kept: the selection controls and the filter
// line last for the run.
class TFbinstalacion : public QDialog {
    Q_OBJECT
    ListaInstalaciones m_lista; // before Qinst, which names its record set

public:
    static constexpr const char *Instancia = "Fbinstalacion";
    // The listing's parameter with the filter in words ("Enviadas desde el 06/05/2025").
    static constexpr const char *ParametroSeleccion = "Seleccion";

    // Opens Qinst with no filter: every installation.
    TFbinstalacion(TDatos &datos, QWidget *principal);
    ~TFbinstalacion() override;

    // The folder of the report projects (the configuration's Directory).
    void setDirectorio(const QString &directorio) { m_directorio = directorio; }
    const QString &directorio() const { return m_directorio; }

    // The ID of the list's current row; 0 when the list is empty.
    int IdSeleccionado() const;
    // The list on that installation; on its first row when the list does not hold it.
    void Posicionar(int id);
    // Qinst closed and opened again with its present filter line.
    void Refrescar();

    db::RecordSet &Qinst;
    db::DataSource Sinst;

    // The listing's own engine set-up: the project, its output system with the listing's
    // titles, the connection RVqlinst reading Qinst (during a run, a one-way reading of the
    // same rows: see ImprimirClick) and the parameter Seleccion.
    report::ReportProject RVP;
    report::OutputSystem RvSystem1;

    // Handlers, named after their component and event. Each raises what it refuses.
    void MEdeExit();
    void MEaExit();
    void CBenvClick();
    void NExpEnter();
    void NExpExit();
    // The listing "Listado" of the project Listado.rav in the Directory folder, over the rows
    // of the present filter, which its header names: the setup dialog first, preview proposed.
    // A missing project or report raises; a failure while it runs is told in a message box,
    // "No se ha podido ejecutar el informe" over the engine's reason.
    void ImprimirClick();

    // Closes as "&Aceptar", unless a date box has just refused its text: the click whose
    // press left the box does not close the dialog over the error.
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Runs the handler of a selection control the focus leaves; a refused date takes the
    // focus back to its box, text selected, once the error has been shown.
    void alSalir(QWidget *control);
    // Builds the filter line from the three selection controls and reopens the list with it.
    // An impossible date raises before anything changes.
    void Filtrar();

    std::unique_ptr<Ui::TFbinstalacion> ui;
    QString m_directorio;
    // The filter the list has now, in words: the date boxes may hold text not yet applied.
    QString m_seleccion;
    // While the focus goes back to a refused date box: the control it leaves runs nothing.
    bool m_devolviendoFoco = false;
    // From a refused date until the events of the same round are done.
    bool m_fechaRechazada = false;
};
