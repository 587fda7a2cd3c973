#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

namespace mail {

// One complete server reply: the three-digit code and the text of each of its lines
// ("250-first", "250 last" give code 250 and the lines "first", "last").
struct SmtpReply {
    int code = 0;
    QList<QByteArray> lines;

    // The reply as shown in messages: the code and the lines, separated by blanks.
    QString text() const;
    bool positive() const { return code >= 200 && code < 400; }
};

// Cuts the bytes received from a server into complete replies. Knows nothing of sockets, so it
// can be fed any bytes in any pieces. A line that is not "NNN", "NNN text" or "NNN-text" (CRLF or
// a bare LF at its end), or a reply or line beyond a sane size, is a MailError of kind Protocol;
// after that the reader stays failed.
class SmtpReplyReader {
public:
    static constexpr qsizetype MaxLineLength = 64 * 1024;
    static constexpr qsizetype MaxReplyLines = 1000;

    void feed(QByteArrayView bytes);
    // The next complete reply, or nothing while it is incomplete.
    std::optional<SmtpReply> next();
    // Bytes received that do not yet make a complete reply.
    bool hasPending() const { return m_pos < m_buffer.size() || !m_partial.lines.isEmpty(); }
    void clear();

private:
    [[noreturn]] void fail(const QString &why);

    QByteArray m_buffer;
    qsizetype m_pos = 0;
    SmtpReply m_partial;
    bool m_failed = false;
};

// The content of a DATA command as it goes on the wire, handed out in pieces so that a large
// message is never copied whole: every line ended by CRLF (a bare LF becomes CRLF), a line that
// begins with "." gets a second one, and the closing line "." comes last. Each piece but the last
// ends at a line end. `content` must outlive the stream.
class DataStream {
public:
    explicit DataStream(QByteArrayView content) : m_content(content) {}
    bool atEnd() const { return m_closed; }
    // About `size` bytes of content (more to reach a line end), as wire bytes. The view points
    // into the content where it needs no change, else into the stream's own buffer; it holds
    // until the next call.
    QByteArrayView next(qsizetype size);

private:
    QByteArrayView m_content;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_closed = false;
};

// The same for content read from a device (a message written to a file) a piece at a time, so
// that only a piece is ever in memory. Reads from where the device stands to its end; a read
// that fails throws MailError (kind Attachment).
class DeviceDataStream {
public:
    explicit DeviceDataStream(QIODevice &device) : m_device(device) {}
    bool atEnd() const { return m_closed; }
    // About `size` bytes of content (more to reach a line end), as wire bytes; the view holds
    // until the next call.
    QByteArrayView next(qsizetype size);

private:
    QIODevice &m_device;
    QByteArray m_piece, m_buffer;
    bool m_closed = false;
};

// The whole content of a DATA command as it goes on the wire (DataStream in one piece).
QByteArray dataBlock(QByteArrayView content);

} // namespace mail
