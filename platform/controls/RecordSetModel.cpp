#include "platform/controls/RecordSetModel.h"

#include "db/RecordSet.h"
#include "platform/dialogs/MessageBoxes.h"

#include <QWidget>

namespace platform {

RecordSetModel::RecordSetModel(const db::DataLink &link, QObject *parent)
    : QAbstractTableModel(parent), m_link(link) {}

db::RecordSet *RecordSetModel::recordSet() const {
    return m_link.dataSet();
}

int RecordSetModel::available() const {
    const db::RecordSet *rs = recordSet();
    return rs && rs->active() ? rs->recordCount() : 0;
}

void RecordSetModel::setColumns(const QList<DBGridColumn> &columns) {
    m_declared = columns;
    reload();
}

void RecordSetModel::takeColumns() {
    m_columns = m_declared;
    const db::RecordSet *rs = recordSet();
    if (m_columns.isEmpty() && rs)
        for (int i = 0; i < rs->fieldCount(); ++i) {
            DBGridColumn c;
            c.fieldName = rs->fieldAt(i).name();
            m_columns << c;
        }
}

db::Field *RecordSetModel::fieldAt(int column) const {
    const db::RecordSet *rs = recordSet();
    if (!rs || column < 0 || column >= m_columns.size())
        return nullptr;
    return rs->findField(m_columns[column].fieldName);
}

int RecordSetModel::columnOf(const db::Field *field) const {
    for (int c = 0; c < m_columns.size(); ++c)
        if (field && fieldAt(c) == field)
            return c;
    return -1;
}

void RecordSetModel::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
}

bool RecordSetModel::columnEditable(int column) const {
    const db::RecordSet *rs = recordSet();
    const db::Field *f = fieldAt(column);
    if (m_readOnly || !rs || !rs->active() || rs->readOnly() || !f || m_columns[column].readOnly)
        return false;
    if (f->kind() == db::FieldKind::Data)
        return true;
    if (f->kind() == db::FieldKind::Lookup) {
        const db::Field *key = rs->findField(f->keyField);
        return key && key->kind() == db::FieldKind::Data;
    }
    return false;
}

void RecordSetModel::reload() {
    beginResetModel();
    takeColumns();
    m_rows = available();
    endResetModel();
}

void RecordSetModel::sync() {
    if (available() != m_rows) {
        reload();
        return;
    }
    if (m_rows > 0 && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
    markersChanged();
}

void RecordSetModel::rowChanged(int row) {
    if (row >= 0 && row < m_rows && !m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RecordSetModel::markersChanged() {
    if (m_rows > 0)
        emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
}

int RecordSetModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int RecordSetModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordSetModel::data(const QModelIndex &index, int role) const {
    const db::RecordSet *rs = recordSet();
    if (!index.isValid() || !rs || !rs->active() || index.row() >= rs->recordCount())
        return {};
    const db::Field *f = fieldAt(index.column());
    if (!f)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        try {
            return f->textOf(rs->valueAt(index.row(), *f), role == Qt::DisplayRole);
        } catch (const db::DatabaseError &) {
            return {}; // a lookup that cannot be read shows as empty; painting goes on
        }
    case Qt::TextAlignmentRole: {
        const Qt::Alignment own = m_columns[index.column()].alignment;
        const Qt::Alignment a = own ? own : f->alignment;
        return int((a & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_columns.size())
            return {};
        const DBGridColumn &c = m_columns[section];
        if (role == Qt::DisplayRole)
            return c.title.isEmpty() ? c.fieldName : c.title;
        if (role == Qt::TextAlignmentRole)
            return int((c.titleAlignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
        return {};
    }
    if (role != Qt::DisplayRole)
        return {};
    // The current row's marker: browsing, editing, inserting.
    const db::RecordSet *rs = recordSet();
    if (!rs || section != rs->recNo())
        return QString();
    switch (rs->state()) {
    case db::State::Edit:
        return QStringLiteral("I");
    case db::State::Insert:
        return QStringLiteral("*");
    default:
        return QStringLiteral("\u25B6");
    }
}

Qt::ItemFlags RecordSetModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (columnEditable(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool RecordSetModel::canFetchMore(const QModelIndex &parent) const {
    const db::RecordSet *rs = recordSet();
    return !parent.isValid() && rs && rs->active() &&
           (m_rows < rs->recordCount() || !rs->allFetched());
}

void RecordSetModel::fetchMore(const QModelIndex &parent) {
    db::RecordSet *rs = recordSet();
    if (parent.isValid() || !rs || !rs->active())
        return;
    if (m_rows >= rs->recordCount()) {
        // The view asks from inside its own code: a failure is shown, not raised.
        try {
            rs->fetchMore(FetchBatch);
        } catch (...) {
            showException(std::current_exception(), qobject_cast<QWidget *>(QObject::parent()));
        }
    }
    const int n = rs->recordCount();
    if (n > m_rows) {
        beginInsertRows({}, m_rows, n - 1);
        m_rows = n;
        endInsertRows();
    }
}

} // namespace platform
