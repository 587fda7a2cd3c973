#pragma once

#include <QApplication>
#include <QWidget>

// A window looked up by its instance name among the application's top-level windows.
template <class Ventana> Ventana *ventanaPorNombre(const QString &nombre) {
    const QWidgetList ventanas = QApplication::topLevelWidgets();
    for (QWidget *w : ventanas)
        if (w->objectName() == nombre)
            if (auto *v = qobject_cast<Ventana *>(w))
                return v;
    return nullptr;
}

// Moves a window to the middle of the work area of its screen.
void centrarEnPantalla(QWidget *ventana);
