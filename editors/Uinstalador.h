#pragma once

#include "editors/EditorSeleccion.h"

#include "db/DataSource.h"

#include <memory>

class TDatos;
namespace Ui {
class TFinstalador;
}

// The installer editor "Instalador Autorizado": the installers with their fiscal address and
// mail settings, edited in DSinstalador through the window's own link Sinstalador; the row
// current when "&Aceptar" closes it is the one chosen.
class TFinstalador : public EditorSeleccion {
    Q_OBJECT
public:
    static constexpr const char *Instancia = "Finstalador";

    TFinstalador(TDatos &datos, QWidget *principal);
    ~TFinstalador() override;

    db::DataSource Sinstalador;

private:
    std::unique_ptr<Ui::TFinstalador> ui;
};
