// Technology objects driven through the bus of receiver 3: creation with executor binding,
// transitions, works with their executors and times, removal, chains and cuts, and the
// executor commands. The plan (receiver 1) and the instructor (receiver 0) are scripted.
#include <gtest/gtest.h>

#include "models/technology/tests/TecnFixture.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"

using namespace tecn_test;

namespace {

// Type 1 takes the hump (skill 5) for life; in state 1, 101 starts work 201 (skill 1, 30 s) and
// its signal moves on to state 3; 102 has a false condition, 103 stays and starts 201, 104
// removes the object, 105 removes it through the bus from its own action. Type 3 runs two works
// of no time one after the other (204's signal starts 205), and 205's signal creates the next
// object of type 3.
const char* const kTecn =
    "Работы\n"
    "Работа\n201\nИсполнитель\n1 1 0 0 0 0 0\nВремя\n30\nСодержание\n  Проверка пути  \n"
    "Работа\n202\nИсполнитель\n9 1 14 0 0 0 0\nВремя\n(GET 9999)\n"
    "Работа\n203\nИсполнитель\n1 1 0 0 0 0 0\nВремя\n(FUNC 99)\n"
    "Работа\n204\nВремя\n0\n"
    "Работа\n205\nВремя\n0\n"
    "Функции\n"
    "Функция\n1\n(FALSE)\n"
    "Функция\n2\n(COM 3 7 (OBJ))\n"
    "Функция\n3\n(COM 3 6 3)\n"
    "Объекты\n"
    "Объект\n1\nИсполнитель\n5 0 0 0 0 0 0\nПараметр\n1025 0\n"
    "Состояние\n0 0 1 0\n"
    "Состояние\n101 0 2 0 201\n102 1 3 0 201\n103 0 s 0 201\n104 0 9999 0\n105 0 s 2\n"
    "Состояние\n201 0 3 0\n"
    "Состояние\n"
    "Объект\n2\nСостояние\n0 0 1 0\nСостояние\n"
    "Объект\n3\nСостояние\n0 0 1 0 204\nСостояние\n204 0 2 0 205\nСостояние\n205 0 3 3\nСостояние\n"
    "EOF\n";

const char* const kCars = "Полувагон\n1 0 0 1 0 0\n1.2 2.0 10.5 2.0 1.2\nЦистерна\n1 0 0 1 0 0\n1 2 1\n";

struct TTecn : testing::Test {
    TScratch scratch;
    TTecnModel model;
    TRecorder rec;
    TScriptedReceiver plan, instructor;

    void SetUp() override
    {
        ResetTecnMemory();
        static const struct {
            int number;
            const char* scill;
            const char* name;
        } table[] = {{1, "1", "Путь ОВ1"}, {2, "1", "Путь ОВ2"}, {5, "3", "Сигналист СП3"}, {6, "4", "тепловоз"},
                     {8, "5", "Горка"},    {12, "9", "Путь ОП"}, {14, "9", "Путь ОП"}};
        int i = 0;
        for (const auto& t : table) {
            TExecutor e;
            e.Number = t.number;
            e.SetScill(t.scill);
            e.ExecName = t.name;
            model.ExecutorArray->Set(i++, e);
        }
        WriteCp1251(scratch / "cars.dat", kCars);
        model.CarsFileName = (scratch / "cars.dat").string();
        model.InitState();
        ReadTecnText(model, scratch, kTecn);
        rec.Attach(model);
        rec.bus.SetReceiver(brPlan, plan.AsHandler());
        rec.bus.SetReceiver(brInstructor, instructor.AsHandler());
    }

    // Sends mes; the reply, or "refused" when not handled.
    std::string Bus(const std::string& mes)
    {
        std::string m = mes;
        return rec.bus.Send(m) ? m : "refused";
    }
    std::string Events()
    {
        std::string all;
        for (const std::string& e : rec.events) all += e + "\n";
        rec.events.clear();
        return all;
    }
    std::string Pool()
    {
        std::string s;
        for (auto* n = model.TExecutorList.First(); n; n = n->next) s += std::to_string(n->value->Number) + " ";
        return s;
    }
};

} // namespace

TEST_F(TTecn, CreationBindingAndNumbers)
{
    EXPECT_EQ(Bus("3 6 1 1025 2001"), "1");
    EXPECT_EQ(Events(), "4 0.000 1 8\n3 0.000 1 0 0 1\n");
    EXPECT_EQ(Bus("3 4 1 1015 1025 2001"), "1 2001 15.000000 ");
    // The only hump is taken: a second object of type 1 is refused as a whole.
    EXPECT_EQ(Bus("3 6 1"), "refused");
    EXPECT_EQ(Pool(), "1 2 5 6 12 14 ");
    EXPECT_EQ(Bus("3 6 2"), "2");
    EXPECT_EQ(Bus("3 7 1"), "3 7 1");
    EXPECT_EQ(Pool(), "1 2 5 6 12 14 8 ");
    EXPECT_EQ(plan.received.back(), "1 7 1");
    EXPECT_EQ(Bus("3 6 2"), "1");
    // Unknown names and objects leave the message as it was.
    EXPECT_EQ(Bus("3 4 1 9998"), "refused");
    EXPECT_EQ(Bus("3 4 7 1015"), "refused");
    EXPECT_EQ(Bus("3 10 1015 1 999 x"), " 2 1");  // in list order
    EXPECT_EQ(Bus("3 25 2 (+ (GET 2001) 1)"), "16.000000");
    EXPECT_EQ(Bus("3 11"), "refused");
    EXPECT_EQ(Bus("3 26"), "refused");
}

TEST_F(TTecn, WorkTakesAndGivesBackItsExecutor)
{
    Bus("3 6 1");
    Events();
    EXPECT_EQ(Bus("3 5 1 101 1"), "3 5 1 101 1");
    EXPECT_EQ(Bus("3 4 1 1015 201"), "2 1 ");
    EXPECT_EQ(Events(), "3 0.000 1 101 1 2\n");
    model.Process(10);
    EXPECT_EQ(Events(), "4 10.000 1 1\n");
    EXPECT_EQ(Bus("3 24 1"), "0");
    model.Process(40);
    EXPECT_EQ(Events(), "");
    model.Process(41);
    EXPECT_EQ(Events(), "5 41.000 1 1\n3 41.000 1 201 2 3\n");
    EXPECT_EQ(Bus("3 4 1 1015 201"), "3 0 ");
    EXPECT_EQ(Bus("3 24 1"), "1");
}

// Whatever a step starts (a work by the signal of the object's last work, an object by an action)
// takes its first step at the next tick, as it would when started by a message between ticks.
TEST_F(TTecn, WhatAStepStartsWaitsForTheNextTick)
{
    EXPECT_EQ(Bus("3 6 3"), "1");
    Events();
    for (int t = 1; t <= 6; ++t) model.Process(t);
    EXPECT_EQ(Events(), "3 2.000 1 204 1 2\n"   // 204 ends; its signal starts 205
                        "3 4.000 2 0 0 1\n"     // 205 ends; its action creates object 2 with 204
                        "3 4.000 1 205 2 3\n"
                        "3 6.000 2 204 1 2\n");
}

TEST_F(TTecn, TransitionRules)
{
    Bus("3 6 1");
    Events();
    // Without a transition: a report is a trainee error, a work signal nothing, a low command an error.
    Bus("3 5 1 150 1");
    EXPECT_EQ(instructor.received, std::vector<std::string>{"0 4 17"});
    Bus("3 5 1 250 1");
    EXPECT_EQ(Bus("3 4 1 1015"), "1 ");
    try {
        Bus("3 5 1 5 1");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Команда на невозможный переход 1(1) 1->5");
    }
    // A false condition does nothing; "s" stays but starts its work and reports target -1.
    Bus("3 5 1 102 1");
    EXPECT_EQ(Events(), "");
    Bus("3 5 1 103 1");
    EXPECT_EQ(Events(), "3 0.000 1 103 1 -1\n");
    EXPECT_EQ(Bus("3 4 1 1015 201"), "1 1 ");
    try {
        Bus("3 5 1 1026 77");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Неизвестный тип конечного автомата 1(77)");
    }
    try {
        Bus("3 5 1 1026 2");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "При изменении технологии объекта 1(1->2) обнаружены незавершенные работы");
    }
}

TEST_F(TTecn, RemovalReturnsExecutorsAndNeverTouchesFreedObjects)
{
    Bus("3 6 1");
    Bus("3 5 1 103 1");
    model.Process(1);  // work 201 holds executor 1
    Bus("3 5 1 104 1");
    Events();
    EXPECT_EQ(Bus("3 4 1 1015"), "9999 ");
    model.Process(2);
    EXPECT_EQ(Events(), "5 2.000 1 8\n5 2.000 1 1\n13 2.000 1 \n");
    EXPECT_EQ(Pool(), "2 5 6 12 14 8 1 ");
    EXPECT_EQ(Bus("3 4 1 1015"), "refused");
    // An object that removes itself from its own action, then a step over what is left.
    EXPECT_EQ(Bus("3 6 1"), "1");
    Bus("3 6 2");
    Bus("3 5 1 105 1");
    EXPECT_EQ(Bus("3 4 1 1015"), "refused");
    model.Process(3);
    EXPECT_EQ(Bus("3 6 2"), "1");
}

TEST_F(TTecn, CompositionChainAndAxles)
{
    WriteCp1251(scratch / "sostav.txt", "Полувагон 4с 80 1.0\nПолувагон 4п 40 2.0\n=5\nЦистерна 2с 20 1.0\n");
    EXPECT_EQ(Bus("3 14 " + (scratch / "sostav.txt").string()), "1");
    EXPECT_EQ(Bus("3 4 1 1017 1018 1021 1023 2001"), "0 2 5 0 16.900000 ");
    EXPECT_EQ(Bus("3 4 2 1017 1018 1021 1023"), "1 3 5 1 ");
    EXPECT_EQ(Bus("3 4 3 1021 2017 1022"), "11 99999.000000 2 ");
    EXPECT_EQ(Bus("3 4 1 1024 1020 2010 2011 2018"), "2 8 33.799999 120.000000 37.799999 ");
    EXPECT_EQ(Bus("3 4 1 AXIS0003 AXIS0006 AXISLAST"), "13.700000 20.100000 36.800000 ");
    EXPECT_EQ(Bus("3 4 1 AXIS0011"), "refused");
    EXPECT_EQ(Bus("3 4 1 AXIS0"), "refused");
    // 1029 runs along the whole chain.
    Bus("3 5 2 1029 7");
    EXPECT_EQ(Bus("3 4 3 1029"), "7 ");

    TlstParams axles;
    std::string mes = "3 15 1";
    ASSERT_EQ(rec.bus.Send(mes, &axles), 1);
    std::string names;
    for (auto* n = axles.First(); n; n = n->next) names += n->value.name + " ";
    EXPECT_EQ(names, "2014 1022 1023 -1 -2 -3 -4 2014 1022 1023 -5 -6 -7 -8 2009 2011 2010 2013 2012 1020 2002 2015 2016 2017 ");
    EXPECT_NEAR(VarToDouble(axles.First()->next->next->next->value.value), 1.2, 1e-9);

    // Wind resistance from a given list, and from the operator's answer when there is none.
    TlstParams wind;
    for (auto [n, v] : {std::pair{"2001", 90.0}, {"2002", 0.0}, {"2003", 10.0}, {"2004", 20.0}, {"2011", 100.0}})
        wind.Append(TObjParam(n, v));
    mes = "3 16 1";
    ASSERT_EQ(rec.bus.Send(mes, &wind), 1);
    EXPECT_NEAR(AtofC(mes.c_str()), 17.8 / (293.0 * 100) * 100 * 2, 1e-5);
    ASSERT_EQ(wind.Length(), 1u);
    EXPECT_EQ(wind.First()->value.name, "2012");
    TScriptedReceiver weather;
    weather.On("5 1 2001 2003 2004", "90 10 20");
    rec.bus.SetReceiver(5, weather.AsHandler());
    EXPECT_NEAR(AtofC(Bus("3 4 1 2012").c_str()), 17.8 / (293.0 * 120) * 100 * 2, 1e-5);

    EXPECT_THROW(Bus("3 14 " + (scratch / "none.txt").string()), Exception);
    WriteCp1251(scratch / "bad.txt", "Полувагон 4с 80 1.0\nНеизвестный 4с 1 1\n");
    EXPECT_THROW(Bus("3 14 " + (scratch / "bad.txt").string()), Exception);
    EXPECT_EQ(Bus("3 4 4 1015"), "0 ");
    EXPECT_EQ(Bus("3 4 5 1015"), "refused");  // no half-built car

    // A cut line may name itself before its number.
    WriteCp1251(scratch / "cuts.txt", "Цистерна 2с 20 1.0\n=Отцеп 7\nЦистерна 2с 20 1.0\n= 8\n");
    EXPECT_EQ(Bus("3 14 " + (scratch / "cuts.txt").string()), "5");
    EXPECT_EQ(Bus("3 4 5 1021"), "7 ");
    EXPECT_EQ(Bus("3 4 6 1021"), "8 ");
}

// A computed parameter is worked out once per object and query, and a query's reply list holds
// its answer only.
TEST_F(TTecn, QueriesAskOnceAndAnswerInAnEmptiedList)
{
    TScriptedReceiver weather;
    weather.On("5 1 2001 2003 2004", "90 10 20");
    rec.bus.SetReceiver(5, weather.AsHandler());
    WriteCp1251(scratch / "s.txt", "Цистерна 2с 20 1.0\nЦистерна 2с 20 1.0\n=3\n");
    Bus("3 14 " + (scratch / "s.txt").string());
    EXPECT_EQ(Bus("3 10 2012 0"), "refused");
    EXPECT_EQ(weather.received.size(), 2u);  // once for each of the two cars

    TlstParams list;
    list.Append(TObjParam("2002", 7.0));
    std::string mes = "3 4 1 2002 9998";
    EXPECT_EQ(rec.bus.Send(mes, &list), 0);
    EXPECT_EQ(list.Length(), 0u);
    list.Append(TObjParam("2002", 7.0));
    mes = "3 4 9 2002";
    EXPECT_EQ(rec.bus.Send(mes, &list), 0);
    EXPECT_EQ(list.Length(), 0u);
    mes = "3 4 1 2002";
    EXPECT_EQ(rec.bus.Send(mes, &list), 1);
    ASSERT_EQ(list.Length(), 1u);
    EXPECT_EQ(list.First()->value.name, "2002");
}

TEST_F(TTecn, CouplingUncouplingAndSplitTalkToThePlan)
{
    EXPECT_EQ(Bus("3 18 2001 17"), "1");            // locomotive 1
    EXPECT_EQ(Bus("3 6 2 1008 1"), "2");            // object 2 names it
    plan.On("1 14 2 1", "1.01");
    EXPECT_EQ(Bus("3 8 2"), "refused");
    EXPECT_EQ(Bus("3 4 2 1017"), "0 ");
    plan = TScriptedReceiver();
    plan.On("1 14 2 1", "1.0");
    plan.On("1 12 1", "22 100.5");
    rec.bus.SetReceiver(brPlan, plan.AsHandler());
    EXPECT_EQ(Bus("3 8 2"), "3 8 2");
    EXPECT_EQ(plan.received, (std::vector<std::string>{"1 14 2 1", "1 7 2", "1 34 1 1"}));
    EXPECT_EQ(Bus("3 4 1 1018 2018"), "2 32.000000 ");
    plan.received.clear();
    EXPECT_EQ(Bus("3 9 1"), "2");
    EXPECT_EQ(plan.received, (std::vector<std::string>{"1 12 1 0", "1 34 1 1", "1 6 22 2 100.500000 0"}));
    EXPECT_EQ(Bus("3 9 1"), "refused");
    EXPECT_EQ(instructor.received, std::vector<std::string>{"0 4 18 МЛ1"});

    // Split a composition of three after its second car. Its first car is chained behind object 2,
    // the last object of the list, as the composition reader does.
    WriteCp1251(scratch / "s.txt", "Цистерна 2с 20 1.0\nЦистерна 2с 20 1.0\nЦистерна 2с 20 1.0\n");
    std::string first = Bus("3 14 " + (scratch / "s.txt").string());
    plan.received.clear();
    plan.On("1 12 " + first, "21 50");
    EXPECT_EQ(Bus("3 17 " + first + " 0"), "refused");
    EXPECT_EQ(Bus("3 17 " + first + " 2"), std::to_string(std::stoi(first) + 2));
    EXPECT_EQ(plan.received.back(), "1 6 21 " + std::to_string(std::stoi(first) + 2) + " 50.000000 1");
}

TEST_F(TTecn, ExecutorCommands)
{
    Bus("3 6 2");
    Events();
    EXPECT_EQ(Bus("3 24 5"), "1");
    EXPECT_EQ(Bus("3 24 0 4"), "1");
    EXPECT_EQ(Bus("3 22 1 3"), "3 22 1 3");
    EXPECT_EQ(Events(), "4 0.000 1 5\n");
    EXPECT_EQ(Bus("3 24 5"), "0");
    EXPECT_EQ(Bus("3 20 1 3"), "Сигналист СП3");
    EXPECT_EQ(Bus("3 25 1 (EXECNAME 3)"), "Сигналист СП3");
    Bus("3 6 2");
    Events();
    EXPECT_EQ(Bus("3 23 1 3 9"), "refused");
    Bus("3 23 1 3 2");
    EXPECT_EQ(Events(), "5 0.000 1 5\n4 0.000 2 5\n");
    Bus("3 21 2 3");
    Events();
    EXPECT_EQ(Pool(), "1 2 6 8 12 14 5 ");
    // A requirement with preferred executor 14 takes 14, not the first "Путь ОП".
    Bus("3 5 1 200 1");
    TTecnObject* o = model.FindObject(1);
    model.StartWork(o, 202);
    model.Process(5);
    EXPECT_EQ(Events(), "4 5.000 1 14\n");
    // Its duration does not scan ((GET 9999) fails): it ends at the next step.
    model.Process(6);
    EXPECT_EQ(Events(), "5 6.000 1 14\n");
    // A work whose duration raises an error raises it once and is dropped, its executor back.
    model.StartWork(o, 203);
    EXPECT_THROW(model.Process(7), Exception);
    EXPECT_EQ(Events(), "4 7.000 1 1\n5 7.000 1 1\n");
    EXPECT_NO_THROW(model.Process(8));
    EXPECT_EQ(Bus("3 4 1 203"), "0 ");
}
