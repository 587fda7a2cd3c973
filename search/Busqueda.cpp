#include "search/Busqueda.h"

#include "data/UDatos.h"
#include "search/Ubinstalacion.h"

#include <QApplication>

namespace {

TFbinstalacion *dialogoGuardado() {
    const QWidgetList ventanas = QApplication::topLevelWidgets();
    for (QWidget *w : ventanas)
        if (w->objectName() == QLatin1String(TFbinstalacion::Instancia))
            if (auto *d = qobject_cast<TFbinstalacion *>(w))
                return d;
    return nullptr;
}

} // namespace

void buscarInstalacion(TDatos &datos, QWidget *ventanaPrincipal, const QString &directorio) {
    datos.GuardarPendientes();
    TFbinstalacion *dialogo = dialogoGuardado();
    if (!dialogo)
        dialogo = new TFbinstalacion(datos, ventanaPrincipal);
    dialogo->setDirectorio(directorio);
    dialogo->Refrescar();
    const db::RecordSet &instalacion = datos.DSinstalacion;
    dialogo->Posicionar(
        instalacion.isEmpty() ? 0 : instalacion.field(QStringLiteral("ID")).asInteger());
    if (dialogo->exec() == QDialog::Accepted)
        datos.DSinstalacion.locate(QStringLiteral("ID"), dialogo->IdSeleccionado());
}
