#include "tools/copia/Manifest.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <openssl/evp.h>

#include <new>
#include <vector>

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

Sha256::Sha256() : m_ctx(EVP_MD_CTX_new()) {
    if (!m_ctx || EVP_DigestInit_ex(m_ctx, EVP_sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(m_ctx);
        throw std::bad_alloc();
    }
}

Sha256::~Sha256() {
    EVP_MD_CTX_free(m_ctx);
}

void Sha256::add(const char *data, qsizetype size) {
    EVP_DigestUpdate(m_ctx, data, size_t(size));
}

QByteArray Sha256::result() {
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned length = 0;
    EVP_DigestFinal_ex(m_ctx, reinterpret_cast<unsigned char *>(digest.data()), &length);
    digest.truncate(length);
    return digest;
}

QByteArray fileSha256(const QString &path) {
    QFile file(path);
    Sha256 hash;
    if (!file.open(QIODevice::ReadOnly))
        throw db::DatabaseError(
            QStringLiteral("No se puede leer %1: %2").arg(path, file.errorString()));
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const qint64 got = file.read(buffer.data(), qint64(buffer.size()));
        if (got < 0)
            throw db::DatabaseError(
                QStringLiteral("No se puede leer %1: %2").arg(path, file.errorString()));
        if (got == 0)
            return hash.result();
        hash.add(buffer.data(), got);
    }
}

} // namespace backup
