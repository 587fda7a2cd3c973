#include "tests/common/SmtpPeer.h"

#include "platform/mail/Certificates.h"
#include "platform/mail/MailError.h"
#include "platform/mail/MailInput.h"
#include "platform/mail/Message.h"
#include "platform/mail/SmtpClient.h"
#include "platform/mail/SmtpProtocol.h"

#include <QtTest>

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTemporaryDir>

#include <functional>

using mail::MailError;

Q_DECLARE_METATYPE(QList<QByteArray>)
Q_DECLARE_METATYPE(QList<qint64>)

namespace {

const QString FromName = QStringLiteral("INSTALACIONES PEÑA, S.L.");
const QString FromAddress = QStringLiteral("pena@instalaciones.test");
const QString ToName = QStringLiteral("Gestor Distribución");
const QString ToAddress = QStringLiteral("gestor@distribuidora.test");
const QString Subject = QStringLiteral("Trelmavondis - Hoja Expte.:  1234567890");
const QString User = QStringLiteral("instalador");
const QString Password = QStringLiteral("clave ñ1");

// The body as the mail window writes it, with a line that begins with a full stop.
const QStringList BodyLines = {
    QStringLiteral("Tipo de suministro: VIVIENDA UNIFAMILIAR"),
    QString(),
    QStringLiteral("Potencia: 1.234,50kW"),
    QString(),
    QStringLiteral("Localización: 28 MADRID - MADRID - CALLE MAYOR, 1  , A 2 B (28001)"),
    QString(),
    QStringLiteral("Instalador autorizado: INSTALACIONES PEÑA, S.L."),
    QString(),
    QStringLiteral("Adjuntos:"),
    QStringLiteral("          plano.pdf -> PLANO DE SITUACIÓN"),
    QStringLiteral(".pdf, según año y señalización"),
    QString(),
    QStringLiteral("Observaciones del gestor: "),
};

QString errorOf(const std::function<void()> &f) {
    try {
        f();
    } catch (const MailError &e) {
        return e.message();
    }
    return {};
}

// "EHLO <our name>" and "HELO <our name>" read as the bare verb; other lines stay whole.
QStringList verbs(const QStringList &commands) {
    QStringList out;
    for (const QString &c : commands)
        out << (c.startsWith(QLatin1String("EHLO ")) || c.startsWith(QLatin1String("HELO "))
                    ? c.left(4)
                    : c);
    return out;
}

QStringList withoutQuit(QStringList commands) {
    commands.removeAll(QStringLiteral("QUIT"));
    return commands;
}

QString b64(const QString &s) {
    return QString::fromLatin1(s.toUtf8().toBase64());
}

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(random.bounded(256));
    // Line ends and lone full stops inside a binary file must come through untouched.
    bytes.replace(100, 9, QByteArray("\r\n.\r\n\n.\n", 9));
    return bytes;
}

class EnvGuard {
public:
    EnvGuard(const char *name, const QByteArray &value) : m_name(name) { qputenv(name, value); }
    ~EnvGuard() { qunsetenv(m_name); }

private:
    const char *m_name;
};

} // namespace

class TestMail : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    // The pieces that hold no socket.
    void replyReader_data();
    void replyReader();
    void replyReaderRefuses_data();
    void replyReaderRefuses();
    void dataBlock_data();
    void dataBlock();
    void inputChecks_data();
    void inputChecks();
    void fileNameOf_data();
    void fileNameOf();
    void hostAndPort_data();
    void hostAndPort();

    // Against the peer.
    void sendsMessage();
    void contentGoesOutAsGiven();
    void login_data();
    void login();
    void heloWhenEhloRefused();
    void faults_data();
    void faults();
    void startTls();
    void startTlsRefusesUnknownCertificate();
    void certificates_data();
    void certificates();
    void caFileProblems_data();
    void caFileProblems();

    // Messages too large for the server, and the end of a send.
    void sizeLimits_data();
    void sizeLimits();
    void headersTipOverLimit();
    void quitReplyNotAwaited();

private:
    void writeFile(const QString &name, const QByteArray &bytes);
    mail::Message standardMessage() const;

    QTemporaryDir m_dir;
    QStringList m_attachmentNames;
    std::unique_ptr<TestAuthority> m_authority;
    QMap<QString, TestAuthority::Issued> m_issued; // the server certificates, by kind
};

void TestMail::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_attachmentNames = {QStringLiteral("plano.pdf"), QStringLiteral("Memoria técnica ñ.txt"),
                         QStringLiteral("foto.jpg")};
    writeFile(m_attachmentNames[0], randomBytes(300 * 1024, 1));
    writeFile(
        m_attachmentNames[1],
        QStringLiteral("Memoria técnica\r\n.\r\n..Cálculos\r\nFin sin salto de línea").toUtf8());
    writeFile(m_attachmentNames[2], randomBytes(70 * 1024 + 1, 2));

    m_authority = std::make_unique<TestAuthority>();
    QVERIFY2(m_authority->valid(), qPrintable(m_authority->errors()));
    m_issued.insert(
        QStringLiteral("autoridad"),
        m_authority->issue(QStringLiteral("correo"), QStringLiteral("IP:127.0.0.1"), 30));
    m_issued.insert(QStringLiteral("otro nombre"),
                    m_authority->issue(QStringLiteral("otro.test"),
                                       QStringLiteral("DNS:otro.test, DNS:smtp.otro.test"), 30));
    m_issued.insert(
        QStringLiteral("caducado"),
        m_authority->issue(QStringLiteral("caducado"), QStringLiteral("IP:127.0.0.1"), -1));
    for (const auto &issued : std::as_const(m_issued))
        QVERIFY2(QFile::exists(issued.certificate), qPrintable(m_authority->errors()));
}

void TestMail::writeFile(const QString &name, const QByteArray &bytes) {
    QFile file(m_dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

mail::Message TestMail::standardMessage() const {
    mail::Message message;
    message.setFrom(FromName, FromAddress);
    message.setTo(ToName, ToAddress);
    message.setSubject(Subject);
    message.setBody(BodyLines.join(QStringLiteral("\r\n")));
    for (const QString &name : m_attachmentNames)
        message.addAttachment(m_dir.filePath(name));
    return message;
}

void TestMail::replyReader_data() {
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QList<QByteArray>>("lines"); // all replies' lines in order

    QTest::newRow("una línea") << QList<QByteArray>{"220 peer.test ESMTP\r\n"} << QList<int>{220}
                               << QList<QByteArray>{"peer.test ESMTP"};
    QTest::newRow("varias líneas")
        << QList<QByteArray>{"250-peer.test\r\n250-AUTH LOGIN PLAIN\r\n250 HELP\r\n"}
        << QList<int>{250} << QList<QByteArray>{"peer.test", "AUTH LOGIN PLAIN", "HELP"};
    QTest::newRow("a trozos") << QList<QByteArray>{"25", "0-a\r", "\n250", " b\r\n354 ", "c\r\n"}
                              << QList<int>{250, 354} << QList<QByteArray>{"a", "b", "c"};
    QTest::newRow("LF solo y código sin texto")
        << QList<QByteArray>{"250\n221 adiós\n"} << QList<int>{250, 221}
        << QList<QByteArray>{"", "adiós"};
    QTest::newRow("respuesta incompleta")
        << QList<QByteArray>{"250-a\r\n250 b"} << QList<int>{} << QList<QByteArray>{};
}

void TestMail::replyReader() {
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QList<int>, codes);
    QFETCH(QList<QByteArray>, lines);
    mail::SmtpReplyReader reader;
    QList<int> gotCodes;
    QList<QByteArray> gotLines;
    for (const QByteArray &piece : pieces) {
        reader.feed(piece);
        while (auto reply = reader.next()) {
            gotCodes << reply->code;
            gotLines << reply->lines;
        }
    }
    QCOMPARE(gotCodes, codes);
    QCOMPARE(gotLines, lines);
    QCOMPARE(reader.hasPending(), codes.isEmpty());
}

void TestMail::replyReaderRefuses_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QString start = QStringLiteral("El servidor de correo ha enviado una respuesta que no se "
                                         "entiende (%1)");
    QTest::newRow("sin código") << QByteArray("hola\r\n") << start.arg(QStringLiteral("«hola»"));
    QTest::newRow("separador raro")
        << QByteArray("250+x\r\n") << start.arg(QStringLiteral("«250+x»"));
    QTest::newRow("códigos distintos")
        << QByteArray("250-a\r\n251 b\r\n")
        << start.arg(QStringLiteral("códigos distintos en una misma respuesta"));
    QTest::newRow("línea sin fin") << QByteArray(mail::SmtpReplyReader::MaxLineLength + 1, 'x')
                                   << start.arg(QStringLiteral("línea demasiado larga"));
}

void TestMail::replyReaderRefuses() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    mail::SmtpReplyReader reader;
    reader.feed(bytes);
    QCOMPARE(errorOf([&] { reader.next(); }), message);
}

void TestMail::dataBlock_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("vacío") << QByteArray() << QByteArray(".\r\n");
    QTest::newRow("puntos al principio de línea")
        << QByteArray(".\r\n..x\r\na.b\r\n.y") << QByteArray("..\r\n...x\r\na.b\r\n..y\r\n.\r\n");
    QTest::newRow("LF solo") << QByteArray("a\n.\nb\n") << QByteArray("a\r\n..\r\nb\r\n.\r\n");
    QTest::newRow("CR al final sin LF") << QByteArray("a\r") << QByteArray("a\r\n.\r\n");
    QTest::newRow("CR al final tras otra línea")
        << QByteArray("x\r\n.a\r") << QByteArray("x\r\n..a\r\n.\r\n");
    QTest::newRow("listo para enviar")
        << QByteArray("Subject: x\r\n\r\nlínea larga de texto\r\nb\r\n")
        << QByteArray("Subject: x\r\n\r\nlínea larga de texto\r\nb\r\n.\r\n");
}

void TestMail::dataBlock() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, wire);
    QCOMPARE(mail::dataBlock(content), wire);
    // In pieces, as a large message goes out: each cut at a line end, the same bytes in all.
    for (qsizetype size : {1, 2, 5}) {
        mail::DataStream stream(content);
        QByteArray joined;
        while (!stream.atEnd()) {
            const QByteArrayView piece = stream.next(size);
            QVERIFY(piece.endsWith('\n'));
            joined += piece;
        }
        QCOMPARE(joined, wire);
    }
    // The same read from a file a piece at a time, as a built message goes out.
    for (qsizetype size : {1, 2, 5, 1 << 20}) {
        QBuffer device(&content);
        QVERIFY(device.open(QIODevice::ReadOnly));
        mail::DeviceDataStream stream(device);
        QByteArray joined;
        while (!stream.atEnd()) {
            const QByteArrayView piece = stream.next(size);
            QVERIFY(piece.endsWith('\n'));
            joined += piece;
        }
        QCOMPARE(joined, wire);
    }
}

void TestMail::inputChecks_data() {
    QTest::addColumn<QString>("field"); // address, name or subject
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::newRow("dirección buena")
        << "address" << QStringLiteral("a.b-c+d@sub.example.es") << QString();
    QTest::newRow("dirección con CR LF")
        << "address" << QStringLiteral("a@b.es\r\nRCPT TO:<c@d.es>")
        << QStringLiteral("La dirección del remitente no es válida: «a@b.es\\r\\nRCPT TO:<c@d.es>» "
                          "(contiene caracteres de control)");
    QTest::newRow("dirección con tabulador")
        << "address" << QStringLiteral("a@b.es\t")
        << QStringLiteral("La dirección del remitente no es válida: «a@b.es\\t» (contiene "
                          "caracteres de control)");
    QTest::newRow("dirección con blanco")
        << "address" << QStringLiteral("a @b.es")
        << QStringLiteral("La dirección del remitente no es válida: «a @b.es» (contiene blancos)");
    QTest::newRow("dirección con >")
        << "address" << QStringLiteral("a@b.es> BODY=8BITMIME")
        << QStringLiteral("La dirección del remitente no es válida: «a@b.es> BODY=8BITMIME» "
                          "(contiene «<» o «>»)");
    QTest::newRow("dirección con <")
        << "address" << QStringLiteral("<a@b.es")
        << QStringLiteral(
               "La dirección del remitente no es válida: «<a@b.es» (contiene «<» o «>»)");
    QTest::newRow("dirección con eñe")
        << "address" << QStringLiteral("peña@b.es")
        << QStringLiteral("La dirección del remitente no es válida: «peña@b.es» (contiene "
                          "caracteres que no son ASCII)");
    QTest::newRow("dirección vacía")
        << "address" << QString()
        << QStringLiteral("La dirección del remitente no es válida: «» (está vacía)");
    QTest::newRow("nombre con acentos y comas")
        << "name" << QStringLiteral("Peña, \"Instalaciones\" <S.L.>") << QString();
    QTest::newRow("nombre con LF")
        << "name" << QStringLiteral("Peña\nBcc: x@y.es")
        << QStringLiteral("El nombre del remitente no es válido: «Peña\\nBcc: x@y.es» (contiene "
                          "caracteres de control)");
    QTest::newRow("asunto con CR")
        << "subject" << QStringLiteral("Hoja\rX-Otra: 1")
        << QStringLiteral("El asunto no es válido: «Hoja\\rX-Otra: 1» (contiene caracteres de "
                          "control)");
}

void TestMail::inputChecks() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    const QString role = QStringLiteral("remitente");
    QCOMPARE(errorOf([&] {
                 if (field == QLatin1String("address"))
                     mail::checkAddress(value, role);
                 else if (field == QLatin1String("name"))
                     mail::checkName(value, role);
                 else
                     mail::checkSubject(value);
             }),
             message);
}

void TestMail::fileNameOf_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("unix") << QStringLiteral("/home/a/plano.pdf") << QStringLiteral("plano.pdf");
    QTest::newRow("windows") << QStringLiteral("C:\\Docs\\Año 2024\\plano.pdf")
                             << QStringLiteral("plano.pdf");
    QTest::newRow("mezcla") << QStringLiteral("C:\\Docs/sub\\x.doc") << QStringLiteral("x.doc");
    QTest::newRow("sin carpeta") << QStringLiteral("x.doc") << QStringLiteral("x.doc");
}

void TestMail::fileNameOf() {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(mail::Message::fileNameOf(path), name);
}

void TestMail::hostAndPort_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("nombre") << QStringLiteral("smtp.example.es")
                            << QStringLiteral("smtp.example.es") << 25;
    QTest::newRow("nombre y puerto")
        << QStringLiteral(" smtp.example.es:587 ") << QStringLiteral("smtp.example.es") << 587;
    QTest::newRow("IPv6") << QStringLiteral("[::1]:2525") << QStringLiteral("::1") << 2525;
    QTest::newRow("IPv6 sin corchetes") << QStringLiteral("::1") << QStringLiteral("::1") << 25;
    QTest::newRow("puerto malo") << QStringLiteral("a:x") << QStringLiteral("a") << 0;
}

void TestMail::hostAndPort() {
    QFETCH(QString, text);
    QFETCH(QString, host);
    QFETCH(int, port);
    mail::SmtpClient client;
    client.setHost(text);
    QCOMPARE(client.host(), host);
    QCOMPARE(int(client.port()), port);
}

void TestMail::sendsMessage() {
    SmtpPeer peer(QStringLiteral("normal"));
    QVERIFY2(peer.started(), qPrintable(peer.errors()));
    {
        mail::SmtpClient client;
        client.setHost(peer.host());
        client.connectToServer();
        QVERIFY(client.isConnected());
        QVERIFY(!client.isEncrypted());
        client.send(standardMessage());
    }
    // The exchange, in order; MAIL FROM without BODY=8BITMIME though the peer offers it.
    QCOMPARE(verbs(peer.commands()), QStringList({"EHLO", "RSET", "MAIL FROM:<" + FromAddress + ">",
                                                  "RCPT TO:<" + ToAddress + ">", "DATA", "QUIT"}));
    QCOMPARE(peer.envelope().value("mail_options").toArray().size(), 0);
    QCOMPARE(peer.envelope().value("rcpt_tos").toArray(), QJsonArray({ToAddress}));

    // 7-bit, CRLF line ends, no line longer than SMTP allows.
    const QByteArray raw = peer.rawMessage();
    QVERIFY(!raw.isEmpty());
    for (qsizetype i = 0, lineStart = 0; i < raw.size(); ++i) {
        QVERIFY2(uchar(raw[i]) < 0x80, qPrintable(QStringLiteral("byte %1").arg(i)));
        QVERIFY((raw[i] == '\r') == (i + 1 < raw.size() && raw[i + 1] == '\n'));
        if (raw[i] == '\n') {
            QVERIFY(raw[i - 1] == '\r');
            QVERIFY(i - 1 - lineStart <= 998);
            lineStart = i + 1;
        }
    }

    const QJsonObject m = peer.summary();
    QCOMPARE(m.value("defects").toArray(), QJsonArray());
    QCOMPARE(m.value("subject").toString(), Subject);
    QCOMPARE(m.value("from").toObject().value("name").toString(), FromName);
    QCOMPARE(m.value("from").toObject().value("address").toString(), FromAddress);
    QCOMPARE(m.value("to").toObject().value("name").toString(), ToName);
    QCOMPARE(m.value("to").toObject().value("address").toString(), ToAddress);
    QVERIFY(m.value("date").toBool());
    QVERIFY(m.value("message_id").toString().endsWith(QLatin1String("@instalaciones.test>")));
    QCOMPARE(m.value("mime_version").toString(), QStringLiteral("1.0"));
    QCOMPARE(m.value("content_type").toString(), QStringLiteral("multipart/mixed"));

    const QJsonArray parts = m.value("parts").toArray();
    QCOMPARE(parts.size(), 1 + m_attachmentNames.size());
    const QJsonObject text = parts[0].toObject();
    QCOMPARE(text.value("content_type").toString(), QStringLiteral("text/plain"));
    QCOMPARE(text.value("charset").toString(), QStringLiteral("windows-1252"));
    QCOMPARE(text.value("transfer_encoding").toString(), QStringLiteral("quoted-printable"));
    // The parser keeps the message's CRLF line ends in the text it gives.
    QCOMPARE(text.value("text").toString().split(QStringLiteral("\r\n")), BodyLines);

    const QStringList types = {QStringLiteral("application/pdf"), QStringLiteral("text/plain"),
                               QStringLiteral("image/jpeg")};
    for (int i = 0; i < m_attachmentNames.size(); ++i) {
        const QJsonObject part = parts[i + 1].toObject();
        QCOMPARE(part.value("filename").toString(), m_attachmentNames[i]);
        QCOMPARE(part.value("disposition").toString(), QStringLiteral("attachment"));
        QCOMPARE(part.value("transfer_encoding").toString(), QStringLiteral("base64"));
        QCOMPARE(part.value("content_type").toString(), types[i]);
        QFile original(m_dir.filePath(m_attachmentNames[i]));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QVERIFY(peer.file(part.value("file").toString()) == original.readAll());
    }
}

void TestMail::contentGoesOutAsGiven() {
    // Dot-stuffing on the wire, undone by the server: what it keeps is what was given.
    SmtpPeer peer(QStringLiteral("normal"));
    QVERIFY2(peer.started(), qPrintable(peer.errors()));
    const QByteArray content("Subject: puntos\r\n\r\n.\r\n..dos\r\n.uno\r\nfin.\r\n.");
    mail::SmtpClient client;
    client.setHost(peer.host());
    client.connectToServer();
    client.send(FromAddress, ToAddress, content);
    QCOMPARE(peer.rawMessage(), content + "\r\n");
}

void TestMail::login_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("logsIn");
    QTest::newRow("pedido y ofrecido") << "auth" << true << true;
    QTest::newRow("ofrecido, no pedido") << "auth" << false << false;
    QTest::newRow("pedido, no ofrecido") << "normal" << true << false;
    QTest::newRow("pedido, ofrecido sin LOGIN") << "auth-plain-only" << true << false;
}

void TestMail::login() {
    QFETCH(QString, mode);
    QFETCH(bool, asked);
    QFETCH(bool, logsIn);
    SmtpPeer peer(mode);
    QVERIFY2(peer.started(), qPrintable(peer.errors()));
    {
        mail::SmtpClient client;
        client.setHost(peer.host());
        if (asked)
            client.setLogin(User, Password);
        client.connectToServer();
        // Two sends on one connection: the login happens once.
        client.send(FromAddress, ToAddress, "Subject: uno\r\n\r\nuno\r\n");
        client.send(FromAddress, ToAddress, "Subject: dos\r\n\r\ndos\r\n");
        client.disconnectFromServer();
        QVERIFY(!client.isConnected());
    }
    const QStringList transaction = {"MAIL FROM:<" + FromAddress + ">",
                                     "RCPT TO:<" + ToAddress + ">", "DATA"};
    QStringList expected = {"EHLO", "RSET"};
    if (logsIn)
        expected << "AUTH LOGIN" << b64(User) << b64(Password);
    expected << transaction << "RSET" << transaction << "QUIT";
    QCOMPARE(verbs(peer.commands()), expected);
    QCOMPARE(peer.rawMessage(), QByteArray("Subject: dos\r\n\r\ndos\r\n"));
}

void TestMail::heloWhenEhloRefused() {
    SmtpPeer peer(QStringLiteral("helo-only"));
    QVERIFY2(peer.started(), qPrintable(peer.errors()));
    mail::SmtpClient client;
    client.setHost(peer.host());
    client.setLogin(User, Password);
    client.connectToServer();
    client.send(standardMessage());
    client.disconnectFromServer();
    QCOMPARE(verbs(peer.commands()),
             QStringList({"EHLO", "HELO", "RSET", "MAIL FROM:<" + FromAddress + ">",
                          "RCPT TO:<" + ToAddress + ">", "DATA", "QUIT"}));
    QCOMPARE(peer.summary().value("subject").toString(), Subject);
}

void TestMail::faults_data() {
    QTest::addColumn<QString>("mode");      // empty: nothing listening
    QTest::addColumn<QString>("change");    // what the test does differently
    QTest::addColumn<QString>("onConnect"); // the connection's error, empty when it works
    QTest::addColumn<QString>("onSend");    // the send's error
    QTest::addColumn<QStringList>("commands");

    const QString noConnection = QStringLiteral("No hay conexión con el servidor de correo");
    const QString mailFrom = "MAIL FROM:<" + FromAddress + ">";
    const QString rcptTo = "RCPT TO:<" + ToAddress + ">";
    const QString missing = m_dir.filePath(QStringLiteral("no-está.pdf"));

    QTest::newRow("nada escuchando") << QString() << QString()
                                     << QStringLiteral("No se puede conectar con el servidor de "
                                                       "correo 127.0.0.1:%1: Connection refused")
                                     << noConnection << QStringList();
    QTest::newRow("saludo rechazado")
        << "greeting-554" << QString()
        << QStringLiteral("El servidor de correo ha rechazado la conexión: 554 5.3.2 Servicio no "
                          "disponible")
        << noConnection << QStringList();
    QTest::newRow("servidor mudo (espera por variable de entorno)")
        << "silent"
        << "TRELMA_SMTP_ESPERA_MS=300"
        << QStringLiteral("El servidor de correo no ha respondido a tiempo (300 ms esperando el "
                          "saludo del servidor)")
        << noConnection << QStringList();
    QTest::newRow("usuario rechazado")
        << "refuse-auth"
        << "login" << QString()
        << QStringLiteral("El servidor de correo ha rechazado el usuario o la clave: 535 5.7.8 "
                          "Authentication credentials invalid")
        << QStringList({"EHLO", "RSET", "AUTH LOGIN", b64(User), b64(Password)});
    QTest::newRow("destinatario rechazado")
        << "refuse-rcpt" << QString() << QString()
        << QStringLiteral("El servidor de correo ha rechazado el destinatario %1: 550 5.1.1 "
                          "Destinatario desconocido")
               .arg(ToAddress)
        << QStringList({"EHLO", "RSET", mailFrom, rcptTo});
    QTest::newRow("corte durante el mensaje")
        << "drop-during-data" << QString() << QString()
        << QStringLiteral("Se ha cortado la conexión con el servidor de correo durante el envío "
                          "del mensaje")
        << QStringList({"EHLO", "RSET", mailFrom, rcptTo, "DATA"});
    QTest::newRow("sin respuesta al mensaje (espera fijada)")
        << "silent-after-data"
        << "setReplyTimeout(500)" << QString()
        << QStringLiteral("El servidor de correo no ha respondido a tiempo (500 ms esperando la "
                          "respuesta al mensaje)")
        << QStringList({"EHLO", "RSET", mailFrom, rcptTo, "DATA"});
    QTest::newRow("adjunto que falta")
        << "normal"
        << "missing" << QString()
        << QStringLiteral("No se puede leer el archivo adjunto: ") + missing
        << QStringList({"EHLO"});
    QTest::newRow("remitente con CR LF")
        << "normal"
        << "from" << QString()
        << QStringLiteral("La dirección del remitente no es válida: «%1\\r\\nRCPT TO:<x@y.test>» "
                          "(contiene caracteres de control)")
               .arg(FromAddress)
        << QStringList({"EHLO"});
    QTest::newRow("nombre del destinatario con LF")
        << "normal"
        << "toName" << QString()
        << QStringLiteral("El nombre del destinatario no es válido: «Gestor\\nBcc: x@y.test» "
                          "(contiene caracteres de control)")
        << QStringList({"EHLO"});
}

void TestMail::faults() {
    QFETCH(QString, mode);
    QFETCH(QString, change);
    QFETCH(QString, onConnect);
    QFETCH(QString, onSend);
    QFETCH(QStringList, commands);

    std::unique_ptr<SmtpPeer> peer;
    QString host;
    if (mode.isEmpty()) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        host = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
        onConnect = onConnect.arg(closed.serverPort());
    } else {
        peer = std::make_unique<SmtpPeer>(mode);
        QVERIFY2(peer->started(), qPrintable(peer->errors()));
        host = peer->host();
    }

    std::unique_ptr<EnvGuard> env;
    if (change.startsWith(QLatin1String("TRELMA_SMTP_ESPERA_MS=")))
        env = std::make_unique<EnvGuard>("TRELMA_SMTP_ESPERA_MS", change.mid(22).toLatin1());
    mail::SmtpClient client;
    client.setHost(host);
    if (change == QLatin1String("login"))
        client.setLogin(User, Password);
    if (change == QLatin1String("setReplyTimeout(500)"))
        client.setReplyTimeout(500);

    QCOMPARE(errorOf([&] { client.connectToServer(); }), onConnect);
    QCOMPARE(client.isConnected(), onConnect.isEmpty());
    QCOMPARE(errorOf([&] {
                 mail::Message message = standardMessage();
                 if (change == QLatin1String("missing"))
                     message.addAttachment(m_dir.filePath(QStringLiteral("no-está.pdf")));
                 if (change == QLatin1String("from"))
                     message.setFrom(FromName, FromAddress + "\r\nRCPT TO:<x@y.test>");
                 if (change == QLatin1String("toName"))
                     message.setTo(QStringLiteral("Gestor\nBcc: x@y.test"), ToAddress);
                 client.send(message);
             }),
             onSend);
    client.disconnectFromServer();
    QVERIFY(!client.isConnected());
    if (peer) {
        QCOMPARE(withoutQuit(verbs(peer->commands())), commands);
        QVERIFY(!peer->hasMessage());
    }
}

void TestMail::startTls() {
    SmtpPeer peer(QStringLiteral("tls"));
    QVERIFY2(peer.started(), qPrintable(peer.errors()));
    {
        mail::SmtpClient client;
        client.setHost(peer.host());
        client.setLogin(User, Password);
        client.addCaCertificates(
            QSslCertificate::fromPath(SmtpPeer::defaultCertificate()));
        client.connectToServer();
        QVERIFY(client.isEncrypted());
        client.send(standardMessage());
    }
    // The login is offered only once the connection is encrypted.
    QCOMPARE(verbs(peer.commands()),
             QStringList({"EHLO", "STARTTLS", "EHLO", "RSET", "AUTH LOGIN", b64(User),
                          b64(Password), "MAIL FROM:<" + FromAddress + ">",
                          "RCPT TO:<" + ToAddress + ">", "DATA", "QUIT"}));
    QCOMPARE(peer.summary().value("subject").toString(), Subject);
}

void TestMail::startTlsRefusesUnknownCertificate() {
    SmtpPeer peer(QStringLiteral("tls"));
    QVERIFY2(peer.started(), qPrintable(peer.errors()));
    mail::SmtpClient client;
    client.setHost(peer.host());
    const QString error = errorOf([&] { client.connectToServer(); });
    QVERIFY2(error.startsWith(QLatin1String("No se puede confiar en el certificado del servidor de "
                                            "correo 127.0.0.1: ")),
             qPrintable(error));
    QVERIFY(!client.isConnected());
    QCOMPARE(errorOf([&] { client.send(standardMessage()); }),
             QStringLiteral("No hay conexión con el servidor de correo"));
    // Never on in plain text.
    QCOMPARE(verbs(peer.commands()), QStringList({"EHLO", "STARTTLS"}));
    QVERIFY(!peer.hasMessage());
}

void TestMail::certificates_data() {
    QTest::addColumn<QString>("kind");      // of the server's certificate (initTestCase)
    QTest::addColumn<bool>("trusted");      // the test's authority added to the client
    QTest::addColumn<QStringList>("texts"); // in the refusal; empty: sent over TLS

    const QString remedyAuthority = QStringLiteral(
        "instale el certificado de la autoridad que firmó el del servidor (lo facilita quien "
        "administra el servidor de correo) en el almacén de certificados del sistema, o "
        "guárdelo en un archivo PEM e indique su ruta en el valor CertificadoCorreo de la "
        "configuración");
    QTest::newRow("de la autoridad de la oficina, que se confía")
        << "autoridad" << true << QStringList();
    QTest::newRow("de la autoridad de la oficina, sin ella")
        << "autoridad" << false
        << QStringList{
               QStringLiteral("no lo firma ninguna autoridad de certificación de confianza para "
                              "este equipo (emisor: «Autoridad de pruebas Trelmavondis»)."),
               QStringLiteral("\nQué hacer:\n- ") + remedyAuthority + u'.'};
    QTest::newRow("de otro nombre")
        << "otro nombre" << true
        << QStringList{QStringLiteral(": es de otro nombre de servidor («otro.test», "
                                      "«smtp.otro.test»), no de «127.0.0.1»."),
                       QStringLiteral("\nQué hacer:\n- escriba en la ficha del instalador el "
                                      "servidor SMTP con el nombre que figura en su "
                                      "certificado.")};
    QTest::newRow("caducado")
        << "caducado" << true
        << QStringList{QStringLiteral(": ha caducado (era válido hasta el %1)."),
                       QStringLiteral("\nQué hacer:\n- compruebe la fecha y la hora de este "
                                      "equipo; si son correctas, quien administra el servidor de "
                                      "correo debe renovar su certificado.")};
}

// STARTTLS with a certificate of an authority made here: trusted once the authority is added
// (as the configuration's CertificadoCorreo adds it), refused otherwise with what failed and
// what to do, in Spanish; never on in plain text.
void TestMail::certificates() {
    QFETCH(QString, kind);
    QFETCH(bool, trusted);
    QFETCH(QStringList, texts);
    const TestAuthority::Issued issued = m_issued.value(kind);
    SmtpPeer peer(QStringLiteral("tls"), issued.certificate, issued.key);
    QVERIFY2(peer.started(), qPrintable(peer.errors()));
    mail::SmtpClient client;
    client.setHost(peer.host());
    if (trusted)
        client.addCaCertificates(mail::readCaCertificates(m_authority->certificate()));
    MailError::Kind errorKind = MailError::Kind::InvalidInput;
    QString error;
    try {
        client.connectToServer();
        client.send(standardMessage());
    } catch (const MailError &e) {
        errorKind = e.kind();
        error = e.message();
    }
    client.disconnectFromServer();
    if (texts.isEmpty()) {
        QCOMPARE(error, QString());
        QCOMPARE(withoutQuit(verbs(peer.commands())),
                 QStringList({"EHLO", "STARTTLS", "EHLO", "RSET", "MAIL FROM:<" + FromAddress + ">",
                              "RCPT TO:<" + ToAddress + ">", "DATA"}));
        QCOMPARE(peer.summary().value("subject").toString(), Subject);
        return;
    }
    QCOMPARE(errorKind, MailError::Kind::Certificate);
    QVERIFY2(error.startsWith(QLatin1String("No se puede confiar en el certificado del servidor "
                                            "de correo 127.0.0.1: ")),
             qPrintable(error));
    // %1: the day the server's certificate ends, as the certificate says.
    const QList<QSslCertificate> served = QSslCertificate::fromPath(issued.certificate);
    QCOMPARE(served.size(), 1);
    const QString expiry =
        served.first().expiryDate().toLocalTime().toString(QStringLiteral("dd/MM/yyyy"));
    for (QString text : texts) {
        text.replace(QStringLiteral("%1"), expiry);
        QVERIFY2(error.contains(text), qPrintable(error + QStringLiteral("\n--- sin: ") + text));
    }
    QVERIFY(!client.isConnected());
    QCOMPARE(verbs(peer.commands()), QStringList({"EHLO", "STARTTLS"}));
    QVERIFY(!peer.hasMessage());
}

void TestMail::caFileProblems_data() {
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<QString>("message");    // %1: the path
    QTest::newRow("no existe") << QByteArray()
                               << "No se puede leer el certificado de la configuración "
                                  "(CertificadoCorreo) %1: No such file or directory";
    QTest::newRow("no es PEM") << QByteArray("-----BEGIN CERTIFICADO-----\nhola\n")
                               << "El archivo de el certificado de la configuración "
                                  "(CertificadoCorreo) %1 no contiene ningún certificado en "
                                  "formato PEM";
}

void TestMail::caFileProblems() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString path = m_dir.filePath(QStringLiteral("autoridad de la oficina.pem"));
    QFile::remove(path);
    if (!content.isEmpty())
        writeFile(QStringLiteral("autoridad de la oficina.pem"), content);
    QCOMPARE(errorOf([&] { mail::readCaCertificates(path); }), message.arg(path));
}

void TestMail::sizeLimits_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<qint64>("configured"); // setSizeLimit(), for a server without SIZE
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<qint64>>("sizes");
    QTest::addColumn<QStringList>("texts"); // in the refusal; empty: sent

    const qint64 mb = 1024 * 1024;
    const QString start = QStringLiteral("El mensaje es demasiado grande y no se ha enviado: ocupa "
                                         "al menos ");
    QTest::newRow("28 MB, más que el SIZE del servidor")
        << "normal" << 25 * mb << QStringList{"obra terminada.mp4"} << QList<qint64>{28'000'000}
        << QStringList{start, "una vez codificado, y el servidor de correo admite como máximo "
                              "32,0 MB.\nArchivos adjuntos, 26,7 MB en total:\n"
                              "- obra terminada.mp4 (26,7 MB)\n"
                              "Quite o reduzca alguno, o envíelos por otro medio."};
    QTest::newRow("4 GiB y un byte")
        << "normal" << 25 * mb << QStringList{"copia de seguridad.zip", "plano.pdf"}
        << QList<qint64>{(qint64(4) << 30) + 1, 35'000}
        << QStringList{start, "Archivos adjuntos, 4,0 GB en total:\n"
                              "- copia de seguridad.zip (4,0 GB)\n- plano.pdf (34,2 kB)\n"};
    QTest::newRow("sin SIZE: el límite configurado")
        << "no-size" << 25 * mb << QStringList{"fotos.zip", "memoria.pdf", "acta.txt"}
        << QList<qint64>{20'000'000, 8'000'000, 1024}
        << QStringList{start, "una vez codificado, y el límite para un servidor que no anuncia "
                              "el suyo es de 25,0 MB (LimiteCorreoMB en la configuración).\n"
                              "Archivos adjuntos, 26,7 MB en total:\n- fotos.zip (19,1 MB)\n"
                              "- memoria.pdf (7,6 MB)\n- acta.txt (1,0 kB)\n"};
    QTest::newRow("el SIZE del servidor, menor que el configurado")
        << "size-1mb" << 25 * mb << QStringList{"plano.pdf"} << QList<qint64>{900'000}
        << QStringList{start, "y el servidor de correo admite como máximo 1,0 MB."};
    QTest::newRow("el SIZE del servidor, mayor que el configurado")
        << "normal" << 1 * mb << QStringList{"plano.pdf"} << QList<qint64>{2'500'000}
        << QStringList();
    QTest::newRow("sin SIZE, por debajo del límite configurado")
        << "no-size" << 4 * mb << QStringList{"plano.pdf", "foto.jpg"}
        << QList<qint64>{2'500'000, 100'000} << QStringList();
}

// A message larger than the limit (the server's SIZE, or the configured one when it announces
// none) is refused after EHLO and before any transaction: nothing is uploaded, and the refusal
// names the files and their total. Files too large to refuse are sparse: they cost no disk and
// are never read.
void TestMail::sizeLimits() {
    QFETCH(QString, mode);
    QFETCH(qint64, configured);
    QFETCH(QStringList, names);
    QFETCH(QList<qint64>, sizes);
    QFETCH(QStringList, texts);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    const auto restore = qScopeGuard([&before] { QLocale::setDefault(before); });

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    mail::Message message;
    message.setFrom(FromName, FromAddress);
    message.setTo(ToName, ToAddress);
    message.setSubject(Subject);
    message.setBody(BodyLines.join(QStringLiteral("\r\n")));
    for (qsizetype i = 0; i < names.size(); ++i) {
        QFile file(folder.filePath(names[i]));
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (texts.isEmpty())
            QCOMPARE(file.write(randomBytes(sizes[i], quint32(i + 10))), sizes[i]);
        else
            QVERIFY(file.resize(sizes[i]));
        file.close();
        message.addAttachment(file.fileName());
    }

    SmtpPeer peer(mode);
    QVERIFY2(peer.started(), qPrintable(peer.errors()));
    mail::SmtpClient client;
    client.setHost(peer.host());
    client.setSizeLimit(configured);
    client.connectToServer();
    const QString error = errorOf([&] { client.send(message); });
    if (texts.isEmpty()) {
        QCOMPARE(error, QString());
        const QJsonArray parts = peer.summary().value("parts").toArray();
        QCOMPARE(parts.size(), 1 + names.size());
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QJsonObject part = parts[1 + i].toObject();
            QCOMPARE(part.value("filename").toString(), names[i]);
            QVERIFY(peer.file(part.value("file").toString()) ==
                    randomBytes(sizes[i], quint32(i + 10)));
        }
        return;
    }
    for (const QString &text : texts)
        QVERIFY2(error.contains(text), qPrintable(error + QStringLiteral("\n--- sin: ") + text));
    QVERIFY2(error.startsWith(texts.first()), qPrintable(error));
    // Still connected, and nothing but the greeting went to the server.
    QVERIFY(client.isConnected());
    QCOMPARE(verbs(peer.commands()), QStringList({"EHLO"}));
    client.disconnectFromServer();
    QVERIFY(!peer.hasMessage());
}

// The headers are what tips a message over the limit: it is refused all the same, once built
// and before the upload; just under it, it goes.
void TestMail::headersTipOverLimit() {
    const mail::Message message = standardMessage();
    const qint64 size = message.toBytes().size();
    for (const bool over : {true, false}) {
        const qint64 limit = over ? size - 200 : size + 200;
        QVERIFY(message.minimumSize() < limit);
        SmtpPeer peer(QStringLiteral("no-size"));
        QVERIFY2(peer.started(), qPrintable(peer.errors()));
        mail::SmtpClient client;
        client.setHost(peer.host());
        client.setSizeLimit(limit);
        client.connectToServer();
        const QString error = errorOf([&] { client.send(message); });
        client.disconnectFromServer();
        if (over) {
            QVERIFY2(error.startsWith(QLatin1String("El mensaje es demasiado grande y no se ha "
                                                    "enviado: ocupa ")) &&
                         !error.contains(QLatin1String("al menos")),
                     qPrintable(error));
            QCOMPARE(verbs(peer.commands()), QStringList({"EHLO", "QUIT"}));
            QVERIFY(!peer.hasMessage());
        } else {
            QCOMPARE(error, QString());
            QCOMPARE(peer.summary().value("subject").toString(), Subject);
        }
    }
}

// Once the message is accepted the send is done: a server that never answers QUIT is left
// after a few seconds, not after the reply limit (two minutes).
void TestMail::quitReplyNotAwaited() {
    SmtpPeer peer(QStringLiteral("silent-after-quit"));
    QVERIFY2(peer.started(), qPrintable(peer.errors()));
    mail::SmtpClient client;
    QCOMPARE(client.replyTimeout(), mail::SmtpClient::DefaultReplyTimeoutMs);
    client.setHost(peer.host());
    client.connectToServer();
    client.send(standardMessage());
    QElapsedTimer clock;
    clock.start();
    client.disconnectFromServer();
    QVERIFY2(clock.elapsed() < mail::SmtpClient::DefaultReplyTimeoutMs / 4,
             qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!client.isConnected());
    QCOMPARE(peer.commands().last(), QStringLiteral("QUIT"));
    QCOMPARE(peer.summary().value("subject").toString(), Subject);
}

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
