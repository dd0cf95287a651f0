#!/usr/bin/env bash
# The cleaner benchmark through the page: in the large planted prefix of
# run-scan-benchmark.sh, measures in one run (a) the bare walks and (b) the
# engine-only scan of tasks 1 to 11 (scan-benchmark.exe, one round), then
# (c) the same scan started from the cleaner page with its live status line,
# and prints b/a and c/a.
#
#   bench/run-page-scan-benchmark.sh
# Plants the prefix first when it is not there yet (see run-scan-benchmark.sh).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
bench="$root/build/bench"
prefix="$bench/prefix"
build="$bench/build"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$prefix"

if [ ! -f "$prefix/system.reg" ]; then
    "$root/bench/run-scan-benchmark.sh" 520000 1
fi
cmake -S "$root/bench" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" | grep -E "error|warning" || true
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Quorvane | grep -E "error|warning" || true

# A program folder of its own with every task ticked.
run="$bench/page-run"
rm -rf "$run"
cp -r "$root/build/win64/Quorvane" "$run"
sed -i 's/cleanersearchtasklist custom="[^"]*"/cleanersearchtasklist custom="1,1,1,1,1,1,1,1,1,1,1"/' "$run/config.xml"

display_pid=""
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=":$(( 60 + RANDOM % 30 ))"
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    display_pid=$!
    sleep 1
fi
wineserver -p
trap 'wineserver -k 2>/dev/null || true; [ -n "$display_pid" ] && kill $display_pid 2>/dev/null || true' EXIT

wine "$build/scan-benchmark.exe" 1 > "$bench/engine.txt"
cat "$bench/engine.txt"
wine "$build/page-scan-benchmark.exe" "$(winepath -w "$run/Quorvane.exe")" > "$bench/page.txt"
cat "$bench/page.txt"
engine=$(cat "$bench/engine.txt")
page=$(cat "$bench/page.txt")

a=$(echo "$engine" | awk '$1 == "all" { print $2 }' | tail -n 1)
b=$(echo "$engine" | awk '$1 == "all" { print $3 }' | tail -n 1)
c=$(echo "$page" | sed -n 's/^c (full scan through the cleaner page): \([0-9.]*\) s.*/\1/p')
c_ms=$(awk -v c="$c" 'BEGIN { printf "%.1f", c * 1000 }')
echo
echo "a (walks only)            : $a ms"
echo "b (engine scan)           : $b ms   b/a = $(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", b / a }')"
echo "c (scan through the page) : $c_ms ms   c/a = $(awk -v a="$a" -v c="$c_ms" 'BEGIN { printf "%.2f", c / a }')"
