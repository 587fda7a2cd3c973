#pragma once

#include <QApplication>

// The application object. No exception crosses Qt's event loop: notify() catches
// DatabaseError and other exceptions and shows them in the error box; the silent abort
// shows nothing.
class Aplicacion : public QApplication {
    Q_OBJECT
public:
    Aplicacion(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
