#include "documents/Uemailenviar.h"

#include "data/UDatos.h"
#include "documents/HojaExpediente.h"
#include "documents/Uerror.h"
#include "platform/config/Settings.h"
#include "platform/dialogs/MessageBoxes.h"
#include "platform/dialogs/Windows.h"
#include "platform/mail/Certificates.h"
#include "platform/mail/MailError.h"
#include "platform/mail/MailInput.h"
#include "platform/mail/Message.h"
#include "ui_Uemailenviar.h"

#include <QCloseEvent>

namespace {

const QString kSinServidor = QStringLiteral("Es necesario indicar cumplimentar en la ficha del "
                                            "instalador\n\rla dirección de correo electrónico y "
                                            "el servidor SMTP");
const QString kSinConexion = QStringLiteral("No se ha podido conectar con el servidor de correo: ");
const QString kNoMarcada = QStringLiteral("El correo se ha enviado, pero la instalación no se ha "
                                          "podido marcar como enviada.");

QString exito(const QString &expediente) {
    return QStringLiteral("El envío de la Hoja Expte.: ") + expediente +
           QStringLiteral("\n\rse realizado con exito.");
}

// Names and addresses go into SMTP commands and headers: one that could add a command or a
// header of its own is refused before anything is sent.
void comprobarRemitenteYDestinatario(const HojaExpediente &hoja) {
    mail::checkName(hoja.instalador, QStringLiteral("remitente"));
    mail::checkAddress(hoja.correoInstalador, QStringLiteral("remitente"));
    mail::checkName(hoja.gestor, QStringLiteral("destinatario"));
    mail::checkAddress(hoja.correoGestor, QStringLiteral("destinatario"));
}

// The office's mail settings, read at each send: a certificate installed while the program
// runs is used at the next send.
platform::Settings::Mail leerAjustes() {
    platform::Settings::Mail ajustes;
    if (const auto fallo = platform::Settings::readMail(ajustes))
        throw mail::MailError(mail::MailError::Kind::InvalidInput, *fallo);
    return ajustes;
}

} // namespace

TFemailenviar::TFemailenviar(TDatos &datos, const QString &pdf, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_datos(datos),
      m_pdf(pdf), ui(std::make_unique<Ui::TFemailenviar>()) {
    ui->setupUi(this);
    setObjectName(QLatin1String(Instancia));
    setFixedSize(195, 125);
    QPalette blanco = palette();
    blanco.setColor(QPalette::Window, Qt::white);
    setPalette(blanco);

    Timer1.setInterval(500);
    connect(&Timer1, &QTimer::timeout, this, &TFemailenviar::Timer1Timer);
    Timer1.start();
}

TFemailenviar::~TFemailenviar() = default;

void TFemailenviar::enviar(TDatos &datos, const QString &pdf, QWidget *parent) {
    auto *ventana = new TFemailenviar(datos, pdf, parent);
    ventana->setAttribute(Qt::WA_DeleteOnClose);
    ventana->exec();
}

void TFemailenviar::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    centerOnScreen(this);
}

void TFemailenviar::closeEvent(QCloseEvent *event) {
    if (m_terminado)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void TFemailenviar::reject() {
    // Escape and the window system cannot cut a send short.
    if (m_terminado)
        QDialog::reject();
}

void TFemailenviar::Timer1Timer() {
    Timer1.stop();
    EnviarCorreo();
}

void TFemailenviar::EnviarCorreo() {
    mail::Message mensaje;
    try {
        const HojaExpediente hoja = leerHoja(m_datos);
        const ServidorCorreo servidor = leerServidor(m_datos);
        comprobarRemitenteYDestinatario(hoja);
        const platform::Settings::Mail ajustes = leerAjustes();
        IdSMTP1.setSizeLimit(ajustes.limitBytes());
        conectar(servidor, ajustes.certificate);
        componer(mensaje, hoja);
        IdSMTP1.send(mensaje);
        showMessage(this, exito(hoja.expediente));
        marcarEnviada();
    } catch (const db::Abort &) {
        // The silent abort: whoever raised it has said what was needed.
    } catch (const mail::MailError &e) {
        // With no connection, the reason it failed is what the user can act on.
        TFerror::mostrar(this, e.kind() == mail::MailError::Kind::NoConnection &&
                                       !m_falloConexion.isEmpty()
                                   ? e.message() + u'\n' + m_falloConexion
                                   : e.message());
    } catch (const std::exception &) {
        TFerror::mostrar(this, exceptionText(std::current_exception()));
    }
    IdSMTP1.disconnectFromServer();
    terminar();
}

// A failure here is told at once and goes no further: the send that follows finds no
// connection and says so, with the reason (an untrusted certificate among them) beneath.
void TFemailenviar::conectar(const ServidorCorreo &servidor, const QString &certificado) {
    if (servidor.servidor.isEmpty()) {
        showMessage(this, kSinServidor);
        return;
    }
    try {
        IdSMTP1.setHost(servidor.servidor);
        if (servidor.autentificacion == QLatin1String("S"))
            IdSMTP1.setLogin(servidor.usuario, servidor.clave);
        else
            IdSMTP1.clearLogin();
        if (!certificado.isEmpty())
            IdSMTP1.addCaCertificates(mail::readCaCertificates(certificado));
        IdSMTP1.connectToServer();
    } catch (const mail::MailError &e) {
        m_falloConexion = e.message();
        showMessage(this, kSinConexion + servidor.servidor);
    }
}

void TFemailenviar::componer(mail::Message &mensaje, const HojaExpediente &hoja) const {
    mensaje.setSubject(hoja.asunto());
    mensaje.setBody(hoja.lineas(QLocale::system()).join(QStringLiteral("\r\n")));
    for (const HojaExpediente::Adjunto &a : hoja.adjuntos)
        mensaje.addAttachment(a.direccion);
    mensaje.setFrom(hoja.instalador, hoja.correoInstalador);
    mensaje.setTo(hoja.gestor, hoja.correoGestor);
    mensaje.addAttachment(m_pdf);
}

void TFemailenviar::marcarEnviada() {
    try {
        m_datos.MarcarEnviado(true);
    } catch (const db::Abort &) {
        // The post's own report has been shown; the user must still learn that the mail went.
        throw db::Refusal(kNoMarcada);
    }
}

void TFemailenviar::terminar() {
    m_terminado = true;
    close();
}
