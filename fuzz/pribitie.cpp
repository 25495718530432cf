// Fuzz target: the dialogues' arrival lists. The input is "DATA\Pribitie.dat".
#include "app/dialogues/ArrivalList.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::WriteFile("data/Pribitie.dat", std::string(reinterpret_cast<const char*>(data), size));
    // Every line the dialogues get has its name.
    for (const TArrivalLine& l : ReadArrivalList("DATA\\Pribitie.dat"))
        if (l.Text.empty()) std::abort();
    return 0;
}
