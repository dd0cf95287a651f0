#!/usr/bin/env bash
# Builds every preset and runs every test tier: the native core tests (plain
# and under sanitizers), the Windows tests and the GUI tests under Wine.
# The 32-bit Windows build is compiled and linked only.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
for preset in native native-asan win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done

# One private X display and one Wine session for the whole run.
xvfb_pid=""
cleanup() {
    WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || [ -n "${CI:-}" ]; then
    display=":$(( 90 + RANDOM % 100 ))"
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY="$display"
    sleep 1
fi

status=0
ctest --preset native -j "$jobs" || status=1
ASAN_OPTIONS=detect_leaks=1 ctest --preset native-asan -j "$jobs" || status=1
ctest --preset win64 -j "$jobs" || status=1
exit $status
