#pragma once

// TFarmarios's components (Uarmarios.ui), by their names:
//   Panel1                 the strip: DBNavigator2 the cabinets, BitBtn1 close
//   DBLookupComboBox1      type (Ntipo)
//   DBEdit1..DBEdit3       columns, cells and circuits (N_COLUMNAS, N_CELDAS, N_CIRCUITO)
//   DBLookupComboBox2, 3   cabinet and branch layout (Ndiposicion, NdisposicionDI)
//   Label1..Label6         the captions before the fields

#include "editors/EditorFila.h"

#include <memory>

class TDatos;
namespace Ui {
class TFarmarios;
}

// The cabinet editor "Conjunto de Medida / Armarios": one row of DSarmarios through Sarmarios.
class TFarmarios : public EditorFila {
    Q_OBJECT
public:
    static constexpr const char *Instancia = "Farmarios";

    TFarmarios(TDatos &datos, QWidget *principal);
    ~TFarmarios() override;

private:
    std::unique_ptr<Ui::TFarmarios> ui;
};
