#pragma once

#include "tools/copia/Contents.h"

#include <QDateTime>

#include <optional>

struct evp_md_ctx_st; // OpenSSL's EVP_MD_CTX

namespace backup {

// What a verified copy held when it was made, kept beside it as COPY.fbk.huella (JSON). A
// backup file has no checksum of its own: a changed byte in a value restores without a word,
// so the copy's SHA-256 and its tables' digests are what a later check compares against. A
// copy without one (made with gbak by hand) can still be restored and validated.
struct Manifest {
    QDateTime made;
    QString source;
    qint64 size = 0;
    QByteArray sha256;
    Contents contents;

    static QString pathFor(const QString &copy);
    // Written to a temporary file and renamed: a manifest is there whole or not at all.
    void write(const QString &path) const;
    // Nothing when there is no file; a file that cannot be read raises DatabaseError.
    static std::optional<Manifest> read(const QString &path);
};

// SHA-256 through OpenSSL's libcrypto, which uses the processor's SHA instructions: a copy of
// hundreds of megabytes hashes in a fraction of the time Qt's own code takes, and the hash of
// the bytes fed to a restore is on the restore's path.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;
    void add(const char *data, qsizetype size);
    QByteArray result(); // once: it ends the hash

private:
    ::evp_md_ctx_st *m_ctx;
};

// SHA-256 of a whole file; raises DatabaseError when it cannot be read.
QByteArray fileSha256(const QString &path);

} // namespace backup
