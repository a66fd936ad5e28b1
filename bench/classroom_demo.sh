#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A class to look at: a teacher and three learners, each in its own window
# on one Xvfb screen (2560x1440, tiled 2x2), run 5 problems at 0.50 s a
# number; screenshots of every window during numbers and reveals, and of
# the teacher's board at the end, go to OUT.
#
#   bash bench/classroom_demo.sh [BUILD] [OUT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-classroom-shots}")
if [ -z "${PELATTO_IN_XVFB:-}" ]; then
  PELATTO_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 2560x1440x24" bash "$0" "$build" "$out"
fi
mkdir -p "$out"
source bench/class_members.sh
member="$build/tests/class_member"
class_work demo
export QT_QPA_PLATFORM=xcb HOME=$work/home
class_teacher "$member" --teach demo
echo "teacher: $url $room $password"
names=(あおい けんた さくら)
typing=(right right wrong)
offsets=(2500000000 -1700000000 900000000)
for k in 0 1 2; do
  PELATTO_TEST_CLOCK_OFFSET_NS=${offsets[$k]} "$member" --data "$work/l$k" --type "${typing[$k]}" -- \
    --join "$url" --room "$room" --name "${names[$k]}" --password "$password" \
    </dev/null >"$work/l$k.out" 2>/dev/null &
  pids+=($!)
done
for _ in $(seq 200); do
  [ "$(grep '^B ' "$work/teacher.out" | tail -1 | cut -d' ' -f3)" = 3 ] && break
  sleep 0.2
done

# Tile the four main windows 2x2; the board waits out of sight until the end.
sleep 1
board=$(xdotool search --onlyvisible --name '成績表' | head -1)
xdotool windowunmap "$board"
k=0
for w in $(xdotool search --onlyvisible --name '^Pelatto$'); do
  xdotool windowsize "$w" 1270 700 windowmove "$w" $(((k % 2) * 1280)) $(((k / 2) * 720))
  k=$((k + 1))
done
sleep 1

echo "settings longest=2 shortest=2 terms=5 pace=50 runLength=5 answerMode=automatic" >&3
sleep 1
echo start >&3
for problem in 1 2 3 4 5; do
  until [ "$(grep -c '^E NumberShown 2 ' "$work/teacher.out")" -ge "$problem" ]; do sleep 0.02; done
  sleep 0.1
  import -window root "$out/number-$problem.png"
  until [ "$(grep -c '^E AnswerRevealed' "$work/teacher.out")" -ge "$problem" ]; do sleep 0.1; done
  sleep 0.5
  import -window root "$out/reveal-$problem.png"
done
until grep -q '^E RunEnded' "$work/teacher.out"; do sleep 0.2; done
sleep 1
xdotool windowmap "$board" windowsize "$board" 1000 560 windowmove "$board" 780 440 windowraise "$board"
sleep 1
import -window root "$out/board.png"
echo "answers" >&3
echo "csv $out/board.csv" >&3
sleep 1
grep -E '^A |^C ' "$work/teacher.out"
for k in 0 1 2; do echo "${names[$k]}: $(grep -c '^E NumberShown' "$work/l$k.out") numbers"; done
echo "teacher: $(grep -c '^E NumberShown' "$work/teacher.out") numbers"
sqlite3 "$work/teacher/history.sqlite" 'SELECT position, learner, total, answer, mark FROM class_answers' 2>/dev/null ||
  echo "(sqlite3 not installed: the history's class_answers not listed)"
echo "quit" >&3
ls "$out"
