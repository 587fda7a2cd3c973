#include "db/FbApi.h"

#include "db/Engine.h"
#include "db/Win1252.h"

#include <algorithm>
#include <cstring>

namespace db::fb {

Firebird::IMaster *master() {
    static Firebird::IMaster *const m = [] {
        useOwnLockFolder(); // read by the engine when it first starts
        return Firebird::fb_get_master_interface();
    }();
    return m;
}

Firebird::IUtil *util() {
    return master()->getUtilInterface();
}

namespace {

// Every error code of a status vector, in order.
QList<int> errorCodes(const intptr_t *vector) {
    QList<int> codes;
    if (!vector)
        return codes;
    for (const intptr_t *p = vector; *p != isc_arg_end;) {
        const intptr_t kind = *p++;
        if (kind == isc_arg_cstring) {
            p += 2; // length and pointer
            continue;
        }
        if (kind == isc_arg_gds)
            codes << static_cast<int>(*p);
        ++p;
    }
    return codes;
}

} // namespace

namespace {

constexpr int kConnectionLost[] = {isc_network_error, isc_net_read_err,       isc_net_write_err,
                                   isc_conn_lost,     isc_lost_db_connection, isc_att_shutdown,
                                   isc_shutdown};

} // namespace

bool connectionLost(const DatabaseError &error) {
    for (int c : kConnectionLost)
        if (error.has(c))
            return true;
    return false;
}

QString explanation(const QList<int> &codes) {
    auto any = [&](std::initializer_list<int> wanted) {
        for (int c : wanted)
            if (codes.contains(c))
                return true;
        return false;
    };
    if (std::any_of(std::begin(kConnectionLost), std::end(kConnectionLost),
                    [&](int c) { return codes.contains(c); }))
        return QStringLiteral("Se ha perdido la conexión con la base de datos.");
    if (any({isc_lock_conflict, isc_update_conflict, isc_deadlock, isc_lock_timeout}))
        return QStringLiteral("Otro puesto está modificando este registro: inténtelo de nuevo "
                              "dentro de unos segundos o cancele los cambios.");
    // Every foreign key of the schema deletes its rows with their owner: a violation is a
    // row saved under an owner that another desk has deleted.
    if (any({isc_foreign_key}))
        return QStringLiteral("El registro al que pertenece éste ya no existe: otro puesto lo "
                              "ha borrado. No se ha guardado; cancele y refresque la lista.");
    if (any({isc_unique_key_violation, isc_no_dup}))
        return QStringLiteral("Ya existe un registro con ese valor, que no puede repetirse.");
    if (any({isc_arith_except}))
        return QStringLiteral("Un valor numérico está fuera del rango que admite la base de datos "
                              "o un texto es demasiado largo.");
    return {};
}

DatabaseError toError(const Firebird::FbException &e) {
    char buffer[2048];
    util()->formatStatus(buffer, sizeof buffer, e.getStatus());
    // The server's text (with the values it quotes) comes in the connection character set.
    const QString text = win1252::decode(buffer, static_cast<qsizetype>(strlen(buffer))).trimmed();
    const QList<int> codes = errorCodes(e.getStatus()->getErrors());
    const int code = codes.isEmpty() ? 0 : codes.first();
    // The server's words stay, below a Spanish explanation of the ones a user meets.
    QString why = explanation(codes);
    if (why.isEmpty())
        why = engineReason(codes, e.getStatus()->getErrors());
    return DatabaseError(why.isEmpty() ? text : why + u'\n' + text, code, codes);
}

} // namespace db::fb
