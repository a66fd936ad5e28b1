# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# The benchmarks' load, sourced by them: two CPU-bound processes, started
# and stopped between conditions.
load=()
start_load() {
  for _ in 1 2; do
    (while :; do :; done) &
    load+=($!)
  done
}
stop_load() {
  for p in "${load[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${load[@]}"; do wait "$p" 2>/dev/null || true; done
  load=()
}
