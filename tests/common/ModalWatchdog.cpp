#include "tests/common/ModalWatchdog.h"

#include <QApplication>
#include <QDialog>

#include <algorithm>

ModalWatchdog::ModalWatchdog(int limitMs) : m_limit(limitMs) {
    m_timer.setInterval(std::min(limitMs, 1000));
    QObject::connect(&m_timer, &QTimer::timeout, [this] { check(); });
    m_timer.start();
}

ModalWatchdog::~ModalWatchdog() {
    QObject::disconnect(m_finished);
}

void ModalWatchdog::check() {
    auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    if (d != m_waiting) {
        // A dialog kept and shown again waits anew: forget it when it is answered.
        QObject::disconnect(m_finished);
        m_waiting = d;
        m_since.start();
        if (d)
            m_finished =
                QObject::connect(d, &QDialog::finished, &m_timer, [this] { m_waiting = nullptr; });
        return;
    }
    if (!d || m_since.elapsed() < m_limit)
        return;
    m_fired = true;
    d->QDialog::done(QDialog::Rejected);
    d->hide();
}
