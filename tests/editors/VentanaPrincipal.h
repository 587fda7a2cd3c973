#pragma once

#include "data/DatosView.h"
#include "data/UDatos.h"
#include "tests/common/ModalWatchdog.h"
#include "tests/common/SeedRows.h"
#include "tests/common/TestDatabase.h"

#include <QWidget>

#include <memory>

// The main window's side, as far as the editors see it: it answers the data module's rules
// (the sent box, the after-insert rule opening the cabinet and branch editors) and owns the
// editors that are kept.
class VentanaPrincipal : public QWidget, public DatosView {
public:
    VentanaPrincipal();

    TDatos *datos = nullptr;

    bool enviado = false;      // the sent check box
    int aperturasArmarios = 0; // after-insert rule runs
    int aperturasDerivaciones = 0;

    bool enviadoMarcado() const override { return enviado; }
    void mostrarEnviado(bool e) override { enviado = e; }
    void enfocarExpediente() override {}
    void abrirEditorArmarios() override;
    void abrirEditorDerivaciones() override;
    void mensaje(const QString &texto) override;
    void error(const QString &texto) override;
};

// A database seeded by a second attachment, the data module connected to it, the main
// window's side, and a watchdog on the modal windows.
struct Entorno {
    TestDatabase tdb;
    TDatos *datos = nullptr;
    std::unique_ptr<TDatos> propietario;
    std::unique_ptr<VentanaPrincipal> principal; // destroyed first, with the editors it keeps
    ModalWatchdog vigia;

    explicit Entorno(bool demo = false, const QStringList &semilla = {});
    ~Entorno();
    TDatos &d() { return *datos; }
    QVariant enBase(const QString &sql); // through a second attachment
    void ejecutar(const QString &sql);   // in the program's own transaction
};

// Runs f when the event loop next turns: for actions that open a modal window from inside a
// modal answer.
void luego(std::function<void()> f);

// A window's control by its name; a missing one stops the run.
template <class T = QWidget> T *hijo(QWidget *w, const QString &nombre) {
    T *c = w->findChild<T *>(nombre);
    if (!c)
        qFatal("no hay control %s", qPrintable(nombre));
    return c;
}

// Types text key by key into a widget, letters beyond ASCII included.
void teclear(QWidget *widget, const QString &texto);

inline const QString kBloqueo =
    QStringLiteral("No es posible modificar los registros de una instalacion enviada");
inline const QString kAplicacion = QStringLiteral("Trelmavondis");
