#!/usr/bin/env bash
# Builds the trainer and starts it on the bundled sample station (station/ is its working directory).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-run --target Velostan
cd station
exec ../build-run/app/Velostan "$@"
