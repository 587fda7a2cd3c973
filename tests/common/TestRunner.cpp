#include "tests/common/TestRunner.h"

#include <QLocale>
#include <QString>

#include <cstring>
#include <vector>

int runTestClasses(int argc, char **argv, std::initializer_list<TestClass> classes) {
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    std::vector<char *> args(argv, argv + argc);
    QString only;
    if (args.size() > 1 && std::strncmp(args[1], "--class=", 8) == 0) {
        only = QString::fromLocal8Bit(args[1] + 8);
        args.erase(args.begin() + 1);
    }
    int failed = 0;
    for (const TestClass &c : classes)
        if (only.isEmpty() || only == QLatin1String(c.name))
            failed += c.run(int(args.size()), args.data());
    return failed;
}
