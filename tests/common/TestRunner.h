#pragma once

#include <initializer_list>

// Several Qt Test classes in one executable. "--class=Name" as the first argument runs that
// class alone; the arguments after it go to Qt Test (test functions, -v2, ...). The locale is
// fixed to es_ES. Returns the number of failed tests.
struct TestClass {
    const char *name;
    int (*run)(int argc, char **argv);
};
int runTestClasses(int argc, char **argv, std::initializer_list<TestClass> classes);
