#pragma once

#include "platform/mail/SmtpProtocol.h"

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QString>

#include <functional>
#include <memory>

class QSslSocket;

namespace mail {

class Message;

// SMTP client for the user-interface thread. Every wait on the server runs a local event loop
// that leaves out user input, so windows keep painting (an animation keeps playing) while the
// user cannot start anything else. Each failure is a MailError with a Spanish message that
// includes the server's reply where there is one.
//
// Connecting and sending are separate steps, so that a caller can report a failed connection
// and still go on to the send, which then fails with "No hay conexión con el servidor de correo":
//
//   mail::SmtpClient smtp;
//   smtp.setHost(servidor);                       // "host" (port 25) or "host:port"
//   if (autentificacion == QLatin1String("S"))
//       smtp.setLogin(usuario, clave);
//   try {
//       smtp.connectToServer();
//   } catch (const mail::MailError &e) { ...show the connection failure... }
//   smtp.send(message);                           // throws on any failure
//   smtp.disconnectFromServer();                  // QUIT if connected; also done by ~SmtpClient
//
// The exchange: on connecting, wait for the greeting (220), then EHLO (HELO if EHLO is refused);
// if the server offers STARTTLS, upgrade to TLS, verify the server's certificate against the
// system's store (plus addCaCertificates()) and say EHLO again; a certificate that fails is an
// error, never a fall back to plain text. A send is: RSET; AUTH LOGIN (user and password in
// Base64) only when a login was set, the last EHLO reply offered LOGIN and the client has not
// logged in on this connection yet; MAIL FROM:<address>; one RCPT TO:<address>; DATA; the
// message with CRLF line ends and dot-stuffing; ".". Nothing is sent when an address is refused
// by checkAddress() or the message cannot be built.
//
// Time limits: 60 s for the connection to be made; each reply is awaited for at most 120 s of
// silence (while a message goes out, the limit counts from the last bytes the server took). The
// environment variable TRELMA_SMTP_ESPERA_MS, read when a client is created, replaces the reply
// limit in milliseconds; setReplyTimeout() replaces both. On expiry the connection is closed and
// the error is "El servidor de correo no ha respondido a tiempo (...)".
class SmtpClient {
public:
    static constexpr int DefaultConnectTimeoutMs = 60'000;
    static constexpr int DefaultReplyTimeoutMs = 120'000;

    SmtpClient();
    ~SmtpClient();
    SmtpClient(const SmtpClient &) = delete;
    SmtpClient &operator=(const SmtpClient &) = delete;

    // "host", "host:port", "[v6-address]" or "[v6-address]:port"; port 25 when none is given.
    void setHost(const QString &hostAndPort);
    const QString &host() const { return m_host; }
    quint16 port() const { return m_port; }

    // Log in with AUTH LOGIN when the server offers it.
    void setLogin(const QString &user, const QString &password);
    void clearLogin();

    void setConnectTimeout(int milliseconds);
    void setReplyTimeout(int milliseconds);
    int replyTimeout() const { return m_replyTimeoutMs; }

    // Certificates trusted for STARTTLS besides the system's (an office's own authority).
    void addCaCertificates(const QList<QSslCertificate> &certificates);

    // Connects, reads the greeting and says EHLO (or HELO), with STARTTLS when offered. Throws
    // MailError: Connect (cannot reach), Refused (greeting or HELO refused), Timeout, Dropped,
    // Protocol (unreadable reply, TLS failure); the connection is closed then.
    void connectToServer();
    bool isConnected() const;
    bool isEncrypted() const;

    // Checks both addresses and builds the message before the first command; then RSET, login,
    // MAIL FROM, RCPT TO, DATA. Throws MailError: InvalidInput, Attachment, NoConnection,
    // Refused (login, sender, recipient or message refused; the connection stays open), Timeout
    // and Dropped (the connection is closed), Protocol.
    void send(const Message &message);
    // The same with a message already written out (bytes as Message::toBytes() gives them).
    void send(const QString &fromAddress, const QString &toAddress, const QByteArray &content);

    // QUIT when connected (its reply awaited within the reply limit), then closes. Never throws.
    void disconnectFromServer() noexcept;

private:
    enum class Stage { Command, Data };

    void closeSocket() noexcept;
    void writeLine(const QByteArray &line);
    // `what` is the thing awaited as it reads after "esperando" in a message: "la respuesta a
    // la orden RSET", "el saludo del servidor".
    SmtpReply command(const QByteArray &line, const QString &what);
    // `onWritten` runs whenever the socket has passed bytes on.
    SmtpReply awaitReply(const QString &what, Stage stage = Stage::Command,
                         const std::function<void()> &onWritten = {});
    void hello();
    void startTls();
    void login();
    [[noreturn]] void refused(const QString &text, const SmtpReply &reply);

    QString m_host;
    quint16 m_port = 25;
    bool m_login = false;
    QString m_user, m_password;
    int m_connectTimeoutMs = DefaultConnectTimeoutMs;
    int m_replyTimeoutMs = DefaultReplyTimeoutMs;
    QList<QSslCertificate> m_caCertificates;

    std::unique_ptr<QSslSocket> m_socket;
    SmtpReplyReader m_reader;
    bool m_ready = false; // greeted and said hello
    bool m_loggedIn = false;
    bool m_offersLogin = false;
    bool m_offersStartTls = false;
};

} // namespace mail
