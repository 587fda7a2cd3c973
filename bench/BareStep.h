#pragma once

#include "bench/BenchSupport.h"
#include "data/UDatos.h"
#include "db/Statement.h"

#include <QElapsedTimer>

namespace bench {

// The after-scroll work of one installation run bare with prepared statements of the client
// wrapper: the two location lists and the three child lists of the data module, fetched whole.
struct BareStep {
    db::Statement codes, municipios, entidades, armarios, derivaciones, adjuntos;
    explicit BareStep(TDatos &d)
        : codes(d.IBTrans()), municipios(d.IBTrans()), entidades(d.IBTrans()), armarios(d.IBTrans()),
          derivaciones(d.IBTrans()), adjuntos(d.IBTrans()) {
        codes.prepare(QStringLiteral("select LOCALIZA_CODIGO_PROVINCIA, LOCALIZA_CODIGO_MUNICIPIO "
                                     "from INSTALACION where ID = :ID"));
        municipios.prepare(d.Qmunicipios().selectSql.join(u'\n'));
        entidades.prepare(d.Qentidadespoblacion().selectSql.join(u'\n'));
        armarios.prepare(d.DSarmarios().selectSql.join(u'\n'));
        derivaciones.prepare(d.DSderivaciones().selectSql.join(u'\n'));
        adjuntos.prepare(d.DSadjuntos().selectSql.join(u'\n'));
    }
    // One installation's five queries; the time is taken after its location codes are read.
    struct Result {
        double ms = 0;
        long rows = 0;
    };
    Result run(int id) {
        codes.setParam(QStringLiteral("ID"), id);
        codes.execute();
        const QString prov = codes.value(0).toString();
        const QString muni = codes.value(1).toString();
        Result r;
        QElapsedTimer t;
        t.start();
        municipios.setParam(QStringLiteral("CODIGO_PROVINCIA"), prov);
        r.rows += fetchAllRows(municipios);
        entidades.setParam(QStringLiteral("CODIGO_PROVINCIA"), prov);
        entidades.setParam(QStringLiteral("CODPOBLA"), muni.left(3) + u'%');
        r.rows += fetchAllRows(entidades);
        for (db::Statement *s : {&armarios, &derivaciones, &adjuntos}) {
            s->setParam(QStringLiteral("ID"), id);
            r.rows += fetchAllRows(*s);
        }
        r.ms = double(t.nsecsElapsed()) / 1e6;
        return r;
    }
};

} // namespace bench
