// The confirmations of the switchboard and dispatcher dialogues, headless against a scripted
// technology model, and the two readers they rely on (the departure time and the arrival list).
//
// The scripted station: train 2001 is object 7 from the first neighbour (1011 = 1) to be broken
// up (1028 = 1); train 2002 is object 8 from the second (1011 = 2), transit (1028 = 2); train
// 2005 is object 11 and lacks 1028; locomotive 1612 is object 9. Nothing else is known.
#include <gtest/gtest.h>

#include "TrainerFixture.h"
#include "app/dialogues/ArrivalList.h"
#include "app/dialogues/SwitchboardTalks.h"
#include "models/base/BusRouter.h"

namespace {

using Lines = std::vector<std::string>;

class SwitchboardTalks : public ::testing::Test {
protected:
    SwitchboardTalks()
    {
        tecn.On("3 10 1025 2001 1011 1", "7 ");
        tecn.On("3 10 1025 2001 1011", nullptr, 0);
        tecn.On("3 10 1025 2001", " 7 9");
        tecn.On("3 10 1025 2002", "8");
        tecn.On("3 10 1025 2005", "11");
        tecn.On("3 10 1508 1612", "9");
        tecn.On("3 4 7 1011 1028", "1 1");
        tecn.On("3 4 8 1011 1028", "2 2");
        tecn.On("3 5", nullptr);
        tecn.On("3 19", nullptr);
        tecn.On("0 4", nullptr);
    }

    // Runs a confirmation: the messages in order with "CLOSE" where the window closes, and the
    // refusal text ("" when none).
    template <class F>
    Lines Run(F confirm, std::string* refusal = nullptr)
    {
        Lines log;
        TTalk talk([&](std::string& mes) {
            log.push_back(mes);
            return tecn(mes, nullptr) != 0;
        },
                   [&] { log.push_back("CLOSE"); });
        try {
            confirm(talk);
        } catch (const std::exception& e) {
            if (refusal) *refusal = e.what();
            log.push_back("REFUSED");
        }
        return log;
    }

    TScriptedReceiver tecn;
};

} // namespace

TEST_F(SwitchboardTalks, WaitingForAndRefusingATrain)
{
    TOwnerKeyInfo west{"ПЖСвер", 1}, east{"ПЖСвост", 2};
    EXPECT_EQ(Run([&](TTalk& t) { ConfirmWaiting(t, "2001", west); }),
              (Lines{"3 10 1025 2001 1011 1", "3 5 7 101 1", "CLOSE"}));
    EXPECT_EQ(Run([&](TTalk& t) { ConfirmWaiting(t, "2001", east); }),
              (Lines{"3 10 1025 2001 1011 2", "0 4 3 2001 ПЖСвост", "CLOSE"}));
    // Opened without a key: looked up without the approach, the error without a caption.
    EXPECT_EQ(Run([&](TTalk& t) { ConfirmWaiting(t, "9999", std::nullopt); }),
              (Lines{"3 10 1025 9999", "0 4 3 9999", "CLOSE"}));

    EXPECT_EQ(Run([&](TTalk& t) { ConfirmRefusal(t, "2001", west); }),
              (Lines{"3 10 1025 2001", "3 5 7 102 1", "CLOSE"}));
    // Error 3's text names the side the train was refused from.
    EXPECT_EQ(Run([&](TTalk& t) { ConfirmRefusal(t, "9999", west); }),
              (Lines{"3 10 1025 9999", "0 4 3 9999 ПЖСвер", "CLOSE"}));
}

TEST_F(SwitchboardTalks, ATrainAnnouncedToTheWagonInspection)
{
    const Lines asked = {"3 10 1025 2001", "3 4 7 1011 1028"};
    auto then = [&](Lines tail) {
        Lines l = asked;
        l.insert(l.end(), tail.begin(), tail.end());
        return l;
    };
    // Station 1, track 12, to be broken up.
    EXPECT_EQ(Run([](TTalk& t) { ConfirmArrival(t, "2001", 1, 12, 1); }),
              then({"3 19 7 12", "3 5 7 103 1", "CLOSE"}));
    // From the other station: error 14, not received.
    EXPECT_EQ(Run([](TTalk& t) { ConfirmArrival(t, "2001", 2, 12, 1); }), then({"0 4 14 2001", "CLOSE"}));
    // Announced as transit: error 1011 recorded, received all the same; 2002 likewise with 1012.
    EXPECT_EQ(Run([](TTalk& t) { ConfirmArrival(t, "2001", 1, 21, 2); }),
              then({"0 4 1011 2001", "3 19 7 21", "3 5 7 103 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmArrival(t, "2002", 2, 11, 1); }),
              (Lines{"3 10 1025 2002", "3 4 8 1011 1028", "0 4 1012 2002", "3 19 8 11", "3 5 8 103 1", "CLOSE"}));

    // Blanks are refused where their value is first needed; what was sent stays sent.
    std::string refusal;
    EXPECT_EQ(Run([](TTalk& t) { ConfirmArrival(t, "2001", std::nullopt, 12, 1); }, &refusal), then({"REFUSED"}));
    EXPECT_EQ(refusal, "Не вказано підхід, з якого прибуває поїзд");
    EXPECT_EQ(Run([](TTalk& t) { ConfirmArrival(t, "2001", 1, std::nullopt, 1); }, &refusal), then({"REFUSED"}));
    EXPECT_EQ(refusal, "Не вказано колію прибуття поїзда");
    // An unknown number is reported before any blank is looked at; an empty one is a blank.
    EXPECT_EQ(Run([](TTalk& t) { ConfirmArrival(t, " ", std::nullopt, std::nullopt, 1); }, &refusal),
              Lines{"REFUSED"});
    EXPECT_EQ(refusal, "Не указан номер поезда");
    // A train the model cannot describe is refused by name, and nothing is reported.
    EXPECT_EQ(Run([](TTalk& t) { ConfirmArrival(t, "2005", 1, 12, 1); }, &refusal),
              (Lines{"3 10 1025 2005", "3 4 11 1011 1028", "REFUSED"}));
    EXPECT_EQ(refusal, "Ошибка описания объекта: у поезда №2005 нет параметров 1011 1028");
}

TEST_F(SwitchboardTalks, RequestsAndDispatcherReports)
{
    EXPECT_EQ(Run([](TTalk& t) { ConfirmDispatcherRequest(t, "2001"); }),
              (Lines{"3 10 1025 2001", "3 5 7 140 1 ", "CLOSE"}));
    for (int code : {141, 144, 424, 105, 401})
        EXPECT_EQ(Run([&](TTalk& t) { ConfirmTrainReport(t, "2001", code); }),
                  (Lines{"3 10 1025 2001", "3 5 7 " + std::to_string(code) + " 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmTrainReport(t, "77", 424); }), (Lines{"3 10 1025 77", "0 4 13 77", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmLocoWork(t, "1612"); }), (Lines{"3 10 1508 1612", "3 5 9 161 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmLocoWork(t, "77"); }), (Lines{"3 10 1508 77", "0 4 1107 77", "CLOSE"}));
    // A typed text is inserted as it is, but a message never exceeds 239 characters.
    Lines l = Run([](TTalk& t) { ConfirmTrainReport(t, "20 01", 424); });
    EXPECT_EQ(l[0], "3 10 1025 20 01");
    l = Run([](TTalk& t) { ConfirmTrainReport(t, std::string(300, '9'), 424); });
    EXPECT_EQ(l[0].size(), 239u);
}

TEST_F(SwitchboardTalks, DeparturesAndTheirTime)
{
    const Lines asked = {"3 10 1025 2001", "3 4 7 1011 1028"};
    EXPECT_EQ(Run([](TTalk& t) { ConfirmDeparture(t, "2001", "23:59", 1, 142); }),
              (Lines{asked[0], asked[1], "3 19 7 1439", "3 5 7 142 1", "CLOSE"}));
    // The wrong direction: error 14; the window closes at once and the departure is still reported.
    EXPECT_EQ(Run([](TTalk& t) { ConfirmDeparture(t, "2001", " 0:00", 2, 145); }),
              (Lines{asked[0], asked[1], "0 4 14 2001", "CLOSE", "3 19 7 0", "3 5 7 145 1"}));
    // A time without its hours or minutes is refused before anything is sent.
    for (const char* cut : {"  :  ", "  :23", "10:1 ", "1 :  ", ""}) {
        std::string refusal;
        EXPECT_EQ(Run([&](TTalk& t) { ConfirmDeparture(t, "2001", cut, 1, 142); }, &refusal), Lines{"REFUSED"}) << cut;
        EXPECT_EQ(refusal, kIncompleteDepartureTime) << cut;
    }
    EXPECT_EQ(Run([](TTalk& t) { ConfirmDeparture(t, "2001", "9 :05", 1, 142); }),
              (Lines{asked[0], asked[1], "3 19 7 545", "3 5 7 142 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmDeparture(t, "2001", "07:05", 1, 304); }),
              (Lines{asked[0], asked[1], "3 19 7 425", "3 5 7 304 1", "CLOSE"}));

    EXPECT_EQ(DepartureMinutes("23:59"), 1439u);
    EXPECT_EQ(DepartureMinutes("  :  "), 0u);
    EXPECT_EQ(DepartureMinutes(""), 0u);
    EXPECT_EQ(DepartureMinutes(" 7:  "), 420u);
    EXPECT_EQ(DepartureMinutes("99:99"), 6039u);  // not range-checked
}

class ArrivalListTest : public TrainerTest {};

TEST_F(ArrivalListTest, KindsTrimmingAndLinesThatAreSkipped)
{
    const std::string body = "*x\n\n9 5 z\n1 1 Тарвіна-Вертолин розширено\n2 12  Колія 12 парку \n1 3\n2 abc\n" +
                             std::string("2 40 ") + std::string(130, 'w') + " 2 99 Хвіст\n3 21 Колія 1";
    for (const char* end : {"", "\n", "\r\n"}) {
        WriteFile("data/Pribitie.dat", body + end);
        std::vector<TArrivalLine> l = ReadArrivalList("DATA\\Pribitie.dat");
        ASSERT_EQ(l.size(), 5u) << "line end \"" << end << "\"";
        EXPECT_EQ(l[0].Kind, 9);
        EXPECT_EQ(l[1].Kind, 1);
        EXPECT_EQ(l[1].Id, 1);
        EXPECT_EQ(l[1].Text, "Тарвіна-Вертолин");
        EXPECT_EQ(l[2].Text, "Колія 12 парку");
        // Only the first 119 characters of a long line count; its rest is no line of its own.
        EXPECT_EQ(l[3].Id, 40);
        EXPECT_EQ(l[3].Text, std::string(114, 'w'));
        EXPECT_EQ(l[4].Kind, 3);
        EXPECT_EQ(l[4].Id, 21);
        EXPECT_EQ(l[4].Text, "Колія 1");
    }
    EXPECT_TRUE(ReadArrivalList("DATA\\Nowhere.dat").empty());
}
