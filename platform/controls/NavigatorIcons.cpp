#include "platform/controls/NavigatorIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace platform {
namespace {

constexpr int kSize = 16;

void triangle(QPainter &p, bool right, qreal x) {
    QPainterPath path;
    if (right) {
        path.moveTo(x, 3);
        path.lineTo(x + 6, 8);
        path.lineTo(x, 13);
    } else {
        path.moveTo(x + 6, 3);
        path.lineTo(x, 8);
        path.lineTo(x + 6, 13);
    }
    path.closeSubpath();
    p.fillPath(path, p.pen().color());
}

} // namespace

QIcon navigatorIcon(int button) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(Qt::black);
    const QColor red(0xC0, 0x20, 0x20), green(0x20, 0x80, 0x20);
    p.setPen(QPen(ink, 2));
    switch (button) {
    case 0: // first: a bar and a triangle pointing to it
        p.fillRect(QRectF(3, 3, 2, 10), ink);
        triangle(p, false, 6);
        break;
    case 1:
        triangle(p, false, 5);
        break;
    case 2:
        triangle(p, true, 5);
        break;
    case 3:
        triangle(p, true, 4);
        p.fillRect(QRectF(11, 3, 2, 10), ink);
        break;
    case 4: // insert: plus
        p.drawLine(QPointF(8, 3), QPointF(8, 13));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        break;
    case 5: // delete: minus
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
        break;
    case 6: { // edit: a triangle pointing up
        QPainterPath path;
        path.moveTo(3, 12);
        path.lineTo(8, 4);
        path.lineTo(13, 12);
        path.closeSubpath();
        p.fillPath(path, ink);
        break;
    }
    case 7: // post: a tick
        p.setPen(QPen(green, 2.5));
        p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(7, 12), QPointF(13, 4)}));
        break;
    case 8: // cancel: a cross
        p.setPen(QPen(red, 2.5));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case 9: { // refresh: a circular arrow
        p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 270 * 16);
        QPainterPath head;
        head.moveTo(10, 1);
        head.lineTo(14, 4);
        head.lineTo(9, 6);
        head.closeSubpath();
        p.fillPath(head, ink);
        break;
    }
    default:
        break;
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace platform
