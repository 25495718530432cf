// The trainer's status bar: the tempo and its clicks, the model clock with its blinking colon,
// the error counter and the queue of error texts shown one after another.
#include <gtest/gtest.h>

#include <QtTest/QTest>

#include <memory>

#include "panel/TrenagerStatusBar.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

const char* const kBarForm = R"(
object fmMain: TForm
  Width = 1400
  Height = 80
  object TrenagerStatusBar: TTrenagerStatusBar
    Delay = 20
    MaxTemp = 20
    OnChangeTemp = TrenagerStatusBarChangeTemp
  end
end
)";

class StatusBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterQtPlatformClasses();
        form = std::make_unique<TForm>();
        form->Handlers().Add("TrenagerStatusBarChangeTemp", TNotifyEvent([this](TObject* s) {
            ++changes;
            // What the main window does with it: the main timer's period.
            auto* b = static_cast<TTrenagerStatusBar*>(s);
            interval = b->Temp() == 0 ? 0 : 1000 / static_cast<int>(b->Temp());
        }));
        LoadFormDefinitionText(form.get(), kBarForm, "Main.vfm", &form->Handlers());
        bar = form->FindChild<TTrenagerStatusBar>("TrenagerStatusBar");
        ASSERT_NE(bar, nullptr);
        form->Show();
    }
    void Click(int x) { bar->DispatchMouseDown(mbLeft, {}, x, 5); }
    std::string Text(int panel) { return bar->Panels(panel).Text; }
    void RunTo(unsigned clock)
    {
        while (bar->Clock() < clock) bar->Process(1);
    }
    std::unique_ptr<TForm> form;
    TTrenagerStatusBar* bar = nullptr;
    int changes = 0;
    int interval = -1;
};

TEST_F(StatusBar, StartsStoppedWithSevenPanels)
{
    EXPECT_EQ(bar->Delay, 20);
    EXPECT_EQ(bar->MaxTemp, 20);
    ASSERT_EQ(bar->PanelCount(), 7);
    const int widths[] = {15, 90, 15, 40, 140, 900, 10};
    const char* texts[] = {"<", "Зупинено", ">", "", "Кількість помилок - 0/0", " ", " "};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(bar->Panels(i).Width, widths[i]) << i;
        EXPECT_EQ(Text(i), texts[i]) << i;
    }
    EXPECT_EQ(bar->Temp(), 0u);
    EXPECT_TRUE(bar->IsStoped());
    for (int x : {5, 20, 115, 300}) Click(x);
    EXPECT_EQ(bar->Temp(), 0u);
    EXPECT_EQ(changes, 0);
}

TEST_F(StatusBar, SetTempClampsShowsAndFires)
{
    bar->SetTemp(50);
    EXPECT_EQ(bar->Temp(), 20u);
    EXPECT_EQ(Text(1), "Темп 1:20");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(interval, 50);
    EXPECT_EQ(bar->Separator(), ":");
    bar->SetTemp(0);
    EXPECT_TRUE(bar->IsStoped());
    EXPECT_EQ(Text(1), "Зупинено");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(interval, 0);
}

TEST_F(StatusBar, ClicksChangeTheTempoWithinItsBounds)
{
    bar->SetTemp(5);
    changes = 0;
    Click(5);
    EXPECT_EQ(bar->Temp(), 4u);
    Click(20);
    EXPECT_EQ(bar->Temp(), 1u);
    Click(20);
    EXPECT_EQ(bar->Temp(), 20u);
    Click(115);
    EXPECT_EQ(bar->Temp(), 20u);
    EXPECT_EQ(changes, 4);
    // Borders and beyond the three panels: nothing.
    for (int x : {15, 105, 120, 300}) Click(x);
    EXPECT_EQ(changes, 4);
    // "<" at 1 stays at 1 but still fires.
    bar->SetTemp(1);
    changes = 0;
    Click(3);
    EXPECT_EQ(bar->Temp(), 1u);
    EXPECT_EQ(changes, 1);
    Click(110);
    EXPECT_EQ(bar->Temp(), 2u);
    // The toggle is clamped to a lower bound too.
    bar->MaxTemp = 10;
    bar->SetTemp(1);
    Click(60);
    EXPECT_EQ(bar->Temp(), 10u);
}

TEST_F(StatusBar, ClicksReachTheBarThroughTheMouse)
{
    bar->SetTemp(3);
    QTest::mouseClick(bar->Widget(), Qt::RightButton, {}, QPoint(117, 5));
    EXPECT_EQ(bar->Temp(), 4u);
    QTest::mouseClick(bar->Widget(), Qt::LeftButton, {}, QPoint(7, 5));
    EXPECT_EQ(bar->Temp(), 3u);
}

TEST_F(StatusBar, ClockShowsHoursAndMinutesWithABlinkingColon)
{
    bar->Process(3725);
    EXPECT_EQ(bar->Clock(), 3725u);
    EXPECT_EQ(Text(3), "01  02");
    EXPECT_EQ(bar->Separator(), ":");
    bar->Process(1);
    EXPECT_EQ(bar->Separator(), " ");
    bar->SetTemp(1); // always shows the colon
    EXPECT_EQ(bar->Separator(), ":");
    bar->Process(10 * 3600 + 15 * 60 - 3726);
    EXPECT_EQ(Text(3), "10  15");
    bar->Process(100 * 3600); // hours go on past a day
    EXPECT_EQ(Text(3), "110  15");
}

TEST_F(StatusBar, ErrorTextsComeOneAfterAnother)
{
    RunTo(10);
    bar->FixError("перша", 2);
    bar->FixError("друга", 3);
    bar->FixError("третя", 5);
    EXPECT_EQ(bar->ErrorCount(), 3u);
    EXPECT_EQ(bar->WeightSum(), 10u);
    EXPECT_EQ(Text(4), "Кількість помилок - 3/10");
    EXPECT_EQ(bar->Color(), clFuchsia);
    EXPECT_EQ(Text(5), " ");
    bar->Process(0); // the clock must pass the due time
    EXPECT_EQ(Text(5), " ");
    bar->Process(1);
    EXPECT_EQ(Text(5), "перша");
    RunTo(31);
    EXPECT_EQ(Text(5), "перша");
    bar->Process(1);
    EXPECT_EQ(Text(5), "друга");
    RunTo(52);
    EXPECT_EQ(Text(5), "друга");
    bar->Process(1);
    EXPECT_EQ(Text(5), "третя");
    RunTo(73);
    EXPECT_EQ(bar->Color(), clFuchsia);
    bar->Process(1);
    EXPECT_EQ(Text(5), "");
    EXPECT_EQ(bar->Color(), clBtnFace);
    EXPECT_EQ(bar->QueuedTexts(), 0u);
    // Counted for the whole exercise.
    bar->FixError("четверта", 1);
    EXPECT_EQ(Text(4), "Кількість помилок - 4/11");
    bar->Process(1);
    EXPECT_EQ(Text(5), "четверта");
}

TEST_F(StatusBar, ErrorFixedBeforeTheFirstTickShowsAtIt)
{
    bar->FixError("до початку", 1);
    EXPECT_EQ(bar->QueuedTexts(), 1u);
    bar->Process(0);
    EXPECT_EQ(Text(5), " ");
    bar->Process(1);
    EXPECT_EQ(Text(5), "до початку");
    RunTo(21);
    EXPECT_EQ(bar->Color(), clFuchsia);
    bar->Process(1);
    EXPECT_EQ(bar->Color(), clBtnFace);
}

TEST_F(StatusBar, EveryCountAndSumFitsItsPanel)
{
    TCanvas c;
    c.Font = bar->Font();
    auto fits = [&](int panel) { return 2 + c.TextWidth(Text(panel)) + 2 <= bar->Panels(panel).Width; };
    for (int i = 0; i < 4; ++i) bar->FixError("помилка", i == 0 ? 2 : 3);
    EXPECT_EQ(Text(4), "Кількість помилок - 4/11");
    EXPECT_TRUE(fits(4));
    for (int i = 0; i < 1200; ++i) bar->FixError("помилка", 100);
    EXPECT_EQ(Text(4), "Кількість помилок - 1204/120011");
    EXPECT_TRUE(fits(4));
    // The panels after it move right; the tempo, its clicks and the clock keep their places.
    bar->SetTemp(20);
    bar->Process(99 * 3600 + 59 * 60);
    for (int panel : {1, 3}) EXPECT_TRUE(fits(panel)) << Text(panel);
    EXPECT_EQ(bar->Panels(1).Width, 90);
    Click(5);
    EXPECT_EQ(bar->Temp(), 19u);
}

TEST_F(StatusBar, PaintsTheBarInFuchsiaWhileTextsAreQueued)
{
    // Inside the error-text panel, clear of its bevel and text.
    const int x = 15 + 90 + 15 + 40 + 140 + 600, y = 10;
    const QColor normal = GrabControl(bar).pixelColor(x, y);
    EXPECT_NE(normal, QColor(255, 0, 255));
    bar->FixError("помилка", 1);
    EXPECT_EQ(GrabControl(bar).pixelColor(x, y), QColor(255, 0, 255));
    // The shown text is drawn in the error panel.
    bar->Process(1);
    const QImage img = GrabControl(bar);
    auto darkIn = [&img](int x0, int x1, int y0, int y1) {
        for (int px = x0; px < x1; ++px)
            for (int py = y0; py < y1; ++py)
                if (img.pixelColor(px, py).lightness() < 100) return true;
        return false;
    };
    // Clear of the panel's bevel.
    const int top = 4, bottom = bar->Height() - 2;
    EXPECT_TRUE(darkIn(303, 360, top, bottom));
    EXPECT_FALSE(darkIn(700, 760, top, bottom));
    RunTo(22);
    EXPECT_EQ(GrabControl(bar).pixelColor(x, y), normal);
}

} // namespace
