// The data module's rules against a real database, with the main window's fake (the
// environment's Entorno; its rows are seeded by a second attachment before the module connects).

#include "data/UDatos.h"
#include "tests/common/Entorno.h"
#include "tests/common/SeedRows.h"

#include <QtTest>

using db::DatabaseError;
using db::State;

namespace {

const QString kBloqueo = "No es posible modificar los registros de una instalacion enviada";

QString installation(int id, const QString &exp, const QString &enviado = "N",
                     const QString &extra = {}, const QString &values = {}) {
    return QStringLiteral(
               "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO%4) values (%1, '%2', '%3'%5)")
        .arg(id)
        .arg(exp, enviado, extra, values);
}

} // namespace

class TstDatos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        Entorno::cajas = false; // the module's messages are read from the main window's fake
    }
    void startupOpensNewestInstallation();
    void startupOnEmptyDatabase();
    void connectionFailureMessage();
    void checkDigit_data();
    void checkDigit();
    void newRecordDefaults_data();
    void newRecordDefaults();
    void emptyExpedientIsRefused();
    void duplicateExpedient();
    void otherPostErrorsAreReworded();
    void sentLock();
    void sentStateMarkedPastTheLock();
    void attachAndDeleteAll();
    void childInsertRules_data();
    void childInsertRules();
    void childInsertPostsPendingInstallation();
    void cabinetCircuits_data();
    void cabinetCircuits();
    void cabinetColumnNumbers();
    void branchTextEntry_data();
    void branchTextEntry();
    void installerRules_data();
    void installerRules();
    void locationCascade();
    void afterScrollShowsEachDossiersLocation();
    void commitPointsAreDurable();
    void twoDesks();
    void guardarPendientesStopsBeforeCommit();
    void shutdownPostsPendingEditsInOrder();
    void copyInstallation();
    void versionQuery();
};

void TstDatos::startupOpensNewestInstallation() {
    Entorno f(true);
    TDatos &d = f.d();
    QVERIFY(d.IBTrans().active());
    QCOMPARE(d.DSinstalacion().state(), State::Browse);
    QCOMPARE(d.DSinstalacion()["ID"].asInteger(), f.visto("select max(ID) from INSTALACION").toInt());
    QVERIFY(d.DSarmarios().active() && d.DSderivaciones().active() && d.DSadjuntos().active());
    QVERIFY(d.Qprovincias().allFetched());
    QVERIFY(d.DSinstalacion()["Nprovincia"].asString().size() > 0);
    QVERIFY(d.DSinstalacion()["Nmunicipio"].asString().size() > 0);
    QCOMPARE(d.IBDB().params, (QStringList{"lc_ctype=WIN1252", "user_name=" + f.tdb.user()}));
}

void TstDatos::startupOnEmptyDatabase() {
    Entorno f;
    TDatos &d = f.d();
    QVERIFY(d.DSinstalacion().isEmpty());
    // After-scroll ran for the move to the last record even with no record.
    QCOMPARE(f.principal->tomar("enviado:"), QStringList{"N"});
    QVERIFY(d.Qmunicipios().isEmpty());
}

void TstDatos::connectionFailureMessage() {
    QCOMPARE(
        TDatos::MensajeFalloConexion("C:\\datos\\x.fdb"),
        QStringLiteral(
            "No se ha podido realizar la conexión con la\n\rbase de datos: C:\\datos\\x.fdb.\n\r"
            "Compruebe que la ruta, el usuario y la clave sean correctas"));
    TDatos d;
    try {
        d.Conectar(QDir::temp().filePath("no-existe/x.fdb"), "SYSDBA",
                   [](QString &, QString &) { return true; });
        QFAIL("connected to nothing");
    } catch (const DatabaseError &) {
    }
    QVERIFY(!d.IBTrans().active());
    QVERIFY(!d.DSinstalacion().active());
    try {
        d.Conectar("x.fdb", "SYSDBA", [](QString &, QString &) { return false; });
        QFAIL("connected without login");
    } catch (const DatabaseError &e) {
        QCOMPARE(e.message(), QStringLiteral("Operación cancelada a petición del usuario"));
    }
}

void TstDatos::checkDigit_data() {
    QTest::addColumn<QString>("expediente");
    QTest::addColumn<bool>("valido");
    QTest::newRow("1 then zeros then 2") << "1000000002" << true;
    QTest::newRow("5 then nine zeros (R=10)") << "5000000000" << true;
    QTest::newRow("5 then zeros then 1") << "5000000001" << false;
    QTest::newRow("ten zeros") << "0000000000" << true;
    QTest::newRow("demo number") << "2500123450" << true;
    QTest::newRow("last digit off") << "2500123451" << false;
    QTest::newRow("nine digits") << "100000000" << false;
    QTest::newRow("letters") << "10000000A2" << false;
}

void TstDatos::checkDigit() {
    QFETCH(QString, expediente);
    QFETCH(bool, valido);
    QCOMPARE(TDatos::ExpedienteValido(expediente), valido);
    Entorno f;
    TDatos &d = f.d();
    d.DSinstalacion().insert();
    const QString msg = errorOf([&] { d.DSinstalacion()["EXPEDIENTE"].setValue(expediente); });
    QCOMPARE(msg, valido ? QString() : QStringLiteral("El número de expediente no es válido"));
    QCOMPARE(d.DSinstalacion()["EXPEDIENTE"].isNull(), !valido);
}

void TstDatos::newRecordDefaults_data() {
    QTest::addColumn<QStringList>("seed");
    QTest::addColumn<QVariant>("instalador");
    QTest::addColumn<QVariant>("gestor");
    const QString g1 = "insert into GESTORES (ID, NOMBRE) values (7, 'UNO')";
    const QString g2 = "insert into GESTORES (ID, NOMBRE) values (8, 'DOS')";
    QTest::newRow("one installer, one manager")
        << QStringList{instalador(3, "A"), g1,
                       installation(1, "1000000002", "N", ", INSTALADOR", ", 3")}
        << QVariant(3) << QVariant(7);
    QTest::newRow("two installers: the one of the current dossier")
        << QStringList{instalador(3, "A"), instalador(4, "B"), g1, g2,
                       installation(1, "1000000002", "N", ", INSTALADOR", ", 4")}
        << QVariant(4) << QVariant();
    QTest::newRow("two installers, current dossier has none")
        << QStringList{instalador(3, "A"), instalador(4, "B"), installation(1, "1000000002")}
        << QVariant() << QVariant();
    QTest::newRow("two installers, empty table")
        << QStringList{instalador(3, "A"), instalador(4, "B")} << QVariant() << QVariant();
}

void TstDatos::newRecordDefaults() {
    QFETCH(QStringList, seed);
    QFETCH(QVariant, instalador);
    QFETCH(QVariant, gestor);
    Entorno f(false, seed);
    TDatos &d = f.d();
    f.principal->registro.clear();
    d.DSinstalacion().insert();
    db::RecordSet &r = d.DSinstalacion();
    QCOMPARE(r["INSTALADOR"].value(), instalador);
    QCOMPARE(r["GESTOR"].value(), gestor);
    QCOMPARE(r["FECHA"].value().toDateTime(), QDateTime(QDate::currentDate(), QTime(0, 0)));
    QCOMPARE(r["ENVIADO"].asString(), QStringLiteral("N"));
    QCOMPARE(r["LINEAGENERAL_NORDEN"].asString(), QStringLiteral("1"));
    QCOMPARE(r["LINEAGENERAL_MATERIAL"].asString(), QStringLiteral("Cobre"));
    QVERIFY(!r.modified());
    QVERIFY(f.principal->registro.contains("foco:DBEdit2"));
    // Defaults alone are discarded when the user moves away.
    const int before = r.recordCount();
    r.first();
    QCOMPARE(r.recordCount(), before - 1);
}

void TstDatos::emptyExpedientIsRefused() {
    Entorno f;
    TDatos &d = f.d();
    d.DSinstalacion().insert();
    d.DSinstalacion()["POTENCIA"].setValue(10.0);
    QCOMPARE(errorOf([&] { d.DSinstalacion().post(); }),
             QStringLiteral("El Expediente debe tener un valor"));
    QCOMPARE(d.DSinstalacion().state(), State::Insert);
}

void TstDatos::duplicateExpedient() {
    Entorno f(false, {installation(1, "1000000002")});
    TDatos &d = f.d();
    db::RecordSet &r = d.DSinstalacion();
    r.insert();
    r["EXPEDIENTE"].setValue("1000000002");
    f.principal->registro.clear();
    QVERIFY_THROWS_EXCEPTION(db::Abort, r.post());
    QCOMPARE(f.principal->tomar("mensaje:"),
             QStringList{"ERROR: El número de expediente está duplicado"});
    QCOMPARE(r.state(), State::Insert);
    QCOMPARE(r["EXPEDIENTE"].asString(), QStringLiteral("1000000002"));
    r["EXPEDIENTE"].setValue("5000000000");
    r.post();
    QCOMPARE(f.visto("select count(*) from INSTALACION where EXPEDIENTE='5000000000'").toInt(), 1);
}

void TstDatos::otherPostErrorsAreReworded() {
    Entorno f(false, {installation(1, "1000000002")});
    TDatos &d = f.d();
    d.DSinstalacion().edit();
    d.DSinstalacion()["ENVIADO"].clear();
    f.principal->registro.clear();
    QVERIFY_THROWS_EXCEPTION(db::Abort, d.DSinstalacion().post());
    QCOMPARE(f.principal->tomar("mensaje:"),
             QStringList{"ERROR: Es necesario que el campo 'ENVIADO' contenga algún valor"});
}

void TstDatos::sentLock() {
    Entorno f(false, {installation(1, "1000000002", "S"), armario(1, 1, 1), derivacion(1, 1),
                      adjunto(1, 1, "/a")});
    TDatos &d = f.d();
    QVERIFY(f.principal->enviado);
    for (db::RecordSet *s : {&d.DSinstalacion(), &d.DSarmarios(), &d.DSderivaciones(), &d.DSadjuntos()}) {
        QCOMPARE(errorOf([&] { s->edit(); }), kBloqueo);
        QCOMPARE(s->state(), State::Browse);
    }
    for (db::RecordSet *s : {&d.DSarmarios(), &d.DSderivaciones(), &d.DSadjuntos()})
        QCOMPARE(errorOf([&] { s->insert(); }), kBloqueo);
    // Deleting is not locked.
    for (db::RecordSet *s : {&d.DSarmarios(), &d.DSderivaciones(), &d.DSadjuntos(), &d.DSinstalacion()})
        s->remove();
    d.GuardarPendientes();
    QCOMPARE(f.visto("select (select count(*) from INSTALACION) + (select count(*) from "
                     "INSTALACION_ARMARIO) + "
                     "(select count(*) from INSTALACION_DERIVACIONES) + (select count(*) from "
                     "INSTALACION_ADJUNTOS) from RDB$DATABASE")
                 .toInt(),
             0);
}

// Marking sent or not sent passes the sent lock for that one post, and the lock is back
// afterwards, also when the post fails.
void TstDatos::sentStateMarkedPastTheLock() {
    Entorno f(false, {installation(1, "1000000002", "S")});
    TDatos &d = f.d();
    d.MarcarEnviado(false);
    QCOMPARE(d.DSinstalacion().state(), State::Browse);
    QCOMPARE(f.visto("select ENVIADO from INSTALACION where ID=1").toString(), QStringLiteral("N"));
    d.MarcarEnviado(true);
    QCOMPARE(f.visto("select ENVIADO from INSTALACION where ID=1").toString(), QStringLiteral("S"));
    QCOMPARE(errorOf([&] { d.DSinstalacion().edit(); }), kBloqueo);

    // A new installation without its number cannot be posted: the lock is back all the same.
    d.DSinstalacion().insert();
    QCOMPARE(errorOf([&] { d.MarcarEnviado(true); }),
             QStringLiteral("El Expediente debe tener un valor"));
    QCOMPARE(d.DSinstalacion().state(), State::Insert);
    d.DSinstalacion().cancel();
    QCOMPARE(errorOf([&] { d.DSinstalacion().edit(); }), kBloqueo);
}

// Attaching stores the path; a path longer than the column is refused, nothing stored;
// deleting all leaves none, and the next commit keeps that.
void TstDatos::attachAndDeleteAll() {
    Entorno f(false, {installation(1, "1000000002")});
    TDatos &d = f.d();
    d.Adjuntar(QStringLiteral("/home/oficina/planos/alzado.pdf"));
    d.Adjuntar(QStringLiteral("C:\\planos\\planta.pdf"));
    QCOMPARE(f.visto("select count(*) from INSTALACION_ADJUNTOS where INSTALACION=1").toInt(), 2);
    const QString larga = QStringLiteral("/") + QString(250, u'a');
    QCOMPARE(errorOf([&] { d.Adjuntar(larga); }),
             QStringLiteral("No se puede adjuntar un archivo cuya ruta tenga más de 250 "
                            "caracteres; la de este archivo tiene 251"));
    QCOMPARE(d.DSadjuntos().state(), State::Browse);
    QCOMPARE(d.DSadjuntos().recordCount(), 2);
    d.BorrarAdjuntos();
    QVERIFY(d.DSadjuntos().isEmpty());
    d.GuardarPendientes();
    QCOMPARE(f.visto("select count(*) from INSTALACION_ADJUNTOS").toInt(), 0);
}

void TstDatos::childInsertRules_data() {
    QTest::addColumn<bool>("conInstalacion");
    QTest::addColumn<bool>("casillaMarcada");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("no installation")
        << false << false << "Es necesario generar primero una instalación";
    QTest::newRow("sent box ticked") << true << true << kBloqueo;
    QTest::newRow("allowed") << true << false << QString();
}

void TstDatos::childInsertRules() {
    QFETCH(bool, conInstalacion);
    QFETCH(bool, casillaMarcada);
    QFETCH(QString, mensaje);
    Entorno f(false, conInstalacion ? QStringList{installation(1, "1000000002")} : QStringList{});
    TDatos &d = f.d();
    f.principal->enviado = casillaMarcada;
    struct Caso {
        db::RecordSet *set;
        QString editor;
    };
    for (const Caso &c :
         {Caso{&d.DSarmarios(), "Farmarios"}, Caso{&d.DSderivaciones(), "Fderivaciones"},
          Caso{&d.DSadjuntos(), QString()}}) {
        f.principal->registro.clear();
        QCOMPARE(errorOf([&] { c.set->insert(); }), mensaje);
        if (mensaje.isEmpty()) {
            QCOMPARE(c.set->state(), State::Insert);
            QCOMPARE(c.set->field("INSTALACION").value(), QVariant(1));
            QCOMPARE(f.principal->tomar("editor:"),
                     c.editor.isEmpty() ? QStringList{} : QStringList{c.editor});
            c.set->cancel();
        } else {
            QCOMPARE(c.set->state(), State::Browse);
        }
    }
}

void TstDatos::childInsertPostsPendingInstallation() {
    Entorno f;
    TDatos &d = f.d();
    d.DSinstalacion().insert();
    d.DSinstalacion()["POTENCIA"].setValue(5.0);
    // Without an expedient number the installation cannot be posted: no child either.
    QCOMPARE(errorOf([&] { d.DSarmarios().insert(); }),
             QStringLiteral("El Expediente debe tener un valor"));
    QCOMPARE(d.DSinstalacion().state(), State::Insert);
    QCOMPARE(d.DSarmarios().state(), State::Browse);
    d.DSinstalacion()["EXPEDIENTE"].setValue("1000000002");
    d.DSarmarios().insert();
    QCOMPARE(d.DSinstalacion().state(), State::Browse);
    QCOMPARE(d.DSarmarios()["INSTALACION"].value(), d.DSinstalacion()["ID"].value());
    QCOMPARE(f.visto("select count(*) from INSTALACION").toInt(), 1);
}

void TstDatos::cabinetCircuits_data() {
    QTest::addColumn<QVariant>("celdas");
    QTest::addColumn<QVariant>("circuitos");
    QTest::addColumn<bool>("refused");
    QTest::newRow("below") << QVariant(4) << QVariant(3) << false;
    QTest::newRow("equal") << QVariant(4) << QVariant(4) << false;
    QTest::newRow("above") << QVariant(4) << QVariant(5) << true;
    QTest::newRow("no cells") << QVariant() << QVariant(5) << false;
    QTest::newRow("no circuits") << QVariant(4) << QVariant() << false;
}

void TstDatos::cabinetCircuits() {
    QFETCH(QVariant, celdas);
    QFETCH(QVariant, circuitos);
    QFETCH(bool, refused);
    Entorno f(false, {installation(1, "1000000002")});
    TDatos &d = f.d();
    d.DSarmarios().insert();
    d.DSarmarios()["N_CELDAS"].setValue(celdas);
    QCOMPARE(errorOf([&] { d.DSarmarios()["N_CIRCUITO"].setValue(circuitos); }),
             refused ? QStringLiteral("El número de circuitos no puede superar el de celdas")
                     : QString());
    // The value stays in the buffer either way.
    QCOMPARE(d.DSarmarios()["N_CIRCUITO"].value(), circuitos);
}

void TstDatos::cabinetColumnNumbers() {
    Entorno f(false,
              {installation(1, "1000000002"), installation(2, "5000000000"), armario(1, 1, 2)});
    TDatos &d = f.d();
    d.DSinstalacion().first();
    db::RecordSet &a = d.DSarmarios();
    // Re-posting the stored cabinet with its own number passes.
    a.edit();
    a["N_CELDAS"].setValue(6);
    a.post();
    // A second cabinet with the same column in the same installation is refused.
    a.insert();
    a["N_COLUMNAS"].setValue(2);
    QCOMPARE(errorOf([&] { a.post(); }),
             QStringLiteral("Este número de columna ya existe en esta instalación"));
    QCOMPARE(a.state(), State::Insert);
    QVERIFY(!d.Qarmcol().active());
    a["N_COLUMNAS"].setValue(3);
    a.post();
    // Cabinets without a column number pass, however many.
    for (int i = 0; i < 2; ++i) {
        a.insert();
        a["N_CELDAS"].setValue(1);
        a.post();
    }
    // The same number in another installation is accepted.
    d.DSinstalacion().last();
    a.insert();
    a["N_COLUMNAS"].setValue(2);
    a.post();
    QCOMPARE(f.visto("select count(*) from INSTALACION_ARMARIO").toInt(), 5);
}

void TstDatos::branchTextEntry_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QVariant>("valor");
    QTest::addColumn<QString>("error");
    const QString invalido = "Valor inválido para el campo '%1'";
    QTest::newRow("lower a") << "ESCALERA"
                             << "a" << QVariant("A") << QString();
    QTest::newRow("ñ stays") << "PLANTA"
                             << "ñb" << QVariant("ñB") << QString();
    QTest::newRow("accent stays") << "PUERTA"
                                  << "é" << QVariant("é") << QString();
    QTest::newRow("empty text is null") << "N_CELDA"
                                        << "" << QVariant() << QString();
    QTest::newRow("observations") << "OBSERVACIONES"
                                  << "portal 2, utm x" << QVariant("PORTAL 2, UTM X") << QString();
    QTest::newRow("section comma") << "SECCION_FUERZA"
                                   << "2,5" << QVariant(2.5) << QString();
    QTest::newRow("section point") << "SECCION_NEUTRO"
                                   << "1.5" << QVariant(1.5) << QString();
    QTest::newRow("section text") << "SECCION_TIERRA"
                                  << "abc" << QVariant(9.0) << invalido.arg("SECCION_TIERRA");
    QTest::newRow("section emptied") << "SECCION_FUERZA"
                                     << "" << QVariant(9.0) << invalido.arg("SECCION_FUERZA");
}

void TstDatos::branchTextEntry() {
    QFETCH(QString, campo);
    QFETCH(QString, texto);
    QFETCH(QVariant, valor);
    QFETCH(QString, error);
    Entorno f(false, {installation(1, "1000000002")});
    db::RecordSet &b = f.d().DSderivaciones();
    b.insert();
    if (b[campo].type() == db::FieldType::Float)
        b[campo].setValue(9.0);
    QCOMPARE(errorOf([&] { b[campo].setText(texto); }), error);
    QCOMPARE(b[campo].value(), valor);
}

void TstDatos::installerRules_data() {
    QTest::addColumn<QString>("correo");
    QTest::addColumn<QString>("servidor");
    QTest::addColumn<QString>("autentificacion");
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("clave");
    QTest::addColumn<QString>("mensaje");
    const QString m1 = "Es necesario indicar una dirección de correo electrónico";
    const QString m2 = "Es necesario indicar el servidor de correo SMTP";
    const QString m3 =
        "Sí el servidor SMTP requiere autentificación es necesario introducir el usuario y la "
        "contraseña";
    QTest::newRow("no mail, no server") << ""
                                        << ""
                                        << ""
                                        << ""
                                        << "" << m1;
    QTest::newRow("no server") << "a@b.es"
                               << ""
                               << ""
                               << ""
                               << "" << m2;
    QTest::newRow("no authentication") << "a@b.es"
                                       << "smtp"
                                       << ""
                                       << ""
                                       << "" << QString();
    QTest::newRow("N") << "a@b.es"
                       << "smtp"
                       << "N"
                       << ""
                       << "" << QString();
    QTest::newRow("S without password") << "a@b.es"
                                        << "smtp"
                                        << "S"
                                        << "yo"
                                        << "" << m3;
    QTest::newRow("S without user") << "a@b.es"
                                    << "smtp"
                                    << "S"
                                    << ""
                                    << "x" << m3;
    QTest::newRow("S complete") << "a@b.es"
                                << "smtp"
                                << "S"
                                << "yo"
                                << "x" << QString();
}

void TstDatos::installerRules() {
    QFETCH(QString, correo);
    QFETCH(QString, servidor);
    QFETCH(QString, autentificacion);
    QFETCH(QString, usuario);
    QFETCH(QString, clave);
    QFETCH(QString, mensaje);
    Entorno f;
    db::RecordSet &i = f.d().DSinstalador();
    i.insert();
    i["NOMBRE"].setValue("INSTALACIONES");
    i["CORREO"].setAsString(correo);
    i["SMTP_SERVIDOR"].setAsString(servidor);
    i["SMTP_AUTENTIFICACION"].setAsString(autentificacion);
    i["SMTP_USUARIO"].setAsString(usuario);
    i["SMTP_CLAVE"].setAsString(clave);
    QCOMPARE(errorOf([&] { i.post(); }), mensaje);
    QCOMPARE(i.state(), mensaje.isEmpty() ? State::Browse : State::Insert);
    QCOMPARE(f.visto("select count(*) from INSTALADOR").toInt(), mensaje.isEmpty() ? 1 : 0);
}

void TstDatos::locationCascade() {
    Entorno f(true);
    TDatos &d = f.d();
    db::RecordSet &r = d.DSinstalacion();
    auto codes = [](db::RecordSet &q) {
        q.fetchAll();
        QStringList c;
        for (int i = 0; i < q.recordCount(); ++i)
            c << q.valueAt(i, q["CODIGO_ENTIDAD_POBLACION"]).toString();
        return c;
    };
    r.edit();
    r["LOCALIZA_CODIGO_PROVINCIA"].setValue("28");
    QVERIFY(r["LOCALIZA_CODIGO_MUNICIPIO"].isNull());
    QVERIFY(r["LOCALIZA_COD_ENTIDAD_POBLAC"].isNull());
    const QStringList municipios = codes(d.Qmunicipios());
    QVERIFY(!municipios.isEmpty());
    for (const QString &c : municipios)
        QVERIFY(c.endsWith("0000"));
    QCOMPARE(int(municipios.size()),
             f.visto("select count(*) from VORTAN_ENTIDAD_POBLACION where "
                     "CODIGO_PROVINCIA='28' and CODIGO_ENTIDAD_POBLACION like '%0000'")
                 .toInt());
    // Until a municipality is chosen, the entity list holds every entity of the province.
    QCOMPARE(
        int(codes(d.Qentidadespoblacion()).size()),
        f.visto("select count(*) from VORTAN_ENTIDAD_POBLACION where CODIGO_PROVINCIA='28' and "
                "CODIGO_ENTIDAD_POBLACION not like '%0000'")
            .toInt());
    // Choosing a municipality narrows the entities to its first three characters.
    const QString muni = municipios.first();
    r["LOCALIZA_CODIGO_MUNICIPIO"].setValue(muni);
    QCOMPARE(r["Nmunicipio"].asString(),
             f.visto("select NOMBRE_ENTIDAD_POBLACION from VORTAN_ENTIDAD_POBLACION where "
                     "CODIGO_PROVINCIA='28' "
                     "and CODIGO_ENTIDAD_POBLACION='" +
                     muni + "'")
                 .toString());
    const QStringList entidades = codes(d.Qentidadespoblacion());
    for (const QString &c : entidades) {
        QVERIFY(c.startsWith(muni.left(3)));
        QVERIFY(c != muni);
    }
    if (!entidades.isEmpty()) {
        r["LOCALIZA_COD_ENTIDAD_POBLAC"].setValue(entidades.first());
        QVERIFY(!r["Nentidadpoblacion"].asString().isEmpty());
    }
    // The same province stored again still empties both.
    r["LOCALIZA_CODIGO_PROVINCIA"].setValue("28");
    QVERIFY(r["LOCALIZA_CODIGO_MUNICIPIO"].isNull());
    QVERIFY(r["LOCALIZA_COD_ENTIDAD_POBLAC"].isNull());
    // An empty province leaves both lists without rows.
    r["LOCALIZA_CODIGO_PROVINCIA"].clear();
    QVERIFY(codes(d.Qmunicipios()).isEmpty());
    QVERIFY(codes(d.Qentidadespoblacion()).isEmpty());
}

void TstDatos::afterScrollShowsEachDossiersLocation() {
    Entorno f(true);
    TDatos &d = f.d();
    db::RecordSet &r = d.DSinstalacion();
    r.first();
    QSet<QString> provincias;
    f.principal->registro.clear();
    int n = 0;
    while (true) {
        ++n;
        if (!r["LOCALIZA_CODIGO_MUNICIPIO"].isNull())
            QVERIFY2(!r["Nmunicipio"].asString().isEmpty(), qPrintable(r["EXPEDIENTE"].asString()));
        if (!r["LOCALIZA_COD_ENTIDAD_POBLAC"].isNull())
            QVERIFY(!r["Nentidadpoblacion"].asString().isEmpty());
        provincias << r["LOCALIZA_CODIGO_PROVINCIA"].asString();
        // The sent box follows the current dossier.
        QCOMPARE(f.principal->enviado, r["ENVIADO"].asString() == "S");
        if (r.recNo() + 1 >= r.recordCount() && r.allFetched())
            break;
        r.next();
    }
    QVERIFY(provincias.size() > 1);
    QVERIFY(f.principal->tomar("enviado:").size() >= n - 1);
}

void TstDatos::commitPointsAreDurable() {
    Entorno f(true);
    TDatos &d = f.d();
    struct Caso {
        db::RecordSet *set;
        QString table;
        std::function<void(db::RecordSet &)> fill;
    };
    d.DSinstalacion().last();
    const QList<Caso> casos{
        {&d.DSinstalacion(), "INSTALACION",
         [](db::RecordSet &s) { s["EXPEDIENTE"].setValue("5000000000"); }},
        {&d.DSarmarios(), "INSTALACION_ARMARIO",
         [](db::RecordSet &s) { s["N_COLUMNAS"].setValue(99); }},
        {&d.DSderivaciones(), "INSTALACION_DERIVACIONES",
         [](db::RecordSet &s) { s["ESCALERA"].setText("z"); }},
        {&d.DSadjuntos(), "INSTALACION_ADJUNTOS",
         [](db::RecordSet &s) { s["DIRECCION"].setValue("/tmp/a"); }},
        {&d.DSinstalador(), "INSTALADOR",
         [](db::RecordSet &s) {
             s["CORREO"].setValue("x@y.es");
             s["SMTP_SERVIDOR"].setValue("smtp");
         }},
        {&d.DSgestores(), "GESTORES", [](db::RecordSet &s) { s["NOMBRE"].setValue("NUEVO"); }},
    };
    for (const Caso &c : casos) {
        const int before = f.visto("select count(*) from " + c.table).toInt();
        c.set->insert();
        c.fill(*c.set);
        c.set->post();
        QCOMPARE(f.visto("select count(*) from " + c.table).toInt(), before + 1);
    }
    // A confirmed deletion is kept at once, in every set.
    for (const Caso &c : casos) {
        const int before = f.visto("select count(*) from " + c.table).toInt();
        c.set->last();
        c.set->remove();
        QCOMPARE(f.visto("select count(*) from " + c.table).toInt(), before - 1);
    }
}

// Two desks on one database: each sees what the other saved when it reads again, a save of a
// row the other desk holds fails after a short wait with a message and keeps the edit, and a
// deletion shows at once.
void TstDatos::twoDesks() {
    Entorno f(true);
    TDatos &a = f.d();
    VentanaFalsa vistaB;
    TDatos b(&vistaB);
    b.Conectar(f.tdb.connectionString(), f.tdb.user(), [&](QString &, QString &clave) {
        clave = f.tdb.password();
        return true;
    });
    const int id = a.DSinstalacion()["ID"].asInteger();
    QCOMPARE(b.DSinstalacion()["ID"].asInteger(), id);

    // A saves; B refreshes and sees it.
    a.DSinstalacion().edit();
    a.DSinstalacion()["SOLICITANTE_NOMBRE"].setValue("DESDE A");
    a.DSinstalacion().post();
    b.DSinstalacion().refresh();
    QCOMPARE(b.DSinstalacion()["SOLICITANTE_NOMBRE"].asString(), QStringLiteral("DESDE A"));

    // A third desk holds the row with an update it has not committed yet.
    auto otra = f.tdb.attach();
    otra->exec(QStringLiteral("update INSTALACION set POTENCIA = 1 where ID = %1").arg(id));
    b.DSinstalacion().edit();
    b.DSinstalacion()["SOLICITANTE_NOMBRE"].setValue("DESDE B");
    QElapsedTimer espera;
    espera.start();
    QVERIFY_THROWS_EXCEPTION(db::Abort, b.DSinstalacion().post());
    QVERIFY(espera.elapsed() < 30000);
    QCOMPARE(vistaB.tomar("mensaje:"),
             QStringList{"Otro puesto está modificando esta instalación: guarde de nuevo dentro "
                         "de unos segundos o cancele los cambios."});
    QCOMPARE(b.DSinstalacion().state(), State::Edit);
    QCOMPARE(b.DSinstalacion()["SOLICITANTE_NOMBRE"].asString(), QStringLiteral("DESDE B"));
    otra->transaction->commit();
    b.DSinstalacion().post(); // once the other desk is done, the same edit saves
    QCOMPARE(
        f.visto(QStringLiteral("select SOLICITANTE_NOMBRE from INSTALACION where ID=%1").arg(id))
            .toString(),
        QStringLiteral("DESDE B"));

    // A deletes an installation (2, not sent) while B edits it: B's save is refused with the
    // other desk's deletion named, bare, and the edit stays on screen.
    QVERIFY(a.DSinstalacion().locate(QStringLiteral("ID"), 2));
    const int borrada = a.DSinstalacion()["ID"].asInteger();
    QVERIFY(b.DSinstalacion().locate(QStringLiteral("ID"), borrada));
    b.DSinstalacion().edit();
    b.DSinstalacion()["SOLICITANTE_NOMBRE"].setValue("SOBRE LA BORRADA");
    for (db::RecordSet *s : {&a.DSarmarios(), &a.DSderivaciones(), &a.DSadjuntos()})
        while (!s->isEmpty())
            s->remove();
    a.DSinstalacion().remove();
    QVERIFY_THROWS_EXCEPTION(db::Abort, b.DSinstalacion().post());
    const QStringList aviso = vistaB.tomar("mensaje:");
    QCOMPARE(aviso.size(), 1);
    QVERIFY2(aviso.first().startsWith(QStringLiteral("Otro puesto ha borrado este registro")),
             qPrintable(aviso.first()));
    QCOMPARE(b.DSinstalacion().state(), State::Edit);
    QCOMPARE(b.DSinstalacion()["SOLICITANTE_NOMBRE"].asString(), QStringLiteral("SOBRE LA BORRADA"));
    b.DSinstalacion().cancel();
    b.DSinstalacion().close();
    b.DSinstalacion().open();
    QVERIFY(!b.DSinstalacion().locate(QStringLiteral("ID"), borrada));
    b.Cerrar();
}

void TstDatos::guardarPendientesStopsBeforeCommit() {
    Entorno f(false, {installation(1, "1000000002"), armario(1, 1, 1), armario(2, 1, 2)});
    TDatos &d = f.d();
    d.DSinstalacion().edit();
    d.DSinstalacion()["POTENCIA"].setValue(33.0);
    d.DSarmarios().last(); // moving a child does not settle the master
    d.DSarmarios().edit();
    d.DSarmarios()["N_COLUMNAS"].setValue(1); // taken by the other cabinet
    QCOMPARE(errorOf([&] { d.GuardarPendientes(); }),
             QStringLiteral("Este número de columna ya existe en esta instalación"));
    QCOMPARE(d.DSinstalacion().state(), State::Edit);
    QVERIFY(f.visto("select POTENCIA from INSTALACION").isNull());
    d.DSarmarios()["N_COLUMNAS"].setValue(3);
    d.GuardarPendientes();
    QCOMPARE(f.visto("select POTENCIA from INSTALACION").toDouble(), 33.0);
    QCOMPARE(f.visto("select N_COLUMNAS from INSTALACION_ARMARIO where ID=2").toInt(), 3);
}

void TstDatos::shutdownPostsPendingEditsInOrder() {
    {
        // A valid pending edit is saved and committed.
        Entorno f(false, {installation(1, "1000000002")});
        f.d().DSinstalacion().edit();
        f.d().DSinstalacion()["SOLICITANTE_NOMBRE"].setValue("PEÑA");
        f.datos.reset();
        QCOMPARE(f.visto("select SOLICITANTE_NOMBRE from INSTALACION").toString(),
                 QStringLiteral("PEÑA"));
    }
    {
        // A failing cabinet post comes first and drops the other pending edits.
        Entorno f(false, {installation(1, "1000000002"), armario(1, 1, 1), armario(2, 1, 2)});
        TDatos &d = f.d();
        d.DSinstalacion().edit();
        d.DSinstalacion()["SOLICITANTE_NOMBRE"].setValue("PERDIDO");
        d.DSarmarios().last();
        d.DSarmarios().edit();
        d.DSarmarios()["N_COLUMNAS"].setValue(1);
        f.principal->registro.clear();
        QVERIFY_THROWS_EXCEPTION(DatabaseError, d.PostearPendientes());
        d.Cerrar();
        QCOMPARE(f.principal->tomar("error:"),
                 QStringList{"Este número de columna ya existe en esta instalación"});
        QVERIFY(f.visto("select SOLICITANTE_NOMBRE from INSTALACION").isNull());
        QVERIFY(!d.IBDB().connected());
    }
}

// The copy becomes the current installation, with its children, unsent; with nothing to
// copy it raises and the list stays as it was.
void TstDatos::copyInstallation() {
    {
        Entorno f(true);
        TDatos &d = f.d();
        d.DSinstalacion().first();
        const int vieja = d.DSinstalacion()["ID"].asInteger();
        const int armarios = d.DSarmarios().recordCount();
        const int nueva = d.CopiarInstalacion();
        QVERIFY(nueva != vieja);
        QCOMPARE(d.DSinstalacion()["ID"].asInteger(), nueva);
        QCOMPARE(d.DSinstalacion()["EXPEDIENTE"].asString(), QStringLiteral("COPIA-%1").arg(nueva));
        QCOMPARE(d.DSinstalacion()["ENVIADO"].asString(), QStringLiteral("N"));
        QCOMPARE(d.DSarmarios().recordCount(), armarios);
    }
    {
        Entorno f;
        QVERIFY(!errorOf([&] { f.d().CopiarInstalacion(); }).isEmpty());
        QVERIFY(f.d().DSinstalacion().isEmpty());
    }
}

void TstDatos::versionQuery() {
    Entorno f;
    f.d().Qver().open();
    QCOMPARE(f.d().Qver()["VERSION"].value(), f.visto("select VERSION from PARAMETROS where ID=1"));
    QVERIFY(!f.d().Qver()["REVISION"].isNull());
}

QTEST_MAIN(TstDatos)
#include "tst_datos.moc"
