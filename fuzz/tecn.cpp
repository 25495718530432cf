// Fuzz target: the technology model's files. The input is "DATA\Tecnology.dat", a form feed,
// "data\cars.dat", a form feed, a composition file; the model starts as the program starts it
// (the sample station's executors, the car types, then the technology file), reads the
// composition by command 14, creates an object of every automaton type by command 6, sends
// every object the commands its automaton knows and lets time pass. Every other receiver
// accepts what it is sent and answers "1 0" (a place and a position for the plan's replies).
#include <algorithm>

#include "fuzz/FuzzInput.h"
#include "fuzz/TecnSetup.h"
#include "models/base/BusRouter.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"

namespace {

constexpr unsigned kMaxTypes = 8;
constexpr size_t kMaxCommands = 6;

// The distinct commands of an automaton's transitions, at most kMaxCommands.
std::vector<int> Commands(const TAutomat& a)
{
    std::vector<int> cmds;
    for (unsigned s = 0; s < a.States.Count(); ++s)
        for (const TAutomatFunction& t : *a.States.Get(s)) {
            if (cmds.size() == kMaxCommands) return cmds;
            if (std::find(cmds.begin(), cmds.end(), t.Command) == cmds.end()) cmds.push_back(t.Command);
        }
    return cmds;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> files = fuzz::SplitFiles(data, size, 3);
    fuzz::WriteFile("data/Tecnology.dat", files[0]);
    fuzz::WriteFile("data/cars.dat", files[1]);
    fuzz::WriteFile("data/sostav.txt", files[2]);
    ResetTecnMemory();
    ResetRandomGenerators();

    TTecnModel model;
    model.SetName("TecnModel");
    model.FileName = "DATA\\Tecnology.dat";
    fuzz::SetStationExecutors(model);
    TBusRouter bus;
    bus.recording = false;
    bus.Attach(brTecn, &model);
    bus.SetFallback([](std::string& mes, TlstParams*) {
        mes = "1 0";
        return 1;
    });
    auto send = [&bus](const std::string& text) {
        std::string mes = text;
        try {
            bus.Send(mes);
        } catch (const Exception&) {
            // A clear error: the program shows it and goes on.
        }
    };
    try {
        model.Init();
    } catch (const Exception&) {
        return 0;  // the program refuses to start on this data
    }
    send("3 14 data\\sostav.txt");
    for (unsigned i = 0; i < model.TaAutomats.Count() && i < kMaxTypes; ++i)
        send(Format("3 6 %d", model.TaAutomats.Get(i)->Type));
    std::vector<int> numbers;
    for (const auto& o : model.TlstObjects)
        if (!o->Dead) numbers.push_back(o->Number);
    double t = 0;
    for (int n : numbers) {
        TTecnObject* o = model.FindObject(n);
        if (!o || !o->Automat) continue;
        for (int cmd : Commands(*o->Automat)) {
            send(Format("3 5 %d %d 1", n, cmd));
            t += 60;
            try {
                model.Process(static_cast<float>(t));
            } catch (const Exception&) {
            }
        }
    }
    for (int i = 0; i < 10; ++i) {
        t += 120;
        try {
            model.Process(static_cast<float>(t));
        } catch (const Exception&) {
        }
    }
    return 0;
}
