#!/usr/bin/env bash
# Rebuilds the image generator and redraws every generated picture:
# the embedded images and the icon under app/, the desktop icons under
# packaging/icons/, and one device picture per
# catalogue name and locale under resources/images/.
# Usage: tools/generate-images.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build}"

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build_dir" --parallel 2 --target tovrin-imagegen

export QT_QPA_PLATFORM=offscreen
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR="$(mktemp -d)"
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
"$build_dir/bin/tovrin-imagegen" ui app
"$build_dir/bin/tovrin-imagegen" icons packaging/icons
"$build_dir/bin/tovrin-imagegen" devices resources/agreement resources/images
