#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program.
#   tools/run-demo.sh                   against the bundled device simulator (no hardware)
#   tools/run-demo.sh --port /dev/ttyUSB0   against a real module or flight controller
# Simulator options can be passed after --sim, e.g. --sim --model tovrin --split.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

program_args=()
sim_args=(--model r7)
while [ $# -gt 0 ]; do
  case "$1" in
    --port) program_args+=(--port "$2"); shift 2 ;;
    --sim) shift; sim_args=("$@"); break ;;
    *) program_args+=("$1"); shift ;;
  esac
done

tools/install-deps.sh
tools/build.sh

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM

# No desktop session: run on a virtual display, open the device at start
# (nobody is there to click) and keep a screenshot of the cards after the read.
headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  for n in $(seq 50 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=":$n"
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  echo "No display found: running on the virtual display $DISPLAY."
  ( sleep 5; import -display "$DISPLAY" -window root "$root/build/demo-screenshot.png" 2>/dev/null \
      && echo "Screenshot: $root/build/demo-screenshot.png" ) &
  pids+=($!)
fi

if [ ${#program_args[@]} -eq 0 ]; then
  # No device named: the simulator plays the module on a pseudo-terminal.
  # The program is given a link that follows the pty when it is pulled out
  # and plugged back in (SIGUSR2), as a new pty.
  state="$root/build/demo-state.txt"
  link="$root/build/demo-tty"
  coproc SIM { exec "$root/build/bin/tovrin-sim" --pty --link "$link" --baud-pacing --state "$state" "${sim_args[@]}" 2>"$root/build/demo-sim.log"; }
  pids+=("$SIM_PID")
  read -r -t 10 pty <&"${SIM[0]}"
  echo "Simulated module on $pty as $link (its frames: build/demo-sim.log, its records: build/demo-state.txt)."
  [ "$headless" -eq 1 ] || echo "Click the plug button at the top right to connect."
  echo "To pull the module out and plug it back in: kill -USR2 $SIM_PID (once each)."
  program_args=(--port "$link")
fi

[ "$headless" -eq 0 ] || program_args+=(--connect)
"$root/build/bin/TovrinVazodivuveTool" "${program_args[@]}"
