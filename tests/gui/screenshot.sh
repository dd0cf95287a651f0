#!/usr/bin/env bash
# Starts the program, waits for its main window and saves a screenshot of it
# as build/<preset>/screenshots/main-window.png; fails when no window shows.
set -u
program_dir="$1"
out_dir="$2"
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
done
status=1
if [ -n "$window" ]; then
    sleep 2
    import -window "$window" "$out_dir/main-window.png" && status=0
    xdotool windowclose "$window" 2>/dev/null || xdotool key --window "$window" Escape
fi
for _ in $(seq 1 40); do
    kill -0 "$runner" 2>/dev/null || break
    sleep 0.5
done
kill "$runner" 2>/dev/null
wait "$runner" 2>/dev/null
rm -rf "$run_dir"
if [ $status -eq 0 ]; then
    echo "screenshot: $out_dir/main-window.png"
    identify "$out_dir/main-window.png"
fi
exit $status
