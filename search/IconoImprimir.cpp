#include "search/IconoImprimir.h"

#include <QPainter>
#include <QPixmap>

QIcon iconoImprimir() {
    const QIcon tema = QIcon::fromTheme(QStringLiteral("document-print"));
    if (!tema.isNull())
        return tema;
    QPixmap dibujo(16, 16);
    dibujo.fill(Qt::transparent);
    QPainter p(&dibujo);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5); // paper going in
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(1, 6, 13, 6); // body
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 7, 5); // paper coming out
    p.setPen(QColor(0, 128, 0));
    p.drawPoint(12, 8); // power light
    return QIcon(dibujo);
}
