#pragma once

#include <QApplication>

// The application object of the window tests: like the program's, its notify() stops every
// error a handler raises and shows it with showException (the error box over the active modal
// window, else the active window), where the modal answers read it; the silent abort shows
// nothing.
class TestApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};
