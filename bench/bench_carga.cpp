// Desks in processes of their own on one server database for a few minutes, each the data
// module working through a random mix of what a desk does: how many changes they saw
// confirmed, how many were refused, how many the database lost (none expected), and how long
// a save takes. bench_carga SERVIDOR CLAVE [PUESTOS [SEGUNDOS]]

#include "data/SqlScript.h"
#include "db/Errors.h"
#include "tests/carga/Carga.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 3) {
        std::fprintf(stderr, "uso: bench_carga SERVIDOR CLAVE [PUESTOS [SEGUNDOS]]\n");
        return 2;
    }
    // A fresh database the server's own user can open.
    QTemporaryDir carpeta;
    QFile::setPermissions(carpeta.path(), QFileDevice::Permissions(0x7777));
    const QString ruta = carpeta.filePath(QStringLiteral("carga.fdb"));
    carga::Carga c;
    c.conexion = a[1] + u':' + ruta;
    c.clave = a[2];
    c.puestos = a.size() > 3 ? a[3].toInt() : 10;
    c.segundos = a.size() > 4 ? a[4].toInt() : 180;
    c.instalaciones = 20;
    c.carpeta = carpeta.path();
    c.programaPuesto = QStringLiteral(CARGA_PUESTO);
    try {
        schema::createDatabase(ruta, QStringLiteral("SYSDBA"), c.clave, false);
        QFile::setPermissions(ruta, QFileDevice::Permissions(0x6666));
        std::printf("%d puestos, %d s ...\n", c.puestos, c.segundos);
        std::fflush(stdout);
        const carga::Resultado r = carga::ejecutar(c);
        std::printf("%s\n", qPrintable(carga::resumen(r)));
        std::printf("%-46s %10.3f ms\n", "guardar, percentil 95", r.percentil(95));
        for (const QString &p : r.perdidas.mid(0, 20))
            std::printf("  perdido: %s\n", qPrintable(p));
        for (const QString &f : r.fallosPuestos)
            std::printf("  %s\n", qPrintable(f));
        if (!r.validacion.isEmpty())
            std::printf("validación: %s\n", qPrintable(r.validacion));
        return r.perdidasTotales() == 0 && r.fallosPuestos.isEmpty() && r.validacion.isEmpty() ? 0
                                                                                               : 1;
    } catch (const db::DatabaseError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
