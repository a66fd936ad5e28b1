#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Tries the Debian package on a fresh, minimal Debian 12: builds it
# (Release), runs lintian on it (no error, no warning), debootstraps bookworm
# (minbase) into a folder under /tmp, installs the package there with apt,
# runs `pelatto --version` and `--help`, checks that the manual page,
# copyright file and changelog are in place, starts the trainer against an X
# server on the host (only its socket is shared, so the program has nothing
# but what the package pulled in), takes a screenshot, validates the
# installed desktop entry and metainfo, removes and purges the package and
# lists every file it left behind. Prints the package size, the packages apt
# pulled in and the time to install.
#
# Needs root, network access to deb.debian.org and a few minutes. Not part of
# the tests. Usage: scripts/package-check.sh [work-dir]
#   BUILD_DIR   build directory for the package (default build-package)
#   KEEP=1      leave the chroot in place afterwards
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "package-check: run it as root (debootstrap, chroot, mount)" >&2; exit 1; }

work=$(realpath -m "${1:-/tmp/pelatto-package-check}")
build=$(realpath -m "${BUILD_DIR:-build-package}")
root=$work/bookworm
tarball=$work/bookworm-minbase.tgz # debootstrap's downloads, kept for re-runs
mirror=http://deb.debian.org/debian
report=$work/report.txt
display=:97
mkdir -p "$work"
: >"$report"
say() { echo "$*" | tee -a "$report"; }

# --- unmounting, whatever happens -------------------------------------------
mounts=()
xvfb=""
app=""
cleanup() {
  set +e
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  for ((k = ${#mounts[@]} - 1; k >= 0; k--)); do
    umount "${mounts[k]}" 2>/dev/null || umount -l "${mounts[k]}"
  done
  mounts=()
  if [ "${KEEP:-0}" != 1 ] && [ -d "$root" ]; then remove_root; fi
}
# Deleting the chroot while anything is mounted in it would delete the
# host's files: refuse, and never cross into another file system.
remove_root() {
  if grep -q " $root/" /proc/mounts; then
    echo "package-check: something is still mounted under $root; left in place" >&2
    return 1
  fi
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
mount_in() { # mount_in TARGET MOUNT-ARGS...
  local target=$root$1
  shift
  mkdir -p "$target"
  mount "$@" "$target"
  mounts+=("$target")
}
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
as_learner() {
  chroot --userspec=1000:1000 "$root" env -i PATH=/usr/bin:/bin HOME=/home/learner \
    LANG=C.UTF-8 DISPLAY=$display XDG_RUNTIME_DIR=/tmp/learner-run "$@"
}

# --- 1. the package ------------------------------------------------------------
echo "== building the package (Release) in $build"
bash scripts/setup.sh
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work} CCACHE_DIR=${CCACHE_DIR:-/work/.ccache}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Only the program: packaging must not wait for the tests and benchmarks.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j2 --target pelatto pelatto_documents
rm -f "$build"/pelatto_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/pelatto_*.deb)
say "package: $(basename "$deb"), $(stat -c %s "$deb") bytes;" \
  "installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
say "Depends: $(dpkg-deb -f "$deb" Depends)"
say "Recommends: $(dpkg-deb -f "$deb" Recommends)"
lintian_failed=0 lintian_says="ok:  "
if ! lintian --display-info --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1; then
  lintian_failed=1 lintian_says="FAIL:"
fi
count() { grep -c "^$1:" "$work/lintian.log" || true; }
say "$lintian_says lintian: $(count E) errors, $(count W) warnings, $(count I) notes ($work/lintian.log)"

# --- 2. a fresh Debian 12 ----------------------------------------------------------
echo "== debootstrap bookworm (minbase) into $root"
# What this check needs besides the build's packages: debootstrap, and
# ImageMagick's import for the screenshot.
command -v debootstrap >/dev/null && command -v import >/dev/null || {
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap imagemagick
}
[ -d "$root" ] && remove_root
if [ ! -s "$tarball" ]; then
  debootstrap --variant=minbase --make-tarball="$tarball" bookworm "$work/tarball-tmp" "$mirror"
  rm -rf --one-file-system "$work/tarball-tmp"
fi
debootstrap --variant=minbase --unpack-tarball="$tarball" bookworm "$root" "$mirror" >"$work/debootstrap.log"
echo "deb $mirror bookworm main" >"$root/etc/apt/sources.list"
echo "deb http://deb.debian.org/debian-security bookworm-security main" >>"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts
mount_in /dev/shm -t tmpfs shm
mount_in /tmp/.X11-unix --bind /tmp/.X11-unix
# The learner, written in directly: minbase may lack useradd.
echo "learner:x:1000:1000:Learner:/home/learner:/bin/sh" >>"$root/etc/passwd"
echo "learner:x:1000:" >>"$root/etc/group"
install -d -o 1000 -g 1000 -m 700 "$root/home/learner" "$root/tmp/learner-run"

# --- 3. install -------------------------------------------------------------------
in_root apt-get update -qq
before=$(in_root dpkg-query -W -f='${Package}\n' | sort)
cp "$deb" "$root/tmp/"
bare=$(in_root apt-get install -s --no-install-recommends "/tmp/$(basename "$deb")" 2>/dev/null | grep -c '^Inst ' || true)
say "without recommends apt would install $((bare - 1)) packages besides pelatto"
start=$(date +%s%N)
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "/tmp/$(basename "$deb")" \
  >"$work/install.log" 2>&1 || { tail -30 "$work/install.log"; exit 1; }
took_ms=$((($(date +%s%N) - start) / 1000000))
after=$(in_root dpkg-query -W -f='${Package}\n' | sort)
pulled=$(comm -13 <(echo "$before") <(echo "$after") | grep -vx pelatto || true)
say "install: $(grep -E '^[0-9]+ upgraded' "$work/install.log")"
say "install: $(grep -E 'additional disk space' "$work/install.log" || echo '-')"
say "install: $(echo "$pulled" | grep -c .) packages pulled in besides pelatto, $((took_ms / 1000)).$((took_ms % 1000 / 100)) s (download included)"
say "pulled in: $(echo "$pulled" | tr '\n' ' ')"
in_root dpkg -L pelatto | sort >"$work/pelatto-files.txt"

# --- 4. run it -----------------------------------------------------------------------
failures=$lintian_failed
check() { # check WHAT COMMAND...
  if "${@:2}" >>"$work/checks.log" 2>&1; then say "ok:   $1"; else say "FAIL: $1"; failures=$((failures + 1)); fi
}
check "pelatto --version: $(as_learner pelatto --version 2>&1 | head -1)" as_learner pelatto --version
check "pelatto --help ($(as_learner pelatto --help 2>&1 | wc -l) lines)" as_learner pelatto --help
check "the manual page is installed" test -s "$root/usr/share/man/man1/pelatto.1.gz"
check "the copyright file and changelog are installed" \
  test -s "$root/usr/share/doc/pelatto/copyright" -a -s "$root/usr/share/doc/pelatto/changelog.gz"

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp -ac >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
as_learner pelatto >"$work/pelatto.log" 2>&1 &
app=$!
shown=""
for _ in $(seq 150); do
  if xwininfo -display "$display" -root -tree 2>/dev/null | grep -q '"pelatto" "'; then shown=1; break; fi
  sleep 0.2
done
sleep 2
import -display "$display" -window root "$work/screenshot.png"
if [ -n "$shown" ] && kill -0 "$app" 2>/dev/null; then say "ok:   the window opened"; else say "FAIL: no window"; failures=$((failures + 1)); fi
say "screenshot: $work/screenshot.png"
say "program's messages: $(tr '\n' ' ' <"$work/pelatto.log" | cut -c1-300)"
kill "$app" 2>/dev/null
wait "$app" 2>/dev/null || true
app=""
say "font packages pulled in: $(echo "$pulled" | grep '^fonts-' | tr '\n' ' ')"

# --- 5. the installed desktop files (validators on the host) -----------------
check "desktop-file-validate on the installed entry" \
  desktop-file-validate "$root/usr/share/applications/org.pelatto.pelatto.desktop"
check "appstreamcli validate on the installed metainfo" \
  appstreamcli validate --pedantic --strict --no-net "$root/usr/share/metainfo/org.pelatto.pelatto.metainfo.xml"

# --- 6. remove and purge --------------------------------------------------------------
# The learner's own folders, as a learner who kept a history has them.
as_learner install -d /home/learner/.config/pelatto /home/learner/.local/share/pelatto
own=$(cd "$root/home/learner" && find .config/pelatto .local/share/pelatto | sort)
say "the learner's own files after the run: $(echo "$own" | tr '\n' ' ')"
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y pelatto >>"$work/install.log" 2>&1
# apt no longer knows a removed local package; dpkg purges what remains.
in_root dpkg --purge pelatto >>"$work/install.log" 2>&1
left=()
while read -r f; do
  [ "$f" = /. ] && continue
  if [ -d "$root$f" ] && [ ! -L "$root$f" ]; then
    # A folder stays rightly when another package owns it too.
    in_root dpkg -S "$f" >/dev/null 2>&1 || left+=("$f/")
  elif [ -e "$root$f" ] || [ -L "$root$f" ]; then
    left+=("$f")
  fi
done <"$work/pelatto-files.txt"
if [ ${#left[@]} -eq 0 ]; then
  say "ok:   remove + purge left none of the package's $(wc -l <"$work/pelatto-files.txt") paths"
else
  say "FAIL: left after purge: ${left[*]}"
  failures=$((failures + 1))
fi
check "the learner's own files stay" \
  test "$own" = "$(cd "$root/home/learner" && find .config/pelatto .local/share/pelatto | sort)"

say "package check: $failures problem(s); report in $report"
[ "$failures" -eq 0 ]
