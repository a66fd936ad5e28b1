#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A class on this machine: the teacher's program with its own Mosquitto, 40
# learners with clocks set off on purpose (each its own process, offscreen),
# and one more learner behind a slow, uneven link (a delaying proxy on
# loopback). Two runs of 10 problems at 0.10 s a number; in the second the
# broker is stopped and started again as the first problem's answers are typed.
# Prints, per run: each number's onset spread across the 40 learners on the
# shared monotonic clock (median, p99, max) and their lateness against the
# teacher's schedule, the slow learner's onsets against the others', each
# learner's clock-offset estimate against its true offset, the answers
# gathered, and the time from a learner's Enter to the teacher's board.
#
#   bash bench/classroom.sh [BUILD] [LEARNERS]     (BUILD: build-release, with tests)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
learners=${2:-40}
member="$build/tests/class_member"
proxy="$build/bench/slow_link"
[ -x "$member" ] && [ -x "$proxy" ] || {
  echo "build $build first (targets class_member and slow_link)" >&2
  exit 2
}

source bench/class_members.sh
class_work classroom
export QT_QPA_PLATFORM=offscreen
class_teacher "$member" --teach bench
port=${url##*:}

# The slow learner's link: every chunk held 5 to 30 ms, in order.
slowport=$((port + 1))
"$proxy" "$slowport" "$port" 5 30 &
pids+=($!)

offset() { echo $(((($1 * 7919) % 20001 - 10000) * 537731)); }  # within ±5.4 s
join() {
  PELATTO_TEST_CLOCK_OFFSET_NS=$2 "$member" --data "$work/$1" --type right -- \
    --join "$3" --room "$room" --name "$1" --password "$password" \
    </dev/null >"$work/$1.out" 2>/dev/null &
  pids+=($!)
}
for ((k = 1; k <= learners; k++)); do join "L$k" "$(offset "$k")" "$url"; done
join slow "$(offset 999)" "mqtt://127.0.0.1:$slowport"
echo "waiting for $((learners + 1)) learners to be ready" >&2
for _ in $(seq 600); do
  ready=$(grep '^B ' "$work/teacher.out" | tail -1 | cut -d' ' -f3)
  [ "${ready:-0}" -ge $((learners + 1)) ] && break
  sleep 0.2
done

lines() { grep -c "$1" "$work/teacher.out" || true; }
run() {  # $1: restart the broker mid-run
  local before
  before=$(lines '^E RunEnded')
  echo "settings longest=3 shortest=3 terms=10 pace=10 runLength=10 answerMode=later" >&3
  sleep 0.5
  echo start >&3
  if [ "$1" = yes ]; then
    until [ "$(lines '^E SeriesEnded')" -gt "$((before * 10))" ]; do sleep 0.005; done
    kill -TERM "$(pgrep -P "$teacher" mosquitto)"  # the teacher's program starts it again
  fi
  until [ "$(lines '^E RunEnded')" -gt "$before" ]; do sleep 0.2; done
  echo answer >&3  # the run's answers are shown: the learners mark theirs
  sleep 3
}

# Figures over one run: the lines of each member belonging to run $1 (1 or 2).
report() {
  local r=$1
  awk -v run="$r" -v learners="$learners" -v workdir="$work" '
    function member(file, name, off,   line, f, started, n) {
      started = 0; n = 0
      while ((getline line < file) > 0) {
        split(line, f, " ")
        if (f[1] == "E" && f[2] == "Started") started++
        if (started != run) continue
        if (f[1] == "O") { est[name] = f[2]; trip[name] = f[3] }
        if (f[1] == "E" && f[2] == "NumberShown") { n++; due[name, n] = f[5] - off }
        if (f[1] == "T") shown[name, f[2] - off] = f[3] - off
      }
      close(file)
      return n
    }
    function pct(arr, k, p,   i) { i = int(p * (k - 1) + 0.5) + 1; return arr[i] }
    function sortn(arr, k,   i, j, t) {
      for (i = 2; i <= k; i++) { t = arr[i]; for (j = i - 1; j > 0 && arr[j] > t; j--) arr[j + 1] = arr[j]; arr[j + 1] = t }
    }
    BEGIN {
      numbers = member(workdir "/teacher.out", "teacher", 0)
      for (k = 1; k <= learners; k++) { off[k] = ((((k * 7919) % 20001) - 10000) * 537731); member(workdir "/L" k ".out", "L" k, off[k]) }
      slowoff = ((((999 * 7919) % 20001) - 10000) * 537731)
      member(workdir "/slow.out", "slow", slowoff)
      ns = 0; nl = 0; nslow = 0; nd = 0
      for (i = 1; i <= numbers; i++) {
        lo = 1e30; hi = -1e30; c = 0
        for (k = 1; k <= learners; k++) {
          d = due["L" k, i]
          if (d == "" || (("L" k, d) in shown) == 0) continue
          t = shown["L" k, d]; c++
          if (t < lo) lo = t; if (t > hi) hi = t
          late[++nl] = t - due["teacher", i]
          dd = d - due["teacher", i]; if (dd < 0) dd = -dd; duediff[++nd] = dd
          on[c] = t
        }
        if (c == 0) continue
        spread[++ns] = hi - lo
        sortn(on, c); med = on[int((c + 1) / 2)]
        d = due["slow", i]
        if (d != "" && (("slow", d) in shown)) { x = shown["slow", d] - med; slowdiff[++nslow] = (x < 0 ? -x : x) }
      }
      sortn(spread, ns); sortn(late, nl); sortn(slowdiff, nslow); sortn(duediff, nd)
      printf "  onset spread across %d learners, %d numbers: median %.2f ms, p99 %.2f ms, max %.2f ms\n", learners, ns, pct(spread, ns, .5) / 1e6, pct(spread, ns, .99) / 1e6, spread[ns] / 1e6
      printf "  onset after the teacher'"'"'s schedule: median %.2f ms, p99 %.2f ms, max %.2f ms\n", pct(late, nl, .5) / 1e6, pct(late, nl, .99) / 1e6, late[nl] / 1e6
      printf "  schedule (due time) against the teacher'"'"'s: median %.3f ms, max %.3f ms\n", pct(duediff, nd, .5) / 1e6, duediff[nd] / 1e6
      printf "  slow learner (5-30 ms link), %d numbers: onset against the class median: median %.2f ms, max %.2f ms\n", nslow, pct(slowdiff, nslow, .5) / 1e6, slowdiff[nslow] / 1e6
      n = 0
      for (k = 1; k <= learners; k++) { e = est["L" k] + off[k]; err[++n] = (e < 0 ? -e : e); rt[n] = trip["L" k] }
      sortn(err, n); sortn(rt, n)
      e = est["slow"] + slowoff
      printf "  clock offset estimate at the start against the injected offset: median %.1f us, max %.1f us (its round trip: median %.2f ms, max %.2f ms); slow learner %.1f us (round trip %.1f ms)\n", pct(err, n, .5) / 1e3, err[n] / 1e3, pct(rt, n, .5) / 1e6, rt[n] / 1e6, (e < 0 ? -e : e) / 1e3, trip["slow"] / 1e6
    }'
}

answers() {  # $1: first position of the run
  local from ends
  from=$(($(wc -l <"$work/teacher.out") + 1))
  ends=$(lines '^A end')
  echo answers >&3
  until [ "$(lines '^A end')" -gt "$ends" ]; do sleep 0.1; done
  tail -n "+$from" "$work/teacher.out" | awk -v from="$1" -v to="$(($1 + 9))" -v learners="$learners" '
    $1 == "A" && $2 != "end" && $3 >= from && $3 <= to {
      if ($2 == "slow") { slow++; next }
      total++; if ($5 == 1) right++
      if ($6 >= 0) lat[++n] = $6
    }
    END {
      for (i = 2; i <= n; i++) { t = lat[i]; for (j = i - 1; j > 0 && lat[j] > t; j--) lat[j + 1] = lat[j]; lat[j + 1] = t }
      printf "  answers gathered: %d/%d (marked right %d), slow learner %d/10\n", total, learners * 10, right, slow
      printf "  answer to board: median %.2f ms, p99 %.2f ms, max %.2f ms (%d live answers)\n", lat[int(n / 2) + 1] / 1e3, lat[int(.99 * (n - 1) + .5) + 1] / 1e3, lat[n] / 1e3, n
    }'
}

echo "classroom: $learners learners + 1 slow, 10 problems of 10 three-digit numbers at 0.10 s"
run no
echo "run 1, quiet:"
report 1
answers 1
run yes
echo "run 2, broker stopped and restarted as the first answers are typed:"
report 2
answers 11
echo quit >&3
