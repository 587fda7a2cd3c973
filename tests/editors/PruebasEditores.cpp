#include "tests/editors/PruebasEditores.h"

#include "editors/Editores.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

void abrirEditoresDesdeLaVentana() {
    Entorno::preparar = [](Entorno &e) {
        VentanaFalsa *ventana = e.principal.get();
        TDatos *datos = e.datos.get();
        ventana->alAbrirArmarios = [ventana, datos] { abrirEditorArmarios(*datos, ventana); };
        ventana->alAbrirDerivaciones = [ventana, datos] {
            abrirEditorDerivaciones(*datos, ventana);
        };
    };
}

void luego(std::function<void()> f) {
    QTimer::singleShot(0, qApp, std::move(f));
}

void teclear(QWidget *widget, const QString &texto) {
    for (QChar c : texto) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}
