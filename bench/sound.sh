#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# How closely the number ticks follow the numbers on screen. Starts a sound
# server of its own (PulseAudio, no other clients) with a null sink and runs
# bench/sound_timing against it on Xvfb (1280x800) with openbox, as the flash
# benchmark does: the program runs without real-time permission, as a
# learner's does; screen_watch (started by sound_timing) sees the numbers'
# ink, the program records the sink's monitor and prints the tick-to-ink
# offsets at 0.10 s and 1.00 s a number, with the time base it used.
# Usage: bench/sound.sh [build-dir] [terms at 0.10 s] [terms at 1.00 s] [series per pace]
set -euo pipefail
build=$(realpath "${1:-build-release}")
shift || true
[ -x "$build/bench/sound_timing" ] || {
  echo "no $build/bench/sound_timing: build the target sound_timing (needs libpulse-dev and the xcb headers)" >&2
  exit 1
}

if [ -z "${PELATTO_IN_XVFB:-}" ]; then
  PELATTO_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$build" "$@"
fi
unset QT_QPA_PLATFORM

# The null sink renders a little ahead of playing and hands each block to its
# monitor then; a rewind (the server re-rendering what was rendered ahead,
# done when a stream starts) would hand the monitor the same moments twice
# and shift the recording against the clock, so it is switched off.
dir=$(mktemp -d /tmp/pelatto-sound.XXXXXX)
export HOME=$dir XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir/pulse
export PULSE_SERVER=unix:$dir/native
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
  --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
  --load="module-null-sink sink_name=bench rate=48000 channels=1 norewinds=1" \
  >"$dir/pulseaudio.log" 2>&1 &
server=$!
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $server $wm 2>/dev/null; wait $server $wm 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink bench
echo "sound server: $(pactl info | grep 'Server Version'), sink: $(pactl list short sinks | cut -f2,4-)"
sleep 1

setpriv --bounding-set=-sys_nice --inh-caps=-sys_nice "$build/bench/sound_timing" "$@" &
driver=$!
# The measuring instruments get real-time priority where the machine permits,
# so that they do not wait behind other work.
for _ in $(seq 100); do
  w=$(pgrep -P "$driver" screen_watch || true)
  [ -n "$w" ] && break
  sleep 0.1
done
[ -n "${w:-}" ] && chrt -f -p 80 "$w" 2>/dev/null || true
chrt -a -f -p 70 "$server" 2>/dev/null || true
wait "$driver"
