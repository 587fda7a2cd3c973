#include "app/Aplicacion.h"
#include "app/Arranque.h"

int main(int argc, char **argv) {
    Aplicacion app(argc, argv);
    Arranque arranque;
    try {
        if (!arranque.iniciar())
            return 1;
        return arranque.ejecutar();
    } catch (...) {
        Aplicacion::mostrarExcepcion(std::current_exception());
        return 1;
    }
}
