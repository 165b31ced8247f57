#!/usr/bin/env bash
# Screenshots of the whole job against the device simulator, on a private
# virtual X display: an R7-Eda module is connected and read, then a receive
# protocol is picked so the information panel shows its picture and help,
# and Write shows the confirmation dialog with its change list.
# Usage: tools/screenshot-demo.sh [OUTPUT_DIR]   (default docs/screenshots)
# Needs a built program (tools/build.sh), Xvfb, xdotool and imagemagick.
# TOVRIN_BUILD_DIR picks the build folder (default build; build-qt6 for Qt 6).
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
outdir="${1:-docs/screenshots}"
build="$repo/${TOVRIN_BUILD_DIR:-build}"
program="$build/bin/TovrinVazodivuveTool"
sim="$build/bin/tovrin-sim"
[ -x "$program" ] && [ -x "$sim" ] || { echo "build first (tools/build.sh)" >&2; exit 1; }

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# 96 dpi, as a desktop reports it: Qt 5 would otherwise derive about 100 from
# the virtual screen's size and draw point-sized fonts larger than Qt 6 does.
Xvfb -displayfd 3 -screen 0 1280x800x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export XDG_RUNTIME_DIR="$work"

# A module with a few ports already set up, so the read fills the cards visibly.
cat >"$work/records" <<'REC'
port 0: 00 00 C2 01 00 00 00 00 00 01 01
port 1: 00 80 25 00 00 01 00 00 01 10 00
port 2: 00 00 E1 00 00 02 00 01 00 13 12
port 3: 00 00 84 03 00 00 00 00 01 00 00
port 4: 00 00 96 00 00 00 00 00 00 1C 1B
port 5: 01 20 A1 07 00 00 00 00 00 02 02
REC
"$sim" --pty --model r7 --firmware 2.3.1 --records "$work/records" >"$work/sim.out" 2>"$work/sim.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.05; done
pty="$(head -n1 "$work/sim.out")"

env -u QT_QPA_PLATFORM LANG="${SCREENSHOT_LANG:-zh_CN.UTF-8}" LC_ALL= "$program" --port "$pty" >"$work/app.log" 2>&1 &
app=$!
pids+=("$app")
wid="$(timeout 20 xdotool search --sync --onlyvisible --pid "$app" --name 'Tovrin' | head -n1)"
[ -n "$wid" ] || { echo "the main window did not appear" >&2; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
geometry="${WIDTH}x${HEIGHT}+${X}+${Y}"

shot() {
    import -window root "$work/root.png"
    convert "$work/root.png" -crop "$geometry" +repage "$1"
    echo "$1"
}

mkdir -p "$outdir"
# The plug button at the right of the tool row opens the link.
xdotool mousemove --sync $((X + 955)) $((Y + 83)) click 1
sleep 2.5
shot "$outdir/r7-panel.png"

# Pick the next receive protocol on the first card with the keyboard.
xdotool mousemove --sync $((X + 560)) $((Y + 181)) click 1
sleep 0.5
xdotool key Down key Down key Return
sleep 1
shot "$outdir/protocol-picked.png"

# One more change, on the second card's baud rate, then Write: the
# confirmation dialog lists both changes against what was read.
xdotool mousemove --sync $((X + 185)) $((Y + 267)) click 1
sleep 0.5
xdotool key Down key Return
sleep 0.5
xdotool mousemove --sync $((X + 304)) $((Y + 664)) click 1
sleep 1
dialog=""
for w in $(xdotool search --onlyvisible --pid "$app"); do
    [ "$w" != "$wid" ] && dialog="$w"
done
[ -n "$dialog" ] || { echo "the confirmation dialog did not appear" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$dialog")"
geometry="${WIDTH}x${HEIGHT}+${X}+${Y}"
shot "$outdir/change-list.png"
