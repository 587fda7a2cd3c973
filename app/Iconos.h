#pragma once

#include <QIcon>

// The pictures of the main window's buttons: the desktop's icon theme where it has the picture,
// otherwise a small one drawn here, so that the window looks the same on any desktop.
namespace iconos {

QIcon copiar();   // two sheets
QIcon buscar();   // binoculars over a list
QIcon imprimir(); // a printer
QIcon correo();   // an envelope
QIcon acercaDe(); // a question mark
QIcon cerrar();   // a door with an arrow leaving it
QIcon adjuntar(); // a clipboard
QIcon borrar();   // an eraser
QIcon editar();   // a pencil over a card: edit and add to a list

} // namespace iconos
