#pragma once

#include <QDialog>

class QAbstractButton;
class QKeyEvent;

namespace db {
class DataSource;
class RecordSet;
} // namespace db

namespace platform {
class DBLookupComboBox;
class DBNavigator;
} // namespace platform

// The frame the cabinet and branch editors share: a fixed-size modal window centred on the
// desktop whose title bar offers only close; a strip with the navigator DBNavigator2 (with
// its hints) and the close button BitBtn1; the fields below. The Insert key in any field
// starts a new row; the Delete key in a lookup box clears its key. Closing saves nothing.
class EditorFila : public QDialog {
    Q_OBJECT
public:
    db::RecordSet &registros() const;

protected:
    EditorFila(db::DataSource &fuente, QWidget *principal);

    // Once the window's form is built: the strip, and the key handlers of its fields.
    void prepararMarco(platform::DBNavigator *navegador, QAbstractButton *cerrar,
                       const QList<QWidget *> &campos,
                       const QList<platform::DBLookupComboBox *> &listas);

    // Insert (virtual key 45) in an edit, memo or lookup box: inserts a row into the
    // editor's record set. The key is not consumed.
    void DBEdit1KeyDown(QKeyEvent *key);
    // Insert as above. Delete (virtual key 46) is the box's own: set to clear the key column
    // behind it, putting the record set into edit first.
    void DBLookupComboBox1KeyDown(platform::DBLookupComboBox *caja, QKeyEvent *key);

    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    db::DataSource &m_fuente;
};
