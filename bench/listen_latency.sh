#!/usr/bin/env bash
# Runs listen_latency against the sound server that runs (pactl info answers),
# playing a quiet tone into its default output meanwhile. Where none runs, it
# starts a private one first, with a null sink as the default output, and
# stops it after: PulseAudio, or PipeWire (pipewire, wireplumber and
# pipewire-pulse on a private session bus) with ZD_BENCH_SERVER=pipewire or
# where pulseaudio is not installed.
#   bench/listen_latency.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build/linux}
seconds=${2:-10}
folder=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$folder"
}
trap cleanup EXIT

start_pulseaudio() {
  HOME=$folder XDG_RUNTIME_DIR=$folder pulseaudio --daemonize=no -n --exit-idle-time=-1 \
    --use-pid-file=no --disable-shm=yes \
    -L "module-native-protocol-unix socket=$folder/native auth-anonymous=1" 2>"$folder/log" &
  pids+=($!)
  export PULSE_SERVER=unix:$folder/native
}

# WirePlumber keeps off the machine's devices: null sinks only.
start_pipewire() {
  mkdir -p "$folder/config/wireplumber/main.lua.d"
  printf '%s\n' 'alsa_monitor.enabled = false' 'v4l2_monitor.enabled = false' \
    'libcamera_monitor.enabled = false' >"$folder/config/wireplumber/main.lua.d/90-bench.lua"
  export HOME=$folder XDG_RUNTIME_DIR=$folder XDG_CONFIG_HOME=$folder/config \
    XDG_STATE_HOME=$folder/state DBUS_SESSION_BUS_ADDRESS=unix:path=$folder/bus
  dbus-daemon --session --address="$DBUS_SESSION_BUS_ADDRESS" --nofork --nopidfile 2>"$folder/log" &
  pids+=($!)
  for program in pipewire wireplumber pipewire-pulse; do
    "$program" 2>>"$folder/log" &
    pids+=($!)
    sleep 0.2
  done
  export PULSE_SERVER=unix:$folder/pulse/native
}

volume=65536
if pactl info >/dev/null 2>&1; then
  # The desktop's own output: quietly.
  volume=2000
  echo "server: $(pactl info | sed -n 's/^Server Name: //p') (running)"
else
  if [ "${ZD_BENCH_SERVER:-}" = pipewire ] || ! command -v pulseaudio >/dev/null; then
    start_pipewire
  else
    start_pulseaudio
  fi
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl load-module module-null-sink sink_name=zd_bench \
    sink_properties=device.description=ZdBenchSink >/dev/null
  for _ in $(seq 100); do pactl set-default-sink zd_bench 2>/dev/null && \
    [ "$(pactl get-default-sink)" = zd_bench ] && break; sleep 0.1; done
  echo "server: $(pactl info | sed -n 's/^Server Name: //p') (private)"
fi

# A 220 Hz tone long enough for the run.
ffmpeg -v error -f lavfi -i "sine=frequency=220:duration=$((seconds + 5))" -ac 2 "$folder/tone.wav"
# A null sink renders in large blocks while nothing plays; the tone sets the
# pace of a playing sink before the measurement starts.
paplay --volume=$volume "$folder/tone.wav" 2>/dev/null &
pids+=($!)
sleep 1
"$build/bin/listen_latency" "$seconds"
