#pragma once

#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>

class QDialog;

// Rejects a modal dialog left waiting `limitMs` on end, so that a test that goes wrong fails
// instead of hanging. Only a dialog that stays open that long is rejected, however long the
// test itself takes on a busy machine. `fired` tells whether it ever had to.
class ModalWatchdog {
public:
    explicit ModalWatchdog(int limitMs = 20000);
    ~ModalWatchdog();
    bool fired() const { return m_fired; }

private:
    void check();
    int m_limit;
    QTimer m_timer;
    QPointer<QDialog> m_waiting; // the modal dialog open since m_since
    QElapsedTimer m_since;
    QMetaObject::Connection m_finished;
    bool m_fired = false;
};
