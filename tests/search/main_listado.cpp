#include "tests/common/TestApplication.h"
#include "tests/common/TestRunner.h"

int runListadoTests(int argc, char **argv);
int runFormatoTests(int argc, char **argv);

int main(int argc, char **argv) {
    TestApplication app(argc, argv);
    return runTestClasses(argc, argv,
                          {{"TstListado", runListadoTests}, {"TstFormato", runFormatoTests}});
}
