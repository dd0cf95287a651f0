#!/usr/bin/env bash
# Every speed and memory figure of the cleaner and the search, measured in one
# run on freshly planted Wine prefixes, with the floor each is held against
# measured by the same run on the same prefix:
#
#  1. a registry that looks like a real one (program settings with command
#     lines, class registrations, file associations, uninstall records; a small
#     share of the paths gone), and after the scans a search tree with needles:
#       scan   a = the walks of tasks 1 to 11 with do-nothing visitors
#              b = the engine alone (RunScanTask for tasks 1 to 11)
#              c = the full scan started from the cleaner page
#       stop   Stop clicks at several moments of a scan through the page
#       search the plain enumeration of the five roots, the engine and the
#              search page, for a keyword found nowhere and for one with
#              thousands of hits, and Stop clicks during a search
#  2. a pathological registry where most paths are gone (a result list of
#     about 170,000 rows): b and c again, a sort by each column (both
#     directions), Stop with nearly every row listed, and the program's peak
#     memory.
#
# Scan figures are medians of the rounds, each round measuring a, b and c one
# after the other; the search benchmark takes its own medians of three.
#
#   bench/run-benchmarks.sh
# Environment: QV_BENCH_VALUES (realistic prefix, default 200000 values),
# QV_BENCH_MANY_VALUES (pathological prefix, default 200000 values, which
# gives about 170,000 findings),
# QV_BENCH_SEARCH_VALUES / QV_BENCH_SEARCH_NEEDLES (search tree, default
# 100000 values of which 2500 hold the needle; the search meets the tree
# twice, below HKEY_CURRENT_USER and below HKEY_USERS), QV_BENCH_ROUNDS
# (default 3) and QV_BENCH_MANY_ROUNDS (default 1, for the pathological one),
# QV_BENCH_REUSE=1 (measure again in the prefixes planted by an earlier run),
# QV_BENCH_BEFORE=REV (also builds revision REV from `git archive` into
# build/bench/rev-REV and measures it in the same rounds, each round running
# the earlier programs and then the current ones on the same prefix, so the
# two are compared side by side from one run).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
bench="$root/build/bench"
results="$bench/results"
values="${QV_BENCH_VALUES:-200000}"
many_values="${QV_BENCH_MANY_VALUES:-200000}"
search_values="${QV_BENCH_SEARCH_VALUES:-100000}"
search_needles="${QV_BENCH_SEARCH_NEEDLES:-2500}"
rounds="${QV_BENCH_ROUNDS:-3}"
many_rounds="${QV_BENCH_MANY_ROUNDS:-1}"
reuse="${QV_BENCH_REUSE:-0}"
before="${QV_BENCH_BEFORE:-}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

echo "== building the program and the bench programs (build/win64)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Quorvane plant-registry scan-benchmark page-scan-benchmark \
      search-benchmark | grep -E "error|warning" || true
bin="$root/build/win64"
for program in Quorvane/Quorvane.exe bench/plant-registry.exe bench/scan-benchmark.exe \
               bench/page-scan-benchmark.exe bench/search-benchmark.exe; do
    test -f "$bin/$program" || { echo "missing $bin/$program" >&2; exit 1; }
done
mkdir -p "$results"

# The sides measured: "after" (the working tree) and, when asked for, "before".
sides="after"
declare -A side_bin
side_bin[after]="$bin"
if [ -n "$before" ]; then
    short="$(git -C "$root" rev-parse --short "$before")"
    source="$bench/rev-$short/source"
    if [ ! -d "$source" ]; then
        mkdir -p "$source"
        git -C "$root" archive "$before" | tar -x -C "$source"
    fi
    echo "== building the program and the bench programs of $short"
    cmake -S "$source" -B "$bench/rev-$short/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" -DQV_BUILD_TESTS=OFF >/dev/null
    cmake --build "$bench/rev-$short/build" --target Quorvane scan-benchmark page-scan-benchmark \
          search-benchmark | grep -E "error|warning" || true
    side_bin[before]="$bench/rev-$short/build"
    sides="before after"
fi

display_pid=""
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=":$(( 60 + RANDOM % 30 ))"
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    display_pid=$!
    sleep 1
fi
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true
}
trap cleanup EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v x="$1" -v y="$2" 'BEGIN { if (y > 0) printf "%.2f", x / y; else print "-" }'; }

# A fresh prefix (or the one from an earlier run), its own wineserver kept
# running so that the registry stays in memory between the programs.
open_prefix() {
    export WINEPREFIX="$1"
    if [ "$reuse" = 1 ] && [ -f "$WINEPREFIX/system.reg" ]; then
        wineserver -p
        return 1
    fi
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    wine wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    wineserver -p
    return 0
}

close_prefix() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

# A program folder of its own for each side, with every cleaner task ticked.
declare -A side_program
for side in $sides; do
    run="$bench/page-run-$side"
    rm -rf "$run"
    cp -r "${side_bin[$side]}/Quorvane" "$run"
    sed -i 's/cleanersearchtasklist custom="[^"]*"/cleanersearchtasklist custom="1,1,1,1,1,1,1,1,1,1,1"/' "$run/config.xml"
    side_program[$side]="Z:${run//\//\\}\\Quorvane.exe"
done
language="Z:$(echo "$root/resources/Quorvane.language" | tr '/' '\\')"

# Rounds of a, b and c on the open prefix, every side in each round; the
# rounds' figures go to $1-SIDE-*.txt.
measure_scan() {
    local name="$1" rounds="$2" side out
    for side in $sides; do
        : > "$results/$name-$side-engine.txt"
        : > "$results/$name-$side-page.txt"
    done
    for round in $(seq 1 "$rounds"); do
        for side in $sides; do
            out="$results/$name-$side"
            echo "-- $name ($side): round $round of $rounds"
            wine "${side_bin[$side]}/bench/scan-benchmark.exe" 1 >> "$out-engine.txt"
            wine "${side_bin[$side]}/bench/page-scan-benchmark.exe" "${side_program[$side]}" 1 scan >> "$out-page.txt"
            tail -n 3 "$out-page.txt"
        done
    done
    for side in $sides; do
        out="$results/$name-$side"
        wine "${side_bin[$side]}/bench/page-scan-benchmark.exe" "${side_program[$side]}" 1 stops > "$out-stops.txt"
        cat "$out-stops.txt"
    done
}

summarise_scan() {
    local name="$1" out="$results/$1" rounds="$2"
    local a b c rows peak stop_max
    a=$(awk '$1 == "all" { print $2 }' "$out-engine.txt" | median)
    b=$(awk '$1 == "all" { print $3 }' "$out-engine.txt" | median)
    c=$(awk '$1 == "scan" { print $3 * 1000 }' "$out-page.txt" | median)
    rows=$(awk '$1 == "scan" { print $4 }' "$out-page.txt" | tail -n 1)
    peak=$(awk '$1 == "peak-working-set" { print $2 }' "$out-page.txt" "$out-stops.txt" | sort -g | tail -n 1)
    stop_max=$(awk '$1 == "stop" { print $3 }' "$out-stops.txt" | sort -g | tail -n 1)
    echo "$name: $rows findings; medians of $rounds: a (walks) $a ms, b (engine) $b ms, c (page) $c ms"
    echo "$name: b/a $(ratio "$b" "$a"), c/a $(ratio "$c" "$a"), c/b $(ratio "$c" "$b")"
    # Each round's c against the a of the same round, taken just before it:
    # the machine's drift between rounds cancels out.
    local per_round
    per_round=$(paste <(awk '$1 == "all" { print $2 }' "$out-engine.txt") \
                      <(awk '$1 == "scan" { print $3 * 1000 }' "$out-page.txt") |
                awk '{ if ($1 > 0) printf "%.2f\n", $2 / $1 }')
    echo "$name: c/a of each round: $(echo $per_round); median $(echo "$per_round" | median)"
    echo "$name: slowest Stop $stop_max ms; program's peak working set $peak MB"
    echo "$name: Stops (ms, rows listed): $(awk '$1 == "stop" { printf " %s %s (%s);", $2, $3, $4 }' "$out-stops.txt")"
    # The sorts of the last round: each column twice, one per direction.
    awk -v n="$name" '$1 == "scan" { line = "" }
        $1 == "sort" { line = line sprintf(" %s", $3) ; if (++seen[$2] % 2 == 0) line = line " |" }
        END { printf "%s: sorts by columns 1 to 4, both directions (ms):%s\n", n, line }' "$out-page.txt"
}

summary="$results/summary.txt"
: > "$summary"

echo "== 1. a registry like a real one ($values values, search tree of $search_values)"
if open_prefix "$bench/realistic"; then
    wine "$bin/bench/plant-registry.exe" "$values" realistic
fi
measure_scan realistic "$rounds"
# The search tree is planted after the scans: its paths would be findings.
if [ ! -f "$WINEPREFIX/.search-tree" ]; then
    wine "$bin/bench/search-benchmark.exe" plant "$search_values" "$search_needles"
    touch "$WINEPREFIX/.search-tree"
fi
for side in $sides; do
    echo "-- search for a keyword found nowhere ($side)"
    wine "${side_bin[$side]}/bench/search-benchmark.exe" run "$language" QvFoundNowhere |
        tee "$results/search-$side-none.txt"
    echo "-- search for the needle ($side)"
    wine "${side_bin[$side]}/bench/search-benchmark.exe" run "$language" QvNeedle |
        tee "$results/search-$side-hits.txt"
done
# Taken out again, so that a later run with QV_BENCH_REUSE=1 scans the same
# registry as this one.
wine "$bin/bench/search-benchmark.exe" remove && rm -f "$WINEPREFIX/.search-tree"
close_prefix

echo "== 2. a registry where most paths are gone ($many_values values)"
if open_prefix "$bench/many"; then
    wine "$bin/bench/plant-registry.exe" "$many_values" many-findings
fi
measure_scan many "$many_rounds"
close_prefix

{
    echo "Machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)," \
         "$(free -g | awk '/Mem:/ { print $2 }') GB; $(wine --version); load average at the end:" \
         "$(cut -d' ' -f1-3 /proc/loadavg)"
    for side in $sides; do
        summarise_scan "realistic-$side" "$rounds"
    done
    for which in none hits; do
        for side in $sides; do
            f="$results/search-$side-$which.txt"
            echo "search ($which, $side): $(grep -E '^keyword' "$f")"
            echo "search ($which, $side): $(grep -E 'median plain' "$f" | sed 's/  */ /g')"
            echo "search ($which, $side): $(grep -E 'median engine' "$f" | sed 's/  */ /g')"
            echo "search ($which, $side): $(grep -E 'median page' "$f" | sed 's/  */ /g')"
            grep -E '^stop after' "$f" | sed "s/^/search ($which, $side): /"
            echo "search ($which, $side): $(grep -E 'peak working set of the run' "$f")"
        done
    done
    for side in $sides; do
        summarise_scan "many-$side" "$many_rounds"
    done
} | tee "$summary"
echo "(kept in $summary)"
