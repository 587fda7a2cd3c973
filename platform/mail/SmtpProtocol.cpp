#include "platform/mail/SmtpProtocol.h"

#include "platform/mail/MailError.h"

#include <QIODevice>

#include <cstring>

namespace mail {

QString SmtpReply::text() const {
    QString result = QString::number(code);
    for (const QByteArray &line : lines) {
        if (!line.isEmpty())
            result += QLatin1Char(' ') + QString::fromUtf8(line).trimmed();
    }
    return result;
}

void SmtpReplyReader::feed(QByteArrayView bytes) {
    if (m_pos > 0 && m_pos == m_buffer.size()) {
        m_buffer.clear();
        m_pos = 0;
    } else if (m_pos > 4096 && m_pos > m_buffer.size() / 2) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    m_buffer.append(bytes);
}

void SmtpReplyReader::clear() {
    m_buffer.clear();
    m_pos = 0;
    m_partial = SmtpReply();
    m_failed = false;
}

void SmtpReplyReader::fail(const QString &why) {
    m_failed = true;
    throw MailError(MailError::Kind::Protocol,
                    QStringLiteral("El servidor de correo ha enviado una respuesta que no se "
                                   "entiende (%1)")
                        .arg(why));
}

std::optional<SmtpReply> SmtpReplyReader::next() {
    if (m_failed)
        fail(QStringLiteral("respuesta anterior no válida"));
    while (true) {
        const qsizetype end = m_buffer.indexOf('\n', m_pos);
        if (end < 0) {
            if (m_buffer.size() - m_pos > MaxLineLength)
                fail(QStringLiteral("línea demasiado larga"));
            return std::nullopt;
        }
        QByteArrayView line(m_buffer.constData() + m_pos, end - m_pos);
        m_pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() > MaxLineLength)
            fail(QStringLiteral("línea demasiado larga"));

        const bool digits = line.size() >= 3 && line[0] >= '1' && line[0] <= '5' &&
                            line[1] >= '0' && line[1] <= '9' && line[2] >= '0' && line[2] <= '9';
        const char separator = line.size() > 3 ? line[3] : ' ';
        if (!digits || (separator != ' ' && separator != '-')) {
            fail(QStringLiteral("«%1»").arg(
                QString::fromUtf8(line.first(std::min<qsizetype>(line.size(), 80)))));
        }
        const int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
        if (!m_partial.lines.isEmpty() && code != m_partial.code)
            fail(QStringLiteral("códigos distintos en una misma respuesta"));
        if (m_partial.lines.size() >= MaxReplyLines)
            fail(QStringLiteral("respuesta demasiado larga"));
        m_partial.code = code;
        m_partial.lines.append(line.size() > 4 ? line.sliced(4).toByteArray() : QByteArray());
        if (separator == ' ') {
            SmtpReply reply = std::move(m_partial);
            m_partial = SmtpReply();
            return reply;
        }
    }
}

namespace {

// The bytes that line ends and stuffing add to `lines` on the wire.
qsizetype wireExtra(QByteArrayView lines) {
    const char *const begin = lines.data();
    const char *const end = begin + lines.size();
    qsizetype extra = 0;
    for (const char *p = begin; p < end;) {
        if (*p == '.')
            ++extra;
        const char *nl = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        if (!nl) {
            // The last line gets its CRLF; a CR it already ends with is part of it.
            extra += end[-1] == '\r' ? 1 : 2;
            break;
        }
        if (nl == begin || nl[-1] != '\r')
            ++extra;
        p = nl + 1;
    }
    return extra;
}

// Writes `lines` (starting at a line start) as wire bytes into `out`, which has room for the
// `extra` bytes that wireExtra() counted.
void writeWire(char *out, QByteArrayView lines) {
    const char *const end = lines.data() + lines.size();
    for (const char *p = lines.data(); p < end;) {
        const char *nl = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *lineEnd = nl ? nl : end;
        const char *textEnd = (lineEnd > p && lineEnd[-1] == '\r') ? lineEnd - 1 : lineEnd;
        if (*p == '.')
            *out++ = '.';
        std::memcpy(out, p, size_t(textEnd - p));
        out += textEnd - p;
        *out++ = '\r';
        *out++ = '\n';
        p = nl ? nl + 1 : end;
    }
}

// `lines` (starting at a line start) as wire bytes, with the closing line when `last`: the
// view itself when nothing changes, else written into `buffer`.
QByteArrayView toWire(QByteArrayView lines, bool last, QByteArray &buffer) {
    const qsizetype extra = lines.isEmpty() ? 0 : wireExtra(lines);
    if (extra == 0 && !last)
        return lines;
    buffer.resize(lines.size() + extra + (last ? 3 : 0));
    if (extra == 0) {
        if (!lines.isEmpty())
            std::memcpy(buffer.data(), lines.data(), size_t(lines.size()));
    } else {
        writeWire(buffer.data(), lines);
    }
    if (last)
        std::memcpy(buffer.data() + lines.size() + extra, ".\r\n", 3);
    return buffer;
}

} // namespace

QByteArrayView DataStream::next(qsizetype size) {
    if (m_closed)
        return {};
    const qsizetype n = m_content.size();
    qsizetype stop = std::min(m_pos + std::max<qsizetype>(size, 1), n);
    if (stop < n) {
        const char *data = m_content.data();
        const char *nl =
            static_cast<const char *>(std::memchr(data + stop - 1, '\n', size_t(n - stop + 1)));
        stop = nl ? nl - data + 1 : n;
    }
    const QByteArrayView lines = m_content.sliced(m_pos, stop - m_pos);
    m_pos = stop;
    m_closed = m_pos == n;
    return toWire(lines, m_closed, m_buffer);
}

QByteArrayView DeviceDataStream::next(qsizetype size) {
    if (m_closed)
        return {};
    m_piece = m_device.read(std::max<qsizetype>(size, 1));
    // To the end of the line the piece stops in.
    if (!m_piece.isEmpty() && !m_piece.endsWith('\n') && !m_device.atEnd())
        m_piece += m_device.readLine();
    if (m_piece.isEmpty() && !m_device.atEnd()) {
        throw MailError(MailError::Kind::Attachment,
                        QStringLiteral("No se ha podido leer el mensaje de correo compuesto: ") +
                            m_device.errorString());
    }
    m_closed = m_device.atEnd();
    return toWire(m_piece, m_closed, m_buffer);
}

QByteArray dataBlock(QByteArrayView content) {
    return DataStream(content).next(content.size()).toByteArray();
}

} // namespace mail
