// A verified copy (backup, restore into a scratch database, validation, every table compared)
// against Firebird's own gbak backing the same database up and restoring it, with the size of
// each backup file.

#include "BenchSupport.h"
#include "tools/copia/Backup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double gbak(const QStringList &args, const QString &password) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("gbak"), QStringList{QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                                QStringLiteral("-password"), password} +
                                        args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0) {
        std::fprintf(stderr, "gbak %s: %s\n", qPrintable(args.join(u' ')),
                     p.readAllStandardError().constData());
        std::exit(1);
    }
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const bench::Target target = bench::target(argc, argv);
    QTemporaryDir dir(QFileInfo(target.database.section(u':', -1)).absolutePath() +
                      QStringLiteral("/bench-copia-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "no se puede crear la carpeta temporal\n");
        return 1;
    }
    const QString database = target.database.contains(u':') ? target.database
                                                             : QFileInfo(target.database).absoluteFilePath();

    // The floor: gbak -b and gbak -c of the same database, one after the other.
    const QString fbk = dir.filePath(QStringLiteral("gbak.fbk"));
    const double backupMs = gbak({QStringLiteral("-b"), database, fbk}, target.password);
    const double restoreMs =
        gbak({QStringLiteral("-c"), fbk, dir.filePath(QStringLiteral("gbak.fdb"))}, target.password);
    QFile::remove(dir.filePath(QStringLiteral("gbak.fdb")));

    backup::Options options;
    options.login.password = target.password;
    QElapsedTimer t;
    t.start();
    const backup::Result made =
        backup::makeCopy(database, dir.filePath(QStringLiteral("copias")), options);
    const double oursMs = double(t.nsecsElapsed()) / 1e6;

    std::printf("%-46s %10.3f ms\n%-46s %10.3f ms\n", "gbak -b", backupMs, "gbak -c", restoreMs);
    bench::report("copia verificada (copia + comprobación)", oursMs, "gbak -b + gbak -c",
                  backupMs + restoreMs);
    std::printf("%-46s %10.1f MB\n%-46s %10.1f MB\n%-46s %10lld\n", "tamaño de la copia",
                double(made.size) / 1e6, "tamaño de la copia de gbak",
                double(QFileInfo(fbk).size()) / 1e6, "filas comparadas",
                static_cast<long long>(made.contents.totalRows()));
    return 0;
}
