#pragma once

#include <QApplication>
#include <QWidget>

// A window looked up by its instance name among the application's windows.
template <class Ventana> Ventana *buscarVentana(const QString &nombre) {
    const QWidgetList ventanas = QApplication::topLevelWidgets();
    for (QWidget *w : ventanas)
        if (w->objectName() == nombre)
            if (auto *v = qobject_cast<Ventana *>(w))
                return v;
    return nullptr;
}

// The window named Ventana::Instancia, created on first use under `principal`, which keeps
// it, and reused afterwards.
template <class Ventana, class Datos> Ventana *ventanaGuardada(Datos &datos, QWidget *principal) {
    if (Ventana *v = buscarVentana<Ventana>(QLatin1String(Ventana::Instancia)))
        return v;
    return new Ventana(datos, principal);
}

// Moves a window to the middle of its screen's work area.
void centrarEnEscritorio(QWidget *ventana);
