// The confirmations of the announcements, signalman post orders, brake-shoe orders and the
// electro-mechanic, headless against a scripted bus, and the two station lists they read.
//
// The scripted station: train 2001 is object 7 from the first neighbour (1011 = 1) standing on
// track 12, 700 long and loaded (1504 = 700, 1505 = 1); train 2002 is object 8 and lacks its
// parameters. Track 12 holds object 7, track 14 object -1, track 13 nothing. Locomotive 1612 is
// object 9, locomotive 55 answers 0. Signalman objects 3 and 5 take reports, 4 does not.
#include <gtest/gtest.h>

#include "TrainerFixture.h"
#include "app/dialogues/PostTalks.h"
#include "models/base/BusRouter.h"

namespace {

using Lines = std::vector<std::string>;

class PostTalks : public ::testing::Test {
protected:
    PostTalks()
    {
        tecn.On("3 10 1025 2001", "7");
        tecn.On("3 10 1025 2002", "8");
        tecn.On("3 10 1508 1612", "9");
        tecn.On("3 10 1508 55", "0");
        tecn.On("3 4 7 1011", "1");
        tecn.On("3 4 7 1027", "12");
        tecn.On("3 4 7 1504 1505", "700 1");
        tecn.On("1 13 12 1", "7");
        tecn.On("1 13 14 1", "-1");
        tecn.On("3 5 4", nullptr, 0);
        tecn.On("3 5", nullptr);
        tecn.On("3 19", nullptr);
        tecn.On("0 4", nullptr);
        // Norms of track 12: loaded, below 800 three shoes, below 1200 five; empty, two.
        Norms.Append({800, 3, 12, 1});
        Norms.Append({1200, 5, 12, 1});
        Norms.Append({800, 2, 12, 0});
    }

    // The messages in order with "CLOSE" where the window closes, "REFUSED" and the refusal's
    // text when refused.
    template <class F>
    Lines Run(F confirm)
    {
        Lines log;
        TTalk talk([&](std::string& mes) {
            log.push_back(mes);
            return tecn(mes, nullptr) != 0;
        },
                   [&] { log.push_back("CLOSE"); });
        try {
            if (confirm(talk) == TOutcome::Open) log.push_back("OPEN");
        } catch (const std::exception& e) {
            log.push_back(std::string("REFUSED ") + e.what());
        }
        return log;
    }

    TScriptedReceiver tecn;
    TZacrepitNorms Norms;
};

} // namespace

TEST_F(PostTalks, TrainAnnouncements)
{
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmAnnouncedArrival(t, "2001", 1, 12); }),
              (Lines{"3 10 1025 2001", "3 4 7 1011", "3 19 7 12", "3 5 7 104 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmAnnouncedArrival(t, "2001", 2, 12); }),
              (Lines{"3 10 1025 2001", "3 4 7 1011", "0 4 14 2001", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmAnnouncedArrival(t, "2001", 1, std::nullopt); }),
              (Lines{"3 10 1025 2001", "3 4 7 1011", "REFUSED Не вказано колію прибуття поїзда"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmAnnouncedArrival(t, "9", std::nullopt, std::nullopt); }),
              (Lines{"3 10 1025 9", "0 4 13 9", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmAnnouncedArrival(t, "2002", 1, 12); }),
              (Lines{"3 10 1025 2002", "3 4 8 1011", "REFUSED Ошибка описания объекта: у поезда №2002 нет параметров 1011"}));

    // Leaving towards a station: not the one it came from.
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmOutbound(t, "2001", 2, 23, kSuburbanArrival); }),
              (Lines{"3 10 1025 2001", "3 4 7 1011", "3 19 7 23", "3 5 7 303 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmOutbound(t, "2001", 1, 23, kFreightDeparture); }),
              (Lines{"3 10 1025 2001", "3 4 7 1011", "0 4 24 2001", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmOutbound(t, "2001", std::nullopt, 23, kFreightDeparture); }),
              (Lines{"3 10 1025 2001", "3 4 7 1011", "REFUSED Необходимо указать станцию, на которую отправляется поезд"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmOutbound(t, "2001", 2, std::nullopt, kSuburbanArrival); }),
              (Lines{"3 10 1025 2001", "3 4 7 1011", "REFUSED Не указан путь прибытия поезда"}));
}

TEST_F(PostTalks, ReportsToWhatStandsOnATrackAndTheHelperPermit)
{
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmTrackReport(t, 12, "2П", "Не указано путь", 124); }),
              (Lines{"1 13 12 1", "3 5 7 124 1", "CLOSE"}));
    // Nothing on the track: error 8 with the track as shown.
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmTrackReport(t, 13, "Колія 13", "Не указан путь", 200); }),
              (Lines{"1 13 13 1", "0 4 8 Колія 13", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmTrackReport(t, 14, "4П", "Не указано путь", 122); }),
              (Lines{"1 13 14 1", "OPEN"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmTrackReport(t, std::nullopt, "", "Не указано путь", 124); }),
              (Lines{"REFUSED Не указано путь"}));

    EXPECT_EQ(Run([](TTalk& t) { return ConfirmHelperPermit(t, "1612"); }), (Lines{"3 10 1508 1612", "3 5 9 420 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmHelperPermit(t, "77"); }), (Lines{"3 10 1508 77", "0 4 1107 77", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmHelperPermit(t, "55"); }), (Lines{"3 10 1508 55", "OPEN"}));
}

TEST_F(PostTalks, SignalmanOrders)
{
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmSwitchOrder(t, 3, "17", 400); }), (Lines{"3 5 3 1551 17 400 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmSwitchTurn(t, 5, "3", 1); }),
              (Lines{"3 5 5 1551 3 1552 1 402 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmSectionState(t, 5, TSwitchStLine{2, 1, 201, "1СП"}); }),
              (Lines{"3 19 5 1СП", "3 5 5 1551 201 404 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmCrank(t, 5, "12"); }), (Lines{"3 19 5 12", "3 5 5 401 1", "CLOSE"}));
    // A report the technology model does not handle: refused, the window stays open; the turn,
    // lock and crank orders too.
    for (int code : {400, 403, 405})
        EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSwitchOrder(t, 4, "27", code); }),
                  (Lines{"3 5 4 1551 27 " + std::to_string(code) + " 1", "REFUSED Ошибка в ini файле"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmSwitchTurn(t, 4, "27", 0); }),
              (Lines{"3 5 4 1551 27 1552 0 402 1", "REFUSED Ошибка в ini файле"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmCrank(t, 4, "3"); }),
              (Lines{"3 19 4 3", "3 5 4 401 1", "REFUSED Ошибка в ini файле"}));
    // Blanks.
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmSwitchOrder(t, 3, std::nullopt, 405); }),
              (Lines{"REFUSED Не указан номер стрелочного перевода"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmSwitchTurn(t, 3, "17", std::nullopt); }),
              (Lines{"REFUSED Не указано требуемое положение стрелочного перевода"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmSectionState(t, 3, std::nullopt); }),
              (Lines{"REFUSED Не указан номер путевой секции"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmCrank(t, 3, ""); }), (Lines{"REFUSED Не указан номер курбеля"}));
    EXPECT_EQ(PostExecutor(1), 5);
    EXPECT_EQ(PostExecutor(7), 4);
    EXPECT_EQ(PostExecutor(3), 3);
}

TEST_F(PostTalks, SecuringAgainstTheNormsAndRemovingTheShoes)
{
    const Lines asked = {"3 10 1025 2001", "3 4 7 1027", "3 4 7 1504 1505"};
    auto then = [&](Lines tail) {
        Lines l = asked;
        l.insert(l.end(), tail.begin(), tail.end());
        return l;
    };
    EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSecuring(t, "2001", 12, "3", Norms); }),
              then({"3 5 7 126 1 1004 3", "CLOSE"}));
    EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSecuring(t, "2001", 12, "2", Norms); }),
              then({"0 4 6 2001", "3 5 7 126 1 1004 2", "CLOSE"}));
    EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSecuring(t, "2001", 12, " 4", Norms); }),
              then({"0 4 7 2001", "3 5 7 126 1 1004 4", "CLOSE"}));
    EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSecuring(t, "2001", 13, "3", Norms); }),
              (Lines{"3 10 1025 2001", "3 4 7 1027", "0 4 5 2001", "CLOSE"}));
    EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSecuring(t, "2001", 12, "три", Norms); }),
              then({"REFUSED 'три' не является целым числом"}));
    EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSecuring(t, "2001", 12, "-3", Norms); }),
              then({"REFUSED Число тормозных башмаков не может быть отрицательным"}));
    EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSecuring(t, "2001", std::nullopt, "3", Norms); }),
              (Lines{"3 10 1025 2001", "3 4 7 1027", "REFUSED Не указан путь"}));
    EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSecuring(t, "2002", 12, "3", Norms); }),
              (Lines{"3 10 1025 2002", "3 4 8 1027", "REFUSED Ошибка описания объекта для работы 'Закрепление'"}));
    EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSecuring(t, "9", 12, "3", Norms); }),
              (Lines{"3 10 1025 9", "0 4 13 9", "CLOSE"}));
    // Longer than every norm: refused, nothing reported.
    tecn = TScriptedReceiver();
    tecn.On("3 10 1025 2001", "7");
    tecn.On("3 4 7 1027", "12");
    tecn.On("3 4 7 1504 1505", "1300 1");
    EXPECT_EQ(Run([&](TTalk& t) { return ConfirmSecuring(t, "2001", 12, "5", Norms); }),
              then({"REFUSED Слишком большой состав. Измените файл норм закрепления"}));
    tecn.On("1 13 12 1", "7");
    tecn.On("3", nullptr);

    EXPECT_EQ(Run([](TTalk& t) { return ConfirmShoesRemoval(t, 12, "2П", "3"); }),
              (Lines{"1 13 12 1", "3 19 7 3 2П", "3 5 7 121 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmShoesRemoval(t, 12, "2П", std::nullopt); }),
              (Lines{"1 13 12 1", "REFUSED Не указано число башмаков"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmShoesRemoval(t, std::nullopt, "", "3"); }), (Lines{"REFUSED Не указан путь"}));
}

TEST_F(PostTalks, TheElectroMechanicByRequest)
{
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmElectroMechanic(t, 0, "КН1", std::nullopt, ""); }),
              (Lines{"3 19 6 КН1", "3 5 6 410 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmElectroMechanic(t, 2, std::nullopt, 15, "НД"); }),
              (Lines{"3 19 6 15 НД", "3 5 6 411 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmElectroMechanic(t, 3, std::nullopt, 15, "НД"); }),
              (Lines{"3 19 6 15 НД", "3 5 6 412 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmElectroMechanic(t, 2, std::nullopt, std::nullopt, ""); }),
              (Lines{"REFUSED Не указана секция"}));
    EXPECT_EQ(Run([](TTalk& t) { return ConfirmElectroMechanic(t, 0, std::nullopt, std::nullopt, ""); }),
              (Lines{"REFUSED Не указана кнопка"}));
    for (int mode : {1, -1})
        EXPECT_EQ(Run([&](TTalk& t) { return ConfirmElectroMechanic(t, mode, "КН1", 15, "НД"); }), (Lines{"CLOSE"}));
}

class StationListsTest : public TrainerTest {};

TEST_F(StationListsTest, SecuringTracksNormsAndTheShoeRange)
{
    WriteFile("data/Zacrepit.dat", "п 12 12\nП 13 13\nо 41 41\nО 42 42\n* norms\n800 12 1 3\n1000 12 1 5\n"
                                   "800 12 0 2\n0 12 1 9\n");
    TZacrepitFile f = ReadZacrepit("DATA\\Zacrepit.dat");
    ASSERT_EQ(f.Tracks.size(), 4u);
    EXPECT_EQ(f.Tracks[1].Name, "13");
    EXPECT_EQ(f.Tracks[1].Group, 3);
    EXPECT_EQ(f.Tracks[3].Group, 7);
    EXPECT_EQ(f.Tracks[3].Id, 42u);
    // The zero bound is no norm and no fault.
    EXPECT_EQ(f.Norms.Length(), 3u);
    EXPECT_TRUE(f.Problems.empty());
    EXPECT_EQ(ShoeRange(f.Norms), (std::vector<unsigned>{2, 3, 4, 5}));
    // The first norm in file order whose bound exceeds the length.
    EXPECT_EQ(NeededShoes(f.Norms, 12, 1, 700), 3u);
    EXPECT_EQ(NeededShoes(f.Norms, 12, 1, 800), 5u);
    EXPECT_EQ(NeededShoes(f.Norms, 12, 0, 700), 2u);
    EXPECT_EQ(NeededShoes(f.Norms, 12, 1, 1300), std::nullopt);
    EXPECT_EQ(NeededShoes(f.Norms, 13, 1, 10), std::nullopt);
    EXPECT_TRUE(ShoeRange(TZacrepitNorms()).empty());

    // The sample station: a train of its lesson, 2001 (40 cars, loaded) on track 11, needs 3.
    std::filesystem::remove("data/Zacrepit.dat");
    std::filesystem::copy(std::filesystem::path(VELO_SOURCE_DIR) / "station/data/Zacrepit.dat", "data/Zacrepit.dat");
    f = ReadZacrepit("DATA\\Zacrepit.dat");
    EXPECT_EQ(f.Tracks.size(), 7u);
    EXPECT_TRUE(f.Problems.empty());
    EXPECT_EQ(NeededShoes(f.Norms, 11, 1, 40), 3u);
}

// A number out of its range would once wrap (a shoe count of -1 or 4294967295 made the shoe list
// endless, a bound of -5 applied to every train): every such line is refused, naming its line.
TEST_F(StationListsTest, SecuringLinesOutOfRangeAreRefusedByLine)
{
    WriteFile("data/Zacrepit.dat", "п 1П 11\n"
                                   "300 11 1 4294967295\n"
                                   "-5 11 1 3\n"
                                   "31 11 1 -1\n"
                                   "50000000 11 1 2\n"
                                   "31 11 2 2\n"
                                   "31 11 1\n"
                                   "п 2П\n"
                                   "о 3В 123456789012345678901\n"
                                   "61 11 1 3\n" +
                                   std::string("31 11 1 -\0\n", 11));  // a zero byte is no digit
    TZacrepitFile f = ReadZacrepit("DATA\\Zacrepit.dat");
    std::vector<std::string> problems;
    for (const TDataLineProblem& p : f.Problems) problems.push_back(std::to_string(p.Line) + " " + p.Reason);
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "2 число башмаков 4294967295 вне пределов 0..99",
                            "3 граница длины состава -5 вне пределов 1..1000",
                            "4 число башмаков -1 вне пределов 0..99",
                            "5 граница длины состава 50000000 вне пределов 1..1000",
                            "6 признак загрузки 2 вне пределов 0..1",
                            "7 не указано: число башмаков",
                            "8 не указано: номер пути",
                            "9 номер пути 123456789012345678901 вне пределов 0..99999",
                            "11 число башмаков - вне пределов 0..99",
                        }));
    ASSERT_EQ(f.Tracks.size(), 1u);
    ASSERT_EQ(f.Norms.Length(), 1u);
    EXPECT_EQ(ShoeRange(f.Norms), std::vector<unsigned>{3});
}

TEST_F(StationListsTest, SwitchesAndSectionsOfThePosts)
{
    WriteFile("data/SwitchSt.dat", "1 3 11\n1 7 41\n2 3 15 НД \n2 7 27 НД\n3 1 5 1/51\n4 1 1 x\nx 1 1\n2 3 16\n");
    TSwitchStFile f = ReadSwitchSt("DATA\\SwitchSt.dat");
    ASSERT_EQ(f.Lines.size(), 5u);
    EXPECT_EQ(f.Lines[2].Name, "НД");
    EXPECT_EQ(f.Lines[3].Post, 7);
    EXPECT_EQ(f.Lines[3].Number, 27);
    EXPECT_EQ(f.Lines[4].Kind, 3);
    EXPECT_EQ(f.Lines[4].Line, 5);
    // A section without its name is no entry of any list.
    ASSERT_EQ(f.Problems.size(), 1u);
    EXPECT_EQ(DataLineMessage("DATA\\SwitchSt.dat", f.Problems[0].Line, f.Problems[0].Reason),
              "DATA\\SwitchSt.dat, строка 8: у секции 16 нет названия");
    EXPECT_TRUE(ReadSwitchSt("DATA\\None.dat").Lines.empty());
}
