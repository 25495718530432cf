// The main loop: the one-second tick with its model steps and answer deadlines, the blink
// timer, the clock's start and pause, and ticks that must not re-enter the models.
#include <QCoreApplication>
#include <QTimer>
#include <QtTest/QTest>

#include "TrainerFixture.h"
#include "app/UtilityWindows.h"
#include "models/base/Model.h"
#include "panel/EC_Button.h"

namespace {

// A model that notes every step: its name and the time it was given.
class TStepModel : public TModel {
public:
    TStepModel(TComponent* owner, std::string n, std::vector<std::string>& l) : TModel(owner), name(std::move(n)), log(l) {}
    void Synchronization(double t) override
    {
        log.push_back(name + "@" + std::to_string(static_cast<int>(t)));
        if (OnStep) OnStep();
    }
    std::function<void()> OnStep;

private:
    std::string name;
    std::vector<std::string>& log;
};

} // namespace

class MainLoopTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        WriteFile("data/errors.dat", "12 5 0\nНе прийнято виклик %s\n");
        m = Start();
        cell = AddElement<TTestCell>(m, "Cell7", 7);
        sig = AddElement<TTestSignal>(m, "Sig101", 101, "Н");
        lamp = AddElement<TTestLamp>(m, "EC_Lamp4", 4);
        pointer = AddElement<TTestRoutePointer>(m, "RP1", 1);
        key = AddElement<TTestKey>(m, "Key1", "СП3");
        bar = AddElement<TTestStatusBar>(m, "TrenagerStatusBar");
        bar->OnChangeTemp = [this](TObject* s) { m->TrenagerStatusBarChangeTemp(s); };
        fencing = AddElement<TEC_Button>(m, "EC_Button55");
        m->FirstActivation();
        first = new TStepModel(m, "A", steps);
        second = new TStepModel(m, "B", steps);
        m->Models.Add(first);
        m->Models.Add(second);
        m->Bus.recording = true;
    }

    bool Cmd(const std::string& text)
    {
        std::string mes = text;
        return Send(mes);
    }

    TfmMain* m = nullptr;
    TTestCell* cell = nullptr;
    TTestSignal* sig = nullptr;
    TTestLamp* lamp = nullptr;
    TTestRoutePointer* pointer = nullptr;
    TTestKey* key = nullptr;
    TTestStatusBar* bar = nullptr;
    TEC_Button* fencing = nullptr;
    TStepModel* first = nullptr;
    TStepModel* second = nullptr;
    std::vector<std::string> steps;
};

TEST_F(MainLoopTest, SixtyTicksAtSpeedTwentyAreSixtySecondsForEveryModelInOrder)
{
    bar->SetTemp(20);
    EXPECT_EQ(m->MainTimer->Interval(), 50);
    for (int i = 0; i < 60; ++i) m->MainTimer->Tick();

    EXPECT_EQ(m->ModelTime, 60.0);
    EXPECT_EQ(bar->Seconds, 60u);
    for (unsigned i = 0; i < m->Models.Count(); ++i) EXPECT_EQ((*m->Models.Get(i))->SysTime(), 60.0);
    ASSERT_EQ(steps.size(), 120u);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(steps[2 * i], "A@" + std::to_string(i + 1));
        EXPECT_EQ(steps[2 * i + 1], "B@" + std::to_string(i + 1));
    }

    bar->SetTemp(3);
    EXPECT_EQ(m->MainTimer->Interval(), 333);
    bar->SetTemp(0);
    EXPECT_EQ(m->MainTimer->Interval(), 0);
    EXPECT_TRUE(m->ClockStopped());

    // The real timer at speed 20 ticks several times in a fraction of a second; at 0 it rests.
    bar->SetTemp(20);
    const double before = m->ModelTime;
    EXPECT_TRUE(QTest::qWaitFor([&] { return m->ModelTime >= before + 3; }, 10000));
    bar->SetTemp(0);
    double after = m->ModelTime;
    EXPECT_GE(after, before + 3);
    QTest::qWait(150);
    EXPECT_EQ(m->ModelTime, after);
}

TEST_F(MainLoopTest, ACallNotTakenInNinetySecondsIsAnError)
{
    m->ModelTime = 100;
    EXPECT_TRUE(Cmd("4 9 СП3 0 Поїзд 2001"));
    m->Bus.ClearLog();
    for (int i = 0; i < 89; ++i) m->MainTimer->Tick();
    EXPECT_EQ(key->KeyState, 1);
    EXPECT_TRUE(m->Bus.Requests(brInstructor).empty());

    m->MainTimer->Tick();
    EXPECT_EQ(m->ModelTime, 190.0);
    EXPECT_EQ(key->KeyState, 0);
    EXPECT_EQ(m->Bus.Requests(brInstructor), std::vector<std::string>{"0 4 12 СП3"});
    ASSERT_EQ(fmError->ListBox->Items().Count(), 1);
    EXPECT_EQ(fmError->ListBox->Items()[0], "00:03 5 балов - Не прийнято виклик СП3");
    EXPECT_EQ(bar->Count, 1);

    m->MainTimer->Tick();
    EXPECT_EQ(bar->Count, 1);
}

TEST_F(MainLoopTest, TheBlinkTimerStopsOnTheTickAfterTheLastBlinkingElement)
{
    EXPECT_TRUE(Cmd("4 20 7 5"));
    EXPECT_EQ(m->EC_Bliper->Interval(), 700);
    EXPECT_TRUE(Cmd("4 16 4 2"));
    m->EC_Bliper->Tick();
    m->EC_Bliper->Tick();
    EXPECT_EQ(cell->Phases, (std::vector<int>{1, 0}));
    EXPECT_EQ(lamp->Phases, (std::vector<int>{1, 0}));
    EXPECT_EQ(sig->Blips, 2);

    // The fencing button held down keeps the lamps lit; the cell goes on blinking.
    fencing->SetDown(true);
    m->EC_Bliper->Tick();
    m->EC_Bliper->Tick();
    EXPECT_EQ(cell->Phases, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(lamp->Phases, (std::vector<int>{1, 0, 1, 1}));
    fencing->SetDown(false);

    EXPECT_TRUE(Cmd("4 20 7 1"));
    EXPECT_TRUE(Cmd("4 16 4 1"));
    EXPECT_TRUE(Cmd("4 31 1 4"));
    m->EC_Bliper->Tick();
    EXPECT_EQ(m->EC_Bliper->Interval(), 700) << "the route pointer still blinks";
    EXPECT_TRUE(Cmd("4 31 1 2"));
    m->EC_Bliper->Tick();
    EXPECT_EQ(m->EC_Bliper->Interval(), 0);
}

TEST_F(MainLoopTest, BlinkingGoesOnUnderTheModalPauseWindow)
{
    EXPECT_TRUE(Cmd("4 20 7 5"));
    QTimer::singleShot(0, [&] {
        m->EC_Bliper->Tick();
        m->EC_Bliper->Tick();
        fmPusk->btPusk->Click();
    });
    m->PauseClock();
    EXPECT_EQ(cell->Phases, (std::vector<int>{1, 0}));
}

TEST_F(MainLoopTest, TheMenuItemStartsAndThePauseWindowResumes)
{
    m->N35Click(m->N35);
    EXPECT_EQ(m->N35->Caption(), "Пауза");
    EXPECT_EQ(m->MainTimer->Interval(), 1000);
    bar->SetTemp(5);
    EXPECT_EQ(m->N35->Caption(), "Пауза");

    // Pause: speed 0 and the pause window, whose "Пуск" sends [4 28] and closes.
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        wasModal = fmPusk->Modal();
        EXPECT_TRUE(m->ClockStopped());
        EXPECT_EQ(m->N35->Caption(), "Пуск");
        fmPusk->btPusk->Click();
    });
    m->N35Click(m->N35);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(fmPusk->Visible());
    EXPECT_EQ(bar->Speed, 1u);
    EXPECT_EQ(m->N35->Caption(), "Пауза");
}

TEST_F(MainLoopTest, NoTickReentersTheModelsAndExitFromANestedLoopEndsCleanly)
{
    bar->SetTemp(20);
    // At the third step a model pauses the clock: the pause window runs inside the tick.
    int nestedTicks = 0;
    first->OnStep = [&] {
        if (m->ModelTime != 3) return;
        QTimer::singleShot(0, [&] {
            // Neither the running timers nor a tick run by hand step the models now.
            QTest::qWait(120);
            m->MainTimer->Tick();
            m->EC_Bliper->Tick();
            nestedTicks = static_cast<int>(m->ModelTime);
            fmPusk->Button1->Click();
        });
        std::string mes = "4 29";
        m->MessageDispatcher(first, mes, nullptr);
    };
    for (int i = 0; i < 3; ++i) m->MainTimer->Tick();
    EXPECT_EQ(nestedTicks, 3);
    EXPECT_EQ(m->ModelTime, 3.0);
    EXPECT_EQ(steps.size(), 6u);
    EXPECT_FALSE(fmPusk->Visible());
    EXPECT_FALSE(m->Visible());

    // The quit reached every running loop; let the application take it so later tests run.
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
}
