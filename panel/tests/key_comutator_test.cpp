// The switchboard keys: ringing, the answer deadline, the message memory and the mouse.
//
//   form
//   └── pnKeys (panel)      A "СП3"  B "ПДСу"     (GroupIndex 1 and 3, A with a phrase menu)
//   └── pnOther (panel)     C "ПЛок"              (another row: never touched by A or B)
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>

#include "KeyTestSupport.h"
#include "panel/EC_ComutatorButton.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

// Records where it was asked to open instead of opening.
class TRecordingMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override { Points.push_back({x, y}); }
    std::vector<TPoint> Points;
};

class Keys : public SoundScratch {
protected:
    void SetUp() override
    {
        SoundScratch::SetUp();
        form = std::make_unique<TForm>();
        form->SetName("fmKeysTest");
        form->SetBounds(100, 50, 400, 300);
        pnKeys = new TPanel(form.get());
        pnKeys->SetParent(form.get());
        pnKeys->SetBounds(10, 20, 300, 60);
        pnOther = new TPanel(form.get());
        pnOther->SetParent(form.get());
        pnOther->SetBounds(10, 100, 300, 60);
        menu = new TRecordingMenu(form.get());
        A = Key(pnKeys, "СП3", 1, 5);
        A->SetPopupMenu(menu);
        B = Key(pnKeys, "ПДСу", 3, 60);
        C = Key(pnOther, "ПЛок", 4, 5);
        dialog = new TForm(form.get());
        dialog->SetName("fmDialog");
    }
    void TearDown() override
    {
        form.reset();
        SoundScratch::TearDown();
    }
    TEC_ComutatorButton* Key(TPanel* parent, const std::string& caption, int group, int left)
    {
        auto* k = new TEC_ComutatorButton(form.get());
        k->SetParent(parent);
        k->SetCaption(caption);
        k->GroupIndex = group;
        k->SetLeft(left);
        return k;
    }
    static void Click(TEC_ComutatorButton* k, int x = 5)
    {
        k->DispatchMouseDown(mbLeft, TShiftState{}, x, 5);
        k->DispatchMouseUp(mbLeft, TShiftState{}, x, 5);
    }
    // The dialogue windows raise and deactivate their key when they close.
    void OpenDialogFor(TEC_ComutatorButton* k)
    {
        dialog->OnClose = [this, k](TObject*, TCloseAction&) {
            ++dialogCloses;
            k->SetDown(false);
            k->DeActivate();
        };
        k->Dialog = dialog;
        dialog->Show();
    }
    static bool RedBold(const TEC_ComutatorButton* k) { return k->Font().Color == clRed && (k->Font().Style & fsBold); }

    std::unique_ptr<TForm> form;
    TPanel* pnKeys = nullptr;
    TPanel* pnOther = nullptr;
    TRecordingMenu* menu = nullptr;
    TEC_ComutatorButton *A = nullptr, *B = nullptr, *C = nullptr;
    TForm* dialog = nullptr;
    int dialogCloses = 0;
};

} // namespace

TEST_F(Keys, RingPlaysTheRingSoundToItsEndOrBeepsWithoutIt)
{
    EXPECT_EQ(A->Width(), 45);
    EXPECT_EQ(A->Height(), 20);

    // No "sound\td.wav" here: a 700 Hz beep of half a second.
    EXPECT_TRUE(A->ActivateRed());
    EXPECT_EQ(A->State(), 1);
    EXPECT_TRUE(RedBold(A));
    EXPECT_EQ(recorder->Log, (std::vector<std::string>{"beep 700 500"}));

    std::filesystem::create_directory("Sound");  // the data's case differs from the disk's
    std::filesystem::copy_file(TestSoundDir() + "td.wav", "Sound/TD.wav");
    recorder->Log.clear();
    EXPECT_TRUE(B->ActivateRed());
    EXPECT_EQ(recorder->Log, (std::vector<std::string>{"sync sound\\td.wav"}));

    // A ringing key does not ring again.
    recorder->Log.clear();
    EXPECT_FALSE(B->ActivateRed());
    EXPECT_EQ(B->State(), 1);
    EXPECT_TRUE(recorder->Log.empty());
}

TEST_F(Keys, ABrokenRingSoundStillRings)
{
    std::filesystem::create_directory("sound");
    std::ofstream("sound/td.wav") << "not a wave";
    EXPECT_TRUE(A->ActivateRed());
    EXPECT_EQ(recorder->Log, (std::vector<std::string>{"beep 700 500"}));
}

TEST_F(Keys, APressedKeyDoesNotRingAndStaysPressed)
{
    Click(B);
    ASSERT_EQ(B->State(), 2);
    EXPECT_FALSE(B->ActivateRed());
    EXPECT_EQ(B->State(), 2);
    EXPECT_TRUE(B->Down());
    EXPECT_TRUE(recorder->Log.empty());
}

TEST_F(Keys, AMissedCallIsDroppedAtItsDeadline)
{
    EXPECT_TRUE(A->Process(1e6f));  // no call waits
    A->Deadline = 100;
    A->LastText = "поїзд прибуває";
    A->ActivateRed();
    EXPECT_TRUE(A->Process(99.5f));
    EXPECT_EQ(A->State(), 1);
    EXPECT_FALSE(A->Process(100));
    EXPECT_EQ(A->State(), 0);
    EXPECT_EQ(A->Deadline, -1);
    EXPECT_FALSE(RedBold(A));
    EXPECT_EQ(A->LastText, "");
    EXPECT_TRUE(A->Process(200));  // reported once only
}

TEST_F(Keys, DeActivateLeavesDeadlineDialogueAndDown)
{
    Click(B);
    B->Deadline = 50;
    B->Dialog = dialog;
    B->LastText = "x";
    B->DeActivate();
    EXPECT_EQ(B->State(), 0);
    EXPECT_EQ(B->LastText, "");
    EXPECT_EQ(B->Deadline, 50);
    EXPECT_EQ(B->Dialog, dialog);
    EXPECT_TRUE(B->Down());
}

TEST_F(Keys, MessageMemorySumsUpForTheRepeat)
{
    A->NoteMessage();
    EXPECT_EQ(A->CurrentMessage(), "");

    A->SetMessage("old");
    A->SetMessage("a");
    A->AddMessage("b");
    A->AddMessage("c");
    EXPECT_EQ(A->GetMessageA()->lines, (std::vector<std::string>{"a", "b", "c"}));
    A->LastText = "поїзд прибуває";
    A->NoteMessage();
    EXPECT_EQ(A->CurrentMessage(), "a...");

    // The repeat: the key is deactivated (which empties the last text), then the memory is
    // reduced to the summary and the last text comes back for speaking again.
    A->DeActivate();
    A->MemMessage();
    EXPECT_EQ(A->GetMessageA()->lines, (std::vector<std::string>{"a..."}));
    EXPECT_EQ(A->LastText, "поїзд прибуває");

    A->SetMessage("one");
    A->NoteMessage();
    EXPECT_EQ(A->CurrentMessage(), "one");
}

TEST_F(Keys, PressingOpensThePhraseMenuBelowTheRowAndRaisingClosesTheDialogue)
{
    std::vector<std::string> events;
    A->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        events.push_back("up " + std::to_string(x) + " " + std::to_string(y) + " state " + std::to_string(A->State()));
    };
    A->OnClick = [&](TObject*) { events.push_back("click"); };

    Click(A, 7);
    EXPECT_EQ(A->State(), 2);
    EXPECT_TRUE(A->Down());
    EXPECT_TRUE(RedBold(A));
    ASSERT_EQ(menu->Points.size(), 1u);
    EXPECT_EQ(menu->PopupComponent, A);
    const TPoint band = pnKeys->ClientToScreen({0, 0});
    EXPECT_EQ(menu->Points[0].X - band.X, A->Left() + 7 + 2);
    EXPECT_EQ(menu->Points[0].Y - band.Y, 40);
    // The handler sees the state already changed and the release at (1, 1).
    EXPECT_EQ(events, (std::vector<std::string>{"up 1 1 state 2", "click"}));

    OpenDialogFor(A);
    Click(A);
    EXPECT_EQ(A->State(), 0);
    EXPECT_FALSE(A->Down());
    EXPECT_FALSE(RedBold(A));
    EXPECT_EQ(dialogCloses, 1);
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(menu->Points.size(), 1u);

    // Down again on the next click, menu again.
    Click(A);
    EXPECT_EQ(A->State(), 2);
    EXPECT_TRUE(A->Down());
    EXPECT_EQ(menu->Points.size(), 2u);
}

TEST_F(Keys, RealMouseClicksPressAndRaiseTheKey)
{
    form->Show();
    QTest::mouseClick(A->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    EXPECT_EQ(A->State(), 2);
    EXPECT_TRUE(A->Down());
    EXPECT_EQ(menu->Points.size(), 1u);
    QTest::mouseClick(A->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    EXPECT_EQ(A->State(), 0);
    EXPECT_FALSE(A->Down());
    // A release whose press began elsewhere still changes the state but not Down.
    QTest::mouseRelease(A->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    EXPECT_EQ(A->State(), 2);
    EXPECT_FALSE(A->Down());
}

TEST_F(Keys, TakingARingingCallOpensNoMenu)
{
    A->ActivateRed();
    Click(A);
    EXPECT_EQ(A->State(), 3);
    EXPECT_TRUE(A->Down());
    EXPECT_TRUE(menu->Points.empty());
}

TEST_F(Keys, PressingAKeyDeactivatesThePressedKeysOfItsRow)
{
    Click(B);
    OpenDialogFor(B);
    Click(C);
    ASSERT_EQ(C->State(), 2);

    Click(A);
    EXPECT_EQ(A->State(), 2);
    EXPECT_EQ(B->State(), 0);
    EXPECT_FALSE(B->Down());  // by its dialogue's close
    EXPECT_EQ(dialogCloses, 1);
    // Another row is left alone.
    EXPECT_EQ(C->State(), 2);
    EXPECT_TRUE(C->Down());
}

TEST_F(Keys, PressingAKeyRaisesTheOthersAndARingingKeyTakesItsCallOnTheFirstClick)
{
    Click(B);
    Click(A);
    EXPECT_EQ(B->State(), 0);
    EXPECT_FALSE(B->Down());
    // A call for B: its first click takes it.
    B->ActivateRed();
    Click(B);
    EXPECT_EQ(B->State(), 3);
    EXPECT_TRUE(B->Down());

    // A key left down and deactivated (as a busy executor leaves it) that rings again: the
    // first click takes the call instead of only raising the key.
    Click(C);
    C->DeActivate();
    C->ActivateRed();
    Click(C);
    EXPECT_EQ(C->State(), 3);
    EXPECT_TRUE(C->Down());
    EXPECT_TRUE(RedBold(C));
}

TEST_F(Keys, OtherButtonsAreIgnored)
{
    A->DispatchMouseDown(mbRight, TShiftState{}, 5, 5);
    A->DispatchMouseUp(mbRight, TShiftState{}, 5, 5);
    A->DispatchMouseDown(mbMiddle, TShiftState{}, 5, 5);
    A->DispatchMouseUp(mbMiddle, TShiftState{}, 5, 5);
    EXPECT_EQ(A->State(), 0);
    EXPECT_FALSE(A->Down());
}

TEST_F(Keys, TheRepeatTakesTheCallAgainWithoutAPress)
{
    // As the main window repeats a call: raise, deactivate, ring, release at (0, 0), show down.
    A->ActivateRed();
    Click(A);
    A->SetDown(false);
    A->DeActivate();
    A->ActivateRed();
    int handled = 0;
    A->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++handled; };
    A->MouseUp(mbLeft, TShiftState{}, 0, 0);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(A->State(), 3);
    EXPECT_FALSE(A->Down());  // a release with no press does not toggle
    A->SetDown(true);
    EXPECT_TRUE(A->Down());
}

TEST_F(Keys, ChannelButtonOpensItsMenuOnEveryRelease)
{
    auto* b = new TEC_ConnectButton(form.get());
    b->SetParent(pnKeys);
    b->SetLeft(120);
    EXPECT_EQ(b->Width(), 49);
    EXPECT_EQ(b->Height(), 41);
    EXPECT_EQ(b->Caption(), "");
    b->DispatchMouseUp(mbLeft, TShiftState{}, 3, 3);  // no menu: nothing
    auto* pm = new TRecordingMenu(form.get());
    pm->AutoPopup = false;
    b->SetPopupMenu(pm);
    int ups = 0;
    b->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
        EXPECT_TRUE(pm->Points.empty() || ups > 0);
        ++ups;
    };
    b->DispatchMouseUp(mbLeft, TShiftState{}, 3, 3);
    b->DispatchMouseUp(mbRight, TShiftState{}, 4, 3);
    EXPECT_EQ(ups, 2);
    ASSERT_EQ(pm->Points.size(), 2u);
    const TPoint band = pnKeys->ClientToScreen({0, 0});
    EXPECT_EQ(pm->Points[1].X - band.X, 120 + 4 + 2);
    EXPECT_EQ(pm->Points[1].Y - band.Y, 40);
}

TEST(KeyDefinition, KeysAndChannelButtonsLoadFromAForm)
{
    if (!IsComponentClassRegistered("TPopupMenu")) RegisterQtPlatformClasses();
    TForm f;
    LoadFormDefinitionText(&f,
                           "object fmSwitchboard: TForm\n"
                           "  object pmSP3: TPopupMenu\n"
                           "  end\n"
                           "  object EC_ComutatorButton1: TEC_ComutatorButton\n"
                           "    Caption = \"СП3\"\n"
                           "    GroupIndex = 1\n"
                           "    Podhod = 2\n"
                           "    Executor = 5\n"
                           "    PopupMenu = pmSP3\n"
                           "  end\n"
                           "  object EC_ConnectButton1: TEC_ConnectButton\n"
                           "    PopupMenu = pmSP3\n"
                           "  end\n"
                           "end\n",
                           "Switchboard.vfm", nullptr);
    auto* k = f.FindChild<TEC_ComutatorButton>("EC_ComutatorButton1");
    EXPECT_EQ(k->Caption(), "СП3");
    EXPECT_EQ(k->GroupIndex, 1);
    EXPECT_EQ(k->Podhod, 2);
    EXPECT_EQ(k->Executor, 5);
    EXPECT_EQ(k->PopupMenu(), f.FindComponent("pmSP3"));
    EXPECT_EQ(k->Deadline, -1);
    EXPECT_EQ(f.FindChild<TEC_ConnectButton>("EC_ConnectButton1")->ClassName(), "TEC_ConnectButton");
}
