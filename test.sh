#!/usr/bin/env bash
# Builds everything and runs every test: the full build, then the models under AddressSanitizer
# and UndefinedBehaviorSanitizer with the GUI switched off (which also proves the models build without Qt),
# then every fuzz target for 20 seconds.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build build
(cd build && ctest --output-on-failure -j "$(nproc)")
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELO_GUI=OFF -DVELO_SANITIZE=ON
cmake --build build-asan
(cd build-asan && ctest --output-on-failure -j "$(nproc)")
FUZZ_JOBS=4 scripts/fuzz.sh 20
