#!/usr/bin/env bash
# Sets everything up, builds and runs every test offscreen: the suite, the
# suite again under AddressSanitizer/UndefinedBehaviorSanitizer, and a short
# run of every fuzz target. The plain suite runs last so its summary closes
# the output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSAPLEX_BUILD_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)"

if [ "${TESSAPLEX_QUICK:-0}" != "1" ]; then
  # The whole suite under ASan, UBSan and LeakSanitizer (about 2.5 min on 2 cores).
  scripts/sanitize.sh
  # Every libFuzzer target from its seed corpus, 20 s each (about 2 min).
  scripts/fuzz.sh 20
fi

export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
