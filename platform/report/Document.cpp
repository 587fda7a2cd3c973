#include "platform/report/Document.h"

#include "db/Win1252.h"

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

// A character's windows-1252 byte: Latin-1 characters are their own byte, the rest are
// looked up.
inline quint8 byteOf(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return quint8(u);
    return quint8(toWinAnsi(QChar(u)));
}

// The width of text in units of 1/1000 of the font size.
quint32 unitsOf(const FontMetrics &m, QStringView text) {
    quint32 units = 0;
    for (QChar c : text)
        units += m.width[byteOf(c.unicode())];
    return units;
}

inline float widthOf(const FontSpec &font, quint32 units) {
    return float(units) * font.size / 1000.0f;
}

} // namespace

char toWinAnsi(QChar c) {
    const int b = db::win1252::byteOf(c.unicode());
    return b < 0 ? '?' : char(b);
}

QByteArray toWinAnsi(const QString &text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    const QChar *in = text.constData();
    char *bytes = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = char(byteOf(in[i].unicode()));
    return out;
}

void toWinAnsi(QStringView text, QByteArray &out) {
    out.resize(text.size());
    char *bytes = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = char(byteOf(text[i].unicode()));
}

const char *baseFontName(const FontSpec &f) {
    static const char *const names[3][4] = {
        {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique"},
        {"Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"},
        {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"}};
    return names[int(f.family)][(f.bold ? 1 : 0) + (f.italic ? 2 : 0)];
}

float textWidth(const FontSpec &font, QStringView text) {
    return widthOf(font, unitsOf(metricsOf(font), text));
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
        units += m.width[byteOf(text[i].unicode())];
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

namespace {

// Calls f with each part of text between separators, empty parts included (as split does).
template <typename F>
void forEachPart(QStringView text, char16_t separator, F &&f) {
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(separator, start);
        if (end < 0) {
            f(text.mid(start));
            return;
        }
        f(text.mid(start, end - start));
        start = end + 1;
    }
}

} // namespace

QStringList wrap(const FontSpec &font, const QString &text, float width) {
    const FontMetrics &m = metricsOf(font);
    auto fits = [&](quint32 units) { return widthOf(font, units) <= width + 0.01f; };
    const quint32 space = m.width[quint8(' ')];
    QStringList out;
    forEachPart(text, u'\n', [&](QStringView paragraph) {
        QString para = paragraph.toString();
        para.remove(u'\r');
        // Most paragraphs fit whole: their words joined again by single spaces are the
        // paragraph itself.
        if (!para.startsWith(u' ') && fits(unitsOf(m, para))) {
            out << para;
            return;
        }
        QString line;
        quint32 lineUnits = 0;
        forEachPart(para, u' ', [&](QStringView word) {
            const quint32 wordUnits = unitsOf(m, word);
            const quint32 candidate = line.isEmpty() ? wordUnits : lineUnits + space + wordUnits;
            if (fits(candidate)) {
                if (!line.isEmpty())
                    line += u' ';
                line += word;
                lineUnits = candidate;
                return;
            }
            if (!line.isEmpty())
                out << line;
            line = word.toString();
            lineUnits = wordUnits;
            // A word wider than the line is broken where it reaches the edge, or better
            // after the last separator before it.
            while (!fits(lineUnits)) {
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
                lineUnits = unitsOf(m, line);
            }
        });
        out << line;
    });
    return out;
}

} // namespace metrics

} // namespace report
