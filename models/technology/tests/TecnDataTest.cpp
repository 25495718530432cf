// The technology and car files as the technology model reads them, and its executors.
#include <gtest/gtest.h>

#include <random>

#include "models/technology/tests/TecnFixture.h"
#include "platform/core/Exception.h"

using namespace tecn_test;

namespace {

std::string ErrorOf(TTecnModel& m, const TScratch& s, const std::string& text)
{
    try {
        ReadTecnText(m, s, text);
    } catch (const Exception& e) {
        return e.Message;
    }
    return "";
}

} // namespace

// The sample station's files load through the real model.
TEST(TecnData, SampleStationLoads)
{
    fs::path previous = fs::current_path();
    fs::current_path(fs::path(VELO_SOURCE_DIR) / "station");
    TTecnModel m;
    m.FileName = "DATA\\Tecnology.dat";
    EXPECT_NO_THROW(m.Init());
    fs::current_path(previous);

    EXPECT_EQ(m.TaWorkTemplates.Count(), 9u);
    // Every function a transition names is defined.
    for (unsigned i = 0; i < m.TaAutomats.Count(); ++i) {
        const TAutomat* a = m.TaAutomats.Get(i);
        for (unsigned k = 0; k < a->States.Count(); ++k)
            for (const TAutomatFunction& f : *a->States.Get(k))
                for (int n : {f.Condition, f.Action}) {
                    if (n != 0) {
                        EXPECT_NE(m.FindFunction(n), nullptr) << "type " << a->Type << ": " << n;
                    }
                }
    }
    ASSERT_EQ(m.TaAutomats.Count(), 15u);
    ASSERT_EQ(m.TaCarDef.Count(), 3u);
    std::string states;
    for (unsigned i = 0; i < m.TaAutomats.Count(); ++i)
        states += std::to_string(m.TaAutomats.Get(i)->Type) + ":" + std::to_string(m.TaAutomats.Get(i)->States.Count()) + " ";
    EXPECT_EQ(states, "1:5 7:5 3:5 5:5 6:5 12:5 11:5 9:5 10:5 2:5 20:2 21:3 22:3 23:2 30:2 ");

    // Work 202: no executor, a random duration, one condition, its own signal.
    const TWorkTemplate* w = m.FindWork(202);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Signal, 202u);
    EXPECT_EQ(w->Duration, "(+ 240 (* 120 (RND)))");
    ASSERT_EQ(w->Conditions.size(), 1u);
    EXPECT_EQ(m.FindWork(201)->Requirements.at(0).Prefer[0], 8);
    // The inspection of the departure park ends with the signal of the receiving park's.
    ASSERT_NE(m.FindWork(207), nullptr);
    EXPECT_EQ(m.FindWork(207)->Signal, 206u);

    // Type 1, state 2: the departure "143 5 3 28 202" after the standing reports ("121 0 s 4").
    const TAutomat* a = m.FindAutomat(1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Defaults[0].name, "1025");
    const TAutomatString& s2 = *a->States.Get(2);
    const TAutomatFunction* dep = nullptr;
    for (const TAutomatFunction& f : s2)
        if (f.Command == 143) dep = &f;
    ASSERT_NE(dep, nullptr);
    EXPECT_EQ(dep->Condition, 5);
    EXPECT_EQ(dep->Target, 3);
    EXPECT_EQ(dep->Action, 28);
    EXPECT_EQ(dep->Start, std::vector<int>{202});
    EXPECT_EQ(s2[0].Target, -1);
    // Type 22, the train locomotive: its kind, one transition to state 1.
    const TAutomat* loco = m.FindAutomat(22);
    ASSERT_NE(loco, nullptr);
    EXPECT_EQ(loco->Defaults[0].name, "1001");
    EXPECT_EQ(loco->States.Get(0)->at(0).Target, 1);
    EXPECT_EQ(loco->States.Get(1)->size(), 9u);

    const TCarDef* car = m.CarDefAt(m.FindCarDef("Цистерна", 4));
    ASSERT_NE(car, nullptr);
    EXPECT_EQ(m.FindCarDef("Цистерна", 4), 2u);
    EXPECT_NEAR(car->Length, 14.1, 1e-9);
    EXPECT_NEAR(car->Axis[2], 10.95, 1e-9);
    EXPECT_FLOAT_EQ(car->C[3], 0.70f);
    EXPECT_EQ(m.FindCarDef("Цистерна", 6), 0u);
}

TEST(TecnData, CarRecords)
{
    TScratch s;
    TTecnModel m;
    auto load = [&](const std::string& text) {
        WriteCp1251(s / "cars.dat", text);
        m.ReadCars((s / "cars.dat").string());
        return m.TaCarDef.Count();
    };
    const std::string two = "А\n1 2 3 4 5 6\n1.2 2.0 10.5 2.0 1.2\nБ\n1 1 1 1 1 1\n1 2 1\n";
    EXPECT_EQ(load(two), 2u);
    EXPECT_EQ(load(two + "В\n"), 2u);
    const TCarDef* a = m.CarDefAt(1);
    EXPECT_EQ(a->Axles, 4);
    EXPECT_NEAR(a->Length, 16.9, 1e-9);
    EXPECT_NEAR(a->Axis[0], 1.2, 1e-9);
    EXPECT_NEAR(a->Axis[1], 3.2, 1e-9);
    EXPECT_NEAR(a->Axis[2], 13.7, 1e-9);
    EXPECT_NEAR(a->Axis[3], 15.7, 1e-9);
    EXPECT_EQ(load("А\n"), 0u);
    m.ReadCars((s / "missing.dat").string());
    EXPECT_EQ(m.TaCarDef.Count(), 0u);

    std::string many = "Длинный\n1 1 1 1 1 1\n";
    for (int i = 0; i < 34; ++i) many += "1 ";
    try {
        load(many + "\n");
        FAIL() << "more than 32 axles loaded";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message.find("cars.dat, строка 3: "), std::string::npos) << e.Message;
    }
}

TEST(TecnData, TransitionsAndKeyErrors)
{
    TScratch s;
    TTecnModel m;
    ReadTecnText(m, s,
                 "Работы\nФункции\nОбъекты\nОбъект\n1\nСостояние\n0 0 1 0 5 7\n12 3 s 0 | 5\n1 2 3\n");
    const TAutomatString& st = *m.FindAutomat(1)->States.Get(0);
    ASSERT_EQ(st.size(), 3u);
    EXPECT_EQ(st[0].Command, 0);
    EXPECT_EQ(st[0].Condition, 0);
    EXPECT_EQ(st[0].Target, 1);
    EXPECT_EQ(st[0].Action, 0);
    EXPECT_EQ(st[0].Start, (std::vector<int>{5, 7}));
    EXPECT_TRUE(st[0].Cancel.empty());
    EXPECT_EQ(st[1].Target, -1);
    EXPECT_EQ(st[1].Condition, 3);
    EXPECT_EQ(st[1].Cancel, std::vector<int>{5});
    // A line without its action reads action 9999 (raised only when it fires).
    EXPECT_EQ(st[2].Action, 9999);

    const std::string key = "Ошибка в исходном файле. Неизвестный ключ ";
    TTecnModel m2, m3, m4, m5;
    EXPECT_EQ(ErrorOf(m2, s, "Работы\nРабота\n201\nВремя\n30\n"), key + "EOF");
    EXPECT_EQ(ErrorOf(m3, s, "Работы\nФункции\nОбъекты\nОбъект\n1\nСостояние\n 5 0 1 0\n"), key + " 5 0 1 0");
    EXPECT_EQ(ErrorOf(m4, s, "Работы\nФункции\nОбъекты\nОбъект\n1\nСостояние\n-5 0 1 0\n"), key + "-5 0 1 0");
    EXPECT_EQ(ErrorOf(m5, s, "Работы\nФункции\nЛишнее\n"), key + "секции Лишнее");
    // Ending in the functions section leaves no automata.
    TTecnModel m6;
    EXPECT_EQ(ErrorOf(m6, s, "Работы\nФункции\nФункция\n1\n(TRUE)\n"), "");
    EXPECT_EQ(m6.TaAutomats.Count(), 0u);
    EXPECT_EQ(m6.FindFunction(1)->Body.First()->value, "(TRUE)");
}

TEST(TecnExecutors, SkillsAndTable)
{
    TExecutor e;
    e.SetScill("3 7");
    EXPECT_TRUE(e.CanExec(3));
    EXPECT_TRUE(e.CanExec(7));
    EXPECT_TRUE(e.CanExec(0));
    EXPECT_FALSE(e.CanExec(4));
    // Assigning tables copies the executors: each table owns its own.
    TExecutors a, b;
    e.Number = 5;
    a.Set(4, e);
    b = a;
    EXPECT_EQ(b[4]->Number, 5);
    EXPECT_NE(b[4], a[4]);
    EXPECT_EQ(a[20], nullptr);
}

// Truncated and garbled copies of the sample files either load or raise the model's error.
TEST(TecnData, MutatedFilesNeverCrash)
{
    TScratch s;
    auto slurp = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string tecn = slurp(fs::path(VELO_SOURCE_DIR) / "station/data/Tecnology.dat");
    const std::string cars = slurp(fs::path(VELO_SOURCE_DIR) / "station/data/cars.dat");
    std::mt19937 rng(24);
    const char junk[] = " \n|s9-*\xd0\x9e";
    for (int i = 0; i < 300; ++i) {
        std::string t = i % 2 ? tecn : cars;
        std::uniform_int_distribution<size_t> pos(0, t.size() - 1);
        if (i % 3 == 0) t.resize(pos(rng));
        for (int k = 0; k < 1 + i % 7; ++k)
            if (!t.empty()) t[pos(rng) % t.size()] = junk[rng() % (sizeof junk - 1)];
        TTecnModel m;
        std::ofstream(s / "f.dat", std::ios::binary) << t;
        try {
            if (i % 2) {
                std::FILE* f = std::fopen((s / "f.dat").c_str(), "r");
                try {
                    m.Read(f);
                } catch (...) {
                    std::fclose(f);
                    throw;
                }
                std::fclose(f);
            } else {
                m.ReadCars((s / "f.dat").string());
            }
        } catch (const Exception&) {
        }
    }
}
