#!/bin/sh
# Stops or starts the local Firebird server for the tests that take it away from under the
# program: servidor-control.sh parar | arrancar. Arrancar waits until it listens.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/servidor.sh"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
case "${1:-}" in
parar)
    $sudo /etc/init.d/firebird3.0 stop >/dev/null
    # Wait until nothing listens any more and the server's process has ended: one still on
    # its way out would make "arrancar" take it for a running server and wait in vain.
    i=0
    while [ $i -lt 150 ] && { ss -ltn 2>/dev/null | grep -q ':3050 ' || pgrep -x firebird >/dev/null; }; do
        sleep 0.2
        i=$((i + 1))
    done
    ;;
arrancar)
    servidor_arrancar
    ;;
*)
    echo "uso: $0 parar|arrancar" >&2
    exit 2
    ;;
esac
