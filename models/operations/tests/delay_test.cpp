// Delay model: queueing timed bus messages and sending them at the step that reaches their time.
// Delivered messages go to receiver 4 here, a scripted main window that records them.
#include <gtest/gtest.h>

#include "models/base/BusRouter.h"
#include "models/operations/DelayModel.h"
#include "platform/core/Exception.h"

namespace {

class DelayTest : public testing::Test {
protected:
    void SetUp() override
    {
        delay.SetName("DelayModel");
        bus.Attach(brDelay, &delay);
        window.On("", nullptr, 1);
        bus.SetReceiver(brInterface, window.AsHandler());
    }

    int Add(const std::string& request)
    {
        std::string mes = request;
        int r = bus.Send(mes);
        EXPECT_EQ(mes, request) << "the request is not answered with a reply";
        return r;
    }
    // Steps the model once and returns what it sent.
    std::vector<std::string> Step(float t)
    {
        window.received.clear();
        delay.Process(t);
        return window.received;
    }

    using Sent = std::vector<std::string>;
    TDelayModel delay;
    TBusRouter bus;
    TScriptedReceiver window;
};

} // namespace

TEST_F(DelayTest, SendsOnceAtTheFirstStepThatReachesTheDueTime)
{
    delay.Process(0);
    EXPECT_EQ(Add("8 4 100.0 4 33 Поезд  прибыл "), 1);
    EXPECT_EQ(Add("8 4 100.5 4 28"), 1);
    EXPECT_EQ(Step(99), Sent{});
    EXPECT_EQ(Step(100), Sent{"4 33 Поезд  прибыл"});
    EXPECT_EQ(Step(101), Sent{"4 28"});
    EXPECT_EQ(Step(102), Sent{});
}

TEST_F(DelayTest, DeliveryOrderFollowsDueTimeThenLastAddedFirst)
{
    delay.Process(0);
    Add("8 4 90 4 33 девяносто");
    Add("8 4 60 4 33 шестьдесят");
    std::vector<std::pair<float, std::string>> seen;
    for (int t = 1; t <= 100; ++t)
        for (const auto& m : Step(static_cast<float>(t))) seen.emplace_back(static_cast<float>(t), m);
    EXPECT_EQ(seen, (std::vector<std::pair<float, std::string>>{{60.f, "4 33 шестьдесят"},
                                                                 {90.f, "4 33 девяносто"}}));

    Add("8 4 200 4 33 A");
    Add("8 4 150 4 33 C");
    Add("8 4 200 4 33 B");
    Add("8 4 250 4 33 D");
    EXPECT_EQ(Step(300), (Sent{"4 33 C", "4 33 B", "4 33 A", "4 33 D"}));
}

TEST_F(DelayTest, RefusesPastTimesBadTimesAndEmptyMessages)
{
    delay.Process(60);
    EXPECT_EQ(Add("8 4 50 4 33 поздно"), 0);
    EXPECT_EQ(Add("8 4 59.5 4 33 поздно"), 0);
    EXPECT_EQ(Add("8 4 100"), 0);
    EXPECT_EQ(Add("8 4 100   "), 0);
    EXPECT_EQ(Add("8 4 скоро 4 33 нет"), 0);
    // A time that is no number would hold back the whole queue.
    EXPECT_EQ(Add("8 4 nan 4 33 нет"), 0);
    EXPECT_EQ(Add("8 4 inf 4 33 нет"), 0);
    EXPECT_EQ(Add("8 4"), 0);
    EXPECT_EQ(Add("8 5 100 4 33 нет"), 0);
    // A due time equal to the model time is accepted and goes out at the next step.
    EXPECT_EQ(Add("8 4 60 4 33 сейчас"), 1);
    EXPECT_EQ(Step(61), Sent{"4 33 сейчас"});
    EXPECT_EQ(Step(1000), Sent{});
}

TEST_F(DelayTest, TaskQueuedByADeliveryBehindTheNextOneGoesOutInTheSamePass)
{
    delay.Process(100);
    Add("8 4 100 4 33 Y");
    Add("8 4 100 4 33 X");
    window.On("4 33 X", nullptr, 1);
    bus.SetReceiver(brInterface, [&](std::string& mes, TlstParams* lst) {
        if (mes == "4 33 X") {
            std::string task = "8 4 101 4 33 Z";
            bus.Send(task);
        }
        return window(mes, lst);
    });
    EXPECT_EQ(Step(101), (Sent{"4 33 X", "4 33 Y", "4 33 Z"}));
    EXPECT_EQ(Step(102), Sent{});
}

TEST_F(DelayTest, TaskQueuedByADeliveryAheadOfTheNextOneWaitsForTheNextStep)
{
    delay.Process(99);
    Add("8 4 100 4 33 B");
    Add("8 4 100 4 33 A");
    bus.SetReceiver(brInterface, [&](std::string& mes, TlstParams* lst) {
        if (mes == "4 33 A") {
            std::string task = "8 4 100 4 33 C";
            EXPECT_EQ(bus.Send(task), 1);
        }
        return window(mes, lst);
    });
    EXPECT_EQ(Step(100), (Sent{"4 33 A", "4 33 B"}));
    EXPECT_EQ(Step(101), Sent{"4 33 C"});
}

TEST_F(DelayTest, FailedDeliveryIsNotRepeated)
{
    delay.Process(0);
    Add("8 4 100 4 33 after");
    Add("8 4 100 4 6 10 1 00:01 10 балов - fatal");
    bus.SetReceiver(brInterface, [&](std::string& mes, TlstParams* lst) -> int {
        window(mes, lst);
        if (mes.rfind("4 6 ", 0) == 0) throw Exception("fatal");
        return 1;
    });
    window.received.clear();
    EXPECT_THROW(delay.Process(100), Exception);
    EXPECT_EQ(window.received, Sent{"4 6 10 1 00:01 10 балов - fatal"});
    // The step that failed is over; the next step sends what was left, and only that.
    EXPECT_EQ(Step(101), Sent{"4 33 after"});
    EXPECT_EQ(Step(102), Sent{});
}

TEST_F(DelayTest, StepNestedInADeliverySendsNothingTwice)
{
    // A delivery that opens a modal window lets the clock tick inside it.
    delay.Process(0);
    Add("8 4 101 4 33 Z");
    Add("8 4 100 4 33 Y");
    Add("8 4 100 4 33 X");
    bus.SetReceiver(brInterface, [&](std::string& mes, TlstParams* lst) {
        if (mes == "4 33 X") delay.Process(101);
        return window(mes, lst);
    });
    EXPECT_EQ(Step(100), (Sent{"4 33 X", "4 33 Y"}));
    EXPECT_EQ(Step(102), Sent{"4 33 Z"});
    EXPECT_EQ(Step(103), Sent{});
}

TEST_F(DelayTest, MessagesGoToAnyReceiver)
{
    TScriptedReceiver tecn;
    tecn.On("3 14", "1", 1);
    bus.SetReceiver(brTecn, tecn.AsHandler());
    delay.Process(0);
    Add("8 4 30600.000000 3 14 510 1025");
    Step(30599);
    EXPECT_TRUE(tecn.received.empty());
    Step(30600);
    EXPECT_EQ(tecn.received, Sent{"3 14 510 1025"});
}
