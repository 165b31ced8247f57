#!/usr/bin/env bash
# Installs, from Debian's packages, everything the project needs to build,
# run, test and benchmark. Safe to run again: apt-get skips what is there.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  build-essential cmake ninja-build pkg-config git ccache
  qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev qttools5-dev qttools5-dev-tools
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-5compat-dev qt6-tools-dev
  qt6-tools-dev-tools qt6-l10n-tools qt6-qpa-plugins
  qttranslations5-l10n qt6-translations-l10n
  clang libclang-rt-14-dev libbenchmark-dev valgrind linux-perf heaptrack
  socat bsdutils xvfb xauth xdotool x11-apps imagemagick
  fonts-wqy-microhei
  gcc-mingw-w64-x86-64 wine64
  dpkg-dev lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
