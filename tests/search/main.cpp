#include "tests/common/TestApplication.h"
#include "tests/common/TestRunner.h"

int runBusquedaTests(int argc, char **argv);

int main(int argc, char **argv) {
    TestApplication app(argc, argv);
    return runTestClasses(argc, argv, {{"TstBusqueda", runBusquedaTests}});
}
