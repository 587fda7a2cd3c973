#include "tools/copia/Backup.h"

#include "db/Connection.h"
#include "tools/copia/ServiceManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

#ifdef __linux__
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace Firebird;
namespace fb = db::fb;

namespace backup {
namespace {

const QRegularExpression &copyPattern() {
    static const QRegularExpression re(QStringLiteral("^trelmavondis-\\d{8}-\\d{6}(-\\d+)?\\.fbk$"));
    return re;
}

void say(const Options &o, const QString &text) {
    if (o.progress)
        o.progress(text);
}

// An attachment that reads bytes as stored (no character set conversion), as the digests
// need.
struct Attachment {
    db::Database database;
    Attachment(const QString &connection, const Login &login) {
        database.databaseName = connection;
        database.params = {QStringLiteral("lc_ctype=NONE"),
                           QStringLiteral("user_name=") + login.user};
        if (!login.password.isEmpty())
            database.params << QStringLiteral("password=") + login.password;
        database.open();
    }
    IAttachment *handle() { return database.handle(); }
};

// A read-only snapshot, rolled back when it goes.
class Snapshot {
public:
    Snapshot() = default;
    explicit Snapshot(IAttachment *att) : m_tra(startSnapshot(att)) {}
    Snapshot(Snapshot &&) = default;
    Snapshot &operator=(Snapshot &&) = default;
    ~Snapshot() { end(); }
    void end() {
        if (!m_tra)
            return;
        ITransaction *t = m_tra.release_ownership();
        try {
            fb::call([&](ThrowStatusWrapper *st) { t->rollback(st); });
        } catch (const db::DatabaseError &) {
            t->release();
        }
    }
    ITransaction *get() const { return m_tra.get(); }
    explicit operator bool() const { return static_cast<bool>(m_tra); }

private:
    fb::Ref<ITransaction> m_tra;
};

// The calling thread gives way to the process's others when the cores are all busy (on Linux
// a thread has a nice value of its own).
void lowerPriority() {
#ifdef __linux__
    const id_t self = id_t(gettid());
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, self);
    if (errno == 0)
        setpriority(PRIO_PROCESS, self, std::min(19, now + 10));
#endif
}

db::DatabaseError damaged(const QString &copy, const db::DatabaseError &e) {
    return db::DatabaseError(QStringLiteral("La copia %1 está dañada o incompleta: no se puede "
                                            "restaurar.\nDetalle del motor: %2")
                                 .arg(copy, e.message()),
                             e.code(), e.codes());
}

struct Restored {
    Contents contents;
    QByteArray sha256;
    qint64 size = 0;
};

// The bytes of a copy as a restore reads them, counted and hashed on the way. A copy that a
// backup is still writing is followed: a read at its end waits until more is written or the
// backup is over, so the restore runs beside the backup instead of after it. gbak writes its
// file front to back and never goes back, so what has been written is final.
class CopyFeed {
public:
    enum class Copy { Written, BeingWritten };
    CopyFeed(const QString &path, Copy copy)
        : m_path(path), m_state(copy == Copy::Written ? State::Whole : State::Writing) {
        if (copy == Copy::Written)
            open();
    }
    // The backup's side: it has ended, with its file whole or not.
    void finish(bool whole) {
        {
            std::lock_guard lock(m_mutex);
            m_state = whole ? State::Whole : State::Failed;
        }
        m_changed.notify_all();
    }
    // At most `size` bytes; 0 at the end of the copy, and as soon as its backup has failed.
    qsizetype read(char *data, qsizetype size) {
        for (;;) {
            // Read before the file: once the backup is seen over, a short read is the end.
            const State state = current();
            if (state == State::Failed)
                return 0;
            if (m_file.isOpen() || (state == State::Whole ? open() : tryOpen())) {
                const qint64 got = m_file.read(data, size);
                if (got < 0)
                    throw cannotRead();
                if (got > 0 || state == State::Whole) {
                    m_sha.add(data, got);
                    m_size += got;
                    m_shortBy = size - got;
                    return got;
                }
            }
            std::unique_lock lock(m_mutex);
            m_changed.wait_for(lock, std::chrono::milliseconds(2),
                               [&] { return m_state != State::Writing; });
        }
    }
    // The restore stops reading at the backup's end record. gbak writes it in one block with
    // the padding after it, and a read while gbak was writing may have got the record but not
    // all of that padding: what that last read would have taken from the finished file is
    // taken now (the backup is over).
    void catchUp() {
        if (!m_file.isOpen() || m_shortBy <= 0)
            return;
        std::vector<char> rest(static_cast<size_t>(m_shortBy));
        const qint64 got = m_file.read(rest.data(), m_shortBy);
        if (got < 0)
            throw cannotRead();
        m_sha.add(rest.data(), got);
        m_size += got;
        m_shortBy -= got;
    }
    // Whether the reads took every byte of the file (bytes after the end record are not part
    // of a copy).
    bool allRead() { return m_file.isOpen() && m_file.size() == m_size; }
    // Once, when the reading is over.
    QByteArray sha256() { return m_sha.result(); }
    qint64 size() const { return m_size; }

private:
    enum class State { Writing, Whole, Failed };
    State current() {
        std::lock_guard lock(m_mutex);
        return m_state;
    }
    bool tryOpen() {
        m_file.setFileName(m_path);
        return m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool open() {
        if (!tryOpen())
            throw cannotRead();
        return true;
    }
    db::DatabaseError cannotRead() const {
        return db::DatabaseError(
            QStringLiteral("No se puede leer la copia %1: %2").arg(m_path, m_file.errorString()));
    }

    QString m_path;
    QFile m_file;
    Sha256 m_sha;
    qint64 m_size = 0;
    qsizetype m_shortBy = 0; // what the last read got less than it asked for
    std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state;
};

QString restoringTable(int done, int total) {
    return total > 0 ? QStringLiteral("Comprobando la copia: tabla %1 de %2").arg(done).arg(total)
                     : QStringLiteral("Comprobando la copia: tabla %1").arg(done);
}

// Restores the copy `feed` reads into the new database `target`; `tableStarted` hears of each
// table as its rows begin. Answers the rows the tool counted restoring each table.
QHash<QString, qint64> restoreFrom(ServiceManager &service, CopyFeed &feed, const QString &copy,
                                   const Location &target,
                                   const std::function<void()> &tableStarted) {
    QHash<QString, qint64> rows;
    QString table;
    ServiceManager::Io io;
    io.input = [&](char *data, qsizetype size) { return feed.read(data, size); };
    io.line = [&](const QByteArray &line) {
        static constexpr char dataFor[] = "restoring data for table ";
        if (const qsizetype at = line.indexOf(dataFor); at >= 0) {
            table = QString::fromUtf8(line.mid(at + qsizetype(sizeof dataFor) - 1).trimmed());
            tableStarted();
            return;
        }
        // "   10000 records restored", every ten thousand rows and once more at the table's end.
        QByteArray text = line.trimmed();
        if (text.startsWith("gbak:"))
            text = text.mid(5).trimmed();
        if (table.isEmpty() || !text.endsWith(" records restored"))
            return;
        bool ok = false;
        const qint64 n = text.left(text.indexOf(' ')).toLongLong(&ok);
        if (ok)
            rows[table] = n;
    };
    try {
        service.restore(QStringLiteral("stdin"), target.path, true, io);
    } catch (const db::DatabaseError &e) {
        throw damaged(copy, e);
    }
    return rows;
}

// Every user table of a database, read through several attachments at once: the engine reads
// a table on the core of the thread that asks, and a restored database is read while nothing
// else runs. The largest tables (by `rows`) go first, each to whichever attachment is free, so
// the last to finish is a small one.
Contents readTables(const QString &connection, const Login &login,
                    const QHash<QString, qint64> &rows,
                    const std::function<void(qsizetype done, qsizetype total)> &progress) {
    Attachment first(connection, login);
    Snapshot firstSnapshot(first.handle());
    const QStringList tables = userTables(first.handle(), firstSnapshot.get());
    std::vector<qsizetype> order(size_t(tables.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return rows.value(tables[a]) > rows.value(tables[b]);
    });

    std::vector<TableContents> read(order.size());
    std::atomic<size_t> next{0};
    std::mutex lock;
    qsizetype done = 0;
    std::exception_ptr failure;
    std::atomic<bool> failed{false};
    auto work = [&](IAttachment *att, ITransaction *tra) {
        for (size_t i; !failed && (i = next++) < order.size();) {
            const qsizetype t = order[i];
            // Each table has its own slot: no two threads write the same one.
            read[size_t(t)] = readContents(att, tra, {tables[t]}).tables.constFirst();
            std::lock_guard guard(lock);
            if (progress)
                progress(++done, tables.size());
        }
    };
    auto fail = [&] {
        std::lock_guard guard(lock);
        if (!failure)
            failure = std::current_exception();
        failed = true;
    };
    {
        const unsigned cores = std::thread::hardware_concurrency();
        const size_t helpers = std::min<size_t>(std::clamp(cores, 1u, 4u) - 1, order.size() / 2);
        std::vector<std::jthread> threads;
        for (size_t h = 0; h < helpers; ++h)
            threads.emplace_back([&] {
                try {
                    Attachment attachment(connection, login);
                    Snapshot snapshot(attachment.handle());
                    work(attachment.handle(), snapshot.get());
                } catch (...) {
                    fail();
                }
            });
        try {
            work(first.handle(), firstSnapshot.get());
        } catch (...) {
            fail();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
    Contents contents;
    contents.tables = QList<TableContents>(read.begin(), read.end());
    return contents;
}

// The restored database: validated by the engine, then every table read.
Contents verifyRestored(ServiceManager &service, const QString &copy, const Location &target,
                        const Options &o, const QHash<QString, qint64> &rows) {
    say(o, QStringLiteral("Comprobando la copia: validando la base de datos restaurada"));
    const QStringList problems = service.validate(target.path);
    if (!problems.isEmpty())
        throw db::DatabaseError(
            QStringLiteral("La base de datos restaurada de la copia %1 no supera la validación "
                           "del motor:\n%2")
                .arg(copy, problems.join(u'\n')));
    return readTables(target.connectionString(), o.login, rows, [&](qsizetype done, qsizetype total) {
        say(o, QStringLiteral("Comparando las filas: tabla %1 de %2").arg(done).arg(total));
    });
}

// Restores a finished copy into the new database `target`, validates it and reads every table.
// The copy's SHA-256 is taken from the bytes fed.
Restored restoreInto(ServiceManager &service, const QString &copy, const Location &target,
                     const Options &o, int tablesTotal) {
    CopyFeed feed(copy, CopyFeed::Copy::Written);
    int tablesDone = 0;
    say(o, QStringLiteral("Comprobando la copia: restaurando"));
    const QHash<QString, qint64> rows = restoreFrom(service, feed, copy, target, [&] {
        say(o, restoringTable(++tablesDone, tablesTotal));
    });
    if (!feed.allRead())
        throw db::DatabaseError(
            QStringLiteral("La copia %1 está dañada: lleva datos después de su final.").arg(copy));
    Restored r;
    r.sha256 = feed.sha256();
    r.size = feed.size();
    r.contents = verifyRestored(service, copy, target, o, rows);
    return r;
}

// A manifest whose SHA-256 the file does not match means changed or missing bytes: refused
// before anything is restored.
std::optional<Manifest> checkedManifest(const QString &copy) {
    std::optional<Manifest> m = Manifest::read(Manifest::pathFor(copy));
    if (m && (QFileInfo(copy).size() != m->size || fileSha256(copy) != m->sha256))
        throw db::DatabaseError(
            QStringLiteral("La copia %1 está dañada: su contenido no coincide con la huella que "
                           "se guardó al hacerla (%2 bytes entonces, %3 ahora).")
                .arg(copy)
                .arg(m->size)
                .arg(QFileInfo(copy).size()));
    return m;
}

void compareWithManifest(const QString &copy, const Contents &restored,
                         const std::optional<Manifest> &m) {
    if (!m || restored == m->contents)
        return;
    throw db::DatabaseError(
        QStringLiteral("La copia %1 no restaura las mismas filas que tenía al hacerla:\n%2")
            .arg(copy, m->contents.differences(restored, QStringLiteral("la huella"),
                                               QStringLiteral("la copia restaurada"))
                           .join(u'\n')));
}

QString freeName(const QString &folder, const QDateTime &when) {
    const QString base = copyName(when);
    QString name = base;
    for (int n = 2; QFileInfo::exists(QDir(folder).filePath(name)); ++n)
        name = base.chopped(4) + QStringLiteral("-%1.fbk").arg(n);
    return QDir(folder).filePath(name);
}

// Drops a database (a failed restore's leftover). On success the engine lets the attachment go.
void dropDatabase(const QString &connection, const Login &login) {
    fb::Ref<IXpbBuilder> dpb(fb::call([](ThrowStatusWrapper *st) {
        return fb::util()->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0);
    }));
    const QByteArray user = login.user.toLocal8Bit();
    const QByteArray password = login.password.toLocal8Bit();
    const QByteArray name = connection.toLocal8Bit();
    fb::call([&](ThrowStatusWrapper *st) {
        dpb->insertString(st, isc_dpb_user_name, user.constData());
        if (!password.isEmpty())
            dpb->insertString(st, isc_dpb_password, password.constData());
    });
    IProvider *provider = fb::master()->getDispatcher();
    IAttachment *att = nullptr;
    try {
        att = fb::call([&](ThrowStatusWrapper *st) {
            return provider->attachDatabase(st, name.constData(), dpb->getBufferLength(st),
                                            dpb->getBuffer(st));
        });
        fb::call([&](ThrowStatusWrapper *st) { att->dropDatabase(st); });
    } catch (...) {
        if (att)
            att->release();
        provider->release();
        throw;
    }
    provider->release();
}

} // namespace

Location Location::parse(const QString &connection) {
    const qsizetype colon = connection.indexOf(u':');
    if (colon <= 1)
        return {QString(), QFileInfo(connection).absoluteFilePath()};
    return {connection.left(colon), connection.mid(colon + 1)};
}

QString Location::connectionString() const {
    return server.isEmpty() ? path : server + u':' + path;
}

QString copyName(const QDateTime &when) {
    return QStringLiteral("trelmavondis-%1.fbk").arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

QStringList copiesIn(const QString &folder) {
    QStringList names = QDir(folder).entryList({QStringLiteral("trelmavondis-*.fbk")}, QDir::Files,
                                               QDir::Name);
    names.removeIf([](const QString &n) { return !copyPattern().match(n).hasMatch(); });
    // -2, -3 (two copies within one second) sort after their first.
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.left(28) < b.left(28) || (a.left(28) == b.left(28) && a.size() < b.size()) ||
               (a.left(28) == b.left(28) && a.size() == b.size() && a < b);
    });
    for (QString &n : names)
        n = QDir(folder).filePath(n);
    return names;
}

QStringList keepNewest(const QString &folder, int keep) {
    QStringList copies = copiesIn(folder);
    QStringList removed;
    while (copies.size() > keep) {
        const QString old = copies.takeFirst();
        if (!QFile::remove(old))
            throw db::DatabaseError(QStringLiteral("No se puede borrar la copia antigua %1").arg(old));
        QFile::remove(Manifest::pathFor(old));
        removed << old;
    }
    return removed;
}

// Which snapshot does the copy hold? gbak reads in a snapshot transaction of its own that
// starts a moment after the service does, and nothing tells us which commits it saw. So the
// source is bracketed: snapshot A starts before the backup is asked for, snapshot B right
// after gbak shows that its transaction has started (its first line after "starting
// transaction", or the first block on stdout, which it writes only after). Every commit A
// sees, gbak sees; every commit gbak sees, B sees. The copy is sound when the restored
// database equals A or B row for row: it then holds, whole, a state the database really had.
// A is read while the backup runs (a second core is there); B only when A does not match.
// When it matches neither and A and B differ, desks committed on both sides of gbak's start:
// the backup is taken again (three attempts). When A equals B, gbak's snapshot is that same
// state and any difference is a fault of the copy.
Result makeCopy(const QString &database, const QString &folder, const Options &o,
                const QDateTime &when) {
    const Location source = Location::parse(database);
    if (!QDir().mkpath(folder))
        throw db::DatabaseError(QStringLiteral("No se puede crear la carpeta de copias %1").arg(folder));
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        QTemporaryDir scratch(QDir(folder).filePath(QStringLiteral(".trelmavondis-verificacion-XXXXXX")));
        if (!scratch.isValid())
            throw db::DatabaseError(
                QStringLiteral("No se puede escribir en la carpeta de copias %1").arg(folder));
        const QString partial = scratch.filePath(QStringLiteral("copia.fbk"));

        Attachment first(source.connectionString(), o.login);
        Attachment second(source.connectionString(), o.login);
        Snapshot a(first.handle());
        const QStringList tables = userTables(first.handle(), a.get());
        if (o.hook)
            o.hook(Stage::SnapshotTaken);

        // Three things run at once: gbak writing the copy (in the service's thread), the
        // restore reading it as it grows (in the restorer's and the local service's), and
        // snapshot A being read. The restore takes longest and nothing is verified before it
        // ends, so A is read at a lower priority, in the time the backup leaves.
        Contents contentsA;
        std::exception_ptr failureA;
        std::jthread readerA([&] {
            lowerPriority();
            try {
                contentsA = readContents(first.handle(), a.get(), tables);
            } catch (...) {
                failureA = std::current_exception();
            }
        });

        // One status at a time; the restore's only once the backup's are over.
        std::mutex sayLock;
        bool backupOver = false;
        auto tell = [&](const QString &text, bool fromRestore = false) {
            std::lock_guard guard(sayLock);
            if (!fromRestore || backupOver)
                say(o, text);
        };

        const Location scratchDb{QString(), scratch.filePath(QStringLiteral("verificacion.fdb"))};
        CopyFeed feed(partial, CopyFeed::Copy::BeingWritten);
        QHash<QString, qint64> restoredRows;
        std::exception_ptr restoreFailure;
        std::jthread restorer([&] {
            try {
                ServiceManager service(QString(), o.login.user, o.login.password);
                int tablesDone = 0;
                restoredRows = restoreFrom(service, feed, partial, scratchDb, [&] {
                    tell(restoringTable(++tablesDone, int(tables.size())), true);
                });
            } catch (...) {
                restoreFailure = std::current_exception();
            }
        });
        // However the backup ends, the restore hears of it before it is waited for.
        struct BackupEnd {
            CopyFeed &feed;
            bool whole = false;
            ~BackupEnd() { feed.finish(whole); }
        } backupEnd{feed};

        Snapshot b;
        auto startB = [&] {
            if (!b)
                b = Snapshot(second.handle());
        };
        {
            ServiceManager service(source.server, o.login.user, o.login.password);
            ServiceManager::Io io;
            int tablesDone = 0;
            bool transactionStarted = false;
            QFile out;
            if (source.local()) {
                io.line = [&](const QByteArray &line) {
                    if (transactionStarted)
                        startB();
                    if (line.contains("starting transaction"))
                        transactionStarted = true;
                    if (line.contains("writing data for table"))
                        tell(QStringLiteral("Copiando: tabla %1 de %2")
                                 .arg(++tablesDone)
                                 .arg(tables.size()));
                    if (o.hook && b)
                        o.hook(Stage::BackupRunning);
                };
            } else {
                out.setFileName(partial);
                // Unbuffered: the restore reads what has reached the file.
                if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
                    throw db::DatabaseError(
                        QStringLiteral("No se puede crear %1: %2").arg(partial, out.errorString()));
                qint64 received = 0;
                io.output = [&, received](const char *data, qsizetype size) mutable {
                    startB();
                    if (out.write(data, size) != size)
                        throw db::DatabaseError(QStringLiteral("No se puede escribir %1: %2")
                                                    .arg(partial, out.errorString()));
                    received += size;
                    tell(QStringLiteral("Copiando: %1 recibidos").arg(sizeText(received)));
                    if (o.hook)
                        o.hook(Stage::BackupRunning);
                };
            }
            tell(QStringLiteral("Copiando: empezando"));
            try {
                service.backup(source.path, source.local() ? partial : QStringLiteral("stdout"),
                               source.local(), io);
            } catch (const db::DatabaseError &e) {
                throw db::DatabaseError(
                    QStringLiteral("No se ha podido hacer la copia de %1.\nDetalle del motor: %2")
                        .arg(database, e.message()),
                    e.code(), e.codes());
            }
            if (out.isOpen() && !out.flush())
                throw db::DatabaseError(
                    QStringLiteral("No se puede escribir %1: %2").arg(partial, out.errorString()));
        }
        startB(); // gbak has finished: B is still after its start
        backupEnd.whole = true;
        feed.finish(true);
        {
            std::lock_guard guard(sayLock);
            backupOver = true;
            say(o, QStringLiteral("Comprobando la copia: restaurando"));
        }
        restorer.join();
        if (restoreFailure)
            std::rethrow_exception(restoreFailure);
        feed.catchUp();
        if (!feed.allRead())
            throw db::DatabaseError(
                QStringLiteral("La copia %1 está dañada: lleva datos después de su final.")
                    .arg(partial));
        Restored restored;
        restored.size = feed.size();
        restored.sha256 = feed.sha256();
        // gbak does not go back over what it has written, so the file holds the bytes that
        // were restored; the manifest vouches for those, so it is checked all the same.
        if (fileSha256(partial) != restored.sha256)
            throw db::DatabaseError(
                QStringLiteral("La copia %1 ha cambiado mientras se restauraba para comprobarla.")
                    .arg(partial));
        ServiceManager local(QString(), o.login.user, o.login.password);
        restored.contents = verifyRestored(local, partial, scratchDb, o, restoredRows);

        readerA.join();
        if (failureA)
            std::rethrow_exception(failureA);
        bool sound = restored.contents == contentsA;
        bool retry = false;
        QStringList differences;
        if (!sound) {
            say(o, QStringLiteral("Comparando las filas con el origen"));
            const Contents contentsB = readContents(second.handle(), b.get(), tables);
            sound = restored.contents == contentsB;
            retry = !sound && contentsA != contentsB;
            if (!sound)
                differences = contentsB.differences(restored.contents, QStringLiteral("el origen"),
                                                    QStringLiteral("la copia"));
        }
        if (!sound) {
            if (retry && attempt < kAttempts)
                continue;
            const QString detail = differences.join(u'\n');
            if (retry)
                throw db::DatabaseError(
                    QStringLiteral("No se ha podido verificar la copia de %1: la base de datos ha "
                                   "cambiado durante cada una de las %2 copias intentadas.\n%3")
                        .arg(database)
                        .arg(attempt)
                        .arg(detail));
            throw db::DatabaseError(
                QStringLiteral("La copia de %1 no tiene las mismas filas que la base de datos:\n%2")
                    .arg(database, detail));
        }

        const QString final = freeName(folder, when);
        if (!QFile::rename(partial, final))
            throw db::DatabaseError(QStringLiteral("No se puede dar a la copia su nombre %1").arg(final));
        Manifest m{when, database, restored.size, restored.sha256, restored.contents};
        try {
            m.write(Manifest::pathFor(final));
        } catch (...) {
            QFile::remove(final);
            throw;
        }
        return {final, restored.size, restored.contents, m, attempt};
    }
}

Result checkCopy(const QString &copy, const Options &o) {
    if (!QFileInfo::exists(copy))
        throw db::DatabaseError(QStringLiteral("No existe la copia %1").arg(copy));
    const std::optional<Manifest> m = checkedManifest(copy);
    QTemporaryDir scratch(QDir::temp().filePath(QStringLiteral("trelmavondis-comprobar-XXXXXX")));
    if (!scratch.isValid())
        throw db::DatabaseError(QStringLiteral("No se puede crear una carpeta temporal"));
    ServiceManager local(QString(), o.login.user, o.login.password);
    const Location scratchDb{QString(), scratch.filePath(QStringLiteral("comprobacion.fdb"))};
    const Restored r =
        restoreInto(local, copy, scratchDb, o, m ? int(m->contents.tables.size()) : 0);
    compareWithManifest(copy, r.contents, m);
    return {copy, r.size, r.contents, m, 1};
}

Result restoreCopy(const QString &copy, const QString &targetName, const Options &o) {
    if (!QFileInfo::exists(copy))
        throw db::DatabaseError(QStringLiteral("No existe la copia %1").arg(copy));
    const Location target = Location::parse(targetName);
    const QString refused =
        QStringLiteral("Ya existe la base de datos %1: la restauración nunca escribe sobre una "
                       "base de datos existente. Elija una ruta nueva.");
    if (target.local()) {
        if (QFileInfo::exists(target.path))
            throw db::DatabaseError(refused.arg(targetName));
    } else {
        // A database the server opens is there (and maybe in use): never touched.
        bool exists = false;
        try {
            Attachment probe(target.connectionString(), o.login);
            exists = true;
        } catch (const db::DatabaseError &e) {
            if (e.has(isc_login) || fb::connectionLost(e))
                throw;
        }
        if (exists)
            throw db::DatabaseError(refused.arg(targetName));
    }
    const std::optional<Manifest> m = checkedManifest(copy);

    if (target.local()) {
        // Restored beside its final name and renamed when sound: a half-restored database
        // never sits under the name the configuration would point at.
        const QFileInfo info(target.path);
        if (!QDir().mkpath(info.absolutePath()))
            throw db::DatabaseError(
                QStringLiteral("No se puede crear la carpeta %1").arg(info.absolutePath()));
        QTemporaryDir scratch(info.absoluteDir().filePath(QStringLiteral(".restaurando-XXXXXX")));
        if (!scratch.isValid())
            throw db::DatabaseError(
                QStringLiteral("No se puede escribir en la carpeta %1").arg(info.absolutePath()));
        const Location partial{QString(), scratch.filePath(info.fileName())};
        ServiceManager local(QString(), o.login.user, o.login.password);
        const Restored r = restoreInto(local, copy, partial, o, m ? int(m->contents.tables.size()) : 0);
        compareWithManifest(copy, r.contents, m);
        if (!QFile::rename(partial.path, target.path))
            throw db::DatabaseError(refused.arg(targetName));
        return {target.path, r.size, r.contents, m, 1};
    }

    try {
        ServiceManager service(target.server, o.login.user, o.login.password);
        const Restored r =
            restoreInto(service, copy, target, o, m ? int(m->contents.tables.size()) : 0);
        compareWithManifest(copy, r.contents, m);
        return {targetName, r.size, r.contents, m, 1};
    } catch (const db::DatabaseError &) {
        // The database did not exist before: what the failed restore left is dropped, once the
        // service has let go of it.
        for (int tries = 0; tries < 20; ++tries) {
            try {
                dropDatabase(target.connectionString(), o.login);
                break;
            } catch (const db::DatabaseError &e) {
                if (e.has(isc_io_error))
                    break; // nothing there
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        throw;
    }
}

QString number(qint64 n) {
    // Thousands grouped from four digits on, as an office writes them ("1.245").
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u'.');
    return n < 0 ? u'-' + digits : digits;
}

QString sizeText(qint64 bytes) {
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    if (bytes < 1000 * 1000)
        return spanish.toString(double(bytes) / 1000.0, 'f', 1) + QStringLiteral(" kB");
    return spanish.toString(double(bytes) / 1e6, 'f', 1) + QStringLiteral(" MB");
}

QString summary(const Contents &contents) {
    struct Known {
        const char *table;
        const char *one;
        const char *many;
    };
    static constexpr Known known[] = {
        {"INSTALACION", "instalación", "instalaciones"},
        {"INSTALACION_ARMARIO", "armario", "armarios"},
        {"INSTALACION_DERIVACIONES", "derivación", "derivaciones"},
        {"INSTALACION_ADJUNTOS", "adjunto", "adjuntos"},
        {"INSTALADOR", "instalador", "instaladores"},
        {"GESTORES", "gestor", "gestores"},
    };
    QStringList parts;
    for (const Known &k : known) {
        const qint64 n = contents.rows(QLatin1String(k.table));
        if (n >= 0)
            parts << number(n) + u' ' + QString::fromUtf8(n == 1 ? k.one : k.many);
    }
    qint64 otherTables = 0, otherRows = 0;
    for (const TableContents &t : contents.tables) {
        if (std::none_of(std::begin(known), std::end(known),
                         [&](const Known &k) { return t.table == QLatin1String(k.table); })) {
            ++otherTables;
            otherRows += t.rows;
        }
    }
    if (otherTables > 0)
        parts << QStringLiteral("%1 %2 con %3 %4")
                     .arg(number(otherTables),
                          otherTables == 1 ? QStringLiteral("tabla más") : QStringLiteral("tablas más"),
                          number(otherRows),
                          otherRows == 1 ? QStringLiteral("fila") : QStringLiteral("filas"));
    if (parts.size() < 2)
        return parts.join(QString());
    const QString last = parts.takeLast();
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" y ") + last;
}

} // namespace backup
