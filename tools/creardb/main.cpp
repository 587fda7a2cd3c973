// trelmavondis-creardb: creates a database file with the schema and the reference data,
// and with --demo also the demo installer, manager and installations.

#include "data/SqlScript.h"
#include "db/Connection.h"
#include "db/Errors.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trelmavondis-creardb"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Crea una base de datos de Trelmavondis con el esquema y las listas de "
                       "referencia."));
    parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("ruta"),
        QStringLiteral("Archivo nuevo (o servidor:ruta) de la base de datos."));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Añade los datos de demostración."));
    const QCommandLineOption user(QStringLiteral("usuario"), QStringLiteral("Usuario."),
                                  QStringLiteral("usuario"), QStringLiteral("SYSDBA"));
    const QCommandLineOption password(QStringLiteral("clave"), QStringLiteral("Clave."),
                                      QStringLiteral("clave"), QStringLiteral("masterkey"));
    const QCommandLineOption extra(QStringList{QStringLiteral("guion")},
                                   QStringLiteral("Ejecuta además este guion SQL (repetible)."),
                                   QStringLiteral("archivo"));
    parser.addOptions({demo, user, password, extra});
    parser.process(app);
    QTextStream err(stderr);
    if (parser.positionalArguments().size() != 1) {
        err << parser.helpText();
        return 2;
    }
    const QString path = parser.positionalArguments().first();
    if (!path.contains(u':') && QFileInfo::exists(path)) {
        err << "Ya existe " << path << ": no se sobrescribe.\n";
        return 1;
    }
    try {
        schema::createDatabase(path, parser.value(user), parser.value(password),
                               parser.isSet(demo));
        const QStringList scripts = parser.values(extra);
        if (!scripts.isEmpty()) {
            db::Database database;
            database.databaseName = path;
            database.params = {QStringLiteral("lc_ctype=WIN1252"),
                               QStringLiteral("user_name=") + parser.value(user),
                               QStringLiteral("password=") + parser.value(password)};
            database.open();
            for (const QString &file : scripts) {
                QFile f(file);
                if (!f.open(QIODevice::ReadOnly))
                    throw db::DatabaseError(QStringLiteral("No se puede leer %1").arg(file));
                schema::runScript(database, QString::fromUtf8(f.readAll()));
            }
        }
    } catch (const db::DatabaseError &e) {
        err << e.message() << '\n';
        return 1;
    }
    QTextStream(stdout) << "Creada " << path << '\n';
    return 0;
}
