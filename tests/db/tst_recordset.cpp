// The record-set contract against a real database: states, hooks and their order,
// fields, lookups, linked record sets, locate, and the messages of each refusal.

#include "db/RecordSet.h"
#include "tests/common/SeedRows.h"
#include "tests/common/TestDatabase.h"
#include "tests/common/TestRecordSets.h"

#include <QtTest>

using namespace db;

namespace {

// Records what a data source tells its controls.
class Recorder : public DataLink {
public:
    QList<DataEvent> events;
    QList<QString> fields;
    std::function<void()> onUpdateData;
    void dataEvent(DataEvent e, Field *f) override {
        events << e;
        if (f)
            fields << f->name();
        if (e == DataEvent::UpdateData && onUpdateData)
            onUpdateData();
    }
    int count(DataEvent e) const { return int(events.count(e)); }
};

// A connection with its transaction, and the record sets of a small master-detail.
struct Fixture {
    TestDatabase tdb;
    Database database;
    Transaction transaction{database};
    std::unique_ptr<RecordSet> gestores;
    std::unique_ptr<RecordSet> inst;
    std::unique_ptr<RecordSet> armarios;
    std::unique_ptr<RecordSet> tipos;
    DataSource sGestores, sInst, sArmarios;
    QStringList log;

    Fixture() {
        tdb.open(database);
        transaction.start();
        gestores = gestoresSet(transaction);
        RecordSet &g = *gestores;
        sGestores.setDataSet(&g);

        tipos = tiposArmarioSet(transaction);

        inst = std::make_unique<RecordSet>(transaction, QStringLiteral("DSinstalacion"));
        inst->selectSql = {
            "select ID, EXPEDIENTE, ENVIADO, GESTOR, POTENCIA, FECHA from INSTALACION", "",
            "order by id"};
        inst->setTableStatements("INSTALACION",
                                 {"ID", "EXPEDIENTE", "ENVIADO", "GESTOR", "POTENCIA", "FECHA"});
        inst->generatorName = "INSTALACION";
        inst->addField("ID", FieldType::Integer, 0, true);
        inst->addField("EXPEDIENTE", FieldType::String, 25, true);
        inst->addField("ENVIADO", FieldType::FixedChar, 1, true);
        inst->addField("GESTOR", FieldType::Integer);
        inst->addField("POTENCIA", FieldType::Float).displayFormat = "#,##0.00";
        inst->addField("FECHA", FieldType::DateTime).displayFormat = "dd/mm/yyyy";
        inst->addLookupField("Ngestor", FieldType::String, 250, "GESTOR", g, "ID", "NOMBRE");
        sInst.setDataSet(inst.get());

        armarios = armariosSet(transaction, *tipos);
        RecordSet &a = *armarios;
        a.selectSql = {"select * from INSTALACION_ARMARIO", "where INSTALACION=:ID",
                       "order by N_COLUMNAS,ID"};
        a.setMasterSource(&sInst);
        a.onNewRecord = [this](RecordSet &r) {
            r["INSTALACION"].setValue(inst->field("ID").value());
        };
        sArmarios.setDataSet(&a);
    }
    ~Fixture() {
        armarios.reset();
        inst.reset();
        tipos.reset();
        gestores.reset();
    }

    void addGestores(int n) {
        QStringList sql;
        for (int i = 1; i <= n; ++i)
            sql << QStringLiteral(
                       "insert into GESTORES (ID, NOMBRE, EMAIL) values (%1, 'G%2', 'g%1@x.es')")
                       .arg(i)
                       .arg(i, 3, 10, QLatin1Char('0'));
        sql << "alter sequence NGESTOR restart with 1000";
        tdb.seed(sql);
        seeNewData();
    }
    // The transaction is a snapshot: data seeded by another attachment shows after a restart.
    void seeNewData() {
        transaction.commit();
        transaction.start();
    }
    void addInstalaciones(int n, int armariosPorInstalacion = 0) {
        QStringList sql;
        for (int i = 1; i <= n; ++i) {
            sql << QStringLiteral(
                       "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO) values (%1, 'E%1', 'N')")
                       .arg(i);
            for (int j = 1; j <= armariosPorInstalacion; ++j)
                sql << armario(i * 100 + j, i, j);
        }
        sql << "alter sequence INSTALACION restart with 1000"
            << "alter sequence INSTALACION_ARMARIO restart with 100000";
        tdb.seed(sql);
        seeNewData();
    }
    int countInDatabase(const QString &table) {
        auto a = tdb.attach();
        return a->scalar("select count(*) from " + table).toInt();
    }
    void logHooks(RecordSet &r) {
        r.beforeInsert = [this](RecordSet &) { log << "beforeInsert"; };
        r.onNewRecord = [this](RecordSet &) { log << "onNewRecord"; };
        r.afterInsert = [this](RecordSet &) { log << "afterInsert"; };
        r.beforeEdit = [this](RecordSet &) { log << "beforeEdit"; };
        r.afterEdit = [this](RecordSet &) { log << "afterEdit"; };
        r.beforePost = [this](RecordSet &) { log << "beforePost"; };
        r.afterPost = [this](RecordSet &) { log << "afterPost"; };
        r.afterCancel = [this](RecordSet &) { log << "afterCancel"; };
        r.afterOpen = [this](RecordSet &) { log << "afterOpen"; };
        r.afterScroll = [this](RecordSet &x) {
            log << "afterScroll:" + (x.recNo() < 0 ? QString("-") : x.field("ID").asString());
        };
    }
};

} // namespace

class TstRecordSet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    void openFetchesOnDemand();
    void hookOrder_data();
    void hookOrder();
    void editOnEmptySetInserts();
    void navigationResolvesPendingRecord_data();
    void navigationResolvesPendingRecord();
    void defaultsDoNotCountAsChange();
    void newRecordHookFailureUndoesInsert();
    void requiredFieldMessage();
    void deleteRules_data();
    void deleteRules();
    void textConversion_data();
    void textConversion();
    void postedTextReachesTheDatabase_data();
    void postedTextReachesTheDatabase();
    void emptyTextIsNull();
    void tooLongTextIsRefused();
    void fieldHooks();
    void postErrorHook();
    void silentAbortStopsTheMove();
    void locateRunsAfterScrollOnceOnTheFoundRecord();
    void locateNotFoundRestores();
    void lookupComputedAfreshAndLeavesListAlone();
    void declaredFieldMissingFailsOpen();
    void linkedSetFollowsMaster();
    void linkedSetResolvesBeforeMasterMoves();
    void linkedSetDroppedWhenMasterCancelsOrRefreshes_data();
    void linkedSetDroppedWhenMasterCancelsOrRefreshes();
    void moveThatDoesNotMoveRunsNoHook();
    void newRecordReadsAsNullsElsewhere();
    void hasNextRowReadsAhead();
    void unidirectionalLetsEarlierRowsGo();
    void controlsPushPendingTextBeforePost();
    void refreshRereadsRow();
    void displayFormats();
    void cancelRestoresValues();
};

void TstRecordSet::openFetchesOnDemand() {
    Fixture f;
    f.addGestores(30);
    RecordSet &g = *f.gestores;
    g.open();
    QCOMPARE(g.state(), State::Browse);
    QCOMPARE(g.recordCount(), 1);
    QCOMPARE(g["NOMBRE"].asString(), QStringLiteral("G001"));
    g.next();
    g.next();
    QCOMPARE(g.recordCount(), 3);
    QCOMPARE(g["NOMBRE"].asString(), QStringLiteral("G003"));
    g.last();
    QCOMPARE(g.recordCount(), 30);
    QVERIFY(g.eof());
    QCOMPARE(g["NOMBRE"].asString(), QStringLiteral("G030"));
    g.first();
    QVERIFY(g.bof());
    QCOMPARE(g.recNo(), 0);
    g.close();
    QCOMPARE(g.state(), State::Inactive);
    QVERIFY(g["NOMBRE"].isNull());
}

void TstRecordSet::hookOrder_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("open") << "open" << QStringList{"afterOpen", "afterScroll:1"};
    QTest::newRow("insert") << "insert"
                            << QStringList{"beforeInsert", "onNewRecord", "afterInsert",
                                           "afterScroll:1001"};
    QTest::newRow("edit") << "edit" << QStringList{"beforeEdit", "afterEdit"};
    QTest::newRow("post") << "post"
                          << QStringList{"beforeEdit", "afterEdit", "beforePost", "afterPost"};
    QTest::newRow("cancel edit") << "cancelEdit"
                                 << QStringList{"beforeEdit", "afterEdit", "afterCancel"};
    QTest::newRow("cancel insert")
        << "cancelInsert" << QStringList{"beforeInsert",     "onNewRecord", "afterInsert",
                                         "afterScroll:1001", "afterCancel", "afterScroll:1"};
    QTest::newRow("first on empty") << "firstEmpty" << QStringList{"afterScroll:-"};
}

void TstRecordSet::hookOrder() {
    QFETCH(QString, operation);
    QFETCH(QStringList, expected);
    Fixture f;
    if (operation != "firstEmpty")
        f.addInstalaciones(2);
    RecordSet &r = *f.inst;
    f.logHooks(r);
    if (operation != "open") {
        r.open();
        f.log.clear();
    }
    if (operation == "open") {
        r.open();
    } else if (operation == "insert") {
        r.insert();
    } else if (operation == "edit") {
        r.edit();
    } else if (operation == "post") {
        r.edit();
        r["EXPEDIENTE"].setValue("X");
        r.post();
    } else if (operation == "cancelEdit") {
        r.edit();
        r.cancel();
    } else if (operation == "cancelInsert") {
        r.insert();
        r.cancel();
    } else if (operation == "firstEmpty") {
        r.first();
    }
    QCOMPARE(f.log, expected);
}

void TstRecordSet::editOnEmptySetInserts() {
    Fixture f;
    RecordSet &g = *f.gestores;
    g.open();
    QVERIFY(g.isEmpty());
    g.edit();
    QCOMPARE(g.state(), State::Insert);
    QVERIFY(!g["ID"].isNull()); // the generator filled the key
}

void TstRecordSet::navigationResolvesPendingRecord_data() {
    QTest::addColumn<bool>("touch");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("untouched insert is dropped") << false << 2;
    QTest::newRow("touched insert is saved") << true << 3;
}

void TstRecordSet::navigationResolvesPendingRecord() {
    QFETCH(bool, touch);
    QFETCH(int, rowsAfter);
    Fixture f;
    f.addGestores(2);
    RecordSet &g = *f.gestores;
    g.open();
    g.insert();
    if (touch)
        g["EMAIL"].setValue("nuevo@x.es");
    g.last();
    QCOMPARE(g.state(), State::Browse);
    QCOMPARE(g.recordCount(), rowsAfter);
    f.transaction.commitRetaining();
    QCOMPARE(f.countInDatabase("GESTORES"), rowsAfter);
}

void TstRecordSet::defaultsDoNotCountAsChange() {
    Fixture f;
    RecordSet &g = *f.gestores;
    g.onNewRecord = [](RecordSet &r) { r["TELEFONO"].setValue("900000000"); };
    g.open();
    g.insert();
    QCOMPARE(g["TELEFONO"].asString(), QStringLiteral("900000000"));
    QVERIFY(!g.modified());
    g.first();
    QVERIFY(g.isEmpty());
}

void TstRecordSet::newRecordHookFailureUndoesInsert() {
    Fixture f;
    f.addGestores(1);
    RecordSet &g = *f.gestores;
    g.onNewRecord = [](RecordSet &) { throw DatabaseError("no"); };
    g.open();
    QCOMPARE(errorOf([&] { g.insert(); }), QStringLiteral("no"));
    QCOMPARE(g.state(), State::Browse);
    QCOMPARE(g.recordCount(), 1);
    QCOMPARE(g["NOMBRE"].asString(), QStringLiteral("G001"));
}

void TstRecordSet::requiredFieldMessage() {
    Fixture f;
    RecordSet &g = *f.gestores;
    Recorder rec;
    rec.setDataSource(&f.sGestores);
    g.open();
    g.insert();
    g["NOMBRE"].setValue("SIN CORREO");
    QCOMPARE(errorOf([&] { g.post(); }),
             QStringLiteral("Es necesario que el campo 'EMAIL' contenga algún valor"));
    QCOMPARE(g.state(), State::Insert);
    QVERIFY(rec.events.contains(DataEvent::FocusField));
    QCOMPARE(rec.fields.last(), QStringLiteral("EMAIL"));
    // Clearing a required field of a stored row is refused the same way.
    g["EMAIL"].setValue("a@b.es");
    g.post();
    g.edit();
    g["EMAIL"].setAsString("");
    QCOMPARE(errorOf([&] { g.post(); }),
             QStringLiteral("Es necesario que el campo 'EMAIL' contenga algún valor"));
}

void TstRecordSet::deleteRules_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("insert state cancels") << "insert" << QString() << 2;
    QTest::newRow("empty set") << "empty"
                               << "No es posible realizar ésta operación en un DataSet vacío" << 0;
    QTest::newRow("browse deletes") << "browse" << QString() << 1;
    QTest::newRow("edit deletes") << "edit" << QString() << 1;
}

void TstRecordSet::deleteRules() {
    QFETCH(QString, situation);
    QFETCH(QString, message);
    QFETCH(int, rowsAfter);
    Fixture f;
    if (situation != "empty")
        f.addGestores(2);
    RecordSet &g = *f.gestores;
    g.open();
    if (situation == "insert") {
        g.insert();
        g["EMAIL"].setValue("x@y.es");
    } else if (situation == "edit") {
        g.edit();
        g["NOMBRE"].setValue("CAMBIADO");
    }
    QCOMPARE(errorOf([&] { g.remove(); }), message);
    QCOMPARE(g.state(), State::Browse);
    g.last();
    QCOMPARE(g.recordCount(), rowsAfter);
    f.transaction.commitRetaining();
    QCOMPARE(f.countInDatabase("GESTORES"), rowsAfter);
}

void TstRecordSet::textConversion_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("error");
    const QString invalid = "Valor inválido para el campo '%1'";
    QTest::newRow("integer") << "GESTOR"
                             << "12" << QVariant(12) << QString();
    QTest::newRow("integer not a number") << "GESTOR"
                                          << "doce" << QVariant() << invalid.arg("GESTOR");
    QTest::newRow("integer with decimals") << "GESTOR"
                                           << "1,5" << QVariant() << invalid.arg("GESTOR");
    QTest::newRow("integer with a decimal point") << "GESTOR"
                                                  << "1.5" << QVariant() << invalid.arg("GESTOR");
    QTest::newRow("integer grouped") << "GESTOR"
                                     << "1.000" << QVariant(1000) << QString();
    QTest::newRow("integer grouped twice") << "GESTOR"
                                           << "-1.234.567" << QVariant(-1234567) << QString();
    QTest::newRow("integer misgrouped") << "GESTOR"
                                        << "10.00" << QVariant() << invalid.arg("GESTOR");
    QTest::newRow("integer largest") << "GESTOR"
                                     << "2147483647" << QVariant(2147483647) << QString();
    QTest::newRow("integer out of range") << "GESTOR"
                                          << "2147483648" << QVariant() << invalid.arg("GESTOR");
    QTest::newRow("integer far out of range")
        << "GESTOR"
        << "99999999999999999999" << QVariant() << invalid.arg("GESTOR");
    QTest::newRow("decimal comma") << "POTENCIA"
                                   << "12,5" << QVariant(12.5) << QString();
    QTest::newRow("decimal point") << "POTENCIA"
                                   << "12.5" << QVariant(12.5) << QString();
    QTest::newRow("grouped") << "POTENCIA"
                             << "12.345,5" << QVariant(12345.5) << QString();
    QTest::newRow("float not a number") << "POTENCIA"
                                        << "mucha" << QVariant() << invalid.arg("POTENCIA");
    QTest::newRow("date") << "FECHA"
                          << "10/12/2026" << QVariant(QDateTime(QDate(2026, 12, 10), QTime(0, 0)))
                          << QString();
    QTest::newRow("bad date") << "FECHA"
                              << "32/13/2026" << QVariant() << invalid.arg("FECHA");
}

void TstRecordSet::textConversion() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QVariant, stored);
    QFETCH(QString, error);
    Fixture f;
    f.addInstalaciones(1);
    RecordSet &r = *f.inst;
    r.open();
    r.edit();
    QCOMPARE(errorOf([&] { r[field].setText(text); }), error);
    if (error.isEmpty())
        QCOMPARE(r[field].value(), stored);
    else
        QVERIFY(r[field].isNull()); // the old value stays
}

// The text a post sends is the row's own WIN1252 bytes: every character of the code page,
// including those that differ from Latin-1 (0x80-0x9F), arrives as typed.
void TstRecordSet::postedTextReachesTheDatabase_data() {
    QTest::addColumn<bool>("inserting");
    QTest::newRow("insert") << true;
    QTest::newRow("modify") << false;
}

void TstRecordSet::postedTextReachesTheDatabase() {
    QFETCH(bool, inserting);
    Fixture f;
    f.addInstalaciones(1);
    RecordSet &r = *f.inst;
    r.open();
    const QString text = QStringLiteral("Ñandú 1.000 € ‰Œ“”");
    if (inserting)
        r.insert();
    else
        r.edit();
    r["EXPEDIENTE"].setText(text);
    r["ENVIADO"].setText(QStringLiteral("S"));
    r.post();
    f.transaction.commitRetaining();
    const int id = r["ID"].asInteger();
    auto other = f.tdb.attach();
    QCOMPARE(
        other->scalar(QStringLiteral("select EXPEDIENTE from INSTALACION where ID = %1").arg(id)),
        QVariant(text));
    QCOMPARE(other->scalar(QStringLiteral("select ENVIADO from INSTALACION where ID = %1").arg(id)),
             QVariant(QStringLiteral("S")));
    QCOMPARE(r["EXPEDIENTE"].asString(), text);
}

void TstRecordSet::emptyTextIsNull() {
    Fixture f;
    f.addGestores(1);
    RecordSet &g = *f.gestores;
    g.open();
    g.edit();
    g["NOMBRE"].setAsString("");
    QVERIFY(g["NOMBRE"].isNull());
    g.post();
    f.transaction.commitRetaining();
    auto a = f.tdb.attach();
    QVERIFY(a->scalar("select NOMBRE from GESTORES").isNull());
}

void TstRecordSet::tooLongTextIsRefused() {
    Fixture f;
    f.addGestores(1);
    RecordSet &g = *f.gestores;
    g.open();
    g.edit();
    const QString msg = errorOf([&] { g["TELEFONO"].setValue(QString(26, u'9')); });
    QVERIFY2(msg.contains("TELEFONO") && msg.contains("25"), qPrintable(msg));
    QVERIFY(g["TELEFONO"].isNull());
    QVERIFY(errorOf([&] { g["NOMBRE"].setValue(QStringLiteral("ÁREA ∑")); }).contains("«∑»"));
    QCOMPARE(g["NOMBRE"].asString(), QStringLiteral("G001"));
}

void TstRecordSet::fieldHooks() {
    Fixture f;
    f.addInstalaciones(1);
    RecordSet &r = *f.inst;
    QStringList seen;
    r["EXPEDIENTE"].onValidate = [&](Field &fld, const QVariant &v) {
        seen << "validate:" + v.toString() + " old:" + fld.asString();
        if (v.toString() == "MALO")
            throw DatabaseError("El número de expediente no es válido");
    };
    r["EXPEDIENTE"].onChange = [&](Field &fld) { seen << "change:" + fld.asString(); };
    r["POTENCIA"].onSetText = [&](Field &fld, const QString &t) { fld.setValue(t.size()); };
    r.open();
    r.edit();
    r["EXPEDIENTE"].setValue("BUENO");
    QCOMPARE(errorOf([&] { r["EXPEDIENTE"].setValue("MALO"); }),
             QStringLiteral("El número de expediente no es válido"));
    QCOMPARE(r["EXPEDIENTE"].asString(), QStringLiteral("BUENO"));
    QCOMPARE(seen,
             (QStringList{"validate:BUENO old:E1", "change:BUENO", "validate:MALO old:BUENO"}));
    r["POTENCIA"].setText("abcd");
    QCOMPARE(r["POTENCIA"].asFloat(), 4.0);
}

void TstRecordSet::postErrorHook() {
    Fixture f;
    f.addInstalaciones(1);
    RecordSet &r = *f.inst;
    QString hookSaw;
    r.onPostError = [&](RecordSet &, const DatabaseError &e) { hookSaw = e.message(); };
    r.open();
    r.insert();
    r["EXPEDIENTE"].setValue("E1"); // taken
    r["ENVIADO"].setValue("N");
    const QString msg = errorOf([&] { r.post(); });
    QVERIFY(msg.contains("INTEG_39"));
    QCOMPARE(hookSaw, msg);
    QCOMPARE(r.state(), State::Insert);
    QCOMPARE(r["EXPEDIENTE"].asString(), QStringLiteral("E1"));
    // The before-post hook's refusals do not reach the post-error hook.
    hookSaw.clear();
    r.beforePost = [](RecordSet &) { throw DatabaseError("antes"); };
    QCOMPARE(errorOf([&] { r.post(); }), QStringLiteral("antes"));
    QVERIFY(hookSaw.isEmpty());
    r.beforePost = nullptr;
    r["EXPEDIENTE"].setValue("E2");
    r.post();
    QCOMPARE(r.state(), State::Browse);
}

void TstRecordSet::silentAbortStopsTheMove() {
    Fixture f;
    f.addInstalaciones(2);
    RecordSet &r = *f.inst;
    r.onPostError = [](RecordSet &, const DatabaseError &) { throw Abort(); };
    r.open();
    r.edit();
    r["EXPEDIENTE"].setValue("E2");
    QVERIFY_THROWS_EXCEPTION(Abort, r.next());
    QCOMPARE(r.recNo(), 0);
    QCOMPARE(r.state(), State::Edit);
    QCOMPARE(r["EXPEDIENTE"].asString(), QStringLiteral("E2"));
}

// The search does not make each row it passes current: the after-scroll hook runs once, on
// the record found (at the end of a long list it would otherwise re-run for every row).
void TstRecordSet::locateRunsAfterScrollOnceOnTheFoundRecord() {
    Fixture f;
    f.addInstalaciones(5, 1);
    RecordSet &r = *f.inst;
    Recorder rec;
    rec.setDataSource(&f.sInst);
    r.open();
    f.armarios->open();
    QStringList scrolls;
    r.afterScroll = [&](RecordSet &x) { scrolls << x["ID"].asString(); };
    rec.events.clear();
    QVERIFY(r.locate("EXPEDIENTE", "E3"));
    QCOMPARE(scrolls, QStringList{"3"});
    QCOMPARE(r["ID"].asInteger(), 3);
    QCOMPARE(rec.count(DataEvent::DataSetChanged), 1);
    QCOMPARE(rec.count(DataEvent::MasterChanged), 1);
    // The linked set followed once, to the found record.
    QCOMPARE(f.armarios->field("INSTALACION").asInteger(), 3);
}

void TstRecordSet::locateNotFoundRestores() {
    Fixture f;
    f.addInstalaciones(3);
    RecordSet &r = *f.inst;
    r.open();
    r.next();
    QStringList scrolls;
    r.afterScroll = [&](RecordSet &x) { scrolls << x["ID"].asString(); };
    QVERIFY(!r.locate("EXPEDIENTE", "NINGUNO"));
    QCOMPARE(scrolls, QStringList{"2"});
    QCOMPARE(r["ID"].asInteger(), 2);
}

void TstRecordSet::lookupComputedAfreshAndLeavesListAlone() {
    Fixture f;
    f.addGestores(3);
    f.addInstalaciones(1);
    RecordSet &r = *f.inst;
    r.open(); // opens the list behind Ngestor
    QVERIFY(f.gestores->active());
    f.gestores->next();
    QCOMPARE(f.gestores->recNo(), 1);
    r.edit();
    QVERIFY(r["Ngestor"].isNull());
    r["GESTOR"].setValue(3);
    QCOMPARE(r["Ngestor"].asString(), QStringLiteral("G003"));
    QCOMPARE(f.gestores->recNo(), 1); // the search left the list where it was
    // No cache: a change in the list shows at once.
    f.gestores->last();
    f.gestores->edit();
    f.gestores->field("NOMBRE").setValue("OTRO NOMBRE");
    f.gestores->post();
    QCOMPARE(r["Ngestor"].asString(), QStringLiteral("OTRO NOMBRE"));
    r["GESTOR"].setValue(99);
    QVERIFY(r["Ngestor"].isNull());
    // Writing the lookup's text stores the key behind it.
    r["Ngestor"].setValue("G001");
    QCOMPARE(r["GESTOR"].asInteger(), 1);
}

void TstRecordSet::declaredFieldMissingFailsOpen() {
    Fixture f;
    RecordSet q(f.transaction, "Qmal");
    q.selectSql = {"select ID from TIPO_ARMARIO"};
    q.addField("ID", FieldType::Integer);
    q.addField("NO_EXISTE", FieldType::String, 10);
    QCOMPARE(errorOf([&] { q.open(); }),
             QStringLiteral("Qmal: No se encuentra el campo 'NO_EXISTE'"));
    QVERIFY(!q.active());
}

void TstRecordSet::linkedSetFollowsMaster() {
    Fixture f;
    f.addInstalaciones(3, 2);
    RecordSet &r = *f.inst;
    RecordSet &a = *f.armarios;
    r.open();
    a.open();
    QCOMPARE(a.recordCount(), 1); // fetched on demand
    a.last();
    QCOMPARE(a.recordCount(), 2);
    QCOMPARE(a["INSTALACION"].asInteger(), 1);
    int opens = 0;
    a.afterOpen = [&](RecordSet &) { ++opens; };
    r.next();
    QCOMPARE(opens, 1);
    QCOMPARE(a["INSTALACION"].asInteger(), 2);
    r.edit();
    QCOMPARE(opens, 2); // edit started
    r["POTENCIA"].setValue(3.0);
    QCOMPARE(opens, 2); // a field change does not reopen
    r.post();
    QCOMPARE(opens, 3);
    r.edit();
    r.cancel();
    QCOMPARE(opens, 5);
    // A new master record: its children are none.
    r.insert();
    QVERIFY(a.isEmpty());
    r.cancel();
    QCOMPARE(a["INSTALACION"].asInteger(), 2);
    // A child inserted takes the master's key and is found after a round trip.
    a.insert();
    QCOMPARE(a["INSTALACION"].asInteger(), 2);
    a["N_COLUMNAS"].setValue(9);
    a.post();
    r.first();
    r.next();
    a.last();
    QCOMPARE(a.recordCount(), 3);
}

void TstRecordSet::linkedSetResolvesBeforeMasterMoves() {
    Fixture f;
    f.addInstalaciones(2, 1);
    RecordSet &r = *f.inst;
    RecordSet &a = *f.armarios;
    r.open();
    a.open();
    a.edit();
    a["N_COLUMNAS"].setValue(7);
    r.next(); // the pending cabinet is posted first
    f.transaction.commitRetaining();
    auto b = f.tdb.attach();
    QCOMPARE(b->scalar("select N_COLUMNAS from INSTALACION_ARMARIO where ID=101").toInt(), 7);
    // An untouched new child is dropped.
    a.insert();
    r.first();
    QCOMPARE(f.countInDatabase("INSTALACION_ARMARIO"), 2);
}

// Cancel and refresh of the master drop a linked set's pending record: nothing of it is
// written, and a pending record that would break a rule does not block them.
void TstRecordSet::linkedSetDroppedWhenMasterCancelsOrRefreshes_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("insertChild");
    QTest::newRow("cancel, child edited") << "cancel" << false;
    QTest::newRow("cancel, child inserted") << "cancel" << true;
    QTest::newRow("refresh, child edited") << "refresh" << false;
    QTest::newRow("refresh, child inserted") << "refresh" << true;
}

void TstRecordSet::linkedSetDroppedWhenMasterCancelsOrRefreshes() {
    QFETCH(QString, operation);
    QFETCH(bool, insertChild);
    Fixture f;
    f.addInstalaciones(2, 1);
    RecordSet &r = *f.inst;
    RecordSet &a = *f.armarios;
    r.open();
    a.open();
    int posts = 0;
    a.beforePost = [&](RecordSet &) {
        ++posts;
        throw DatabaseError("regla del armario");
    };
    if (operation == "cancel") {
        r.edit();
        r["EXPEDIENTE"].setValue("CAMBIADO");
    }
    if (insertChild)
        a.insert();
    else
        a.edit();
    a["N_COLUMNAS"].setValue(9);
    if (operation == "cancel")
        r.cancel();
    else
        r.refresh();
    QCOMPARE(posts, 0);
    QCOMPARE(r.state(), State::Browse);
    QCOMPARE(a.state(), State::Browse);
    QCOMPARE(a.recordCount(), 1);
    QCOMPARE(a["N_COLUMNAS"].asInteger(), 1);
    QCOMPARE(r["EXPEDIENTE"].asString(), QStringLiteral("E1"));
    f.transaction.commitRetaining();
    QCOMPARE(f.countInDatabase("INSTALACION_ARMARIO"), 2);
    auto b = f.tdb.attach();
    QCOMPARE(b->scalar("select max(N_COLUMNAS) from INSTALACION_ARMARIO").toInt(), 1);
}

// Next on the last row and Prior on the first do not move, and run no after-scroll hook.
void TstRecordSet::moveThatDoesNotMoveRunsNoHook() {
    Fixture f;
    f.addInstalaciones(2);
    RecordSet &r = *f.inst;
    r.open();
    f.logHooks(r);
    f.log.clear();
    r.prior();
    QCOMPARE(f.log, QStringList());
    r.next();
    QCOMPARE(f.log, QStringList{"afterScroll:2"});
    f.log.clear();
    r.next();
    QCOMPARE(f.log, QStringList());
    QVERIFY(r.eof());
    QCOMPARE(r["ID"].asInteger(), 2);
}

// While a list is inserting, its new row reads as nulls from everywhere: a lookup into the
// list, a grid reading rows by number.
void TstRecordSet::newRecordReadsAsNullsElsewhere() {
    Fixture f;
    f.addGestores(2);
    f.addInstalaciones(1);
    auto b = f.tdb.attach();
    b->exec("update INSTALACION set GESTOR=2");
    b->transaction->commit();
    f.seeNewData();
    RecordSet &g = *f.gestores;
    RecordSet &r = *f.inst;
    g.open();
    g.fetchAll();
    r.open();
    g.insert(); // before the first row
    QCOMPARE(g.recNo(), 0);
    QCOMPARE(g.recordCount(), 3);
    QVERIFY(g.valueAt(1, g["NOMBRE"]).isValid());
    QCOMPARE(r["Ngestor"].asString(), QStringLiteral("G002"));
    r.edit();
    r["GESTOR"].setValue(1000000); // no such manager
    QVERIFY(r["Ngestor"].isNull());
    r.cancel();
    g.cancel();
    QCOMPARE(g.recordCount(), 2);
}

void TstRecordSet::hasNextRowReadsAhead() {
    Fixture f;
    QVERIFY(!f.gestores->hasNextRow()); // closed
    f.addGestores(3);
    RecordSet &g = *f.gestores;
    g.open();
    QCOMPARE(g.recordCount(), 1);
    QVERIFY(g.hasNextRow());
    QCOMPARE(g.recordCount(), 2);
    g.next();
    g.next();
    QVERIFY(!g.allFetched());
    QVERIFY(!g.hasNextRow());
    QVERIFY(g.allFetched());
    QCOMPARE(g["NOMBRE"].asString(), QStringLiteral("G003"));
}

// Read one way, the set lets the rows well behind its current one go; row numbers stay those
// of the select, and going back reads it again.
void TstRecordSet::unidirectionalLetsEarlierRowsGo() {
    Fixture f;
    f.addGestores(200);
    RecordSet &g = *f.gestores;
    const Field &nombre = g["NOMBRE"];
    auto nombreEn = [&](int fila) { return g.valueAt(fila, nombre).toString(); };
    g.setUnidirectional(true);
    g.open();
    QVERIFY_THROWS_EXCEPTION(DatabaseError, g.setUnidirectional(false));
    for (int i = 0; i < 100; ++i)
        g.next();
    QCOMPARE(g.recNo(), 100);
    QCOMPARE(g.recordCount(), 101);
    QCOMPARE(nombre.asString(), QStringLiteral("G101"));
    for (int letGo : {0, 1, 30})
        QVERIFY2(g.valueAt(letGo, nombre).isNull(), qPrintable(QString::number(letGo)));
    QVERIFY(!g.bof());

    // Rows read ahead stay until the set has moved well past them.
    QVERIFY(g.fetchMore(5));
    QCOMPARE(g.recordCount(), 106);
    QCOMPARE(nombreEn(105), QStringLiteral("G106"));
    g.moveTo(104);
    QCOMPARE(nombre.asString(), QStringLiteral("G105"));
    QCOMPARE(nombreEn(105), QStringLiteral("G106"));

    // Back to a row let go: the select is read again.
    g.moveTo(3);
    QCOMPARE(g.recNo(), 3);
    QCOMPARE(nombre.asString(), QStringLiteral("G004"));
    g.first();
    QVERIFY(g.bof());
    QCOMPARE(g.recNo(), 0);
    QCOMPARE(nombre.asString(), QStringLiteral("G001"));

    g.last();
    QVERIFY(g.eof());
    QCOMPARE(g.recNo(), 199);
    QCOMPARE(g.recordCount(), 200);
    QCOMPARE(nombre.asString(), QStringLiteral("G200"));
    QVERIFY(g.valueAt(100, nombre).isNull());

    // Such a set is read, never edited.
    QVERIFY_THROWS_EXCEPTION(DatabaseError, g.edit());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, g.insert());
    QCOMPARE(g.state(), State::Browse);
}

void TstRecordSet::controlsPushPendingTextBeforePost() {
    Fixture f;
    f.addGestores(1);
    RecordSet &g = *f.gestores;
    Recorder control;
    control.setDataSource(&f.sGestores);
    control.onUpdateData = [&] {
        if (g.editing())
            g["TELEFONO"].setText("912345678");
    };
    g.open();
    g.edit();
    g.post();
    f.transaction.commitRetaining();
    auto a = f.tdb.attach();
    QCOMPARE(a->scalar("select TELEFONO from GESTORES").toString(), QStringLiteral("912345678"));
    // Moving away settles the record the same way: typed text counts as a change.
    control.onUpdateData = [&] {
        if (g.editing())
            g["TELEFONO"].setText("600000000");
    };
    g.edit();
    g.next();
    QCOMPARE(g.state(), State::Browse);
    QCOMPARE(g["TELEFONO"].asString(), QStringLiteral("600000000"));
}

void TstRecordSet::refreshRereadsRow() {
    Fixture f;
    f.addGestores(2);
    RecordSet &g = *f.gestores;
    g.open();
    Statement st(f.transaction);
    st.prepare("update GESTORES set NOMBRE='DESDE OTRA SENTENCIA' where ID=1");
    st.execute();
    g.refresh();
    QCOMPARE(g["NOMBRE"].asString(), QStringLiteral("DESDE OTRA SENTENCIA"));
    QCOMPARE(g.recNo(), 0);
}

void TstRecordSet::displayFormats() {
    Fixture f;
    f.addInstalaciones(1);
    RecordSet &r = *f.inst;
    r.open();
    r.edit();
    r["POTENCIA"].setValue(12345.5);
    r["FECHA"].setValue(QDateTime(QDate(2026, 3, 7), QTime(0, 0)));
    QCOMPARE(r["POTENCIA"].displayText(), QStringLiteral("12.345,50"));
    QCOMPARE(r["POTENCIA"].editText(), QStringLiteral("12345,5"));
    QCOMPARE(r["FECHA"].displayText(), QStringLiteral("07/03/2026"));
    // Read back from the database, through the fetch path.
    r.post();
    r.close();
    r.open();
    QCOMPARE(r["FECHA"].value().toDateTime(), QDateTime(QDate(2026, 3, 7), QTime(0, 0)));
    QCOMPARE(r["POTENCIA"].displayText(), QStringLiteral("12.345,50"));
}

void TstRecordSet::cancelRestoresValues() {
    Fixture f;
    f.addGestores(1);
    RecordSet &g = *f.gestores;
    g.open();
    g.edit();
    g["NOMBRE"].setValue("CAMBIO");
    QCOMPARE(g["NOMBRE"].oldValue().toString(), QStringLiteral("G001"));
    g.cancel();
    QCOMPARE(g["NOMBRE"].asString(), QStringLiteral("G001"));
    QCOMPARE(g.state(), State::Browse);
}

QTEST_GUILESS_MAIN(TstRecordSet)
#include "tst_recordset.moc"
