#pragma once

#include <QList>
#include <QString>
#include <exception>

namespace db {

// A refusal whose message is shown to the user as it stands: a rule, a value that cannot be
// taken, a setting missing. Not the database's own: it sits in the lowest layer so that every
// layer may raise it.
class Refusal : public std::exception {
public:
    explicit Refusal(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A refusal or failure of the database, or of the rules kept beside it.
class DatabaseError : public Refusal {
public:
    explicit DatabaseError(QString message, int code = 0, QList<int> codes = {})
        : Refusal(std::move(message)), m_code(code), m_codes(std::move(codes)) {}
    // Firebird's primary error code (isc_...) when the error came from the server, else 0.
    int code() const noexcept { return m_code; }
    // Whether the server's error named this code anywhere in its list.
    bool has(int code) const noexcept { return m_code == code || m_codes.contains(code); }
    const QList<int> &codes() const noexcept { return m_codes; }

private:
    int m_code;
    QList<int> m_codes;
};

// The server or the network went away: the message names the server. Raised by the
// connection, which lets go of its handles and attaches again on its next use.
class ConnectionLost : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// The silent abort: stops the operation in progress and shows nothing.
class Abort : public std::exception {
public:
    const char *what() const noexcept override { return "Abort"; }
};

} // namespace db
