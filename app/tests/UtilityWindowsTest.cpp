// The small windows around the panel, each built from its definition and shown offscreen.
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include "TrainerFixture.h"
#include "app/UtilityWindows.h"
#include "panel/EC_Button.h"

class UtilityWindowsTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        WriteFile("data/errors.dat", "12 5 0\nНе прийнято виклик %s\n");
        m = Start();
        key = AddElement<TTestKey>(m, "Key1", "СП3");
        bar = AddElement<TTestStatusBar>(m, "TrenagerStatusBar");
        m->FirstActivation();
        m->Bus.recording = true;
    }

    TfmMain* m = nullptr;
    TTestKey* key = nullptr;
    TTestStatusBar* bar = nullptr;
};

TEST_F(UtilityWindowsTest, ConsoleLogRequestsAndTheirVerdicts)
{
    m->ModelTime = 3725;
    m->ModelsEvent(nullptr, "3 3725.000 12 перехід");
    fmConsole->Show();
    EXPECT_TRUE(fmConsole->Visible());
    EXPECT_EQ(fmConsole->Caption(), "Консоль управления");
    EXPECT_EQ(fmConsole->Memo1->Lines()[0], "01:02 3 3725.000 12 перехід");
    ASSERT_EQ(fmConsole->EditMes->Items().Count(), 4);
    EXPECT_EQ(fmConsole->EditMes->Items()[0], "3 6 1 1005 1 1012 4 1013 1 2001 800 1025  2001");

    fmConsole->EditMes->SetText("4 27 1");
    fmConsole->Button1->Click();
    EXPECT_EQ(fmConsole->Edit1->Text(), "01:02");
    EXPECT_EQ(fmConsole->Label3->Caption(), "Выполнено");
    EXPECT_EQ(fmConsole->Label3->Font().Color, clGreen);

    // Receiver 9 has no model: the operator's empty answer refuses.
    Answer = "";
    fmConsole->EditMes->SetText("9 1");
    fmConsole->Button1->Click();
    EXPECT_EQ(Prompts.size(), 1u);
    EXPECT_EQ(fmConsole->Edit1->Text(), "");
    EXPECT_EQ(fmConsole->Label3->Caption(), "Отказ");
    EXPECT_EQ(fmConsole->Label3->Font().Color, clRed);

    // A request is cut to 239 characters.
    Answer = "x";
    fmConsole->EditMes->SetText("9 " + std::string(300, '7'));
    fmConsole->Button1->Click();
    EXPECT_EQ(m->Bus.log.back().request.size(), 239u);
}

TEST_F(UtilityWindowsTest, ErrorListMessageInformationAndHelpWindows)
{
    m->ModelTime = 100;
    std::string mes = "4 9 СП3 0 Текст";
    SendTrainerMessage(mes);
    for (int i = 0; i < 90; ++i) m->MainTimerTimer(nullptr);
    fmError->Show();
    EXPECT_EQ(fmError->Caption(), "Помилки");
    ASSERT_EQ(fmError->ListBox->Items().Count(), 1);
    EXPECT_EQ(fmError->ListBox->Items()[0], "00:03 5 балов - Не прийнято виклик СП3");

    mes = "6 Зміна на 1П";
    EXPECT_TRUE(SendTrainerMessage(mes));
    EXPECT_TRUE(fmMessage->Visible());
    EXPECT_EQ(fmMessage->mMessage->Lines()[0], "Зміна на 1П");
    fmMessage->btClose->Click();
    EXPECT_FALSE(fmMessage->Visible());

    fmInfo->ListBox1->Items().Add("12 - стоїть");
    fmInfo->ListBox1->Items().Add("12 - x");
    fmInfo->ReplaceTrainState("4 36 12 прибув_на_колію_3");
    EXPECT_EQ(fmInfo->ListBox1->Items()[0], "12 - прибув на колію 3");
    EXPECT_EQ(fmInfo->ListBox1->Items()[1], "12 - x");
    fmInfo->ReplaceTrainState("4 36 12 " + std::string(200, 'a'));
    EXPECT_EQ(fmInfo->ListBox1->Items()[0].size(), 119u);
    fmInfo->Show();
    EXPECT_EQ(fmInfo->FindChild<TPageControl>("PageControl1")->ActivePage()->Caption(), "Підхід поїздів");

    fmActiveHelp->miZakrClick(nullptr);
    EXPECT_EQ(fmActiveHelp->BorderStyle(), bsNone);
    EXPECT_EQ(fmActiveHelp->Memo1->Color(), clSilver);
    fmActiveHelp->miFloatClick(nullptr);
    EXPECT_EQ(fmActiveHelp->BorderStyle(), bsSizeToolWin);
    EXPECT_EQ(fmActiveHelp->Memo1->Color(), clInfoBk);
}

TEST_F(UtilityWindowsTest, TheHelpWindowFollowsItsNewestLineUnlessScrolledBack)
{
    Start();
    fmActiveHelp->Show();
    EXPECT_TRUE(fmActiveHelp->Sizeable());
    auto* memo = static_cast<QPlainTextEdit*>(fmActiveHelp->Memo1->Widget());
    QScrollBar* scroll = memo->verticalScrollBar();
    for (int i = 1; i <= 40; ++i) fmActiveHelp->AppendHelpLine("4 38 step " + std::to_string(i));
    ASSERT_GT(scroll->maximum(), 0);
    EXPECT_EQ(scroll->value(), scroll->maximum());
    // Scrolled back to read an earlier step, the trainee keeps it in view; every line is kept.
    scroll->setValue(0);
    fmActiveHelp->AppendHelpLine("4 38 step 41");
    EXPECT_EQ(scroll->value(), 0);
    EXPECT_EQ(fmActiveHelp->Memo1->Lines().Count(), 41);
    scroll->setValue(scroll->maximum());
    fmActiveHelp->AppendHelpLine("4 38 step 42");
    EXPECT_EQ(scroll->value(), scroll->maximum());
    EXPECT_EQ(fmActiveHelp->Memo1->Lines().Get(41), "step 42");
}

TEST_F(UtilityWindowsTest, PicturesOfThePauseAndAboutWindows)
{
    EXPECT_EQ(fmPusk->Caption(), "Тренажер");
    EXPECT_EQ(fmPusk->Image1->Picture().size(), QSize(96, 72));
    EXPECT_EQ(fmAbout->Caption(), "Про програму");
    EXPECT_EQ(fmAbout->Image1->Picture().size(), QSize(160, 120));
    EXPECT_EQ(fmAbout->FindChild<TLabel>("Label1")->Caption(), "Тренажер чергового по станції. Версія 3");

    // Dragged away, the window comes back one pixel per axis a tick.
    fmAbout->Show();
    fmAbout->DoShow();
    EXPECT_EQ(fmAbout->Timer1->Interval(), 200);
    fmAbout->SetBounds(200, 300, fmAbout->Width(), fmAbout->Height());
    fmAbout->Timer1Timer(nullptr);
    EXPECT_EQ(fmAbout->Left(), 201);
    EXPECT_EQ(fmAbout->Top(), 299);
    fmAbout->Timer1Timer(nullptr);
    fmAbout->Timer1Timer(nullptr);
    EXPECT_EQ(fmAbout->Left(), 202);
    EXPECT_EQ(fmAbout->Top(), 297);
    fmAbout->Close();
    EXPECT_EQ(fmAbout->Timer1->Interval(), 0);
}

TEST_F(UtilityWindowsTest, SwitchboardMessageWindowLayoutAndAnswers)
{
    std::string mes = "4 9 СП3 1 Поїзд 2001";
    SendTrainerMessage(mes);
    fmCommutatorMessage->Key = key;
    fmCommutatorMessage->Show();
    fmCommutatorMessage->DoShow();
    EXPECT_TRUE(fmCommutatorMessage->btAnsver->Visible());
    EXPECT_TRUE(fmCommutatorMessage->btOtkaz->Visible());
    EXPECT_EQ(fmCommutatorMessage->btClose->Left(), 9);
    fmCommutatorMessage->btAnsver->Click();
    EXPECT_EQ(fmOzhidau->OwnerKey, key);
    EXPECT_TRUE(fmOzhidau->Visible());
    EXPECT_FALSE(key->First || key->Second);
    EXPECT_FALSE(fmCommutatorMessage->Visible());
    EXPECT_FALSE(fmCommutatorMessage->btAnsver->Visible());

    // A call without answers: only "Зрозуміло", which raises and deactivates the key.
    key->Down = true;
    key->OpenDialog = fmOzhidau;
    fmCommutatorMessage->Key = key;
    fmCommutatorMessage->Show();
    fmCommutatorMessage->DoShow();
    EXPECT_FALSE(fmCommutatorMessage->btAnsver->Visible());
    EXPECT_EQ(fmCommutatorMessage->btClose->Left(), 89);
    fmCommutatorMessage->SetBounds(0, 0, 200, 100);
    fmCommutatorMessage->FormResize(nullptr);
    EXPECT_EQ(fmCommutatorMessage->Width(), 254);
    EXPECT_EQ(fmCommutatorMessage->Height(), 145);
    EXPECT_EQ(fmCommutatorMessage->mMessage->Width(), 246);
    EXPECT_EQ(fmCommutatorMessage->mMessage->Height(), 77);
    EXPECT_EQ(fmCommutatorMessage->btClose->Top(), 92);
    fmCommutatorMessage->btClose->Click();
    EXPECT_FALSE(key->Down);
    EXPECT_EQ(key->DeActivations, 1);
    EXPECT_EQ(key->OpenDialog, nullptr);
    EXPECT_EQ(fmCommutatorMessage->Key, nullptr);
    EXPECT_FALSE(fmCommutatorMessage->Visible());
}

TEST_F(UtilityWindowsTest, RouteSectionButtonsReleaseTheirSections)
{
    // The sample station's interlocking sections, named as in its post-section list.
    auto* first = fmSectionsRoute->FindChild<TEC_Button>("EC_Button1");
    auto* last = fmSectionsRoute->FindChild<TEC_Button>("EC_Button29");
    EXPECT_EQ(fmSectionsRoute->FindChild<TLabel>("Label1")->Caption(), "1СП");
    EXPECT_EQ(fmSectionsRoute->FindChild<TLabel>("Label29")->Caption(), "4БУ");
    first->Click();
    last->Click();
    EXPECT_EQ(m->Bus.Requests(brEC), (std::vector<std::string>{"2 12 201", "2 12 44"}));
}

TEST_F(UtilityWindowsTest, KeypadEditsTheTargetFieldAndCloses)
{
    TEdit& field = *new TEdit(fmKeyBoard);
    auto button = [](const char* name) { return fmKeyBoard->FindChild<TButton>(name); };
    bool wasModal = false;
    // The keys are pressed from inside the keypad's modal loop; should the loop not run, the guard
    // drops them with the test's locals.
    QObject guard;
    QTimer::singleShot(0, &guard, [&] {
        wasModal = fmKeyBoard->Modal();
        button("Button11")->Click();
        EXPECT_EQ(field.Text(), "");
        button("Button1")->Click();
        button("Button2")->Click();
        button("Button11")->Click();
        button("Button3")->Click();
        button("Button10")->Click();
        button("Button12")->Click();
    });
    fmKeyBoard->OpenKeyboard(fmKeyBoard, &field);
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(field.Text(), "130");
    EXPECT_FALSE(fmKeyBoard->Visible());
}
