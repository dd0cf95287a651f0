#!/usr/bin/env bash
# Checks the layer rule of the source tree: each layer includes only itself
# and the layers below it.
#   src/core   standard C++ and core headers only (no Windows header at all)
#   src/win32  core and win32
#   src/ui     core, win32, ui and the resource ids
#   src/app    every layer
#   tools      core and win32
# Prints every include that breaks the rule and exits 1 when there is one.
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

if [ ! -d src/core ]; then
    echo "no src/core below $root"
    status=1
fi
[ $status -eq 0 ] && echo "layer rule kept"
exit $status
