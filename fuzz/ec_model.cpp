// Fuzz target: the interlocking model's reader. The input is EC_Model.dat; the model loads it
// and steps its clock (its devices run once a step).
#include "fuzz/FuzzInput.h"
#include "models/interlocking/EC_Model.h"
#include "platform/core/Exception.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::WriteFile("data/EC_Model.dat", std::string(reinterpret_cast<const char*>(data), size));
    TEC_Model ec;
    ec.SetName("EC_Model");
    ec.FileName = "data\\EC_Model.dat";
    try {
        ec.Init();
        for (int t = 1; t <= 3; ++t) ec.Process(static_cast<float>(t));
    } catch (const Exception&) {
        // A clear error of the data.
    }
    return 0;
}
