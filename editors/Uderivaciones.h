#pragma once

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
