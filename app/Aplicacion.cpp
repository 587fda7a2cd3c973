#include "app/Aplicacion.h"

#include "platform/dialogs/MessageBoxes.h"

#include <QFont>
#include <QIcon>
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
    // Every window's text is Arial (Liberation Sans through fontconfig), whatever font the
    // system would choose: without DejaVu, Qt's default sans font resolves to a monospaced one.
    QFont letra = font();
    letra.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    letra.setStyleHint(QFont::SansSerif);
    setFont(letra);
    // The installed icon, or the program's own copy when it runs from the build tree.
    setWindowIcon(QIcon::fromTheme(QStringLiteral("trelmavondis"),
                                   QIcon(QStringLiteral(":/trelmavondis/trelmavondis-48.png"))));
}

bool Aplicacion::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showException(std::current_exception(), activeWindow());
    }
    return false;
}
