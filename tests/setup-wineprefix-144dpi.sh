#!/usr/bin/env bash
# Creates (or updates) the Wine prefix of the 144 DPI tests: the tests'
# usual prefix, with the display at 150 percent (LogPixels 144, which Wine
# reads from the user's desktop settings) and a 1280 x 800 desktop of its
# own, so that the work area is that of a small laptop screen whatever the
# X display's size.
set -eu
: "${WINEPREFIX:?}"
here="$(cd "$(dirname "$0")" && pwd)"
"$here/setup-wineprefix.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null
# The settings take effect with the next session.
wineserver -k 2>/dev/null || true
wineserver -w
