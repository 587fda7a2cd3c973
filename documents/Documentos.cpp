#include "documents/Documentos.h"

#include "data/UDatos.h"
#include "documents/Boletin.h"

#include <QScopeGuard>

namespace {

void ejecutarInforme(TDatos &datos, QWidget *ventanaPrincipal, const QString &directorio,
                     const QString &impresos, const QString &modo) {
    datos.GuardarPendientes();
    Boletin &boletin = Boletin::guardado(datos, ventanaPrincipal);
    boletin.setCarpetas(directorio, impresos);
    datos.setInforme(&boletin);
    const auto fin = qScopeGuard([&datos] { datos.setInforme(nullptr); });
    datos.EjecutarInforme(modo);
}

} // namespace

void imprimirBoletin(TDatos &datos, QWidget *ventanaPrincipal, const QString &directorio,
                     const QString &impresos) {
    ejecutarInforme(datos, ventanaPrincipal, directorio, impresos, QStringLiteral("impreso"));
}

void enviarPorCorreo(TDatos &datos, QWidget *ventanaPrincipal, const QString &directorio,
                     const QString &impresos) {
    ejecutarInforme(datos, ventanaPrincipal, directorio, impresos, QStringLiteral("email"));
}
