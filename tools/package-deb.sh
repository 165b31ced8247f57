#!/usr/bin/env bash
# Builds the Debian package from the CMake install tree of a build, with CPack.
#   tools/package-deb.sh [BUILD_DIR]     (default: build)
# Builds the project first (configuring BUILD_DIR with tools/build.sh if it
# is not yet), then packages; the last line printed is the path of the .deb,
# below BUILD_DIR/package/. TOVRIN_PACKAGE_NO_BUILD=1 packages what is built.
# Install it with: sudo apt install ./BUILD_DIR/package/tovrinvazodivuvetool_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"

if [ "${TOVRIN_PACKAGE_NO_BUILD:-}" != 1 ]; then
    if [ -f "$dir/CMakeCache.txt" ]; then
        cmake --build "$dir" --parallel
    else
        tools/build.sh "$dir"
    fi
fi
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing: tools/install-deps.sh installs it" >&2
        exit 77
    }
done

# The device pictures have Chinese names: the archive needs a UTF-8 locale.
export LC_ALL=C.UTF-8
mkdir -p "$dir/package"
rm -f "$dir"/package/*.deb
if ! (cd "$dir" && cpack -G DEB --config CPackConfig.cmake) >"$dir/package/cpack.log" 2>&1; then
    cat "$dir/package/cpack.log" >&2
    exit 1
fi
deb=$(ls "$dir"/package/*.deb)
echo "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
