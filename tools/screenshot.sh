#!/usr/bin/env bash
# Takes a screenshot of the main window on a private virtual X display.
# Usage: tools/screenshot.sh [OUTPUT.png] [program arguments...]
#   OUTPUT.png defaults to docs/screenshots/main-window.png; further
#   arguments go to the program (for example --port /dev/pts/5).
#   SCREENSHOT_LANG picks the language (default zh_CN.UTF-8).
# Needs a built program (tools/build.sh), Xvfb, xdotool and imagemagick
# (tools/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"

out="docs/screenshots/main-window.png"
if [ $# -gt 0 ] && [[ "$1" == *.png ]]; then
    out="$1"
    shift
fi
program="$repo/build/bin/TovrinVazodivuveTool"
[ -x "$program" ] || { echo "no program at $program; build first" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the given fd.
# 96 dpi, as a desktop reports it: Qt 5 would otherwise derive about 100 from
# the virtual screen's size and draw point-sized fonts larger than Qt 6 does.
Xvfb -displayfd 3 -screen 0 1280x800x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

export XDG_RUNTIME_DIR="$work"
env -u QT_QPA_PLATFORM LANG="${SCREENSHOT_LANG:-zh_CN.UTF-8}" LC_ALL= "$program" "$@" >"$work/app.log" 2>&1 &
app_pid=$!

if ! wid="$(timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" --name 'Tovrin' | head -n1)" \
    || [ -z "$wid" ]; then
    echo "the main window did not appear" >&2
    cat "$work/app.log" >&2
    exit 1
fi
# Mapped is not yet painted: give the first paint a moment.
sleep 1

mkdir -p "$(dirname "$out")"
import -window root "$work/root.png"
# Keep only the window: read its place on the screen.
eval "$(xdotool getwindowgeometry --shell "$wid")"
geometry="${WIDTH}x${HEIGHT}+${X}+${Y}"
convert "$work/root.png" -crop "$geometry" +repage "$out"
echo "$out ($geometry)"
