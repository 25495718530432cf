// Fuzz target: the technology language. The input is the functions section of a technology
// file ("Функция", its number, its lines, ...); it is read between a fixed works section and a
// fixed automaton, every function then runs for an object of that automaton (coupled to a
// second one, so chains and cuts are reached) and every line is evaluated once more for it by
// command 25. The technology model answers on its own receiver, every other receiver answers
// with the message's arguments, so replies can carry calls back into the language.
#include "fuzz/FuzzInput.h"
#include "fuzz/TecnSetup.h"
#include "models/base/BusRouter.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Strings.h"

namespace {

const char* const kWorks =
    "Работы\n"
    "Работа\n201\nИсполнитель\n5 1 8 0 0 0 0\nВремя\n(FUNC 1)\nУсловие\n(FUNC 2)\n"
    "Функции\n";
const char* const kAutomata =
    "\nОбъекты\n"
    "Объект\n1\nИсполнитель\n4 0 0 0 0 0 0\nПараметр\n1025 2001\nПараметр\n2001 600\n"
    "Состояние\n0 1 1 2 201\nСостояние\n101 3 2 4 201 | 201\nСостояние\n"
    "EOF\n";

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The file is code page 1251, as the input is.
    static const std::string works = Utf8ToCp1251(kWorks), automata = Utf8ToCp1251(kAutomata);
    fuzz::WriteFile("data/Tecnology.dat", works + std::string(reinterpret_cast<const char*>(data), size) + automata);
    ResetTecnMemory();
    ResetRandomGenerators();

    TTecnModel model;
    model.SetName("TecnModel");
    model.FileName = "DATA\\Tecnology.dat";
    model.CarsFileName = "data\\none.dat";
    fuzz::SetStationExecutors(model);
    TBusRouter bus;
    bus.recording = false;
    bus.Attach(brTecn, &model);
    bus.SetFallback([](std::string& mes, TlstParams*) {
        mes = DropWords(mes, 2);
        return 1;
    });
    try {
        model.Init();
    } catch (const Exception&) {
        return 0;
    }
    std::string reply;
    int first = 0, second = 0;
    try {
        reply = "3 6 1";
        if (bus.Send(reply)) first = static_cast<int>(AtolC(reply.c_str()));
        reply = "3 6 1 1008 " + std::to_string(first);
        if (bus.Send(reply)) second = static_cast<int>(AtolC(reply.c_str()));
        reply = Format("3 8 %d", second);
        bus.Send(reply);
    } catch (const Exception&) {
    }
    for (unsigned i = 0; i < model.TaTecnFunctions.Count(); ++i) {
        int n = model.TaTecnFunctions.Get(i)->Number;
        TTecnObject* o = model.FindObject(first);
        if (!o) break;
        std::string out;
        try {
            model.RunFunction(n, o, &out);
        } catch (const Exception&) {
        }
        // The lines of the function as the command that evaluates one text.
        for (auto* line = model.TaTecnFunctions.Get(i)->Body.First(); line; line = line->next) {
            std::string mes = Format("3 25 %d ", first) + line->value;
            try {
                bus.Send(mes);
            } catch (const Exception&) {
            }
        }
    }
    return 0;
}
