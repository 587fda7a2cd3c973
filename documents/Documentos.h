#pragma once

#include <QString>

class QWidget;
class TDatos;

// The main window's print button Imprimir: every pending edit saved and committed
// (GuardarPendientes), then the bulletin of the current installation through the report
// engine's setup dialog (TDatos::EjecutarInforme "impreso").
// `directorio` and `impresos` are the configuration's Directory and Impresos. Raises what
// GuardarPendientes raises (the bulletin then does not run) and a project that cannot be
// loaded or lacks the bulletin; every later failure is shown in the error dialog.
void imprimirBoletin(TDatos &datos, QWidget *ventanaPrincipal, const QString &directorio,
                     const QString &impresos);

// The e-mail button email: the same, then the send of the current installation (TDatos::
// EjecutarInforme "email"): confirmation, FECHA, the bulletin PDF in `impresos`, the mail.
void enviarPorCorreo(TDatos &datos, QWidget *ventanaPrincipal, const QString &directorio,
                     const QString &impresos);
