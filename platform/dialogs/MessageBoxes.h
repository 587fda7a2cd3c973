#pragma once

#include <QString>
#include <QStringView>

#include <exception>
#include <memory>

class QMessageBox;
class QWidget;

// The program's two standard boxes, both captioned with the application
// title and closed with an OK button.

inline constexpr QStringView TituloAplicacion = u"Trelmavondis";

// The error box's full-stop rule: "." is appended unless the text ends in "."
// or in a character whose code is below that of "." (a blank, a quote mark, a
// line break, ...). Empty text stays empty: there is no last character.
QString conPuntoFinal(const QString &msg);

// Builders, so that the boxes can be examined without running them. The
// caller destroys the box before its parent.
std::unique_ptr<QMessageBox> crearCajaError(QWidget *parent, const QString &msg);
std::unique_ptr<QMessageBox> crearCajaMensaje(QWidget *parent, const QString &msg);

// Modal error box: critical icon, text with the full-stop rule.
void mostrarError(QWidget *parent, const QString &msg);
// Modal plain box: no icon, text as given.
void mostrarMensaje(QWidget *parent, const QString &msg);

// Shows a caught exception, the one way errors reach the user: the silent abort (db::Abort)
// shows nothing, a db::DatabaseError its message and any other std::exception its what(),
// in the error box over `parent` (without one, the active window).
void showException(std::exception_ptr error, QWidget *parent = nullptr);
