#pragma once

#include "db/DataSource.h"
#include "platform/controls/RecordSetModel.h"

#include <QAbstractItemDelegate>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>

namespace platform {

class GridDelegate;

// Data-bound grid: one row per fetched record of the record set (more are fetched as it
// scrolls), the current row being the current record both ways. Cells are edited in place
// through the field's text (under its mask; a lookup column offers its list and writes the
// key), the record set going into edit at the first change; a cell's text is written when
// the user leaves the cell or the record is posted. Tab moves from cell to cell. Keys:
// Insert inserts a record; Down on the last row appends one (not after an untouched new
// record); Ctrl+Delete deletes the current record after the confirmation box; Escape outside
// a cell editor cancels the record's edit.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget *parent = nullptr);

    void setDataSource(db::DataSource *source);
    db::DataSource *dataSource() const { return m_link.dataSource(); }
    db::RecordSet *dataSet() const { return m_link.dataSet(); }

    void setColumns(const QList<DBGridColumn> &columns);
    const QList<DBGridColumn> &columns() const { return m_model->columns(); }
    // No editing, inserting or deleting from the grid.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    RecordSetModel *recordSetModel() const { return m_model; }
    db::Field *currentField() const; // the field of the current column
    QWidget *cellEditor() const { return m_editor; }

    // What the keys do; each raises what the record set raises.
    void insertRecord();
    void deleteRecord(); // after the confirmation box
    void nextOrAppend();
    // Writes a changed cell editor's text into its field. On refusal the editor keeps its
    // text and the focus, and the error passes on.
    void updateRecord();

signals:
    // Before the grid, or its cell editor, handles a key. A handler that calls
    // event->accept() consumes it.
    void keyDown(QKeyEvent *event);
    // Each character typed into a cell editor before it is entered: a handler may replace
    // it (see currentField()), or drop it by setting it to QChar().
    void keyPress(QChar *key);
    // A double click anywhere on the grid, rows or none.
    void dblClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void commitData(QWidget *editor) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyboardSearch(const QString &) override {}

private:
    friend class GridDelegate;
    friend class GridSelection;

    // The grid follows the whole record set (its rows, the current row, the state marker, a
    // focus request for any of its columns), more than a field link's callbacks tell: it takes
    // the data events themselves.
    class Link final : public db::DataLink {
    public:
        explicit Link(DBGrid &grid) : m_grid(grid) {}
        void dataEvent(db::DataEvent event, db::Field *field) override {
            m_grid.dataEvent(event, field);
        }

    private:
        DBGrid &m_grid;
    };

    bool acceptCurrent(QModelIndex &index);
    QWidget *createCellEditor(QWidget *parent, const QModelIndex &index);
    void showCellValue(QWidget *editor, const QModelIndex &index, bool force);
    void editorGone(QWidget *editor);
    bool editorModified() const;
    void dropEditor();
    bool canInsert() const;
    bool atLastRow();
    void dataEvent(db::DataEvent event, db::Field *field);
    void startEdit(); // puts the record set into edit unless it is editing
    void syncCurrent();
    void applyColumnLayout();

    Link m_link{*this};
    RecordSetModel *m_model;
    GridDelegate *m_delegate;
    QPointer<QWidget> m_editor;
    QPersistentModelIndex m_editIndex;
    int m_lastColumn = 0;
    bool m_readOnly = false;
    bool m_syncing = false;
    bool m_commitFailed = false;
    bool m_inGridKey = false;
};

} // namespace platform
