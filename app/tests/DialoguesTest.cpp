// The dialogues and channel windows on the program's own main window with the sample station,
// the technology model replaced by a script that answers as the real one would: train 2001 is
// object 7 from the first neighbour (1011 = 1), to be broken up (1028 = 1).
#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <QTimer>

#include "TrainerFixture.h"
#include "app/UtilityWindows.h"
#include "app/dialogues/ChannelWindows.h"
#include "app/dialogues/SwitchboardDialogues.h"
#include "panel/EC_ComutatorButton.h"
#include "panel/PanelBitmaps.h"
#include "app/dialogues/SwitchboardTalks.h"

#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace {


void Click(TControl* c) { QTest::mouseClick(c->Widget(), Qt::LeftButton, {}, QPoint(3, 3)); }

bool Asked(const std::vector<std::string>& received, const std::string& prefix)
{
    for (const auto& r : received)
        if (r.rfind(prefix, 0) == 0) return true;
    return false;
}

} // namespace

class DialoguesTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        m = StartSampleStation();
        if (!m) GTEST_SKIP() << "no sample station";
        oldPopup = SetPopupHook([](TPopupMenu*, int, int) {});
        tecn.On("3 10 1025 2001 1011 1", "7");
        tecn.On("3 10 1025 2001 1011", nullptr, 0);
        tecn.On("3 10 1025 2001", "7");
        tecn.On("3 4 7 1011 1028", "1 1");
        tecn.On("3 19", nullptr);
        tecn.On("3 5", nullptr);
        m->Bus.SetReceiver(brTecn, tecn.AsHandler());
    }

    void TearDown() override
    {
        SetPopupHook(oldPopup);
        TrainerTest::TearDown();
    }

    TEC_ComutatorButton* Key(const std::string& name) { return m->FindChild<TEC_ComutatorButton>(name); }
    TMenuItem* Item(const std::string& name) { return m->FindChild<TMenuItem>(name); }

    // The key pressed by the trainee and the item chosen in its menu.
    void Choose(TEC_ComutatorButton* key, const std::string& item)
    {
        Click(key);
        Item(item)->Click();
    }

    TfmMain* m = nullptr;
    TScriptedReceiver tecn;
    TPopupHook oldPopup;
};

TEST_F(DialoguesTest, EachWindowIsItsOwnClassBuiltFromItsDefinition)
{
    // Built at start: every control the code reads was found with its class.
    for (const char* name : {"fmOzhidau", "fmOtkaz", "fmPribivaetR", "fmPribivaetT", "fmZaprosDNC", "fmZaprosDSP",
                             "fmTrainOut", "fmPassOut", "fmDNCVozvrat", "fmDNCLoko", "fmDNCOnHelp", "fmGromk", "fmTrain",
                             "fmManevr"}) {
        TForm* f = Screen().FindForm(name);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_EQ(f->ClassName(), std::string("T") + name);
        // Pictures of the windows for a reviewer: VELO_DIALOGUE_SHOTS=<folder>.
        if (const char* shots = std::getenv("VELO_DIALOGUE_SHOTS")) {
            f->Show();
            SaveScreenshot(f, std::string(shots) + "/" + name + ".png");
            f->Close();
        }
        if (auto* d = dynamic_cast<TDialogueForm*>(f)) {
            const std::string ok = d->Name() == "fmOzhidau" ? "OK" : "ОК";
            EXPECT_EQ(d->FindChild<TButton>("btOK")->Caption(), ok) << name;
            EXPECT_EQ(d->FindChild<TButton>("btCancel")->Caption(), d->Name() == "fmPribivaetR" ? "відміна" : "Відміна");
        }
    }
    EXPECT_TRUE(Boxes.empty()) << Boxes.front();
    // The arrival list of the sample station, the definition's entries replaced.
    auto* r = Window<TfmPribivaetR>("fmPribivaetR");
    EXPECT_EQ(r->cbStation->Items().ToStringList().lines, (std::vector<std::string>{"Тарвіна-Вертолин", "Тарвіна-Східна"}));
    EXPECT_EQ(r->cbWay->Items().Count(), 7);
    EXPECT_EQ(r->TrackIds.Count(), 7u);
}

TEST_F(DialoguesTest, ATrainAnnouncedToTheWagonInspectionKey)
{
    auto* key = Key("EC_ComutatorButton2");  // "ПТО", no executor
    auto* d = Window<TfmPribivaetR>("fmPribivaetR");
    Choose(key, "N25");
    ASSERT_TRUE(d->Visible());
    EXPECT_EQ(d->Caption(), "ДСП->ПТО");
    EXPECT_EQ(key->Dialog, d);
    EXPECT_FALSE(Asked(tecn.received, "3 24"));

    // No station chosen: refused in a box, the window stays open with the number.
    QTest::keyClicks(d->ebTrNumber->Widget(), "2001");
    Click(d->FindChild<TButton>("btOK"));
    EXPECT_EQ(Boxes, std::vector<std::string>{"Не вказано підхід, з якого прибуває поїзд"});
    EXPECT_TRUE(d->Visible());
    EXPECT_EQ(d->ebTrNumber->Text(), "2001");

    tecn.received.clear();
    d->cbStation->SetItemIndex(0);  // Тарвіна-Вертолин, 1
    d->cbWay->SetItemIndex(1);      // 2П, 12
    Click(d->FindChild<TButton>("btOK"));
    EXPECT_EQ(tecn.received, (std::vector<std::string>{"3 10 1025 2001", "3 4 7 1011 1028", "3 19 7 12", "3 5 7 103 1"}));
    EXPECT_FALSE(d->Visible());
    EXPECT_EQ(key->State(), TEC_ComutatorButton::ksIdle);
    EXPECT_FALSE(key->Down());
    EXPECT_EQ(d->Caption(), "Комутатор->ПТО");

    // Opened again, the fields are empty; "відміна" sends nothing and lets the key go.
    Choose(key, "N25");
    EXPECT_EQ(d->ebTrNumber->Text(), "");
    EXPECT_EQ(d->cbStation->ItemIndex(), -1);
    tecn.received.clear();
    m->Bus.ClearLog();
    Click(d->FindChild<TButton>("btCancel"));
    EXPECT_FALSE(d->Visible());
    EXPECT_TRUE(m->Bus.log.empty());
    EXPECT_FALSE(key->Down());
    EXPECT_EQ(key->State(), TEC_ComutatorButton::ksIdle);
}

TEST_F(DialoguesTest, ANeighboursCallRefusedAndATrainAwaited)
{
    // The neighbour rings with the two answers; the trainee takes the call and refuses.
    std::string mes = "4 9 ПЖСвер 1 Приймайте поїзд 2001";
    ASSERT_TRUE(Send(mes));
    auto* key = Key("EC_ComutatorButton8");
    Click(key);
    ASSERT_TRUE(fmCommutatorMessage->Visible());
    ASSERT_TRUE(fmCommutatorMessage->btOtkaz->Visible());
    Click(fmCommutatorMessage->btOtkaz);
    auto* otkaz = Window<TfmOtkaz>("fmOtkaz");
    ASSERT_TRUE(otkaz->Visible());
    EXPECT_EQ(otkaz->Caption(), "Комутатор->ДСП");
    otkaz->ebTrNumber->SetText("2001");
    Click(otkaz->FindChild<TButton>("btOK"));
    EXPECT_EQ(tecn.received, (std::vector<std::string>{"3 10 1025 2001", "3 5 7 102 1"}));
    EXPECT_FALSE(otkaz->Visible());
    EXPECT_FALSE(key->Down());
    // A train that is nowhere: error 3 names the side it was refused from.
    m->Bus.ClearLog();
    Choose(key, "MenuItem2");
    otkaz->ebTrNumber->SetText("9999");
    Click(otkaz->FindChild<TButton>("btOK"));
    EXPECT_EQ(m->Bus.Requests(brInstructor), std::vector<std::string>{"0 4 3 9999 ПЖСвер"});

    // Waiting through the same key: the train is looked up on that key's approach.
    tecn.received.clear();
    auto* ozhidau = Window<TfmOzhidau>("fmOzhidau");
    Choose(key, "MenuItem1");
    EXPECT_EQ(ozhidau->Caption(), "ДСП->ПЖСвер");
    ozhidau->ebTrNumber->SetText("2001");
    Click(ozhidau->FindChild<TButton>("btOK"));
    EXPECT_EQ(tecn.received, (std::vector<std::string>{"3 10 1025 2001 1011 1", "3 5 7 101 1"}));
    EXPECT_EQ(ozhidau->Caption(), "Черговий->Комутатор");
    // Through the other neighbour's key it is not awaited: error 3 with that key's caption.
    m->Bus.ClearLog();
    Choose(Key("EC_ComutatorButton5"), "N14");
    ozhidau->ebTrNumber->SetText("2001");
    Click(ozhidau->FindChild<TButton>("btOK"));
    EXPECT_EQ(m->Bus.Requests(brInstructor), std::vector<std::string>{"0 4 3 2001 ПЖСвост"});
}

TEST_F(DialoguesTest, PresetsPagesAndFieldsKeptBetweenOpenings)
{
    auto* pass = Window<TfmPassOut>("fmPassOut");
    Choose(Key("EC_ComutatorButton8"), "N55");
    EXPECT_EQ(pass->Label3->Caption(), "Пригородный поезд №");
    EXPECT_EQ(pass->RegCode, 304);
    EXPECT_EQ(pass->Direction, 1);
    EXPECT_EQ(pass->emTime->Text(), "  :  ");
    pass->ebTrNumber->SetText("2001");
    pass->emTime->TypeText("1200");
    Click(pass->FindChild<TButton>("btOK"));
    EXPECT_EQ(tecn.received.back(), "3 5 7 304 1");

    auto* dsp = Window<TfmZaprosDSP>("fmZaprosDSP");
    Choose(Key("EC_ComutatorButton5"), "N65");
    Click(dsp->FindChild<TButton>("btCancel"));
    EXPECT_EQ(dsp->RegCode, 144);

    // The locomotive plan keeps the page left active; the dispatcher's reports keep their fields.
    auto* loko = Window<TfmDNCLoko>("fmDNCLoko");
    EXPECT_EQ(loko->PageControl1->ActivePage(), loko->TabSheet2);
    auto* dispatcher = Key("EC_ComutatorButton4");
    Choose(dispatcher, "N42");
    loko->PageControl1->SetActivePage(loko->TabSheet1);
    loko->ebTrNumber->SetText("2001");
    tecn.received.clear();
    Click(loko->FindChild<TButton>("btOK"));
    EXPECT_EQ(tecn.received, (std::vector<std::string>{"3 10 1025 2001", "3 5 7 105 1"}));
    Choose(dispatcher, "N42");
    EXPECT_EQ(loko->PageControl1->ActivePage(), loko->TabSheet1);
    EXPECT_EQ(loko->ebTrNumber->Text(), "");
    Click(loko->FindChild<TButton>("btCancel"));

    auto* vozvrat = Window<TfmDNCVozvrat>("fmDNCVozvrat");
    Choose(dispatcher, "N99");
    vozvrat->ebTrNumber->SetText("2001");
    Click(vozvrat->FindChild<TButton>("btCancel"));
    Choose(dispatcher, "N99");
    EXPECT_EQ(vozvrat->ebTrNumber->Text(), "2001");
}

TEST_F(DialoguesTest, TheTrainRadioInsistsUntilItIsAcknowledged)
{
    int beeps = 0;
    TBeepHook oldBeep = SetBeepHook([&](unsigned) { ++beeps; });
    auto* w = Window<TfmTrain>("fmTrain");
    std::string mes = "4 10 ПЛок Слідуйте";
    ASSERT_TRUE(Send(mes));
    ASSERT_TRUE(w->Visible());
    EXPECT_EQ(w->Caption(), "ПЛок->Поїзний зв'язок");
    EXPECT_EQ(w->mMessage->Lines().ToStringList().lines, std::vector<std::string>{"Слідуйте"});
    EXPECT_EQ(w->Timer1->Interval(), TChannelWindow::kFirstReminder);
    EXPECT_EQ(beeps, 0);

    // 10 s, then every 3 s, also while a box or the keypad holds the clock.
    w->Timer1->Tick();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(w->mMessage->Color(), clRed);
    EXPECT_EQ(w->Timer1->Interval(), TChannelWindow::kReminder);
    {
        TBusyScope paused;
        w->Timer1->Tick();
    }
    EXPECT_EQ(beeps, 2);

    // A further message is added, and the reminder starts again.
    mes = "4 10 ПЛок Стоп";
    EXPECT_TRUE(Send(mes));
    EXPECT_EQ(w->mMessage->Lines().ToStringList().lines, (std::vector<std::string>{"Слідуйте", "ПЛок: Стоп"}));
    EXPECT_EQ(w->mMessage->Color(), clWindow);
    EXPECT_EQ(w->Timer1->Interval(), TChannelWindow::kFirstReminder);

    // Shrunk below its least size, it snaps back with the button centred.
    w->SetBounds(w->Left(), w->Top(), 200, 100);
    w->FormResize(w);
    EXPECT_EQ(w->Width(), 260);
    EXPECT_EQ(w->Height(), 160);
    EXPECT_EQ(w->mMessage->Width(), 250);
    EXPECT_EQ(w->mMessage->Height(), 80);
    EXPECT_EQ(w->btClose->Top(), 95);
    EXPECT_EQ(w->btClose->Left(), 93);

    Click(w->btClose);
    EXPECT_FALSE(w->Visible());
    EXPECT_EQ(w->Caption(), "Поїзний зв'язок");
    EXPECT_EQ(w->Timer1->Interval(), 0);
    mes = "4 10 ПЛок Рушайте";
    EXPECT_TRUE(Send(mes));
    EXPECT_EQ(w->Caption(), "ПЛок->Поїзний зв'язок");
    SetBeepHook(oldBeep);
}

TEST_F(DialoguesTest, ADoubleClickOpensAFreshKeypadOnTheField)
{
    auto* d = Window<TfmOtkaz>("fmOtkaz");
    d->Show();
    auto keypads = [] {
        std::vector<TfmKeyBoard*> l;
        for (int i = 0; i < Screen().FormCount(); ++i)
            if (auto* k = dynamic_cast<TfmKeyBoard*>(Screen().Forms(i))) l.push_back(k);
        return l;
    };
    const size_t before = keypads().size();
    // The trainee's presses while the keypad is open.
    QTimer::singleShot(0, [&] {
        for (TfmKeyBoard* k : keypads()) {
            if (!k->Modal()) continue;
            EXPECT_EQ(k->Target, d->ebTrNumber);
            for (const char* caption : {"2", "0", "^", "1", "T"})
                for (int i = 0; i < k->ComponentCount(); ++i)
                    if (auto* b = dynamic_cast<TButton*>(k->Components(i)); b && b->Caption() == caption) b->Click();
        }
    });
    d->NumberDblClick(d->ebTrNumber);
    EXPECT_EQ(d->ebTrNumber->Text(), "21");
    EXPECT_EQ(keypads().size(), before);  // destroyed when it closed
}

class DialogueStartTest : public TrainerTest {};

TEST_F(DialogueStartTest, AnOverlongArrivalListIsShownOnceNamingTheLineAndTheProgramGoesOn)
{
    std::string stations = "* станції\n";
    for (int i = 1; i <= 10; ++i) stations += "1 " + std::to_string(i) + " Станція\n";
    WriteFile("data/Pribitie.dat", stations);
    Start();
    // Every dialogue with a station list overflows; one message says so for the file.
    EXPECT_EQ(Boxes, std::vector<std::string>{"DATA\\Pribitie.dat, строка 11: Переполнение массива10"});
    auto* r = Window<TfmPribivaetR>("fmPribivaetR");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->cbStation->Items().Count(), 9);
    EXPECT_NE(Screen().FindForm("fmKeyBoard"), nullptr);  // the windows after it exist too
}

TEST_F(DialoguesTest, TheDepartureTimeIsWhatWasTypedAfterAClickAndAnIncompleteOneIsRefused)
{
    auto* pass = Window<TfmPassOut>("fmPassOut");
    Choose(Key("EC_ComutatorButton8"), "N55");
    pass->Widget()->activateWindow();
    QApplication::processEvents();
    pass->ebTrNumber->SetText("2001");
    // Clicked near the right end of the empty field, then typed.
    QWidget* time = pass->emTime->Widget();
    QTest::mouseClick(time, Qt::LeftButton, {}, QPoint(time->width() - 4, time->height() / 2));
    QApplication::processEvents();
    QTest::keyClicks(time, "1015");
    Click(pass->FindChild<TButton>("btOK"));
    EXPECT_TRUE(Asked(tecn.received, "3 19 7 615"));
    EXPECT_FALSE(pass->Visible());

    // Without the minutes: refused, nothing sent, the window stays open.
    Choose(Key("EC_ComutatorButton8"), "N55");
    pass->ebTrNumber->SetText("2001");
    pass->emTime->TypeText("10");
    tecn.received.clear();
    Click(pass->FindChild<TButton>("btOK"));
    EXPECT_EQ(Boxes, std::vector<std::string>{kIncompleteDepartureTime});
    EXPECT_TRUE(tecn.received.empty());
    EXPECT_TRUE(pass->Visible());
    Click(pass->FindChild<TButton>("btCancel"));
}

TEST_F(DialoguesTest, TheChannelButtonsShowWhichChannelTheyAre)
{
    std::vector<QImage> pictures;
    for (int i = 0; i < 3; ++i) {
        auto* b = m->FindChild<TBitBtn>("EC_ConnectButton" + std::to_string(i + 1));
        QIcon icon = static_cast<QPushButton*>(b->Widget())->icon();
        ASSERT_FALSE(icon.isNull()) << i;
        pictures.push_back(icon.pixmap(static_cast<QPushButton*>(b->Widget())->iconSize()).toImage());
        EXPECT_EQ(pictures.back().convertToFormat(QImage::Format_ARGB32),
                  FindBitmap(ChannelBitmapName(i)).convertToFormat(QImage::Format_ARGB32)) << i;
    }
    EXPECT_NE(pictures[0], pictures[1]);
    EXPECT_NE(pictures[1], pictures[2]);
    EXPECT_NE(pictures[0], pictures[2]);
}

TEST_F(DialoguesTest, EnterConfirmsADialogueAndOnlySizeableWindowsCanBeResized)
{
    auto* back = Window<TfmDNCVozvrat>("fmDNCVozvrat");
    back->Show();
    back->Widget()->activateWindow();
    back->ebTrNumber->SetText("2001");
    back->ebTrNumber->SetFocus();
    QApplication::processEvents();
    QTest::keyClick(back->ebTrNumber->Widget(), Qt::Key_Return);
    ASSERT_FALSE(tecn.received.empty());
    EXPECT_EQ(tecn.received.back(), "3 5 7 424 1");
    EXPECT_FALSE(back->Visible());

    for (int i = 0; i < Screen().FormCount(); ++i) {
        TForm* f = Screen().Forms(i);
        QWidget* w = f->Widget();
        EXPECT_EQ(w->minimumSize() == w->maximumSize(), !f->Sizeable()) << f->Name();
    }
    for (const char* fixed : {"fmGromk", "fmManevr", "fmDNCVozvrat", "fmSectionsRoute"})
        EXPECT_FALSE(Screen().FindForm(fixed)->Sizeable()) << fixed;
    for (const char* sizeable : {"fmMain", "fmTrain", "fmError"}) EXPECT_TRUE(Screen().FindForm(sizeable)->Sizeable()) << sizeable;
}

TEST_F(DialoguesTest, EscapeCancelsADialogueAndClosesAToolWindow)
{
    auto* key = Key("EC_ComutatorButton2"); // "ПТО"
    auto* d = Window<TfmPribivaetR>("fmPribivaetR");
    Choose(key, "N25");
    ASSERT_TRUE(d->Visible());
    d->Widget()->activateWindow();
    QTest::keyClicks(d->ebTrNumber->Widget(), "2001");
    d->cbStation->SetItemIndex(0);
    d->cbWay->SetItemIndex(1);
    tecn.received.clear();
    m->Bus.ClearLog();
    QTest::keyClick(d->ebTrNumber->Widget(), Qt::Key_Escape);
    EXPECT_FALSE(d->Visible());
    EXPECT_TRUE(m->Bus.log.empty());
    EXPECT_TRUE(tecn.received.empty());
    EXPECT_FALSE(key->Down());
    EXPECT_EQ(key->State(), TEC_ComutatorButton::ksIdle);
    EXPECT_EQ(d->Caption(), "Комутатор->ПТО");

    // A tool window closes; the main window stays.
    fmError->Show();
    QTest::keyClick(fmError->Widget(), Qt::Key_Escape);
    EXPECT_FALSE(fmError->Visible());
    QTest::keyClick(m->Widget(), Qt::Key_Escape);
    EXPECT_TRUE(m->Visible());
}

TEST_F(DialoguesTest, ThePanelScrollsInASmallWindowAndNothingCoversTheStatusBar)
{
    m->SetWindowState(wsNormal);
    m->SetBounds(0, 0, 1000, 560);
    QApplication::processEvents();
    auto* scroll = m->Widget()->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
    auto* bar = m->FindChild<TControl>("TrenagerStatusBar");
    EXPECT_EQ(bar->Widget()->parentWidget(), m->ClientWidget());
    EXPECT_FALSE(scroll->geometry().intersects(bar->Widget()->geometry()));
    // The keys at the bottom of the panel sit on the scrolled inside.
    EXPECT_EQ(m->FindChild<TControl>("KeyPanel")->Widget()->parentWidget(), m->ContentWidget());
    // The wheel over a signal scrolls the panel down, with Shift sideways; over a scroll bar it
    // is the bar's own.
    auto wheel = [](QWidget* w, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), QPoint(), QPoint(0, -120), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    };
    QWidget* signal = m->FindChild<TControl>("EC_Signal181")->Widget();
    wheel(signal, Qt::NoModifier);
    EXPECT_GT(scroll->verticalScrollBar()->value(), 0);
    EXPECT_EQ(scroll->horizontalScrollBar()->value(), 0);
    wheel(m->ContentWidget(), Qt::ShiftModifier);
    EXPECT_GT(scroll->horizontalScrollBar()->value(), 0);
    m->SetBounds(0, 0, 1400, 900);
    QApplication::processEvents();
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
}
