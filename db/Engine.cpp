#include "db/Engine.h"

#include "db/FbApi.h"

#include <QDir>
#include <QFileInfo>

#include <firebird/Interface.h>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace db::fb {

namespace {

// Whether `path` is a folder of this user that nobody else may enter.
bool privateFolder(const QByteArray &path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

QByteArray lockFolderFor() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && privateFolder(runtime))
        return runtime + "/trelmavondis-firebird";
    return "/tmp/trelmavondis-firebird-" + QByteArray::number(qulonglong(::geteuid()));
}

const char *const kLockFolder =
    "El motor de base de datos no puede usar su carpeta de bloqueos: la ha creado otro usuario "
    "de este equipo y no tiene permiso para usarla.";
const char *const kPermission =
    "No tiene permiso para abrir o escribir el archivo de la base de datos (o la carpeta que lo "
    "contiene): pida a quien lo creó que le dé permiso de lectura y escritura, o use una base de "
    "datos propia.";
const char *const kInUse =
    "La base de datos está abierta por otro programa o por otro usuario de este equipo, y el "
    "motor embebido sólo la abre para uno a la vez: cierre el otro programa, o comparta la base "
    "de datos a través de un servidor Firebird.";
const char *const kNoFolder =
    "No se puede crear el archivo de la base de datos: la carpeta donde debe estar no existe.";
const char *const kReadOnly =
    "El archivo de la base de datos está en un disco o una carpeta de sólo lectura.";
const char *const kDiskFull = "No queda espacio en el disco de la base de datos.";

// The operating system's error numbers that the vector quotes.
QList<int> systemErrors(const intptr_t *vector) {
    QList<int> out;
    if (!vector)
        return out;
    for (const intptr_t *p = vector; *p != isc_arg_end;) {
        const intptr_t kind = *p++;
        if (kind == isc_arg_cstring) {
            p += 2;
            continue;
        }
        if (kind == isc_arg_unix)
            out << int(*p);
        ++p;
    }
    return out;
}

} // namespace

QString useOwnLockFolder() {
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return qEnvironmentVariable("FIREBIRD_LOCK");
    QByteArray folder = lockFolderFor();
    ::mkdir(folder.constData(), 0700);
    if (!privateFolder(folder)) {
        // Taken by someone else, or not a folder: one of our own that nobody can foresee.
        QByteArray pattern = folder + "-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return QStringLiteral("/tmp/firebird"); // the engine's own default, as before
        folder = pattern;
    }
    qputenv("FIREBIRD_LOCK", folder);
    return QString::fromLocal8Bit(folder);
}

QString engineReason(const QList<int> &codes, const intptr_t *vector) {
    const QList<int> system = systemErrors(vector);
    const auto os = [&](std::initializer_list<int> wanted) {
        for (int e : wanted)
            if (system.contains(e))
                return true;
        return false;
    };
    if (codes.contains(isc_already_opened))
        return QString::fromUtf8(kInUse);
    if (codes.contains(isc_lock_dir_access) ||
        (codes.contains(isc_sys_request) && os({EACCES, EPERM})))
        return QString::fromUtf8(kLockFolder);
    if (!codes.contains(isc_io_error))
        return {};
    if (os({EWOULDBLOCK, EAGAIN, EBUSY, ETXTBSY}))
        return QString::fromUtf8(kInUse);
    if (os({EACCES, EPERM}))
        return QString::fromUtf8(kPermission);
    if (os({EROFS}))
        return QString::fromUtf8(kReadOnly);
    if (os({ENOSPC, EDQUOT}))
        return QString::fromUtf8(kDiskFull);
    // A file that is not there is the path's fault, which the caller's own text covers; a
    // folder that is not there when creating one is worth saying.
    if (os({ENOENT}) && codes.contains(isc_io_create_err))
        return QString::fromUtf8(kNoFolder);
    return {};
}

QString engineReasonOf(const DatabaseError &error) {
    const QString first = error.message().section(u'\n', 0, 0);
    for (const char *reason : {kLockFolder, kPermission, kInUse, kNoFolder, kReadOnly, kDiskFull})
        if (first == QString::fromUtf8(reason))
            return first;
    return {};
}

EngineShutdown::~EngineShutdown() {
    Firebird::IProvider *provider = master()->getDispatcher();
    Firebird::IStatus *status = master()->getStatus();
    {
        Firebird::CheckStatusWrapper wrapper(status);
        // Nothing is left to tell at exit: a failure here changes nothing for the program.
        provider->shutdown(&wrapper, 0, fb_shutrsn_app_stopped);
    }
    status->dispose();
    provider->release();
}

} // namespace db::fb
