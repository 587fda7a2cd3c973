#include "editors/Logo.h"

#include <QPainter>
#include <QPainterPath>

QPixmap logoTrelmavondis(int lado) {
    QPixmap logo(lado, lado);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lado / 100.0, lado / 100.0);

    const QColor verde(0x48, 0x7E, 0x16);
    p.setPen(QPen(verde, 8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(6, 6, 88, 88));

    QPainterPath rayo;
    rayo.moveTo(58, 14);
    rayo.lineTo(30, 56);
    rayo.lineTo(48, 56);
    rayo.lineTo(40, 88);
    rayo.lineTo(72, 42);
    rayo.lineTo(53, 42);
    rayo.closeSubpath();
    p.setPen(QPen(QColor(0xB0, 0x70, 0x00), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xFF, 0xC4, 0x00));
    p.drawPath(rayo);
    return logo;
}
