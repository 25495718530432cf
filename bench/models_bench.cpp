// Figures of record of the models without a screen: one tick of every model (idle, with routes
// locked, while the scripted activity sets and releases routes) and a model day with the scripted
// activity, on the sample station and on copies of it scaled two and four times; one tick with
// five lesson trains moving by signals on the sample station.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "BenchStation.h"
#include "platform/core/CFormat.h"

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

// Lesson trains running by signals on the sample station: a train from each stretch (the
// lesson's types 1 and 12, created by the technology model's command 6, which lays them on the
// entry block section and sets them going), the next from a side only once the last one has
// cleared its entry section's first kilometre, so no two overlap; the arrival routes 101 -> 2П
// and 102 -> 3В and the train locomotive on 1В departing over 131 -> 104.
class TTrainsRun {
public:
    TTrainsRun() : s(Started(1)) {}

    // The messages due at this second, then a tick; false once the run is over.
    bool Step()
    {
        Prepare();
        s->Tick();
        return ++t < kLength;
    }
    // The messages due at this second (the tick itself is left to the caller).
    void Prepare()
    {
        if (t == 0) {
            for (const char* m : {"2 5 131 1", "2 5 104 1", "2 5 101 1", "2 5 112 1", "2 5 102 1", "2 5 133 1"}) s->Send(m);
        }
        if (t == 5) s->Send("3 5 9 1012 3 1013 28 1003 1");
        if (Clear(east, 1))
            east = Create(Format("3 6 1 1025 %d 1511 166 1504 50 2001 750 1505 1 1540 4100 1541 1 1542 4000", 2401 + made));
        if (Clear(west, 0))
            west = Create(Format("3 6 12 1025 %d 1511 168 1504 48 2001 720 1505 1 1540 4008 1541 1 1542 4000", 2401 + made));
    }

    static constexpr long kLength = 400;
    std::unique_ptr<THeadlessStation> s;
    long t = 0;

private:
    // No train yet from that side, or the last one has left a kilometre free behind it
    // (looking the way it came, behind is direction back).
    bool Clear(int train, int back)
    {
        if (!train) return true;
        std::string mes = Format("1 10 %d %d", train, back);
        return s->bus.Send(mes) && AtofC(mes.c_str()) >= 1000.0;
    }
    int Create(const std::string& text)
    {
        std::string mes = text;
        ++made;
        return s->bus.Send(mes) ? std::atoi(mes.c_str()) : 0;
    }

    int east = 0, west = 0, made = 0;
};

// Objects the signal movement model runs now: run mode set and speed above zero.
int MovingTrains(THeadlessStation& s)
{
    int n = 0;
    for (auto* o = s.plan.Objects.First(); o; o = o->next) {
        if (o->value.Removed) continue;
        std::string mes = Format("3 4 %d 1003 2002", o->value.Number);
        int mode = 0;
        float speed = 0;
        if (s.bus.Send(mes) && SScanf(mes.c_str(), "%d%f", &mode, &speed) == 2 && mode != 0 && speed > 0) ++n;
    }
    return n;
}

// One tick with at least the given number of trains moving: the run steps on untimed until
// that many move (a new run once one is over), then one tick of every model is timed.
void TickTrainsMoving(benchmark::State& state)
{
    const int want = static_cast<int>(state.range(0));
    auto run = std::make_unique<TTrainsRun>();
    double moving = 0;
    for (auto _ : state) {
        int m = 0;
        while ((m = MovingTrains(*run->s)) < want)
            if (!run->Step()) run = std::make_unique<TTrainsRun>();
        run->Prepare();
        const auto start = std::chrono::steady_clock::now();
        run->s->Tick();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (++run->t >= TTrainsRun::kLength) run = std::make_unique<TTrainsRun>();
        moving += m;
    }
    state.counters["moving"] = moving / static_cast<double>(state.iterations());
    state.counters["errors"] = run->s->instructor.ErrorsProtocol.Count();
}

// How many trains the run has moving at once at most (a check of the scenario, not a figure).
void TrainsRunMost(benchmark::State& state)
{
    for (auto _ : state) {
        TTrainsRun run;
        int most = 0;
        while (run.Step()) most = std::max(most, MovingTrains(*run.s));
        state.counters["most"] = most;
    }
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
BENCHMARK(TickTrainsMoving)->Arg(5)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(300)->Repetitions(5)
    ->ReportAggregatesOnly(true)->ComputeStatistics("min", Min)->ComputeStatistics("max", Max);
BENCHMARK(TrainsRunMost)->Iterations(1);
BENCHMARK(Day)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true)->ComputeStatistics("min", Min)->ComputeStatistics("max", Max);

} // namespace

BENCHMARK_MAIN();
