// Cells, plan marks and the route pointer: picture names, the blink protocol, the saved state of
// green, and what a form of them draws offscreen.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "panel/EC_Cell.h"
#include "panel/EC_Section.h"
#include "panel/PanelBitmaps.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

struct CellClass {
    const char* name;
    const char* prefix; // picture family
    const char* suffix; // angle
    int width, height;
};

const CellClass kCellClasses[] = {
    {"TEC_Cell", "CELL", "0", 13, 6},         {"TEC_Cell45", "CELL", "45", 11, 11},
    {"TEC_Cell60", "CELL", "60", 19, 12},     {"TEC_Cell90", "CELL", "90", 6, 13},
    {"TEC_Cell120", "CELL", "120", 9, 12},    {"TEC_Cell135", "CELL", "135", 11, 11},
    {"TMRC_Cell", "MRCCELL", "0", 12, 5},     {"TMRC_Cell45", "MRCCELL", "45", 10, 11},
    {"TMRC_Cell120", "MRCCELL", "120", 8, 11}, {"TMRC_Cell135", "MRCCELL", "135", 10, 11},
};

std::unique_ptr<TEC_Cell> MakeCell(const std::string& cls)
{
    return std::unique_ptr<TEC_Cell>(static_cast<TEC_Cell*>(CreateComponentByClassName(cls, nullptr)));
}

} // namespace

TEST(CellPictures, EveryClassAndShownStateNamesAPictureOfTheCellsSize)
{
    const char* words[] = {"FREE", "WHITE", "RED", "", "REDWHITE", "WHITE", "REDWHITE", ""};
    for (const CellClass& k : kCellClasses) {
        SCOPED_TRACE(k.name);
        auto cell = MakeCell(k.name);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->ClassName(), k.name);
        EXPECT_TRUE(cell->InheritsFromClassName("TEC_Cell"));
        EXPECT_EQ(cell->Width(), k.width);
        EXPECT_EQ(cell->Height(), k.height);
        for (int s = 0; s <= 7; ++s) {
            cell->ShowCell(TCellState(s));
            std::string expected = *words[s] ? std::string(k.prefix) + words[s] + k.suffix : "";
            if (s == 3 && std::string(k.name) == "TMRC_Cell") expected = "MRCCELLGREEN0";
            EXPECT_EQ(cell->PictureName(), expected) << "shown state " << s;
            if (!expected.empty()) {
                EXPECT_EQ(PanelBitmapSize(expected), QSize(k.width, k.height)) << expected;
            }
        }
    }
}

TEST(CellPictures, RouteRelayCellsDeriveFromTheStraightOne)
{
    for (const char* cls : {"TMRC_Cell45", "TMRC_Cell120", "TMRC_Cell135"}) {
        auto cell = MakeCell(cls);
        EXPECT_TRUE(cell->InheritsFromClassName("TMRC_Cell")) << cls;
    }
    EXPECT_FALSE(MakeCell("TEC_Cell45")->InheritsFromClassName("TMRC_Cell"));
}

TEST(CellBlink, WhiteBlinkingAlternatesLitAndDarkInStepWithThePhase)
{
    TMRC_Cell cell(nullptr);
    cell.SetState(csWhiteBlink);
    EXPECT_EQ(cell.BlipCell(0), 1);
    EXPECT_EQ(cell.PictureName(), "MRCCELLWHITE0");
    EXPECT_EQ(cell.BlipCell(1), 1);
    EXPECT_EQ(cell.PictureName(), "MRCCELLFREE0");
    EXPECT_EQ(cell.BlipCell(0), 1);
    EXPECT_EQ(cell.PictureName(), "MRCCELLWHITE0");
    EXPECT_EQ(cell.State(), csWhiteBlink);
    // Any other phase just toggles.
    EXPECT_EQ(cell.BlipCell(7), 1);
    EXPECT_EQ(cell.ShownState(), csFree);
    EXPECT_EQ(cell.BlipCell(7), 1);
    EXPECT_EQ(cell.ShownState(), csWhiteBlink);
}

TEST(CellBlink, RedWhiteBlinkingAlternatesWithRed)
{
    TMRC_Cell45 cell(nullptr);
    cell.SetState(csRedWhiteBlink);
    EXPECT_EQ(cell.BlipCell(0), 1);
    EXPECT_EQ(cell.PictureName(), "MRCCELLREDWHITE45");
    EXPECT_EQ(cell.BlipCell(1), 1);
    EXPECT_EQ(cell.PictureName(), "MRCCELLRED45");
}

TEST(CellBlink, SteadyStatesDoNotBlinkAndKeepTheirPicture)
{
    TMRC_Cell cell(nullptr);
    cell.SetState(csWhiteBlink);
    cell.BlipCell(0);
    cell.SetState(csRed);
    for (int phase : {0, 1, 0}) {
        EXPECT_EQ(cell.BlipCell(phase), 0);
        EXPECT_EQ(cell.PictureName(), "MRCCELLRED0");
    }
    for (int s : {0, 1, 3, 4}) {
        cell.SetState(TCellState(s));
        EXPECT_EQ(cell.BlipCell(0), 0) << s;
        EXPECT_EQ(cell.ShownState(), s);
    }
}

TEST(CellBlink, AStateAboveTheDefinedOnesDoesNotKeepTheTimerRunning)
{
    TMRC_Cell cell(nullptr);
    cell.SetState(TCellState(7));
    EXPECT_EQ(cell.BlipCell(0), 0);
    EXPECT_EQ(cell.BlipCell(1), 0);
    EXPECT_EQ(cell.PictureName(), "");
}

TEST(CellGreen, GreenKeepsTheStateItReplaced)
{
    TMRC_Cell cell(nullptr);
    cell.SetState(csRed);
    cell.SetState(csGreen);
    EXPECT_EQ(cell.State(), csGreen);
    EXPECT_EQ(cell.SavedState(), csRed);
    EXPECT_EQ(cell.PictureName(), "MRCCELLGREEN0");
    // Green twice: the second keeps green itself.
    cell.SetState(csGreen);
    EXPECT_EQ(cell.SavedState(), csGreen);
    // Other states leave the saved one alone.
    cell.SetState(csWhite);
    EXPECT_EQ(cell.SavedState(), csGreen);
}

TEST(RoutePointer, GreenBlinkingAlternatesGreenAndFree)
{
    TMRC_RoutePointer rp(nullptr);
    EXPECT_EQ(rp.Width(), 32);
    EXPECT_EQ(rp.Height(), 15);
    EXPECT_EQ(rp.PictureName(), "RPFREELEFT");
    rp.SetDir(rpdRIGHT);
    rp.SetState(rpsGreenBlink);
    EXPECT_EQ(rp.PictureName(), "RPGREENRIGHT");
    EXPECT_EQ(rp.BlipPointer(), 1);
    EXPECT_EQ(rp.PictureName(), "RPFREERIGHT");
    EXPECT_EQ(rp.BlipPointer(), 1);
    EXPECT_EQ(rp.PictureName(), "RPGREENRIGHT");
    rp.SetState(rpsGreen);
    EXPECT_EQ(rp.BlipPointer(), 0);
    EXPECT_EQ(rp.PictureName(), "RPGREENRIGHT");
}

TEST(RoutePointer, SettingTheSameStateChangesNothing)
{
    TMRC_RoutePointer rp(nullptr);
    rp.SetState(rpsGreenBlink);
    rp.BlipPointer();
    ASSERT_EQ(rp.ShownState(), rpsFree);
    const int repaints = rp.RepaintCount();
    rp.SetState(rpsGreenBlink);
    EXPECT_EQ(rp.RepaintCount(), repaints);
    EXPECT_EQ(rp.ShownState(), rpsFree); // the blink phase goes on
    rp.SetState(rpsGreen);
    EXPECT_EQ(rp.RepaintCount(), repaints + 1);
    rp.SetState(rpsGreen);
    EXPECT_EQ(rp.RepaintCount(), repaints + 1);
}

TEST(RoutePointer, PicturesByShownState)
{
    TMRC_RoutePointer rp(nullptr);
    const char* left[] = {"RPFREELEFT", "RPWHITELEFT", "RPGREENLEFT", "RPWHITELEFT", "RPGREENLEFT"};
    for (int s = 0; s <= 4; ++s) {
        rp.SetState(TRPState(s));
        EXPECT_EQ(rp.PictureName(), left[s]);
        EXPECT_EQ(rp.BlipPointer(), s >= 4 ? 1 : 0) << s;
    }
}

TEST(PlanMarks, StretchSizeFollowsItsTypeAndBlockShowsItsState)
{
    TEC_Peregon p(nullptr);
    EXPECT_EQ(p.Width(), 13);
    EXPECT_EQ(p.Height(), 12);
    EXPECT_EQ(p.PictureName(), "MRC_PEREGONFREE");
    p.SetType(pr240);
    EXPECT_EQ(p.Width(), 25);
    EXPECT_EQ(p.Height(), 27);
    p.SetState(true);
    EXPECT_EQ(p.PictureName(), "PEREGON240WHITE");
    p.SetType(prSimple);
    EXPECT_EQ(p.Width(), 39);
    EXPECT_EQ(p.Height(), 32);
    EXPECT_EQ(p.PictureName(), "PEREGONWHITE");
    p.SetType(prMRC);
    EXPECT_EQ(p.PictureName(), "MRC_PEREGONRED");

    TEC_Block b(nullptr);
    EXPECT_EQ(b.PictureName(), "BLOCKFREE");
    b.SetState(true);
    EXPECT_EQ(b.PictureName(), "BLOCKRED");

    TEC_Separator s(nullptr);
    EXPECT_EQ(s.PictureName(), "RC_SeparatorB");
    s.SetColor(TSeparatColor::Red);
    EXPECT_EQ(s.PictureName(), "RC_SeparatorR");

    TEC_Endway e(nullptr);
    EXPECT_EQ(e.PictureName(), "ENDWAYL");
    TEC_DirectAB ab(nullptr);
    EXPECT_EQ(ab.PictureName(), "ABWHITEL");
    ab.SetDir(abdRight);
    EXPECT_EQ(ab.PictureName(), "ABGREENR");
}

// ---- a form of them, drawn offscreen ----
//
//   C0 C45 C120 C135 E0 E45 E60 E90 E120 E135    (cells at each angle; section Track, ID 3)
//   RP1 RP2 EC_Peregon1 EC_Block1 Sep End1
//   AB Line1                                     (Line1: a 60 x 10 plain line)

namespace {

const char* kForm = R"(object F: TForm
  Color = clBlack
  object C0: TMRC_Cell
    Left = 10
    Top = 10
    Id = 1
  end
  object C45: TMRC_Cell45
    Left = 30
    Top = 10
    Id = 2
  end
  object C120: TMRC_Cell120
    Left = 50
    Top = 10
    Id = 3
  end
  object C135: TMRC_Cell135
    Left = 70
    Top = 10
    Id = 4
  end
  object E0: TEC_Cell
    Left = 90
    Top = 10
    Id = 5
  end
  object E45: TEC_Cell45
    Left = 110
    Top = 10
  end
  object E60: TEC_Cell60
    Left = 125
    Top = 10
  end
  object E90: TEC_Cell90
    Left = 150
    Top = 10
  end
  object E120: TEC_Cell120
    Left = 160
    Top = 10
  end
  object E135: TEC_Cell135
    Left = 175
    Top = 10
  end
  object RP1: TMRC_RoutePointer
    Left = 10
    Top = 30
    Id = 1
    Direction = rpdLEFT
  end
  object RP2: TMRC_RoutePointer
    Left = 50
    Top = 30
    Id = 2
    Direction = rpdRIGHT
  end
  object EC_Peregon1: TEC_Peregon
    Left = 90
    Top = 30
    Type = pr240
  end
  object EC_Block1: TEC_Block
    Left = 120
    Top = 30
  end
  object Sep: TEC_Separator
    Left = 150
    Top = 30
    Color = Red
  end
  object End1: TEC_Endway
    Left = 160
    Top = 30
    Direction = ewdRight
  end
  object AB: TEC_DirectAB
    Left = 10
    Top = 80
    Direction = abdRight
  end
  object Line1: TEC_WhiteLine
    Left = 60
    Top = 80
    Width = 60
    Height = 10
    Direction = wlGOR
  end
  object Track: TEC_Section
    ID = 3
    Items0 = (
      "C0"
      "C45"
      "C120"
      "C135"
      "E0"
      "E45"
      "E60"
      "E90"
      "E120"
      "E135"
    )
  end
end
)";

class CellForm : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterQtPlatformClasses(); }

    void SetUp() override
    {
        form = std::make_unique<TForm>();
        LoadFormDefinitionText(form.get(), kForm, "Cells.vfm", nullptr);
        form->SetClientSize(200, 100);
    }

    template <class T>
    T* Find(const std::string& name) { return form->FindChild<T>(name); }

    QImage Grab() const { return form->ClientWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // The region of the grab under the control.
    static QImage Under(const QImage& grab, const TControl* c)
    {
        return grab.copy(c->Left(), c->Top(), c->Width(), c->Height());
    }

    // The named picture as it looks over the form's black background.
    static QImage Expected(const std::string& name)
    {
        QImage pic = DrawPanelBitmap(name);
        QImage out(pic.size(), QImage::Format_RGB32);
        out.fill(Qt::black);
        QPainter p(&out);
        p.drawImage(0, 0, pic);
        return out;
    }

    std::unique_ptr<TForm> form;
};

} // namespace

TEST_F(CellForm, LoadsElementsWithTheirIdsAndLayout)
{
    EXPECT_EQ(Find<TEC_Cell>("C135")->Id, 4);
    EXPECT_EQ(Find<TEC_Cell>("C135")->ClassName(), "TMRC_Cell135");
    EXPECT_EQ(Find<TMRC_RoutePointer>("RP2")->Id, 2);
    EXPECT_EQ(Find<TMRC_RoutePointer>("RP2")->PictureName(), "RPFREERIGHT");
    EXPECT_EQ(Find<TEC_Peregon>("EC_Peregon1")->Width(), 25);
    EXPECT_EQ(Find<TEC_Separator>("Sep")->PictureName(), "RC_SeparatorR");
    EXPECT_EQ(Find<TEC_Endway>("End1")->PictureName(), "ENDWAYR");
    EXPECT_EQ(Find<TEC_DirectAB>("AB")->PictureName(), "ABGREENR");
    EXPECT_EQ(Find<TEC_WhiteLine>("Line1")->Direction(), wlGOR);

    // The main window finds cells by Id among the form's cells, front to back.
    TEC_Cell* byId = nullptr;
    for (int i = 0; i < form->ComponentCount() && !byId; ++i) {
        TComponent* c = form->Components(i);
        if (c->InheritsFromClassName("TEC_Cell") && static_cast<TEC_Cell*>(c)->Id == 3) byId = static_cast<TEC_Cell*>(c);
    }
    EXPECT_EQ(byId, Find<TEC_Cell>("C120"));
}

TEST_F(CellForm, BadEnumerationValueIsALoadError)
{
    TForm other;
    try {
        LoadFormDefinitionText(&other, "object F: TForm\n  object P: TEC_Peregon\n    Type = pr250\n  end\nend\n",
                               "Bad.vfm", nullptr);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Bad.vfm, строка 3: свойство Type: неизвестное значение pr250 (допустимы: prMRC, prSimple, pr240)");
    }
}

TEST_F(CellForm, CellsDrawThePictureOfTheirShownState)
{
    auto* c0 = Find<TEC_Cell>("C0");
    auto* c45 = Find<TEC_Cell>("C45");
    auto* e0 = Find<TEC_Cell>("E0");
    QImage g = Grab();
    EXPECT_EQ(Under(g, c0), Expected("MRCCELLFREE0"));
    EXPECT_EQ(Under(g, c45), Expected("MRCCELLFREE45"));

    c0->SetState(csWhite);
    c45->SetState(csRed);
    g = Grab();
    EXPECT_EQ(Under(g, c0), Expected("MRCCELLWHITE0"));
    EXPECT_EQ(Under(g, c45), Expected("MRCCELLRED45"));
    EXPECT_NE(Under(g, c0), Expected("MRCCELLFREE0"));

    // Blinking white: lit after phase 0, dark after phase 1.
    c0->SetState(csWhiteBlink);
    c0->BlipCell(0);
    EXPECT_EQ(Under(Grab(), c0), Expected("MRCCELLWHITE0"));
    c0->BlipCell(1);
    EXPECT_EQ(Under(Grab(), c0), Expected("MRCCELLFREE0"));

    // Green on a cell without a green picture draws nothing: the background shows.
    e0->SetState(csGreen);
    QImage bare(e0->Width(), e0->Height(), QImage::Format_RGB32);
    bare.fill(Qt::black);
    EXPECT_EQ(Under(Grab(), e0), bare);
}

TEST_F(CellForm, PlanMarksAndPointerDrawTheirPictures)
{
    auto* rp = Find<TMRC_RoutePointer>("RP2");
    auto* per = Find<TEC_Peregon>("EC_Peregon1");
    auto* blk = Find<TEC_Block>("EC_Block1");
    rp->SetState(rpsGreenBlink);
    per->SetState(true);
    blk->SetState(true);
    QImage g = Grab();
    EXPECT_EQ(Under(g, rp), Expected("RPGREENRIGHT"));
    EXPECT_EQ(Under(g, per), Expected("PEREGON240WHITE"));
    EXPECT_EQ(Under(g, blk), Expected("BLOCKRED"));
    EXPECT_EQ(Under(g, Find<TEC_Separator>("Sep")), Expected("RC_SeparatorR"));
    EXPECT_EQ(Under(g, Find<TEC_DirectAB>("AB")), Expected("ABGREENR"));
    rp->BlipPointer();
    EXPECT_EQ(Under(Grab(), rp), Expected("RPFREERIGHT"));
}

TEST_F(CellForm, HorizontalLineIsNinePixelsThickAroundRowFour)
{
    auto* line = Find<TEC_WhiteLine>("Line1");
    QImage under = Under(Grab(), line);
    ASSERT_EQ(under.size(), QSize(60, 10));
    for (int y = 0; y <= 8; ++y) EXPECT_EQ(under.pixel(30, y), qRgb(255, 255, 255)) << y;
    EXPECT_EQ(under.pixel(30, 9), qRgb(0, 0, 0));
    EXPECT_EQ(under.pixel(0, 4), qRgb(255, 255, 255));
    EXPECT_EQ(under.pixel(59, 4), qRgb(255, 255, 255));

    line->SetColor(clRed);
    line->SetDirection(wlGBT);
    under = Under(Grab(), line);
    EXPECT_EQ(under.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(under.pixel(59, 0), qRgb(0, 0, 0));
}

TEST_F(CellForm, SectionOfCellsAtEveryAngleShowsWhiteRedAndBlinking)
{
    struct Placed {
        const char* name;
        bool routeRelay;
        int angle;
    };
    const Placed cells[] = {{"C0", true, 0},   {"C45", true, 45},   {"C120", true, 120}, {"C135", true, 135},
                            {"E0", false, 0},  {"E45", false, 45},  {"E60", false, 60},  {"E90", false, 90},
                            {"E120", false, 120}, {"E135", false, 135}};
    auto* track = Find<TEC_Section>("Track");
    auto* rp = Find<TMRC_RoutePointer>("RP1");
    auto expectAll = [&](const QImage& g, int shown) {
        for (const Placed& c : cells)
            EXPECT_EQ(Under(g, Find<TEC_Cell>(c.name)), Expected(CellBitmapName(c.routeRelay, c.angle, shown)))
                << c.name << " shown " << shown;
    };
    const char* shot = std::getenv("VELO_CELL_SHOT"); // a PNG path prefix, for looking at the panel
    auto save = [&](const QImage& g, const char* what) {
        if (shot && *shot) g.scaled(g.size() * 4).save(QString::fromLocal8Bit(shot) + what + ".png");
    };

    EXPECT_EQ(track->SetState(csWhite, 0), 10);
    rp->SetState(rpsWhite);
    QImage g = Grab();
    expectAll(g, csWhite);
    EXPECT_EQ(Under(g, rp), Expected("RPWHITELEFT"));
    save(g, "-white");

    EXPECT_EQ(track->SetState(csRed, 0), 10);
    g = Grab();
    expectAll(g, csRed);
    save(g, "-red");

    EXPECT_EQ(track->SetState(csWhiteBlink, 0), 10);
    rp->SetState(rpsGreenBlink);
    for (int step = 0; step < 4; ++step) {
        int blinking = rp->BlipPointer();
        for (const Placed& c : cells) blinking += Find<TEC_Cell>(c.name)->BlipCell(step % 2);
        EXPECT_EQ(blinking, 11);
        g = Grab();
        expectAll(g, step % 2 == 0 ? csWhite : csFree);
        EXPECT_EQ(Under(g, rp), Expected(step % 2 == 0 ? "RPFREELEFT" : "RPGREENLEFT"));
        if (step < 2) save(g, step == 0 ? "-blink0" : "-blink1");
    }
}
