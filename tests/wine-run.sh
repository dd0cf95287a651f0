#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests: in the build's own Wine
# prefix (never the user's), quietly, and under a private X display when none
# is set.
set -u
if [ -z "${WINEPREFIX:-}" ]; then
    echo "wine-run.sh: WINEPREFIX is not set (the tests give each build its own prefix)" >&2
    exit 2
fi
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
