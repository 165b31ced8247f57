#!/usr/bin/env bash
# Configures and builds the whole project (Release with debug info).
#   tools/build.sh [BUILD_DIR [QT_MAJOR [CMAKE_ARGS...]]]
# BUILD_DIR defaults to build (or $TOVRIN_BUILD_DIR), QT_MAJOR to 5 (or
# $TOVRIN_QT_MAJOR); further arguments go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-${TOVRIN_BUILD_DIR:-build}}"
major="${2:-${TOVRIN_QT_MAJOR:-5}}"
shift $(($# < 2 ? $# : 2))
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVRIN_QT_MAJOR="$major" "$@"
cmake --build "$dir" --parallel
