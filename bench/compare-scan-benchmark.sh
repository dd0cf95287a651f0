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

# The fastest (a) and (b) of each task over every round of one side: the
# other engineers' load on the machine only ever adds time.
best_of() {
    awk '/^ *[0-9]+ / && NF == 8 {
             t = $1; if (!(t in a) || $2 < a[t]) a[t] = $2; if (!(t in b) || $3 < b[t]) b[t] = $3
         }
         END {
             printf "%4s %10s %10s %7s\n", "task", "a ms", "b ms", "b/a"
             for (t = 1; t <= 11; ++t) {
                 printf "%4d %10.1f %10.1f %7.2f\n", t, a[t], b[t], (a[t] > 0 ? b[t] / a[t] : 0)
                 sa += a[t]; sb += b[t]
             }
             printf "%4s %10.1f %10.1f %7.2f\n", "all", sa, sb, (sa > 0 ? sb / sa : 0)
         }' "$1"
}

log="$bench/compare-$short"
: >"$log.before"
: >"$log.after"
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
for pair in $(seq "$pairs"); do
    echo; echo "==== pair $pair: $short"
    wine "$bench/rev-$short/build/scan-benchmark.exe" "$rounds" | sed -n '/^round/,/^ all/p' |
        tee -a "$log.before"
    echo; echo "==== pair $pair: working tree"
    wine "$bench/build/scan-benchmark.exe" "$rounds" | sed -n '/^round/,/^ all/p' |
        tee -a "$log.after"
done
echo; echo "==== best of every round: $short"; best_of "$log.before"
echo; echo "==== best of every round: working tree"; best_of "$log.after"
