#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The SMTP peer of smtp_peer.py, started in a mode for one test and stopped by the destructor.
// Mode "tls" serves STARTTLS with peer-cert.pem unless another certificate and key are given.
class SmtpPeer {
public:
    explicit SmtpPeer(const QString &mode, const QString &certificate = {},
                      const QString &key = {});
    ~SmtpPeer();
    SmtpPeer(const SmtpPeer &) = delete;
    SmtpPeer &operator=(const SmtpPeer &) = delete;

    // The certificate "tls" serves by default (for 127.0.0.1, signed by itself).
    static QString defaultCertificate();

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

// A certificate authority of the test's own, made with the openssl command in a temporary
// folder, and server certificates that it signs.
class TestAuthority {
public:
    struct Issued {
        QString certificate, key;
    };

    // The authority's certificate (CN "Autoridad de pruebas Trelmavondis") and key.
    TestAuthority();
    bool valid() const { return m_valid; }
    QString certificate() const { return m_dir.filePath(QStringLiteral("ca.pem")); }
    // What openssl said when something failed.
    const QString &errors() const { return m_errors; }

    // A server certificate for `altNames` (e.g. "IP:127.0.0.1", "DNS:otro.test"), signed by
    // the authority and valid for `days` from now; a negative number gives one that has
    // already expired. Empty paths when openssl fails.
    Issued issue(const QString &name, const QString &altNames, int days);

private:
    bool openssl(const QStringList &arguments);

    QTemporaryDir m_dir;
    QString m_errors;
    bool m_valid = false;
};
