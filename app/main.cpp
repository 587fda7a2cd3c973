#include "app/Aplicacion.h"
#include "app/Arranque.h"
#include "db/Engine.h"
#include "db/LocalTime.h"
#include "platform/dialogs/MessageBoxes.h"

int main(int argc, char **argv) {
    db::readLocalTimeZoneOnce();
    // Declared first, so it runs last: the windows and the data module are gone by then.
    const db::fb::EngineShutdown engine;
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
