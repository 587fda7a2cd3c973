#include "platform/controls/GridDelegate.h"

#include "platform/controls/DBGrid.h"

#include <QFocusEvent>

namespace platform {

GridDelegate::GridDelegate(DBGrid &grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                    const QModelIndex &index) const {
    return m_grid.createCellEditor(parent, index);
}

void GridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const {
    m_grid.showCellValue(editor, index, false);
}

void GridDelegate::setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const {
    // The grid writes the field in its commitData().
}

void GridDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const {
    m_grid.editorGone(editor);
    QStyledItemDelegate::destroyEditor(editor, index);
}

bool GridDelegate::eventFilter(QObject *object, QEvent *event) {
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace platform
