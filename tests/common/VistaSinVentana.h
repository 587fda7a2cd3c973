#pragma once

#include "data/DatosView.h"

#include <QString>
#include <QStringList>

#include <cstdio>

// The main window as the data module's rules see it, with no window at all: for processes
// without widgets (the load test's desks, the benchmarks). The sent check box is never ticked,
// the focus and the editors go nowhere, and the boxes asked for are remembered: every text in
// `mensajes`, in order, the last one in `ultimo`. With `eco` each text is also written to
// stderr, one a line, as it comes.
class VistaSinVentana : public DatosView {
public:
    bool eco = false;
    QStringList mensajes; // plain and error boxes alike
    QString ultimo;

    bool enviadoMarcado() const override { return false; }
    void mostrarEnviado(bool) override {}
    void enfocarExpediente() override {}
    void abrirEditorArmarios() override {}
    void abrirEditorDerivaciones() override {}
    void mensaje(const QString &texto) override { recordar(texto); }
    void error(const QString &texto) override { recordar(texto); }

private:
    void recordar(const QString &texto) {
        mensajes << texto;
        ultimo = texto;
        if (eco)
            std::fprintf(stderr, "%s\n", qPrintable(texto));
    }
};
