// The partner table: binding partners to their channel windows and showing their messages.
//
//   Connection: 00 Сигналист -> fmGromk    (memo after a label)
//               01 МЛ1       -> fmManevr   (caption "Маневровий зв'язок")
//               02 МЛ2       -> fmManevr
//               03 ПЛок      -> fmTrain
#include <gtest/gtest.h>

#include <memory>

#include "panel/Connection.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

struct TBox {
    std::string Text, Caption;
    bool operator==(const TBox&) const = default;
};

class Partners : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldHook = SetMessageBoxHook([this](const std::string& text, const std::string& caption, unsigned) {
            boxes.push_back({text, caption});
            return IDOK;
        });
        gromk = Channel("fmGromk", "Гучномовний зв'язок", true);
        manevr = Channel("fmManevr", "Маневровий зв'язок", false);
        train = Channel("fmTrain", "Поїзний радіозв'язок", false);
        Partner(0, "Сигналист", "fmGromk");
        Partner(1, "МЛ1", "fmManevr");
        Partner(2, "МЛ2", "fmManevr");
        Partner(3, "ПЛок", "fmTrain");
    }
    void TearDown() override { SetMessageBoxHook(oldHook); }

    std::unique_ptr<TForm> Channel(const std::string& name, const std::string& caption, bool labelFirst)
    {
        auto f = std::make_unique<TForm>();
        f->SetName(name);
        f->SetCaption(caption);
        if (labelFirst) (new TLabel(f.get()))->SetParent(f.get());
        auto* m = new TMemo(f.get());
        m->SetName("mMessage");
        m->SetParent(f.get());
        m->Lines().Add("старе");
        return f;
    }
    void Partner(int i, const std::string& name, const std::string& canal)
    {
        conn.CompanionArray().Companion(i).ExecName = name;
        conn.CompanionArray().Companion(i).Canal = canal;
    }
    static TMemo* MemoOf(TForm* f) { return f->FindChild<TMemo>("mMessage"); }

    TMessageBoxHook oldHook;
    std::vector<TBox> boxes;
    std::unique_ptr<TForm> gromk, manevr, train;
    TConnection conn;
};

} // namespace

TEST_F(Partners, CheckBindsEachPartnerToItsWindowAndFirstMemo)
{
    conn.Check();
    EXPECT_TRUE(boxes.empty());
    const TCompanions& t = conn.CompanionArray();
    EXPECT_EQ(t.Companion(0).Form(), gromk.get());
    EXPECT_EQ(t.Companion(0).Memo(), MemoOf(gromk.get()));
    EXPECT_EQ(t.Companion(2).Form(), manevr.get());
    EXPECT_EQ(t.Companion(3).Memo(), MemoOf(train.get()));
    EXPECT_EQ(t.Companion(4).Form(), nullptr);
}

TEST_F(Partners, AMessageOpensTheChannelWindowAndAFurtherOneIsAddedToIt)
{
    conn.Check();
    EXPECT_EQ(conn.ShowMessage("МЛ1", "Зрозумів, виконую"), 1);
    EXPECT_TRUE(manevr->Visible());
    EXPECT_EQ(MemoOf(manevr.get())->Lines().ToStringList().lines, (std::vector<std::string>{"Зрозумів, виконую"}));
    EXPECT_EQ(manevr->Caption(), "МЛ1->Маневровий зв'язок");

    // The second driver shares the window: while it is open the text comes as a new line that
    // names its driver, as does a further line of the first.
    EXPECT_EQ(conn.ShowMessage("МЛ2", "друге"), 1);
    EXPECT_EQ(conn.ShowMessage("МЛ1", "третє"), 1);
    EXPECT_EQ(MemoOf(manevr.get())->Lines().ToStringList().lines,
              (std::vector<std::string>{"Зрозумів, виконую", "МЛ2: друге", "МЛ1: третє"}));
    EXPECT_EQ(manevr->Caption(), "МЛ1->Маневровий зв'язок");

    manevr->Hide();
    EXPECT_EQ(conn.ShowMessage("МЛ2", "друге"), 1);
    EXPECT_EQ(manevr->Caption(), "МЛ2->МЛ1->Маневровий зв'язок");

    EXPECT_EQ(conn.ShowMessage("Сигналист", "Стрілка переведена"), 1);
    EXPECT_TRUE(gromk->Visible());
    EXPECT_EQ(conn.ShowMessage("Невідомий", "x"), 0);
    EXPECT_EQ(conn.ShowMessage("мл1", "x"), 0);  // names are compared exactly
}

TEST_F(Partners, TheTableEndsAtTheFirstEmptyEntry)
{
    Partner(1, "", "fmManevr");
    Partner(3, "ПЛок", "fmNowhere");
    conn.Check();
    EXPECT_TRUE(boxes.empty());  // entries after the gap are not looked at
    EXPECT_EQ(conn.ShowMessage("МЛ2", "x"), 0);
    EXPECT_EQ(conn.ShowMessage("ПЛок", "x"), 0);
    EXPECT_FALSE(manevr->Visible());
    EXPECT_EQ(conn.ShowMessage("Сигналист", "x"), 1);
}

TEST_F(Partners, BeforeCheckNothingIsShown)
{
    EXPECT_EQ(conn.ShowMessage("МЛ1", "x"), 0);
    EXPECT_FALSE(manevr->Visible());
}

TEST_F(Partners, AMissingWindowOrMemoIsReportedInABox)
{
    Partner(1, "МЛ1", "fmX");
    auto bare = std::make_unique<TForm>();
    bare->SetName("fmBare");
    auto* panel = new TPanel(bare.get());
    panel->SetParent(bare.get());
    (new TEdit(bare.get()))->SetParent(panel);
    Partner(3, "ПЛок", "fmBare");
    conn.Check();
    EXPECT_EQ(boxes, (std::vector<TBox>{{"fmX", "Нет формы, указанной в качестве входного канала связи"},
                                        {"fmBare", "В форме, указанной в качестве входного канала связи, "
                                                   "отсутствует поле вывода сообщений"}}));
    EXPECT_EQ(conn.ShowMessage("МЛ1", "x"), 0);
    EXPECT_EQ(conn.ShowMessage("ПЛок", "x"), 0);
    EXPECT_FALSE(bare->Visible());
    EXPECT_EQ(conn.ShowMessage("МЛ2", "x"), 1);  // the rest still work
}

TEST_F(Partners, WritingTheTableCopiesNamesAndChannels)
{
    TCompanions other;
    other.Companion(0).ExecName = "ДНЦ";
    other.Companion(0).Canal = "fmTrain";
    conn.SetCompanionArray(other);
    EXPECT_EQ(conn.CompanionArray().Companion(0).ExecName, "ДНЦ");
    EXPECT_EQ(conn.CompanionArray().Companion(1).ExecName, "");
    other.Companion(0).ExecName = "змінено";
    EXPECT_EQ(conn.CompanionArray().Companion(0).ExecName, "ДНЦ");
}

TEST_F(Partners, TheTableLoadsFromTheMainWindowsDefinition)
{
    TForm f;
    LoadFormDefinitionText(&f,
                           "object fmMainTest: TForm\n"
                           "  object Connection: TConnection\n"
                           "    CompanionArray.Companion00.ExecName = \"Сигналист\"\n"
                           "    CompanionArray.Companion00.Canal = \"fmGromk\"\n"
                           "    CompanionArray.Companion19.ExecName = \"ПЛок\"\n"
                           "    CompanionArray.Companion19.Canal = \"fmTrain\"\n"
                           "  end\n"
                           "end\n",
                           "Main.vfm", nullptr);
    auto* c = f.FindChild<TConnection>("Connection");
    EXPECT_EQ(c->CompanionArray().Companion(0).ExecName, "Сигналист");
    EXPECT_EQ(c->CompanionArray().Companion(19).Canal, "fmTrain");
    c->Check();
    EXPECT_EQ(c->ShowMessage("Сигналист", "так"), 1);
    EXPECT_EQ(c->ShowMessage("ПЛок", "так"), 0);  // behind the empty entries
}
