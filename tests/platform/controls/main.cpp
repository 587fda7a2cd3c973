#include "tests/common/TestApplication.h"
#include "tests/common/TestRunner.h"
#include "tests/platform/controls/ControlTests.h"

int main(int argc, char **argv) {
    TestApplication app(argc, argv);
    return runTestClasses(argc, argv,
                          {{"TstDBEdit", runDBEditTests},
                           {"TstDBLookupComboBox", runDBLookupComboBoxTests},
                           {"TstSmallControls", runSmallControlTests},
                           {"TstDBGrid", runDBGridTests},
                           {"TstDBNavigator", runDBNavigatorTests},
                           {"TstRefusals", runRefusalTests},
                           {"TstRepaint", runRepaintTests}});
}
