#pragma once

#include <QString>
#include <QStringList>

namespace db {
class Database;
}

namespace schema {

// Splits an isql-style script into statements: ";" ends a statement unless SET TERM chose
// another terminator; comments and quoted text are kept intact; SET TERM lines go.
QStringList splitScript(const QString &script);

// Runs each statement of the script in its own transaction step: definitions are committed
// one by one so that later statements see them, data at the end of the script.
void runScript(db::Database &database, const QString &script);

// The scripts built into the program, in loading order.
QStringList schemaScripts(bool withDemoData);
QString readScript(const QString &resourcePath);

// Creates a database file with the schema and reference data, and demo data when asked.
void createDatabase(const QString &databaseName, const QString &user, const QString &password,
                    bool withDemoData);

} // namespace schema
