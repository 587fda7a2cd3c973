#pragma once

#include <QString>

// The part of reports/FORMATO.md that lists what a layout may name: each data connection of
// the bulletin and of the listing with its fields, and the listing's parameters. It is made
// from the program itself (the data module's record sets, the bulletin's and the search
// dialog's report objects), so that the note cannot drift from the program; the drift test
// compares it with the committed note and formato_informes writes it there.
namespace formato {

// The marks around the generated part, each on a line of its own.
inline constexpr char Inicio[] =
    "<!-- Campos de las conexiones: lo escribe el programa formato_informes; no lo edite a "
    "mano. -->";
inline constexpr char Fin[] = "<!-- Fin de los campos de las conexiones. -->";

// The generated part, without the marks. Builds the data module on a fresh test database,
// with its bulletin and its search dialog: needs the application object.
QString seccionGenerada();

// The text between the marks of a note; a null string when the note lacks them.
QString seccionDe(const QString &nota);
// The note with the text between its marks replaced; a null string when it lacks them.
QString conSeccion(const QString &nota, const QString &seccion);

// How to bring the committed note up to date, for the drift test's message.
QString comoRegenerar();

} // namespace formato
