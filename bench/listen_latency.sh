#!/usr/bin/env bash
# Runs listen_latency against a private PulseAudio server with a null sink as
# the default output, while a tone plays into it, then stops the server.
#   bench/listen_latency.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build/linux}
seconds=${2:-10}
folder=$(mktemp -d)
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$folder"
}
trap cleanup EXIT

HOME=$folder XDG_RUNTIME_DIR=$folder pulseaudio --daemonize=no -n --exit-idle-time=-1 \
  --use-pid-file=no --disable-shm=yes \
  -L "module-native-protocol-unix socket=$folder/native auth-anonymous=1" \
  -L "module-null-sink sink_name=zd_bench sink_properties=device.description=ZdBenchSink" \
  2>"$folder/log" &
server=$!
export PULSE_SERVER=unix:$folder/native
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

# A 220 Hz tone long enough for the run.
ffmpeg -v error -f lavfi -i "sine=frequency=220:duration=$((seconds + 5))" -ac 2 "$folder/tone.wav"
# The null sink renders in large blocks while nothing plays; the tone sets
# the pace of a playing sink before the measurement starts.
paplay "$folder/tone.wav" 2>/dev/null &
sleep 1
"$build/bin/listen_latency" "$seconds"
