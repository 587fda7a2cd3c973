#pragma once

#include "data/UDatos.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/ModalWatchdog.h"
#include "tests/common/SmtpPeer.h"
#include "tests/common/TestDatabase.h"
#include "tests/common/VentanaFalsa.h"

#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

// For Entorno's first argument: the demo database rather than the empty one.
inline constexpr bool kDemo = true;

// The environment of a test of the program's parts: a fresh database (the empty one, or the
// demo's five installations) with the rows of `semilla` added through a second attachment,
// the data module connected to it as start-up connects it, the main window's fake, the
// answers to the modal windows, and a watchdog on them; made with a Correo, the tests' SMTP
// peer too. On the empty database the generators then restart at 1000, clear of the seeded
// keys; the demo's are left as they are.
struct Entorno {
    // Set once by a suite, for the environments it makes after: whether the main window shows
    // the data module's boxes (else it only writes them down), and what is done to every new
    // environment before the module connects (the editors' suite opens the real editors from
    // the after-insert rule).
    static inline bool cajas = true;
    static inline std::function<void(Entorno &)> preparar;

    // The SMTP peer's mode, and for "tls" a certificate and key of the test's own (see SmtpPeer).
    struct Correo {
        explicit Correo(const QString &modo, const QString &certificado = {},
                        const QString &clave = {})
            : modo(modo), certificado(certificado), clave(clave) {}
        QString modo, certificado, clave;
    };

    std::unique_ptr<SmtpPeer> correo; // made with a Correo, else null
    TestDatabase tdb;
    ModalAnswers respuestas;
    std::unique_ptr<TDatos> datos;
    std::unique_ptr<VentanaFalsa> principal; // destroyed first, with the windows it keeps
    ModalWatchdog vigia;

    explicit Entorno(bool demo = false, const QStringList &semilla = {});
    // The peer is started first; the installers present before `semilla` send through it.
    explicit Entorno(const Correo &servidor, bool demo = false, const QStringList &semilla = {});
    ~Entorno();
    Entorno(const Entorno &) = delete;
    Entorno &operator=(const Entorno &) = delete;

    TDatos &d() { return *datos; }
    // The first column of a singleton select, through a second attachment.
    QVariant visto(const QString &sql);
    // The first column of every row of a select, through a second attachment.
    QStringList columna(const QString &sql);
    // Runs a statement in the program's own transaction.
    void ejecutar(const QString &sql);
    // The ID of the main window's current installation; 0 with none.
    int actual() const;

private:
    void conectar(bool demo, const QStringList &semilla);
};
