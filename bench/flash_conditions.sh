#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the flash benchmark in three conditions on Xvfb (1280x800) with a
# window manager: a quiet machine; two CPU-bound processes; the same load
# with the program allowed real-time scheduling. Without that permission the
# program runs with CAP_SYS_NICE dropped, as a learner's does. The screen
# watcher gets real-time priority where the machine permits, so that the
# measuring instrument does not wait behind the load.
# A fourth run, a diagnostic, also gives the X server real-time priority, to
# show how much of what is left under load is the X server's own wait.
# With several build directories (say, before and after a change) each
# condition runs each build in turn, so they share the machine's state.
# Usage: bench/flash_conditions.sh [series] [build-dir...]
# FLASH_ARGS adds options to every run, e.g. FLASH_ARGS="--history /tmp/fh"
# to run with the program's features and history recording on; a build given
# as "DIR --history /tmp/fh" (one argument) adds them to that build's runs
# only, so that runs with and without them alternate.
set -euo pipefail
series=${1:-20}
shift || true
builds=()
for b in "${@:-build-release}"; do
  read -r dir options <<<"$b"
  builds+=("$(realpath "$dir")${options:+ $options}")
done

if [ -z "${PELATTO_IN_XVFB:-}" ]; then
  PELATTO_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$series" "${builds[@]}"
fi
unset QT_QPA_PLATFORM
openbox >/dev/null 2>&1 &
wm=$!
sleep 1

# shellcheck source=bench/load.sh
source "$(dirname "$0")/load.sh"
trap 'stop_load; kill $wm 2>/dev/null || true' EXIT

unprivileged=(setpriv --bounding-set=-sys_nice --inh-caps=-sys_nice)
run() {
  for build in "${builds[@]}"; do
    run_one "$build" "$@"
  done
}
run_one() {
  local build options extra=()
  read -r build options <<<"$1"
  echo "== $2 ($1)"
  shift 2
  read -ra extra <<<"${FLASH_ARGS:-} ${options:-}"
  "$@" "$build/bench/flash_timing" "$build/bench/screen_watch" "$series" "${extra[@]}" &
  local driver=$!
  local w=""
  for _ in $(seq 100); do
    w=$(pgrep -P "$driver" screen_watch || true)
    [ -n "$w" ] && break
    sleep 0.1
  done
  [ -n "$w" ] && chrt -f -p 80 "$w" 2>/dev/null || true
  wait "$driver" || echo "(the benchmark failed)"
  echo
}

run "quiet" "${unprivileged[@]}"
start_load
run "two CPU-bound processes" "${unprivileged[@]}"
run "two CPU-bound processes, real-time scheduling allowed" env
xserver=$(pgrep -f "Xvfb ${DISPLAY} " | head -1 || true)
if [ -n "$xserver" ] && chrt -f -p 70 "$xserver" 2>/dev/null; then
  run "two CPU-bound processes, real-time allowed, X server real-time too (diagnostic)" env
  chrt -o -p 0 "$xserver" || true
fi
stop_load
