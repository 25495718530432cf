// Fuzz target: the securing list "DATA\Zacrepit.dat" with the shoe list the brake-shoe dialogues
// build of its norms. The input is the file.
#include <cstdlib>

#include "app/StationLists.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::WriteFile("data/Zacrepit.dat", std::string(reinterpret_cast<const char*>(data), size));
    TZacrepitFile file = ReadZacrepit("DATA\\Zacrepit.dat");
    // Every kept number is within its range, every track has its name, every refusal its line.
    for (const TZacrepitTrack& t : file.Tracks)
        if (t.Name.empty() || t.Id > kMaxTrackId || t.Line < 1) std::abort();
    for (const listob<TZacrepitNorm>* p = file.Norms.First(); p; p = p->next) {
        const TZacrepitNorm& n = p->value;
        if (n.Bound < 1 || n.Bound > kMaxNormBound || n.Track > kMaxTrackId || n.Loaded < 0 || n.Loaded > 1 ||
            n.Shoes > kMaxShoes)
            std::abort();
    }
    for (const TDataLineProblem& p : file.Problems)
        if (p.Line < 1 || p.Reason.empty()) std::abort();
    // The shoe list of the dialogues stays small whatever the file says.
    if (ShoeRange(file.Norms).size() > kMaxShoes + 1) std::abort();
    return 0;
}
