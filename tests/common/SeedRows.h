#pragma once

#include <QString>

// SQL rows for seeding a test database.
QString instalador(int id, const QString &nombre, const QString &correo = QStringLiteral("a@b.es"));
QString gestor(int id, const QString &nombre);
QString instalacion(int id, const QString &expediente, const QString &enviado = QStringLiteral("N"),
                    int instaladorId = 0, int gestorId = 0);

// The rows under installation `instalacionId`: a cabinet in column `columna`, a branch, an
// attachment of the file `direccion`.
QString armario(int id, int instalacionId, int columna);
QString derivacion(int id, int instalacionId);
QString adjunto(int id, int instalacionId, const QString &direccion);
