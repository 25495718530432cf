// Plan model: loading plan.dat, the dumps, look-ups, device registration, switch commands over
// the bus with a throw that completes in time, and the errors of bad plan files.
//
// The sample station (fixtures/plan/plan.dat), direction 0 left to right:
//
//   1001      101        1 (switch)       501
//    o---1----|>---2----o-------3---------o
//                        \ (branch 4)
//                         4---o 1000---5---o 502      park 1 = {3, 5}, retarder 1 (ВЗ) on 5
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "plan_fixture.h"
#include "platform/core/CFormat.h"

using namespace plantest;

namespace {

std::string Repeat(const std::string& line, int n, int first)
{
    std::string out;
    for (int i = 0; i < n; ++i) out += Format(line.c_str(), first + i) + "\n";
    return out;
}

std::string AtLine(const std::string& plan, const std::string& line, const std::string& reason)
{
    return Format("data\\plan.dat, строка %d: %s", LineOf(plan, line), reason.c_str());
}

} // namespace

TEST(PlanLoad, SampleDumpsThroughTheBus)
{
    TPlanOnBus p;
    // Sorted whatever the file order: index 0 is the smallest number.
    EXPECT_EQ(p.Ask("1 30 1 0"), "1|1 1001 101 200.000 $Подход 0.000000 0 0.001500");
    EXPECT_EQ(p.Ask("1 30 0 0"), "1|1 250.000 0.000 0.000 3 4 2 0");
    EXPECT_EQ(p.Ask("1 31 1 4"), "1|4 1 1000 80.000 C1> 500.000000 0 0.001500");
    EXPECT_EQ(p.Ask("1 31 1 2"), "1|2 101 1 50.000 C1< 6.000000 0 0.001500");
    EXPECT_EQ(p.Ask("1 31 1 3"), "1|3 1 501 300.000 П3 0.000000 0 0.001500");
    EXPECT_EQ(p.Ask("1 31 1 5"), "1|5 1000 502 250.000 П5 0.000000 1 -0.002000");
    EXPECT_EQ(p.Ask("1 31 0 502"), "1|502 580.000 10.000 0.000 5 0");
    EXPECT_EQ(p.Ask("1 31 2 1"), "1|1 ВЗ 1");
    EXPECT_EQ(p.Ask("1 30 2 0"), "1|1 ВЗ 1");
    // A signal made by a type-1 record dumps like a joint and has no coordinates.
    EXPECT_EQ(p.Ask("1 31 0 150"), "1|150 99999.000 99999.000 99999.000 0 0");

    // Absent elements and indexes past the end are refused with the request untouched.
    EXPECT_EQ(p.Ask("1 31 1 99"), "0|1 31 1 99");
    EXPECT_EQ(p.Ask("1 31 2 2"), "0|1 31 2 2");
    EXPECT_EQ(p.Ask("1 30 0 7"), "0|1 30 0 7");  // seven vertices: a type-7 record creates none
    EXPECT_EQ(p.Ask("1 30 1 5"), "0|1 30 1 5");
    EXPECT_EQ(p.Ask("1 30 3 0"), "0|1 30 3 0");
    EXPECT_EQ(p.Ask("1 31 0 777"), "0|1 31 0 777");
    // Commands that are not the plan's own yet, or not at all.
    EXPECT_EQ(p.Ask("1 10 7 0"), "0|1 10 7 0");
    EXPECT_EQ(p.Ask("1 99"), "0|1 99");
}

TEST(PlanLoad, VerticesAndSectionsAreSortedAndFound)
{
    TPlanOnBus p;
    const auto& m = p.model;
    ASSERT_EQ(m.Vertexes.Count(), 7u);
    ASSERT_EQ(m.Sections.Count(), 5u);
    EXPECT_TRUE(m.Vertexes.Sorted);
    for (unsigned i = 1; i < m.Vertexes.Count(); ++i)
        EXPECT_LT(m.Vertexes.Get(i - 1)->Number, m.Vertexes.Get(i)->Number);
    for (unsigned i = 0; i < m.Sections.Count(); ++i) EXPECT_EQ(m.Sections.Get(i)->Number, static_cast<int>(i + 1));
    EXPECT_EQ(ErrorOf([&] { m.Vertexes.Get(7); }), "TaVertexes:: индекс вне диапазона");

    EXPECT_EQ(m.FindVertex(150)->Kind(), 2);
    EXPECT_EQ(m.FindVertex(1)->Kind(), 1);
    EXPECT_EQ(m.FindVertex(1000)->Kind(), 11);
    EXPECT_EQ(m.FindVertex(501)->Kind(), 3);
    EXPECT_EQ(m.FindVertex(1002), nullptr);
    EXPECT_EQ(m.FindVertex(-1), nullptr);
    EXPECT_EQ(m.FindVertex(1001)->Name, "Н");
    EXPECT_EQ(m.FindVertex(1)->Name, "Ст1");
    EXPECT_EQ(m.FindSection(1)->Name, "$Подход");
    EXPECT_EQ(m.FindSection(2)->EntryFn, 1);
    EXPECT_EQ(m.FindSection(3)->ExitFn, 2);

    TRM_Park* park = m.FindPark(1);
    ASSERT_NE(park, nullptr);
    EXPECT_EQ(park->Name, "Парк");
    EXPECT_EQ(park->Sections.Length(), 2u);
    EXPECT_EQ(m.ParkOfSection(m.FindSection(5)), park);
    EXPECT_EQ(m.ParkOfSection(m.FindSection(4)), nullptr);
    EXPECT_EQ(m.FindSection(5)->Breaker, m.FindBreaker(1));

    EXPECT_EQ(p.Ask("1 18 150"), "1|1");
    EXPECT_EQ(p.Ask("1 18 101"), "1|0");
    EXPECT_EQ(p.Ask("1 18 1"), "1|0");
    EXPECT_EQ(p.Ask("1 18 999"), "0|1 18 999");
}

TEST(PlanLoad, LookUpsOverRandomPlans)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        std::uniform_int_distribution<int> count(1, 60);
        int n = count(rng);
        std::set<int> vnums, snums;
        while (static_cast<int>(vnums.size()) < n + 1) vnums.insert(std::uniform_int_distribution<int>(200, 9999)(rng));
        while (static_cast<int>(snums.size()) < n) snums.insert(std::uniform_int_distribution<int>(1, 5000)(rng));
        std::vector<int> vs(vnums.begin(), vnums.end()), ss(snums.begin(), snums.end());
        std::shuffle(vs.begin(), vs.end(), rng);
        std::shuffle(ss.begin(), ss.end(), rng);
        std::string plan;
        for (int i = 0; i < n; ++i) plan += Format("2 %d %d %d 10 - 0 0 0\n", ss[i], vs[i], vs[i + 1]);
        TPlanModel m;
        LoadPlan(m, plan);
        for (int v : vs) ASSERT_NE(m.FindVertex(v), nullptr) << v;
        for (int s : ss) ASSERT_NE(m.FindSection(s), nullptr) << s;
        EXPECT_EQ(m.FindVertex(*vnums.rbegin() + 1), nullptr);
        EXPECT_EQ(m.FindVertex(*vnums.begin() - 1), nullptr);
        EXPECT_EQ(m.FindSection(*snums.rbegin() + 1), nullptr);
        EXPECT_EQ(m.FindSection(0), nullptr);
    }
}

TEST(PlanLoad, SwitchNamesAndEmptyNames)
{
    // Without an own list the two sections keep their empty names, which dump as "-".
    std::string plan = ReplaceLine(SamplePlan(), "1 1 0 3 4 2 0 2 4 0", "1 1 0 3 4 2 0 0");
    TPlanModel m;
    LoadPlan(m, plan);
    EXPECT_EQ(m.FindSection(2)->Name, "");
    EXPECT_EQ(m.FindSection(4)->Dump(), "4 1 1000 80.000 - 500.000000 0 0.001500");

    // A section record after the switch record overwrites the switch's name.
    plan = ReplaceLine(SamplePlan(), "1 150 1", "1 150 1\n2 4 1 1000 80 Съезд 0 0 500");
    TPlanModel later;
    LoadPlan(later, plan);
    EXPECT_EQ(later.FindSection(4)->Name, "Съезд");
    EXPECT_EQ(later.FindSection(2)->Name, "C1<");
}

TEST(PlanLoad, VertexClassesCheckTheirNumbers)
{
    EXPECT_EQ(ErrorOf([] { TRM_Switch s(nullptr, 100); }), "TRM_Signal::Неверный номер стрелки");
    EXPECT_EQ(ErrorOf([] { TRM_Signal s(nullptr, 99); }), "TRM_Signal::Неверный номер сигнала");
    EXPECT_EQ(ErrorOf([] { TRM_Signal s(nullptr, 200); }), "TRM_Signal::Неверный номер сигнала");
    // Negative numbers are joints, not switches.
    TPlanModel m;
    LoadPlan(m, "2 1 -5 2000 10 - 0 0 0\n");
    EXPECT_EQ(m.FindVertex(-5)->Kind(), 3);
    EXPECT_EQ(m.Devices.Count(), 0u);
}

TEST(PlanLoad, ReplaseSectionRewritesVerticesAndParks)
{
    TPlanOnBus p;
    TPlanModel& m = p.model;
    TRM_Section* s3 = m.FindSection(3);
    TRM_Section* s5 = m.FindSection(5);
    m.ReplaseSection(s5, s3);
    EXPECT_EQ(static_cast<TRM_Joint*>(m.FindVertex(1000))->Leaving, s3);
    EXPECT_EQ(m.FindPark(1)->Sections.Last()->value, s3);
    m.ReplaseSection(m.FindSection(4), s5);
    EXPECT_EQ(m.FindSwitch(1)->Ends[TRM_Switch::ForwardPos1], s5);
    EXPECT_EQ(m.FindSwitch(1)->Own.Last()->value, s5);
}

TEST(PlanDevices, SwitchesThenRetardersAndClearData)
{
    TPlanOnBus p;
    TPlanModel& m = p.model;
    ASSERT_EQ(m.Devices.Count(), 2u);
    EXPECT_EQ(*m.Devices.Get(0), static_cast<TDevice*>(m.FindSwitch(1)));
    EXPECT_EQ(*m.Devices.Get(1), static_cast<TDevice*>(m.FindBreaker(1)));

    m.ClearData();
    EXPECT_EQ(m.Devices.Count(), 0u);
    EXPECT_EQ(m.Vertexes.Count(), 0u);
    EXPECT_EQ(m.Sections.Count(), 0u);
    EXPECT_EQ(m.Parks.Count(), 0u);
    EXPECT_EQ(m.Breakers.Count(), 0u);
    EXPECT_EQ(m.Profile.First(), nullptr);
    m.Process(10);  // steps nothing that was freed
    EXPECT_EQ(p.Ask("1 4 1"), "0|1 4 1");
    EXPECT_EQ(m.BreakerProperties.Count(), 2u);
}

TEST(PlanSwitch, ThrowCompletesAfterItsTime)
{
    TPlanOnBus p;
    EXPECT_EQ(p.Ask("1 4 1"), "1|0 0 0 0 -1.000");
    EXPECT_EQ(p.Ask("1 9 1 1 5"), "1|1 9 1 1 5");
    EXPECT_EQ(p.Ask("1 4 1"), "1|0 3 0 0 5.000");
    // While it moves the switch leads nowhere.
    EXPECT_EQ(p.Ask("1 25 2 0"), "0|1 25 2 0");
    p.model.Process(4);
    EXPECT_EQ(p.Ask("1 4 1"), "1|0 3 0 0 5.000");
    p.model.Process(5);
    EXPECT_EQ(p.Ask("1 4 1"), "1|0 1 0 0 -1.000");
    EXPECT_EQ(p.Ask("1 25 2 0"), "1|4");
    // Asking for the position it lies in succeeds at once.
    EXPECT_EQ(p.Ask("1 9 1 1 7"), "1|1 9 1 1 7");
    EXPECT_EQ(p.Ask("1 4 1"), "1|0 1 0 0 -1.000");

    // Without a time the throw is due a short random delay from now.
    EXPECT_EQ(p.Ask("1 9 1 0"), "1|1 9 1 0");
    const TRM_Switch* sw = p.model.FindSwitch(1);
    EXPECT_EQ(sw->State, 2);
    EXPECT_GT(sw->DueTime, 5.0 - 1.0);
    EXPECT_LT(sw->DueTime, 5.0 + 5.0);
}

TEST(PlanSwitch, ImmediateThrowsFaultsAndBadPositions)
{
    TPlanOnBus p;
    const TRM_Switch* sw = p.model.FindSwitch(1);
    EXPECT_EQ(p.Ask("1 9 1 1 -1"), "1|1 9 1 1 -1");
    EXPECT_EQ(p.Ask("1 4 1"), "1|0 1 0 0 -1.000");
    // Only the two lying positions are stored.
    EXPECT_EQ(p.Ask("1 9 1 7 -1")[0], '0');
    EXPECT_EQ(p.Ask("1 9 1 7 5")[0], '0');
    EXPECT_EQ(p.Ask("1 9 1 -3 -5")[0], '0');
    EXPECT_EQ(sw->State, 1);
    EXPECT_EQ(sw->LockMode, 0);

    // Far in the past: at once, and the switch falls into fault mode 2.
    EXPECT_EQ(p.Ask("1 9 1 0 -5")[0], '1');
    EXPECT_EQ(p.Ask("1 4 1"), "1|0 0 0 2 -1.000");
    EXPECT_EQ(p.Ask("1 9 1 1 0")[0], '1');  // a lying switch in fault mode goes to 4 + state
    EXPECT_EQ(sw->State, 4);
    EXPECT_EQ(p.Ask("1 9 1 1 0")[0], '0');  // the other position is refused
    EXPECT_EQ(p.Ask("1 9 1 0 0")[0], '1');  // its own position lays it back
    EXPECT_EQ(sw->State, 0);

    // Lock modes: below 2 any value is taken; from 2 up only -1 clears it.
    EXPECT_EQ(p.Ask("1 37 1 1")[0], '1');
    EXPECT_EQ(sw->LockMode, 2);
    EXPECT_EQ(p.Ask("1 37 1 -1")[0], '1');
    EXPECT_EQ(sw->LockMode, 0);
    EXPECT_EQ(p.Ask("1 37 1 3"), "1|1 37 1 3");
    EXPECT_EQ(p.Ask("1 37 1 0")[0], '1');
    EXPECT_EQ(sw->LockMode, 3);
    EXPECT_EQ(p.Ask("1 37 1 -1")[0], '1');
    EXPECT_EQ(sw->LockMode, 0);
    EXPECT_EQ(p.Ask("1 37 1 1")[0], '1');
    EXPECT_EQ(sw->LockMode, 1);
    EXPECT_EQ(p.Ask("1 37 101 1"), "0|1 37 101 1");

    // Other vertices have no switch commands.
    EXPECT_EQ(p.Ask("1 4 101"), "0|1 4 101");
    EXPECT_EQ(p.Ask("1 9 501 1 0"), "0|1 9 501 1 0");
    EXPECT_EQ(p.Ask("1 24 999"), "0|1 24 999");
}

TEST(PlanSwitch, OccupiedSwitchRefusesAndReportsError2)
{
    TPlanOnBus p;
    TRM_Switch* sw = p.model.FindSwitch(1);
    p.model.FindSection(3)->Free = 0;  // not one of its own sections
    EXPECT_EQ(p.Ask("1 4 1"), "1|0 0 0 0 -1.000");
    p.model.FindSection(4)->Free = 0;
    EXPECT_EQ(p.Ask("1 4 1"), "1|1 0 0 0 -1.000");
    EXPECT_EQ(p.Ask("1 5 4"), "1|1 500.000000");
    EXPECT_EQ(p.Ask("1 5 2"), "1|0 6.000000");
    EXPECT_EQ(p.Ask("1 5 9"), "0|1 5 9");

    EXPECT_EQ(p.Ask("1 9 1 1 5"), "0|1 9 1 1 5");
    ASSERT_EQ(p.instructor.received.size(), 1u);
    EXPECT_EQ(p.instructor.received[0], "0  4 2 1");
    EXPECT_EQ(sw->State, 0);

    // Restore clears the trailed flag only when its sections are free.
    sw->Trailed = 1;
    EXPECT_EQ(p.Ask("1 24 1")[0], '0');
    EXPECT_EQ(sw->Trailed, 1);
    p.model.FindSection(4)->Free = 1;
    EXPECT_EQ(p.Ask("1 24 1"), "1|1 24 1");
    EXPECT_EQ(sw->Trailed, 0);

    // With no own list the four ends count.
    sw->Own.Clear();
    p.model.FindSection(3)->Free = 0;
    EXPECT_EQ(p.Ask("1 4 1"), "1|1 0 0 0 -1.000");
}

TEST(PlanSwitch, NextSectionFollowsThePosition)
{
    TPlanOnBus p;
    EXPECT_EQ(p.Ask("1 25 1 0"), "1|2");
    EXPECT_EQ(p.Ask("1 25 2 0"), "1|3");
    EXPECT_EQ(p.Ask("1 25 3 1"), "1|2");
    EXPECT_EQ(p.Ask("1 25 4 1"), "0|1 25 4 1");  // trailing from the branch it does not lie for
    EXPECT_EQ(p.Ask("1 25 1 1"), "0|1 25 1 1");  // 1001 has nothing before it
    EXPECT_EQ(p.Ask("1 25 3 0"), "0|1 25 3 0");  // dead end at 501
    EXPECT_EQ(p.Ask("1 25 4 0"), "1|5");
    EXPECT_EQ(p.Ask("1 25 5 1"), "1|4");
    EXPECT_EQ(p.Ask("1 25 99 0"), "0|1 25 99 0");
    p.Ask("1 9 1 1 -1");
    EXPECT_EQ(p.Ask("1 25 2 0"), "1|4");
    EXPECT_EQ(p.Ask("1 25 4 1"), "1|2");
    EXPECT_EQ(p.Ask("1 25 3 1"), "0|1 25 3 1");
}

TEST(PlanCapacity, ParksVerticesSectionsAndRetarders)
{
    // A plan needs a section: the parks and joints alone are refused as a plan without one.
    EXPECT_EQ(LoadError(Repeat("4 %d P", 20, 1)), "data\\plan.dat: нет ни одного участка");
    EXPECT_EQ(LoadError(Repeat("4 %d P", 21, 1)), "TRM_SectionPlaceArray:: переполнение массива");
    EXPECT_EQ(LoadError(Repeat("3 %d", 499, 2000)), "data\\plan.dat: нет ни одного участка");
    EXPECT_EQ(LoadError(Repeat("3 %d", 500, 2000)), "TaVertexes:: переполнение массива");
    std::string joints = "3 2000\n3 2001\n";
    EXPECT_EQ(LoadError(joints + Repeat("2 %d 2000 2001 10 - 0 0 0", 499, 1)), "(loaded)");
    EXPECT_EQ(LoadError(joints + Repeat("2 %d 2000 2001 10 - 0 0 0", 500, 1)), "TaSections:: переполнение массива");
    std::string section = "2 1 2000 2001 10 - 0 0 0\n";
    EXPECT_EQ(LoadError(section + Repeat("5 %d ВЗ 1 1 0", 50, 1)), "(loaded)");
    EXPECT_EQ(LoadError(section + Repeat("5 %d ВЗ 1 1 0", 51, 1)), "TRM_SectionPlaceArray:: переполнение массива");
}

TEST(PlanCapacity, LineLengthAndLineCount)
{
    std::string plan = SamplePlan();
    // 239 bytes in code page 1251 (one byte a letter) fit; 240 do not.
    std::string fits = "* " + std::string(227, 'x') + "Ящик длины";
    ASSERT_EQ(Utf8ToCp1251(fits).size(), 239u);
    EXPECT_EQ(LoadError(plan + fits + "\r\n"), "(loaded)");
    std::string tooLong = "8 3 (NOTE 1 " + std::string(230, 'y') + ")";
    std::string withLong = plan + tooLong + "\n";
    EXPECT_EQ(LoadError(withLong), AtLine(withLong, tooLong, "строка длиннее 239 символов"));

    int lines = LineOf(plan, "9 15 (COM 0 4 99 (OBJ))");
    std::string full = plan + Repeat("* %d", TPlanModel::MaxLines - lines, 1);
    EXPECT_EQ(LoadError(full), "(loaded)");
    EXPECT_EQ(LoadError(full + "\n"), "data\\plan.dat, строка 5001: в файле больше 5000 строк");
}

TEST(PlanErrors, EachBadLineNamesItsLine)
{
    const std::string plan = SamplePlan();
    auto bad = [&](const std::string& line, const std::string& by) { return ReplaceLine(plan, line, by); };
    std::string p;

    p = bad("2 4 1 1000 80 - 0 0 500", "2 4 1 1000 8x0 - 0 0 500");
    EXPECT_EQ(LoadError(p), AtLine(p, "2 4 1 1000 8x0 - 0 0 500", "поле 5 \"8x0\" не число"));
    p = bad("2 4 1 1000 80 - 0 0 500", "2 4 1 1000 80 - a 0 500");
    EXPECT_EQ(LoadError(p), AtLine(p, "2 4 1 1000 80 - a 0 500", "поле 7 \"a\" не целое число"));
    p = bad("2 4 1 1000 80 - 0 0 500", "2 4 1");
    EXPECT_EQ(LoadError(p), AtLine(p, "2 4 1", "в записи нет поля 4"));
    p = bad("2 4 1 1000 80 - 0 0 500", "2 4 1 1000 -80 - 0 0 500");
    EXPECT_EQ(LoadError(p), AtLine(p, "2 4 1 1000 -80 - 0 0 500", "отрицательная длина участка 4"));
    p = bad("1 1 0 3 4 2 0 2 4 0", "1 1 7 3 4 2 0 2 4 0");
    EXPECT_EQ(LoadError(p), AtLine(p, "1 1 7 3 4 2 0 2 4 0", "неверное состояние стрелки 1: 7"));
    p = bad("1 1 0 3 4 2 0 2 4 0", "1 1 0 2 4 3 0 2 4 0");
    EXPECT_EQ(LoadError(p), AtLine(p, "1 1 0 2 4 3 0 2 4 0", "участок 2 не начинается у стрелки 1"));
    p = bad("1 1 0 3 4 2 0 2 4 0", "1 1 0 3 4 5 0 2 4 0");
    EXPECT_EQ(LoadError(p), AtLine(p, "1 1 0 3 4 5 0 2 4 0", "участок 5 не кончается у стрелки 1"));
    p = bad("1 1 0 3 4 2 0 2 4 0", "");
    EXPECT_EQ(LoadError(p), AtLine(p, "2 3 1 501 300 П3 0 2 0", "стрелка 1 не описана"));
    p = bad("4 1 Парк 3 5 0", "4 1 Парк 3 5 9 0");
    EXPECT_EQ(LoadError(p), AtLine(p, "4 1 Парк 3 5 9 0", "участок 9 не описан"));
    p = bad("4 1 Парк 3 5 0", "4 1 Парк 3 -5 0");
    EXPECT_EQ(LoadError(p), AtLine(p, "4 1 Парк 3 -5 0", "неверный номер участка -5"));
    p = bad("2 2 101 1 50 - 1 0 6", "2 0 101 1 50 - 1 0 6");
    EXPECT_EQ(LoadError(p), AtLine(p, "2 0 101 1 50 - 1 0 6", "неверный номер участка 0"));
    p = bad("7 501 550 0 0 К1", "7 501 5,5 0 0 К1");
    EXPECT_EQ(LoadError(p), AtLine(p, "7 501 5,5 0 0 К1", "поле 3 \"5,5\" не число"));
    p = bad("6 1000 3000 -2.0", "6 1000 3000 -2.0‰");
    EXPECT_EQ(LoadError(p), AtLine(p, "6 1000 3000 -2.0‰", "поле 4 \"-2.0‰\" не число"));
    p = bad("1 150 1", "1 x5 1");
    EXPECT_EQ(LoadError(p), AtLine(p, "1 x5 1", "поле 2 \"x5\" не целое число"));
    p = bad("5 1 ВЗ 1 5 0", "5 0 ВЗ 1 5 0");
    EXPECT_EQ(LoadError(p), AtLine(p, "5 0 ВЗ 1 5 0", "неверный номер замедлителя 0"));
    p = bad("5 1 ВЗ 1 5 0", "5 1 XX 1 5 0");
    EXPECT_EQ(LoadError(p), AtLine(p, "5 1 XX 1 5 0", "Неизвестный тип замедлителя. Смотри файл data\\breakers.dat (тип XX)"));
}

TEST(PlanErrors, IgnoredRecordsAndTolerances)
{
    // Unknown record types, text lines and blank lines are skipped; fields past the format too.
    std::string p = SamplePlan() + "12 1 2 3\n-1 4\nслово\n\n   \n7 777 1 2 3\n3 2000 extra words\n";
    TPlanModel m;
    LoadPlan(m, p);
    EXPECT_EQ(m.FindVertex(777), nullptr);
    EXPECT_EQ(m.FindVertex(2000)->Kind(), 3);
    // Missing coordinates of a type-7 record stay unset.
    p = ReplaceLine(SamplePlan(), "7 502 580 10 0 К2", "7 502 580");
    TPlanModel open;
    LoadPlan(open, p);
    EXPECT_EQ(open.FindVertex(502)->Dump(), "502 580.000 99999.000 99999.000 5 0");
    EXPECT_EQ(open.FindVertex(502)->Name, "");
}

TEST(PlanFunctions, RecordsFillTheTwoTables)
{
    TPlanOnBus p;
    TPlanModel& m = p.model;
    ASSERT_EQ(m.SectionFunctions.Count(), 2u);
    ASSERT_EQ(m.EventFunctions.Count(), 1u);
    EXPECT_EQ(m.SectionFunctions.Find(1)->Text, "(COM 3 5 (OBJ) 212 1)");
    EXPECT_EQ(m.SectionFunctions.Find(2)->Text, "(NOTE 0 (OBJ))");
    EXPECT_EQ(m.EventFunctions.Find(15)->Text, "(COM 0 4 99 (OBJ))");
    EXPECT_EQ(m.SectionFunctions.Find(15), nullptr);

    // A section function sends through the plan's bus.
    TScriptedReceiver tecn;
    tecn.On("3 5", "ok", 1);
    p.router.SetReceiver(brTecn, tecn.AsHandler());
    TPlanObjectContext obj{7, &m, &m.SectionFunctions};
    TPlanSectionContext sec{2, m.FindSection(2)->Name};
    std::string out;
    EXPECT_TRUE(RunPlanFunction(m.SectionFunctions.Find(m.FindSection(2)->EntryFn), &obj, &sec, &out));
    ASSERT_EQ(tecn.received.size(), 1u);
    EXPECT_EQ(tecn.received[0], "3 5 7 212 1");

    // Clearing the plan empties table 1 only.
    m.ClearData();
    EXPECT_EQ(m.SectionFunctions.Count(), 0u);
    EXPECT_EQ(m.EventFunctions.Count(), 1u);

    // A number may stand once in each table.
    std::string plan = SamplePlan() + "9 1 (RETURN 1)\n";
    EXPECT_EQ(LoadError(plan), "(loaded)");
    EXPECT_EQ(LoadError(SamplePlan() + "8 2 (RETURN 1)\n"), "Повтор номера функции");
    EXPECT_EQ(LoadError(SamplePlan() + "9 15 (RETURN 1)\n"), "Повтор номера функции");
}
