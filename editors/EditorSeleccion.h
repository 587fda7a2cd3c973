#pragma once

#include <QDialog>

class QAbstractButton;

namespace db {
class RecordSet;
}

// What the installer and manager editors share: a modal window over the main window with a
// fixed size, the system menu and a minimise button; "&Aceptar" (default, Enter) and
// "&Cancelar" (Esc); the row chosen; and a close that first posts a pending change of the
// record set, staying open with the message when the post is refused.
class EditorSeleccion : public QDialog {
    Q_OBJECT
public:
    // The ID of the current row; 0 when there is none.
    int IdSeleccionado() const;

    // Every way of closing passes here ("&Aceptar", "&Cancelar", Esc, Enter, the close box).
    void done(int resultado) override;

protected:
    EditorSeleccion(db::RecordSet &registros, QWidget *principal);

    void prepararBotones(QAbstractButton *aceptar, QAbstractButton *cancelar);
    // Posts a pending change; false, after showing the message, when it is refused.
    bool FormClose();

private:
    db::RecordSet &m_registros;
};
