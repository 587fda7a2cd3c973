#include "platform/config/Configuracion.h"

#include <QFileInfo>
#include <QSettings>
#include <QVariant>

#include <array>
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

QString Configuracion::tipoInvalido(const QString &name) {
    return QStringLiteral("Invalid data type for '%1'").arg(name);
}

} // namespace platform
