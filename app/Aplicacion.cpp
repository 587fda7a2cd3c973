#include "app/Aplicacion.h"

#include "db/Errors.h"
#include "platform/dialogs/MessageBoxes.h"

#include <QLibraryInfo>
#include <QTranslator>

Aplicacion::Aplicacion(int &argc, char **argv) : QApplication(argc, argv) {
    // No display name: Qt would append it to every window's title.
    setApplicationName(QStringLiteral("Trelmavondis"));
    setOrganizationName(QStringLiteral("Nirvelo"));
    // Qt's own dialogs and buttons speak Spanish.
    auto *qt = new QTranslator(this);
    if (qt->load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qt);
}

bool Aplicacion::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        mostrarExcepcion(std::current_exception());
    }
    return false;
}

void Aplicacion::mostrarExcepcion(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const db::Abort &) {
        // The silent abort: whoever raised it has said what was needed.
    } catch (const db::DatabaseError &x) {
        mostrarError(activeWindow(), x.message());
    } catch (const std::exception &x) {
        mostrarError(activeWindow(), QString::fromLocal8Bit(x.what()));
    }
}
