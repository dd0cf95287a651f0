#!/usr/bin/env bash
# The layer check refuses each kind of upward include and every use of an
# ANSI system function or structure, and passes a tree that keeps the rules. Usage: check-layers-test.sh <scripts/check-layers.sh>
set -u
check="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# A tree that keeps the rule, with one extra file written into it.
plant() {
    local tree="$work/$1"
    mkdir -p "$tree/src/core" "$tree/src/win32" "$tree/src/ui" "$tree/src/app" "$tree/tools/x"
    printf '#include <string>\n#include "core/A.h"\n' > "$tree/src/core/A.cpp"
    printf '#include <windows.h>\n#include "core/A.h"\n#include "win32/B.h"\n' > "$tree/src/win32/B.cpp"
    printf '#include <commctrl.h>\n#include "win32/B.h"\n#include "ui/C.h"\n#include "resource.h"\n' > "$tree/src/ui/C.cpp"
    printf '#include "ui/C.h"\n#include "core/A.h"\n' > "$tree/src/app/Main.cpp"
    printf '#include "win32/B.h"\n' > "$tree/tools/x/T.cpp"
    # Wide calls, the program's own names, and ANSI names in comments pass.
    mkdir -p "$tree/tests/win" "$tree/tests/gui" "$tree/tests/support" "$tree/bench"
    printf '%s\n' '#include "win32/B.h"' 'void F(HWND w) { SendMessageW(w, LVM_GETITEMTEXTW, 0, 0); }' \
        'LVITEMW item; WNDCLASSEXW cls; int AREA(int); int n = AREA(2) + ParseData(3);' \
        '// Wine answers SendMessageA(w, ...) as Windows does; LVITEMA too.' \
        'const char* url = "https://example.invalid/GetA(";' > "$tree/tests/win/GoodTest.cpp"
    if [ -n "${2:-}" ]; then printf '%b' "$3" > "$tree/$2"; fi
    echo "$tree"
}

expect() {
    local want="$1" name="$2" tree="$3" out got
    out="$("$check" "$tree" 2>&1)"; got=$?
    if [ "$want" = pass ] && [ $got -ne 0 ]; then
        echo "FAIL $name: refused a good tree: $out"; failures=$((failures + 1))
    elif [ "$want" = fail ] && [ $got -eq 0 ]; then
        echo "FAIL $name: passed a bad tree"; failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

expect pass "tree keeping the rule" "$(plant good)"
expect fail "core includes windows.h" "$(plant w src/core/W.h '#pragma once\n#include <windows.h>\n')"
expect fail "core includes a win32 header" "$(plant c src/core/D.cpp '#include "win32/B.h"\n')"
expect fail "core includes a system header with an extension" "$(plant m src/core/M.cpp '#  include <mbstring.h>\n')"
expect fail "win32 includes a ui header" "$(plant u src/win32/E.cpp '#include "ui/C.h"\n')"
expect fail "ui includes the entry point's folder" "$(plant a src/ui/F.h '#include "app/Main.h"\n')"
expect fail "a header outside any layer" "$(plant o src/ui/G.cpp '#include "registry/Old.h"\n')"
expect fail "a tool reaches the windows" "$(plant t tools/x/U.cpp '#include "ui/C.h"\n')"
expect fail "no source tree" "$work/none"
expect fail "a test calls SendMessageA" "$(plant sa tests/win/S.cpp 'void F(HWND w) { SendMessageA(w, 0, 0, 0); }\n')"
expect fail "the program calls RegOpenKeyExA with a blank" "$(plant ro src/win32/R.cpp 'long r = RegOpenKeyExA (k, "x", 0, 0, &h);\n')"
expect fail "a window asks MAKEINTRESOURCEA" "$(plant mi src/ui/M.cpp 'auto d = MAKEINTRESOURCEA(101);\n')"
expect fail "a benchmark calls lstrcmpiA" "$(plant ls bench/B.cpp 'int c = lstrcmpiA(a, b);\n')"
expect fail "an ANSI structure" "$(plant lv src/ui/L.cpp 'LVITEMA item = {};\n')"
expect fail "an ANSI message" "$(plant lm tools/x/V.cpp 'SendMessageW(l, LVM_GETITEMTEXTA, 0, 0);\n')"
expect fail "an ANSI find structure" "$(plant fd tests/support/F.cpp 'WIN32_FIND_DATAA data;\n')"

# Each offending line is named by file and line.
out="$("$check" "$(plant at tests/gui/T.cpp 'int a;\nint b = GetWindowTextA(w, t, 9);\n')" 2>&1)"
if [[ "$out" == *"tests/gui/T.cpp:2: "*"GetWindowTextA"* ]]; then
    echo "ok   the offending call is named by file and line"
else
    echo "FAIL the offending call is named by file and line: $out"; failures=$((failures + 1))
fi

echo "$((17 - failures)) passed, $failures failed"
[ $failures -eq 0 ]
