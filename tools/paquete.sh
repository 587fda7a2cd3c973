#!/bin/sh
# Builds the Debian package of the program from build/ (compiling what is missing) and
# prints its path: build/paquete/trelmavondis_<versión>-1_<arquitectura>.deb
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/dependencias.sh"
# dpkg-shlibdeps (dpkg-dev) computes the package's dependencies from the binaries.
if ! dpkg-query -W -f='${Status}' dpkg-dev 2>/dev/null | grep -q "ok installed"; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Instalando: dpkg-dev"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq dpkg-dev
fi

cd "$top"
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
# What the package installs; cpack itself builds nothing.
cmake --build build -j2 --target trelmavondis trelmavondis-creardb trelmavondis-copia trelma_paquete
rm -rf build/paquete/_CPack_Packages
(cd build && cpack -G DEB -B "$top/build/paquete" >/dev/null)
rm -rf build/paquete/_CPack_Packages
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
ls "$top/build/paquete/trelmavondis_${version}-1_"*.deb
