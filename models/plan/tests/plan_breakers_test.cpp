// Retarders: the types of breakers.dat, the devices and their values, plan record 5 and the
// retarder commands of the plan's bus.
#include <gtest/gtest.h>

#include "plan_fixture.h"

using namespace plantest;

namespace {

// The types read from a breakers file given as text.
struct TTypes {
    explicit TTypes(const std::string& text)
    {
        TStationDir station("", &text);
        list.Load("data\\breakers.dat");
    }
    TaBreakerProperties list;
};

std::string TypesError(const std::string& text)
{
    return ErrorOf([&] { TTypes t(text); });
}

const std::string kPlanWithoutRetarder = "2 1 2000 2001 10 - 0 0 0\n";

} // namespace

TEST(PlanBreakers, SampleTypes)
{
    TTypes t(SampleBreakers());
    ASSERT_EQ(t.list.Count(), 2u);
    const TBreakerProperties* wg = *t.list.Get(0);
    EXPECT_EQ(wg->Kind(), 1);
    EXPECT_EQ(wg->Name, "ВЗ");
    EXPECT_DOUBLE_EQ(wg->P, 1.0);
    EXPECT_DOUBLE_EQ(wg->K, 2.0);
    auto* rnz = dynamic_cast<const TRNZBreakerProperties*>(*t.list.Get(1));
    ASSERT_NE(rnz, nullptr);
    EXPECT_EQ(rnz->Name, "РНЗ");
    EXPECT_DOUBLE_EQ(rnz->P, 1.2);
    EXPECT_DOUBLE_EQ(rnz->K, 3.0);
    EXPECT_DOUBLE_EQ(rnz->B0, 0.0);
    ASSERT_EQ(rnz->Positions.Count(), 2u);
    EXPECT_DOUBLE_EQ(rnz->Positions.Get(1)->First, 4.0);
    EXPECT_DOUBLE_EQ(rnz->Positions.Get(1)->Second, 2.0);
    EXPECT_EQ(t.list.Find("РНЗ"), rnz);
    EXPECT_EQ(t.list.Find("рнз"), nullptr);
}

TEST(PlanBreakers, FileVariants)
{
    // A plain type ignores keys 21-30 without reading a value line for them.
    TTypes plain("0\n3\n21\n30\n1\n  Тип А  \n10\n2.5\n0\n");
    ASSERT_EQ(plain.list.Count(), 1u);
    EXPECT_EQ((*plain.list.Get(0))->Kind(), 3);
    TTypes wg("0\n1\n21\n30\n1\nВЗ\n10\n2.5\n0\n");
    EXPECT_EQ((*wg.list.Get(0))->Name, "ВЗ");
    EXPECT_DOUBLE_EQ((*wg.list.Get(0))->K, 2.5);

    // A type cut off by the end of the file keeps what it read.
    TTypes cut("0\n2\n1\nРНЗ\n2\n1.5\n10\n");
    ASSERT_EQ(cut.list.Count(), 1u);
    EXPECT_EQ((*cut.list.Get(0))->Name, "РНЗ");
    EXPECT_DOUBLE_EQ((*cut.list.Get(0))->P, 1.5);

    // Comments and blank lines between values.
    TTypes commented("* types\n0\n\n1\n* name next\n1\nВЗ\n0\n");
    EXPECT_EQ((*commented.list.Get(0))->Name, "ВЗ");

    EXPECT_EQ(TypesError("1\n1\n0\n"), "data\\breakers.dat, строка 1: Ошибка в файле данных замедлителей");
    EXPECT_EQ(TypesError("* kinds\n0\n4\n0\n"), "data\\breakers.dat, строка 3: Ошибка в файле данных замедлителей");
    EXPECT_EQ(TypesError("0\nx\n0\n"), "data\\breakers.dat, строка 2: Ошибка в файле данных замедлителей");
    // A type without a name can never be placed: the file is cut or garbled there.
    EXPECT_EQ(TypesError("0\n1\n2\n1.5\n0\n"), "data\\breakers.dat, строка 5: у типа замедлителя нет имени (ключ 1)");
    std::string ten = "0\n";
    for (int i = 0; i < 10; ++i) ten += "1\n1\nT" + std::to_string(i) + "\n0\n";
    EXPECT_EQ(TypesError(ten), "data\\breakers.dat, строка 38: Переполнение массива10");
    std::string five = "0\n2\n";
    for (int i = 0; i < 5; ++i) five += "2" + std::to_string(i + 1) + "\n1 1\n";
    EXPECT_EQ(TypesError(five + "0\n"), "data\\breakers.dat, строка 12: Переполнение массива5");
}

TEST(PlanBreakers, NoFileNoTypes)
{
    TPlanModel m;
    LoadPlan(m, kPlanWithoutRetarder, nullptr);
    EXPECT_EQ(m.BreakerProperties.Count(), 0u);
    EXPECT_EQ(LoadError(kPlanWithoutRetarder + "5 1 ВЗ 1 1 0\n", nullptr),
              "data\\plan.dat, строка 2: нет файла data\\breakers.dat с типами замедлителей (тип ВЗ)");
}

TEST(PlanBreakers, PlacementRecords)
{
    // Two types of the same name: the first is bound.
    std::string types = "0\n1\n1\nВЗ\n2\n1.0\n0\n2\n1\nВЗ\n2\n9.0\n0\n3\n1\nПР\n0\n";
    std::string plan = "2 1 2000 2001 10 - 0 0 0\n2 2 2001 2002 10 - 0 0 0\n2 3 2002 2003 10 - 0 0 0\n"
                       "5 4 ВЗ 2 1 0\n";
    TPlanModel m;
    LoadPlan(m, plan, &types);
    TRM_Breaker* b = m.FindBreaker(4);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Properties(), *m.BreakerProperties.Get(0));
    EXPECT_NE(dynamic_cast<TWGBreakerDevice*>(b->Device.get()), nullptr);
    EXPECT_EQ(b->Device->Mode, 0);
    EXPECT_EQ(b->Value(1, 1), 0.0);
    EXPECT_EQ(b->Dump(), "4 ВЗ 2");

    // Repeated with the same number: a new device of the new type, and more sections.
    TPlanModel twice;
    LoadPlan(twice, plan + "5 4 ПР 7 2 3\n", &types);
    b = twice.FindBreaker(4);
    EXPECT_EQ(twice.Breakers.Count(), 1u);
    EXPECT_NE(dynamic_cast<TPRBreakerDevice*>(b->Device.get()), nullptr);
    EXPECT_EQ(b->Dump(), "4 ПР 7");
    EXPECT_EQ(twice.FindSection(1)->Breaker, b);
    EXPECT_EQ(twice.FindSection(2)->Breaker, b);
    EXPECT_EQ(twice.FindSection(3)->Breaker, b);
    EXPECT_EQ(twice.FindSection(3)->Dump(), "3 2002 2003 10.000 - 0.000000 4 0.000000");
}

TEST(PlanBreakers, BusCommands)
{
    TPlanOnBus p;
    TRM_Breaker* b = p.model.FindBreaker(1);
    EXPECT_EQ(p.Ask("1 26 1 0 0"), "1|1 26 1 0 0");
    EXPECT_EQ(p.Ask("1 26 99 0 0"), "0|1 26 99 0 0");
    EXPECT_EQ(b->Value(5, 5), 0.0);

    EXPECT_EQ(p.Ask("1 33 1 0.75"), "1|1 33 1 0.75");
    EXPECT_DOUBLE_EQ(b->Value(5, 5), 0.75);
    b->Device->Mode = 1;
    EXPECT_EQ(p.Ask("1 33 1 0.5")[0], '1');
    EXPECT_EQ(b->Device->Mode, 0);
    EXPECT_DOUBLE_EQ(b->Value(5, 5), 0.5);
    // Without a value, or with a negative one, the model time is stored.
    p.model.Process(12);
    EXPECT_EQ(p.Ask("1 33 1")[0], '1');
    EXPECT_DOUBLE_EQ(b->Value(0, 0), 12.0);
    p.model.Process(13);
    EXPECT_EQ(p.Ask("1 33 1 -2")[0], '1');
    EXPECT_DOUBLE_EQ(b->Value(0, 0), 13.0);
    EXPECT_EQ(p.Ask("1 33 2 1"), "0|1 33 2 1");
}

TEST(PlanBreakers, DeviceValues)
{
    TTypes t(SampleBreakers());
    TBreakerProperties* wgType = *t.list.Get(0);
    TBreakerProperties* rnzType = *t.list.Get(1);

    TWGBreakerDevice wg;
    wg.BindProperties(rnzType);  // a device takes only its own kind
    EXPECT_EQ(wg.Properties, nullptr);
    wg.BindProperties(wgType);
    EXPECT_EQ(wg.Properties, wgType);
    wg.SetPosition(3);
    EXPECT_EQ(wg.Mode, 1);
    EXPECT_DOUBLE_EQ(wg.Value(0.3, 0), 1.0 / 2.0 * 0.3 * 1000);
    EXPECT_DOUBLE_EQ(wg.Divisor(), 2.0);
    wg.Mode = 2;
    EXPECT_EQ(wg.Value(0.3, 0), 0.0);

    TRNZBreakerDevice rnz;
    rnz.BindProperties(rnzType);
    rnz.SetPosition(1);
    EXPECT_DOUBLE_EQ(rnz.s, 4.0);
    EXPECT_EQ(rnz.Mode, 0);  // setting a position keeps the fixed value in use
    rnz.Mode = 1;
    double once = 1.0 * 1.2 * 85 / 1000 / (3.0 + 10.5) * 1000;
    EXPECT_DOUBLE_EQ(rnz.Value(0, 1000), once);
    EXPECT_EQ(rnz.Value(0, 1000), 0.0);
    rnz.Reset();
    EXPECT_DOUBLE_EQ(rnz.Value(0, 1000), once);
    EXPECT_DOUBLE_EQ(rnz.Divisor(), 13.5);
    rnz.SelectPosition(99);
    EXPECT_DOUBLE_EQ(rnz.s, 1.0);
    rnz.Reset();
    EXPECT_DOUBLE_EQ(rnz.Value(0, 1000), 0.25 * 1.2 * 85 / 1000 / 13.5 * 1000);
    // A zero weight gives 0, never infinity.
    rnz.Reset();
    EXPECT_EQ(rnz.Value(0, 0), 0.0);
    EXPECT_EQ(ErrorOf([&] { rnz.SetPosition(4); }), "Индекс вне диапазона5");

    TPRBreakerProperties prType;
    prType.P = 2;
    prType.K = 5;
    prType.B0 = 1;
    TPRBreakerDevice pr;
    pr.BindProperties(&prType);
    pr.Mode = 1;
    EXPECT_EQ(ErrorOf([&] { pr.Value(0, 100); }), "Массив пуст5");
    prType.Positions.Add({3, 0});
    pr.SetPosition(0);
    EXPECT_DOUBLE_EQ(pr.Value(0, 100), 1.0 * 2 * 85 / 100 * 250 / 5);
    prType.Positions.Add({1, 0});  // last position equal to the base: no factor
    EXPECT_EQ(pr.Value(0, 100), 0.0);
    prType.K = 0;
    EXPECT_EQ(pr.Divisor(), 0.0);

    TBreakerDevice bare;
    EXPECT_EQ(bare.Divisor(), 0.0);
    bare.SelectPosition(1);
    EXPECT_EQ(bare.Mode, 1);
    EXPECT_EQ(bare.Value(1, 1), 0.0);
}
