// The interface commands on the panel library's own elements.
#include "TrainerFixture.h"
#include "app/dialogues/ElectroMechanic.h"
#include "app/dialogues/ChannelWindows.h"
#include "app/dialogues/MovementOrders.h"
#include "panel/Connection.h"
#include "panel/EC_Ampermeter.h"
#include "panel/EC_Button.h"
#include "panel/EC_Cell.h"
#include "panel/EC_ComutatorButton.h"
#include "panel/EC_Lamp.h"
#include "panel/EC_Section.h"
#include "panel/EC_Signal.h"
#include "panel/EC_Switch.h"
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
    TComboBox* buttons = Window<TfmElectroMex>("fmElectroMex")->cbButtons;
    ASSERT_EQ(buttons->Items().Count(), 1);
    EXPECT_EQ(buttons->Items()[0], "ВСП1");

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
    EXPECT_EQ(manevr->Caption(), "МЛ1->Маневровий зв'язок");
    EXPECT_EQ(static_cast<TChannelWindow*>(manevr)->mMessage->Lines()[0], "Їду на 3П");
    EXPECT_FALSE(Cmd("4 10 ПЛок Їду"));
}

class RealSignalsTest : public TrainerTest {};

TEST_F(RealSignalsTest, AspectsRouteCellsListsAndFrameSwitches)
{
    WriteFile("data/errors.dat", "12 5 0\nНе прийнято виклик %s\n");
    TfmMain* m = Start();
    auto label = [m](const char* name, const char* text) {
        auto* l = Place<TLabel>(m, name);
        l->SetCaption(text);
        return l;
    };
    auto* cell = Place<TMRC_Cell>(m, "C1");
    auto* s101 = Place<TEC_Signal>(m, "Sig101");
    s101->Id = 101;
    s101->SetType(sgWRG);
    s101->SigLabel = label("Label1", "Н");
    s101->Cell = cell;
    auto* s111 = Place<TEC_Signal>(m, "Sig111");
    s111->Id = 111;
    s111->SigLabel = label("Label2", "Ч1");
    auto* s112 = Place<TEC_Signal>(m, "Sig112");
    s112->Id = 112;
    s112->SigLabel = label("Label3", "Н");
    Place<TEC_Signal>(m, "Sig150")->Id = 150;  // no label: not in the lists
    auto* frame = new TFrame(m);
    frame->SetName("Frame11");
    (new TEC_Switch(frame))->Id = 1;
    (new TEC_Lamp(frame))->Id = 10;
    (new TEC_Lamp(frame))->Id = 11;
    m->FirstActivation();

    ASSERT_EQ(m->Signals.Count(), 4u);
    ASSERT_EQ(m->Switches.Count(), 1u);
    EXPECT_EQ(m->Lamps.Count(), 2u);
    TfmTrainMove* trainMove = Window<TfmTrainMove>("fmTrainMove");
    EXPECT_EQ(trainMove->cbToSignal->Items().Count(), 3);
    ASSERT_EQ(trainMove->SignalIds.Count(), 3u);
    EXPECT_EQ(*trainMove->SignalIds.Get(0), 101);
    EXPECT_EQ(*trainMove->SignalIds.Get(1), 112);
    EXPECT_EQ(*trainMove->SignalIds.Get(2), 111);

    std::string mes = "4 7 101 5";
    EXPECT_TRUE(SendTrainerMessage(mes));
    EXPECT_EQ(s101->State(), 5);
    EXPECT_EQ(m->EC_Bliper->Interval(), 700);
    mes = "4 7 101 9";
    EXPECT_FALSE(SendTrainerMessage(mes));
    EXPECT_EQ(s101->State(), 5);

    cell->SetState(csWhite);
    mes = "4 30 101 1";
    EXPECT_TRUE(SendTrainerMessage(mes));
    EXPECT_EQ(cell->State(), csGreen);
    mes = "4 30 101 0";
    EXPECT_TRUE(SendTrainerMessage(mes));
    EXPECT_EQ(cell->State(), csWhite);
}
