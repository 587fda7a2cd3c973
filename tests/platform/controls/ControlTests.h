#pragma once

// One runner per test class; main() runs them all in one application.
int runDBEditTests(int argc, char **argv);
int runDBLookupComboBoxTests(int argc, char **argv);
int runSmallControlTests(int argc, char **argv);
int runDBGridTests(int argc, char **argv);
int runDBNavigatorTests(int argc, char **argv);
int runRefusalTests(int argc, char **argv);
int runRepaintTests(int argc, char **argv);
