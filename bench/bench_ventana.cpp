// The main window as a user meets it on a country-scale database (offscreen platform):
// - start-up to the window on screen (connection, 100,000 installations opened and moved to
//   the last, window bound and painted), against opening and reading the table bare;
// - a step of the navigator's Next and Prior buttons, timed from the click until its events,
//   the repaint included, are processed, against the step's after-scroll queries run bare.

#include "app/Uinstalaciones.h"
#include "bench/BenchSupport.h"
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

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The after-scroll work of one installation run bare: the two location lists and the three
// child lists, fetched whole.
struct BareStep {
    db::Statement codes, municipios, entidades, armarios, derivaciones, adjuntos;
    explicit BareStep(TDatos &d)
        : codes(d.IBTrans), municipios(d.IBTrans), entidades(d.IBTrans), armarios(d.IBTrans),
          derivaciones(d.IBTrans), adjuntos(d.IBTrans) {
        codes.prepare(QStringLiteral("select LOCALIZA_CODIGO_PROVINCIA, LOCALIZA_CODIGO_MUNICIPIO "
                                     "from INSTALACION where ID = :ID"));
        municipios.prepare(d.Qmunicipios.selectSql.join(u'\n'));
        entidades.prepare(d.Qentidadespoblacion.selectSql.join(u'\n'));
        armarios.prepare(d.DSarmarios.selectSql.join(u'\n'));
        derivaciones.prepare(d.DSderivaciones.selectSql.join(u'\n'));
        adjuntos.prepare(d.DSadjuntos.selectSql.join(u'\n'));
    }
    double run(int id) {
        codes.setParam(QStringLiteral("ID"), id);
        codes.execute();
        const QString prov = codes.value(0).toString();
        const QString muni = codes.value(1).toString();
        QElapsedTimer t;
        t.start();
        municipios.setParam(QStringLiteral("CODIGO_PROVINCIA"), prov);
        bench::fetchAllRows(municipios);
        entidades.setParam(QStringLiteral("CODIGO_PROVINCIA"), prov);
        entidades.setParam(QStringLiteral("CODPOBLA"), muni.left(3) + u'%');
        bench::fetchAllRows(entidades);
        for (db::Statement *s : {&armarios, &derivaciones, &adjuntos}) {
            s->setParam(QStringLiteral("ID"), id);
            bench::fetchAllRows(*s);
        }
        return double(t.nsecsElapsed()) / 1e6;
    }
};

} // namespace

int main(int argc, char **argv) {
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

    // Start-up: the floor is the installation table opened and read bare.
    double bareOpen = 0;
    {
        db::Database db;
        bench::connect(db, argc, argv);
        db::Transaction tr(db);
        tr.start();
        db::Statement s(tr);
        bareOpen = bench::medianMs(3, [&] {
            s.prepare(QStringLiteral("select * from INSTALACION\n\norder by id"));
            bench::fetchAllRows(s);
        });
    }
    const auto login = bench::login(target.password);
    std::vector<double> startups;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        TFinstalacion window;
        TDatos datos(&window);
        datos.Conectar(database, QStringLiteral("SYSDBA"), login);
        window.enlazarDatos(datos);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        settle();
        startups.push_back(double(t.nsecsElapsed()) / 1e6);
        datos.Cerrar();
    }
    bench::report("arranque hasta la ventana (mediana)", median(startups),
                  "abrir y leer INSTALACION a pelo", bareOpen);

    // Navigation.
    TFinstalacion window;
    TDatos datos(&window);
    datos.Conectar(database, QStringLiteral("SYSDBA"), login);
    window.enlazarDatos(datos);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    settle();
    auto *navigator = window.findChild<platform::DBNavigator *>(QStringLiteral("DBNavigator1"));
    if (!navigator)
        return 1;
    datos.DSinstalacion.first();
    settle();
    // TRELMA_PASOS shortens the walk (to profile it).
    const int steps = qEnvironmentVariableIntValue("TRELMA_PASOS") > 0
                          ? qEnvironmentVariableIntValue("TRELMA_PASOS")
                          : 300;
    std::vector<double> ours;
    std::vector<int> ids;
    for (int i = 0; i < steps; ++i) {
        // Next two steps out of three, then Prior: both buttons, always moving.
        const auto button = i % 3 == 2 ? platform::DBNavigator::Prior : platform::DBNavigator::Next;
        QToolButton *b = navigator->button(button);
        QElapsedTimer t;
        t.start();
        pressAndSettle(b);
        ours.push_back(double(t.nsecsElapsed()) / 1e6);
        ids.push_back(datos.DSinstalacion["ID"].asInteger());
    }
    BareStep bare(datos);
    std::vector<double> floor;
    for (int id : ids)
        floor.push_back(bare.run(id));
    std::printf("pasos: %d (Siguiente y Anterior), instalación final %d\n", steps, ids.back());
    bench::report("paso del navegador con repintado (mediana)", median(ours),
                  "sus consultas a pelo (mediana)", median(floor));
    std::sort(ours.begin(), ours.end());
    std::printf("percentil 95 del paso: %.3f ms (un fotograma: 16,7 ms)\n",
                ours[size_t(double(ours.size()) * 0.95)]);
    datos.Cerrar();
    return 0;
}
