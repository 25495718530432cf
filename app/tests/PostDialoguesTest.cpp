// The announcements, post orders, brake-shoe orders and the electro-mechanic on the program's own
// main window with the sample station and the real models: train 2001 (object 7, 40 cars,
// loaded) stands on receiving track 1П (11); the signalmen of posts 3, 7 and 1 are objects 3, 4
// and 5, the electro-mechanic object 6.
#include <algorithm>

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>

#include "TrainerFixture.h"
#include "app/dialogues/Announcements.h"
#include "app/dialogues/ElectroMechanic.h"
#include "app/dialogues/PostDialogues.h"
#include "app/dialogues/SwitchboardDialogues.h"
#include "panel/EC_ComutatorButton.h"
#include "platform/core/CFormat.h"
#include "platform/core/Strings.h"

namespace {


void Click(TControl* c) { QTest::mouseClick(c->Widget(), Qt::LeftButton, {}, QPoint(3, 3)); }

bool Has(const std::vector<std::string>& l, const std::string& s) { return std::find(l.begin(), l.end(), s) != l.end(); }

bool HasPrefix(const std::vector<std::string>& l, const std::string& prefix)
{
    for (const auto& x : l)
        if (x.rfind(prefix, 0) == 0) return true;
    return false;
}

} // namespace

class PostDialoguesTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        m = StartSampleStation();
        if (!m) GTEST_SKIP() << "no sample station";
        oldPopup = SetPopupHook([](TPopupMenu*, int, int) {});
        Tick(3);
    }

    void TearDown() override
    {
        SetPopupHook(oldPopup);
        TrainerTest::TearDown();
    }

    void Tick(int n = 1)
    {
        for (int k = 0; k < n; ++k) {
            m->ModelTime += 1;
            for (unsigned i = 0; i < m->Models.Count(); ++i) (*m->Models.Get(i))->Process(static_cast<float>(m->ModelTime));
        }
    }

    TEC_ComutatorButton* Key(const std::string& caption)
    {
        TEC_ComutatorButton* found = nullptr;
        m->ForEachOwned([&](TComponent* c) {
            if (auto* k = dynamic_cast<TEC_ComutatorButton*>(c); k && k->Caption() == caption) found = k;
        });
        return found;
    }

    // The key pressed by the trainee and the item chosen in its menu.
    void Choose(const std::string& key, const std::string& item)
    {
        Click(Key(key));
        m->FindChild<TMenuItem>(item)->Click();
    }

    // What the technology model answers to mes ("" when it does not handle it).
    std::string Ask(const std::string& mes)
    {
        std::string s = mes;
        return m->MessageDispatcher(nullptr, s, nullptr) ? Trim(s) : std::string();
    }

    std::vector<std::string> Sent() const { return m->Bus.Requests(brTecn); }

    TfmMain* m = nullptr;
    TPopupHook oldPopup;
};

TEST_F(PostDialoguesTest, EachWindowIsItsOwnClassBuiltFromItsDefinition)
{
    for (const char* name : {"fmPribivaet", "fmPribivaetPrig", "fmUvagaTrainOut", "fmUvagaRospusk", "fmUvagaLokoPritc",
                             "fmPredupr", "fmSwitchState", "fmSectionState", "fmSwitchTurn", "fmZamkSwitch",
                             "fmSnyatZakl", "fmKurbel", "fmZacrepit", "fmUbrat", "fmElectroMex", "fmSnyatOgr"}) {
        auto* d = Window<TDialogueForm>(name);
        ASSERT_NE(d, nullptr) << name;
        EXPECT_EQ(d->ClassName(), std::string("T") + name);
        EXPECT_EQ(d->FindChild<TButton>("btOK")->Caption(), "ОК") << name;
        EXPECT_EQ(d->FindChild<TButton>("btCancel")->Caption(), "Відміна") << name;
        if (const char* shots = std::getenv("VELO_DIALOGUE_SHOTS")) {
            d->Show();
            SaveScreenshot(d, std::string(shots) + "/" + name + ".png");
            d->Close();
        }
    }
    EXPECT_TRUE(Boxes.empty()) << Boxes.front();
    // The lists of the sample station: kind 3 only for the suburban arrival, kind 2 for humping,
    // both groups of the securing file for the coupling, post 3's group for the permit.
    EXPECT_EQ(Window<TfmPribivaetPrig>("fmPribivaetPrig")->cbWay->Items().ToStringList().lines, std::vector<std::string>{"3В"});
    EXPECT_EQ(Window<TfmUvagaRospusk>("fmUvagaRospusk")->cbWay->Items().Count(), 6);
    EXPECT_EQ(Window<TfmUvagaLokoPritc>("fmUvagaLokoPritc")->cbWay->Items().Count(), 7);
    EXPECT_EQ(Window<TfmPredupr>("fmPredupr")->cbWay->Items().Count(), 4);
}

TEST_F(PostDialoguesTest, TheAnnouncementsStayOnTopAndThePermitReadsInFull)
{
    for (const char* name :
         {"fmPribivaet", "fmPribivaetPrig", "fmUvagaTrainOut", "fmUvagaRospusk", "fmUvagaLokoPritc", "fmPredupr"})
        EXPECT_TRUE(Window<TForm>(name)->Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << name;

    // The permit's sentence, line by line and left to right.
    auto* d = Window<TfmPredupr>("fmPredupr");
    std::vector<TLabel*> labels;
    for (int i = 0; i < d->ComponentCount(); ++i)
        if (auto* l = dynamic_cast<TLabel*>(d->Components(i))) labels.push_back(l);
    std::stable_sort(labels.begin(), labels.end(), [](TLabel* a, TLabel* b) {
        return a->Top() != b->Top() ? a->Top() < b->Top() : a->Left() < b->Left();
    });
    std::vector<std::string> texts;
    for (TLabel* l : labels) texts.push_back(l->Caption());
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Сигналіст поста 1! На колії", "видати дозвіл на бланку білого кольору з червоною полосою",
                         "для відправлення локомотива №", "на перегін",
                         "Тарвіна-Сортувальна - Тарвіна-Східна по I колії до ", "км",
                         "для виводу з перегону поїзда № ", "на станцію", "Тарвіна-Сортувальна"}));
}

TEST_F(PostDialoguesTest, ATrainFromStretchTwoAnnouncedToTheWagonInspection)
{
    // A scenario line creates train 2402 on stretch 2, to be broken up, from Тарвина-Вертолин.
    std::string line = "3 6 12 1025 2402 1511 168 1504 48 2001 720 1505 1 1540 4008 1541 1 1542 4000";
    ASSERT_TRUE(m->MessageDispatcher(nullptr, line, nullptr));
    Tick(2);
    const std::string t = Ask("3 10 1025 2402");
    ASSERT_FALSE(t.empty());
    Choose("ПТО", "N25");
    auto* d = Window<TfmPribivaetR>("fmPribivaetR");
    ASSERT_TRUE(d->Visible());
    QTest::keyClicks(d->ebTrNumber->Widget(), "2402");
    d->cbStation->SetItemIndex(0);  // Тарвіна-Вертолин
    d->cbWay->SetItemIndex(4);      // 1В, 21
    m->Bus.ClearLog();
    Click(d->FindChild<TButton>("btOK"));
    EXPECT_FALSE(d->Visible());
    EXPECT_TRUE(Has(Sent(), "3 19 " + t + " 21")) << ::testing::PrintToString(Sent());
    EXPECT_TRUE(Has(Sent(), "3 5 " + t + " 103 1")) << t << Boxes.size();
    Tick(2);
    EXPECT_FALSE(HasPrefix(m->Bus.Requests(brInstructor), "0 4 17")) << ::testing::PrintToString(m->Bus.Requests(brInstructor));
}

TEST_F(PostDialoguesTest, ShoesSetThroughThePostThreeKeyHoldTheTrainUntilRemoved)
{
    Choose("СП3", "N21");
    auto* z = Window<TfmZacrepit>("fmZacrepit");
    ASSERT_TRUE(z->Visible());
    EXPECT_EQ(z->Caption(), "ДСП->СП3");
    EXPECT_EQ(z->lbPost->Caption(), "3");
    EXPECT_TRUE(z->cbWayS->Visible());
    EXPECT_FALSE(z->cbWayO->Visible());
    QTest::keyClicks(z->ebTrNumber->Widget(), "2001");
    z->cbWayS->SetItemIndex(0);  // 1П
    z->cbBashm->SetText("3");    // typed
    Click(z->FindChild<TButton>("btOK"));
    EXPECT_TRUE(Boxes.empty()) << Boxes.front();
    EXPECT_FALSE(z->Visible());
    EXPECT_EQ(z->Caption(), "Гучномовний зв'язок->СП3");
    Tick();
    EXPECT_EQ(Ask("3 4 7 1004 1010"), "3 3");  // the movement model holds a train whose 1010 is set

    Choose("СП3", "N22");
    auto* u = Window<TfmUbrat>("fmUbrat");
    ASSERT_TRUE(u->Visible());
    u->cbWayS->SetItemIndex(0);
    u->cbBashm->SetItemIndex(u->cbBashm->Items().IndexOf("3"));
    Click(u->FindChild<TButton>("btOK"));
    EXPECT_TRUE(Boxes.empty()) << Boxes.front();
    EXPECT_FALSE(u->Visible());
    EXPECT_TRUE(Has(Sent(), "3 19 7 3 1П")) << ::testing::PrintToString(Sent());
    Tick();
    EXPECT_EQ(Ask("3 4 7 1004 1010"), "0 0");

    // From the loudspeaker menu for post 7: its own group, no key asked.
    m->FindChild<TMenuItem>("N7")->Click();
    EXPECT_TRUE(z->Visible());
    EXPECT_EQ(z->lbPost->Caption(), "7");
    EXPECT_TRUE(z->cbWayO->Visible());
    EXPECT_FALSE(z->cbWayS->Visible());
    EXPECT_EQ(z->ebTrNumber->Text(), "");
    EXPECT_EQ(z->cbBashm->Text(), "");  // the typed count is gone too
}

TEST_F(PostDialoguesTest, OrdersToThePostOneSignalmanReachItsObject)
{
    Choose("СП1", "N94");
    auto* turn = Window<TfmSwitchTurn>("fmSwitchTurn");
    ASSERT_TRUE(turn->Visible());
    EXPECT_EQ(turn->Box->Items().ToStringList().lines, (std::vector<std::string>{"1", "3", "5", "7", "9", "11"}));
    turn->Box->SetItemIndex(1);
    turn->cbState->SetItemIndex(1);  // "-"
    Click(turn->FindChild<TButton>("btOK"));
    EXPECT_FALSE(turn->Visible());
    EXPECT_TRUE(Has(Sent(), "3 5 5 1551 3 1552 1 402 1"));
    EXPECT_EQ(Ask("3 4 5 1551 1552"), "3 1");

    Choose("СП1", "N92");
    auto* section = Window<TfmSectionState>("fmSectionState");
    ASSERT_TRUE(section->Visible());
    section->Box->SetItemIndex(0);  // 1СП
    Click(section->FindChild<TButton>("btOK"));
    EXPECT_TRUE(Has(Sent(), "3 19 5 1СП"));
    EXPECT_EQ(Ask("3 4 5 1551"), "201");
    EXPECT_TRUE(Boxes.empty()) << Boxes.front();
}

TEST_F(PostDialoguesTest, TheElectroMechanicsSelectorsFollowTheRequest)
{
    auto* e = Window<TfmElectroMex>("fmElectroMex");
    // The sealed buttons of the panel, filled at the first activation.
    ASSERT_GT(e->cbButtons->Items().Count(), 1);
    EXPECT_EQ(e->cbButtons->Items()[1], "ВК3");
    Choose("Рел", "N89");
    ASSERT_TRUE(e->Visible());
    auto shown = [e] {
        std::string s;
        for (TComboBox* c : {e->cbButtons, e->cbKurbel, e->cbSection, e->cbSwitch}) s += c->Visible() ? "1" : "0";
        return s;
    };
    EXPECT_EQ(shown(), "0000");
    // The trainee's choice of a request.
    e->cbMode->SetItemIndex(1);
    e->cbModeChange(e->cbMode);
    EXPECT_EQ(shown(), "0100");
    e->cbMode->SetItemIndex(0);
    e->cbModeChange(e->cbMode);
    EXPECT_EQ(shown(), "1000");
    e->cbButtons->SetItemIndex(1);
    Click(e->FindChild<TButton>("btOK"));
    EXPECT_FALSE(e->Visible());
    EXPECT_TRUE(Has(Sent(), "3 19 6 ВК3"));
    EXPECT_TRUE(Has(Sent(), "3 5 6 410 1"));
    EXPECT_FALSE(Key("Рел")->Down());
}

TEST_F(PostDialoguesTest, AShownEntryKeepsItsPostsRecordAndListsOverflowWithTheirMessage)
{
    // "НД" is a section of post 3 (15) and of post 7 (27): post 7's order reports 27.
    WriteFile("data/Sections.dat", "1 3 11\n2 3 15 НД\n2 7 27 НД\n3 1 5 1/51\n");
    auto* s = Window<TfmSectionState>("fmSectionState");
    s->DataFileName = "DATA\\Sections.dat";
    s->ReadDataFile();
    s->SetPost(7);
    EXPECT_EQ(s->Executor, 4);
    ASSERT_EQ(s->Box->Items().ToStringList().lines, std::vector<std::string>{"НД"});
    s->Box->SetItemIndex(0);
    EXPECT_EQ(s->Chosen()->Number, 27);

    // The electro-mechanic holds 99 sections: a hundredth is refused with the overflow message.
    std::string many;
    for (int i = 0; i < 100; ++i) many += Format("2 3 %d С%d\n", 300 + i, i);
    WriteFile("data/Sections.dat", many);
    auto* e = Window<TfmElectroMex>("fmElectroMex");
    e->DataFileName = "DATA\\Sections.dat";
    EXPECT_THROW(e->ReadDataFile(), Exception);
    EXPECT_EQ(e->cbSection->Items().Count(), 99);
}

// The suburban announcement's one-track list: cleared on every showing and marked as empty; a
// click beside its open list chooses nothing and takes nothing away; OK without a track refuses.
TEST_F(PostDialoguesTest, AnEmptyTrackListSaysSoAndAMissedClickKeepsTheChoice)
{
    m->FindChild<TMenuItem>("N44")->Click();
    auto* d = Window<TfmPribivaetPrig>("fmPribivaetPrig");
    ASSERT_TRUE(d->Visible());
    auto* box = static_cast<QComboBox*>(d->cbWay->Widget());
    ASSERT_EQ(box->count(), 1);
    EXPECT_EQ(d->cbWay->ItemIndex(), -1);
    EXPECT_EQ(box->placeholderText().toStdString(), TComboBox::NothingChosen);
    EXPECT_EQ(d->cbWay->Text(), "");

    auto missedClick = [&] {
        box->showPopup();
        QWidget* popup = box->view()->window();
        ASSERT_TRUE(popup->isVisible());
        QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(popup->width() + 40, popup->height() + 40));
        EXPECT_FALSE(popup->isVisible());
    };
    missedClick();
    EXPECT_EQ(d->cbWay->ItemIndex(), -1);
    d->cbWay->SetItemIndex(0);
    missedClick();
    EXPECT_EQ(d->cbWay->ItemIndex(), 0);
    EXPECT_EQ(d->cbWay->Text(), "3В");

    // Shown again: the choice is cleared on purpose, so the trainee chooses the track himself.
    d->Close();
    m->FindChild<TMenuItem>("N44")->Click();
    EXPECT_EQ(d->cbWay->ItemIndex(), -1);
    d->ebTrNumber->SetText("2001");
    const std::string approach = Ask("3 4 7 1011");
    for (unsigned i = 0; i < d->StationIds.Count(); ++i)
        if (Format("%d", *d->StationIds.Get(i)) != approach) d->cbStation->SetItemIndex(static_cast<int>(i));
    ASSERT_GE(d->cbStation->ItemIndex(), 0);
    Click(d->FindChild<TButton>("btOK"));
    EXPECT_EQ(Boxes, std::vector<std::string>{"Не указан путь прибытия поезда"});
    EXPECT_TRUE(d->Visible());
    EXPECT_FALSE(HasPrefix(Sent(), "3 19 "));
    EXPECT_FALSE(HasPrefix(Sent(), "3 5 7 303"));
}

// Post 7's shoe removal opens from the key's menu without the executor question. Closed, it
// must leave the key raised: a key left down stays red, refuses the signalman's next call and
// gives nothing to take on a click.
TEST_F(PostDialoguesTest, AKeyRedAfterItsDialogueIsAlwaysACallThatOpensOnAClick)
{
    TEC_ComutatorButton* key = Key("СП7");
    Choose("СП7", "MenuItem5");
    auto* u = Window<TfmUbrat>("fmUbrat");
    ASSERT_TRUE(u->Visible());
    EXPECT_TRUE(key->Down());
    EXPECT_EQ(key->State(), TEC_ComutatorButton::ksPressed);
    Click(u->FindChild<TButton>("btCancel"));
    EXPECT_FALSE(u->Visible());
    EXPECT_FALSE(key->Down());
    EXPECT_EQ(key->State(), TEC_ComutatorButton::ksIdle);

    // The signalman answers over the loudspeaker and rings the key: red, and a click shows it.
    std::string answer = "4 10 Сигналист Башмаки прибрано";
    EXPECT_TRUE(m->MessageDispatcher(nullptr, answer, nullptr));
    std::string call = "4 9 СП7 0 Башмаки з колії 1П прибрано";
    ASSERT_TRUE(m->MessageDispatcher(nullptr, call, nullptr));
    EXPECT_EQ(key->State(), TEC_ComutatorButton::ksRinging);
    Click(key);
    auto* message = Window<TForm>("fmCommutatorMessage");
    ASSERT_TRUE(message->Visible());
    EXPECT_EQ(message->Caption(), "СП7->Комутатор");
    TStrings& lines = message->FindChild<TMemo>("mMessage")->Lines();
    ASSERT_EQ(lines.Count(), 1);
    EXPECT_EQ(lines[0], "Башмаки з колії 1П прибрано");

    // Pressed again and its dialogue opened: a click on the key raises it and closes the dialogue.
    Click(message->FindChild<TButton>("btClose"));
    EXPECT_FALSE(key->Down());
    Choose("СП7", "MenuItem5");
    ASSERT_TRUE(u->Visible());
    Click(key);
    EXPECT_FALSE(u->Visible());
    EXPECT_FALSE(key->Down());
    EXPECT_EQ(key->State(), TEC_ComutatorButton::ksIdle);
}
