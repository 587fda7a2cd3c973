#include "platform/mail/SmtpClient.h"

#include "platform/mail/Certificates.h"
#include "platform/mail/MailError.h"
#include "platform/mail/MailInput.h"
#include "platform/mail/Message.h"

#include <QEventLoop>
#include <QFile>
#include <QHostInfo>
#include <QLocale>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <exception>

namespace mail {

namespace {

constexpr auto WaitFlags = QEventLoop::ExcludeUserInputEvents;
constexpr qsizetype DataPieceSize = 1024 * 1024;

QString duration(int milliseconds) {
    return milliseconds % 1000 == 0 ? QStringLiteral("%1 s").arg(milliseconds / 1000)
                                    : QStringLiteral("%1 ms").arg(milliseconds);
}

QString dataSize(qint64 bytes) {
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

// Why a message of `size` bytes (`atLeast`: or more) does not go: the limit, where it comes
// from, and the attached files with their total, so the office knows what to take out.
MailError tooLarge(const QList<Message::File> &files, qint64 size, bool atLeast, qint64 limit,
                   bool serverLimit) {
    QString text =
        QStringLiteral("El mensaje es demasiado grande y no se ha enviado: ocupa %1%2 una vez "
                       "codificado, ")
            .arg(atLeast ? QStringLiteral("al menos ") : QString(), dataSize(size));
    text +=
        serverLimit
            ? QStringLiteral("y el servidor de correo admite como máximo %1.").arg(dataSize(limit))
            : QStringLiteral("y el límite para un servidor que no anuncia el suyo es de %1 "
                             "(LimiteCorreoMB en la configuración).")
                  .arg(dataSize(limit));
    if (!files.isEmpty()) {
        qint64 total = 0;
        QString list;
        for (const Message::File &file : files) {
            total += file.size;
            list += QStringLiteral("\n- %1 (%2)").arg(file.name, dataSize(file.size));
        }
        text += QStringLiteral("\nArchivos adjuntos, %1 en total:").arg(dataSize(total)) + list;
        text += QStringLiteral("\nQuite o reduzca alguno, o envíelos por otro medio.");
    }
    return MailError(MailError::Kind::TooLarge, text);
}

// Runs `work` on a thread of its own while this thread goes on painting (user input left
// out), and rethrows what it threw.
void runAside(const std::function<void()> &work) {
    std::exception_ptr failure;
    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    // Queued: `finished` comes from the other thread, and may come before exec().
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    thread->start();
    loop.exec(WaitFlags);
    thread->wait();
    if (failure)
        std::rethrow_exception(failure);
}

bool isHostName(const QString &name) {
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != QLatin1Char('.') &&
            c != QLatin1Char('-'))
            return false;
    }
    return true;
}

} // namespace

SmtpClient::SmtpClient() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("TRELMA_SMTP_ESPERA_MS", &ok);
    if (ok && ms > 0)
        m_replyTimeoutMs = ms;
}

SmtpClient::~SmtpClient() {
    disconnectFromServer();
}

void SmtpClient::setHost(const QString &hostAndPort) {
    QString host = hostAndPort.trimmed();
    QString port;
    if (host.startsWith(QLatin1Char('['))) {
        const qsizetype close = host.indexOf(QLatin1Char(']'));
        if (close > 0) {
            if (host.mid(close + 1).startsWith(QLatin1Char(':')))
                port = host.mid(close + 2);
            host = host.mid(1, close - 1);
        }
    } else if (host.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = host.indexOf(QLatin1Char(':'));
        port = host.mid(colon + 1);
        host.truncate(colon);
    }
    m_host = host;
    m_port = 25;
    if (!port.isNull()) {
        bool ok = false;
        const uint value = port.toUInt(&ok);
        m_port = ok && value > 0 && value < 65536 ? quint16(value) : 0;
    }
}

void SmtpClient::setLogin(const QString &user, const QString &password) {
    m_login = true;
    m_user = user;
    m_password = password;
}

void SmtpClient::clearLogin() {
    m_login = false;
    m_user.clear();
    m_password.clear();
}

void SmtpClient::setConnectTimeout(int milliseconds) {
    m_connectTimeoutMs = milliseconds;
}

void SmtpClient::setReplyTimeout(int milliseconds) {
    m_replyTimeoutMs = milliseconds;
}

void SmtpClient::addCaCertificates(const QList<QSslCertificate> &certificates) {
    m_caCertificates += certificates;
}

void SmtpClient::setSizeLimit(qint64 bytes) {
    m_sizeLimit = std::max<qint64>(bytes, 0);
}

qint64 SmtpClient::sizeLimit() const {
    return m_serverSizeLimit > 0 ? m_serverSizeLimit : m_sizeLimit;
}

bool SmtpClient::isConnected() const {
    return m_socket && m_ready && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool SmtpClient::isEncrypted() const {
    return isConnected() && m_socket->isEncrypted();
}

void SmtpClient::closeSocket() noexcept {
    if (m_socket) {
        m_socket->abort();
        m_socket.reset();
    }
    m_reader.clear();
    m_ready = false;
    m_loggedIn = false;
    m_offersLogin = false;
    m_offersStartTls = false;
    m_serverSizeLimit = 0;
}

void SmtpClient::connectToServer() {
    if (isConnected())
        return;
    closeSocket();
    if (m_host.isEmpty()) {
        throw MailError(MailError::Kind::Connect,
                        QStringLiteral("No se ha indicado el servidor de correo"));
    }
    const QString where =
        m_port == 25 ? m_host : m_host + QLatin1Char(':') + QString::number(m_port);
    if (m_port == 0) {
        throw MailError(MailError::Kind::Connect,
                        QStringLiteral("El puerto del servidor de correo no es válido: ") + where);
    }

    m_socket = std::make_unique<QSslSocket>();
    try {
        bool expired = false;
        {
            QEventLoop loop;
            QTimer timer;
            timer.setSingleShot(true);
            QObject::connect(m_socket.get(), &QAbstractSocket::connected, &loop, &QEventLoop::quit);
            QObject::connect(m_socket.get(), &QAbstractSocket::errorOccurred, &loop,
                             &QEventLoop::quit);
            QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
                expired = true;
                loop.quit();
            });
            m_socket->connectToHost(m_host, m_port);
            timer.start(m_connectTimeoutMs);
            if (m_socket->state() != QAbstractSocket::ConnectedState &&
                m_socket->state() != QAbstractSocket::UnconnectedState)
                loop.exec(WaitFlags);
        }
        if (m_socket->state() != QAbstractSocket::ConnectedState) {
            const QString why =
                expired ? QStringLiteral("no ha contestado en %1").arg(duration(m_connectTimeoutMs))
                        : m_socket->errorString();
            throw MailError(MailError::Kind::Connect,
                            QStringLiteral("No se puede conectar con el servidor de correo %1: %2")
                                .arg(where, why));
        }

        const SmtpReply greeting = awaitReply(QStringLiteral("el saludo del servidor"));
        if (greeting.code != 220) {
            // The server will take no mail on this connection: say goodbye without waiting.
            m_socket->write("QUIT\r\n");
            m_socket->flush();
            refused(QStringLiteral("El servidor de correo ha rechazado la conexión"), greeting);
        }
        hello();
        if (m_offersStartTls)
            startTls();
        m_ready = true;
    } catch (...) {
        closeSocket();
        throw;
    }
}

void SmtpClient::hello() {
    QByteArray domain = QHostInfo::localHostName().toLatin1();
    if (!isHostName(QString::fromLatin1(domain))) {
        const QHostAddress local = m_socket->localAddress();
        domain = local.protocol() == QAbstractSocket::IPv6Protocol
                     ? "[IPv6:" + local.toString().toLatin1() + ']'
                     : '[' + local.toString().toLatin1() + ']';
    }
    m_offersLogin = false;
    m_offersStartTls = false;
    m_serverSizeLimit = 0;
    SmtpReply reply = command("EHLO " + domain, QStringLiteral("la respuesta a la orden EHLO"));
    if (reply.code == 250) {
        for (qsizetype i = 1; i < reply.lines.size(); ++i) {
            const QByteArray keyword = reply.lines[i].trimmed().toUpper();
            if (keyword == "STARTTLS") {
                m_offersStartTls = true;
            } else if (keyword.startsWith("SIZE ")) {
                // "SIZE" alone or "SIZE 0": no fixed limit (RFC 1870).
                bool ok = false;
                const qint64 size = keyword.mid(5).trimmed().toLongLong(&ok);
                m_serverSizeLimit = ok && size > 0 ? size : 0;
            } else if (keyword.startsWith("AUTH") && keyword.size() > 4 &&
                       (keyword[4] == ' ' || keyword[4] == '=')) {
                if (keyword.mid(5).split(' ').contains("LOGIN"))
                    m_offersLogin = true;
            }
        }
        return;
    }
    reply = command("HELO " + domain, QStringLiteral("la respuesta a la orden HELO"));
    if (reply.code != 250)
        refused(QStringLiteral("El servidor de correo ha rechazado el saludo"), reply);
}

void SmtpClient::startTls() {
    if (!QSslSocket::supportsSsl()) {
        throw MailError(MailError::Kind::Protocol,
                        QStringLiteral("El servidor de correo pide una conexión cifrada (STARTTLS) "
                                       "y este equipo no puede cifrarla"));
    }
    const SmtpReply reply = command("STARTTLS", QStringLiteral("la respuesta a la orden STARTTLS"));
    if (reply.code != 220) {
        refused(QStringLiteral("El servidor de correo ha rechazado el cifrado de la conexión"),
                reply);
    }
    // Nothing the server sent before the handshake is to be trusted.
    m_reader.clear();
    m_socket->readAll();

    QSslConfiguration configuration = m_socket->sslConfiguration();
    if (!m_caCertificates.isEmpty())
        configuration.setCaCertificates(QSslConfiguration::systemCaCertificates() +
                                        m_caCertificates);
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    m_socket->setSslConfiguration(configuration);
    m_socket->setPeerVerifyName(m_host);

    QList<QSslError> errors;
    bool expired = false;
    {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(m_socket.get(), &QSslSocket::encrypted, &loop, &QEventLoop::quit);
        QObject::connect(m_socket.get(), &QSslSocket::sslErrors, &loop,
                         [&errors](const QList<QSslError> &list) { errors += list; });
        QObject::connect(m_socket.get(), &QAbstractSocket::errorOccurred, &loop, &QEventLoop::quit);
        QObject::connect(m_socket.get(), &QAbstractSocket::disconnected, &loop, &QEventLoop::quit);
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            expired = true;
            loop.quit();
        });
        m_socket->startClientEncryption();
        timer.start(m_replyTimeoutMs);
        if (!m_socket->isEncrypted() && m_socket->state() == QAbstractSocket::ConnectedState)
            loop.exec(WaitFlags);
    }
    if (!m_socket->isEncrypted()) {
        if (!errors.isEmpty()) {
            throw MailError(MailError::Kind::Certificate,
                            describeCertificateErrors(errors, m_host, m_socket->peerCertificate()));
        }
        if (expired) {
            throw MailError(MailError::Kind::Timeout,
                            QStringLiteral("El servidor de correo no ha respondido a tiempo (%1 "
                                           "esperando el cifrado de la conexión)")
                                .arg(duration(m_replyTimeoutMs)));
        }
        throw MailError(MailError::Kind::Protocol,
                        QStringLiteral("No se ha podido cifrar la conexión con el servidor de "
                                       "correo: ") +
                            m_socket->errorString());
    }
    hello();
}

void SmtpClient::login() {
    SmtpReply reply = command("AUTH LOGIN", QStringLiteral("la respuesta a la orden AUTH LOGIN"));
    if (reply.code == 334)
        reply = command(m_user.toUtf8().toBase64(), QStringLiteral("la respuesta al usuario"));
    if (reply.code == 334)
        reply = command(m_password.toUtf8().toBase64(), QStringLiteral("la respuesta a la clave"));
    if (reply.code != 235)
        refused(QStringLiteral("El servidor de correo ha rechazado el usuario o la clave"), reply);
    m_loggedIn = true;
}

void SmtpClient::send(const Message &message) {
    checkAddress(message.fromAddress(), QStringLiteral("remitente"));
    checkAddress(message.toAddress(), QStringLiteral("destinatario"));
    if (!isConnected()) {
        throw MailError(MailError::Kind::NoConnection,
                        QStringLiteral("No hay conexión con el servidor de correo"));
    }
    // Known from the files' sizes alone: a message that cannot go is not even built.
    const qint64 limit = sizeLimit();
    if (limit > 0 && message.minimumSize() > limit) {
        throw tooLarge(message.attachments(), message.minimumSize(), true, limit,
                       m_serverSizeLimit > 0);
    }

    QTemporaryDir folder;
    if (!folder.isValid()) {
        throw MailError(MailError::Kind::Attachment,
                        QStringLiteral("No se puede crear una carpeta temporal para componer el "
                                       "mensaje de correo: ") +
                            folder.errorString());
    }
    const QString path = folder.filePath(QStringLiteral("mensaje.eml"));
    qint64 size = 0;
    runAside([&] { size = message.writeTo(path); });
    if (limit > 0 && size > limit)
        throw tooLarge(message.attachments(), size, false, limit, m_serverSizeLimit > 0);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw MailError(MailError::Kind::Attachment,
                        QStringLiteral("No se ha podido leer el mensaje de correo compuesto: ") +
                            file.errorString());
    }
    DeviceDataStream stream(file);
    transfer(message.fromAddress(), message.toAddress(), stream);
}

void SmtpClient::send(const QString &fromAddress, const QString &toAddress,
                      const QByteArray &content) {
    checkAddress(fromAddress, QStringLiteral("remitente"));
    checkAddress(toAddress, QStringLiteral("destinatario"));
    if (!isConnected()) {
        throw MailError(MailError::Kind::NoConnection,
                        QStringLiteral("No hay conexión con el servidor de correo"));
    }
    const qint64 limit = sizeLimit();
    if (limit > 0 && content.size() > limit)
        throw tooLarge({}, content.size(), false, limit, m_serverSizeLimit > 0);
    DataStream stream(content);
    transfer(fromAddress, toAddress, stream);
}

template <class Stream>
void SmtpClient::transfer(const QString &fromAddress, const QString &toAddress, Stream &stream) {
    SmtpReply reply = command("RSET", QStringLiteral("la respuesta a la orden RSET"));
    if (reply.code != 250)
        refused(QStringLiteral("El servidor de correo ha rechazado la orden RSET"), reply);
    if (m_login && m_offersLogin && !m_loggedIn)
        login();
    reply = command("MAIL FROM:<" + fromAddress.toLatin1() + '>',
                    QStringLiteral("la respuesta a la orden MAIL FROM"));
    if (reply.code != 250)
        refused(QStringLiteral("El servidor de correo ha rechazado el remitente ") + fromAddress,
                reply);
    reply = command("RCPT TO:<" + toAddress.toLatin1() + '>',
                    QStringLiteral("la respuesta a la orden RCPT TO"));
    if (reply.code != 250 && reply.code != 251)
        refused(QStringLiteral("El servidor de correo ha rechazado el destinatario ") + toAddress,
                reply);
    reply = command("DATA", QStringLiteral("la respuesta a la orden DATA"));
    if (reply.code != 354)
        refused(QStringLiteral("El servidor de correo ha rechazado la orden DATA"), reply);
    // The message goes out a piece at a time as the socket takes it, so that a large one is
    // never held whole in memory. A piece that cannot be read ends the connection: the server
    // would take a cut message for a whole one.
    std::exception_ptr failure;
    const auto feed = [this, &stream, &failure] {
        try {
            while (!failure && !stream.atEnd() && m_socket->bytesToWrite() < DataPieceSize) {
                const QByteArrayView piece = stream.next(DataPieceSize);
                m_socket->write(piece.data(), piece.size());
            }
        } catch (...) {
            failure = std::current_exception();
            m_socket->abort();
        }
    };
    feed();
    try {
        if (failure)
            std::rethrow_exception(failure);
        reply = awaitReply(QStringLiteral("la respuesta al mensaje"), Stage::Data, feed);
    } catch (const MailError &) {
        closeSocket();
        if (failure)
            std::rethrow_exception(failure);
        throw;
    }
    if (!stream.atEnd()) {
        // An answer before the end of the message: the rest could no longer be told from
        // commands, so this connection is done.
        closeSocket();
        refused(QStringLiteral("El servidor de correo no ha aceptado el mensaje"), reply);
    }
    if (reply.code != 250)
        refused(QStringLiteral("El servidor de correo no ha aceptado el mensaje"), reply);
}

void SmtpClient::disconnectFromServer() noexcept {
    if (isConnected()) {
        try {
            writeLine("QUIT");
            // Whatever was to be sent has been: a short wait, not the reply limit.
            awaitReply(QStringLiteral("la respuesta a la orden QUIT"), Stage::Command, {},
                       std::min(QuitTimeoutMs, m_replyTimeoutMs));
        } catch (const MailError &) {
            // Leaving anyway: a server that does not answer QUIT has nothing more to say, and
            // the connection is closed below all the same.
        }
    }
    if (m_socket && m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->disconnectFromHost();
    closeSocket();
}

void SmtpClient::refused(const QString &text, const SmtpReply &reply) {
    // 421: the server is closing the connection.
    if (reply.code == 421)
        closeSocket();
    throw MailError(MailError::Kind::Refused, text + QStringLiteral(": ") + reply.text());
}

void SmtpClient::writeLine(const QByteArray &line) {
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        closeSocket();
        throw MailError(MailError::Kind::Dropped,
                        QStringLiteral("Se ha cortado la conexión con el servidor de correo"));
    }
    m_socket->write(line + "\r\n");
}

SmtpReply SmtpClient::command(const QByteArray &line, const QString &what) {
    writeLine(line);
    return awaitReply(what);
}

SmtpReply SmtpClient::awaitReply(const QString &what, Stage stage,
                                 const std::function<void()> &onWritten, int timeoutMs) {
    if (timeoutMs < 0)
        timeoutMs = m_replyTimeoutMs;
    while (true) {
        try {
            m_reader.feed(m_socket->readAll());
            if (std::optional<SmtpReply> reply = m_reader.next())
                return *reply;
        } catch (const MailError &) {
            closeSocket();
            throw;
        }
        if (m_socket->state() != QAbstractSocket::ConnectedState) {
            closeSocket();
            throw MailError(MailError::Kind::Dropped,
                            stage == Stage::Data
                                ? QStringLiteral("Se ha cortado la conexión con el servidor de "
                                                 "correo durante el envío del mensaje")
                                : QStringLiteral("Se ha cortado la conexión con el servidor de "
                                                 "correo (esperando %1)")
                                      .arg(what));
        }
        bool expired = false;
        {
            QEventLoop loop;
            QTimer timer;
            timer.setSingleShot(true);
            QObject::connect(m_socket.get(), &QIODevice::readyRead, &loop, &QEventLoop::quit);
            QObject::connect(m_socket.get(), &QAbstractSocket::disconnected, &loop,
                             &QEventLoop::quit);
            QObject::connect(m_socket.get(), &QAbstractSocket::errorOccurred, &loop,
                             &QEventLoop::quit);
            // While a message goes out, the limit counts from the last bytes the server took.
            QObject::connect(m_socket.get(), &QIODevice::bytesWritten, &timer, [&] {
                timer.start();
                if (onWritten)
                    onWritten();
            });
            QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
                expired = true;
                loop.quit();
            });
            timer.start(timeoutMs);
            loop.exec(WaitFlags);
        }
        if (expired) {
            closeSocket();
            throw MailError(MailError::Kind::Timeout,
                            QStringLiteral("El servidor de correo no ha respondido a tiempo (%1 "
                                           "esperando %2)")
                                .arg(duration(timeoutMs), what));
        }
    }
}

} // namespace mail
