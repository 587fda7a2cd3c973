#include "tests/common/TestRunner.h"
#include "tests/platform/controls/ControlTests.h"
#include "tests/platform/controls/ErrorShowingApplication.h"

int main(int argc, char **argv) {
    ErrorShowingApplication app(argc, argv);
    return runTestClasses(argc, argv,
                          {{"TstDBEdit", runDBEditTests},
                           {"TstDBLookupComboBox", runDBLookupComboBoxTests},
                           {"TstSmallControls", runSmallControlTests},
                           {"TstDBGrid", runDBGridTests},
                           {"TstDBNavigator", runDBNavigatorTests},
                           {"TstRefusals", runRefusalTests}});
}
