#include "tests/platform/controls/ControlsFixture.h"

#include "tests/common/WindowWait.h"

#include <QtTest>

using db::FieldType;
using db::RecordSet;

ControlsFixture::ControlsFixture() {
    database.databaseName = tdb.connectionString();
    database.params = tdb.params();
    database.open();
    transaction.start();

    gestores = std::make_unique<RecordSet>(transaction, QStringLiteral("DSgestores"));
    RecordSet &g = *gestores;
    g.selectSql = {"select * from GESTORES", "order by Nombre"};
    g.setTableStatements("GESTORES", {"ID", "NOMBRE", "EMAIL", "TELEFONO"});
    g.generatorName = "NGESTOR";
    g.addField("ID", FieldType::Integer, 0, true);
    g.addField("NOMBRE", FieldType::String, 250);
    g.addField("EMAIL", FieldType::String, 250, true);
    g.addField("TELEFONO", FieldType::String, 25);
    sGestores.setDataSet(&g);

    inst = std::make_unique<RecordSet>(transaction, QStringLiteral("DSinstalacion"));
    RecordSet &i = *inst;
    const QString cols = "ID, EXPEDIENTE, ENVIADO, GESTOR, POTENCIA, FECHA, LINEAGENERAL_MATERIAL, "
                         "SOLICITANTE_NOMBRE, SOLICITANTE_NOTA";
    i.selectSql = {"select " + cols + " from INSTALACION", "", "order by id"};
    i.setTableStatements("INSTALACION", cols.split(", "));
    i.generatorName = "INSTALACION";
    i.addField("ID", FieldType::Integer, 0, true);
    i.addField("EXPEDIENTE", FieldType::String, 25, true).editMask = "0000000000;0;_";
    i.addField("ENVIADO", FieldType::FixedChar, 1, true);
    i.addField("GESTOR", FieldType::Integer);
    i.addField("POTENCIA", FieldType::Float).displayFormat = "#,##0.00";
    i.addField("FECHA", FieldType::DateTime).displayFormat = "dd/mm/yyyy";
    i.addField("LINEAGENERAL_MATERIAL", FieldType::String, 25);
    i.addField("SOLICITANTE_NOMBRE", FieldType::String, 250);
    i.addField("SOLICITANTE_NOTA", FieldType::String, 250);
    i.addLookupField("Ngestor", FieldType::String, 250, "GESTOR", g, "ID", "NOMBRE");
    i.onNewRecord = [](RecordSet &r) { r["ENVIADO"].setValue("N"); };
    sInst.setDataSet(&i);

    tipos = std::make_unique<RecordSet>(transaction, QStringLiteral("Qtipoarmario"));
    tipos->selectSql = {"select * from TIPO_ARMARIO", "order by descripcion"};
    sTipos.setDataSet(tipos.get());

    armarios = std::make_unique<RecordSet>(transaction, QStringLiteral("DSarmarios"));
    RecordSet &a = *armarios;
    a.selectSql = {"select * from INSTALACION_ARMARIO", "order by ID"};
    a.setTableStatements("INSTALACION_ARMARIO", {"ID", "INSTALACION", "TIPO", "N_COLUMNAS"});
    a.generatorName = "INSTALACION_ARMARIO";
    a.addField("ID", FieldType::Integer, 0, true);
    a.addField("INSTALACION", FieldType::Integer, 0, true);
    a.addField("TIPO", FieldType::Integer);
    a.addField("N_COLUMNAS", FieldType::Integer);
    a.addLookupField("Ntipo", FieldType::String, 250, "TIPO", *tipos, "ID", "DESCRIPCION");
    a.onNewRecord = [](RecordSet &r) { r["INSTALACION"].setValue(1); };
    sArmarios.setDataSet(&a);
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

void typeText(QWidget *widget, const QString &text) {
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}
