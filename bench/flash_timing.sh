#!/usr/bin/env bash
# Builds the flash timing benchmark in Release and runs it on a virtual X
# display, cold and with the glyphs warmed.
# BUILD_DIR chooses the build directory (default: build-release).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j"$(nproc)" --target flash_timing answer_cost sound_timing
unset QT_QPA_PLATFORM
for mode in "" --warm; do
  xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bench/flash_timing" $mode
  echo
done
"$build/bench/answer_cost"
bash bench/sound.sh "$build"
