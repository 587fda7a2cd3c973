#pragma once

#include <QLabel>
#include <QList>
#include <QPixmap>
#include <QTimer>

// The mail window's animated picture: an envelope that flies from a tray to a mailbox,
// 21 frames of 90 by 70 pixels drawn when the picture is made, played in a loop while the
// picture is on screen.
class Animacion : public QLabel {
    Q_OBJECT
public:
    static constexpr int Ancho = 90;
    static constexpr int Alto = 70;
    static constexpr int Fotogramas = 21;

    explicit Animacion(QWidget *parent = nullptr);

    int fotogramaActual() const { return m_actual; }
    const QList<QPixmap> &fotogramas() const { return m_fotogramas; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void avanzar();

    QList<QPixmap> m_fotogramas;
    QTimer m_reloj;
    int m_actual = 0;
};

// One frame of the animation, 0 to Animacion::Fotogramas - 1.
QPixmap fotogramaDeSobre(int n);
