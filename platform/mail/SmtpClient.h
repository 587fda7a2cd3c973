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
//   smtp.setSizeLimit(25 * 1024 * 1024);          // for a server that announces no SIZE
//   smtp.addCaCertificates(mail::readCaCertificates(archivo)); // an office's own authority
//   try {
//       smtp.connectToServer();
//   } catch (const mail::MailError &e) { ...show the connection failure... }
//   smtp.send(message);                           // throws on any failure
//   smtp.disconnectFromServer();                  // QUIT if connected; also done by ~SmtpClient
//
// The exchange: on connecting, wait for the greeting (220), then EHLO (HELO if EHLO is refused);
// if the server offers STARTTLS, upgrade to TLS, verify the server's certificate against the
// system's store (plus addCaCertificates()) and say EHLO again; a certificate that fails is an
// error that says in Spanish which check failed and what the office can do, never a fall back
// to plain text. A send is: RSET; AUTH LOGIN (user and password in Base64) only when a login
// was set, the last EHLO reply offered LOGIN and the client has not logged in on this
// connection yet; MAIL FROM:<address>; one RCPT TO:<address>; DATA; the message with CRLF line
// ends and dot-stuffing; ".". Nothing is sent when an address is refused by checkAddress(), the
// message cannot be built, or it is larger than the limit: the server's SIZE (RFC 1870) when
// its EHLO reply announces one, else setSizeLimit().
//
// A Message is written out on a thread of its own into a temporary file, which then goes to the
// server a piece at a time: neither step holds the message in memory, and windows keep
// painting while it is built.
//
// Time limits: 60 s for the connection to be made; each reply is awaited for at most 120 s of
// silence (while a message goes out, the limit counts from the last bytes the server took); the
// reply to QUIT, for at most 5 s (the mail has gone by then). The environment variable
// TRELMA_SMTP_ESPERA_MS, read when a client is created, replaces the reply limit in
// milliseconds; setReplyTimeout() replaces both. On expiry the connection is closed and the
// error is "El servidor de correo no ha respondido a tiempo (...)".
class SmtpClient {
public:
    static constexpr int DefaultConnectTimeoutMs = 60'000;
    static constexpr int DefaultReplyTimeoutMs = 120'000;
    static constexpr int QuitTimeoutMs = 5'000;

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

    // The largest message, in bytes, for a server that announces no SIZE; 0: no limit.
    void setSizeLimit(qint64 bytes);
    // What the server's last EHLO reply announced as its SIZE; 0: none (or no fixed limit).
    qint64 serverSizeLimit() const { return m_serverSizeLimit; }

    // Connects, reads the greeting and says EHLO (or HELO), with STARTTLS when offered. Throws
    // MailError: Connect (cannot reach), Refused (greeting or HELO refused), Timeout, Dropped,
    // Protocol (unreadable reply, TLS failure); the connection is closed then.
    void connectToServer();
    bool isConnected() const;
    bool isEncrypted() const;

    // Checks both addresses, the message's size against the limit and builds it before the
    // first command; then RSET, login, MAIL FROM, RCPT TO, DATA. Throws MailError:
    // InvalidInput, Attachment, NoConnection, TooLarge (naming the files and their total; the
    // connection stays open), Refused (login, sender, recipient or message refused; the
    // connection stays open), Timeout and Dropped (the connection is closed), Protocol.
    void send(const Message &message);
    // The same with a message already written out (bytes as Message::toBytes() gives them).
    void send(const QString &fromAddress, const QString &toAddress, const QByteArray &content);

    // QUIT when connected (its reply awaited for QuitTimeoutMs at most), then closes. Never
    // throws.
    void disconnectFromServer() noexcept;

private:
    enum class Stage { Command, Data };

    void closeSocket() noexcept;
    void writeLine(const QByteArray &line);
    // `what` is the thing awaited as it reads after "esperando" in a message: "la respuesta a
    // la orden RSET", "el saludo del servidor".
    SmtpReply command(const QByteArray &line, const QString &what);
    // `onWritten` runs whenever the socket has passed bytes on. `timeoutMs` < 0: the reply
    // limit.
    SmtpReply awaitReply(const QString &what, Stage stage = Stage::Command,
                         const std::function<void()> &onWritten = {}, int timeoutMs = -1);
    // RSET to the end of the message, with `stream` giving the message's wire bytes.
    template <class Stream>
    void transfer(const QString &fromAddress, const QString &toAddress, Stream &stream);
    // The limit that applies now (the server's or the configured one), 0 for none.
    qint64 sizeLimit() const;
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
    qint64 m_sizeLimit = 0;

    std::unique_ptr<QSslSocket> m_socket;
    SmtpReplyReader m_reader;
    bool m_ready = false; // greeted and said hello
    bool m_loggedIn = false;
    bool m_offersLogin = false;
    bool m_offersStartTls = false;
    qint64 m_serverSizeLimit = 0;
};

} // namespace mail
