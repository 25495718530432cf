// The interface commands on the panel library's own elements.
#include "TrainerFixture.h"
#include "panel/Connection.h"
#include "panel/EC_Ampermeter.h"
#include "panel/EC_Button.h"
#include "panel/EC_Cell.h"
#include "panel/EC_ComutatorButton.h"
#include "panel/EC_Lamp.h"
#include "panel/EC_Section.h"
#include "panel/EC_Speaker.h"
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
        // Section 201: variant 0 is cell C1, variant 1 cell C2.
        c1 = Place<TMRC_Cell>(m, "C1");
        c2 = Place<TMRC_Cell>(m, "C2");
        c2->Id = 7;
        section = Place<TEC_Section>(m, "EC_Section1");
        section->ID = 201;
        TStringList l0, l1;
        l0.Add("C1");
        l1.Add("C2");
        section->SetItems(0, l0);
        section->SetItems(1, l1);
        pointer = Place<TMRC_RoutePointer>(m, "RP1");
        pointer->Id = 1;
        peregon1 = Place<TEC_Peregon>(m, "EC_Peregon1");
        block2 = Place<TEC_Block>(m, "EC_Block2");
        key = Place<TEC_ComutatorButton>(m, "EC_ComutatorButton1");
        key->SetCaption("СП3");
        auto* connection = new TConnection(m);
        connection->SetName("Connection");
        connection->CompanionArray().Companion(0).ExecName = "Сигналист";
        connection->CompanionArray().Companion(0).Canal = "fmGromk";
        connection->CompanionArray().Companion(1).ExecName = "МЛ1";
        connection->CompanionArray().Companion(1).Canal = "fmManevr";
        speaker = new TEC_Speaker(m);
        speaker->SetName("EC_Speaker");
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
    TMRC_Cell* c1 = nullptr;
    TMRC_Cell* c2 = nullptr;
    TEC_Section* section = nullptr;
    TMRC_RoutePointer* pointer = nullptr;
    TEC_Peregon* peregon1 = nullptr;
    TEC_Block* block2 = nullptr;
    TEC_ComutatorButton* key = nullptr;
    TEC_Speaker* speaker = nullptr;
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

TEST_F(RealElementsTest, SectionsCellsPointersAndIndicators)
{
    ASSERT_EQ(m->Cells.Count(), 2u);
    ASSERT_EQ(m->Sections.Count(), 1u);
    EXPECT_TRUE(Cmd("4 8 201 1 1"));
    EXPECT_EQ(c1->State(), csFree);
    EXPECT_EQ(c2->State(), csWhite);
    EXPECT_TRUE(Cmd("4 8 201 0 2"));
    EXPECT_EQ(c1->State(), csRed);
    EXPECT_EQ(c2->State(), csFree);
    EXPECT_FALSE(Cmd("4 8 201 0 3"));
    EXPECT_EQ(c1->State(), csRed);

    EXPECT_TRUE(Cmd("4 20 7 4"));
    EXPECT_EQ(c2->State(), csRedWhite);

    EXPECT_TRUE(Cmd("4 31 1 4"));
    EXPECT_EQ(pointer->State(), rpsGreenBlink);
    EXPECT_EQ(m->EC_Bliper->Interval(), 700);

    EXPECT_TRUE(Cmd("4 12 1 1"));
    EXPECT_TRUE(peregon1->State());
    EXPECT_TRUE(Cmd("4 13 2 1"));
    EXPECT_TRUE(block2->State());
    EXPECT_FALSE(Cmd("4 13 1 1"));
}

TEST_F(RealElementsTest, ACallRingsTheKeyAndTheSpeakerQueuesPhrases)
{
    ASSERT_EQ(m->Keys.Count(), 1u);
    m->ModelTime = 100;
    EXPECT_TRUE(Cmd("4 9 СП3 1 Поїзд 2001 прибуває"));
    EXPECT_EQ(key->State(), 1);
    EXPECT_EQ(key->Deadline, 190.0f);
    EXPECT_TRUE(key->FirstCallback && key->SecondCallback);
    ASSERT_EQ(key->GetMessageA()->Count(), 1);
    EXPECT_EQ((*key->GetMessageA())[0], "Поїзд 2001 прибуває");
    EXPECT_EQ(sound->Log, (std::vector<std::string>{"beep 700 500"}));
    key->FirstCallback();
    EXPECT_EQ(key->Dialog, fmOzhidau);
    EXPECT_TRUE(Cmd("4 32 СП3 остання"));
    EXPECT_EQ(key->LastText, "остання");
    std::string r = "4 26 СП3";
    EXPECT_TRUE(Send(r));
    EXPECT_EQ(r, "1");

    EXPECT_TRUE(Cmd("4 33 поїзд прибуває"));
    ASSERT_EQ(speaker->Queue().size(), 1u);
    EXPECT_EQ(speaker->Queue().front(), "поїзд прибуває");
    // The partner table found its channel windows at the first activation.
    EXPECT_TRUE(Boxes.empty());
    EXPECT_TRUE(Cmd("4 10 МЛ1 Їду на 3П"));
    TForm* manevr = Screen().FindForm("fmManevr");
    EXPECT_TRUE(manevr->Visible());
    EXPECT_EQ(manevr->Caption(), "МЛ1->");
    EXPECT_EQ(static_cast<TChannelForm*>(manevr)->mMessage->Lines()[0], "Їду на 3П");
    EXPECT_FALSE(Cmd("4 10 ПЛок Їду"));
}
