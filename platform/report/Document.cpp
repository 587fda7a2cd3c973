#include "platform/report/Document.h"

#include <hpdf.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace report {

int Document::fontIndex(const FontSpec &font) {
    for (size_t i = 0; i < fonts.size(); ++i)
        if (fonts[i] == font)
            return int(i);
    fonts.push_back(font);
    return int(fonts.size()) - 1;
}

QString Document::textOf(const Primitive &p, int pageNumber) const {
    if (!p.pageVariables)
        return p.text;
    QString t = p.text;
    t.replace(QLatin1String("%p"), QString::number(pageNumber));
    t.replace(QLatin1String("%n"), complete ? QString::number(pageCount()) : QStringLiteral("…"));
    return t;
}

QStringList Document::texts(int pageIndex) const {
    QStringList out;
    for (const Primitive &p : pages[size_t(pageIndex)].items)
        if (p.kind == Primitive::Kind::Text)
            out << textOf(p, pageIndex + 1);
    return out;
}

namespace metrics {

namespace {

// windows-1252 bytes 0x80-0x9F; 0 where the code page has no character.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

struct FontMetrics {
    std::array<quint16, 256> width{}; // per 1000 units of the font size
    float ascent = 0, descent = 0;
};

void ignoreErrors(HPDF_STATUS, HPDF_STATUS, void *) {}

// The twelve standard fonts' metrics, read once from libharu's built-in AFM data.
const FontMetrics &metricsOf(const FontSpec &font) {
    static std::array<FontMetrics, 12> all = [] {
        std::array<FontMetrics, 12> m{};
        HPDF_Doc doc = HPDF_New(ignoreErrors, nullptr);
        for (int i = 0; i < 12; ++i) {
            FontSpec f;
            f.family = FontFamily(i / 4);
            f.bold = i & 1;
            f.italic = i & 2;
            HPDF_Font h = HPDF_GetFont(doc, baseFontName(f), "WinAnsiEncoding");
            if (!h)
                continue;
            for (int c = 32; c < 256; ++c) {
                const HPDF_BYTE b = HPDF_BYTE(c);
                m[size_t(i)].width[size_t(c)] = quint16(HPDF_Font_TextWidth(h, &b, 1).width);
            }
            m[size_t(i)].ascent = float(HPDF_Font_GetAscent(h));
            m[size_t(i)].descent = float(HPDF_Font_GetDescent(h));
        }
        HPDF_Free(doc);
        return m;
    }();
    return all[size_t(int(font.family) * 4 + (font.bold ? 1 : 0) + (font.italic ? 2 : 0))];
}

} // namespace

char toWinAnsi(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == u && u != 0)
            return char(0x80 + i);
    return '?';
}

QByteArray toWinAnsi(const QString &text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = toWinAnsi(text[i]);
    return out;
}

const char *baseFontName(const FontSpec &f) {
    static const char *const names[3][4] = {
        {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique"},
        {"Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"},
        {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"}};
    return names[int(f.family)][(f.bold ? 1 : 0) + (f.italic ? 2 : 0)];
}

float textWidth(const FontSpec &font, const QString &text) {
    const FontMetrics &m = metricsOf(font);
    quint32 units = 0;
    for (QChar c : text)
        units += m.width[quint8(toWinAnsi(c))];
    return float(units) * font.size / 1000.0f;
}

float lineHeight(const FontSpec &font) {
    return font.size * 1.15f;
}

float ascent(const FontSpec &font) {
    const FontMetrics &m = metricsOf(font);
    const float glyphs = (m.ascent - m.descent) * font.size / 1000.0f;
    return (lineHeight(font) - glyphs) / 2 + m.ascent * font.size / 1000.0f;
}

QString fit(const FontSpec &font, const QString &text, float width) {
    const FontMetrics &m = metricsOf(font);
    const float limit = width * 1000.0f / font.size + 0.01f;
    float units = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        units += m.width[quint8(toWinAnsi(text[i]))];
        if (units > limit)
            return text.left(i);
    }
    return text;
}

QString elide(const FontSpec &font, const QString &text, float width) {
    if (textWidth(font, text) <= width + 0.01f)
        return text;
    const QString ellipsis = QStringLiteral("…");
    QString head = fit(font, text, width - textWidth(font, ellipsis));
    while (head.endsWith(u' '))
        head.chop(1);
    return head + ellipsis;
}

float shrunkSize(const FontSpec &font, const QString &text, float width, float floor) {
    const float full = textWidth(font, text);
    if (full <= width + 0.01f)
        return font.size;
    floor = std::min(floor, font.size);
    // Widths grow in proportion to the size; the loop only guards against rounding.
    FontSpec f = font;
    f.size = std::max(floor, std::floor(font.size * width / full * 4) / 4);
    while (f.size > floor && textWidth(f, text) > width + 0.01f)
        f.size = std::max(floor, f.size - 0.25f);
    return f.size;
}

QStringList wrap(const FontSpec &font, const QString &text, float width) {
    QStringList out;
    for (const QString &paragraph : text.split(u'\n')) {
        QString para = paragraph;
        para.remove(u'\r');
        QString line;
        for (const QString &word : para.split(u' ')) {
            const QString candidate = line.isEmpty() ? word : line + u' ' + word;
            if (textWidth(font, candidate) <= width + 0.01f) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                out << line;
            line = word;
            // A word wider than the line is broken where it reaches the edge, or better
            // after the last separator before it.
            while (textWidth(font, line) > width + 0.01f) {
                QString head = fit(font, line, width);
                if (head.isEmpty())
                    head = line.left(1);
                for (qsizetype k = head.size() - 1; k > 0; --k)
                    if (QStringView(u".@-_/").contains(head[k])) {
                        head.truncate(k + 1);
                        break;
                    }
                out << head;
                line = line.mid(head.size());
            }
        }
        out << line;
    }
    return out;
}

} // namespace metrics

} // namespace report
