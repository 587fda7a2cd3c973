#pragma once

#include "db/Connection.h"

#include <QVariant>
#include <QVector>

namespace db {

enum class FieldType { Integer, Float, String, FixedChar, DateTime };

struct Column {
    QString name; // the column's alias, as the select names it
    FieldType type = FieldType::String;
    int size = 0; // characters, for text
    bool required = false;
    // Message layout
    unsigned sqlType = 0;
    int scale = 0;
    unsigned charSet = 0;
    unsigned length = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
};

// A text parameter already in WIN1252 (as a record set's row keeps it): sent as it stands.
struct Win1252Text {
    QByteArray bytes;
};

// SQL with :NAME parameters rewritten once to positional markers. Names compare without
// regard to case; the same name may occur several times.
struct ParsedSql {
    QString sql;
    QStringList names; // upper case, one per marker, in order
};
ParsedSql parseParameters(const QString &sql);

// A prepared statement in the connection's transaction. Text values cross as WIN1252.
class Statement {
    friend class Database;

public:
    explicit Statement(Transaction &transaction);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // With parseNames off the text goes to the server as it stands (scripts whose
    // procedure bodies use :variables).
    void prepare(const QString &sql, bool parseNames = true);
    bool prepared() const { return static_cast<bool>(m_statement); }
    const QString &sql() const { return m_sqlText; }

    const QStringList &paramNames() const { return m_parsed.names; }
    int paramCount() const { return static_cast<int>(m_values.size()); }
    void setParam(int index, const QVariant &value);
    // Sets every marker of that name; returns false when the statement has none.
    bool setParam(const QString &name, const QVariant &value);
    void clearParams();

    // Runs a statement without a cursor; output values (an executable procedure's
    // results, a singleton select) are readable with value() afterwards.
    void execute();
    // The rows the last execute() inserted, updated or deleted.
    quint64 affectedRecords();

    void openCursor();
    bool fetch(); // false at the end
    void closeCursor();
    bool cursorOpen() const { return static_cast<bool>(m_cursor); }

    const QVector<Column> &columns() const { return m_columns; }
    int columnIndex(const QString &name) const; // -1 when absent
    QVariant value(int column) const;           // of the row just fetched or executed
    bool isNull(int column) const;
    // The raw output message of the row just fetched (layout in columns()).
    const unsigned char *message() const {
        return reinterpret_cast<const unsigned char *>(m_outBuffer.constData());
    }

    Transaction &transaction() const { return m_transaction; }

    // The transaction ended: its cursors are gone on the server; let go of ours.
    void releaseCursor() { m_cursor.reset(); }
    // The attachment is ending: let go of every handle; the next use prepares again.
    void releaseHandles();

private:
    Firebird::IMessageMetadata *inputMetadata();
    void prepareText();
    // Prepares again, keeping the parameter values, a statement whose handles went with a
    // lost attachment.
    void ensurePrepared();
    template <class F> decltype(auto) guard(F &&f) { return m_transaction.database().guard(f); }
    void fillInput();

    Transaction &m_transaction;
    // Set when the database object goes before the statement (a window that outlives the
    // data module): the statement then touches neither the connection nor the transaction.
    bool m_orphaned = false;
    QString m_sqlText;
    bool m_parseNames = true;
    ParsedSql m_parsed;
    fb::Ref<Firebird::IStatement> m_statement;
    fb::Ref<Firebird::IMessageMetadata> m_declaredInput;
    fb::Ref<Firebird::IMessageMetadata> m_output;
    fb::Ref<Firebird::IMessageMetadata> m_input; // built for the current parameter values
    QVector<unsigned> m_inputSignature;
    QVector<QVariant> m_values;
    QByteArray m_inBuffer;
    QByteArray m_outBuffer;
    QVector<Column> m_columns;
    fb::Ref<Firebird::IResultSet> m_cursor;
    fb::Ref<Firebird::IStatus> m_status{fb::master()->getStatus()}; // for fetches
};

// Decodes a column of a raw output message.
QVariant decodeColumn(const Column &c, const unsigned char *message);

// The next value of a generator, read in the transaction with
// "SELECT GEN_ID(%s, %d) FROM RDB$DATABASE".
qint64 generatorValue(Transaction &transaction, const QString &generator, int increment = 1);

} // namespace db

Q_DECLARE_METATYPE(db::Win1252Text)
