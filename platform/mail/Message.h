#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace mail {

// A mail with one sender, one recipient, a subject, a plain-text body and attached files,
// written as a MIME message (multipart/mixed: the text first, then the files in the order they
// were added). The text goes as text/plain labelled windows-1252 (utf-8 should it hold a
// character that code page lacks), quoted-printable; each file as base64 under its name without
// folder, with the content type QMimeDatabase gives it. Names and subject are encoded (RFC 2047,
// RFC 2231 for file names) where they need it; the whole message is 7-bit with CRLF line ends
// and carries Date and Message-ID.
//
// The files are read only when the message is written out, a piece at a time, so a message
// of any size is never held in memory:
//
//   mail::Message m;
//   m.setFrom(QStringLiteral("Instalaciones Pérez"), QStringLiteral("perez@example.es"));
//   m.setTo(QStringLiteral("Gestor"), QStringLiteral("gestor@example.es"));
//   m.setSubject(QStringLiteral("Trelmavondis - Hoja Expte.:  1234567890"));
//   m.setBody(lines.join(QStringLiteral("\r\n")));
//   m.addAttachment(QStringLiteral("/home/oficina/planos/plano.pdf")); // checked, not read
//   qint64 size = m.writeTo(temporaryFilePath);                      // or toBytes()
class Message {
public:
    // An attached file as it was when added.
    struct File {
        QString path;
        QString name; // the name it goes under
        qint64 size = 0;
        QByteArray type, subtype;
    };

    void setFrom(const QString &name, const QString &address);
    void setTo(const QString &name, const QString &address);
    void setSubject(const QString &subject);
    // Lines separated by CRLF or LF.
    void setBody(const QString &text);

    // Attaches the file under the part of `path` after its last "/" or "\". The file is
    // opened to see that it can be read and its size is noted; its bytes are read when the
    // message is written out. A missing or unreadable file throws MailError (kind Attachment):
    // "No se puede leer el archivo adjunto: " + path.
    void addAttachment(const QString &path);
    // The same, under a name of the caller's choice.
    void addAttachment(const QString &path, const QString &fileName);

    const QString &fromName() const { return m_fromName; }
    const QString &fromAddress() const { return m_fromAddress; }
    const QString &toName() const { return m_toName; }
    const QString &toAddress() const { return m_toAddress; }
    const QString &subject() const { return m_subject; }
    const QString &body() const { return m_body; }
    qsizetype attachmentCount() const { return m_attachments.size(); }
    const QList<File> &attachments() const { return m_attachments; }
    // The sizes of the attached files added up.
    qint64 attachmentsSize() const;
    // What the written-out message takes at the least: the body and the files as base64 with
    // their line ends, headers aside. Known without reading a file.
    qint64 minimumSize() const;

    // Writes the whole message into the file at `path` (created or emptied) and answers its
    // size in bytes. Checks the names, addresses and subject first (MailInput.h) and throws
    // MailError (kind InvalidInput) naming the field that is refused; a file that cannot be
    // read or written throws MailError (kind Attachment). Touches nothing but its own
    // objects, so it may run on a thread of its own.
    qint64 writeTo(const QString &path) const;
    // The whole message in memory (small messages).
    QByteArray toBytes() const;

    // The name a file is attached under: `path` after its last "/" or "\", or all of it.
    static QString fileNameOf(const QString &path);

private:
    QString m_fromName, m_fromAddress, m_toName, m_toAddress, m_subject, m_body;
    QList<File> m_attachments;
};

} // namespace mail
