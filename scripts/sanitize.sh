#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in a
# build directory of its own and runs the whole test suite offscreen. Any
# finding (memory error, leak, undefined behaviour) fails the run.
# Usage: scripts/sanitize.sh [extra ctest arguments, e.g. -L faults]
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${TESSAPLEX_ASAN_DIR:-build-asan}
JOBS=${JOBS:-2}

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSAPLEX_SANITIZE=ON \
  -DTESSAPLEX_BUILD_TESTS=ON >/dev/null
cmake --build "$BUILD_DIR" -j"$JOBS"

export QT_QPA_PLATFORM=offscreen
# Leaks are checked; the suppressions name third-party libraries only.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_invalid_pointer_pairs=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
# The build already makes every UB check fatal (-fno-sanitize-recover).
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$JOBS" "$@"
