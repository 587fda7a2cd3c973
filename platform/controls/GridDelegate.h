#pragma once

#include <QStyledItemDelegate>

namespace platform {

class DBGrid;

// Hands the making, filling and end of cell editors to the grid, which writes the fields
// itself. A cell editor losing the focus to another window (an error box) or to a popup is
// not taken as leaving the cell.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(DBGrid &grid);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    DBGrid &m_grid;
};

} // namespace platform
