#!/bin/sh
# Builds, creates the country-scale benchmark database once (build/bench/country.fdb:
# 52 provinces, ~8,100 municipalities, ~60,000 entities, 100,000 installations with their
# cabinets, branches and attachments) and runs every benchmark on it; then ten desks on the
# local Firebird server for three minutes (bench_carga).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/dependencias.sh"
"$top/tools/compilar.sh"
mkdir -p "$top/build/bench"
db="$top/build/bench/country.fdb"
if [ ! -f "$db" ]; then
    echo "Creando $db ..."
    "$top/build/tools/trelmavondis-creardb" --guion "$top/tools/benchdata/country.sql" "$db"
fi
# Only the programs: CMake keeps folders of the same prefix (bench_*_autogen) beside them.
for b in "$top"/build/bench/bench_*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    [ "$(basename "$b")" = bench_carga ] && continue
    echo "== $(basename "$b")"
    "$b" "$db"
done
# Ten desks on the local Firebird server for three minutes, on a database of their own.
echo "== bench_carga"
. "$top/tools/servidor.sh"
if servidor_arrancar; then
    "$top/build/bench/bench_carga" localhost "$FB_SYSDBA_PASSWORD" 10 180
else
    echo "Sin servidor Firebird: bench_carga no se ejecuta." >&2
fi
