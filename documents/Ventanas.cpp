#include "documents/Ventanas.h"

#include <QScreen>

void centrarEnPantalla(QWidget *ventana) {
    const QScreen *pantalla = ventana->screen();
    if (!pantalla)
        return;
    // The frame is what the user sees: centre it, not the client area.
    QRect marco = ventana->frameGeometry();
    marco.moveCenter(pantalla->availableGeometry().center());
    ventana->move(marco.topLeft());
}
