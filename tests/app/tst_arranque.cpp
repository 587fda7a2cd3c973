// Start-up and shutdown of the program: configuration, login, connection failures, the
// newest installation, and closing with pending edits.

#include "app/Arranque.h"
#include "app/Uinstalaciones.h"
#include "data/UDatos.h"
#include "platform/dialogs/LoginDialog.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/TestDatabase.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString kCaption = QStringLiteral("Trelmavondis");

// As the box shows it: one line break for each line feed and carriage return of the message.
QString falloConexion(const QString &ruta) {
    return kCaption + u'|' +
           QStringLiteral("No se ha podido realizar la conexión con la\nbase de datos: ") + ruta +
           QStringLiteral(".\nCompruebe que la ruta, el usuario y la clave sean correctas");
}

// A configuration folder of its own, pointed at by XDG_CONFIG_DIRS.
class Configuracion {
public:
    explicit Configuracion(const QString *contenido) {
        if (contenido) {
            QDir(m_dir.path()).mkpath(QStringLiteral("Nirvelo"));
            QFile f(m_dir.filePath(QStringLiteral("Nirvelo/Trelmavondis.conf")));
            if (!f.open(QIODevice::WriteOnly))
                qFatal("no se puede escribir la configuración");
            f.write(contenido->toUtf8());
        }
        qputenv("XDG_CONFIG_DIRS", m_dir.path().toLocal8Bit());
    }

private:
    QTemporaryDir m_dir;
};

ModalAnswers::Answer login(const QString &clave, bool aceptar, QString *usuarioVisto = nullptr) {
    return [=](QWidget *w) {
        auto *d = qobject_cast<LoginDialog *>(w);
        QVERIFY(d);
        if (usuarioVisto)
            *usuarioVisto = d->userNameEdit()->text();
        d->passwordEdit()->setText(clave);
        (aceptar ? d->okButton() : d->cancelButton())->click();
    };
}

// The program started on a demo database, its main window on screen.
struct Programa {
    TestDatabase tdb{true};
    QString conf = QStringLiteral("[General]\nBasededatos=%1\nUsuario=%2\n")
                       .arg(tdb.connectionString(), tdb.user());
    Configuracion cfg{&conf};
    ModalAnswers modal;
    Arranque arranque;
    bool iniciar() {
        modal.push(login(tdb.password(), true));
        if (!arranque.iniciar())
            return false;
        arranque.ventana()->show();
        return true;
    }
};

} // namespace

class TstArranque : public QObject {
    Q_OBJECT
private slots:
    void startupPaths_data();
    void startupPaths();
    void closingSavesValidPendingEdit();
    void closingWithInvalidEditStaysOpen();
};

void TstArranque::startupPaths_data() {
    QTest::addColumn<QString>("situacion");
    QTest::newRow("missing configuration file") << "sinarchivo";
    QTest::newRow("empty Basededatos") << "vacia";
    QTest::newRow("value that is not text") << "notexto";
    QTest::newRow("cancelled login") << "cancelado";
    QTest::newRow("wrong database path") << "rutamala";
    QTest::newRow("good path") << "bien";
}

void TstArranque::startupPaths() {
    QFETCH(QString, situacion);
    TestDatabase tdb(true);
    const QString ruta =
        situacion == "rutamala" ? QDir::temp().filePath("no-existe/x.fdb") : tdb.connectionString();
    QString conf =
        QStringLiteral("[General]\nBasededatos=%1\nUsuario=%2\nImpresos=/tmp\nDirectory=/tmp\n")
            .arg(ruta, tdb.user());
    if (situacion == "vacia")
        conf = QStringLiteral("[General]\nBasededatos=\nUsuario=SYSDBA\n");
    if (situacion == "notexto")
        conf = QStringLiteral("[General]\nBasededatos=%1, %1\nUsuario=SYSDBA\n").arg(ruta);
    Configuracion cfg(situacion == "sinarchivo" ? nullptr : &conf);

    ModalAnswers modal;
    QStringList esperado;
    QString usuarioVisto;
    if (situacion == "vacia") {
        modal.push(ModalAnswers::ok());
        esperado << kCaption + "|No ha podido encontrar el registro de la base de datos.|error";
    }
    if (situacion == "notexto") {
        modal.push(ModalAnswers::ok());
        // No full stop after a closing quote mark.
        esperado << kCaption + "|Invalid data type for 'Basededatos'|error";
    }
    // Without a database name nothing asks for a login: the connection fails at once.
    const bool sinNombre =
        situacion == "sinarchivo" || situacion == "vacia" || situacion == "notexto";
    if (!sinNombre) {
        modal.push(login(tdb.password(), situacion != "cancelado", &usuarioVisto));
        esperado << "LoginDialog|Database Login";
    }
    const bool ok = situacion == "bien";
    if (!ok) {
        modal.push(ModalAnswers::ok());
        esperado << falloConexion(sinNombre ? QString() : ruta);
    }

    Arranque arranque;
    QCOMPARE(arranque.iniciar(), ok);
    QCOMPARE(modal.seen, esperado);
    QCOMPARE(modal.pending(), 0);
    if (situacion == "notexto") // the values after the faulty one stay empty
        QVERIFY(arranque.ventana()->configuracion().usuario().isEmpty());
    if (ok) {
        QCOMPARE(usuarioVisto, tdb.user());
        QVERIFY(arranque.datos()->IBTrans().active());
        auto a = tdb.attach();
        QCOMPARE(arranque.datos()->DSinstalacion()["ID"].value(),
                 a->scalar("select max(ID) from INSTALACION"));
    } else {
        QVERIFY(!arranque.datos());
    }
}

void TstArranque::closingSavesValidPendingEdit() {
    Programa p;
    QVERIFY(p.iniciar());
    Arranque &arranque = p.arranque;
    TestDatabase &tdb = p.tdb;
    db::RecordSet &r = arranque.datos()->DSinstalacion();
    r.edit();
    r["SOLICITANTE_NOMBRE"].setValue(QStringLiteral("NÚÑEZ"));
    QVERIFY(arranque.ventana()->close());
    arranque.terminar();
    auto a = tdb.attach();
    QCOMPARE(a->scalar("select SOLICITANTE_NOMBRE from INSTALACION where ID=(select max(ID) from "
                       "INSTALACION)")
                 .toString(),
             QStringLiteral("NÚÑEZ"));
}

void TstArranque::closingWithInvalidEditStaysOpen() {
    Programa p;
    QVERIFY(p.iniciar());
    Arranque &arranque = p.arranque;
    ModalAnswers &modal = p.modal;
    TestDatabase &tdb = p.tdb;
    db::RecordSet &r = arranque.datos()->DSinstalacion();
    r.insert();
    r["SOLICITANTE_NOMBRE"].setValue(QStringLiteral("SIN NÚMERO"));
    modal.push(ModalAnswers::ok());
    QVERIFY(!arranque.ventana()->close());
    QCOMPARE(modal.seen.last(), kCaption + "|El Expediente debe tener un valor.|error");
    QVERIFY(arranque.ventana()->isVisible());
    QCOMPARE(r.state(), db::State::Insert);
    QCOMPARE(r["SOLICITANTE_NOMBRE"].asString(), QStringLiteral("SIN NÚMERO"));
    // Corrected, closing goes on and saves it.
    r["EXPEDIENTE"].setValue(QStringLiteral("5000000000"));
    QVERIFY(arranque.ventana()->close());
    arranque.terminar();
    auto a = tdb.attach();
    QCOMPARE(a->scalar("select SOLICITANTE_NOMBRE from INSTALACION where EXPEDIENTE='5000000000'")
                 .toString(),
             QStringLiteral("SIN NÚMERO"));
}

QTEST_MAIN(TstArranque)
#include "tst_arranque.moc"
