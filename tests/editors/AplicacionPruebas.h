#pragma once

#include <QApplication>

// The application object of the editor tests: like the program's, its notify() stops every
// error a handler raises and shows it in the error box ("Trelmavondis", error icon), where the
// tests' modal answers read it; the silent abort shows nothing.
class AplicacionPruebas : public QApplication {
public:
    AplicacionPruebas(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
