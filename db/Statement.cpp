#include "db/Statement.h"

#include "db/Win1252.h"

#include <QDateTime>

#include <cmath>
#include <cstring>

using namespace Firebird;

namespace db {
namespace {

bool isIdentChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

unsigned bytesPerChar(unsigned charSet) {
    switch (charSet) {
    case fb::kCharSetUtf8:
        return 4;
    case fb::kCharSetUnicodeFss:
        return 3;
    default:
        return 1;
    }
}

QString decodeText(const char *p, unsigned n, unsigned charSet) {
    if (charSet == fb::kCharSetUtf8 || charSet == fb::kCharSetUnicodeFss)
        return QString::fromUtf8(p, n);
    return win1252::decode(p, n);
}

template <class T> T readAs(const unsigned char *p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <class T> void writeAs(unsigned char *p, T v) {
    std::memcpy(p, &v, sizeof v);
}

QVariant scaled(qint64 v, int scale) {
    if (scale >= 0)
        return v >= INT_MIN && v <= INT_MAX ? QVariant(int(v)) : QVariant(qlonglong(v));
    return QVariant(double(v) / std::pow(10.0, -scale));
}

QDate decodeDate(ISC_DATE d) {
    unsigned y, m, day;
    fb::util()->decodeDate(d, &y, &m, &day);
    return QDate(int(y), int(m), int(day));
}

QTime decodeTime(ISC_TIME t) {
    unsigned h, m, s, f;
    fb::util()->decodeTime(t, &h, &m, &s, &f);
    return QTime(int(h), int(m), int(s), int(f / 10));
}

ISC_DATE encodeDate(QDate d) {
    return fb::util()->encodeDate(unsigned(d.year()), unsigned(d.month()), unsigned(d.day()));
}
ISC_TIME encodeTime(QTime t) {
    return fb::util()->encodeTime(unsigned(t.hour()), unsigned(t.minute()), unsigned(t.second()),
                                  unsigned(t.msec()) * 10);
}

} // namespace

ParsedSql parseParameters(const QString &sql) {
    ParsedSql out;
    out.sql.reserve(sql.size());
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') {
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end + 1;
            out.sql += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            const qsizetype stop = end < 0 ? n : end;
            out.sql += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            out.sql += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
        } else if (c == u':' && i + 1 < n && isIdentChar(sql.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && isIdentChar(sql.at(j)))
                ++j;
            out.names << sql.mid(i + 1, j - i - 1).toUpper();
            out.sql += u'?';
            i = j - 1;
        } else {
            out.sql += c;
        }
    }
    return out;
}

Statement::Statement(Transaction &transaction) : m_transaction(transaction) {
    m_transaction.database().m_statements.append(this);
}

Statement::~Statement() {
    if (m_orphaned)
        return; // its handles went with the connection
    try {
        closeCursor();
    } catch (const DatabaseError &) {
        // The server let the cursor go already; our reference is released all the same.
    }
    m_transaction.database().m_statements.removeOne(this);
}

void Statement::releaseHandles() {
    m_cursor.reset();
    m_input.reset();
    m_inputSignature.clear();
    m_output.reset();
    m_declaredInput.reset();
    m_statement.reset();
}

void Statement::prepare(const QString &sql, bool parseNames) {
    closeCursor();
    m_statement.reset();
    m_input.reset();
    m_inputSignature.clear();
    m_sqlText = sql;
    m_parseNames = parseNames;
    guard([&] { prepareText(); });
}

void Statement::ensurePrepared() {
    if (m_statement)
        return;
    if (m_sqlText.isEmpty())
        throw DatabaseError(QStringLiteral("La sentencia no está preparada"));
    const QVector<QVariant> values = m_values;
    prepare(m_sqlText, m_parseNames);
    if (values.size() == m_values.size())
        m_values = values;
}

void Statement::prepareText() {
    // A statement may end in a terminator, as in a script; the server takes it without.
    QString text = m_sqlText;
    while (!text.isEmpty() && (text.back().isSpace() || text.back() == u';'))
        text.chop(1);
    m_parsed = m_parseNames ? parseParameters(text) : ParsedSql{text, {}};
    const QByteArray bytes = win1252::encode(m_parsed.sql);
    IAttachment *att = m_transaction.database().handle();
    ITransaction *tra = m_transaction.handle();
    const unsigned dialect = unsigned(m_transaction.database().sqlDialect);
    m_statement.reset(fb::call([&](ThrowStatusWrapper *st) {
        return att->prepare(st, tra, 0, bytes.constData(), dialect,
                            IStatement::PREPARE_PREFETCH_METADATA);
    }));
    m_declaredInput.reset(
        fb::call([&](ThrowStatusWrapper *st) { return m_statement->getInputMetadata(st); }));
    m_output.reset(
        fb::call([&](ThrowStatusWrapper *st) { return m_statement->getOutputMetadata(st); }));
    const unsigned inCount =
        fb::call([&](ThrowStatusWrapper *st) { return m_declaredInput->getCount(st); });
    if (inCount != unsigned(m_parsed.names.size())) {
        // Positional markers written as "?" have no name.
        while (m_parsed.names.size() < qsizetype(inCount))
            m_parsed.names << QString();
    }
    m_values = QVector<QVariant>(qsizetype(inCount));

    m_columns.clear();
    fb::call([&](ThrowStatusWrapper *st) {
        const unsigned count = m_output->getCount(st);
        m_outBuffer = QByteArray(qsizetype(m_output->getMessageLength(st)), '\0');
        for (unsigned i = 0; i < count; ++i) {
            Column c;
            const char *alias = m_output->getAlias(st, i);
            c.name = QString::fromUtf8(alias && *alias ? alias : m_output->getField(st, i));
            c.sqlType = m_output->getType(st, i);
            c.scale = m_output->getScale(st, i);
            c.charSet = m_output->getCharSet(st, i);
            c.length = m_output->getLength(st, i);
            c.offset = m_output->getOffset(st, i);
            c.nullOffset = m_output->getNullOffset(st, i);
            c.required = !m_output->isNullable(st, i);
            switch (c.sqlType) {
            case SQL_SHORT:
            case SQL_LONG:
            case SQL_INT64:
            case SQL_BOOLEAN:
                c.type = c.scale < 0 ? FieldType::Float : FieldType::Integer;
                break;
            case SQL_FLOAT:
            case SQL_DOUBLE:
            case SQL_D_FLOAT:
                c.type = FieldType::Float;
                break;
            case SQL_VARYING:
                c.type = FieldType::String;
                c.size = int(c.length / bytesPerChar(c.charSet));
                break;
            case SQL_TEXT:
                c.type = FieldType::FixedChar;
                c.size = int(c.length / bytesPerChar(c.charSet));
                break;
            case SQL_TIMESTAMP:
            case SQL_TYPE_DATE:
            case SQL_TYPE_TIME:
                c.type = FieldType::DateTime;
                break;
            default:
                throw DatabaseError(QStringLiteral("La columna '%1' es de un tipo no admitido (%2)")
                                        .arg(c.name)
                                        .arg(c.sqlType));
            }
            m_columns << c;
        }
    });
}

int Statement::columnIndex(const QString &name) const {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void Statement::setParam(int index, const QVariant &value) {
    if (index < 0 || index >= m_values.size())
        throw DatabaseError(QStringLiteral("Parámetro %1 fuera de rango").arg(index));
    m_values[index] = value;
}

bool Statement::setParam(const QString &name, const QVariant &value) {
    bool found = false;
    for (int i = 0; i < m_parsed.names.size(); ++i)
        if (m_parsed.names[i].compare(name, Qt::CaseInsensitive) == 0) {
            m_values[i] = value;
            found = true;
        }
    return found;
}

void Statement::clearParams() {
    for (QVariant &v : m_values)
        v = QVariant();
}

// Each execution describes its parameters by the values given (text of its own length,
// 64-bit integers, doubles, timestamps); the server converts them to the declared types.
// A new description is built only when the shape of the values changes.
IMessageMetadata *Statement::inputMetadata() {
    const int count = int(m_values.size());
    if (count == 0) {
        m_inBuffer.clear();
        return m_declaredInput.get();
    }
    QVector<unsigned> signature(count * 2);
    QVector<QByteArray> texts(count);
    for (int i = 0; i < count; ++i) {
        const QVariant &v = m_values[i];
        unsigned type = 0, length = 0;
        if (v.isNull()) {
            type = 0;
        } else {
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Bool:
            case QMetaType::Short:
            case QMetaType::UShort:
                type = SQL_INT64;
                length = 8;
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                type = SQL_DOUBLE;
                length = 8;
                break;
            case QMetaType::QDateTime:
                type = SQL_TIMESTAMP;
                length = 8;
                break;
            case QMetaType::QDate:
                type = SQL_TYPE_DATE;
                length = 4;
                break;
            case QMetaType::QTime:
                type = SQL_TYPE_TIME;
                length = 4;
                break;
            default:
                texts[i] = v.metaType() == QMetaType::fromType<Win1252Text>()
                               ? v.value<Win1252Text>().bytes
                               : win1252::encode(v.toString());
                type = SQL_VARYING;
                length = unsigned(qMax<qsizetype>(texts[i].size(), 1));
            }
        }
        signature[2 * i] = type;
        signature[2 * i + 1] = length;
    }
    if (!m_input || signature != m_inputSignature) {
        m_input.reset(fb::call([&](ThrowStatusWrapper *st) {
            fb::Ref<IMetadataBuilder> builder(m_declaredInput->getBuilder(st));
            for (int i = 0; i < count; ++i) {
                const unsigned type = signature[2 * i];
                if (type == 0) {
                    // A null keeps the declared type, flagged nullable.
                    builder->setType(st, unsigned(i),
                                     m_declaredInput->getType(st, unsigned(i)) | 1);
                    continue;
                }
                builder->setType(st, unsigned(i), type | 1);
                builder->setSubType(st, unsigned(i), 0);
                builder->setScale(st, unsigned(i), 0);
                builder->setLength(st, unsigned(i), signature[2 * i + 1]);
                if (type == SQL_VARYING)
                    builder->setCharSet(st, unsigned(i), fb::kCharSetWin1252);
            }
            return builder->getMetadata(st);
        }));
        m_inputSignature = signature;
    }
    fb::call([&](ThrowStatusWrapper *st) {
        m_inBuffer = QByteArray(qsizetype(m_input->getMessageLength(st)), '\0');
        auto *buf = reinterpret_cast<unsigned char *>(m_inBuffer.data());
        for (int i = 0; i < count; ++i) {
            const unsigned idx = unsigned(i);
            unsigned char *p = buf + m_input->getOffset(st, idx);
            writeAs<short>(buf + m_input->getNullOffset(st, idx), m_values[i].isNull() ? -1 : 0);
            if (m_values[i].isNull())
                continue;
            switch (signature[2 * i]) {
            case SQL_INT64:
                writeAs<qint64>(p, m_values[i].toLongLong());
                break;
            case SQL_DOUBLE:
                writeAs<double>(p, m_values[i].toDouble());
                break;
            case SQL_TIMESTAMP: {
                const QDateTime dt = m_values[i].toDateTime();
                ISC_TIMESTAMP ts{encodeDate(dt.date()), encodeTime(dt.time())};
                writeAs(p, ts);
                break;
            }
            case SQL_TYPE_DATE:
                writeAs(p, encodeDate(m_values[i].toDate()));
                break;
            case SQL_TYPE_TIME:
                writeAs(p, encodeTime(m_values[i].toTime()));
                break;
            case SQL_VARYING:
                writeAs<unsigned short>(p, static_cast<unsigned short>(texts[i].size()));
                std::memcpy(p + 2, texts[i].constData(), size_t(texts[i].size()));
                break;
            }
        }
    });
    return m_input.get();
}

void Statement::execute() {
    closeCursor();
    ITransaction *tra = m_transaction.handle();
    ensurePrepared();
    IMessageMetadata *in = inputMetadata();
    std::memset(m_outBuffer.data(), 0, size_t(m_outBuffer.size()));
    guard([&] {
        fb::call([&](ThrowStatusWrapper *st) {
            m_statement->execute(st, tra, in, m_inBuffer.data(), m_output.get(),
                                 m_columns.isEmpty() ? nullptr : m_outBuffer.data());
        });
    });
}

quint64 Statement::affectedRecords() {
    if (!m_statement)
        return 0;
    return guard([&] {
        return fb::call(
            [&](ThrowStatusWrapper *st) { return m_statement->getAffectedRecords(st); });
    });
}

void Statement::openCursor() {
    closeCursor();
    ITransaction *tra = m_transaction.handle();
    ensurePrepared();
    IMessageMetadata *in = inputMetadata();
    m_cursor.reset(guard([&] {
        return fb::call([&](ThrowStatusWrapper *st) {
            return m_statement->openCursor(st, tra, in, m_inBuffer.data(), m_output.get(), 0);
        });
    }));
}

bool Statement::fetch() {
    if (!m_cursor)
        return false;
    return guard([&] {
               return fb::callWith(m_status.get(), [&](ThrowStatusWrapper *st) {
                   return m_cursor->fetchNext(st, m_outBuffer.data());
               });
           }) == IStatus::RESULT_OK;
}

void Statement::closeCursor() {
    if (!m_cursor)
        return;
    IResultSet *rs = m_cursor.release_ownership();
    try {
        fb::call([&](ThrowStatusWrapper *st) { rs->close(st); });
    } catch (const DatabaseError &e) {
        rs->release();
        if (!m_orphaned)
            m_transaction.database().failed(e);
        throw;
    }
}

bool Statement::isNull(int column) const {
    const Column &c = m_columns.at(column);
    return readAs<short>(reinterpret_cast<const unsigned char *>(m_outBuffer.constData()) +
                         c.nullOffset) != 0;
}

QVariant Statement::value(int column) const {
    return decodeColumn(m_columns.at(column),
                        reinterpret_cast<const unsigned char *>(m_outBuffer.constData()));
}

QVariant decodeColumn(const Column &c, const unsigned char *message) {
    if (readAs<short>(message + c.nullOffset))
        return QVariant();
    const unsigned char *p = message + c.offset;
    switch (c.sqlType) {
    case SQL_VARYING: {
        const auto n = readAs<unsigned short>(p);
        return decodeText(reinterpret_cast<const char *>(p + 2), n, c.charSet);
    }
    case SQL_TEXT:
        return decodeText(reinterpret_cast<const char *>(p), c.length, c.charSet);
    case SQL_SHORT:
        return scaled(readAs<qint16>(p), c.scale);
    case SQL_LONG:
        return scaled(readAs<qint32>(p), c.scale);
    case SQL_INT64:
        return scaled(readAs<qint64>(p), c.scale);
    case SQL_BOOLEAN:
        return QVariant(int(*p != 0));
    case SQL_FLOAT:
        return double(readAs<float>(p));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return readAs<double>(p);
    case SQL_TIMESTAMP: {
        const auto ts = readAs<ISC_TIMESTAMP>(p);
        return QDateTime(decodeDate(ts.timestamp_date), decodeTime(ts.timestamp_time));
    }
    case SQL_TYPE_DATE:
        return QDateTime(decodeDate(readAs<ISC_DATE>(p)), QTime(0, 0));
    case SQL_TYPE_TIME:
        return decodeTime(readAs<ISC_TIME>(p));
    }
    return QVariant();
}

qint64 generatorValue(Transaction &transaction, const QString &generator, int increment) {
    Statement st(transaction);
    st.prepare(QString::asprintf("SELECT GEN_ID(%s, %d) FROM RDB$DATABASE",
                                 generator.toLatin1().constData(), increment));
    st.execute();
    return st.value(0).toLongLong();
}

} // namespace db
