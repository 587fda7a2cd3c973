#include "tests/editors/AplicacionPruebas.h"

#include "platform/dialogs/MessageBoxes.h"

AplicacionPruebas::AplicacionPruebas(int &argc, char **argv) : QApplication(argc, argv) {}

bool AplicacionPruebas::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showException(std::current_exception());
    }
    return false;
}
