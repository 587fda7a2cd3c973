#include "tests/common/ModalWatchdog.h"

#include <QApplication>
#include <QDialog>

ModalWatchdog::ModalWatchdog(int intervalMs) {
    m_timer.setInterval(intervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            m_fired = true;
            d->QDialog::done(QDialog::Rejected);
            d->hide();
        }
    });
    m_timer.start();
}
