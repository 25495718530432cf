// Safety of the interlocking on the test station: a signal shows proceed only over an intact route
// and a route never releases what another route holds. The station is drawn in ec_test_station.h:
//
//  1001     10     101 Н      14          11               12         112 Ч1
//   |--------------->|----------------[sw 1]-----plus--- 204 ----------|<---- 202
//                                          \                  13          15          113 Ч2
//                                           +----minus------ 205 --->|121 М2 ----------|<---- 203
//
// Route A: 101 -> 113 over 14, 11 (switch 1 minus), 13, 15. Route B: 112 -> 101 over 12, 11 (plus).
#include <gtest/gtest.h>

#include <algorithm>

#include "ec_test_station.h"

namespace {

bool Has(const Msgs& out, const std::string& m) { return std::find(out.begin(), out.end(), m) != out.end(); }

} // namespace

// A cancelled route's timed release frees only what that route still holds, not a later route of
// another signal over the same switch.
TEST(EC_Safety, TimedReleaseFreesNothingOfAnotherSignalsRoute)
{
    TTestStation s;
    s.SetRoute(101, 113, 1);
    s.plan.occupied.insert(10);  // a train approaches: the release takes 180 s
    s.Tick();
    s.Send("2 9");
    s.Send("2 5 101 1");
    s.Tick(6);
    // Freed early by artificial release; route B takes switch 1 back to plus.
    s.Send("2 12 14");
    s.Send("2 13");
    s.Tick(30);
    ASSERT_EQ(s.Section(11)->SectionState, 0);
    s.SetRoute(112, 101, 1);
    ASSERT_EQ(s.Signal(112)->SignalState, 0);
    s.Tick(180);  // the release of route A is due
    EXPECT_EQ(s.Section(11)->SectionState, 2);
    EXPECT_EQ(s.Section(12)->SectionState, 2);
    EXPECT_EQ(s.Signal(112)->SignalState, 0);
    // The switch under route B stays locked.
    EXPECT_EQ(s.Send("2 4 1 1 1"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"0 4 113 1"}));
}

// A train route opens only over free sections, and its signal closes when any section of the
// route is entered, not only the first.
TEST(EC_Safety, TrainSignalNeedsEveryRouteSectionFree)
{
    TTestStation s;
    s.Send("2 5 101 1");
    s.Send("2 5 113 1");  // switch 1 moves to minus
    s.plan.occupied.insert(13);
    s.Tick(3);
    EXPECT_EQ(s.Signal(101)->SignalState, 2);
    EXPECT_TRUE(s.ec.IsRouteGroupe());  // it waits for the section
    s.plan.occupied.clear();
    s.Tick(2);  // the section frees, then the route opens
    EXPECT_EQ(s.Signal(101)->SignalState, 0);

    // Open: a movement on 15 (the far end) closes it in the same tick.
    s.plan.occupied.insert(15);
    s.Tick();
    EXPECT_TRUE(Has(s.Out(), "4 7 101 2"));
    EXPECT_EQ(s.Signal(101)->SignalState, 2);
}

// The link from a section to the next belongs to the route that set it: a movement leaving a
// section of an old route does not release a newer route.
TEST(EC_Safety, OldRouteLinkReleasesNothingOfANewerRoute)
{
    TTestStation s;
    s.SetRoute(101, 113, 1);
    s.plan.occupied.insert(14);  // the train enters route A and stops
    s.Tick();
    s.Send("2 12 14");
    s.Send("2 14");  // the rest of route A is released, 14 stays occupied
    ASSERT_EQ(s.Section(11)->SectionState, 0);
    s.SetRoute(112, 101, 1);
    ASSERT_EQ(s.Signal(112)->SignalState, 0);
    s.plan.occupied.clear();  // the train backs out of 14
    s.Tick();
    EXPECT_EQ(s.Section(11)->SectionState, 2);
    EXPECT_EQ(s.Signal(112)->SignalState, 0);
}

// A signal closes when a switch of its route leaves the route's position: trailed, or turned with
// the sealed auxiliary-turning button held.
TEST(EC_Safety, SwitchLosingItsPositionClosesTheSignal)
{
    TTestStation s;
    s.SetRoute(101, 113, 0);
    ASSERT_EQ(s.Signal(101)->SignalState, 0);
    s.plan.switches[1].position = 0;  // trailed by a movement
    s.plan.switches[1].trailed = 1;
    s.Tick();
    EXPECT_EQ(s.Signal(101)->SignalState, 2);
    EXPECT_EQ(s.Signal(121)->SignalState, 0);  // its part of the route, 15, is intact

    TTestStation a;
    a.SetRoute(101, 113, 1);
    ASSERT_EQ(a.Signal(101)->SignalState, 0);
    a.Send("2 18 1 1");
    EXPECT_EQ(a.Send("2 4 1 0 1"), 1);
    EXPECT_EQ(a.Out(), (Msgs{"1 9 1 0 ", "4 14 1", "4 16 12 1", "4 7 101 2"}));
}

// A release typed on the console or written in a scenario ([2 10 {signal} {lamp}]) does not free
// the route of an open signal.
TEST(EC_Safety, BareTimedReleaseLeavesAnOpenRoute)
{
    TTestStation s;
    s.SetRoute(101, 113, 1);
    EXPECT_EQ(s.Send("2 10 101 3"), 0);
    EXPECT_EQ(s.Out(), (Msgs{"4 16 3 0"}));
    EXPECT_EQ(s.Section(11)->SectionState, 2);
    EXPECT_EQ(s.Signal(101)->SignalState, 0);
    // Once the signal is closed the same message releases the route.
    s.Send("2 15 101");
    EXPECT_EQ(s.Send("2 10 101 3"), 1);
    EXPECT_EQ(s.Section(11)->SectionState, 0);
}

// Fault-mode corners: normal mode on a section in normal mode changes nothing; an armed artificial
// release that a timed release made void puts out its lamp.
TEST(EC_Safety, FaultModeAndArmedReleaseCorners)
{
    TTestStation s;
    s.Send("2 19 12 101");
    s.plan.occupied.insert(12);
    s.Tick();
    s.Send("2 19 12 100");
    s.plan.occupied.clear();
    s.Tick();
    ASSERT_EQ(s.Section(12)->SectionState, 0);
    EXPECT_EQ(s.Send("2 19 12 100"), 1);
    EXPECT_EQ(s.Out(), Msgs{});
    EXPECT_EQ(s.Section(12)->SectionState, 0);

    s.SetRoute(101, 113, 1);
    s.Send("2 12 14");
    s.Send("2 9");
    s.Send("2 5 101 1");  // free approach: released after 6 s
    s.Tick(6);
    EXPECT_EQ(s.Section(14)->SectionState, 0);
    EXPECT_TRUE(Has(s.Out(), "4 16 5 0"));
    EXPECT_EQ(s.Send("2 13"), 0);
}
