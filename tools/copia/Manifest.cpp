#include "tools/copia/Manifest.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace backup {

QString Manifest::pathFor(const QString &copy) {
    return copy + QStringLiteral(".huella");
}

void Manifest::write(const QString &path) const {
    const QJsonObject o{{QStringLiteral("hecha"), made.toUTC().toString(Qt::ISODate)},
                        {QStringLiteral("origen"), source},
                        {QStringLiteral("bytes"), size},
                        {QStringLiteral("sha256"), QString::fromLatin1(sha256.toHex())},
                        {QStringLiteral("tablas"), contents.toJson()}};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(o).toJson()) < 0 || !file.commit())
        throw db::DatabaseError(
            QStringLiteral("No se puede escribir %1: %2").arg(path, file.errorString()));
}

std::optional<Manifest> Manifest::read(const QString &path) {
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw db::DatabaseError(
            QStringLiteral("No se puede leer %1: %2").arg(path, file.errorString()));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    const QJsonObject o = doc.object();
    if (error.error != QJsonParseError::NoError || !o.contains(QStringLiteral("sha256")))
        throw db::DatabaseError(QStringLiteral("La huella %1 está dañada.").arg(path));
    Manifest m;
    m.made = QDateTime::fromString(o.value(QStringLiteral("hecha")).toString(), Qt::ISODate);
    m.source = o.value(QStringLiteral("origen")).toString();
    m.size = qint64(o.value(QStringLiteral("bytes")).toDouble());
    m.sha256 = QByteArray::fromHex(o.value(QStringLiteral("sha256")).toString().toLatin1());
    m.contents = Contents::fromJson(o.value(QStringLiteral("tablas")).toArray());
    return m;
}

QByteArray fileSha256(const QString &path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        throw db::DatabaseError(
            QStringLiteral("No se puede leer %1: %2").arg(path, file.errorString()));
    return hash.result();
}

} // namespace backup
