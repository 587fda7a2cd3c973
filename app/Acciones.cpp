#include "app/Acciones.h"

#include "editors/Editores.h"

// Each window joins with one line here as it is built, for example
// `a.instalador = elegirInstalador;`, the function taking the data module and the main window.
Acciones accionesDisponibles() {
    Acciones a;
    a.instalador = elegirInstalador;
    a.gestor = elegirGestor;
    a.acercaDe = mostrarAcercaDe;
    a.nuevoArmario = abrirEditorArmarios;
    a.nuevaDerivacion = abrirEditorDerivaciones;
    a.editarArmario = editarArmario;
    a.editarDerivacion = editarDerivacion;
    return a;
}
