#pragma once

#include <QString>

// What the data module's rules need from the main window. The main window implements it;
// the data tests give a fake.
class DatosView {
public:
    virtual ~DatosView() = default;
    // Is the sent check box (CBenviado) ticked?
    virtual bool enviadoMarcado() const = 0;
    // Shows the sent state of the installation that became current.
    virtual void mostrarEnviado(bool enviado) = 0;
    // Puts the focus in the expedient box (DBEdit2).
    virtual void enfocarExpediente() = 0;
    // Opens the cabinet or branch editor on the new row unless it is already on screen.
    virtual void abrirEditorArmarios() = 0;
    virtual void abrirEditorDerivaciones() = 0;
    // A plain message box (caption "Trelmavondis", no icon).
    virtual void mensaje(const QString &texto) = 0;
    // An error box (caption "Trelmavondis", error icon, full stop appended).
    virtual void error(const QString &texto) = 0;
};
