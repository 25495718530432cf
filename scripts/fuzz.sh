#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang in build-fuzz and runs each for the given number
# of seconds (default 20) on its seed corpus, failing when any target finds a crash, a sanitizer
# report, a leak or a hang (an input slower than 10 s). Findings go to build-fuzz/findings/<target>/;
# inputs that reached new code are kept in build-fuzz/corpus/<target>/ for the next run.
#
#   scripts/fuzz.sh [seconds] [target ...]     e.g. scripts/fuzz.sh 3600 plan bus
#
# FUZZ_JOBS runs that many targets at a time (default 1); CMAKE_BUILD_PARALLEL_LEVEL limits the build.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
[ $# -gt 0 ] && shift
jobs=${FUZZ_JOBS:-1}
gui=ON
pkg-config --exists Qt6Widgets 2>/dev/null || [ -d /usr/lib/x86_64-linux-gnu/cmake/Qt6Widgets ] || gui=OFF

export QT_QPA_PLATFORM=offscreen
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DVELO_FUZZ=ON -DVELO_GUI="$gui" >/dev/null
cmake --build build-fuzz --target fuzz_all

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in build-fuzz/fuzz/fuzz_*; do targets+=("${exe##*/fuzz_}"); done
fi

# Absolute paths: the targets work in a scratch directory of their own.
top=$PWD
export LSAN_OPTIONS="suppressions=$top/fuzz/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# A smaller quarantine and no fill of fresh blocks: the targets that make windows run twice as fast.
export ASAN_OPTIONS="quarantine_size_mb=64:max_malloc_fill_size=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
run() {
  local t=$1
  mkdir -p "build-fuzz/corpus/$t" "build-fuzz/findings/$t"
  if build-fuzz/fuzz/fuzz_"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$top/build-fuzz/findings/$t/" "$top/build-fuzz/corpus/$t" "$top/fuzz/corpus/$t" \
      >"build-fuzz/findings/$t.log" 2>&1; then
    echo "fuzz $t: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "build-fuzz/findings/$t.log" | grep -o '[0-9]*$') runs, no findings"
  else
    echo "fuzz $t: FINDING (log build-fuzz/findings/$t.log)"
    tail -n 40 "build-fuzz/findings/$t.log"
    return 1
  fi
}

failed=0
running=0
for t in "${targets[@]}"; do
  [ -x "build-fuzz/fuzz/fuzz_$t" ] || { echo "no fuzz target $t"; failed=1; continue; }
  run "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit $failed
