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
