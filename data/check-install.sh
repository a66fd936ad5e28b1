#!/usr/bin/env bash
# Installs the build tree into a scratch prefix and checks that everything a
# desktop needs to list and launch Pelatto lands where it should, and that the
# installed copies (not only the sources) pass the freedesktop validators.
#
# Usage: check-install.sh CMAKE BUILD_DIR PREFIX BINDIR DATADIR
#                         DESKTOP_FILE_VALIDATE APPSTREAMCLI [CONFIG]
set -uo pipefail

if [ $# -lt 7 ]; then
  echo "usage: $0 CMAKE BUILD_DIR PREFIX BINDIR DATADIR DESKTOP_FILE_VALIDATE APPSTREAMCLI [CONFIG]" >&2
  exit 2
fi

cmake_cmd=$1 build_dir=$2 prefix=$3 bindir=$4 datadir=$5
dfv=$6 asc=$7 config=${8:-}

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# CMake hands over "<VAR>-NOTFOUND" for a missing tool; that must fail the
# test rather than quietly skip the validation.
for tool in "$dfv" "$asc"; do
  case $tool in
    ''|*-NOTFOUND)
      echo "FAIL: validator missing ($tool); install desktop-file-utils and appstream" >&2
      exit 1 ;;
  esac
done

# Start from an empty prefix so files left by an earlier run cannot hide a
# missing install rule.
rm -rf "$prefix"
install_args=(--install "$build_dir" --prefix "$prefix")
[ -n "$config" ] && install_args+=(--config "$config")
if ! "$cmake_cmd" "${install_args[@]}"; then
  echo "FAIL: cmake ${install_args[*]}" >&2
  exit 1
fi

share=$prefix/$datadir
exe=$prefix/$bindir/pelatto
desktop=$share/applications/org.pelatto.pelatto.desktop
metainfo=$share/metainfo/org.pelatto.pelatto.metainfo.xml

[ -x "$exe" ] || fail "missing or not executable: $exe"
for f in \
  "$desktop" \
  "$metainfo" \
  "$share/icons/hicolor/scalable/apps/org.pelatto.pelatto.svg" \
  "$share/icons/hicolor/32x32/apps/org.pelatto.pelatto.png" \
  "$share/icons/hicolor/48x48/apps/org.pelatto.pelatto.png" \
  "$share/pelatto/ladders/dan.txt" \
  "$share/man/man1/pelatto.1.gz" \
  "$share/doc/pelatto/copyright" \
  "$share/doc/pelatto/changelog.gz"
do
  [ -s "$f" ] || fail "missing or empty: $f"
done

# The sound output module, in the program's library folder, where the
# program looks for it relative to itself.
modules=$(find "$prefix" -name pelatto-sound.so -path '*/lib*/pelatto/modules/*')
if [ -z "$modules" ]; then
  fail "the sound module pelatto-sound.so is not in a lib*/pelatto/modules folder under $prefix"
elif ldd "$modules" | grep -q "not found"; then
  fail "the sound module needs libraries that are not found: $modules"
fi

if [ -f "$desktop" ]; then
  "$dfv" "$desktop" || fail "desktop-file-validate $desktop"
fi
if [ -f "$metainfo" ]; then
  "$asc" validate --pedantic --strict --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
  # validate-tree also checks that the metainfo's launchable names a desktop
  # file that really was installed beside it.
  "$asc" validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree $prefix"
fi

if [ "$failures" -ne 0 ]; then
  echo "install tree check: $failures problem(s)" >&2
  exit 1
fi
echo "install tree check: OK ($prefix)"
