#include "platform/controls/DBGrid.h"

#include "db/RecordSet.h"
#include "platform/controls/DeleteConfirmation.h"
#include "platform/controls/FieldLink.h"
#include "platform/controls/GridDelegate.h"
#include "platform/controls/GridEditors.h"
#include "platform/controls/TypedKeys.h"
#include "platform/dialogs/MessageBoxes.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include <algorithm>

namespace platform {

// Asks the grid before the current cell changes: leaving a changed cell writes it, and
// going to another row moves the record set there. A refusal keeps the cell.
class GridSelection : public QItemSelectionModel {
public:
    GridSelection(QAbstractItemModel *model, DBGrid &grid)
        : QItemSelectionModel(model, &grid), m_grid(grid) {}

    void setCurrentIndex(const QModelIndex &index,
                         QItemSelectionModel::SelectionFlags command) override {
        QModelIndex target = index;
        if (m_grid.acceptCurrent(target))
            QItemSelectionModel::setCurrentIndex(target, command);
    }

private:
    DBGrid &m_grid;
};

DBGrid::DBGrid(QWidget *parent)
    : QTableView(parent), m_model(new RecordSetModel(m_link, this)),
      m_delegate(new GridDelegate(*this)) {
    setModel(m_model);
    QItemSelectionModel *standard = selectionModel();
    setSelectionModel(new GridSelection(m_model, *this));
    delete standard;
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                    QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGrid::applyColumnLayout);
}

void DBGrid::setDataSource(db::DataSource *source) {
    m_link.setDataSource(source);
    dataEvent(db::DataEvent::ActiveChanged, nullptr);
}

void DBGrid::setColumns(const QList<DBGridColumn> &columns) {
    dropEditor();
    m_model->setColumns(columns);
    syncCurrent();
}

void DBGrid::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    if (readOnly)
        dropEditor();
    m_model->setReadOnly(readOnly);
}

db::Field *DBGrid::currentField() const {
    const QModelIndex index = currentIndex();
    return m_model->fieldAt(index.isValid() ? index.column() : m_lastColumn);
}

void DBGrid::applyColumnLayout() {
    const QList<DBGridColumn> &cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].width > 0)
            setColumnWidth(i, cols[i].width);
}

// ---------------------------------------------------------------- following the record set

void DBGrid::dataEvent(db::DataEvent event, db::Field *field) {
    db::RecordSet *rs = m_link.dataSet();
    switch (event) {
    case db::DataEvent::ActiveChanged:
        dropEditor();
        m_model->reload();
        syncCurrent();
        break;
    case db::DataEvent::DataSetChanged:
        if (m_editor &&
            (!rs || rs->recNo() != m_editIndex.row() || rs->recordCount() != m_model->rowCount()))
            dropEditor();
        m_model->sync();
        syncCurrent();
        break;
    case db::DataEvent::StateChanged:
        m_model->markersChanged();
        break;
    case db::DataEvent::FieldChanged:
    case db::DataEvent::RecordChanged:
        if (rs)
            m_model->rowChanged(rs->recNo());
        break;
    case db::DataEvent::UpdateData:
        updateRecord();
        break;
    case db::DataEvent::FocusField:
        if (const int column = m_model->columnOf(field); column >= 0 && rs && rs->recNo() >= 0) {
            QScopedValueRollback<bool> syncing(m_syncing, true);
            setCurrentIndex(m_model->index(rs->recNo(), column));
        }
        setFocus();
        break;
    case db::DataEvent::MasterChanged:
        break;
    }
}

void DBGrid::startEdit() {
    db::RecordSet *rs = m_link.dataSet();
    if (rs && !rs->editing())
        rs->edit();
}

void DBGrid::syncCurrent() {
    QScopedValueRollback<bool> syncing(m_syncing, true);
    const db::RecordSet *rs = m_link.dataSet();
    const int row = rs && rs->active() ? rs->recNo() : -1;
    if (row >= m_model->rowCount())
        m_model->sync(); // rows the record set fetched on its own
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0) {
        selectionModel()->clear();
        return;
    }
    const int column = std::clamp(m_lastColumn, 0, m_model->columnCount() - 1);
    const QModelIndex index = m_model->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    if (current.isValid())
        m_lastColumn = current.column();
    QTableView::currentChanged(current, previous);
}

bool DBGrid::acceptCurrent(QModelIndex &index) {
    db::RecordSet *rs = m_link.dataSet();
    if (m_syncing || !index.isValid() || !rs || !rs->active())
        return true;
    // Asked from inside the view's own code: a refusal is shown here and keeps the cell.
    if (m_editor && index != QModelIndex(m_editIndex)) {
        try {
            updateRecord();
        } catch (...) {
            showException(std::current_exception(), this);
            return false;
        }
    }
    if (index.row() == rs->recNo())
        return true;
    const int column = index.column();
    int target = index.row();
    try {
        const int insertedAt = rs->state() == db::State::Insert ? rs->recNo() : -1;
        const int before = rs->recordCount();
        rs->checkBrowseMode();
        // An untouched new record was dropped: the rows after it moved up by one.
        if (insertedAt >= 0 && rs->recordCount() < before && target > insertedAt)
            --target;
        rs->moveTo(target);
    } catch (...) {
        showException(std::current_exception(), this);
        QMetaObject::invokeMethod(
            this, [this] { syncCurrent(); }, Qt::QueuedConnection);
        return false;
    }
    index = m_model->index(rs->recNo(), column);
    return index.isValid();
}

// ---------------------------------------------------------------- cell editors

QWidget *DBGrid::createCellEditor(QWidget *parent, const QModelIndex &index) {
    db::Field *f = m_model->fieldAt(index.column());
    if (!f || !m_model->columnEditable(index.column()))
        return nullptr;
    QWidget *editor = nullptr;
    if (f->kind() == db::FieldKind::Lookup) {
        auto *combo = new GridLookupEdit(parent);
        connect(combo, &QComboBox::activated, this, [this, combo] { commitData(combo); });
        editor = combo;
    } else {
        auto *line = new GridCellEdit(parent, [this] { startEdit(); });
        line->setEditMask(f->editMask);
        const bool text =
            f->type() == db::FieldType::String || f->type() == db::FieldType::FixedChar;
        if (!line->isMasked() && text && f->size() > 0)
            line->setMaxLength(f->size());
        const QString name = f->name();
        line->setCharFilter([this, name](QChar c) {
            const db::RecordSet *rs = m_link.dataSet();
            const db::Field *field = rs ? rs->findField(name) : nullptr;
            return !field || fieldTakesChar(*field, c);
        });
        line->setAlignment(Qt::Alignment(m_model->data(index, Qt::TextAlignmentRole).toInt()));
        connect(line, &MaskedLineEdit::keyPress, this, &DBGrid::keyPress);
        editor = line;
    }
    editor->installEventFilter(this);
    m_editor = editor;
    m_editIndex = index;
    return editor;
}

void DBGrid::showCellValue(QWidget *editor, const QModelIndex &index, bool force) {
    const db::RecordSet *rs = m_link.dataSet();
    const db::Field *f = m_model->fieldAt(index.column());
    if (!rs || !f)
        return;
    try {
        if (auto *line = qobject_cast<GridCellEdit *>(editor)) {
            if (!force && line->isModified())
                return;
            const QString text = f->textOf(rs->valueAt(index.row(), *f), false);
            line->showText(line->isMasked() ? line->editMask().displayText(text) : text);
        } else if (auto *combo = qobject_cast<GridLookupEdit *>(editor)) {
            if (!force && combo->isModified())
                return;
            const db::Field *key = rs->findField(f->keyField);
            combo->showKey(*f, key ? rs->valueAt(index.row(), *key) : QVariant());
        }
    } catch (...) {
        showException(std::current_exception(), this); // the delegate asks from Qt's code
    }
}

void DBGrid::editorGone(QWidget *editor) {
    if (editor == m_editor) {
        m_editor = nullptr;
        m_editIndex = QPersistentModelIndex();
    }
}

bool DBGrid::editorModified() const {
    if (const auto *line = qobject_cast<const GridCellEdit *>(m_editor.data()))
        return line->isModified();
    if (const auto *combo = qobject_cast<const GridLookupEdit *>(m_editor.data()))
        return combo->isModified();
    return false;
}

void DBGrid::dropEditor() {
    m_commitFailed = false;
    if (m_editor)
        QTableView::closeEditor(m_editor, QAbstractItemDelegate::RevertModelCache);
}

void DBGrid::updateRecord() {
    if (!m_editor || !editorModified())
        return;
    db::RecordSet *rs = m_link.dataSet();
    db::Field *f = m_model->fieldAt(m_editIndex.column());
    if (!rs || !rs->active() || !f)
        return;
    if (m_editIndex.row() != rs->recNo()) {
        dropEditor(); // the record is gone from under the editor
        return;
    }
    try {
        if (auto *line = qobject_cast<GridCellEdit *>(m_editor.data())) {
            const QString stored = line->storedText();
            startEdit();
            f->setText(stored);
        } else if (auto *combo = qobject_cast<GridLookupEdit *>(m_editor.data())) {
            const QVariant key = combo->chosenKey();
            startEdit();
            if (db::Field *keyField = rs->findField(f->keyField))
                keyField->setValue(key);
        }
    } catch (...) {
        if (m_editor)
            m_editor->setFocus();
        throw;
    }
    if (m_editor)
        showCellValue(m_editor, m_editIndex, true);
}

void DBGrid::commitData(QWidget *editor) {
    m_commitFailed = false;
    if (editor != m_editor)
        return;
    // The delegate asks from Qt's code; closeEditor() then keeps the refused cell open.
    try {
        updateRecord();
    } catch (...) {
        m_commitFailed = true;
        showException(std::current_exception(), this);
    }
}

void DBGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) {
    if (m_commitFailed && editor == m_editor) {
        // The cell's text was refused: the editor stays, with its text.
        m_commitFailed = false;
        editor->setFocus();
        return;
    }
    m_commitFailed = false;
    QTableView::closeEditor(editor, hint);
}

// ---------------------------------------------------------------- keys and operations

bool DBGrid::canInsert() const {
    const db::RecordSet *rs = m_link.dataSet();
    return !m_readOnly && rs && rs->active() && !rs->readOnly();
}

bool DBGrid::atLastRow() {
    const int rows = m_model->rowCount();
    if (rows > 0 && currentIndex().row() < rows - 1)
        return false;
    if (m_model->canFetchMore({}))
        m_model->fetchMore({});
    return m_model->rowCount() == 0 || currentIndex().row() >= m_model->rowCount() - 1;
}

void DBGrid::insertRecord() {
    if (!canInsert())
        return;
    updateRecord();
    dropEditor();
    m_link.dataSet()->insert();
}

void DBGrid::deleteRecord() {
    db::RecordSet *rs = m_link.dataSet();
    if (m_readOnly || !rs || !rs->active() || rs->readOnly() || rs->isEmpty())
        return;
    if (!confirmDelete(this))
        return;
    dropEditor();
    rs->remove();
}

void DBGrid::nextOrAppend() {
    db::RecordSet *rs = m_link.dataSet();
    if (!rs || !rs->active())
        return;
    updateRecord();
    // An untouched new record is not followed by another.
    if (rs->state() == db::State::Insert && !rs->modified())
        return;
    rs->next();
    if (rs->eof() && canInsert()) {
        dropEditor();
        rs->append();
    }
}

void DBGrid::keyPressEvent(QKeyEvent *event) {
    // A key the cell editor left unused comes here too; its hook ran there already.
    const bool fromEditor = m_editor && m_editor->hasFocus();
    if (!fromEditor) {
        event->ignore();
        emit keyDown(event);
        if (event->isAccepted())
            return;
    }
    event->accept();
    db::RecordSet *rs = m_link.dataSet();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Insert && mods == Qt::NoModifier) {
        insertRecord();
        return;
    }
    if (event->key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
        deleteRecord();
        return;
    }
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier && rs && rs->editing()) {
        rs->cancel();
        return;
    }
    if (event->key() == Qt::Key_Down && mods == Qt::NoModifier && atLastRow()) {
        nextOrAppend();
        return;
    }
    // Typing into an empty grid starts a new record, as an edit of an empty set does.
    if (m_model->rowCount() == 0 && rs && rs->active() && !typedText(event).isEmpty() &&
        m_model->columnEditable(std::max(m_lastColumn, 0)))
        startEdit();
    QScopedValueRollback<bool> inGridKey(m_inGridKey, true);
    QTableView::keyPressEvent(event);
}

bool DBGrid::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_editor && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (!m_inGridKey) {
            key->ignore();
            emit keyDown(key);
            if (key->isAccepted())
                return true;
            key->accept();
        }
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Insert && mods == Qt::NoModifier) {
            insertRecord();
            return true;
        }
        if (key->key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
            deleteRecord();
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    QTableView::mouseDoubleClickEvent(event);
    emit dblClick();
}

} // namespace platform
