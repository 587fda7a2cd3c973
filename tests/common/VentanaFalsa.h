#pragma once

#include "data/DatosView.h"

#include <QList>
#include <QStringList>
#include <QWidget>

#include <functional>

// The main window as the data module's rules see it, for the tests: a plain widget named as
// the program's (Finstalacion), with the sent check box as a flag. Everything the module tells
// it is written down in `registro`, in order:
//   "enviado:S" / "enviado:N"   the sent state shown
//   "foco:DBEdit2"              the focus put in the expedient box
//   "editor:Farmarios" / "editor:Fderivaciones"  the after-insert rule asking for an editor
//   "mensaje:<text>" / "error:<text>"            the boxes asked for
// With `cajas` the boxes are also shown over it, as the program shows them; the editors are
// opened by whatever the test puts in alAbrirArmarios / alAbrirDerivaciones.
class VentanaFalsa : public QWidget, public DatosView {
public:
    VentanaFalsa();

    bool enviado = false; // the sent check box
    bool cajas = false;
    QStringList registro;
    int aperturasArmarios = 0; // after-insert rule runs
    int aperturasDerivaciones = 0;
    std::function<void()> alAbrirArmarios, alAbrirDerivaciones;

    // The entries that start with `prefijo`, without it; the whole record is then forgotten.
    QStringList tomar(const QString &prefijo);
    // The boxes asked for ("mensaje:..." and "error:..." entries), in order.
    QStringList avisos() const;
    // The sent states shown, in order.
    QList<bool> enviados() const;

    bool enviadoMarcado() const override { return enviado; }
    void mostrarEnviado(bool e) override;
    void enfocarExpediente() override;
    void abrirEditorArmarios() override;
    void abrirEditorDerivaciones() override;
    void mensaje(const QString &texto) override;
    void error(const QString &texto) override;
};
