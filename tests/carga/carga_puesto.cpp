// One desk of the load test: carga_puesto CONEXION NUMERO SEGUNDOS SEMILLA REGISTRO, with
// SYSDBA's password in TRELMA_CARGA_CLAVE.

#include "tests/carga/Carga.h"

#include "db/Errors.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 6) {
        std::fprintf(stderr, "uso: TRELMA_CARGA_CLAVE=clave carga_puesto CONEXION NUMERO "
                             "SEGUNDOS SEMILLA REGISTRO\n");
        return 2;
    }
    carga::Puesto p;
    p.conexion = a[1];
    p.clave = qEnvironmentVariable("TRELMA_CARGA_CLAVE");
    p.numero = a[2].toInt();
    p.segundos = a[3].toInt();
    p.semilla = a[4].toUInt();
    p.registro = a[5];
    try {
        return carga::trabajar(p);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "puesto %d: %s\n", p.numero, e.what());
        return 1;
    }
}
