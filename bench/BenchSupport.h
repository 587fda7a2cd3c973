#pragma once

#include "db/Connection.h"
#include "db/Statement.h"
#include "db/Win1252.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

// The command line: the database (a path or host:path) and the SYSDBA password, by default
// "masterkey". Without a database it stops with the usage line.
struct Target {
    QString database;
    QString password;
};
inline Target target(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "uso: %s BASEDEDATOS [clave]\n", argv[0]);
        std::exit(2);
    }
    return {QString::fromLocal8Bit(argv[1]),
            argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("masterkey")};
}

// A login that answers with the password.
inline std::function<bool(QString &, QString &)> login(const QString &password) {
    return [password](QString &, QString &clave) {
        clave = password;
        return true;
    };
}

// Opens the database named on the command line as SYSDBA.
inline void connect(db::Database &database, int argc, char **argv) {
    const Target t = target(argc, argv);
    database.databaseName = t.database;
    database.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=SYSDBA"),
                       QStringLiteral("password=") + t.password};
    database.open();
}

// The floor of a fetch: `sql` prepared with the client API and every row fetched into one
// buffer, nothing converted. Answers the number of rows.
inline int bareFetch(db::Transaction &tr, const QString &sql) {
    using namespace Firebird;
    IAttachment *att = tr.database().handle();
    ITransaction *tra = tr.handle();
    const QByteArray text = db::win1252::encode(sql);
    return db::fb::call([&](ThrowStatusWrapper *st) {
        db::fb::Ref<IStatement> stmt(
            att->prepare(st, tra, 0, text.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA));
        db::fb::Ref<IMessageMetadata> out(stmt->getOutputMetadata(st));
        std::vector<unsigned char> buffer(out->getMessageLength(st));
        IResultSet *rs = stmt->openCursor(st, tra, nullptr, nullptr, out.get(), 0);
        int rows = 0;
        while (rs->fetchNext(st, buffer.data()) == IStatus::RESULT_OK)
            ++rows;
        rs->close(st);
        return rows;
    });
}

// Every row of a prepared statement through the client wrapper; the cursor is left open.
inline int fetchAllRows(db::Statement &s) {
    s.openCursor();
    int n = 0;
    while (s.fetch())
        ++n;
    return n;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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
    return median(std::move(t));
}

inline void report(const char *what, double ours, const char *floorName, double floor) {
    std::printf("%-46s %10.3f ms\n%-46s %10.3f ms\n%-46s %10.2f\n", what, ours, floorName, floor,
                "ratio", ours / floor);
}

} // namespace bench
