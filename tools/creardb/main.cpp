// trelmavondis-creardb: creates a database file with the schema and the reference data,
// and with --demo also the demo installer, manager and installations.

#include "data/SqlScript.h"
#include "db/Connection.h"
#include "db/Engine.h"
#include "db/Errors.h"
#include "tools/creardb/AdjuntosDemo.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

namespace {

// The database of `path` attached with the tool's user and password.
void abrir(db::Database &database, const QString &path, const QString &user,
           const QString &password) {
    database.databaseName = path;
    database.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=") + user,
                       QStringLiteral("password=") + password};
    database.open();
}

} // namespace

int main(int argc, char **argv) {
    // Declared first, so it runs last: the database is closed by then.
    const db::fb::EngineShutdown engine;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trelmavondis-creardb"));
    // Qt's own words of the help ("Uso:", "Opciones:") and of its errors, in Spanish.
    QTranslator qt;
    if (qt.load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"),
                QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Crea una base de datos de Trelmavondis con el esquema y las listas de "
                       "referencia."));
    const QCommandLineOption help(
        QStringList{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("ayuda")},
        QStringLiteral("Muestra esta ayuda y termina."));
    parser.addPositionalArgument(
        QStringLiteral("ruta"),
        QStringLiteral("Archivo nuevo (o servidor:ruta) de la base de datos."));
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("Añade los datos de demostración; con un archivo local, también los "
                       "archivos adjuntos de demostración, en la carpeta \"adjuntos\" junto a "
                       "él."));
    const QCommandLineOption user(QStringLiteral("usuario"), QStringLiteral("Usuario."),
                                  QStringLiteral("usuario"), QStringLiteral("SYSDBA"));
    const QCommandLineOption password(QStringLiteral("clave"), QStringLiteral("Clave."),
                                      QStringLiteral("clave"), QStringLiteral("masterkey"));
    const QCommandLineOption extra(QStringList{QStringLiteral("guion")},
                                   QStringLiteral("Ejecuta además este guion SQL (repetible)."),
                                   QStringLiteral("archivo"));
    parser.addOptions({help, demo, user, password, extra});
    QTextStream err(stderr);
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << '\n' << parser.helpText();
        return 2;
    }
    if (parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (parser.positionalArguments().size() != 1) {
        err << parser.helpText();
        return 2;
    }
    const QString path = parser.positionalArguments().first();
    // "servidor:/ruta" goes through a server; a drive letter ("C:\...") is a local file.
    const bool local = !path.contains(u':') || (path.size() > 2 && path[1] == u':');
    if (local && QFileInfo::exists(path)) {
        err << "Ya existe " << path << ": no se sobrescribe.\n";
        return 1;
    }
    try {
        schema::createDatabase(path, parser.value(user), parser.value(password),
                               parser.isSet(demo));
        const QStringList scripts = parser.values(extra);
        if (!scripts.isEmpty() || (parser.isSet(demo) && local)) {
            db::Database database;
            abrir(database, path, parser.value(user), parser.value(password));
            if (parser.isSet(demo) && local)
                crearAdjuntosDemo(
                    database, QFileInfo(path).absoluteDir().filePath(QStringLiteral("adjuntos")));
            for (const QString &file : scripts) {
                QFile f(file);
                if (!f.open(QIODevice::ReadOnly))
                    throw db::DatabaseError(QStringLiteral("No se puede leer %1").arg(file));
                schema::runScript(database, QString::fromUtf8(f.readAll()));
            }
        }
    } catch (const db::DatabaseError &e) {
        err << "No se ha podido crear " << path << ":\n" << e.message() << '\n';
        return 1;
    }
    QTextStream(stdout) << "Creada " << path << '\n';
    return 0;
}
