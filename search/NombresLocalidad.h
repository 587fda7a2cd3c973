#pragma once

#include "db/Statement.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <unordered_map>

// Names of municipalities and population entities over the whole reference table, found by
// province and code together (a code is unique only within its province). A municipality and
// its entities share the first three characters of their codes: the first row that asks for
// one of them reads that group's names in one query, and they are kept. The program never
// writes the reference tables, and like the data module's lists they are read once in a run.
//
// A listing of every installation asks for nearly the whole table (some 60,000 names at
// country scale), so the names are kept compactly: one table per province, keyed by the code
// as a number where it is one.
class NombresLocalidad {
public:
    explicit NombresLocalidad(db::Transaction &transaccion);

    // The name of the row with that province and code; null when either is empty or no row
    // has them.
    QVariant nombre(const QString &provincia, const QString &codigo);

private:
    // Codes and prefixes of digits only are kept as numbers, any other as text.
    struct Provincia {
        QHash<qint64, QString> porNumero;
        QHash<QString, QString> porTexto;
        QSet<qint64> grupos; // prefixes whose names have been read
        QSet<QString> gruposTexto;
    };
    Provincia &provincia(const QString &codigo);
    void leerGrupo(const QString &provincia, Provincia &p, QStringView prefijo);

    db::Statement m_consulta;
    std::unordered_map<QString, Provincia> m_provincias; // nodes stay where they are
    // Consecutive rows are often of one province.
    QString m_ultimoCodigo;
    Provincia *m_ultima = nullptr;
};
