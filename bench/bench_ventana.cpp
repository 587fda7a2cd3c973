// The main window as a user meets it on a country-scale database (offscreen platform):
// - start-up to the window on screen (connection, 100,000 installations opened and moved to
//   the last, window bound and painted), against connecting, reading the table bare and
//   disconnecting;
// - a step of the navigator's Next and Prior buttons, timed from the click until its events,
//   the repaint included, are processed, against the step's after-scroll queries run bare.

#include "app/Uinstalaciones.h"
#include "bench/BareStep.h"
#include "bench/BenchSupport.h"
#include "db/LocalTime.h"
#include "data/UDatos.h"
#include "db/Statement.h"
#include "platform/controls/DBNavigator.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// Processes what the click left to do, the repaint included.
void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

// One step: the click and everything it leaves to do. Kept out of line so that a profiler
// can collect this alone (valgrind --toggle-collect='*pressAndSettle*').
[[gnu::noinline]] void pressAndSettle(QToolButton *button) {
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
}

// Where start-up's time goes, in milliseconds from the start of each phase.
struct Phases {
    double connect = 0, bind = 0, show = 0;
};

// Start-up's work: the data module connected, the window bound to it, shown and painted.
bool startUp(TFinstalacion &window, TDatos &datos, const QString &database,
             const TDatos::Login &login, Phases *phases = nullptr) {
    QElapsedTimer t;
    t.start();
    datos.Conectar(database, QStringLiteral("SYSDBA"), login);
    const qint64 connected = t.nsecsElapsed();
    window.enlazarDatos(datos);
    const qint64 bound = t.nsecsElapsed();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    settle();
    if (phases)
        *phases = {double(connected) / 1e6, double(bound - connected) / 1e6,
                   double(t.nsecsElapsed() - bound) / 1e6};
    return true;
}

} // namespace

int main(int argc, char **argv) {
    db::readLocalTimeZoneOnce(); // as the program starts
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bench::Target target = bench::target(argc, argv);
    const QString &database = target.database;
    // The window reads its configuration from the system folders: give it one of its own.
    QTemporaryDir xdg;
    {
        QDir(xdg.path()).mkpath(QStringLiteral("Nirvelo"));
        QSettings conf(xdg.filePath(QStringLiteral("Nirvelo/Trelmavondis.conf")),
                       QSettings::IniFormat);
        conf.setValue(QStringLiteral("Basededatos"), database);
        conf.setValue(QStringLiteral("Usuario"), QStringLiteral("SYSDBA"));
        conf.setValue(QStringLiteral("Impresos"), xdg.path());
        conf.setValue(QStringLiteral("Directory"), xdg.path());
    }
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(xdg.path()));
    QApplication app(argc, argv);

    // Start-up's floor: what a program that did nothing but read the installation table would
    // do at its start. It attaches when nobody else is attached, so that the engine's page
    // cache starts empty as it does for the program (the database is closed with its last
    // attachment, and each start-up below is alone); it reads the table bare in a transaction
    // of the program's isolation (read committed); it detaches. For reference, the same read
    // again on that attachment, with the engine's cache full.
    const auto bareRead = [](db::Database &db) {
        db::Transaction tr(db);
        tr.isolation = db::Transaction::Isolation::ReadCommitted;
        tr.start();
        db::Statement s(tr);
        s.prepare(QStringLiteral("select * from INSTALACION\n\norder by id"));
        bench::fetchAllRows(s);
        s.closeCursor();
        tr.commit();
    };
    std::vector<double> bareOpens, warmReads;
    for (int i = 0; i < 5; ++i) {
        db::Database db;
        bareOpens.push_back(bench::medianMs(1, [&] {
            bench::connect(db, argc, argv);
            bareRead(db);
            db.close();
        }));
        bench::connect(db, argc, argv);
        bareRead(db);
        warmReads.push_back(bench::medianMs(1, [&] { bareRead(db); }));
        db.close();
    }
    const auto login = bench::login(target.password);
    std::vector<double> startups, connects, binds, shows;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        TFinstalacion window;
        TDatos datos(&window);
        Phases phases;
        if (!startUp(window, datos, database, login, &phases))
            return 1;
        startups.push_back(double(t.nsecsElapsed()) / 1e6);
        connects.push_back(phases.connect);
        binds.push_back(phases.bind);
        shows.push_back(phases.show);
        datos.Cerrar();
    }
    const auto spread = [](const char *what, const std::vector<double> &v) {
        std::printf("  %s: mín–máx %.3f–%.3f ms\n", what, *std::min_element(v.begin(), v.end()),
                    *std::max_element(v.begin(), v.end()));
    };
    bench::report("arranque hasta la ventana (mediana)", bench::median(startups),
                  "conectar, leer INSTALACION a pelo, desconectar", bench::median(bareOpens));
    std::printf("  %zu veces cada uno\n", startups.size());
    spread("arranque", startups);
    spread("a pelo", bareOpens);
    std::printf("  leer INSTALACION a pelo con la caché del motor llena: %.3f ms (arranque/ella "
                "%.2f)\n",
                bench::median(warmReads), bench::median(startups) / bench::median(warmReads));
    std::printf("  de él: conectar %.3f ms, enlazar %.3f ms, mostrar y pintar %.3f ms\n",
                bench::median(connects), bench::median(binds), bench::median(shows));

    // Navigation.
    TFinstalacion window;
    TDatos datos(&window);
    if (!startUp(window, datos, database, login))
        return 1;
    auto *navigator = window.findChild<platform::DBNavigator *>(QStringLiteral("DBNavigator1"));
    if (!navigator)
        return 1;
    datos.DSinstalacion().first();
    settle();
    // TRELMA_PASOS shortens the walk (to profile it).
    const int steps = qEnvironmentVariableIntValue("TRELMA_PASOS") > 0
                          ? qEnvironmentVariableIntValue("TRELMA_PASOS")
                          : 300;
    // Each step is paired with its queries run bare at once, so that what the machine does
    // meanwhile weighs on both alike; the ratio of each pair is kept too.
    bench::BareStep bare(datos);
    std::vector<double> ours, floor, pairs;
    int last = 0;
    for (int i = 0; i < steps; ++i) {
        // Next two steps out of three, then Prior: both buttons, always moving.
        const auto button = i % 3 == 2 ? platform::DBNavigator::Prior : platform::DBNavigator::Next;
        QToolButton *b = navigator->button(button);
        QElapsedTimer t;
        t.start();
        pressAndSettle(b);
        ours.push_back(double(t.nsecsElapsed()) / 1e6);
        last = datos.DSinstalacion()["ID"].asInteger();
        floor.push_back(bare.run(last).ms);
        pairs.push_back(ours.back() / floor.back());
    }
    std::printf("pasos: %d (Siguiente y Anterior), instalación final %d\n", steps, last);
    bench::report("paso del navegador con repintado (mediana)", bench::median(ours),
                  "sus consultas a pelo (mediana)", bench::median(floor));
    std::printf("  mediana de la razón de cada par: %.2f\n", bench::median(pairs));
    std::sort(ours.begin(), ours.end());
    std::printf("percentil 95 del paso: %.3f ms (un fotograma: 16,7 ms)\n",
                ours[size_t(double(ours.size()) * 0.95)]);
    datos.Cerrar();
    return 0;
}
