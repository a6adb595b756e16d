#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UBSan) in their own
# build directory and runs each one, starting from its committed seed corpus,
# for a short time. Exits non-zero on any finding; the input that shows it is
# kept in <build>/findings/<target>/ and its log is printed.
# Usage: scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_PER_TARGET=${1:-20}
BUILD_DIR=${TESSAPLEX_FUZZ_DIR:-build-fuzz}
JOBS=${JOBS:-2}

cmake -S . -B "$BUILD_DIR" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSAPLEX_FUZZ=ON -DTESSAPLEX_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR" --target fuzz_targets -j"$JOBS"

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# Longest input worth trying: a full read-back is 78 replies of up to 65 bytes.
declare -A MAX_LEN=(
  [fuzz_record_render]=80
  [fuzz_record_writers]=2048
  [fuzz_device_replies]=8192
  [fuzz_download]=512
  [fuzz_discovery]=1024
  [fuzz_simulated_state]=16384
  [fuzz_profile_import]=8192
)
# Qt 5.15's QJsonDocument::fromJson leaks the value of a key that appears
# twice in one object (a two-line program shows it); the state file target
# would report that on every such input, so leaks are not checked there. The
# profile target refuses such keys before Qt parses the text, but a damaged
# text can still bring one to Qt, so it is not checked for leaks either.
declare -A NO_LEAK_CHECK=(
  [fuzz_simulated_state]=1
  [fuzz_profile_import]=1
)

failed=0
passed=0
for target in fuzz_record_render fuzz_record_writers fuzz_device_replies fuzz_download fuzz_discovery \
    fuzz_simulated_state fuzz_profile_import; do
  work="$BUILD_DIR/corpus/$target"        # grows while fuzzing; not committed
  findings="$BUILD_DIR/findings/$target"
  log="$BUILD_DIR/$target.log"
  mkdir -p "$work" "$findings"
  leaks=1
  [ -n "${NO_LEAK_CHECK[$target]:-}" ] && leaks=0
  if ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=$leaks" "$BUILD_DIR/tests/fuzz/$target" "$work" "tests/fuzz/corpus/$target" \
      -max_total_time="$SECONDS_PER_TARGET" -max_len="${MAX_LEN[$target]}" -timeout=10 \
      -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1 -detect_leaks="$leaks" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    echo "$target: no finding in ${SECONDS_PER_TARGET}s ($runs inputs)"
    passed=$((passed + 1))
  else
    echo "$target: FINDING (inputs in $findings/)"
    tail -n 60 "$log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
