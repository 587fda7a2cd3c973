#include "tests/common/TestRunner.h"
#include "tests/search/Entorno.h"

int runBusquedaTests(int argc, char **argv);

int main(int argc, char **argv) {
    AplicacionBusqueda app(argc, argv);
    return runTestClasses(argc, argv, {{"TstBusqueda", runBusquedaTests}});
}
