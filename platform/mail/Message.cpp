#include "platform/mail/Message.h"

#include "db/Win1252.h"
#include "platform/mail/MailError.h"
#include "platform/mail/MailInput.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include <gmime/gmime.h>

namespace mail {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T> using GPtr = std::unique_ptr<T, GObjectUnref>;

struct ByteArrayUnref {
    void operator()(GByteArray *array) const { g_byte_array_unref(array); }
};

struct FormatOptionsFree {
    void operator()(GMimeFormatOptions *options) const { g_mime_format_options_free(options); }
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

GPtr<GMimeDataWrapper> wrap(GMimeStream *stream) {
    GPtr<GMimeStream> owned(stream);
    return GPtr<GMimeDataWrapper>(
        g_mime_data_wrapper_new_with_stream(owned.get(), GMIME_CONTENT_ENCODING_DEFAULT));
}

} // namespace

struct Message::Attachment {
    QString fileName;
    QByteArray type, subtype;
    std::unique_ptr<GByteArray, ByteArrayUnref> data;
};

Message::Message() = default;
Message::~Message() = default;
Message::Message(const Message &) = default;
Message &Message::operator=(const Message &) = default;

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
    const auto unreadable = [&path] {
        return MailError(MailError::Kind::Attachment,
                         QStringLiteral("No se puede leer el archivo adjunto: ") + path);
    };
    const QFileInfo info(path);
    QFile file(path);
    if (path.isEmpty() || !info.isFile() || !file.open(QIODevice::ReadOnly))
        throw unreadable();
    const qint64 size = file.size();
    auto attachment = std::make_shared<Attachment>();
    attachment->fileName = fileName;
    attachment->data.reset(g_byte_array_sized_new(guint(size)));
    g_byte_array_set_size(attachment->data.get(), guint(size));
    if (size > 0 && file.read(reinterpret_cast<char *>(attachment->data->data), size) != size)
        throw unreadable();

    QMimeDatabase mimes;
    QString type = mimes.mimeTypeForFile(info).name();
    if (type.isEmpty() || !type.contains(QLatin1Char('/')))
        type = QStringLiteral("application/octet-stream");
    const qsizetype slash = type.indexOf(QLatin1Char('/'));
    attachment->type = type.left(slash).toLatin1();
    attachment->subtype = type.mid(slash + 1).toLatin1();
    m_attachments.append(std::move(attachment));
}

QByteArray Message::toBytes() const {
    checkName(m_fromName, QStringLiteral("remitente"));
    checkAddress(m_fromAddress, QStringLiteral("remitente"));
    checkName(m_toName, QStringLiteral("destinatario"));
    checkAddress(m_toAddress, QStringLiteral("destinatario"));
    checkSubject(m_subject);
    initGMime();

    GPtr<GMimeMessage> message(g_mime_message_new(TRUE));
    g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_FROM,
                               utf8OrNull(m_fromName).constData(), m_fromAddress.toUtf8());
    g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_TO,
                               utf8OrNull(m_toName).constData(), m_toAddress.toUtf8());
    g_mime_message_set_subject(message.get(), m_subject.toUtf8(), nullptr);
    GDateTime *now = g_date_time_new_now_local();
    g_mime_message_set_date(message.get(), now);
    g_date_time_unref(now);
    const qsizetype at = m_fromAddress.lastIndexOf(QLatin1Char('@'));
    const QByteArray domain =
        at >= 0 && at + 1 < m_fromAddress.size() ? m_fromAddress.mid(at + 1).toUtf8() : "localhost";
    char *id = g_mime_utils_generate_message_id(domain.constData());
    g_mime_message_set_message_id(message.get(), id);
    g_free(id);

    GPtr<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));

    const QString body = withLf(m_body);
    const bool win1252 = db::win1252::canEncode(body);
    const QByteArray bodyBytes = win1252 ? db::win1252::encode(body) : body.toUtf8();
    GPtr<GMimeTextPart> text(g_mime_text_part_new_with_subtype("plain"));
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(text.get()), "charset",
                                             win1252 ? "windows-1252" : "utf-8");
    g_mime_part_set_content(
        GMIME_PART(text.get()),
        wrap(g_mime_stream_mem_new_with_buffer(bodyBytes.constData(), size_t(bodyBytes.size())))
            .get());
    g_mime_part_set_content_encoding(GMIME_PART(text.get()),
                                     GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
    g_mime_multipart_add(mixed.get(), GMIME_OBJECT(text.get()));

    for (const auto &attachment : m_attachments) {
        GPtr<GMimePart> part(g_mime_part_new_with_type(attachment->type.constData(),
                                                       attachment->subtype.constData()));
        // The stream reads the attachment's bytes in place; they outlive it.
        GMimeStream *stream = g_mime_stream_mem_new_with_byte_array(attachment->data.get());
        g_mime_stream_mem_set_owner(GMIME_STREAM_MEM(stream), FALSE);
        g_mime_part_set_content(part.get(), wrap(stream).get());
        g_mime_part_set_filename(part.get(), attachment->fileName.toUtf8());
        g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
        g_mime_multipart_add(mixed.get(), GMIME_OBJECT(part.get()));
    }
    g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(mixed.get()));
    g_mime_object_encode(GMIME_OBJECT(message.get()), GMIME_ENCODING_CONSTRAINT_7BIT);

    std::unique_ptr<GMimeFormatOptions, FormatOptionsFree> options(g_mime_format_options_new());
    g_mime_format_options_set_newline_format(options.get(), GMIME_NEWLINE_FORMAT_DOS);
    GPtr<GMimeStream> out(g_mime_stream_mem_new());
    if (g_mime_object_write_to_stream(GMIME_OBJECT(message.get()), options.get(), out.get()) < 0) {
        throw MailError(MailError::Kind::Attachment,
                        QStringLiteral("No se ha podido componer el mensaje de correo"));
    }
    const GByteArray *bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return QByteArray(reinterpret_cast<const char *>(bytes->data), qsizetype(bytes->len));
}

} // namespace mail
