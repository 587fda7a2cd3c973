#pragma once

// TFgestor's components (Ugestor.ui), by their names:
//   DBNavigator1, DBGrid1  the managers
//   BitBtn1, BitBtn2       "&Aceptar" and "&Cancelar"

#include "editors/EditorSeleccion.h"

#include "db/DataSource.h"

#include <memory>

class TDatos;
namespace Ui {
class TFgestor;
}

// The manager editor "Gestores de Rostelvia": the distribution company's managers, edited in
// DSgestores through the window's own link Sgestor; the row current when "&Aceptar" closes
// it is the one chosen.
class TFgestor : public EditorSeleccion {
    Q_OBJECT
public:
    static constexpr const char *Instancia = "Fgestor";

    TFgestor(TDatos &datos, QWidget *principal);
    ~TFgestor() override;

    db::DataSource Sgestor;

private:
    std::unique_ptr<Ui::TFgestor> ui;
};
