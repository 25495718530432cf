// Track sections: lists resolved from the form, variant addressing, darkening before lighting,
// blinking through the cells, and bad cell names.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "panel/EC_Cell.h"
#include "panel/EC_Section.h"
#include "platform/core/CFormat.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

// Cells c1..c8 and three sections over them:
//   S1  (ID 1, one pair):    Items0 c1 c2        Items1 c3
//   T1  (ID 2, one pair):    Items0 c5           Items1 (empty)
//   S8  (ID 8, eight pairs): Items0 c1           Items11 c4        Items12 c7
//   S16 (ID 16):             Items9 c5           Items25 c6        Items10 c8
const char* kForm = R"(object F: TForm
  object c1: TMRC_Cell
    Id = 1
  end
  object c2: TMRC_Cell
    Id = 2
  end
  object c3: TMRC_Cell45
    Id = 3
  end
  object c4: TMRC_Cell
  end
  object c5: TMRC_Cell135
  end
  object c6: TMRC_Cell
  end
  object c7: TMRC_Cell120
  end
  object c8: TEC_Cell
  end
  object S1: TEC_Section
    ID = 1
    Items0 = (
      "c1"
      "c2"
    )
    Items1 = ( "c3" )
  end
  object T1: TEC_Section
    ID = 2
    Items0 = ( "c5" )
  end
  object S8: TEC_Section8
    ID = 8
    Items0 = ( "c1" )
    Items11 = ( "c4" )
    Items12 = ( "c7" )
  end
  object S16: TEC_Section16
    ID = 16
    Items9 = ( "c5" )
    Items10 = ( "c8" )
    Items25 = ( "c6" )
  end
end
)";

class SectionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterQtPlatformClasses(); }

    void SetUp() override
    {
        oldHook = SetMessageBoxHook([this](const std::string& text, const std::string& caption, unsigned) {
            boxes.emplace_back(text, caption);
            return IDOK;
        });
    }
    void TearDown() override { SetMessageBoxHook(oldHook); }

    void Load(const std::string& text)
    {
        form = std::make_unique<TForm>();
        LoadFormDefinitionText(form.get(), text, "Sections.vfm", nullptr);
    }
    std::string LoadError(const std::string& text)
    {
        try {
            Load(text);
        } catch (const Exception& e) {
            return e.Message;
        }
        return "";
    }

    TEC_Cell* Cell(const std::string& name) { return form->FindChild<TEC_Cell>(name); }
    TEC_Section* Section(const std::string& name) { return form->FindChild<TEC_Section>(name); }
    int StateOf(const std::string& name) { return Cell(name)->State(); }
    // The states of c1..c8.
    std::vector<int> States()
    {
        std::vector<int> s;
        for (int i = 1; i <= 8; ++i) s.push_back(StateOf(Format("c%d", i)));
        return s;
    }

    std::unique_ptr<TForm> form;
    std::vector<std::pair<std::string, std::string>> boxes;
    TMessageBoxHook oldHook;
};

} // namespace

TEST_F(SectionTest, ListsResolveToTheNamedCellsOfTheForm)
{
    Load(kForm);
    EXPECT_TRUE(boxes.empty());
    TEC_Section* s1 = Section("S1");
    EXPECT_EQ(s1->ID, 1);
    EXPECT_FALSE(s1->Visible());
    EXPECT_EQ(s1->Width(), 10);
    ASSERT_EQ(s1->Cells(0).size(), 2u);
    EXPECT_EQ(s1->Cells(0)[0], Cell("c1"));
    EXPECT_EQ(s1->Cells(0)[1], Cell("c2"));
    EXPECT_EQ(s1->Cells(1), std::vector<TEC_Cell*>{Cell("c3")});
    EXPECT_EQ(s1->Check(), 2);
    EXPECT_EQ(Section("S8")->Check(), 16);
    EXPECT_EQ(Section("S16")->Check(), 32);
    EXPECT_EQ(Section("S16")->ClassName(), "TEC_Section16");
    EXPECT_TRUE(Section("S16")->InheritsFromClassName("TEC_Section2"));
}

TEST_F(SectionTest, LightsOneVariantAfterDarkeningAllOfThem)
{
    Load(kForm);
    TEC_Section* s1 = Section("S1");
    EXPECT_EQ(s1->SetState(csRed, 0), 2);
    EXPECT_EQ(States(), (std::vector<int>{2, 2, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s1->SetState(csWhite, 1), 1);
    EXPECT_EQ(States(), (std::vector<int>{0, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s1->SetState(csFree, 0), 2);
    EXPECT_EQ(States(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SectionTest, VariantsFromHundredAddressTheSecondHalfAndEmptyOnesFallBack)
{
    Load(kForm);
    // One pair: 100 is list 1; an empty list 1 falls back to list 0.
    EXPECT_EQ(Section("S1")->SetState(csWhite, 100), 1);
    EXPECT_EQ(StateOf("c3"), csWhite);
    EXPECT_EQ(Section("T1")->SetState(csWhite, 1), 1);
    EXPECT_EQ(StateOf("c5"), csWhite);
    EXPECT_EQ(Section("T1")->SetState(csRed, 100), 1);
    EXPECT_EQ(StateOf("c5"), csRed);

    // Eight pairs: 103 is list 11.
    TEC_Section* s8 = Section("S8");
    EXPECT_EQ(s8->SetState(csRed, 103), 1);
    EXPECT_EQ(StateOf("c4"), csRed);
    // 20 is beyond the class's lists, so empty: it falls back to list 12.
    EXPECT_EQ(s8->SetState(csWhite, 20), 1);
    EXPECT_EQ(StateOf("c7"), csWhite);
    EXPECT_EQ(StateOf("c4"), csFree);
    // 25 falls back to 17, which the class does not have: all dark, nothing lit.
    s8->SetState(csRed, 0);
    EXPECT_EQ(s8->SetState(csWhite, 25), 0);
    EXPECT_EQ(StateOf("c1"), csFree);
    EXPECT_EQ(StateOf("c4"), csFree);
    EXPECT_EQ(StateOf("c7"), csFree);

    // Sixteen pairs: 25 has its own list; an empty 26 falls back to 10.
    TEC_Section* s16 = Section("S16");
    EXPECT_EQ(s16->SetState(csWhite, 25), 1);
    EXPECT_EQ(StateOf("c6"), csWhite);
    EXPECT_EQ(s16->SetState(csWhite, 26), 1);
    EXPECT_EQ(StateOf("c8"), csWhite);
    EXPECT_EQ(StateOf("c6"), csFree);
}

TEST_F(SectionTest, VariantsOutsideTheListsLightNothing)
{
    Load(kForm);
    TEC_Section* s16 = Section("S16");
    for (int v : {-1, -100, 32, 116, 1000}) {
        s16->SetState(csRed, 9);
        EXPECT_EQ(s16->SetState(csWhite, v), 0) << v;
        EXPECT_EQ(States(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0})) << v;
    }
    EXPECT_EQ(Section("S1")->SetState(csWhite, -1), 0);
}

TEST_F(SectionTest, BlinkingSectionBlinksAllItsCellsInStep)
{
    Load(kForm);
    EXPECT_EQ(Section("S1")->SetState(csWhiteBlink, 0), 2);
    for (int round = 0; round < 2; ++round) {
        int sum = 0;
        for (const char* c : {"c1", "c2", "c3"}) sum += Cell(c)->BlipCell(0);
        EXPECT_EQ(sum, 2);
        EXPECT_EQ(Cell("c1")->PictureName(), "MRCCELLWHITE0");
        EXPECT_EQ(Cell("c2")->PictureName(), "MRCCELLWHITE0");
        for (const char* c : {"c1", "c2", "c3"}) sum += Cell(c)->BlipCell(1);
        EXPECT_EQ(Cell("c1")->PictureName(), "MRCCELLFREE0");
        EXPECT_EQ(Cell("c2")->PictureName(), "MRCCELLFREE0");
    }
    // Set steady again: the blink pass finds nothing blinking.
    Section("S1")->SetState(csRed, 0);
    EXPECT_EQ(Cell("c1")->BlipCell(0) + Cell("c2")->BlipCell(0), 0);
    EXPECT_EQ(Cell("c1")->PictureName(), "MRCCELLRED0");
}

TEST_F(SectionTest, GreenSectionSavesTheDarkenedState)
{
    Load(kForm);
    Section("S1")->SetState(csRed, 0);
    Section("S1")->SetState(csGreen, 0);
    EXPECT_EQ(Cell("c1")->SavedState(), csFree);
    EXPECT_EQ(Cell("c1")->PictureName(), "MRCCELLGREEN0");
}

TEST_F(SectionTest, SameCellTwiceCountsTwice)
{
    Load("object F: TForm\n  object c1: TMRC_Cell\n  end\n  object S: TEC_Section\n    Items0 = ( \"c1\" \"c1\" )\n  end\nend\n");
    EXPECT_EQ(Section("S")->SetState(csRed, 0), 2);
    EXPECT_EQ(StateOf("c1"), csRed);
}

TEST_F(SectionTest, MissingNamesAndNonCellsAreReportedAndDropped)
{
    Load(R"(object F: TForm
  object c1: TMRC_Cell
  end
  object Label1: TLabel
  end
  object c2: TMRC_Cell
  end
  object S: TEC_Section8
    Items3 = (
      "c1"
      "cX"
      "Label1"
      "c2"
      "C1"
    )
  end
end
)");
    using Box = std::pair<std::string, std::string>;
    EXPECT_EQ(boxes, (std::vector<Box>{{"cX", "Нет ячейки"}, {"Label1", "Нет ячейки"}, {"C1", "Нет ячейки"}}));
    TEC_Section* s = Section("S");
    EXPECT_EQ(s->Items(3).lines, (std::vector<std::string>{"c1", "c2"}));
    EXPECT_EQ(s->Cells(3), (std::vector<TEC_Cell*>{Cell("c1"), Cell("c2")}));
    // The second pass, at activation, finds nothing more to report.
    boxes.clear();
    EXPECT_EQ(s->Check(), 16);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(s->SetState(csWhite, 3), 2);
}

TEST_F(SectionTest, TooManyCellsInOneListIsALoadErrorNamingTheSection)
{
    std::string text = "object F: TForm\n";
    std::string list;
    for (int i = 0; i < 40; ++i) {
        text += Format("  object c%d: TMRC_Cell\n  end\n", i);
        list += Format(" \"c%d\"", i);
    }
    text += "  object Big: TEC_Section2\n    Items2 = (" + list + " )\n  end\nend\n";
    EXPECT_EQ(LoadError(text), "Sections.vfm, строка 83: свойство Items2: секция Big: больше 35 ячеек в списке Items2");

    // 35 is still fine.
    text = "object F: TForm\n";
    list.clear();
    for (int i = 0; i < 35; ++i) {
        text += Format("  object c%d: TMRC_Cell\n  end\n", i);
        list += Format(" \"c%d\"", i);
    }
    text += "  object Full: TEC_Section\n    Items1 = (" + list + " )\n  end\nend\n";
    Load(text);
    EXPECT_EQ(Section("Full")->SetState(csRed, 1), 35);
}

TEST_F(SectionTest, ListsBeyondTheClassAreUnknownProperties)
{
    EXPECT_EQ(LoadError("object F: TForm\n  object S: TEC_Section\n    Items2 = ( )\n  end\nend\n"),
              "Sections.vfm, строка 3: неизвестное свойство Items2 (класс TEC_Section)");
    EXPECT_EQ(LoadError("object F: TForm\n  object S: TEC_Section8\n    Items16 = ( )\n  end\nend\n"),
              "Sections.vfm, строка 3: неизвестное свойство Items16 (класс TEC_Section8)");
    EXPECT_EQ(LoadError("object F: TForm\n  object S: TEC_Section16\n    Items31 = ( )\n  end\nend\n"), "");
}
