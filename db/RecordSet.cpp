#include "db/RecordSet.h"

#include "db/RowCodec.h"
#include "db/Win1252.h"

#include <map>
#include <optional>

namespace db {
namespace {

const QString kEmptySetMessage =
    QStringLiteral("No es posible realizar ésta operación en un DataSet vacío");

bool sameValue(const QVariant &a, const QVariant &b, FieldType type) {
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    switch (type) {
    case FieldType::Integer:
        return a.toLongLong() == b.toLongLong();
    case FieldType::Float:
        return a.toDouble() == b.toDouble();
    case FieldType::DateTime:
        return a.toDateTime() == b.toDateTime();
    default:
        return a.toString() == b.toString();
    }
}

} // namespace

// The link of a detail record set to its master's data source.
class RecordSet::MasterLink : public DataLink {
public:
    explicit MasterLink(RecordSet &detail) : m_detail(detail) {}
    void dataEvent(DataEvent event, Field *) override {
        if (event == DataEvent::MasterChanged && m_detail.active()) {
            m_detail.close();
            m_detail.open();
        }
    }
    void masterEvent(MasterEvent event) override {
        if (!m_detail.active())
            return;
        if (event == MasterEvent::Settle)
            m_detail.checkBrowseMode();
        else
            m_detail.cancel();
    }

private:
    RecordSet &m_detail;
};

// Writing a row back. Several desks share the database, and each keeps the rows it read
// for as long as it likes: a save writes only the columns this desk changed, and only if
// no other desk has changed them since this desk read them (their old values are in the
// where clause); an update or delete that touched no row met a row another desk deleted.
// Either is refused and the edit stays, to be saved again or dropped.
class RecordSet::Writer {
public:
    // From setTableStatements: while the modify text is the one it made, saves go column by
    // column; a text of the program's own is run as it stands.
    QString table;
    QStringList columns;
    QStringList modifySql;

    bool columnWise(const RecordSet &r) const {
        return !table.isEmpty() && r.modifySql == modifySql && keySlot(r) >= 0;
    }

    // The slots of the data fields that are columns of the table.
    QVector<int> tableColumnSlots(const RecordSet &r) const {
        QVector<int> tableCols;
        for (size_t i = 0; i < r.m_dataFields.size(); ++i)
            if (columns.contains(r.m_dataFields[i]->name(), Qt::CaseInsensitive))
                tableCols << int(i);
        return tableCols;
    }

    static int keySlot(const RecordSet &r) {
        const Field *id = r.findField(QStringLiteral("ID"));
        return id && id->kind() == FieldKind::Data ? id->m_slot : -1;
    }

    // The current record as the database holds it now; none when it is gone.
    static std::optional<Row> readCurrent(RecordSet &r) {
        Statement &s = r.prepared(r.m_refresh, r.refreshSql);
        r.fillParams(s, &r.m_rows[size_t(r.m_cur)].data);
        s.openCursor();
        std::optional<Row> row;
        if (s.fetch())
            row = rowFrom(r, s, r.m_rows[size_t(r.m_cur)]);
        s.closeCursor();
        return row;
    }

    // A row from the columns a statement returned; fields it did not return keep their
    // value in `rest`.
    static Row rowFrom(RecordSet &r, const Statement &s, const Row &rest) {
        QVector<QVariant> values(int(r.m_dataFields.size()) + r.m_calcCount);
        for (size_t i = 0; i < r.m_dataFields.size(); ++i) {
            const Field &f = *r.m_dataFields[i];
            const int col = s.columnIndex(f.name());
            values[int(i)] =
                col < 0 ? rowcodec::value(rest.data, int(i), f.type()) : f.convert(s.value(col));
        }
        Row row = r.encode(values);
        if (r.m_calcCount && r.onCalcFields) {
            r.m_calcRow = &row;
            try {
                r.onCalcFields(r);
            } catch (...) {
                r.m_calcRow = nullptr;
                throw;
            }
            r.m_calcRow = nullptr;
        }
        return row;
    }

    // The current row is gone from the database: gone from the set too, and the record that
    // takes its place is shown.
    static void dropCurrent(RecordSet &r) {
        r.m_rows.erase(r.m_rows.begin() + r.m_cur);
        if (r.m_cur >= int(r.m_rows.size()) && !r.fetchRow())
            r.m_cur = int(r.m_rows.size()) - 1;
        r.setCurrent(r.m_cur);
        r.notifyMoved();
        r.runAfterScroll();
    }

    static QString deletedMessage(const RecordSet &r, const QVariant &key, const QString &then) {
        return QStringLiteral("Otro puesto ha borrado este registro (%1%2)%3")
            .arg(r.m_name, key.isNull() ? QString() : QStringLiteral(", ID ") + key.toString(),
                 then);
    }
    static QString deletedMessage(const RecordSet &r, const QString &then) {
        const int key = keySlot(r);
        return deletedMessage(
            r,
            key >= 0 && r.m_cur >= 0 && r.m_cur < int(r.m_rows.size())
                ? rowcodec::value(r.m_rows[size_t(r.m_cur)].data, key, FieldType::Integer)
                : QVariant(),
            then);
    }
    static QString notSavedTail() {
        return QStringLiteral(": sus cambios no se han guardado. Copie lo que necesite y "
                              "cancele la edición; al refrescar, la lista muestra los "
                              "registros como están ahora.");
    }

    // Another desk's save or deletion of the same row, met while waiting for its lock.
    static bool collided(const DatabaseError &e) {
        return e.has(isc_update_conflict) ||
               e.message().contains(QLatin1String("erased record"), Qt::CaseInsensitive);
    }

    // Writes the record being edited; answers the row as the database now holds it.
    Row update(RecordSet &r) {
        if (!columnWise(r)) {
            Row posted = r.encode(r.m_buffer);
            r.runStatement(r.m_modify, r.modifySql, posted.data);
            if (r.m_modify->affectedRecords() == 0)
                throw DatabaseError(deletedMessage(r, notSavedTail()));
            return posted;
        }
        const QVector<int> tableCols = tableColumnSlots(r);
        for (int attempt = 0;; ++attempt) {
            const Row &base = r.m_rows[size_t(r.m_cur)];
            const Row posted = r.encode(r.m_buffer);
            QVector<int> changed;
            for (int i : tableCols) {
                const FieldType t = r.m_dataFields[size_t(i)]->type();
                if (!sameValue(rowcodec::value(base.data, i, t), rowcodec::value(posted.data, i, t),
                               t))
                    changed << i;
            }
            std::optional<DatabaseError> collision;
            if (!changed.isEmpty()) {
                Statement &s = statement(r, changed, tableCols);
                int p = 0;
                for (int i : changed)
                    s.setParam(p++, rowcodec::parameter(posted.data, i,
                                                        r.m_dataFields[size_t(i)]->type()));
                const int key = keySlot(r);
                s.setParam(p++, rowcodec::parameter(base.data, key, FieldType::Integer));
                for (int i : changed) {
                    const QVariant old =
                        rowcodec::parameter(base.data, i, r.m_dataFields[size_t(i)]->type());
                    s.setParam(p++, old);
                    if (isTimestamp(r, i))
                        s.setParam(p++, old);
                }
                try {
                    s.execute();
                    if (s.affectedRecords() == 1)
                        return rowFrom(r, s, posted);
                } catch (const DatabaseError &e) {
                    if (!collided(e) || attempt >= kAttempts)
                        throw;
                    collision = e;
                }
            }
            // Nothing written: look at the row as it is now.
            const std::optional<Row> now = readCurrent(r);
            if (!now)
                throw DatabaseError(deletedMessage(r, notSavedTail()));
            if (changed.isEmpty()) {
                // Nothing of this desk's to write: the record shows the row as saved.
                return *now;
            }
            QStringList conflicts;
            for (int i : changed) {
                const Field &f = *r.m_dataFields[size_t(i)];
                const QVariant other = rowcodec::value(now->data, i, f.type());
                if (!sameValue(other, rowcodec::value(base.data, i, f.type()), f.type()) &&
                    !sameValue(other, rowcodec::value(posted.data, i, f.type()), f.type()))
                    conflicts << (other.isNull()
                                      ? QStringLiteral("%1 ahora está vacío").arg(f.name())
                                      : QStringLiteral("%1 ahora es «%2»")
                                            .arg(f.name(), f.textOf(other, true)));
            }
            // From here on the edit starts from the row as it is now: the columns this desk
            // did not change show the other desk's values, the ones it changed keep its own.
            for (int i : tableCols)
                if (!changed.contains(i))
                    r.m_buffer[i] =
                        rowcodec::value(now->data, i, r.m_dataFields[size_t(i)]->type());
            const QVariant key = rowcodec::value(base.data, keySlot(r), FieldType::Integer);
            r.m_rows[size_t(r.m_cur)] = *now;
            r.calculate();
            r.notify(DataEvent::RecordChanged);
            if (!conflicts.isEmpty())
                throw DatabaseError(
                    QStringLiteral("Otro puesto ha cambiado este registro (%1, ID %2) mientras "
                                   "usted lo editaba: %3. No se ha guardado nada: guarde otra "
                                   "vez para dejar sus valores o cancele para quedarse con los "
                                   "del otro puesto.")
                        .arg(r.m_name, key.toString(), conflicts.join(QStringLiteral("; "))));
            if (attempt >= kAttempts) {
                if (collision)
                    throw *collision;
                throw DatabaseError(
                    QStringLiteral("No se ha podido guardar este registro (%1, ID %2): otro "
                                   "puesto lo está modificando. Inténtelo de nuevo dentro de "
                                   "unos segundos o cancele los cambios.")
                        .arg(r.m_name, key.toString()));
            }
        }
    }

    // Deletes the current row; raises when another desk deleted it first. A deletion that
    // waited for another desk's save of the same row goes again once that save is in.
    static void remove(RecordSet &r) {
        for (int attempt = 0;; ++attempt) {
            try {
                r.runStatement(r.m_delete, r.deleteSql, r.m_rows[size_t(r.m_cur)].data);
                break;
            } catch (const DatabaseError &e) {
                if (!collided(e) || r.refreshSql.isEmpty())
                    throw;
                if (!readCurrent(r))
                    throw DatabaseError(deletedMessage(r, kDeletedTail));
                if (attempt >= kAttempts)
                    throw;
            }
        }
        if (r.m_delete->affectedRecords() == 0)
            throw DatabaseError(deletedMessage(r, kDeletedTail));
    }

private:
    // Saves that meet another desk's save of other columns of the same row go again.
    static constexpr int kAttempts = 3;
    static inline const QString kDeletedTail =
        QStringLiteral(" antes que usted; al refrescar, la lista muestra los registros como "
                       "están ahora.");

    static bool isTimestamp(const RecordSet &r, int slot) {
        const int col = r.m_columnOf.value(slot, -1);
        return r.m_select && col >= 0 && col < r.m_select->columns().size() &&
               r.m_select->columns()[col].sqlType == SQL_TIMESTAMP;
    }

    // update T set <changed> = ? where ID = ? and <changed> is not distinct from ?
    // returning <the table's columns>. Timestamps are compared to the millisecond, the
    // precision a row keeps them in. Kept by text: a desk changes few combinations.
    Statement &statement(RecordSet &r, const QVector<int> &changed, const QVector<int> &tableCols) {
        QStringList sets, checks, returned;
        for (int i : changed) {
            const QString c = r.m_dataFields[size_t(i)]->name();
            sets << c + QStringLiteral(" = ?");
            checks << (isTimestamp(r, i)
                           ? QStringLiteral("(%1 is not distinct from ? or datediff(millisecond, "
                                            "%1, cast(? as timestamp)) = 0)")
                                 .arg(c)
                           : c + QStringLiteral(" is not distinct from ?"));
        }
        for (int i : tableCols)
            returned << r.m_dataFields[size_t(i)]->name();
        const QString sql =
            QStringLiteral("update %1 set %2 where %3 = ? and %4 returning %5")
                .arg(table, sets.join(QStringLiteral(", ")),
                     r.m_dataFields[size_t(keySlot(r))]->name(),
                     checks.join(QStringLiteral(" and ")), returned.join(QStringLiteral(", ")));
        auto it = m_updates.find(sql);
        if (it == m_updates.end()) {
            if (m_updates.size() >= 32)
                m_updates.clear();
            auto st = std::make_unique<Statement>(r.m_transaction);
            st->prepare(sql, false);
            it = m_updates.emplace(sql, std::move(st)).first;
        }
        return *it->second;
    }

    std::map<QString, std::unique_ptr<Statement>> m_updates;
};

RecordSet::RecordSet(Transaction &transaction, QString name)
    : m_transaction(transaction), m_name(std::move(name)), m_writer(std::make_unique<Writer>()) {}

RecordSet::~RecordSet() {
    setState(State::Inactive, Tell::Nobody); // the sources stay, but hear no more of it
    m_rows.clear();
    for (DataSource *s : m_sources)
        s->m_dataSet = nullptr;
}

void RecordSet::setTableStatements(const QString &table, const QStringList &columns) {
    QStringList params, sets;
    for (const QString &c : columns) {
        params << u':' + c;
        sets << QStringLiteral("  %1 = :%1").arg(c);
    }
    for (int i = 0; i + 1 < sets.size(); ++i)
        sets[i] += u',';
    const QString list = columns.join(QStringLiteral(", "));
    insertSql = {QStringLiteral("insert into ") + table, QStringLiteral("  (") + list + u')',
                 QStringLiteral("values"),
                 QStringLiteral("  (") + params.join(QStringLiteral(", ")) + u')'};
    modifySql = QStringList{QStringLiteral("update ") + table, QStringLiteral("set")} + sets +
                QStringList{QStringLiteral("where"), QStringLiteral("  ID = :OLD_ID")};
    deleteSql = {QStringLiteral("delete from ") + table, QStringLiteral("where"),
                 QStringLiteral("  ID = :OLD_ID")};
    refreshSql = {QStringLiteral("Select ") + list, QStringLiteral("from ") + table + u' ',
                  QStringLiteral("where"), QStringLiteral("  ID = :ID")};
    m_writer->table = table;
    m_writer->columns = columns;
    m_writer->modifySql = modifySql;
}

void RecordSet::setParam(const QString &name, const QVariant &value) {
    m_params[name.toUpper()] = value;
}

QVariant RecordSet::param(const QString &name) const {
    return m_params.value(name.toUpper());
}

void RecordSet::setMasterSource(DataSource *master) {
    if (!master) {
        m_masterLink.reset();
        return;
    }
    if (!m_masterLink)
        m_masterLink = std::make_unique<MasterLink>(*this);
    m_masterLink->setDataSource(master);
}

DataSource *RecordSet::masterSource() const {
    return m_masterLink ? m_masterLink->dataSource() : nullptr;
}

Field &RecordSet::addField(const QString &name, FieldType type, int size, bool required) {
    if (active())
        throw DatabaseError(
            QStringLiteral("No se pueden añadir campos a '%1' abierto").arg(m_name));
    m_fields.push_back(std::make_unique<Field>(*this, name, type, size, required, FieldKind::Data));
    m_declaredCount = int(m_fields.size());
    return *m_fields.back();
}

Field &RecordSet::addLookupField(const QString &name, FieldType type, int size,
                                 const QString &keyField, RecordSet &lookupDataSet,
                                 const QString &lookupKeyField, const QString &lookupResultField) {
    m_fields.push_back(std::make_unique<Field>(*this, name, type, size, false, FieldKind::Lookup));
    Field &f = *m_fields.back();
    f.keyField = keyField;
    f.lookupDataSet = &lookupDataSet;
    f.lookupKeyField = lookupKeyField;
    f.lookupResultField = lookupResultField;
    m_declaredCount = int(m_fields.size());
    return f;
}

Field &RecordSet::addCalculatedField(const QString &name, FieldType type, int size) {
    m_fields.push_back(
        std::make_unique<Field>(*this, name, type, size, false, FieldKind::Calculated));
    m_declaredCount = int(m_fields.size());
    return *m_fields.back();
}

Field *RecordSet::findField(const QString &name) const {
    for (const auto &f : m_fields)
        if (f->name().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field &RecordSet::field(const QString &name) const {
    if (Field *f = findField(name))
        return *f;
    throw DatabaseError(QStringLiteral("%1: No se encuentra el campo '%2'").arg(m_name, name));
}

// ---------------------------------------------------------------- notifications

void RecordSet::notify(DataEvent event, Field *field) {
    if (m_disabled > 0) {
        if (event == DataEvent::DataSetChanged || event == DataEvent::MasterChanged ||
            event == DataEvent::StateChanged || event == DataEvent::RecordChanged)
            m_pendingNotify = true;
        return;
    }
    const QList<DataSource *> sources = m_sources;
    for (DataSource *s : sources)
        s->notify(event, field);
}

void RecordSet::notifyMoved() {
    notify(DataEvent::DataSetChanged);
    notify(DataEvent::MasterChanged);
}

void RecordSet::disableControls() {
    ++m_disabled;
}

void RecordSet::enableControls() {
    if (m_disabled > 0 && --m_disabled == 0 && m_pendingNotify) {
        m_pendingNotify = false;
        notifyMoved();
    }
}

// Before this set posts, moves, or starts an edit or insert, every open record set linked
// to it settles its own pending record; before it cancels or refreshes, they drop theirs.
void RecordSet::tellDetails(MasterEvent event) {
    const QList<DataSource *> sources = m_sources;
    for (DataSource *s : sources)
        s->notifyDetails(event);
}

// Every change of state goes through here. The new state starts unmodified; out of an edit
// or insert the record being edited is let go. Opening and closing tell their sources that
// the set became active or inactive, once the rest is done, and an insert tells once the
// new record is filled: for them the state changes quietly.
void RecordSet::setState(State state, Tell tell) {
    m_state = state;
    m_modified = false;
    if (state != State::Edit && state != State::Insert)
        m_buffer.clear();
    if (tell == Tell::Sources)
        notify(DataEvent::StateChanged);
}

Statement &RecordSet::prepared(std::unique_ptr<Statement> &stmt, const QStringList &sql) {
    const QString text = joined(sql);
    if (!stmt)
        stmt = std::make_unique<Statement>(m_transaction);
    if (!stmt->prepared() || stmt->sql() != text)
        stmt->prepare(text);
    return *stmt;
}

void RecordSet::checkActive() const {
    if (!active())
        throw DatabaseError(
            QStringLiteral("No es posible realizar esta operación en '%1' cerrado").arg(m_name));
}

void RecordSet::checkWritable() const {
    checkActive();
    if (readOnly() || m_unidirectional)
        throw DatabaseError(
            QStringLiteral("No es posible modificar '%1': es de solo lectura").arg(m_name));
}

QString RecordSet::joined(const QStringList &sql) const {
    return sql.join(u'\n');
}

// ---------------------------------------------------------------- open and close

void RecordSet::setUnidirectional(bool unidirectional) {
    if (active())
        throw DatabaseError(
            QStringLiteral("No es posible cambiar el modo de lectura de '%1' abierto").arg(m_name));
    m_unidirectional = unidirectional;
}

void RecordSet::open() {
    if (active())
        return;
    fillParams(prepared(m_select, selectSql), nullptr);
    bindFields();
    m_select->openCursor();
    m_openedOn = m_transaction.database().attachmentNumber();
    m_rows.clear();
    m_store.clear();
    m_base = 0;
    m_fetchedAll = false;
    setState(State::Browse, Tell::Nobody); // told below as the set becoming active
    m_cur = -1;
    try {
        if (fetchRow())
            m_cur = 0;
    } catch (...) {
        close();
        throw;
    }
    m_bof = true;
    m_eof = m_rows.empty();
    notify(DataEvent::ActiveChanged);
    notifyMoved();
    if (afterOpen)
        afterOpen(*this);
    if (!m_rows.empty())
        runAfterScroll();
}

void RecordSet::bindFields() {
    // Default fields live for one open only.
    m_fields.resize(size_t(m_declaredCount));
    const QVector<Column> &cols = m_select->columns();
    if (m_fields.empty()) {
        for (const Column &c : cols)
            m_fields.push_back(std::make_unique<Field>(*this, c.name, c.type, c.size, c.required,
                                                       FieldKind::Data));
    }
    m_dataFields.clear();
    m_columnOf.clear();
    m_calcCount = 0;
    for (const auto &f : m_fields) {
        switch (f->kind()) {
        case FieldKind::Data: {
            const int col = m_select->columnIndex(f->name());
            if (col < 0)
                throw DatabaseError(
                    QStringLiteral("%1: No se encuentra el campo '%2'").arg(m_name, f->name()));
            f->m_slot = int(m_dataFields.size());
            m_dataFields.push_back(f.get());
            m_columnOf << col;
            break;
        }
        case FieldKind::Calculated:
            f->m_slot = m_calcCount++;
            break;
        case FieldKind::Lookup:
            field(f->keyField);
            if (!f->lookupDataSet)
                throw DatabaseError(
                    QStringLiteral("%1: el campo '%2' no tiene lista").arg(m_name, f->name()));
            if (!f->lookupDataSet->active())
                f->lookupDataSet->open();
            f->lookupDataSet->field(f->lookupKeyField);
            f->lookupDataSet->field(f->lookupResultField);
            break;
        }
    }
    m_plan = rowcodec::plan(cols, m_columnOf, m_dataFields);
}

void RecordSet::close() {
    if (!active())
        return;
    setState(State::Inactive, Tell::Nobody); // told below as the set becoming inactive
    m_rows.clear();
    m_store.clear();
    m_cur = -1;
    m_base = 0;
    m_eof = m_bof = true;
    if (m_select) {
        try {
            m_select->closeCursor();
        } catch (const DatabaseError &) {
            // The cursor died with its transaction; the set is closed all the same.
        }
    }
    notify(DataEvent::ActiveChanged);
}

bool RecordSet::fetchRow() {
    if (m_fetchedAll || !m_select || !m_select->cursorOpen()) {
        m_fetchedAll = true;
        return false;
    }
    if (!m_select->fetch()) {
        m_fetchedAll = true;
        m_select->closeCursor();
        return false;
    }
    Row row;
    // The rows a unidirectional set lets go must give their memory back: they own their bytes.
    row.data =
        rowcodec::fromMessage(m_plan, m_select->message(), m_unidirectional ? nullptr : &m_store);
    if (m_calcCount)
        row.calc = QVector<QVariant>(m_calcCount);
    m_rows.push_back(std::move(row));
    if (m_calcCount && onCalcFields) {
        m_calcRow = &m_rows.back();
        try {
            onCalcFields(*this);
        } catch (...) {
            m_calcRow = nullptr;
            throw;
        }
        m_calcRow = nullptr;
    }
    return true;
}

bool RecordSet::fetchMore(int count) {
    bool any = false;
    for (int i = 0; i < count && fetchRow(); ++i)
        any = true;
    return any;
}

bool RecordSet::hasNextRow() {
    if (!active() || m_rows.empty())
        return false;
    return m_cur + 1 < int(m_rows.size()) || fetchRow();
}

void RecordSet::fetchAll() {
    while (fetchRow()) {
    }
}

// ---------------------------------------------------------------- values

RecordSet::Row RecordSet::encode(const QVector<QVariant> &values) const {
    return Row{rowcodec::fromValues(m_dataFields, values), values.mid(int(m_dataFields.size()))};
}

QVariant RecordSet::rowValue(const Row &row, const Field &f) const {
    switch (f.kind()) {
    case FieldKind::Data:
        return rowcodec::value(row.data, f.m_slot, f.type());
    case FieldKind::Calculated:
        return f.m_slot < row.calc.size() ? row.calc[f.m_slot] : QVariant();
    case FieldKind::Lookup:
        return lookupValue(f, rowValue(row, field(f.keyField)));
    }
    return QVariant();
}

QVariant RecordSet::currentValue(const Field &f) const {
    if (m_calcRow)
        return rowValue(*m_calcRow, f);
    if (editing()) {
        switch (f.kind()) {
        case FieldKind::Data:
            return m_buffer.value(f.m_slot);
        case FieldKind::Calculated:
            return m_buffer.value(int(m_dataFields.size()) + f.m_slot);
        case FieldKind::Lookup:
            return lookupValue(f, currentValue(field(f.keyField)));
        }
    }
    if (m_cur < 0 || m_cur >= int(m_rows.size()))
        return QVariant();
    return rowValue(m_rows[size_t(m_cur)], f);
}

QVariant RecordSet::valueAt(int row, const Field &f) const {
    if (m_cur >= 0 && row == m_base + m_cur)
        return currentValue(f);
    const int i = row - m_base; // a row a unidirectional set has let go reads as null
    if (i < 0 || i >= int(m_rows.size()))
        return QVariant();
    return rowValue(m_rows[size_t(i)], f);
}

// Searched afresh from the list's first row each time; the list's current row stays.
QVariant RecordSet::lookupValue(const Field &f, const QVariant &key) const {
    RecordSet *list = f.lookupDataSet;
    if (key.isNull() || !list || !list->active())
        return QVariant();
    const Field &k = list->field(f.lookupKeyField);
    const Field &r = list->field(f.lookupResultField);
    const QVariant wanted = k.convert(key);
    for (int i = 0;; ++i) {
        if (i >= int(list->m_rows.size()) && !list->fetchRow())
            return QVariant();
        if (sameValue(list->rowValue(list->m_rows[size_t(i)], k), wanted, k.type()))
            return list->rowValue(list->m_rows[size_t(i)], r);
    }
}

void RecordSet::storeValue(Field &f, const QVariant &value) {
    if (m_calcRow && f.kind() == FieldKind::Calculated) {
        m_calcRow->calc[f.m_slot] = f.convert(value);
        return;
    }
    if (f.kind() == FieldKind::Lookup) {
        // Writing a lookup's text stores the key of the list row that shows it.
        RecordSet *list = f.lookupDataSet;
        QVariant key;
        if (!value.isNull() && list && list->active()) {
            const Field &r = list->field(f.lookupResultField);
            list->fetchAll();
            for (const Row &row : list->m_rows)
                if (sameValue(list->rowValue(row, r), r.convert(value), r.type())) {
                    key = list->rowValue(row, list->field(f.lookupKeyField));
                    break;
                }
        }
        field(f.keyField).setValue(key);
        return;
    }
    if (f.kind() == FieldKind::Calculated && !editing())
        throw DatabaseError(
            QStringLiteral("El campo calculado '%1' sólo se asigna al calcular").arg(f.name()));
    checkActive();
    if (!editing())
        throw DatabaseError(
            QStringLiteral("'%1' no está en modo de edición ni de inserción").arg(m_name));
    const QVariant v = f.convert(value);
    if (v.typeId() == QMetaType::QString && f.size() > 0 && v.toString().size() > f.size())
        throw DatabaseError(
            QStringLiteral("El texto es demasiado largo para el campo '%1': admite %2 caracteres "
                           "como máximo")
                .arg(f.name())
                .arg(f.size()));
    if (v.typeId() == QMetaType::QString)
        win1252::encode(v.toString()); // refuse what cannot be stored, here where it is typed
    if (f.onValidate)
        f.onValidate(f, v);
    const int index = f.kind() == FieldKind::Data ? f.m_slot : int(m_dataFields.size()) + f.m_slot;
    m_buffer[index] = v;
    if (f.kind() == FieldKind::Data)
        m_modified = true;
    calculate();
    notify(DataEvent::FieldChanged, &f);
    if (f.onChange)
        f.onChange(f);
}

void RecordSet::calculate() {
    if (!m_calcCount || !onCalcFields || !editing())
        return;
    Row row = encode(m_buffer);
    m_calcRow = &row;
    try {
        onCalcFields(*this);
    } catch (...) {
        m_calcRow = nullptr;
        throw;
    }
    m_calcRow = nullptr;
    for (int i = 0; i < m_calcCount; ++i)
        m_buffer[int(m_dataFields.size()) + i] = row.calc[i];
}

// ---------------------------------------------------------------- navigation

void RecordSet::runAfterScroll() {
    if (afterScroll)
        afterScroll(*this);
}

void RecordSet::setCurrent(int row) {
    m_cur = row;
    m_bof = row <= 0 && m_base == 0;
    m_eof = m_rows.empty();
    letEarlierRowsGo();
}

// In steps of some rows, not one by one: each step moves the rows kept ahead down the table.
void RecordSet::letEarlierRowsGo() {
    constexpr int kStep = 64;
    if (!m_unidirectional || m_cur < kStep)
        return;
    m_rows.erase(m_rows.begin(), m_rows.begin() + m_cur);
    m_base += m_cur;
    m_cur = 0;
}

// A unidirectional set going back to a row it has let go: the select is read again.
void RecordSet::reopenAt(int row) {
    close();
    open();
    if (row > 0)
        moveBy(row);
}

// The one step before every operation that reads or writes rows. After a lost connection
// the database is attached again, and rows read under the lost attachment are read again
// (see reopenIfStale). For a move, linked sets then settle their pending records and this
// set's own is posted; a record held through the loss is saved first and the rows are read
// again after it.
void RecordSet::beforeOperation(Step step) {
    if (step == Step::OnRow) {
        // A row that is gone is not replaced by another: the operation is refused.
        const int key = Writer::keySlot(*this);
        const QVariant id =
            key >= 0 && m_cur >= 0 && m_cur < int(m_rows.size()) && !editing()
                ? rowcodec::value(m_rows[size_t(m_cur)].data, key, FieldType::Integer)
                : QVariant();
        if (!reopenIfStale())
            throw DatabaseError(Writer::deletedMessage(
                *this, id, QStringLiteral(" mientras se recuperaba la conexión.")));
        return;
    }
    reopenIfStale();
    if (step != Step::Move)
        return;
    checkActive();
    tellDetails(MasterEvent::Settle);
    checkBrowseMode();
    reopenIfStale();
}

// Rows read under an attachment that has since been lost may be cut short (the cursor died
// with it) or out of date: the set reads again and comes back to the same row, by its ID
// where it has one. A set holding an edit keeps it; it reads again once the edit is over.
// Answers false when that row is no longer there (another desk deleted it). Only
// beforeOperation calls it: it is where the connection is attached again.
bool RecordSet::reopenIfStale() {
    Database &db = m_transaction.database();
    db.ensureAttached();
    if (!active() || editing() || m_openedOn == db.attachmentNumber())
        return true;
    const Field *id = findField(QStringLiteral("ID"));
    const QVariant key = id && m_cur >= 0 ? currentValue(*id) : QVariant();
    const int row = recNo();
    close();
    open();
    if (!key.isNull())
        return locate(QStringLiteral("ID"), key);
    if (row > 0)
        moveTo(row);
    return true;
}

void RecordSet::checkBrowseMode() {
    if (!editing())
        return;
    // Text still pending in a control counts as a change.
    notify(DataEvent::UpdateData);
    if (m_modified)
        postRecord();
    else
        cancel();
}

void RecordSet::first() {
    beforeOperation(Step::Move);
    if (m_base > 0)
        return reopenAt(0);
    setCurrent(m_rows.empty() ? -1 : 0);
    m_bof = true;
    notifyMoved();
    runAfterScroll();
}

void RecordSet::last() {
    beforeOperation(Step::Move);
    if (m_unidirectional) {
        // Each row fetched becomes current, so that the rows behind it are let go.
        while (fetchRow()) {
            m_cur = int(m_rows.size()) - 1;
            letEarlierRowsGo();
        }
    } else
        fetchAll();
    setCurrent(int(m_rows.size()) - 1);
    m_eof = true;
    notifyMoved();
    runAfterScroll();
}

void RecordSet::moveBy(int distance) {
    beforeOperation(Step::Move);
    const int from = m_cur;
    int target = m_cur + distance;
    if (target < 0 && m_base > 0)
        return reopenAt(std::max(0, m_base + target));
    while (target >= int(m_rows.size()) && fetchRow()) {
    }
    m_eof = m_bof = false;
    if (target >= int(m_rows.size())) {
        target = int(m_rows.size()) - 1;
        m_eof = true;
    }
    if (target < 0) {
        target = m_rows.empty() ? -1 : 0;
        m_bof = true;
    }
    m_cur = target;
    if (m_rows.empty())
        m_eof = m_bof = true;
    const int moved = m_cur - from;
    letEarlierRowsGo();
    if (moved != 0) {
        notifyMoved();
        runAfterScroll();
    }
}

void RecordSet::next() {
    moveBy(1);
}
void RecordSet::prior() {
    moveBy(-1);
}
void RecordSet::moveTo(int row) {
    moveBy(row - recNo());
}

bool RecordSet::locate(const QString &fieldName, const QVariant &value) {
    beforeOperation(Step::Move);
    const Field &f = field(fieldName);
    const QVariant wanted = value.isNull() ? QVariant() : f.convert(value);
    const int saved = m_cur;
    // The rows are compared as they are kept, without making each one current: the
    // after-scroll hook (which may re-query lists) runs once, on the record where the search
    // ends, and linked sets and controls hear of that record once.
    int found = -1;
    for (int i = 0; i < int(m_rows.size()) || fetchRow(); ++i)
        if (sameValue(valueAt(i, f), wanted, f.type())) {
            found = i;
            break;
        }
    setCurrent(found >= 0 ? found : saved);
    // Told after the hook, so that controls show what it re-queried.
    disableControls();
    m_pendingNotify = true;
    try {
        if (m_cur >= 0)
            runAfterScroll();
    } catch (...) {
        enableControls();
        throw;
    }
    enableControls();
    return found >= 0;
}

// ---------------------------------------------------------------- editing

void RecordSet::edit() {
    if (editing())
        return;
    beforeOperation(Step::OnRow);
    checkWritable();
    if (m_rows.empty()) {
        insert();
        return;
    }
    tellDetails(MasterEvent::Settle);
    // The edit starts from the row as saved now, not as this desk read it some time ago, and
    // the rules and the controls see that row.
    if (!refreshSql.isEmpty()) {
        const std::optional<Row> now = Writer::readCurrent(*this);
        if (!now) {
            const QString message =
                Writer::deletedMessage(*this, QStringLiteral("; la lista ya no lo muestra."));
            Writer::dropCurrent(*this);
            throw DatabaseError(message);
        }
        if (now->data != m_rows[size_t(m_cur)].data) {
            m_rows[size_t(m_cur)] = *now;
            notify(DataEvent::RecordChanged);
        }
    }
    if (beforeEdit)
        beforeEdit(*this);
    const Row &row = m_rows[size_t(m_cur)];
    m_buffer.resize(int(m_dataFields.size()) + m_calcCount);
    for (size_t i = 0; i < m_dataFields.size(); ++i)
        m_buffer[int(i)] = rowcodec::value(row.data, int(i), m_dataFields[i]->type());
    for (int i = 0; i < m_calcCount; ++i)
        m_buffer[int(m_dataFields.size()) + i] = row.calc.value(i);
    setState(State::Edit);
    notify(DataEvent::MasterChanged);
    if (afterEdit)
        afterEdit(*this);
}

void RecordSet::insert() {
    beforeOperation(Step::Change);
    checkWritable();
    tellDetails(MasterEvent::Settle);
    checkBrowseMode();
    insertAt(false);
}

void RecordSet::insertAt(bool atEnd) {
    if (beforeInsert)
        beforeInsert(*this);
    const int saved = m_cur;
    const int pos = atEnd ? int(m_rows.size()) : (m_cur < 0 ? 0 : m_cur);
    m_buffer = QVector<QVariant>(int(m_dataFields.size()) + m_calcCount);
    // The new record's row holds nulls until the post: whoever reads it meanwhile (a grid,
    // a lookup into this set) reads a row like any other.
    m_rows.insert(m_rows.begin() + pos, encode(m_buffer));
    m_cur = pos;
    setState(State::Insert, Tell::Nobody); // told once the new record is filled
    try {
        if (!generatorName.isEmpty()) {
            if (Field *id = findField(generatorField); id && id->isNull())
                id->setValue(generatorValue(m_transaction, generatorName, 1));
        }
        if (onNewRecord)
            onNewRecord(*this);
    } catch (...) {
        m_rows.erase(m_rows.begin() + pos);
        m_cur = saved;
        setState(State::Browse);
        notifyMoved();
        throw;
    }
    m_eof = m_bof = false;
    setState(State::Insert);
    notifyMoved();
    if (afterInsert)
        afterInsert(*this);
    runAfterScroll();
}

void RecordSet::append() {
    beforeOperation(Step::Change);
    checkWritable();
    tellDetails(MasterEvent::Settle);
    checkBrowseMode();
    fetchAll();
    insertAt(true);
}

// With a record (its data fields as a row keeps them) the parameters are its fields, OLD_
// names the row as fetched; text goes as the row's WIN1252 bytes, not encoded again. Without
// one they come from the master's fields of the same names or from the set's parameters.
void RecordSet::fillParams(Statement &stmt, const QByteArray *record) {
    const QStringList &names = stmt.paramNames();
    RecordSet *master = masterSource() ? masterSource()->dataSet() : nullptr;
    const auto fromRow = [](const QByteArray &row, const Field &f) {
        return rowcodec::parameter(row, f.m_slot, f.type());
    };
    for (int i = 0; i < names.size(); ++i) {
        const QString &name = names[i];
        if (record) {
            if (name.startsWith(QLatin1String("OLD_"))) {
                const Field &f = field(name.mid(4));
                const bool hasOld =
                    m_state != State::Insert && m_cur >= 0 && m_cur < int(m_rows.size());
                stmt.setParam(i, !hasOld ? QVariant()
                                 : f.kind() == FieldKind::Data
                                     ? fromRow(m_rows[size_t(m_cur)].data, f)
                                     : rowValue(m_rows[size_t(m_cur)], f));
            } else {
                const Field &f = field(name);
                stmt.setParam(i, f.kind() == FieldKind::Data ? fromRow(*record, f) : f.value());
            }
        } else if (master && master->active() && master->findField(name)) {
            stmt.setParam(i, master->field(name).value());
        } else {
            stmt.setParam(i, m_params.value(name));
        }
    }
}

void RecordSet::runStatement(std::unique_ptr<Statement> &stmt, const QStringList &sql,
                             const QByteArray &record) {
    Statement &s = prepared(stmt, sql);
    fillParams(s, &record);
    s.execute();
}

void RecordSet::post() {
    beforeOperation(Step::Change);
    notify(DataEvent::UpdateData);
    postRecord();
}

// The post itself, once the controls have written their pending text.
void RecordSet::postRecord() {
    if (!editing())
        return;
    tellDetails(MasterEvent::Settle);
    if (beforePost)
        beforePost(*this);
    const bool inserting = m_state == State::Insert;
    Row posted;
    try {
        for (Field *f : m_dataFields)
            if (f->required() && f->isNull()) {
                notify(DataEvent::FocusField, f);
                throw DatabaseError(
                    QStringLiteral("Es necesario que el campo '%1' contenga algún valor")
                        .arg(f->name()));
            }
        if (inserting) {
            // Encoded once: the statement sends the bytes the row keeps.
            posted = encode(m_buffer);
            runStatement(m_insert, insertSql, posted.data);
        } else {
            posted = m_writer->update(*this);
        }
    } catch (const DatabaseError &e) {
        if (onPostError)
            onPostError(*this, e);
        throw;
    }
    m_rows[size_t(m_cur)] = std::move(posted);
    setState(State::Browse);
    notify(DataEvent::RecordChanged);
    notify(DataEvent::MasterChanged);
    if (afterPost)
        afterPost(*this);
}

void RecordSet::cancel() {
    if (!editing())
        return;
    tellDetails(MasterEvent::Drop);
    const bool inserting = m_state == State::Insert;
    if (inserting) {
        m_rows.erase(m_rows.begin() + m_cur);
        if (m_cur >= int(m_rows.size()))
            m_cur = int(m_rows.size()) - 1;
    }
    setCurrent(m_cur);
    setState(State::Browse);
    notifyMoved();
    if (afterCancel)
        afterCancel(*this);
    if (inserting)
        runAfterScroll();
}

void RecordSet::remove() {
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    beforeOperation(Step::OnRow);
    checkWritable();
    if (m_rows.empty())
        throw DatabaseError(kEmptySetMessage);
    tellDetails(MasterEvent::Settle);
    Writer::remove(*this);
    m_rows.erase(m_rows.begin() + m_cur);
    if (m_cur >= int(m_rows.size()) && !fetchRow())
        m_cur = int(m_rows.size()) - 1;
    setCurrent(m_cur);
    setState(State::Browse);
    notifyMoved();
    if (afterDelete)
        afterDelete(*this);
    runAfterScroll();
}

void RecordSet::refresh() {
    beforeOperation(Step::Change);
    checkActive();
    tellDetails(MasterEvent::Drop);
    checkBrowseMode();
    if (m_rows.empty())
        return;
    if (refreshSql.isEmpty()) {
        const int saved = m_cur;
        close();
        open();
        while (saved >= int(m_rows.size()) && fetchRow()) {
        }
        setCurrent(qMin(saved, int(m_rows.size()) - 1));
        notifyMoved();
        return;
    }
    if (std::optional<Row> now = Writer::readCurrent(*this)) {
        m_rows[size_t(m_cur)] = std::move(*now);
        notifyMoved();
    } else {
        Writer::dropCurrent(*this); // gone from the database: gone from the set
    }
}

} // namespace db
