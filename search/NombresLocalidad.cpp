#include "search/NombresLocalidad.h"

namespace {

// A code of at most 17 digits as a number that keeps its length (so that "01" and "1" stay
// apart); -1 for any other code.
qint64 numero(QStringView codigo) {
    if (codigo.size() > 17)
        return -1;
    qint64 n = 0;
    for (QChar c : codigo) {
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n * 32 + codigo.size();
}

} // namespace

NombresLocalidad::NombresLocalidad(db::Transaction &transaccion) : m_consulta(transaccion) {}

NombresLocalidad::Provincia &NombresLocalidad::provincia(const QString &codigo) {
    if (m_ultima && codigo == m_ultimoCodigo)
        return *m_ultima;
    m_ultimoCodigo = codigo;
    m_ultima = &m_provincias[codigo];
    return *m_ultima;
}

QVariant NombresLocalidad::nombre(const QString &provincia, const QString &codigo) {
    if (provincia.isEmpty() || codigo.isEmpty())
        return QVariant();
    Provincia &p = this->provincia(provincia);
    const QStringView prefijo = QStringView(codigo).left(3);
    const qint64 grupo = numero(prefijo);
    if (grupo >= 0 ? !p.grupos.contains(grupo) : !p.gruposTexto.contains(prefijo.toString()))
        leerGrupo(provincia, p, prefijo);
    if (const qint64 n = numero(codigo); n >= 0) {
        const auto it = p.porNumero.constFind(n);
        return it == p.porNumero.constEnd() ? QVariant() : QVariant(*it);
    }
    const auto it = p.porTexto.constFind(codigo);
    return it == p.porTexto.constEnd() ? QVariant() : QVariant(*it);
}

void NombresLocalidad::leerGrupo(const QString &provincia, Provincia &p, QStringView prefijo) {
    if (!m_consulta.prepared())
        m_consulta.prepare(
            QStringLiteral("select CODIGO_ENTIDAD_POBLACION, NOMBRE_ENTIDAD_POBLACION from "
                           "VORTAN_ENTIDAD_POBLACION where CODIGO_PROVINCIA = :PROVINCIA and "
                           "CODIGO_ENTIDAD_POBLACION starting with :PREFIJO"));
    m_consulta.setParam(QStringLiteral("PROVINCIA"), provincia);
    m_consulta.setParam(QStringLiteral("PREFIJO"), prefijo.toString());
    m_consulta.openCursor();
    while (m_consulta.fetch()) {
        const QString codigo = m_consulta.value(0).toString();
        const QString nombre = m_consulta.value(1).toString();
        if (const qint64 n = numero(codigo); n >= 0)
            p.porNumero.insert(n, nombre);
        else
            p.porTexto.insert(codigo, nombre);
    }
    m_consulta.closeCursor();
    if (const qint64 grupo = numero(prefijo); grupo >= 0)
        p.grupos.insert(grupo);
    else
        p.gruposTexto.insert(prefijo.toString());
}
