// The Firebird client wrapper and the schema: connection, transaction, statements,
// generators, the copy procedure, server errors and WIN1252 text.

#include "data/SqlScript.h"
#include "db/Connection.h"
#include "db/RecordSet.h"
#include "db/Statement.h"
#include "db/StoredProcedure.h"
#include "db/Win1252.h"
#include "tests/common/TestDatabase.h"

#include <QtTest>

using namespace db;

class TstClient : public QObject {
    Q_OBJECT
private slots:
    void parameters_data();
    void parameters();
    void scriptSplitting();
    void win1252RoundTrip_data();
    void win1252RoundTrip();
    void characterOutsideCodePageIsRefused();
    void connectionUsesGivenParameters();
    void wrongPathFails();
    void cancelledLoginFails();
    void duplicateExpedientNamesInteg39();
    void integ39IsOnlyTheExpedientConstraint();
    void generatorsDrawFromTheirOwnSequences();
    void copyProcedureReturnsVisibleNewRow();
    void columnTypesRoundTrip();
    void commitRetainingIsSeenBySecondAttachment();
    void deletionWaitsForNextCommitPoint();
    void teardownCommits();
};

void TstClient::parameters_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("rewritten");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("plain") << "select * from T where ID=:ID"
                           << "select * from T where ID=?" << QStringList{"ID"};
    QTest::newRow("case") << "where a=:codigo_Provincia and b like :codpobla "
                          << "where a=? and b like ? "
                          << QStringList{"CODIGO_PROVINCIA", "CODPOBLA"};
    QTest::newRow("old") << "update T set ID = :ID where ID = :OLD_ID"
                         << "update T set ID = ? where ID = ?" << QStringList{"ID", "OLD_ID"};
    QTest::newRow("quoted colon") << "select ':X', \"A:B\" from T where C=:C"
                                  << "select ':X', \"A:B\" from T where C=?" << QStringList{"C"};
    QTest::newRow("like literal") << "where c like '%0000'"
                                  << "where c like '%0000'" << QStringList{};
}

void TstClient::parameters() {
    QFETCH(QString, sql);
    QFETCH(QString, rewritten);
    QFETCH(QStringList, names);
    const ParsedSql p = parseParameters(sql);
    QCOMPARE(p.sql, rewritten);
    QCOMPARE(p.names, names);
}

void TstClient::scriptSplitting() {
    const QString script = QStringLiteral("-- comment; with a semicolon\n"
                                          "CREATE TABLE A (X VARCHAR(10));\n"
                                          "INSERT INTO A VALUES ('a;b');\n"
                                          "/* block; comment */\n"
                                          "SET TERM ^ ;\n"
                                          "CREATE PROCEDURE P AS BEGIN EXIT; END^\n"
                                          "SET TERM ; ^\n"
                                          "INSERT INTO A VALUES ('c');\n");
    const QStringList s = schema::splitScript(script);
    QCOMPARE(s.size(), 4);
    QCOMPARE(s[0], QStringLiteral("CREATE TABLE A (X VARCHAR(10))"));
    QCOMPARE(s[1], QStringLiteral("INSERT INTO A VALUES ('a;b')"));
    QCOMPARE(s[2], QStringLiteral("CREATE PROCEDURE P AS BEGIN EXIT; END"));
    QCOMPARE(s[3], QStringLiteral("INSERT INTO A VALUES ('c')"));
}

void TstClient::win1252RoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("eñe") << QStringLiteral("MUÑOZ Y PEÑA");
    QTest::newRow("acentos") << QStringLiteral("Cádiz, Córdoba, Jaén, Ávila, Ü");
    QTest::newRow("euro") << QStringLiteral("1.000 €");
    QTest::newRow("ordinal") << QStringLiteral("2º 3ª");
    QTest::newRow("high range") << QStringLiteral("‘comillas’ “dobles” – — … ™ Š Ž œ Ÿ");
}

void TstClient::win1252RoundTrip() {
    QFETCH(QString, text);
    TestDatabase tdb;
    {
        auto a = tdb.attach();
        Statement ins(*a->transaction);
        ins.prepare(QStringLiteral("insert into GESTORES (ID, NOMBRE) values (:ID, :NOMBRE)"));
        ins.setParam(QStringLiteral("id"), 900);
        ins.setParam(QStringLiteral("Nombre"), text);
        ins.execute();
        a->transaction->commit();
    }
    auto b = tdb.attach();
    QCOMPARE(b->scalar(QStringLiteral("select NOMBRE from GESTORES where ID=900")).toString(),
             text);
    // The server stores the same bytes a WIN1252 client would send.
    QCOMPARE(
        b->scalar(QStringLiteral("select char_length(NOMBRE) from GESTORES where ID=900")).toInt(),
        text.size());
}

void TstClient::characterOutsideCodePageIsRefused() {
    TestDatabase tdb;
    auto a = tdb.attach();
    Statement ins(*a->transaction);
    ins.prepare(QStringLiteral("insert into GESTORES (ID, NOMBRE) values (1, :NOMBRE)"));
    ins.setParam(QStringLiteral("NOMBRE"), QStringLiteral("ÁREA Ω"));
    try {
        ins.execute();
        QFAIL("text outside the code page was accepted");
    } catch (const DatabaseError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("«Ω»")), qPrintable(e.message()));
    }
    QCOMPARE(a->scalar(QStringLiteral("select count(*) from GESTORES")).toInt(), 0);
    // A character beyond the basic plane is named whole, not by half of it.
    const QString emoji = QString::fromUcs4(U"TEXTO \U0001F600");
    const QString message = errorOf([&] { win1252::encode(emoji); });
    QVERIFY2(message.contains(QString::fromUcs4(U"«\U0001F600» (U+1F600)")), qPrintable(message));
    QVERIFY(!win1252::canEncode(QStringLiteral("→")));
    QVERIFY(win1252::canEncode(QStringLiteral("ñÑ€º")));
}

void TstClient::connectionUsesGivenParameters() {
    TestDatabase tdb;
    Database d;
    d.databaseName = tdb.connectionString();
    d.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=") + tdb.user()};
    d.loginPrompt = true;
    QString seenUser;
    d.onLogin = [&](QString &user, QString &password) {
        seenUser = user;
        password = tdb.password();
        return true;
    };
    d.open();
    QCOMPARE(seenUser, tdb.user());
    Transaction t(d);
    t.start();
    Statement st(t);
    st.prepare(QStringLiteral(
        "select trim(c.rdb$character_set_name), d.mon$sql_dialect, trim(a.mon$user) from "
        "mon$attachments a join rdb$character_sets c on c.rdb$character_set_id = "
        "a.mon$character_set_id cross join mon$database d "
        "where a.mon$attachment_id = current_connection"));
    st.execute();
    QCOMPARE(st.value(0).toString(), QStringLiteral("WIN1252"));
    QCOMPARE(st.value(1).toInt(), 3);
    QCOMPARE(st.value(2).toString(), tdb.user());
    QVERIFY(!d.params.contains(QStringLiteral("password=") + tdb.password()));
}

void TstClient::wrongPathFails() {
    Database d;
    d.databaseName = QDir::temp().filePath(QStringLiteral("no-existe/ninguna.fdb"));
    d.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=SYSDBA")};
    QVERIFY_THROWS_EXCEPTION(DatabaseError, d.open());
    QVERIFY(!d.connected());
}

void TstClient::cancelledLoginFails() {
    TestDatabase tdb;
    Database d;
    d.databaseName = tdb.connectionString();
    d.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=SYSDBA")};
    d.loginPrompt = true;
    d.onLogin = [](QString &, QString &) { return false; };
    try {
        d.open();
        QFAIL("connected without login");
    } catch (const DatabaseError &e) {
        QCOMPARE(e.message(), QStringLiteral("Operación cancelada a petición del usuario"));
    }
    QVERIFY(!d.connected());
}

void TstClient::duplicateExpedientNamesInteg39() {
    TestDatabase tdb;
    auto a = tdb.attach();
    a->exec(QStringLiteral(
        "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO) values (1, '1000000002', 'N')"));
    try {
        a->exec(QStringLiteral(
            "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO) values (2, '1000000002', 'N')"));
        QFAIL("duplicate expedient accepted");
    } catch (const DatabaseError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("INTEG_39")), qPrintable(e.message()));
    }
}

void TstClient::integ39IsOnlyTheExpedientConstraint() {
    TestDatabase tdb;
    auto a = tdb.attach();
    Statement st(*a->transaction);
    st.prepare(QStringLiteral("select trim(rdb$relation_name), trim(rdb$constraint_type) from "
                              "rdb$relation_constraints where rdb$constraint_name = 'INTEG_39'"));
    st.openCursor();
    QVERIFY(st.fetch());
    QCOMPARE(st.value(0).toString(), QStringLiteral("INSTALACION"));
    QCOMPARE(st.value(1).toString(), QStringLiteral("UNIQUE"));
    QVERIFY(!st.fetch());
}

void TstClient::generatorsDrawFromTheirOwnSequences() {
    TestDatabase tdb;
    auto a = tdb.attach();
    const QStringList generators{
        "INSTALACION",          "INSTALACION_ARMARIO", "INSTALACION_DERIVACION",
        "NINSTALCION_ADJUNTOS", "INSTALADOR",          "NGESTOR"};
    QMap<QString, qint64> start;
    for (const QString &g : generators)
        start[g] = generatorValue(*a->transaction, g, 0);
    const qint64 first = generatorValue(*a->transaction, QStringLiteral("NGESTOR"));
    QCOMPARE(first, start["NGESTOR"] + 1);
    QCOMPARE(generatorValue(*a->transaction, QStringLiteral("NGESTOR")), first + 1);
    for (const QString &g : generators)
        if (g != QLatin1String("NGESTOR"))
            QCOMPARE(generatorValue(*a->transaction, g, 0), start[g]);
}

void TstClient::copyProcedureReturnsVisibleNewRow() {
    TestDatabase tdb(true);
    auto a = tdb.attach();
    const int old = a->scalar(QStringLiteral("select min(ID) from INSTALACION")).toInt();
    const int children =
        a->scalar(QStringLiteral(
                      "select (select count(*) from INSTALACION_ARMARIO where INSTALACION=i.ID) + "
                      "(select count(*) from INSTALACION_DERIVACIONES where INSTALACION=i.ID) + "
                      "(select count(*) from INSTALACION_ADJUNTOS where INSTALACION=i.ID) from "
                      "INSTALACION i "
                      "where ID=%1")
                      .arg(old))
            .toInt();
    QVERIFY(children > 0);
    StoredProcedure sp(*a->transaction, QStringLiteral("COPIAR_INSTALACION"));
    QList<int> copies;
    for (int i = 0; i < 2; ++i) {
        sp.setParam(QStringLiteral("VIEJA"), old);
        sp.execProc();
        copies << sp.param(QStringLiteral("NUEVA")).toInt();
    }
    QVERIFY(copies[0] != old && copies[1] != copies[0]);
    for (int id : copies) {
        Statement st(*a->transaction);
        st.prepare(QStringLiteral(
            "select EXPEDIENTE, ENVIADO, SOLICITANTE_NOMBRE from INSTALACION where ID=:ID"));
        st.setParam(QStringLiteral("ID"), id);
        st.execute();
        QCOMPARE(st.value(1).toString(), QStringLiteral("N"));
        QVERIFY(!st.value(0).toString().isEmpty());
        QCOMPARE(
            st.value(2),
            a->scalar(
                QStringLiteral("select SOLICITANTE_NOMBRE from INSTALACION where ID=%1").arg(old)));
        const int copied =
            a->scalar(
                 QStringLiteral(
                     "select (select count(*) from INSTALACION_ARMARIO where INSTALACION=i.ID) + "
                     "(select count(*) from INSTALACION_DERIVACIONES where INSTALACION=i.ID) + "
                     "(select count(*) from INSTALACION_ADJUNTOS where INSTALACION=i.ID) from "
                     "INSTALACION i "
                     "where ID=%1")
                     .arg(id))
                .toInt();
        QCOMPARE(copied, children);
    }
}

void TstClient::columnTypesRoundTrip() {
    TestDatabase tdb;
    auto a = tdb.attach();
    Statement ins(*a->transaction);
    ins.prepare(
        QStringLiteral("insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, POTENCIA, FECHA, "
                       "TIPO_SUMINISTRO, LOCALIZA_CALLE) values (:ID, :EXPEDIENTE, :ENVIADO, "
                       ":POTENCIA, :FECHA, :TIPO, :CALLE)"));
    const QDateTime when(QDate(2026, 12, 10), QTime(0, 0));
    ins.setParam(QStringLiteral("ID"), 7);
    ins.setParam(QStringLiteral("EXPEDIENTE"), QStringLiteral("0000000000"));
    ins.setParam(QStringLiteral("ENVIADO"), QStringLiteral("S"));
    ins.setParam(QStringLiteral("POTENCIA"), 12.5);
    ins.setParam(QStringLiteral("FECHA"), when);
    ins.setParam(QStringLiteral("TIPO"), QVariant());
    ins.setParam(QStringLiteral("CALLE"), QStringLiteral("CALLE MAYOR"));
    ins.execute();
    Statement sel(*a->transaction);
    sel.prepare(
        QStringLiteral("select ID, POTENCIA, FECHA, TIPO_SUMINISTRO, ENVIADO, LOCALIZA_CALLE "
                       "from INSTALACION where ID = :ID"));
    sel.setParam(QStringLiteral("ID"), QStringLiteral("7")); // converted by the server
    sel.openCursor();
    QVERIFY(sel.fetch());
    QCOMPARE(sel.value(0), QVariant(7));
    QCOMPARE(sel.value(1).toDouble(), 12.5);
    QCOMPARE(sel.value(2).toDateTime(), when);
    QVERIFY(sel.value(3).isNull());
    QCOMPARE(sel.value(4).toString(), QStringLiteral("S"));
    QCOMPARE(sel.columns()[5].size, 250);
    QCOMPARE(sel.columns()[4].type, FieldType::FixedChar);
    QVERIFY(!sel.fetch());
}

void TstClient::commitRetainingIsSeenBySecondAttachment() {
    TestDatabase tdb;
    auto a = tdb.attach();
    a->exec(QStringLiteral("insert into GESTORES (ID, NOMBRE) values (1, 'UNO')"));
    a->transaction->commitRetaining();
    auto b = tdb.attach();
    QCOMPARE(b->scalar(QStringLiteral("select count(*) from GESTORES")).toInt(), 1);
    // The same transaction goes on.
    QVERIFY(a->transaction->active());
    a->exec(QStringLiteral("insert into GESTORES (ID, NOMBRE) values (2, 'DOS')"));
    QCOMPARE(a->scalar(QStringLiteral("select count(*) from GESTORES")).toInt(), 2);
}

void TstClient::deletionWaitsForNextCommitPoint() {
    TestDatabase tdb;
    auto a = tdb.attach();
    a->exec(QStringLiteral("insert into GESTORES (ID, NOMBRE) values (1, 'UNO')"));
    a->transaction->commitRetaining();
    a->exec(QStringLiteral("delete from GESTORES where ID=1"));
    {
        auto b = tdb.attach();
        QCOMPARE(b->scalar(QStringLiteral("select count(*) from GESTORES")).toInt(), 1);
    }
    a->transaction->commitRetaining();
    auto c = tdb.attach();
    QCOMPARE(c->scalar(QStringLiteral("select count(*) from GESTORES")).toInt(), 0);
}

void TstClient::teardownCommits() {
    TestDatabase tdb;
    {
        auto a = tdb.attach();
        a->exec(QStringLiteral("insert into GESTORES (ID, NOMBRE) values (1, 'UNO')"));
        // No explicit commit: the transaction commits when torn down.
    }
    auto b = tdb.attach();
    QCOMPARE(b->scalar(QStringLiteral("select count(*) from GESTORES")).toInt(), 1);
}

QTEST_GUILESS_MAIN(TstClient)
#include "tst_client.moc"
