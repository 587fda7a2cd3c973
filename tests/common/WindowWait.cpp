#include "tests/common/WindowWait.h"

#include <QWidget>
#include <QtWidgets/qtestsupport_widgets.h>

bool activateAndWait(QWidget *window) {
    window = window->window();
    if (!window->isActiveWindow())
        window->activateWindow();
    return QTest::qWaitForWindowActive(window, kWindowWait);
}
