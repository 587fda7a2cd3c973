#pragma once

class QWidget;
class TDatos;

// What the main window asks of the reference editors. `principal` is the main window: it
// owns the editors that are kept between uses (they are destroyed with it) and the
// installer and manager editors open centred over it. Each function raises what the record
// sets raise; the caller lets it reach the application's error handling.

// The after-insert rule of DSarmarios (DSderivaciones): finds the window "Farmarios"
// ("Fderivaciones") among the application's windows, creating it when absent, and shows it
// modally on the new row unless it is already on screen.
void abrirEditorArmarios(TDatos &datos, QWidget *principal);
void abrirEditorDerivaciones(TDatos &datos, QWidget *principal);

// DBGrid1DblClick, DBGrid2DblClick: the same window, shown modally in every case.
void editarArmario(TDatos &datos, QWidget *principal);
void editarDerivacion(TDatos &datos, QWidget *principal);

// SpeedButton1Click (SpeedButton3Click): shows "Finstalador" ("Fgestor"); on "&Aceptar" puts
// the installation into edit (a sent installation refuses here, and nothing more happens)
// and sets its INSTALADOR (GESTOR) to the chosen row's ID; then closes and reopens
// DSinstalador (DSgestores).
void elegirInstalador(TDatos &datos, QWidget *principal);
void elegirGestor(TDatos &datos, QWidget *principal);

// SpeedButton6Click: a new about box, which reads the version when it is created and is
// freed when it closes.
void mostrarAcercaDe(TDatos &datos, QWidget *principal);
