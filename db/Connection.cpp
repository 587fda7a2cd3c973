#include "db/Connection.h"

#include "db/Statement.h"
#include "db/Win1252.h"

#include <QDebug>

using namespace Firebird;

namespace db {
namespace {

struct DpbEntry {
    const char *name;
    unsigned char tag;
};
constexpr DpbEntry kDpbNames[] = {{"lc_ctype", isc_dpb_lc_ctype},
                                  {"user_name", isc_dpb_user_name},
                                  {"password", isc_dpb_password},
                                  {"sql_role_name", isc_dpb_sql_role_name}};

QString paramValue(const QStringList &params, const QString &name) {
    for (const QString &p : params)
        if (p.section(u'=', 0, 0).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return p.section(u'=', 1);
    return {};
}

QByteArray local8(const QString &s) {
    return s.toLocal8Bit();
}

fb::Ref<IXpbBuilder> makeDpb(const QStringList &params, int dialect, const QString &password) {
    fb::Ref<IXpbBuilder> dpb(fb::call([](ThrowStatusWrapper *st) {
        return fb::util()->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0);
    }));
    bool passwordGiven = false;
    for (const QString &p : params) {
        const QString name = p.section(u'=', 0, 0).trimmed();
        const QString value = p.section(u'=', 1);
        const DpbEntry *entry = nullptr;
        for (const DpbEntry &e : kDpbNames)
            if (name.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0)
                entry = &e;
        if (!entry)
            throw DatabaseError(QStringLiteral("Parámetro de conexión desconocido: %1").arg(name));
        if (entry->tag == isc_dpb_password)
            passwordGiven = true;
        const QByteArray bytes = entry->tag == isc_dpb_lc_ctype ? value.toLatin1() : local8(value);
        fb::call(
            [&](ThrowStatusWrapper *st) { dpb->insertString(st, entry->tag, bytes.constData()); });
    }
    if (!passwordGiven && !password.isNull()) {
        const QByteArray bytes = local8(password);
        fb::call([&](ThrowStatusWrapper *st) {
            dpb->insertString(st, isc_dpb_password, bytes.constData());
        });
    }
    fb::call([&](ThrowStatusWrapper *st) { dpb->insertInt(st, isc_dpb_sql_dialect, dialect); });
    return dpb;
}

} // namespace

Database::Database() = default;

Database::~Database() {
    try {
        close();
    } catch (const DatabaseError &e) {
        qWarning() << "Error al cerrar la conexión:" << e.message();
    }
    // Statements still alive (kept by a window that outlives this object) let their handles
    // go now and never reach back here.
    for (Statement *s : std::as_const(m_statements)) {
        s->releaseHandles();
        s->m_orphaned = true;
    }
}

void Database::open() {
    if (connected())
        return;
    QStringList list = params;
    QString password;
    if (loginPrompt) {
        QString user = paramValue(list, QStringLiteral("user_name"));
        if (!onLogin || !onLogin(user, password))
            throw DatabaseError(QStringLiteral("Operación cancelada a petición del usuario"));
        bool replaced = false;
        for (QString &p : list)
            if (p.section(u'=', 0, 0).trimmed().compare(u"user_name", Qt::CaseInsensitive) == 0) {
                p = QStringLiteral("user_name=") + user;
                replaced = true;
            }
        if (!replaced)
            list << QStringLiteral("user_name=") + user;
        params = list;
    }
    m_openParams = list;
    m_password = password;
    attach();
}

void Database::attach() {
    fb::Ref<IXpbBuilder> dpb = makeDpb(m_openParams, sqlDialect, m_password);
    const QByteArray name = local8(databaseName);
    IProvider *provider = fb::master()->getDispatcher();
    try {
        m_attachment.reset(fb::call([&](ThrowStatusWrapper *st) {
            return provider->attachDatabase(st, name.constData(), dpb->getBufferLength(st),
                                            dpb->getBuffer(st));
        }));
    } catch (...) {
        provider->release();
        throw;
    }
    provider->release();
    ++m_attachmentNumber;
}

void Database::close() {
    // The password is kept only while there is a connection to attach again.
    m_password.clear();
    if (m_lost) {
        // Nothing to detach from: the server ended the attachment and its transaction.
        m_lost = false;
        for (Transaction *t : std::as_const(m_transactions))
            t->m_restart = false;
        return;
    }
    if (!m_attachment)
        return;
    if (m_defaultTransaction && m_defaultTransaction->active())
        m_defaultTransaction->commit();
    for (Statement *s : std::as_const(m_statements))
        s->releaseHandles();
    IAttachment *att = m_attachment.release_ownership();
    try {
        fb::call([&](ThrowStatusWrapper *st) { att->detach(st); });
    } catch (...) {
        att->release();
        throw;
    }
}

QString Database::serverName() const {
    const qsizetype colon = databaseName.indexOf(u':');
    // "C:\..." is a drive letter, not a server.
    if (colon <= 1)
        return {};
    return databaseName.left(colon);
}

void Database::markLost() {
    m_lost = true;
    // The client objects of a dead attachment are let go without a word to the server.
    for (Statement *s : std::as_const(m_statements))
        s->releaseHandles();
    for (Transaction *t : std::as_const(m_transactions)) {
        if (t->m_transaction)
            t->m_restart = true;
        t->m_transaction.reset();
    }
    m_attachment.reset();
}

void Database::failed(const DatabaseError &error) {
    if (!fb::connectionLost(error))
        return;
    if (!m_lost)
        markLost();
    if (dynamic_cast<const ConnectionLost *>(&error))
        return; // already said in these words
    const QString server = serverName();
    QString text =
        server.isEmpty()
            ? QStringLiteral("Se ha perdido la conexión con la base de datos %1.").arg(databaseName)
            : QStringLiteral("Se ha perdido la conexión con el servidor de base de "
                             "datos \"%1\".")
                  .arg(server);
    text += QStringLiteral("\nLos cambios que no se han guardado siguen en pantalla: guárdelos "
                           "cuando el servidor vuelva a responder.");
    // The client's own words stay below, without the generic explanation they came with.
    QString detail = error.message();
    const QString generic = fb::explanation(error.codes());
    if (!generic.isEmpty() && detail.startsWith(generic))
        detail = detail.mid(generic.size()).trimmed();
    if (!detail.isEmpty())
        text += u'\n' + detail;
    throw ConnectionLost(text, error.code(), error.codes());
}

void Database::reattach() {
    if (!m_lost)
        return;
    try {
        attach();
    } catch (const DatabaseError &e) {
        failed(e);
        throw;
    }
    m_lost = false;
    for (Transaction *t : std::as_const(m_transactions))
        if (std::exchange(t->m_restart, false))
            t->start();
}

void Database::releaseCursors(const Transaction *transaction) {
    for (Statement *s : std::as_const(m_statements))
        if (&s->transaction() == transaction)
            s->releaseCursor();
}

IAttachment *Database::handle() {
    ensureAttached();
    if (!m_attachment)
        throw DatabaseError(QStringLiteral("La base de datos no está conectada"));
    return m_attachment.get();
}

void Database::create(const QString &databaseName, const QString &user, const QString &password) {
    QStringList params{QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=") + user,
                       QStringLiteral("password=") + password};
    fb::Ref<IXpbBuilder> dpb = makeDpb(params, 3, QString());
    fb::call([&](ThrowStatusWrapper *st) {
        dpb->insertString(st, isc_dpb_set_db_charset, "WIN1252");
        dpb->insertInt(st, isc_dpb_page_size, 8192);
    });
    const QByteArray name = local8(databaseName);
    IProvider *provider = fb::master()->getDispatcher();
    try {
        IAttachment *att = fb::call([&](ThrowStatusWrapper *st) {
            return provider->createDatabase(st, name.constData(), dpb->getBufferLength(st),
                                            dpb->getBuffer(st));
        });
        fb::call([&](ThrowStatusWrapper *st) { att->detach(st); });
    } catch (...) {
        provider->release();
        throw;
    }
    provider->release();
}

Transaction::Transaction(Database &db) : m_db(db) {
    if (!m_db.m_defaultTransaction)
        m_db.m_defaultTransaction = this;
    m_db.m_transactions.append(this);
}

Transaction::~Transaction() {
    try {
        if (active())
            commit();
    } catch (const DatabaseError &e) {
        qWarning() << "Error al confirmar la transacción:" << e.message();
    }
    if (m_db.m_defaultTransaction == this)
        m_db.m_defaultTransaction = nullptr;
    m_db.m_transactions.removeOne(this);
}

void Transaction::start() {
    if (active())
        throw DatabaseError(QStringLiteral("La transacción ya está activa"));
    IAttachment *att = m_db.handle();
    m_db.guard([&] {
        if (isolation == Isolation::Snapshot) {
            m_transaction.reset(fb::call(
                [&](ThrowStatusWrapper *st) { return att->startTransaction(st, 0, nullptr); }));
            return;
        }
        fb::Ref<IXpbBuilder> tpb(fb::call([](ThrowStatusWrapper *st) {
            return fb::util()->getXpbBuilder(st, IXpbBuilder::TPB, nullptr, 0);
        }));
        m_transaction.reset(fb::call([&](ThrowStatusWrapper *st) {
            tpb->insertTag(st, isc_tpb_write);
            tpb->insertTag(st, isc_tpb_read_committed);
            tpb->insertTag(st, isc_tpb_rec_version);
            tpb->insertTag(st, isc_tpb_wait);
            if (lockTimeoutSeconds > 0)
                tpb->insertInt(st, isc_tpb_lock_timeout, lockTimeoutSeconds);
            return att->startTransaction(st, tpb->getBufferLength(st), tpb->getBuffer(st));
        }));
    });
}

ITransaction *Transaction::handle() {
    m_db.ensureAttached();
    if (!m_transaction)
        throw DatabaseError(QStringLiteral("La transacción no está activa"));
    return m_transaction.get();
}

void Transaction::commit() {
    ITransaction *tra = handle();
    m_db.guard([&] { fb::call([&](ThrowStatusWrapper *st) { tra->commit(st); }); });
    // commit() released the server handle; drop our reference without a second release.
    m_transaction.release_ownership();
    m_db.releaseCursors(this);
}

void Transaction::commitRetaining() {
    ITransaction *tra = handle();
    m_db.guard([&] { fb::call([&](ThrowStatusWrapper *st) { tra->commitRetaining(st); }); });
}

void Transaction::rollback() {
    ITransaction *tra = handle();
    m_db.guard([&] { fb::call([&](ThrowStatusWrapper *st) { tra->rollback(st); }); });
    m_transaction.release_ownership();
    m_db.releaseCursors(this);
}

} // namespace db
