// Sending a mail with 25 MB of attachments to a local SMTP peer that only reads, against copying
// the same message bytes over a loopback socket in the same run; and building the message alone.
// Then a message of 300 MB sent from its file as the mail window sends it: the resident memory
// the send adds at its peak, against the file's size, and the longest time the event loop did
// not turn (what the window's painting waits), against the timer's own period.
// Needs no database: the path tools/bancos.sh passes is ignored.

#include "bench/BenchSupport.h"
#include "platform/mail/Message.h"
#include "platform/mail/SmtpClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int Files = 5;
constexpr qsizetype FileSize = 5 * 1024 * 1024;

constexpr qint64 ReadSize = 256 * 1024;

constexpr qint64 LargeSize = 300 * 1024 * 1024;
constexpr int TickMs = 10;

// A figure of /proc/self/status in kB ("VmRSS", "VmHWM"); 0 where there is none.
qint64 statusKb(const char *name) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// Starts the peak resident figure (VmHWM) again from the present one.
void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Where "\r\n.\r\n" begins in the bytes, or null: found through its full stop, which base64
// never holds.
const char *findTerminator(const char *bytes, qsizetype size) {
    const char *const end = bytes + size;
    for (const char *p = bytes + 2; p + 2 < end; ++p) {
        p = static_cast<const char *>(std::memchr(p, '.', size_t(end - 2 - p)));
        if (!p)
            return nullptr;
        if (p[-2] == '\r' && p[-1] == '\n' && p[1] == '\r' && p[2] == '\n')
            return p - 2;
    }
    return nullptr;
}

// Answers just enough SMTP for one client at a time and throws the message away.
class SmtpSink : public QObject {
public:
    SmtpSink() {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                auto state = std::make_shared<Connection>();
                connect(socket, &QTcpSocket::readyRead, socket,
                        [socket, state] { serve(socket, *state); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                socket->write("220 sink\r\n");
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    struct Connection {
        bool inData = false;
        // The last bytes of the message read so far, then room for the next read.
        std::vector<char> buffer = std::vector<char>(ReadSize + 8);
        qsizetype carried = 0;
    };

    static void serve(QTcpSocket *socket, Connection &c) {
        while (socket->bytesAvailable() > 0) {
            if (c.inData) {
                const qint64 n = socket->read(c.buffer.data() + c.carried, ReadSize);
                const qsizetype size = c.carried + n;
                const char *end = findTerminator(c.buffer.data(), size);
                if (end) {
                    c.inData = false;
                    c.carried = 0;
                    socket->write("250 accepted\r\n");
                } else {
                    c.carried = std::min<qsizetype>(size, 4);
                    std::memmove(c.buffer.data(), c.buffer.data() + size - c.carried,
                                 size_t(c.carried));
                }
                continue;
            }
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine().trimmed().toUpper();
            if (line == "DATA") {
                c.inData = true;
                // The terminator's leading CRLF may be the DATA command's own.
                std::memcpy(c.buffer.data(), "\r\n", 2);
                c.carried = 2;
                socket->write("354 go on\r\n");
            } else if (line == "QUIT") {
                socket->write("221 bye\r\n");
                socket->disconnectFromHost();
                return;
            } else {
                socket->write("250 ok\r\n");
            }
        }
    }

    QTcpServer m_server;
};

// The floor: the same bytes written to a loopback socket until the other end has read them all.
double copyOverLoopback(const QByteArray &bytes) {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QTcpSocket client;
    QEventLoop loop;
    qsizetype received = 0;
    std::vector<char> buffer(ReadSize);
    QObject::connect(&server, &QTcpServer::newConnection, &loop, [&] {
        QTcpSocket *peer = server.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, &loop, [&, peer] {
            while (peer->bytesAvailable() > 0)
                received += peer->read(buffer.data(), ReadSize);
            if (received >= bytes.size())
                loop.quit();
        });
        client.write(bytes);
    });
    QElapsedTimer timer;
    timer.start();
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    loop.exec();
    return double(timer.nsecsElapsed()) / 1e6;
}

mail::Message buildMessage(const QStringList &paths) {
    mail::Message message;
    message.setFrom(QStringLiteral("INSTALACIONES PEÑA"),
                    QStringLiteral("pena@instalaciones.test"));
    message.setTo(QStringLiteral("Gestor"), QStringLiteral("gestor@distribuidora.test"));
    message.setSubject(QStringLiteral("Trelmavondis - Hoja Expte.:  1234567890"));
    message.setBody(QStringLiteral("Tipo de suministro: VIVIENDA\r\n\r\nLocalización: 28 MADRID"));
    for (const QString &path : paths)
        message.addAttachment(path);
    return message;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QStringList paths;
    QRandomGenerator random(7);
    for (int i = 0; i < Files; ++i) {
        QByteArray bytes(FileSize, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), FileSize / 4);
        paths << dir.filePath(QStringLiteral("adjunto%1.pdf").arg(i));
        QFile file(paths.last());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "no se puede escribir %s\n", qPrintable(paths.last()));
            return 1;
        }
    }

    QByteArray bytes;
    const double build = bench::medianMs(5, [&] { bytes = buildMessage(paths).toBytes(); });
    const mail::Message message = buildMessage(paths);
    std::printf("%d adjuntos, %.1f MB; mensaje de %.1f MB\n", Files,
                double(Files * FileSize) / 1048576.0, double(bytes.size()) / 1048576.0);
    std::printf("%-46s %10.3f ms\n", "componer el mensaje (leer y codificar)", build);

    // Turn about, so that the load of a shared machine falls on both alike.
    SmtpSink sink;
    const QString host = QStringLiteral("127.0.0.1:%1").arg(sink.port());
    std::vector<double> sends, copies;
    for (int i = 0; i < 9; ++i) {
        sends.push_back(bench::medianMs(1, [&] {
            mail::SmtpClient client;
            client.setHost(host);
            client.connectToServer();
            client.send(message.fromAddress(), message.toAddress(), bytes);
            client.disconnectFromServer();
        }));
        copies.push_back(copyOverLoopback(bytes));
    }
    std::sort(sends.begin(), sends.end());
    std::sort(copies.begin(), copies.end());
    bench::report("enviar por SMTP (conectar, enviar, QUIT)", sends[sends.size() / 2],
                  "copiar los mismos bytes por loopback", copies[copies.size() / 2]);

    // One large file, sent as the mail window sends it.
    const QString large = dir.filePath(QStringLiteral("obra.mp4"));
    {
        QByteArray piece(64 * 1024 * 1024, Qt::Uninitialized);
        QFile file(large);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        for (qint64 written = 0; written < LargeSize; written += piece.size()) {
            random.fillRange(reinterpret_cast<quint32 *>(piece.data()), piece.size() / 4);
            file.write(piece.constData(), std::min<qint64>(piece.size(), LargeSize - written));
        }
    }
    bytes.clear();
    bytes.squeeze();
    const mail::Message big = buildMessage({large});
    qint64 longestGap = 0;
    QElapsedTimer sinceTick;
    QTimer ticks;
    ticks.setInterval(TickMs);
    QObject::connect(&ticks, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    const qint64 before = statusKb("VmRSS");
    resetPeak();
    const double sendMs = bench::medianMs(1, [&] {
        mail::SmtpClient client;
        client.setHost(host);
        client.connectToServer();
        sinceTick.start();
        ticks.start();
        client.send(big);
        ticks.stop();
        client.disconnectFromServer();
    });
    const qint64 peak = statusKb("VmHWM");
    std::printf("adjunto de %.0f MB enviado desde su archivo en %.0f ms\n",
                double(LargeSize) / 1048576.0, sendMs);
    std::printf("%-46s %10.1f MB   (el archivo: %.0f MB)\n", "memoria residente añadida en el pico",
                double(peak - before) / 1024.0, double(LargeSize) / 1048576.0);
    std::printf("%-46s %10lld ms   (periodo del reloj: %d ms)\n",
                "mayor espera del bucle de eventos", static_cast<long long>(longestGap), TickMs);
    return 0;
}
