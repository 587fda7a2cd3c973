#include "platform/config/Settings.h"

#include <QFileInfo>
#include <QSettings>
#include <QVariant>

#include <array>
#include <limits>
#include <utility>

namespace platform {

namespace {

// Whether the key (registry) or file (INI) behind the store is there at all.
bool storeExists(const QSettings &store) {
#ifdef Q_OS_WIN
    if (store.format() == QSettings::NativeFormat) {
        // fileName() is "\HKEY_LOCAL_MACHINE\Software\Nirvelo\Trelmavondis":
        // look for the last part among the groups of its parent key.
        QString path = store.fileName();
        if (path.startsWith(u'\\'))
            path.remove(0, 1);
        const qsizetype cut = path.lastIndexOf(u'\\');
        if (cut < 0)
            return false;
        QSettings parent(path.left(cut), QSettings::NativeFormat);
        return parent.childGroups().contains(path.mid(cut + 1), Qt::CaseInsensitive);
    }
#endif
    return QFileInfo::exists(store.fileName());
}

} // namespace

std::optional<QString> Settings::read() {
    QSettings store(QSettings::NativeFormat, QSettings::SystemScope, Organization.toString(),
                    Application.toString());
    return read(store);
}

std::optional<QString> Settings::read(QSettings &store) {
    clear();
    // Only this key: no organisation-wide or other fallback.
    store.setFallbacksEnabled(false);
    if (!storeExists(store) || store.status() != QSettings::NoError)
        return std::nullopt;

    const std::array<std::pair<const char *, QString *>, 4> values{{
        {"Basededatos", &m_basededatos},
        {"Usuario", &m_usuario},
        {"Impresos", &m_impresos},
        {"Directory", &m_directory},
    }};
    for (const auto &[name, target] : values) {
        const QString key = QString::fromLatin1(name);
        if (!store.contains(key))
            continue;
        const QVariant value = store.value(key);
        if (value.typeId() != QMetaType::QString)
            return invalidType(key);
        *target = value.toString();
    }

    if (m_basededatos.isEmpty())
        return NoDatabase.toString();
    return std::nullopt;
}

void Settings::clear() {
    m_basededatos.clear();
    m_usuario.clear();
    m_impresos.clear();
    m_directory.clear();
}

std::optional<QString> Settings::readMail(Mail &mail) {
    QSettings store(QSettings::NativeFormat, QSettings::SystemScope, Organization.toString(),
                    Application.toString());
    return readMail(store, mail);
}

std::optional<QString> Settings::readMail(QSettings &store, Mail &mail) {
    mail = Mail();
    store.setFallbacksEnabled(false);
    if (!storeExists(store) || store.status() != QSettings::NoError)
        return std::nullopt;

    const QString limitKey = MailLimitKey.toString();
    if (store.contains(limitKey)) {
        const QVariant value = store.value(limitKey);
        // A registry DWORD arrives as a number, an INI value as text.
        bool ok = false;
        qlonglong mb = 0;
        QString shown;
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            mb = value.toLongLong(&ok);
            shown = value.toString();
            break;
        case QMetaType::QString:
            shown = value.toString();
            mb = shown.trimmed().toLongLong(&ok);
            break;
        default:
            shown = value.toStringList().join(QStringLiteral(", "));
            break;
        }
        if (!ok || mb < 1 || mb > std::numeric_limits<int>::max()) {
            return QStringLiteral("El valor %1 de la configuración no es válido: «%2» (debe ser "
                                  "un número entero de megabytes, por ejemplo %3)")
                .arg(limitKey, shown)
                .arg(Mail::DefaultLimitMB);
        }
        mail.limitMB = int(mb);
    }

    const QString certificateKey = MailCertificateKey.toString();
    if (store.contains(certificateKey)) {
        const QVariant value = store.value(certificateKey);
        if (value.typeId() != QMetaType::QString) {
            mail = Mail();
            return QStringLiteral("El valor %1 de la configuración no es válido: debe ser la "
                                  "ruta de un archivo")
                .arg(certificateKey);
        }
        mail.certificate = value.toString();
    }
    return std::nullopt;
}

QString Settings::invalidType(const QString &name) {
    return QStringLiteral("Invalid data type for '%1'").arg(name);
}

} // namespace platform
