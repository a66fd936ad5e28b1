#!/usr/bin/env bash
# How closely the number ticks follow the numbers on screen. Starts a sound
# server of its own (PulseAudio, no other clients) with a null sink, runs
# bench/sound_timing against it under Xvfb, which records the sink's monitor
# with parec and prints the tick-to-picture offsets at 0.10 s and 1.00 s a
# number. Usage: bench/sound.sh [build-dir] [terms at 0.10 s] [terms at 1.00 s]
set -euo pipefail
build=$(realpath "${1:-build-release}")
shift || true

dir=$(mktemp -d /tmp/pelatto-sound.XXXXXX)
export HOME=$dir XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir/pulse
export PULSE_SERVER=unix:$dir/native
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
  --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
  --load="module-null-sink sink_name=bench rate=48000 channels=1" \
  >"$dir/pulseaudio.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink bench
echo "sound server: $(pactl info | grep 'Server Version'), sink: $(pactl list short sinks | cut -f2,4-)"

xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bench/sound_timing" "$@"
