#pragma once

#include <functional>

class QWidget;
class TDatos;

// The windows of the other subsystems that the main window opens. An action left empty has not
// been built yet: its button stays disabled and nothing pretends to run it.
struct Acciones {
    using Accion = std::function<void(TDatos &, QWidget *principal)>;
    Accion buscar;           // search button SpeedButton2
    Accion imprimir;         // print button Imprimir
    Accion email;            // e-mail button email
    Accion instalador;       // installer editor, SpeedButton1
    Accion gestor;           // manager editor, SpeedButton3
    Accion acercaDe;         // about box, SpeedButton6
    Accion nuevoArmario;     // a cabinet was inserted: its editor, unless already on screen
    Accion nuevaDerivacion;  // a branch was inserted: its editor, unless already on screen
    Accion editarArmario;    // double click on the cabinet grid DBGrid1
    Accion editarDerivacion; // double click on the branch grid DBGrid2
};

// The actions built so far.
Acciones accionesDisponibles();
