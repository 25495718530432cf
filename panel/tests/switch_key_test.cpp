// Switch keys on a small form: clicks that turn them, cap mode and the cap, the cursors, the
// pictures of the positions and what is drawn on screen.
//
//   K1 (swVER, the key of a switch frame)   S2 (swOLL, two-way)   S3 (swVER, loaded capped)
#include <gtest/gtest.h>

#include <QEvent>
#include <QImage>
#include <QtTest/QTest>

#include <memory>
#include <string>
#include <vector>

#include "panel/EC_Switch.h"
#include "panel/PanelBitmaps.h"
#include "platform/core/CFormat.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

const char* const kForm = R"(object fmSwitches: TForm
  Width = 200
  Height = 100
  object K1: TEC_Switch
    Left = 10
    Top = 10
    Type = swVER
    Id = 1
    Cursor = crHandPoint
    OnClick = SwitchClick
    OnKolpachekClick = KolpachekClick
  end
  object S2: TEC_Switch
    Left = 40
    Top = 10
    Id = 2
    OnClick = SwitchClick
  end
  object S3: TEC_Switch
    Left = 70
    Top = 10
    Type = swVER
    Normal = CloseState0
    Id = 3
    OnClick = SwitchClick
  end
end
)";

// Counts the paints of a control's window.
class PaintCounter : public QObject {
 public:
  int Paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

class Switches : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm>();
    handlers.Add("SwitchClick", TNotifyEvent([this](TObject* s) {
                   auto* sw = static_cast<TEC_Switch*>(s);
                   // The key has already been painted in its new position when the handler runs.
                   seen.push_back(Format("click %d %d %s painted %d", sw->Id, sw->Normal(), sw->BitmapName().c_str(),
                                         paints.Paints > 0 && Painted(sw) ? 1 : 0));
                 }));
    handlers.Add("KolpachekClick", TNotifyEvent([this](TObject* s) {
                   auto* sw = static_cast<TEC_Switch*>(s);
                   seen.push_back(Format("cap %d %d", sw->Id, sw->Normal()));
                 }));
    LoadFormDefinitionText(form.get(), kForm, "Switches.vfm", &handlers);
    form->Show();
    // Paints are counted once the window is on screen and its first paints are done.
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form->Widget()->window()));
    QTest::qWait(10);
    k1 = form->FindChild<TEC_Switch>("K1");
    s2 = form->FindChild<TEC_Switch>("S2");
    s3 = form->FindChild<TEC_Switch>("S3");
    for (TEC_Switch* s : {k1, s2, s3}) s->Widget()->installEventFilter(&paints);
  }
  // Whether what is on screen is the switch's picture.
  static bool Painted(TEC_Switch* s) {
    const QImage shown = GrabControl(s).convertToFormat(QImage::Format_RGB32);
    return shown == DrawPanelBitmap(s->BitmapName()).convertToFormat(QImage::Format_RGB32);
  }
  void Click(TEC_Switch* s, Qt::MouseButton b = Qt::LeftButton) {
    paints.Paints = 0;
    QTest::mouseClick(s->Widget(), b, Qt::NoModifier, QPoint(6, 6));
  }
  std::vector<std::string> Take() {
    std::vector<std::string> r;
    r.swap(seen);
    return r;
  }

  THandlerTable handlers;
  std::unique_ptr<TForm> form;
  TEC_Switch *k1 = nullptr, *s2 = nullptr, *s3 = nullptr;
  std::vector<std::string> seen;
  PaintCounter paints;
};

TEST_F(Switches, TheFormSetsTypeSizePositionAndTheHand) {
  EXPECT_EQ(k1->Type(), swVER);
  EXPECT_EQ(k1->Width(), 14);
  EXPECT_EQ(k1->Height(), 14);
  EXPECT_EQ(k1->Normal(), DirectSide);
  EXPECT_EQ(k1->BitmapName(), "SWITCH90");
  EXPECT_EQ(s2->Type(), swOLL);
  EXPECT_EQ(s2->Width(), 13);
  EXPECT_EQ(s2->Height(), 14);
  EXPECT_EQ(s2->Cursor(), crHandPoint);
  EXPECT_EQ(s3->Normal(), CloseState0);
  EXPECT_EQ(s3->BitmapName(), "SWITCHCL");
  EXPECT_TRUE(Painted(k1));
  EXPECT_TRUE(Painted(s3));
}

TEST_F(Switches, AThreeWayKeyTurnsLeftToPlusAndRightToMinus) {
  Click(k1);
  Click(k1);
  EXPECT_EQ(Take(), (std::vector<std::string>{"click 1 2 SWITCH90L painted 1", "click 1 2 SWITCH90L painted 1"}));
  Click(k1, Qt::RightButton);
  Click(k1, Qt::RightButton);
  EXPECT_EQ(Take(), (std::vector<std::string>{"click 1 0 SWITCH90 painted 1", "click 1 1 SWITCH90R painted 1"}));
  // Left from minus goes back to the middle; the middle button counts as "other".
  Click(k1);
  Click(k1, Qt::MiddleButton);
  EXPECT_EQ(Take(), (std::vector<std::string>{"click 1 0 SWITCH90 painted 1", "click 1 1 SWITCH90R painted 1"}));
}

TEST_F(Switches, ATwoWaySwitchToggles) {
  Click(s2);
  Click(s2, Qt::RightButton);
  EXPECT_EQ(Take(), (std::vector<std::string>{"click 2 1 SWITCH45L painted 1", "click 2 0 SWITCH0L painted 1"}));
  // Cap mode does not apply to it.
  s2->SetCursor(crKolpachek);
  Click(s2);
  EXPECT_EQ(Take(), std::vector<std::string>{"click 2 1 SWITCH45L painted 1"});
}

TEST_F(Switches, InCapModeAClickPutsTheCapOnAndThenOnlyAsksToTakeItOff) {
  k1->SetCursor(crKolpachek);
  Click(k1);
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(k1->Normal(), CloseState0);
  EXPECT_EQ(k1->BitmapName(), "SWITCHCL");
  EXPECT_TRUE(Painted(k1));
  // Capped: every button only asks, in cap mode or out of it.
  Click(k1);
  k1->SetCursor(crHandPoint);
  Click(k1, Qt::RightButton);
  EXPECT_EQ(Take(), (std::vector<std::string>{"cap 1 3", "cap 1 3"}));
  EXPECT_EQ(k1->Normal(), CloseState0);
  paints.Paints = 0;
  k1->RemoveKolpachek();
  EXPECT_EQ(k1->Normal(), DirectSide);
  EXPECT_EQ(paints.Paints, 1);
  EXPECT_TRUE(Painted(k1));
  // Uncapped, it turns again.
  Click(k1);
  EXPECT_EQ(Take(), std::vector<std::string>{"click 1 2 SWITCH90L painted 1"});
}

TEST_F(Switches, TheCapKeepsThePositionItWasPutOnIn) {
  k1->SetState(LateralSide1);
  k1->SetCursor(crKolpachek);
  Click(k1);
  EXPECT_EQ(k1->Normal(), CloseState1);
  EXPECT_EQ(k1->BitmapName(), "SWITCHCL");
  k1->RemoveKolpachek();
  EXPECT_EQ(k1->Normal(), LateralSide1);
  EXPECT_EQ(k1->BitmapName(), "SWITCH90R");
}

TEST_F(Switches, ACappedSwitchWithoutAHandlerIgnoresClicks) {
  paints.Paints = 0;
  Click(s3);
  Click(s3, Qt::RightButton);
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(s3->Normal(), CloseState0);
  QTest::qWait(20);
  EXPECT_EQ(paints.Paints, 0);
}

TEST_F(Switches, SettersRepaintOnlyWhenSomethingChanges) {
  paints.Paints = 0;
  k1->SetNormal(DirectSide);
  k1->RemoveKolpachek();
  EXPECT_EQ(paints.Paints, 0);
  k1->SetNormal(LateralSide2);
  EXPECT_EQ(paints.Paints, 1);
  EXPECT_EQ(k1->BitmapName(), "SWITCH90L");
  // SetState repaints whatever it is given; a position beyond the cap draws nothing.
  k1->SetState(LateralSide2);
  EXPECT_EQ(paints.Paints, 2);
  k1->SetState(TSwitchState(6));
  EXPECT_EQ(k1->BitmapName(), "");
  // A capped position above 5 is still capped: a click only asks.
  Click(k1);
  EXPECT_EQ(Take(), std::vector<std::string>{"cap 1 6"});
  s2->SetType(swPER);
  EXPECT_EQ(s2->Width(), 18);
  EXPECT_EQ(s2->Height(), 18);
  s2->SetType(TSwitchType(9));
  EXPECT_EQ(s2->Width(), 18);
  EXPECT_EQ(s2->BitmapName(), "");
}

TEST_F(Switches, PicturesByTypeAndPosition) {
  struct Row {
    TSwitchType type;
    const char* names[4];  // Normal 0, 1, 2, and 3 to 5
  };
  const Row rows[] = {
      {swOLL, {"SWITCH0L", "SWITCH45L", "SWITCH45L", "SWITCH45L"}},
      {swOLR, {"SWITCH0R", "SWITCH45R", "SWITCH45R", "SWITCH45R"}},
      {swORL, {"SWITCH180L", "SWITCH135L", "SWITCH135L", "SWITCH135L"}},
      {swORR, {"SWITCH180R", "SWITCH135R", "SWITCH135R", "SWITCH135R"}},
      {swPER, {"SWITCH0P", "SWITCH45P", "SWITCH135P", "SWITCH0P"}},
      {swPERL, {"SWITCH0P", "SWITCH45P", "SWITCH45P", "SWITCH45P"}},
      {swPERR, {"SWITCH0P", "SWITCH135P", "SWITCH135P", "SWITCH135P"}},
      {swVER, {"SWITCH90", "SWITCH90R", "SWITCH90L", "SWITCHCL"}},
  };
  TEC_Switch s(form.get());
  s.SetParent(form.get());
  s.SetBounds(120, 40, 1, 1);
  s.Show();
  for (const Row& r : rows) {
    s.SetType(r.type);
    for (int n = 0; n <= 5; ++n) {
      s.SetState(TSwitchState(n));
      EXPECT_EQ(s.BitmapName(), r.names[n < 3 ? n : 3]) << int(r.type) << " " << n;
      EXPECT_EQ(PanelBitmapSize(s.BitmapName()), QSize(s.Width(), s.Height())) << s.BitmapName();
      EXPECT_TRUE(Painted(&s)) << s.BitmapName();
    }
  }
}

TEST_F(Switches, CapModeShowsTheCapCursorAndLeavingItTheHand) {
  EXPECT_EQ(k1->Widget()->cursor().shape(), Qt::PointingHandCursor);
  k1->SetCursor(crKolpachek);
  EXPECT_EQ(k1->Cursor(), crKolpachek);
  EXPECT_EQ(k1->Widget()->cursor().shape(), Qt::BitmapCursor);
  EXPECT_FALSE(k1->Widget()->cursor().pixmap().isNull());
  k1->SetCursor(crHandPoint);
  EXPECT_EQ(k1->Widget()->cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
