// Figures of record of the models without a screen: one tick of every model (idle, with routes
// locked, while the scripted activity sets and releases routes) and a model day with the scripted
// activity, on the sample station and on copies of it scaled two and four times.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "BenchStation.h"

namespace {

// A loaded station after its start-up messages and a first tick.
std::unique_ptr<THeadlessStation> Started(int copies)
{
    auto s = std::make_unique<THeadlessStation>(StationDir(copies));
    s->RunStartupMessages();
    s->Tick();
    return s;
}

// The train routes of the activity set at once in every copy and left locked: the west and the
// east arrival and the humping route (the activity's first message of each pair, then its end).
void LockRoutes(THeadlessStation& s)
{
    for (long t = 0; t < 600; ++t) {
        long phase = t % 600;
        // The activity's setting messages only (offsets 10-11, 210-211, 410-411, 13 s later in
        // every further copy); its cancels come at 130 and later.
        bool setting = (phase % 200) < 12 + 13 * 3;
        if (setting)
            s.activity.Step(t, [&](std::string& mes) {
                if (mes.compare(0, 4, "2 5 ") == 0 || mes.compare(0, 5, "2 16 ") == 0) s.bus.Send(mes);
            });
        s.Tick();
    }
}

// Signals shown open: the routes the activity set.
double OpenSignals(THeadlessStation& s)
{
    int n = 0;
    for (unsigned i = 0; i < s.ec.Vertexes.Count(); ++i)
        if (TEC_Signal1* sig = AsSignal(s.ec.Vertexes.Get(i)); sig && sig->SignalState == 0) ++n;
    return n;
}

void TickIdle(benchmark::State& state)
{
    auto s = Started(static_cast<int>(state.range(0)));
    for (auto _ : state) s->Tick();
}

void TickRoutesLocked(benchmark::State& state)
{
    auto s = Started(static_cast<int>(state.range(0)));
    LockRoutes(*s);
    for (auto _ : state) s->Tick();
    state.counters["open_signals"] = OpenSignals(*s);
}

void TickSetAndRelease(benchmark::State& state)
{
    auto s = Started(static_cast<int>(state.range(0)));
    for (auto _ : state) s->ActiveTick();
}

// One whole model day with the activity, from a freshly loaded station; the counter is the day's
// length over the wall time it took.
void Day(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto s = Started(static_cast<int>(state.range(0)));
        state.ResumeTiming();
        for (int i = 0; i < kDaySeconds; ++i) s->ActiveTick();
        state.PauseTiming();
        state.counters["errors"] = s->instructor.ErrorsProtocol.Count();
        s.reset();
        state.ResumeTiming();
    }
    state.counters["speedup"] = benchmark::Counter(static_cast<double>(kDaySeconds) * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

double Min(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double Max(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

void Ticks(benchmark::internal::Benchmark* b)
{
    b->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", Min)->ComputeStatistics("max", Max);
}

BENCHMARK(TickIdle)->Apply(Ticks);
BENCHMARK(TickRoutesLocked)->Apply(Ticks);
BENCHMARK(TickSetAndRelease)->Apply(Ticks);
BENCHMARK(Day)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true)->ComputeStatistics("min", Min)->ComputeStatistics("max", Max);

} // namespace

BENCHMARK_MAIN();
