// Moving from one installation to the next on a country-scale database: the after-scroll
// handling (the two location lists re-queried) and the three child sets re-queried, each
// fetched whole as the main window shows them; beside it, the same five queries run bare
// with prepared statements of the client wrapper.

#include "bench/BenchSupport.h"
#include "data/UDatos.h"
#include "db/Statement.h"

#include <QCoreApplication>

namespace {

struct Bare {
    db::Statement municipios, entidades, armarios, derivaciones, adjuntos;
    explicit Bare(db::Transaction &t)
        : municipios(t), entidades(t), armarios(t), derivaciones(t), adjuntos(t) {}
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    TDatos datos;
    const bench::Target target = bench::target(argc, argv);
    datos.Conectar(target.database, QStringLiteral("SYSDBA"), bench::login(target.password));
    db::RecordSet &inst = datos.DSinstalacion;
    const int moves = 300;
    inst.first();
    std::vector<double> ours, bare;
    std::vector<int> ids;
    auto fetchShown = [&] {
        for (db::RecordSet *s : {&datos.DSarmarios, &datos.DSderivaciones, &datos.DSadjuntos,
                                 &datos.Qmunicipios, &datos.Qentidadespoblacion})
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

    Bare b(datos.IBTrans);
    b.municipios.prepare(datos.Qmunicipios.selectSql.join(u'\n'));
    b.entidades.prepare(datos.Qentidadespoblacion.selectSql.join(u'\n'));
    b.armarios.prepare(datos.DSarmarios.selectSql.join(u'\n'));
    b.derivaciones.prepare(datos.DSderivaciones.selectSql.join(u'\n'));
    b.adjuntos.prepare(datos.DSadjuntos.selectSql.join(u'\n'));
    db::Statement codes(datos.IBTrans);
    codes.prepare(QStringLiteral("select LOCALIZA_CODIGO_PROVINCIA, LOCALIZA_CODIGO_MUNICIPIO from "
                                 "INSTALACION where ID = :ID"));
    long rows = 0;
    for (int id : ids) {
        codes.setParam(QStringLiteral("ID"), id);
        codes.execute();
        const QString prov = codes.value(0).toString();
        const QString muni = codes.value(1).toString();
        QElapsedTimer t;
        t.start();
        b.municipios.setParam(QStringLiteral("CODIGO_PROVINCIA"), prov);
        rows += bench::fetchAllRows(b.municipios);
        b.entidades.setParam(QStringLiteral("CODIGO_PROVINCIA"), prov);
        b.entidades.setParam(QStringLiteral("CODPOBLA"), muni.left(3) + u'%');
        rows += bench::fetchAllRows(b.entidades);
        for (db::Statement *s : {&b.armarios, &b.derivaciones, &b.adjuntos}) {
            s->setParam(QStringLiteral("ID"), id);
            rows += bench::fetchAllRows(*s);
        }
        bare.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("movimientos: %d, filas de las cinco consultas por movimiento: %.1f\n", moves,
                double(rows) / moves);
    bench::report("paso a la siguiente instalación (mediana)", median(ours),
                  "las cinco consultas a pelo (mediana)", median(bare));
    return 0;
}
