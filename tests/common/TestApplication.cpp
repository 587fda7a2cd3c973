#include "tests/common/TestApplication.h"

#include "platform/dialogs/MessageBoxes.h"

bool TestApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showException(std::current_exception());
    }
    return false;
}
