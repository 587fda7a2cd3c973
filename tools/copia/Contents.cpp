#include "tools/copia/Contents.h"

#include "db/Win1252.h"

#include <QJsonObject>

#include <xxhash.h>

#include <array>
#include <string>
#include <vector>

using namespace Firebird;
namespace fb = db::fb;

namespace backup {
namespace {

// A row's hash is XXH3's 128 bits, two 64-bit lanes. The digest guards against a copy that
// restores other rows than it was made from, not against someone forging one (the manifest
// beside it could be forged as well); a cryptographic hash of each row took a third of the
// time the engine takes to fetch it, XXH3 takes a hundredth.
constexpr int kLanes = 2;

// Appends a blob's whole contents, preceded by its length.
void appendBlob(ThrowStatusWrapper *st, IAttachment *att, ITransaction *tra, ISC_QUAD *id,
                std::string &row) {
    fb::Ref<IBlob> blob(att->openBlob(st, tra, id, 0, nullptr));
    const size_t sizeAt = row.size();
    const quint64 placeholder = 0;
    row.append(reinterpret_cast<const char *>(&placeholder), sizeof placeholder);
    char buffer[32768];
    for (;;) {
        unsigned got = 0;
        const int r = blob->getSegment(st, sizeof buffer, buffer, &got);
        if (r == IStatus::RESULT_NO_DATA)
            break;
        row.append(buffer, got);
    }
    blob->close(st);
    blob.release_ownership();
    const quint64 size = quint64(row.size() - sizeAt - sizeof size);
    row.replace(sizeAt, sizeof size, reinterpret_cast<const char *>(&size), sizeof size);
}

struct ColumnLayout {
    unsigned type;
    unsigned offset;
    unsigned nullOffset;
    unsigned length;
};

QString quoted(const QString &name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

qint64 Contents::rows(const QString &table) const {
    for (const TableContents &t : tables)
        if (t.table == table)
            return t.rows;
    return -1;
}

qint64 Contents::totalRows() const {
    qint64 n = 0;
    for (const TableContents &t : tables)
        n += t.rows;
    return n;
}

QStringList Contents::differences(const Contents &other, const QString &ours,
                                  const QString &theirs) const {
    QStringList lines;
    for (const TableContents &t : tables) {
        const qint64 n = other.rows(t.table);
        if (n < 0) {
            lines << QStringLiteral("%1: la tabla no está en %2").arg(t.table, theirs);
            continue;
        }
        for (const TableContents &o : other.tables) {
            if (o.table != t.table || o == t)
                continue;
            if (o.rows != t.rows)
                lines << QStringLiteral("%1: %2 filas en %3 y %4 en %5")
                             .arg(t.table)
                             .arg(t.rows)
                             .arg(ours)
                             .arg(o.rows)
                             .arg(theirs);
            else
                lines << QStringLiteral("%1: las mismas filas (%2) pero con datos distintos en "
                                        "%3 y en %4")
                             .arg(t.table)
                             .arg(t.rows)
                             .arg(ours, theirs);
        }
    }
    for (const TableContents &o : other.tables)
        if (rows(o.table) < 0)
            lines << QStringLiteral("%1: la tabla no está en %2").arg(o.table, ours);
    return lines;
}

QJsonArray Contents::toJson() const {
    QJsonArray array;
    for (const TableContents &t : tables)
        array.append(QJsonObject{{QStringLiteral("tabla"), t.table},
                                 {QStringLiteral("filas"), t.rows},
                                 {QStringLiteral("resumen"), QString::fromLatin1(t.digest.toHex())}});
    return array;
}

Contents Contents::fromJson(const QJsonArray &array) {
    Contents c;
    for (const QJsonValue &v : array) {
        const QJsonObject o = v.toObject();
        c.tables.append({o.value(QStringLiteral("tabla")).toString(),
                         qint64(o.value(QStringLiteral("filas")).toDouble(-1)),
                         QByteArray::fromHex(o.value(QStringLiteral("resumen")).toString().toLatin1())});
    }
    return c;
}

fb::Ref<ITransaction> startSnapshot(IAttachment *attachment) {
    static constexpr unsigned char tpb[] = {isc_tpb_version3, isc_tpb_concurrency, isc_tpb_read,
                                            isc_tpb_nowait};
    return fb::Ref<ITransaction>(fb::call([&](ThrowStatusWrapper *st) {
        return attachment->startTransaction(st, sizeof tpb, tpb);
    }));
}

QStringList userTables(IAttachment *attachment, ITransaction *transaction) {
    QStringList names;
    fb::call([&](ThrowStatusWrapper *st) {
        const char *sql = "select trim(rdb$relation_name) from rdb$relations "
                          "where coalesce(rdb$system_flag, 0) = 0 and rdb$view_blr is null "
                          "and coalesce(rdb$relation_type, 0) = 0 order by 1";
        fb::Ref<IStatement> stmt(attachment->prepare(st, transaction, 0, sql, 3,
                                                     IStatement::PREPARE_PREFETCH_METADATA));
        fb::Ref<IMessageMetadata> out(stmt->getOutputMetadata(st));
        const unsigned offset = out->getOffset(st, 0);
        const unsigned type = out->getType(st, 0) & ~1u;
        std::vector<unsigned char> buffer(out->getMessageLength(st));
        fb::Ref<IResultSet> rs(
            stmt->openCursor(st, transaction, nullptr, nullptr, out.get(), 0));
        while (rs->fetchNext(st, buffer.data()) == IStatus::RESULT_OK) {
            const char *p = reinterpret_cast<const char *>(&buffer[offset]);
            if (type == SQL_VARYING)
                names << QString::fromUtf8(p + 2, *reinterpret_cast<const quint16 *>(p));
            else
                names << QString::fromUtf8(p, out->getLength(st, 0)).trimmed();
        }
        rs->close(st);
        rs.release_ownership();
    });
    return names;
}

Contents readContents(IAttachment *att, ITransaction *tra, const QStringList &tables,
                      const std::function<void(const QString &table)> &done) {
    Contents contents;
    fb::Ref<IStatus> status(fb::master()->getStatus());
    for (const QString &table : tables) {
        TableContents t{table, 0, {}};
        std::array<quint64, kLanes> sum{};
        fb::callWith(status.get(), [&](ThrowStatusWrapper *st) {
            const QByteArray sql = ("select * from " + quoted(table)).toUtf8();
            fb::Ref<IStatement> stmt(att->prepare(st, tra, 0, sql.constData(), 3,
                                                  IStatement::PREPARE_PREFETCH_METADATA));
            fb::Ref<IMessageMetadata> out(stmt->getOutputMetadata(st));
            const unsigned count = out->getCount(st);
            std::vector<ColumnLayout> columns(count);
            for (unsigned i = 0; i < count; ++i)
                columns[i] = {out->getType(st, i) & ~1u, out->getOffset(st, i),
                              out->getNullOffset(st, i), out->getLength(st, i)};
            std::vector<unsigned char> buffer(out->getMessageLength(st));
            std::string row; // its capacity kept from row to row
            fb::Ref<IResultSet> rs(stmt->openCursor(st, tra, nullptr, nullptr, out.get(), 0));
            while (rs->fetchNext(st, buffer.data()) == IStatus::RESULT_OK) {
                row.clear();
                for (const ColumnLayout &c : columns) {
                    const bool null = *reinterpret_cast<const short *>(&buffer[c.nullOffset]);
                    row.push_back(null ? '\0' : '\1');
                    if (null)
                        continue;
                    const char *p = reinterpret_cast<const char *>(&buffer[c.offset]);
                    if (c.type == SQL_VARYING)
                        row.append(p, 2 + *reinterpret_cast<const quint16 *>(p));
                    else if (c.type == SQL_BLOB)
                        appendBlob(st, att, tra, reinterpret_cast<ISC_QUAD *>(&buffer[c.offset]),
                                   row);
                    else
                        row.append(p, c.length);
                }
                const XXH128_hash_t h = XXH3_128bits(row.data(), row.size());
                sum[0] += h.low64;
                sum[1] += h.high64;
                ++t.rows;
            }
            rs->close(st);
            rs.release_ownership();
        });
        t.digest = QByteArray(reinterpret_cast<const char *>(sum.data()), sizeof sum);
        contents.tables.append(t);
        if (done)
            done(table);
    }
    return contents;
}

} // namespace backup
