#include "db/StoredProcedure.h"

namespace db {

StoredProcedure::StoredProcedure(Transaction &transaction, QString procedureName)
    : m_transaction(transaction), m_procedure(std::move(procedureName)), m_statement(transaction) {}

void StoredProcedure::setParam(const QString &name, const QVariant &value) {
    m_inputs[name.toUpper()] = value;
}

QVariant StoredProcedure::param(const QString &name) const {
    const QString key = name.toUpper();
    return m_outputs.contains(key) ? m_outputs.value(key) : m_inputs.value(key);
}

void StoredProcedure::prepare() {
    if (m_statement.prepared())
        return;
    Statement names(m_transaction);
    names.prepare(QStringLiteral("select trim(rdb$parameter_name) from rdb$procedure_parameters "
                                 "where rdb$procedure_name = :NAME and rdb$parameter_type = 0 "
                                 "order by rdb$parameter_number"));
    names.setParam(QStringLiteral("NAME"), m_procedure.toUpper());
    names.openCursor();
    QStringList inputs;
    while (names.fetch())
        inputs << QLatin1Char(':') + names.value(0).toString();
    QString sql = QStringLiteral("EXECUTE PROCEDURE ") + m_procedure;
    if (!inputs.isEmpty())
        sql += QLatin1Char(' ') + inputs.join(QStringLiteral(", "));
    m_statement.prepare(sql);
}

void StoredProcedure::execProc() {
    prepare();
    for (int i = 0; i < m_statement.paramCount(); ++i)
        m_statement.setParam(i, m_inputs.value(m_statement.paramNames().at(i)));
    m_statement.execute();
    m_outputs.clear();
    for (int i = 0; i < m_statement.columns().size(); ++i)
        m_outputs[m_statement.columns().at(i).name.toUpper()] = m_statement.value(i);
}

} // namespace db
