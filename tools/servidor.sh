# Sourced by the scripts: starts the local Firebird server if it is not running and
# reads the SYSDBA password that the Debian package chose (FB_SYSDBA_PASSWORD).
servidor_arrancar() {
    [ -x /etc/init.d/firebird3.0 ] || return 1
    [ -r /etc/firebird/3.0/SYSDBA.password ] || return 1
    FB_SYSDBA_PASSWORD=$(. /etc/firebird/3.0/SYSDBA.password && echo "$ISC_PASSWORD")
    [ -n "$FB_SYSDBA_PASSWORD" ] || return 1
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    if ! pgrep -x firebird >/dev/null 2>&1; then
        # A program's own engine lock folder (FIREBIRD_LOCK, which the program sets for its
        # embedded engine and its children inherit) is not the server's: it would die at once.
        (unset FIREBIRD_LOCK && $sudo /etc/init.d/firebird3.0 start >/dev/null) || return 1
    fi
    # Wait until it listens.
    i=0
    while [ $i -lt 50 ]; do
        ss -ltn 2>/dev/null | grep -q ':3050 ' && return 0
        sleep 0.2
        i=$((i + 1))
    done
    return 1
}
