#include "data/SqlScript.h"

#include "db/Connection.h"
#include "db/Statement.h"

#include <QFile>
#include <QRegularExpression>

namespace schema {

QStringList splitScript(const QString &script) {
    QStringList out;
    QString term = QStringLiteral(";");
    QString current;
    const qsizetype n = script.size();
    static const QRegularExpression setTerm(QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*"),
                                            QRegularExpression::CaseInsensitiveOption);
    for (qsizetype i = 0; i < n;) {
        const QChar c = script.at(i);
        if (c == u'\'' || c == u'"') {
            const qsizetype end = script.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end + 1;
            current += QStringView(script).mid(i, stop - i);
            i = stop;
        } else if (c == u'-' && i + 1 < n && script.at(i + 1) == u'-') {
            const qsizetype end = script.indexOf(u'\n', i);
            i = end < 0 ? n : end;
        } else if (c == u'/' && i + 1 < n && script.at(i + 1) == u'*') {
            const qsizetype end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (QStringView(script).mid(i).startsWith(term)) {
            const QString statement = current.trimmed();
            current.clear();
            i += term.size();
            const auto m = setTerm.match(statement);
            if (m.hasMatch()) {
                QString t = m.captured(1);
                // "SET TERM ^ ;" ends with the old terminator, which the match may include.
                if (t.endsWith(term) && t.size() > term.size())
                    t.chop(term.size());
                term = t;
            } else if (!statement.isEmpty()) {
                out << statement;
            }
        } else {
            current += c;
            ++i;
        }
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

void runScript(db::Database &database, const QString &script) {
    static const QRegularExpression ddl(
        QStringLiteral("^(CREATE|ALTER|DROP|RECREATE|DECLARE|COMMENT|GRANT|REVOKE)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    db::Transaction tr(database);
    tr.start();
    for (const QString &statement : splitScript(script)) {
        db::Statement st(tr);
        try {
            st.prepare(statement, false);
            st.execute();
        } catch (const db::DatabaseError &e) {
            throw db::DatabaseError(e.message() + QStringLiteral("\n--- en la sentencia:\n") +
                                    statement.left(400));
        }
        if (ddl.match(statement).hasMatch())
            tr.commitRetaining();
    }
    tr.commit();
}

QStringList schemaScripts(bool withDemoData) {
    QStringList s{QStringLiteral(":/schema/01_schema.sql"),
                  QStringLiteral(":/schema/02_reference.sql")};
    if (withDemoData)
        s << QStringLiteral(":/schema/03_demo.sql");
    return s;
}

QString readScript(const QString &resourcePath) {
    QFile f(resourcePath);
    if (!f.open(QIODevice::ReadOnly))
        throw db::DatabaseError(QStringLiteral("No se puede leer %1").arg(resourcePath));
    return QString::fromUtf8(f.readAll());
}

void createDatabase(const QString &databaseName, const QString &user, const QString &password,
                    bool withDemoData) {
    db::Database::create(databaseName, user, password);
    db::Database database;
    database.databaseName = databaseName;
    database.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=") + user,
                       QStringLiteral("password=") + password};
    database.open();
    for (const QString &script : schemaScripts(withDemoData))
        runScript(database, readScript(script));
    database.close();
}

} // namespace schema
