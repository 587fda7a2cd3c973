#include "platform/mail/Message.h"

#include "db/Win1252.h"
#include "platform/mail/MailError.h"
#include "platform/mail/MailInput.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include <gmime/gmime.h>

#include <fcntl.h>

#include <memory>
#include <vector>

namespace mail {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T> using GPtr = std::unique_ptr<T, GObjectUnref>;

struct FormatOptionsFree {
    void operator()(GMimeFormatOptions *options) const { g_mime_format_options_free(options); }
};

struct ErrorFree {
    void operator()(GError *error) const { g_error_free(error); }
};

void initGMime() {
    static const bool done = [] {
        g_mime_init();
        return true;
    }();
    (void)done;
}

QByteArray utf8OrNull(const QString &text) {
    return text.isEmpty() ? QByteArray() : text.toUtf8();
}

// The text with LF line ends: GMime writes them as CRLF when the message is written out.
QString withLf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The body's bytes and the charset they are in.
std::pair<QByteArray, const char *> bodyBytes(const QString &text) {
    const QString body = withLf(text);
    if (db::win1252::canEncode(body))
        return {db::win1252::encode(body), "windows-1252"};
    return {body.toUtf8(), "utf-8"};
}

GPtr<GMimeDataWrapper> wrap(GMimeStream *stream) {
    GPtr<GMimeStream> owned(stream);
    return GPtr<GMimeDataWrapper>(
        g_mime_data_wrapper_new_with_stream(owned.get(), GMIME_CONTENT_ENCODING_DEFAULT));
}

// A file name as GLib's file functions take it.
QByteArray glibPath(const QString &path) {
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

int binary(int flags) {
#ifdef O_BINARY
    flags |= O_BINARY;
#endif
    return flags;
}

// Base64 with GMime's lines of 76 characters, each with its CRLF; a lower bound should the
// lines be shorter.
qint64 base64Size(qint64 bytes) {
    const qint64 characters = 4 * ((bytes + 2) / 3);
    return characters + 2 * (characters / 76);
}

MailError unreadable(const QString &path) {
    return MailError(MailError::Kind::Attachment,
                     QStringLiteral("No se puede leer el archivo adjunto: ") + path);
}

} // namespace

void Message::setFrom(const QString &name, const QString &address) {
    m_fromName = name;
    m_fromAddress = address;
}

void Message::setTo(const QString &name, const QString &address) {
    m_toName = name;
    m_toAddress = address;
}

void Message::setSubject(const QString &subject) {
    m_subject = subject;
}

void Message::setBody(const QString &text) {
    m_body = text;
}

QString Message::fileNameOf(const QString &path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

void Message::addAttachment(const QString &path) {
    addAttachment(path, fileNameOf(path));
}

void Message::addAttachment(const QString &path, const QString &fileName) {
    const QFileInfo info(path);
    QFile file(path);
    if (path.isEmpty() || !info.isFile() || !file.open(QIODevice::ReadOnly))
        throw unreadable(path);
    File attachment;
    attachment.path = path;
    attachment.name = fileName;
    attachment.size = file.size();

    QMimeDatabase mimes;
    QString type = mimes.mimeTypeForFile(info).name();
    if (type.isEmpty() || !type.contains(QLatin1Char('/')))
        type = QStringLiteral("application/octet-stream");
    const qsizetype slash = type.indexOf(QLatin1Char('/'));
    attachment.type = type.left(slash).toLatin1();
    attachment.subtype = type.mid(slash + 1).toLatin1();
    m_attachments.append(std::move(attachment));
}

qint64 Message::attachmentsSize() const {
    qint64 total = 0;
    for (const File &file : m_attachments)
        total += file.size;
    return total;
}

qint64 Message::minimumSize() const {
    qint64 total = bodyBytes(m_body).first.size();
    for (const File &file : m_attachments)
        total += base64Size(file.size);
    return total;
}

namespace {

// The message as GMime objects. Each attachment's part reads its file through a stream of
// its own when the message is written out.
class Built {
public:
    explicit Built(const Message &m) {
        checkName(m.fromName(), QStringLiteral("remitente"));
        checkAddress(m.fromAddress(), QStringLiteral("remitente"));
        checkName(m.toName(), QStringLiteral("destinatario"));
        checkAddress(m.toAddress(), QStringLiteral("destinatario"));
        checkSubject(m.subject());
        initGMime();

        message.reset(g_mime_message_new(TRUE));
        g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_FROM,
                                   utf8OrNull(m.fromName()).constData(), m.fromAddress().toUtf8());
        g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_TO,
                                   utf8OrNull(m.toName()).constData(), m.toAddress().toUtf8());
        g_mime_message_set_subject(message.get(), m.subject().toUtf8(), nullptr);
        GDateTime *now = g_date_time_new_now_local();
        g_mime_message_set_date(message.get(), now);
        g_date_time_unref(now);
        const QString &from = m.fromAddress();
        const qsizetype at = from.lastIndexOf(QLatin1Char('@'));
        const QByteArray domain =
            at >= 0 && at + 1 < from.size() ? from.mid(at + 1).toUtf8() : "localhost";
        char *id = g_mime_utils_generate_message_id(domain.constData());
        g_mime_message_set_message_id(message.get(), id);
        g_free(id);

        GPtr<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));

        // The memory stream copies the bytes: they need not outlive this.
        const auto [body, charset] = bodyBytes(m.body());
        GPtr<GMimeTextPart> text(g_mime_text_part_new_with_subtype("plain"));
        g_mime_object_set_content_type_parameter(GMIME_OBJECT(text.get()), "charset", charset);
        g_mime_part_set_content(
            GMIME_PART(text.get()),
            wrap(g_mime_stream_mem_new_with_buffer(body.constData(), size_t(body.size()))).get());
        g_mime_part_set_content_encoding(GMIME_PART(text.get()),
                                         GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
        g_mime_multipart_add(mixed.get(), GMIME_OBJECT(text.get()));

        for (const Message::File &file : m.attachments()) {
            GMimeStream *stream = g_mime_stream_fs_open(glibPath(file.path).constData(),
                                                        binary(O_RDONLY), 0, nullptr);
            if (!stream)
                throw unreadable(file.path);
            GPtr<GMimePart> part(
                g_mime_part_new_with_type(file.type.constData(), file.subtype.constData()));
            g_mime_part_set_content(part.get(), wrap(stream).get());
            g_mime_part_set_filename(part.get(), file.name.toUtf8());
            g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
            g_mime_multipart_add(mixed.get(), GMIME_OBJECT(part.get()));
        }
        g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(mixed.get()));
        // Every part's encoding is set, so this reads no file.
        g_mime_object_encode(GMIME_OBJECT(message.get()), GMIME_ENCODING_CONSTRAINT_7BIT);
    }

    // The bytes written, or -1.
    qint64 write(GMimeStream *out) const {
        std::unique_ptr<GMimeFormatOptions, FormatOptionsFree> options(g_mime_format_options_new());
        g_mime_format_options_set_newline_format(options.get(), GMIME_NEWLINE_FORMAT_DOS);
        const gint64 written =
            g_mime_object_write_to_stream(GMIME_OBJECT(message.get()), options.get(), out);
        if (written < 0 || g_mime_stream_flush(out) < 0)
            return -1;
        return written;
    }

    GPtr<GMimeMessage> message;
};

MailError notComposed(const QString &why = {}) {
    return MailError(MailError::Kind::Attachment,
                     QStringLiteral("No se ha podido componer el mensaje de correo") +
                         (why.isEmpty() ? QString() : QStringLiteral(": ") + why));
}

} // namespace

qint64 Message::writeTo(const QString &path) const {
    const Built built(*this);
    GError *error = nullptr;
    GPtr<GMimeStream> file(g_mime_stream_fs_open(
        glibPath(path).constData(), binary(O_WRONLY | O_CREAT | O_TRUNC), 0600, &error));
    if (!file) {
        const std::unique_ptr<GError, ErrorFree> owned(error);
        throw notComposed(owned ? QString::fromUtf8(owned->message) : path);
    }
    {
        GPtr<GMimeStream> out(
            g_mime_stream_buffer_new(file.get(), GMIME_STREAM_BUFFER_BLOCK_WRITE));
        if (built.write(out.get()) < 0)
            throw notComposed();
    }
    file.reset(); // closes it
    // What the buffer stream reports as written is not the file's size.
    return QFileInfo(path).size();
}

QByteArray Message::toBytes() const {
    const Built built(*this);
    GPtr<GMimeStream> out(g_mime_stream_mem_new());
    if (built.write(out.get()) < 0)
        throw notComposed();
    const GByteArray *bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return QByteArray(reinterpret_cast<const char *>(bytes->data), qsizetype(bytes->len));
}

} // namespace mail
