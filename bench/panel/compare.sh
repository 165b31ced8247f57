#!/usr/bin/env bash
# Runs the port panel benchmark of an older revision and of this tree one
# after the other on the same machine, and prints both figures.
#   bench/panel/compare.sh OLD_REV [BUILDS]
# OLD_REV is built in a temporary worktree (only bench_portpanel and what it
# needs), unless OLD_BENCH names a benchmark binary built already, e.g.
#   OLD_BENCH=../old/build/bin/bench_portpanel bench/panel/compare.sh -
# This tree's benchmark is taken from TOVRIN_BUILD_DIR (default build) and
# built first. BUILDS defaults to 1000. Run it on an otherwise idle machine.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo="$PWD"
rev="${1:?usage: bench/panel/compare.sh OLD_REV [BUILDS]}"
builds="${2:-1000}"
build="$repo/${TOVRIN_BUILD_DIR:-build}"

work=""
cleanup() {
    if [ -n "$work" ]; then
        git -C "$repo" worktree remove --force "$work/src" 2>/dev/null || true
        rm -rf "$work"
    fi
}
trap cleanup EXIT

old="${OLD_BENCH:-}"
if [ -z "$old" ]; then
    work="$(mktemp -d)"
    git -C "$repo" worktree add --detach --quiet "$work/src" "$rev"
    cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$work/build" --target bench_portpanel >/dev/null
    old="$work/build/bin/bench_portpanel"
fi
cmake --build "$build" --target bench_portpanel >/dev/null
new="$build/bin/bench_portpanel"

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== old ($rev): $old"
"$old" "$builds"
echo "== new ($(git -C "$repo" rev-parse --short HEAD)$(git -C "$repo" diff --quiet || echo '+changes')): $new"
"$new" "$builds"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
