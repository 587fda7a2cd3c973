#include "platform/mail/Certificates.h"

#include "platform/mail/MailError.h"

#include <QFile>
#include <QStringList>

namespace mail {

namespace {

enum class Check { Trust, Expired, NotYetValid, HostName, Revoked, Other };

Check checkOf(QSslError::SslError error) {
    switch (error) {
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::CertificateUntrusted:
    case QSslError::CertificateRejected:
    case QSslError::InvalidCaCertificate:
        return Check::Trust;
    case QSslError::CertificateExpired:
        return Check::Expired;
    case QSslError::CertificateNotYetValid:
        return Check::NotYetValid;
    case QSslError::HostNameMismatch:
        return Check::HostName;
    case QSslError::CertificateRevoked:
    case QSslError::CertificateBlacklisted:
        return Check::Revoked;
    default:
        return Check::Other;
    }
}

QString joined(const QStringList &names) {
    QStringList quoted;
    for (const QString &name : names)
        quoted << QStringLiteral("«") + name + QStringLiteral("»");
    return quoted.join(QStringLiteral(", "));
}

// The names a certificate is good for: its DNS and IP alternative names, else its common name.
QStringList namesOf(const QSslCertificate &certificate) {
    QStringList names;
    const auto alternatives = certificate.subjectAlternativeNames();
    for (auto it = alternatives.cbegin(); it != alternatives.cend(); ++it) {
        if ((it.key() == QSsl::DnsEntry || it.key() == QSsl::IpAddressEntry) &&
            !names.contains(it.value()))
            names << it.value();
    }
    if (names.isEmpty())
        names = certificate.subjectInfo(QSslCertificate::CommonName);
    names.sort();
    return names;
}

QString date(const QDateTime &when) {
    return when.toLocalTime().toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

QList<QSslCertificate> readCaCertificates(const QString &path) {
    const QString where = QStringLiteral("el certificado de la configuración (CertificadoCorreo) ");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw MailError(MailError::Kind::Certificate, QStringLiteral("No se puede leer ") + where +
                                                          path + QStringLiteral(": ") +
                                                          file.errorString());
    }
    const QList<QSslCertificate> certificates =
        QSslCertificate::fromData(file.readAll(), QSsl::Pem);
    if (certificates.isEmpty()) {
        throw MailError(MailError::Kind::Certificate,
                        QStringLiteral("El archivo de ") + where + path +
                            QStringLiteral(" no contiene ningún certificado en formato PEM"));
    }
    return certificates;
}

QString describeCertificateErrors(const QList<QSslError> &errors, const QString &host,
                                  const QSslCertificate &certificate) {
    QList<Check> seen;
    QStringList problems, remedies;
    for (const QSslError &error : errors) {
        const Check check = checkOf(error.error());
        if (check != Check::Other && seen.contains(check))
            continue;
        seen << check;
        const QSslCertificate &which =
            error.certificate().isNull() ? certificate : error.certificate();
        switch (check) {
        case Check::Trust: {
            const QStringList issuer = which.issuerInfo(QSslCertificate::CommonName);
            problems << QStringLiteral("no lo firma ninguna autoridad de certificación de "
                                       "confianza para este equipo") +
                            (issuer.isEmpty()
                                 ? QString()
                                 : QStringLiteral(" (emisor: ") + joined(issuer) + u')');
            remedies << QStringLiteral(
                "instale el certificado de la autoridad que firmó el del servidor (lo facilita "
                "quien administra el servidor de correo) en el almacén de certificados del "
                "sistema, o guárdelo en un archivo PEM e indique su ruta en el valor "
                "CertificadoCorreo de la configuración");
            break;
        }
        case Check::Expired:
            problems << QStringLiteral("ha caducado (era válido hasta el %1)")
                            .arg(date(which.expiryDate()));
            remedies << QStringLiteral("compruebe la fecha y la hora de este equipo; si son "
                                       "correctas, quien administra el servidor de correo debe "
                                       "renovar su certificado");
            break;
        case Check::NotYetValid:
            problems << QStringLiteral("aún no es válido (lo será desde el %1)")
                            .arg(date(which.effectiveDate()));
            remedies << QStringLiteral("compruebe la fecha y la hora de este equipo");
            break;
        case Check::HostName: {
            const QStringList names = namesOf(certificate);
            problems << QStringLiteral("es de otro nombre de servidor (%1), no de «%2»")
                            .arg(names.isEmpty() ? QStringLiteral("sin nombre") : joined(names),
                                 host);
            remedies << QStringLiteral("escriba en la ficha del instalador el servidor SMTP con "
                                       "el nombre que figura en su certificado");
            break;
        }
        case Check::Revoked:
            problems << QStringLiteral("ha sido revocado");
            remedies << QStringLiteral("avise a quien administra el servidor de correo: debe "
                                       "ponerle un certificado nuevo");
            break;
        case Check::Other:
            problems << QStringLiteral("no es válido (%1)").arg(error.errorString());
            remedies << QStringLiteral("avise a quien administra el servidor de correo");
            break;
        }
    }
    remedies.removeDuplicates();
    if (problems.isEmpty()) {
        problems << QStringLiteral("no es válido");
        remedies << QStringLiteral("avise a quien administra el servidor de correo");
    }
    QString text = QStringLiteral("No se puede confiar en el certificado del servidor de correo "
                                  "%1: %2.")
                       .arg(host, problems.join(QStringLiteral("; ")));
    text += QStringLiteral("\nQué hacer:\n- ") + remedies.join(QStringLiteral(".\n- ")) + u'.';
    return text;
}

} // namespace mail
