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
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace {

// Processor time (user and system) of this process, or of its finished children, in ms.
double cpuMs(int who) {
    rusage u{};
    getrusage(who, &u);
    return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
            double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3);
}

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

    // Where the time goes: each phase from the first progress text of its kind to the next one's
    // (the restore runs from the backup's start; only what is left of it once the backup ends
    // shows as its phase; a table's reading is told when it ends).
    std::vector<std::pair<QString, double>> phases;
    QElapsedTimer t;
    backup::Options options;
    options.login.password = target.password;
    options.progress = [&](const QString &text) {
        QString phase = QStringLiteral("copia, con la restauración detrás");
        if (text.contains(QStringLiteral("validando")))
            phase = QStringLiteral("validación y la primera tabla leída");
        else if (text.startsWith(QStringLiteral("Comprobando")))
            phase = QStringLiteral("restauración, lo que queda tras la copia");
        else if (text.startsWith(QStringLiteral("Comparando las filas:")))
            phase = QStringLiteral("lectura de las demás tablas");
        else if (text.startsWith(QStringLiteral("Comparando")))
            phase = QStringLiteral("lectura del origen tras la copia");
        if (phases.empty() || phases.back().first != phase)
            phases.emplace_back(phase, double(t.nsecsElapsed()) / 1e6);
    };
    const double cpuBefore = cpuMs(RUSAGE_SELF);
    t.start();
    const backup::Result made =
        backup::makeCopy(database, dir.filePath(QStringLiteral("copias")), options);
    const double oursMs = double(t.nsecsElapsed()) / 1e6;
    const double oursCpuMs = cpuMs(RUSAGE_SELF) - cpuBefore;

    for (size_t i = 0; i < phases.size(); ++i) {
        const double end = i + 1 < phases.size() ? phases[i + 1].second : oursMs;
        std::printf("  %-44s %10.3f ms\n", qPrintable(phases[i].first), end - phases[i].second);
    }
    std::printf("%-46s %10.3f ms\n%-46s %10.3f ms\n", "gbak -b", backupMs, "gbak -c", restoreMs);
    bench::report("copia verificada (copia + comprobación)", oursMs, "gbak -b + gbak -c",
                  backupMs + restoreMs);
    // Processor time: the work done, whatever else the machine was doing meanwhile.
    std::printf("%-46s %10.3f ms\n%-46s %10.3f ms\n", "tiempo de procesador, copia verificada",
                oursCpuMs, "tiempo de procesador, gbak -b + gbak -c", cpuMs(RUSAGE_CHILDREN));
    // The digest read alone, on the source: what reading a copy back costs at least.
    double readMs = 0;
    {
        db::Database source;
        source.databaseName = database;
        source.params = {QStringLiteral("lc_ctype=NONE"), QStringLiteral("user_name=SYSDBA"),
                         QStringLiteral("password=") + target.password};
        source.open();
        auto snapshot = backup::startSnapshot(source.handle());
        const QStringList tables = backup::userTables(source.handle(), snapshot.get());
        QElapsedTimer r;
        r.start();
        backup::readContents(source.handle(), snapshot.get(), tables);
        readMs = double(r.nsecsElapsed()) / 1e6;
        db::fb::call([&](Firebird::ThrowStatusWrapper *st) { snapshot->rollback(st); });
        snapshot.release_ownership();
    }
    std::printf("%-46s %10.3f ms\n", "lectura de todas las filas (sola)", readMs);
    std::printf("%-46s %10.1f MB\n%-46s %10.1f MB\n%-46s %10lld\n", "tamaño de la copia",
                double(made.size) / 1e6, "tamaño de la copia de gbak",
                double(QFileInfo(fbk).size()) / 1e6, "filas comparadas",
                static_cast<long long>(made.contents.totalRows()));
    return 0;
}
