#!/bin/sh
# Installs what is missing, builds, and runs every test: the embedded-engine tests and,
# when a Firebird server can run here, the data tests again through it over TCP.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/dependencias.sh" --servidor
"$top/tools/compilar.sh"
. "$top/tools/servidor.sh"

cd "$top/build"
if servidor_arrancar; then
    export TRELMA_TEST_PASSWORD="$FB_SYSDBA_PASSWORD"
    ctest --output-on-failure -j2
else
    echo "Sin servidor Firebird: sólo las pruebas del motor embebido." >&2
    ctest --output-on-failure -j2 -L embedded
fi
