#pragma once

#include "db/FbApi.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace db {

class Transaction;
class Statement;

// One attachment to a Firebird database (the program's IBDB).
class Database {
public:
    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Connection string as the client accepts it: a local path (embedded engine) or host:path.
    QString databaseName;
    // Parameter list, one "name=value" per entry: lc_ctype, user_name, password, sql_role_name.
    QStringList params;
    int sqlDialect = 3;
    // With the login prompt on, open() asks onLogin for the user name (preset from params) and
    // the password; onLogin returns false when the user cancels.
    bool loginPrompt = false;
    std::function<bool(QString &user, QString &password)> onLogin;

    // Raises DatabaseError with the client's or server's message; a cancelled login raises
    // "Operación cancelada a petición del usuario".
    void open();
    void close();
    bool connected() const { return static_cast<bool>(m_attachment); }

    Firebird::IAttachment *handle() const;

    // Creates an empty database whose default character set is WIN1252, dialect 3.
    static void create(const QString &databaseName, const QString &user, const QString &password);

private:
    friend class Transaction;
    friend class Statement;
    // Live statements: their handles are let go before the attachment ends, and their
    // cursors when their transaction ends.
    QList<Statement *> m_statements;
    void releaseCursors(const Transaction *transaction);
    fb::Ref<Firebird::IAttachment> m_attachment;
    Transaction *m_defaultTransaction = nullptr;
};

// The one transaction of a connection (the program's IBTrans). By default started with an
// empty parameter list (the server's snapshot); when it is torn down while still active it
// commits.
class Transaction {
public:
    enum class Isolation {
        Snapshot,     // the server's default: one view of the data for the transaction's life
        ReadCommitted // each statement reads what other transactions have committed
    };
    explicit Transaction(Database &db);

    // Read before start(). With ReadCommitted, a row another transaction holds is waited for
    // at most lockTimeoutSeconds, then the statement fails with the lock conflict.
    Isolation isolation = Isolation::Snapshot;
    int lockTimeoutSeconds = 0;
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void start();
    void commit();
    void commitRetaining();
    void rollback();
    bool active() const { return static_cast<bool>(m_transaction); }

    Database &database() const { return m_db; }
    Firebird::ITransaction *handle() const;

private:
    Database &m_db;
    fb::Ref<Firebird::ITransaction> m_transaction;
};

} // namespace db
