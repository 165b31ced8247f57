#!/usr/bin/env bash
# Start-up time of the real program with a large protocol catalogue: copies a
# program folder, writes a catalogue with ENTRIES entries in each section as
# its only catalogue, starts the program on a private Xvfb display and prints
# the time until its main window is mapped.
# Usage: bench/startup/startup-time.sh [ENTRIES] [PROGRAM_DIR]
#   ENTRIES defaults to 2000; PROGRAM_DIR to build/bin.
# Needs Xvfb and xdotool (tools/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/../.."
entries="${1:-2000}"
bindir="$(realpath "${2:-build/bin}")"
[ -x "$bindir/TovrinVazodivuveTool" ] || { echo "no program in $bindir; build first" >&2; exit 1; }

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cp -a "$bindir" "$work/bin"
rm -f "$work/bin/resources/agreement/"*
{
    for section in Accept Send; do
        printf '[%s]\r\n{\r\n' "$section"
        for i in $(seq 1 "$entries"); do printf '"Entry %d==Help %d"\r\n' "$i" "$i"; done
        printf '}\r\n'
    done
} >"$work/bin/resources/agreement/agreement_en_US.ini"
echo "catalogue: $entries entries a section, $(stat -c %s "$work/bin/resources/agreement/agreement_en_US.ini") bytes"

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export XDG_RUNTIME_DIR="$work"

start=$(date +%s%N)
env -u QT_QPA_PLATFORM LANG=en_US.UTF-8 LC_ALL= "$work/bin/TovrinVazodivuveTool" >"$work/app.log" 2>&1 &
app=$!
pids+=("$app")
wid="$(timeout 300 xdotool search --sync --onlyvisible --pid "$app" --name 'Tovrin' | head -n1)" || true
end=$(date +%s%N)
[ -n "$wid" ] || { echo "the main window did not appear within 300 s" >&2; cat "$work/app.log" >&2; exit 1; }
ms=$(((end - start) / 1000000))
printf 'start-up to window shown: %d.%03d s\n' $((ms / 1000)) $((ms % 1000))
sed -n '1,5p' "$work/app.log"
