// Four desks, each the data module in a process of its own, on one server database for about
// a minute: every change a desk saw confirmed must be in the database afterwards (the last
// confirmed value of each column), no save on a row already deleted may have been reported
// as done, and the server's validation must find nothing.

#include "tests/carga/Carga.h"
#include "tests/common/TestDatabase.h"

#include "db/Errors.h"

#include <QTemporaryDir>
#include <QtTest>

class TstCarga : public QObject {
    Q_OBJECT
private slots:
    void cuatroPuestosSinPerdidas();
};

void TstCarga::cuatroPuestosSinPerdidas() {
    TestDatabase tdb;
    if (!tdb.viaServer())
        QSKIP("Varios puestos necesitan el servidor Firebird (TRELMA_TEST_SERVER)");
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    carga::Carga c;
    c.conexion = tdb.connectionString();
    c.clave = tdb.password();
    c.puestos = 4;
    c.segundos = qEnvironmentVariableIntValue("TRELMA_CARGA_SEGUNDOS");
    if (c.segundos <= 0)
        c.segundos = 60;
    c.carpeta = carpeta.path();
    c.programaPuesto = QStringLiteral(CARGA_PUESTO);

    carga::Resultado r;
    try {
        r = carga::ejecutar(c);
    } catch (const db::DatabaseError &e) {
        QFAIL(qPrintable(e.message()));
    }
    qInfo().noquote() << carga::resumen(r);
    for (const QString &m : r.mensajesRechazo)
        qInfo().noquote() << "rechazo:" << m;

    QVERIFY2(r.fallosPuestos.isEmpty(), qPrintable(r.fallosPuestos.join(u'\n')));
    // The desks did work worth checking.
    QVERIFY2(r.guardados >= 50 * c.puestos, qPrintable(carga::resumen(r)));
    QVERIFY2(r.perdidasTotales() == 0,
             qPrintable(carga::resumen(r) + u'\n' + r.perdidas.mid(0, 20).join(u'\n')));
    QVERIFY2(r.validacion.isEmpty(), qPrintable(r.validacion));
}

QTEST_GUILESS_MAIN(TstCarga)
#include "tst_carga.moc"
