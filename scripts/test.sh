#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test twice: once in a
# normal build and once under AddressSanitizer and UndefinedBehaviorSanitizer.
# The normal build is also packaged, and lintian must find no error and no
# warning in the package.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELATTO_WERROR=ON
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")
rm -f build/pelatto_*.deb
(cd build && cpack -G DEB >/dev/null)
lintian --fail-on error,warning build/pelatto_*.deb
# Every source file carries its licence line.
bash scripts/check-spdx.sh

# A sanitizer report ends the test program with a failure.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPELATTO_SANITIZE=ON -DPELATTO_WERROR=ON
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ctest --output-on-failure -j"$jobs" -LE data)
