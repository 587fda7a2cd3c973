#include "tests/editors/PruebasEditores.h"

#include "editors/Editores.h"

#include <QApplication>
#include <QTimer>

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
