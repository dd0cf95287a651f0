#!/usr/bin/env bash
# Starts the program, waits for its main window and saves a screenshot of it
# as build/<preset>/screenshots/<name>.png (name: the third argument, else
# main-window); fails when no window shows. In a Wine prefix with a desktop
# of its own the program's windows lie inside that desktop's window, which is
# taken instead.
set -u
program_dir="$1"
out_dir="$2"
name="${3:-main-window}"
here="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$out_dir"
run_dir="$(mktemp -d "$out_dir/run.XXXXXX")"
cp -r "$program_dir"/. "$run_dir"/
"$here/wine-run.sh" "$run_dir/Quorvane.exe" &
runner=$!
window=""
for _ in $(seq 1 120); do
    sleep 0.5
    window=$(xdotool search --onlyvisible --name "Quorvane.*\(V" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    desktop=$(xdotool search --onlyvisible --name "Wine desktop" 2>/dev/null | head -n 1)
    if [ -n "$desktop" ] && pgrep -f "$run_dir/Quorvane.exe" >/dev/null 2>&1; then
        sleep 2
        window=$desktop
        break
    fi
done
status=1
if [ -n "$window" ]; then
    sleep 2
    import -window "$window" "$out_dir/$name.png" && status=0
    if [ -n "${desktop:-}" ] && [ "$window" = "$desktop" ]; then
        # The desktop stays; Esc closes the program inside it.
        xdotool key --window "$window" Escape 2>/dev/null
    else
        xdotool windowclose "$window" 2>/dev/null || xdotool key --window "$window" Escape
    fi
fi
for _ in $(seq 1 40); do
    kill -0 "$runner" 2>/dev/null || break
    sleep 0.5
done
kill "$runner" 2>/dev/null
wait "$runner" 2>/dev/null
rm -rf "$run_dir"
if [ $status -eq 0 ]; then
    echo "screenshot: $out_dir/$name.png"
    identify "$out_dir/$name.png"
fi
exit $status
