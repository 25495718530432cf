// Fuzz target: the plan-function language. The input is plan-function records as plan.dat writes
// them, one a line: "8 {number} {expression}" for a section function, "9 ..." for an event
// function. Every section function then runs for object 12 on section 7 ("1П"), every event
// function for the object alone. The object's model answers every bus message with the
// message's arguments, so replies can carry calls back into the language.
#include "fuzz/FuzzInput.h"
#include "models/base/Model.h"
#include "models/base/Utilit.h"
#include "models/plan/PlanFunction.h"
#include "platform/core/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResetPlanMemory();
    ResetRandomGenerators();
    TaPlanFunctions sectionFunctions, eventFunctions;
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t b = 0;
    while (b < text.size()) {
        size_t e = text.find('\n', b);
        if (e == std::string::npos) e = text.size();
        // A data line counts at most its first 239 bytes.
        std::string line = text.substr(b, std::min(e - b, kDataLineBytes));
        b = e + 1;
        try {
            if (FirstWord(line) == "9")
                eventFunctions.ReadRecord(line);
            else
                sectionFunctions.ReadRecord(line);
        } catch (const Exception&) {
        }
    }

    TModel model;
    model.OnSendMessage = [](TModel*, std::string& mes, TlstParams*) {
        mes = DropWords(mes, 2);
        return true;
    };
    TPlanObjectContext obj{12, &model, &sectionFunctions};
    TPlanSectionContext section{7, "1П"};
    std::string out;
    for (unsigned i = 0; i < sectionFunctions.Count(); ++i) {
        try {
            RunPlanFunction(sectionFunctions.Get(i), &obj, &section, &out);
        } catch (const Exception&) {
        }
    }
    for (unsigned i = 0; i < eventFunctions.Count(); ++i) {
        try {
            RunPlanFunction(eventFunctions.Get(i), &obj, nullptr, &out);
        } catch (const Exception&) {
        }
    }
    return 0;
}
