#include "db/RowCodec.h"

#include "db/FbApi.h"
#include "db/Field.h"
#include "db/Win1252.h"

#include <QDateTime>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace db::rowcodec {
namespace {

constexpr quint32 kNull = 0xFFFFFFFFu;

template <class T> T readAs(const void *p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Firebird counts days from 17 November 1858 (Julian day 2400001) and time in
// ten-thousandths of a second.
constexpr qint32 kFirebirdEpoch = 2400001;

// Size in the row of one value already converted to its field's type.
qsizetype encodedSize(FieldType type, const QVariant &v, QByteArray *text) {
    switch (type) {
    case FieldType::Integer:
    case FieldType::Float:
    case FieldType::DateTime:
        return 8;
    case FieldType::String:
    case FieldType::FixedChar:
        *text = win1252::encode(v.toString());
        return 2 + text->size();
    }
    return 0;
}

char *writeValue(char *out, FieldType type, const QVariant &v, const QByteArray &text) {
    switch (type) {
    case FieldType::Integer: {
        const qint64 i = v.toLongLong();
        std::memcpy(out, &i, 8);
        return out + 8;
    }
    case FieldType::Float: {
        const double d = v.toDouble();
        std::memcpy(out, &d, 8);
        return out + 8;
    }
    case FieldType::DateTime: {
        // Day and time of day, as the database keeps them: no time zone involved.
        const QDateTime dt = v.toDateTime();
        const qint32 day = qint32(dt.date().toJulianDay());
        const qint32 ms = dt.time().msecsSinceStartOfDay();
        std::memcpy(out, &day, 4);
        std::memcpy(out + 4, &ms, 4);
        return out + 8;
    }
    case FieldType::String:
    case FieldType::FixedChar: {
        const auto n = static_cast<quint16>(text.size());
        std::memcpy(out, &n, 2);
        std::memcpy(out + 2, text.constData(), size_t(n));
        return out + 2 + n;
    }
    }
    return out;
}

bool singleByte(const Column &c) {
    return c.charSet != fb::kCharSetUtf8 && c.charSet != fb::kCharSetUnicodeFss;
}

} // namespace

std::vector<ColumnPlan> plan(const QVector<Column> &columns, const QVector<int> &columnOf,
                             const std::vector<Field *> &fields) {
    std::vector<ColumnPlan> out;
    out.reserve(size_t(columnOf.size()));
    for (int i = 0; i < columnOf.size(); ++i) {
        ColumnPlan p;
        p.field = fields[size_t(i)];
        p.column = columns[columnOf[i]];
        const Column &c = p.column;
        const FieldType type = p.field->type();
        const bool text = type == FieldType::String || type == FieldType::FixedChar;
        using C = ColumnPlan::Copy;
        if (text && singleByte(c) && c.sqlType == SQL_VARYING)
            p.copy = C::Varying;
        else if (text && singleByte(c) && c.sqlType == SQL_TEXT)
            p.copy = C::Fixed;
        else if (type == FieldType::Integer && c.scale == 0 && c.sqlType == SQL_SHORT)
            p.copy = C::Short;
        else if (type == FieldType::Integer && c.scale == 0 && c.sqlType == SQL_LONG)
            p.copy = C::Long;
        else if (type == FieldType::Integer && c.scale == 0 && c.sqlType == SQL_INT64)
            p.copy = C::Int64;
        else if (type == FieldType::Float && c.sqlType == SQL_DOUBLE)
            p.copy = C::Double;
        else if (type == FieldType::DateTime && c.sqlType == SQL_TIMESTAMP)
            p.copy = C::Timestamp;
        out.push_back(std::move(p));
    }
    return out;
}

RowStore::~RowStore() {
    clear();
}

namespace {

constexpr size_t kFirstBlock = size_t(64) << 10;
constexpr size_t kHugePage = size_t(2) << 20;
constexpr size_t kLargestBlock = size_t(8) << 20;

} // namespace

void *takeLarge(size_t bytes) {
    void *data = nullptr;
    if (bytes >= kHugePage) {
        bytes = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        data = std::aligned_alloc(kHugePage, bytes);
#ifdef MADV_HUGEPAGE
        if (data)
            madvise(data, bytes, MADV_HUGEPAGE); // advice only: nothing to do if refused
#endif
    } else {
        data = std::malloc(std::max<size_t>(bytes, 1));
    }
    if (!data)
        throw std::bad_alloc();
    return data;
}

void freeLarge(void *p) {
    std::free(p);
}

char *RowStore::take(qsizetype size) {
    if (m_end - m_next < size) {
        // Each block twice the last, up to a limit: a short list keeps one small block.
        size_t blockSize = m_blocks.empty() ? kFirstBlock
                                            : std::min(m_blocks.back().size * 2, kLargestBlock);
        blockSize = std::max(blockSize, size_t(size));
        if (blockSize >= kHugePage)
            blockSize = (blockSize + kHugePage - 1) / kHugePage * kHugePage;
        char *data = static_cast<char *>(takeLarge(blockSize));
        m_blocks.push_back({data, blockSize});
        m_next = data;
        m_end = data + blockSize;
    }
    char *out = m_next;
    m_next += size;
    return out;
}

void RowStore::clear() {
    for (const Block &b : m_blocks)
        std::free(b.data);
    m_blocks.clear();
    m_next = m_end = nullptr;
}

QByteArray fromMessage(const std::vector<ColumnPlan> &plan, const unsigned char *message,
                       RowStore *store) {
    using C = ColumnPlan::Copy;
    const int n = int(plan.size());
    // First pass: the row's size, so that it is allocated once.
    qsizetype size = qsizetype(n) * 4;
    bool converts = false;
    for (const ColumnPlan &p : plan) {
        if (readAs<short>(message + p.column.nullOffset))
            continue;
        const unsigned char *v = message + p.column.offset;
        switch (p.copy) {
        case C::Varying:
            size += 2 + readAs<quint16>(v);
            break;
        case C::Fixed:
            size += 2 + p.column.length;
            break;
        case C::Convert:
            converts = true; // sized when it is written
            break;
        default:
            size += 8;
            break;
        }
    }
    // A row whose size is known before it is written goes to the store; one with values to
    // convert may grow while it is written and gets bytes of its own.
    QByteArray row;
    char *base = nullptr;
    if (store && !converts) {
        base = store->take(size);
        row = QByteArray::fromRawData(base, size);
    } else {
        row = QByteArray(size, Qt::Uninitialized);
        base = row.data();
    }
    char *out = base + qsizetype(n) * 4;
    for (int i = 0; i < n; ++i) {
        const ColumnPlan &p = plan[size_t(i)];
        if (readAs<short>(message + p.column.nullOffset)) {
            std::memcpy(base + i * 4, &kNull, 4);
            continue;
        }
        const quint32 offset = quint32(out - base);
        std::memcpy(base + i * 4, &offset, 4);
        const unsigned char *v = message + p.column.offset;
        switch (p.copy) {
        case C::Varying: {
            const size_t len = 2 + readAs<quint16>(v);
            std::memcpy(out, v, len);
            out += len;
            break;
        }
        case C::Fixed: {
            const auto len = static_cast<quint16>(p.column.length);
            std::memcpy(out, &len, 2);
            std::memcpy(out + 2, v, len);
            out += 2 + len;
            break;
        }
        case C::Short:
        case C::Long:
        case C::Int64: {
            const qint64 x = p.copy == C::Short  ? readAs<qint16>(v)
                             : p.copy == C::Long ? readAs<qint32>(v)
                                                 : readAs<qint64>(v);
            std::memcpy(out, &x, 8);
            out += 8;
            break;
        }
        case C::Double:
            std::memcpy(out, v, 8);
            out += 8;
            break;
        case C::Timestamp: {
            const auto ts = readAs<ISC_TIMESTAMP>(v);
            const qint32 day = qint32(ts.timestamp_date) + kFirebirdEpoch;
            const qint32 ms = qint32(ts.timestamp_time / 10);
            std::memcpy(out, &day, 4);
            std::memcpy(out + 4, &ms, 4);
            out += 8;
            break;
        }
        case C::Convert: {
            // Rare (numeric columns read as text and the like): done through values.
            const FieldType type = p.field->type();
            const QVariant converted = p.field->convert(decodeColumn(p.column, message));
            if (converted.isNull()) {
                std::memcpy(base + i * 4, &kNull, 4);
                break;
            }
            QByteArray text;
            const qsizetype need = encodedSize(type, converted, &text);
            const qsizetype at = out - base;
            if (at + need > row.size()) {
                row.resize(at + need);
                base = row.data();
                out = base + at;
            }
            out = writeValue(out, type, converted, text);
            break;
        }
        }
    }
    row.truncate(out - row.constData());
    return row;
}

QByteArray fromValues(const std::vector<Field *> &fields, const QVector<QVariant> &values) {
    const int n = int(fields.size());
    QVector<QByteArray> texts(n);
    qsizetype size = qsizetype(n) * 4;
    for (int i = 0; i < n; ++i)
        if (!values.value(i).isNull())
            size += encodedSize(fields[size_t(i)]->type(), values[i], &texts[i]);
    QByteArray row(size, Qt::Uninitialized);
    char *const base = row.data();
    char *out = base + qsizetype(n) * 4;
    for (int i = 0; i < n; ++i) {
        if (values.value(i).isNull()) {
            std::memcpy(base + i * 4, &kNull, 4);
            continue;
        }
        const quint32 offset = quint32(out - base);
        std::memcpy(base + i * 4, &offset, 4);
        out = writeValue(out, fields[size_t(i)]->type(), values[i], texts[i]);
    }
    return row;
}

namespace {

// Where the value of data field `slot` lies in a row; null for a null value.
const char *valueAt(const QByteArray &row, int slot) {
    const quint32 off = readAs<quint32>(row.constData() + slot * 4);
    return off == kNull ? nullptr : row.constData() + off;
}

} // namespace

QVariant value(const QByteArray &row, int slot, FieldType type) {
    const char *p = valueAt(row, slot);
    if (!p)
        return QVariant();
    switch (type) {
    case FieldType::Integer: {
        const qint64 i = readAs<qint64>(p);
        return i >= INT_MIN && i <= INT_MAX ? QVariant(int(i)) : QVariant(qlonglong(i));
    }
    case FieldType::Float:
        return readAs<double>(p);
    case FieldType::DateTime:
        return QDateTime(QDate::fromJulianDay(readAs<qint32>(p)),
                         QTime::fromMSecsSinceStartOfDay(readAs<qint32>(p + 4)));
    case FieldType::String:
    case FieldType::FixedChar:
        return win1252::decode(p + 2, readAs<quint16>(p));
    }
    return QVariant();
}

QVariant parameter(const QByteArray &row, int slot, FieldType type) {
    if (type != FieldType::String && type != FieldType::FixedChar)
        return value(row, slot, type);
    const char *p = valueAt(row, slot);
    if (!p)
        return QVariant();
    return QVariant::fromValue(Win1252Text{QByteArray(p + 2, readAs<quint16>(p))});
}

} // namespace db::rowcodec
