#pragma once

// Thin helpers over Firebird's object-oriented client API, used inside data/recordset only.

#include "db/Errors.h"

#include <firebird/Interface.h>

#include <utility>

namespace db::fb {

Firebird::IMaster *master();
Firebird::IUtil *util();

// Server errors keep the server's own text; lines are joined with "\n". The errors a user
// meets (connection lost, a record held by another desk, a duplicate key, a number out of
// range) carry a Spanish explanation first.
DatabaseError toError(const Firebird::FbException &e);
// That explanation for a list of error codes; empty when there is none.
QString explanation(const QList<int> &codes);
// Whether the error means the server or the network went away.
bool connectionLost(const DatabaseError &error);

// Runs f with a throwing wrapper over the given status and turns client errors into
// DatabaseError. Hot paths keep one status object and pass it here.
template <class F> auto callWith(Firebird::IStatus *status, F &&f) {
    Firebird::ThrowStatusWrapper wrapper(status);
    try {
        return f(&wrapper);
    } catch (const Firebird::FbException &e) {
        throw toError(e);
    }
}

// The same with a status object of its own.
template <class F> auto call(F &&f) {
    struct Owned {
        Firebird::IStatus *s = master()->getStatus();
        ~Owned() { s->dispose(); }
    } status;
    return callWith(status.s, std::forward<F>(f));
}

// Owns one reference of a reference-counted or disposable interface.
template <class T> class Ref {
public:
    Ref() = default;
    explicit Ref(T *p) : m_p(p) {}
    Ref(const Ref &) = delete;
    Ref &operator=(const Ref &) = delete;
    Ref(Ref &&o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    Ref &operator=(Ref &&o) noexcept {
        if (this != &o) {
            reset();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }
    ~Ref() { reset(); }
    void reset(T *p = nullptr) {
        if (m_p) {
            if constexpr (requires(T * x) { x->release(); })
                m_p->release();
            else
                m_p->dispose();
        }
        m_p = p;
    }
    T *release_ownership() { return std::exchange(m_p, nullptr); }
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T *m_p = nullptr;
};

constexpr unsigned kCharSetWin1252 = 53;
constexpr unsigned kCharSetUnicodeFss = 3;
constexpr unsigned kCharSetUtf8 = 4;
constexpr unsigned kCharSetOctets = 1;

} // namespace db::fb
