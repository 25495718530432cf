// Fuzz target: the sample station (station/data) loaded through all six models of the main window
// (plan, technology, delay, signal movement, instructor, interlocking) on one bus, fed arbitrary
// bus texts with time steps between. Every input starts as the program does: the models read
// their files, the start-up messages of "data\trenager.ini" are delivered and the sample lesson
// "data\lesson1.shd" is scheduled in the delay model. The input is one line an event: "@{n}"
// lets n seconds of model time pass (one tick a second, as the main timer does; at most 600 ticks
// an input), any other line is delivered as a bus message. After the input the lesson runs on for
// kLessonTicks seconds, so its trains appear and run by signals over what the input set up. The
// main window (4) is a recorder that accepts what it is sent, except the section-name request,
// which the interlocking model may be refused.
#include <filesystem>
#include <initializer_list>

#include "fuzz/FuzzInput.h"
#include "fuzz/TecnSetup.h"
#include "models/base/BusRouter.h"
#include "models/base/Utilit.h"
#include "models/interlocking/EC_Model.h"
#include "models/movement/SignalMoveModel.h"
#include "models/operations/DelayModel.h"
#include "models/operations/InstructorModel.h"
#include "models/plan/PlanModel.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"

namespace {

constexpr int kMaxTicks = 600;
constexpr int kLessonTicks = 300;

// The start-up messages of trenager.ini and the lesson's delay-model messages, read once.
std::vector<std::string>& StartupMessages()
{
    static std::vector<std::string> messages;
    return messages;
}

// The data lines of a station file.
std::vector<std::string> DataLines(const char* name)
{
    namespace fs = std::filesystem;
    std::FILE* f = std::fopen((fs::path(VELO_SOURCE_DIR) / "station" / "data" / name).c_str(), "rb");
    if (!f) std::abort();
    std::vector<std::string> lines;
    std::string line;
    int r;
    while ((r = ReadDataLine(f, line, "*")) != -1)
        if (r == 1) lines.push_back(line);
    std::fclose(f);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    namespace fs = std::filesystem;
    for (const char* f : {"plan.dat", "breakers.dat", "EC_Model.dat", "errors.dat", "Tecnology.dat", "cars.dat"})
        fs::copy_file(fs::path(VELO_SOURCE_DIR) / "station" / "data" / f, fs::path("data") / f);
    StartupMessages() = DataLines("trenager.ini");
    // The scenario loader's message for each lesson line: [8 4 {minutes x 60} {message}].
    for (const std::string& line : DataLines("lesson1.shd")) {
        float minutes = 0;
        if (SScanf(line.c_str(), "%f", &minutes) != 1) continue;
        StartupMessages().push_back(
            Format("8 4 %f %s", static_cast<double>(minutes * 60), DropWords(line, 1).c_str()));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TPlanModel plan;
    TEC_Model ec;
    TInstructorModel instructor;
    TDelayModel delay;
    TTecnModel tecn;
    TSignalMoveModel move;
    TBusRouter bus;
    TScriptedReceiver panel;
    plan.SetName("PlanModel");
    plan.FileName = "data\\plan.dat";
    ec.SetName("EC_Model");
    ec.FileName = "data\\EC_Model.dat";
    instructor.SetName("InstructorModel");
    instructor.FileName = "DATA\\errors.dat";
    delay.SetName("DelayModel");
    tecn.SetName("TecnModel");
    tecn.FileName = "DATA\\Tecnology.dat";
    fuzz::SetStationExecutors(tecn);
    move.SetName("SignalMoveModel");
    move.PlanModel = &plan;
    ResetTecnMemory();
    ResetRandomGenerators();
    bus.recording = false;
    bus.Attach(brPlan, &plan);
    bus.Attach(brEC, &ec);
    bus.Attach(brInstructor, &instructor);
    bus.Attach(brDelay, &delay);
    bus.Attach(brTecn, &tecn);
    bus.Connect(&move);
    panel.On("4 39", nullptr, 0);
    panel.On("4", nullptr, 1);
    bus.SetReceiver(brInterface, panel.AsHandler());
    // The sample station must load; a failure here is a finding, not bad input.
    // The main window's order.
    const std::initializer_list<TModel*> models{&plan, &tecn, &delay, &move, &instructor, &ec};
    for (TModel* m : models) m->Init();
    for (const std::string& m : StartupMessages()) {
        std::string mes = m;
        bus.Send(mes);
    }

    std::string text(reinterpret_cast<const char*>(data), size);
    double t = 0;
    int ticks = 0;
    auto tick = [&] {
        t += 1.0;
        for (TModel* m : models) m->Process(static_cast<float>(t));
    };
    size_t b = 0;
    while (b < text.size()) {
        size_t e = text.find('\n', b);
        if (e == std::string::npos) e = text.size();
        std::string line = text.substr(b, e - b);
        b = e + 1;
        try {
            if (!line.empty() && line[0] == '@') {
                int n = 0;
                SScanf(line.c_str() + 1, "%d", &n);
                for (; n > 0 && ticks < kMaxTicks; --n, ++ticks) tick();
            } else {
                bus.Send(line);
            }
        } catch (const Exception&) {
            // The program shows the text in a message box and goes on.
        }
        // The recorder keeps what it received; only the latest matters here.
        panel.received.clear();
    }
    for (int i = 0; i < kLessonTicks; ++i) {
        try {
            tick();
        } catch (const Exception&) {
            // As above.
        }
        panel.received.clear();
    }
    return 0;
}
