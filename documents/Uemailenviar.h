#pragma once

// TFemailenviar's components (Uemailenviar.ui), by their names:
//   Animate1               the animation of the letter flying to the mailbox
//   Timer1                 starts the send half a second after the window is made
//   IdSMTP1                the SMTP client

#include "platform/mail/SmtpClient.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class TDatos;
struct HojaExpediente;
struct ServidorCorreo;
namespace mail {
class Message;
}
namespace Ui {
class TFemailenviar;
}

// The mail window "Enviando correo electrónico": white, 195 by 125, centred on the desktop,
// without system menu or close box, showing only its animation. Half a second after it is
// created its timer fires once and EnviarCorreo mails the installation that DSinstalacion
// holds (narrowed by the bulletin run) to its manager, with the attached files in their order
// and the bulletin PDF last, over the SMTP server of the installation's own installer. On
// success it says so and marks the installation as sent. Every failure is shown; the window
// then closes itself and is freed.
//
// The configuration's mail settings are read at each send: LimiteCorreoMB, the largest
// message for a server that announces no limit of its own (a larger one is refused before
// anything is uploaded, naming the files), and CertificadoCorreo, the office's own authority
// trusted for the server's certificate besides the system's store.
class TFemailenviar : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *Instancia = "Femailenviar";

    TFemailenviar(TDatos &datos, const QString &pdf, QWidget *parent = nullptr);
    ~TFemailenviar() override;

    // A new window, shown modally until it has sent and closed itself; then freed.
    static void enviar(TDatos &datos, const QString &pdf, QWidget *parent);

    void Timer1Timer();
    void EnviarCorreo();

    mail::SmtpClient IdSMTP1;
    QTimer Timer1;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void conectar(const ServidorCorreo &servidor, const QString &certificado);
    void componer(mail::Message &mensaje, const HojaExpediente &hoja) const;
    void marcarEnviada();
    void terminar();

    TDatos &m_datos;
    QString m_pdf;
    bool m_terminado = false; // only the window itself closes it, once the send is over
    QString m_falloConexion;  // why the connection could not be made
    std::unique_ptr<Ui::TFemailenviar> ui;
};
