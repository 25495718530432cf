// Headless station, scripted activity and resident memory of the benchmarks.
#include "BenchStation.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "models/base/Utilit.h"
#include "platform/core/Exception.h"

std::string StationDir(int copies) { return std::string(VELO_BENCH_STATIONS) + "/x" + std::to_string(copies); }

TActivity::TActivity(const std::string& file)
{
    std::ifstream in(file);
    if (!in) throw Exception("no activity file " + file);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        long period = 0, offset = 0;
        if (!(words >> period >> offset) || period <= 0) continue;
        std::string mes;
        std::getline(words, mes);
        mes = Trim(mes);
        auto& slots = byPeriod[period];
        slots.resize(static_cast<size_t>(period));
        slots[static_cast<size_t>(offset % period)].push_back(mes);
        ++count;
    }
}

void TActivity::Step(long t, const std::function<void(std::string&)>& send) const
{
    for (const auto& [period, slots] : byPeriod)
        for (const std::string& text : slots[static_cast<size_t>(t % period)]) {
            std::string mes = text;
            send(mes);
        }
}

namespace {

// The executors of the technology model as the main window's definition gives them
// ("ExecutorArray.ExecutorNN.Number/Scill/ExecName = value" lines).
void ConfigureExecutors(TTecnModel& tecn)
{
    std::ifstream form(std::string(VELO_SOURCE_DIR) + "/app/forms/Main.vfm");
    if (!form) throw Exception("no app/forms/Main.vfm");
    std::string line;
    while (std::getline(form, line)) {
        unsigned i = 0;
        char prop[16] = {0};
        if (std::sscanf(line.c_str(), " ExecutorArray.Executor%2u.%15[A-Za-z] =", &i, prop) != 2) continue;
        TExecutor* e = (*tecn.ExecutorArray)[static_cast<int>(i)];
        if (!e) continue;
        std::string value = Trim(line.substr(line.find('=') + 1));
        if (!value.empty() && value.front() == '"') value = value.substr(1, value.size() - 2);
        const std::string name = prop;
        if (name == "Number") e->Number = std::atoi(value.c_str());
        if (name == "Scill") e->SetScill(value);
        if (name == "ExecName") e->ExecName = value;
    }
}

} // namespace

THeadlessStation::THeadlessStation(const std::string& dir) : activity(dir + "/activity.txt")
{
    previousDir = std::filesystem::current_path().string();
    std::filesystem::current_path(dir);
    plan.SetName("PlanModel");
    plan.FileName = "data\\plan.dat";
    tecn.SetName("TecnModel");
    tecn.FileName = "DATA\\Tecnology.dat";
    ConfigureExecutors(tecn);
    delay.SetName("DelayModel");
    move.SetName("SignalMoveModel");
    move.PlanModel = &plan;
    instructor.SetName("InstructorModel");
    instructor.FileName = "DATA\\errors.dat";
    ec.SetName("EC_Model");
    ec.FileName = "data\\EC_Model.dat";
    bus.Attach(brPlan, &plan);
    bus.Attach(brTecn, &tecn);
    bus.Attach(brDelay, &delay);
    bus.Attach(brInstructor, &instructor);
    bus.Attach(brEC, &ec);
    bus.Connect(&move);
    // The panel refuses section names (the interlocking then uses " ") and takes every other
    // command.
    bus.SetReceiver(brInterface, [](std::string& mes, TlstParams*) {
        return mes.compare(0, 5, "4 39 ") == 0 ? 0 : 1;
    });
    bus.recording = false;  // as under the main window
    plan.Init();
    tecn.Init();
    delay.Init();
    move.Init();
    instructor.Init();
    ec.Init();
}

THeadlessStation::~THeadlessStation()
{
    std::error_code e;
    std::filesystem::current_path(previousDir, e);
}

void THeadlessStation::RunStartupMessages()
{
    std::FILE* f = nullptr;
    if (OpenDataFile(&f, "data\\trenager.ini") <= 0) return;
    std::string line;
    for (int r; (r = ReadDataLine(f, line, "*")) >= 0;)
        if (r == 1) Send(Trim(line));
    std::fclose(f);
}

void THeadlessStation::Tick()
{
    ++seconds;
    const float t = static_cast<float>(seconds);
    plan.Process(t);
    tecn.Process(t);
    delay.Process(t);
    move.Process(t);
    instructor.Process(t);
    ec.Process(t);
}

void THeadlessStation::ActiveTick()
{
    activity.Step(seconds, [this](std::string& mes) { bus.Send(mes); });
    Tick();
}

int THeadlessStation::Send(const std::string& text)
{
    std::string mes = text;
    return bus.Send(mes);
}

double ResidentMiB()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, 6, "VmRSS:") == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}
