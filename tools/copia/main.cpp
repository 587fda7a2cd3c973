// trelmavondis-copia: verified backups of the office's database (make, check, restore) and
// the age of the last one, for the nightly timer and for monitoring.

#include "tools/copia/Backup.h"

#include "db/Engine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

const char *const kUsage =
    "Uso:\n"
    "  trelmavondis-copia hacer [--carpeta DIR] [--mantener N] [RUTA]\n"
    "  trelmavondis-copia comprobar COPIA.fbk\n"
    "  trelmavondis-copia restaurar COPIA.fbk NUEVA-RUTA\n"
    "  trelmavondis-copia estado [--carpeta DIR]\n"
    "\n"
    "Órdenes:\n"
    "  hacer      Copia la base de datos (RUTA, o la clave Basededatos de la configuración)\n"
    "             en DIR/trelmavondis-AAAAMMDD-HHMMSS.fbk con el formato portable de Firebird,\n"
    "             mientras los puestos siguen trabajando. La copia sólo cuenta cuando se ha\n"
    "             restaurado, validado y comparado tabla a tabla con la base de datos.\n"
    "  comprobar  Restaura la copia en una base de datos temporal, la valida y cuenta sus filas.\n"
    "  restaurar  Restaura la copia en una base de datos nueva (un archivo o servidor:/ruta);\n"
    "             nunca escribe sobre una que ya exista.\n"
    "  estado     Dice la fecha de la última copia verificada; termina con error cuando es\n"
    "             más antigua que AvisoCopiaDias días (7 si no se indica; 0: nunca avisa).\n"
    "\n"
    "Opciones:\n"
    "  --carpeta DIR   Carpeta de las copias (por omisión, la clave Copias de la configuración).\n"
    "  --mantener N    Tras una copia verificada, borra las más antiguas y deja las N últimas.\n"
    "  --usuario U     Usuario de la base de datos (por omisión, la clave Usuario, o SYSDBA).\n"
    "  --clave C       Clave del usuario; mejor en la variable de entorno ISC_PASSWORD. En un\n"
    "                  terminal se pide si hace falta (base de datos en un servidor).\n"
    "  -h, --ayuda     Muestra esta ayuda.\n"
    "\n"
    "Configuración: /etc/xdg/Nirvelo/Trelmavondis.conf (claves Basededatos, Usuario, Copias,\n"
    "AvisoCopiaDias). Termina con 0 si todo va bien, 1 si algo falla y 2 si la orden está mal.\n";

// The system configuration, read the way the program reads it.
struct Settings {
    QString database, user, folder, file;
    int warnDays = 7;
    QString error;
};

Settings readSettings() {
    QSettings store(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("Nirvelo"),
                    QStringLiteral("Trelmavondis"));
    store.setFallbacksEnabled(false);
    Settings s;
    s.file = store.fileName();
    s.database = store.value(QStringLiteral("Basededatos")).toString();
    s.user = store.value(QStringLiteral("Usuario")).toString();
    s.folder = store.value(QStringLiteral("Copias")).toString();
    const QString days = store.value(QStringLiteral("AvisoCopiaDias")).toString().trimmed();
    if (!days.isEmpty()) {
        bool ok = false;
        s.warnDays = days.toInt(&ok);
        if (!ok || s.warnDays < 0)
            s.error = QStringLiteral("AvisoCopiaDias debe ser un número de días (0 o más), no "
                                     "\"%1\" (%2).")
                          .arg(days, s.file);
    }
    return s;
}

// A status line that rewrites itself on a terminal; nothing when the output goes elsewhere.
class ProgressLine {
public:
    ProgressLine() : m_on(isatty(STDERR_FILENO)) {}
    ~ProgressLine() { clear(); }
    std::function<void(const QString &)> callback() {
        if (!m_on)
            return {};
        return [this](const QString &text) {
            if (text == m_last)
                return;
            m_last = text;
            std::fprintf(stderr, "\r\033[K%s", text.toLocal8Bit().constData());
            std::fflush(stderr);
        };
    }
    void clear() {
        if (m_on && !m_last.isEmpty()) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
            m_last.clear();
        }
    }

private:
    bool m_on;
    QString m_last;
};

QString askPassword(const QString &user, const QString &database) {
    if (!isatty(STDIN_FILENO))
        return {};
    std::fprintf(stderr, "Clave de %s para %s: ", user.toLocal8Bit().constData(),
                 database.toLocal8Bit().constData());
    termios old{};
    tcgetattr(STDIN_FILENO, &old);
    termios quiet = old;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    QTextStream in(stdin);
    const QString password = in.readLine();
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
    std::fputc('\n', stderr);
    return password;
}

} // namespace

int main(int argc, char **argv) {
    // Declared first, so it runs last: our own threads and attachments are gone by then.
    const db::fb::EngineShutdown engine;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trelmavondis-copia"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("ayuda"),
                                   QStringLiteral("help")},
                                  QStringLiteral("Muestra la ayuda."));
    const QCommandLineOption folderOption(QStringLiteral("carpeta"), QString(),
                                          QStringLiteral("DIR"));
    const QCommandLineOption keepOption(QStringLiteral("mantener"), QString(), QStringLiteral("N"));
    const QCommandLineOption userOption(QStringLiteral("usuario"), QString(), QStringLiteral("U"));
    const QCommandLineOption passwordOption(QStringLiteral("clave"), QString(),
                                            QStringLiteral("C"));
    parser.addOptions({help, folderOption, keepOption, userOption, passwordOption});
    if (!parser.parse(app.arguments())) {
        err << parser.errorText().replace(QStringLiteral("Unknown option"),
                                          QStringLiteral("Opción desconocida"))
            << "\n\n"
            << kUsage;
        return 2;
    }
    if (parser.isSet(help)) {
        out << kUsage;
        return 0;
    }
    QStringList args = parser.positionalArguments();
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    auto usage = [&](const QString &why) {
        err << why << "\n\n" << kUsage;
        return 2;
    };

    const Settings settings = readSettings();
    if (!settings.error.isEmpty()) {
        err << settings.error << '\n';
        return 2;
    }
    backup::Options options;
    options.login.user = parser.isSet(userOption) ? parser.value(userOption)
                         : settings.user.isEmpty() ? QStringLiteral("SYSDBA")
                                                   : settings.user;
    options.login.password = parser.isSet(passwordOption)
                                 ? parser.value(passwordOption)
                                 : qEnvironmentVariable("ISC_PASSWORD");
    // Only a server asks for a password; the embedded engine opens a local file as it is.
    auto needPassword = [&](const QString &database) {
        if (options.login.password.isEmpty() && !backup::Location::parse(database).local())
            options.login.password = askPassword(options.login.user, database);
    };
    const QString folder =
        parser.isSet(folderOption) ? parser.value(folderOption) : settings.folder;
    ProgressLine progress;
    options.progress = progress.callback();

    try {
        if (command == u"hacer") {
            if (args.size() > 1)
                return usage(QStringLiteral("Sobran argumentos: %1").arg(args.mid(1).join(u' ')));
            const QString database = args.isEmpty() ? settings.database : args.first();
            if (database.isEmpty())
                return usage(QStringLiteral("Falta la base de datos: indíquela como RUTA o con la "
                                            "clave Basededatos de %1.")
                                 .arg(settings.file));
            if (folder.isEmpty())
                return usage(QStringLiteral("Falta la carpeta de las copias: indíquela con "
                                            "--carpeta o con la clave Copias de %1.")
                                 .arg(settings.file));
            int keep = 0;
            if (parser.isSet(keepOption)) {
                bool ok = false;
                keep = parser.value(keepOption).toInt(&ok);
                if (!ok || keep < 1)
                    return usage(QStringLiteral("--mantener necesita un número de copias, 1 o "
                                                "más, no \"%1\".")
                                     .arg(parser.value(keepOption)));
            }
            needPassword(database);
            const backup::Result r = backup::makeCopy(database, folder, options);
            if (keep > 0)
                backup::keepNewest(folder, keep);
            progress.clear();
            out << "Copia verificada: " << backup::summary(r.contents) << " ("
                << backup::sizeText(r.size) << ") en " << r.file << '\n';
            return 0;
        }
        if (command == u"comprobar") {
            if (args.size() != 1)
                return usage(QStringLiteral("comprobar necesita una copia, y sólo una."));
            const backup::Result r = backup::checkCopy(args.first(), options);
            progress.clear();
            out << "Copia correcta: " << backup::summary(r.contents) << " ("
                << backup::sizeText(r.size) << ")";
            if (r.manifest)
                out << "; coincide con lo que tenía al hacerla, el "
                    << r.manifest->made.toLocalTime().toString(QStringLiteral("dd/MM/yyyy 'a las' HH:mm"))
                    << ".\n";
            else
                out << ".\nLa copia no tiene huella (" << QFileInfo(backup::Manifest::pathFor(r.file)).fileName()
                    << "): se ha restaurado y validado, pero no se puede comparar con lo que había al "
                       "hacerla.\n";
            return 0;
        }
        if (command == u"restaurar") {
            if (args.size() != 2)
                return usage(QStringLiteral("restaurar necesita la copia y la ruta de la base de "
                                            "datos nueva."));
            needPassword(args.at(1));
            const backup::Result r = backup::restoreCopy(args.at(0), args.at(1), options);
            progress.clear();
            out << "Base de datos restaurada y validada: " << r.file << " ("
                << backup::summary(r.contents) << ").\n";
            if (!r.manifest)
                out << "La copia no tiene huella: se ha validado, pero no se puede comparar con lo "
                       "que había al hacerla.\n";
            out << "Para trabajar con ella, cierre Trelmavondis en todos los puestos y ponga en "
                << settings.file << " la línea:\n    Basededatos=" << r.file << '\n';
            return 0;
        }
        if (command == u"estado") {
            if (!args.isEmpty())
                return usage(QStringLiteral("Sobran argumentos: %1").arg(args.join(u' ')));
            if (folder.isEmpty())
                return usage(QStringLiteral("Falta la carpeta de las copias: indíquela con "
                                            "--carpeta o con la clave Copias de %1.")
                                 .arg(settings.file));
            const QDateTime now = QDateTime::currentDateTime();
            std::optional<backup::Manifest> last;
            QString lastFile;
            const QStringList copies = backup::copiesIn(folder);
            for (auto it = copies.crbegin(); it != copies.crend() && !last; ++it) {
                try {
                    last = backup::Manifest::read(backup::Manifest::pathFor(*it));
                } catch (const db::DatabaseError &) {
                }
                lastFile = *it;
            }
            const bool warn = settings.warnDays > 0;
            if (!last) {
                (warn ? err : out) << "No hay ninguna copia verificada en " << folder << ".\n";
                return warn ? 1 : 0;
            }
            const QDateTime made = last->made.toLocalTime();
            const qint64 days = made.secsTo(now) / 86400;
            const QString when = made.toString(QStringLiteral("dd/MM/yyyy 'a las' HH:mm"));
            const QString ago = days == 1 ? QStringLiteral("hace 1 día")
                                          : QStringLiteral("hace %1 días").arg(days);
            if (warn && made.secsTo(now) > qint64(settings.warnDays) * 86400) {
                err << "Aviso: la última copia verificada es del " << when << ", " << ago
                    << " (el aviso salta a los " << settings.warnDays << "): " << lastFile << '\n';
                return 1;
            }
            out << "Última copia verificada: " << when << " (" << ago << "), " << lastFile << '\n';
            return 0;
        }
    } catch (const db::DatabaseError &e) {
        progress.clear();
        err << e.message() << '\n';
        return 1;
    }
    return usage(command.isEmpty() ? QStringLiteral("Falta la orden.")
                                   : QStringLiteral("Orden desconocida: %1").arg(command));
}
