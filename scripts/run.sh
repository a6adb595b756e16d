#!/usr/bin/env bash
# Sets everything up, builds the program and starts it. Arguments go to the
# program, e.g. `scripts/run.sh --simulate` to try it without a keypad.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tessaplex -j"$(nproc)"
exec build/tessaplex "$@"
