#include "platform/controls/DeleteConfirmation.h"

#include <QMessageBox>
#include <QPushButton>

namespace platform {

bool confirmDelete(QWidget *parent) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirmación"),
                    QStringLiteral("¿Desea eliminar el registro?"), QMessageBox::NoButton, parent);
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == ok;
}

} // namespace platform
