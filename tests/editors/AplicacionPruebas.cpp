#include "tests/editors/AplicacionPruebas.h"

#include "db/Errors.h"
#include "platform/dialogs/MessageBoxes.h"

AplicacionPruebas::AplicacionPruebas(int &argc, char **argv) : QApplication(argc, argv) {}

bool AplicacionPruebas::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const db::Abort &) {
    } catch (const db::DatabaseError &e) {
        mostrarError(activeModalWidget() ? activeModalWidget() : activeWindow(), e.message());
    } catch (const std::exception &e) {
        mostrarError(activeWindow(), QString::fromUtf8(e.what()));
    }
    return false;
}
