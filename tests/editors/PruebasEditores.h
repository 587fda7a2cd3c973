#pragma once

// One runner per test class; main() runs them all in one application.
int runArmariosTests(int argc, char **argv);
int runSeleccionTests(int argc, char **argv);
int runAcercadeTests(int argc, char **argv);
