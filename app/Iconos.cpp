#include "app/Iconos.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace iconos {
namespace {

using Dibujo = void (*)(QPainter &);

// Draws on a 16 by 16 grid, at 16 and 32 pixels.
QIcon dibujado(Dibujo dibujo) {
    QIcon icono;
    for (int lado : {16, 32}) {
        QPixmap pixmap(lado, lado);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(lado / 16.0, lado / 16.0);
        dibujo(p);
        p.end();
        icono.addPixmap(pixmap);
    }
    return icono;
}

QIcon delTema(const char *nombre, Dibujo dibujo) {
    return QIcon::fromTheme(QLatin1String(nombre), dibujado(dibujo));
}

const QColor kTinta(40, 40, 40);

void hoja(QPainter &p, const QRectF &r) {
    p.setPen(QPen(kTinta, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(110, 110, 110), 0.7));
    for (qreal y = r.top() + 2.5; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 1.5, y), QPointF(r.right() - 1.5, y));
}

void dibujarCopiar(QPainter &p) {
    hoja(p, QRectF(1.5, 1.5, 8, 10));
    hoja(p, QRectF(6.5, 4.5, 8, 10));
}

void dibujarBuscar(QPainter &p) {
    // The list.
    hoja(p, QRectF(1.5, 6.5, 10, 8.5));
    // The binoculars.
    p.setPen(QPen(kTinta, 0.8));
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(6.5, 2.5, 3, 3));
    p.setBrush(QColor(30, 90, 170));
    p.drawEllipse(QRectF(3.5, 3.5, 5, 5));
    p.drawEllipse(QRectF(8.5, 3.5, 5, 5));
    p.setBrush(QColor(170, 210, 250));
    p.drawEllipse(QRectF(4.8, 4.8, 2.4, 2.4));
    p.drawEllipse(QRectF(9.8, 4.8, 2.4, 2.4));
}

void dibujarImprimir(QPainter &p) {
    hoja(p, QRectF(4.5, 1.5, 7, 6));
    p.setPen(QPen(kTinta, 0.8));
    p.setBrush(QColor(150, 150, 150));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 170, 40));
    p.drawEllipse(QRectF(11.8, 7.8, 1.6, 1.6));
}

void dibujarCorreo(QPainter &p) {
    p.setPen(QPen(kTinta, 0.8));
    p.setBrush(QColor(250, 245, 220));
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.drawLine(QPointF(1.5, 3.5), QPointF(8, 9));
    p.drawLine(QPointF(14.5, 3.5), QPointF(8, 9));
    p.drawLine(QPointF(1.5, 12.5), QPointF(6, 8));
    p.drawLine(QPointF(14.5, 12.5), QPointF(10, 8));
}

void dibujarAcercaDe(QPainter &p) {
    p.setPen(QPen(QColor(20, 60, 140), 0.8));
    p.setBrush(QColor(40, 100, 200));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
}

void dibujarCerrar(QPainter &p) {
    // The door frame and the open door.
    p.setPen(QPen(kTinta, 0.8));
    p.setBrush(QColor(90, 60, 30));
    p.drawRect(QRectF(1.5, 1.5, 8, 13));
    p.setBrush(QColor(200, 150, 80));
    QPolygonF puerta;
    puerta << QPointF(1.5, 1.5) << QPointF(6.5, 3) << QPointF(6.5, 15.5) << QPointF(1.5, 14.5);
    p.drawPolygon(puerta);
    // The arrow going out.
    p.setPen(QPen(QColor(20, 130, 20), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(8.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(12, 5.5), QPointF(14.5, 8));
    p.drawLine(QPointF(12, 10.5), QPointF(14.5, 8));
}

void dibujarAdjuntar(QPainter &p) {
    p.setPen(QPen(kTinta, 0.8));
    p.setBrush(QColor(170, 120, 60));
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 13), 1, 1);
    hoja(p, QRectF(4.5, 4.5, 7, 9));
    p.setPen(QPen(kTinta, 0.8));
    p.setBrush(QColor(190, 190, 190));
    p.drawRoundedRect(QRectF(5.5, 1, 5, 3), 1, 1);
}

void dibujarBorrar(QPainter &p) {
    p.setPen(QPen(kTinta, 0.8));
    QPolygonF rosa;
    rosa << QPointF(7, 3) << QPointF(14.5, 3) << QPointF(10.5, 9) << QPointF(3, 9);
    p.setBrush(QColor(240, 140, 160));
    p.drawPolygon(rosa);
    QPolygonF azul;
    azul << QPointF(3, 9) << QPointF(10.5, 9) << QPointF(8, 13) << QPointF(0.5, 13);
    p.setBrush(QColor(80, 120, 200));
    p.drawPolygon(azul);
    p.drawLine(QPointF(1, 15), QPointF(15, 15));
}

void dibujarEditar(QPainter &p) {
    hoja(p, QRectF(1.5, 3.5, 10, 11));
    p.setPen(QPen(kTinta, 0.8));
    QPolygonF lapiz;
    lapiz << QPointF(13, 1.5) << QPointF(15, 3.5) << QPointF(8, 10.5) << QPointF(5.5, 11)
          << QPointF(6, 8.5);
    p.setBrush(QColor(240, 190, 40));
    p.drawPolygon(lapiz);
}

} // namespace

QIcon copiar() {
    return delTema("edit-copy", dibujarCopiar);
}
QIcon buscar() {
    return delTema("system-search", dibujarBuscar);
}
QIcon imprimir() {
    return delTema("document-print", dibujarImprimir);
}
QIcon correo() {
    return delTema("mail-send", dibujarCorreo);
}
QIcon acercaDe() {
    return delTema("help-about", dibujarAcercaDe);
}
QIcon cerrar() {
    return delTema("window-close", dibujarCerrar);
}
QIcon adjuntar() {
    return delTema("edit-paste", dibujarAdjuntar);
}
QIcon borrar() {
    return delTema("edit-clear", dibujarBorrar);
}
QIcon editar() {
    return delTema("document-properties", dibujarEditar);
}

} // namespace iconos
