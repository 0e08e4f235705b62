#!/usr/bin/env bash
# The live window at 1920x1080 full screen against the plug-in's own 634x458,
# on a private Xvfb with openbox: `zephyrdome play --no-sound` for SECONDS in
# each look, the looks alternating RUNS times. Prints frames/s and the CPU ms
# a frame of the program and of the X server (where XRender scales), and
# what full screen costs over the unscaled window: the X server's extra CPU.
#   bench/live_scaling.sh [PROGRAM] [SECONDS] [RUNS]
set -euo pipefail
program=${1:-build/linux/bin/zephyrdome}
seconds=${2:-10}
runs=${3:-2}
folder=$(mktemp -d)
server=
manager=
cleanup() {
  [ -z "$manager" ] || kill "$manager" 2>/dev/null || true
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$folder"
}
trap cleanup EXIT

exec 3>"$folder/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 2>/dev/null &
server=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$folder/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$folder/display")
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
sleep 1

ticks=$(getconf CLK_TCK)
# User plus system CPU of a process, in ms.
cpu_ms() { awk -v t="$ticks" '{ print ($14 + $15) * 1000 / t }' "/proc/$1/stat"; }

# One run: frames/s, and CPU ms a frame of the program and of the X server.
measure() {
  local before after frames rate
  before=$(cpu_ms "$server")
  ( "$program" play --no-sound --duration "${seconds}s" "$@" 2>"$folder/summary"; times ) \
    >"$folder/times"
  after=$(cpu_ms "$server")
  frames=$(sed -E 's/.*played ([0-9]+) frames.*/\1/' "$folder/summary")
  rate=$(sed -E 's/.*\(([0-9.]+) frames\/s.*/\1/' "$folder/summary")
  # The second line of `times`: the children's user and system time.
  sed -n 2p "$folder/times" | awk -v f="$frames" -v r="$rate" -v s="$((after - before))" '{
    split($1, u, /[ms]/); split($2, k, /[ms]/)
    host = (u[1] * 60 + u[2] + k[1] * 60 + k[2]) * 1000 / f
    printf "%6.2f frames/s  host %5.2f ms  X server %5.2f ms a frame\n", r, host, s / f }'
}

echo "uptime: $(uptime)"
for run in $(seq "$runs"); do
  printf '634x458 window        '; measure | tee -a "$folder/plain"
  printf '1920x1080 smooth      '; measure --fullscreen | tee -a "$folder/smooth"
  printf '1920x1080 nearest     '; measure --fullscreen --scale-filter nearest |
    tee -a "$folder/nearest"
done
# The scaling runs in the X server: its median CPU a frame in each look against
# the unscaled window's is what full screen costs. The program's own CPU a
# frame is the same in every look, up to the machine's noise.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
plain=$(awk '{ print $8 }' "$folder/plain" | median)
for look in smooth nearest; do
  awk -v p="$plain" -v l="$(awk '{ print $8 }' "$folder/$look" | median)" \
    -v h="$(awk '{ print $4 }' "$folder/$look" | median)" \
    -v hp="$(awk '{ print $4 }' "$folder/plain" | median)" -v n="$look" 'BEGIN {
    printf "full screen %s: the X server %.2f ms a frame more (median %.2f against %.2f); the program %.2f against %.2f\n",
      n, l - p, l, p, h, hp }'
done
