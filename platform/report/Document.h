#pragma once

#include "platform/report/Model.h"

#include <QImage>
#include <QString>

#include <vector>

// A laid-out report: pages of primitives in points from the page's top-left corner. The
// preview, the printer and the PDF writer draw these and nothing else.
namespace report {

struct Primitive {
    enum class Kind : quint8 { Text, Line, Rect, Image };
    Kind kind = Kind::Text;
    HAlign align = HAlign::Left;
    bool pageVariables = false; // text holds %p (page) and %n (page count), resolved on drawing
    quint16 font = 0;           // index into Document::fonts
    float x = 0, y = 0, w = 0, h = 0; // a line runs from (x, y) to (x+w, y+h)
    float thickness = 0;              // line, rectangle outline; 0 = no outline
    quint32 fill = 0;                 // rectangle fill 0xAARRGGBB, alpha 0 = none
    int image = -1;                   // index into Document::images
    QString text;                     // already broken into lines ('\n'); the first line at y
};

struct Page {
    std::vector<Primitive> items;
};

class Document {
public:
    float pageWidth = 595.276f, pageHeight = 841.89f;
    bool landscape = false;
    QString title;
    std::vector<FontSpec> fonts;
    std::vector<QImage> images;
    // The pages held: all of them, or with a page sink (Layouter::onPageDone) only the one
    // being laid out, after the `handedOver` pages already written.
    std::vector<Page> pages;
    int handedOver = 0;
    bool complete = true; // false while a preview is still laying out further pages

    int pageCount() const { return handedOver + int(pages.size()); }
    int fontIndex(const FontSpec &font);
    // The text of a primitive on a page (1-based): page variables replaced.
    QString textOf(const Primitive &p, int pageNumber) const;
    // Every text of a page, in order, for tests.
    QStringList texts(int pageIndex) const;
};

// Widths of the standard Type 1 fonts (their AFM metrics, from libharu), so that the
// layout breaks lines exactly where the PDF's text ends; the preview's Liberation fonts
// share these metrics.
namespace metrics {
float textWidth(const FontSpec &font, QStringView text);
float lineHeight(const FontSpec &font);
float ascent(const FontSpec &font); // baseline below the line's top
// Each line of text, broken at spaces within width; a word wider than the line is broken
// after its last '.', '@', '-', '_' or '/' that fits (addresses, references), else at the edge.
QStringList wrap(const FontSpec &font, const QString &text, float width);
// The longest start of text that fits in width.
QString fit(const FontSpec &font, const QString &text, float width);
// The longest start of text that fits in width with "…" after it (the whole text if it fits).
QString elide(const FontSpec &font, const QString &text, float width);
// The largest size, in quarter points and not below floor, at which text fits in width on
// one line; the font's own size when it already fits.
float shrunkSize(const FontSpec &font, const QString &text, float width, float floor);
// The standard font's PostScript name: "Helvetica-BoldOblique", "Times-Italic"...
const char *baseFontName(const FontSpec &font);
// A character's byte in windows-1252, '?' when it has none.
char toWinAnsi(QChar c);
QByteArray toWinAnsi(const QString &text);
// The same into `out`, which keeps its capacity from one text to the next.
void toWinAnsi(QStringView text, QByteArray &out);
} // namespace metrics

} // namespace report
