// The program's start on copies of the sample station with one data file spoiled at a time
// (emptied, removed, cut in half, replaced by random bytes): each is either taken whole or
// refused with one message naming it, and a refused file leaves the trainer stopped (no start
// dialog, the panel covered). The post-section list, the arrival list and the securing list are
// read with skips (a faulty line of the securing list is reported once): the lesson starts anyway.
#include <fstream>
#include <ostream>
#include <random>

#include "TrainerFixture.h"

namespace {

enum class TSpoil { Emptied, Removed, Halved, Random };

struct TDataFileCase {
    const char* File;  // under data/
    bool Required;     // refused whenever it is not whole; else read with skips
};

// Test names show the file, not the record's bytes.
void PrintTo(const TDataFileCase& c, std::ostream* os) { *os << c.File; }

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

const TDataFileCase kFiles[] = {
    {"plan.dat", true},     {"breakers.dat", true},  {"Tecnology.dat", true}, {"cars.dat", true},
    {"EC_Model.dat", true}, {"errors.dat", true},    {"trenager.ini", true},  {"SwitchSt.dat", false},
    {"Pribitie.dat", false}, {"Zacrepit.dat", false},
};

} // namespace

class DataFilesTest : public TrainerTest, public ::testing::WithParamInterface<TDataFileCase> {};

TEST_P(DataFilesTest, EachSpoiledFileIsRefusedByNameOrReadWithItsSkips)
{
    namespace fs = std::filesystem;
    const fs::path station = fs::path(VELO_SOURCE_DIR) / "station" / "data";
    if (!fs::exists(station / "EC_Model.dat")) GTEST_SKIP() << "no sample station";
    const TDataFileCase c = GetParam();
    for (TSpoil spoil : {TSpoil::Emptied, TSpoil::Removed, TSpoil::Halved, TSpoil::Random}) {
        DestroyTrainerWindows();
        fs::remove_all("data");
        fs::copy(station, "data", fs::copy_options::recursive);
        const fs::path file = fs::path("data") / c.File;
        std::string bytes;
        {
            std::ifstream in(file, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        switch (spoil) {
        case TSpoil::Emptied: bytes.clear(); break;
        case TSpoil::Removed: fs::remove(file); break;
        case TSpoil::Halved: bytes.resize(bytes.size() / 2); break;
        case TSpoil::Random: {
            std::mt19937 rng(static_cast<unsigned>(bytes.size()));
            for (char& b : bytes) b = static_cast<char>(rng());
            break;
        }
        }
        if (spoil != TSpoil::Removed) std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

        Boxes.clear();
        int started = 0;
        CreateTrainerWindows([] { return new TfmMain; });
        fmMain->ShowStartDialog = [&started] { ++started; };
        fmMain->DoActivate();
        const std::string what = std::string(c.File) + " " + std::to_string(static_cast<int>(spoil));
        // However the file is spoiled, at most one message, and it names the file.
        ASSERT_LE(Boxes.size(), 1u) << what << ": " << Boxes[0] << " / " << Boxes[1];
        if (!Boxes.empty()) {
            EXPECT_NE(Lower(Boxes[0]).find(Lower(c.File)), std::string::npos) << what << ": " << Boxes[0];
        }
        if (!c.Required) {
            // Read with skips: the lesson can start whatever the file holds.
            EXPECT_EQ(started, 1) << what;
            continue;
        }
        // A cut file may still be whole by luck (cut at the end of a record); the others never are.
        if (spoil != TSpoil::Halved) {
            EXPECT_EQ(Boxes.size(), 1u) << what;
        }
        if (Boxes.empty()) {
            EXPECT_EQ(started, 1) << what;
        } else {
            EXPECT_EQ(started, 0) << what << ": " << Boxes[0];
            EXPECT_TRUE(fmMain->ForeheadPanel->Visible()) << what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(StationFiles, DataFilesTest, ::testing::ValuesIn(kFiles),
                         [](const ::testing::TestParamInfo<TDataFileCase>& i) {
                             std::string n = i.param.File;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });
