#include "tests/common/TestRecordSets.h"

using db::FieldType;
using db::RecordSet;

std::unique_ptr<RecordSet> gestoresSet(db::Transaction &transaction) {
    auto g = std::make_unique<RecordSet>(transaction, QStringLiteral("DSgestores"));
    g->selectSql = {"select * from GESTORES", "order by Nombre"};
    g->setTableStatements("GESTORES", {"ID", "NOMBRE", "EMAIL", "TELEFONO"});
    g->generatorName = "NGESTOR";
    g->addField("ID", FieldType::Integer, 0, true);
    g->addField("NOMBRE", FieldType::String, 250);
    g->addField("EMAIL", FieldType::String, 250, true);
    g->addField("TELEFONO", FieldType::String, 25);
    return g;
}

std::unique_ptr<RecordSet> instalacionesSet(db::Transaction &transaction, RecordSet &gestores) {
    auto i = std::make_unique<RecordSet>(transaction, QStringLiteral("DSinstalacion"));
    const QString cols = "ID, EXPEDIENTE, ENVIADO, GESTOR, POTENCIA, FECHA, LINEAGENERAL_MATERIAL, "
                         "SOLICITANTE_NOMBRE, SOLICITANTE_NOTA";
    i->selectSql = {"select " + cols + " from INSTALACION", "", "order by id"};
    i->setTableStatements("INSTALACION", cols.split(", "));
    i->generatorName = "INSTALACION";
    i->addField("ID", FieldType::Integer, 0, true);
    i->addField("EXPEDIENTE", FieldType::String, 25, true).editMask = "0000000000;0;_";
    i->addField("ENVIADO", FieldType::FixedChar, 1, true);
    i->addField("GESTOR", FieldType::Integer);
    i->addField("POTENCIA", FieldType::Float).displayFormat = "#,##0.00";
    i->addField("FECHA", FieldType::DateTime).displayFormat = "dd/mm/yyyy";
    i->addField("LINEAGENERAL_MATERIAL", FieldType::String, 25);
    i->addField("SOLICITANTE_NOMBRE", FieldType::String, 250);
    i->addField("SOLICITANTE_NOTA", FieldType::String, 250);
    i->addLookupField("Ngestor", FieldType::String, 250, "GESTOR", gestores, "ID", "NOMBRE");
    i->onNewRecord = [](RecordSet &r) { r["ENVIADO"].setValue("N"); };
    return i;
}

std::unique_ptr<RecordSet> tiposArmarioSet(db::Transaction &transaction) {
    auto t = std::make_unique<RecordSet>(transaction, QStringLiteral("Qtipoarmario"));
    t->selectSql = {"select * from TIPO_ARMARIO", "order by descripcion"};
    return t;
}

std::unique_ptr<RecordSet> armariosSet(db::Transaction &transaction, RecordSet &tipos) {
    auto a = std::make_unique<RecordSet>(transaction, QStringLiteral("DSarmarios"));
    a->setTableStatements("INSTALACION_ARMARIO", {"ID", "INSTALACION", "TIPO", "N_COLUMNAS"});
    a->generatorName = "INSTALACION_ARMARIO";
    a->addField("ID", FieldType::Integer, 0, true);
    a->addField("INSTALACION", FieldType::Integer, 0, true);
    a->addField("TIPO", FieldType::Integer);
    a->addField("N_COLUMNAS", FieldType::Integer);
    a->addLookupField("Ntipo", FieldType::String, 250, "TIPO", tipos, "ID", "DESCRIPCION");
    return a;
}
