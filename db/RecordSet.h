#pragma once

#include "db/DataSource.h"
#include "db/Field.h"
#include "db/RowCodec.h"

#include <QMap>
#include <QStringList>

#include <memory>
#include <vector>

namespace db {

enum class State { Inactive, Browse, Edit, Insert };

// The rows of one select with one current record, editable through five SQL texts
// (select, insert, modify, delete, refresh) when they are given, read-only otherwise.
// Rows are fetched on demand; recordCount() is the number fetched so far.
class RecordSet {
public:
    RecordSet(Transaction &transaction, QString name);
    virtual ~RecordSet();
    RecordSet(const RecordSet &) = delete;
    RecordSet &operator=(const RecordSet &) = delete;

    const QString &name() const { return m_name; }
    Transaction &transaction() const { return m_transaction; }

    // SQL, one list entry per line.
    QStringList selectSql;
    QStringList insertSql;
    QStringList modifySql;
    QStringList deleteSql;
    QStringList refreshSql;
    QString generatorName;
    QString generatorField = QStringLiteral("ID");
    bool readOnly() const { return insertSql.isEmpty() && modifySql.isEmpty(); }
    // A unidirectional set keeps only the rows from shortly before its current one on: as it
    // moves it lets the earlier rows go, so that reading a list of any length through once (a
    // report's listing) holds a few hundred rows at most. Row numbers stay those of the whole
    // select; going back to a row let go reads the select again from its start. Such a set
    // is not edited. Set while the set is closed.
    void setUnidirectional(bool unidirectional);
    bool unidirectional() const { return m_unidirectional; }
    // Sets the insert, modify, delete and refresh texts over one table's columns, in order:
    // every column from the parameter of its name, the row found by :OLD_ID (:ID to refresh).
    void setTableStatements(const QString &table, const QStringList &columns);

    // Parameters of the select: found by name without regard to case.
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;

    // A linked record set fills its parameters from the master's fields of the same names
    // and is reopened whenever the master opens, moves, starts an edit or insert, posts,
    // cancels or refreshes.
    void setMasterSource(DataSource *master);
    DataSource *masterSource() const;

    // Fields. With none declared, opening creates one per column.
    Field &addField(const QString &name, FieldType type, int size = 0, bool required = false);
    Field &addLookupField(const QString &name, FieldType type, int size, const QString &keyField,
                          RecordSet &lookupDataSet, const QString &lookupKeyField,
                          const QString &lookupResultField);
    Field &addCalculatedField(const QString &name, FieldType type, int size = 0);
    Field &field(const QString &name) const; // raises when there is none
    Field *findField(const QString &name) const;
    Field &operator[](const QString &name) const { return field(name); }
    int fieldCount() const { return int(m_fields.size()); }
    Field &fieldAt(int i) const { return *m_fields[size_t(i)]; }

    // State.
    State state() const { return m_state; }
    bool active() const { return m_state != State::Inactive; }
    bool editing() const { return m_state == State::Edit || m_state == State::Insert; }
    bool modified() const { return m_modified; }
    bool isEmpty() const { return m_rows.empty(); }
    int recordCount() const { return m_base + int(m_rows.size()); }
    int recNo() const { return m_cur < 0 ? -1 : m_base + m_cur; } // 0-based; -1 with none
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool allFetched() const { return m_fetchedAll; }
    // Whether a row follows the current one; reads one row ahead when none is fetched yet.
    bool hasNextRow();

    // Operations.
    void open();
    void close();
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int distance);
    void moveTo(int row);
    bool locate(const QString &fieldName, const QVariant &value);
    void edit();
    void insert();
    void append();
    void post();
    void cancel();
    void remove(); // delete
    void refresh();
    void checkBrowseMode();
    void fetchAll();
    bool fetchMore(int count); // false when no row came

    // For grids: the value of a field in any fetched row (lookups computed).
    QVariant valueAt(int row, const Field &field) const;

    // While controls are disabled, data sources and linked record sets hear nothing;
    // enabling them again tells them once.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabled > 0; }

    // Hooks. A hook that raises stops the operation where it is.
    using Hook = std::function<void(RecordSet &)>;
    Hook beforeInsert, onNewRecord, afterInsert, beforeEdit, afterEdit, beforePost, afterPost,
        afterCancel, afterDelete, afterOpen, afterScroll, onCalcFields;
    // An error of the required check or of the statement during a post. The hook may raise
    // (Abort for the silent abort); when it returns, the error passes on.
    std::function<void(RecordSet &, const DatabaseError &)> onPostError;

private:
    friend class Field;
    friend class DataSource;
    class MasterLink;
    class Writer; // saves column by column; see RecordSet.cpp
    struct Row {
        QByteArray data;        // data fields, compact (see RecordSet.cpp)
        QVector<QVariant> calc; // calculated fields
    };

    void notify(DataEvent event, Field *field = nullptr);
    void notifyMoved();
    void tellDetails(MasterEvent event);
    enum class Tell { Sources, Nobody };
    void setState(State state, Tell tell = Tell::Sources);
    void postRecord();
    Statement &prepared(std::unique_ptr<Statement> &stmt, const QStringList &sql);
    void checkActive() const;
    // What an operation needs settled before it runs (see beforeOperation).
    enum class Step {
        Change, // insert, append, post, refresh
        OnRow,  // edit, delete: the current row must still be there
        Move    // first, last, moves, locate: linked sets settle, this set's record is posted
    };
    void beforeOperation(Step step);
    bool reopenIfStale();
    void checkWritable() const;
    void bindFields();
    bool fetchRow();
    void setCurrent(int row);
    void runAfterScroll();
    void letEarlierRowsGo();
    void reopenAt(int row);
    void insertAt(bool atEnd);
    void runStatement(std::unique_ptr<Statement> &stmt, const QStringList &sql,
                      const QByteArray &record);
    void fillParams(Statement &stmt, const QByteArray *record);
    void calculate();
    void storeValue(Field &f, const QVariant &value);
    QVariant rowValue(const Row &row, const Field &f) const;
    Row encode(const QVector<QVariant> &values) const;
    QVariant currentValue(const Field &f) const;
    QVariant lookupValue(const Field &f, const QVariant &key) const;
    QString joined(const QStringList &sql) const;

    Transaction &m_transaction;
    QString m_name;
    std::vector<std::unique_ptr<Field>> m_fields;
    int m_declaredCount = 0; // fields declared by the program; the rest are per-open defaults
    QMap<QString, QVariant> m_params;
    std::unique_ptr<MasterLink> m_masterLink;
    std::unique_ptr<Writer> m_writer;
    QList<DataSource *> m_sources;

    std::unique_ptr<Statement> m_select, m_insert, m_modify, m_delete, m_refresh;
    rowcodec::RowStore m_store; // the bytes of the rows fetched since the open
    std::vector<Row, rowcodec::LargeAllocator<Row>> m_rows; // after the store: let go first
    std::vector<Field *> m_dataFields;        // in row order
    QVector<int> m_columnOf;                  // per data field: its column of the select
    std::vector<rowcodec::ColumnPlan> m_plan; // how a fetched message becomes a row
    QVector<QVariant> m_buffer;               // the record being edited or inserted: data then calc
    Row *m_calcRow = nullptr;                 // the row being calculated after a fetch
    int m_calcCount = 0;

    State m_state = State::Inactive;
    bool m_modified = false;
    int m_cur = -1;  // index into m_rows
    int m_base = 0;  // rows a unidirectional set has let go: the row number of m_rows[0]
    bool m_unidirectional = false;
    bool m_eof = true, m_bof = true;
    bool m_fetchedAll = false;
    int m_openedOn = 0; // the attachment the rows were read under
    int m_disabled = 0;
    bool m_pendingNotify = false;
};

} // namespace db
