#include "AplicacionPruebas.h"
#include "PruebasEditores.h"
#include "TestRunner.h"

int main(int argc, char **argv) {
    AplicacionPruebas app(argc, argv);
    return runTestClasses(argc, argv,
                          {{"TstArmarios", runArmariosTests},
                           {"TstSeleccion", runSeleccionTests},
                           {"TstAcercade", runAcercadeTests}});
}
