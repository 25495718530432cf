// Fuzz target: the track plan's reader. The input is plan.dat, a form feed, breakers.dat; the
// plan model loads both from its working directory as the program does, then steps its clock.
#include "fuzz/FuzzInput.h"
#include "models/plan/PlanModel.h"
#include "platform/core/Exception.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> files = fuzz::SplitFiles(data, size, 2);
    fuzz::WriteFile("data/plan.dat", files[0]);
    fuzz::WriteFile("data/breakers.dat", files[1]);
    TPlanModel plan;
    plan.SetName("PlanModel");
    plan.FileName = "data\\plan.dat";
    try {
        plan.Init();
        for (int t = 1; t <= 3; ++t) plan.Process(static_cast<float>(t));
    } catch (const Exception&) {
        // A clear error of the data: what the program shows in its message box.
    }
    return 0;
}
