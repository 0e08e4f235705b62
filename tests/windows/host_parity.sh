#!/usr/bin/env bash
# The Windows host against the native one: a recording of the demo's bytes,
# made by the native host, rendered with one key and click script by the
# native host over our platform layer and by zephyrdome.exe under Wine; the
# wine_tests group hostparity then compares the two sets of PNG frames.
#   host_parity.sh NATIVE_BIN SESSION_DIR WORK_DIR   (run in the folder of zephyrdome.exe)
# Exit 77 (skipped) when the native host was not built or Wine can't start.
set -uo pipefail
native=$1/zephyrdome
session=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)

if [ ! -x "$native" ]; then
  echo "SKIPPED: no native host at $native (build the linux preset first)"
  exit 77
fi
# Ring modes, rotation off and on with each arrow between, UP held (the
# sphere), a title clicked, the panel hidden and shown, the help page.
script=(--key 0.5:A --key 1:B --key 1.5:C --key 2:D --key 2.3:LEFT --key 2.6:RIGHT
  --key 2.9:DOWN --key 3.2:D --key 3.5:UP:1s --click 5:100,47 --key 5.5:F2 --key 6:F2
  --key 6.5:H --key 7.5:H)

rm -rf "$work"
mkdir -p "$work"
"$native" render --duration 8s -q --vis-out "$work/demo.vis" -o "$work/recorded/" || exit 1
"$native" render --vis-in "$work/demo.vis" -q "${script[@]}" -o "$work/native/" || exit 1
# Wine sees this machine's root as drive Z:.
"$here/wine_session.sh" run "$session" ./zephyrdome.exe render --vis-in "Z:$work/demo.vis" -q \
  "${script[@]}" -o "Z:$work/wine/"
status=$?
[ $status -eq 0 ] || exit $status
ZD_HOST_FRAMES="Z:$work" "$here/wine_session.sh" run "$session" ./wine_tests.exe hostparity
status=$?
# The frames are large; kept only when they disagree.
[ $status -eq 0 ] && [ -z "${ZD_KEEP_FRAMES:-}" ] && rm -rf "$work"
exit $status
