#pragma once

#include <QTimer>

// Rejects a modal dialog left waiting, so that a test that goes wrong fails instead of hanging.
// `fired` tells whether it ever had to.
class ModalWatchdog {
public:
    explicit ModalWatchdog(int intervalMs = 20000);
    bool fired() const { return m_fired; }

private:
    QTimer m_timer;
    bool m_fired = false;
};
