#pragma once

#include <QString>
#include <exception>

namespace mail {

// A failure of the mail dispatch. The message is Spanish and is shown to the user as it stands;
// it carries the server's reply where there is one.
class MailError : public std::exception {
public:
    enum class Kind {
        InvalidInput, // a name, address or subject that could alter the exchange or the headers,
                      // or a setting that cannot be used
        Attachment,   // an attached file that cannot be read, or the message not written out
        TooLarge,     // a message larger than the server (or the configuration) takes; not sent
        NoConnection, // a send without a connection to the server
        Connect,      // the server cannot be reached
        Refused,      // the server answered with a refusal (greeting, login, sender, ...)
        Timeout,      // the server did not answer in time; the connection has been closed
        Dropped,      // the server closed the connection; it is closed on our side too
        Protocol,     // the server's reply cannot be read, or TLS cannot be set up
        Certificate,  // the server's certificate is not trusted, or a trusted one cannot be read
    };

    MailError(Kind kind, QString message)
        : m_kind(kind), m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    Kind kind() const noexcept { return m_kind; }
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    Kind m_kind;
    QString m_message;
    QByteArray m_utf8;
};

} // namespace mail
