#include "tests/common/ModalAnswers.h"

#include "tests/common/WindowWait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

ModalAnswers::ModalAnswers() {
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswers::poll);
    m_timer.start(10);
}

ModalAnswers::~ModalAnswers() = default;

ModalAnswers::Answer ModalAnswers::press(const QString &buttonText) {
    return [buttonText](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal); box && buttonText.isEmpty()) {
            QAbstractButton *b = box->defaultButton();
            if (!b)
                b = box->buttons().value(0);
            if (b)
                b->click();
            return;
        }
        for (QAbstractButton *b : modal->findChildren<QAbstractButton *>())
            if (b->text().remove(u'&') == buttonText) {
                b->click();
                return;
            }
        if (auto *d = qobject_cast<QDialog *>(modal))
            d->reject();
        else
            modal->close();
    };
}

ModalAnswers::Answer ModalAnswers::noteButtons(QStringList &buttons, Answer then) {
    return [&buttons, then = std::move(then)](QWidget *modal) {
        buttons.clear();
        for (const QAbstractButton *b : modal->findChildren<QAbstractButton *>())
            buttons << b->text().remove(u'&');
        then(modal);
    };
}

bool ModalAnswers::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Hide && watched == m_current) {
        watched->removeEventFilter(this);
        m_current = nullptr;
    }
    return false;
}

void ModalAnswers::leaveAlone(const char *className, std::function<void(QWidget *)> onShown) {
    m_selfAnswering = className;
    m_onSelfAnswering = std::move(onShown);
}

// The title the window system shows, not the widget's own property.
QString ModalAnswers::shownTitle(const QWidget *w) {
    const QWindow *handle = w->windowHandle();
    return handle ? handle->title() : QStringLiteral("(sin ventana)");
}

void ModalAnswers::poll() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == m_current || !modal->isVisible())
        return;
    if (!m_selfAnswering.isEmpty() && modal->inherits(m_selfAnswering.constData())) {
        if (!m_selfAnswered.contains(modal)) {
            m_selfAnswered << modal;
            seen << (describe ? describe(modal)
                              : modal->metaObject()->className() + (u'|' + shownTitle(modal)));
            if (m_onSelfAnswering)
                m_onSelfAnswering(modal);
        }
        return;
    }
    // A window shown becomes active a moment later, from the event loop; a busy machine makes
    // that moment long. A window uncovered by a closed box is made active again by a desktop,
    // not by the offscreen platform: asked for here. One that never becomes active is answered
    // all the same after a while, with a warning, and the answer's own checks tell.
    if (!modal->isActiveWindow()) {
        if (m_activating != modal) {
            m_activating = modal;
            m_activatingSince.start();
            modal->activateWindow();
        }
        if (m_activatingSince.elapsed() < kWindowWait)
            return;
        qWarning("ModalAnswers: %s no llegó a ser la ventana activa",
                 qPrintable(modal->metaObject()->className() + (u'|' + shownTitle(modal))));
    }
    m_activating = nullptr;
    // A kept dialog shown again is a new question: forget it when it hides.
    if (m_current)
        m_current->removeEventFilter(this);
    m_current = modal;
    modal->installEventFilter(this);
    if (describe) {
        seen << describe(modal);
    } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        QString entry = shownTitle(box) + u'|' + box->text();
        if (box->icon() == QMessageBox::Critical)
            entry += QStringLiteral("|error");
        seen << entry;
    } else {
        seen << modal->metaObject()->className() + (u'|' + shownTitle(modal));
    }
    if (m_answers.empty()) {
        seen << QStringLiteral("inesperado");
        if (auto *d = qobject_cast<QDialog *>(modal))
            d->reject();
        else
            modal->close();
        return;
    }
    Answer a = std::move(m_answers.front());
    m_answers.pop_front();
    a(modal);
}
