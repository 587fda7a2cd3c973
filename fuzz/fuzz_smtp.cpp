// libFuzzer target: the SMTP reply reader (mail::SmtpReplyReader) and the DATA block
// (mail::dataBlock).
//
// The first byte chooses the size of the pieces the rest is fed in; the rest is what a server
// would send. The reader is read dry after every piece, as the client does. A MailError of kind
// Protocol is the documented answer to a bad reply; anything else (a crash, a sanitizer report,
// another exception) is a finding. Fed whole or in pieces, the reader must give the same
// replies and fail at the same point.

#include "platform/mail/MailError.h"
#include "platform/mail/SmtpProtocol.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {

struct Outcome {
    std::vector<mail::SmtpReply> replies;
    bool failed = false;
};

// Reads every complete reply; stops at the first MailError.
void drain(mail::SmtpReplyReader &reader, Outcome &out) {
    if (out.failed)
        return;
    try {
        while (std::optional<mail::SmtpReply> reply = reader.next()) {
            (void)reply->text();
            (void)reply->positive();
            out.replies.push_back(std::move(*reply));
        }
    } catch (const mail::MailError &e) {
        if (e.kind() != mail::MailError::Kind::Protocol)
            std::abort(); // the reader only ever reports a protocol error
        out.failed = true;
    }
}

Outcome read(QByteArrayView bytes, qsizetype piece) {
    mail::SmtpReplyReader reader;
    Outcome out;
    for (qsizetype at = 0; at < bytes.size() && !out.failed; at += piece) {
        reader.feed(bytes.sliced(at, std::min(piece, bytes.size() - at)));
        drain(reader, out);
    }
    if (!out.failed)
        (void)reader.hasPending();
    // Once failed, the reader stays failed.
    if (out.failed) {
        try {
            (void)reader.next();
            std::abort();
        } catch (const mail::MailError &) {
        }
    }
    return out;
}

bool same(const Outcome &a, const Outcome &b) {
    if (a.failed != b.failed || a.replies.size() != b.replies.size())
        return false;
    for (size_t i = 0; i < a.replies.size(); ++i)
        if (a.replies[i].code != b.replies[i].code || a.replies[i].lines != b.replies[i].lines)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    const qsizetype piece = 1 + data[0] % 16;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);

    const Outcome whole = read(bytes, bytes.size() > 0 ? bytes.size() : 1);
    const Outcome pieces = read(bytes, piece);
    // Lines beyond MaxLineLength are refused earlier when they arrive unfinished; below that
    // both ways of feeding must agree.
    if (bytes.size() < mail::SmtpReplyReader::MaxLineLength && !same(whole, pieces))
        std::abort();

    // The same bytes as message content: the block ends with the closing line, and no line
    // of it is a lone "." before that.
    const QByteArray block = mail::dataBlock(bytes);
    if (bytes.isEmpty()) {
        if (block != ".\r\n")
            std::abort();
    } else {
        if (!block.endsWith("\r\n.\r\n"))
            std::abort();
        const QByteArray body = block.first(block.size() - 3);
        if (body.contains("\r\n.\r\n") || body.startsWith(".\r\n"))
            std::abort();
    }
    return 0;
}
