#pragma once

// TFderivaciones's components (Uderivaciones.ui), by their names:
//   Panel1                 the strip: DBNavigator2 the branches, BitBtn1 close
//   DBEdit1..DBEdit5       stair, floor, door, column and cell (ESCALERA, PLANTA, PUERTA,
//                          N_COLUMNA, N_CELDA)
//   DBLookupComboBox1      supply type (Ntiposuministro)
//   DBEdit6..DBEdit8       phase, neutral and earth sections (SECCION_FUERZA, SECCION_NEUTRO,
//                          SECCION_TIERRA)
//   DBMemo1                observations (OBSERVACIONES)
//   Label1..Label10        the captions before the fields

#include "editors/EditorFila.h"

#include <memory>

class TDatos;
namespace Ui {
class TFderivaciones;
}

// The branch editor "Derivaciones individuales": one row of DSderivaciones through
// Sderivaciones.
class TFderivaciones : public EditorFila {
    Q_OBJECT
public:
    static constexpr const char *Instancia = "Fderivaciones";
    static constexpr int LongitudObservaciones = 150;

    TFderivaciones(TDatos &datos, QWidget *principal);
    ~TFderivaciones() override;

    // Each character typed into the observations becomes its upper-case form under the
    // system locale (ñ gives Ñ); pasted text keeps its case.
    static void DBMemo1KeyPress(QChar *key);

private:
    std::unique_ptr<Ui::TFderivaciones> ui;
};
