#!/usr/bin/env bash
# Builds the benchmarks of record in release mode in a build folder of their own and prints every
# figure: each a median over repetitions with its spread (min-max and the coefficient of variation).
#
#   scripts/bench.sh              build folder build-bench, 4 build jobs
#   VELO_BENCH_BUILD=dir VELO_BENCH_JOBS=n VELO_GUI=OFF VELO_BENCH_CPU=k scripts/bench.sh
#
# VELO_BENCH_CPU runs every benchmark on that one processor (taskset): on a shared machine the
# cores are loaded differently, and a run that moves between them spreads its figures.
# VELO_GUI=OFF leaves out the program's figures (start, click, repaint, memory). The raw results
# stay in {build}/results/*.json. Each figure has its processor time beside its wall time: on a
# shared machine the wall times are noisy (the medians and the spread show it), the processor
# times much less. The date of the run and the load average before and after it are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${VELO_BENCH_BUILD:-build-bench}
JOBS=${VELO_BENCH_JOBS:-4}
GUI=${VELO_GUI:-ON}
PIN=()
[ -n "${VELO_BENCH_CPU:-}" ] && PIN=(taskset -c "$VELO_BENCH_CPU")
LAUNCHER=()
command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELO_BENCH=ON -DVELO_GUI="$GUI" "${LAUNCHER[@]}" >/dev/null
targets=(velo_models_bench)
[ "$GUI" = ON ] && targets+=(velo_app_bench)
cmake --build "$BUILD" -j"$JOBS" --target "${targets[@]}"

out="$(pwd)/$BUILD/results"  # absolute: the program benchmark works in a scratch folder
mkdir -p "$out"
rm -f "$out"/*.json
started="$(date -u '+%Y-%m-%d %H:%M UTC')"
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
"${PIN[@]}" "$BUILD/bench/velo_models_bench" --benchmark_out="$out/models.json" --benchmark_out_format=json
if [ "$GUI" = ON ]; then
  export QT_QPA_PLATFORM=offscreen
  "${PIN[@]}" "$BUILD/bench/velo_app_bench" --benchmark_filter='^(StartToPanelPainted|RouteClickToPanelUpdated|FullRepaint)' \
    --benchmark_out="$out/app.json" --benchmark_out_format=json
  # The cold start and the memory: one fresh process each time.
  for i in 1 2 3; do
    "${PIN[@]}" "$BUILD/bench/velo_app_bench" --benchmark_filter='^StartAndDay' \
      --benchmark_out="$out/process$i.json" --benchmark_out_format=json >/dev/null
  done
fi
echo
echo "run of $started on $(nproc) processors${VELO_BENCH_CPU:+, pinned to processor $VELO_BENCH_CPU}; load average (1, 5, 15 min) before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 scripts/bench_report.py "$out"/*.json
