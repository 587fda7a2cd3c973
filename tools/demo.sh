#!/bin/sh
# Installs what is missing, builds, creates the demo database and its configuration
# (once), and starts the program on it. User SYSDBA; the embedded engine accepts any password.
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
exec "$top/build/app/trelmavondis"
