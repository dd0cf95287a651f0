#!/usr/bin/env bash
# The cleaner's scan benchmark: builds the bench programs, makes a fresh Wine
# prefix under build/bench, plants a large registry in it and measures
# (a) the walks and subkey listings of tasks 1 to 11 with visitors that do
# nothing against (b) a full scan of tasks 1 to 11 by RunScanTask alone.
#
#   bench/run-scan-benchmark.sh [values to plant] [rounds]
#
# The planted prefix stays in build/bench/prefix afterwards, so that the same
# scan can be timed through the cleaner page (run the program with
# WINEPREFIX set to it). QV_BENCH_REUSE=1 measures again in that prefix
# without making and planting it anew.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
values="${1:-520000}"
rounds="${2:-2}"
bench="$root/build/bench"
prefix="$bench/prefix"
build="$bench/build"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$prefix"

echo "== building the bench programs in $build"
cmake -S "$root/bench" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" | grep -E "error|warning" || true
test -f "$build/plant-registry.exe" -a -f "$build/scan-benchmark.exe"

reuse="${QV_BENCH_REUSE:-0}"
if [ "$reuse" = 1 ] && [ -f "$prefix/system.reg" ]; then
    echo "== measuring again in the planted prefix $prefix"
    wineserver -p
    trap 'wineserver -k 2>/dev/null || true' EXIT
else
    echo "== fresh Wine prefix $prefix"
    if [ -d "$prefix" ]; then
        wineserver -k 2>/dev/null || true
        rm -rf "$prefix"
    fi
    mkdir -p "$bench"
    wine wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    # One server for planting and measuring, so that the registry stays in memory.
    wineserver -p
    trap 'wineserver -k 2>/dev/null || true' EXIT

    echo "== planting $values values"
    wine "$build/plant-registry.exe" "$values"
fi

echo "== measuring"
wine "$build/scan-benchmark.exe" "$rounds"

# Let the server write the planted registry to disk for later runs.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
trap - EXIT
echo
echo "planted prefix kept for the page measurement: $prefix"
echo "  e.g. WINEPREFIX=$prefix wine build/win64/Quorvane/Quorvane.exe"
echo "  (measure again in it: QV_BENCH_REUSE=1 $0)"
