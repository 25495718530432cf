// Fuzz target: the sample station (station/data) loaded through the plan, interlocking, technology,
// instructor and delay models on one bus, fed arbitrary bus texts with time steps between. Every
// input starts as the program does: the models read their files, then the start-up messages of
// "data\trenager.ini" are delivered. The input is one line an event: "@{n}" lets n seconds of
// model time pass (one tick a second, as the main timer does; at most 600 ticks an input), any
// other line is delivered as a bus message. The main window (4) is a recorder that accepts what
// it is sent, except the section-name request, which the interlocking model may be refused.
#include <filesystem>
#include <initializer_list>

#include "fuzz/FuzzInput.h"
#include "fuzz/TecnSetup.h"
#include "models/base/BusRouter.h"
#include "models/base/Utilit.h"
#include "models/interlocking/EC_Model.h"
#include "models/operations/DelayModel.h"
#include "models/operations/InstructorModel.h"
#include "models/plan/PlanModel.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"

namespace {

constexpr int kMaxTicks = 600;

// The start-up messages of trenager.ini, read once.
std::vector<std::string>& StartupMessages()
{
    static std::vector<std::string> messages;
    return messages;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    namespace fs = std::filesystem;
    for (const char* f : {"plan.dat", "breakers.dat", "EC_Model.dat", "errors.dat", "Tecnology.dat", "cars.dat"})
        fs::copy_file(fs::path(VELO_SOURCE_DIR) / "station" / "data" / f, fs::path("data") / f);
    std::FILE* f = std::fopen((fs::path(VELO_SOURCE_DIR) / "station" / "data" / "trenager.ini").c_str(), "rb");
    if (!f) std::abort();
    std::string line;
    int r;
    while ((r = ReadDataLine(f, line, "*")) != -1)
        if (r == 1) StartupMessages().push_back(line);
    std::fclose(f);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TPlanModel plan;
    TEC_Model ec;
    TInstructorModel instructor;
    TDelayModel delay;
    TTecnModel tecn;
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
    ResetTecnMemory();
    ResetRandomGenerators();
    bus.recording = false;
    bus.Attach(brPlan, &plan);
    bus.Attach(brEC, &ec);
    bus.Attach(brInstructor, &instructor);
    bus.Attach(brDelay, &delay);
    bus.Attach(brTecn, &tecn);
    panel.On("4 39", nullptr, 0);
    panel.On("4", nullptr, 1);
    bus.SetReceiver(brInterface, panel.AsHandler());
    // The sample station must load; a failure here is a finding, not bad input.
    for (TModel* m : std::initializer_list<TModel*>{&plan, &ec, &instructor, &delay, &tecn}) m->Init();
    for (const std::string& m : StartupMessages()) {
        std::string mes = m;
        bus.Send(mes);
    }

    std::string text(reinterpret_cast<const char*>(data), size);
    double t = 0;
    int ticks = 0;
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
                for (; n > 0 && ticks < kMaxTicks; --n, ++ticks) {
                    t += 1.0;
                    for (TModel* m : std::initializer_list<TModel*>{&plan, &delay, &ec, &instructor, &tecn})
                        m->Process(static_cast<float>(t));
                }
            } else {
                bus.Send(line);
            }
        } catch (const Exception&) {
            // The program shows the text in a message box and goes on.
        }
        // The recorder keeps what it received; only the latest matters here.
        panel.received.clear();
    }
    return 0;
}
