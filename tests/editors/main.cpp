#include "tests/common/TestApplication.h"
#include "tests/common/TestRunner.h"
#include "tests/editors/PruebasEditores.h"

int main(int argc, char **argv) {
    TestApplication app(argc, argv);
    abrirEditoresDesdeLaVentana();
    return runTestClasses(argc, argv,
                          {{"TstArmarios", runArmariosTests},
                           {"TstSeleccion", runSeleccionTests},
                           {"TstAcercade", runAcercadeTests}});
}
