#include "tests/platform/controls/ControlTests.h"
#include "tests/platform/controls/RecordingApplication.h"
#include "tests/common/TestRunner.h"

int main(int argc, char **argv) {
    RecordingApplication app(argc, argv);
    return runTestClasses(argc, argv,
                          {{"TstDBEdit", runDBEditTests},
                           {"TstDBLookupComboBox", runDBLookupComboBoxTests},
                           {"TstSmallControls", runSmallControlTests},
                           {"TstDBGrid", runDBGridTests},
                           {"TstDBNavigator", runDBNavigatorTests}});
}
