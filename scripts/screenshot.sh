#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshot that software centres show: the trainer on Xvfb
# (1280x720, openbox), a drill of 3-digit numbers with a number on screen,
# with settings and history of its own so the learner's files stay out of it.
#   bash scripts/screenshot.sh [PROGRAM] [OUTPUT]
# Needs imagemagick (import) and xdotool besides what scripts/setup.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

program=$(realpath "${1:-build/pelatto}")
output=${2:-data/screenshots/drill.png}
for tool in import xdotool Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing" >&2; exit 1; }
done

home=$(mktemp -d)
display=:95
pids=()
cleanup() {
  for ((k = ${#pids[@]} - 1; k >= 0; k--)); do kill "${pids[k]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT

mkdir -p "$home/config/pelatto" "$home/data"
cat >"$home/config/pelatto/pelatto.conf" <<'EOF'
[General]
version=1
longest=3
shortest=3
terms=10
pace=300
runLength=1
grouping=false
answerMode=automatic
EOF

Xvfb "$display" -screen 0 1280x720x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$display XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1
"$program" >/dev/null 2>&1 &
pids+=($!)
window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --class pelatto 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "screenshot: the window did not open" >&2; exit 1; }
sleep 1
xdotool key --window "$window" F5
# The countdown takes 3.84 s; at 3 s a number, each stands for 1.5 s. The
# second number is well on screen 5.5 s after the start.
sleep 5.5
mkdir -p "$(dirname "$output")"
import -display "$display" -window "$window" -strip "$output"
echo "screenshot: $output"
