// The movement orders' confirmation, headless against a scripted plan and technology model: the
// reachability search ahead and behind for each kind of order, the queries the plan does not
// handle, and the locomotive typed by its number.
//
// The scripted plan: the shunting locomotive 1 stands on section 23 looking ahead (direction 0)
// and on 25 looking behind; the train locomotive 166 is object 7 on section 30 both ways.
#include <gtest/gtest.h>

#include "app/dialogues/MovementTalks.h"
#include "models/base/BusRouter.h"

namespace {

using Lines = std::vector<std::string>;

class MovementTalks : public ::testing::Test {
protected:
    // Runs a confirmation on the scripted models: the messages in order with "CLOSE" where the
    // window closes and "REFUSED" where a refusal was raised (its text in refusal).
    template <class F>
    Lines Run(F confirm)
    {
        Lines log;
        after.clear();
        bool registered = false;
        TTalk talk([&](std::string& mes) {
            // The driver's acknowledgement after the registration is kept apart.
            (registered ? after : log).push_back(mes);
            registered |= mes.rfind("3 5 ", 0) == 0;
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
    Lines Order(TOrderPage page, std::optional<int> target, bool prohibiting = false, unsigned loco = 1)
    {
        return Run([&](TTalk& t) { ConfirmMoveOrder(t, loco, page, target, prohibiting); });
    }

    void Position()
    {
        models.On("1 12 1 0", "23 12.500 НД");
        models.On("1 12 1 1", "25 3.000 НД");
        models.On("1 12 7", "30");
    }

    TScriptedReceiver models;
    std::string refusal;
    Lines after;  // what the confirmation sent after the registration
};

} // namespace

TEST_F(MovementTalks, ToASignalAheadOrOnlyBehind)
{
    models.On("1 19 1 105 23 0 0", "24 105 1");
    models.On("1 19 1 106 23 0 0", "24 0 0");
    models.On("1 17 106 23 0", "0");
    models.On("1 19 1 106 25 1 0", "25 0 0");
    models.On("1 17 106 25 1", "1");
    models.On("3 5", nullptr);
    models.On("0 4", nullptr);
    Position();
    EXPECT_EQ(Order(TOrderPage::ToSignal, 105),
              (Lines{"CLOSE", "1 12 1 0", "1 19 1 105 23 0 0", "3 5 1 1003 1 1012 1 1013 105 1005 0"}));
    EXPECT_EQ(Order(TOrderPage::ToSignal, 106),
              (Lines{"CLOSE", "1 12 1 0", "1 19 1 106 23 0 0", "1 17 106 23 0", "1 12 1 1", "1 19 1 106 25 1 0",
                     "1 17 106 25 1", "3 5 1 1003 -1 1012 1 1013 106 1005 0"}));
    // Nowhere: error 15 with the locomotive, and no order.
    EXPECT_EQ(Order(TOrderPage::ToSignal, 107),
              (Lines{"CLOSE", "1 12 1 0", "1 19 1 107 23 0 0", "1 17 107 23 0", "1 12 1 1", "1 19 1 107 25 1 0",
                     "1 17 107 25 1", "3 4 1 1508", "3 4 1 1001", "0 4 15 1"}));
    // Nothing chosen: nothing asked.
    EXPECT_EQ(Order(TOrderPage::ToSignal, std::nullopt), Lines{"CLOSE"});
}

TEST_F(MovementTalks, PastASignalAsksTheOtherEndFirst)
{
    models.On("1 19 2 105 25 0 0", "26 105 0");
    models.On("1 35 105 25 0", "0");
    models.On("1 19 2 105 23 1 0", "23 0 0");
    models.On("1 35 105 23 1", "131");
    Position();
    EXPECT_EQ(Order(TOrderPage::OverSignal, 105),
              (Lines{"CLOSE", "1 12 1 1", "1 19 2 105 25 0 0", "1 35 105 25 0", "1 12 1 0", "1 19 2 105 23 1 0",
                     "1 35 105 23 1", "3 5 1 1003 -1 1012 2 1013 105 1005 0"}));
}

TEST_F(MovementTalks, ToATrackTheSectionReachedMustBeTheTrack)
{
    models.On("1 19 3 40 23 0 0", "40 7");
    models.On("1 19 3 41 23 0 0", "39 7 1");  // the flag does not count for a track
    models.On("1 20 41 23 0", "1");
    Position();
    EXPECT_EQ(Order(TOrderPage::Way, 40, true, 1),
              (Lines{"CLOSE", "1 12 1 0", "1 19 3 40 23 0 0", "3 5 1 1003 1 1012 3 1013 40 1005 2"}));
    EXPECT_EQ(Order(TOrderPage::Other, 41),
              (Lines{"CLOSE", "1 12 1 0", "1 19 3 41 23 0 0", "1 20 41 23 0", "3 5 1 1003 1 1012 3 1013 41 1005 0"}));
}

TEST_F(MovementTalks, QueriesThePlanDoesNotHandleReachNothing)
{
    // Left unanswered, the requests would read as reached ("1 19 1 ..." flag 1, "1 17 ..." 1).
    auto unanswered = [&](bool behindKnown) {
        models = TScriptedReceiver();
        for (const char* q : {"1 19", "1 17", "1 20", "1 35"}) models.On(q, nullptr, 0);
        models.On("1 12 1 0", "23");
        models.On("1 12 1 1", behindKnown ? "25" : nullptr, behindKnown ? 1 : 0);
        models.On("0 4", nullptr);
    };
    unanswered(true);
    for (TOrderPage page : {TOrderPage::ToSignal, TOrderPage::OverSignal, TOrderPage::Way}) {
        Lines l = Order(page, 105);
        EXPECT_EQ(l.size(), 10u);
        EXPECT_EQ(l.back(), "0 4 15 1");
    }
    // The position behind unknown after a first attempt that failed: silently no order.
    unanswered(false);
    EXPECT_EQ(Order(TOrderPage::ToSignal, 105),
              (Lines{"CLOSE", "1 12 1 0", "1 19 1 105 23 0 0", "1 17 105 23 0", "1 12 1 1"}));
    // No position at all: nothing but the question.
    EXPECT_EQ(Order(TOrderPage::ToSignal, 105, false, 9), (Lines{"CLOSE", "1 12 9 0"}));
}

TEST_F(MovementTalks, ATrainLocomotiveTypedByItsNumber)
{
    models.On("3 10 1508 166", "7");
    models.On("1 19 1 105 30 0 0", "31 105 1");
    Position();
    auto train = [&](const std::string& loko) {
        return Run([&](TTalk& t) { ConfirmTrainMoveOrder(t, loko, TOrderPage::ToSignal, 105); });
    };
    EXPECT_EQ(train("166"), (Lines{"CLOSE", "3 10 1508 166", "1 12 7 0", "1 19 1 105 30 0 0",
                                   "3 5 7 1003 1 1012 1 1013 105 1005 0"}));
    EXPECT_EQ(train("9999"), (Lines{"CLOSE", "3 10 1508 9999", "0 4 1107 9999"}));
    // Refused after the window closed: nothing is sent for a number that is missing or not one.
    for (const char* loko : {"0", "", "abc", "16 6", "166x"}) {
        EXPECT_EQ(train(loko), (Lines{"CLOSE", "REFUSED"})) << loko;
        EXPECT_EQ(refusal, "Не указан номер локомотива");
    }
}

// The driver acknowledges a registered order on the radio with where he stands: the panel's name
// of the section when the interlocking knows it, else the plan's name or number.
TEST_F(MovementTalks, TheDriverAcknowledgesWithWhereHeStands)
{
    models.On("1 19 1 105 23 0 0", "24 105 1");
    models.On("1 19 1 105 30 0 0", "31 105 1");
    models.On("2 22 23", "223");
    models.On("4 39 223", "23СП");
    models.On("3 10 1508 166", "7");
    for (const char* done : {"3 5", "4 10"}) models.On(done, nullptr);
    Position();
    Order(TOrderPage::ToSignal, 105);
    EXPECT_EQ(after, (Lines{"1 12 1 0", "2 22 23", "4 39 223", "4 10 МЛ1 Понял, следую. Нахожусь на секции 23СП"}));
    Run([&](TTalk& t) { ConfirmTrainMoveOrder(t, "166", TOrderPage::ToSignal, 105); });
    EXPECT_EQ(after.back(), "4 10 ПЛок Понял, следую. Нахожусь на секции 30");
    // Not reachable: no order, no acknowledgement.
    Order(TOrderPage::ToSignal, 107);
    EXPECT_TRUE(after.empty());
}
