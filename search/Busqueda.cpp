#include "search/Busqueda.h"

#include "data/UDatos.h"
#include "platform/dialogs/MessageBoxes.h"
#include "platform/dialogs/Windows.h"
#include "search/Ubinstalacion.h"

namespace {

// The main window on the installation chosen in the dialog. DSinstalacion holds the rows read
// when it last opened, and the dialog's list is newer: an installation another desk created
// since then is found once the list has been read again. One deleted meanwhile is told, and
// the main window stays on the installation it showed.
void mostrarElegida(TDatos &datos, int id, const QString &expediente, QWidget *ventanaPrincipal) {
    db::RecordSet &instalacion = datos.DSinstalacion();
    const QString campo = QStringLiteral("ID");
    if (id == 0 || instalacion.locate(campo, id))
        return;
    const QVariant anterior = instalacion.isEmpty() ? QVariant() : instalacion.field(campo).value();
    instalacion.close();
    instalacion.open();
    if (instalacion.locate(campo, id))
        return;
    if (!anterior.isNull())
        instalacion.locate(campo, anterior);
    showMessage(ventanaPrincipal,
                QStringLiteral("La instalación del expediente %1 ya no existe: se ha eliminado "
                               "desde otro puesto.")
                    .arg(expediente));
}

} // namespace

void buscarInstalacion(TDatos &datos, QWidget *ventanaPrincipal, const QString &directorio) {
    datos.GuardarPendientes();
    TFbinstalacion *dialogo = findWindow<TFbinstalacion>(QLatin1String(TFbinstalacion::Instancia));
    if (!dialogo)
        dialogo = new TFbinstalacion(datos, ventanaPrincipal);
    dialogo->setDirectorio(directorio);
    dialogo->Refrescar();
    const db::RecordSet &instalacion = datos.DSinstalacion();
    dialogo->Posicionar(
        instalacion.isEmpty() ? 0 : instalacion.field(QStringLiteral("ID")).asInteger());
    if (dialogo->exec() == QDialog::Accepted && !dialogo->Qinst.isEmpty())
        mostrarElegida(datos, dialogo->IdSeleccionado(),
                       dialogo->Qinst.field(QStringLiteral("EXPEDIENTE")).asString(),
                       ventanaPrincipal);
}
