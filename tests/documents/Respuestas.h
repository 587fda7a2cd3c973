#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

// Answers, in order, the modal windows of a bulletin run, and writes down what each one said.
// The mail window is modal but answers itself: it is written down once and left alone, also
// when it becomes the topmost modal window again after a message box of its own. Any other
// modal window with no answer queued is written down as unexpected and closed, so that a test
// fails instead of hanging.
//
// Entries in `vistos`:
//   "QMessageBox|<title>|<text>" (+ "|error" with the critical icon)
//   "TFconfirmacion|<title>|<first line>|<second line>"
//   "TFerror|<title>|<heading>|<detail label>|<message>"
//   "TFemailenviar|<title>"
//   "<class>|<title>" for the rest (the engine's setup dialog...)
class Respuestas : public QObject {
public:
    using Respuesta = std::function<void(QWidget *modal)>;
    Respuestas();
    ~Respuestas() override;

    void push(Respuesta r) { m_respuestas.push_back(std::move(r)); }
    // Presses the button whose text, without "&", is given; a message box's default button
    // when the text is empty.
    static Respuesta pulsar(const QString &texto = QString());
    // Runs when the mail window shows up (the window itself, before it sends).
    std::function<void(QWidget *)> alVerCorreo;

    QStringList vistos;
    int pendientes() const { return int(m_respuestas.size()); }

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void sondear();
    QTimer m_reloj;
    std::deque<Respuesta> m_respuestas;
    QPointer<QWidget> m_actual;
    QList<QPointer<QWidget>> m_correos;
};
