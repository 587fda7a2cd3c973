#pragma once

#include "db/Statement.h"

#include <QByteArray>
#include <QVariant>
#include <QVector>

#include <cstddef>
#include <vector>

namespace db {

class Field;

// A fetched row keeps its data fields in one compact byte array: a table of offsets (one
// per data field, null marked) followed by the values: 64-bit integers, doubles, day and
// time of day, and text as a 16-bit length with its WIN1252 bytes. Rows cost about what
// their data weigh and are decoded only when read.
namespace rowcodec {

// How one column of the select's output message becomes one value of a row. Made once per
// open, so that a fetch is a tight copy over the plan.
struct ColumnPlan {
    enum class Copy : quint8 {
        Varying,   // single-byte VARCHAR: its length and bytes as they are
        Fixed,     // single-byte CHAR: the declared length and the bytes
        Short,     // SMALLINT to a 64-bit integer
        Long,      // INTEGER to a 64-bit integer
        Int64,     // BIGINT as it is
        Double,    // DOUBLE PRECISION as it is
        Timestamp, // TIMESTAMP to day and time of day
        Convert    // anything else: decoded, converted to the field's type and encoded
    };
    Copy copy = Copy::Convert;
    const Field *field = nullptr; // the field the value is for
    Column column;                // where the value lies in the message
};

// The plan of a row of `fields`, the data fields in row order; `columnOf` gives the
// select's column of each.
std::vector<ColumnPlan> plan(const QVector<Column> &columns, const QVector<int> &columnOf,
                             const std::vector<Field *> &fields);

// Room for the rows of one open: large blocks handed out piece by piece and let go all at
// once. Rows fetched in bulk then cost neither an allocation each nor a fresh page touched
// by the allocator's own bookkeeping; the blocks of a large set are backed by huge pages
// where the system offers them.
class RowStore {
public:
    RowStore() = default;
    ~RowStore();
    RowStore(const RowStore &) = delete;
    RowStore &operator=(const RowStore &) = delete;

    // `size` bytes that stay where they are until clear().
    char *take(qsizetype size);
    // Lets every block go: no row handed out may be read afterwards.
    void clear();

private:
    struct Block {
        char *data;
        size_t size;
    };
    std::vector<Block> m_blocks;
    char *m_next = nullptr;
    char *m_end = nullptr;
};

// Memory for the table of a large set's rows: past a few megabytes it comes in blocks backed
// by huge pages where the system offers them, so that growing the table to a hundred
// thousand rows touches a few pages rather than thousands.
void *takeLarge(size_t bytes);
void freeLarge(void *p);
template <class T> struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <class U> LargeAllocator(const LargeAllocator<U> &) {}
    T *allocate(size_t n) { return static_cast<T *>(takeLarge(n * sizeof(T))); }
    void deallocate(T *p, size_t) { freeLarge(p); }
    template <class U> bool operator==(const LargeAllocator<U> &) const { return true; }
};

// One row from the output message of a fetch. With a store, the row's bytes are taken from
// it and the array answered only refers to them (QByteArray::fromRawData): it must be gone
// before the store is cleared; a copy that is changed gets bytes of its own.
QByteArray fromMessage(const std::vector<ColumnPlan> &plan, const unsigned char *message,
                       RowStore *store = nullptr);

// One row from values already converted to the fields' types (null for null); values past
// the fields are ignored.
QByteArray fromValues(const std::vector<Field *> &fields, const QVector<QVariant> &values);

// The value of data field `slot` of a row.
QVariant value(const QByteArray &row, int slot, FieldType type);
// The same as a statement parameter: text as its WIN1252 bytes (Win1252Text).
QVariant parameter(const QByteArray &row, int slot, FieldType type);

} // namespace rowcodec
} // namespace db
