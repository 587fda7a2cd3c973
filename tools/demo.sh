#!/bin/sh
# Installs what is missing, builds, creates the demo database with its attachment files and
# its configuration (once), starts the demo's mail catcher on a free port of 127.0.0.1 (every
# message sent lands in build/demo/correo/ as a .eml file), points the demo installer's mail
# server at it, and starts the program on the database; the catcher stops with the program.
# User SYSDBA; the embedded engine accepts any password.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/dependencias.sh"
"$top/tools/compilar.sh"

demo="$top/build/demo"
mkdir -p "$demo/xdg/Nirvelo" "$demo/impresos"
if [ ! -f "$demo/demo.fdb" ]; then
    "$top/build/tools/trelmavondis-creardb" --demo "$demo/demo.fdb"
fi
conf="$demo/xdg/Nirvelo/Trelmavondis.conf"
if [ ! -f "$conf" ]; then
    cat > "$conf" <<CONF
[General]
Basededatos=$demo/demo.fdb
Usuario=SYSDBA
Impresos=$demo/impresos
Directory=$top/reports
CONF
fi
# Spanish regional settings (decimal comma, dates) unless the user has settings of their own;
# Qt reads these variables itself, with no system locale files.
propios=""
for valor in "${LC_ALL:-}" "${LC_NUMERIC:-}" "${LANG:-}"; do
    case "$valor" in
    "" | C | POSIX | C.*) ;;
    *) propios=1 ;;
    esac
done
[ -n "$propios" ] || export LC_ALL=es_ES.UTF-8
# The program reads its configuration from the system scope; point it at the demo's.
export XDG_CONFIG_DIRS="$demo/xdg"

mkdir -p "$demo/correo"
salida="$demo/correo-demo.salida"
: > "$salida"
/usr/bin/python3 "$top/tools/correo-demo.py" "$demo/correo" > "$salida" 2>&1 &
catcher=$!
trap 'kill $catcher 2>/dev/null || true' EXIT INT TERM
i=0
until puerto=$(head -n 1 "$salida") && [ -n "$puerto" ]; do
    i=$((i + 1))
    if [ $i -gt 100 ] || ! kill -0 $catcher 2>/dev/null; then
        cat "$salida" >&2
        echo "demo: no se ha podido arrancar el servidor de correo de la demostración" >&2
        exit 1
    fi
    sleep 0.1
done
case "$puerto" in *[!0-9]*)
    cat "$salida" >&2
    exit 1
    ;;
esac
# Only a server on this machine is the demo's: one the user set to a real server stays.
# isql-fb gets the engine lock folder the program uses, of this user's own (/tmp/firebird may
# belong to a Firebird server or to another user).
bloqueos="/tmp/trelmavondis-firebird-$(id -u)"
[ -n "${XDG_RUNTIME_DIR:-}" ] && [ -d "$XDG_RUNTIME_DIR" ] && bloqueos="$XDG_RUNTIME_DIR/trelmavondis-firebird"
mkdir -p -m 700 "$bloqueos"
echo "update INSTALADOR set SMTP_SERVIDOR = '127.0.0.1:$puerto'
      where SMTP_SERVIDOR starting with '127.0.0.1'; commit;" |
    FIREBIRD_LOCK="$bloqueos" isql-fb -q -user SYSDBA -password demo "$demo/demo.fdb"
echo "El correo que envíe la demostración llega a $demo/correo/ (un archivo .eml por mensaje)."
"$top/build/app/trelmavondis"
