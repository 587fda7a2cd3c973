#pragma once

#include "db/Statement.h"

#include <QHash>
#include <QString>

// Names of municipalities and population entities over the whole reference table, found by
// province and code together (a code is unique only within its province). A municipality and
// its entities share the first three characters of their codes: the first row that asks for
// one of them reads that group's names in one query, and they are kept. The program never
// writes the reference tables, and like the data module's lists they are read once in a run.
class NombresLocalidad {
public:
    explicit NombresLocalidad(db::Transaction &transaccion);

    // The name of the row with that province and code; null when either is empty or no row
    // has them.
    QVariant nombre(const QString &provincia, const QString &codigo);

private:
    const QHash<QString, QString> &delMunicipio(const QString &provincia, const QString &prefijo);

    db::Statement m_consulta;
    QHash<QString, QHash<QString, QString>> m_municipios; // by province + "|" + prefix
};
