#include "tests/common/TestDatabase.h"

#include "data/SqlScript.h"
#include "db/Statement.h"

#include <QFile>
#include <QtTest>

namespace {

QString serverHost() {
    return qEnvironmentVariable("TRELMA_TEST_SERVER");
}

QString serverPassword() {
    const QString p = qEnvironmentVariable("TRELMA_TEST_PASSWORD");
    return p.isEmpty() ? QStringLiteral("masterkey") : p;
}

void openToAll(const QString &path, bool directory) {
    QFile::setPermissions(path, directory ? QFileDevice::Permissions(0x7777)
                                          : QFileDevice::Permissions(0x6666));
}

// One template per test run and kind; creating a database costs far more than copying it.
const QString &templatePath(bool demo) {
    static QTemporaryDir dir;
    static QString paths[2];
    QString &path = paths[demo ? 1 : 0];
    if (path.isEmpty()) {
        openToAll(dir.path(), true);
        const QString file =
            dir.filePath(demo ? QStringLiteral("demo.fdb") : QStringLiteral("plantilla.fdb"));
        // Made with the embedded engine even for the server runs: the file is then ours to
        // copy, and each copy is opened to the server's own user.
        schema::createDatabase(file, QStringLiteral("SYSDBA"), serverPassword(), demo);
        openToAll(file, false);
        path = file;
    }
    return path;
}

} // namespace

TestDatabase::TestDatabase(bool withDemoData) {
    if (!m_dir.isValid())
        qFatal("No se puede crear una carpeta temporal");
    openToAll(m_dir.path(), true);
    m_path = m_dir.filePath(QStringLiteral("prueba.fdb"));
    if (!QFile::copy(templatePath(withDemoData), m_path))
        qFatal("No se puede copiar la base de datos de plantilla");
    openToAll(m_path, false);
}

TestDatabase::~TestDatabase() = default;

bool TestDatabase::viaServer() const {
    return !serverHost().isEmpty();
}

QString TestDatabase::connectionString() const {
    return viaServer() ? serverHost() + u':' + m_path : m_path;
}

QString TestDatabase::user() const {
    return QStringLiteral("SYSDBA");
}
QString TestDatabase::password() const {
    return serverPassword();
}

QStringList TestDatabase::params() const {
    return {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=") + user(),
            QStringLiteral("password=") + password()};
}

void TestDatabase::open(db::Database &database) const {
    database.databaseName = connectionString();
    database.params = params();
    database.open();
}

void TestDatabase::seed(const QStringList &sql, Keys keys) const {
    if (sql.isEmpty())
        return;
    auto a = attach();
    for (const QString &s : sql)
        a->exec(s);
    if (keys == Keys::From1000)
        for (const char *g : {"INSTALACION", "INSTALACION_ARMARIO", "INSTALACION_DERIVACION",
                              "NINSTALCION_ADJUNTOS", "INSTALADOR", "NGESTOR"})
            a->exec(QStringLiteral("alter sequence %1 restart with 1000").arg(QLatin1String(g)));
    a->transaction->commit();
}

std::unique_ptr<TestDatabase::Attachment> TestDatabase::attach() const {
    auto a = std::make_unique<Attachment>();
    open(a->database);
    a->transaction = std::make_unique<db::Transaction>(a->database);
    a->transaction->start();
    return a;
}

QVariant TestDatabase::Attachment::scalar(const QString &sql) {
    db::Statement st(*transaction);
    st.prepare(sql);
    st.execute();
    return st.value(0);
}

void TestDatabase::Attachment::exec(const QString &sql) {
    db::Statement st(*transaction);
    st.prepare(sql);
    st.execute();
}

QString errorOf(const std::function<void()> &f) {
    try {
        f();
    } catch (const db::DatabaseError &e) {
        return e.message();
    }
    return QString();
}
