// The confirmations of the radio and passing-train dialogues, headless against scripted models.
//
// The scripted station: train 2417 is object 5 from station 2 (1011 = 2); locomotive 201 is
// object 9; the shunting locomotive 1 is coupled to cut 9 and stands on section 12, locomotive 2
// is coupled to nothing; cut 10 stands on track 12, nothing on track 13.
#include <gtest/gtest.h>

#include "app/dialogues/RadioTalks.h"
#include "models/base/BusRouter.h"

namespace {

using Lines = std::vector<std::string>;

class RadioTalks : public ::testing::Test {
protected:
    RadioTalks()
    {
        models.On("3 10 1025 2417", "5");
        models.On("3 10 1508 201", "9");
        models.On("3 4 5 1011", "2");
        models.On("3 4 1 1006", "9 ");
        models.On("3 4 2 1006", "0 ");
        models.On("1 12 1 1", "12 40.000");
        models.On("1 13 12 1", "10");
        for (const char* done : {"3 19", "3 5", "0 4"}) models.On(done, nullptr);
    }

    template <class F>
    Lines Run(F confirm)
    {
        Lines log;
        TTalk talk([&](std::string& mes) {
            log.push_back(mes);
            return models(mes, nullptr) != 0;
        },
                   [&] { log.push_back("CLOSE"); });
        try {
            confirm(talk);
        } catch (const std::exception& e) {
            refusal = e.what();
            log.push_back("REFUSED");
        }
        return log;
    }

    TScriptedReceiver models;
    std::string refusal;
};

} // namespace

TEST_F(RadioTalks, ATrainSentOffAndItsLocomotivesUncoupled)
{
    EXPECT_EQ(Run([](TTalk& t) { ConfirmTrainDeparture(t, "2417", "0166", 12, 1); }),
              (Lines{"3 10 1025 2417", "3 19 5 166 12 1", "3 5 5 143 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmTrainDeparture(t, "777", "166", 12, 1); }),
              (Lines{"3 10 1025 777", "0 4 13 777", "CLOSE"}));
    // Blanks in their order; nothing is sent and the window stays open.
    auto refused = [&](auto confirm) {
        refusal.clear();
        return Run(confirm) == Lines{"REFUSED"} ? refusal : "sent: " + refusal;
    };
    EXPECT_EQ(refused([](TTalk& t) { ConfirmTrainDeparture(t, "", "", std::nullopt, std::nullopt); }), "Не указан путь");
    EXPECT_EQ(refused([](TTalk& t) { ConfirmTrainDeparture(t, "", "", 12, std::nullopt); }),
              "Не указано назанчение локомотива");
    EXPECT_EQ(refused([](TTalk& t) { ConfirmTrainDeparture(t, "24 17", "", 12, 1); }), "Не указан номер поезда");
    EXPECT_EQ(refused([](TTalk& t) { ConfirmTrainDeparture(t, "2417", "0", 12, 1); }), "Не указан номер локомотива");

    // The train locomotive to the depot, to the second neighbour as reserve, under a train.
    EXPECT_EQ(Run([](TTalk& t) { ConfirmTrainLocoUncoupled(t, "2417", "166", 12, kDepot); }),
              (Lines{"3 10 1025 2417", "3 19 5 166 12 -3", "3 5 5 108 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmTrainLocoUncoupled(t, "2417", "166", 12, kReserveWest); })[1],
              "3 19 5 166 12 -1");
    EXPECT_EQ(refused([](TTalk& t) { ConfirmTrainLocoUncoupled(t, "2417", "166", 12, std::nullopt); }),
              "Не указано назанчение локомотива");

    // The failed locomotive: its number is one word too, so the track stays the last field.
    EXPECT_EQ(Run([](TTalk& t) { ConfirmFailedLocoUncoupled(t, "2417", "166", "3104", 12); }),
              (Lines{"3 10 1025 2417", "3 19 5 166 3104 12", "3 5 5 425 1", "CLOSE"}));
    for (const char* failed : {"", "31 04"})
        EXPECT_EQ(refused([&](TTalk& t) { ConfirmFailedLocoUncoupled(t, "2417", "166", failed, 12); }),
                  "Не указан номер неисправного локомотива");
}

TEST_F(RadioTalks, APassingTrainAnnounced)
{
    EXPECT_EQ(Run([](TTalk& t) { ConfirmPassingTrain(t, "2417", 2, 23); }),
              (Lines{"3 10 1025 2417", "3 4 5 1011", "3 19 5 23", "3 5 5 301 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmPassingTrain(t, "2417", 1, 23); }),
              (Lines{"3 10 1025 2417", "3 4 5 1011", "0 4 14 2417", "CLOSE"}));
    // The train is looked up before the station is asked for.
    EXPECT_EQ(Run([](TTalk& t) { ConfirmPassingTrain(t, "2417", std::nullopt, 23); }),
              (Lines{"3 10 1025 2417", "3 4 5 1011", "REFUSED"}));
    EXPECT_EQ(refusal, "Не вказано підхід, з якого прибуває поїзд");
    EXPECT_EQ(Run([](TTalk& t) { ConfirmPassingTrain(t, "2417", 2, std::nullopt); }).back(), "REFUSED");
    EXPECT_EQ(refusal, "Не вказано колію прибуття поїзда");
    // An approach the model does not tell: closed, nothing registered (its request is no answer).
    models = TScriptedReceiver();
    models.On("3 10 1025 2417", "5");
    EXPECT_EQ(Run([](TTalk& t) { ConfirmPassingTrain(t, "2417", 3, 23); }),
              (Lines{"3 10 1025 2417", "3 4 5 1011", "CLOSE"}));
}

TEST_F(RadioTalks, TheShuntingLocomotiveCouplesAndUncouples)
{
    EXPECT_EQ(Run([](TTalk& t) { ConfirmUncoupleCut(t, 1, 12, "2П"); }),
              (Lines{"3 4 1 1006", "1 12 1 1", "3 19 9 1 2П", "3 5 9 127 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmUncoupleCut(t, 1, 13, "3П"); }),
              (Lines{"3 4 1 1006", "1 12 1 1", "3 4 1 1508", "3 4 1 1001", "0 4 1015 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmUncoupleCut(t, 2, 12, "2П"); }),
              (Lines{"3 4 2 1006", "3 4 2 1508", "3 4 2 1001", "0 4 1014 2", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmUncoupleCut(t, 1, std::nullopt, ""); }),
              (Lines{"3 4 1 1006", "1 12 1 1", "REFUSED"}));
    EXPECT_EQ(refusal, "Не указано путь");

    EXPECT_EQ(Run([](TTalk& t) { ConfirmCoupleCut(t, 2, 12, "2П"); }),
              (Lines{"1 13 12 1", "3 19 10 2 2П", "3 5 10 123 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmCoupleCut(t, 2, 13, "3П"); }), (Lines{"1 13 13 1", "0 4 8 3П", "CLOSE"}));

    // Neither the cut nor the position known: closed without a word.
    models = TScriptedReceiver();
    EXPECT_EQ(Run([](TTalk& t) { ConfirmUncoupleCut(t, 1, 12, "2П"); }), (Lines{"3 4 1 1006", "CLOSE"}));
    models.On("3 4 1 1006", "9");
    EXPECT_EQ(Run([](TTalk& t) { ConfirmUncoupleCut(t, 1, 12, "2П"); }), (Lines{"3 4 1 1006", "1 12 1 1", "CLOSE"}));
}

TEST_F(RadioTalks, LocomotivesSentToATrackOrToHelp)
{
    EXPECT_EQ(Run([](TTalk& t) { ConfirmLocoToTrack(t, "201", 12, 403); }),
              (Lines{"CLOSE", "3 10 1508 201", "3 19 9 12", "3 5 9 403 1"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmLocoToTrack(t, "201", 12, 162); }).back(), "3 5 9 162 1");
    EXPECT_EQ(Run([](TTalk& t) { ConfirmLocoToTrack(t, "202", 12, 162); }),
              (Lines{"CLOSE", "3 10 1508 202", "0 4 1107 202"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmLocoToTrack(t, "201", std::nullopt, 162); }), (Lines{"CLOSE", "REFUSED"}));
    EXPECT_EQ(refusal, "Не указано назначение локомотива");

    EXPECT_EQ(Run([](TTalk& t) { ConfirmLocoToHelp(t, "201"); }), (Lines{"3 10 1508 201", "3 5 9 421 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmLocoToHelp(t, ""); }), Lines{"REFUSED"});
    EXPECT_EQ(refusal, "Не указан номер локомотива");

    EXPECT_EQ(Run([](TTalk& t) { ConfirmTrainOrder(t, "2417", 150); }), (Lines{"3 10 1025 2417", "3 5 5 150 1", "CLOSE"}));
    EXPECT_EQ(Run([](TTalk& t) { ConfirmTrainOrder(t, "777", 423); }), (Lines{"3 10 1025 777", "0 4 13 777", "CLOSE"}));
}
