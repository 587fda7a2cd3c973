// libFuzzer target: the edit-mask engine (platform::EditMask).
//
// Input: the mask (UTF-8) up to the first newline, the stored value up to the second, then
// editing steps, one byte each plus its argument bytes (see step()). The steps run on the edit
// text as a masked edit would run them. Checked beyond "no crash, no sanitizer report": every
// edit text the engine hands back has one character per mask position with the literals in
// place, and every cursor lies in [0, length()].

#include "platform/controls/EditMask.h"

#include <cstdint>
#include <cstdlib>

using platform::EditMask;

namespace {

class Input {
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // A QChar: mostly Latin-1 bytes; 0xFF announces a UTF-16 code unit in the next two bytes.
    QChar ch() {
        const uint8_t b = byte();
        if (b != 0xFF)
            return QChar(char16_t(b));
        const uint8_t hi = byte();
        return QChar(char16_t(hi << 8 | byte()));
    }
    int position(int length) { return int(byte() % (length + 3)) - 1; } // -1 .. length+1
    QString line() {
        size_t end = m_pos;
        while (end < m_size && m_data[end] != '\n')
            ++end;
        const QString s = QString::fromUtf8(reinterpret_cast<const char *>(m_data + m_pos),
                                            qsizetype(end - m_pos));
        m_pos = end < m_size ? end + 1 : end;
        return s;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// The engine's answer: the text always, the cursor when the engine set it.
void check(const EditMask &mask, const EditMask::Edit &edit, bool cursor = true) {
    if (mask.isEmpty())
        return;
    if (edit.text.size() != mask.length())
        std::abort();
    if (cursor && (edit.cursor < 0 || edit.cursor > mask.length()))
        std::abort();
    for (int pos = 0; pos < mask.length(); ++pos)
        if (mask.isLiteral(pos) && edit.text.at(pos) != mask.position(pos).literal)
            std::abort();
}

void step(const EditMask &mask, Input &in, EditMask::Edit &edit) {
    const uint8_t op = in.byte();
    const EditMask::TypingMode mode =
        op & 0x80 ? EditMask::TypingMode::Insert : EditMask::TypingMode::Overwrite;
    switch (op % 10) {
    case 0:
    case 1:
    case 2: { // the most common step: a key
        auto next = mask.typeChar(edit.text, edit.cursor, in.ch(), mode);
        if (!next)
            return; // refused: the edit stays as it was
        edit = std::move(*next);
        break;
    }
    case 3: { // a paste
        QString text;
        for (int n = in.byte() % 8; n > 0; --n)
            text.append(in.ch());
        const bool saneCursor = edit.cursor >= 0 && edit.cursor <= mask.length();
        auto next = mask.typeText(edit.text, edit.cursor, text, mode);
        if (!next)
            return;
        edit = std::move(*next);
        // An empty paste hands the caller's cursor back as it came.
        check(mask, edit, saneCursor || !text.isEmpty());
        return;
    }
    case 4:
        edit = mask.backspace(edit.text, edit.cursor);
        break;
    case 5:
        edit = mask.deleteChar(edit.text, edit.cursor);
        break;
    case 6: {
        const int from = in.position(mask.length());
        edit = mask.eraseRange(edit.text, from, in.position(mask.length()));
        break;
    }
    case 7: // the cursor moves (keys, mouse), not always to a sane place
        edit.cursor = in.position(mask.length());
        (void)mask.nextEditable(edit.cursor);
        (void)mask.previousEditable(edit.cursor);
        return; // an out-of-range cursor is the caller's; the engine must clamp it
    case 8: { // the value is stored and shown again, as on leaving the box
        if (std::optional<QString> stored = mask.storedText(edit.text))
            edit.text = mask.displayText(*stored);
        (void)mask.isBlank(edit.text);
        check(mask, edit, false);
        return;
    }
    case 9: { // the keystroke level alone
        const int pos = in.position(mask.length());
        const QChar c = in.ch();
        if (mask.acceptsChar(pos, c))
            (void)mask.transform(pos, c);
        return;
    }
    }
    check(mask, edit);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in(data, size);
    const EditMask mask(in.line());
    (void)mask.blankText();
    (void)mask.hasRequiredPositions();

    EditMask::Edit edit{mask.displayText(in.line()), 0};
    check(mask, edit);
    (void)mask.storedText(edit.text);
    for (int steps = 0; !in.atEnd() && steps < 200; ++steps)
        step(mask, in, edit);
    (void)mask.storedText(edit.text);
    (void)mask.isBlank(edit.text);
    return 0;
}
