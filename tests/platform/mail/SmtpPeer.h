#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The SMTP peer of smtp_peer.py, started in a mode for one test and stopped by the destructor.
class SmtpPeer {
public:
    explicit SmtpPeer(const QString &mode);
    ~SmtpPeer();
    SmtpPeer(const SmtpPeer &) = delete;
    SmtpPeer &operator=(const SmtpPeer &) = delete;

    bool started() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    // What the peer wrote down (see smtp_peer.py); empty when it has not written it.
    QStringList commands() const;
    bool hasMessage() const;
    QByteArray rawMessage() const;
    QJsonObject envelope() const;
    QJsonObject summary() const;
    QByteArray file(const QString &name) const;
    QString errors();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};
