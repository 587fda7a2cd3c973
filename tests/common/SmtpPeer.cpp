#include "tests/common/SmtpPeer.h"

#include <QFile>
#include <QJsonDocument>

QString SmtpPeer::defaultCertificate() {
    return QStringLiteral(TRELMA_SMTP_PEER_DIR "/peer-cert.pem");
}

SmtpPeer::SmtpPeer(const QString &mode, const QString &certificate, const QString &key) {
    QStringList arguments = {QStringLiteral(TRELMA_SMTP_PEER_DIR "/smtp_peer.py"), m_dir.path(),
                             mode};
    if (mode == QLatin1String("tls")) {
        arguments << (certificate.isEmpty() ? defaultCertificate() : certificate)
                  << (key.isEmpty() ? QStringLiteral(TRELMA_SMTP_PEER_DIR "/peer-key.pem") : key);
    }
    m_process.start(QStringLiteral(TRELMA_PYTHON3), arguments);
    // The peer's first line is its port.
    while (!m_process.canReadLine() && m_process.waitForReadyRead(30000)) {
    }
    if (m_process.canReadLine())
        m_port = quint16(m_process.readLine().trimmed().toUInt());
}

SmtpPeer::~SmtpPeer() {
    m_process.kill();
    m_process.waitForFinished();
}

QByteArray SmtpPeer::file(const QString &name) const {
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList SmtpPeer::commands() const {
    QStringList lines = QString::fromUtf8(file(QStringLiteral("commands.txt")))
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines;
}

bool SmtpPeer::hasMessage() const {
    return QFile::exists(m_dir.filePath("message.eml"));
}

QByteArray SmtpPeer::rawMessage() const {
    return file(QStringLiteral("message.eml"));
}

QJsonObject SmtpPeer::envelope() const {
    return QJsonDocument::fromJson(file(QStringLiteral("envelope.json"))).object();
}

QJsonObject SmtpPeer::summary() const {
    return QJsonDocument::fromJson(file(QStringLiteral("message.json"))).object();
}

QString SmtpPeer::errors() {
    return QString::fromUtf8(m_process.readAllStandardError());
}

namespace {

// Elliptic-curve keys: quick to make.
const QStringList NewKey = {
    QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
    QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};

} // namespace

TestAuthority::TestAuthority() {
    m_valid = m_dir.isValid() &&
              openssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + NewKey +
                      QStringList{QStringLiteral("-keyout"), m_dir.filePath("ca-key.pem"),
                                  QStringLiteral("-out"), certificate(), QStringLiteral("-days"),
                                  QStringLiteral("3650"), QStringLiteral("-subj"),
                                  QStringLiteral("/CN=Autoridad de pruebas Trelmavondis"),
                                  QStringLiteral("-addext"),
                                  QStringLiteral("basicConstraints=critical,CA:TRUE"),
                                  QStringLiteral("-addext"),
                                  QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")});
}

bool TestAuthority::openssl(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral("openssl"), arguments);
    const bool done = process.waitForFinished(60000);
    if (done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    m_errors += QString::fromLocal8Bit(process.readAllStandardError()) + process.errorString();
    return false;
}

TestAuthority::Issued TestAuthority::issue(const QString &name, const QString &altNames, int days) {
    const Issued issued{m_dir.filePath(name + QStringLiteral(".pem")),
                        m_dir.filePath(name + QStringLiteral("-key.pem"))};
    const QString request = m_dir.filePath(name + QStringLiteral(".csr"));
    const QString extensions = m_dir.filePath(name + QStringLiteral(".ext"));
    QFile ext(extensions);
    if (!ext.open(QIODevice::WriteOnly) ||
        ext.write("subjectAltName=" + altNames.toLatin1() + "\n") < 0)
        return {};
    ext.close();
    const bool ok =
        openssl(QStringList{QStringLiteral("req")} + NewKey +
                QStringList{QStringLiteral("-keyout"), issued.key, QStringLiteral("-out"), request,
                            QStringLiteral("-subj"), QStringLiteral("/CN=") + name}) &&
        openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), request,
                 QStringLiteral("-CA"), certificate(), QStringLiteral("-CAkey"),
                 m_dir.filePath("ca-key.pem"), QStringLiteral("-CAcreateserial"),
                 QStringLiteral("-days"), QString::number(days), QStringLiteral("-extfile"),
                 extensions, QStringLiteral("-out"), issued.certificate});
    return ok ? issued : Issued{};
}
