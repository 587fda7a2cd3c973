#include "search/Filtro.h"

#include "db/Errors.h"

#include <QLocale>
#include <QStringList>

namespace busqueda {
namespace {

QString fechaInvalida(const QString &texto) {
    return QStringLiteral("'%1' no es una fecha válida").arg(texto);
}

// The positions of day, month and year in the system's short date format.
struct Orden {
    int dia, mes, anio;
};

Orden ordenDelSistema() {
    const QString formato = QLocale::system().dateFormat(QLocale::ShortFormat);
    const qsizetype d = formato.indexOf(u'd');
    const qsizetype m = formato.indexOf(u'M');
    const qsizetype y = formato.indexOf(u'y');
    if (d < 0 || m < 0 || y < 0)
        return {0, 1, 2};
    auto lugar = [&](qsizetype p) { return int(p > d) + int(p > m) + int(p > y); };
    return {lugar(d), lugar(m), lugar(y)};
}

} // namespace

QDate leerFecha(const QString &texto) {
    const QStringList partes = texto.split(u'/');
    if (partes.size() != 3)
        throw db::DatabaseError(fechaInvalida(texto));
    int numeros[3];
    int cifras[3];
    for (int i = 0; i < 3; ++i) {
        const QString parte = partes[i].trimmed();
        bool ok = !parte.isEmpty();
        for (QChar c : parte)
            ok = ok && c >= u'0' && c <= u'9';
        if (!ok)
            throw db::DatabaseError(fechaInvalida(texto));
        numeros[i] = parte.toInt();
        cifras[i] = int(parte.size());
    }
    const Orden orden = ordenDelSistema();
    int anio = numeros[orden.anio];
    if (cifras[orden.anio] <= 2) // a short year falls in the current century
        anio += QDate::currentDate().year() / 100 * 100;
    const QDate fecha(anio, numeros[orden.mes], numeros[orden.dia]);
    if (!fecha.isValid() || anio < 1)
        throw db::DatabaseError(fechaInvalida(texto));
    return fecha;
}

QString fechaSql(const QDate &fecha) {
    return QStringLiteral("%1/%2/%3")
        .arg(fecha.month(), 2, 10, QLatin1Char('0'))
        .arg(fecha.day(), 2, 10, QLatin1Char('0'))
        .arg(fecha.year(), 4, 10, QLatin1Char('0'));
}

QString lineaFiltro(const QString &de, const QString &a, Enviado enviado) {
    QString condicion;
    QString separador = QStringLiteral(" ");
    auto anadir = [&](const QString &texto) {
        condicion += separador + texto;
        separador = QStringLiteral(" and ");
    };
    if (de != FechaVacia)
        anadir(QStringLiteral("fecha>='") + fechaSql(leerFecha(de)) + u'\'');
    if (a != FechaVacia)
        anadir(QStringLiteral("fecha<='") + fechaSql(leerFecha(a)) + u'\'');
    if (enviado == Enviado::Si)
        anadir(QStringLiteral("enviado='S'"));
    else if (enviado == Enviado::No)
        anadir(QStringLiteral("enviado='N'"));
    if (condicion.isEmpty())
        return condicion;
    return QStringLiteral("Where ") + condicion;
}

} // namespace busqueda
