#pragma once

#include "db/Statement.h"

#include <QMap>
#include <QString>
#include <QVariant>

namespace db {

// Executes a stored procedure with input parameters and reads its output parameters.
class StoredProcedure {
public:
    StoredProcedure(Transaction &transaction, QString procedureName);
    void setParam(const QString &name, const QVariant &value);
    void execProc();
    QVariant param(const QString &name) const; // an output after execProc, or an input

private:
    void prepare();
    Transaction &m_transaction;
    QString m_procedure;
    Statement m_statement;
    QMap<QString, QVariant> m_inputs;
    QMap<QString, QVariant> m_outputs;
};

} // namespace db
