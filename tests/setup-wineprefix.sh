#!/usr/bin/env bash
# Creates (or updates) the tests' Wine prefix and waits until it is ready.
set -eu
: "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot --init >/dev/null 2>&1 || true
wineserver -w
test -f "$WINEPREFIX/system.reg"
