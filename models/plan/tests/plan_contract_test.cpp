// The plan contract: moving objects and route queries of the plan model, driven over the bus
// with the technology model and the interlocking answering in their own formats
// (plan_contract.h). Object 7 and 8 are 20 m long with axles at both ends (wheelbase 20).
//
// The sample station, direction 0 left to right:
//
//   1001      101        1 (switch)       501
//    o---1----|>---2----o-------3---------o        1: 200 m "$Подход"   2: 50 m "C1<", entry fn 1
//                        \ (branch 4)              3: 300 m "П3", exit fn 2
//                         4---o 1000---5---o 502   4: 80 m "C1>"   5: 250 m "П5", retarder ВЗ 1
//   park 1 "Парк" = {3, 5}; event function 15 sends [0 4 99 {obj}].
#include <gtest/gtest.h>

#include "plan_contract.h"

using namespace plantest;

namespace {

bool Has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

} // namespace

TEST(PlanObjects, StoreAsksTheLengthAndReportsThePlace)
{
    TPlanContract p;
    EXPECT_EQ(p.Ask("1 6 1 7 50 0"), "1|1 6 1 7 50 0");
    EXPECT_EQ(p.tecn.received,
              (std::vector<std::string>{"3 4 7 2018", "3 4 7 AXIS0001", "3 4 7 AXISLAST", "3 5 7 1029 7"}));
    EXPECT_EQ(p.Section(1), "1|1 0.000000");
    EXPECT_EQ(p.Placed(7), "1:50.000+20.000");
    EXPECT_TRUE(p.events.empty());
    // A place outside the section or a section that does not exist lays nothing.
    EXPECT_EQ(p.Ask("1 6 2 8 60 0").substr(0, 2), "0|");
    EXPECT_EQ(p.Ask("1 6 99 8 0 0").substr(0, 2), "0|");
    EXPECT_EQ(p.Placed(8), "");
    // The technology model not knowing the object creates nothing.
    EXPECT_EQ(p.Ask("1 6 3 55 0 0").substr(0, 2), "0|");
    EXPECT_EQ(p.bus.model.FindObject(55), nullptr);
}

// Op 6 never lays an object over another one's wheelbase; touching it is allowed. Offsets on
// section 1 run from signal 101 back toward 1001:
//   1001 o-------------[ 8: 80..100 ][ 7: 50..70 ]------------|> 101
TEST(PlanObjects, StoreRefusesToLayAnObjectOverAnother)
{
    TPlanContract p;
    p.tecn.Add(9, 100);  // from section 2 back over 0..60 of section 1
    ASSERT_EQ(p.Ask("1 6 1 7 50 0").substr(0, 2), "1|");
    for (const char* over : {"1 6 1 8 60 0", "1 6 1 8 35 0", "1 6 2 9 10 0"}) {
        SCOPED_TRACE(over);
        size_t mark = p.Mark();
        EXPECT_EQ(p.Ask(over).substr(0, 2), "0|");
        for (const auto& m : p.Sent(brTecn, mark)) EXPECT_EQ(m.find("1029"), std::string::npos) << m;
    }
    EXPECT_EQ(p.Placed(8), "");
    EXPECT_EQ(p.Placed(9), "");
    EXPECT_EQ(p.Placed(7), "1:50.000+20.000");
    EXPECT_EQ(p.Ask("1 6 1 8 70 0").substr(0, 2), "1|");
    EXPECT_EQ(p.Placed(8), "1:70.000+20.000");
    // An object laid again in its own place does not lie over itself.
    EXPECT_EQ(p.Ask("1 6 1 8 80 0").substr(0, 2), "1|");
    EXPECT_EQ(p.Placed(8), "1:80.000+20.000");
}

TEST(PlanObjects, LongerThanItsSectionContinuesBehind)
{
    TPlanContract p;
    p.tecn.Add(9, 70);
    // 60 m on section 2 would reach beyond it: 40 m there, 30 m on section 1 behind.
    EXPECT_EQ(p.Ask("1 6 2 9 10 0").substr(0, 2), "1|");
    EXPECT_EQ(p.Placed(9), "2:10.000+40.000 1:0.000+30.000");
    EXPECT_EQ(p.Section(1), "1|1 0.000000");
    // Direction 1: the end facing direction 1 on section 2, the rest toward the switch.
    p.Ask("1 7 9");
    EXPECT_EQ(p.Ask("1 6 1 9 10 1").substr(0, 2), "1|");
    EXPECT_EQ(p.Placed(9), "1:120.000+70.000");
}

TEST(PlanObjects, MoveEntersAndLeavesSectionsWithTheirFunctions)
{
    TPlanContract p;
    p.Ask("1 6 1 7 50 0");
    size_t mark = p.Mark();
    EXPECT_EQ(p.Ask("1 8 7 60 0").substr(0, 2), "1|");
    EXPECT_EQ(p.events, (std::vector<std::string>{"1 0.000 7 2"}));
    EXPECT_TRUE(Has(p.Sent(brTecn, mark), "3 5 7 212 1"));
    EXPECT_EQ(p.Ask("1 12 7 0"), "1|2 40.000 C1<");
    EXPECT_EQ(p.Section(1), "1|1 0.000000");
    p.events.clear();
    EXPECT_EQ(p.Ask("1 8 7 30 0").substr(0, 2), "1|");
    EXPECT_EQ(p.events, (std::vector<std::string>{"2 0.000 7 1"}));
    EXPECT_EQ(p.Section(1), "1|0 0.000000");
    EXPECT_EQ(p.Placed(7), "2:10.000+20.000");
    // Exactly the free length ahead leaves the end on the section boundary.
    EXPECT_EQ(p.Ask("1 8 7 10 0").substr(0, 2), "1|");
    EXPECT_EQ(p.Ask("1 12 7 0"), "1|2 0.000 C1<");
}

TEST(PlanObjects, SectionsEnteredInOneMoveInTheOrderPassed)
{
    TPlanContract p;
    p.Ask("1 6 1 7 10 0");
    p.Ask("1 37 1 1");
    // 10 m to the end of 1, 50 m over 2, then 5 m into 3.
    EXPECT_EQ(p.Ask("1 8 7 65 0").substr(0, 2), "1|");
    EXPECT_EQ(p.events, (std::vector<std::string>{"1 0.000 7 2", "1 0.000 7 3", "2 0.000 7 1"}));
    EXPECT_EQ(p.Placed(7), "3:295.000+5.000 2:0.000+15.000");
    // 85 m: section 2 is entered and left within the move; both its events come, in the order
    // passed, and its entry function runs.
    TPlanContract q;
    q.Ask("1 6 1 7 10 0");
    q.Ask("1 37 1 1");
    size_t mark = q.Mark();
    EXPECT_EQ(q.Ask("1 8 7 85 0").substr(0, 2), "1|");
    EXPECT_EQ(q.Placed(7), "3:275.000+20.000");
    EXPECT_EQ(q.events, (std::vector<std::string>{"1 0.000 7 2", "1 0.000 7 3", "2 0.000 7 1", "2 0.000 7 2"}));
    EXPECT_TRUE(Has(q.Sent(brTecn, mark), "3 5 7 212 1"));
}

TEST(PlanObjects, MovesInDirectionOneNameTheRightSections)
{
    TPlanContract p;
    p.Ask("1 6 3 7 10 1");
    EXPECT_EQ(p.Placed(7), "3:270.000+20.000");
    size_t mark = p.Mark();
    EXPECT_EQ(p.Ask("1 8 7 20 1").substr(0, 2), "1|");
    EXPECT_EQ(p.Placed(7), "3:290.000+10.000 2:0.000+10.000");
    EXPECT_EQ(p.events, (std::vector<std::string>{"1 0.000 7 2"}));
    EXPECT_TRUE(Has(p.Sent(brTecn, mark), "3 5 7 212 1"));
    p.events.clear();
    EXPECT_EQ(p.Ask("1 8 7 20 1").substr(0, 2), "1|");
    EXPECT_EQ(p.events, (std::vector<std::string>{"2 0.000 7 3"}));
    EXPECT_EQ(p.Placed(7), "2:10.000+20.000");
    EXPECT_EQ(p.Section(3), "1|0 0.000000");
    // Back again in direction 0: the end facing direction 0 leads now.
    p.events.clear();
    EXPECT_EQ(p.Ask("1 8 7 15 0").substr(0, 2), "1|");
    EXPECT_EQ(p.events, (std::vector<std::string>{"1 0.000 7 3"}));
    EXPECT_EQ(p.Placed(7), "3:295.000+5.000 2:0.000+15.000");
}

TEST(PlanObjects, PassingAnUnlockedSwitchIsAnError)
{
    TPlanContract p;
    p.Ask("1 6 2 7 10 0");
    size_t mark = p.Mark();
    p.Ask("1 8 7 20 0");
    EXPECT_EQ(p.Sent(brInstructor, mark), (std::vector<std::string>{"0 4 23 1"}));
    p.Ask("1 7 7");
    p.Ask("1 6 2 7 10 0");
    p.Ask("1 37 1 1");
    mark = p.Mark();
    p.Ask("1 8 7 20 0");
    EXPECT_TRUE(p.Sent(brInstructor, mark).empty());
    EXPECT_EQ(p.Placed(7), "3:290.000+10.000 2:0.000+10.000");
}

TEST(PlanObjects, ASwitchLyingTheOtherWayIsTrailed)
{
    TPlanContract p;
    p.Ask("1 37 1 1");
    p.Ask("1 6 4 7 10 1");
    size_t mark = p.Mark();
    EXPECT_EQ(p.Ask("1 8 7 20 1").substr(0, 2), "1|");
    EXPECT_EQ(p.Sent(brInstructor, mark), (std::vector<std::string>{"0 4 1 1"}));
    EXPECT_EQ(p.Ask("1 4 1"), "1|1 1 1 1 -1.000");
    EXPECT_EQ(p.Placed(7), "4:70.000+10.000 2:0.000+10.000");
    EXPECT_EQ(p.events, (std::vector<std::string>{"1 0.000 7 2"}));
    // The trailed flag stays while the switch is occupied.
    EXPECT_EQ(p.Ask("1 24 1").substr(0, 2), "0|");
    p.Ask("1 7 7");
    EXPECT_EQ(p.Ask("1 24 1").substr(0, 2), "1|");
    EXPECT_EQ(p.Ask("1 4 1"), "1|0 1 0 1 -1.000");
}

TEST(PlanObjects, LayingAcrossASwitchTrailsItToo)
{
    TPlanContract p;
    p.tecn.Add(9, 30);
    // Placed on 4 near the switch: the rear goes on to 2 only with the switch in position 1.
    size_t mark = p.Mark();
    EXPECT_EQ(p.Ask("1 6 4 9 70 0").substr(0, 2), "1|");
    EXPECT_TRUE(Has(p.Sent(brInstructor, mark), "0 4 1 1"));
    EXPECT_EQ(p.Placed(9), "4:70.000+10.000 2:0.000+20.000");
    EXPECT_EQ(p.Ask("1 4 1"), "1|1 1 1 0 -1.000");
}

TEST(PlanObjects, AFailedRouteCheckStopsTheObjectButTheMoveGoesOn)
{
    TPlanContract p;
    p.tecn.Set(7, "1012", "1");
    p.tecn.Set(7, "1013", "999");
    p.Ask("1 6 2 7 10 0");
    size_t mark = p.Mark();
    EXPECT_EQ(p.Ask("1 8 7 5 0").substr(0, 2), "1|");
    EXPECT_TRUE(Has(p.Sent(brTecn, mark), "3 5 7 1003 0"));
    EXPECT_EQ(p.Sent(brInstructor, mark), (std::vector<std::string>{"0 4 99 7", "0 4 22 объекта 7"}));
    EXPECT_EQ(p.events, (std::vector<std::string>{"15 0.000 7 "}));
    EXPECT_EQ(p.Placed(7), "2:5.000+20.000");
    // A target reached beyond the switch as it lies passes.
    p.tecn.Set(7, "1012", "3");
    p.tecn.Set(7, "1013", "3");
    mark = p.Mark();
    p.Ask("1 8 7 1 0");
    EXPECT_FALSE(Has(p.Sent(brTecn, mark), "3 5 7 1003 0"));
}

TEST(PlanObjects, ReachingTheTargetLowersTheMode)
{
    TPlanContract p;
    p.tecn.Set(7, "1012", "3");
    p.tecn.Set(7, "1013", "3");
    p.tecn.Set(7, "1005", "3");
    p.Ask("1 37 1 1");
    p.Ask("1 6 2 7 10 0");
    size_t mark = p.Mark();
    p.Ask("1 8 7 20 0");
    EXPECT_TRUE(Has(p.Sent(brTecn, mark), "3 5 7 1005 1"));
}

TEST(PlanObjects, AMovePastADeadEndChangesNothing)
{
    TPlanContract p;
    p.Ask("1 6 3 7 10 0");
    EXPECT_EQ(p.Ask("1 8 7 50 0").substr(0, 2), "0|");
    EXPECT_EQ(p.Placed(7), "3:10.000+20.000");
    EXPECT_TRUE(p.events.empty());
    EXPECT_EQ(p.Ask("1 8 99 5 0").substr(0, 2), "0|");
}

TEST(PlanObjects, RemoveFreesTheSectionsAndTellsTheTechnologyModel)
{
    TPlanContract p;
    p.Ask("1 6 1 7 50 0");
    p.Ask("1 8 7 60 0");
    p.events.clear();
    size_t mark = p.Mark();
    EXPECT_EQ(p.Ask("1 7 7"), "1|1 7 7");
    EXPECT_EQ(p.Sent(brTecn, mark), (std::vector<std::string>{"3 5 7 1029 0"}));
    EXPECT_EQ(p.Section(1), "1|0 0.000000");
    EXPECT_EQ(p.Section(2), "1|0 6.000000");
    EXPECT_EQ(p.bus.model.FindObject(7), nullptr);
    EXPECT_TRUE(p.events.empty());
    EXPECT_EQ(p.Ask("1 7 7").substr(0, 2), "1|");
}

TEST(PlanObjects, ReStoreLaysALongerObjectFromTheSameEnd)
{
    TPlanContract p;
    p.Ask("1 6 1 7 50 0");
    p.tecn.Set(7, "2018", "40.000000");
    p.tecn.Set(7, "AXISLAST", "40.000000");
    size_t mark = p.Mark();
    EXPECT_EQ(p.Ask("1 34 7 0").substr(0, 2), "1|");
    EXPECT_EQ(p.Placed(7), "1:50.000+40.000");
    EXPECT_TRUE(Has(p.Sent(brTecn, mark), "3 5 7 1029 7"));
    EXPECT_TRUE(p.events.empty());
}

TEST(PlanObjects, AReStoreThatNoLongerFitsKeepsTheObject)
{
    TPlanContract p;
    p.Ask("1 6 1 7 170 0");
    p.tecn.Set(7, "2018", "40.000000");
    p.tecn.Set(7, "AXISLAST", "40.000000");
    EXPECT_EQ(p.Ask("1 34 7 0").substr(0, 2), "0|");
    EXPECT_EQ(p.Placed(7), "1:170.000+20.000");
    EXPECT_EQ(p.bus.model.FindObject(7)->Length(), 20.0);
    EXPECT_EQ(p.Section(1), "1|1 0.000000");
    EXPECT_EQ(p.Ask("1 34 99 0").substr(0, 2), "0|");
}

TEST(PlanObjects, JoiningNeedsObjectsWithinOneMetre)
{
    TPlanContract p;
    p.Ask("1 6 3 7 100 0");
    p.Ask("1 6 3 8 120.5 0");
    EXPECT_EQ(p.Ask("1 14 7 8"), "1|0.500");
    EXPECT_EQ(p.Ask("1 14 8 7"), "0|99999");
    EXPECT_EQ(p.Ask("1 36 8 7").substr(0, 2), "1|");
    EXPECT_EQ(p.Placed(8), "3:100.000+40.000");
    EXPECT_EQ(p.Placed(7), "");

    TPlanContract q;
    q.Ask("1 6 3 7 100 0");
    q.Ask("1 6 3 8 122 0");
    EXPECT_EQ(q.Ask("1 36 7 8").substr(0, 2), "0|");
    EXPECT_EQ(q.Placed(7), "3:100.000+20.000");
    EXPECT_EQ(q.Placed(8), "3:122.000+20.000");
}

TEST(PlanObjects, DistanceTakesOffTheOverhangs)
{
    TPlanContract p;
    p.tecn.Set(7, "AXISLAST", "18.000000");  // 2 m overhang at the direction-1 end
    p.tecn.Set(8, "AXIS0001", "1.500000");   // 1.5 m at the direction-0 end
    p.Ask("1 6 3 7 100 0");
    p.Ask("1 6 3 8 125 0");
    // Axles: 7's last at 118, 8's first at 125: 7 m less 3.5 m of overhangs.
    EXPECT_EQ(p.Ask("1 14 7 8"), "1|3.500");
    EXPECT_EQ(p.Ask("1 14 7 7"), "0|99999");
    EXPECT_EQ(p.Ask("1 14 7 55"), "0|99999");
}

TEST(PlanObjects, APlanFunctionRemovingTheMovingObjectEndsTheMove)
{
    std::string plan = ReplaceLine(SamplePlan(), "8 1 (COM 3 5 (OBJ) 212 1)", "8 1 (COM 1 7 (OBJ))");
    TPlanContract p(plan);
    p.Ask("1 6 1 7 50 0");
    size_t mark = p.Mark();
    EXPECT_EQ(p.Ask("1 8 7 60 0").substr(0, 2), "1|");
    EXPECT_EQ(p.bus.model.FindObject(7), nullptr);
    EXPECT_EQ(p.Section(1), "1|0 0.000000");
    EXPECT_EQ(p.Section(2), "1|0 6.000000");
    EXPECT_TRUE(Has(p.Sent(brTecn, mark), "3 5 7 1029 0"));
    EXPECT_EQ(p.events, (std::vector<std::string>{"1 0.000 7 2"}));
    // The number can be placed again afterwards.
    EXPECT_EQ(p.Ask("1 6 3 7 10 0").substr(0, 2), "1|");
    EXPECT_EQ(p.Placed(7), "3:10.000+20.000");
}

TEST(PlanObjects, AnEventFunctionRemovingTheObjectSkipsTheSectionFunction)
{
    TPlanContract p(SamplePlan() + "9 1 (COM 1 7 (OBJ))\n");
    p.Ask("1 6 1 7 50 0");
    size_t mark = p.Mark();
    p.Ask("1 8 7 60 0");
    EXPECT_EQ(p.bus.model.FindObject(7), nullptr);
    EXPECT_FALSE(Has(p.Sent(brTecn, mark), "3 5 7 212 1"));
    // A direct move by a movement model ends the same way.
    p.Ask("1 6 1 8 50 0");
    TRM_Object* o = p.bus.model.FindObject(8);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->Move(60, 0), 1);
    EXPECT_EQ(p.bus.model.FindObject(8), nullptr);
    EXPECT_EQ(p.bus.model.Objects.Length(), 0u);
}

TEST(PlanQueries, FreeRouteAheadStopsAtAClosedSignalOrADeadEnd)
{
    TPlanContract p;
    p.Ask("1 6 1 7 50 0");
    p.ec.states[101] = 2;
    EXPECT_EQ(p.Ask("1 10 7 0"), "1|49.500 2 101");
    p.ec.states[101] = 0;
    EXPECT_EQ(p.Ask("1 10 7 0"), "1|399.500 3 501");
    // In the other modes too the walk looks on past an open signal, and with mode 2 (past
    // prohibiting signals) past a closed one.
    p.tecn.Set(7, "1005", "1");
    EXPECT_EQ(p.Ask("1 10 7 0"), "1|399.500 3 501");
    p.ec.states[101] = 2;
    EXPECT_EQ(p.Ask("1 10 7 0"), "1|49.500 2 101");
    p.tecn.Set(7, "1005", "2");
    EXPECT_EQ(p.Ask("1 10 7 0"), "1|399.500 3 501");
    p.ec.states[101] = 0;
    // Up to a target section: the walk ends there with kind 4.
    p.tecn.Set(7, "1005", "0");
    p.tecn.Set(7, "1012", "3");
    p.tecn.Set(7, "1013", "3");
    EXPECT_EQ(p.Ask("1 10 7 0"), "1|399.500 4 0");
    // A target just beyond an open signal ends the walk with kind 4 as well, not with the
    // signal's passability (which would let the mover run on to the next closed signal).
    p.tecn.Set(7, "1013", "2");
    EXPECT_EQ(p.Ask("1 10 7 0"), "1|99.500 4 0");
    p.tecn.Set(7, "1013", "3");
    // Backward: the dead end at 1001.
    EXPECT_EQ(p.Ask("1 10 7 1"), "1|129.500 3 1001");
    EXPECT_EQ(p.Ask("1 10 99 0"), "0|1 10 99 0");
}

TEST(PlanQueries, FreeRouteToASignalBehind)
{
    TPlanContract p;
    p.tecn.Set(7, "1012", "2");
    p.tecn.Set(7, "1013", "101");
    // The rear end just beyond signal 101 (0.2 m into section 2).
    p.Ask("1 6 2 7 29.8 0");
    EXPECT_EQ(p.Ask("1 10 7 0"), "1|0.300 4 0");
}

TEST(PlanQueries, NearestObjectAheadIsTheClosestOne)
{
    TPlanContract p;
    p.tecn.Add(9, 20);
    p.tecn.Add(10, 20);
    p.Ask("1 6 3 7 100 0");
    p.Ask("1 6 3 9 50 0");   // 30 m ahead
    p.Ask("1 6 3 8 2 0");    // 78 m ahead, later in the list
    p.Ask("1 6 3 10 200 0"); // behind
    EXPECT_EQ(p.Ask("1 11 7 0"), "1|9 30.000");
    EXPECT_EQ(p.Ask("1 11 7 1"), "1|10 80.000");
    EXPECT_EQ(p.Ask("1 11 8 0"), "0|1 11 8 0");
    // On a section further on: 7 on section 2, 9 on section 3.
    TPlanContract q;
    q.tecn.Add(9, 20);
    q.Ask("1 6 2 7 10 0");
    q.Ask("1 6 3 9 250 0");
    EXPECT_EQ(q.Ask("1 11 7 0"), "1|9 40.000");
}

TEST(PlanQueries, ObjectsOnASection)
{
    TPlanContract p;
    p.Ask("1 6 3 7 100 0");
    EXPECT_EQ(p.Ask("1 13 3 9999"), "1|7 ");
    p.tecn.Set(7, "1006", "12");
    EXPECT_EQ(p.Ask("1 13 3 9999"), "1|7 12 ");
    EXPECT_EQ(p.Ask("1 13 3 0"), "1|7 12 ");
    EXPECT_EQ(p.Ask("1 13 3 1"), "1|7 ");
    EXPECT_EQ(p.Ask("1 13 3 2 3"), "0|1 13 3 2 3");
    EXPECT_EQ(p.Ask("1 13 5 9999"), "0|1 13 5 9999");
}

TEST(PlanQueries, RandomPlaceInAPark)
{
    TPlanContract p;
    p.bus.model.Random = [] { return 0; };
    EXPECT_EQ(p.Ask("1 22 1 8 5 0"), "1| 3");
    EXPECT_EQ(p.Placed(8), "3:5.000+20.000");
    EXPECT_EQ(p.Ask("1 23 8"), "1| 1 Парк");
    EXPECT_EQ(p.Ask("1 15 8"), "1| П3");
    // 3 is taken now: the first free one.
    EXPECT_EQ(p.Ask("1 22 1 7 5 0"), "1| 5");
    p.tecn.Add(9, 20);
    EXPECT_EQ(p.Ask("1 22 1 9 5 0"), "0| 0");
    EXPECT_EQ(p.Ask("1 22 7 9 5 0"), "0| 0");

    TPlanContract q;
    q.bus.model.Random = [] { return 1; };
    EXPECT_EQ(q.Ask("1 22 1 8 5 0"), "1| 5");
    q.bus.model.Random = [] { return 0; };
    EXPECT_EQ(q.Ask("1 22 1 7 5 0 3"), "0| 0");
    // Outside a park and without a name.
    q.Ask("1 6 4 9 0 0");
    q.tecn.Add(9, 20);
    q.Ask("1 6 4 9 0 0");
    EXPECT_EQ(q.Ask("1 23 9"), "0| 0");
    EXPECT_EQ(q.Ask("1 15 9"), "1| C1>");
}

TEST(PlanQueries, TargetsAndRouteEnds)
{
    TPlanContract p;
    // Up to a signal or past it, whichever way it faces.
    EXPECT_EQ(p.Ask("1 17 101 1 0"), "1|1");
    EXPECT_EQ(p.Ask("1 17 101 2 1"), "1|1");
    EXPECT_EQ(p.Ask("1 35 101 2 1"), "1|1");
    EXPECT_EQ(p.Ask("1 35 101 1 0"), "1|1");
    EXPECT_EQ(p.Ask("1 17 101 4 0"), "0|0");
    // Either branch of the switch, whatever its position.
    EXPECT_EQ(p.Ask("1 20 5 2 0"), "1|1");
    EXPECT_EQ(p.Ask("1 20 1 3 0"), "0|0");
    EXPECT_EQ(p.Ask("1 21 1 2 0"), "1|1");
    EXPECT_EQ(p.Ask("1 21 1 1 1"), "0|0");
    // From the branch side the search goes on to the point section.
    EXPECT_EQ(p.Ask("1 20 1 4 1"), "1|1");
    EXPECT_EQ(p.Ask("1 20 1 99 1").substr(0, 2), "0|");

    EXPECT_EQ(p.Ask("1 19 3 5 2 0 0"), "1|3 501 0 0");
    p.Ask("1 9 1 1 -1");
    EXPECT_EQ(p.Ask("1 19 3 5 2 0 0"), "1|5 502 1 0");
    EXPECT_EQ(p.Ask("1 19 1 101 1 0 0"), "1|1 101 1 0");
    // A closed signal (or one the interlocking does not know) ends the walk.
    EXPECT_EQ(p.Ask("1 19 3 5 1 0 0"), "1|1 101 0 0");
    p.ec.states[101] = 1;
    EXPECT_EQ(p.Ask("1 19 3 5 1 0 0"), "1|5 502 1 0");
    EXPECT_EQ(p.Ask("1 19 3 5 99 0 0"), "0|1 19 3 5 99 0 0");
}

TEST(PlanQueries, SmallestStep)
{
    TPlanContract p;
    p.Ask("1 6 1 7 50 0");
    EXPECT_EQ(p.Ask("1 27 7 0"), "1|50.000");
    EXPECT_EQ(p.Ask("1 27 7 1"), "1|130.000");
    // Across the switch in direction 1: the rear axle reaches the end of section 3 first.
    p.tecn.Add(9, 20);
    p.Ask("1 6 2 9 40 1");
    EXPECT_EQ(p.Placed(9), "3:290.000+10.000 2:0.000+10.000");
    EXPECT_EQ(p.Ask("1 27 9 1"), "1|10.000");
    p.tecn.objects[7].axles.clear();
    EXPECT_EQ(p.Ask("1 27 7 0"), "1|99999.000");
    EXPECT_EQ(p.Ask("1 27 99 0").substr(0, 2), "0|");
}

TEST(PlanQueries, RouteProperties)
{
    TPlanContract p;
    p.Ask("1 6 1 7 50 0");
    TPlanModel& m = p.bus.model;
    double g = (m.GetWaySlope(m.FindSection(1), 150) + m.GetWaySlope(m.FindSection(1), 130)) / 2;
    EXPECT_EQ(p.Ask("1 28 7 0"), "1|" + Format("%f %f %f", g, 0.0, 0.0));
    // On the retarder, braking at a value set through the bus, and on the curved branch.
    p.Ask("1 7 7");
    p.Ask("1 6 5 7 100 0");
    EXPECT_EQ(p.Ask("1 33 1 0.75").substr(0, 2), "1|");
    double g5 = (m.GetWaySlope(m.FindSection(5), 150) + m.GetWaySlope(m.FindSection(5), 130)) / 2;
    EXPECT_EQ(p.Ask("1 28 7 0"), "1|" + Format("%f %f %f", g5, 0.0, 0.75));
    p.Ask("1 7 7");
    p.Ask("1 9 1 1 -1");
    p.Ask("1 6 4 7 10 0");
    double c4 = TPlanModel::CurveResistance(500, 0);
    EXPECT_EQ(p.Ask("1 28 7 0").substr(0, 2), "1|");
    double grade = 0, curve = 0, breaker = 0;
    SScanf(p.Ask("1 28 7 0").c_str() + 2, "%lf%lf%lf", &grade, &curve, &breaker);
    EXPECT_NEAR(curve, c4, 1e-6);
    // Without the weight or the axle count the terms are 0, not undefined.
    p.tecn.objects[7].axles.pop_back();
    EXPECT_EQ(p.Ask("1 28 7 0"), "1|0.000000 0.000000 0.000000");
    EXPECT_EQ(p.Ask("1 28 99 0").substr(0, 2), "0|");
}

TEST(PlanQueries, AnOccupiedSwitchIsNotThrown)
{
    TPlanContract p;
    p.Ask("1 6 2 7 10 0");
    size_t mark = p.Mark();
    EXPECT_EQ(p.Ask("1 9 1 1").substr(0, 2), "0|");
    ASSERT_FALSE(p.bus.instructor.received.empty());
    EXPECT_EQ(p.bus.instructor.received.back(), "0  4 2 1");
    EXPECT_EQ(p.Sent(brInstructor, mark).size(), 1u);
}

TEST(PlanQueries, HeightProfileFile)
{
    TPlanContract p;
    p.Ask("1 9 1 1 -1");
    TStationDir scratch("", nullptr);
    EXPECT_EQ(p.Ask("1 32 1001 502 0 out.hmp").substr(0, 2), "1|");
    std::ifstream in("out.hmp", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(Cp1251ToUtf8(ss.str()),
              "200.000\t0\tПодход\t1.500\t#\n"
              "50.000\t6\t5000.000\t#\n"
              "80.000\t500\n"
              "250.000\t0\tВЗ1\t-2.000\t#\n");
    // Stops at the to vertex; in position 0 it runs to the dead end.
    p.Ask("1 9 1 0 -1");
    EXPECT_EQ(p.Ask("1 32 101 1 0 short.hmp").substr(0, 2), "1|");
    std::ifstream in2("short.hmp", std::ios::binary);
    std::stringstream s2;
    s2 << in2.rdbuf();
    EXPECT_EQ(s2.str(), "50.000\t6\n");
    EXPECT_EQ(p.Ask("1 32 1001 502 0 /tmp/x.hmp").substr(0, 2), "0|");
    EXPECT_EQ(p.Ask("1 32 1001 502 0").substr(0, 2), "0|");
}

TEST(PlanQueries, WalksEndOnALoopOfTrack)
{
    // Three joints in a ring:  2001 -1-> 2002 -2-> 2003 -3-> 2001
    TPlanContract p("2 1 2001 2002 100 A 0 0 0\n2 2 2002 2003 100 B 0 0 0\n2 3 2003 2001 100 C 0 0 0\n"
                    "7 2001 0 0 0 Н\n");
    TStationDir scratch("", nullptr);
    EXPECT_EQ(p.Ask("1 32 2001 9999 0 ring.hmp").substr(0, 2), "1|");
    std::ifstream in("ring.hmp", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), "100.000\t0\n100.000\t0\n100.000\t0\n");
    EXPECT_EQ(p.Ask("1 20 99 1 0"), "0|0");
    EXPECT_EQ(p.Ask("1 19 3 99 1 0 0").substr(0, 2), "1|");
    p.Ask("1 6 1 7 50 0");
    EXPECT_EQ(p.Ask("1 11 7 0"), "0|1 11 7 0");
    EXPECT_EQ(p.Ask("1 10 7 0").substr(0, 2), "1|");
    // A full turn of the ring (300 m) brings the object back where it was.
    EXPECT_EQ(p.Ask("1 8 7 300 0").substr(0, 2), "1|");
    EXPECT_EQ(p.Ask("1 12 7 0"), "1|1 50.000 A");
    EXPECT_EQ(p.Ask("1 27 7 0").substr(0, 2), "1|");
}

TEST(PlanQueries, MissingTrailingFieldsTakeTheirDefaults)
{
    TPlanContract p;
    p.Ask("1 6 1 7 50 0");
    // The object's end without a direction is its end facing direction 1; a word that is no
    // number reads as missing.
    const std::string end1 = p.Ask("1 12 7 1");
    EXPECT_NE(p.Ask("1 12 7 0"), end1);
    EXPECT_EQ(p.Ask("1 12 7"), end1);
    EXPECT_EQ(p.Ask("1 12 7 x"), end1);
}
