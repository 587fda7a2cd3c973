#include "platform/controls/EditMask.h"

#include <algorithm>

namespace platform {

namespace {

bool isAsciiDigit(QChar ch) {
    return ch >= u'0' && ch <= u'9';
}

} // namespace

EditMask::EditMask(const QString &mask) : mask_(mask) {
    // The mask characters end at the first ';' that no '\' escapes.
    qsizetype end = 0;
    while (end < mask.size() && mask.at(end) != u';')
        end += mask.at(end) == u'\\' ? 2 : 1;
    end = std::min(end, mask.size());

    if (end < mask.size()) {
        const QStringView rest = QStringView(mask).mid(end + 1);
        const qsizetype separator = rest.indexOf(u';');
        const QStringView save = separator < 0 ? rest : rest.left(separator);
        saveLiterals_ = save != u"0";
        if (separator >= 0 && separator + 1 < rest.size())
            blank_ = rest.at(separator + 1);
    }
    parse(QStringView(mask).left(end));
}

void EditMask::parse(QStringView maskChars) {
    LetterCase letterCase = LetterCase::AsTyped;
    auto add = [&](Kind kind, bool required) {
        positions_.push_back(Position{kind, required, letterCase, QChar()});
    };
    auto addLiteral = [&](QChar ch) {
        positions_.push_back(Position{Kind::Literal, false, LetterCase::AsTyped, ch});
    };

    for (qsizetype i = 0; i < maskChars.size(); ++i) {
        const QChar ch = maskChars.at(i);
        switch (ch.unicode()) {
        case u'!':
            rightAligned_ = true;
            break;
        case u'>':
            letterCase = LetterCase::Upper;
            break;
        case u'<':
            if (i + 1 < maskChars.size() && maskChars.at(i + 1) == u'>') {
                letterCase = LetterCase::AsTyped;
                ++i;
            } else {
                letterCase = LetterCase::Lower;
            }
            break;
        case u'\\':
            if (i + 1 < maskChars.size())
                addLiteral(maskChars.at(++i));
            break;
        case u'0':
            add(Kind::Digit, true);
            break;
        case u'9':
            add(Kind::Digit, false);
            break;
        case u'#':
            add(Kind::DigitOrSign, false);
            break;
        case u'L':
            add(Kind::Letter, true);
            break;
        case u'l':
            add(Kind::Letter, false);
            break;
        case u'A':
            add(Kind::LetterOrDigit, true);
            break;
        case u'a':
            add(Kind::LetterOrDigit, false);
            break;
        case u'C':
            add(Kind::AnyChar, true);
            break;
        case u'c':
            add(Kind::AnyChar, false);
            break;
        default:
            addLiteral(ch);
            break;
        }
    }

    for (int pos = 0; pos < length();) {
        if (isLiteral(pos)) {
            ++pos;
            continue;
        }
        const int begin = pos;
        while (pos < length() && !isLiteral(pos))
            ++pos;
        sections_.push_back(Section{begin, pos});
    }
}

bool EditMask::isLiteral(int pos) const {
    return position(pos).kind == Kind::Literal;
}

bool EditMask::hasRequiredPositions() const noexcept {
    return std::any_of(positions_.begin(), positions_.end(),
                       [](const Position &p) { return p.required; });
}

bool EditMask::acceptsChar(int pos, QChar ch) const {
    if (pos < 0 || pos >= length())
        return false;
    const Position &p = position(pos);
    if (!ch.isPrint() || (ch == blank_ && ch != u' '))
        return false;
    switch (p.kind) {
    case Kind::Literal:
        return false;
    case Kind::Digit:
        return isAsciiDigit(ch);
    case Kind::DigitOrSign:
        return isAsciiDigit(ch) || ch == u'+' || ch == u'-';
    case Kind::Letter:
        return ch.isLetter();
    case Kind::LetterOrDigit:
        return ch.isLetter() || isAsciiDigit(ch);
    case Kind::AnyChar:
        return true;
    }
    return false;
}

QChar EditMask::transform(int pos, QChar ch) const {
    if (pos < 0 || pos >= length() || !ch.isLetter())
        return ch;
    switch (position(pos).letterCase) {
    case LetterCase::Upper:
        return ch.toUpper();
    case LetterCase::Lower:
        return ch.toLower();
    case LetterCase::AsTyped:
        break;
    }
    return ch;
}

QString EditMask::blankText() const {
    QString text;
    text.reserve(length());
    for (const Position &p : positions_)
        text.append(p.kind == Kind::Literal ? p.literal : blank_);
    return text;
}

bool EditMask::isFilled(int pos, QChar ch) const {
    // A space fills only a position that takes any character.
    return ch != blank_ && (ch != u' ' || position(pos).kind == Kind::AnyChar);
}

QString EditMask::normalized(QStringView editText) const {
    QString text = blankText();
    for (int pos = 0; pos < length() && pos < editText.size(); ++pos)
        if (!isLiteral(pos))
            text[pos] = editText.at(pos);
    return text;
}

QString EditMask::displayText(const QString &stored) const {
    if (isEmpty())
        return stored;
    QString text = blankText();
    if (stored.isEmpty())
        return text;

    auto show = [&](int pos, QChar ch) {
        text[pos] = (ch == u' ' && position(pos).kind != Kind::AnyChar) ? blank_ : ch;
    };

    const auto size = static_cast<int>(stored.size());
    if (saveLiterals_) {
        // The stored text holds every position, literals included.
        const int offset = rightAligned_ && size < length() ? length() - size : 0;
        for (int pos = 0; pos < length(); ++pos) {
            const int index = pos - offset;
            if (!isLiteral(pos) && index >= 0 && index < size)
                show(pos, stored.at(index));
        }
    } else {
        // The stored text holds the editable positions only.
        std::vector<int> editable;
        for (int pos = 0; pos < length(); ++pos)
            if (!isLiteral(pos))
                editable.push_back(pos);
        const auto count = static_cast<int>(editable.size());
        const int offset = rightAligned_ && size < count ? count - size : 0;
        for (int j = 0; j < count; ++j) {
            const int index = j - offset;
            if (index >= 0 && index < size)
                show(editable[static_cast<size_t>(j)], stored.at(index));
        }
    }
    return text;
}

bool EditMask::isBlank(QStringView editText) const {
    const QString text = normalized(editText);
    for (int pos = 0; pos < length(); ++pos)
        if (!isLiteral(pos) && isFilled(pos, text.at(pos)))
            return false;
    return true;
}

std::optional<QString> EditMask::storedText(QStringView editText) const {
    if (isEmpty())
        return editText.toString();

    const QString text = normalized(editText);
    std::vector<std::optional<QChar>> content(positions_.size());
    bool anyFilled = false;
    for (int pos = 0; pos < length(); ++pos) {
        if (!isLiteral(pos) && isFilled(pos, text.at(pos))) {
            content[static_cast<size_t>(pos)] = transform(pos, text.at(pos));
            anyFilled = true;
        }
    }

    // An emptied box stores nothing, unless right alignment pads it to width.
    if (!anyFilled && !rightAligned_) {
        if (hasRequiredPositions())
            return std::nullopt;
        return QString();
    }

    if (rightAligned_) {
        for (const Section &s : sections_) {
            int trailing = 0;
            while (trailing < s.end - s.begin &&
                   !content[static_cast<size_t>(s.end - 1 - trailing)])
                ++trailing;
            for (int pos = s.end - 1; pos >= s.begin; --pos)
                content[static_cast<size_t>(pos)] =
                    pos - trailing >= s.begin ? content[static_cast<size_t>(pos - trailing)]
                                              : std::nullopt;
        }
    }

    QString stored;
    stored.reserve(length());
    for (int pos = 0; pos < length(); ++pos) {
        const Position &p = position(pos);
        if (p.kind == Kind::Literal) {
            if (saveLiterals_)
                stored.append(p.literal);
            continue;
        }
        const std::optional<QChar> &slot = content[static_cast<size_t>(pos)];
        if (!slot) {
            if (p.required)
                return std::nullopt;
            stored.append(u' ');
        } else if (!acceptsChar(pos, *slot)) {
            return std::nullopt;
        } else {
            stored.append(*slot);
        }
    }

    if (!rightAligned_) {
        qsizetype end = stored.size();
        while (end > 0 && stored.at(end - 1) == u' ')
            --end;
        stored.truncate(end);
    }
    return stored;
}

int EditMask::nextEditable(int from) const {
    for (int pos = std::max(from, 0); pos < length(); ++pos)
        if (!isLiteral(pos))
            return pos;
    return length();
}

int EditMask::previousEditable(int from) const {
    for (int pos = std::min(from, length()) - 1; pos >= 0; --pos)
        if (!isLiteral(pos))
            return pos;
    return -1;
}

const EditMask::Section *EditMask::sectionOf(int pos) const {
    for (const Section &s : sections_)
        if (pos >= s.begin && pos < s.end)
            return &s;
    return nullptr;
}

std::optional<EditMask::Edit> EditMask::typeChar(QStringView editText, int cursor, QChar ch,
                                                 TypingMode mode) const {
    QString text = normalized(editText);
    int pos = std::clamp(cursor, 0, length());

    // On a literal: typing that literal steps over it; anything else goes on.
    while (pos < length() && isLiteral(pos)) {
        if (ch == position(pos).literal)
            return Edit{text, nextEditable(pos + 1)};
        ++pos;
    }
    if (pos >= length())
        return std::nullopt;

    const Section *section = sectionOf(pos);
    if (!acceptsChar(pos, ch)) {
        // The cursor already stepped over this literal after the last key.
        if (pos > 0 && isLiteral(pos - 1) && position(pos - 1).literal == ch)
            return Edit{text, pos};
        // Typing the literal that closes this section leaves the rest unfilled.
        if (section->end < length() && position(section->end).literal == ch)
            return Edit{text, nextEditable(section->end + 1)};
        return std::nullopt;
    }

    if (mode == TypingMode::Insert) {
        const int last = section->end - 1;
        if (isFilled(last, text.at(last)))
            return std::nullopt; // no room left in this section
        QString shifted = text;
        bool fits = true;
        for (int p = last; p > pos && fits; --p) {
            shifted[p] = text.at(p - 1);
            fits = !isFilled(p, shifted.at(p)) || acceptsChar(p, shifted.at(p));
        }
        if (fits)
            text = shifted;
    }

    text[pos] = transform(pos, ch);
    return Edit{text, nextEditable(pos + 1)};
}

std::optional<EditMask::Edit> EditMask::typeText(QStringView editText, int cursor,
                                                 QStringView input, TypingMode mode) const {
    Edit edit{normalized(editText), cursor};
    for (QChar ch : input) {
        std::optional<Edit> next = typeChar(edit.text, edit.cursor, ch, mode);
        if (!next)
            return std::nullopt;
        edit = std::move(*next);
    }
    return edit;
}

void EditMask::removeInSection(QString &text, const Section &section, int from, int to) const {
    const int removed = to - from;
    if (removed <= 0)
        return;
    QString candidate = text;
    for (int pos = from; pos < section.end; ++pos)
        candidate[pos] = pos + removed < section.end ? text.at(pos + removed) : blank_;

    for (int pos = from; pos < section.end; ++pos) {
        if (isFilled(pos, candidate.at(pos)) && !acceptsChar(pos, candidate.at(pos))) {
            // Mixed kinds in the section: blank the positions instead of moving.
            for (int p = from; p < to; ++p)
                text[p] = blank_;
            return;
        }
    }
    text = candidate;
}

EditMask::Edit EditMask::backspace(QStringView editText, int cursor) const {
    QString text = normalized(editText);
    const int pos = previousEditable(std::clamp(cursor, 0, length()));
    if (pos < 0)
        return Edit{text, std::clamp(cursor, 0, length())};
    removeInSection(text, *sectionOf(pos), pos, pos + 1);
    return Edit{text, pos};
}

EditMask::Edit EditMask::deleteChar(QStringView editText, int cursor) const {
    QString text = normalized(editText);
    cursor = std::clamp(cursor, 0, length());
    const int pos = nextEditable(cursor);
    if (pos < length())
        removeInSection(text, *sectionOf(pos), pos, pos + 1);
    return Edit{text, cursor};
}

EditMask::Edit EditMask::eraseRange(QStringView editText, int from, int to) const {
    QString text = normalized(editText);
    from = std::clamp(from, 0, length());
    to = std::clamp(to, from, length());
    for (const Section &s : sections_)
        removeInSection(text, s, std::max(from, s.begin), std::min(to, s.end));
    return Edit{text, from};
}

} // namespace platform
