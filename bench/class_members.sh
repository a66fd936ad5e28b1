# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the classroom benchmark and demo (sourced): a scratch folder
# that goes at exit with every process started here, and the teacher, run by
# tests/classroom/class_member, reading commands from file descriptor 3.
#   class_work NAME; class_teacher MEMBER ARGS...  ->  $work, $url, $room, $password, $teacher
class_work() {
  work=$(mktemp -d "/tmp/pelatto-$1.XXXXXX")
  export XDG_RUNTIME_DIR=$work/run
  mkdir -m 700 "$work/run"
  pids=()
  trap class_cleanup EXIT
}
class_cleanup() {
  exec 3>&- 2>/dev/null || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
class_teacher() {
  mkfifo "$work/teacher.in"
  "$1" --data "$work/teacher" -- "${@:2}" <"$work/teacher.in" >"$work/teacher.out" 2>/dev/null &
  teacher=$!
  pids+=("$teacher")
  exec 3>"$work/teacher.in"
  for _ in $(seq 100); do grep -q '^J ' "$work/teacher.out" && break; sleep 0.1; done
  read -r _ url room password < <(grep '^J ' "$work/teacher.out")
}
