#pragma once

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
