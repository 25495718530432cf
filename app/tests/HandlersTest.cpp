// The trainee's mouse on the sample station's panel: real clicks (QTest) on the program's own
// main window with the real models behind it.
//
//   101> -[201]-(1)-[203]-(3)-[207]-(7)-[307]- <111 [11 1П]   (train 2001 stands on 1П)
//                                       `-[407]- <112 [12 2П]
//   the train route 101 -> 112 runs over switches 1 and 3 in plus and 7 in minus.
#include <QApplication>
#include <QTest>

#include "TrainerFixture.h"
#include "app/KeyDialogs.h"
#include "app/UtilityWindows.h"
#include "app/dialogues/MovementOrders.h"
#include "panel/EC_Button.h"
#include "panel/EC_Cell.h"
#include "panel/EC_ComutatorButton.h"
#include "panel/EC_Lamp.h"
#include "panel/EC_Signal.h"
#include "panel/EC_Switch.h"
#include "platform/core/CFormat.h"

namespace {


// Stand-ins for windows that other parts of the program provide: named and classed like them.
class TfmZacrepit : public TKeyDialogForm, public IPresetDialog {
    VELO_CLASS(TfmZacrepit, TKeyDialogForm)
public:
    TfmZacrepit() : TKeyDialogForm("fmZacrepit") {}
    void ApplyPresets(const TDialogPresets& p) override { Post = p.Post; }
    int Post = 0;
};

bool Contains(const std::vector<std::string>& list, const std::string& s)
{
    for (const auto& x : list)
        if (x == s) return true;
    return false;
}

bool HasPrefix(const std::vector<std::string>& list, const std::string& prefix)
{
    for (const auto& x : list)
        if (x.rfind(prefix, 0) == 0) return true;
    return false;
}

} // namespace

class HandlersTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        m = StartSampleStation();
        if (!m) GTEST_SKIP() << "no sample station";
        oldPopup = SetPopupHook([this](TPopupMenu* menu, int, int) { Popups.push_back(menu->Name()); });
    }

    void TearDown() override
    {
        SetPopupHook(oldPopup);
        TrainerTest::TearDown();
    }

    template <class T>
    T* Get(const std::string& name)
    {
        return m->FindChild<T>(name);
    }

    // The switch key of a frame.
    TEC_Switch* Switch(const std::string& frame) { return static_cast<TEC_Switch*>(Get<TComponent>(frame)->FindComponent("EC_Switch1")); }

    static void Click(TControl* c, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mod = {})
    {
        QTest::mouseClick(c->Widget(), b, mod, QPoint(3, 3));
    }

    // One simulated second of every model.
    void Tick(int n = 1)
    {
        for (int k = 0; k < n; ++k) {
            m->ModelTime += 1;
            for (unsigned i = 0; i < m->Models.Count(); ++i) (*m->Models.Get(i))->Process(static_cast<float>(m->ModelTime));
        }
    }

    std::vector<std::string> Requests(int receiver) const { return m->Bus.Requests(receiver); }

    // Sets the train route 101 -> 112 by its two buttons and lets the switches settle.
    void SetRoute()
    {
        Click(Get<TControl>("EC_TrainButton101"));
        Click(Get<TControl>("EC_EndButton112"));
        auto* signal = Get<TEC_Signal>("EC_Signal101");
        for (int i = 0; i < 30 && signal->State() != 3; ++i) Tick();
    }

    // Replaces the program's stand-in window of that name with w.
    template <class W>
    W* Install(W* w)
    {
        if (TForm* old = Screen().FindForm(w->Name())) old->SetName(w->Name() + "_old");
        owned.emplace_back(w);
        return w;
    }

    TfmMain* m = nullptr;
    TPopupHook oldPopup;
    std::vector<std::string> Popups;
    std::vector<std::unique_ptr<TForm>> owned;
};

TEST_F(HandlersTest, TwoClicksSetATrainRouteAndTheCancelButtonsUndoIt)
{
    // A start click alone marks the start; "Отмена набора" drops it.
    Click(Get<TControl>("EC_TrainButton101"));
    EXPECT_TRUE(Contains(Requests(brEC), "2 5 101 1"));
    EXPECT_EQ(Get<TEC_Signal>("EC_Signal101")->Cell->State(), csGreen);
    Click(Get<TControl>("EC_Button64"));
    EXPECT_TRUE(Contains(Requests(brEC), "2 7"));
    EXPECT_NE(Get<TEC_Signal>("EC_Signal101")->Cell->State(), csGreen);

    SetRoute();
    EXPECT_TRUE(Contains(Requests(brEC), "2 16 112 1"));
    EXPECT_EQ(Get<TEC_Signal>("EC_Signal101")->State(), 3);
    for (const char* cell : {"Cell201_a", "Cell203_a", "Cell207_a", "Cell207_m"})
        EXPECT_EQ(Get<TEC_Cell>(cell)->State(), csWhite) << cell;
    if (const char* shot = std::getenv("VELO_ROUTE_SCREENSHOT")) SaveScreenshot(m, shot);

    // "Отмена маршр." and the start button: the route is released after a delay.
    Click(Get<TControl>("EC_Button61"));
    EXPECT_EQ(m->FindLamp(4)->GetState(), 2);
    Click(Get<TControl>("EC_TrainButton101"));
    EXPECT_TRUE(HasPrefix(Requests(brDelay), "8 4 ")) << ::testing::PrintToString(Requests(brDelay));
    EXPECT_EQ(m->FindLamp(4)->GetState(), 0);
}

TEST_F(HandlersTest, AClickOnAFreeSwitchTurnsItAndTheLampsFollow)
{
    TEC_Switch* sw = Switch("Frame1");
    ASSERT_EQ(sw->Normal(), DirectSide);
    Click(sw, Qt::RightButton);
    EXPECT_TRUE(Contains(Requests(brEC), "2 4 1 1 1"));
    EXPECT_EQ(m->FindLamp(12)->GetState(), 1);  // moving
    Tick(10);
    EXPECT_EQ(m->FindLamp(12)->GetState(), 0);
    EXPECT_EQ(m->FindLamp(11)->GetState(), 1);  // minus
    EXPECT_EQ(m->FindLamp(10)->GetState(), 0);
    // A left click from minus hands the switch back (Normal 0), the next one turns it to plus.
    Click(sw);
    EXPECT_TRUE(Contains(Requests(brEC), "2 4 1 2 1"));
    EXPECT_EQ(m->FindLamp(11)->GetState(), 0);
    Click(sw);
    EXPECT_EQ(sw->Normal(), LateralSide2);
    EXPECT_TRUE(Contains(Requests(brEC), "2 4 1 0 1"));
    EXPECT_EQ(m->FindLamp(12)->GetState(), 1);
    Tick(10);
    EXPECT_EQ(m->FindLamp(10)->GetState(), 1);

    // Cap mode: the cap goes on with a click and comes off through the cap menu.
    Click(Get<TControl>("Image1"));
    EXPECT_EQ(Get<TPanel>("Panel1")->BevelWidth(), 2);
    EXPECT_EQ(sw->Cursor(), crKolpachek);
    m->Bus.ClearLog();
    Click(sw);
    EXPECT_EQ(sw->Normal(), CloseState2);
    Click(sw);
    EXPECT_TRUE(Requests(brEC).empty());
    EXPECT_EQ(Popups.back(), "pmKolpachek");
    EXPECT_EQ(Get<TPopupMenu>("pmKolpachek")->PopupComponent, sw);
    Get<TMenuItem>("N48")->Click();
    EXPECT_EQ(sw->Normal(), LateralSide2);
    Click(Get<TControl>("Image1"));
    EXPECT_EQ(sw->Cursor(), crHandPoint);
}

TEST_F(HandlersTest, AnUnsealedButtonHeldWithShiftTurnsASwitchOfALockedRoute)
{
    SetRoute();
    TEC_Switch* sw = Switch("Frame1");
    auto* sealed = Get<TEC_PlButton>("EC_PlButton1");
    auto* other = Get<TEC_PlButton>("EC_PlButton3");

    // Locked by the route: the switch stays.
    Click(sw, Qt::RightButton);
    EXPECT_TRUE(Contains(Requests(brEC), "2 4 1 1 1"));
    Tick(10);
    EXPECT_EQ(m->FindLamp(12)->GetState(), 0);
    EXPECT_EQ(m->FindLamp(11)->GetState(), 0);

    // The seal comes off only while the clock runs (the call rung at start has started it).
    m->MainTimer->SetInterval(0);
    Click(sealed, Qt::RightButton);
    EXPECT_EQ(Popups.back(), "pmPlomb");
    Get<TMenuItem>("N45")->Click();
    EXPECT_TRUE(sealed->Plombed());
    m->StartClock();
    Get<TMenuItem>("N45")->Click();
    EXPECT_FALSE(sealed->Plombed());
    Click(other, Qt::RightButton);
    Get<TMenuItem>("N45")->Click();

    // Held with the left hand: the auxiliary turning is on, and the switch turns.
    m->Bus.ClearLog();
    Click(sealed, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(sealed->Down());
    EXPECT_EQ(Requests(brEC), std::vector<std::string>{"2 18 1 1"});
    Click(sw, Qt::LeftButton);
    Click(sw, Qt::RightButton);
    EXPECT_TRUE(Contains(Requests(brEC), "2 4 1 1 1"));
    EXPECT_EQ(m->FindLamp(12)->GetState(), 1);
    Tick(10);
    EXPECT_EQ(m->FindLamp(11)->GetState(), 1);

    // A second button held lets the first one go, in the interlocking too.
    m->Bus.ClearLog();
    Click(other, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(Requests(brEC), (std::vector<std::string>{"2 18 1 0", "2 18 3 1"}));
    EXPECT_FALSE(sealed->Down());
    EXPECT_TRUE(other->Down());

    // Another key's release with Shift down changes nothing; releasing Shift lets it go.
    m->Bus.ClearLog();
    int key = 'A';
    m->FormKeyUp(m, key, TShiftState{ssShift});
    EXPECT_TRUE(Requests(brEC).empty());
    QWidget* focus = QApplication::focusWidget();
    // As the system reports it: the release of Shift carries the state before it.
    QTest::keyRelease(focus ? focus : m->Widget()->window(), Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(Requests(brEC), std::vector<std::string>{"2 18 3 0"});
    EXPECT_FALSE(other->Down());
}

TEST_F(HandlersTest, ACallIsTakenByAClickOnItsKeyAndShownOrSpoken)
{
    TfmCommutatorMessage* window = fmCommutatorMessage;
    auto* key = Get<TEC_ComutatorButton>("EC_ComutatorButton1");
    std::string mes = "4 32 СП3 состав готов к отправлению на втором пути";
    ASSERT_TRUE(Send(mes));
    mes = "4 9 СП3 0 Текст";
    ASSERT_TRUE(Send(mes));
    EXPECT_EQ(key->State(), TEC_ComutatorButton::ksRinging);
    sound->Log.clear();

    // Text messages are on: spoken and shown.
    Click(key);
    EXPECT_EQ(key->Deadline, -1);
    EXPECT_TRUE(Contains(sound->Log, "play temp.wav")) << ::testing::PrintToString(sound->Log);
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(window->Caption(), "СП3->Комутатор");
    EXPECT_EQ(window->mMessage->Lines().Count(), 1);
    EXPECT_EQ(window->mMessage->Lines()[0], "Текст");
    EXPECT_EQ(key->Dialog, window);
    EXPECT_EQ(window->Key, m->FindKey("СП3"));

    // Text messages off: the repeat speaks it again and only schedules the follow-up.
    window->Hide();
    Get<TMenuItem>("N53")->Click();
    EXPECT_FALSE(Get<TMenuItem>("N53")->Checked());
    Get<TPopupMenu>("pmSP3")->PopupComponent = key;
    sound->Log.clear();
    m->Bus.ClearLog();
    Get<TMenuItem>("N24")->Click();
    EXPECT_TRUE(Contains(sound->Log, "play temp.wav")) << ::testing::PrintToString(sound->Log);
    EXPECT_TRUE(HasPrefix(Requests(brDelay), Format("8 4 %f 4 24 1", m->ModelTime + 5.0)));
    EXPECT_FALSE(window->Visible());
    EXPECT_TRUE(key->Down());
}

TEST_F(HandlersTest, AKeyMenuOpensItsDialogueOnlyWhenTheExecutorIsFree)
{
    auto* dialog = Install(new TfmZacrepit);
    auto* key = Get<TEC_ComutatorButton>("EC_ComutatorButton1");
    TScriptedReceiver tecn;
    tecn.On("3 24 5", "0");
    m->Bus.SetReceiver(brTecn, tecn.AsHandler());

    // A click on an idle key opens its menu for it.
    Click(key);
    EXPECT_EQ(Popups.back(), "pmSP3");
    EXPECT_EQ(Get<TPopupMenu>("pmSP3")->PopupComponent, key);
    Get<TMenuItem>("N21")->Click();
    EXPECT_EQ(tecn.received, std::vector<std::string>{"3 24 5"});
    EXPECT_EQ(dialog->Post, 0);  // presets only when the dialogue opens
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(key->State(), TEC_ComutatorButton::ksIdle);
    EXPECT_FALSE(key->Down());

    TScriptedReceiver freeTecn;
    freeTecn.On("3 24 5", "1");
    m->Bus.SetReceiver(brTecn, freeTecn.AsHandler());
    dialog->Post = 0;
    Get<TMenuItem>("N21")->Click();
    EXPECT_TRUE(dialog->Visible());
    EXPECT_EQ(dialog->Caption(), "ДСП->СП3");
    EXPECT_EQ(dialog->Post, 3);
    EXPECT_EQ(dialog->OwnerKey, m->FindKey("СП3"));
    EXPECT_EQ(key->Dialog, dialog);

    // A dialogue that is not there: nothing opens, the key is released.
    dialog->Hide();
    key->SetDown(false);
    dialog->SetName("fmZacrepitGone");
    Click(key);
    Get<TMenuItem>("N21")->Click();
    EXPECT_FALSE(key->Down());
    EXPECT_EQ(key->State(), TEC_ComutatorButton::ksIdle);
    // An item of a channel button ("Слідуйте") shows its dialogue.
    Get<TMenuItem>("N29")->Click();
    EXPECT_EQ(fmConsole->Memo1->Text().find("fmManevrMove"), std::string::npos);
    EXPECT_TRUE(Window<TfmManevrMove>("fmManevrMove")->Visible());
    // Main menu: a window of the program is shown.
    Get<TMenuItem>("N34")->Click();
    EXPECT_TRUE(fmError->Visible());
}

TEST_F(HandlersTest, CounterFencingAndLocoPosition)
{
    m->RouteCounter = 9999;
    Click(Get<TControl>("EC_Button62"));
    EXPECT_TRUE(Contains(Requests(brEC), "2 13"));
    const char* edits[] = {"Edit5", "Edit6", "Edit7", "Edit8"};
    const char* expected[] = {"10", "0", "0", "0"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Get<TEdit>(edits[i])->Text(), expected[i]);

    // Fencing consent for train 2003, whose lamp 15 burns steadily yellow.
    TScriptedReceiver tecn;
    tecn.On("3 10 1501 15", "8");
    tecn.On("3 5", nullptr);
    m->Bus.SetReceiver(brTecn, tecn.AsHandler());
    std::string mes = "4 16 15 1 2";
    ASSERT_TRUE(Send(mes));
    Click(Get<TControl>("EC_Button55"));
    auto* consent = Get<TEC_Lamp>("EC_Lamp26");
    EXPECT_EQ(consent->GetState(), 2);
    auto* lampButton = Get<TControl>("EC_ButtonLamp1");
    QTest::mousePress(lampButton->Widget(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(consent->GetState(), 1);
    QTest::mouseRelease(lampButton->Widget(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(tecn.received, (std::vector<std::string>{"3 10 1501 15", "3 5 8 128 1"}));
    EXPECT_EQ(consent->GetState(), 0);

    // "Положення" of the diesel loco, which the plan has on track 4П (plan section 14).
    TScriptedReceiver plan;
    plan.On("1 12 1 1", "14 20.000 14");
    m->Bus.SetReceiver(brPlan, plan.AsHandler());
    Get<TMenuItem>("N103")->Click();
    TForm* channel = Screen().FindForm("fmManevr");
    auto* memo = static_cast<TMemo*>(channel->FindComponent("mMessage"));
    EXPECT_NE(memo->Text().find("Нахожусь на секции"), std::string::npos) << memo->Text();
    EXPECT_TRUE(channel->Visible());
}
