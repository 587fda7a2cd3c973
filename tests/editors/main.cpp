#include "AplicacionPruebas.h"
#include "PruebasEditores.h"

#include <QLocale>

#include <cstring>
#include <vector>

// Runs every test class; "--class=Name" as the first argument runs that one alone, and the
// arguments after it go to Qt Test.
int main(int argc, char **argv) {
    AplicacionPruebas app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    std::vector<char *> args(argv, argv + argc);
    QString only;
    if (args.size() > 1 && std::strncmp(args[1], "--class=", 8) == 0) {
        only = QString::fromLocal8Bit(args[1] + 8);
        args.erase(args.begin() + 1);
    }
    const int n = int(args.size());
    struct Runner {
        const char *name;
        int (*run)(int, char **);
    };
    int failed = 0;
    for (const Runner &r :
         {Runner{"TstArmarios", runArmariosTests}, Runner{"TstSeleccion", runSeleccionTests},
          Runner{"TstAcercade", runAcercadeTests}})
        if (only.isEmpty() || only == QLatin1String(r.name))
            failed += r.run(n, args.data());
    return failed;
}
