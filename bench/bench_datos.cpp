// Moving from one installation to the next on a country-scale database: the after-scroll
// handling (the two location lists re-queried) and the three child sets re-queried, each
// fetched whole as the main window shows them; beside it, the same five queries run bare
// with prepared statements of the client wrapper.

#include "bench/BareStep.h"
#include "bench/BenchSupport.h"
#include "db/LocalTime.h"
#include "data/UDatos.h"

#include <QCoreApplication>

int main(int argc, char **argv) {
    db::readLocalTimeZoneOnce(); // as the program starts
    QCoreApplication app(argc, argv);
    TDatos datos;
    const bench::Target target = bench::target(argc, argv);
    datos.Conectar(target.database, QStringLiteral("SYSDBA"), bench::login(target.password));
    db::RecordSet &inst = datos.DSinstalacion();
    const int moves = 300;
    inst.first();
    std::vector<double> ours, bare;
    std::vector<int> ids;
    auto fetchShown = [&] {
        for (db::RecordSet *s : {&datos.DSarmarios(), &datos.DSderivaciones(), &datos.DSadjuntos(),
                                 &datos.Qmunicipios(), &datos.Qentidadespoblacion()})
            s->fetchAll();
    };
    for (int i = 0; i < moves; ++i) {
        QElapsedTimer t;
        t.start();
        inst.next();
        fetchShown();
        ours.push_back(double(t.nsecsElapsed()) / 1e6);
        ids.push_back(inst["ID"].asInteger());
    }

    bench::BareStep step(datos);
    long rows = 0;
    for (int id : ids) {
        const bench::BareStep::Result r = step.run(id);
        rows += r.rows;
        bare.push_back(r.ms);
    }
    std::printf("movimientos: %d, filas de las cinco consultas por movimiento: %.1f\n", moves,
                double(rows) / moves);
    bench::report("paso a la siguiente instalación (mediana)", bench::median(ours),
                  "las cinco consultas a pelo (mediana)", bench::median(bare));
    return 0;
}
