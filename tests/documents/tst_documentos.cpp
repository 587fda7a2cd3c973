// The bulletin run as the user meets it: the main window's print and e-mail entry points on
// the demo database with the real reports/Trelmavondis.rav, the mail received by a real SMTP
// server (aiosmtpd on 127.0.0.1, read back with Python's email parser), the database seen
// through a second attachment, and the PDF read by pdftotext.

#include "data/UDatos.h"
#include "documents/Animacion.h"
#include "documents/Boletin.h"
#include "documents/Documentos.h"
#include "documents/HojaExpediente.h"
#include "documents/Uemailenviar.h"
#include "db/Statement.h"
#include "platform/dialogs/MessageBoxes.h"
#include "tests/common/Entorno.h"
#include "tests/common/SmtpPeer.h"
#include "tests/platform/report/ReportTestSupport.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QProcess>
#include <QJsonArray>
#include <QLabel>
#include <QMessageBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// What the main window's error box shows of what f raises; empty when it raises nothing.
QString errorMostrado(const std::function<void()> &f) {
    try {
        f();
    } catch (...) {
        return exceptionText(std::current_exception());
    }
    return QString();
}

const QString kExpediente = QStringLiteral("2500148719"); // demo installation 3, not sent
const QString kGestor = QStringLiteral("GARCÍA LÓPEZ, MARÍA");
const QString kCorreoGestor = QStringLiteral("maria.garcia@distribuidora-ejemplo.es");
const QString kInstalador = QStringLiteral("INSTALACIONES ELÉCTRICAS EJEMPLO, S.L.");
const QString kCorreoInstalador = QStringLiteral("oficina@instalaciones-ejemplo.es");
const QString kBloqueo =
    QStringLiteral("No es posible modificar los registros de una instalacion enviada");
const QString kSinConexion = QStringLiteral("No hay conexión con el servidor de correo");

QString confirmacion(const QString &expediente = kExpediente, const QString &gestor = kGestor) {
    return QStringLiteral("TFconfirmacion|Confirmación|Desea enviar por correo electrónico el "
                          "expediente nº: ") +
           expediente + QStringLiteral("|al gestor: ") + gestor;
}
const QString kVentanaCorreo = QStringLiteral("TFemailenviar|Enviando correo electrónico");
QString exito(const QString &expediente = kExpediente) {
    // The box shows the message's "\n\r" as one line break.
    return QStringLiteral("QMessageBox|Trelmavondis|El envío de la Hoja Expte.: ") + expediente +
           QStringLiteral("\nse realizado con exito.");
}
// Whether `texto` reads as `patron`, where each "*" stands for any text.
bool encaja(const QString &texto, const QString &patron) {
    const QStringList trozos = patron.split(u'*');
    if (!texto.startsWith(trozos.first()) || !texto.endsWith(trozos.last()))
        return false;
    qsizetype desde = trozos.first().size();
    for (qsizetype i = 1; i + 1 < trozos.size(); ++i) {
        desde = texto.indexOf(trozos[i], desde);
        if (desde < 0)
            return false;
        desde += trozos[i].size();
    }
    return desde <= texto.size() - trozos.last().size() || trozos.size() == 1;
}
QString error(const QString &mensaje) {
    return QStringLiteral("TFerror|ERROR|No se ha podido ejecutar o enviar el informe|Detalle:|") +
           mensaje;
}
QString caja(const QString &texto) {
    return QStringLiteral("QMessageBox|Trelmavondis|") + texto;
}

QString textoDe(const QWidget *w, const char *nombre) {
    const auto *etiqueta = w->findChild<QLabel *>(QLatin1String(nombre));
    return etiqueta ? etiqueta->text() : QStringLiteral("(sin %1)").arg(QLatin1String(nombre));
}

// How the windows of a bulletin run are written down in the answers' `seen`:
//   "QMessageBox|<title>|<text>" (+ "|error" with the critical icon)
//   "TFconfirmacion|<title>|<first line>|<second line>"
//   "TFerror|<title>|<heading>|<detail label>|<message>"
//   "TFemailenviar|<title>"
//   "<class>|<title>" for the rest (the engine's setup dialog...)
QString describir(QWidget *modal) {
    const QString clase = QLatin1String(modal->metaObject()->className());
    QString e = clase + u'|' + ModalAnswers::shownTitle(modal);
    if (auto *caja = qobject_cast<QMessageBox *>(modal)) {
        e = QStringLiteral("QMessageBox|") + ModalAnswers::shownTitle(caja) + u'|' + caja->text();
        if (caja->icon() == QMessageBox::Critical)
            e += QStringLiteral("|error");
    } else if (clase == QLatin1String("TFconfirmacion")) {
        e += u'|' + textoDe(modal, "Label1") + textoDe(modal, "DBText1") + u'|' +
             textoDe(modal, "Label2") + textoDe(modal, "DBText2");
    } else if (clase == QLatin1String("TFerror")) {
        const auto *detalle = modal->findChild<QPlainTextEdit *>(QStringLiteral("error"));
        e += u'|' + textoDe(modal, "Label1") + u'|' + textoDe(modal, "Label2") + u'|' +
             (detalle ? detalle->toPlainText() : QStringLiteral("(sin error)"));
    }
    return e;
}

// The answers to a bulletin run: its windows written down as above, and the mail window,
// modal but answering itself, written down once and left alone; `alVerCorreo` runs when it
// shows, before it sends.
void comoBoletin(ModalAnswers &respuestas, std::function<void(QWidget *)> alVerCorreo = {}) {
    respuestas.describe = describir;
    respuestas.leaveAlone("TFemailenviar", std::move(alVerCorreo));
}

QByteArray bytesAlAzar(int n) {
    QByteArray b(n, Qt::Uninitialized);
    QRandomGenerator r(n);
    for (char &c : b)
        c = char(r.generate() & 0xFF);
    return b;
}

// A port on which nothing listens.
quint16 puertoCerrado() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost);
    return s.serverPort();
}

// The two files of this test that installation 3 carries (the first with a note, the second
// without): written before the database is seeded with their paths.
struct Adjuntos {
    QTemporaryDir archivos;
    QString memoria = archivo(QStringLiteral("memoria_técnica.pdf"), bytesAlAzar(180'000));
    QString fachada = archivo(QStringLiteral("fotografía_fachada.jpg"), bytesAlAzar(40'000));

    QString archivo(const QString &nombre, const QByteArray &bytes) {
        const QString ruta = QDir(archivos.path()).filePath(nombre);
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("no se puede escribir %s", qPrintable(ruta));
        return ruta;
    }
    // The demo's installation 3 with these files.
    QStringList semilla() const {
        return {
            QStringLiteral("update INSTALACION_ADJUNTOS set DIRECCION='%1' where ID=4")
                .arg(memoria),
            QStringLiteral("update INSTALACION_ADJUNTOS set DIRECCION='%1' where ID=5")
                .arg(fachada),
            QStringLiteral("update INSTALACION set POTENCIA=1234.5, LOCALIZA_TIPOBIS=1, "
                           "LOCALIZA_BIS='A' where ID=3"),
        };
    }
};

using Correo = Entorno::Correo;

// The tests' environment on the demo database with the files above, the answers set for a
// bulletin run, and the folders its printouts go to and its report project comes from. The
// installer sends through the environment's SMTP peer, or through a server of the test's own.
struct EntornoDocumentos : Adjuntos, Entorno {
    QTemporaryDir impresos;
    QString directorio = QStringLiteral(TRELMA_REPORTS_DIR);

    explicit EntornoDocumentos(const Correo &correo, const QStringList &semilla = {})
        : Entorno(correo, kDemo, Adjuntos::semilla() + semilla) {
        comoBoletin(respuestas);
    }
    explicit EntornoDocumentos(const QString &servidor, const QStringList &semilla = {})
        : Entorno(kDemo,
                  QStringList{QStringLiteral("update INSTALADOR set SMTP_SERVIDOR='%1' where ID=1")
                                  .arg(servidor)} +
                      Adjuntos::semilla() + semilla) {
        comoBoletin(respuestas);
    }
    QString enviado(int id) {
        return visto(QStringLiteral("select ENVIADO from INSTALACION where ID=%1").arg(id))
            .toString();
    }
    QDate fecha(int id) {
        return visto(QStringLiteral("select FECHA from INSTALACION where ID=%1").arg(id))
            .toDateTime()
            .date();
    }
    bool situar(int id) { return datos->DSinstalacion().locate(QStringLiteral("ID"), id); }
    void imprimir() { imprimirBoletin(*datos, principal.get(), directorio, impresos.path()); }
    void enviar() { enviarPorCorreo(*datos, principal.get(), directorio, impresos.path()); }
    QString pdf(const QString &expediente = kExpediente) const {
        return QDir(impresos.path()).filePath(QStringLiteral("Exp") + expediente + ".pdf");
    }
    QStringList impresosEscritos() const { return QDir(impresos.path()).entryList(QDir::Files); }
    // After every run: the whole list open again, on the same installation, nothing narrowed.
    void comprobarLista(int id) {
        db::RecordSet &r = datos->DSinstalacion();
        QCOMPARE(r.selectSql.value(1), QString());
        QCOMPARE(r.state(), db::State::Browse);
        QCOMPARE(r[QStringLiteral("ID")].asInteger(), id);
        r.fetchAll();
        QCOMPARE(r.recordCount(),
                 visto(QStringLiteral("select count(*) from INSTALACION")).toInt());
        QCOMPARE(r[QStringLiteral("ID")].asInteger(), id);
        QVERIFY(!datos->Qinstalador().active());
    }
};

// No mail window or error dialog outlives its run.
int ventanasVivas(const char *clase) {
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->inherits(clase))
            ++n;
    return n;
}

// The setup dialog answered with a file destination.
ModalAnswers::Answer aArchivo(const QString &ruta) {
    return [ruta](QWidget *d) {
        d->findChild<QRadioButton *>(QStringLiteral("destinoArchivo"))->click();
        d->findChild<QLineEdit *>(QStringLiteral("archivo"))->setText(ruta);
        ModalAnswers::press(QStringLiteral("Aceptar"))(d);
    };
}

QStringList lineasRecibidas(const SmtpPeer &peer) {
    const QJsonArray partes = peer.summary().value("parts").toArray();
    return partes.first().toObject().value("text").toString().split(QStringLiteral("\r\n"));
}

QStringList adjuntosRecibidos(const SmtpPeer &peer) {
    QStringList nombres;
    const QJsonArray partes = peer.summary().value("parts").toArray();
    for (qsizetype i = 1; i < partes.size(); ++i)
        nombres << partes[i].toObject().value("filename").toString();
    return nombres;
}

QByteArray bytesDe(const QString &ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The body of installation 3 as seeded, attachment block aside.
QStringList cuerpo(const QStringList &adjuntos) {
    QStringList l = {
        QStringLiteral("Tipo de suministro: Local comercial"),
        QString(),
        QStringLiteral("Potencia: 1.234,50kW"),
        QString(),
        QStringLiteral(
            "Localización: 46 València - València - CALLE DE COLÓN, 18 Bis A,  BJ IZQ (46004)"),
        QString(),
        QStringLiteral("Instalador autorizado: ") + kInstalador,
    };
    l << adjuntos << QString() << QStringLiteral("Observaciones del gestor: ");
    return l;
}

// "EHLO <our name>" reads as the bare verb; the rest stays whole.
QStringList ordenes(const SmtpPeer &peer) {
    QStringList out;
    for (const QString &c : peer.commands())
        out << (c.startsWith(QLatin1String("EHLO ")) ? QStringLiteral("EHLO") : c);
    return out;
}

} // namespace

class TstDocumentos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    // The mail's texts.
    void potencia_data();
    void potencia();
    void nombreDeArchivo_data();
    void nombreDeArchivo();

    // Print mode.
    void impresionAArchivo();
    void impresionCancelada();
    void otroModoImprime_data();
    void otroModoImprime();
    void fallosAntesDeEstrechar_data();
    void fallosAntesDeEstrechar();
    void pendienteRechazado();

    // Send mode.
    void envio();
    void ventanasDelEnvio();
    void cuerpoYAdjuntos_data();
    void cuerpoYAdjuntos();
    void autentificacion_data();
    void autentificacion();
    void servidorDelInstaladorDeLaInstalacion();
    void respuestaNo_data();
    void respuestaNo();
    void instalacionEnviada();
    void segundoEnvioSobrescribe();
    void notaPendiente_data();
    void notaPendiente();
    void impresionNoPisaElArchivado();
    void demostracion();
    void expedienteNoValido();
    void fallos_data();
    void fallos();
    void marcaDeEnviadoFallida();
    void fechaNoGuardada();
    void demasiadoGrande_data();
    void demasiadoGrande();
    void ajustesDeCorreo_data();
    void ajustesDeCorreo();

private:
    // The system's configuration file as the mail window reads it; empty: none.
    void configurar(const QByteArray &contenido);

    QTemporaryDir m_xdg; // XDG_CONFIG_DIRS of the run: no configuration of the machine's
    int m_escrituras = 0;
    std::unique_ptr<TestAuthority> m_autoridad;
    TestAuthority::Issued m_certificado; // the server's, signed by m_autoridad
};

void TstDocumentos::initTestCase() {
    Entorno::cajas = false; // the data module's messages are read from the main window's fake
    QVERIFY(m_xdg.isValid());
    QVERIFY(QDir(m_xdg.path()).mkpath(QStringLiteral("Nirvelo")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_xdg.path()));
    m_autoridad = std::make_unique<TestAuthority>();
    QVERIFY2(m_autoridad->valid(), qPrintable(m_autoridad->errors()));
    m_certificado =
        m_autoridad->issue(QStringLiteral("correo"), QStringLiteral("IP:127.0.0.1"), 30);
    QVERIFY2(QFile::exists(m_certificado.certificate), qPrintable(m_autoridad->errors()));
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    // The window's numbers follow the user's settings; the test run fixes Spanish ones.
    QCOMPARE(QLocale::system().decimalPoint(), QStringLiteral(","));
    QCOMPARE(QLocale::system().groupSeparator(), QStringLiteral("."));
}

// ---------------------------------------------------------------- the mail's texts

void TstDocumentos::potencia_data() {
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("idioma");
    QTest::addColumn<QString>("texto");
    QTest::newRow("cero, también un nulo") << 0.0 << "es_ES"
                                           << "0,00";
    QTest::newRow("cuatro cifras agrupadas") << 1234.5 << "es_ES"
                                             << "1.234,50";
    QTest::newRow("tres cifras") << 999.994 << "es_ES"
                                 << "999,99";
    QTest::newRow("redondeo que añade cifra") << 999.995 << "es_ES"
                                              << "1.000,00";
    QTest::newRow("millones") << 1234567.891 << "es_ES"
                              << "1.234.567,89";
    QTest::newRow("negativo") << -1234.5 << "es_ES"
                              << "-1.234,50";
    QTest::newRow("negativo que redondea a cero") << -0.001 << "es_ES"
                                                  << "0,00";
    QTest::newRow("separadores ingleses") << 1234.5 << "en_US"
                                          << "1,234.50";
    QTest::newRow("separadores suizos") << 1234567.5 << "de_CH"
                                        << "1’234’567.50";
}

void TstDocumentos::potencia() {
    QFETCH(double, valor);
    QFETCH(QString, idioma);
    QFETCH(QString, texto);
    QCOMPARE(conMiles(valor, QLocale(idioma)), texto);
}

void TstDocumentos::nombreDeArchivo_data() {
    QTest::addColumn<QString>("ruta");
    QTest::addColumn<QString>("nombre");
    QTest::newRow("barras") << "/home/oficina/planos/plano.pdf"
                            << "plano.pdf";
    QTest::newRow("contrabarras") << "C:\\Planos\\plano.pdf"
                                  << "plano.pdf";
    QTest::newRow("mezcla, última contrabarra") << "/a/b\\c.pdf"
                                                << "c.pdf";
    QTest::newRow("mezcla, última barra") << "C:\\a\\b/c.pdf"
                                          << "c.pdf";
    QTest::newRow("sin separador") << "plano.pdf"
                                   << "plano.pdf";
}

void TstDocumentos::nombreDeArchivo() {
    QFETCH(QString, ruta);
    QFETCH(QString, nombre);
    QCOMPARE(::nombreDeArchivo(ruta), nombre);
}

// ---------------------------------------------------------------- print mode

// A pending edit is saved first; the bulletin of that one installation goes to the file the
// user chooses in the setup dialog; then the list is whole again on the same installation.
void TstDocumentos::impresionAArchivo() {
    EntornoDocumentos e(QStringLiteral("127.0.0.1"));
    QVERIFY(e.situar(3));
    db::RecordSet &r = e.datos->DSinstalacion();
    r.edit();
    r[QStringLiteral("SOLICITANTE_NOMBRE")].setValue(QStringLiteral("FARMACIA RENOMBRADA, S.L."));

    QTemporaryDir otro;
    const QString elegido = QDir(otro.path()).filePath(QStringLiteral("boletín.pdf"));
    ModalAnswers &respuestas = e.respuestas;
    QStringList durante;
    respuestas.push([&](QWidget *d) {
        r.fetchAll();
        durante << r.selectSql.value(1) << QString::number(r.recordCount())
                << r[QStringLiteral("ID")].asString();
        aArchivo(elegido)(d);
    });
    e.imprimir();

    QCOMPARE(respuestas.seen, QStringList({"report::SetupDialog|Output Options"}));
    QCOMPARE(durante, QStringList({"where id=3", "1", "3"}));
    const QString texto = pdfText(elegido);
    for (const QString &s : {kExpediente, QStringLiteral("FARMACIA RENOMBRADA, S.L."),
                             QStringLiteral("CALLE DE COLÓN"), kInstalador})
        QVERIFY2(texto.contains(s), qPrintable(s));
    QVERIFY(!texto.contains(QStringLiteral("2500123450"))); // installation 1's number
    QCOMPARE(e.visto("select SOLICITANTE_NOMBRE from INSTALACION where ID=3").toString(),
             QStringLiteral("FARMACIA RENOMBRADA, S.L."));
    QCOMPARE(e.fecha(3), QDate(2025, 5, 20)); // printing does not date it
    QCOMPARE(e.impresosEscritos(), QStringList());
    QVERIFY(e.principal->avisos().isEmpty());
    e.comprobarLista(3);
}

void TstDocumentos::impresionCancelada() {
    EntornoDocumentos e(QStringLiteral("127.0.0.1"));
    QVERIFY(e.situar(2));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Cancelar")));
    e.imprimir();
    QCOMPARE(respuestas.seen, QStringList({"report::SetupDialog|Output Options"}));
    QCOMPARE(e.impresosEscritos(), QStringList());
    QVERIFY(e.principal->avisos().isEmpty());
    QCOMPARE(ventanasVivas("TFerror"), 0);
    e.comprobarLista(2);
}

void TstDocumentos::otroModoImprime_data() {
    QTest::addColumn<QString>("modo");
    QTest::newRow("impreso") << "impreso";
    QTest::newRow("vacío") << "";
    QTest::newRow("EMAIL en mayúsculas") << "EMAIL";
}

// Every mode other than "email" prints: the setup dialog, no confirmation, no mail.
void TstDocumentos::otroModoImprime() {
    QFETCH(QString, modo);
    EntornoDocumentos e(QStringLiteral("127.0.0.1"));
    QVERIFY(e.situar(4));
    Boletin &boletin = Boletin::guardado(*e.datos, e.principal.get());
    boletin.setCarpetas(e.directorio, e.impresos.path());
    e.datos->setInforme(&boletin);
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Cancelar")));
    e.datos->EjecutarInforme(modo);
    e.datos->setInforme(nullptr);
    QCOMPARE(respuestas.seen, QStringList({"report::SetupDialog|Output Options"}));
    QCOMPARE(e.impresosEscritos(), QStringList());
    e.comprobarLista(4);
}

void TstDocumentos::fallosAntesDeEstrechar_data() {
    QTest::addColumn<QString>("contenido"); // of Trelmavondis.rav; empty: no file at all
    QTest::addColumn<QString>("mensaje");   // %1: the project's path
    QTest::newRow("sin proyecto") << ""
                                  << "The following reporting project does not exist:\r\"%1\"";
    QTest::newRow("proyecto sin el boletín") << "Listado.rav"
                                             << "No se ha podido localizar el informe";
}

// The project or the report missing: the standard error box (the main window shows what the
// entry point raises), before the list is narrowed; in both modes.
void TstDocumentos::fallosAntesDeEstrechar() {
    QFETCH(QString, contenido);
    QFETCH(QString, mensaje);
    EntornoDocumentos e(QStringLiteral("127.0.0.1"));
    QTemporaryDir carpeta;
    e.directorio = carpeta.path();
    const QString proyecto = QDir(carpeta.path()).filePath(QStringLiteral("Trelmavondis.rav"));
    if (!contenido.isEmpty())
        QVERIFY(QFile::copy(QStringLiteral(TRELMA_REPORTS_DIR "/") + contenido, proyecto));
    QVERIFY(e.situar(3));
    for (const bool enviar : {false, true}) {
        ModalAnswers &respuestas = e.respuestas;
        QCOMPARE(errorMostrado([&] { enviar ? e.enviar() : e.imprimir(); }), mensaje.arg(proyecto));
        QCOMPARE(respuestas.seen, QStringList());
        QCOMPARE(e.datos->DSinstalacion().selectSql.value(1), QString());
        e.comprobarLista(3);
    }
    QCOMPARE(e.fecha(3), QDate(2025, 5, 20));
    QCOMPARE(e.impresosEscritos(), QStringList());
}

// A pending edit that cannot be saved stops both buttons before the bulletin run.
void TstDocumentos::pendienteRechazado() {
    EntornoDocumentos e(QStringLiteral("127.0.0.1"));
    QVERIFY(e.situar(3));
    e.datos->DSinstalacion().insert();
    for (const bool enviar : {false, true}) {
        ModalAnswers &respuestas = e.respuestas;
        QCOMPARE(errorOf([&] { enviar ? e.enviar() : e.imprimir(); }),
                 QStringLiteral("El Expediente debe tener un valor"));
        QCOMPARE(respuestas.seen, QStringList());
        QCOMPARE(e.datos->DSinstalacion().state(), db::State::Insert);
        QCOMPARE(e.datos->DSinstalacion().selectSql.value(1), QString());
    }
    QCOMPARE(e.impresosEscritos(), QStringList());
}

// ---------------------------------------------------------------- send mode

// The whole send: confirmation, FECHA committed, the PDF, the mail as received, the success
// message, ENVIADO committed, the window gone and the list whole again.
void TstDocumentos::envio() {
    EntornoDocumentos e(Correo{QStringLiteral("normal")});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    QString enviadoAlConfirmar, enviadoAlAvisar;
    respuestas.push([&](QWidget *d) {
        enviadoAlConfirmar = e.enviado(3);
        ModalAnswers::press(QStringLiteral("Si"))(d);
    });
    respuestas.push([&](QWidget *d) {
        enviadoAlAvisar = e.enviado(3); // not before the user has read it
        ModalAnswers::ok()(d);
    });
    e.enviar();

    QCOMPARE(respuestas.seen, QStringList({confirmacion(), kVentanaCorreo, exito()}));
    QCOMPARE(enviadoAlConfirmar, QStringLiteral("N"));
    QCOMPARE(enviadoAlAvisar, QStringLiteral("N"));
    QCOMPARE(e.enviado(3), QStringLiteral("S"));
    QCOMPARE(e.fecha(3), QDate::currentDate());

    QCOMPARE(ordenes(peer), QStringList({"EHLO", "RSET", "MAIL FROM:<" + kCorreoInstalador + ">",
                                         "RCPT TO:<" + kCorreoGestor + ">", "DATA", "QUIT"}));
    const QJsonObject s = peer.summary();
    QCOMPARE(s.value("subject").toString(),
             QStringLiteral("Trelmavondis - Hoja Expte.:  ") + kExpediente);
    QCOMPARE(s.value("from").toObject().value("name").toString(), kInstalador);
    QCOMPARE(s.value("from").toObject().value("address").toString(), kCorreoInstalador);
    QCOMPARE(s.value("to").toObject().value("name").toString(), kGestor);
    QCOMPARE(s.value("to").toObject().value("address").toString(), kCorreoGestor);
    QCOMPARE(s.value("defects").toArray().size(), 0);
    QCOMPARE(lineasRecibidas(peer),
             cuerpo({QString(), QStringLiteral("Adjuntos:"),
                     QStringLiteral("          memoria_técnica.pdf -> MEMORIA TÉCNICA")}));
    QCOMPARE(adjuntosRecibidos(peer), QStringList({"memoria_técnica.pdf", "fotografía_fachada.jpg",
                                                   "Exp" + kExpediente + ".pdf"}));
    QCOMPARE(peer.file("part-1.bin"), bytesDe(e.memoria));
    QCOMPARE(peer.file("part-2.bin"), bytesDe(e.fachada));
    QCOMPARE(peer.file("part-3.bin"), bytesDe(e.pdf()));
    QCOMPARE(e.impresosEscritos(), QStringList({"Exp" + kExpediente + ".pdf"}));
    QVERIFY(pdfText(e.pdf()).contains(kExpediente));

    QCOMPARE(ventanasVivas("TFemailenviar"), 0);
    QCOMPARE(ventanasVivas("TFerror"), 0);
    QVERIFY(e.principal->avisos().isEmpty());
    e.comprobarLista(3);
    // Back on it, its rules have run there: the location lists are those of its province.
    QCOMPARE(e.datos->DSinstalacion()[QStringLiteral("Nmunicipio")].asString(),
             QStringLiteral("València"));
    QCOMPARE(e.principal->enviados().value(e.principal->enviados().size() - 1), true);
    // The confirmation is kept for the next send.
    QCOMPARE(ventanasVivas("TFconfirmacion"), 1);
}

// The two windows of a send, as they stand on screen.
void TstDocumentos::ventanasDelEnvio() {
    EntornoDocumentos e(Correo{QStringLiteral("refuse-rcpt")});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    QStringList confirmacion, correo, dialogoError;
    respuestas.push([&](QWidget *d) {
        auto *si = d->findChild<QPushButton *>(QStringLiteral("BitBtn1"));
        auto *no = d->findChild<QPushButton *>(QStringLiteral("BitBtn2"));
        confirmacion << d->objectName() << si->text() << no->text()
                     << QString::number(d->focusWidget() == si);
        ModalAnswers::press(QStringLiteral("Si"))(d);
    });
    comoBoletin(respuestas, [&](QWidget *w) {
        const auto *animacion = w->findChild<Animacion *>(QStringLiteral("Animate1"));
        const QTimer &reloj = static_cast<TFemailenviar *>(w)->Timer1;
        const Qt::WindowFlags f = w->windowFlags();
        correo << w->objectName() << QStringLiteral("%1x%2").arg(w->width()).arg(w->height())
               << w->palette().color(QPalette::Window).name() << QString::number(w->isModal())
               << QString::number(bool(f & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)))
               << QString::number(
                      (w->frameGeometry().center() - w->screen()->availableGeometry().center())
                          .manhattanLength() <= 2)
               << QStringLiteral("%1x%2").arg(animacion->width()).arg(animacion->height())
               << QString::number(animacion->fotogramas().size())
               << QString::number(reloj.interval());
        QSet<QByteArray> distintos;
        for (const QPixmap &p : animacion->fotogramas()) {
            QByteArray b;
            QBuffer buffer(&b);
            buffer.open(QIODevice::WriteOnly);
            p.save(&buffer, "PNG");
            distintos.insert(b);
        }
        correo << QString::number(distintos.size());
    });
    respuestas.push([&](QWidget *d) {
        auto *cuadro = d->findChild<QPlainTextEdit *>(QStringLiteral("error"));
        dialogoError << QString::number(cuadro->isReadOnly())
                     << QString::number(cuadro->verticalScrollBarPolicy())
                     << d->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->text();
        ModalAnswers::press(QStringLiteral("Cerrar"))(d);
    });
    e.enviar();

    QCOMPARE(confirmacion, QStringList({"Fconfirmacion", "&Si", "&No", "1"}));
    QCOMPARE(correo, QStringList({"Femailenviar", "195x125", "#ffffff", "1", "0", "1", "90x70",
                                  "21", "500", "21"}));
    QCOMPARE(dialogoError, QStringList({"1", QString::number(Qt::ScrollBarAsNeeded), "&Cerrar"}));
    QCOMPARE(respuestas.seen.size(), 3);
    QVERIFY(respuestas.seen[2].startsWith(error(
        QStringLiteral("El servidor de correo ha rechazado el destinatario ") + kCorreoGestor)));
    QCOMPARE(ventanasVivas("TFerror"), 0);
    QCOMPARE(ventanasVivas("TFemailenviar"), 0);
}

void TstDocumentos::cuerpoYAdjuntos_data() {
    QTest::addColumn<QStringList>("semilla");
    QTest::addColumn<QStringList>("bloque");   // body lines of the attachment block
    QTest::addColumn<QStringList>("adjuntos"); // file names received, the PDF aside
    QTest::addColumn<QString>("potencia");     // the power line

    QTest::newRow("sin filas de adjuntos")
        << QStringList{"delete from INSTALACION_ADJUNTOS where INSTALACION=3"} << QStringList()
        << QStringList() << "Potencia: 1.234,50kW";
    QTest::newRow("filas sin nota: Adjuntos: sin entradas")
        << QStringList{"update INSTALACION_ADJUNTOS set NOTA=null where INSTALACION=3"}
        << QStringList{"", "Adjuntos:"}
        << QStringList{"memoria_técnica.pdf", "fotografía_fachada.jpg"} << "Potencia: 1.234,50kW";
    QTest::newRow("todas con nota, en el orden de su ID; potencia nula")
        << QStringList{"update INSTALACION_ADJUNTOS set NOTA='FACHADA' where ID=5",
                       "update INSTALACION_ADJUNTOS set ID=9 where ID=4",
                       "update INSTALACION set POTENCIA=null where ID=3"}
        << QStringList{"", "Adjuntos:", "          fotografía_fachada.jpg -> FACHADA",
                       "          memoria_técnica.pdf -> MEMORIA TÉCNICA"}
        << QStringList{"fotografía_fachada.jpg", "memoria_técnica.pdf"} << "Potencia: 0,00kW";
}

void TstDocumentos::cuerpoYAdjuntos() {
    QFETCH(QStringList, semilla);
    QFETCH(QStringList, bloque);
    QFETCH(QStringList, adjuntos);
    QFETCH(QString, potencia);
    EntornoDocumentos e(Correo{QStringLiteral("normal")}, semilla);
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::ok());
    e.enviar();
    QCOMPARE(respuestas.seen, QStringList({confirmacion(), kVentanaCorreo, exito()}));
    QStringList esperado = cuerpo(bloque);
    esperado[2] = potencia;
    QCOMPARE(lineasRecibidas(peer), esperado);
    QCOMPARE(adjuntosRecibidos(peer), adjuntos + QStringList{"Exp" + kExpediente + ".pdf"});
    QCOMPARE(peer.file(QStringLiteral("part-%1.bin").arg(adjuntos.size() + 1)), bytesDe(e.pdf()));
    QCOMPARE(e.enviado(3), QStringLiteral("S"));
    e.comprobarLista(3);
}

void TstDocumentos::autentificacion_data() {
    QTest::addColumn<QString>("valor"); // SMTP_AUTENTIFICACION
    QTest::addColumn<bool>("entra");
    QTest::newRow("S") << "S" << true;
    QTest::newRow("N") << "N" << false;
    QTest::newRow("vacía") << "" << false;
    QTest::newRow("s minúscula") << "s" << false;
}

// AUTH LOGIN with the installer's user and password exactly when SMTP_AUTENTIFICACION is "S"
// (the server offers it in every row).
void TstDocumentos::autentificacion() {
    QFETCH(QString, valor);
    QFETCH(bool, entra);
    EntornoDocumentos e(Correo{QStringLiteral("auth")},
                        {QStringLiteral("update INSTALADOR set SMTP_AUTENTIFICACION='%1', "
                                        "SMTP_USUARIO='instalador', SMTP_CLAVE='clave ñ1' "
                                        "where ID=1")
                             .arg(valor)});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::ok());
    e.enviar();
    QStringList esperadas = {"EHLO", "RSET"};
    if (entra)
        esperadas << "AUTH LOGIN" << QString::fromLatin1(QByteArray("instalador").toBase64())
                  << QString::fromLatin1(QStringLiteral("clave ñ1").toUtf8().toBase64());
    esperadas << "MAIL FROM:<" + kCorreoInstalador + ">"
              << "RCPT TO:<" + kCorreoGestor + ">"
              << "DATA"
              << "QUIT";
    QCOMPARE(ordenes(peer), esperadas);
    QCOMPARE(respuestas.seen.value(2), exito());
    QCOMPARE(e.enviado(3), QStringLiteral("S"));
}

// The mail settings are those of the installation's own installer, whatever installer the
// installers' list is on: here the list's first (by name) points at a dead port.
void TstDocumentos::servidorDelInstaladorDeLaInstalacion() {
    EntornoDocumentos e(Correo{QStringLiteral("normal")},
                        {QStringLiteral("insert into INSTALADOR (ID, NOMBRE, CORREO, "
                                        "SMTP_SERVIDOR, SMTP_AUTENTIFICACION) values (2, "
                                        "'AAA OTRO INSTALADOR', 'otro@ejemplo.es', "
                                        "'127.0.0.1:%1', 'S')")
                             .arg(puertoCerrado())});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    e.datos->DSinstalador().first();
    QCOMPARE(e.datos->DSinstalador()[QStringLiteral("ID")].asInteger(), 2);
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::ok());
    e.enviar();
    QCOMPARE(respuestas.seen, QStringList({confirmacion(), kVentanaCorreo, exito()}));
    QVERIFY(peer.hasMessage());
    QCOMPARE(e.enviado(3), QStringLiteral("S"));
}

void TstDocumentos::respuestaNo_data() {
    QTest::addColumn<QString>("como");
    QTest::newRow("&No") << "No";
    QTest::newRow("cerrar la ventana") << "";
}

// Answered no: nothing dated, nothing written, nothing sent.
void TstDocumentos::respuestaNo() {
    QFETCH(QString, como);
    EntornoDocumentos e(Correo{QStringLiteral("normal")});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(como.isEmpty() ? ModalAnswers::Answer([](QWidget *d) { d->close(); })
                                   : ModalAnswers::press(como));
    e.enviar();
    QCOMPARE(respuestas.seen, QStringList({confirmacion()}));
    QCOMPARE(e.fecha(3), QDate(2025, 5, 20));
    QCOMPARE(e.enviado(3), QStringLiteral("N"));
    QCOMPARE(e.impresosEscritos(), QStringList());
    QCOMPARE(peer.commands(), QStringList());
    e.comprobarLista(3);
}

// A sent installation cannot be dated: the lock's message, no PDF, no mail window.
void TstDocumentos::instalacionEnviada() {
    EntornoDocumentos e(Correo{QStringLiteral("normal")});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(1));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::press(QStringLiteral("Cerrar")));
    e.enviar();
    QCOMPARE(respuestas.seen,
             QStringList({confirmacion(QStringLiteral("2500123450")), error(kBloqueo)}));
    QCOMPARE(e.fecha(1), QDate(2025, 3, 14));
    QCOMPARE(e.impresosEscritos(), QStringList());
    QCOMPARE(peer.commands(), QStringList());
    QCOMPARE(ventanasVivas("TFerror"), 0);
    e.comprobarLista(1);
}

// Sent, the mark cleared, the installation changed and sent again: the new bulletin replaces
// the first one's file, and that is what goes out.
void TstDocumentos::segundoEnvioSobrescribe() {
    EntornoDocumentos e(Correo{QStringLiteral("normal")});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::ok());
    e.enviar();
    QCOMPARE(e.enviado(3), QStringLiteral("S"));
    const QByteArray primero = bytesDe(e.pdf());
    QVERIFY(!primero.isEmpty());

    e.datos->MarcarEnviado(false);
    db::RecordSet &r = e.datos->DSinstalacion();
    r.edit();
    r[QStringLiteral("SOLICITANTE_NOMBRE")].setValue(QStringLiteral("FARMACIA SEGUNDA, S.L."));
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::ok());
    e.enviar();

    QCOMPARE(respuestas.seen, QStringList({confirmacion(), kVentanaCorreo, exito(),
                                             confirmacion(), kVentanaCorreo, exito()}));
    const QByteArray segundo = bytesDe(e.pdf());
    QVERIFY(segundo != primero);
    QCOMPARE(e.impresosEscritos(), QStringList({"Exp" + kExpediente + ".pdf"}));
    QVERIFY(pdfText(e.pdf()).contains(QStringLiteral("FARMACIA SEGUNDA, S.L.")));
    QCOMPARE(peer.file("part-3.bin"), segundo);
    QCOMPARE(e.enviado(3), QStringLiteral("S"));
}

void TstDocumentos::notaPendiente_data() {
    QTest::addColumn<bool>("enviar");
    QTest::newRow("E-mail") << true;
    QTest::newRow("Imprimir") << false;
}

// A note typed in the attachments grid and not saved yet goes with the run: saved first, and
// in the mail's attachment block, never dropped by the run's reopening of the installation.
void TstDocumentos::notaPendiente() {
    QFETCH(bool, enviar);
    EntornoDocumentos e(Correo{QStringLiteral("normal")});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    db::RecordSet &j = e.datos->DSadjuntos();
    QVERIFY(j.locate(QStringLiteral("ID"), 4));
    j.edit();
    j[QStringLiteral("NOTA")].setValue(QStringLiteral("PLANO REVISADO"));
    ModalAnswers &respuestas = e.respuestas;
    if (enviar) {
        respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
        respuestas.push(ModalAnswers::ok());
        e.enviar();
        QCOMPARE(respuestas.seen, QStringList({confirmacion(), kVentanaCorreo, exito()}));
        QVERIFY2(lineasRecibidas(peer).contains(
                     QStringLiteral("          memoria_técnica.pdf -> PLANO REVISADO")),
                 qPrintable(lineasRecibidas(peer).join(u'|')));
    } else {
        respuestas.push(ModalAnswers::press(QStringLiteral("Cancelar")));
        e.imprimir();
        QCOMPARE(respuestas.seen, QStringList({"report::SetupDialog|Output Options"}));
    }
    QCOMPARE(e.visto(QStringLiteral("select NOTA from INSTALACION_ADJUNTOS where ID=4")).toString(),
             QStringLiteral("PLANO REVISADO"));
    QCOMPARE(j.state(), db::State::Browse);
    QVERIFY(j.locate(QStringLiteral("ID"), 4));
    QCOMPARE(j[QStringLiteral("NOTA")].asString(), QStringLiteral("PLANO REVISADO"));
}

// After a send, a print proposes the printed installation's own file in the user's documents,
// never the archived bulletin of Impresos; a file that exists is written over only when the
// user says so.
void TstDocumentos::impresionNoPisaElArchivado() {
    QTemporaryDir casa;
    const QString documentos = QDir(casa.path()).filePath(QStringLiteral("Documentos"));
    QVERIFY(QDir().mkpath(documentos));
    {
        QFile dirs(QDir(casa.path()).filePath(QStringLiteral("user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOCUMENTS_DIR=\"" + documentos.toUtf8() + "\"\n");
    }
    const QByteArray configAntes = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", casa.path().toUtf8());
    const auto restaurar = qScopeGuard([&] {
        if (configAntes.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", configAntes);
    });

    EntornoDocumentos e(Correo{QStringLiteral("normal")});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::ok());
    e.enviar();
    QCOMPARE(e.enviado(3), QStringLiteral("S"));
    const QByteArray archivado = bytesDe(e.pdf());
    QVERIFY(!archivado.isEmpty());

    QVERIFY(e.situar(2));
    const QString otro = e.datos->DSinstalacion()[QStringLiteral("EXPEDIENTE")].asString();
    const QString esperado = QDir(documentos).filePath("Exp" + otro + ".pdf");
    // The dialog's own button, pressed from the event loop: the question it may ask is a
    // modal window of its own, answered in turn.
    const auto pulsarLuego = [](const QString &texto) {
        return [texto](QWidget *d) {
            for (QAbstractButton *b : d->findChildren<QAbstractButton *>())
                if (b->text().remove(u'&') == texto)
                    QMetaObject::invokeMethod(b, &QAbstractButton::click, Qt::QueuedConnection);
        };
    };
    QString propuesto;
    const auto aArchivoPropuesto = [&](QWidget *d) {
        d->findChild<QRadioButton *>(QStringLiteral("destinoArchivo"))->click();
        propuesto = d->findChild<QLineEdit *>(QStringLiteral("archivo"))->text();
        pulsarLuego(QStringLiteral("Aceptar"))(d);
    };
    respuestas.push(aArchivoPropuesto);
    e.imprimir();
    QCOMPARE(propuesto, esperado);
    QVERIFY(pdfText(esperado).contains(otro));
    QCOMPARE(bytesDe(e.pdf()), archivado);

    // The same name again: "No" keeps the file and the dialog, which is then cancelled.
    {
        QFile f(esperado);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("anterior");
    }
    const int antes = int(respuestas.seen.size());
    respuestas.push(aArchivoPropuesto);
    respuestas.push(ModalAnswers::press(QStringLiteral("No")));
    respuestas.push(pulsarLuego(QStringLiteral("Cancelar")));
    e.imprimir();
    const QString pregunta = QStringLiteral("QMessageBox|Confirmación|El archivo \"") +
                             QDir::toNativeSeparators(esperado) +
                             QStringLiteral("\" ya existe.\n¿Desea reemplazarlo?");
    QCOMPARE(respuestas.seen.mid(antes),
             QStringList({"report::SetupDialog|Output Options", pregunta,
                          "report::SetupDialog|Output Options"}));
    QCOMPARE(bytesDe(esperado), QByteArray("anterior"));

    // "Sí" writes it.
    respuestas.push(aArchivoPropuesto);
    respuestas.push(ModalAnswers::press(QStringLiteral("Sí")));
    e.imprimir();
    QVERIFY(pdfText(esperado).contains(otro));
    QCOMPARE(bytesDe(e.pdf()), archivado);
    QCOMPARE(respuestas.pending(), 0);
    QVERIFY(!respuestas.seen.contains(QStringLiteral("inesperado")));
}

// The demo as a newcomer meets it: a database made by trelmavondis-creardb --demo, its
// attachments real files beside it, the demo's mail catcher on a free port; "E-mail" on an
// installation leaves one .eml file whose attachments are those files and the bulletin.
void TstDocumentos::demostracion() {
    if (!qEnvironmentVariableIsEmpty("TRELMA_TEST_SERVER"))
        QSKIP("the demo runs on the embedded engine");
    QTemporaryDir carpeta;
    const QString base = QDir(carpeta.path()).filePath(QStringLiteral("demo.fdb"));
    QProcess creardb;
    creardb.start(QStringLiteral(TRELMA_CREARDB), {QStringLiteral("--demo"), base});
    QVERIFY(creardb.waitForFinished(60'000));
    QVERIFY2(creardb.exitCode() == 0, creardb.readAllStandardError().constData());

    const QString buzon = QDir(carpeta.path()).filePath(QStringLiteral("correo"));
    QProcess correo;
    correo.start(QStringLiteral(TRELMA_PYTHON3),
                 {QStringLiteral(TRELMA_CORREO_DEMO), buzon});
    QVERIFY(correo.waitForStarted());
    const auto parar = qScopeGuard([&] {
        correo.terminate();
        correo.waitForFinished(5000);
    });
    QTRY_VERIFY_WITH_TIMEOUT(correo.canReadLine(), 20'000);
    const int puerto = correo.readLine().trimmed().toInt();
    QVERIFY(puerto > 0);
    {
        db::Database d;
        d.databaseName = base;
        d.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=SYSDBA"),
                    QStringLiteral("password=demo")};
        d.open();
        db::Transaction t(d);
        t.start();
        db::Statement s(t);
        s.prepare(QStringLiteral("update INSTALADOR set SMTP_SERVIDOR = :S"));
        s.setParam(QStringLiteral("S"), QStringLiteral("127.0.0.1:%1").arg(puerto));
        s.execute();
        t.commit();
    }

    VentanaFalsa vista;
    QTemporaryDir impresos;
    auto principal = std::make_unique<QWidget>();
    TDatos datos(&vista);
    datos.Conectar(base, QStringLiteral("SYSDBA"), [](QString &, QString &clave) {
        clave = QStringLiteral("demo");
        return true;
    });
    QVERIFY(datos.DSinstalacion().locate(QStringLiteral("ID"), 3));
    QStringList esperados; // the files the demo made for installation 3
    for (datos.DSadjuntos().first(); !datos.DSadjuntos().eof(); datos.DSadjuntos().next())
        esperados << datos.DSadjuntos()[QStringLiteral("DIRECCION")].asString();
    QCOMPARE(esperados.size(), 2);
    ModalAnswers respuestas;
    comoBoletin(respuestas);
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::ok());
    enviarPorCorreo(datos, principal.get(), QStringLiteral(TRELMA_REPORTS_DIR), impresos.path());
    QCOMPARE(respuestas.seen, QStringList({confirmacion(), kVentanaCorreo, exito()}));
    principal.reset();

    const QStringList eml = QDir(buzon).entryList({QStringLiteral("*.eml")}, QDir::Files);
    QCOMPARE(eml.size(), 1);
    // Read by Python's own mail parser, as a mail reader would.
    QProcess lector;
    lector.start(QStringLiteral(TRELMA_PYTHON3),
                 {QStringLiteral("-c"),
                  QStringLiteral("import email, email.policy, hashlib, sys\n"
                                 "m = email.message_from_binary_file(open(sys.argv[1], 'rb'), "
                                 "policy=email.policy.default)\n"
                                 "for p in m.iter_attachments():\n"
                                 "    print(p.get_filename(), "
                                 "hashlib.sha256(p.get_content() if isinstance(p.get_content(), "
                                 "bytes) else p.get_content().encode()).hexdigest())\n"),
                  QDir(buzon).filePath(eml.first())});
    QVERIFY(lector.waitForFinished(20'000));
    QCOMPARE(lector.exitCode(), 0);
    const QStringList leidos = QString::fromUtf8(lector.readAllStandardOutput())
                                   .split(u'\n', Qt::SkipEmptyParts);
    QStringList deseados;
    for (const QString &ruta : esperados + QStringList{QDir(impresos.path()).filePath(
                                               "Exp" + kExpediente + ".pdf")}) {
        QVERIFY2(QFileInfo::exists(ruta), qPrintable(ruta));
        deseados << QFileInfo(ruta).fileName() + u' ' +
                        QString::fromLatin1(
                            QCryptographicHash::hash(bytesDe(ruta), QCryptographicHash::Sha256)
                                .toHex());
    }
    QCOMPARE(leidos, deseados);
}

// A copy's placeholder number is refused before the confirmation; printing it still works.
void TstDocumentos::expedienteNoValido() {
    EntornoDocumentos e(Correo{QStringLiteral("normal")});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    const int copia = e.datos->CopiarInstalacion();
    const QString numero = e.datos->DSinstalacion()[QStringLiteral("EXPEDIENTE")].asString();
    QVERIFY(!TDatos::ExpedienteValido(numero));
    const QDate fecha = e.fecha(copia);

    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Cerrar")));
    e.enviar();
    QCOMPARE(respuestas.seen, QStringList({error("El número de expediente no es válido.")}));
    QCOMPARE(e.fecha(copia), fecha);
    QCOMPARE(e.impresosEscritos(), QStringList());
    QCOMPARE(peer.commands(), QStringList());
    e.comprobarLista(copia);

    QTemporaryDir otro;
    const QString elegido = QDir(otro.path()).filePath(QStringLiteral("copia.pdf"));
    respuestas.push(aArchivo(elegido));
    e.imprimir();
    QVERIFY(pdfText(elegido).contains(numero));
    e.comprobarLista(copia);
}

void TstDocumentos::fallos_data() {
    QTest::addColumn<QString>("modo");     // of the SMTP peer; empty: no peer
    QTest::addColumn<QString>("servidor"); // SMTP_SERVIDOR; %1: the peer's host
    QTest::addColumn<QStringList>("semilla");
    QTest::addColumn<QStringList>("vistos"); // after the confirmation and the mail window
    QTest::addColumn<bool>("sinContacto");   // refused before a byte went to the server

    const quint16 cerrado = puertoCerrado();
    const QString cerradoHost = QStringLiteral("127.0.0.1:%1").arg(cerrado);
    const QString sinServidor = QStringLiteral(
        "Es necesario indicar cumplimentar en la ficha del instalador\nla dirección de correo "
        "electrónico y el servidor SMTP");
    const QString noConecta =
        QStringLiteral("No se ha podido conectar con el servidor de correo: ");

    QTest::newRow("instalador sin servidor")
        << ""
        << "" << QStringList() << QStringList{caja(sinServidor), error(kSinConexion)} << false;
    QTest::newRow("nada escucha")
        << "" << cerradoHost << QStringList()
        << QStringList{caja(noConecta + cerradoHost),
                       error(kSinConexion + "\nNo se puede conectar con el servidor de correo *")}
        << false;
    QTest::newRow("servidor mudo desde el saludo")
        << "silent"
        << "%1" << QStringList()
        << QStringList{caja(noConecta + "%1"),
                       error(kSinConexion + "\nEl servidor de correo no ha respondido a tiempo (*")}
        << false;
    QTest::newRow("saludo rechazado")
        << "greeting-554"
        << "%1" << QStringList()
        << QStringList{caja(noConecta + "%1"),
                       error(kSinConexion + "\nEl servidor de correo ha rechazado la conexión: *")}
        << false;
    QTest::newRow("usuario rechazado")
        << "refuse-auth"
        << "%1"
        << QStringList{"update INSTALADOR set SMTP_AUTENTIFICACION='S', SMTP_USUARIO='instalador', "
                       "SMTP_CLAVE='mala' where ID=1"}
        << QStringList{error("El servidor de correo ha rechazado el usuario o la clave: *")}
        << false;
    QTest::newRow("destinatario rechazado")
        << "refuse-rcpt"
        << "%1" << QStringList()
        << QStringList{error("El servidor de correo ha rechazado el destinatario " + kCorreoGestor +
                             ": *")}
        << false;
    QTest::newRow("conexión cortada durante DATA")
        << "drop-during-data"
        << "%1" << QStringList()
        << QStringList{error("Se ha cortado la conexión con el servidor de correo*")} << false;
    QTest::newRow("servidor mudo tras el mensaje")
        << "silent-after-data"
        << "%1" << QStringList()
        << QStringList{error("El servidor de correo no ha respondido a tiempo (*")} << false;
    QTest::newRow("archivo adjunto ausente")
        << "normal"
        << "%1"
        << QStringList{"update INSTALACION_ADJUNTOS set DIRECCION='/no/existe/plano.pdf' where "
                       "ID=5"}
        << QStringList{error("No se puede leer el archivo adjunto: /no/existe/plano.pdf")} << false;
    QTest::newRow("CR LF en la dirección del gestor")
        << "normal"
        << "%1"
        << QStringList{"update GESTORES set EMAIL='maria@ejemplo.es' || ascii_char(13) || "
                       "ascii_char(10) || 'RCPT TO:<otro@ejemplo.es>' where ID=1"}
        << QStringList{error("La dirección del destinatario no es válida: *contiene caracteres "
                             "de control)")}
        << true;
    QTest::newRow("blanco y <> en la dirección del instalador")
        << "normal"
        << "%1"
        << QStringList{"update INSTALADOR set CORREO='oficina@ejemplo.es> <otro@ejemplo.es' "
                       "where ID=1"}
        << QStringList{error("La dirección del remitente no es válida: *")} << true;
    QTest::newRow("LF en el nombre del gestor")
        << "normal"
        << "%1"
        << QStringList{"update GESTORES set NOMBRE='GARCÍA' || ascii_char(10) || 'Bcc: x@y.es' "
                       "where ID=1"}
        << QStringList{error("El nombre del destinatario no es válido: *")} << true;
}

// Every failure: what the user is shown, in order; nothing marked sent (FECHA is, being set
// before); the window closed; the list whole again on the same installation.
void TstDocumentos::fallos() {
    QFETCH(QString, modo);
    QFETCH(QString, servidor);
    QFETCH(QStringList, semilla);
    QFETCH(QStringList, vistos);
    QFETCH(bool, sinContacto);
    qputenv("TRELMA_SMTP_ESPERA_MS", "1500");
    const auto restaurar = qScopeGuard([] { qunsetenv("TRELMA_SMTP_ESPERA_MS"); });
    std::unique_ptr<SmtpPeer> peer;
    if (!modo.isEmpty()) {
        peer = std::make_unique<SmtpPeer>(modo);
        QVERIFY(peer->started());
        servidor.replace(QStringLiteral("%1"), peer->host());
        for (QString &v : vistos)
            v.replace(QStringLiteral("%1"), peer->host());
    }
    EntornoDocumentos e(servidor, semilla);
    QVERIFY(e.situar(3));
    const QString nombreGestor = e.datos->DSinstalacion()[QStringLiteral("Ngestor")].asString();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    for (const QString &v : vistos)
        respuestas.push(
            ModalAnswers::press(v.startsWith(QLatin1String("TFerror")) ? "Cerrar" : ""));
    e.enviar();

    QCOMPARE(respuestas.seen.size(), vistos.size() + 2);
    QCOMPARE(respuestas.seen[0], confirmacion(kExpediente, nombreGestor));
    QCOMPARE(respuestas.seen[1], kVentanaCorreo);
    for (int i = 0; i < vistos.size(); ++i) {
        const QString &visto = respuestas.seen[i + 2];
        if (vistos[i].contains(u'*'))
            QVERIFY2(encaja(visto, vistos[i]), qPrintable(visto));
        else
            QCOMPARE(visto, vistos[i]);
    }
    QCOMPARE(respuestas.pending(), 0);
    QCOMPARE(e.enviado(3), QStringLiteral("N"));
    QCOMPARE(e.fecha(3), QDate::currentDate());
    QVERIFY(QFile::exists(e.pdf()));
    if (peer) {
        if (sinContacto)
            QCOMPARE(peer->commands(), QStringList());
        QVERIFY(!peer->hasMessage());
    }
    QCOMPARE(ventanasVivas("TFemailenviar"), 0);
    QCOMPARE(ventanasVivas("TFerror"), 0);
    e.comprobarLista(3);
}

// Sent, but the sent mark cannot be stored: the success message, the post's own report, then
// the error dialog saying so; ENVIADO stays "N".
void TstDocumentos::marcaDeEnviadoFallida() {
    // The database refuses the sent mark of installation 3 (existing rows are not checked).
    EntornoDocumentos e(Correo{QStringLiteral("normal")},
                        {QStringLiteral("alter table INSTALACION add constraint NO_MARCAR "
                                        "check (ENVIADO <> 'S' or ID <> 3)")});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::ok());
    respuestas.push(ModalAnswers::press(QStringLiteral("Cerrar")));
    e.enviar();
    QCOMPARE(respuestas.seen,
             QStringList({confirmacion(), kVentanaCorreo, exito(),
                          error("El correo se ha enviado, pero la instalación no se ha podido "
                                "marcar como enviada.")}));
    QCOMPARE(e.principal->avisos().size(), 1);
    QVERIFY2(e.principal->avisos()[0].startsWith(QStringLiteral("mensaje:ERROR: ")),
             qPrintable(e.principal->avisos()[0]));
    QVERIFY(e.principal->avisos()[0].contains(QStringLiteral("NO_MARCAR")));
    QVERIFY(peer.hasMessage());
    QCOMPARE(e.enviado(3), QStringLiteral("N"));
    QCOMPARE(ventanasVivas("TFemailenviar"), 0);
    e.comprobarLista(3);
}

void TstDocumentos::configurar(const QByteArray &contenido) {
    const QString ruta = m_xdg.filePath(QStringLiteral("Nirvelo/Trelmavondis.conf"));
    QFile::remove(ruta);
    if (contenido.isEmpty())
        return;
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(contenido), contenido.size());
    f.close();
    // QSettings re-reads a file only when its size or time stamp changed: one of its own.
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addSecs(++m_escrituras),
                          QFileDevice::FileModificationTime));
}

// The new FECHA cannot be saved: the post's own message, then the error dialog saying that
// the send stopped and why; no PDF, no mail.
void TstDocumentos::fechaNoGuardada() {
    // The database refuses today's date on installation 3 (existing rows are not checked).
    EntornoDocumentos e(Correo{QStringLiteral("normal")},
                        {QStringLiteral("alter table INSTALACION add constraint NO_FECHAR "
                                        "check (cast(FECHA as date) <> current_date or "
                                        "ID <> 3)")});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::press(QStringLiteral("Cerrar")));
    e.enviar();
    QCOMPARE(respuestas.seen.size(), 2);
    QCOMPARE(respuestas.seen[0], confirmacion());
    QVERIFY2(encaja(respuestas.seen[1],
                    error("No se ha podido guardar la fecha de envío; el expediente no se ha "
                          "enviado.\n*NO_FECHAR*")),
             qPrintable(respuestas.seen[1]));
    QCOMPARE(e.principal->avisos().size(), 1);
    QVERIFY2(e.principal->avisos()[0].startsWith(QStringLiteral("mensaje:ERROR: ")) &&
                 e.principal->avisos()[0].contains(QStringLiteral("NO_FECHAR")),
             qPrintable(e.principal->avisos()[0]));
    QCOMPARE(e.fecha(3), QDate(2025, 5, 20));
    QCOMPARE(e.enviado(3), QStringLiteral("N"));
    QCOMPARE(e.impresosEscritos(), QStringList());
    QCOMPARE(peer.commands(), QStringList());
    QCOMPARE(ventanasVivas("TFerror"), 0);
    e.comprobarLista(3);
}

void TstDocumentos::demasiadoGrande_data() {
    QTest::addColumn<QString>("modo");       // of the SMTP peer
    QTest::addColumn<QByteArray>("ajustes"); // the configuration's mail settings
    QTest::addColumn<qint64>("tamano");      // of the photo of the front (sparse)
    QTest::addColumn<QString>("mensaje");    // in the error dialog

    QTest::newRow("4 GiB y un byte, más que el SIZE del servidor")
        << "normal" << QByteArray() << (qint64(4) << 30) + 1
        << "El mensaje es demasiado grande y no se ha enviado: ocupa al menos 5,5 GB una vez "
           "codificado, y el servidor de correo admite como máximo 32,0 MB.\n"
           "Archivos adjuntos, 4,0 GB en total:\n- memoria_técnica.pdf (175,8 kB)\n"
           "- fotografía_fachada.jpg (4,0 GB)\n- Exp2500148719.pdf (*)\n"
           "Quite o reduzca alguno, o envíelos por otro medio.";
    QTest::newRow("servidor sin SIZE, LimiteCorreoMB de la configuración")
        << "no-size" << QByteArray("LimiteCorreoMB=2\n") << qint64(3'000'000)
        << "El mensaje es demasiado grande y no se ha enviado: ocupa al menos 4,* MB una vez "
           "codificado, y el límite para un servidor que no anuncia el suyo es de 2,0 MB "
           "(LimiteCorreoMB en la configuración).\n"
           "Archivos adjuntos, 3,*MB en total:\n- memoria_técnica.pdf (175,8 kB)\n"
           "- fotografía_fachada.jpg (2,9 MB)\n- Exp2500148719.pdf (*)\n"
           "Quite o reduzca alguno, o envíelos por otro medio.";
}

// A message the server would refuse for its size is refused after EHLO, before anything is
// uploaded: the error dialog names the files and their total; nothing is marked sent.
void TstDocumentos::demasiadoGrande() {
    QFETCH(QString, modo);
    QFETCH(QByteArray, ajustes);
    QFETCH(qint64, tamano);
    QFETCH(QString, mensaje);
    configurar(ajustes.isEmpty() ? QByteArray() : "[General]\n" + ajustes);
    const auto sinAjustes = qScopeGuard([this] { configurar({}); });
    EntornoDocumentos e(Correo{modo});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    {
        QFile foto(e.fachada);
        QVERIFY(foto.open(QIODevice::ReadWrite));
        QVERIFY(foto.resize(tamano)); // sparse: no disk
    }
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    respuestas.push(ModalAnswers::press(QStringLiteral("Cerrar")));
    e.enviar();
    QCOMPARE(respuestas.seen.size(), 3);
    QCOMPARE(respuestas.seen[1], kVentanaCorreo);
    QVERIFY2(encaja(respuestas.seen[2], error(mensaje)), qPrintable(respuestas.seen[2]));
    QCOMPARE(ordenes(peer), QStringList({"EHLO", "QUIT"}));
    QVERIFY(!peer.hasMessage());
    QCOMPARE(e.enviado(3), QStringLiteral("N"));
    QCOMPARE(ventanasVivas("TFemailenviar"), 0);
    e.comprobarLista(3);
}

void TstDocumentos::ajustesDeCorreo_data() {
    QTest::addColumn<QString>("modo");        // of the SMTP peer
    QTest::addColumn<QByteArray>("ajustes");  // %1: the test authority's certificate
    QTest::addColumn<QStringList>("vistos");  // after the confirmation and the mail window
    QTest::addColumn<QStringList>("ordenes"); // received by the peer

    const QString noConecta =
        QStringLiteral("No se ha podido conectar con el servidor de correo: ");
    const QStringList cifrado = {"EHLO",
                                 "STARTTLS",
                                 "EHLO",
                                 "RSET",
                                 "MAIL FROM:<" + kCorreoInstalador + ">",
                                 "RCPT TO:<" + kCorreoGestor + ">",
                                 "DATA",
                                 "QUIT"};
    QTest::newRow("autoridad de la oficina en CertificadoCorreo")
        << "tls" << QByteArray("CertificadoCorreo=%1\n") << QStringList{exito()} << cifrado;
    QTest::newRow("sin CertificadoCorreo")
        << "tls" << QByteArray()
        << QStringList{caja(noConecta + "%1"),
                       error(kSinConexion + "\nNo se puede confiar en el certificado del servidor "
                                            "de correo 127.0.0.1: no lo firma ninguna autoridad "
                                            "de certificación de confianza para este equipo "
                                            "(emisor: «Autoridad de pruebas Trelmavondis»).\n"
                                            "Qué hacer:\n- instale el certificado de la "
                                            "autoridad que firmó el del servidor*indique su ruta "
                                            "en el valor CertificadoCorreo de la configuración.")}
        << QStringList{"EHLO", "STARTTLS"};
    QTest::newRow("CertificadoCorreo que no existe")
        << "tls" << QByteArray("CertificadoCorreo=/no/existe/autoridad.pem\n")
        << QStringList{caja(noConecta + "%1"),
                       error(kSinConexion + "\nNo se puede leer el certificado de la "
                                            "configuración (CertificadoCorreo) "
                                            "/no/existe/autoridad.pem: *")}
        << QStringList();
    QTest::newRow("LimiteCorreoMB que no es un número")
        << "normal" << QByteArray("LimiteCorreoMB=25MB\n")
        << QStringList{error("El valor LimiteCorreoMB de la configuración no es válido: «25MB» "
                             "(debe ser un número entero de megabytes, por ejemplo 25)")}
        << QStringList();
}

// The configuration's mail settings as the mail window meets them, read at the send.
void TstDocumentos::ajustesDeCorreo() {
    QFETCH(QString, modo);
    QFETCH(QByteArray, ajustes);
    QFETCH(QStringList, vistos);
    QFETCH(QStringList, ordenes);
    configurar(ajustes.isEmpty()
                   ? QByteArray()
                   : "[General]\n" + QString::fromUtf8(ajustes)
                                         .replace(QStringLiteral("%1"), m_autoridad->certificate())
                                         .toUtf8());
    const auto sinAjustes = qScopeGuard([this] { configurar({}); });
    EntornoDocumentos e(Correo{modo, m_certificado.certificate, m_certificado.key});
    SmtpPeer &peer = *e.correo;
    QVERIFY(peer.started());
    for (QString &v : vistos)
        v.replace(QStringLiteral("%1"), peer.host());
    QVERIFY(e.situar(3));
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(ModalAnswers::press(QStringLiteral("Si")));
    for (const QString &v : vistos)
        respuestas.push(
            ModalAnswers::press(v.startsWith(QLatin1String("TFerror")) ? "Cerrar" : ""));
    e.enviar();

    QCOMPARE(respuestas.seen.size(), vistos.size() + 2);
    QCOMPARE(respuestas.seen[1], kVentanaCorreo);
    for (int i = 0; i < vistos.size(); ++i)
        QVERIFY2(encaja(respuestas.seen[i + 2], vistos[i]), qPrintable(respuestas.seen[i + 2]));
    QCOMPARE(::ordenes(peer), ordenes);
    const bool enviado = vistos.first() == exito();
    QCOMPARE(peer.hasMessage(), enviado);
    QCOMPARE(e.enviado(3), enviado ? QStringLiteral("S") : QStringLiteral("N"));
    QCOMPARE(ventanasVivas("TFemailenviar"), 0);
    e.comprobarLista(3);
}

QTEST_MAIN(TstDocumentos)
#include "tst_documentos.moc"
