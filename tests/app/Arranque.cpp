#include "tests/app/Arranque.h"

#include "app/Uinstalaciones.h"
#include "data/UDatos.h"
#include "tests/common/TestDatos.h"
#include "tests/common/WindowWait.h"

#include <QtTest>

bool arrancar(const TestDatabase &tdb, TFinstalacion &ventana, TDatos &datos) {
    connectDataModule(datos, tdb);
    ventana.enlazarDatos(datos);
    ventana.show();
    return activateAndWait(&ventana);
}
