#!/usr/bin/env bash
# The search benchmark: times the search of all five root keys against a
# plain enumeration of the same roots in one run, and prints the ratios and
# the peak memory. It runs on the large registry that the cleaner's scan
# benchmark planted (build/bench/prefix, made by bench/run-scan-benchmark.sh)
# when that prefix exists; otherwise it plants a tree of its own (500,000
# values by default, one in a thousand holding the keyword "QvNeedle") in a
# scratch prefix, build/bench-search/wineprefix.
# Usage: bench/run-search-benchmark.sh [values to plant]
# Environment: BUILD_DIR (default build/win64); BENCH_PREFIX names the prefix
# to plant in and use; REPLANT=1 plants the own tree afresh; BENCH_KEYWORD
# (default "QvNeedle"); BENCH_PAGE=hidden keeps the search page hidden, to
# tell the cost of painting the status line apart.
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/.." && pwd)"
values="${1:-500000}"
build="${BUILD_DIR:-$repo/build/win64}"
out="$repo/build/bench-search"
scan_prefix="$repo/build/bench/prefix"
if [ -z "${BENCH_PREFIX:-}" ] && [ -f "$scan_prefix/system.reg" ]; then
    prefix="$scan_prefix"
    plant_own=""
else
    prefix="${BENCH_PREFIX:-$out/wineprefix}"
    plant_own=1
fi
mkdir -p "$out" "$prefix"

# The program's libraries, as the product build makes them.
[ -f "$build/build.ninja" ] || cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" --target quorvane_ui >/dev/null

# The program's resources: the search page dialog and its pictures.
(cd "$repo/resources" && x86_64-w64-mingw32-windres -I. Quorvane.rc -O coff -o "$out/resources.o")
x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -static -DNOMINMAX -DWIN32_LEAN_AND_MEAN -DUNICODE -D_UNICODE \
    -I"$repo/src" -I"$repo/resources" -I"$repo" "$here/SearchBench.cpp" "$out/resources.o" \
    "$build/src/ui/libquorvane_ui.a" "$build/src/win32/libquorvane_win32.a" "$build/src/core/libquorvane_core.a" \
    -o "$out/SearchBench.exe" \
    -lcomctl32 -lcomdlg32 -lshlwapi -lshell32 -lole32 -loleaut32 -luuid -lversion -lpsapi \
    -limagehlp -lgdi32 -luser32 -ladvapi32 -lkernel32

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
run() {
    if [ -z "${DISPLAY:-}" ]; then
        xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
    else
        wine "$@"
    fi
}
[ -f "$prefix/system.reg" ] || { wine wineboot --init >/dev/null 2>&1 || true; wineserver -w; }

echo "== registry of $prefix"
marker="$prefix/.search-bench-planted-$values"
if [ -n "$plant_own" ] && { [ -n "${REPLANT:-}" ] || [ ! -f "$marker" ]; }; then
    run "$out/SearchBench.exe" remove >/dev/null 2>&1 || true
    rm -f "$prefix"/.search-bench-planted-*
    run "$out/SearchBench.exe" plant "$values"
    wineserver -w   # the registry is written to the prefix's files
    touch "$marker"
fi

language="Z:$(echo "$repo/resources/Quorvane.language" | tr '/' '\\')"
run "$out/SearchBench.exe" run "$language" "${BENCH_KEYWORD:-QvNeedle}" ${BENCH_PAGE:+"$BENCH_PAGE"}
