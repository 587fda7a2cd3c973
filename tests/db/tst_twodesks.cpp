// Two desks on one database, each an attachment with its own read-committed transaction that
// commits after every save, as the data module's: what one desk saves is never written back
// stale by the other, and a save or deletion of a row the other desk deleted is refused.

#include "db/RecordSet.h"
#include "tests/common/TestDatabase.h"

#include <QtTest>

#include <thread>

using namespace db;

namespace {

// Records what a data source tells its controls.
class Recorder : public DataLink {
public:
    QList<DataEvent> events;
    void dataEvent(DataEvent e, Field *) override { events << e; }
};

const QString kDeleted = QStringLiteral("Otro puesto ha borrado este registro");

// A desk: an attachment, its transaction and the installations' record set.
struct Desk {
    Database database;
    Transaction transaction{database};
    RecordSet inst{transaction, QStringLiteral("DSinstalacion")};
    DataSource source{&inst};
    Recorder recorder;

    explicit Desk(const TestDatabase &tdb, bool commitEachSave = true) {
        transaction.isolation = Transaction::Isolation::ReadCommitted;
        transaction.lockTimeoutSeconds = 10;
        tdb.open(database);
        transaction.start();
        const QStringList columns = {
            "ID",       "EXPEDIENTE", "ENVIADO", "SOLICITANTE_NOMBRE", "LOCALIZA_CALLE",
            "POTENCIA", "FECHA"};
        inst.selectSql = {"select " + columns.join(", ") + " from INSTALACION", "", "order by id"};
        inst.setTableStatements("INSTALACION", columns);
        inst.addField("ID", FieldType::Integer, 0, true);
        inst.addField("EXPEDIENTE", FieldType::String, 25, true);
        inst.addField("ENVIADO", FieldType::FixedChar, 1, true);
        inst.addField("SOLICITANTE_NOMBRE", FieldType::String, 250);
        inst.addField("LOCALIZA_CALLE", FieldType::String, 250);
        inst.addField("POTENCIA", FieldType::Float);
        inst.addField("FECHA", FieldType::DateTime);
        if (commitEachSave) {
            inst.afterPost = [this](RecordSet &) { transaction.commitRetaining(); };
            inst.afterDelete = [this](RecordSet &) { transaction.commitRetaining(); };
        }
        recorder.setDataSource(&source);
        inst.open();
    }
    ~Desk() {
        inst.close();
        if (transaction.active())
            transaction.rollback();
    }
};

// Two dossiers, the first with every column filled.
struct TwoDesks {
    TestDatabase tdb;
    TwoDesks() {
        tdb.seed({"insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, SOLICITANTE_NOMBRE, "
                  "LOCALIZA_CALLE, POTENCIA, FECHA) values (1, '1000000002', 'N', 'JOSÉ MUÑOZ', "
                  "'CALLE MAYOR 1', 10.25, '2025-03-07 09:15:30.250')",
                  "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO) values (2, '5000000000', "
                  "'N')"});
    }
    QVariant stored(const QString &column, int id = 1) {
        auto a = tdb.attach();
        return a->scalar(
            QStringLiteral("select %1 from INSTALACION where ID = %2").arg(column).arg(id));
    }
    int rows(int id = 1) {
        auto a = tdb.attach();
        return a->scalar(QStringLiteral("select count(*) from INSTALACION where ID = %1").arg(id))
            .toInt();
    }
};

QString fullLengthText() {
    return QStringLiteral("ÑANDÚ «ÉXITO» ").leftJustified(250, u'·');
}

} // namespace

class TstTwoDesks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    void editStartsFromTheSavedRow();
    void editOfADeletedRowIsRefused();
    void saveKeepsTheOtherDesksColumns_data();
    void saveKeepsTheOtherDesksColumns();
    void sameColumnChangedByBothIsRefused_data();
    void sameColumnChangedByBothIsRefused();
    void saveOnADeletedRowIsRefused_data();
    void saveOnADeletedRowIsRefused();
    void deleteOfADeletedRowIsRefused();
    void rowUnderADeletedRowIsRefused();
    void saveMeetingADeletionInProgress();
    void saveWaitingForAnotherColumnsSaveGoesThrough();
    void deleteWaitingForAnotherDesksSaveGoesThrough();
};

void TstTwoDesks::editStartsFromTheSavedRow() {
    TwoDesks t;
    Desk a(t.tdb), b(t.tdb);
    a.inst.edit();
    a.inst["SOLICITANTE_NOMBRE"].setValue("ANA PÉREZ");
    a.inst.post();
    QCOMPARE(b.inst["SOLICITANTE_NOMBRE"].asString(), QStringLiteral("JOSÉ MUÑOZ")); // read before
    b.recorder.events.clear();
    b.inst.edit();
    QCOMPARE(b.inst["SOLICITANTE_NOMBRE"].asString(), QStringLiteral("ANA PÉREZ"));
    QCOMPARE(b.inst["SOLICITANTE_NOMBRE"].oldValue().toString(), QStringLiteral("ANA PÉREZ"));
    // The controls are told to show the record again.
    QVERIFY(b.recorder.events.contains(DataEvent::RecordChanged));
    b.inst.cancel();
    QCOMPARE(b.inst["SOLICITANTE_NOMBRE"].asString(), QStringLiteral("ANA PÉREZ"));
}

void TstTwoDesks::editOfADeletedRowIsRefused() {
    TwoDesks t;
    Desk a(t.tdb), b(t.tdb);
    a.inst.remove();
    QVERIFY(errorOf([&] { b.inst.edit(); }).startsWith(kDeleted));
    QCOMPARE(b.inst.state(), State::Browse);
    // The list shows what is there now.
    QCOMPARE(b.inst.recordCount(), 1);
    QCOMPARE(b.inst["ID"].asInteger(), 2);
}

void TstTwoDesks::saveKeepsTheOtherDesksColumns_data() {
    QTest::addColumn<QString>("columnA");
    QTest::addColumn<QVariant>("valueA");
    QTest::addColumn<QString>("columnB");
    QTest::addColumn<QVariant>("valueB");
    QTest::newRow("text, text") << "SOLICITANTE_NOMBRE" << QVariant(fullLengthText())
                                << "LOCALIZA_CALLE" << QVariant("AVENIDA DEL PUERTO 7");
    QTest::newRow("number, text") << "POTENCIA" << QVariant(12345.5) << "SOLICITANTE_NOMBRE"
                                  << QVariant("ANA PÉREZ");
    QTest::newRow("date and time, number")
        << "FECHA" << QVariant(QDateTime(QDate(2026, 1, 31), QTime(23, 59, 58, 125))) << "POTENCIA"
        << QVariant(0.1);
    QTest::newRow("cleared, text")
        << "LOCALIZA_CALLE" << QVariant() << "SOLICITANTE_NOMBRE" << QVariant("LUIS");
}

// Both desks are editing the same dossier; A saves one column, then B saves another.
void TstTwoDesks::saveKeepsTheOtherDesksColumns() {
    QFETCH(QString, columnA);
    QFETCH(QVariant, valueA);
    QFETCH(QString, columnB);
    QFETCH(QVariant, valueB);
    TwoDesks t;
    Desk a(t.tdb), b(t.tdb);
    b.inst.edit();
    a.inst.edit();
    a.inst[columnA].setValue(valueA);
    a.inst.post();
    b.inst[columnB].setValue(valueB);
    b.inst.post();
    QCOMPARE(b.inst.state(), State::Browse);
    QCOMPARE(t.stored(columnA), a.inst[columnA].value());
    QCOMPARE(t.stored(columnB), b.inst[columnB].value());
    // B's screen shows the row as saved, A's column included.
    QCOMPARE(b.inst[columnA].value(), a.inst[columnA].value());
}

void TstTwoDesks::sameColumnChangedByBothIsRefused_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("valueA");
    QTest::addColumn<QVariant>("valueB");
    QTest::addColumn<QString>("shownA"); // A's value as B's message names it
    QTest::newRow("text at full length") << "SOLICITANTE_NOMBRE" << QVariant(fullLengthText())
                                         << QVariant("LUIS") << fullLengthText();
    QTest::newRow("number") << "POTENCIA" << QVariant(12345.5) << QVariant(7.0) << "12345,5";
    QTest::newRow("date and time")
        << "FECHA" << QVariant(QDateTime(QDate(2025, 3, 7), QTime(9, 15, 30, 251)))
        << QVariant(QDateTime(QDate(2025, 3, 8), QTime(0, 0))) << "07/03/2025 09:15:30";
    QTest::newRow("cleared") << "LOCALIZA_CALLE" << QVariant() << QVariant("CALLE NUEVA")
                             << "vacío";
}

void TstTwoDesks::sameColumnChangedByBothIsRefused() {
    QFETCH(QString, column);
    QFETCH(QVariant, valueA);
    QFETCH(QVariant, valueB);
    QFETCH(QString, shownA);
    TwoDesks t;
    Desk a(t.tdb), b(t.tdb);
    b.inst.edit();
    a.inst.edit();
    a.inst[column].setValue(valueA);
    a.inst.post();
    const QVariant savedA = t.stored(column);
    b.inst[column].setValue(valueB);
    b.inst["EXPEDIENTE"].setValue("5000000000-B"); // a column only B changed
    const QString message = errorOf([&] { b.inst.post(); });
    QVERIFY2(message.startsWith(QStringLiteral("Otro puesto ha cambiado este registro")),
             qPrintable(message));
    QVERIFY2(message.contains(column) && message.contains(shownA), qPrintable(message));
    QVERIFY2(!message.contains("EXPEDIENTE"), qPrintable(message));
    // Nothing written; the edit stays to keep or drop.
    QCOMPARE(t.stored(column), savedA);
    QCOMPARE(t.stored("EXPEDIENTE").toString(), QStringLiteral("1000000002"));
    QCOMPARE(b.inst.state(), State::Edit);
    QCOMPARE(b.inst[column].value(), b.inst[column].convert(valueB));
    QCOMPARE(b.inst["EXPEDIENTE"].asString(), QStringLiteral("5000000000-B"));
    // Saving again keeps B's values over A's.
    b.inst.post();
    QCOMPARE(t.stored(column), b.inst[column].convert(valueB));
    QCOMPARE(t.stored("EXPEDIENTE").toString(), QStringLiteral("5000000000-B"));
}

void TstTwoDesks::saveOnADeletedRowIsRefused_data() {
    QTest::addColumn<bool>("changed");
    QTest::newRow("a column changed") << true;
    QTest::newRow("nothing changed") << false;
}

void TstTwoDesks::saveOnADeletedRowIsRefused() {
    QFETCH(bool, changed);
    TwoDesks t;
    Desk a(t.tdb), b(t.tdb);
    b.inst.edit();
    if (changed)
        b.inst["SOLICITANTE_NOMBRE"].setValue("LO QUE B ESCRIBIÓ");
    a.inst.remove();
    const QString message = errorOf([&] { b.inst.post(); });
    QVERIFY2(message.startsWith(kDeleted), qPrintable(message));
    QVERIFY2(message.contains("DSinstalacion") && message.contains(u'1'), qPrintable(message));
    QCOMPARE(t.rows(), 0);
    // The edit stays on screen to be copied.
    QCOMPARE(b.inst.state(), State::Edit);
    if (changed)
        QCOMPARE(b.inst["SOLICITANTE_NOMBRE"].asString(), QStringLiteral("LO QUE B ESCRIBIÓ"));
    b.inst.cancel();
    b.inst.refresh();
    QCOMPARE(b.inst.recordCount(), 1);
    QCOMPARE(b.inst["ID"].asInteger(), 2);
}

void TstTwoDesks::deleteOfADeletedRowIsRefused() {
    TwoDesks t;
    Desk a(t.tdb), b(t.tdb);
    a.inst.remove();
    const QString message = errorOf([&] { b.inst.remove(); });
    QVERIFY2(message.startsWith(kDeleted), qPrintable(message));
    QCOMPARE(t.rows(2), 1); // the next row is not deleted in its place
}

// A cabinet added by B under the dossier A has deleted.
void TstTwoDesks::rowUnderADeletedRowIsRefused() {
    TwoDesks t;
    Desk a(t.tdb), b(t.tdb);
    RecordSet cabinets(b.transaction, QStringLiteral("DSarmarios"));
    cabinets.selectSql = {"select ID, INSTALACION, N_COLUMNAS from INSTALACION_ARMARIO"};
    cabinets.setTableStatements("INSTALACION_ARMARIO", {"ID", "INSTALACION", "N_COLUMNAS"});
    cabinets.generatorName = "INSTALACION_ARMARIO";
    cabinets.open();
    a.inst.remove();
    cabinets.insert();
    cabinets["INSTALACION"].setValue(1);
    cabinets["N_COLUMNAS"].setValue(3);
    const QString message = errorOf([&] { cabinets.post(); });
    QVERIFY2(message.startsWith("El registro al que pertenece éste ya no existe: otro puesto lo "
                                "ha borrado."),
             qPrintable(message));
    QCOMPARE(cabinets.state(), State::Insert);
}

// Desk A's deletion is not committed yet when B saves: B's save waits for it and, once it is
// committed, is refused as a save on a deleted row.
void TstTwoDesks::saveMeetingADeletionInProgress() {
    TwoDesks t;
    Desk a(t.tdb, false), b(t.tdb);
    b.inst.edit();
    b.inst["SOLICITANTE_NOMBRE"].setValue("LO QUE B ESCRIBIÓ");
    a.inst.remove();
    std::thread commitLater([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        a.transaction.commitRetaining();
    });
    const QString message = errorOf([&] { b.inst.post(); });
    commitLater.join();
    QVERIFY2(message.startsWith(kDeleted), qPrintable(message));
    QCOMPARE(b.inst.state(), State::Edit);
    QCOMPARE(t.rows(), 0);
}

// A's save of another column is not committed yet when B saves: B's save waits and then goes
// through, and both columns are kept.
void TstTwoDesks::saveWaitingForAnotherColumnsSaveGoesThrough() {
    TwoDesks t;
    Desk a(t.tdb, false), b(t.tdb);
    b.inst.edit();
    b.inst["LOCALIZA_CALLE"].setValue("AVENIDA DEL PUERTO 7");
    a.inst.edit();
    a.inst["SOLICITANTE_NOMBRE"].setValue("ANA PÉREZ");
    a.inst.post();
    std::thread commitLater([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        a.transaction.commitRetaining();
    });
    const QString message = errorOf([&] { b.inst.post(); });
    commitLater.join();
    QCOMPARE(message, QString());
    QCOMPARE(t.stored("SOLICITANTE_NOMBRE").toString(), QStringLiteral("ANA PÉREZ"));
    QCOMPARE(t.stored("LOCALIZA_CALLE").toString(), QStringLiteral("AVENIDA DEL PUERTO 7"));
}

void TstTwoDesks::deleteWaitingForAnotherDesksSaveGoesThrough() {
    TwoDesks t;
    Desk a(t.tdb, false), b(t.tdb);
    a.inst.edit();
    a.inst["SOLICITANTE_NOMBRE"].setValue("ANA PÉREZ");
    a.inst.post();
    std::thread commitLater([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        a.transaction.commitRetaining();
    });
    const QString message = errorOf([&] { b.inst.remove(); });
    commitLater.join();
    QCOMPARE(message, QString());
    QCOMPARE(t.rows(), 0);
    QCOMPARE(b.inst["ID"].asInteger(), 2);
}

QTEST_GUILESS_MAIN(TstTwoDesks)
#include "tst_twodesks.moc"
