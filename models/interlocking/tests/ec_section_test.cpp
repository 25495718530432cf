// Interlocking sections, stretches and blocks driven through the bus: occupancy from the plan,
// locks and their release behind a train, the guard test, fault modes with the trainee's
// inquiries, artificial release, the switch-control display and the stretch indicators.
// The station is drawn in ec_test_station.h; sections 10 and 12 have their option set, and
// section 12 also covers plan section 16.
#include <gtest/gtest.h>

#include "ec_test_station.h"

TEST(EC_Section, OccupancyFollowsThePlan)
{
    TTestStation s;
    s.plan.occupied.insert(12);
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 8 12 1 2"}));
    s.Tick();
    EXPECT_EQ(s.Out(), Msgs{});
    s.plan.occupied.insert(16);  // the second plan section of 12 turns the variant to 0
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 8 12 0 2"}));
    s.plan.occupied.clear();
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 8 12 0 0"}));
    // The switch section takes the switch's own occupancy first.
    s.plan.switches[1].occupied = 1;
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 8 11 0 2"}));

    EXPECT_EQ(s.Send("2 11 11"), 1);
    EXPECT_EQ(s.reply, "11 1 0");
    EXPECT_EQ(s.Send("2 22 16"), 1);
    EXPECT_EQ(s.reply, "12");
    for (const char* m : {"2 11 99", "2 22 99", "2 17 99 1", "2 20 99 x", "2 19 99 101", "2 12 99"})
        EXPECT_EQ(s.Send(m), 0) << m;
}

TEST(EC_Section, TrainRouteReleasesBehindTheTrain)
{
    TTestStation s;
    s.SetRoute(101, 113, 1);
    ASSERT_EQ(s.Signal(101)->SignalState, 0);
    // Entering the first section closes the train signal.
    s.plan.occupied.insert(14);
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 7 101 2", "4 8 14 0 2"}));
    s.plan.occupied.insert(11);
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 8 11 1 2"}));
    s.plan.occupied.erase(14);
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 8 14 0 0"}));
    // 11 frees while 13 is entered in the same tick.
    s.plan.occupied = {13};
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"1 37 1 0", "4 8 11 1 0", "4 8 13 0 2"}));
    s.plan.occupied = {15};
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 8 13 0 0", "4 8 15 0 2"}));
    s.plan.occupied.clear();
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 8 15 0 0"}));
}

TEST(EC_Section, MovementLeavingBackwardsReleasesTheRestOfTheRoute)
{
    TTestStation s;
    s.SetRoute(101, 113, 0);
    // A shunting signal closes only when its first section is free again; the movement backs
    // out, so the sections ahead of it are freed from the far end.
    s.plan.occupied.insert(14);
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 8 14 0 2"}));
    EXPECT_EQ(s.Signal(101)->SignalState, 0);
    s.plan.occupied.clear();
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 7 121 0", "4 8 15 0 0", "4 8 13 0 0", "1 37 1 0", "4 8 11 1 0", "4 7 101 2",
                             "4 8 14 0 0"}));
}

TEST(EC_Section, ArtificialRelease)
{
    TTestStation s;
    EXPECT_EQ(s.Send("2 13"), 0);
    EXPECT_EQ(s.Out(), Msgs{});
    EXPECT_EQ(s.Send("2 12 14"), 0);  // free: nothing to release
    s.SetRoute(101, 113, 1);
    EXPECT_EQ(s.Send("2 12 14"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 8 14 0 5", "4 16 5 2"}));
    double t0 = s.t;
    EXPECT_EQ(s.Send("2 13"), 1);
    EXPECT_EQ(s.Out(), (Msgs{Format("8 4 %f 2 14", t0 + 30), "4 16 5 1"}));
    s.Tick(29);
    EXPECT_EQ(s.Out(), Msgs{});
    s.Tick();
    // The signal of the route closes before its sections are released.
    EXPECT_EQ(s.Out(), (Msgs{"2 14", "4 7 101 2", "4 8 15 0 0", "4 8 13 0 0", "1 37 1 0", "4 8 11 1 0", "4 8 14 0 0",
                             "4 16 5 0"}));
    EXPECT_EQ(s.Send("2 13"), 0);

    // An occupied section blinks red-white and, once released, shows red again.
    s.SetRoute(101, 113, 1);
    s.plan.occupied.insert(14);
    s.Tick();
    EXPECT_EQ(s.Send("2 12 14"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 8 14 0 6", "4 16 5 2"}));
    s.Send("2 14");
    EXPECT_EQ(s.Out(), (Msgs{"4 8 15 0 0", "4 8 13 0 0", "1 37 1 0", "4 8 11 1 0", "4 8 14 0 2", "4 16 5 0"}));
    EXPECT_FALSE(s.Section(14)->LockedMemory);
}

TEST(EC_Section, FaultModesAndInquiries)
{
    TTestStation s;
    EXPECT_EQ(s.Send("2 19 12 101"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 8 12 1 2"}));
    s.Tick();
    EXPECT_EQ(s.Out(), Msgs{});
    // A movement entering without an inquiry is an error, once.
    s.plan.occupied.insert(12);
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 39 12", "0 4 126 Путь 12"}));
    s.Tick();
    EXPECT_EQ(s.Out(), Msgs{});
    s.plan.occupied.clear();
    s.Tick();
    // Back to normal: the actual state is shown again.
    EXPECT_EQ(s.Send("2 19 12 100"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 8 12 1 0"}));

    // An inquiry within 600 s prevents the error; the section's state is the plan's.
    s.Send("2 19 12 101");
    EXPECT_EQ(s.Send("2 20 12 Путь 1"), 1);
    EXPECT_EQ(s.reply, "Путевая секция №Путь 1 свободна");
    s.Tick(600);
    s.plan.occupied.insert(12);
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 39 12", "0 4 126 Путь 12"}));
    s.plan.occupied.clear();
    s.Tick();
    s.Send("2 20 12");
    EXPECT_EQ(s.reply, "Путевая секция № свободна");
    s.Tick(599);
    s.plan.occupied.insert(12);
    s.Tick();
    EXPECT_EQ(s.Out(), Msgs{});
    s.Send("2 20 12 Путь 1");
    EXPECT_EQ(s.reply, "Путевая секция №Путь 1 занята ");

    // Shown free: a switch section whose name the main window does not know gets a blank name.
    EXPECT_EQ(s.Send("2 19 11 102"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"1 37 1 0", "4 8 11 0 0"}));
    s.plan.occupied.insert(11);
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 39 11", "0 4 129  "}));

    // Only the three modes exist.
    EXPECT_EQ(s.Send("2 19 12 5"), 0);
    EXPECT_EQ(s.Send("2 19 12"), 0);
    EXPECT_EQ(s.Section(12)->FaultMode, 101);
}

TEST(EC_Section, FaultModeRefusesARouteThroughIt)
{
    TTestStation s;
    s.Send("2 19 14 101");
    s.Send("2 5 101 1");
    EXPECT_EQ(s.Send("2 5 113 1"), 0);
    EXPECT_EQ(s.Out().back(), "4 31 1 0");
    EXPECT_EQ(s.Out()[s.Out().size() - 3], "0 4 115 Н");
    s.Send("2 19 14 100");
    s.SetRoute(101, 113, 1);
    EXPECT_EQ(s.Signal(101)->SignalState, 0);
}

TEST(EC_Section, ClosedSectionsStopTheSearch)
{
    TTestStation s;
    EXPECT_EQ(s.Send("2 17 16 1"), 1);  // plan section 16 lies in section 12
    EXPECT_TRUE(s.Section(12)->Closed);
    s.Send("2 5 101 1");
    EXPECT_EQ(s.Send("2 5 112 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 122 Н", "4 30 101 0", "4 31 1 0"}));
    EXPECT_EQ(s.Send("2 17 10 1"), 1);
    s.Send("2 5 101 1");
    EXPECT_EQ(s.Send("2 5 113 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 123 Н", "4 30 101 0", "4 31 1 0"}));
    s.Send("2 17 10 0");
    s.Send("2 17 12 0");
    s.SetRoute(101, 112, 1);
    EXPECT_EQ(s.Signal(101)->SignalState, 0);
}

TEST(EC_Section, SwitchControlDisplay)
{
    TTestStation s;
    EXPECT_EQ(s.Send("2 8 0 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 8 11 25 1", "4 16 10 1"}));
    EXPECT_EQ(s.Send("2 8 0 0"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 16 10 0"}));
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"1 37 1 0", "4 8 11 0 0"}));
    s.Tick();
    EXPECT_EQ(s.Out(), Msgs{});
    // Occupied: red-white; a key-controlled switch keeps its own lamp.
    s.plan.occupied.insert(11);
    s.Tick();
    s.Send("2 4 1 0 1");
    EXPECT_EQ(s.Send("2 8 0 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"4 8 11 25 4"}));
}

TEST(EC_Section, StretchIndicatorsAndBlockSignals)
{
    TTestStation s;
    s.plan.occupied.insert(21);
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 13 1 1", "4 12 1 1"}));
    s.Send("2 6 150 1");
    EXPECT_EQ(s.reply, "2 1");
    s.Send("2 6 151 1");
    EXPECT_EQ(s.reply, "1 1");  // the last signal ahead stays closed

    s.plan.occupied = {22};
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 13 1 0", "4 13 2 1"}));
    s.Send("2 6 151 1");
    EXPECT_EQ(s.reply, "2 1");
    s.Send("2 6 150 1");
    EXPECT_EQ(s.reply, "1 1");

    s.plan.occupied.clear();
    s.Tick();
    EXPECT_EQ(s.Out(), (Msgs{"4 13 2 0", "4 12 1 0"}));
    s.Send("2 6 150 1");
    EXPECT_EQ(s.reply, "0 1");
    s.Tick();
    EXPECT_EQ(s.Out(), Msgs{});
}
