#include "platform/config/Settings.h"

#include <QtTest>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

using platform::Settings;

// The settings store is pointed at a folder of the test's own through
// XDG_CONFIG_DIRS; each case writes (or removes) Nirvelo/Trelmavondis.conf.
class TestConfiguracion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void reads_data();
    void reads();
    void rereadsChangedFile();
    void readingAgainReplacesValues();
    void clearEmptiesValues();
    void storeFileIsTheSystemOne();
    void readsMailSettings_data();
    void readsMailSettings();

private:
    QString confPath() const { return dir_.path() + QStringLiteral("/Nirvelo/Trelmavondis.conf"); }
    QString organisationPath() const { return dir_.path() + QStringLiteral("/Nirvelo.conf"); }
    void write(const QString &path, const QByteArray &content);

    QTemporaryDir dir_;
    int writes_ = 0;
};

void TestConfiguracion::initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("Nirvelo")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(dir_.path()));
}

void TestConfiguracion::init() {
    QFile::remove(confPath());
    QFile::remove(organisationPath());
}

void TestConfiguracion::write(const QString &path, const QByteArray &content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
    file.close();
    // QSettings keeps parsed files and re-reads one only when its size or
    // time stamp changed: give every write a time stamp of its own.
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime stamp = QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addSecs(++writes_);
    QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
}

void TestConfiguracion::reads_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("organisationContent");
    QTest::addColumn<QStringList>("values"); // Basededatos, Usuario, Impresos, Directory
    QTest::addColumn<QString>("error");      // empty: no error

    const QString sinBase = Settings::NoDatabase.toString();
    const QByteArray all = "[General]\n"
                           "Basededatos=servidor:/datos/trelma.fdb\n"
                           "Usuario=SYSDBA\n"
                           "Impresos=/srv/impresos\n"
                           "Directory=/srv/informes\n";

    QTest::addRow("missing file") << false << QByteArray() << QByteArray()
                                  << QStringList{"", "", "", ""} << QString();
    QTest::addRow("all four") << true << all << QByteArray()
                              << QStringList{"servidor:/datos/trelma.fdb", "SYSDBA",
                                             "/srv/impresos", "/srv/informes"}
                              << QString();
    QTest::addRow("empty file") << true << QByteArray() << QByteArray()
                                << QStringList{"", "", "", ""} << sinBase;
    QTest::addRow("empty Basededatos")
        << true << QByteArray("[General]\nBasededatos=\nUsuario=ana\nImpresos=/i\nDirectory=/d\n")
        << QByteArray() << QStringList{"", "ana", "/i", "/d"} << sinBase;
    QTest::addRow("missing Basededatos")
        << true << QByteArray("[General]\nUsuario=ana\n") << QByteArray()
        << QStringList{"", "ana", "", ""} << sinBase;
    QTest::addRow("other keys ignored")
        << true << QByteArray("[General]\nBasededatos=/b\nOtro=x, y\n[Otro]\nUsuario=z\n")
        << QByteArray() << QStringList{"/b", "", "", ""} << QString();
    QTest::addRow("list in Usuario")
        << true
        << QByteArray("[General]\nBasededatos=/b\nUsuario=ana, luis\nImpresos=/i\n"
                      "Directory=/d\n")
        << QByteArray() << QStringList{"/b", "", "", ""} << "Invalid data type for 'Usuario'";
    QTest::addRow("list in Basededatos")
        << true << QByteArray("[General]\nBasededatos=a, b\nUsuario=ana\n") << QByteArray()
        << QStringList{"", "", "", ""} << "Invalid data type for 'Basededatos'";
    QTest::addRow("byte array in Impresos")
        << true
        << QByteArray("[General]\nBasededatos=/b\nUsuario=ana\nImpresos=@ByteArray(/i)\n"
                      "Directory=/d\n")
        << QByteArray() << QStringList{"/b", "ana", "", ""} << "Invalid data type for 'Impresos'";
    QTest::addRow("invalid variant in Directory")
        << true << QByteArray("[General]\nBasededatos=/b\nDirectory=@Invalid()\n") << QByteArray()
        << QStringList{"/b", "", "", ""} << "Invalid data type for 'Directory'";
    QTest::addRow("quoted comma is text")
        << true << QByteArray("[General]\nBasededatos=/b\nUsuario=\"ana, luis\"\n") << QByteArray()
        << QStringList{"/b", "ana, luis", "", ""} << QString();
    QTest::addRow("number is text")
        << true << QByteArray("[General]\nBasededatos=/b\nUsuario=1234\n") << QByteArray()
        << QStringList{"/b", "1234", "", ""} << QString();
    QTest::addRow("no expansion") << true
                                  << QByteArray(
                                         "[General]\nBasededatos=$HOME/b.fdb\nImpresos=%TEMP%\n")
                                  << QByteArray() << QStringList{"$HOME/b.fdb", "", "%TEMP%", ""}
                                  << QString();
    QTest::addRow("organisation file not used when missing")
        << false << QByteArray() << QByteArray("[General]\nBasededatos=/org\n")
        << QStringList{"", "", "", ""} << QString();
    QTest::addRow("organisation file not used")
        << true << QByteArray("[General]\nUsuario=ana\n")
        << QByteArray("[General]\nBasededatos=/org\n") << QStringList{"", "ana", "", ""} << sinBase;
}

void TestConfiguracion::reads() {
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, organisationContent);
    QFETCH(QStringList, values);
    QFETCH(QString, error);

    if (present)
        write(confPath(), content);
    if (!organisationContent.isEmpty())
        write(organisationPath(), organisationContent);

    Settings config;
    const std::optional<QString> result = config.read();
    QCOMPARE(result.value_or(QString()), error);
    QCOMPARE(result.has_value(), !error.isEmpty());
    QCOMPARE(config.basededatos(), values.at(0));
    QCOMPARE(config.usuario(), values.at(1));
    QCOMPARE(config.impresos(), values.at(2));
    QCOMPARE(config.directory(), values.at(3));
}

void TestConfiguracion::rereadsChangedFile() {
    // Same size on purpose: only the time stamp tells the files apart.
    write(confPath(), "[General]\nBasededatos=/uno.fdb\n");
    Settings first;
    QVERIFY(!first.read());
    QCOMPARE(first.basededatos(), QStringLiteral("/uno.fdb"));

    write(confPath(), "[General]\nBasededatos=/dos.fdb\n");
    Settings second;
    QVERIFY(!second.read());
    QCOMPARE(second.basededatos(), QStringLiteral("/dos.fdb"));

    QFile::remove(confPath());
    Settings third;
    QVERIFY(!third.read());
    QCOMPARE(third.basededatos(), QString());
}

void TestConfiguracion::readingAgainReplacesValues() {
    write(confPath(), "[General]\nBasededatos=/b\nUsuario=ana\nImpresos=/i\nDirectory=/d\n");
    Settings config;
    QVERIFY(!config.read());
    write(confPath(), "[General]\nBasededatos=/c\nUsuario=a, b\n");
    QCOMPARE(config.read(), std::optional<QString>(Settings::invalidType("Usuario")));
    QCOMPARE(config.basededatos(), QStringLiteral("/c"));
    QCOMPARE(config.usuario(), QString());
    QCOMPARE(config.impresos(), QString());
    QCOMPARE(config.directory(), QString());
}

void TestConfiguracion::clearEmptiesValues() {
    write(confPath(), "[General]\nBasededatos=/b\nUsuario=ana\nImpresos=/i\nDirectory=/d\n");
    Settings config;
    QVERIFY(!config.read());
    QCOMPARE(config.directory(), QStringLiteral("/d"));
    config.clear();
    QCOMPARE(config.basededatos(), QString());
    QCOMPARE(config.usuario(), QString());
    QCOMPARE(config.impresos(), QString());
    QCOMPARE(config.directory(), QString());
}

void TestConfiguracion::storeFileIsTheSystemOne() {
    // The store read is the system-wide file under XDG_CONFIG_DIRS.
    const QSettings store(QSettings::NativeFormat, QSettings::SystemScope,
                          Settings::Organization.toString(), Settings::Application.toString());
    QCOMPARE(QFileInfo(store.fileName()).absoluteFilePath(),
             QFileInfo(confPath()).absoluteFilePath());
    // Nothing is ever written.
    Settings config;
    QVERIFY(!config.read());
    QVERIFY(!QFile::exists(confPath()));
}

void TestConfiguracion::readsMailSettings_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<QString>("error"); // empty: no error

    const QByteArray four = "[General]\nBasededatos=/b\nUsuario=ana\nImpresos=/i\nDirectory=/d\n";
    const QString badLimit =
        QStringLiteral("El valor LimiteCorreoMB de la configuración no es válido: «%1» (debe ser "
                       "un número entero de megabytes, por ejemplo 25)");
    QTest::addRow("missing file") << false << QByteArray() << 25 << QString() << QString();
    QTest::addRow("not set: 25 MB, the system's store alone")
        << true << four << 25 << QString() << QString();
    QTest::addRow("both set")
        << true
        << four + "LimiteCorreoMB=10\nCertificadoCorreo=/srv/oficina/certificados/CA Peña.pem\n"
        << 10 << QStringLiteral("/srv/oficina/certificados/CA Peña.pem") << QString();
    QTest::addRow("a large limit") << true << four + "LimiteCorreoMB=150000\n"
                                   << 150000 << QString() << QString();
    QTest::addRow("words") << true << four + "LimiteCorreoMB=veinte\n"
                           << 25 << QString() << badLimit.arg(QStringLiteral("veinte"));
    QTest::addRow("with its unit")
        << true << four + "LimiteCorreoMB=25 MB\nCertificadoCorreo=/ca.pem\n"
        << 25 << QString() << badLimit.arg(QStringLiteral("25 MB"));
    QTest::addRow("decimals") << true << four + "LimiteCorreoMB=2.5\n"
                              << 25 << QString() << badLimit.arg(QStringLiteral("2.5"));
    QTest::addRow("zero") << true << four + "LimiteCorreoMB=0\n"
                          << 25 << QString() << badLimit.arg(QStringLiteral("0"));
    QTest::addRow("negative") << true << four + "LimiteCorreoMB=-5\n"
                              << 25 << QString() << badLimit.arg(QStringLiteral("-5"));
    QTest::addRow("beyond an int") << true << four + "LimiteCorreoMB=9999999999\n"
                                   << 25 << QString() << badLimit.arg(QStringLiteral("9999999999"));
    QTest::addRow("a list") << true << four + "LimiteCorreoMB=1, 2\n"
                            << 25 << QString() << badLimit.arg(QStringLiteral("1, 2"));
    QTest::addRow("certificate list")
        << true << four + "LimiteCorreoMB=10\nCertificadoCorreo=/a.pem, /b.pem\n"
        << 25 << QString()
        << QStringLiteral("El valor CertificadoCorreo de la configuración no es válido: debe ser "
                          "la ruta de un archivo");
}

// The mail settings beside the four values: defaults when absent, a Spanish message for a
// value that cannot be used (and the defaults kept); the start-up's reading ignores them.
void TestConfiguracion::readsMailSettings() {
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    QFETCH(int, limit);
    QFETCH(QString, certificate);
    QFETCH(QString, error);
    if (present)
        write(confPath(), content);

    Settings::Mail correo;
    correo.limitMB = 7;
    correo.certificate = QStringLiteral("/anterior.pem");
    const std::optional<QString> result = Settings::readMail(correo);
    QCOMPARE(result.value_or(QString()), error);
    QCOMPARE(correo.limitMB, limit);
    QCOMPARE(correo.limitBytes(), qint64(limit) * 1024 * 1024);
    QCOMPARE(correo.certificate, certificate);

    Settings config;
    QCOMPARE(config.read(), std::optional<QString>());
    if (present)
        QCOMPARE(config.directory(), QStringLiteral("/d"));
}

QTEST_GUILESS_MAIN(TestConfiguracion)
#include "tst_configuracion.moc"
