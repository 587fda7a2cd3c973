#include "db/FbApi.h"

#include "db/Win1252.h"

#include <cstring>

namespace db::fb {

Firebird::IMaster *master() {
    static Firebird::IMaster *const m = Firebird::fb_get_master_interface();
    return m;
}

Firebird::IUtil *util() {
    return master()->getUtilInterface();
}

DatabaseError toError(const Firebird::FbException &e) {
    char buffer[2048];
    util()->formatStatus(buffer, sizeof buffer, e.getStatus());
    // The server's text (with the values it quotes) comes in the connection character set.
    const QString text = win1252::decode(buffer, static_cast<qsizetype>(strlen(buffer)));
    const intptr_t *vector = e.getStatus()->getErrors();
    const int code = (vector && vector[0] == isc_arg_gds) ? static_cast<int>(vector[1]) : 0;
    return DatabaseError(text.trimmed(), code);
}

} // namespace db::fb
