#include "tests/search/FormatoInformes.h"

#include "data/UDatos.h"
#include "db/Field.h"
#include "db/RecordSet.h"
#include "documents/Boletin.h"
#include "search/Ubinstalacion.h"
#include "tests/common/Entorno.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>

namespace formato {
namespace {

// What each connection holds, in the technician's words. A connection the program adds
// without a line here shows up as "(sin descripción)" in the note and fails the drift test
// until it is described.
const QHash<QString, QString> &descripciones() {
    static const QHash<QString, QString> d = {
        {"RVDinstalacion", "La instalación del boletín: una sola fila, la del expediente que se "
                           "imprime o se envía."},
        {"RVDarmarios", "Los armarios de contadores de esa instalación, uno por fila."},
        {"RVDderivaciones", "Las derivaciones individuales de esa instalación, una por fila."},
        {"RVDinstalador", "El instalador de esa instalación (una fila)."},
        {"RVqlinst", "Las instalaciones que muestra la búsqueda, una por fila, en su orden (por "
                     "`ID`) y con la selección que tenga la búsqueda al imprimir."},
    };
    return d;
}

const QHash<QString, QString> &parametros() {
    static const QHash<QString, QString> d = {
        {"Seleccion",
         "Qué instalaciones lista, en palabras: «Todas», «Enviadas», «No enviadas», «Enviadas "
         "entre el 06/05/2025 y el 02/06/2025», «Enviadas desde el 06/05/2025», «Enviadas hasta "
         "el 02/06/2025», «Enviadas el 20/05/2025», «No enviadas, con fecha de envío desde el "
         "06/05/2025», «Con fecha de envío entre el 06/05/2025 y el 02/06/2025» (sin marcar "
         "«Enviado»)…"},
    };
    return d;
}

QString tipo(const db::Field &f) {
    switch (f.type()) {
    case db::FieldType::Integer:
        return QStringLiteral("número entero");
    case db::FieldType::Float:
        return QStringLiteral("número con decimales");
    case db::FieldType::DateTime:
        return QStringLiteral("fecha");
    case db::FieldType::FixedChar:
        return QStringLiteral("texto de %1 %2")
            .arg(f.size())
            .arg(f.size() == 1 ? QStringLiteral("letra") : QStringLiteral("letras"));
    case db::FieldType::String:
        break;
    }
    return f.size() > 0 ? QStringLiteral("texto de hasta %1 letras").arg(f.size())
                        : QStringLiteral("texto");
}

// How the field prints a sample value, as the record set shows it.
QString ejemplo(const db::Field &f) {
    QVariant muestra;
    switch (f.type()) {
    case db::FieldType::Integer:
        muestra = 1234;
        break;
    case db::FieldType::Float:
        muestra = 1234.5;
        break;
    case db::FieldType::DateTime:
        muestra = QDateTime(QDate(2025, 3, 14), QTime(9, 30));
        break;
    default:
        return QString();
    }
    return u'"' + f.textOf(muestra, true) + u'"';
}

QString origen(const db::Field &f) {
    switch (f.kind()) {
    case db::FieldKind::Data:
        return QStringLiteral("dato guardado");
    case db::FieldKind::Lookup:
        return QStringLiteral("lo que corresponde al código `%1` en la lista `%2` (`%3`)")
            .arg(f.keyField, f.lookupDataSet ? f.lookupDataSet->name() : QStringLiteral("?"),
                 f.lookupResultField);
    case db::FieldKind::Calculated:
        return QStringLiteral("lo compone el programa");
    }
    return QString();
}

QString tabla(const QString &conexion, const QString &informe, db::RecordSet &conjunto) {
    // A select without declared fields ("select *") has them once it is open.
    const bool abierto = conjunto.active();
    if (!abierto)
        conjunto.open();
    QString t = QStringLiteral("### `%1` (%2)\n\n").arg(conexion, informe);
    t += descripciones().value(conexion, QStringLiteral("(sin descripción)")) +
         QStringLiteral(" Conjunto de registros `%1`.\n\n").arg(conjunto.name());
    t += QStringLiteral("| campo | qué guarda | se imprime así | de dónde sale |\n"
                        "|---|---|---|---|\n");
    for (int i = 0; i < conjunto.fieldCount(); ++i) {
        const db::Field &f = conjunto.fieldAt(i);
        t += QStringLiteral("| `%1` | %2 | %3 | %4 |\n")
                 .arg(f.name(), tipo(f), ejemplo(f), origen(f));
    }
    if (!abierto)
        conjunto.close();
    return t + u'\n';
}

} // namespace

QString seccionGenerada() {
    Entorno e(kDemo);
    Boletin boletin(e.d(), nullptr);
    TFbinstalacion busqueda(e.d(), nullptr);
    QString s;
    for (const auto &[nombre, conjunto] : boletin.RVP.connections())
        s += tabla(nombre, QStringLiteral("boletín, `Trelmavondis.rav`"), *conjunto);
    for (const auto &[nombre, conjunto] : busqueda.RVP.connections())
        s += tabla(nombre, QStringLiteral("listado, `Listado.rav`"), *conjunto);
    s += QStringLiteral("### Parámetros del listado (`Listado.rav`)\n\n"
                        "| parámetro | qué dice |\n|---|---|\n");
    for (const QString &p : busqueda.RVP.parameterNames())
        s += QStringLiteral("| `%1` | %2 |\n")
                 .arg(p, parametros().value(p, QStringLiteral("(sin descripción)")));
    s += QStringLiteral("\nEl boletín no tiene parámetros.\n");
    return s;
}

namespace {

struct Marcas {
    qsizetype desde = -1; // first character after the opening mark's line
    qsizetype hasta = -1; // start of the closing mark
};

Marcas marcas(const QString &nota) {
    Marcas m;
    const QString inicio = QString::fromUtf8(Inicio) + u'\n';
    const qsizetype i = nota.indexOf(inicio);
    if (i < 0)
        return m;
    const qsizetype f = nota.indexOf(QString::fromUtf8(Fin), i + inicio.size());
    if (f < 0)
        return m;
    m.desde = i + inicio.size();
    m.hasta = f;
    return m;
}

} // namespace

QString seccionDe(const QString &nota) {
    const Marcas m = marcas(nota);
    if (m.desde < 0)
        return QString();
    return nota.mid(m.desde, m.hasta - m.desde);
}

QString conSeccion(const QString &nota, const QString &seccion) {
    const Marcas m = marcas(nota);
    if (m.desde < 0)
        return QString();
    return nota.left(m.desde) + seccion + nota.mid(m.hasta);
}

QString comoRegenerar() {
    return QStringLiteral(
        "reports/FORMATO.md no dice los campos que tiene el programa. Para ponerla al día: "
        "cmake --build build --target formato_informes && build/tests/search/formato_informes "
        "reports/FORMATO.md, y revise el cambio con git diff");
}

} // namespace formato
