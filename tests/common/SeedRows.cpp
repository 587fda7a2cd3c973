#include "tests/common/SeedRows.h"

QString instalador(int id, const QString &nombre, const QString &correo) {
    return QStringLiteral("insert into INSTALADOR (ID, NOMBRE, CORREO, SMTP_SERVIDOR) values (%1, "
                          "'%2', '%3', 'smtp')")
        .arg(id)
        .arg(nombre, correo);
}

QString gestor(int id, const QString &nombre) {
    return QStringLiteral("insert into GESTORES (ID, NOMBRE, EMAIL) values (%1, '%2', 'g@r.es')")
        .arg(id)
        .arg(nombre);
}

QString instalacion(int id, const QString &expediente, const QString &enviado, int instaladorId,
                    int gestorId) {
    return QStringLiteral("insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, INSTALADOR, GESTOR) "
                          "values (%1, '%2', '%3', %4, %5)")
        .arg(id)
        .arg(expediente, enviado)
        .arg(instaladorId ? QString::number(instaladorId) : QStringLiteral("null"))
        .arg(gestorId ? QString::number(gestorId) : QStringLiteral("null"));
}

QString armario(int id, int instalacionId, int columna) {
    return QStringLiteral(
               "insert into INSTALACION_ARMARIO (ID, INSTALACION, N_COLUMNAS) values (%1, %2, %3)")
        .arg(id)
        .arg(instalacionId)
        .arg(columna);
}

QString derivacion(int id, int instalacionId) {
    return QStringLiteral("insert into INSTALACION_DERIVACIONES (ID, INSTALACION) values (%1, %2)")
        .arg(id)
        .arg(instalacionId);
}

QString adjunto(int id, int instalacionId, const QString &direccion) {
    return QStringLiteral("insert into INSTALACION_ADJUNTOS (ID, INSTALACION, DIRECCION) values "
                          "(%1, %2, '%3')")
        .arg(id)
        .arg(instalacionId)
        .arg(direccion);
}
