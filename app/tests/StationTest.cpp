// The main window on the real models and the real panel elements of a small station: route
// buttons pressed as the panel handlers send them, the interlocking's answers shown on the panel.
#include <fstream>

#include "TrainerFixture.h"
#include "app/dialogues/MovementOrders.h"
#include "panel/EC_Ampermeter.h"
#include "panel/EC_Cell.h"
#include "panel/EC_Lamp.h"
#include "panel/EC_Signal.h"

namespace {

void CopyFixture(const std::string& name)
{
    std::filesystem::copy_file(std::filesystem::path(VELO_TEST_DIR) / "fixtures" / "station" / name,
                               std::filesystem::path("data") / name);
}

} // namespace

class StationTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        CopyFixture("plan.dat");
        CopyFixture("breakers.dat");
        CopyFixture("EC_Model.dat");
        WriteFile("data/errors.dat", "12 5 0\nНе прийнято виклик %s\n");
        CreateTrainerWindows([] { return new TfmMain(VELO_TEST_DIR "/forms/Station.vfm"); });
        m = fmMain;
        m->ShowStartDialog = [] {};
        m->FormActivate(m);
    }

    // One second of model time for every model, in the form's order.
    void Tick()
    {
        m->ModelTime += 1;
        for (unsigned i = 0; i < m->Models.Count(); ++i) (*m->Models.Get(i))->Process(static_cast<float>(m->ModelTime));
    }

    bool Cmd(const std::string& text)
    {
        std::string mes = text;
        return SendTrainerMessage(mes);
    }

    template <class T>
    T* Get(const std::string& name)
    {
        return m->FindChild<T>(name);
    }

    TfmMain* m = nullptr;
};

TEST_F(StationTest, StartsOnTheModels)
{
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(m->Models.Count(), 4u);
    EXPECT_EQ(m->Signals.Count(), 4u);
    EXPECT_EQ(m->Sections.Count(), 6u);
    EXPECT_EQ(m->Cells.Count(), 8u);
    EXPECT_EQ(m->Lamps.Count(), 8u);
    EXPECT_FALSE(m->ForeheadPanel);
    ASSERT_EQ(Window<TfmManevrMove>("fmManevrMove")->cbToSignal->Items().Count(), 4);
}

TEST_F(StationTest, ATrainRouteOpensItsSignalOnThePanel)
{
    Tick();
    EXPECT_TRUE(Cmd("2 5 101 1"));
    // The start signal's route cell and the pointer of the direction are lit while the route is
    // being set.
    EXPECT_EQ(Get<TMRC_Cell>("C14")->State(), csGreen);
    EXPECT_EQ(Get<TMRC_RoutePointer>("RP1")->State(), rpsGreen);
    Cmd("2 5 113 1");
    EXPECT_EQ(Get<TEC_Lamp>("EC_Lamp12")->GetState(), 1);
    EXPECT_TRUE(Get<TEC_Amper>("EC_Amper1")->TimerRunning());
    auto* signal = Get<TEC_Signal>("Sig101");
    for (int i = 0; i < 10 && signal->State() != 3; ++i) Tick();
    EXPECT_EQ(signal->State(), 3);
    // The route over the minus branch of switch 1 is locked white.
    EXPECT_EQ(Get<TMRC_Cell>("C17")->State(), csWhite);
    EXPECT_EQ(Get<TMRC_Cell>("C11")->State(), csFree);
    EXPECT_EQ(Get<TMRC_Cell>("C13")->State(), csWhite);
    EXPECT_EQ(Get<TMRC_Cell>("C15")->State(), csWhite);
    EXPECT_EQ(Get<TEC_Lamp>("EC_Lamp12")->GetState(), 0);
    EXPECT_EQ(Get<TMRC_Cell>("C14")->State(), csWhite);
    EXPECT_EQ(Get<TMRC_RoutePointer>("RP1")->State(), rpsFree);
    // The opened route is logged with the clock.
    bool logged = false;
    for (int i = 0; i < fmConsole->Memo1->Lines().Count(); ++i)
        logged = logged || fmConsole->Memo1->Lines()[i].find("14 101 113 1") != std::string::npos;
    EXPECT_TRUE(logged);
}
