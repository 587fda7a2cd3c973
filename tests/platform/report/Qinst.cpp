#include "tests/platform/report/Qinst.h"

using db::FieldType;

std::unique_ptr<db::RecordSet> makeQinst(TDatos &d, const QString &filter) {
    auto q = std::make_unique<db::RecordSet>(d.IBTrans(), QStringLiteral("Qinst"));
    q->selectSql = {
        QStringLiteral("select EXPEDIENTE, ENVIADO, FECHA, ID, LOCALIZA_CODIGO_PROVINCIA, "
                       "LOCALIZA_ESCALERA, LOCALIZA_PISO, LOCALIZA_PORTAL, "
                       "LOCALIZA_PUERTA, LOCALIZA_TIPOBIS, LOCALIZA_BIS, "
                       "LOCALIZA_CODIGO_POSTAL, LOCALIZA_CODIGO_MUNICIPIO, "
                       "LOCALIZA_COD_ENTIDAD_POBLAC, LOCALIZA_CALLE from INSTALACION"),
        filter, QStringLiteral("order by ID")};
    q->addField(QStringLiteral("EXPEDIENTE"), FieldType::String, 25);
    q->addField(QStringLiteral("ENVIADO"), FieldType::FixedChar, 1);
    q->addField(QStringLiteral("FECHA"), FieldType::DateTime).displayFormat =
        QStringLiteral("dd/mm/yyyy");
    q->addField(QStringLiteral("ID"), FieldType::Integer);
    for (const char *f :
         {"LOCALIZA_CODIGO_PROVINCIA", "LOCALIZA_ESCALERA", "LOCALIZA_PISO", "LOCALIZA_PORTAL",
          "LOCALIZA_PUERTA", "LOCALIZA_BIS", "LOCALIZA_CODIGO_POSTAL", "LOCALIZA_CODIGO_MUNICIPIO",
          "LOCALIZA_COD_ENTIDAD_POBLAC"})
        q->addField(QLatin1String(f), FieldType::String, 25);
    q->addField(QStringLiteral("LOCALIZA_TIPOBIS"), FieldType::Integer);
    q->addField(QStringLiteral("LOCALIZA_CALLE"), FieldType::String, 250);
    q->addLookupField(QStringLiteral("Nmunicipio"), FieldType::String, 250,
                      QStringLiteral("LOCALIZA_CODIGO_MUNICIPIO"), d.Qmunicipios(),
                      QStringLiteral("CODIGO_ENTIDAD_POBLACION"),
                      QStringLiteral("NOMBRE_ENTIDAD_POBLACION"));
    q->addLookupField(QStringLiteral("Ntipobis"), FieldType::String, 250,
                      QStringLiteral("LOCALIZA_TIPOBIS"), d.QtipoBis(), QStringLiteral("ID"),
                      QStringLiteral("DESCRIPCION"));
    q->addLookupField(QStringLiteral("Nentidadpoblacion"), FieldType::String, 250,
                      QStringLiteral("LOCALIZA_COD_ENTIDAD_POBLAC"), d.Qentidadespoblacion(),
                      QStringLiteral("CODIGO_ENTIDAD_POBLACION"),
                      QStringLiteral("NOMBRE_ENTIDAD_POBLACION"));
    q->addCalculatedField(QStringLiteral("Localizacion"), FieldType::String, 250);
    q->onCalcFields = [](db::RecordSet &r) {
        auto s = [&r](const char *f) { return r[QLatin1String(f)].asString(); };
        r["Localizacion"].setValue(s("LOCALIZA_CODIGO_PROVINCIA") + " " + s("Nmunicipio") + " - " +
                                   s("Nentidadpoblacion") + " - " + s("LOCALIZA_CALLE") + ", " +
                                   s("LOCALIZA_PORTAL") + " " + s("Ntipobis") + " " +
                                   s("LOCALIZA_BIS") + ", " + s("LOCALIZA_ESCALERA") + " " +
                                   s("LOCALIZA_PISO") + " " + s("LOCALIZA_PUERTA") + " (" +
                                   s("LOCALIZA_CODIGO_POSTAL") + ")");
    };
    return q;
}
