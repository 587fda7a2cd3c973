#pragma once

// TFerror's components (Uerror.ui), by their names:
//   Label1                 the heading; Label2 the caption "Detalle:"
//   error                  the error's message, read-only
//   BitBtn1                close

#include <QDialog>

#include <memory>

namespace Ui {
class TFerror;
}

// The error dialog of the bulletin run and of the mail window: the heading "No se ha podido
// ejecutar o enviar el informe" and, under "Detalle:", the error's message in a read-only box
// that scrolls. A new one for every error; it frees itself when it closes.
class TFerror : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *Instancia = "Ferror";

    TFerror(const QString &mensaje, QWidget *parent = nullptr);
    ~TFerror() override;

    // Creates one for `mensaje`, shows it modally and frees it when the user closes it.
    static void mostrar(QWidget *parent, const QString &mensaje);

private:
    std::unique_ptr<Ui::TFerror> ui;
};
