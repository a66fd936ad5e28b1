#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the random learner-action exerciser for as long as asked, in a
# Release build of its own:
#   bash scripts/exercise.sh --actions 1000000
#   bash scripts/exercise.sh --minutes 10 [--seed 12345] [--length 300]
# Every sequence prints its seed; a failing one is shrunk and printed with a
# line that replays it (PELATTO_EXERCISE_SEED=... PELATTO_EXERCISE_REPLAY=...).
set -euo pipefail
cd "$(dirname "$0")/.."

actions="" minutes="" seed="${PELATTO_EXERCISE_SEED:-$(date +%s)}" length=300
while [ $# -gt 0 ]; do
  case "$1" in
    --actions) actions="$2"; shift 2 ;;
    --minutes) minutes="$2"; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --length) length="$2"; shift 2 ;;
    *) echo "usage: $0 [--actions N | --minutes M] [--seed S] [--length L]" >&2; exit 2 ;;
  esac
done

cmake -S . -B build-exercise -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-exercise -j"$(nproc)" --target test_exerciser >/dev/null
export QT_QPA_PLATFORM=offscreen PELATTO_EXERCISE_LENGTH="$length"

if [ -z "$minutes" ]; then
  PELATTO_EXERCISE_SEED="$seed" PELATTO_EXERCISE_ACTIONS="${actions:-1000000}" \
    build-exercise/tests/test_exerciser -maxwarnings 0
  exit
fi

# Timed mode: batches of 30000 actions with fresh seeds until the time is up.
end=$(($(date +%s) + minutes * 60)) status=0
while [ "$(date +%s)" -lt "$end" ]; do
  PELATTO_EXERCISE_SEED="$seed" PELATTO_EXERCISE_ACTIONS=30000 \
    build-exercise/tests/test_exerciser -maxwarnings 0 || status=1
  seed=$((seed + 30000))
done
exit "$status"
