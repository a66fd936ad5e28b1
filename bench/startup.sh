#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Time from launch to the window being viewable, and the resident memory of
# the idle program, under Xvfb with a window manager. Prints each run and
# the medians. Usage: bench/startup.sh [path/to/pelatto] [runs]
set -euo pipefail
exe=$(realpath "${1:-build/pelatto}")
runs=${2:-7}

if [ -z "${PELATTO_IN_XVFB:-}" ]; then
  PELATTO_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$exe" "$runs"
fi
openbox >/dev/null 2>&1 &
wm=$!
sleep 1

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
times=() rss=()
for ((k = 1; k <= runs; k++)); do
  start=$(date +%s%N)
  "$exe" >/dev/null 2>&1 &
  pid=$!
  until xwininfo -name Pelatto 2>/dev/null | grep -q IsViewable; do sleep 0.005; done
  t=$((($(date +%s%N) - start) / 1000000))
  sleep 2
  r=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "run $k: window viewable after $t ms, idle RSS $((r / 1024)) MiB"
  times+=("$t") rss+=("$r")
done
kill "$wm" 2>/dev/null || true
echo "median start-up: $(printf '%s\n' "${times[@]}" | median) ms"
echo "median idle RSS: $(($(printf '%s\n' "${rss[@]}" | median | cut -d. -f1) / 1024)) MiB"
