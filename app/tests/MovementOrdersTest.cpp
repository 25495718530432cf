// The movement orders and the radio dialogues on the program's own main window with the sample
// station and its real plan and technology models: the menus that open them, their lists, and
// an order or a report each carried to the models.
#include <QTest>

#include "TrainerFixture.h"
#include "app/dialogues/MovementOrders.h"
#include "app/dialogues/RadioDialogues.h"

namespace {

const std::filesystem::path kStation = std::filesystem::path(VELO_SOURCE_DIR) / "station";

void Click(TControl* c) { QTest::mouseClick(c->Widget(), Qt::LeftButton, {}, QPoint(3, 3)); }

// The index of an entry by its text; -1 when missing.
int Entry(TComboBox* box, const std::string& text)
{
    for (int i = 0; i < box->Items().Count(); ++i)
        if (box->Items()[i] == text) return i;
    return -1;
}

} // namespace

class MovementOrdersTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        if (!std::filesystem::exists(kStation / "data" / "Pribitie.dat")) GTEST_SKIP() << "no sample station";
        std::filesystem::remove_all("data");
        std::filesystem::copy(kStation / "data", "data", std::filesystem::copy_options::recursive);
        CreateTrainerWindows([] { return new TfmMain; });
        m = fmMain;
        m->ShowStartDialog = [] {};
        m->FormActivate(m);
        m->Show();
        m->Bus.recording = true;
        m->Bus.ClearLog();
    }

    TMenuItem* Item(const std::string& name) { return m->FindChild<TMenuItem>(name); }
    // The replies of the handled requests that begin with prefix.
    std::vector<std::string> Handled(const std::string& prefix)
    {
        std::vector<std::string> l;
        for (const auto& r : m->Bus.log)
            if (r.request.rfind(prefix, 0) == 0 && r.result) l.push_back(r.request);
        return l;
    }
    std::string Console() { return fmConsole->Memo1->Text(); }

    TfmMain* m = nullptr;
};

TEST_F(MovementOrdersTest, EachWindowIsItsOwnClassWithItsLists)
{
    for (const char* name : {"fmTrainMove", "fmManevrMove", "fmManevrMoveP", "fmOtpravlenie", "fmTrainPritc",
                             "fmPassMove", "fmManevrOtc", "fmManevrPritc", "fmLocoToHelp", "fmPomOtc", "fmLocoToTrain",
                             "fmVozvratPom", "fmContinueMove", "fmTrainOtc"}) {
        auto* d = Window<TDialogueForm>(name);
        ASSERT_NE(d, nullptr) << name;
        EXPECT_EQ(d->ClassName(), std::string("T") + name);
        EXPECT_EQ(d->FindChild<TButton>("btOK")->Caption(), "ОК");
        EXPECT_EQ(d->FindChild<TButton>("btCancel")->Caption(), "Відміна");
        // Pictures of the windows for a reviewer: VELO_DIALOGUE_SHOTS=<folder>.
        if (const char* shots = std::getenv("VELO_DIALOGUE_SHOTS")) {
            d->Show();
            SaveScreenshot(d, std::string(shots) + "/" + name + ".png");
            d->Close();
        }
    }
    EXPECT_TRUE(Boxes.empty()) << Boxes.front();

    // The signals sorted by name with their Ids beside them, the same in all three orders.
    auto* train = Window<TfmTrainMove>("fmTrainMove");
    const int count = train->cbToSignal->Items().Count();
    ASSERT_EQ(train->SignalIds.Count(), static_cast<unsigned>(count));
    for (int i = 1; i < count; ++i)
        EXPECT_LE(CompareListTexts(train->cbToSignal->Items()[i - 1], train->cbToSignal->Items()[i]), 0);
    const int nh4 = Entry(train->cbToSignal, "НГ4");
    ASSERT_GE(nh4, 0);
    EXPECT_EQ(*train->SignalIds.Get(static_cast<unsigned>(nh4)), 174);
    EXPECT_EQ(Window<TfmManevrMoveP>("fmManevrMoveP")->cbOverSignal->Items().ToStringList().lines,
              train->cbToSignal->Items().ToStringList().lines);
    // Tracks of kinds 2 to 4, the other destinations of kind 5 only in the train order.
    EXPECT_EQ(train->cbWay->Items().Count(), 12);
    EXPECT_EQ(train->cbPark->Items().Count(), 3);
    EXPECT_EQ(Window<TfmManevrMove>("fmManevrMove")->cbPark->Items().Count(), 0);
    // The uncoupled locomotive's destinations: three fixed, then under a train on each track.
    auto* otc = Window<TfmTrainOtc>("fmTrainOtc");
    ASSERT_EQ(otc->cbTarget->Items().Count(), 3 + otc->cbWay->Items().Count());
    EXPECT_EQ(otc->cbTarget->Items()[3], "під состав на колію 1П");
    auto* help = Window<TfmLocoToTrain>("fmLocoToTrain");
    EXPECT_EQ(help->cbWay->Items().Count(), 7);
    EXPECT_EQ(help->cbWayH->Items().Count(), 6);
}

TEST_F(MovementOrdersTest, TheHumpLocomotiveOrderedToASignalAndToWhereItCannotGo)
{
    auto* d = Window<TfmManevrMove>("fmManevrMove");
    Item("N70")->Click();  // the electric loco
    ASSERT_TRUE(d->Visible());
    EXPECT_EQ(d->lbToSignal->Caption(), "Маневровий электровоз! Следуйте до сигнала");
    Click(d->FindChild<TButton>("btCancel"));
    Item("N29")->Click();  // "Слідуйте" to the diesel, МЛ1 on 4П facing east
    EXPECT_EQ(d->lbWay->Caption(), "Маневровый тепловоз!");
    EXPECT_EQ(d->cbToSignal->ItemIndex(), -1);

    // Ahead of it: the humping signal at the end of its own track.
    d->PageControl1->SetActivePage(d->FindChild<TTabSheet>("TabSheet1"));
    d->cbToSignal->SetItemIndex(Entry(d->cbToSignal, "НГ4"));
    m->Bus.ClearLog();
    Click(d->FindChild<TButton>("btOK"));
    EXPECT_FALSE(d->Visible());
    EXPECT_EQ(Handled("3 5"), std::vector<std::string>{"3 5 1 1003 1 1012 1 1013 174 1005 0"});
    EXPECT_TRUE(Handled("0 4").empty());

    // The departure main's end is out of its reach: error 15, no order.
    Item("N29")->Click();
    d->cbToSignal->SetItemIndex(Entry(d->cbToSignal, "ЧВ"));
    m->Bus.ClearLog();
    Click(d->FindChild<TButton>("btOK"));
    EXPECT_TRUE(Handled("3 5").empty());
    EXPECT_EQ(m->Bus.Requests(brInstructor), std::vector<std::string>{"0 4 15 МЛ1"});
    const std::vector<std::string> errors = fmError->ListBox->Items().ToStringList().lines;
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Локомотив МЛ1 не может доехать до указанной цели"), std::string::npos);
}

TEST_F(MovementOrdersTest, RadioReportsMoveTheObjectsOn)
{
    // МЛ2 uncouples from its cut on 2В: the cut takes report 127.
    auto* otc = Window<TfmManevrOtc>("fmManevrOtc");
    Item("N73")->Click();
    ASSERT_TRUE(otc->Visible());
    EXPECT_EQ(otc->Loco, 2);
    otc->cbWay->SetItemIndex(Entry(otc->cbWay, "2В"));
    Click(otc->FindChild<TButton>("btOK"));
    EXPECT_FALSE(otc->Visible());
    EXPECT_EQ(Handled("3 5"), std::vector<std::string>{"3 5 10 127 1"});

    // The train locomotive 1612 sent as the reserve to 2П; train 2001's locomotive under a train on 4П.
    auto* toTrain = Window<TfmLocoToTrain>("fmLocoToTrain");
    Item("N56")->Click();
    toTrain->PageControl1->SetActivePage(toTrain->TabSheet2);
    toTrain->ebLokoH->SetText("1612");
    toTrain->cbWayH->SetItemIndex(Entry(toTrain->cbWayH, "2П"));
    Click(toTrain->FindChild<TButton>("btOK"));
    auto* trainOtc = Window<TfmTrainOtc>("fmTrainOtc");
    Item("N41")->Click();
    trainOtc->ebTrain->SetText("2001");
    trainOtc->ebLoko->SetText("166");
    trainOtc->cbWay->SetItemIndex(Entry(trainOtc->cbWay, "1П"));
    trainOtc->cbTarget->SetItemIndex(Entry(trainOtc->cbTarget, "під состав на колію 4П"));
    Click(trainOtc->FindChild<TButton>("btOK"));
    EXPECT_FALSE(trainOtc->Visible());
    EXPECT_EQ(Handled("3 19"), (std::vector<std::string>{"3 19 10 2 2В", "3 19 9 12", "3 19 7 166 11 14"}));
    EXPECT_EQ(Handled("3 5"), (std::vector<std::string>{"3 5 10 127 1", "3 5 9 403 1", "3 5 7 108 1"}));
    // Each was a transition of its automaton, and none the error of an order out of place.
    EXPECT_TRUE(m->Bus.Requests(brInstructor).empty());
    EXPECT_TRUE(Boxes.empty()) << Boxes.front();
}
