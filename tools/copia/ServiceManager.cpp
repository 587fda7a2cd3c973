#include "tools/copia/ServiceManager.h"

#include <QList>

#include <cstring>
#include <vector>

using namespace Firebird;
namespace fb = db::fb;

namespace backup {
namespace {

// The largest clumplet the protocol carries: a two-byte length.
constexpr qsizetype kMaxChunk = 65535 - 16;

fb::Ref<IXpbBuilder> builder(unsigned kind) {
    return fb::Ref<IXpbBuilder>(fb::call([&](ThrowStatusWrapper *st) {
        return fb::util()->getXpbBuilder(st, kind, nullptr, 0);
    }));
}

unsigned readLength(const unsigned char *p) {
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

quint32 readInt(const unsigned char *p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

} // namespace

ServiceManager::ServiceManager(const QString &server, const QString &user,
                               const QString &password) {
    fb::Ref<IXpbBuilder> spb = builder(IXpbBuilder::SPB_ATTACH);
    const QByteArray userBytes = user.toLocal8Bit();
    const QByteArray passwordBytes = password.toLocal8Bit();
    fb::call([&](ThrowStatusWrapper *st) {
        spb->insertString(st, isc_spb_user_name, userBytes.constData());
        if (!password.isEmpty())
            spb->insertString(st, isc_spb_password, passwordBytes.constData());
    });
    const QByteArray name =
        (server.isEmpty() ? QString() : server + u':').toLocal8Bit() + "service_mgr";
    IProvider *provider = fb::master()->getDispatcher();
    try {
        m_service.reset(fb::call([&](ThrowStatusWrapper *st) {
            return provider->attachServiceManager(st, name.constData(), spb->getBufferLength(st),
                                                  spb->getBuffer(st));
        }));
    } catch (...) {
        provider->release();
        throw;
    }
    provider->release();
}

ServiceManager::~ServiceManager() {
    if (!m_service)
        return;
    IService *service = m_service.release_ownership();
    try {
        fb::call([&](ThrowStatusWrapper *st) { service->detach(st); });
    } catch (const db::DatabaseError &) {
        service->release();
    }
}

void ServiceManager::backup(const QString &database, const QString &file, bool verbose,
                            const Io &io) {
    fb::Ref<IXpbBuilder> spb = builder(IXpbBuilder::SPB_START);
    const QByteArray db = database.toLocal8Bit();
    const QByteArray target = file.toLocal8Bit();
    fb::call([&](ThrowStatusWrapper *st) {
        spb->insertTag(st, isc_action_svc_backup);
        spb->insertString(st, isc_spb_dbname, db.constData());
        spb->insertString(st, isc_spb_bkp_file, target.constData());
        if (verbose)
            spb->insertTag(st, isc_spb_verbose);
    });
    run(spb.get(), io, file == u"stdout");
}

void ServiceManager::restore(const QString &file, const QString &database, bool verbose,
                             const Io &io) {
    fb::Ref<IXpbBuilder> spb = builder(IXpbBuilder::SPB_START);
    const QByteArray db = database.toLocal8Bit();
    const QByteArray source = file.toLocal8Bit();
    fb::call([&](ThrowStatusWrapper *st) {
        spb->insertTag(st, isc_action_svc_restore);
        spb->insertString(st, isc_spb_bkp_file, source.constData());
        spb->insertString(st, isc_spb_dbname, db.constData());
        spb->insertInt(st, isc_spb_options, isc_spb_res_create);
        if (verbose)
            spb->insertTag(st, isc_spb_verbose);
    });
    run(spb.get(), io, false);
}

QStringList ServiceManager::validate(const QString &database) {
    fb::Ref<IXpbBuilder> spb = builder(IXpbBuilder::SPB_START);
    const QByteArray db = database.toLocal8Bit();
    fb::call([&](ThrowStatusWrapper *st) {
        spb->insertTag(st, isc_action_svc_repair);
        spb->insertString(st, isc_spb_dbname, db.constData());
        spb->insertInt(st, isc_spb_options,
                       isc_spb_rpr_validate_db | isc_spb_rpr_full | isc_spb_rpr_check_db);
    });
    QStringList lines;
    Io io;
    io.line = [&](const QByteArray &line) { lines << QString::fromLocal8Bit(line); };
    run(spb.get(), io, false);
    return lines;
}

// The query loop: ask for output (a line at a time, or every byte with a binary backup) and,
// when the tool wants its backup on stdin, send the bytes it asked for with the next query
// (as an isc_info_svc_line item: the one the service reads its stdin from).
void ServiceManager::run(IXpbBuilder *start, const Io &io, bool binary) {
    IService *service = m_service.get();
    fb::call([&](ThrowStatusWrapper *st) {
        service->start(st, start->getBufferLength(st), start->getBuffer(st));
    });

    std::vector<unsigned char> receive;
    receive.push_back(binary ? isc_info_svc_to_eof : isc_info_svc_line);
    if (io.input)
        receive.push_back(isc_info_svc_stdin);
    std::vector<unsigned char> send;
    std::vector<unsigned char> result(65535);
    QByteArray pendingLine;
    quint32 stdinWanted = 0;

    for (;;) {
        send.clear();
        if (stdinWanted > 0) {
            const qsizetype want = std::min<qsizetype>(stdinWanted, kMaxChunk);
            send.resize(3 + want + 1);
            const qsizetype got = io.input ? io.input(reinterpret_cast<char *>(&send[3]), want) : 0;
            send[0] = isc_info_svc_line;
            send[1] = static_cast<unsigned char>(got & 0xff);
            send[2] = static_cast<unsigned char>(got >> 8);
            send.resize(3 + got);
            send.push_back(isc_info_end);
            stdinWanted = 0;
        }
        fb::call([&](ThrowStatusWrapper *st) {
            service->query(st, static_cast<unsigned>(send.size()), send.data(),
                           static_cast<unsigned>(receive.size()), receive.data(),
                           static_cast<unsigned>(result.size()), result.data());
        });

        bool more = false;
        const unsigned char *p = result.data();
        const unsigned char *const end = p + result.size();
        while (p < end && *p != isc_info_end) {
            const unsigned char item = *p++;
            switch (item) {
            case isc_info_svc_line: {
                const unsigned n = readLength(p);
                p += 2;
                if (n > 0) {
                    more = true;
                    if (io.line)
                        io.line(QByteArray(reinterpret_cast<const char *>(p), n));
                }
                p += n;
                break;
            }
            case isc_info_svc_to_eof: {
                const unsigned n = readLength(p);
                p += 2;
                if (n > 0) {
                    more = true;
                    if (binary && io.output)
                        io.output(reinterpret_cast<const char *>(p), n);
                    else if (!binary) {
                        pendingLine.append(reinterpret_cast<const char *>(p), n);
                        qsizetype nl;
                        while ((nl = pendingLine.indexOf('\n')) >= 0) {
                            if (io.line)
                                io.line(pendingLine.left(nl));
                            pendingLine.remove(0, nl + 1);
                        }
                    }
                }
                p += n;
                break;
            }
            case isc_info_svc_stdin:
                stdinWanted = readInt(p);
                p += 4;
                if (stdinWanted > 0)
                    more = true;
                break;
            case isc_info_truncated:
            case isc_info_data_not_ready:
            case isc_info_svc_timeout:
                more = true;
                break;
            default:
                throw db::DatabaseError(
                    QStringLiteral("Respuesta desconocida del gestor de servicios (%1)").arg(item));
            }
        }
        if (!more)
            break;
    }
    if (!pendingLine.isEmpty() && io.line)
        io.line(pendingLine);
}

} // namespace backup
