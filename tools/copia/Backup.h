#pragma once

#include "tools/copia/Manifest.h"

#include <QDateTime>

#include <functional>
#include <optional>

namespace backup {

struct Login {
    QString user = QStringLiteral("SYSDBA");
    QString password;
};

// A database as the configuration names it: a local file, opened by the embedded engine, or
// "server:/path" on a Firebird server ("C:\..." is a drive letter, not a server).
struct Location {
    QString server;
    QString path;
    static Location parse(const QString &connection);
    QString connectionString() const;
    bool local() const { return server.isEmpty(); }
};

// Moments a test can act at, as a desk working meanwhile would.
enum class Stage {
    SnapshotTaken, // the first snapshot of the source has started; the backup has not
    BackupRunning  // a line or a block of the backup has arrived, after gbak's snapshot began
};

struct Options {
    Login login;
    // A short status text for a terminal; empty: quiet.
    std::function<void(const QString &)> progress;
    std::function<void(Stage)> hook;
};

struct Result {
    QString file;
    qint64 size = 0;
    Contents contents;
    std::optional<Manifest> manifest; // the copy's own, when it had one
    int attempts = 1;
};

// The copy's file name for a moment: trelmavondis-AAAAMMDD-HHMMSS.fbk.
QString copyName(const QDateTime &when);
// The copies in a folder (by their names), oldest first.
QStringList copiesIn(const QString &folder);

// Backs `database` up into `folder`, restores the backup into a scratch database, validates it
// and compares every table with the source. Only then does the copy get its final name and
// its manifest. Raises DatabaseError, with nothing left under a copy's name, otherwise.
Result makeCopy(const QString &database, const QString &folder, const Options &options,
                const QDateTime &when = QDateTime::currentDateTime());
// Removes all but the newest `keep` copies (and their manifests) of a folder.
QStringList keepNewest(const QString &folder, int keep);

// The verification alone: restore into a scratch database, validate, count; compared with
// the manifest when the copy has one.
Result checkCopy(const QString &copy, const Options &options);
// Restores into a new database (a local file or server:/path), never over an existing one,
// validates it and compares it with the manifest when there is one.
Result restoreCopy(const QString &copy, const QString &target, const Options &options);

// Spanish texts: "1.245", "12,4 MB", "1.245 instalaciones, 3.310 armarios, … y 21 tablas de
// referencia".
QString number(qint64 n);
QString sizeText(qint64 bytes);
QString summary(const Contents &contents);

} // namespace backup
