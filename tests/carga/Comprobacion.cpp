// The check after a load run: every change a desk saw confirmed is in the database, unless a
// later confirmed change or a deletion explains why not.

#include "tests/carga/Carga.h"
#include "tests/carga/Registro.h"

#include "db/Statement.h"

#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace carga {
namespace {

using registro::canonico;

struct Evento {
    qint64 t0 = 0, t1 = 0;
    QString tabla;
    int id = 0;
    int padre = 0;
    QString columna;
    QString valor;
    QString puesto; // the record it came from
};

using Fila = QHash<QString, QString>;  // column -> canonical value
using Tabla = QHash<int, Fila>;        // id -> row
using Clave = std::pair<QString, int>; // table, id

Tabla leerTabla(db::Transaction &tr, const QString &tabla) {
    db::Statement st(tr);
    st.prepare(QStringLiteral("select * from ") + tabla);
    st.openCursor();
    Tabla filas;
    const int id = st.columnIndex(QStringLiteral("ID"));
    while (st.fetch()) {
        Fila f;
        for (int i = 0; i < st.columns().size(); ++i)
            f.insert(st.columns()[i].name, canonico(st.value(i)));
        filas.insert(st.value(id).toInt(), f);
    }
    return filas;
}

QString describir(const Evento &e) {
    return QStringLiteral("%1 %2 %3 = %4 (%5, %6-%7 µs)")
        .arg(e.tabla)
        .arg(e.id)
        .arg(e.columna, e.valor.left(40), e.puesto)
        .arg(e.t0)
        .arg(e.t1);
}

} // namespace

double Resultado::percentil(double p) const {
    if (tiemposGuardar.empty())
        return 0;
    std::vector<double> v = tiemposGuardar;
    std::sort(v.begin(), v.end());
    const size_t i = size_t(std::ceil(p / 100.0 * double(v.size()))) - 1;
    return v[std::min(i, v.size() - 1)];
}

QString resumen(const Resultado &r) {
    return QStringLiteral("confirmados %1 (guardados %2), rechazos %3, perdidos %4 (escritos "
                          "con valores viejos %5, guardados sobre registros borrados %6, otros "
                          "%7), guardar p50 %8 ms p95 %9 ms")
        .arg(r.confirmados)
        .arg(r.guardados)
        .arg(r.rechazos)
        .arg(r.perdidasTotales())
        .arg(r.escritasRancias)
        .arg(r.guardadosSobreBorrados)
        .arg(r.otrasPerdidas)
        .arg(r.percentil(50), 0, 'f', 1)
        .arg(r.percentil(95), 0, 'f', 1);
}

Resultado comprobar(const QString &conexion, const QString &clave, const QStringList &registros) {
    Resultado r;
    QList<Evento> cambios, altas, bajas;
    QHash<QString, int> mensajes;
    for (const QString &ruta : registros) {
        QFile f(ruta);
        if (!f.open(QIODevice::ReadOnly)) {
            r.fallosPuestos << QStringLiteral("no se puede leer ") + ruta;
            continue;
        }
        const QString puesto = QFileInfo(ruta).baseName();
        while (!f.atEnd()) {
            const QString linea = QString::fromUtf8(f.readLine()).chopped(1);
            QStringList c = linea.split(u'\t');
            for (QString &x : c)
                x = registro::desescapar(x);
            if (c.isEmpty())
                continue;
            if (c[0] == u'G' && c.size() >= 4) {
                r.tiemposGuardar.push_back(double(c[2].toLongLong() - c[1].toLongLong()) / 1000.0);
                if (c[3] == u'1')
                    ++r.guardados;
                continue;
            }
            if (c[0] == u'R' && c.size() >= 4) {
                ++r.rechazos;
                ++mensajes[c[3]];
                continue;
            }
            if (c.size() < 6)
                continue;
            Evento e{c[1].toLongLong(),
                     c[2].toLongLong(),
                     c[3],
                     c[4].toInt(),
                     c[5].toInt(),
                     {},
                     {},
                     puesto};
            if (c[0] == u'C' && c.size() >= 8) {
                e.columna = c[6];
                e.valor = c[7];
                cambios << e;
            } else if (c[0] == u'I') {
                altas << e;
            } else if (c[0] == u'B') {
                bajas << e;
            }
        }
    }
    r.confirmados = cambios.size() + altas.size() + bajas.size();
    for (auto it = mensajes.cbegin(); it != mensajes.cend(); ++it)
        r.mensajesRechazo << QStringLiteral("%1 × %2").arg(it.value()).arg(it.key());

    db::Database base;
    base.databaseName = conexion;
    base.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=SYSDBA"),
                   QStringLiteral("password=") + clave};
    base.open();
    QHash<QString, Tabla> tablas;
    {
        db::Transaction tr(base);
        tr.start();
        for (const char *t : {"INSTALACION", "INSTALACION_ARMARIO", "INSTALACION_DERIVACIONES"})
            tablas.insert(QLatin1String(t), leerTabla(tr, QLatin1String(t)));
        tr.commit();
    }
    base.close();

    // The deletion that explains a missing row: its own, or its installation's (the cascade).
    QHash<int, Evento> borradas;
    for (const Evento &b : bajas)
        borradas.insert(b.id, b);
    auto borrado = [&](const Evento &e) -> const Evento * {
        const int inst = e.tabla == QLatin1String("INSTALACION") ? e.id : e.padre;
        const auto it = borradas.constFind(inst);
        return it == borradas.cend() ? nullptr : &*it;
    };
    auto existe = [&](const Evento &e) { return tablas[e.tabla].contains(e.id); };

    for (const Evento &b : bajas)
        if (existe(b)) {
            ++r.otrasPerdidas;
            r.perdidas << QStringLiteral("borrado confirmado y todavía en la base: %1 %2 (%3)")
                              .arg(b.tabla)
                              .arg(b.id)
                              .arg(b.puesto);
        }
    for (const Evento &a : altas)
        if (!existe(a) && !borrado(a)) {
            ++r.otrasPerdidas;
            r.perdidas << QStringLiteral("alta confirmada que no está: %1 %2 (%3)")
                              .arg(a.tabla)
                              .arg(a.id)
                              .arg(a.puesto);
        }

    // The changes of each column of each row, and of each row as a whole.
    QHash<Clave, QHash<QString, QList<Evento>>> porFila;
    for (const Evento &e : cambios)
        porFila[{e.tabla, e.id}][e.columna] << e;

    for (auto fila = porFila.cbegin(); fila != porFila.cend(); ++fila) {
        const auto &columnas = fila.value();
        const Evento &alguno = columnas.cbegin()->first();
        if (!existe(alguno)) {
            // A save that began after the row's deletion was confirmed cannot have stored
            // anything; one reported as done is a loss. One save counts once.
            const Evento *b = borrado(alguno);
            if (!b) {
                for (const auto &lista : columnas)
                    for (const Evento &e : lista) {
                        ++r.otrasPerdidas;
                        r.perdidas << QStringLiteral("guardado en un registro que nadie borró y "
                                                     "no está: ") +
                                          describir(e);
                    }
                continue;
            }
            QSet<std::pair<QString, qint64>> guardados;
            for (const auto &lista : columnas)
                for (const Evento &e : lista)
                    if (e.t0 > b->t1 && !guardados.contains({e.puesto, e.t0})) {
                        guardados.insert({e.puesto, e.t0});
                        ++r.guardadosSobreBorrados;
                        r.perdidas << QStringLiteral("guardado como hecho en un registro ya "
                                                     "borrado por %1: ")
                                              .arg(b->puesto) +
                                          describir(e);
                    }
            continue;
        }
        const Fila &enBase = tablas[alguno.tabla][alguno.id];
        for (auto col = columnas.cbegin(); col != columnas.cend(); ++col) {
            const QList<Evento> &lista = col.value();
            // Last confirmed wins: a change may be the last one unless another began after it
            // had been confirmed.
            qint64 ultimoInicio = 0;
            for (const Evento &e : lista)
                ultimoInicio = std::max(ultimoInicio, e.t0);
            QStringList posibles;
            for (const Evento &e : lista)
                if (e.t1 >= ultimoInicio)
                    posibles << e.valor;
            const QString valor = enBase.value(col.key());
            if (posibles.contains(valor))
                continue;
            ++r.escritasRancias;
            const auto ultimo =
                std::max_element(lista.cbegin(), lista.cend(),
                                 [](const Evento &a, const Evento &b) { return a.t1 < b.t1; });
            r.perdidas << QStringLiteral("valor confirmado sustituido por otro anterior (%1 en "
                                         "la base): ")
                                  .arg(valor.left(40)) +
                              describir(*ultimo);
        }
    }
    return r;
}

QString validar(const QString &conexion, const QString &clave) {
    QProcess gfix;
    gfix.setProcessChannelMode(QProcess::MergedChannels);
    gfix.start(QStringLiteral("gfix"),
               {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"),
                QStringLiteral("SYSDBA"), QStringLiteral("-password"), clave, conexion});
    if (!gfix.waitForFinished(600000))
        return QStringLiteral("gfix no terminó: ") + gfix.errorString();
    const QString salida = QString::fromLocal8Bit(gfix.readAll()).trimmed();
    if (gfix.exitStatus() != QProcess::NormalExit || gfix.exitCode() != 0)
        return QStringLiteral("gfix terminó con %1: %2").arg(gfix.exitCode()).arg(salida);
    return salida;
}

} // namespace carga
