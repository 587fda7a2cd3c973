#include "Acciones.h"

// Each window joins with one line here as it is built, for example
// `a.instalador = elegirInstalador;`, the function taking the data module and the main window.
Acciones accionesDisponibles() {
    Acciones a;
    return a;
}
