#include "editors/EditorFila.h"

#include "db/RecordSet.h"
#include "platform/controls/Binding.h"
#include "platform/controls/DBLookupComboBox.h"
#include "platform/controls/DBMemo.h"
#include "platform/controls/DBNavigator.h"
#include "platform/controls/MaskedLineEdit.h"
#include "platform/dialogs/MessageBoxes.h"
#include "platform/dialogs/Windows.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QStyle>

EditorFila::EditorFila(db::DataSource &fuente, QWidget *principal)
    : QDialog(principal, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowCloseButtonHint),
      m_fuente(fuente) {}

db::RecordSet &EditorFila::registros() const {
    return *m_fuente.dataSet();
}

void EditorFila::prepararMarco(platform::DBNavigator *navegador, QAbstractButton *cerrar,
                               const QList<QWidget *> &campos,
                               const QList<platform::DBLookupComboBox *> &listas) {
    platform::bind(m_fuente, {{navegador}});
    navegador->setShowHints(true);

    cerrar->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    cerrar->setFocusPolicy(Qt::ClickFocus); // not reached with Tab
    if (auto *boton = qobject_cast<QPushButton *>(cerrar))
        boton->setAutoDefault(false); // Enter in a field does not close the window
    connect(cerrar, &QAbstractButton::clicked, this, &QDialog::accept);

    for (QWidget *campo : campos) {
        if (auto *edit = qobject_cast<platform::MaskedLineEdit *>(campo))
            connect(edit, &platform::MaskedLineEdit::keyDown, this, &EditorFila::DBEdit1KeyDown);
        else if (auto *memo = qobject_cast<platform::DBMemo *>(campo))
            connect(memo, &platform::DBMemo::keyDown, this, &EditorFila::DBEdit1KeyDown);
    }
    for (platform::DBLookupComboBox *caja : listas) {
        caja->setClearOnDelete(true);
        connect(caja, &platform::DBLookupComboBox::keyDown, this,
                [this, caja](QKeyEvent *key) { DBLookupComboBox1KeyDown(caja, key); });
    }

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void EditorFila::DBEdit1KeyDown(QKeyEvent *key) {
    if (key->key() != Qt::Key_Insert)
        return;
    try {
        registros().insert();
    } catch (...) {
        showException(std::current_exception(), this); // a slot: nothing is raised through Qt
    }
}

// Insert as in the other fields; Delete is the box's own (it clears the key behind it).
void EditorFila::DBLookupComboBox1KeyDown(platform::DBLookupComboBox *, QKeyEvent *key) {
    DBEdit1KeyDown(key);
}

void EditorFila::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    centerOnScreen(this);
}

// Escape belongs to the fields (it drops pending text); it does not close the window.
void EditorFila::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
