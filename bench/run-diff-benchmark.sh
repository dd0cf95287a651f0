#!/usr/bin/env bash
# The comparison benchmark: in a Wine prefix with a planted registry, writes a
# backup of the planted subtrees with the program's writer and times a plain
# enumeration of them, reading and parsing the backup, and comparing it with
# the registry; prints the ratios and the peak working set.
#
#   bench/run-diff-benchmark.sh [values to plant] [rounds]
#
# Uses the scan benchmark's planted prefix (build/bench/prefix) when it
# exists; otherwise makes and plants build/bench-diff/prefix (200,000 values
# in the realistic mix by default). Run it on a quiet machine.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
values="${1:-200000}"
rounds="${2:-1}"
out="$root/build/bench-diff"
build="$out/build"
if [ -f "$root/build/bench/prefix/system.reg" ]; then
    prefix="$root/build/bench/prefix"
else
    prefix="$out/prefix"
fi

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$prefix"

echo "== building the bench programs in $build"
cmake -S "$root/bench" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" --target plant-registry diff-benchmark | grep -E "error|warning" || true
test -f "$build/plant-registry.exe" -a -f "$build/diff-benchmark.exe"

mkdir -p "$out"
if [ ! -f "$prefix/system.reg" ]; then
    echo "== fresh Wine prefix $prefix"
    wine wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    wineserver -p
    trap 'wineserver -k 2>/dev/null || true' EXIT
    echo "== planting $values values"
    wine "$build/plant-registry.exe" "$values" realistic
else
    wineserver -p
    trap 'wineserver -k 2>/dev/null || true' EXIT
fi

echo "== measuring in $prefix"
backup="Z:$(echo "$out/backup.reg" | tr '/' '\\')"
wine "$build/diff-benchmark.exe" "$backup" "$rounds"
rm -f "$out/backup.reg"

wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
trap - EXIT
