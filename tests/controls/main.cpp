#include "ControlTests.h"
#include "RecordingApplication.h"
#include "TestRunner.h"

int main(int argc, char **argv) {
    RecordingApplication app(argc, argv);
    return runTestClasses(argc, argv,
                          {{"TstDBEdit", runDBEditTests},
                           {"TstDBLookupComboBox", runDBLookupComboBoxTests},
                           {"TstSmallControls", runSmallControlTests},
                           {"TstDBGrid", runDBGridTests},
                           {"TstDBNavigator", runDBNavigatorTests}});
}
