// The Firebird server stopped and started again under a running program: the user is told
// once, in Spanish and naming the server, the pending edit stays, and once the server is
// back the same edit is saved on a new attachment, on the same installation.

#include "app/Aplicacion.h"
#include "app/Uinstalaciones.h"
#include "data/UDatos.h"
#include "db/RecordSet.h"
#include "platform/controls/DBEdit.h"
#include "platform/controls/DBNavigator.h"
#include "tests/app/Arranque.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/TestDatabase.h"
#include "tests/common/WindowWait.h"

#include <QProcess>
#include <QToolButton>
#include <QtTest>

using platform::DBNavigator;

namespace {

// Stops or starts the server with the script the test run names.
bool servidor(const char *orden) {
    const QString script = qEnvironmentVariable("TRELMA_TEST_SERVIDOR_CONTROL");
    return QProcess::execute(script, {QString::fromLatin1(orden)}) == 0;
}

// Starts the server again whatever the test's outcome: the tests after this one need it.
struct ServidorDeVuelta {
    ~ServidorDeVuelta() { servidor("arrancar"); }
};

// The program on the demo data, reached through the server.
struct Programa {
    TestDatabase tdb{true};
    TFinstalacion ventana;
    TDatos datos{&ventana};
};

QToolButton *boton(TFinstalacion &ventana, DBNavigator::Button b) {
    return ventana.findChild<DBNavigator *>(QStringLiteral("DBNavigator1"))->button(b);
}

// Types a new applicant name in its box, as the user would.
void escribirNombre(TFinstalacion &ventana, const QString &texto) {
    auto *nombre = ventana.findChild<platform::DBEdit *>(QStringLiteral("DBEdit13"));
    nombre->setFocus();
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), nombre, kWindowWait);
    QTest::keyClick(nombre, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(nombre, texto);
}

// What the applicant's box shows (with the focus in it, the mask's unfilled positions).
QString textoDelNombre(TFinstalacion &ventana) {
    return ventana.findChild<platform::DBEdit *>(QStringLiteral("DBEdit13"))->text();
}

QString nombreGuardado(const TestDatabase &tdb, int id) {
    return tdb.attach()
        ->scalar(QStringLiteral("select SOLICITANTE_NOMBRE from INSTALACION where ID = %1").arg(id))
        .toString();
}

} // namespace

class TstReconexion : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (qEnvironmentVariableIsEmpty("TRELMA_TEST_SERVER") ||
            qEnvironmentVariableIsEmpty("TRELMA_TEST_SERVIDOR_CONTROL"))
            QSKIP("Sin servidor Firebird que la prueba pueda parar y arrancar");
    }

    // A list read in part when the server went: while it is down every use says so; once it is
    // back the list reads again from the row it was on and goes on to the rows it never read.
    void listReadsOnAfterRestart() {
        TestDatabase tdb;
        db::Database database;
        db::Transaction transaction{database};
        tdb.open(database);
        transaction.start();
        // More rows than the client library reads ahead, so that moving far needs the server.
        constexpr int kFilas = 20000;
        db::RecordSet lista(transaction, QStringLiteral("lista"));
        lista.selectSql = QStringList{
            QStringLiteral("select first %1 row_number() over () as ID from RDB$RELATION_FIELDS "
                           "a cross join RDB$RELATION_FIELDS b")
                .arg(kFilas)};
        lista.open();
        lista.moveBy(9);
        QCOMPARE(lista["ID"].asInteger(), 10);
        ServidorDeVuelta deVuelta;

        QVERIFY(servidor("parar"));
        for (int intento = 0; intento < 2; ++intento) {
            const QString error = errorOf([&] { lista.moveBy(5000); });
            QVERIFY2(error.startsWith(QStringLiteral("Se ha perdido la conexión con el servidor de "
                                                     "base de datos \"localhost\".\n")),
                     qPrintable(error));
        }
        QVERIFY(database.lost());

        QVERIFY(servidor("arrancar"));
        QCOMPARE(errorOf([&] { lista.moveBy(5000); }), QString());
        QVERIFY(!database.lost());
        QCOMPARE(lista["ID"].asInteger(), 5010);
        lista.last();
        QCOMPARE(lista.recordCount(), kFilas);
        QCOMPARE(lista["ID"].asInteger(), kFilas);
    }

    // Saving while the server is down: one message naming the server, the edit kept; once the
    // server is back, saving again stores it, and the window goes on on the same installation.
    void pendingEditSavedAfterRestart() {
        Programa p;
        QVERIFY(arrancar(p.tdb, p.ventana, p.datos));
        auto &[tdb, ventana, datos] = p;
        ServidorDeVuelta deVuelta;
        const int id = datos.DSinstalacion()["ID"].asInteger();
        const int armarios = datos.DSarmarios().recordCount();
        escribirNombre(ventana, QStringLiteral("REINTENTO"));

        QVERIFY(servidor("parar"));
        ModalAnswers r;
        r.push(ModalAnswers::ok());
        QTest::mouseClick(boton(ventana, DBNavigator::Post), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(r.seen.size(), 1, kWindowWait);
        QVERIFY2(r.seen[0].contains(QStringLiteral(
                     "Se ha perdido la conexión con el servidor de base de datos \"localhost\"")),
                 qPrintable(r.seen[0]));
        QVERIFY(datos.DSinstalacion().editing());
        QCOMPARE(textoDelNombre(ventana), QStringLiteral("REINTENTO").leftJustified(50, u'_'));

        QVERIFY(servidor("arrancar"));
        QTest::mouseClick(boton(ventana, DBNavigator::Post), Qt::LeftButton);
        // Saved; a box the save left to the event loop would come up here and be counted.
        QTRY_VERIFY_WITH_TIMEOUT(!datos.DSinstalacion().editing(), kWindowWait);
        QCoreApplication::processEvents();
        QCOMPARE(r.seen.size(), 1); // no box this time
        QCOMPARE(nombreGuardado(tdb, id), QStringLiteral("REINTENTO"));

        // The lists were read again on the new attachment: moving away and back shows the
        // same installation with its cabinets.
        QTest::mouseClick(boton(ventana, DBNavigator::Prior), Qt::LeftButton);
        QTest::mouseClick(boton(ventana, DBNavigator::Next), Qt::LeftButton);
        QCOMPARE(r.seen.size(), 1);
        QCOMPARE(datos.DSinstalacion()["ID"].asInteger(), id);
        QCOMPARE(datos.DSarmarios().recordCount(), armarios);
        QCOMPARE(datos.DSinstalacion().recordCount(),
                 tdb.attach()->scalar(QStringLiteral("select count(*) from INSTALACION")).toInt());
    }

    // Closing while the server is down: the failed save is shown once; closing again asks
    // whether to close without saving instead of repeating the error.
    void closingWithServerDown_data() {
        QTest::addColumn<bool>("descartar");
        QTest::newRow("se queda y guarda después") << false;
        QTest::newRow("cierra sin guardar") << true;
    }
    void closingWithServerDown() {
        QFETCH(bool, descartar);
        Programa p;
        QVERIFY(arrancar(p.tdb, p.ventana, p.datos));
        auto &[tdb, ventana, datos] = p;
        ServidorDeVuelta deVuelta;
        const int id = datos.DSinstalacion()["ID"].asInteger();
        const QString antes = nombreGuardado(tdb, id);
        escribirNombre(ventana, QStringLiteral("AL CERRAR"));

        QVERIFY(servidor("parar"));
        ModalAnswers r;
        r.push(ModalAnswers::ok());
        QVERIFY(!ventana.close());
        QTRY_COMPARE_WITH_TIMEOUT(r.seen.size(), 1, kWindowWait);
        QVERIFY2(r.seen[0].contains(QStringLiteral("\"localhost\"")), qPrintable(r.seen[0]));

        r.push(ModalAnswers::press(descartar ? QStringLiteral("Sí") : QStringLiteral("No")));
        QCOMPARE(ventana.close(), descartar);
        QCOMPARE(r.seen.size(), 2);
        QVERIFY2(r.seen[1].startsWith(QStringLiteral("Confirmación|Se ha perdido la conexión con "
                                                     "el servidor de base de datos \"localhost\"")),
                 qPrintable(r.seen[1]));
        QVERIFY2(r.seen[1].contains(QStringLiteral("¿Desea cerrar el programa sin guardarlos?")),
                 qPrintable(r.seen[1]));

        QVERIFY(servidor("arrancar"));
        if (descartar) {
            QVERIFY(!datos.DSinstalacion().editing());
            datos.Cerrar();
            QCOMPARE(r.seen.size(), 2); // shutting down says nothing more
            QCOMPARE(nombreGuardado(tdb, id), antes);
        } else {
            QCOMPARE(textoDelNombre(ventana), QStringLiteral("AL CERRAR").leftJustified(50, u'_'));
            QVERIFY(ventana.close());
            QCOMPARE(r.seen.size(), 2);
            QCOMPARE(nombreGuardado(tdb, id), QStringLiteral("AL CERRAR"));
        }
    }
};

int main(int argc, char **argv) {
    Aplicacion app(argc, argv);
    TstReconexion t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_reconexion.moc"
