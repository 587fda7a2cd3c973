#pragma once

// What the embedded engine needs from the machine, and its failures explained: the ones
// that are about the machine rather than the path, the user or the password.

#include "db/Errors.h"

#include <QString>

#include <cstdint>

namespace db::fb {

// The embedded engine keeps its lock files in one folder (FIREBIRD_LOCK, by default
// /tmp/firebird): whoever uses the engine first after a boot owns it, and every other user
// of the machine is then locked out. Unless FIREBIRD_LOCK is already set, each user gets a
// folder of their own, private to them (under XDG_RUNTIME_DIR, else /tmp). A database file
// is still opened by one engine at a time: the engine locks the file itself.
// Called once, before the client library is first used; answers the folder in use.
QString useOwnLockFolder();

// A Spanish reason for an engine failure about the machine (the lock folder, the file's
// permissions, a file held by another program, a folder that is not there); empty for the
// rest. `vector` is the status vector of the failure.
QString engineReason(const QList<int> &codes, const intptr_t *vector);

// The reason that `error` carries on its first line, when it is one of engineReason's.
QString engineReasonOf(const DatabaseError &error);

// Stops the engine when it goes out of scope: every attachment closed and the engine's own
// threads ended before the process exits, rather than from the client library's exit
// handlers while the rest of the process is already being torn down. For a program's
// main(); the client library cannot be used again after it.
class EngineShutdown {
public:
    EngineShutdown() = default;
    EngineShutdown(const EngineShutdown &) = delete;
    EngineShutdown &operator=(const EngineShutdown &) = delete;
    ~EngineShutdown();
};

} // namespace db::fb
