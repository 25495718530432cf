// The second shipped lesson, station/data/lesson2.shd, is composed through the scenario editor's
// own page logic (the trains and faults an instructor adds in the editor, the dispatcher's calls
// as lines the editor keeps): the shipped file must be what the editor writes, so that it cannot
// drift from what an instructor could make. VELO_WRITE_LESSONS=1 writes it again.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "app/scenario/ScenarioEditorModel.h"
#include "app/scenario/ScenarioFile.h"

namespace {

namespace fs = std::filesystem;

// One train as the instructor types it on a stretch page.
TTrainFields Train(const char* number, const char* time, int type, const char* loco = "", const char* index = "",
                   const char* length = "50", bool help = false, const char* change = "")
{
    TTrainFields f;
    f.Number = number;
    f.Time = time;
    f.Type = type;
    f.Loco = loco;
    f.Index = index;
    f.Length = length;
    f.Help = help;
    f.AddLoko = change;
    return f;
}

int ItemOf(const std::vector<std::string>& items, const std::string& name)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == name) return static_cast<int>(i);
    return -1;
}

int SectionItem(const TSectionList& sections, const std::string& name)
{
    for (size_t i = 0; i < sections.size(); ++i)
        if (sections[i].Name == name) return static_cast<int>(i);
    return -1;
}

// The dispatcher's call at a minute: rung on ПДСу and spoken, as the editor keeps such lines.
void DispatcherCall(TScenarioEditorModel& m, int minute, const std::string& text)
{
    for (const char* form : {"%d 4 32 ПДСу %s", "%d 4 9 ПДСу 0 %s"}) {
        char line[240];
        std::snprintf(line, sizeof line, form, minute, text.c_str());
        m.Doc.Add(ReadScenarioLine(line, m.Sections));
    }
}

// lesson2: every train kind of both stretch pages, spaced so that a trainee working in order finds
// a free track for each (receiving park 2П and 1П once 2001 is humped; 1В for the freight trains of
// the departure park; 3В for the passenger and suburban trains), the dispatcher's orders for every
// humping and transit departure, a false occupancy in the west throat before a train is received
// through it and a switch of the east throat that stops turning between the trains that need it.
void ComposeLessonTwo(TScenarioEditorModel& m)
{
    const char* const kBreakUpIndex = "4100 1 4000";
    // Page 1: from Тарвина-Восточная.
    TTrainFields t = Train("2407", "00:02", ttTransit, "170", "4100 2 4300", "52", false, "174");
    m.AddTrain(1, t);
    t = Train("2409", "00:06", ttBreakUp, "166", kBreakUpIndex, "50", true);
    m.AddTrain(1, t);
    t = Train("6203", "00:20", ttSuburban);
    m.AddTrain(1, t);
    t = Train("2411", "00:32", ttBreakUp, "180", kBreakUpIndex, "55");
    m.AddTrain(1, t);
    t = Train("93", "00:44", ttPassenger);
    m.AddTrain(1, t);
    // Page 2: from Тарвина-Вертолин.
    t = Train("6204", "00:04", ttSuburban);
    m.AddTrain(2, t);
    t = Train("2402", "00:24", ttTransit, "176", "4008 2 4100", "46", false, "178");
    m.AddTrain(2, t);
    t = Train("92", "00:32", ttPassenger);
    m.AddTrain(2, t);
    t = Train("2406", "00:46", ttBreakUp, "172", "4008 1 4000", "44");
    m.AddTrain(2, t);
    // Faults.
    TFaultFields f;
    f.Time = "00:28";
    f.Type = ftOccupied;
    f.Section = SectionItem(m.Sections, "3СП");
    m.AddFault(f);
    f = TFaultFields{};
    f.Time = "00:36";
    f.Type = ftSwitch;
    f.Switch = ItemOf(m.Switches, "25");
    m.AddFault(f);
    // The dispatcher.
    DispatcherCall(m, 4, "Состав с первого пути распустить");
    DispatcherCall(m, 16, "Транзитный поезд отправить по готовности");
    DispatcherCall(m, 22, "Состав со второго пути распустить");
    DispatcherCall(m, 38, "Транзитный поезд отправить по готовности");
    DispatcherCall(m, 52, "Состав с первого пути распустить");
    m.Doc.Sort();
}

std::string FileBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(LessonTwo, TheShippedLessonIsWhatTheEditorWrites)
{
    const fs::path data = fs::path(VELO_SOURCE_DIR) / "station" / "data";
    TScenarioEditorModel m;
    ASSERT_TRUE(m.ReadSwitchList((data / "SwitchSt.dat").string()).empty());
    m.ReadTrainKinds((data / "Tecnology.dat").string());
    ASSERT_FALSE(m.TrainKinds.empty());
    ComposeLessonTwo(m);
    // Every train and fault went through the editor's pages; only the dispatcher's calls are kept.
    int trains[3] = {0, 0, 0};
    for (const TTrainRecord& r : m.Doc.Events()) {
        if (r.Kept) EXPECT_EQ(r.Message.find(" 4 "), r.Message.find(' ')) << r.Message;
        else ++trains[r.Page - 1];
    }
    EXPECT_EQ(trains[0], 5);
    EXPECT_EQ(trains[1], 4);
    EXPECT_EQ(trains[2], 2);

    const fs::path written = fs::path(testing::TempDir()) / "lesson2.shd";
    ASSERT_TRUE(m.Doc.Save(written.string()));
    const char* update = std::getenv("VELO_WRITE_LESSONS");
    if (update && std::string(update) == "1") fs::copy_file(written, data / "lesson2.shd", fs::copy_options::overwrite_existing);
    EXPECT_EQ(FileBytes(data / "lesson2.shd"), FileBytes(written))
        << "station/data/lesson2.shd differs from what the editor writes (" << written.string()
        << "); run this test with VELO_WRITE_LESSONS=1 to write it again";
}
