#pragma once

#include <memory>

class TDatos;
class TFinstalacion;

// Start-up and shutdown of the program, in their order: the main window first (it reads
// the configuration), then the data module, which connects through the login dialog and
// opens the newest installation; at the end the data module posts what is pending and
// commits, then the main window goes.
class Arranque {
public:
    Arranque();
    ~Arranque();

    // Returns false when the program must end (the connection failed; its message was shown).
    bool iniciar();
    // Runs the event loop until the main window closes, then shuts down.
    int ejecutar();
    void terminar();

    TFinstalacion *ventana() const { return m_ventana.get(); }
    TDatos *datos() const { return m_datos.get(); }

private:
    std::unique_ptr<TFinstalacion> m_ventana;
    std::unique_ptr<TDatos> m_datos;
};
