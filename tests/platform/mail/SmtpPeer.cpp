#include "SmtpPeer.h"

#include <QFile>
#include <QJsonDocument>

SmtpPeer::SmtpPeer(const QString &mode) {
    QStringList arguments = {QStringLiteral(TRELMA_MAIL_TEST_DIR "/smtp_peer.py"), m_dir.path(),
                             mode};
    if (mode == QLatin1String("tls")) {
        arguments << QStringLiteral(TRELMA_MAIL_TEST_DIR "/peer-cert.pem")
                  << QStringLiteral(TRELMA_MAIL_TEST_DIR "/peer-key.pem");
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
