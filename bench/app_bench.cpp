// Figures of record of the program, offscreen on the sample station: start to the panel painted,
// a route set by two clicks to the panel updated, a full repaint of the main window, and (one
// fresh process each time, see scripts/bench.sh) the resident memory after start and after a
// model day driven by the main timer's tick with the scripted activity.
#include <benchmark/benchmark.h>

#include <chrono>
#include <clocale>
#include <ctime>
#include <filesystem>

#include <QApplication>
#include <QEventLoop>
#include <QTest>

#include "BenchStation.h"
#include "app/InterfaceModel.h"
#include "app/TrainerClasses.h"
#include "app/TrainerWindows.h"
#include "app/dialogues/DialogueWindows.h"
#include "panel/EC_Signal.h"
#include "platform/media/QtSound.h"
#include "platform/media/sound/SoundOutput.h"

namespace fs = std::filesystem;

namespace {

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }
// Processor time of the whole process (every thread, Qt's too), in seconds: beside the wall time
// it shows what the machine's load added.
double CpuNow()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Set when the start-up messages of the last started main window have run.
bool startupDone = false;

// The main window as the program makes it: every window, the first activation, shown. The
// first activation leaves the start-up messages (whose rings hold the program) to the event loop
// once the panel has been painted; the start dialog that follows them is not shown, as no one
// would close it.
TfmMain* StartProgram()
{
    CreateTrainerWindows([] { return new TfmMain; });
    fmMain->Show();
    // The program activates its main window from the event loop, after the show and expose.
    QCoreApplication::processEvents();
    startupDone = false;
    fmMain->ShowStartDialog = [] { startupDone = true; };
    fmMain->DoActivate();
    return fmMain;
}

// Runs the event loop until the start-up messages have run (their rings take their clips'
// length) or 30 s have passed.
void RunStartup()
{
    const double until = Now() + 30;
    while (!startupDone && Now() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void Paint(TfmMain* m) { (void)m->Widget()->grab(); }

void Click(TControl* c) { QTest::mouseClick(c->Widget(), Qt::LeftButton, {}, QPoint(3, 3)); }

void StartToPanelPainted(benchmark::State& state)
{
    for (auto _ : state) {
        Paint(StartProgram());
        state.PauseTiming();
        DestroyTrainerWindows();
        state.ResumeTiming();
    }
}

// The two clicks of the train route 101 -> 112 (into track 2П: train 2001 of the start-up
// messages stands on 1П) and the paint they cause. Between clicks the route
// is let open, cancelled and released again by the main timer's ticks (not timed).
void RouteClickToPanelUpdated(benchmark::State& state)
{
    TfmMain* m = StartProgram();
    auto* start = m->FindChild<TControl>("EC_TrainButton101");
    auto* end = m->FindChild<TControl>("EC_EndButton112");
    auto* signal = m->FindChild<TEC_Signal>("EC_Signal101");
    Paint(m);
    RunStartup();
    long opened = 0;
    for (auto _ : state) {
        Click(start);
        Click(end);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        state.PauseTiming();
        for (int i = 0; i < 40 && signal->State() != 3; ++i) m->MainTimerTimer(nullptr);
        if (signal->State() == 3) ++opened;
        for (const char* text : {"2 9", "2 5 101 1"}) {
            std::string mes = text;
            SendTrainerMessage(mes);
        }
        for (int i = 0; i < 200; ++i) m->MainTimerTimer(nullptr);
        Paint(m);
        state.ResumeTiming();
    }
    state.counters["opened"] = static_cast<double>(opened) / static_cast<double>(state.iterations());
    DestroyTrainerWindows();
}

// The main window at a screen's size (width, height): 1600 x 1000, where the panel fits, and a
// small laptop's 1024 x 600, where it scrolls.
void FullRepaint(benchmark::State& state)
{
    TfmMain* m = StartProgram();
    m->SetWindowState(wsNormal);
    m->SetBounds(0, 0, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    QCoreApplication::processEvents();
    Paint(m);
    RunStartup();
    for (auto _ : state) Paint(m);
    DestroyTrainerWindows();
}

// Once per process: the cold start to the panel painted, then the start-up messages run and the
// memory after them, a model day of main-timer ticks with the scripted activity, and the memory
// after that.
void StartAndDay(benchmark::State& state)
{
    TActivity activity(StationDir(1) + "/activity.txt");
    for (auto _ : state) {
        double t0 = Now(), c0 = CpuNow();
        TfmMain* m = StartProgram();
        Paint(m);
        double start = Now() - t0, startCpu = CpuNow() - c0;
        RunStartup();
        state.counters["startup_done"] = startupDone;
        double rssStart = ResidentMiB();
        t0 = Now();
        c0 = CpuNow();
        for (long t = 0; t < kDaySeconds; ++t) {
            activity.Step(t, [](std::string& mes) { SendTrainerMessage(mes); });
            m->MainTimerTimer(nullptr);
        }
        double day = Now() - t0, dayCpu = CpuNow() - c0;
        state.counters["start_s"] = start;
        state.counters["start_cpu_s"] = startCpu;
        state.counters["day_speedup_cpu"] = kDaySeconds / dayCpu;
        state.counters["rss_start_MiB"] = rssStart;
        state.counters["day_speedup"] = kDaySeconds / day;
        state.counters["rss_day_MiB"] = ResidentMiB();
        DestroyTrainerWindows();
    }
}

double Min(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double Max(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

void Stats(benchmark::internal::Benchmark* b)
{
    b->UseRealTime()->ReportAggregatesOnly(true)->ComputeStatistics("min", Min)->ComputeStatistics("max", Max);
}

BENCHMARK(StartToPanelPainted)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->Apply(Stats);
BENCHMARK(RouteClickToPanelUpdated)->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(5)->Apply(Stats);
BENCHMARK(FullRepaint)->Args({1600, 1000})->Args({1024, 600})->Unit(benchmark::kMicrosecond)->Repetitions(5)->Apply(Stats);
BENCHMARK(StartAndDay)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setQuitOnLastWindowClosed(false);
    RegisterTrainerClasses();
    RegisterDialogueWindows();
    // The null device: a ring takes its clip's length, as on a machine with speakers, but silently.
    SetSoundOutput(std::make_shared<TQtSoundOutput>(TQtSoundOutput::TDevice::Null));

    // A scratch working directory with the sample station's data and sound.
    const fs::path dir = fs::temp_directory_path() / ("velo_bench_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(fs::path(VELO_SOURCE_DIR) / "station" / "data", dir / "data", fs::copy_options::recursive);
    fs::copy(fs::path(VELO_SOURCE_DIR) / "station" / "sound", dir / "sound", fs::copy_options::recursive);
    fs::current_path(dir);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    SetSoundOutput(nullptr);
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(dir, ec);
    return 0;
}
