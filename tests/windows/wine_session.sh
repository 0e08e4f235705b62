#!/usr/bin/env bash
# Runs the Windows test programs under Wine, each in one shared session per
# ctest run: a private Xvfb and a fresh Wine prefix. Every program starts as
#   /usr/lib/wine/wine64 PROGRAM
# and for 32-bit programs Wine's 32-bit loader runs natively where the CPU
# can, else under qemu-i386. The emulated loader is put in place only inside a
# private mount namespace of each test (a wrapper bound over
# /usr/lib/wine/wine), so Wine stays untouched for everything else here.
#   wine_session.sh start DIR BITS [WARMUP...]  the ctest fixture's setup
#   wine_session.sh run DIR PROGRAM...  one test; exit 77 (skipped) without Wine
#   wine_session.sh stop DIR            the fixture's cleanup
# ZD_WINE32=qemu forces the emulated loader (to measure it on a CPU that runs
# 32-bit code).
set -uo pipefail
action=$1
dir=$2
shift 2
skipCode=77
loader32=/usr/lib/wine/wine

skip() {
  echo "$1" >"$dir/skipped"
  echo "SKIPPED: $1"
  exit 0
}

# The session's environment, written by start and read by every run.
loadEnv() {
  export WINEPREFIX=$dir/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
  export DISPLAY=:$(cat "$dir/display")
  emulated=$(cat "$dir/loader32" 2>/dev/null || echo native)
}

# A copy of the 32-bit loader in a tree shaped like /usr, so that it finds
# its libraries and data through the same relative paths.
prepareEmulatedLoader() {
  local root=$dir/root
  mkdir -p "$root/lib/wine" "$root/share"
  cp "$loader32" "$root/lib/wine/wine"
  ln -sfn /usr/lib/wine/wine64 "$root/lib/wine/wine64"
  ln -sfn /usr/lib/wine/wineserver "$root/lib/wine/wineserver"
  ln -sfn /usr/lib/i386-linux-gnu "$root/lib/i386-linux-gnu"
  ln -sfn /usr/share/wine "$root/share/wine"
  printf '#!/bin/sh\nexec qemu-i386 -L / "%s" "$@"\n' "$root/lib/wine/wine" >"$dir/wine32-emulated"
  chmod +x "$dir/wine32-emulated"
}

wineRun() {
  if [ "$emulated" = qemu ]; then
    unshare -m --propagation private sh -c \
      'mount --bind "$0" /usr/lib/wine/wine && exec /usr/lib/wine/wine64 "$@"' \
      "$dir/wine32-emulated" "$@"
  else
    /usr/lib/wine/wine64 "$@"
  fi
}

chooseLoader32() {
  [ -x "$loader32" ] || skip "32-bit Wine can't start: $loader32 (wine32:i386) is not installed"
  if [ "${ZD_WINE32:-}" != qemu ] && "$loader32" --version >/dev/null 2>&1; then
    echo native >"$dir/loader32"
    return
  fi
  command -v qemu-i386 >/dev/null || skip "32-bit Wine can't start: this CPU runs no 32-bit code and qemu-i386 (qemu-user) is missing"
  prepareEmulatedLoader
  qemu-i386 -L / "$dir/root/lib/wine/wine" --version >/dev/null 2>&1 ||
    skip "32-bit Wine can't start: its loader fails under qemu-i386 ($(qemu-i386 --version | head -1))"
  unshare -m --propagation private true 2>/dev/null ||
    skip "32-bit Wine can't start: no private mount namespace here (unshare -m needs root)"
  echo qemu >"$dir/loader32"
}

start() {
  local bits=$1
  rm -rf "$dir"
  mkdir -p "$dir"
  [ -x /usr/lib/wine/wine64 ] || skip "Wine can't start: /usr/lib/wine/wine64 (wine64) is not installed"
  command -v Xvfb >/dev/null || skip "Wine can't start: Xvfb is not installed"
  [ "$bits" = 32 ] && chooseLoader32
  # Output goes to files: ctest waits for the setup's pipes to close.
  setsid Xvfb -displayfd 3 -screen 0 2048x1536x24 -nolisten tcp 3>"$dir/display" \
    >"$dir/xvfb.log" 2>&1 </dev/null &
  echo $! >"$dir/xvfb.pid"
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
  [ -s "$dir/display" ] || skip "Wine can't start: Xvfb did not come up ($(tail -1 "$dir/xvfb.log"))"
  loadEnv
  # Kept between the test programs, and gone a minute after the last one
  # even if the cleanup never runs.
  setsid /usr/lib/wine/wineserver -p60 >"$dir/wineserver.log" 2>&1 </dev/null
  local began=$SECONDS
  wineRun wineboot -i >"$dir/wineboot.log" 2>&1 </dev/null ||
    skip "Wine can't start: wineboot failed ($(tail -1 "$dir/wineboot.log"))"
  # With no window manager on the display, Wine waits two seconds for one at
  # every destruction of a managed window; ours are left unmanaged.
  wineRun reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$dir/wineboot.log" 2>&1 </dev/null
  echo "prefix created in $((SECONDS - began)) s, 32-bit loader: ${emulated}"
  # The first start after the prefix's creation may come up without its
  # window; a warm-up program that prints no summary never ran at all.
  shift
  if [ $# -gt 0 ]; then
    wineRun "$@" >"$dir/warmup.log" 2>&1 </dev/null || true
    grep -q ' passed, ' "$dir/warmup.log" ||
      skip "Wine can't start $bits-bit programs here: $(tail -1 "$dir/warmup.log")"
  fi
}

run() {
  if [ -f "$dir/skipped" ]; then
    echo "SKIPPED: $(cat "$dir/skipped")"
    exit $skipCode
  fi
  [ -s "$dir/display" ] || { echo "SKIPPED: the Wine session was not started"; exit $skipCode; }
  loadEnv
  wineRun "$@"
}

stop() {
  [ -s "$dir/display" ] && loadEnv && /usr/lib/wine/wineserver -k >/dev/null 2>&1
  [ -s "$dir/xvfb.pid" ] && kill "$(cat "$dir/xvfb.pid")" 2>/dev/null
  rm -rf "$dir/prefix"
  exit 0
}

case $action in
start) start "$@" ;;
run) run "$@" ;;
stop) stop ;;
*) echo "usage: $0 start|run|stop DIR ..." >&2; exit 2 ;;
esac
