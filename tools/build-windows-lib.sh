#!/usr/bin/env bash
# Cross-compiles libPellaxCan for 64-bit Windows with mingw-w64 and checks it:
#   tools/build-windows-lib.sh OUTDIR
# Leaves OUTDIR/PellaxCanLib.dll with its PellaxCanLib.def, and the same DLL as
# OUTDIR/lib/libPellaxCan.dll, the path the program loads it from. Checks with
# objdump that it exports exactly the six names under its own name and imports
# only from the system and the C runtime, then runs tests/canlib/windows/dllcheck.c
# under wine, once per file name. The wine prefix stays in OUTDIR/wineprefix for
# the next run. Exits 0 on PASS, 1 on FAIL, 77 when mingw-w64 or wine is missing.
set -uo pipefail

SKIP_CODE=77
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
TRIPLET=x86_64-w64-mingw32
CC="$TRIPLET-gcc"
OBJDUMP="$TRIPLET-objdump"
WINE="${WINE:-/usr/lib/wine/wine64}"
WINESERVER="${WINESERVER:-$(dirname "$WINE")/wineserver64}"

if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
mkdir -p "$1" || exit 1
OUT="$(cd "$1" && pwd)"
LOG="$OUT/build.log"
: >"$LOG"

fail() {
  echo "FAIL: Windows libPellaxCan: $*"
  exit 1
}

# Runs a step with its output in the log; shows the log's tail when it fails.
logged() {
  echo "+ $*" >>"$LOG"
  if ! "$@" >>"$LOG" 2>&1; then
    tail -n 40 "$LOG"
    return 1
  fi
}

for tool in "$CC" "$OBJDUMP" "$WINE" "$WINESERVER" cmake timeout; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: Windows libPellaxCan: $tool not found (tools/install-deps.sh installs it)"
    exit "$SKIP_CODE"
  fi
done

# 1. Build canlib on its own with the mingw toolchain.
generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
logged cmake -S "$ROOT/canlib" -B "$OUT/build" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=Release || fail "configuring canlib for Windows"
logged cmake --build "$OUT/build" || fail "building canlib for Windows"
built="$OUT/build/bin/lib/libPellaxCan.dll"
[ -f "$built" ] || fail "the build left no $built"

mkdir -p "$OUT/lib"
if ! { cp "$built" "$OUT/PellaxCanLib.dll" &&
  cp "$ROOT/canlib/pellaxcan.def" "$OUT/PellaxCanLib.def" &&
  cp "$built" "$OUT/lib/libPellaxCan.dll"; }; then
  fail "copying the DLL into $OUT"
fi

# 2. Its export directory: its own name and exactly the six names; imports from
# the system and the C runtime only.
headers="$("$OBJDUMP" -p "$OUT/PellaxCanLib.dll")" || fail "objdump cannot read the DLL"
exports="$(awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
                on && NF == 0 { exit }
                on { print $NF }' <<<"$headers" | sort)"
expected="$(printf '%s\n' PellaxLib_CAN_Decode PellaxLib_CAN_DecodeTable PellaxLib_CAN_Encode \
  PellaxLib_CAN_EncodeTable PellaxLib_CAN_XOR PellaxLib_Can_GetVersion)"
echo "Exports of PellaxCanLib.dll:"
sed 's/^/  /' <<<"$exports"
[ "$exports" = "$expected" ] || fail "the exports are not the six names: $(tr '\n' ' ' <<<"$exports")"
dllname="$(awk '/^The Export Tables/ { on = 1 } on && $1 == "Name" { print $NF; exit }' <<<"$headers")"
[ "$dllname" = "PellaxCanLib.dll" ] || fail "the export directory names the library '$dllname'"
imports="$(awk '/DLL Name:/ { print $NF }' <<<"$headers")"
while read -r dll; do
  case "${dll,,}" in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll) ;;
    *) fail "the DLL needs $dll besides the C runtime" ;;
  esac
done <<<"$imports"

# 3. The check program, from the same compiler.
logged "$CC" -std=c99 -O2 -Wall -Wextra -Werror -I"$ROOT/canlib" \
  -o "$OUT/dllcheck.exe" "$ROOT/tests/canlib/windows/dllcheck.c" || fail "building dllcheck.exe"

# 4. Run it under wine: headless, quiet, in a prefix of its own. No mono or
# gecko installer prompts, no desktop menu entries.
export WINEPREFIX="$OUT/wineprefix" WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  logged "$WINE" wineboot --init || fail "creating the wine prefix $WINEPREFIX"
fi
cd "$OUT" || fail "cannot enter $OUT"
# A library that overruns its stack buffers can leave the check looping or
# printing without end: bound both.
for library in PellaxCanLib.dll lib/libPellaxCan.dll; do
  echo "+ wine dllcheck.exe $library" >>"$LOG"
  timeout 60 "$WINE" dllcheck.exe "$library" 2>>"$LOG" | head -c 65536 >"$OUT/dllcheck.out"
  status=${PIPESTATUS[0]}
  tee -a "$LOG" <"$OUT/dllcheck.out"
  [ "$status" -ne 124 ] || fail "dllcheck.exe $library did not end within 60 s"
  [ "$status" -eq 0 ] || fail "dllcheck.exe $library exited with $status"
done

echo "PASS: Windows libPellaxCan: $OUT/PellaxCanLib.dll exports the six names and scrambles under wine"
