#include "app/Aplicacion.h"

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
        showException(std::current_exception(), activeWindow());
    }
    return false;
}
