#pragma once

#include "data/DatosView.h"
#include "data/UDatos.h"
#include "tests/common/ModalWatchdog.h"
#include "tests/common/TestDatabase.h"

#include <QApplication>
#include <QWidget>

#include <memory>

// The main window as the search sees it: it owns the kept dialog and answers the data
// module's rules with the standard boxes.
class VentanaPrincipal : public QWidget, public DatosView {
public:
    VentanaPrincipal();
    bool enviadoMarcado() const override { return false; }
    void mostrarEnviado(bool) override {}
    void enfocarExpediente() override {}
    void abrirEditorArmarios() override {}
    void abrirEditorDerivaciones() override {}
    void mensaje(const QString &texto) override;
    void error(const QString &texto) override;
};

// The demo database (five installations) with the rows of `semilla` added through a second
// attachment, the data module connected to it on its newest installation, the main window's
// side, and a watchdog on the modal windows.
struct Entorno {
    TestDatabase tdb{true};
    std::unique_ptr<VentanaPrincipal> principal; // destroyed first, with the dialog it keeps
    std::unique_ptr<TDatos> datos;
    ModalWatchdog vigia;

    explicit Entorno(const QStringList &semilla = {});
    ~Entorno();
    TDatos &d() { return *datos; }
    // The ID of the main window's current installation.
    int actual() const;
    // The first column of every row of a select, through a second attachment.
    QStringList columna(const QString &sql);
};
