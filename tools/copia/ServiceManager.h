#pragma once

#include "db/FbApi.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace backup {

// One attachment to Firebird's service manager: the local embedded engine's ("service_mgr")
// when server is empty, otherwise the server's ("server:service_mgr"). Each action runs to its
// end inside the call; its text and data come back through the callbacks.
class ServiceManager {
public:
    ServiceManager(const QString &server, const QString &user, const QString &password);
    ~ServiceManager();
    ServiceManager(const ServiceManager &) = delete;
    ServiceManager &operator=(const ServiceManager &) = delete;

    struct Io {
        // A line of the tool's verbose output.
        std::function<void(const QByteArray &line)> line;
        // Bytes of a backup written to "stdout": they reach this side of the connection.
        std::function<void(const char *data, qsizetype size)> output;
        // Fills at most `size` bytes of a backup read from "stdin"; 0 at its end.
        std::function<qsizetype(char *data, qsizetype size)> input;
    };

    // gbak -b: `file` is a path where the service runs, or "stdout" for the output callback
    // (the engine refuses verbose output together with stdout).
    void backup(const QString &database, const QString &file, bool verbose, const Io &io);
    // gbak -c: never replaces an existing database. `file` is a path where the service runs, or
    // "stdin" for the input callback.
    void restore(const QString &file, const QString &database, bool verbose, const Io &io);
    // gfix -v -full -n: reads every page and record; returns the lines it reports (none for a
    // sound database).
    QStringList validate(const QString &database);

private:
    void run(Firebird::IXpbBuilder *start, const Io &io, bool binary);
    db::fb::Ref<Firebird::IService> m_service;
};

} // namespace backup
