#include "db/Win1252.h"

#include "db/Errors.h"

#include <array>

namespace db::win1252 {
namespace {

// 0x80..0x9F differ from Latin-1; 0 marks the five unassigned bytes.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

int byteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c && c != 0)
            return 0x80 + i;
    return -1;
}

QString decode(const char *data, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        char16_t c = b;
        if (b >= 0x80 && b < 0xA0)
            c = kHigh[b - 0x80] ? kHigh[b - 0x80] : char16_t(0xFFFD);
        dst[i] = QChar(c);
    }
    return out;
}

QByteArray encode(const QString &text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteOf(text.at(i).unicode());
        if (b < 0) {
            // Named whole: a character beyond the basic plane is two UTF-16 units.
            QString shown = text.at(i);
            char32_t code = text.at(i).unicode();
            if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
                text.at(i + 1).isLowSurrogate()) {
                shown += text.at(i + 1);
                code = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            }
            throw DatabaseError(
                QStringLiteral("El texto contiene el carácter «%1» (U+%2), que no se puede guardar "
                               "en la base de datos. Sustitúyalo por otro.")
                    .arg(shown)
                    .arg(QString::number(uint(code), 16).toUpper().rightJustified(4, u'0')));
        }
        dst[i] = static_cast<char>(b);
    }
    return out;
}

bool canEncode(const QString &text) {
    for (QChar c : text)
        if (byteOf(c.unicode()) < 0)
            return false;
    return true;
}

} // namespace db::win1252
