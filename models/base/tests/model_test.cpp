// Model base: Init, the clock, commands 1-3 over the bus, nested sends through the router.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>

#include "models/base/BusRouter.h"
#include "models/base/Model.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

namespace {

// A model that records the order of its start-up calls and counts its data lines.
class TRecordingModel : public TModel {
    VELO_CLASS(TRecordingModel, TModel)
public:
    using TModel::TModel;
    void InitState() override { calls += "InitState;"; }
    void Read(std::FILE* f) override
    {
        calls += "Read;";
        std::string line;
        int r;
        while ((r = ReadDataLine(f, line, "*")) != -1) lines += r == 1;
    }
    void Synchronization(double t) override { seen = {SysTime(), DeltaT(), t}; }
    std::string calls;
    int lines = 0;
    std::vector<double> seen;
};

// Answers [5 4 n] with "n*2" after asking receiver 1 for parameter 1001 (a nested request).
class TAskingModel : public TModel {
public:
    using TModel::TModel;
    int fnGetModelMessage(std::string& mes, TlstParams*) override
    {
        int r, c, n;
        if (SScanf(mes.c_str(), "%d%d%d", &r, &c, &n) != 3 || c != 4) return 0;
        std::string ask = "1 1 1001";
        if (!SendMessageA(ask)) return 0;
        mes = std::to_string(n * 2) + " " + ask;
        return 1;
    }
};

std::string MessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(no exception)";
}

} // namespace

TEST(TModel, InitReadsTheFileAfterInitState)
{
    TRecordingModel m;
    m.SetName("PlanModel");
    m.Init();
    EXPECT_EQ(m.calls, "InitState;");

    m.calls.clear();
    m.FileName = "data\\no-such-file.dat";
    EXPECT_EQ(MessageOf([&] { m.Init(); }), "Не могу загрузить файл данных для модели PlanModel: data\\no-such-file.dat");
    EXPECT_EQ(m.calls, "InitState;");

    namespace fs = std::filesystem;
    fs::path dir = fs::path(testing::TempDir()) / "velo_model";
    fs::create_directories(dir / "data");
    std::ofstream(dir / "data" / "plan.dat") << "* comment\n1 2 3\n\n4 5 6\n";
    m.calls.clear();
    m.FileName = (dir / "DATA").string() + "\\Plan.dat";
    m.Init();
    EXPECT_EQ(m.calls, "InitState;Read;");
    EXPECT_EQ(m.lines, 2);
}

TEST(TModel, ProcessSetsTimeBeforeSynchronization)
{
    TRecordingModel m;
    m.Process(9);
    m.Process(10);
    EXPECT_EQ(m.seen, (std::vector<double>{10, 1, 10}));
}

TEST(TModel, GetSetStoreOverTheBus)
{
    TModel m;
    m.AddParam("2001", "15");
    m.AddParam("3003", "abc");
    m.AddParam("1001", "7");
    TBusRouter bus;
    bus.Attach(brPlan, &m);

    std::string mes = "1 1 2001 3003";
    TlstParams lst;
    EXPECT_EQ(bus.Send(mes, &lst), 1);
    EXPECT_EQ(mes, "15.000000 abc ");
    ASSERT_EQ(lst.Length(), 2u);
    EXPECT_EQ(lst.First()->value.name, "2001");

    mes = "1 1";
    EXPECT_EQ(bus.Send(mes), 0);
    EXPECT_EQ(mes, "1 1");

    // A missing name refuses with the buffer unchanged, also for integer and floating names;
    // entries already added to the list stay.
    for (const char* ask : {"1 1 1001 3999", "1 1 1001 1999", "1 1 1001 2999"}) {
        mes = ask;
        TlstParams partial;
        EXPECT_EQ(bus.Send(mes, &partial), 0) << ask;
        EXPECT_EQ(mes, ask);
        EXPECT_EQ(partial.Length(), 1u);
    }

    mes = "1 2 2001 5 2002";
    EXPECT_EQ(bus.Send(mes), 1);
    EXPECT_EQ(mes, "1 2 2001 5 2002");
    EXPECT_EQ(std::get<double>(m.GetModelParam("2001")), 5.0);
    EXPECT_EQ(std::get<std::string>(m.GetModelParam("2002")), "");

    mes = "1 2";
    EXPECT_EQ(bus.Send(mes), 0);

    mes = "1 3 3005 abc";
    EXPECT_EQ(bus.Send(mes), 1);
    mes = "1 3 3005 xyz";
    EXPECT_EQ(bus.Send(mes), 0);
    EXPECT_EQ(mes, "1 3 3005 xyz");
    EXPECT_EQ(std::get<std::string>(m.GetModelParam("3005")), "abc");
    mes = "1 3 3006";
    EXPECT_EQ(bus.Send(mes), 0);

    mes = "1 77 1";
    EXPECT_EQ(bus.Send(mes), 0);
    EXPECT_EQ(mes, "1 77 1");
}

TEST(TModel, CommaInAValueComesBackAsAPoint)
{
    TModel m;
    m.AddParam("3001", "1,5");
    std::string mes = "0 1 3001";
    EXPECT_EQ(m.fnGetMessage(mes, nullptr), 1);
    EXPECT_EQ(mes, "1.5 ");
}

TEST(TModel, SendWithoutHandlerReturnsZero)
{
    TModel m;
    std::string mes = "4 7 1 2";
    EXPECT_EQ(m.SendMessageA(mes), 0);
    EXPECT_EQ(mes, "4 7 1 2");
}

TEST(TBusRouter, NestedRequestWhileHandlingAnother)
{
    TModel plan;
    plan.AddParam("1001", "21");
    TAskingModel asker;
    TBusRouter bus;
    bus.Attach(brPlan, &plan);
    bus.Attach(3, &asker);

    std::string mes = "3 4 5";
    EXPECT_EQ(bus.Send(mes), 1);
    EXPECT_EQ(mes, "10 21 ");
    ASSERT_EQ(bus.log.size(), 2u);
    EXPECT_EQ(bus.log[0].request, "3 4 5");
    EXPECT_EQ(bus.log[0].depth, 0);
    EXPECT_EQ(bus.log[1].request, "1 1 1001");
    EXPECT_EQ(bus.log[1].reply, "21 ");
    EXPECT_EQ(bus.log[1].depth, 1);

    // A full log drops its older half before the next outside message; nested records still get
    // their own replies.
    bus.logLimit = 4;
    for (int i = 0; i < 3; ++i) {
        mes = "3 4 5";
        bus.Send(mes);
    }
    ASSERT_EQ(bus.log.size(), 4u);
    EXPECT_EQ(bus.log[2].request, "3 4 5");
    EXPECT_EQ(bus.log[2].reply, "10 21 ");
    EXPECT_EQ(bus.log[3].reply, "21 ");
}

TEST(TBusRouter, UnknownReceiversGoToTheFallback)
{
    TBusRouter bus;
    std::string mes = "5 1 2001 2003 2004";
    EXPECT_EQ(bus.Send(mes), 0);
    bus.SetFallback([](std::string& m, TlstParams*) {
        if (m.rfind("7 ", 0) == 0) return 0;  // the operator leaves the answer empty
        m = "1.0 2.0 3.0";
        return 1;
    });
    EXPECT_EQ(bus.Send(mes), 1);
    EXPECT_EQ(mes, "1.0 2.0 3.0");
    mes = "7 1";
    EXPECT_EQ(bus.Send(mes), 0);

    TScriptedReceiver plan;
    plan.On("1 6 12", "1 ");
    plan.On("1 6", nullptr, 0);
    bus.SetReceiver(1, plan.AsHandler());
    mes = "1  6 12 3";
    EXPECT_EQ(bus.Send(mes), 1);
    EXPECT_EQ(mes, "1 ");
    mes = "1 6 120";
    EXPECT_EQ(bus.Send(mes), 0);
    EXPECT_EQ(mes, "1 6 120");
    EXPECT_EQ(plan.received.size(), 2u);
}

TEST(TModel, SetOfAnUnknownNameCreatesNothingAndStoreNeverOverwrites)
{
    TModel m;
    m.AddParam("1005", "5");
    std::string mes = "1 2 9999 1";
    EXPECT_EQ(m.fnGetMessage(mes, nullptr), 1);
    EXPECT_EQ(m.Params().Find("9999"), nullptr);
    mes = "1 3 1005 7";
    EXPECT_EQ(m.fnGetMessage(mes, nullptr), 0);
    EXPECT_EQ(std::get<int32_t>(m.GetModelParam("1005")), 5);
}

TEST(TModel, RepliesUseAPointUnderACommaLocale)
{
    if (!std::setlocale(LC_ALL, "uk_UA.UTF-8")) GTEST_SKIP() << "no uk_UA.UTF-8 locale on this machine";
    TModel m;
    m.AddParam("2001", "15.5");
    std::string mes = "1 1 2001";
    EXPECT_EQ(m.fnGetMessage(mes, nullptr), 1);
    EXPECT_EQ(mes, "15.500000 ");
    mes = "1 2 2001 2.25";
    m.fnGetMessage(mes, nullptr);
    EXPECT_DOUBLE_EQ(std::get<double>(m.GetModelParam("2001")), 2.25);
    std::setlocale(LC_ALL, "C");
}

TEST(TaDevices, StepsDevicesInIndexOrder)
{
    struct Dev : TDevice {
        Dev(std::vector<std::pair<int, double>>* l, int i) : log(l), id(i) {}
        void Step(double t) override { log->push_back({id, t}); }
        std::vector<std::pair<int, double>>* log;
        int id;
    };
    std::vector<std::pair<int, double>> log;
    Dev a(&log, 1), b(&log, 2), c(&log, 3);
    TaDevices devices;
    devices.Add(&a);
    devices.Add(&b);
    devices.Add(&c);
    devices.Synchronization(5);
    EXPECT_EQ(log, (std::vector<std::pair<int, double>>{{1, 5}, {2, 5}, {3, 5}}));
}
