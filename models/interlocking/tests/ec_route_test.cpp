// Interlocking routes, signals and switches driven through the bus: the two clicks, the route
// search, turning switches through the plan, opening and closing signals, cancelling, the switch
// keys and the inquiries. The station is drawn in ec_test_station.h.
#include <gtest/gtest.h>

#include <fstream>

#include "ec_test_station.h"
#include "platform/core/Strings.h"

TEST(EC_Route, FirstClickAndRejectedSecondClicks)
{
    TTestStation s;
    EXPECT_EQ(s.Send("2 5 101 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 30 101 1", "4 31 1 2"}));
    // The later test overrides: a second train click on the start itself is 118, then 120 (the
    // start faces its own direction in a train route).
    EXPECT_EQ(s.Send("2 5 101 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 120 Н", "4 30 101 0", "4 31 1 0"}));
    EXPECT_FALSE(s.ec.IsStartMarked());
    // Shunting start, then the start itself in train mode: 118 overridden by 119.
    s.Send("2 5 101 0");
    EXPECT_EQ(s.Out(), (Msgs{"4 30 101 1", "4 31 1 1"}));
    EXPECT_EQ(s.Send("2 5 101 1"), 0);
    EXPECT_EQ(s.Out()[0], "0 4 119 Н");
    s.Send("2 5 101 0");
    EXPECT_EQ(s.Send("2 5 101 0"), 0);
    EXPECT_EQ(s.Out()[0], "0 4 118 Н");
    // A train route may not end on a signal facing the start's direction.
    s.Send("2 5 101 1");
    EXPECT_EQ(s.Send("2 5 121 1"), 0);
    EXPECT_EQ(s.Out()[0], "0 4 120 Н");
    // Cancel without and with a marked start.
    EXPECT_EQ(s.Send("2 7"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 102"}));
    s.Send("2 5 112 0");
    EXPECT_EQ(s.Out(), (Msgs{"4 30 112 1", "4 31 2 1"}));
    EXPECT_EQ(s.Send("2 7"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 30 112 0", "4 31 2 0"}));
    // Numbers that are no signal are refused without a word.
    for (const char* m : {"2 5 1 1", "2 5 204 1", "2 5 999 1", "2 16 204 1"}) {
        EXPECT_EQ(s.Send(m), 0) << m;
        EXPECT_TRUE(s.Out().empty()) << m;
    }
}

TEST(EC_Route, TrainRouteTurnsTheSwitchLocksAndOpens)
{
    TTestStation s;
    s.Send("2 5 101 1");
    // The plus branch ends at a joint with nothing beyond; the minus branch reaches 113 and turns
    // the switch.
    EXPECT_EQ(s.Send("2 16 113 1"), 1);
    EXPECT_EQ(s.reply, "2 5 113 1");
    EXPECT_EQ(s.Out(), (Msgs{"2 4 1 1 0", "1 9 1 1 ", "4 14 1", "4 16 12 1"}));
    EXPECT_TRUE(s.ec.IsRouteGroupe());
    TEC_Route* r = s.ec.GetRoute();
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->Sections.size(), 4u);
    EXPECT_EQ(r->Sections[0]->Number, 14);
    EXPECT_EQ(r->Sections[3]->Number, 15);
    EXPECT_TRUE(s.Switch(1)->Reserved);
    // While a route is in progress every click is refused.
    EXPECT_EQ(s.Send("2 5 112 0"), 0);

    s.Tick();  // still moving
    EXPECT_EQ(s.Out(), Msgs{});
    s.Tick();  // settled: the signal opens in the same tick
    EXPECT_EQ(s.Out(), (Msgs{"4 14 0", "4 16 12 0", "4 8 14 0 1", "1 37 1 1", "4 8 11 1 1", "4 8 13 0 1",
                             "4 8 15 0 1", "4 7 101 3", "4 31 1 0"}));
    EXPECT_EQ(s.events, (Msgs{"14 101 113 1"}));
    EXPECT_FALSE(s.ec.IsRouteGroupe() || s.ec.IsStartMarked());
    EXPECT_FALSE(s.Switch(1)->Reserved);
    EXPECT_EQ(s.Signal(101)->RouteMode, 1);
    EXPECT_EQ(s.Section(14)->Next, s.Section(11));
    EXPECT_EQ(s.Section(15)->Next, nullptr);
    s.Tick();
    EXPECT_EQ(s.Out(), Msgs{});

    // The plan's view of the signal: open for a train.
    EXPECT_EQ(s.Send("2 6 101 1"), 1);
    EXPECT_EQ(s.reply, "0 1");
    // A first click on an open signal is an error.
    EXPECT_EQ(s.Send("2 5 101 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 116 Н"}));
    // A route over the locked switch section is refused.
    s.Send("2 5 112 1");
    EXPECT_EQ(s.Send("2 5 101 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 114 Ч1", "4 30 112 0", "4 31 2 0"}));
}

TEST(EC_Route, ShuntingRouteOpensItsIntermediateSignals)
{
    TTestStation s;
    s.plan.switches[1].position = 1;
    s.Tick();
    s.Switch(1)->Position = 1;
    s.Send("2 5 101 0");
    EXPECT_EQ(s.Send("2 5 113 0"), 1);
    EXPECT_EQ(s.Out(), Msgs{});  // the switch already lies right
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 7 121 1", "4 8 14 0 1", "1 37 1 1", "4 8 11 1 1", "4 8 13 0 1", "4 8 15 0 1",
                             "4 7 101 1", "4 31 1 0"}));
    EXPECT_EQ(s.events, (Msgs{"14 101 113 0"}));
    // Open for shunting: a train reads stop, a shunting movement reads open.
    s.Send("2 6 101 1");
    EXPECT_EQ(s.reply, "2 1");
    s.Send("2 6 101 0");
    EXPECT_EQ(s.reply, "0 0");
    // Only signals answer.
    EXPECT_EQ(s.Send("2 6 204 0"), 0);
    EXPECT_EQ(s.reply, "2 6 204 0");
    EXPECT_EQ(s.Send("2 15 101"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 7 101 2", "4 7 121 0"}));
    s.Send("2 6 101 1");
    EXPECT_EQ(s.reply, "2 1");
}

TEST(EC_Route, FailedSearchLeavesNothingReserved)
{
    TTestStation s;
    s.plan.occupied.insert(14);
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 8 14 0 2"}));
    s.Send("2 5 101 1");
    EXPECT_EQ(s.Send("2 5 113 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"2 4 1 1 0", "1 9 1 1 ", "4 14 1", "4 16 12 1", "0 4 115 Н", "4 30 101 0", "4 31 1 0"}));
    EXPECT_FALSE(s.Switch(1)->Reserved);
    EXPECT_EQ(s.Section(11)->SectionState, 0);
    // The switch key is obeyed again.
    EXPECT_EQ(s.Send("2 4 1 0 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"1 9 1 0 ", "4 14 1", "4 16 12 1"}));
}

TEST(EC_Route, RefusedTurnDropsTheRouteWithoutFlooding)
{
    TTestStation s;
    s.plan.refuseTurn.insert(1);
    s.Send("2 5 101 1");
    EXPECT_EQ(s.Send("2 5 113 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"2 4 1 1 0", "1 9 1 1 ", "4 30 101 0", "4 31 1 0"}));
    EXPECT_EQ(s.Switch(1)->Position, 0);
    EXPECT_FALSE(s.Switch(1)->Reserved);
    s.Tick(3);
    EXPECT_EQ(s.Out(), Msgs{});
    // The key is refused the same way.
    EXPECT_EQ(s.Send("2 4 1 1 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"1 9 1 1 "}));
}

TEST(EC_Route, SwitchKeysAndIndividualControl)
{
    TTestStation s;
    EXPECT_EQ(s.Send("2 4 1 1 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"1 9 1 1 ", "4 14 1", "4 16 12 1"}));
    // Asked again while it moves there: the plan is not asked again.
    EXPECT_EQ(s.Send("2 4 1 1 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 16 13 1"}));
    s.Tick(2);
    EXPECT_EQ(s.Out(), (Msgs{"4 14 0", "4 16 12 0", "4 16 11 1"}));
    // A route needing the key-controlled switch in plus is dropped with 117.
    s.Send("2 5 101 1");
    EXPECT_EQ(s.Send("2 5 112 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"2 4 1 0 0", "0 4 117 1", "4 30 101 0", "4 31 1 0"}));
    // One that needs it where it lies is set and opens at the next tick.
    s.Send("2 5 101 1");
    EXPECT_EQ(s.Send("2 5 113 1"), 1);
    s.Tick();
    EXPECT_EQ(s.Signal(101)->SignalState, 0);
    // The key of a switch in a locked route is refused with 113.
    EXPECT_EQ(s.Send("2 4 1 0 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 113 1"}));
    // Hand back to route control.
    EXPECT_EQ(s.Send("2 4 1 2 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 16 11 0"}));
    EXPECT_FALSE(s.Switch(1)->Individual);
}

TEST(EC_Route, AuxiliaryTurningOverridesAFaultySection)
{
    TTestStation s;
    s.plan.switches[1].position = 1;
    s.Tick();
    EXPECT_EQ(s.Send("2 19 11 101"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 8 11 1 2"}));
    EXPECT_EQ(s.Send("2 4 1 0 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 1 1"}));
    EXPECT_EQ(s.Send("2 18 1 1"), 1);
    EXPECT_EQ(s.Send("2 4 1 0 1"), 1);
    // The refused key made it key-controlled: the lamp of the position it leaves goes out.
    EXPECT_EQ(s.Out(), (Msgs{"1 9 1 0 ", "4 14 1", "4 16 11 0", "4 16 12 1"}));
    EXPECT_EQ(s.Send("2 18 7 1"), 0);
}

TEST(EC_Route, CancelStartsTheTimedRelease)
{
    TTestStation s;
    s.SetRoute(101, 113, 1);
    ASSERT_EQ(s.Signal(101)->SignalState, 0);
    s.plan.occupied.insert(10);
    s.Tick();
    EXPECT_EQ(s.Send("2 9"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 16 4 2"}));
    double t0 = s.t;
    EXPECT_EQ(s.Send("2 5 101 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{Format("8 4 %f 2 10 101 2 1", t0 + 180), Format("8 4 %f 2 15 101", t0 + 6), "4 16 4 0",
                             "4 16 2 1"}));
    EXPECT_FALSE(s.ec.IsDeleteRouteMode());
    s.Tick(6);
    EXPECT_EQ(s.Out(), (Msgs{"2 15 101", "4 7 101 2"}));
    s.Tick(173);
    EXPECT_EQ(s.Out(), Msgs{});
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"2 10 101 2 1", "4 8 14 0 0", "1 37 1 0", "4 8 11 1 0", "4 8 13 0 0", "4 8 15 0 0",
                             "4 16 2 0"}));

    // With a free approach section everything happens after 6 s under lamp 3; the signal closes
    // first (the later queued message of the same time goes first).
    s.plan.occupied.clear();
    s.SetRoute(101, 113, 1);
    s.Send("2 9");
    s.Send("2 5 101 1");
    EXPECT_EQ(s.Out().back(), "4 16 3 1");
    s.Tick(6);
    EXPECT_EQ(s.Out(), (Msgs{"2 15 101", "4 7 101 2", "2 10 101 3 2", "4 8 14 0 0", "1 37 1 0", "4 8 11 1 0",
                             "4 8 13 0 0", "4 8 15 0 0", "4 16 3 0"}));

    // Cancel clicks that do not fit: closed signal (103), open for a train but clicked as
    // shunting (124).
    s.Send("2 9");
    EXPECT_EQ(s.Send("2 5 112 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 103 Ч1", "4 16 4 0"}));
    s.SetRoute(101, 113, 1);
    s.Send("2 9");
    EXPECT_EQ(s.Send("2 5 101 0"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 124 Н", "4 16 4 0"}));
}

TEST(EC_Route, StaleTimedReleaseFreesNothingOfALaterRoute)
{
    TTestStation s;
    s.SetRoute(101, 113, 1);
    s.plan.occupied.insert(10);
    s.Tick();
    s.Send("2 9");
    s.Send("2 5 101 1");  // release in 180 s
    s.plan.occupied.clear();
    s.Tick(6);
    // Freed early by the artificial release, then the same route is set again.
    s.Send("2 12 14");
    s.Send("2 13");
    s.Tick(30);
    ASSERT_EQ(s.Section(15)->SectionState, 0);
    s.SetRoute(101, 113, 1);
    ASSERT_EQ(s.Signal(101)->SignalState, 0);
    s.Tick(static_cast<int>(183 - s.t));
    EXPECT_EQ(s.Out(), (Msgs{"2 10 101 2 1", "4 16 2 0"}));
    EXPECT_EQ(s.Section(14)->SectionState, 2);
    EXPECT_EQ(s.Section(15)->SectionState, 2);
}

TEST(EC_Route, SwitchInquiry)
{
    TTestStation s;
    EXPECT_EQ(s.Send("2 21 1 стрелка 1"), 1);
    EXPECT_EQ(s.reply, "Стрелка №1 свободна, установлена по + ");
    EXPECT_EQ(s.Section(11)->CheckTime, 0.0);  // asked at model time 0
    s.Tick(5);
    s.plan.switches[1] = TFakePlan::Switch{1, -1, 0, 1, 0, 2};
    s.Send("2 21 1");
    EXPECT_EQ(s.reply, "Стрелка №1 занята, заперта на закладки, установлена по - ");
    EXPECT_EQ(s.Section(11)->CheckTime, 5.0);
    s.plan.switches[1].trailed = 1;
    s.Send("2 21 1");
    EXPECT_EQ(s.reply, "Стрелка №1 занята, взрезана.");
    s.plan.switches[1] = TFakePlan::Switch{0, 1, 99, 0, 0, 0};
    s.Send("2 21 1");
    EXPECT_EQ(s.reply, "Стрелка №1 свободна, переводится. ");
    EXPECT_EQ(s.Send("2 21 112"), 0);
    s.plan.switches.clear();
    EXPECT_EQ(s.Send("2 21 1"), 0);
    EXPECT_EQ(s.reply, "2 21 1");
}

namespace {

std::string WriteStation(const std::string& name, const std::string& text)
{
    std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << Utf8ToCp1251(text);
    return path;
}

} // namespace

TEST(EC_Route, LoopsInTheDataAndMutualPairsEnd)
{
    // Switch 1's minus branch leads back to its own points through joint 201; switches 2 and 3
    // name each other as their pair.
    std::string path = WriteStation("ec_loop.dat",
                                    "2 101 0 1 0 1 0 -1 0 0 0 0 А\n"
                                    "1 1 11 0 0 201 0 0 0 -1 0 0\n"
                                    "3 201 1 0 -1 0 0 0\n"
                                    "4 11 0 0 11\n"
                                    "5 11 1\n"
                                    "1 2 12 3\n"
                                    "1 3 13 2\n"
                                    "4 12 0 0 12\n"
                                    "4 13 0 0 13\n"
                                    "5 12 2\n"
                                    "5 13 3\n"
                                    "2 102 0 1 0 0 0 0 0 0 0 0 Б\n");
    TTestStation s(path.c_str());
    s.plan.switches[2] = TFakePlan::Switch{};
    s.plan.switches[3] = TFakePlan::Switch{};
    s.Send("2 5 101 0");
    EXPECT_EQ(s.Send("2 5 102 0"), 0);
    EXPECT_FALSE(s.Switch(1)->Reserved);

    // A key on a pair already in place lights the lamps of both halves (each shows on its
    // partner's lamps); the sealed button is forwarded once, not back and forth.
    EXPECT_EQ(s.Send("2 4 2 0 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 16 30 1", "4 16 20 1"}));
    EXPECT_EQ(s.Send("2 18 2 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"2 18 3 1"}));
    EXPECT_TRUE(s.Switch(3)->AuxTurning);
}

TEST(EC_Route, JointsAbove1000EndTheSearchAndSwitchlessRoutesOpen)
{
    for (int joint : {1000, 1001}) {
        std::string path = WriteStation("ec_joint.dat", Format("2 101 0 1 0 %d 0 0 0 0 0 0 А\n"
                                                               "3 %d 102 0 0 0 0 0\n"
                                                               "2 102 0 1 0 0 0 0 0 0 0 0 Б\n",
                                                               joint, joint));
        TTestStation s(path.c_str());
        s.Send("2 5 101 0");
        EXPECT_EQ(s.Send("2 5 102 0"), joint == 1000 ? 1 : 0) << joint;
        if (joint == 1001) continue;
        s.Tick();
        EXPECT_EQ(s.Out(), (Msgs{"4 7 101 1", "4 31 1 0"}));
        EXPECT_EQ(s.events, (Msgs{"14 101 102 0"}));
    }
}

TEST(EC_Route, FatalErrorDuringTheSearchDropsTheRoute)
{
    TTestStation s;
    // A fatal error shown by the main window unwinds the sender's call chain.
    s.bus.SetReceiver(brInterface, [](std::string& mes, TlstParams*) -> int {
        if (mes == "4 14 1") throw Exception("фатальная ошибка");
        return 1;
    });
    s.Send("2 5 101 1");
    std::string mes = "2 5 113 1";
    EXPECT_THROW(s.bus.Send(mes), Exception);
    EXPECT_FALSE(s.ec.IsRouteGroupe() || s.ec.IsStartMarked());
    EXPECT_FALSE(s.Switch(1)->Reserved);
    EXPECT_FALSE(s.ec.inSearch);
    EXPECT_EQ(s.Send("2 5 101 1"), 1);
}
