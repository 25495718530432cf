// Round panel lamps: states, the blink step and its repaints, and the colour painted at the
// lamp's centre.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>

#include "panel/EC_Lamp.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

const char* const kLampsForm = R"(
object fmLamps: TForm
  Width = 100
  Height = 60
  object EC_Lamp11: TEC_Lamp
    Left = 10
    Top = 10
    Id = 11
  end
  object EC_Lamp26: TEC_Lamp
    Left = 30
    Top = 10
    Id = 26
    Color = clLime
  end
end
)";

// Counts the paints that reach the lamp.
class TCountingLamp : public TEC_Lamp {
public:
    explicit TCountingLamp(TComponent* owner) : TEC_Lamp(owner) {}
    int Paints = 0;

protected:
    void Paint() override
    {
        ++Paints;
        TEC_Lamp::Paint();
    }
};

class Lamps : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterQtPlatformClasses();
        form = std::make_unique<TForm>();
        LoadFormDefinitionText(form.get(), kLampsForm, "Lamps.vfm", nullptr);
        lamp = form->FindChild<TEC_Lamp>("EC_Lamp11");
        ASSERT_NE(lamp, nullptr);
        form->Show();
    }
    QColor Centre(TEC_Lamp* l) { return GrabControl(l).pixelColor(5, 5); }
    // The paints that follow the pending updates.
    static int PaintsAfter(TCountingLamp& l)
    {
        QCoreApplication::processEvents();
        const int n = l.Paints;
        l.Paints = 0;
        return n;
    }
    std::unique_ptr<TForm> form;
    TEC_Lamp* lamp = nullptr;
};

const QColor kSilver(192, 192, 192);

TEST_F(Lamps, StartOffAndYellowUnlessTheFormSaysOtherwise)
{
    EXPECT_EQ(lamp->Id, 11);
    EXPECT_EQ(lamp->Width(), 11);
    EXPECT_EQ(lamp->Height(), 11);
    EXPECT_EQ(lamp->GetState(), 0);
    EXPECT_EQ(lamp->Color(), RGB(255, 255, 0));
    EXPECT_EQ(form->FindChild<TEC_Lamp>("EC_Lamp26")->Color(), clLime);
    EXPECT_EQ(Centre(lamp), kSilver);
}

TEST_F(Lamps, OnOffAndBlinkingInEachColour)
{
    for (TColor colour : {clRed, clGreen, clYellow}) {
        lamp->SetColor(colour);
        lamp->On();
        EXPECT_EQ(Centre(lamp), ToQColor(colour));
        lamp->Off();
        EXPECT_EQ(Centre(lamp), kSilver);
        lamp->Blip();
        EXPECT_EQ(lamp->GetState(), 2);
        const bool startLit = lamp->LitPhase();
        EXPECT_EQ(lamp->BlipLamp(2), 1);
        EXPECT_EQ(Centre(lamp), startLit ? kSilver : ToQColor(colour));
        EXPECT_EQ(lamp->BlipLamp(2), 1);
        EXPECT_EQ(Centre(lamp), startLit ? ToQColor(colour) : kSilver);
        // Phase 1 holds it lit, phase 0 dark.
        EXPECT_EQ(lamp->BlipLamp(1), 1);
        EXPECT_EQ(Centre(lamp), ToQColor(colour));
        EXPECT_EQ(lamp->BlipLamp(0), 1);
        EXPECT_EQ(Centre(lamp), kSilver);
        lamp->Off();
    }
}

TEST_F(Lamps, OnlyABlinkingLampTakesPartInTheBlinkPass)
{
    EXPECT_EQ(lamp->BlipLamp(2), 0);
    lamp->SetState(1);
    EXPECT_EQ(lamp->BlipLamp(2), 0);
    EXPECT_EQ(lamp->BlipLamp(1), 0);
    EXPECT_EQ(Centre(lamp), QColor(255, 255, 0));
    // A state the lamp does not know shows it dark and keeps it out of the pass.
    lamp->SetState(7);
    EXPECT_EQ(lamp->BlipLamp(2), 0);
    EXPECT_EQ(Centre(lamp), kSilver);
}

TEST_F(Lamps, RepaintsOnlyWhatChanged)
{
    TCountingLamp counting(form.get());
    counting.SetParent(form.get());
    counting.SetLeft(60);
    counting.Show();
    PaintsAfter(counting);

    counting.SetState(2);
    EXPECT_EQ(PaintsAfter(counting), 1);
    counting.SetState(2);
    EXPECT_EQ(PaintsAfter(counting), 0);
    // Holding lit: the first call lights it, the second finds it lit already.
    EXPECT_EQ(counting.BlipLamp(1), 1);
    EXPECT_EQ(PaintsAfter(counting), 1);
    EXPECT_EQ(counting.BlipLamp(1), 1);
    EXPECT_EQ(PaintsAfter(counting), 0);
    EXPECT_TRUE(counting.ShowsLit());
    EXPECT_EQ(counting.BlipLamp(0), 1);
    EXPECT_EQ(PaintsAfter(counting), 1);
    EXPECT_FALSE(counting.ShowsLit());
    EXPECT_EQ(counting.BlipLamp(2), 1);
    EXPECT_EQ(PaintsAfter(counting), 1);
    EXPECT_TRUE(counting.ShowsLit());
}

} // namespace
