#include "tests/platform/controls/ErrorShowingApplication.h"

#include "platform/dialogs/MessageBoxes.h"

bool ErrorShowingApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showException(std::current_exception(), activeWindow());
    }
    return false;
}
