#pragma once

#include <QAbstractTableModel>
#include <QList>

namespace db {
class DataLink;
class Field;
class RecordSet;
} // namespace db

namespace platform {

// One column of a grid.
struct DBGridColumn {
    QString fieldName;
    QString title;                // the field's name when empty
    int width = 0;                // pixels; 0 keeps the grid's default
    Qt::Alignment alignment = {}; // cells; none: the field's own alignment
    Qt::Alignment titleAlignment = Qt::AlignLeft;
    bool readOnly = false;
};

// The rows fetched so far of the record set behind a link, as a table: one column per grid
// column (one per field when none are given), display text in the cells, the field's edit
// text as the edit role. Scrolling to the end fetches more rows. Writing is the grid's.
class RecordSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int FetchBatch = 100;

    explicit RecordSetModel(const db::DataLink &link, QObject *parent = nullptr);

    db::RecordSet *recordSet() const;
    void setColumns(const QList<DBGridColumn> &columns);
    const QList<DBGridColumn> &columns() const { return m_columns; }
    db::Field *fieldAt(int column) const;
    int columnOf(const db::Field *field) const; // -1 when no column shows it
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    bool columnEditable(int column) const;

    // After the record set told of a change: rows added or dropped start the model afresh;
    // otherwise every cell is read again.
    void sync();
    void reload(); // starts afresh in any case (the record set opened, closed or changed)
    void rowChanged(int row);
    void markersChanged(); // the current row's marker follows the state

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    void takeColumns();
    int available() const; // rows the record set holds

    const db::DataLink &m_link;
    QList<DBGridColumn> m_declared;
    QList<DBGridColumn> m_columns;
    int m_rows = 0;
    bool m_readOnly = false;
};

} // namespace platform
