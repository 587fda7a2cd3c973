#!/bin/sh
# Configures (once) and builds everything incrementally into build/.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j2
