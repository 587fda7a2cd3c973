#include "platform/config/Configuracion.h"

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

std::optional<QString> Configuracion::leer() {
    QSettings store(QSettings::NativeFormat, QSettings::SystemScope, Organizacion.toString(),
                    Aplicacion.toString());
    return leer(store);
}

std::optional<QString> Configuracion::leer(QSettings &store) {
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
            return tipoInvalido(key);
        *target = value.toString();
    }

    if (m_basededatos.isEmpty())
        return SinBaseDeDatos.toString();
    return std::nullopt;
}

void Configuracion::clear() {
    m_basededatos.clear();
    m_usuario.clear();
    m_impresos.clear();
    m_directory.clear();
}

std::optional<QString> Configuracion::leerCorreo(Correo &correo) {
    QSettings store(QSettings::NativeFormat, QSettings::SystemScope, Organizacion.toString(),
                    Aplicacion.toString());
    return leerCorreo(store, correo);
}

std::optional<QString> Configuracion::leerCorreo(QSettings &store, Correo &correo) {
    correo = Correo();
    store.setFallbacksEnabled(false);
    if (!storeExists(store) || store.status() != QSettings::NoError)
        return std::nullopt;

    const QString limite = ClaveLimiteCorreo.toString();
    if (store.contains(limite)) {
        const QVariant value = store.value(limite);
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
                .arg(limite, shown)
                .arg(Correo::LimitePorDefectoMB);
        }
        correo.limiteMB = int(mb);
    }

    const QString certificado = ClaveCertificadoCorreo.toString();
    if (store.contains(certificado)) {
        const QVariant value = store.value(certificado);
        if (value.typeId() != QMetaType::QString) {
            correo = Correo();
            return QStringLiteral("El valor %1 de la configuración no es válido: debe ser la "
                                  "ruta de un archivo")
                .arg(certificado);
        }
        correo.certificado = value.toString();
    }
    return std::nullopt;
}

QString Configuracion::tipoInvalido(const QString &name) {
    return QStringLiteral("Invalid data type for '%1'").arg(name);
}

} // namespace platform
