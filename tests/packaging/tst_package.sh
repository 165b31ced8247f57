#!/usr/bin/env bash
# The Debian package as a user gets it: built from the install tree, its
# contents listed, unpacked into a scratch root and run from there (the
# program's --version, tovrinctl --version, a tovrinctl read against the
# packaged simulator), its shell completion asked for --p<TAB>, and lintian
# reporting no error. Exits 77 (skipped) where dpkg-deb is missing.
#   tst_package.sh SOURCE_DIR BUILD_DIR VERSION
set -uo pipefail
source_dir="$1"
build_dir="$2"
version="$3"

command -v dpkg-deb >/dev/null || { echo "SKIP: dpkg-deb is missing"; exit 77; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

work=$(mktemp -d)
sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

deb=$(TOVRIN_PACKAGE_NO_BUILD=1 "$source_dir/tools/package-deb.sh" "$build_dir" | tail -n1)
status=$?
[ "$status" -eq 77 ] && { echo "SKIP: a packaging tool is missing"; exit 77; }
[ "$status" -eq 0 ] && [ -f "$deb" ] || { echo "FAIL: no package was built"; exit 1; }
echo "package: $deb"

# The contents: the program folder in the layout the programs expect beside
# themselves, links in /usr/bin, and the desktop's files.
dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' >"$work/contents"
for entry in \
    "./usr/bin/TovrinVazodivuveTool -> ../lib/tovrin/TovrinVazodivuveTool" \
    "./usr/bin/tovrinctl -> ../lib/tovrin/tovrinctl" \
    "./usr/bin/tovrin-sim -> ../lib/tovrin/tovrin-sim" \
    ./usr/lib/tovrin/TovrinVazodivuveTool \
    ./usr/lib/tovrin/tovrinctl \
    ./usr/lib/tovrin/tovrin-sim \
    ./usr/lib/tovrin/TovrinVazodivuveTool_zh_CN.qm \
    ./usr/lib/tovrin/TovrinVazodivuveTool_en_US.qm \
    ./usr/lib/tovrin/lib/libPellaxCan.so \
    ./usr/lib/tovrin/resources/agreement/agreement_zh_CN.ini \
    ./usr/lib/tovrin/resources/agreement/agreement_en_US.ini \
    ./usr/share/applications/tovrinvazodivuvetool.desktop \
    ./usr/share/icons/hicolor/48x48/apps/tovrinvazodivuvetool.png \
    ./usr/share/icons/hicolor/256x256/apps/tovrinvazodivuvetool.png \
    ./usr/share/man/man1/TovrinVazodivuveTool.1.gz \
    ./usr/share/man/man1/tovrinctl.1.gz \
    ./usr/share/man/man1/tovrin-sim.1.gz \
    ./usr/share/bash-completion/completions/tovrinctl \
    ./usr/share/doc/tovrinvazodivuvetool/copyright \
    ./usr/share/doc/tovrinvazodivuvetool/changelog.gz; do
    grep -qxF -- "$entry" "$work/contents" || fail "the package lacks $entry"
done
grep -q '^\./usr/lib/tovrin/resources/images/.*\.png$' "$work/contents" ||
    fail "the package holds no device picture"
if grep -v -e '^\./usr/' -e '^\./$' "$work/contents"; then fail "files outside /usr"; fi
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ "$depends" == *libqt*serialport* ]] || fail "the dependencies lack the serial port library"

# Run from the unpacked files only.
root="$work/root"
dpkg-deb -x "$deb" "$root"
bin="$root/usr/bin"

export XDG_RUNTIME_DIR="$work"
out=$(QT_QPA_PLATFORM=offscreen "$bin/TovrinVazodivuveTool" --version 2>"$work/program.err")
[ "$out" = "TovrinVazodivuveTool $version" ] || fail "program --version said: $out"
out=$("$bin/tovrinctl" --version 2>&1)
[ "$out" = "tovrinctl $version" ] || fail "tovrinctl --version said: $out"

coproc SIM { exec "$bin/tovrin-sim" --pty --model r7 --firmware 2.3.1 2>"$work/sim.log"; }
sim_pid=$SIM_PID
pty=""
read -r -t 10 pty <&"${SIM[0]}" || true
if [ -z "$pty" ]; then
    fail "the packaged simulator gave no pty"
else
    "$bin/tovrinctl" --port "$pty" read -o "$work/read.tovrin.json" </dev/null 2>"$work/ctl.err"
    status=$?
    [ "$status" -eq 0 ] || fail "tovrinctl read ended with $status: $(cat "$work/ctl.err")"
    # The protocol names come from the catalogue beside the installed tool.
    grep -q '"model": "R7-Eda"' "$work/read.tovrin.json" 2>/dev/null || fail "the read file names no R7-Eda"
    grep -q '"name": ' "$work/read.tovrin.json" 2>/dev/null || fail "the read file has no protocol names"
fi

# tovrinctl --p<TAB>
completions=$(bash -c '
    source "$1"
    COMP_WORDS=(tovrinctl --p); COMP_CWORD=1; _tovrinctl; printf "%s\n" "${COMPREPLY[@]}"
    COMP_WORDS=(tovrinctl --port /dev/null --model ""); COMP_CWORD=4; _tovrinctl; printf "%s\n" "${COMPREPLY[@]}"
' _ "$root/usr/share/bash-completion/completions/tovrinctl")
[ "$completions" = $'--port\ntovrin\nr7' ] || fail "completion gave: $completions"

if command -v lintian >/dev/null; then
    # Warnings are shown; an error fails.
    LC_ALL=C.UTF-8 lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$work/lintian"
    [ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian reports errors"
else
    echo "lintian is missing: its check is left out"
fi

[ "$failures" -eq 0 ] && echo "PASS" || { echo "FAIL: $failures check(s)"; exit 1; }
