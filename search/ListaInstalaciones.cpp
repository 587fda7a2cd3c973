#include "search/ListaInstalaciones.h"

#include <QStringBuilder>

using db::FieldType;

namespace {

constexpr FieldType I = FieldType::Integer;
constexpr FieldType T = FieldType::String;

bool esMunicipio(const QString &codigo) {
    return codigo.endsWith(QLatin1String("0000"));
}

} // namespace

ListaInstalaciones::ListaInstalaciones(db::Transaction &transaccion, db::RecordSet &tiposBis)
    : ListaInstalaciones(transaccion, tiposBis, std::make_shared<NombresLocalidad>(transaccion)) {}

ListaInstalaciones::ListaInstalaciones(db::Transaction &transaccion, db::RecordSet &tiposBis,
                                       std::shared_ptr<NombresLocalidad> nombres)
    : Qinst(transaccion, QStringLiteral("Qinst")), m_tiposBis(tiposBis),
      m_nombres(std::move(nombres)) {
    db::RecordSet &q = Qinst;
    q.selectSql = {
        QStringLiteral("select EXPEDIENTE, ENVIADO, FECHA, ID, LOCALIZA_CODIGO_PROVINCIA, "
                       "LOCALIZA_ESCALERA, LOCALIZA_PISO, LOCALIZA_PORTAL, LOCALIZA_PUERTA, "
                       "LOCALIZA_TIPOBIS, LOCALIZA_BIS, LOCALIZA_CODIGO_POSTAL, "
                       "LOCALIZA_CODIGO_MUNICIPIO, LOCALIZA_COD_ENTIDAD_POBLAC, LOCALIZA_CALLE "
                       "from INSTALACION"),
        QString(), QStringLiteral("order by ID")};
    q.addField(QStringLiteral("EXPEDIENTE"), T, 25);
    q.addField(QStringLiteral("ENVIADO"), FieldType::FixedChar, 1);
    q.addField(QStringLiteral("FECHA"), FieldType::DateTime).displayFormat =
        QStringLiteral("dd/mm/yyyy");
    q.addField(QStringLiteral("ID"), I);
    for (const char *campo : {"LOCALIZA_CODIGO_PROVINCIA", "LOCALIZA_ESCALERA", "LOCALIZA_PISO",
                              "LOCALIZA_PORTAL", "LOCALIZA_PUERTA"})
        q.addField(QLatin1String(campo), T, 25);
    q.addField(QStringLiteral("LOCALIZA_TIPOBIS"), I);
    for (const char *campo : {"LOCALIZA_BIS", "LOCALIZA_CODIGO_POSTAL", "LOCALIZA_CODIGO_MUNICIPIO",
                              "LOCALIZA_COD_ENTIDAD_POBLAC"})
        q.addField(QLatin1String(campo), T, 25);
    q.addField(QStringLiteral("LOCALIZA_CALLE"), T, 250);

    m_municipio = &q.addCalculatedField(QStringLiteral("Nmunicipio"), T, 250);
    q.addLookupField(QStringLiteral("Ntipobis"), T, 250, QStringLiteral("LOCALIZA_TIPOBIS"),
                     tiposBis, QStringLiteral("ID"), QStringLiteral("DESCRIPCION"));
    m_entidad = &q.addCalculatedField(QStringLiteral("Nentidadpoblacion"), T, 250);
    m_localizacion = &q.addCalculatedField(QStringLiteral("Localizacion"), T, 250);

    const char *partes[] = {"LOCALIZA_CODIGO_PROVINCIA",
                            "LOCALIZA_CODIGO_MUNICIPIO",
                            "LOCALIZA_COD_ENTIDAD_POBLAC",
                            "LOCALIZA_CALLE",
                            "LOCALIZA_PORTAL",
                            "Ntipobis",
                            "LOCALIZA_BIS",
                            "LOCALIZA_ESCALERA",
                            "LOCALIZA_PISO",
                            "LOCALIZA_PUERTA",
                            "LOCALIZA_CODIGO_POSTAL"};
    for (size_t i = 0; i < m_partes.size(); ++i)
        m_partes[i] = &q.field(QLatin1String(partes[i]));
    q.onCalcFields = [this](db::RecordSet &r) { QinstCalcFields(r); };
}

std::unique_ptr<ListaInstalaciones> ListaInstalaciones::paraListado() const {
    std::unique_ptr<ListaInstalaciones> copia(
        new ListaInstalaciones(Qinst.transaction(), m_tiposBis, m_nombres));
    copia->Qinst.selectSql[LineaFiltro] = filtro();
    copia->Qinst.setUnidirectional(true);
    return copia;
}

void ListaInstalaciones::abrir(const QString &filtro) {
    Qinst.close();
    Qinst.selectSql[LineaFiltro] = filtro;
    Qinst.open();
}

QString ListaInstalaciones::localizacion(const QString &provincia, const QString &municipio,
                                         const QString &entidad, const QString &calle,
                                         const QString &portal, const QString &tipoBis,
                                         const QString &bis, const QString &escalera,
                                         const QString &piso, const QString &puerta,
                                         const QString &codigoPostal) {
    // Built in one allocation: it is made for every row of the list.
    const QLatin1String guion(" - "), coma(", ");
    return provincia % u' ' % municipio % guion % entidad % guion % calle % coma % portal % u' ' %
           tipoBis % u' ' % bis % coma % escalera % u' ' % piso % u' ' % puerta %
           QLatin1String(" (") % codigoPostal % u')';
}

void ListaInstalaciones::QinstCalcFields(db::RecordSet &) {
    std::array<QString, 11> t;
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = m_partes[i]->asString();
    const QString &provincia = t[0];
    const QVariant municipio = esMunicipio(t[1]) ? m_nombres->nombre(provincia, t[1]) : QVariant();
    const QVariant entidad = esMunicipio(t[2]) ? QVariant() : m_nombres->nombre(provincia, t[2]);
    m_municipio->setValue(municipio);
    m_entidad->setValue(entidad);
    QString texto = localizacion(provincia, municipio.toString(), entidad.toString(), t[3], t[4],
                                 t[5], t[6], t[7], t[8], t[9], t[10]);
    // A text field keeps as many characters as its size.
    if (texto.size() > m_localizacion->size())
        texto.truncate(m_localizacion->size());
    m_localizacion->setValue(texto);
}
