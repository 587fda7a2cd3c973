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
    bool connected() const { return static_cast<bool>(m_attachment) || m_lost; }

    // The server went away (stopped, restarted, network cut). Every handle of the attachment
    // has been let go; the next use of the connection attaches again with the parameters and
    // password of the last open, restarts the transactions that were running and answers
    // with the new attachment, or raises the same "connection lost" error while the server
    // still does not answer.
    bool lost() const { return m_lost; }
    void reattach();
    void ensureAttached() {
        if (m_lost)
            reattach();
    }
    // Counts attachments made by this object: a cursor opened under an earlier number died
    // with its attachment.
    int attachmentNumber() const { return m_attachmentNumber; }
    // The server of a "host:path" connection string; empty for a local path.
    QString serverName() const;

    // The current attachment, attaching again first when the connection was lost.
    Firebird::IAttachment *handle();

    // A failure of a call on this connection: when it means the server is gone, the
    // connection is marked lost and the error raised names the server; otherwise returns
    // and the caller raises the original error.
    void failed(const DatabaseError &error);
    // Runs f, a call on this connection, passing its failures through failed().
    template <class F> decltype(auto) guard(F &&f) {
        try {
            return f();
        } catch (const DatabaseError &e) {
            failed(e);
            throw;
        }
    }

    // Creates an empty database whose default character set is WIN1252, dialect 3.
    static void create(const QString &databaseName, const QString &user, const QString &password);

private:
    friend class Transaction;
    friend class Statement;
    void attach();
    void markLost();
    // Live statements: their handles are let go before the attachment ends, and their
    // cursors when their transaction ends.
    QList<Statement *> m_statements;
    QList<Transaction *> m_transactions;
    void releaseCursors(const Transaction *transaction);
    fb::Ref<Firebird::IAttachment> m_attachment;
    Transaction *m_defaultTransaction = nullptr;
    // What the last open attached with, kept for reattaching without asking again.
    QStringList m_openParams;
    QString m_password;
    bool m_lost = false;
    int m_attachmentNumber = 0;
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
    // The running transaction; after a lost connection, the one restarted on the new
    // attachment.
    Firebird::ITransaction *handle();

private:
    friend class Database;
    Database &m_db;
    fb::Ref<Firebird::ITransaction> m_transaction;
    // Running when the connection was lost: started again on the new attachment.
    bool m_restart = false;
};

} // namespace db
