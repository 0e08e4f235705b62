#!/usr/bin/env bash
# The Windows host against the native one. 64-bit run: a recording of the
# demo's bytes, made by the native host, rendered with one key and click
# script by the native host over our platform layer and by zephyrdome.exe
# under Wine; the wine_tests group hostparity compares the two sets of PNG
# frames, and the first of Wine's are kept for the 32-bit run, which renders
# them again with the i686 zephyrdome.exe and compares.
#   host_parity.sh BITS NATIVE_BIN SESSION_DIR WORK_DIR KEPT_DIR   (in the folder of zephyrdome.exe)
# Exit 77 (skipped), with one line, when what it compares with is missing or
# Wine can't start. ZD_KEEP_FRAMES=1 keeps WORK_DIR for a look.
set -uo pipefail
bits=$1
native=$2/zephyrdome
session=$3
work=$4
kept=$5/host
here=$(cd "$(dirname "$0")" && pwd)
keptFrames=100

# Ring modes, rotation off and on with each arrow between, UP held (the
# sphere), a title clicked, the panel hidden and shown, the help page.
script=(--key 0.5:A --key 1:B --key 1.5:C --key 2:D --key 2.3:LEFT --key 2.6:RIGHT
  --key 2.9:DOWN --key 3.2:D --key 3.5:UP:1s --click 5:100,47 --key 5.5:F2 --key 6:F2
  --key 6.5:H --key 7.5:H)
# UP is held from 3.5 s to 4.5 s, so these frames draw the inflated sphere.
sphereFrames=140-179

# Runs a Windows program in this run's Wine session (through /usr/lib/wine/wine64).
in_session() { "$here/wine_session.sh" run "$session" "$@"; }

rm -rf "$work"
mkdir -p "$work"
if [ "$bits" = 64 ]; then
  if [ ! -x "$native" ]; then
    echo "SKIPPED: no native host at $native (build the linux preset first)"
    exit 77
  fi
  recording=$work/demo.vis
  "$native" render --duration 8s -q --vis-out "$recording" -o "$work/recorded/" || exit 1
  "$native" render --vis-in "$recording" -q "${script[@]}" -o "$work/reference/" || exit 1
  duration=()
else
  if [ ! -s "$kept/demo.vis" ]; then
    echo "SKIPPED: no frames of the 64-bit zephyrdome.exe in $kept (run the mingw64 tests first)"
    exit 77
  fi
  recording=$kept/demo.vis
  ln -s "$kept" "$work/reference"
  # Emulated GL is slow: the 32-bit run renders the first frames only.
  duration=(--duration $((keptFrames * 25))ms)
fi
# Wine sees this machine's root as drive Z:.
in_session ./zephyrdome.exe render --vis-in "Z:$recording" -q "${script[@]}" "${duration[@]}" \
  -o "Z:$work/frames/" || exit $?
ZD_HOST_REFERENCE="Z:$work/reference" ZD_HOST_FRAMES="Z:$work/frames" ZD_HOST_SPHERE_FRAMES=$sphereFrames \
  in_session ./wine_tests.exe hostparity
status=$?
if [ $status -eq 0 ] && [ "$bits" = 64 ]; then
  rm -rf "$kept"
  mkdir -p "$kept"
  cp "$recording" "$kept/"
  for ((i = 0; i < keptFrames; ++i)); do cp "$(printf '%s/frames/frame%05d.png' "$work" $i)" "$kept/"; done
fi
[ $status -eq 0 ] && [ -z "${ZD_KEEP_FRAMES:-}" ] && rm -rf "$work"
exit $status
