// The search list at country scale. Qinst opened without a filter and moved to its last row,
// Localizacion computed for every installation (municipality and entity names found by
// province and code), against the same rows with the names joined in one statement and
// fetched bare with the client wrapper. Then one month of sending dates through the filter
// line, beside the unfiltered open.

#include "bench/BenchSupport.h"
#include "db/LocalTime.h"
#include "data/UDatos.h"
#include "db/Statement.h"
#include "search/Filtro.h"
#include "search/ListaInstalaciones.h"
#include "tests/common/VistaSinVentana.h"

#include <QCoreApplication>

namespace {

const QString kUnidas = QStringLiteral(
    "select i.EXPEDIENTE, i.ENVIADO, i.FECHA, i.ID, i.LOCALIZA_CODIGO_PROVINCIA, "
    "i.LOCALIZA_ESCALERA, i.LOCALIZA_PISO, i.LOCALIZA_PORTAL, i.LOCALIZA_PUERTA, "
    "i.LOCALIZA_TIPOBIS, i.LOCALIZA_BIS, i.LOCALIZA_CODIGO_POSTAL, i.LOCALIZA_CODIGO_MUNICIPIO, "
    "i.LOCALIZA_COD_ENTIDAD_POBLAC, i.LOCALIZA_CALLE, m.NOMBRE_ENTIDAD_POBLACION, "
    "e.NOMBRE_ENTIDAD_POBLACION, t.DESCRIPCION from INSTALACION i "
    "left join VORTAN_ENTIDAD_POBLACION m on m.CODIGO_PROVINCIA = i.LOCALIZA_CODIGO_PROVINCIA "
    "and m.CODIGO_ENTIDAD_POBLACION = i.LOCALIZA_CODIGO_MUNICIPIO "
    "left join VORTAN_ENTIDAD_POBLACION e on e.CODIGO_PROVINCIA = i.LOCALIZA_CODIGO_PROVINCIA "
    "and e.CODIGO_ENTIDAD_POBLACION = i.LOCALIZA_COD_ENTIDAD_POBLAC "
    "left join TIPO_BIS t on t.ID = i.LOCALIZA_TIPOBIS");

int fetchAllRows(db::Statement &s) {
    const int n = bench::fetchAllRows(s);
    s.closeCursor();
    return n;
}

// Whether some index of INSTALACION starts with FECHA.
bool indiceFecha(db::Transaction &t) {
    db::Statement s(t);
    s.prepare(QStringLiteral(
        "select count(*) from RDB$INDEX_SEGMENTS g join RDB$INDICES x on x.RDB$INDEX_NAME = "
        "g.RDB$INDEX_NAME where x.RDB$RELATION_NAME = 'INSTALACION' and g.RDB$FIELD_NAME = "
        "'FECHA' and g.RDB$FIELD_POSITION = 0"));
    s.execute();
    return s.value(0).toInt() > 0;
}

} // namespace

int main(int argc, char **argv) {
    db::readLocalTimeZoneOnce(); // as the program starts
    QCoreApplication app(argc, argv);
    const bench::Target target = bench::target(argc, argv);
    VistaSinVentana vista; // the data module's boxes go to stderr
    vista.eco = true;
    TDatos datos(&vista);
    datos.Conectar(target.database, QStringLiteral("SYSDBA"), bench::login(target.password));
    if (!indiceFecha(datos.IBTrans())) {
        db::Statement crear(datos.IBTrans());
        crear.prepare(QStringLiteral("CREATE INDEX IX_INSTALACION_FECHA ON INSTALACION (FECHA)"));
        crear.execute();
        datos.IBTrans().commitRetaining();
        std::printf("la base de datos no tenía índice sobre INSTALACION.FECHA: creado\n");
    }

    // One month of sending dates, read from the boxes' texts as the dialog does.
    const QString mes = busqueda::lineaFiltro(
        QStringLiteral("01/03/2022"), QStringLiteral("31/03/2022"), busqueda::Enviado::Todos);
    // The same rows with the names joined by the server, fetched bare.
    db::Statement unidas(datos.IBTrans()), unidasMes(datos.IBTrans());
    unidas.prepare(kUnidas + QStringLiteral(" order by i.ID"));
    unidasMes.prepare(kUnidas + u' ' +
                      QString(mes).replace(QLatin1String("fecha"), QLatin1String("i.fecha")) +
                      QStringLiteral(" order by i.ID"));
    int filasUnidas = fetchAllRows(unidas); // the page cache warm for everyone

    // A list's first open reads the names of the provinces it meets; later opens reuse them.
    auto abrirYUltima = [](ListaInstalaciones &l, const QString &filtro) {
        l.abrir(filtro);
        l.Qinst.last();
        return l.Qinst.recordCount();
    };
    int filasMes = 0, filas = 0;
    ListaInstalaciones primeraMes(datos.IBTrans(), datos.QtipoBis());
    const double mesFrio = bench::medianMs(1, [&] { filasMes = abrirYUltima(primeraMes, mes); });
    ListaInstalaciones lista(datos.IBTrans(), datos.QtipoBis());
    const double todasFrio = bench::medianMs(1, [&] { filas = abrirYUltima(lista, QString()); });
    const double todas = bench::medianMs(5, [&] { filas = abrirYUltima(lista, QString()); });
    const QString ultima = lista.Qinst[QStringLiteral("Localizacion")].asString();
    const double base = bench::medianMs(5, [&] { filasUnidas = fetchAllRows(unidas); });
    std::printf("filas: %d (sentencia con los nombres unidos: %d)\n", filas, filasUnidas);
    std::printf("Localizacion de la última: %s\n", qPrintable(ultima));
    bench::report("Qinst sin filtro: abrir + última fila", todas,
                  "nombres unidos en una sentencia, a pelo", base);
    bench::report("  la primera vez (lee los nombres)", todasFrio,
                  "nombres unidos en una sentencia, a pelo", base);

    int filasUnidasMes = 0;
    const double mesCaliente = bench::medianMs(5, [&] { filasMes = abrirYUltima(lista, mes); });
    const double baseMes = bench::medianMs(5, [&] { filasUnidasMes = fetchAllRows(unidasMes); });
    std::printf("\nfiltro: %s (%d filas; unidas: %d)\n", qPrintable(mes), filasMes, filasUnidasMes);
    bench::report("Qinst filtrada por un mes: abrir + última fila", mesCaliente,
                  "Qinst sin filtro: abrir + última fila", todas);
    bench::report("Qinst filtrada por un mes: abrir + última fila", mesCaliente,
                  "el mes con los nombres unidos, a pelo", baseMes);
    bench::report("  la primera vez (lee los nombres)", mesFrio,
                  "el mes con los nombres unidos, a pelo", baseMes);
    // "&Aceptar" puts the main window on the chosen installation with a locate in
    // DSinstalacion from its first row: here the chosen row lies 2000 places down the list.
    lista.abrir(QString());
    lista.Qinst.moveTo(1999);
    const int elegida = lista.Qinst[QStringLiteral("ID")].asInteger();
    const double aceptar = bench::medianMs(1, [&] {
        datos.DSinstalacion().first();
        datos.DSinstalacion().locate(QStringLiteral("ID"), elegida);
    });
    std::printf("\n%-46s %10.3f ms\n", "Aceptar sobre la fila 2000: locate en DSinstalacion",
                aceptar);
    if (filas != filasUnidas || filasMes != filasUnidasMes)
        return 1;
    return 0;
}
