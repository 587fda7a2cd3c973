#include "tests/platform/controls/ControlsFixture.h"

#include "tests/common/TestRecordSets.h"
#include "tests/common/WindowWait.h"

#include <QtTest>

using db::RecordSet;

ControlsFixture::ControlsFixture() {
    database.databaseName = tdb.connectionString();
    database.params = tdb.params();
    database.open();
    transaction.start();

    gestores = gestoresSet(transaction);
    sGestores.setDataSet(gestores.get());
    inst = instalacionesSet(transaction, *gestores);
    sInst.setDataSet(inst.get());
    tipos = tiposArmarioSet(transaction);
    sTipos.setDataSet(tipos.get());
    armarios = armariosSet(transaction, *tipos);
    armarios->selectSql = {"select * from INSTALACION_ARMARIO", "order by ID"};
    armarios->onNewRecord = [](RecordSet &r) { r["INSTALACION"].setValue(1); };
    sArmarios.setDataSet(armarios.get());
}

ControlsFixture::~ControlsFixture() {
    armarios.reset();
    tipos.reset();
    inst.reset();
    gestores.reset();
}

void ControlsFixture::exec(const QStringList &statements) {
    auto a = tdb.attach();
    for (const QString &sql : statements)
        a->exec(sql);
    a->transaction->commit();
    transaction.commit();
    transaction.start();
}

void ControlsFixture::addGestores(const QStringList &names) {
    QStringList sql;
    for (int i = 0; i < names.size(); ++i)
        sql << QStringLiteral(
                   "insert into GESTORES (ID, NOMBRE, EMAIL) values (%1, '%2', 'g%1@x.es')")
                   .arg(i + 1)
                   .arg(names[i]);
    sql << "alter sequence NGESTOR restart with 1000";
    exec(sql);
}

void ControlsFixture::addInstalaciones(int n) {
    QStringList sql;
    for (int i = 1; i <= n; ++i)
        sql << QStringLiteral(
                   "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO) values (%1, 'E%1', 'N')")
                   .arg(i);
    sql << "alter sequence INSTALACION restart with 1000";
    exec(sql);
}

int ControlsFixture::countInDatabase(const QString &table) {
    auto a = tdb.attach();
    return a->scalar("select count(*) from " + table).toInt();
}

QString errorBox(const QString &shownText) {
    return QStringLiteral("Trelmavondis|") + shownText + QStringLiteral("|error");
}

Form::Form() : layout(new QVBoxLayout(&window)), other(new QLineEdit(&window)) {
    layout->addWidget(other);
    window.resize(600, 400);
}

bool Form::show() {
    window.show();
    return activateAndWait(&window);
}

void clickIndicator(QAbstractButton *button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}
