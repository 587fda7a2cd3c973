#pragma once

#include <QList>
#include <QSslCertificate>
#include <QSslError>
#include <QString>

namespace mail {

// The certificates of a PEM file (an office's own certificate authority, named by the
// configuration's CertificadoCorreo), for SmtpClient::addCaCertificates(). A file that cannot be
// read or holds no certificate throws MailError (kind Certificate), e.g.
//   "No se puede leer el certificado de la configuración (CertificadoCorreo) /etc/ca.pem: ..."
QList<QSslCertificate> readCaCertificates(const QString &path);

// Why the certificate `certificate` of the mail server `host` is not trusted, in Spanish words
// (one for each kind of failed check: not signed by a trusted authority, expired, not yet
// valid, made for another name, revoked, ...), followed by what the office can do about each:
//   "No se puede confiar en el certificado del servidor de correo smtp.example.es: no lo firma
//    ninguna autoridad de certificación de confianza para este equipo (emisor: «CA Oficina»).
//    Qué hacer:
//    - instale el certificado de la autoridad ..."
QString describeCertificateErrors(const QList<QSslError> &errors, const QString &host,
                                  const QSslCertificate &certificate);

} // namespace mail
