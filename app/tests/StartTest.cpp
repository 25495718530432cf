// Program start and end: the post-section list, the scenario lines, the window list, the main window's
// construction and its one-shot first activation, and the ways out of the program.
#include <algorithm>
#include <functional>
#include <set>

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTest>
#include <QTimer>

#include "TrainerFixture.h"
#include "app/dialogues/MovementOrders.h"
#include "app/dialogues/ElectroMechanic.h"
#include "app/dialogues/PostDialogues.h"
#include "app/scenario/ScenarioFile.h"
#include "app/scenario/TaskMaker.h"
#include "models/operations/DelayModel.h"
#include "models/operations/InstructorModel.h"
#include "panel/EC_Speaker.h"
#include "platform/core/CFormat.h"

// ---- "DATA\SwitchSt.dat" ----

class PostSectionsTest : public TrainerTest {};

TEST_F(PostSectionsTest, KeepsTrackSectionsWithTrimmedNames)
{
    WriteFile("list.dat",
              "1 3 17\n"
              "2 3 15  Секция 15 \r\n"
              "3 7 21 1В\n"
              "4 1 2 чужое\n"
              "Секция 9\n"
              "2 1 201 1СП");  // the last line has no line end and counts once
    TArray200<TSectionNumber> s;
    ReadPostSections("list.dat", s);
    ASSERT_EQ(s.Count(), 3u);
    EXPECT_EQ(s.Get(0)->Post, 3);
    EXPECT_EQ(s.Get(0)->Number, 15);
    EXPECT_EQ(s.Get(0)->Name, "Секция 15");
    EXPECT_EQ(s.Get(1)->Name, "1В");
    EXPECT_EQ(s.Get(2)->Number, 201);
    EXPECT_EQ(s.Get(2)->Name, "1СП");
}

TEST_F(PostSectionsTest, ALongLineIsOneRecordAndItsTailNoNewOne)
{
    // 119 bytes count; the tail holds what would read as a section line of its own.
    std::string name(130, 'x');
    name.replace(116, 14, " 2 9 99 Хвост ");
    WriteFile("list.dat", "2 3 15 " + name + "\n3 7 22 2В\n");
    TArray200<TSectionNumber> s;
    ReadPostSections("list.dat", s);
    ASSERT_EQ(s.Count(), 2u);
    EXPECT_EQ(s.Get(0)->Number, 15);
    EXPECT_EQ(s.Get(0)->Name.size(), 119u - 7u);
    EXPECT_EQ(s.Get(1)->Number, 22);
}

TEST_F(PostSectionsTest, MissingFileLeavesTheListEmptyAndTooManyLinesKeepTheFirstAndSaySo)
{
    TArray200<TSectionNumber> s;
    ReadPostSections("none.dat", s);
    EXPECT_EQ(s.Count(), 0u);
    EXPECT_TRUE(Boxes.empty());

    std::string text;
    for (int i = 0; i < 200; ++i) text += Format("2 1 %d С%d\n", i, i);
    WriteFile("list.dat", text);
    ReadPostSections("list.dat", s);
    EXPECT_EQ(s.Count(), 199u);
    EXPECT_EQ(Boxes, std::vector<std::string>{"list.dat, строка 200: Переполнение массива200"});
}

// Every window that lists the posts' sections reads them through the one reader: a section
// line without a name, numbers out of range, a line of another kind or none are left out of
// every list alike, and the file's first faulty line is shown once, naming the file and the line.
TEST_F(PostSectionsTest, OneReaderForTheMainWindowTheEditorAndTheDialogues)
{
    WriteFile("data/SwitchSt.dat",
              "1 3 17\n"
              "2 3 15\n"                 // no name
              "2 3 16 НД\n"
              "2 99999999999999999999 5 x\n"  // post out of range
              "3 7 -4 1В\n"             // number out of range
              "4 1 2 чужое\n"
              "Секция 9\n"
              "3 7 21   1В  \n");
    Start();
    EXPECT_EQ(Boxes, std::vector<std::string>{"DATA\\SwitchSt.dat, строка 2: у секции 15 нет названия"});
    std::vector<std::string> main, editor, dialogue, electro;
    for (unsigned i = 0; i < fmMain->PostSections.Count(); ++i) main.push_back(fmMain->PostSections.Get(i)->Name);
    for (const TScenarioSection& sec : fmTaskMaker->Model.Sections) editor.push_back(sec.Name);
    auto* state = Window<TfmSectionState>("fmSectionState");
    auto* electroMex = Window<TfmElectroMex>("fmElectroMex");
    ASSERT_NE(state, nullptr);
    ASSERT_NE(electroMex, nullptr);
    for (unsigned i = 0; i < state->Records.Count(); ++i) dialogue.push_back(state->Records.Get(i)->Name);
    electro = electroMex->cbSection->Items().ToStringList().lines;
    EXPECT_EQ(main, (std::vector<std::string>{"НД", "1В"}));
    EXPECT_EQ(editor, main);
    EXPECT_EQ(electro, main);
    EXPECT_EQ(dialogue, std::vector<std::string>{"НД"});  // kind 2 only
    EXPECT_EQ(fmTaskMaker->Model.Switches, std::vector<std::string>{"17"});
}

// ---- "DATA\Zacrepit.dat" ----

// A shoe count of 4294967295 once made the brake-shoe windows' shoe list endless at start.
TEST_F(PostSectionsTest, ASecuringNormOutOfRangeIsShownOnceAndTheStartGoesOn)
{
    WriteFile("data/Zacrepit.dat", "п 1П 11\nо 1В 21\n31 11 1 2\n300 11 1 4294967295\n61 11 1 3\n");
    Start();
    EXPECT_EQ(Boxes,
              std::vector<std::string>{"DATA\\Zacrepit.dat, строка 4: число башмаков 4294967295 вне пределов 0..99"});
    auto* z = Window<TfmZacrepit>("fmZacrepit");
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(z->cbBashm->Items().ToStringList().lines, (std::vector<std::string>{"2", "3"}));
    EXPECT_NE(Screen().FindForm("fmKeyBoard"), nullptr);  // every window after it is made
}

// ---- scenario lines ----

TEST(ScenarioLine, MinutesBecomeSecondsWithSixDecimals)
{
    EXPECT_EQ(ScenarioLineMessage("1.5 4 9 СП3 0 Тест\n"), "8 4 90.000000 4 9 СП3 0 Тест");
    EXPECT_EQ(ScenarioLineMessage("10 1 37 27 3"), "8 4 600.000000 1 37 27 3");
    // A line whose time is not a number is not scheduled.
    EXPECT_EQ(ScenarioLineMessage("x 4 28"), "");
    EXPECT_EQ(ScenarioLineMessage("10:30 4 28"), "");
    // The editor's rule for the time: digits and at most one point, within the day.
    EXPECT_EQ(ScenarioLineMessage("1439.5 4 28"), "8 4 86370.000000 4 28");
    std::string why;
    for (const char* line : {"1e1 4 28", "1440 4 28", "-5 4 28", "0x10 4 28", "1..2 4 28"})
        EXPECT_EQ(ScheduledMessage(line, &why), "") << line;
    EXPECT_EQ(why, "не прочитано время 1..2");
    ScheduledMessage("5999 4 28", &why);
    EXPECT_EQ(why, "время 5999 вне суток (до 1439 минут, 23:59)");

    // The box about unscheduled lines lists twenty and counts the rest.
    std::vector<TUnscheduledLine> lines;
    for (int i = 1; i <= 25; ++i) lines.push_back({i, "1e1 4 28", "не прочитано время 1e1"});
    const std::string text = UnscheduledText("x.shd", lines);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 21);
    EXPECT_NE(text.find("\nстрока 20: не прочитано время 1e1: 1e1 4 28\nи ещё 5 (см. консоль)"), std::string::npos) << text;
}

// ---- windows ----

TEST(TrainerWindows, FiftySevenInThePartsOrderMainFirst)
{
    const auto& n = TrainerWindowNames();
    ASSERT_EQ(n.size(), 57u);
    EXPECT_EQ(n.front(), "fmMain");
    EXPECT_EQ(n.back(), "fmKeyBoard");
    EXPECT_EQ(std::set<std::string>(n.begin(), n.end()).size(), 57u);
}

class StartTest : public TrainerTest {
protected:
    // The elements of a small panel, in this ownership order:
    //   cells 1 2, signals 101 "Н" 102 (no label) 111 "Ч1" 112 "Н" (a second "Н"),
    //   frame 11 owning switch 1 and lamps 10 11 12, a panel lamp 15, section 201,
    //   sealed buttons "ВСП1" "ВСП3", key "СП3", route pointer 1, lamp button 15.
    void AddPanel(TfmMain* m)
    {
        AddElement<TTestCell>(m, "Cell1", 1);
        AddElement<TTestCell>(m, "Cell2", 2);
        AddElement<TTestSignal>(m, "Sig101", 101, "Н");
        AddElement<TTestSignal>(m, "Sig102", 102, nullptr);
        AddElement<TTestSignal>(m, "Sig111", 111, "Ч1");
        AddElement<TTestSignal>(m, "Sig112", 112, "Н");
        auto* frame = new TFrame(m);
        frame->SetName("Frame11");
        AddElement<TTestSwitch>(frame, "EC_Switch1", 1);
        AddElement<TTestLamp>(frame, "EC_Lamp1", 10);
        AddElement<TTestLamp>(frame, "EC_Lamp2", 11);
        AddElement<TTestLamp>(frame, "EC_Lamp3", 12);
        AddElement<TTestLamp>(m, "EC_Lamp26", 15);
        AddElement<TTestSection>(m, "EC_Section1", 201);
        AddElement<TTestSealedButton>(m, "EC_PlButton1", "ВСП1");
        AddElement<TTestSealedButton>(m, "EC_PlButton2", "ВСП3");
        AddElement<TTestKey>(m, "Key1", "СП3");
        AddElement<TTestRoutePointer>(m, "RP1", 1);
        AddElement<TTestButtonLamp>(m, "BL1", 15);
        AddElement<TTestConnection>(m, "Connection");
    }

    void WriteErrors() { WriteFile("data/errors.dat", "12 5 0\nНе прийнято виклик %s\n"); }
};

TEST_F(StartTest, ConstructorReadsPostSectionsAndDeletesTheMissingSoundList)
{
    WriteFile("ExecErr.tmp", "old\n");
    WriteFile("data/SwitchSt.dat", "1 3 17\n2 3 15  Секция 15 \n");
    TfmMain* m = Start();
    EXPECT_FALSE(std::filesystem::exists("ExecErr.tmp"));
    ASSERT_EQ(m->PostSections.Count(), 1u);
    EXPECT_EQ(m->StartDirectory, dir.string());
    EXPECT_EQ(m->ModelTime, 0);
    // The cover lies over the whole panel until the first activation.
    EXPECT_EQ(m->ForeheadPanel->Align(), alClient);
    EXPECT_EQ(Screen().Forms(0), m);
    EXPECT_NE(Screen().FindForm("fmKeyBoard"), nullptr);

    std::string mes = "4 39 15";
    EXPECT_TRUE(Send(mes));
    EXPECT_EQ(mes, "Секция 15");
    mes = "4 39 17";
    EXPECT_FALSE(Send(mes));
    EXPECT_EQ(mes, "4 39 17");
}

TEST_F(StartTest, FirstActivationCollectsInitialisesAndStartsOnce)
{
    WriteErrors();
    WriteFile("data/trenager.ini",
              "* 4 37 1 x\n"
              "\n"
              "4 37 1 Поїзд 2001\n"
              "4 38 Підказка\n");
    TfmMain* m = Start();
    AddPanel(m);
    m->FormActivate(m);

    // Arrays in walk order; what a frame owns comes before the frame's later siblings.
    ASSERT_EQ(m->Cells.Count(), 2u);
    ASSERT_EQ(m->Signals.Count(), 4u);
    EXPECT_EQ((*m->Signals.Get(3))->GetId(), 112);
    ASSERT_EQ(m->Switches.Count(), 1u);
    ASSERT_EQ(m->Lamps.Count(), 4u);
    EXPECT_EQ((*m->Lamps.Get(0))->GetId(), 10);
    EXPECT_EQ((*m->Lamps.Get(3))->GetId(), 15);
    EXPECT_EQ(m->Sections.Count(), 1u);
    EXPECT_EQ(m->Keys.Count(), 1u);
    EXPECT_EQ(m->RoutePointers.Count(), 1u);
    EXPECT_EQ(m->ButtonLamps.Count(), 1u);
    ASSERT_EQ(m->Models.Count(), 2u);
    EXPECT_EQ((*m->Models.Get(0))->Name(), "DelayModel");
    EXPECT_EQ((*m->Models.Get(1))->Name(), "InstructorModel");

    // Models initialised, sections resolved, partners bound.
    auto* instructor = static_cast<TInstructorModel*>(m->FindComponent("InstructorModel"));
    EXPECT_EQ(instructor->ErrorDefs().Count(), 1u);
    EXPECT_EQ(static_cast<TTestSection*>(m->FindComponent("EC_Section1"))->Checks, 1);
    EXPECT_EQ(static_cast<TTestConnection*>(m->FindComponent("Connection"))->Checks, 1);

    // Start-up messages: the commented line is not sent.
    ASSERT_EQ(fmInfo->ListBox1->Items().Count(), 1);
    EXPECT_EQ(fmInfo->ListBox1->Items()[0], "Поїзд 2001");
    ASSERT_EQ(fmActiveHelp->Memo1->Lines().Count(), 1);
    EXPECT_EQ(fmActiveHelp->Memo1->Lines()[0], "Підказка");

    EXPECT_EQ(StartDialogs, 1);
    EXPECT_FALSE(m->ForeheadPanel->Visible());

    // A second activation does nothing.
    m->FormActivate(m);
    EXPECT_EQ(StartDialogs, 1);
    EXPECT_EQ(m->Signals.Count(), 4u);
}

// Counts the paint events of a widget.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget* w) { w->installEventFilter(this); }
    int Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* ev) override
    {
        if (ev->type() == QEvent::Paint) ++Paints;
        return false;
    }
};

TEST_F(StartTest, OnAShownWindowThePanelIsPaintedBeforeTheStartUpMessagesRing)
{
    WriteErrors();
    WriteFile("data/trenager.ini", "4 38 Підказка\n");
    TfmMain* m = Start();
    AddPanel(m);
    TPaintCounter counter(m->ClientWidget());
    int paintsAtStart = -1;
    m->ShowStartDialog = [&] {
        paintsAtStart = counter.Paints;
        ++StartDialogs;
    };
    m->Show();
    m->FormActivate(m);
    EXPECT_FALSE(m->ForeheadPanel->Visible());
    EXPECT_EQ(fmActiveHelp->Memo1->Lines().Count(), 0) << "sent before the panel was painted";
    ASSERT_TRUE(QTest::qWaitFor([&] { return StartDialogs == 1; }, 5000));
    EXPECT_GT(paintsAtStart, 0);
    EXPECT_EQ(fmActiveHelp->Memo1->Lines().Count(), 1);
}

TEST_F(StartTest, SignalListsAreSortedAndTheirIdsPairOneForOne)
{
    WriteErrors();
    TfmMain* m = Start();
    AddPanel(m);
    m->FirstActivation();

    for (const char* name : {"fmManevrMove", "fmTrainMove", "fmManevrMoveP"}) {
        auto* f = Window<TSignalOrderForm>(name);
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(f->cbToSignal->Items().Count(), 3) << f->Name();
        EXPECT_EQ(f->cbToSignal->Items()[0], "Н");
        EXPECT_EQ(f->cbToSignal->Items()[1], "Н");
        EXPECT_EQ(f->cbToSignal->Items()[2], "Ч1");
        EXPECT_EQ(f->cbOverSignal->Items().Count(), 3);
        // The two signals named "Н" keep one Id each, in the order of the signals.
        ASSERT_EQ(f->SignalIds.Count(), 3u) << f->Name();
        EXPECT_EQ(*f->SignalIds.Get(0), 101);
        EXPECT_EQ(*f->SignalIds.Get(1), 112);
        EXPECT_EQ(*f->SignalIds.Get(2), 111);
    }
    TComboBox* buttons = Window<TfmElectroMex>("fmElectroMex")->cbButtons;
    ASSERT_EQ(buttons->Items().Count(), 2);
    EXPECT_EQ(buttons->Items()[0], "ВСП1");
    EXPECT_EQ(buttons->Items()[1], "ВСП3");
}

TEST_F(StartTest, AFailedActivationIsShownOnceAndLeavesThePanelCovered)
{
    // No error catalogue: the instructor model cannot load.
    TfmMain* m = Start();
    AddPanel(m);
    m->ForeheadPanel->Show();
    m->DoActivate();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "Не могу загрузить файл данных для модели InstructorModel: DATA\\errors.dat");
    EXPECT_TRUE(m->ForeheadPanel->Visible());
    EXPECT_EQ(StartDialogs, 0);
    m->DoActivate();
    EXPECT_EQ(Boxes.size(), 1u);
}

TEST_F(StartTest, AStartUpLineForAReceiverWithoutAModelStopsTheStartBeforeAnyIsSent)
{
    WriteErrors();
    WriteFile("data/trenager.ini", "4 38 Підказка\n* 5 1\n99999999 1 2\n");
    TfmMain* m = Start();
    AddPanel(m);
    m->ForeheadPanel->Show();
    m->DoActivate();
    // Named by its line, as the scenario loader names such lines; the operator is never asked.
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "data\\trenager.ini, строка 3: неизвестный получатель 99999999");
    EXPECT_TRUE(Prompts.empty());
    EXPECT_EQ(fmActiveHelp->Memo1->Lines().Count(), 0);
    EXPECT_EQ(StartDialogs, 0);
    EXPECT_TRUE(m->ForeheadPanel->Visible());
}

TEST_F(StartTest, ScenarioLinesAreQueuedWithTheDelayModel)
{
    WriteErrors();
    WriteFile("data/lesson.shd",
              "1.5 4 9 СП3 0 Тест\n"
              "* a comment\n"
              "2 4 38 Друга\n");
    TfmMain* m = Start();
    AddPanel(m);
    m->FirstActivation();
    m->Bus.recording = true;
    std::filesystem::create_directories("elsewhere");
    std::filesystem::current_path("elsewhere");
    LoadScenarioByName("lesson.shd");
    EXPECT_EQ(std::filesystem::current_path(), dir);
    std::vector<std::string> sent = m->Bus.Requests(brDelay);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], "8 4 90.000000 4 9 СП3 0 Тест");
    EXPECT_EQ(sent[1], "8 4 120.000000 4 38 Друга");

    // At the 90th second the key rings with the scenario's text.
    auto* delay = static_cast<TDelayModel*>(m->FindComponent("DelayModel"));
    delay->Process(89);
    auto* key = static_cast<TTestKey*>(m->FindComponent("Key1"));
    EXPECT_EQ(key->State(), 0);
    delay->Process(90);
    EXPECT_EQ(key->State(), 1);
    ASSERT_EQ(key->Memory.size(), 1u);
    EXPECT_EQ(key->Memory[0], "Тест");

    // A missing scenario schedules nothing.
    m->Bus.ClearLog();
    LoadScenarioByName("none.shd");
    EXPECT_TRUE(m->Bus.Requests().empty());
}

TEST_F(StartTest, TheProgramsMainWindowDefinitionLoads)
{
    CreateTrainerWindows([] { return new TfmMain; });
    EXPECT_EQ(fmMain->Caption(), "Тренажер ДСП ст.Тарвина-Сортировочная");
    EXPECT_NE(fmMain->FindComponent("PlanModel"), nullptr);
    EXPECT_NE(fmMain->FindComponent("EC_Model"), nullptr);
    EXPECT_EQ(fmMain->N35->Caption(), "Пуск");
    ASSERT_NE(fmMain->Connection(), nullptr);
    ASSERT_NE(fmMain->Speaker(), nullptr);
    EXPECT_EQ(static_cast<TEC_Speaker*>(fmMain->FindComponent("EC_Speaker"))->Directory, "sound\\\\");
    fmMain->Connection()->Check();
    EXPECT_TRUE(Boxes.empty());
    // The switchboard keys, channel buttons and sealed buttons carry their menus.
    auto* key = fmMain->FindChild<TControl>("EC_ComutatorButton1");
    EXPECT_EQ(key->Caption(), "СП3");
    ASSERT_NE(key->PopupMenu(), nullptr);
    EXPECT_EQ(key->PopupMenu()->Name(), "pmSP3");
    EXPECT_EQ(fmMain->FindChild<TControl>("EC_ConnectButton3")->PopupMenu()->Name(), "pmManevr");
    EXPECT_EQ(fmMain->FindChild<TControl>("EC_PlButton1")->PopupMenu()->Name(), "pmPlomb");
    EXPECT_EQ(fmMain->FindChild<TMenuItem>("N47")->Parent()->Caption(), "Накази");
    EXPECT_EQ(fmMain->MainTimer->Interval(), 0);
    // The status bar drives the main timer.
    ASSERT_NE(fmMain->StatusBar(), nullptr);
    fmMain->StartClock();
    EXPECT_EQ(fmMain->MainTimer->Interval(), 1000);
    fmMain->StatusBar()->SetTemp(3);
    EXPECT_EQ(fmMain->MainTimer->Interval(), 333);
    SetActiveHelp(false);
    EXPECT_FALSE(fmMain->N66->Enabled());
    EXPECT_FALSE(fmActiveHelp->Visible());
    SetActiveHelp(true);
    EXPECT_TRUE(fmMain->N66->Enabled());
    EXPECT_TRUE(fmActiveHelp->Visible());
}

TEST(InheritsFromClassNameTest, WalksTheClassChainExactly)
{
    TTestSignal s(nullptr, 1, "Н");
    EXPECT_TRUE(InheritsFromClassName(&s, "TTestSignal"));
    EXPECT_TRUE(InheritsFromClassName(&s, "TEC_Signal"));
    EXPECT_TRUE(InheritsFromClassName(&s, "TControl"));
    EXPECT_FALSE(InheritsFromClassName(&s, "tec_signal"));
    EXPECT_FALSE(InheritsFromClassName(&s, "TEC_Cell"));
    EXPECT_FALSE(InheritsFromClassName(nullptr, "TObject"));
}

// An element class that knows nothing of the main window, reached through a link it owns.
namespace {
class TPlainLamp : public TComponent {
    VELO_CLASS(TPlainLamp, TComponent)
public:
    using TComponent::TComponent;
    int Id = 0;
    int Shown = 0;
};

class TPlainLampLink : public TComponent, public IPanelLamp {
    VELO_CLASS(TPlainLampLink, TComponent)
public:
    explicit TPlainLampLink(TComponent* lamp) : TComponent(lamp), l(static_cast<TPlainLamp*>(lamp)) {}
    int GetId() const override { return l->Id; }
    int GetState() const override { return l->Shown; }
    void SetState(int s) override { l->Shown = s; }
    int GetColor() const override { return 0; }
    void SetColor(int) override {}
    void Repaint() override {}

private:
    TPlainLamp* l;
};
} // namespace

TEST(PanelLinkTest, AnElementWithoutTheInterfaceIsReachedThroughItsOwnedLink)
{
    TComponent form(nullptr);
    auto* lamp = new TPlainLamp(&form);
    lamp->Id = 7;
    EXPECT_EQ(PanelLink<IPanelLamp>(lamp), nullptr);
    SetPanelLink<IPanelLamp>("TPlainLamp", [](TComponent* c) -> IPanelLamp* { return OwnedLink<TPlainLampLink>(c); });
    IPanelLamp* a = PanelLink<IPanelLamp>(lamp);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetId(), 7);
    a->SetState(2);
    EXPECT_EQ(lamp->Shown, 2);
    EXPECT_EQ(PanelLink<IPanelLamp>(lamp), a);
    EXPECT_EQ(lamp->ComponentCount(), 1);
    EXPECT_EQ(PanelLink<IPanelSignal>(lamp), nullptr);
}

// ---- the end of the program ----

class ExitTest : public TrainerTest {
protected:
    // Runs the program's event loop and does act in it; true when the loop ended by itself. A
    // loop still running after some seconds is ended from outside, so a failure does not hang.
    static bool LoopEnds(const std::function<void()>& act)
    {
        bool stuck = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            stuck = true;
            QCoreApplication::exit(1);
        });
        guard.start(5000);
        QTimer::singleShot(0, act);
        Application().Run();
        return !stuck;
    }
};

TEST_F(ExitTest, MenuCloseBoxAndPauseWindowEndTheProgramWithToolWindowsOpen)
{
    WriteFile("data/errors.dat", "12 5 0\nНе прийнято виклик %s\n");
    TfmMain* m = Start();
    auto openTools = [] {
        fmError->Show();
        fmConsole->Show();
    };
    EXPECT_TRUE(LoopEnds([&] {
        openTools();
        m->N2Click(nullptr);
    })) << "Робота -> Вихід";
    EXPECT_TRUE(LoopEnds([&] {
        openTools();
        m->Window()->close();
    })) << "the main window's close box";
    EXPECT_TRUE(LoopEnds([&] {
        openTools();
        QTimer::singleShot(0, [] { fmPusk->Button1->Click(); });
        m->PauseClock();
    })) << "Вихід of the pause window";
    EXPECT_FALSE(m->Visible());
}
