// Fuzz target: the scenario files. The input is a scenario file; it is read as the editor reads
// it (with sections 12 "2П" and 219 "19СП" of the sample station listed), written back, and
// what was written must read back as the same events.
#include "app/scenario/ScenarioFile.h"
#include "fuzz/FuzzInput.h"
#include "platform/core/Exception.h"

namespace {

bool Same(const TTrainRecord& a, const TTrainRecord& b)
{
    return a.Key == b.Key && a.Minutes == b.Minutes && a.Page == b.Page && a.Message == b.Message &&
           a.Display == b.Display && a.Kept == b.Kept;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Byte 0x98 is no character of code page 1251: it reads as U+FFFD and is written back as "?",
    // the way every text of the program converts it. The input keeps to the code page.
    std::string text(reinterpret_cast<const char*>(data), size);
    for (char& c : text)
        if (static_cast<unsigned char>(c) == 0x98) c = '?';
    fuzz::WriteFile("data/in.shd", text);
    const TSectionList sections{{12, "2П"}, {219, "19СП"}};
    TScenarioDocument read, back;
    if (read.Load("data\\in.shd", sections) == TScenarioDocument::TLoadResult::CannotOpen) std::abort();
    if (!read.Save("data\\out.shd")) std::abort();
    if (back.Load("data\\out.shd", sections) != TScenarioDocument::TLoadResult::Read) std::abort();
    const auto& a = read.Events();
    const auto& b = back.Events();
    if (a.size() != b.size()) std::abort();
    for (size_t i = 0; i < a.size(); ++i)
        if (!Same(a[i], b[i])) std::abort();
    return 0;
}
