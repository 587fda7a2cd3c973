#pragma once

#include "db/Connection.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// A fresh database for one test: a copy of a template made once per test run from the
// program's own scripts. With TRELMA_TEST_SERVER set (for example "localhost") the copy is
// reached through that Firebird server over TCP, as SYSDBA with TRELMA_TEST_PASSWORD;
// otherwise the embedded engine opens it directly.
class TestDatabase {
public:
    explicit TestDatabase(bool withDemoData = false);
    ~TestDatabase();

    // What the program would have in its configuration.
    QString connectionString() const;
    QString user() const;
    QString password() const;
    QStringList params() const; // lc_ctype, user_name, password
    bool viaServer() const;

    // Opens `database` on this database as the test user.
    void open(db::Database &database) const;

    // Runs `sql` through an attachment of its own and commits; nothing when it is empty. With
    // Keys::From1000 every generator of the program then restarts at 1000, so that new keys
    // start clear of the seeded ones.
    enum class Keys { Kept, From1000 };
    void seed(const QStringList &sql, Keys keys = Keys::Kept) const;

    // An attachment of its own with a transaction started: a second desk's view.
    struct Attachment {
        db::Database database;
        std::unique_ptr<db::Transaction> transaction;
        // Runs a singleton select and returns its first column.
        QVariant scalar(const QString &sql);
        void exec(const QString &sql);
    };
    std::unique_ptr<Attachment> attach() const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The message of the DatabaseError that f raises; empty when it raises none.
QString errorOf(const std::function<void()> &f);
