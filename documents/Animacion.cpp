#include "documents/Animacion.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int kMilisegundosPorFotograma = 70;

void dibujarBandeja(QPainter &p) {
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
    p.setBrush(QColor(0xE8, 0xE8, 0xE8));
    p.drawRect(QRectF(3.5, 52.5, 20, 8));
    p.drawLine(QPointF(3.5, 52.5), QPointF(6.5, 48.5));
    p.drawLine(QPointF(23.5, 52.5), QPointF(20.5, 48.5));
}

// `bandera`: 0 the flag down, 1 up (the letter is in).
void dibujarBuzon(QPainter &p, double bandera) {
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.setBrush(QColor(0x1F, 0x5F, 0xA8));
    QPainterPath cuerpo;
    cuerpo.moveTo(66.5, 60.5);
    cuerpo.lineTo(66.5, 44.5);
    cuerpo.arcTo(QRectF(66.5, 36.5, 20, 16), 180, -180);
    cuerpo.lineTo(86.5, 60.5);
    cuerpo.closeSubpath();
    p.drawPath(cuerpo);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(70.5, 45.5, 12, 2));
    p.setPen(QPen(QColor(0xC0, 0x20, 0x20), 2));
    const double angulo = (160 + 110 * bandera) * M_PI / 180; // down-left, then up
    p.drawLine(QPointF(88, 46), QPointF(88 + 12 * std::cos(angulo), 46 + 12 * std::sin(angulo)));
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 2));
    p.drawLine(QPointF(76.5, 61), QPointF(76.5, 68));
}

void dibujarSobre(QPainter &p, QPointF centro, double escala, double giro) {
    p.save();
    p.translate(centro);
    p.rotate(giro);
    p.scale(escala, escala);
    const QRectF sobre(-12, -8, 24, 16);
    p.setPen(QPen(QColor(0x60, 0x50, 0x30), 1));
    p.setBrush(QColor(0xFA, 0xF0, 0xD2));
    p.drawRect(sobre);
    QPainterPath solapa;
    solapa.moveTo(sobre.topLeft());
    solapa.lineTo(0, 1);
    solapa.lineTo(sobre.topRight());
    p.setBrush(Qt::NoBrush);
    p.drawPath(solapa);
    p.setBrush(QColor(0xC0, 0x20, 0x20));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, 1), 1.6, 1.6);
    p.restore();
}

} // namespace

QPixmap fotogramaDeSobre(int n) {
    QPixmap imagen(Animacion::Ancho, Animacion::Alto);
    imagen.fill(Qt::white);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    const int ultimo = Animacion::Fotogramas - 1;
    // Frames 0..16 carry the letter along an arc; in 17..20 the mailbox raises its flag.
    const int vuelo = ultimo - 4;
    dibujarBandeja(p);
    dibujarBuzon(p, n > vuelo ? double(n - vuelo) / (ultimo - vuelo) : 0.0);
    if (n <= vuelo) {
        const double t = double(n) / vuelo;
        const QPointF centro(14 + t * (76 - 14), 48 - std::sin(t * M_PI) * 34 - t * 2);
        dibujarSobre(p, centro, 1.0 - 0.45 * t, -20 + 40 * t);
        // A dotted trail behind it.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1F, 0x5F, 0xA8));
        for (int k = 1; k <= 3 && n - 2 * k >= 0; ++k) {
            const double s = double(n - 2 * k) / vuelo;
            p.drawEllipse(QPointF(14 + s * (76 - 14), 48 - std::sin(s * M_PI) * 34 - s * 2), 1.2,
                          1.2);
        }
    }
    return imagen;
}

Animacion::Animacion(QWidget *parent) : QLabel(parent) {
    setFixedSize(Ancho, Alto);
    for (int n = 0; n < Fotogramas; ++n)
        m_fotogramas.append(fotogramaDeSobre(n));
    setPixmap(m_fotogramas.front());
    m_reloj.setInterval(kMilisegundosPorFotograma);
    connect(&m_reloj, &QTimer::timeout, this, &Animacion::avanzar);
}

void Animacion::showEvent(QShowEvent *event) {
    QLabel::showEvent(event);
    m_reloj.start();
}

void Animacion::hideEvent(QHideEvent *event) {
    m_reloj.stop();
    QLabel::hideEvent(event);
}

void Animacion::avanzar() {
    m_actual = (m_actual + 1) % Fotogramas;
    setPixmap(m_fotogramas[m_actual]);
}
