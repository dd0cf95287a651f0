#!/usr/bin/env bash
# Builds the drive-table benchmark for Windows x64 and runs it under Wine.
# Usage: bench/run-drive-table-bench.sh [wine prefix]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/.." && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -static -DNOMINMAX -DWIN32_LEAN_AND_MEAN -DUNICODE -D_UNICODE \
    -I"$repo/src" "$here/DriveTableBench.cpp" "$repo/src/win32/Win32Platform.cpp" "$repo/src/core/AnsiText.cpp" "$repo/src/core/Unicode.cpp" \
    -o "$out/DriveTableBench.exe" -lshlwapi -limagehlp
export WINEPREFIX="${1:-${WINEPREFIX:-$repo/build/win64/wineprefix}}"
export WINEDEBUG=-all
wine "$out/DriveTableBench.exe"
