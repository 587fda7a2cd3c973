#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// The search list's filter line, built from the selection controls.
namespace busqueda {

// The text of an empty date box, as its mask stores it.
inline constexpr QStringView FechaVacia = u"  /  /    ";

// A date box's text read as a date in the order of the box's mask, day/month/year, whatever
// the regional settings: the user types into the mask, not into the system's date format. A
// year of one or two digits falls in the current century. Raises db::Refusal
// "'%s' no es una fecha válida" for an incomplete or impossible date.
QDate leerFecha(const QString &texto);

// The date as the server reads a literal: "mm/dd/yyyy", always with "/" (the server reads
// dots as day first and other separators not at all).
QString fechaSql(const QDate &fecha);

// The sent state chosen in the three-state box.
enum class Enviado { Si, No, Todos };

// "Where " + blank + the conditions joined by " and ": "fecha>='mm/dd/yyyy'" for a from-date,
// "fecha<'mm/dd/yyyy'" of the day after a to-date, "enviado='S'" or "enviado='N'"; empty when
// nothing is chosen. FECHA may carry a time of day (the main window's date box takes one), so
// both bounds take their whole day: the upper one is the start of the next day, excluded.
// `de` and `a` are the boxes' texts (FechaVacia when empty). Raises as leerFecha, the
// from-date first.
QString lineaFiltro(const QString &de, const QString &a, Enviado enviado);

// The filter in words, for the listing's header: "Enviadas entre el 06/05/2025 y el
// 02/06/2025", "No enviadas, con fecha de envío desde el 06/05/2025", "Con fecha de envío hasta
// el 02/06/2025", "Todas"... The dates as the boxes read them (day first), written dd/mm/yyyy.
// Raises as lineaFiltro.
QString descripcionFiltro(const QString &de, const QString &a, Enviado enviado);

} // namespace busqueda
