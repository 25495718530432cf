// The ammeter: the needle positions its timer steps through when the motors are switched on and
// off or make one swing, the needle's line, and the needle on the painted dial.
#include <gtest/gtest.h>

#include <QtTest/QTest>

#include <memory>
#include <vector>

#include "panel/EC_Ampermeter.h"
#include "panel/PanelBitmaps.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

const char* const kAmmeterForm = R"(
object fmAmmeter: TForm
  Width = 100
  Height = 100
  object EC_Amper1: TEC_Amper
    Left = 10
    Top = 10
    Interval = 50
  end
end
)";

class Ammeter : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterQtPlatformClasses();
        form = std::make_unique<TForm>();
        LoadFormDefinitionText(form.get(), kAmmeterForm, "Ammeter.vfm", nullptr);
        amper = form->FindChild<TEC_Amper>("EC_Amper1");
        ASSERT_NE(amper, nullptr);
        form->Show();
    }
    // The positions after each of n timer steps.
    std::vector<int> Steps(int n)
    {
        std::vector<int> seen;
        for (int i = 0; i < n; ++i) {
            amper->WMTimer(TEC_Amper::kTimerId);
            seen.push_back(amper->Position());
        }
        return seen;
    }
    void RiseToHold()
    {
        amper->ON();
        Steps(10);
        ASSERT_EQ(amper->Position(), 65);
    }
    static std::vector<int> Range(int from, int to, int by)
    {
        std::vector<int> r;
        for (int p = from; p <= to; p += by) r.push_back(p);
        return r;
    }
    std::unique_ptr<TForm> form;
    TEC_Amper* amper = nullptr;
};

TEST_F(Ammeter, RestsUntilSwitchedOn)
{
    EXPECT_EQ(amper->Interval, 50);
    EXPECT_EQ(amper->Width(), 60);
    EXPECT_EQ(amper->Height(), 60);
    EXPECT_EQ(amper->Position(), 0);
    EXPECT_FALSE(amper->TimerRunning());
    EXPECT_EQ(Steps(2), (std::vector<int>{0, 0}));
    amper->OFF();
    EXPECT_EQ(amper->Position(), 0);
}

TEST_F(Ammeter, OnRisesToTheHoldAndStaysThere)
{
    amper->ON();
    EXPECT_EQ(amper->Position(), 5);
    EXPECT_TRUE(amper->TimerRunning());
    std::vector<int> expected = Range(11, 65, 6);
    expected.push_back(65);
    expected.push_back(65);
    EXPECT_EQ(Steps(12), expected);
    amper->ON(); // already holding
    EXPECT_EQ(amper->Position(), 65);
    EXPECT_TRUE(amper->TimerRunning());
}

TEST_F(Ammeter, OffLetsTheNeedleFallToRest)
{
    RiseToHold();
    amper->OFF();
    EXPECT_EQ(amper->Position(), 66);
    std::vector<int> expected = Range(68, 110, 2);
    expected.push_back(0);
    EXPECT_EQ(Steps(static_cast<int>(expected.size())), expected);
    EXPECT_FALSE(amper->TimerRunning());
}

TEST_F(Ammeter, OffWhileRisingMirrorsThePosition)
{
    amper->ON();
    Steps(5);
    ASSERT_EQ(amper->Position(), 35);
    amper->OFF();
    EXPECT_EQ(amper->Position(), 95);
    EXPECT_EQ(Steps(8), (std::vector<int>{97, 99, 101, 103, 105, 107, 109, 0}));
}

TEST_F(Ammeter, ExecuteSwingsOncePastTheHold)
{
    amper->Execute();
    EXPECT_EQ(amper->Position(), 3);
    std::vector<int> expected = Range(9, 63, 6);
    for (int p : Range(69, 109, 2)) expected.push_back(p);
    expected.push_back(0);
    EXPECT_EQ(Steps(static_cast<int>(expected.size())), expected);
    EXPECT_FALSE(amper->TimerRunning());
}

TEST_F(Ammeter, ExecuteRestartsASwingAndIgnoresAnEarlierOn)
{
    RiseToHold();
    amper->Execute();
    EXPECT_EQ(amper->Position(), 3);
    Steps(10);
    EXPECT_EQ(amper->Position(), 63);
    EXPECT_EQ(Steps(1), std::vector<int>{69});
    amper->Execute();
    EXPECT_EQ(amper->Position(), 3);
}

TEST_F(Ammeter, OnWhileFallingRisesAgainToTheHold)
{
    RiseToHold();
    amper->OFF();
    Steps(3);
    ASSERT_EQ(amper->Position(), 72);
    amper->ON();
    EXPECT_EQ(amper->Position(), 7);
    // 7, 13, ... 61 would pass 65 by six; the needle stops at the hold instead.
    std::vector<int> expected = Range(13, 61, 6);
    expected.push_back(65);
    expected.push_back(65);
    EXPECT_EQ(Steps(static_cast<int>(expected.size())), expected);
    EXPECT_TRUE(amper->TimerRunning());
    // From every falling position.
    for (int falls = 1; falls <= 22; ++falls) {
        amper->OFF();
        Steps(falls);
        if (amper->Position() == 0) break;
        amper->ON();
        Steps(12);
        EXPECT_EQ(amper->Position(), 65) << "after " << falls << " falling steps";
    }
}

TEST_F(Ammeter, NeedleLineFollowsTheAngle)
{
    EXPECT_EQ(AmmeterNeedle(30), QLine(50, 52, 27, 39));
    EXPECT_EQ(AmmeterNeedle(65).p2(), QPoint(28, 36));
    EXPECT_EQ(AmmeterNeedle(95), AmmeterNeedle(15));
    EXPECT_EQ(AmmeterNeedle(0), QLine(50, 54, 23, 54));
}

TEST_F(Ammeter, PaintsTheNeedleWhereItIs)
{
    auto black = [this](int x, int y) { return GrabControl(amper).pixelColor(x, y) == QColor(Qt::black); };
    const QImage dial = FindBitmap("AMPERFREE");
    ASSERT_NE(dial.pixelColor(27, 39), QColor(Qt::black));
    ASSERT_NE(dial.pixelColor(36, 54), QColor(Qt::black));
    EXPECT_TRUE(black(36, 54));  // resting needle
    EXPECT_FALSE(black(27, 39));
    amper->Execute();
    Steps(5); // 33: the needle at 35 degrees
    EXPECT_EQ(amper->Position(), 33);
    const QLine needle = AmmeterNeedle(33);
    EXPECT_TRUE(black(needle.x2(), needle.y2()));
    EXPECT_FALSE(black(36, 54));
}

TEST_F(Ammeter, RunsOnItsOwnTimer)
{
    amper->Interval = 1;
    amper->ON();
    EXPECT_TRUE(QTest::qWaitFor([this] { return amper->Position() == 65; }, 3000));
    amper->OFF();
    EXPECT_TRUE(QTest::qWaitFor([this] { return amper->Position() == 0; }, 3000));
    EXPECT_FALSE(amper->TimerRunning());
}

} // namespace
