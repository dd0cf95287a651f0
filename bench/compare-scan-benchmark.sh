#!/usr/bin/env bash
# Before and after: builds the scan benchmark of another revision (from
# `git archive`, into build/bench/rev-REV) next to the current one and runs
# the two alternately in the planted prefix of run-scan-benchmark.sh, under
# one wineserver, so that both meet the same registry and the same machine
# load. Plant the prefix first (bench/run-scan-benchmark.sh VALUES 1).
#
#   bench/compare-scan-benchmark.sh REV [pairs] [rounds per run]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
rev="${1:?revision to compare with}"
pairs="${2:-2}"
rounds="${3:-1}"
bench="$root/build/bench"
prefix="$bench/prefix"
test -f "$prefix/system.reg" || { echo "no planted prefix in $prefix" >&2; exit 1; }

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$prefix"

build_bench() {   # source folder, build folder
    cmake -S "$1/bench" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$2" --target scan-benchmark | grep -E "error|warning" || true
    test -f "$2/scan-benchmark.exe"
}

short="$(git -C "$root" rev-parse --short "$rev")"
source="$bench/rev-$short/source"
if [ ! -d "$source" ]; then
    mkdir -p "$source"
    git -C "$root" archive "$rev" | tar -x -C "$source"
fi
echo "== building the benchmark of $short and of the working tree"
build_bench "$source" "$bench/rev-$short/build"
build_bench "$root" "$bench/build"

wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
for pair in $(seq "$pairs"); do
    echo; echo "==== pair $pair: $short"
    wine "$bench/rev-$short/build/scan-benchmark.exe" "$rounds" | sed -n '/^round/,/^ all/p'
    echo; echo "==== pair $pair: working tree"
    wine "$bench/build/scan-benchmark.exe" "$rounds" | sed -n '/^round/,/^ all/p'
done
