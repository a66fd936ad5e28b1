#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The flash benchmark on a Wayland compositor: weston's headless backend
# (1280x800, 60 Hz, software rendering) with the program on Qt's wayland
# platform, in the conditions of the X11 benchmark: a quiet machine; two
# CPU-bound processes; the same load with the program allowed real-time
# scheduling. With several build directories each condition runs each
# build in turn, so they share the machine's state.
# Usage: bench/flash_wayland.sh [series] [build-dir...]
set -euo pipefail
series=${1:-20}
shift || true
builds=()
for b in "${@:-build-release}"; do builds+=("$(realpath "$b")"); done

runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=pelatto-bench QT_QPA_PLATFORM=wayland
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --width=1280 --height=800 \
  --use-pixman --idle-time=0 >"$runtime/weston.log" 2>&1 &
compositor=$!

# shellcheck source=bench/load.sh
source "$(dirname "$0")/load.sh"
trap 'stop_load; kill $compositor 2>/dev/null || true; rm -rf "$runtime"' EXIT
for _ in $(seq 50); do
  [ -S "$runtime/$WAYLAND_DISPLAY" ] && break
  sleep 0.1
done

unprivileged=(setpriv --bounding-set=-sys_nice --inh-caps=-sys_nice)
run() {
  local label=$1
  shift
  for build in "${builds[@]}"; do
    echo "== $label ($build)"
    "$@" "$build/bench/flash_wayland" "$series" || echo "(the benchmark failed)"
    echo
  done
}

run "quiet" "${unprivileged[@]}"
start_load
run "two CPU-bound processes" "${unprivileged[@]}"
run "two CPU-bound processes, real-time scheduling allowed" env
stop_load
