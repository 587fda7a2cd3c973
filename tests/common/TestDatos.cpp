#include "tests/common/TestDatos.h"

#include "data/UDatos.h"
#include "tests/common/TestDatabase.h"

void connectDataModule(TDatos &datos, const TestDatabase &tdb) {
    const QString password = tdb.password();
    datos.Conectar(tdb.connectionString(), tdb.user(), [password](QString &, QString &clave) {
        clave = password;
        return true;
    });
}
