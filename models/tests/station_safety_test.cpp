// Safety of the interlocking on the sample station where it depends on the station's own layout:
// the crossover 29/31 turns as a unit, the hump lead 60 is occupied by a movement on either of its
// plan sections, and a route onto stretch 1 keeps the lock of its blocks.
//
//   [21 1В]-131>-[323]-(23)-[223]-(25)-[225]-|240-[227]-(27)-[229]-(29)-[329]-|242-<104-[28]
//                                                      |             |
//                                                      `---[427]---(31)-[231]-<102-[44]
//
//   (21)-[221]-<151-[60 + 61]-<145-[62]          |1101-[41]-181>-[42]-101>-[201]-(1)-(5)-(11)-<123-[23 3В]
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "sample_station.h"

class StationSafetyTest : public testing::Test, protected TSampleStation {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(std::filesystem::path(VELO_SOURCE_DIR) / "station" / "data" / "EC_Model.dat"))
            GTEST_SKIP() << "no sample station";
        copy = std::make_unique<TStationCopy>();
        std::string error = Load();
        if (!error.empty()) FAIL() << error;
        Tick(1.0);
    }
    void TearDown() override { copy.reset(); }

    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i) Tick(1.0);
    }
    TEC_Signal1* Signal(int n) { return AsSignal(ec.Vertexes.Find(n)); }
    TEC_Section1* Section(int n) { return ec.Sections.Find(n); }
    int PlanSwitch(int n) { return plan.FindSwitch(n)->State; }

    std::unique_ptr<TStationCopy> copy;
};

// A key on either half of the crossover is refused while the other half's section is locked, and
// neither half moves.
TEST_F(StationSafetyTest, CrossoverTurnsAsAUnitOrNotAtAll)
{
    // Departure 131 -> 104 over switch 29 in plus locks 229, not 231.
    ASSERT_EQ(Send("2 5 131 1"), 1);
    ASSERT_EQ(Send("2 5 104 1"), 1);
    Ticks(10);
    ASSERT_EQ(Signal(131)->SignalState, 0);
    ASSERT_EQ(Section(231)->SectionState, 0);
    bus.ClearLog();
    EXPECT_EQ(Send("2 4 31 1 1"), 0);
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{"0 4 113 29"});
    Ticks(10);
    EXPECT_EQ(PlanSwitch(31), 0);
    EXPECT_EQ(PlanSwitch(29), 0);
    EXPECT_EQ(Signal(131)->SignalState, 0);

    // Arrival 102 -> 131 over 31 in plus and 27 in minus locks 231, not 229.
    Send("2 9");
    Send("2 5 131 1");
    Ticks(10);
    ASSERT_EQ(Section(229)->SectionState, 0);
    ASSERT_EQ(Send("2 5 102 1"), 1);
    ASSERT_EQ(Send("2 5 131 1"), 1);
    Ticks(10);
    ASSERT_EQ(Signal(102)->SignalState, 0);
    EXPECT_EQ(Send("2 4 29 1 1"), 0);
    Ticks(10);
    EXPECT_EQ(PlanSwitch(29), 0);
    EXPECT_EQ(PlanSwitch(31), 0);
    EXPECT_EQ(Signal(102)->SignalState, 0);

    // Free again, the key turns both halves.
    Send("2 9");
    Send("2 5 102 1");
    Ticks(10);
    EXPECT_EQ(Send("2 4 29 1 1"), 1);
    Ticks(10);
    EXPECT_EQ(PlanSwitch(29), 1);
    EXPECT_EQ(PlanSwitch(31), 1);
}

// A movement on plan section 61 occupies interlocking section 60, so a humping route over it is
// refused.
TEST_F(StationSafetyTest, HumpLeadIsOccupiedFromEitherPlanSection)
{
    tecn.On("3 4 9 2018", "30", 1);
    tecn.On("3 5", nullptr, 1);
    ASSERT_EQ(Send("1 6 61 9 5 0"), 1);
    Tick(1.0);
    EXPECT_EQ(Section(60)->SectionState, 1);
    bus.ClearLog();
    Send("2 5 171 1");
    EXPECT_EQ(Send("2 5 145 1"), 0);
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{"0 4 115 НГ1"});
}

// A shunting route onto stretch 1 locks its blocks 42 and 41 for as long as the route holds.
TEST_F(StationSafetyTest, RouteOntoTheStretchKeepsItsBlocksLocked)
{
    ASSERT_EQ(Send("2 5 123 0"), 1);
    ASSERT_EQ(Send("2 5 181 0"), 1);
    Ticks(10);
    ASSERT_EQ(Signal(123)->SignalState, 0);
    EXPECT_EQ(Section(42)->SectionState, 2);
    EXPECT_EQ(Section(41)->SectionState, 2);
    Ticks(100);
    EXPECT_EQ(Section(42)->SectionState, 2);
    EXPECT_EQ(Section(41)->SectionState, 2);
    EXPECT_EQ(Signal(123)->SignalState, 0);
}
