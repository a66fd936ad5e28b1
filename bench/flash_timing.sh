#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks in Release and runs them: the flash benchmark on a
# virtual X display in its three conditions (quiet, loaded, loaded with
# real-time scheduling allowed), then the answer-field cost and the sound
# cues' offset. BUILD_DIR chooses the build directory (default:
# build-release), SERIES the number of 30-term series per condition (20).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j"$(nproc)" --target flash_timing screen_watch answer_cost sound_timing
bash bench/flash_conditions.sh "${SERIES:-20}" "$build"
QT_QPA_PLATFORM=offscreen "$build/bench/answer_cost"
bash bench/sound.sh "$build"
