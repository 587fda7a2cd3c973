#include "search/NombresLocalidad.h"

NombresLocalidad::NombresLocalidad(db::Transaction &transaccion) : m_consulta(transaccion) {}

QVariant NombresLocalidad::nombre(const QString &provincia, const QString &codigo) {
    if (provincia.isEmpty() || codigo.isEmpty())
        return QVariant();
    const QHash<QString, QString> &nombres = delMunicipio(provincia, codigo.left(3));
    const auto it = nombres.constFind(codigo);
    return it == nombres.constEnd() ? QVariant() : QVariant(*it);
}

const QHash<QString, QString> &NombresLocalidad::delMunicipio(const QString &provincia,
                                                              const QString &prefijo) {
    const QString clave = provincia + u'|' + prefijo;
    if (const auto it = m_municipios.constFind(clave); it != m_municipios.constEnd())
        return *it;
    if (!m_consulta.prepared())
        m_consulta.prepare(
            QStringLiteral("select CODIGO_ENTIDAD_POBLACION, NOMBRE_ENTIDAD_POBLACION from "
                           "VORTAN_ENTIDAD_POBLACION where CODIGO_PROVINCIA = :PROVINCIA and "
                           "CODIGO_ENTIDAD_POBLACION starting with :PREFIJO"));
    m_consulta.setParam(QStringLiteral("PROVINCIA"), provincia);
    m_consulta.setParam(QStringLiteral("PREFIJO"), prefijo);
    m_consulta.openCursor();
    QHash<QString, QString> nombres;
    while (m_consulta.fetch())
        nombres.insert(m_consulta.value(0).toString(), m_consulta.value(1).toString());
    m_consulta.closeCursor();
    return m_municipios[clave] = std::move(nombres);
}
