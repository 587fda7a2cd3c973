#pragma once

#include <QApplication>

// The application object. No exception crosses Qt's event loop: notify() catches every
// exception and shows it in the error box (showException); the silent abort shows nothing.
class Aplicacion : public QApplication {
    Q_OBJECT
public:
    Aplicacion(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
