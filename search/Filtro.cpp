#include "search/Filtro.h"

#include "db/Errors.h"

#include <QStringList>

namespace busqueda {
namespace {

QString fechaInvalida(const QString &texto) {
    return QStringLiteral("'%1' no es una fecha válida").arg(texto);
}

// The box's mask is "!99/99/9999": day, month, year.
enum Parte { Dia, Mes, Anio };

// The last year the server stores: the day after its end has no literal.
constexpr int kUltimoAnio = 9999;

} // namespace

QDate leerFecha(const QString &texto) {
    const QStringList partes = texto.split(u'/');
    if (partes.size() != 3)
        throw db::Refusal(fechaInvalida(texto));
    int numeros[3];
    int cifras[3];
    for (int i = 0; i < 3; ++i) {
        const QString parte = partes[i].trimmed();
        bool ok = !parte.isEmpty();
        for (QChar c : parte)
            ok = ok && c >= u'0' && c <= u'9';
        if (!ok)
            throw db::Refusal(fechaInvalida(texto));
        numeros[i] = parte.toInt();
        cifras[i] = int(parte.size());
    }
    int anio = numeros[Anio];
    if (cifras[Anio] <= 2) // a short year falls in the current century
        anio += QDate::currentDate().year() / 100 * 100;
    const QDate fecha(anio, numeros[Mes], numeros[Dia]);
    if (!fecha.isValid() || anio < 1)
        throw db::Refusal(fechaInvalida(texto));
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
    if (a != FechaVacia) {
        const QDate hasta = leerFecha(a);
        const QDate siguiente = hasta.addDays(1);
        if (siguiente.year() <= kUltimoAnio)
            anadir(QStringLiteral("fecha<'") + fechaSql(siguiente) + u'\'');
        else // the last day the server stores, up to its last moment
            anadir(QStringLiteral("fecha<='") + fechaSql(hasta) +
                   QStringLiteral(" 23:59:59.9999'"));
    }
    if (enviado == Enviado::Si)
        anadir(QStringLiteral("enviado='S'"));
    else if (enviado == Enviado::No)
        anadir(QStringLiteral("enviado='N'"));
    if (condicion.isEmpty())
        return condicion;
    return QStringLiteral("Where ") + condicion;
}

QString descripcionFiltro(const QString &de, const QString &a, Enviado enviado) {
    const auto dia = [](const QString &texto) {
        return leerFecha(texto).toString(QStringLiteral("dd/MM/yyyy"));
    };
    QString fechas;
    if (de != FechaVacia && a != FechaVacia) {
        const QString desde = dia(de);
        const QString hasta = dia(a);
        fechas = desde == hasta ? QStringLiteral("el ") + desde
                                : QStringLiteral("entre el %1 y el %2").arg(desde, hasta);
    } else if (de != FechaVacia) {
        fechas = QStringLiteral("desde el ") + dia(de);
    } else if (a != FechaVacia) {
        fechas = QStringLiteral("hasta el ") + dia(a);
    }
    // Without the sent state the dates are those of the dossiers, sent or not.
    switch (enviado) {
    case Enviado::Si:
        return fechas.isEmpty() ? QStringLiteral("Enviadas") : QStringLiteral("Enviadas ") + fechas;
    case Enviado::No:
        return fechas.isEmpty() ? QStringLiteral("No enviadas")
                                : QStringLiteral("No enviadas, con fecha de envío ") + fechas;
    case Enviado::Todos:
        break;
    }
    return fechas.isEmpty() ? QStringLiteral("Todas")
                            : QStringLiteral("Con fecha de envío ") + fechas;
}

} // namespace busqueda
