#pragma once

#include "data/DatosView.h"
#include "data/UDatos.h"
#include "tests/common/TestDatabase.h"

#include <QTimer>
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

// A database seeded by a second attachment, the data module connected to it, and the main
// window's side. A watchdog rejects a modal window left waiting, so that a test that goes
// wrong fails instead of hanging.
struct Entorno {
    TestDatabase tdb;
    TDatos *datos = nullptr;
    std::unique_ptr<TDatos> propietario;
    std::unique_ptr<VentanaPrincipal> principal; // destroyed first, with the editors it keeps
    QTimer vigia;
    bool vencido = false;

    explicit Entorno(bool demo = false, const QStringList &semilla = {});
    ~Entorno();
    TDatos &d() { return *datos; }
    QVariant enBase(const QString &sql); // through a second attachment
    void ejecutar(const QString &sql);   // in the program's own transaction
};

// Runs f when the event loop next turns: for actions that open a modal window from inside a
// modal answer.
void luego(std::function<void()> f);

// Types text key by key into a widget, letters beyond ASCII included.
void teclear(QWidget *widget, const QString &texto);

// SQL rows for seeding.
QString instalador(int id, const QString &nombre, const QString &correo = QStringLiteral("a@b.es"));
QString gestor(int id, const QString &nombre);
QString instalacion(int id, const QString &expediente, const QString &enviado = QStringLiteral("N"),
                    int instaladorId = 0, int gestorId = 0);

inline const QString kBloqueo =
    QStringLiteral("No es posible modificar los registros de una instalacion enviada");
inline const QString kAplicacion = QStringLiteral("Trelmavondis");
