#pragma once

// TFconfirmacion's components (Uconfirmacion.ui), by their names:
//   Label1, DBText1        the question and the expedient (EXPEDIENTE)
//   Label2, DBText2        "al gestor:" and the manager (Ngestor)
//   BitBtn1, BitBtn2       "&Si" and "&No"

#include <QDialog>

#include <memory>

class TDatos;
namespace Ui {
class TFconfirmacion;
}

// The send confirmation "Confirmación": the current installation's expedient and manager,
// bound to the current record of DSinstalacion, and the buttons "&Si" (focused when it opens)
// and "&No". Closing the window answers no. Found by its name "Fconfirmacion", created on
// first use under the main window and kept.
class TFconfirmacion : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *Instancia = "Fconfirmacion";

    TFconfirmacion(TDatos &datos, QWidget *principal);
    ~TFconfirmacion() override;

    // The kept dialog of `datos`, or a new one under `principal`.
    static TFconfirmacion &guardada(TDatos &datos, QWidget *principal);
    // Shows it modally; true on "&Si".
    bool preguntar();

    const TDatos &datos() const { return m_datos; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    TDatos &m_datos;
    std::unique_ptr<Ui::TFconfirmacion> ui;
};
