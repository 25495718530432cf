// Instructor model: the error catalogue, filling its texts and the [4 6] report to the main window.
//
// fixtures/instructor/errors.dat (code page 1251, CR LF line ends), pairs of lines:
//   17 3 0  "Неверная команда"            2 5 3   "Стрелка %d занята %s"
//   17 9 1  a second 17 (never used)      10 1 0  ten "%d"
//   6 2 0   "Загружено на 100%"           7 4 0   "Опасно: %s%n%x %5.2f%%"
//   8 1 0   "Путь %дальше"                9       "Без баллов" (points, fatal missing)
//   103 10 1 "Перевод стрелки %u под поездом %s" (fatal)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "models/base/BusRouter.h"
#include "models/operations/InstructorModel.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"

namespace {

std::string MessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(no exception)";
}

class InstructorTest : public testing::Test {
protected:
    void SetUp() override
    {
        model.SetName("InstructorModel");
        model.FileName = "fixtures\\Instructor\\ERRORS.dat";
        model.Init();
        bus.Attach(brInstructor, &model);
        window.On("4 6", nullptr, 1);
        bus.SetReceiver(brInterface, window.AsHandler());
    }

    int Fix(const std::string& request)
    {
        std::string mes = request;
        return bus.Send(mes);
    }

    TInstructorModel model;
    TBusRouter bus;
    TScriptedReceiver window;
};

} // namespace

TEST_F(InstructorTest, CatalogueIsReadInPairsWithoutLineEnds)
{
    const TaErrorDefs& defs = model.ErrorDefs();
    ASSERT_EQ(defs.Count(), 9u);
    EXPECT_EQ(defs.Get(0)->Number, 17u);
    EXPECT_EQ(defs.Get(0)->Points, 3);
    EXPECT_FALSE(defs.Get(0)->Fatal);
    EXPECT_EQ(defs.Get(0)->Text, "Неверная команда");
    EXPECT_TRUE(defs.Get(1)->Fatal);  // fatal value 3
    EXPECT_EQ(defs.Get(7)->Number, 9u);
    EXPECT_EQ(defs.Get(7)->Points, 0);
    EXPECT_FALSE(defs.Get(7)->Fatal);
    EXPECT_EQ(defs.Get(7)->Text, "Без баллов");
    EXPECT_EQ(defs.Find(11), nullptr);
}

TEST_F(InstructorTest, ReportsTheErrorToTheMainWindow)
{
    model.Process(0);
    EXPECT_EQ(Fix("0 4 17"), 1);
    ASSERT_EQ(window.received.size(), 1u);
    // The first entry with a number wins over a later duplicate.
    EXPECT_EQ(window.received[0], "4 6 3 0 00:00 3 балов - Неверная команда");
    ASSERT_EQ(model.ErrorsProtocol.Count(), 1);
    EXPECT_EQ(model.ErrorsProtocol[0], "Неверная команда");

    // The main window's verdict is the answer; the error is logged all the same.
    TScriptedReceiver refusing;
    refusing.On("4 6", nullptr, 0);
    bus.SetReceiver(brInterface, refusing.AsHandler());
    model.Process(3725);
    EXPECT_EQ(Fix("0 4 2 15"), 0);
    ASSERT_EQ(refusing.received.size(), 1u);
    EXPECT_EQ(refusing.received[0], "4 6 5 1 01:02 5 балов - Стрелка 15 занята ??");
    EXPECT_EQ(model.ErrorsProtocol.Count(), 2);
    EXPECT_EQ(model.ErrorsProtocol[1], "Стрелка 15 занята ??");
}

TEST_F(InstructorTest, ArgumentsFillThePlaceholdersVerbatim)
{
    struct Case {
        const char* request;
        const char* text;
    } cases[] = {
        {"0 4 2 15 Ч2", "Стрелка 15 занята Ч2"},
        {"0 4 2", "Стрелка ?? занята ??"},
        {"0 4 17 a b", "Неверная команда"},
        {"0 4 10 1 2 3 4 5 6 7 8 9 10", "1 2 3 4 5 6 7 8 9 ??"},
        {"0 4 6 x", "Загружено на 100%"},
        {"0 4 6", "Загружено на 100%"},
        // Whatever follows a "%" only marks the next argument: nothing is read or written
        // through it, and "%%" takes an argument too.
        {"0 4 7 a b c d e", "Опасно: abc d.2fe"},
        {"0 4 7 %s %n %x", "Опасно: %s%n%x ??.2f??"},
        // The character after "%" is taken whole, also when it is Cyrillic.
        {"0 4 8 5", "Путь 5альше"},
        {"0 4 8", "Путь ??альше"},
        {"0   4  103   12\t2  ", "Перевод стрелки 12 под поездом 2"},
    };
    for (const Case& c : cases) {
        window.received.clear();
        Fix(c.request);
        ASSERT_EQ(window.received.size(), 1u) << c.request;
        const std::string& sent = window.received[0];
        size_t dash = sent.find("балов - ");
        ASSERT_NE(dash, std::string::npos) << sent;
        EXPECT_EQ(sent.substr(dash + std::string("балов - ").size()), c.text) << c.request;
    }
}

TEST_F(InstructorTest, FatalErrorRaisedByTheMainWindowReachesTheSender)
{
    // The main window raises what follows the fifth word of a fatal error as an exception.
    bus.SetReceiver(brInterface, [&](std::string& mes, TlstParams*) -> int {
        window.received.push_back(mes);
        int r, c, fatal;
        unsigned weight;
        SScanf(mes.c_str(), "%d%d%u%d", &r, &c, &weight, &fatal);
        if (fatal) throw Exception(DropWords(mes, 5));
        return 1;
    });
    model.Process(61);
    EXPECT_EQ(MessageOf([&] { Fix("0 4 103 12 2"); }), "10 балов - Перевод стрелки 12 под поездом 2");
    EXPECT_EQ(window.received.back(), "4 6 10 1 00:01 10 балов - Перевод стрелки 12 под поездом 2");
    EXPECT_EQ(model.ErrorsProtocol.Count(), 1);

    // The model is not left in a broken state: the next error goes out normally.
    EXPECT_EQ(Fix("0 4 17"), 1);
    EXPECT_EQ(model.ErrorsProtocol.Count(), 2);
}

TEST_F(InstructorTest, UnknownNumberIsStillShownWithoutPoints)
{
    model.Process(120);
    EXPECT_EQ(Fix("0 4 11 a  b"), 0);
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0], "4 6 0 0 00:02 0 балов - 11 a  b");
    EXPECT_EQ(model.ErrorsProtocol[0], "11 a  b");

    window.received.clear();
    EXPECT_EQ(Fix("0 4 999"), 0);
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_EQ(window.received[0], "4 6 0 0 00:02 0 балов - 999");
}

TEST_F(InstructorTest, RequestsWithoutANumberOrOtherCommandsAreRefused)
{
    for (const char* request : {"0 4", "0 4 x 1", "0 5 17", "0 0 17"}) {
        std::string mes = request;
        EXPECT_EQ(bus.Send(mes), 0) << request;
        EXPECT_EQ(mes, request);
    }
    EXPECT_TRUE(window.received.empty());
    EXPECT_EQ(model.ErrorsProtocol.Count(), 0);
}

TEST(InstructorModel, CatalogueFileErrors)
{
    TInstructorModel model;
    model.SetName("InstructorModel");
    model.FileName = "DATA\\no-errors.dat";
    EXPECT_EQ(MessageOf([&] { model.Init(); }), "Не могу загрузить файл данных для модели InstructorModel: DATA\\no-errors.dat");

    namespace fs = std::filesystem;
    fs::path dir = fs::path(testing::TempDir()) / "velo_instructor";
    fs::create_directories(dir);
    auto write = [&](const char* name, int pairs) {
        std::ofstream out(dir / name, std::ios::binary);
        for (int i = 1; i <= pairs; ++i) out << i << " 1 0\ntext " << i << "\n";
        return (dir / name).string();
    };

    TInstructorModel full;
    full.FileName = write("full.dat", 299);
    full.Init();
    EXPECT_EQ(full.ErrorDefs().Count(), 299u);
    EXPECT_EQ(full.ErrorDefs().Find(299)->Text, "text 299");

    TInstructorModel over;
    over.FileName = write("over.dat", 300);
    EXPECT_EQ(MessageOf([&] { over.Init(); }), over.FileName + ", строка 599: Переполнение массива300");

    // A catalogue is taken whole or refused with its line: no entry at all, an entry that does
    // not begin with its number, one cut off before its text. Blank lines between entries are no entry.
    const std::pair<const char*, const char*> bad[] = {
        {"", ": нет ни одной записи ошибки"},
        {"\n\n", ": нет ни одной записи ошибки"},
        {"1 1 0\nтекст\nx 2 0\nтекст\n", ", строка 3: запись ошибки начинается не с номера"},
        {"1 1 0\nтекст\n\n2 1 0", ", строка 4: нет текста ошибки 2"},
    };
    for (const auto& [text, error] : bad) {
        std::ofstream(dir / "bad.dat", std::ios::binary) << text;
        TInstructorModel m;
        m.FileName = (dir / "bad.dat").string();
        EXPECT_EQ(MessageOf([&] { m.Init(); }), m.FileName + error) << text;
    }
}
