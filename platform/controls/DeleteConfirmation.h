#pragma once

class QWidget;

namespace platform {

// The box that every navigator and grid shows before deleting a record: titled
// "Confirmación", text "¿Desea eliminar el registro?", buttons "OK" and "Cancelar".
// Answers whether the user pressed "OK".
bool confirmDelete(QWidget *parent);

} // namespace platform
