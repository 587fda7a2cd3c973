#pragma once

#include "tests/common/Entorno.h"
#include "tests/common/SeedRows.h"

#include <QString>
#include <QWidget>

#include <functional>

// One runner per test class; main() runs them all in one application.
int runArmariosTests(int argc, char **argv);
int runSeleccionTests(int argc, char **argv);
int runAcercadeTests(int argc, char **argv);

// The editors' suite: the main window's fake opens the real cabinet and branch editors from
// the after-insert rule, as the program's main window does. Called once, before any test.
void abrirEditoresDesdeLaVentana();

// Runs f when the event loop next turns: for actions that open a modal window from inside a
// modal answer.
void luego(std::function<void()> f);

// A window's control by its name; a missing one stops the run.
template <class T = QWidget> T *hijo(QWidget *w, const QString &nombre) {
    T *c = w->findChild<T *>(nombre);
    if (!c)
        qFatal("no hay control %s", qPrintable(nombre));
    return c;
}

inline const QString kBloqueo =
    QStringLiteral("No es posible modificar los registros de una instalacion enviada");
inline const QString kAplicacion = QStringLiteral("Trelmavondis");
