// The interlocking model with the real plan model on the bus: the switch is turned and locked in
// the plan, and the plan's answers drive the route to its opening.
//
//  1001     10     101 Н      14          11               12         112 Ч1      16
//   |--------------->|----------------[sw 1]-----plus--- 204 ----------|<---- 202
//                                          \  17              13          15          113 Ч2      18
//                                           +----minus------ 205 --->|121 М2 ----------|<---- 203
//
// The plan's switch 1 owns plan sections 11 and 17; interlocking section 11 mirrors the switch.
#include <gtest/gtest.h>

#include "ec_test_station.h"
#include "models/plan/PlanModel.h"
#include "models/plan/tests/plan_fixture.h"

namespace {

const char* kPlan =
    "* Plan of the interlocking test station\n"
    "2 10 1001 101 100 - 0 0 0\n"
    "2 14 101 1 50 - 0 0 0\n"
    "2 11 1 204 40 - 0 0 0\n"
    "2 17 1 205 40 - 0 0 0\n"
    "2 12 204 112 100 - 0 0 0\n"
    "2 16 112 202 50 - 0 0 0\n"
    "2 13 205 121 60 - 0 0 0\n"
    "2 15 121 113 60 - 0 0 0\n"
    "2 18 113 203 50 - 0 0 0\n"
    "1 1 0 11 17 14 0 11 17 0\n"
    "3 101 0\n"
    "3 112 1\n"
    "3 121 0\n"
    "3 113 1\n";

} // namespace

TEST(EC_WithPlan, RouteTurnsAndLocksThePlanSwitch)
{
    TTestStation s(VELO_TEST_DIR "/fixtures/ec/EC_Model.dat");
    TPlanModel plan;
    plantest::LoadPlan(plan, kPlan);
    s.bus.Attach(brPlan, &plan);
    auto tick = [&] {
        s.bus.ClearLog();
        s.t += 1;
        plan.Process(static_cast<float>(s.t));
        s.delay.Process(static_cast<float>(s.t));
        s.ec.Process(static_cast<float>(s.t));
    };
    tick();
    EXPECT_EQ(s.Out(), Msgs{});

    s.Send("2 5 101 1");
    EXPECT_EQ(s.Send("2 5 113 1"), 1);
    EXPECT_EQ(s.Out(), (Msgs{"2 4 1 1 0", "1 9 1 1 ", "4 14 1", "4 16 12 1"}));
    std::vector<std::string> seen;
    for (int i = 0; i < 8 && s.Signal(101)->SignalState != 0; ++i) {
        tick();
        for (const auto& r : s.bus.log) seen.push_back(r.request);
    }
    ASSERT_EQ(s.Signal(101)->SignalState, 0);
    auto at = std::find(seen.begin(), seen.end(), "4 14 0");
    ASSERT_NE(at, seen.end());
    EXPECT_EQ(*(at + 1), "4 16 12 0");
    EXPECT_EQ(s.events, (Msgs{"14 101 113 1"}));

    // The plan keeps the switch locked by the route; the inquiry reads the plan.
    std::string ask = "1 4 1";
    ASSERT_EQ(s.bus.Send(ask), 1);
    EXPECT_EQ(ask.substr(0, 8), "0 1 0 1 ");
    EXPECT_EQ(s.Send("2 21 1"), 1);
    EXPECT_EQ(s.reply, "Стрелка №1 свободна, установлена по - ");
    EXPECT_EQ(s.Send("2 11 11"), 1);
    EXPECT_EQ(s.reply, "11 2 1");

    // Cancelled with a free approach: released after 6 s and unlocked in the plan.
    s.Send("2 9");
    s.Send("2 5 101 1");
    for (int i = 0; i < 6; ++i) tick();
    EXPECT_EQ(s.Section(11)->SectionState, 0);
    ask = "1 4 1";
    s.bus.Send(ask);
    EXPECT_EQ(ask.substr(0, 8), "0 1 0 0 ");
}
