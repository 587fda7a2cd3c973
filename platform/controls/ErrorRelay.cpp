#include "platform/controls/ErrorRelay.h"

#include <QCoreApplication>
#include <QEvent>

namespace platform {
namespace {

const QEvent::Type kRaiseEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class RaiseEvent : public QEvent {
public:
    explicit RaiseEvent(std::exception_ptr error) : QEvent(kRaiseEvent), error(std::move(error)) {}
    std::exception_ptr error;
};

// Lives for one event: raises the error it carries from its own event handler.
class Raiser : public QObject {
public:
    using QObject::QObject;
    bool event(QEvent *e) override {
        if (e->type() != kRaiseEvent)
            return QObject::event(e);
        const std::exception_ptr error = static_cast<RaiseEvent *>(e)->error;
        deleteLater();
        std::rethrow_exception(error);
    }
};

} // namespace

void raiseLater(std::exception_ptr error) {
    if (!error)
        return;
    QCoreApplication *app = QCoreApplication::instance();
    QCoreApplication::postEvent(new Raiser(app), new RaiseEvent(std::move(error)));
}

} // namespace platform
