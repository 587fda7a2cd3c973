#include "app/Acciones.h"

#include "app/Uinstalaciones.h"
#include "documents/Documentos.h"
#include "editors/Editores.h"
#include "search/Busqueda.h"

// Each window joins with one line here as it is built, for example
// `a.instalador = elegirInstalador;`, the function taking the data module and the main window.
Acciones accionesDisponibles() {
    Acciones a;
    a.instalador = elegirInstalador;
    a.gestor = elegirGestor;
    a.acercaDe = mostrarAcercaDe;
    a.buscar = [](TDatos &datos, QWidget *principal) {
        auto *ventana = static_cast<TFinstalacion *>(principal);
        buscarInstalacion(datos, principal, ventana->configuracion().directory());
    };
    a.imprimir = [](TDatos &datos, QWidget *principal) {
        const auto &c = static_cast<TFinstalacion *>(principal)->configuracion();
        imprimirBoletin(datos, principal, c.directory(), c.impresos());
    };
    a.email = [](TDatos &datos, QWidget *principal) {
        const auto &c = static_cast<TFinstalacion *>(principal)->configuracion();
        enviarBoletin(datos, principal, c.directory(), c.impresos());
    };
    a.nuevoArmario = abrirEditorArmarios;
    a.nuevaDerivacion = abrirEditorDerivaciones;
    a.editarArmario = editarArmario;
    a.editarDerivacion = editarDerivacion;
    return a;
}
