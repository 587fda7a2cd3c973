#pragma once

#include "db/FbApi.h"

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace backup {

// What one table holds: its rows and a digest of them. The digest is the sum, lane by lane,
// of a hash of each row (every column: null or not, and its stored bytes; a blob's contents),
// so it does not depend on the order the engine returns the rows in, which differs between a
// database and its restored copy.
struct TableContents {
    QString table;
    qint64 rows = 0;
    QByteArray digest;
    bool operator==(const TableContents &) const = default;
};

// Every user table of a database, in name order.
struct Contents {
    QList<TableContents> tables;
    bool operator==(const Contents &) const = default;

    // Rows of a table; -1 when there is no such table.
    qint64 rows(const QString &table) const;
    qint64 totalRows() const;
    // One Spanish line per table that differs ("INSTALACION: 1245 filas en el origen y 1244
    // en la copia"), `ours` naming this side and `theirs` the other.
    QStringList differences(const Contents &other, const QString &ours,
                            const QString &theirs) const;

    QJsonArray toJson() const;
    static Contents fromJson(const QJsonArray &array);
};

// A read-only snapshot transaction: it sees the database as it was when it started, however
// long it lasts and whatever other attachments commit meanwhile.
db::fb::Ref<Firebird::ITransaction> startSnapshot(Firebird::IAttachment *attachment);

// The user tables (not views, not temporary or external tables), in name order.
QStringList userTables(Firebird::IAttachment *attachment, Firebird::ITransaction *transaction);

// Reads every row of every table in `tables`. `done` hears of each table read.
Contents readContents(Firebird::IAttachment *attachment, Firebird::ITransaction *transaction,
                      const QStringList &tables,
                      const std::function<void(const QString &table)> &done = {});

} // namespace backup
