#include "editors/Ventanas.h"

#include <QScreen>

void centrarEnEscritorio(QWidget *ventana) {
    if (const QScreen *pantalla = ventana->screen())
        ventana->move(pantalla->availableGeometry().center() - ventana->rect().center());
}
