// Backups of the office's database: made while desks work, verified, restored, refused when
// damaged; and the command as the nightly timer and a person run it.

#include "db/FbApi.h"
#include "db/Statement.h"
#include "tests/common/TestDatabase.h"
#include "tools/copia/Backup.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

// 1.240 installations more than the demo's five, with values as an office types them: the
// street at its full 250 characters with accents, "Ñ" and "€", a date with a time of day.
const QStringList kOfficeRows = {
    QStringLiteral(
        "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, LOCALIZA_CALLE, FECHA, POTENCIA, "
        "SOLICITANTE_NOMBRE) "
        "select first 1240 1000 + row_number() over (), "
        "'9' || lpad(1000 + row_number() over (), 9, '0'), 'N', "
        "rpad('AVDA. DE LA CONSTITUCIÓN Nº 12, ESCALERA ÑANDÚ, 1.500 € DE FIANZA ', 250, 'X'), "
        "timestamp '2026-03-15 17:45:12', 13.8, 'COMUNIDAD DE PROPIETARIOS' "
        "from VORTAN_ENTIDAD_POBLACION a cross join VORTAN_PROVINCIA b "
        "cross join TIPO_SUMINISTRO c")};

// Every row of every user table, as text, sorted within each table: what a person would
// compare, independent of the digests the tool compares with.
QMap<QString, QStringList> allRows(const QString &connection, const QString &password) {
    db::Database database;
    database.databaseName = connection;
    database.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=SYSDBA"),
                       QStringLiteral("password=") + password};
    database.open();
    db::Transaction tr(database);
    tr.start();
    QStringList tables;
    {
        db::Statement s(tr);
        s.prepare(QStringLiteral("select trim(rdb$relation_name) from rdb$relations where "
                                 "coalesce(rdb$system_flag, 0) = 0 and rdb$view_blr is null"));
        s.openCursor();
        while (s.fetch())
            tables << s.value(0).toString();
    }
    QMap<QString, QStringList> result;
    for (const QString &table : tables) {
        db::Statement s(tr);
        s.prepare(QStringLiteral("select * from ") + table);
        s.openCursor();
        QStringList &rows = result[table];
        while (s.fetch()) {
            QStringList values;
            for (int i = 0; i < s.columns().size(); ++i)
                values << (s.isNull(i) ? QStringLiteral("<nulo>") : s.value(i).toString());
            rows << values.join(u'|');
        }
        rows.sort();
    }
    tr.commit();
    return result;
}

// What the copies are compared by: every table's rows and digest, read as the tool reads them.
backup::Contents contentsOf(const TestDatabase &db) {
    db::Database database;
    database.databaseName = db.connectionString();
    database.params = {QStringLiteral("lc_ctype=NONE"), QStringLiteral("user_name=SYSDBA"),
                       QStringLiteral("password=") + db.password()};
    database.open();
    auto snapshot = backup::startSnapshot(database.handle());
    const backup::Contents contents = backup::readContents(
        database.handle(), snapshot.get(), backup::userTables(database.handle(), snapshot.get()));
    db::fb::call([&](Firebird::ThrowStatusWrapper *st) { snapshot->rollback(st); });
    snapshot.release_ownership();
    return contents;
}

// A folder the Firebird server may write into as well (it runs as its own user).
void openToAll(const QString &path) {
    QFile::setPermissions(path, QFileDevice::Permissions(0x7777));
}

} // namespace

class TestCopia : public QObject {
    Q_OBJECT

    backup::Options options(const TestDatabase &db) const {
        backup::Options o;
        o.login.password = db.password();
        return o;
    }
    // A new database in `dir`: through the server in the server runs, as a file otherwise.
    static QString newDatabase(const TestDatabase &db, const QTemporaryDir &dir,
                               const QString &name) {
        const QString path = dir.filePath(name);
        return db.viaServer() ? QStringLiteral("localhost:") + path : path;
    }

private slots:
    void theRestoredDatabaseHoldsEveryRow() {
        TestDatabase db(true);
        db.seed(kOfficeRows);
        QTemporaryDir dir;
        openToAll(dir.path());
        const QString folder = dir.filePath(QStringLiteral("copias"));

        const backup::Result made = backup::makeCopy(db.connectionString(), folder, options(db));
        QVERIFY(QFileInfo(made.file).fileName().startsWith(u"trelmavondis-"));
        QCOMPARE(made.contents.rows(QStringLiteral("INSTALACION")), 1245);
        // Nothing else is left in the folder: no half-made copy, no scratch database.
        QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                  QDir::NoDotAndDotDot);
        QCOMPARE(left, QStringList({QFileInfo(made.file).fileName(),
                                    QFileInfo(made.file).fileName() + QStringLiteral(".huella")}));
        QVERIFY(backup::summary(made.contents).startsWith(
            QStringLiteral("1.245 instalaciones, 6 armarios, 23 derivaciones")));

        const QString target = newDatabase(db, dir, QStringLiteral("restaurada.fdb"));
        const backup::Result restored = backup::restoreCopy(made.file, target, options(db));
        QCOMPARE(restored.contents, made.contents);
        const auto before = allRows(db.connectionString(), db.password());
        const auto after = allRows(target, db.password());
        QCOMPARE(after.keys(), before.keys());
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(after.value(it.key()), it.value());
        QVERIFY(after.value(QStringLiteral("INSTALACION")).join(u'\n').contains(
            QStringLiteral("ESCALERA ÑANDÚ, 1.500 € DE FIANZA")));
    }

    // A desk commits an edit after the first snapshot and before the backup starts (gbak sees
    // it, that snapshot does not), then keeps editing while the backup runs (neither sees it).
    void aCopyTakenWhileADeskKeepsEditingVerifies() {
        TestDatabase db(true);
        auto desk = db.attach();
        const QVariant first = desk->scalar(QStringLiteral("select min(ID) from INSTALACION"));
        const QVariant last = desk->scalar(QStringLiteral("select max(ID) from INSTALACION"));
        int edits = 0;
        backup::Options o = options(db);
        o.hook = [&](backup::Stage stage) {
            if (stage == backup::Stage::SnapshotTaken)
                desk->exec(QStringLiteral("update INSTALACION set SOLICITANTE_NOMBRE = "
                                          "'EDITADO ANTES DE LA COPIA' where ID = %1")
                               .arg(first.toInt()));
            else if (edits < 20)
                desk->exec(QStringLiteral("update INSTALACION set SOLICITANTE_NOMBRE = "
                                          "'EDITADO DURANTE LA COPIA %1' where ID = %2")
                               .arg(++edits)
                               .arg(last.toInt()));
            else
                return;
            desk->transaction->commit();
            desk->transaction->start();
        };
        QTemporaryDir dir;
        openToAll(dir.path());
        const backup::Result made = backup::makeCopy(db.connectionString(), dir.path(), o);
        QVERIFY(edits > 0);
        QCOMPARE(made.attempts, 1);

        const QString target = newDatabase(db, dir, QStringLiteral("restaurada.fdb"));
        backup::restoreCopy(made.file, target, options(db));
        TestDatabase::Attachment copy;
        copy.database.databaseName = target;
        copy.database.params = db.params();
        copy.database.open();
        copy.transaction = std::make_unique<db::Transaction>(copy.database);
        copy.transaction->start();
        QCOMPARE(copy.scalar(QStringLiteral("select SOLICITANTE_NOMBRE from INSTALACION where "
                                            "ID = %1")
                                 .arg(first.toInt()))
                     .toString(),
                 QStringLiteral("EDITADO ANTES DE LA COPIA"));
        QVERIFY(!copy.scalar(QStringLiteral("select SOLICITANTE_NOMBRE from INSTALACION where "
                                            "ID = %1")
                                 .arg(last.toInt()))
                     .toString()
                     .startsWith(u"EDITADO DURANTE"));
    }

    void restoringNeverWritesOverADatabase() {
        TestDatabase db(true);
        QTemporaryDir dir;
        openToAll(dir.path());
        const backup::Result made = backup::makeCopy(db.connectionString(), dir.path(), options(db));

        // A database in use by a desk.
        auto desk = db.attach();
        QString error = errorOf([&] { backup::restoreCopy(made.file, db.connectionString(), options(db)); });
        QVERIFY2(error.startsWith(QStringLiteral("Ya existe la base de datos")), qPrintable(error));
        QCOMPARE(desk->scalar(QStringLiteral("select count(*) from INSTALACION")).toInt(), 5);

        // Any file at all.
        const QString other = dir.filePath(QStringLiteral("otra.fdb"));
        QFile f(other);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("no es una base de datos");
        f.close();
        error = errorOf([&] { backup::restoreCopy(made.file, other, options(db)); });
        QVERIFY2(error.startsWith(QStringLiteral("Ya existe la base de datos")), qPrintable(error));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("no es una base de datos"));
    }

    void aDamagedCopyIsRefused_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("keepManifest");
        QTest::addColumn<QString>("message");
        QTest::newRow("truncada, con huella") << "truncar" << true << "no coincide con la huella";
        QTest::newRow("un byte cambiado, con huella") << "byte" << true << "no coincide con la huella";
        QTest::newRow("truncada, sin huella") << "truncar" << false << "dañada o incompleta";
    }
    void aDamagedCopyIsRefused() {
        QFETCH(QString, damage);
        QFETCH(bool, keepManifest);
        QFETCH(QString, message);
        TestDatabase db(true);
        db.seed(kOfficeRows);
        QTemporaryDir dir;
        openToAll(dir.path());
        const backup::Result made = backup::makeCopy(db.connectionString(), dir.path(), options(db));
        QFile copy(made.file);
        QVERIFY(copy.open(QIODevice::ReadWrite));
        if (damage == u"truncar") {
            QVERIFY(copy.resize(copy.size() / 2));
        } else {
            // A byte inside the rows: the engine restores it without a word.
            QVERIFY(copy.seek(copy.size() * 3 / 4));
            char c;
            QVERIFY(copy.getChar(&c));
            QVERIFY(copy.seek(copy.pos() - 1));
            QVERIFY(copy.putChar(char(c ^ 0x01)));
        }
        copy.close();
        if (!keepManifest)
            QVERIFY(QFile::remove(backup::Manifest::pathFor(made.file)));

        QString error = errorOf([&] { backup::checkCopy(made.file, options(db)); });
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(error.startsWith(QStringLiteral("La copia ")));

        const QString target = newDatabase(db, dir, QStringLiteral("restaurada.fdb"));
        error = errorOf([&] { backup::restoreCopy(made.file, target, options(db)); });
        QVERIFY2(error.contains(message), qPrintable(error));
        // Nothing is left where the configuration would point.
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("restaurada.fdb"))));
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral(".restaurando-*")},
                                            QDir::AllEntries | QDir::Hidden),
                 QStringList());
    }

    // The backup stops half-way (here the hook gives up, as a lost server or a full disk
    // would): the restore following it stops as well, the error is the backup's and nothing
    // is left in the folder.
    void aBackupThatStopsHalfWayLeavesNothing() {
        TestDatabase db(true);
        db.seed(kOfficeRows);
        QTemporaryDir dir;
        openToAll(dir.path());
        const QString folder = dir.filePath(QStringLiteral("copias"));
        backup::Options o = options(db);
        o.hook = [](backup::Stage stage) {
            if (stage == backup::Stage::BackupRunning)
                throw db::DatabaseError(QStringLiteral("se ha cortado la conexión"));
        };
        const QString error = errorOf([&] { backup::makeCopy(db.connectionString(), folder, o); });
        QVERIFY2(error.startsWith(QStringLiteral("No se ha podido hacer la copia de ")),
                 qPrintable(error));
        QVERIFY2(error.endsWith(QStringLiteral("Detalle del motor: se ha cortado la conexión")),
                 qPrintable(error));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // One value changed anywhere in a table changes that table's digest and no other's: what
    // tells a copy that restores other rows from a sound one.
    void theDigestSeesEveryValue_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<QString>("table");
        const QString first = QStringLiteral("(select min(ID) from INSTALACION)");
        const QString last = QStringLiteral("(select max(ID) from INSTALACION)");
        const QString street = QStringLiteral(
            "rpad('AVDA. DE LA CONSTITUCIÓN Nº 12, ESCALERA ÑANDÚ, 1.500 € ', 250, 'X')");
        QTest::newRow("último carácter de una calle de 250")
            << QStringList{QStringLiteral("update INSTALACION set LOCALIZA_CALLE = %1").arg(street)}
            << QStringList{QStringLiteral("update INSTALACION set LOCALIZA_CALLE = "
                                          "substring(%1 from 1 for 249) || 'Y' where ID = %2")
                               .arg(street, first)}
            << "INSTALACION";
        QTest::newRow("nulo y texto vacío")
            << QStringList{QStringLiteral("update INSTALACION set SOLICITANTE_NOTA = null")}
            << QStringList{QStringLiteral(
                   "update INSTALACION set SOLICITANTE_NOTA = '' where ID = %1").arg(first)}
            << "INSTALACION";
        QTest::newRow("un segundo más en la hora de una fecha")
            << QStringList{QStringLiteral(
                   "update INSTALACION set FECHA = timestamp '2026-03-15 17:45:12'")}
            << QStringList{QStringLiteral("update INSTALACION set FECHA = timestamp "
                                          "'2026-03-15 17:45:13' where ID = %1").arg(first)}
            << "INSTALACION";
        QTest::newRow("dos filas que se cambian la calle")
            << QStringList{QStringLiteral("update INSTALACION set LOCALIZA_CALLE = 'CALLE ' || ID")}
            << QStringList{QStringLiteral("update INSTALACION set LOCALIZA_CALLE = case when ID "
                                          "= %1 then 'CALLE ' || %2 else 'CALLE ' || %1 end "
                                          "where ID in (%1, %2)").arg(first, last)}
            << "INSTALACION";
        QTest::newRow("un byte de un texto largo en un blob")
            << QStringList{QStringLiteral("create table NOTAS_OFICINA (ID integer not null "
                                          "primary key, TEXTO blob sub_type text)"),
                           QStringLiteral("insert into NOTAS_OFICINA values (1, rpad('', 40000, "
                                          "'LLAMAR AL INSTALADOR. '))")}
            << QStringList{QStringLiteral("update NOTAS_OFICINA set TEXTO = "
                                          "overlay(TEXTO placing 'l' from 30000)")}
            << "NOTAS_OFICINA";
    }
    void theDigestSeesEveryValue() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, change);
        QFETCH(QString, table);
        TestDatabase db(true);
        for (const QString &sql : before)
            db.seed({sql}); // one by one: a table is there to fill once its creation commits
        const backup::Contents was = contentsOf(db);
        db.seed(change);
        const backup::Contents is = contentsOf(db);
        QCOMPARE(is.rows(table), was.rows(table));
        QCOMPARE(was.differences(is, QStringLiteral("antes"), QStringLiteral("después")),
                 QStringList{QStringLiteral("%1: las mismas filas (%2) pero con datos distintos "
                                            "en antes y en después")
                                 .arg(table)
                                 .arg(was.rows(table))});
    }

    // The command as the timer runs it: configuration from the system file, one line out,
    // the newest copies kept, the age of the last one for monitoring.
    void theCommand() {
        TestDatabase db(true);
        db.seed(kOfficeRows);
        QTemporaryDir dir;
        openToAll(dir.path());
        const QString folder = dir.filePath(QStringLiteral("copias"));
        QDir().mkpath(dir.filePath(QStringLiteral("xdg/Nirvelo")));
        auto configure = [&](int warnDays) {
            QFile conf(dir.filePath(QStringLiteral("xdg/Nirvelo/Trelmavondis.conf")));
            QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
            conf.write(QStringLiteral("[General]\nBasededatos=%1\nUsuario=SYSDBA\nCopias=%2\n"
                                      "AvisoCopiaDias=%3\n")
                           .arg(db.connectionString(), folder)
                           .arg(warnDays)
                           .toUtf8());
        };
        configure(7);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), dir.filePath(QStringLiteral("xdg")));
        env.insert(QStringLiteral("ISC_PASSWORD"), db.password());
        struct Run {
            int code;
            QString out, err;
        };
        auto run = [&](const QStringList &args) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(TRELMA_COPIA_BIN), args);
            p.closeWriteChannel();
            if (!p.waitForFinished(120000))
                qFatal("trelmavondis-copia no termina");
            return Run{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                       QString::fromUtf8(p.readAllStandardError())};
        };

        for (int i = 0; i < 3; ++i) {
            const Run r = run({QStringLiteral("hacer"), QStringLiteral("--mantener"), QStringLiteral("2")});
            QVERIFY2(r.code == 0, qPrintable(r.err));
            // Quiet but for its one line when not on a terminal.
            QCOMPARE(r.err, QString());
            static const QRegularExpression line(QStringLiteral(
                "^Copia verificada: 1\\.245 instalaciones, 6 armarios, 23 derivaciones, 7 "
                "adjuntos, 1 instalador, 1 gestor y \\d+ tablas más con [\\d.]+ filas "
                "\\(\\d+,\\d (kB|MB)\\) en .*/copias/trelmavondis-\\d{8}-\\d{6}(-\\d)?\\.fbk\\n$"));
            QVERIFY2(line.match(r.out).hasMatch(), qPrintable(r.out));
        }
        const QStringList copies = backup::copiesIn(folder);
        QCOMPARE(copies.size(), 2);
        QCOMPARE(QDir(folder).entryList({QStringLiteral("*.huella")}).size(), 2);

        Run r = run({QStringLiteral("estado")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith(QStringLiteral("Última copia verificada: ")), qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("(hace 0 días)")));

        // The last copy made ten days ago: a warning and a non-zero exit for monitoring.
        for (const QString &c : copies) {
            QFile m(backup::Manifest::pathFor(c));
            QVERIFY(m.open(QIODevice::ReadOnly));
            QJsonObject o = QJsonDocument::fromJson(m.readAll()).object();
            m.close();
            o[QStringLiteral("hecha")] =
                QDateTime::currentDateTimeUtc().addDays(-10).toString(Qt::ISODate);
            QVERIFY(m.open(QIODevice::WriteOnly | QIODevice::Truncate));
            m.write(QJsonDocument(o).toJson());
        }
        r = run({QStringLiteral("estado")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.startsWith(QStringLiteral("Aviso: la última copia verificada es del ")),
                 qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("hace 10 días (el aviso salta a los 7)")));
        configure(0);
        r = run({QStringLiteral("estado")});
        QCOMPARE(r.code, 0);

        r = run({QStringLiteral("comprobar"), copies.last()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.startsWith(QStringLiteral("Copia correcta: 1.245 instalaciones")),
                 qPrintable(r.out));

        r = run({QStringLiteral("restaurar"), copies.last(), db.connectionString()});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.startsWith(QStringLiteral("Ya existe la base de datos")));

        r = run({QStringLiteral("deshacer")});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.startsWith(QStringLiteral("Orden desconocida: deshacer")));
    }
};

QTEST_GUILESS_MAIN(TestCopia)
#include "tst_copia.moc"
