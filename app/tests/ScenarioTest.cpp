// The scenario document and the editor's page logic, without windows: reading every kind of
// line, the page texts, keeping what the editor does not understand, the round trip to disk, the
// all-or-nothing save, the overflow, and the editor's add, remove, clear and drop-down rules.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "app/dialogues/Confirmation.h"
#include "app/scenario/ScenarioEditorModel.h"
#include "app/scenario/ScenarioFile.h"
#include "platform/core/Exception.h"
#include "platform/core/Strings.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own under the test's temporary folder.
class ScenarioFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("velostan_scenario_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    void Write(const std::string& name, const std::string& utf8) const
    {
        std::ofstream(Path(name), std::ios::binary) << Utf8ToCp1251(utf8);
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return Cp1251ToUtf8(s.str());
    }

    fs::path dir;
};

// The bytes of a literal, NULs included.
template <size_t N>
std::string Bytes(const char (&s)[N])
{
    return std::string(s, N - 1);
}

// Sections of the post-section list "2 3 15 9-15", "2 1 12 2П".
const TSectionList kSections = {{15, "9-15"}, {12, "2П"}};

} // namespace

TEST_F(ScenarioFileTest, EveryKindOfLineIsShownAndWrittenBackAsRead)
{
    struct Case {
        const char* line;
        int page;
        int key;
        const char* display;
    };
    const Case cases[] = {
        {"510 3 6 1 1025 2417 1511 166 1504 50 2001 750 1505 1 1540 4100 1541 1 1542 4000", 1, 2417,
         "08:30 2417: разборка, ИНД 4100 01 4000, УДЛ 50(Г), лок 166"},
        {"9 3 6 7 1025 2405 1511 180 1504 55 2001 825 1505 0 1540 4100 1541 13 1542 4100", 1, 2405,
         "00:09 2405: разборка, ИНД 4100 13 4000, УДЛ 55(П), лок 180 (помощь)"},
        // Missing pairs show their defaults; the line is kept as it is.
        {"1 3 6 3 1025 3001", 1, 3001, "00:01 3001: транзитный, ИНД 4100 01 4008, УДЛ 50(Г), лок 166, смена 166"},
        {"2 3 6 11 1025 3002 1513 170", 2, 3002, "00:02 3002: транзитный, ИНД 4008 01 4100, УДЛ 50(Г), лок 166, смена 170"},
        {"3 3 6 12 1025 3003 1542 4100", 2, 3003, "00:03 3003: разборка, ИНД 4008 01 4000, УДЛ 50(Г), лок 166"},
        {"605 3 6 5 1025 57 2001 400", 1, 57, "10:05 57: пассажирский "},
        {"4 3 6 9 1025 58 2001 400", 2, 58, "00:04 58: пассажирский "},
        {"5 3 6 6 1025 6201 2001 200", 1, 6201, "00:05 6201: пригородный "},
        {"6 3 6 10 1025 6202 2001 200", 2, 6202, "00:06 6202: пригородный "},
        {"600 1 37 12 3", 3, 0, "10:00 Невозможность перевода стрелки 12"},
        {"615 2 19 15 102", 3, 1, "10:15 Ложная свободность секции 9-15"},
        {"616 2 19 12 101", 3, 1, "10:16 Ложная занятость секции 2П"},
        // A line with a blank before its time is read all the same.
        {" 10 1 37 3 3", 3, 0, "00:10 Невозможность перевода стрелки 3"},
        // Lines the editor does not understand are kept and shown readably, with the reason.
        {"75 1 37 12 5", 3, kNoKey, "01:15 не разобрано: значение 5 — 75 1 37 12 5"},
        {"617 2 19 99 101", 3, kNoKey, "10:17 не разобрано: секции 99 нет в списке — 617 2 19 99 101"},
        {"7 3 6 1 1511 166 1504 40", 3, kNoKey, "00:07 не разобрано: нет номера поезда (1025) — 7 3 6 1 1511 166 1504 40"},
        {"8 3 6 2 1025 2001", 3, 2001, "00:08 не разобрано: вид поезда 2 — 8 3 6 2 1025 2001"},
        {"9 4 9 СП7 0 Состав готов", 3, kNoKey, "00:09 виклик СП7: Состав готов"},
        {"9 4 32 ПДСу Состав готов", 3, kNoKey, "00:09 текст для ПДСу: Состав готов"},
        {"9 4 28", 3, kNoKey, "00:09 не разобрано — 9 4 28"},
        {"* the next train is late", 3, kNoKey, "примечание: the next train is late"},
        {"8:30 3 6 5 1025 59 2001 400", 3, 59, "не разобрано: не прочитано время 8:30 — 8:30 3 6 5 1025 59 2001 400"},
        // The time's rule is the run's: these are not scheduled either.
        {"1e1 3 6 5 1025 60 2001 400", 3, 60, "не разобрано: не прочитано время 1e1 — 1e1 3 6 5 1025 60 2001 400"},
        {"5999 1 37 12 3", 3, kNoKey, "не разобрано: время 5999 вне суток (до 1439 минут, 23:59) — 5999 1 37 12 3"},
    };
    std::string file;
    for (const Case& c : cases) {
        // Windows line ends and blank lines come with hand-made files.
        file += std::string(c.line) + (c.page == 3 ? "\r\n" : "\n") + (c.key == 57 ? "\n   \n" : "");
    }
    Write("all.shd", file);

    TScenarioDocument doc;
    doc.Modified = true;
    ASSERT_EQ(doc.Load(Path("all.shd"), kSections), TScenarioDocument::TLoadResult::Read);
    EXPECT_TRUE(doc.Modified);
    ASSERT_EQ(doc.Events().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const TTrainRecord& r = doc.Events()[i];
        EXPECT_EQ(r.Message, cases[i].line);
        EXPECT_EQ(r.Page, cases[i].page) << cases[i].line;
        EXPECT_EQ(r.Key, cases[i].key) << cases[i].line;
        EXPECT_EQ(r.Display, cases[i].display);
    }
    EXPECT_EQ(doc.PageDisplays(2).size(), 4u);

    ASSERT_TRUE(doc.Save(Path("out.shd")));
    EXPECT_FALSE(doc.Modified);
    // Opened and saved without an edit: the same bytes, blank lines and line ends included.
    EXPECT_EQ(Read("out.shd"), file);
    EXPECT_FALSE(fs::exists(Path("out.shd.tmp")));

    // A remark keeps its place before the event it stands above when an add sorts the list.
    TScenarioEditorModel model;
    model.Sections = kSections;
    model.Doc.Load(Path("out.shd"), kSections);
    TTrainFields f;
    f.Number = "4";
    f.Time = "00:00";
    f.Type = ttPassenger;
    model.AddTrain(1, f);
    std::vector<std::string> lines;
    for (const TTrainRecord& r : model.Doc.Events()) lines.push_back(r.Message);
    auto at = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) - lines.begin(); };
    EXPECT_EQ(lines.front(), "0 3 6 5 1025 4 2001 400");
    EXPECT_EQ(at("* the next train is late") + 1, at("8:30 3 6 5 1025 59 2001 400"));
}

TEST_F(ScenarioFileTest, OpenedAndSavedWithoutAnEditTheBytesStay)
{
    // Code page 1251 on disk, byte 0x98 (no character of the code page) in a call, a NUL, a
    // line end doubled by a second conversion, blank lines, and a last line without a line end:
    //   <blank>
    //   5 4 9 ПДСу 0 x<98>y<CR><LF>
    //   <blank><CR><LF>
    //   6 1 2 3<NUL>tail<CR><CR><LF>
    //   7 1 37 12 3          (no line end)
    const std::string file = Bytes("\n5 4 9 \xcf\xc4\xd1\xf3 0 x\x98y\r\n\r\n6 1 2 3\0tail\r\r\n7 1 37 12 3");
    std::ofstream(Path("odd.shd"), std::ios::binary) << file;
    auto bytes = [this](const std::string& name) {
        std::ifstream in(Path(name), std::ios::binary);
        std::stringstream b;
        b << in.rdbuf();
        return b.str();
    };
    TScenarioDocument doc, again;
    ASSERT_EQ(doc.Load(Path("odd.shd"), kSections), TScenarioDocument::TLoadResult::Read);
    EXPECT_FALSE(doc.Utf8);
    ASSERT_EQ(doc.Events().size(), 3u);
    ASSERT_TRUE(doc.Save(Path("out.shd")));
    EXPECT_EQ(bytes("out.shd"), file);
    ASSERT_EQ(again.Load(Path("out.shd"), kSections), TScenarioDocument::TLoadResult::Read);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(again.Events()[i].Message, doc.Events()[i].Message);

    // Sorted, the last line moves up and gets a line end; each line stays whole.
    doc.Sort();
    TTrainRecord r;
    r.Minutes = 8;
    r.Message = "8 1 37 12 3";
    doc.Add(r);
    doc.Sort();
    ASSERT_TRUE(doc.Save(Path("out.shd")));
    EXPECT_EQ(bytes("out.shd"), Bytes("\n5 4 9 \xcf\xc4\xd1\xf3 0 x\x98y\r\n\r\n6 1 2 3\0tail\r\r\n7 1 37 12 3\n8 1 37 12 3\n"));

    // A UTF-8 file (its "И" is D0 98), with or without a byte-order mark, is read as UTF-8 and
    // written in code page 1251:
    //   10 4 9 ПДСу 0 Иван
    for (const std::string& mark : {std::string(), std::string("\xEF\xBB\xBF")}) {
        std::ofstream(Path("utf8.shd"), std::ios::binary) << mark + "10 4 9 ПДСу 0 Иван\n";
        TScenarioDocument u;
        ASSERT_EQ(u.Load(Path("utf8.shd"), kSections), TScenarioDocument::TLoadResult::Read);
        EXPECT_TRUE(u.Utf8);
        ASSERT_EQ(u.Events().size(), 1u);
        EXPECT_EQ(u.Events()[0].Display, "00:10 виклик ПДСу: Иван");
        ASSERT_TRUE(u.Save(Path("utf8.shd")));
        EXPECT_EQ(bytes("utf8.shd"), "10 4 9 \xcf\xc4\xd1\xf3 0 \xc8\xe2\xe0\xed\n");
        EXPECT_FALSE(u.Utf8);
        ASSERT_TRUE(u.Save(Path("utf8.shd")));
        EXPECT_EQ(bytes("utf8.shd"), "10 4 9 \xcf\xc4\xd1\xf3 0 \xc8\xe2\xe0\xed\n");
    }

    // Code page 1251 text that happens to be valid UTF-8 ("Р", a no-break space, "В", "°": in
    // UTF-8 "Р°") stays code page 1251; so does a file of a lone byte-order mark, kept as it is.
    for (const std::string& kept : {std::string("0 4 28 \xD0\xA0\xC2\xB0\n"), std::string("\xEF\xBB\xBF"),
                                    std::string("\xEF\xBB\xBF" "5 1 37 12 3\n")}) {
        std::ofstream(Path("kept.shd"), std::ios::binary) << kept;
        TScenarioDocument k;
        ASSERT_EQ(k.Load(Path("kept.shd"), kSections), TScenarioDocument::TLoadResult::Read);
        EXPECT_FALSE(k.Utf8);
        ASSERT_TRUE(k.Save(Path("kept.shd")));
        EXPECT_EQ(bytes("kept.shd"), kept);
    }
    TScenarioDocument k;
    ASSERT_EQ(k.Load(Path("kept.shd"), kSections), TScenarioDocument::TLoadResult::Read);
    EXPECT_EQ(k.Events()[0].Display, "00:05 Невозможность перевода стрелки 12");
}

TEST_F(ScenarioFileTest, EverySampleScenarioReadsAndWritesBackUnchanged)
{
    const fs::path station = fs::path(VELO_SOURCE_DIR) / "station" / "data";
    TScenarioEditorModel model;
    model.ReadSwitchList((station / "SwitchSt.dat").string());
    int files = 0;
    for (const std::string& name : ListScenarioFiles(station.string())) {
        ++files;
        TScenarioDocument doc;
        ASSERT_EQ(doc.Load((station / name).string(), model.Sections), TScenarioDocument::TLoadResult::Read) << name;
        ASSERT_TRUE(doc.Save(Path(name))) << name;
        std::ifstream a(station / name, std::ios::binary), b(Path(name), std::ios::binary);
        std::stringstream sa, sb;
        sa << a.rdbuf();
        sb << b.rdbuf();
        EXPECT_EQ(sb.str(), sa.str()) << name;
        // The lesson's trains and faults are all understood; only the calls are kept as read.
        for (const TTrainRecord& r : doc.Events()) {
            int minutes = 0, receiver = 0;
            std::istringstream(r.Message) >> minutes >> receiver;
            EXPECT_EQ(r.Kept, receiver == 4) << name << ": " << r.Message;
        }
    }
    EXPECT_EQ(files, 3);
}

TEST_F(ScenarioFileTest, OverflowKeepsTheRestOfTheFileAndTheRunSchedulesAll)
{
    // 350 switch faults "0 1 37 1 3" ... "349 1 37 1 3", a blank line among the unlisted ones.
    std::string text;
    for (int i = 0; i < 350; ++i) text += std::to_string(i) + " 1 37 1 3\n" + (i == 320 ? "\n" : "");
    Write("big.shd", text);
    TScenarioDocument doc;
    EXPECT_EQ(doc.Load(Path("big.shd"), {}), TScenarioDocument::TLoadResult::Overflow);
    ASSERT_EQ(doc.Events().size(), 299u);
    EXPECT_EQ(doc.Events().back().Message, "298 1 37 1 3");
    EXPECT_EQ(doc.Unlisted, 51u);
    try {
        doc.Add(TTrainRecord{});
        FAIL() << "no overflow";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Переполнение массива300");
    }
    EXPECT_EQ(doc.Events().size(), 299u);
    // Saved with no edit, and after a removal, nothing of the tail is lost.
    ASSERT_TRUE(doc.Save(Path("big.shd")));
    EXPECT_EQ(Read("big.shd"), text);
    doc.Remove(0);
    ASSERT_TRUE(doc.Save(Path("big.shd")));
    EXPECT_EQ(Read("big.shd"), text.substr(text.find('\n') + 1));
    // The run schedules every line of the file.
    std::vector<std::string> sent;
    std::vector<TUnscheduledLine> skipped;
    Write("big.shd", text);
    ASSERT_TRUE(ScheduleScenario(Path("big.shd"), [&sent](std::string& m) { sent.push_back(m); return true; }, skipped));
    EXPECT_EQ(sent.size(), 350u);
    EXPECT_EQ(sent.back(), "8 4 20940.000000 1 37 1 3");
    EXPECT_TRUE(skipped.empty());

    // The write fails half way: the old file stays whole and nothing is left beside it.
    doc.Modified = true;
    int written = 0;
    doc.WriteLine = [&written](std::FILE* f, const std::string& line) {
        return ++written < 3 && std::fputs(line.c_str(), f) >= 0;
    };
    EXPECT_FALSE(doc.Save(Path("big.shd")));
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(Read("big.shd"), text);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    // A folder that does not exist cannot be written either.
    EXPECT_FALSE(doc.Save(Path("none/x.shd")));

    // A file that cannot be opened changes nothing.
    EXPECT_EQ(doc.Load(Path("missing.shd"), {}), TScenarioDocument::TLoadResult::CannotOpen);
    EXPECT_EQ(doc.Events().size(), 298u);
}

TEST_F(ScenarioFileTest, TheSaveKeepsAWriteProtectedFileAndWritesThroughALink)
{
    // lesson.shd is write-protected; link.shd is a link to real.shd.
    Write("lesson.shd", "10 1 37 12 3\n");
    fs::permissions(Path("lesson.shd"), fs::perms::owner_read | fs::perms::group_read);
    Write("real.shd", "10 1 37 12 3\n");
    fs::create_symlink("real.shd", Path("link.shd"));
    TScenarioDocument doc;
    ASSERT_EQ(doc.Load(Path("lesson.shd"), {}), TScenarioDocument::TLoadResult::Read);
    doc.Remove(0);
    doc.Modified = true;
    EXPECT_FALSE(doc.Save(Path("lesson.shd")));
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(Read("lesson.shd"), "10 1 37 12 3\n");
    EXPECT_EQ(fs::status(Path("lesson.shd")).permissions() & fs::perms::owner_write, fs::perms::none);

    // A temporary file a crash left behind is replaced and never listed.
    Write("real.shd.tmp", "half");
    ASSERT_TRUE(doc.Save(Path("link.shd")));
    EXPECT_TRUE(fs::is_symlink(Path("link.shd")));
    EXPECT_EQ(Read("real.shd"), "");
    EXPECT_FALSE(fs::exists(Path("real.shd.tmp")));
    Write("x.shd.tmp", "half");
    EXPECT_EQ(ListScenarioFiles(dir.string()), (std::vector<std::string>{"lesson.shd", "link.shd", "real.shd"}));
}

// ---- the editor's page logic ----

class ScenarioEditorModelTest : public ScenarioFileTest {
protected:
    void SetUp() override
    {
        ScenarioFileTest::SetUp();
        // One switch, three sections (the last line ends with a line break), a line that does not
        // scan and one of another kind.
        Write("SwitchSt.dat", "1 3 12\n2 3 15 9-15  \nнет\n3 7 21 23-47\r\n4 1 1 x\n2 1 12 2П\n");
        m.ReadSwitchList(Path("SwitchSt.dat"));
    }

    // The first-stretch fields of train 2417 at 08:30.
    static TTrainFields Train2417()
    {
        TTrainFields f;
        f.Number = "2417";
        f.Time = "08:30";
        f.Type = ttBreakUp;
        f.Loco = "166";
        f.Index = "4100 1 4000";
        return f;
    }

    // The text of the error f raises, or "" when it raises none.
    template <class F>
    static std::string Error(F f)
    {
        try {
            f();
        } catch (const Exception& e) {
            return e.Message;
        }
        return "";
    }

    std::vector<std::string> Messages() const
    {
        std::vector<std::string> out;
        for (const TTrainRecord& r : m.Doc.Events()) out.push_back(r.Message);
        return out;
    }

    TScenarioEditorModel m;
};

TEST_F(ScenarioEditorModelTest, SwitchListGivesSwitchesAndNamedSections)
{
    EXPECT_EQ(m.Switches, std::vector<std::string>{"12"});
    ASSERT_EQ(m.Sections.size(), 3u);
    EXPECT_EQ(m.Sections[0].Number, 15);
    EXPECT_EQ(m.Sections[0].Name, "9-15");
    EXPECT_EQ(m.Sections[1].Name, "23-47");
    EXPECT_EQ(m.Sections[2].Name, "2П");

    // As many sections as the main window holds.
    std::string many;
    for (int i = 0; i < 200; ++i) many += "2 1 " + std::to_string(i) + " s\n";
    Write("many.dat", many);
    TScenarioEditorModel big;
    EXPECT_EQ(Error([&] { big.ReadSwitchList(Path("many.dat")); }),
              Path("many.dat") + ", строка 200: Переполнение массива200");
    EXPECT_EQ(big.Sections.size(), 199u);
}

TEST_F(ScenarioEditorModelTest, AddingTrainsWritesTheirLinesAndRefusesBadFields)
{
    TTrainFields f = Train2417();
    m.AddTrain(1, f);
    EXPECT_EQ(f.Number, "");
    EXPECT_TRUE(m.Doc.Modified);
    EXPECT_EQ(m.Doc.PageDisplays(1), std::vector<std::string>{"08:30 2417: разборка, ИНД 4100 01 4000, УДЛ 50(Г), лок 166"});
    EXPECT_EQ(Messages(), std::vector<std::string>{"510 3 6 1 1025 2417 1511 166 1504 50 2001 750 1505 1 1540 4100 1541 1 1542 4000"});

    EXPECT_EQ(Error([&] { f = Train2417(); m.AddTrain(1, f); }), "Повтор номера поезда");
    EXPECT_EQ(Error([&] { m.CheckRepeat("2417"); }), "Повтор номера поезда");
    EXPECT_EQ(Error([&] { m.CheckRepeat(""); }), "");
    // Fault Keys count as numbers too.
    m.AddFault({"10:00", ftSwitch, 0, -1});
    EXPECT_EQ(Error([&] { m.CheckRepeat("0"); }), "Повтор номера поезда");

    // With help on the first stretch kind 7; on the second stretch kind 12 and no help.
    f = Train2417();
    f.Number = "2418";
    f.Help = true;
    f.Empty = true;
    m.AddTrain(1, f);
    EXPECT_EQ(m.Doc.Events()[1].Message, "510 3 6 7 1025 2418 1511 166 1504 50 2001 750 1505 0 1540 4100 1541 1 1542 4000");
    EXPECT_EQ(m.Doc.Events()[1].Display, "08:30 2418: разборка, ИНД 4100 01 4000, УДЛ 50(П), лок 166 (помощь)");
    f = Train2417();
    f.Number = "2419";
    f.Help = true;
    m.AddTrain(2, f);
    EXPECT_EQ(m.Doc.Events()[2].Message, "510 3 6 12 1025 2419 1511 166 1504 50 2001 750 1505 1 1540 4100 1541 1 1542 4000");
    f = {"3001", "07:00", ttTransit, "170", "4008 12 4100", "52", false, "174", false};
    m.AddTrain(2, f);
    EXPECT_EQ(m.Doc.Events()[0].Message, "420 3 6 11 1025 3001 1511 170 1504 52 2001 780 1505 1 1513 174 1540 4008 1541 12 1542 4100");
    EXPECT_EQ(m.Doc.Events()[0].Display, "07:00 3001: транзитный, ИНД 4008 12 4100, УДЛ 52(Г), лок 170, смена 174");
    f = {"91", "00:05", ttPassenger, "", "", "", false, "", false};
    m.AddTrain(2, f);
    f = {"6201", "00:06", ttSuburban, "", "", "", false, "", false};
    m.AddTrain(1, f);
    EXPECT_EQ(m.Doc.Events()[0].Message, "5 3 6 9 1025 91 2001 400");
    EXPECT_EQ(m.Doc.Events()[1].Message, "6 3 6 6 1025 6201 2001 200");
    EXPECT_EQ(m.Doc.Events()[1].Display, "00:06 6201: пригородный ");

    // Refused: nothing is added, but the scenario counts as changed.
    size_t count = m.Doc.Events().size();
    auto refused = [&](TTrainFields bad) {
        m.Doc.Modified = false;
        std::string e = Error([&] { m.AddTrain(1, bad); });
        EXPECT_TRUE(m.Doc.Modified);
        EXPECT_EQ(m.Doc.Events().size(), count);
        return e;
    };
    TTrainFields bad = Train2417();
    bad.Number = "5000";
    bad.Index = "4008 1 4100";
    EXPECT_EQ(refused(bad), "Станция назначения поезда в разборку должна быть 4000");
    bad.Type = ttTransit;
    bad.Index = "4008 12 4000";
    EXPECT_EQ(refused(bad), "Станция назначения транзитного поезда не может быть 4000");
    bad = Train2417();
    bad.Number = "5000";
    for (const char* loco : {"", "16 6", "l66"}) {
        bad.Loco = loco;
        EXPECT_EQ(refused(bad), "Не указан номер локомотива") << loco;
    }
    bad = Train2417();
    bad.Number = "5000";
    for (const char* time : {"  :  ", "8:3", "08:"}) {
        bad.Time = time;
        EXPECT_EQ(refused(bad), "Не указано время (ЧЧ:ММ)") << time;
    }
    // One rule with the reader and the loader: a time of the model day.
    for (const char* time : {"99:99", "24:00", "12:60"}) {
        bad.Time = time;
        EXPECT_EQ(refused(bad), "Время " + std::string(time) + " вне суток: часы от 0 до 23, минуты от 0 до 59") << time;
    }
    bad.Time = "23:59";
    bad.Length = "5O";
    EXPECT_EQ(refused(bad), "'5O' не является целым числом");
    bad.Number = "x";
    EXPECT_EQ(refused(bad), "'x' не является целым числом");
    bad = Train2417();
    bad.Number = "5000";
    bad.Type = ttNone;
    EXPECT_EQ(refused(bad), "");

    // A station whose technology has automata only for kinds 1 and 9 takes no transit train.
    Write("Tecnology.dat", "Работы\nФункции\nОбъекты\n* a remark\nОбъект\n1\nПараметр\n1025 0\nОбъект\n 9 \n");
    m.ReadTrainKinds(Path("Tecnology.dat"));
    EXPECT_EQ(m.TrainKinds, (std::vector<int>{1, 9}));
    bad = {"5001", "00:07", ttTransit, "170", "4008 12 4100", "52", false, "174", false};
    EXPECT_EQ(refused(bad), "Станция не принимает поезд этого типа с этого перегона: в файле технологии нет автомата вида 3");
    bad = Train2417();
    bad.Number = "5002";
    m.AddTrain(1, bad);
    EXPECT_EQ(m.Doc.Events().size(), count + 1);
}

TEST_F(ScenarioEditorModelTest, OneRuleForANumberAndAnAddedEventReadsBackAsShown)
{
    // Refused lengths, train and locomotive numbers; nothing is added.
    auto refusal = [this](void (*change)(TTrainFields&)) {
        TTrainFields f = Train2417();
        f.Type = ttTransit;
        f.Index = "4008 1 4100";
        f.AddLoko = "174";
        change(f);
        return Error([&] { m.AddTrain(1, f); });
    };
    const std::string length = "Условная длина поезда должна быть от 1 до 999";
    EXPECT_EQ(refusal([](TTrainFields& f) { f.Length = "0"; }), length);
    EXPECT_EQ(refusal([](TTrainFields& f) { f.Length = "-5"; }), length);
    EXPECT_EQ(refusal([](TTrainFields& f) { f.Length = "200000000"; }), length);
    EXPECT_EQ(refusal([](TTrainFields& f) { f.Length = "99999999999"; }), "'99999999999' не является целым числом");
    EXPECT_EQ(refusal([](TTrainFields& f) { f.Number = "-3"; }), "Номер поезда должен быть больше 0");
    EXPECT_EQ(refusal([](TTrainFields& f) { f.Loco = "99999999999"; }), "Не указан номер локомотива");
    EXPECT_EQ(refusal([](TTrainFields& f) { f.AddLoko = "0"; }), "Номер локомотива смены должен быть больше 0");
    EXPECT_TRUE(m.Doc.Events().empty());

    // What the editor writes, its reader reads: a 10-digit train number is a train after
    // reopening, shown as it was added, and its number still counts as a repeat.
    TTrainFields f = Train2417();
    f.Number = "2000000000";
    f.Length = "999";
    m.AddTrain(2, f);
    m.AddFault({"00:08", ftSwitch, 0, -1});
    m.AddFault({"00:09", ftFree, -1, 2});
    std::vector<std::string> shown = {m.Doc.PageDisplays(2)[0], m.Doc.PageDisplays(3)[0], m.Doc.PageDisplays(3)[1]};
    EXPECT_EQ(shown, (std::vector<std::string>{"08:30 2000000000: разборка, ИНД 4100 01 4000, УДЛ 999(Г), лок 166",
                                               "00:08 Невозможность перевода стрелки 12",
                                               "00:09 Ложная свободность секции 2П"}));
    EXPECT_EQ(m.Doc.Events()[2].Message, "510 3 6 12 1025 2000000000 1511 166 1504 999 2001 14985 1505 1 1540 4100 1541 1 1542 4000");
    ASSERT_TRUE(m.Doc.Save(Path("n.shd")));
    m.Doc.New();
    ASSERT_EQ(m.Doc.Load(Path("n.shd"), m.Sections), TScenarioDocument::TLoadResult::Read);
    EXPECT_EQ(m.Doc.PageDisplays(2), std::vector<std::string>{shown[0]});
    EXPECT_EQ(m.Doc.PageDisplays(3), (std::vector<std::string>{shown[1], shown[2]}));
    EXPECT_EQ(Error([&] { m.CheckRepeat("2000000000"); }), "Повтор номера поезда");

    // The dialogues' number fields keep the same rule: a whole number above 0.
    for (const char* ok : {"7", "0042", "2147483647"}) EXPECT_NO_THROW(NumberField(ok, "нет")) << ok;
    for (const char* bad : {"", "0", "-5", "+5", "2147483648", "12 3", "1e3", "x"})
        EXPECT_THROW(NumberField(bad, "нет"), Exception) << bad;
}

TEST_F(ScenarioEditorModelTest, FaultsRemoveRefillAndClear)
{
    m.AddFault({"10:00", ftSwitch, 0, -1});
    m.AddFault({"10:00", ftOccupied, -1, 0});
    m.AddFault({"10:00", ftFree, -1, 0});
    EXPECT_EQ(Messages(), (std::vector<std::string>{"600 1 37 12 3", "600 2 19 15 101", "600 2 19 15 102"}));
    EXPECT_EQ(m.Doc.PageDisplays(3), (std::vector<std::string>{"10:00 Невозможность перевода стрелки 12",
                                                                "10:00 Ложная занятость секции 9-15",
                                                                "10:00 Ложная свободность секции 9-15"}));
    EXPECT_EQ(m.Doc.Events()[2].Key, 2);
    EXPECT_EQ(Error([&] { m.AddFault({"10:00", ftSwitch, -1, 0}); }), "Не указан номер стрелочного перевода");
    EXPECT_EQ(Error([&] { m.AddFault({"10:00", ftFree, 0, -1}); }), "Не указан номер секции");
    EXPECT_EQ(Error([&] { m.AddFault({"10:00", ftNone, 0, 0}); }), "Не указан тип неисправности");
    EXPECT_EQ(m.Doc.Events().size(), 3u);

    // Remove then add edits a train: the fields get it back and the same line is written again.
    TTrainFields f = Train2417();
    m.AddTrain(1, f);
    f = {"3001", "07:00", ttPassenger, "", "", "", false, "", false};
    m.AddTrain(1, f);
    TTrainFields back;
    back.Help = true;
    m.Doc.Modified = false;
    m.Remove(1, 1, &back);
    EXPECT_TRUE(m.Doc.Modified);
    EXPECT_EQ(m.Doc.PageDisplays(1).size(), 1u);
    EXPECT_EQ(back.Number, "2417");
    EXPECT_EQ(back.Time, "08:30");
    EXPECT_EQ(back.Type, ttBreakUp);
    EXPECT_FALSE(back.Help);
    EXPECT_EQ(back.Loco, "166");
    EXPECT_EQ(back.Index, "4100 01 4000");
    EXPECT_EQ(back.Length, "50");
    m.AddTrain(1, back);
    EXPECT_EQ(m.Doc.Events()[1].Message, "510 3 6 1 1025 2417 1511 166 1504 50 2001 750 1505 1 1540 4100 1541 1 1542 4000");

    // Nothing selected: only the mark changes.
    m.Doc.Modified = false;
    m.Remove(1, -1, &back);
    EXPECT_TRUE(m.Doc.Modified);
    EXPECT_EQ(m.Doc.Events().size(), 5u);
    m.Remove(3, 0, nullptr);
    EXPECT_EQ(m.Doc.PageDisplays(3).size(), 2u);
    m.Clear(3);
    EXPECT_TRUE(m.Doc.PageDisplays(3).empty());
    EXPECT_EQ(m.Doc.PageDisplays(1).size(), 2u);

    // 299 events fit, the 300th does not.
    for (int i = 0; m.Doc.Events().size() < 299; ++i) m.AddFault({"00:01", ftSwitch, 0, -1});
    EXPECT_EQ(Error([&] { m.AddFault({"00:01", ftSwitch, 0, -1}); }), "Переполнение массива300");
    EXPECT_EQ(m.Doc.Events().size(), 299u);
}

TEST(ScenarioEditorRules, PanelsByTypeAndDropDownNumbers)
{
    EXPECT_TRUE(TrainPanels(1, ttTransit).Loco);
    EXPECT_TRUE(TrainPanels(1, ttTransit).AddLoko);
    EXPECT_FALSE(TrainPanels(1, ttTransit).Help);
    EXPECT_TRUE(TrainPanels(1, ttBreakUp).Help);
    EXPECT_FALSE(TrainPanels(1, ttBreakUp).AddLoko);
    EXPECT_FALSE(TrainPanels(2, ttBreakUp).Help);
    for (int t : {int(ttPassenger), int(ttSuburban), int(ttNone)}) {
        TTrainPanels p = TrainPanels(1, t);
        EXPECT_FALSE(p.Loco || p.AddLoko || p.Help) << t;
    }

    // "tick.wav" and "td.wav" are not trains; numbers already in the scenario are not offered.
    std::vector<std::string> names = {"t2417.wav", "tick.wav", "T1001.WAV", "td.wav", "l166.wav", "l201.wav",
                                      "t12345.wav", "состав.wav", "t.wav"};
    std::vector<TTrainRecord> events(1);
    events[0].Key = 2417;
    EXPECT_EQ(OfferedNumbers(names, 't', &events), (std::vector<std::string>{"1001", "1234"}));
    EXPECT_EQ(OfferedNumbers(names, 'l', nullptr), (std::vector<std::string>{"166", "201"}));
}
