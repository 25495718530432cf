// Figures of record of the models without a screen: one tick of every model (idle, with routes
// locked, while the scripted activity sets and releases routes) and a model day with the scripted
// activity, on the sample station and on copies of it scaled two and four times; one tick with
// five lesson trains moving by signals on the sample station and with ten on the station scaled
// twice, for most of each run. The tick figures count the heap allocations of a tick too.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "BenchStation.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"

// The heap allocations of the process so far (Allocations.cpp counts them).
size_t Allocations();

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

// The heap allocations a tick makes on average, over the benchmark's timed loop since before.
void CountAllocations(benchmark::State& state, size_t before)
{
    state.counters["allocs"] = static_cast<double>(Allocations() - before) / static_cast<double>(state.iterations());
}

void TickIdle(benchmark::State& state)
{
    auto s = Started(static_cast<int>(state.range(0)));
    const size_t before = Allocations();
    for (auto _ : state) s->Tick();
    CountAllocations(state, before);
}

void TickRoutesLocked(benchmark::State& state)
{
    auto s = Started(static_cast<int>(state.range(0)));
    LockRoutes(*s);
    const size_t before = Allocations();
    for (auto _ : state) s->Tick();
    CountAllocations(state, before);
    state.counters["open_signals"] = OpenSignals(*s);
}

void TickSetAndRelease(benchmark::State& state)
{
    auto s = Started(static_cast<int>(state.range(0)));
    const size_t before = Allocations();
    for (auto _ : state) s->ActiveTick();
    CountAllocations(state, before);
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

// Trains moving at once through most of a run of TTrainsRun: on the sample station and on the
// station scaled twice.
constexpr int kTrainsX1 = 5;
constexpr int kTrainsX2 = 10;

// Lesson trains running by signals, as the station folder's trains.txt gives them for each
// copy of the station (bench/trains.txt renumbered by scripts/scale_station.py): the arrival
// routes 101 -> 2П and 102 -> 3В, the train locomotive on 2В departing over 132 -> 104, and a
// train from each stretch (created by the technology model's command 6, which lays it on the
// entry block section once that is free and sets it going), the next from a side only once
// the last one has cleared its entry section's first kilometre, so no two overlap.
class TTrainsRun {
public:
    explicit TTrainsRun(int copies) : s(Started(copies))
    {
        std::ifstream in(StationDir(copies) + "/trains.txt");
        if (!in) throw Exception("no trains.txt in " + StationDir(copies));
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            size_t c = 0;
            std::string kind, first, mes;
            if (!(words >> c >> kind >> first)) continue;
            std::getline(words, mes);
            mes = Trim(mes);
            if (copy.size() <= c) copy.resize(c + 1);
            TCopy& k = copy[c];
            if (kind == "at") k.timed.push_back({std::atol(first.c_str()), mes});
            if (kind == "train") k.lines.push_back({std::atoi(first.c_str()), mes, {}});
            if (kind == "lay" && !k.lines.empty()) k.lines.back().lay = {first, mes};
        }
    }

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
        for (TCopy& k : copy) {
            for (const auto& [at, mes] : k.timed)
                if (at == t && !s->Send(mes)) ++refused;
            for (TLine& l : k.lines)
                if (Clear(l)) l.last = Create(k, l);
        }
    }

    // The trains of both blocks of both stretches and the train locomotive all move from the
    // run's sixth second (the twentieth on the station scaled twice) until the first of them
    // stops at about 127 s: the run ends before, so the timed ticks are most of every run.
    static constexpr long kLength = 125;
    std::unique_ptr<THeadlessStation> s;
    long t = 0;
    int refused = 0;  // timed messages no model handled

private:
    // A stretch's trains.
    struct TLine {
        int back;            // the direction behind its trains
        std::string create;  // the creating message, its train number the first of the line
        std::pair<std::string, std::string> lay;  // the plan's placing: section; position and direction
        int last = 0;        // the object of the last train, 0 before the first
    };
    // The lesson trains of one copy of the station.
    struct TCopy {
        std::vector<std::pair<long, std::string>> timed;  // second, message
        std::vector<TLine> lines;
        int made = 0;  // trains made so far: the next train's number is the first plus it
    };

    // No train yet from that side, or the last one has left a kilometre free behind it
    // (looking the way it came, behind is direction back).
    bool Clear(const TLine& l)
    {
        if (!l.last) return true;
        std::string mes = Format("1 10 %d %d", l.last, l.back);
        return s->bus.Send(mes) && AtofC(mes.c_str()) >= 1000.0;
    }
    int Create(TCopy& k, const TLine& l)
    {
        // The train number (parameter 1025) counts on from the line's first.
        std::istringstream words(l.create);
        std::string mes, w;
        for (bool number = false; words >> w; number = w == "1025") {
            if (!mes.empty()) mes += ' ';
            mes += number ? std::to_string(std::atoi(w.c_str()) + k.made) : w;
        }
        ++k.made;
        if (!s->bus.Send(mes)) return 0;
        const int train = std::atoi(mes.c_str());
        if (train && !l.lay.first.empty())
            s->Send(Format("1 6 %s %d %s", l.lay.first.c_str(), train, l.lay.second.c_str()));
        return train;
    }

    std::vector<TCopy> copy;
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

// One tick with at least the given number of trains moving on the station scaled range(1)
// times: the run steps on untimed until that many move (a new run once one is over), then one
// tick of every model is timed, in wall and in processor time.
void TickTrainsMoving(benchmark::State& state)
{
    const int want = static_cast<int>(state.range(0));
    const int copies = static_cast<int>(state.range(1));
    auto run = std::make_unique<TTrainsRun>(copies);
    double moving = 0;
    size_t allocations = 0;
    long runs = 1;
    // A run that never has that many moving at once is tried a few times, then reported, so
    // a change of the lesson data cannot make the benchmark wait for ever.
    int fruitless = 0;
    for (auto _ : state) {
        state.PauseTiming();
        int m = 0;
        while ((m = MovingTrains(*run->s)) < want)
            if (!run->Step()) {
                run = std::make_unique<TTrainsRun>(copies);
                ++runs;
                if (++fruitless > 3) {
                    state.SkipWithError("fewer trains than asked ever move at once");
                    state.ResumeTiming();
                    return;
                }
            }
        fruitless = 0;
        run->Prepare();
        const size_t before = Allocations();
        state.ResumeTiming();
        run->s->Tick();
        state.PauseTiming();
        allocations += Allocations() - before;
        if (++run->t >= TTrainsRun::kLength) {
            run = std::make_unique<TTrainsRun>(copies);
            ++runs;
        }
        moving += m;
        state.ResumeTiming();
    }
    // How many fresh stations the timed ticks needed: few when the trains move most of a run.
    state.counters["runs"] = static_cast<double>(runs);
    state.counters["moving"] = moving / static_cast<double>(state.iterations());
    state.counters["errors"] = run->s->instructor.ErrorsProtocol.Count();
    state.counters["allocs"] = static_cast<double>(allocations) / static_cast<double>(state.iterations());
}

// How many trains the run has moving at once at most on the station scaled range(0) times, the
// instructor's errors at its end and the timed messages refused (a check of the scenario, not a
// figure).
void TrainsRunMost(benchmark::State& state)
{
    for (auto _ : state) {
        TTrainsRun run(static_cast<int>(state.range(0)));
        int most = 0;
        std::vector<int> seconds(16, 0);  // seconds of the run with n trains moving
        for (bool more = true; more;) {
            int n = MovingTrains(*run.s);
            most = std::max(most, n);
            ++seconds[static_cast<size_t>(std::min(n, 15))];
            more = run.Step();
        }
        state.counters["most"] = most;
        // The share of the run with at least as many moving as TickTrainsMoving times.
        const int want = state.range(0) == 1 ? kTrainsX1 : kTrainsX2;
        int atLeast = 0;
        for (size_t n = static_cast<size_t>(want); n < seconds.size(); ++n) atLeast += seconds[n];
        state.counters["share_timed"] = static_cast<double>(atLeast) / static_cast<double>(TTrainsRun::kLength);
        state.counters["errors"] = run.s->instructor.ErrorsProtocol.Count();
        state.counters["refused"] = run.refused;
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
BENCHMARK(TickTrainsMoving)->Args({kTrainsX1, 1})->Args({kTrainsX2, 2})->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(300)->Repetitions(5)
    ->ReportAggregatesOnly(true)->ComputeStatistics("min", Min)->ComputeStatistics("max", Max);
BENCHMARK(TrainsRunMost)->Arg(1)->Arg(2)->Iterations(1);
BENCHMARK(Day)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true)->ComputeStatistics("min", Min)->ComputeStatistics("max", Max);

} // namespace

BENCHMARK_MAIN();
