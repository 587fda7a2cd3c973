#pragma once

#include <exception>
#include <utility>

namespace platform {

// A failure caught where it must not unwind through Qt (a slot, a virtual that Qt calls from
// inside its own code) is handed to the event loop instead: it is raised again from an event
// of its own, where the application's notify() reports it as it reports any other.
void raiseLater(std::exception_ptr error);

// Runs f; on any exception hands it to raiseLater and answers false.
template <class F> bool guarded(F &&f) {
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        raiseLater(std::current_exception());
        return false;
    }
}

} // namespace platform
