#include "tests/common/TestRunner.h"
#include "tests/editors/AplicacionPruebas.h"
#include "tests/editors/PruebasEditores.h"

int main(int argc, char **argv) {
    AplicacionPruebas app(argc, argv);
    return runTestClasses(argc, argv,
                          {{"TstArmarios", runArmariosTests},
                           {"TstSeleccion", runSeleccionTests},
                           {"TstAcercade", runAcercadeTests}});
}
