// Plan geometry: computed coordinates, the height profile and its elements, the grade at a point
// (bus command 29) and the curve resistance of a section.
//
// The sample station (fixtures/plan/plan.dat), direction 0 left to right:
//
//   1001 (1.5, X 0)  101 (no X)  1 (X 250)          501 (X 550)
//    o------1-200------|>---2-50---o--------3-300------o
//                                   \ (branch 4)
//                                    4-80---o 1000 (-2.0, R 3000, no X)---5-250---o 502 (X 580, Y 10)
#include <gtest/gtest.h>

#include <cmath>

#include "plan_fixture.h"
#include "platform/core/CFormat.h"

using namespace plantest;

namespace {

std::vector<std::string> ProfileDumps(const TPlanModel& m)
{
    std::vector<std::string> out;
    for (auto* n = m.Profile.First(); n; n = n->next) out.push_back(n->value.Dump());
    return out;
}

} // namespace

TEST(PlanCoordinates, SampleFillsTheOpenVertices)
{
    TPlanOnBus p;
    EXPECT_EQ(p.Ask("1 31 0 101"), "1|101 200.000 0.000 99999.000 1 2");
    // 250 + 80 x (580 - 250) / (80 + 250); Y likewise towards 502's 10.
    EXPECT_EQ(p.Ask("1 31 0 1000"), "1|1000 330.000 2.424 99999.000 4 5");
    EXPECT_EQ(p.model.FindVertex(1000)->Name, "");
    EXPECT_EQ(p.model.FindVertex(501)->Name, "К1");
}

TEST(PlanCoordinates, OneJointWithoutXLeavesAllOpen)
{
    TPlanModel m;
    LoadPlan(m, ReplaceLine(SamplePlan(), "7 501 550 0 0 К1", ""));
    EXPECT_EQ(m.FindVertex(101)->Dump(), "101 99999.000 99999.000 99999.000 1 2");
    EXPECT_EQ(m.FindVertex(1000)->X, kUnsetValue);
}

TEST(PlanCoordinates, DeadEndAndRing)
{
    // Section 5 turned round: 1000 has nothing leaving it and no X.
    std::string p = ReplaceLine(SamplePlan(), "2 5 1000 502 250 П5 0 0 0", "2 5 502 1000 250 П5 0 0 0");
    EXPECT_EQ(LoadError(p), "Ошибка рассчета координат");

    // 600 (X 0) leads into a ring of two signals without coordinates.
    p = SamplePlan() + "2 7 600 120 10 - 0 0 0\n2 8 120 121 10 - 0 0 0\n2 9 121 120 10 - 0 0 0\n7 600 0 0 0 A\n";
    EXPECT_EQ(LoadError(p),
              Format("data\\plan.dat, строка %d: Ошибка рассчета координат: вершины без координат замкнуты в "
                     "кольцо (вершина 120)",
                     LineOf(p, "2 7 600 120 10 - 0 0 0")));
}

TEST(PlanProfile, SampleElements)
{
    TPlanOnBus p;
    // Array order of the fractures: 1000 starts first, then 1001, whose run splits at switch 1.
    std::vector<std::string> want = {
        "1000 502 -0.002 250.000 3000.000 0.000",
        "1001 1 0.002 250.000 5000.000 0.000",
        "1 501 0.002 300.000 0.000 0.000",
        "1 1000 0.002 80.000 0.000 3000.000",
    };
    EXPECT_EQ(ProfileDumps(p.model), want);
    const TPlanModel& m = p.model;
    EXPECT_DOUBLE_EQ(m.FindSection(1)->StartPos, 0);
    EXPECT_DOUBLE_EQ(m.FindSection(2)->StartPos, 200);
    EXPECT_DOUBLE_EQ(m.FindSection(3)->StartPos, 0);
    EXPECT_EQ(m.FindSection(3)->Element->Start, m.FindVertex(1));
    EXPECT_DOUBLE_EQ(m.FindSection(3)->Grade(), 0.0015);
    // The grade follows the fracture that starts the run.
    static_cast<TRM_Fracture*>(m.FindVertex(1001))->Grade = 0.004;
    EXPECT_DOUBLE_EQ(m.FindSection(4)->Grade(), 0.004);
}

TEST(PlanProfile, GradeOnStraightParts)
{
    TPlanOnBus p;
    EXPECT_EQ(p.Ask("1 29 1 0"), "1|1.5000000000");  // 1001 has no section before it: no curve
    EXPECT_EQ(p.Ask("1 29 4 40"), "1|1.5000000000");
    EXPECT_EQ(p.Ask("1 29 5 10"), "1|-2.0000000000");
    EXPECT_EQ(p.Ask("1 29 5 999"), "1|-2.0000000000");
    EXPECT_EQ(p.Ask("1 29 5 -1"), "1|-2.0000000000");
    EXPECT_EQ(p.Ask("1 29 9 0"), "0|1 29 9 0");
    EXPECT_DOUBLE_EQ(static_cast<TRM_Fracture*>(p.model.FindVertex(1001))->T, 0.0);

    // Sections that no fracture reaches have grade 0; an unset fracture starts nothing.
    TPlanOnBus flat("2 1 2000 1050 10 - 0 0 0\n2 2 1050 2001 10 - 0 0 0\n");
    EXPECT_EQ(flat.Ask("1 29 1 5"), "1|0.0000000000");
    EXPECT_EQ(flat.Ask("1 31 1 2"), "1|2 1050 2001 10.000 - 0.000000 0 0.000000");
    EXPECT_EQ(flat.model.Profile.First(), nullptr);
}

TEST(PlanProfile, BalloonLoopEnds)
{
    //  1000 --1--> [1] --2--> 600 --4--> 601 --5--> back into [1]; [1] --3--> 601
    std::string plan = "6 1000 500 3\n"
                       "2 1 1000 1 100 - 0 0 0\n2 2 1 600 50 - 0 0 0\n2 3 1 601 60 - 0 0 0\n"
                       "2 4 600 601 70 - 0 0 0\n2 5 601 1 80 - 0 0 0\n"
                       "1 1 0 2 3 1 5\n";
    TPlanModel m;
    LoadPlan(m, plan);
    std::vector<std::string> want = {
        "1000 1 0.003 100.000 500.000 0.000",
        "1 1 0.003 200.000 0.000 0.000",  // 2, 4, 5 and back to the switch
        "1 601 0.003 60.000 0.000 0.000",  // 3, then 5 was laid already
    };
    EXPECT_EQ(ProfileDumps(m), want);
}

TEST(PlanProfile, CurveResistance)
{
    EXPECT_EQ(TPlanModel::CurveResistance(6.2, 0), 0.0);
    EXPECT_DOUBLE_EQ(TPlanModel::CurveResistance(6.05, 0), 0.1724844);
    EXPECT_DOUBLE_EQ(TPlanModel::CurveResistance(6.05, 1), 0.09412713);
    EXPECT_DOUBLE_EQ(TPlanModel::CurveResistance(1, 1), 0.06930704);
    EXPECT_DOUBLE_EQ(TPlanModel::CurveResistance(8.5, 0), 0.126125);
    EXPECT_DOUBLE_EQ(TPlanModel::CurveResistance(11, 1), 0.06609701);
    EXPECT_NEAR(TPlanModel::CurveResistance(500, 0), 0.05958761, 1e-8);
    EXPECT_DOUBLE_EQ(TPlanModel::CurveResistance(500, 1), 13.178029 / 500);
    EXPECT_EQ(TPlanModel::CurveResistance(120, 0), 0.0);
    EXPECT_EQ(TPlanModel::CurveResistance(0, 0), 0.0);
    EXPECT_EQ(TPlanModel::CurveResistance(-3, 0), 0.0);
    EXPECT_EQ(ErrorOf([] { TPlanModel::CurveResistance(6, 2); }), "Неизвестный тип подшипников");
    EXPECT_EQ(ErrorOf([] { TPlanModel::CurveResistance(6, -1); }), "Неизвестный тип подшипников");
}

TEST(PlanProfile, VerticalCurveAtAFracture)
{
    TPlanOnBus p;
    const auto* f = static_cast<const TRM_Fracture*>(p.model.FindVertex(1000));
    EXPECT_NEAR(f->T, 5.25, 0.001);
    std::string mid = p.Ask("1 29 5 0");
    ASSERT_EQ(mid.substr(0, 2), "1|");
    EXPECT_NEAR(AtofC(mid.c_str() + 2), -0.2500015859, 1e-6);
    std::string before = p.Ask("1 29 4 80");
    EXPECT_NEAR(AtofC(before.c_str() + 2), -0.25, 1e-3);
    // Into the curve from its start the grade runs from 1.5 towards -2.0.
    EXPECT_NEAR(AtofC(p.Ask("1 29 4 74.75").c_str() + 2), 1.5, 1e-3);
    EXPECT_NEAR(AtofC(p.Ask("1 29 5 5.25").c_str() + 2), -2.0, 1e-3);
}

TEST(PlanProfile, CurveBetweenTwoRisingGrades)
{
    //  1000 (10‰) --1, 100 m--> 1001 (30‰, R 250) --2, 100 m--> 2000;  and 1002 (30‰) after 2000
    std::string plan = "6 1000 0 10\n6 1001 250 30\n6 1002 900 30\n"
                       "2 1 1000 1001 100 - 0 0 0\n2 2 1001 2000 100 - 0 0 0\n2 3 2000 1002 50 - 0 0 0\n"
                       "2 4 1002 2001 50 - 0 0 0\n";
    TPlanOnBus p(plan);
    const auto* f = static_cast<const TRM_Fracture*>(p.model.FindVertex(1001));
    ASSERT_GT(f->T, 0.0);
    EXPECT_NEAR(f->CurveGrade(0), 10, 1e-6);
    EXPECT_NEAR(f->CurveGrade(f->T), 20, 0.1);
    EXPECT_NEAR(f->CurveGrade(2 * f->T), 30, 0.01);  // the curve runs along x, slightly shorter than 2T
    // The same points through the grade query: before the fracture, at it, after it.
    EXPECT_NEAR(AtofC(p.Ask(Format("1 29 1 %f", 100 - f->T)).c_str() + 2), 10, 1e-3);
    EXPECT_NEAR(AtofC(p.Ask("1 29 2 0").c_str() + 2), 20, 0.1);
    EXPECT_NEAR(AtofC(p.Ask(Format("1 29 2 %f", f->T)).c_str() + 2), 30, 0.01);

    // Equal grades on both sides make no curve, and leave no coefficients behind.
    const auto* same = static_cast<const TRM_Fracture*>(p.model.FindVertex(1002));
    EXPECT_EQ(same->T, 0.0);
    EXPECT_EQ(same->c0, 0.0);
    EXPECT_EQ(same->c1, 0.0);
    EXPECT_EQ(same->c2, 0.0);
}
