#pragma once

#include "db/Connection.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

// Opens the database named on the command line (a path or host:path) as SYSDBA.
inline void connect(db::Database &database, int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "uso: %s BASEDEDATOS [clave]\n", argv[0]);
        std::exit(2);
    }
    database.databaseName = QString::fromLocal8Bit(argv[1]);
    database.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=SYSDBA"),
                       QStringLiteral("password=") + (argc > 2 ? QString::fromLocal8Bit(argv[2])
                                                               : QStringLiteral("masterkey"))};
    database.open();
}

// Median of several timed runs, in milliseconds.
inline double medianMs(int runs, const std::function<void()> &f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        t.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

inline void report(const char *what, double ours, const char *floorName, double floor) {
    std::printf("%-46s %10.3f ms\n%-46s %10.3f ms\n%-46s %10.2f\n", what, ours, floorName, floor,
                "ratio", ours / floor);
}

} // namespace bench
