#pragma once

#include <QApplication>
#include <QWidget>

// Windows kept between uses are found again by their object name.

// The top-level window of type W with that object name; null when there is none.
template <class W> W *findWindow(const QString &name) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (w->objectName() == name)
            if (auto *found = qobject_cast<W *>(w))
                return found;
    return nullptr;
}

// Moves a window so that its frame, what the user sees, is in the middle of its screen's
// work area.
void centerOnScreen(QWidget *window);
