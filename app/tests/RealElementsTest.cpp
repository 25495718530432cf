// The interface commands on the panel library's own lamps, buttons, ammeter and status bar.
#include "TrainerFixture.h"
#include "panel/EC_Ampermeter.h"
#include "panel/EC_Button.h"
#include "panel/EC_Lamp.h"
#include "panel/TrenagerStatusBar.h"

namespace {
template <class T>
T* Place(TfmMain* m, const std::string& name)
{
    T* e = new T(m);
    e->SetName(name);
    e->SetParent(m);
    return e;
}
} // namespace

class RealElementsTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        WriteFile("data/errors.dat", "12 5 0\nНе прийнято виклик %s\n");
        m = Start();
        lamp = Place<TEC_Lamp>(m, "EC_Lamp26");
        lamp->Id = 15;
        buttonLamp = Place<TEC_ButtonLamp>(m, "EC_ButtonLamp1");
        buttonLamp->Id = 15;
        sealed = Place<TEC_PlButton>(m, "EC_PlButton1");
        sealed->ButtonName = "ВСП1";
        ammeter = Place<TEC_Amper>(m, "EC_Amper1");
        bar = Place<TTrenagerStatusBar>(m, "TrenagerStatusBar");
        bar->OnChangeTemp = [this](TObject* s) { m->TrenagerStatusBarChangeTemp(s); };
        m->FirstActivation();
    }

    bool Cmd(const std::string& text)
    {
        std::string mes = text;
        return Send(mes);
    }

    TfmMain* m = nullptr;
    TEC_Lamp* lamp = nullptr;
    TEC_ButtonLamp* buttonLamp = nullptr;
    TEC_PlButton* sealed = nullptr;
    TEC_Amper* ammeter = nullptr;
    TTrenagerStatusBar* bar = nullptr;
};

TEST_F(RealElementsTest, LampsButtonsAndTheAmmeter)
{
    ASSERT_EQ(m->Lamps.Count(), 1u);
    ASSERT_EQ(m->ButtonLamps.Count(), 1u);

    EXPECT_TRUE(Cmd("4 16 15 2 2"));
    EXPECT_EQ(lamp->GetState(), 2);
    EXPECT_EQ(lamp->Color(), clYellow);
    EXPECT_EQ(sound->Log, (std::vector<std::string>{"beep 700 500"}));
    EXPECT_EQ(m->EC_Bliper->Interval(), 700);
    EXPECT_TRUE(Cmd("4 16 15 1 0"));
    EXPECT_EQ(lamp->GetState(), 1);
    EXPECT_EQ(lamp->Color(), clRed);

    EXPECT_TRUE(Cmd("4 17 15 1 1"));
    EXPECT_EQ(buttonLamp->LampColor, clbGreen);
    EXPECT_EQ(buttonLamp->State(), 1);

    EXPECT_TRUE(sealed->Plombed());
    EXPECT_TRUE(Cmd("4 15 ВСП1 0"));
    EXPECT_FALSE(sealed->Plombed());
    ASSERT_EQ(fmElectroMex->cbButtons->Items().Count(), 1);
    EXPECT_EQ(fmElectroMex->cbButtons->Items()[0], "ВСП1");

    EXPECT_TRUE(Cmd("4 14 1"));
    EXPECT_TRUE(ammeter->TimerRunning());
}

TEST_F(RealElementsTest, TheStatusBarCountsErrorsAndRunsTheClock)
{
    EXPECT_TRUE(Cmd("4 6 5 0 00:01 5 балов - Текст"));
    EXPECT_EQ(bar->ErrorCount(), 1u);
    EXPECT_EQ(bar->WeightSum(), 5u);

    EXPECT_TRUE(m->ClockStopped());
    EXPECT_TRUE(Cmd("4 28"));
    EXPECT_EQ(bar->Temp(), 1u);
    EXPECT_EQ(m->MainTimer->Interval(), 1000);
    EXPECT_EQ(m->N35->Caption(), "Пауза");
    bar->SetTemp(4);
    EXPECT_EQ(m->MainTimer->Interval(), 250);
    EXPECT_EQ(m->N35->Caption(), "Пауза");
}
