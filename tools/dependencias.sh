#!/bin/sh
# Installs the Debian packages the program, its tests and its benchmarks need.
# Idempotent: apt-get runs only when something is missing.
# With --servidor it also installs the Firebird server used by the server tests.
set -eu

packages="cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils xvfb xauth fonts-liberation2
libhpdf-dev libgmime-3.0-dev poppler-utils python3 python3-aiosmtpd openssl libssl-dev libxxhash-dev
clang libclang-rt-14-dev"
if [ "${1:-}" = "--servidor" ]; then
    packages="$packages firebird3.0-server"
fi

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Instalando:$missing"
$sudo apt-get update -qq
# The server's package would start the service; the scripts start it themselves when needed.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
