#include "platform/report/PagePainter.h"

#include <QFont>
#include <QPaintDevice>
#include <QPainter>

namespace report {

namespace {

QFont qtFont(const FontSpec &f, const QPaintDevice &device) {
    static const char *const families[] = {"Liberation Sans", "Liberation Serif",
                                           "Liberation Mono"};
    QFont font(QString::fromLatin1(families[int(f.family)]));
    // The painter is scaled to points: one unit of font size is one point on the page.
    font.setPointSizeF(f.size * 72.0 / device.logicalDpiY());
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

void paintPage(QPainter &painter, const Document &doc, int pageIndex, double scale) {
    const Page &page = doc.pages[size_t(pageIndex)];
    painter.save();
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRectF clip = painter.clipBoundingRect();
    for (const Primitive &p : page.items) {
        switch (p.kind) {
        case Primitive::Kind::Rect: {
            const QRectF r(p.x, p.y, p.w, p.h);
            if (p.fill >> 24)
                painter.fillRect(r, QColor::fromRgba(p.fill));
            if (p.thickness > 0) {
                painter.setPen(QPen(Qt::black, p.thickness));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(r);
            }
            break;
        }
        case Primitive::Kind::Line:
            painter.setPen(QPen(Qt::black, p.thickness));
            painter.drawLine(QPointF(p.x, p.y), QPointF(p.x + p.w, p.y + p.h));
            break;
        case Primitive::Kind::Image:
            painter.drawImage(QRectF(p.x, p.y, p.w, p.h), doc.images[size_t(p.image)]);
            break;
        case Primitive::Kind::Text:
            break;
        }
    }
    painter.setPen(Qt::black);
    int current = -1;
    for (const Primitive &p : page.items) {
        if (p.kind != Primitive::Kind::Text)
            continue;
        if (!clip.isEmpty() && !clip.intersects(QRectF(p.x, p.y, p.w, p.h)))
            continue;
        const FontSpec &f = doc.fonts[p.font];
        if (p.font != current) {
            painter.setFont(qtFont(f, *painter.device()));
            current = p.font;
        }
        const float lh = metrics::lineHeight(f);
        float baseline = p.y + metrics::ascent(f);
        for (const QString &line : doc.textOf(p, pageIndex + 1).split(u'\n')) {
            float x = p.x;
            if (p.align != HAlign::Left) {
                const float free = p.w - metrics::textWidth(f, line);
                x += p.align == HAlign::Right ? free : free / 2;
            }
            painter.drawText(QPointF(x, baseline), line);
            baseline += lh;
        }
    }
    painter.restore();
}

} // namespace report
