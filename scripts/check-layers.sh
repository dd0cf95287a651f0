#!/usr/bin/env bash
# Checks the layer rule of the source tree: each layer includes only itself
# and the layers below it. Also checks that the program and its tests are a
# Unicode program: no call of an ANSI (...A) system function and no ANSI
# structure, message or window class anywhere in src, tools, tests and bench.
#   src/core   standard C++ and core headers only (no Windows header at all)
#   src/win32  core and win32
#   src/ui     core, win32, ui and the resource ids
#   src/app    every layer
#   tools      core and win32
# Prints every include and every ANSI use that breaks a rule (file:line) and
# exits 1 when there is one.
# Usage: scripts/check-layers.sh [source tree]
set -u
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root" || exit 2

status=0
complain() {
    echo "$1: $2"
    status=1
}

check_folder() {
    local folder="$1" allowed="$2" file line header
    [ -d "$folder" ] || return 0
    while IFS= read -r -d '' file; do
        while IFS= read -r line; do
            if [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
                header="${BASH_REMATCH[1]}"
                [[ "$header" =~ ^($allowed)$ ]] || complain "$file" "includes \"$header\", which this layer may not reach"
            elif [[ "$folder" == src/core && "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
                header="${BASH_REMATCH[1]}"
                # Standard C++ headers have no extension; anything with one
                # (windows.h, commctrl.h, mbstring.h) belongs to the system.
                [[ "$header" == *.* ]] && complain "$file" "includes <$header>: the core uses standard C++ only"
            fi
        done < "$file"
    done < <(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
}

check_folder src/core  'core/[A-Za-z0-9_]+\.h'
check_folder src/win32 '(core|win32)/[A-Za-z0-9_]+\.h'
check_folder src/ui    '(core|win32|ui)/[A-Za-z0-9_]+\.h|resource\.h'
check_folder src/app   '(core|win32|ui|app)/[A-Za-z0-9_]+\.h|resource\.h'
check_folder tools     '(core|win32)/[A-Za-z0-9_]+\.h'

# The wide-only rule. A call is an identifier naming a system function with
# the ANSI suffix, followed by "(": a CamelCase name ending in a small letter
# or digit and then "A" (SendMessageA, RegOpenKeyExA, GetTextExtentPoint32A,
# ImageList_LoadImageA), or one of the system's irregular names
# (MAKEINTRESOURCEA, lstrcmpiA, wsprintfA, CreateDCA, OpenSCManagerA).
# Line comments and the insides of string literals are not read. The program's own functions whose names end in
# "A" go into own_names, separated by "|", so that the rule passes them.
ansi_call='\b([A-Z][A-Za-z0-9_]*[a-z0-9]|MAKEINTRESOURCE|CreateDC|CreateIC|OpenSCManager|lstr[a-z]+|w?v?sprintf)A[[:space:]]*\('
ansi_type='\b(OPENFILENAME|LVITEM|WNDCLASS|WNDCLASSEX|STARTUPINFO|STARTUPINFOEX|WIN32_FIND_DATA|LOGFONT|MENUITEMINFO|LVCOLUMN|LVFINDINFO|NMLVDISPINFO|NMLVFINDITEM|NMTVDISPINFO|NMTREEVIEW|TVITEM|TVITEMEX|TVINSERTSTRUCT|HDITEM|SHELLEXECUTEINFO|CREATESTRUCT|NONCLIENTMETRICS|TEXTMETRIC|OSVERSIONINFO|OSVERSIONINFOEX|BROWSEINFO|CHOOSEFONT|TOOLINFO|NOTIFYICONDATA|SHFILEINFO|SHFILEOPSTRUCT|MONITORINFOEX|TTTOOLINFO|NMTTDISPINFO|(LVM|TVM|HDM|LVN|TVN|HDN|TTM|TTN|SB|TB|CBEM)_[A-Z0-9_]*[A-Z0-9]|WC_[A-Z0-9]+)A\b'
own_names=''

# A source file line for line, without string literals and line comments.
code_of() {
    sed -E -e 's/"([^"\\]|\\.)*"/""/g' -e 's#(^|[[:space:]])//.*$##' "$1"
}

check_wide_only() {
    local folder file number line name
    for folder in src tools tests bench; do
        [ -d "$folder" ] || continue
        while IFS= read -r -d '' file; do
            while IFS=: read -r number line; do
                while [[ "$line" =~ $ansi_call ]]; do
                    name="${BASH_REMATCH[1]}A"
                    line="${line#*"${BASH_REMATCH[0]}"}"
                    [ -n "$own_names" ] && [[ "$name" =~ ^($own_names)$ ]] && continue
                    complain "$file:$number" "calls the ANSI system function $name; the program calls the wide (W) one"
                done
            done < <(code_of "$file" | grep -nE "$ansi_call")
            while IFS=: read -r number line; do
                [[ "$line" =~ $ansi_type ]] &&
                    complain "$file:$number" "uses the ANSI ${BASH_REMATCH[1]}A; the program uses the wide (W) form"
            done < <(code_of "$file" | grep -nE "$ansi_type")
        done < <(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.rc' \) -print0)
    done
}
check_wide_only

if [ ! -d src/core ]; then
    echo "no src/core below $root"
    status=1
fi
[ $status -eq 0 ] && echo "layer rule and wide-only rule kept"
exit $status
