#include "tests/documents/Respuestas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWindow>

namespace {

QString tituloVisto(const QWidget *w) {
    const QWindow *ventana = w->windowHandle();
    return ventana ? ventana->title() : QStringLiteral("(sin ventana)");
}

QString texto(const QWidget *w, const char *nombre) {
    const auto *etiqueta = w->findChild<QLabel *>(QLatin1String(nombre));
    return etiqueta ? etiqueta->text() : QStringLiteral("(sin %1)").arg(QLatin1String(nombre));
}

QString describir(QWidget *modal) {
    const QString clase = QLatin1String(modal->metaObject()->className());
    QString e = clase + u'|' + tituloVisto(modal);
    if (auto *caja = qobject_cast<QMessageBox *>(modal)) {
        e = QStringLiteral("QMessageBox|") + tituloVisto(caja) + u'|' + caja->text();
        if (caja->icon() == QMessageBox::Critical)
            e += QStringLiteral("|error");
    } else if (clase == QLatin1String("TFconfirmacion")) {
        e += u'|' + texto(modal, "Label1") + texto(modal, "DBText1") + u'|' +
             texto(modal, "Label2") + texto(modal, "DBText2");
    } else if (clase == QLatin1String("TFerror")) {
        const auto *detalle = modal->findChild<QPlainTextEdit *>(QStringLiteral("error"));
        e += u'|' + texto(modal, "Label1") + u'|' + texto(modal, "Label2") + u'|' +
             (detalle ? detalle->toPlainText() : QStringLiteral("(sin error)"));
    }
    return e;
}

} // namespace

Respuestas::Respuestas() {
    connect(&m_reloj, &QTimer::timeout, this, &Respuestas::sondear);
    m_reloj.start(10);
}

Respuestas::~Respuestas() = default;

Respuestas::Respuesta Respuestas::pulsar(const QString &textoBoton) {
    return [textoBoton](QWidget *modal) {
        if (auto *caja = qobject_cast<QMessageBox *>(modal); caja && textoBoton.isEmpty()) {
            QAbstractButton *b = caja->defaultButton();
            if (!b)
                b = caja->buttons().value(0);
            if (b)
                b->click();
            return;
        }
        for (QAbstractButton *b : modal->findChildren<QAbstractButton *>())
            if (b->text().remove(u'&') == textoBoton) {
                b->click();
                return;
            }
        modal->close();
    };
}

bool Respuestas::eventFilter(QObject *objeto, QEvent *evento) {
    if (evento->type() == QEvent::Hide && objeto == m_actual) {
        objeto->removeEventFilter(this);
        m_actual = nullptr;
    }
    return false;
}

void Respuestas::sondear() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == m_actual || !modal->isVisible())
        return;
    if (modal->inherits("TFemailenviar")) {
        if (!m_correos.contains(modal)) {
            m_correos << modal;
            vistos << describir(modal);
            if (alVerCorreo)
                alVerCorreo(modal);
        }
        return;
    }
    // A kept dialog shown again is a new question: forget it when it hides.
    if (m_actual)
        m_actual->removeEventFilter(this);
    m_actual = modal;
    modal->installEventFilter(this);
    vistos << describir(modal);
    if (m_respuestas.empty()) {
        vistos << QStringLiteral("inesperado");
        if (auto *d = qobject_cast<QDialog *>(modal))
            d->reject();
        else
            modal->close();
        return;
    }
    Respuesta r = std::move(m_respuestas.front());
    m_respuestas.pop_front();
    r(modal);
}
