#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench), runs them offscreen and
# prints one markdown table: measure, value, target, met?
# Extra arguments go to the benchmark program, e.g. --benchmark_filter=Resize.
# The per-benchmark lines and the program's own log end up in
# build-bench/bench-log.txt, the raw figures in build-bench/bench-results.json.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
if [ "$jobs" -gt 2 ]; then jobs=2; fi
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTESSAPLEX_BUILD_BENCH=ON -DTESSAPLEX_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench --target tessaplex_bench -j"$jobs" >/dev/null

# The figures are for the logging the program has by default, not a
# developer's own rules.
unset QT_LOGGING_RULES
export QT_QPA_PLATFORM=offscreen

echo "Running the benchmarks (about 20 s)..." >&2
build-bench/bench/tessaplex_bench \
  --benchmark_out=build-bench/bench-results.json --benchmark_out_format=json "$@" \
  2>build-bench/bench-log.txt

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
ram=$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo)
os=$(. /etc/os-release && echo "$PRETTY_NAME")
qt=$(pkg-config --modversion Qt5Core 2>/dev/null || echo unknown)
compiler=$(c++ --version | head -1)
echo
echo "Machine: $cpu, $(nproc) cores, $ram RAM; $os; Qt $qt; $compiler; Release build; QT_QPA_PLATFORM=offscreen."
