#pragma once

#include <QDialog>

class QFileSystemModel;
class QPushButton;
class QTreeView;

// The browse dialog of the attach button: the file system as a tree from its top, folders and
// files, titled "Examinar" and centred on the screen, opening on the user's home folder. Only
// an item that exists can be confirmed; the answer is its full path.
class StBrowser : public QDialog {
    Q_OBJECT
public:
    explicit StBrowser(QWidget *parent = nullptr);

    // Shows the dialog modally; true when the user confirmed an item, whose path ruta() gives.
    bool ejecutar();
    const QString &ruta() const { return m_ruta; }

    // Makes the item at this path the chosen one, as a click on it in the tree does.
    void elegir(const QString &ruta);
    QTreeView *arbol() const { return m_arbol; }
    QPushButton *botonAceptar() const { return m_aceptar; }

    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString elegida() const;
    void actualizarBoton();
    void mostrarElegida();

    QFileSystemModel *m_modelo;
    QTreeView *m_arbol;
    QPushButton *m_aceptar;
    QString m_ruta;
    QString m_buscada; // the item chosen by elegir(), followed while its folders are read
};
