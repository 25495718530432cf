// The bus hub: delivery by receiver, the message window, the operator's answer, the model event
// log with its hump follow-up, and the interface commands of receiver 4 on stand-in elements.
#include "TrainerFixture.h"
#include "models/base/BusRouter.h"

class DispatcherTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        WriteFile("data/errors.dat", "12 5 0\nНе прийнято виклик %s\n13 0 1\nАварія %s\n");
        WriteFile("data/SwitchSt.dat", "2 3 15 Секция 15\n");
        m = Start();
        sig = AddElement<TTestSignal>(m, "Sig101", 101, "Н");
        cell = AddElement<TTestCell>(m, "Cell7", 7);
        section = AddElement<TTestSection>(m, "EC_Section1", 201);
        lamp = AddElement<TTestLamp>(m, "EC_Lamp15", 15);
        buttonLamp = AddElement<TTestButtonLamp>(m, "BL15", 15);
        pointer = AddElement<TTestRoutePointer>(m, "RP1", 1);
        key = AddElement<TTestKey>(m, "Key1", "СП3");
        bar = AddElement<TTestStatusBar>(m, "TrenagerStatusBar");
        bar->OnChangeTemp = [this](TObject* s) { m->TrenagerStatusBarChangeTemp(s); };
        connection = AddElement<TTestConnection>(m, "Connection");
        speaker = AddElement<TTestSpeaker>(m, "EC_Speaker");
        ammeter = AddElement<TTestAmmeter>(m, "EC_Amper1");
        peregon2 = AddElement<TTestIndicator>(m, "EC_Peregon2");
        block4 = AddElement<TTestIndicator>(m, "EC_Block4");
        sealed = AddElement<TTestSealedButton>(m, "EC_PlButton1", "ВСП1");
        m->FirstActivation();
        m->Bus.recording = true;
    }

    // The verdict of a message sent as a window sends it; the reply in *reply.
    bool Cmd(const std::string& text, std::string* reply = nullptr)
    {
        std::string mes = text;
        bool r = Send(mes);
        if (reply) *reply = mes;
        return r;
    }

    TfmMain* m = nullptr;
    TTestSignal* sig = nullptr;
    TTestCell* cell = nullptr;
    TTestSection* section = nullptr;
    TTestLamp* lamp = nullptr;
    TTestButtonLamp* buttonLamp = nullptr;
    TTestRoutePointer* pointer = nullptr;
    TTestKey* key = nullptr;
    TTestStatusBar* bar = nullptr;
    TTestConnection* connection = nullptr;
    TTestSpeaker* speaker = nullptr;
    TTestAmmeter* ammeter = nullptr;
    TTestIndicator* peregon2 = nullptr;
    TTestIndicator* block4 = nullptr;
    TTestSealedButton* sealed = nullptr;
};

// ---- delivery ----

TEST_F(DispatcherTest, ReceiversByTheirNumbers)
{
    TScriptedReceiver plan, ec, tecn;
    plan.On("1 13", "7");
    ec.On("2 5", "ok");
    tecn.On("3 24", "1");
    m->Bus.SetReceiver(brPlan, plan.AsHandler());
    m->Bus.SetReceiver(brEC, ec.AsHandler());
    m->Bus.SetReceiver(brTecn, tecn.AsHandler());

    std::string r;
    EXPECT_TRUE(Cmd("1 13 11 1", &r));
    EXPECT_EQ(r, "7");
    EXPECT_TRUE(Cmd("2 5 101 1", &r));
    EXPECT_EQ(r, "ok");
    EXPECT_TRUE(Cmd("3 24 5", &r));
    EXPECT_EQ(r, "1");
    EXPECT_FALSE(Cmd("2 99", &r));
    EXPECT_EQ(r, "2 99");

    // The delay model queues, the instructor model registers (and answers through receiver 4).
    EXPECT_TRUE(Cmd("8 4 100 4 28"));
    EXPECT_FALSE(Cmd("8 4 -5 4 28"));
    m->ModelTime = 3725;
    EXPECT_TRUE(Cmd("0 4 12 СП3"));
    ASSERT_EQ(fmError->ListBox->Items().Count(), 1);
    EXPECT_EQ(fmError->ListBox->Items()[0], "01:02 5 балов - Не прийнято виклик СП3");
    EXPECT_EQ(bar->Count, 1);

    // A text that does not begin with a number goes to receiver 0.
    EXPECT_FALSE(Cmd("СП3 12"));
    EXPECT_TRUE(Prompts.empty());
}

TEST_F(DispatcherTest, AModelReceiverWithoutItsModelRefusesWithoutAskingTheOperator)
{
    // The test window holds no technology, plan or interlocking model.
    std::string r;
    EXPECT_FALSE(Cmd("3 24 5", &r));
    EXPECT_EQ(r, "3 24 5");
    EXPECT_FALSE(Cmd("1 13 11 1"));
    EXPECT_FALSE(Cmd("2 5 101 1"));
    EXPECT_TRUE(Prompts.empty());
}

TEST_F(DispatcherTest, ReceiverSixShowsTheTextInTheMessageWindow)
{
    fmMessage->mMessage->Lines().Add("старе");
    std::string r;
    EXPECT_TRUE(Cmd("6 Привіт, світ ", &r));
    EXPECT_EQ(r, "6 Привіт, світ ");
    ASSERT_EQ(fmMessage->mMessage->Lines().Count(), 1);
    EXPECT_EQ(fmMessage->mMessage->Lines()[0], "Привіт, світ");
    EXPECT_TRUE(fmMessage->Visible());
}

TEST_F(DispatcherTest, OtherReceiversAskTheOperator)
{
    Answer = "1 2 3";
    std::string r;
    EXPECT_TRUE(Cmd("5 1 2001 2003 2004", &r));
    EXPECT_EQ(r, "1 2 3");
    ASSERT_EQ(Prompts.size(), 1u);
    EXPECT_EQ(Prompts[0], "Введите ответ модели|5 1 2001 2003 2004");

    // An answer of any length is the whole reply.
    Answer = std::string(400, '9');
    EXPECT_TRUE(Cmd("7 1", &r));
    EXPECT_EQ(r.size(), 400u);

    Answer = "";
    EXPECT_FALSE(Cmd("5 1 2001", &r));
    EXPECT_EQ(r, "5 1 2001");
    AnswerBox = false;
    Answer = "4";
    EXPECT_FALSE(Cmd("9 1", &r));
    EXPECT_EQ(r, "9 1");
}

// ---- model events ----

TEST_F(DispatcherTest, ModelEventsAreLoggedWithTheClock)
{
    m->ModelTime = 3725.7;
    m->ModelsEvent(nullptr, "1 3725.700 7 11");
    ASSERT_EQ(fmConsole->Memo1->Lines().Count(), 1);
    EXPECT_EQ(fmConsole->Memo1->Lines()[0], "01:02 1 3725.700 7 11");
    EXPECT_TRUE(m->Bus.log.empty());
}

TEST_F(DispatcherTest, AHumpingRouteTellsTheTrainOnItsTrack)
{
    TScriptedReceiver plan, tecn;
    plan.On("1 13 11 1", "7");
    plan.On("1 13 12 1", "0");
    tecn.On("3 5", "1");
    m->Bus.SetReceiver(brPlan, plan.AsHandler());
    m->Bus.SetReceiver(brTecn, tecn.AsHandler());

    m->ModelsEvent(nullptr, "14 171 145 1");
    ASSERT_EQ(plan.received.size(), 1u);
    EXPECT_EQ(plan.received[0], "1 13 11 1");
    ASSERT_EQ(tecn.received.size(), 1u);
    EXPECT_EQ(tecn.received[0], "3 5 7 212 1");

    // No object on the track, another end, another mode, another signal: nothing more.
    m->ModelsEvent(nullptr, "14 172 145 1");
    m->ModelsEvent(nullptr, "14 171 104 1");
    m->ModelsEvent(nullptr, "14 171 145 0");
    m->ModelsEvent(nullptr, "14 177 145 1");
    m->ModelsEvent(nullptr, "13 171 145 1");
    EXPECT_EQ(plan.received.size(), 2u);
    EXPECT_EQ(tecn.received.size(), 1u);
    EXPECT_EQ(fmConsole->Memo1->Lines().Count(), 6);
    EXPECT_EQ(fmConsole->Memo1->Lines()[0], "00:00 14 171 145 1");

    // A look-up the plan refuses sends nothing to the technology model.
    m->Bus.SetReceiver(brPlan, [](std::string&, TlstParams*) { return 0; });
    m->ModelsEvent(nullptr, "14 173 145 1");
    EXPECT_EQ(tecn.received.size(), 1u);
}

// ---- interface commands ----

TEST_F(DispatcherTest, ClockTextsAndTheTimerInterval)
{
    std::string r;
    m->ModelTime = 3725;
    EXPECT_TRUE(Cmd("4 27 1", &r));
    EXPECT_EQ(r, "01:02");
    EXPECT_TRUE(Cmd("4 27 2", &r));
    EXPECT_EQ(r, "1ч 2м");
    EXPECT_TRUE(Cmd("4 27 0", &r));
    EXPECT_EQ(r, "3725.000000");
    m->ModelTime = 3600;
    EXPECT_TRUE(Cmd("4 27 2", &r));
    EXPECT_EQ(r, "1ч");
    EXPECT_FALSE(Cmd("4 27", &r));

    EXPECT_TRUE(Cmd("4 4", &r));
    EXPECT_EQ(r, "0");
    EXPECT_TRUE(Cmd("4 28"));
    EXPECT_EQ(bar->Speed, 1u);
    EXPECT_EQ(m->MainTimer->Interval(), 1000);
    EXPECT_EQ(m->N35->Caption(), "Пауза");
    EXPECT_FALSE(m->ClockStopped());
    EXPECT_TRUE(Cmd("4 5 250"));
    EXPECT_EQ(m->MainTimer->Interval(), 250);
    EXPECT_EQ(bar->Speed, 1u);
    EXPECT_TRUE(Cmd("4 4", &r));
    EXPECT_EQ(r, "250");
    bar->SetTemp(3);
    EXPECT_EQ(m->MainTimer->Interval(), 333);
}

TEST_F(DispatcherTest, UnknownAndShortCommandsAreRefusedUnchanged)
{
    for (const char* text : {"4", "4 1", "4 3", "4 11 1", "4 18", "4 19", "4 21", "4 22", "4 24 1", "4 25", "4 40", "4 x",
                             "4 7 101", "4 8 201 1", "4 30", "4 39"}) {
        std::string r;
        EXPECT_FALSE(Cmd(text, &r)) << text;
        EXPECT_EQ(r, text);
    }
    EXPECT_EQ(sig->Aspect, -1);
    EXPECT_TRUE(section->Calls.empty());
}

TEST_F(DispatcherTest, SignalAspectsBlinkFromFour)
{
    EXPECT_TRUE(Cmd("4 7 101 3"));
    EXPECT_EQ(sig->Aspect, 3);
    EXPECT_EQ(m->EC_Bliper->Interval(), 0);
    EXPECT_TRUE(Cmd("4 7 101 5"));
    EXPECT_EQ(sig->Aspect, 5);
    EXPECT_EQ(m->EC_Bliper->Interval(), 700);
    EXPECT_FALSE(Cmd("4 7 101 9"));
    EXPECT_EQ(sig->Aspect, 5);
    EXPECT_FALSE(Cmd("4 7 999 1"));

    EXPECT_TRUE(Cmd("4 30 101 1"));
    EXPECT_TRUE(Cmd("4 30 101 0"));
    EXPECT_EQ(sig->Routes, (std::vector<bool>{true, false}));
    EXPECT_FALSE(Cmd("4 30 999 1"));
}

TEST_F(DispatcherTest, SectionStatesClickFirst)
{
    TWave::Tone(1000, 5).SaveToFile("sound/tick.wav");
    EXPECT_TRUE(Cmd("4 8 201 1 1"));
    EXPECT_EQ(section->Calls.back(), (std::pair<int, int>{1, 1}));
    EXPECT_EQ(sound->Log.back(), "finish sound\\tick.wav");
    size_t clicks = sound->Log.size();

    // State 3 clicks but sets nothing.
    EXPECT_FALSE(Cmd("4 8 201 0 3"));
    EXPECT_EQ(section->Calls.size(), 1u);
    EXPECT_GT(sound->Log.size(), clicks);

    EXPECT_TRUE(Cmd("4 8 201 26 6"));
    EXPECT_EQ(section->Calls.back(), (std::pair<int, int>{6, 26}));
    EXPECT_EQ(m->EC_Bliper->Interval(), 700);
    EXPECT_FALSE(Cmd("4 8 0 1 1"));
    EXPECT_FALSE(Cmd("4 8 999 1 1"));

    // Without the sound file the section is still set, silently.
    std::filesystem::remove("sound/tick.wav");
    sound->Log.clear();
    EXPECT_TRUE(Cmd("4 8 201 0 0"));
    EXPECT_TRUE(sound->Log.empty());
}

TEST_F(DispatcherTest, CellsAndRoutePointersStartBlinkingBeforeTheLookUp)
{
    EXPECT_TRUE(Cmd("4 20 7 4"));
    EXPECT_EQ(cell->States.back(), 4);
    EXPECT_FALSE(Cmd("4 20 7 3"));
    EXPECT_FALSE(Cmd("4 20 0 1"));
    EXPECT_EQ(m->EC_Bliper->Interval(), 0);
    EXPECT_FALSE(Cmd("4 20 99 6"));
    EXPECT_EQ(m->EC_Bliper->Interval(), 700);

    m->EC_Bliper->SetInterval(0);
    EXPECT_TRUE(Cmd("4 31 1 2"));
    EXPECT_EQ(pointer->State, 2);
    EXPECT_FALSE(Cmd("4 31 1 5"));
    EXPECT_FALSE(Cmd("4 31 0 1"));
    EXPECT_EQ(m->EC_Bliper->Interval(), 0);
    EXPECT_TRUE(Cmd("4 31 1 4"));
    EXPECT_EQ(pointer->State, 4);
    EXPECT_EQ(m->EC_Bliper->Interval(), 700);
}

TEST_F(DispatcherTest, ErrorLinesAreListedCountedOrRaised)
{
    m->ModelTime = 125;
    EXPECT_TRUE(Cmd("4 6 5 0 00:01 5 балов - Текст"));
    ASSERT_EQ(fmError->ListBox->Items().Count(), 1);
    EXPECT_EQ(fmError->ListBox->Items()[0], "00:02 5 балов - Текст");
    EXPECT_EQ(bar->Count, 1);
    EXPECT_EQ(bar->Points, 5u);
    EXPECT_EQ(bar->Texts[0], "5 балов - Текст");

    // A fatal error unwinds the sender and is not counted.
    try {
        Cmd("4 6 3 1 00:01 3 балов - Аварія");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "3 балов - Аварія");
    }
    EXPECT_EQ(fmError->ListBox->Items().Count(), 2);
    EXPECT_EQ(bar->Count, 1);

    // Through the instructor model from a model's step: the step ends and the text is shown.
    auto* delay = static_cast<TModel*>(m->FindComponent("DelayModel"));
    EXPECT_TRUE(Cmd("8 4 1 0 4 13 Н1"));
    RunGuarded([&] { delay->Process(1); });
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "0 балов - Аварія Н1");
    EXPECT_EQ(bar->Count, 1);
}

TEST_F(DispatcherTest, IncomingCallRingsAnIdleKey)
{
    m->ModelTime = 100;
    EXPECT_TRUE(Cmd("4 9 СП3 1 Поїзд 2001 прибуває"));
    EXPECT_EQ(key->KeyState, 1);
    EXPECT_EQ(key->Deadline, 190.0f);
    ASSERT_EQ(key->Memory.size(), 1u);
    EXPECT_EQ(key->Memory[0], "Поїзд 2001 прибуває");
    ASSERT_TRUE(key->First && key->Second);
    EXPECT_EQ(bar->Speed, 1u);
    EXPECT_EQ(m->MainTimer->Interval(), 1000);

    // Again on the ringing key: false, the deadline moves, the first message stays.
    m->ModelTime = 150;
    EXPECT_FALSE(Cmd("4 9 СП3 0 Друге"));
    EXPECT_EQ(key->Deadline, 240.0f);
    EXPECT_EQ(key->Memory[0], "Поїзд 2001 прибуває");
    EXPECT_FALSE(key->First || key->Second);

    // An unknown key still starts the clock.
    bar->SetTemp(0);
    EXPECT_FALSE(Cmd("4 9 ПТО 1 Текст"));
    EXPECT_EQ(bar->Speed, 1u);

    std::string r;
    EXPECT_TRUE(Cmd("4 26 СП3", &r));
    EXPECT_EQ(r, "1");
    EXPECT_FALSE(Cmd("4 26 ПТО", &r));
    EXPECT_TRUE(Cmd("4 32 СП3 остання фраза "));
    EXPECT_EQ(key->LastText, "остання фраза");
    EXPECT_TRUE(Cmd("4 35 СП3 ще рядок"));
    EXPECT_EQ(key->Memory.back(), "ще рядок");
    EXPECT_FALSE(Cmd("4 35 ПТО ще рядок"));

    // On a pressed key the call does not ring and sets no deadline: no missed call can follow.
    key->KeyState = 2;
    key->Deadline = -1;
    EXPECT_FALSE(Cmd("4 9 СП3 0 Третє"));
    EXPECT_EQ(key->Deadline, -1.0f);
    EXPECT_EQ(key->KeyState, 2);
}

TEST_F(DispatcherTest, PartnerTextsStartTheClock)
{
    EXPECT_TRUE(Cmd("4 10 МЛ1 Їду на 3П"));
    EXPECT_FALSE(Cmd("4 10"));
    EXPECT_EQ(connection->Shown, (std::vector<std::string>{"МЛ1|Їду на 3П", "|"}));
    EXPECT_EQ(bar->Speed, 1u);
    EXPECT_TRUE(Cmd("4 33 поїзд прибуває"));
    EXPECT_EQ(speaker->Phrases, (std::vector<std::string>{"поїзд прибуває"}));
}

TEST_F(DispatcherTest, LampsTakeTheirColourAndRingForYellowBlinking)
{
    TWave::Tone(800, 5).SaveToFile("sound/td.wav");
    EXPECT_TRUE(Cmd("4 16 15 1"));
    EXPECT_EQ(lamp->State, 1);
    EXPECT_EQ(lamp->LampColor, clRed);
    EXPECT_TRUE(sound->Log.empty());
    EXPECT_TRUE(Cmd("4 16 15 2 2"));
    EXPECT_EQ(lamp->State, 2);
    EXPECT_EQ(lamp->LampColor, clYellow);
    EXPECT_EQ(sound->Log, (std::vector<std::string>{"sync sound\\td.wav"}));
    EXPECT_EQ(m->EC_Bliper->Interval(), 700);
    std::filesystem::remove("sound/td.wav");
    EXPECT_TRUE(Cmd("4 16 15 2 2"));
    EXPECT_EQ(sound->Log.back(), "beep 700 500");
    EXPECT_TRUE(Cmd("4 16 15 0 1"));
    EXPECT_EQ(lamp->LampColor, clGreen);
    EXPECT_FALSE(Cmd("4 16 0 1"));
    EXPECT_FALSE(Cmd("4 16 99 1"));

    EXPECT_TRUE(Cmd("4 17 15 2 1"));
    EXPECT_EQ(buttonLamp->LampColor, 1);
    EXPECT_EQ(buttonLamp->State, 2);
    EXPECT_TRUE(Cmd("4 17 15 1"));
    EXPECT_EQ(buttonLamp->LampColor, 1);
    EXPECT_FALSE(Cmd("4 17 16 1"));
}

TEST_F(DispatcherTest, IndicatorsAmmeterAndSeals)
{
    EXPECT_TRUE(Cmd("4 12 2 1"));
    EXPECT_TRUE(peregon2->On);
    EXPECT_FALSE(Cmd("4 12 3 1"));
    EXPECT_FALSE(Cmd("4 12 1 1"));  // the form has no EC_Peregon1
    EXPECT_TRUE(Cmd("4 13 4 0"));
    EXPECT_FALSE(block4->On);
    EXPECT_FALSE(Cmd("4 13 5 1"));

    EXPECT_TRUE(Cmd("4 14 1"));
    EXPECT_TRUE(Cmd("4 14 0"));
    EXPECT_TRUE(Cmd("4 14"));
    EXPECT_EQ(ammeter->Calls, "on off swing ");

    EXPECT_TRUE(Cmd("4 15 ВСП1 0"));
    EXPECT_FALSE(sealed->Plombed);
    EXPECT_EQ(sealed->Repaints, 1);
    EXPECT_TRUE(Cmd("4 15 ВСП1"));
    EXPECT_TRUE(sealed->Plombed);
    EXPECT_FALSE(Cmd("4 15 ВСП9 0"));
}

TEST_F(DispatcherTest, WindowsByNameAndTheInformationLists)
{
    EXPECT_TRUE(Cmd("4 34 fmConsole 300 200"));
    EXPECT_EQ(fmConsole->Width(), 300);
    EXPECT_EQ(fmConsole->Height(), 200);
    EXPECT_FALSE(Cmd("4 34 fmNone 300 200"));
    // A window never takes a size whose picture would not fit in memory (-1 reads as 4294967295).
    EXPECT_FALSE(Cmd("4 34 fmConsole -1 200"));
    EXPECT_FALSE(Cmd("4 34 fmConsole 300 100000"));
    EXPECT_EQ(fmConsole->Width(), 300);
    EXPECT_EQ(fmConsole->Height(), 200);

    EXPECT_TRUE(Cmd("4 37 0 Поїзд 2003 на підході"));
    EXPECT_TRUE(Cmd("4 37 1 12 Поїзд 2001 - на 1П"));
    EXPECT_EQ(fmInfo->ListBox2->Items()[0], "Поїзд 2003 на підході");
    EXPECT_TRUE(Cmd("4 36 12 розформовано_повністю"));
    EXPECT_EQ(fmInfo->ListBox1->Items()[0], "12 Поїзд 2001 - розформовано повністю");
    EXPECT_TRUE(Cmd("4 36 13 нічого"));
    EXPECT_TRUE(Cmd("4 38 Порада"));
    EXPECT_EQ(fmActiveHelp->Memo1->Lines()[0], "Порада");

    std::string r;
    EXPECT_TRUE(Cmd("4 39 15", &r));
    EXPECT_EQ(r, "Секция 15");
    EXPECT_FALSE(Cmd("4 39 17", &r));
    EXPECT_EQ(r, "4 39 17");
}
