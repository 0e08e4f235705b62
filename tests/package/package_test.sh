#!/usr/bin/env bash
# The Debian package end to end: build it, install it with dpkg, render two
# seconds of the demo with the installed program from PATH, find the manual
# page, check the desktop's menu entry, its icon and the AppStream metadata
# with their validators, remove the package and check that none of its files
# are left.
# Needs root and dpkg; anywhere else it skips (exit 77).
#   tests/package/package_test.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
skip() {
  echo "SKIP: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in dpkg dpkg-deb dpkg-shlibdeps cpack man desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
if dpkg-query -W -f='${Status}' zephyrdome 2>/dev/null | grep -q 'ok installed'; then
  skip "a zephyrdome package is installed already; leaving it alone"
fi

work=$(mktemp -d)
installed=0
cleanup() {
  [ "$installed" -eq 0 ] || dpkg_waiting --purge zephyrdome || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail -n 3 "$work/cpack.log")"
deb=$(ls "$work"/package/zephyrdome_*_amd64.deb)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
echo "depends: $(dpkg-deb -f "$deb" Depends)"
echo "recommends: $(dpkg-deb -f "$deb" Recommends)"

# dpkg takes no turns: while apt or another dpkg holds its lock, wait (up to 5 minutes).
dpkg_waiting() {
  local try
  for try in $(seq 150); do
    dpkg "$@" >"$work/dpkg.log" 2>&1 && return 0
    grep -q 'lock' "$work/dpkg.log" || return 1
    sleep 2
  done
  return 1
}
dpkg_waiting -i "$deb" || fail "dpkg -i: $(tail -n 3 "$work/dpkg.log")"
installed=1
dpkg -L zephyrdome >"$work/files"

# From a clean PATH and another folder, so nothing of the build tree is used.
program=$(env -i PATH=/usr/local/bin:/usr/bin:/bin bash -c 'command -v zephyrdome')
[ "$program" = /usr/bin/zephyrdome ] || fail "zephyrdome on PATH is '$program'"
(cd "$work" && env -i PATH=/usr/bin:/bin HOME="$work" zephyrdome render -o demo.mp4 --duration 2s -q) ||
  fail "the installed zephyrdome could not render"
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
  -of csv=p=0 "$work/demo.mp4")
[ "$frames" = 80 ] || fail "the video has $frames frames, not 80"
env -i PATH=/usr/bin:/bin zephyrdome --version | grep -q '^zephyrdome [0-9]' || fail "--version"
man -w zephyrdome >/dev/null || fail "man -w zephyrdome finds no page"
[ -f /usr/share/bash-completion/completions/zephyrdome ] || fail "no bash completion"

# The menu entry starts `zephyrdome listen` from PATH and names an icon the
# hicolor theme has at every size menus ask for; the validators pass offline.
entry=/usr/share/applications/org.zephyrdome.zephyrdome.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
grep -qx 'Exec=zephyrdome listen' "$entry" || fail "the menu entry does not start zephyrdome listen"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16x16 24x24 32x32 48x48 64x64 128x128 256x256; do
  file "/usr/share/icons/hicolor/$size/apps/$icon.png" | grep -q "PNG image data, ${size/x/ x }" ||
    fail "no $size PNG icon '$icon'"
done
[ -s "/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon '$icon'"
appstreamcli validate --no-net /usr/share/metainfo/org.zephyrdome.zephyrdome.metainfo.xml \
  >"$work/appstream.log" 2>&1 || fail "appstreamcli: $(tail -n 3 "$work/appstream.log")"

dpkg_waiting --purge zephyrdome || fail "dpkg --purge: $(tail -n 3 "$work/dpkg.log")"
installed=0
left=0
while read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then
    echo "left behind: $path" >&2
    left=1
  fi
done <"$work/files"
for folder in /usr/lib/zephyrdome /usr/share/doc/zephyrdome; do
  [ ! -e "$folder" ] || { echo "left behind: $folder" >&2; left=1; }
done
[ "$left" -eq 0 ] || fail "files of the package are still there after removal"
echo "installed, rendered 80 frames, found the manual and a valid menu entry, removed cleanly"
