#pragma once

#include <QString>

#include <optional>

class QSettings;

namespace platform {

// The four configuration values of a run: Basededatos, Usuario, Impresos and
// Directory, read once at start-up from the system settings store
// (QSettings, NativeFormat, SystemScope, "Nirvelo", "Trelmavondis": the
// registry key on Windows, the INI file Nirvelo/Trelmavondis.conf under
// XDG_CONFIG_DIRS elsewhere). The store is never written.
//
// One instance is kept by the program for the whole run; only read() and
// clear() change it. Reading shows nothing: it returns the message that the
// caller shows in the error box.
//
// The same store may also hold the office's mail settings (Mail), which
// only the mail window reads, each time it sends.
class Settings {
public:
    static constexpr QStringView Organization = u"Nirvelo";
    static constexpr QStringView Application = u"Trelmavondis";
    static constexpr QStringView NoDatabase =
        u"No ha podido encontrar el registro de la base de datos";

    // Reads the values from the system store, in the order Basededatos,
    // Usuario, Impresos, Directory, replacing what was held. Returns the
    // error to show, if any:
    //  - a value that is not text: "Invalid data type for '<name>'"; the
    //    values after it stay empty;
    //  - otherwise, the store exists and Basededatos is missing or empty:
    //    NoDatabase.
    // A missing store leaves all four empty without an error.
    std::optional<QString> read();
    // The same, from a given store (tests, other formats).
    std::optional<QString> read(QSettings &store);

    const QString &basededatos() const noexcept { return m_basededatos; }
    const QString &usuario() const noexcept { return m_usuario; }
    const QString &impresos() const noexcept { return m_impresos; }
    const QString &directory() const noexcept { return m_directory; }

    // Empties the four values (at the end of the run).
    void clear();

    // "Invalid data type for '<name>'".
    static QString invalidType(const QString &name);

    // The mail settings, both optional:
    //  - LimiteCorreoMB: the largest message, in whole megabytes of 1024 *
    //    1024 bytes, for a server that does not announce its own (SMTP SIZE);
    //  - CertificadoCorreo: a PEM file with the certificate of the authority
    //    that signed the mail server's, trusted besides the system's store.
    struct Mail {
        static constexpr int DefaultLimitMB = 25; // what most providers take
        int limitMB = DefaultLimitMB;
        QString certificate;

        qint64 limitBytes() const noexcept { return qint64(limitMB) * 1024 * 1024; }
    };
    static constexpr QStringView MailLimitKey = u"LimiteCorreoMB";
    static constexpr QStringView MailCertificateKey = u"CertificadoCorreo";

    // Reads the mail settings from the system store into `mail`. They are
    // read when a mail is sent rather than at start-up, so that an office
    // that installs its certificate need not start the program again.
    // Returns the error to show, with `mail` left at its defaults:
    //  - LimiteCorreoMB that is not a whole number from 1 on:
    //    "El valor LimiteCorreoMB de la configuración no es válido: «x» (...)";
    //  - CertificadoCorreo that is not text.
    static std::optional<QString> readMail(Mail &mail);
    static std::optional<QString> readMail(QSettings &store, Mail &mail);

private:
    QString m_basededatos;
    QString m_usuario;
    QString m_impresos;
    QString m_directory;
};

} // namespace platform
