#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up side by side: the time from launch to the window being viewable
# (seen from the X server by startup_watch) and the idle program's resident
# memory, under Xvfb with a window manager. Given two programs (say the bare
# window and this build), runs them alternately in one session, so both see
# the same machine, and prints each one's medians and the second's ratio to
# the first. Every run starts in fresh folders, in two cases:
#   first start  no remembered settings, no history
#   learner's    remembered settings unlike the defaults (colours, answers
#                later, grouping, ...) and a history of 2000 problems
#
# Usage: bench/startup.sh [--runs N] PROGRAM [PROGRAM2]
# startup_watch (and history_bench, which writes the learner's history) are
# taken from the bench/ folder beside either program's build, or from
# STARTUP_WATCH and HISTORY_BENCH.
set -euo pipefail
runs=15
if [ "${1:-}" = --runs ]; then
  runs=$2
  shift 2
fi
[ $# -ge 1 ] || {
  echo "usage: bench/startup.sh [--runs N] PROGRAM [PROGRAM2]" >&2
  exit 2
}
programs=()
for p in "$@"; do programs+=("$(realpath "$p")"); done

beside() { # the first bench tool NAME found beside the programs, the last program first
  for ((k = ${#programs[@]} - 1; k >= 0; k--)); do
    local f
    f="$(dirname "${programs[$k]}")/bench/$1"
    if [ -x "$f" ]; then
      echo "$f"
      return
    fi
  done
}
watch=${STARTUP_WATCH:-$(beside startup_watch)}
history=${HISTORY_BENCH:-$(beside history_bench)}
[ -x "$watch" ] || {
  echo "startup_watch not found: build the target startup_watch" >&2
  exit 1
}

if [ -z "${PELATTO_IN_XVFB:-}" ]; then
  PELATTO_IN_XVFB=1 STARTUP_WATCH=$watch HISTORY_BENCH=$history \
    exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" --runs "$runs" "${programs[@]}"
fi

work=$(mktemp -d)
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1

# The learner's folders, copied afresh for every run.
mkdir -p "$work/learner/config/pelatto" "$work/learner/data/pelatto"
cat >"$work/learner/config/pelatto/pelatto.conf" <<'EOF'
[General]
version=1
longest=5
shortest=3
mix=2
terms=12
pace=80
extension=0
runLength=10
grouping=true
answerMode=later
countdownSpeed=2
textColour=#ffff80
backColour=#202060
sound=false
screen=0
EOF
if [ -x "$history" ]; then
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work "$history" --problems 2000 --closes 0 \
    --dir "$work/learner/data/pelatto" >/dev/null 2>&1
else
  echo "history_bench not found: the learner's case runs without a history"
fi

run() { # CASE PROGRAM: prints "MS RSS_KIB PSS_KIB"
  local home=$work/run
  rm -rf "$home"
  mkdir -p "$home/config" "$home/data" "$home/cache" "$home/runtime"
  chmod 700 "$home/runtime"
  [ "$1" = learner ] && cp -r "$work/learner/." "$home/"
  XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache \
    XDG_RUNTIME_DIR=$home/runtime "$watch" Pelatto 2000 "$2" 2>/dev/null
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

n=${#programs[@]}
for k in "${!programs[@]}"; do echo "program $((k + 1)): ${programs[$k]}"; done
echo "runs: $runs per program and case, alternating"
for case in first learner; do
  declare -A ms=() rss=()
  for ((r = 0; r < runs; r++)); do
    # ABBA: neither program always goes first.
    for ((j = 0; j < n; j++)); do
      k=$(((r % 2) ? n - 1 - j : j))
      read -r t m _ < <(run "$case" "${programs[$k]}")
      ms[$k]+="$t "
      rss[$k]+="$m "
    done
  done
  echo "== $case start"
  for ((k = 0; k < n; k++)); do
    mt=$(tr ' ' '\n' <<<"${ms[$k]}" | grep . | median)
    mr=$(tr ' ' '\n' <<<"${rss[$k]}" | grep . | median)
    printf 'program %d: window viewable after %.1f ms, idle RSS %.1f MiB (median)   [%s]\n' \
      $((k + 1)) "$mt" "$(awk "BEGIN {print $mr / 1024}")" "${ms[$k]% }"
    eval "mt$k=$mt mr$k=$mr"
  done
  if [ "$n" = 2 ]; then
    # shellcheck disable=SC2154 # mt0, mt1, mr0 and mr1 are set by the eval above
    awk "BEGIN {printf \"ratio 2/1: start-up %.2f, idle RSS %.2f\\n\", $mt1 / $mt0, $mr1 / $mr0}"
  fi
  unset ms rss
done
