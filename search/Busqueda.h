#pragma once

#include <QString>

class QWidget;
class TDatos;

// The main window's search button SpeedButton2: pending edits saved and committed
// (GuardarPendientes); the dialog "Fbinstalacion" found among the application's windows, or
// created under `ventanaPrincipal`, which keeps it for the run; its list read again under its
// filter and placed on the main window's current installation; shown modally. On "&Aceptar"
// the chosen installation becomes DSinstalacion's current one, DSinstalacion read again when
// it does not hold it (another desk created it since); one deleted meanwhile is told in a
// message box and the main window stays where it was. On "&Cancelar" nothing changes.
// `directorio` is the configuration's Directory, where the listing's project lies. Raises what
// the record sets raise (a pending edit refused, a failed query).
void buscarInstalacion(TDatos &datos, QWidget *ventanaPrincipal, const QString &directorio);
