#!/bin/sh
# Rebuilds the picture generator and redraws every picture into resources/.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${ARTGEN_BUILD_DIR:-/tmp/artgen-build}

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2
QT_QPA_PLATFORM=offscreen "$build/artgen" "$root/resources/image" "$root/resources/icons"
