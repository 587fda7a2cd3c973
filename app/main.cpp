#include "app/Aplicacion.h"
#include "app/Arranque.h"
#include "platform/dialogs/MessageBoxes.h"

int main(int argc, char **argv) {
    Aplicacion app(argc, argv);
    Arranque arranque;
    try {
        if (!arranque.iniciar())
            return 1;
        return arranque.ejecutar();
    } catch (...) {
        showException(std::current_exception());
        return 1;
    }
}
