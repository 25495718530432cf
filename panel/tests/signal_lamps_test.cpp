// The signal's lamps as buttons: the lamp hit test, presses and releases turned into OnDown and
// OnClick with the pressed lamp, the hand cursor over a lamp, and signals whose lamps are not
// buttons.
#include <gtest/gtest.h>

#include <QtTest/QTest>

#include <memory>
#include <string>
#include <vector>

#include "panel/EC_Signal.h"
#include "platform/core/CFormat.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

TEST(SignalLamps, HitTestFollowsTheLampsOfEachTypeAndDirection) {
  TForm form;
  TEC_Signal s(&form);
  struct Hit {
    TSignalType type;
    TSigDir dir;
    int x, y, lamp;
  };
  const Hit hits[] = {
      {sgWG, sgdLeft, 4, 3, 1},    {sgWG, sgdLeft, 8, 7, 1},     {sgWG, sgdLeft, 12, 5, 3},
      {sgWG, sgdLeft, 10, 5, 0},   {sgWG, sgdLeft, 16, 8, 0},    {sgWG, sgdLeft, 3, 5, 0},
      {sgWG, sgdRight, 6, 5, 3},   {sgWG, sgdRight, 14, 5, 1},   {sgWRG, sgdLeft, 14, 5, 0},
      {sgWRG, sgdLeft, 24, 7, 3},  {sgWRG, sgdRight, 4, 3, 3},   {sgWRG, sgdRight, 20, 3, 1},
      {sgW, sgdRight, 6, 5, 1},    {sgG, sgdLeft, 6, 5, 3},      {sgW60, sgdLeft, 8, 3, 1},
      {sgG240, sgdLeft, 3, 11, 3}, {sgG240, sgdRight, 9, 5, 3},  {sgG240, sgdLeft, 6, 4, 0},
      {sgWRGP, sgdLeft, 18, 3, 1}, {sgWRGP, sgdRight, 24, 7, 1}, {sgWRGP, sgdLeft, 43, 5, 3},
      {sgRGP, sgdLeft, 26, 5, 3},  {sgRGP, sgdRight, 32, 5, 3},  {sgRGP, sgdLeft, 20, 5, 0},
      {sgYGRW, sgdVer, 5, 5, 0},   {sgRW, sgdVer, 5, 5, 0},      {sgWR, sgdVer, 5, 12, 0},
  };
  for (const Hit& h : hits) {
    s.SetType(h.type);
    s.SetDirection(h.dir);
    EXPECT_EQ(s.MousOnLamp(h.x, h.y), h.lamp) << int(h.type) << " " << int(h.dir) << " " << h.x << "," << h.y;
  }
}

const char* const kForm = R"(object fmLamps: TForm
  Width = 200
  Height = 100
  object H1: TEC_Signal
    Left = 10
    Top = 10
    Type = sgWRG
    Id = 101
    SignalButtons = True
    OnDown = SignalDown
    OnClick = SignalClick
  end
  object M2: TEC_Signal
    Left = 60
    Top = 10
    Id = 102
    OnDown = SignalDown
    OnClick = SignalClick
  end
end
)";

class SignalButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm>();
    handlers.Add("SignalDown", TNotifyEvent([this](TObject* s) {
                   auto* sig = static_cast<TEC_Signal*>(s);
                   seen.push_back(Format("down %d lamp %d", sig->Id, sig->PressedLamp()));
                 }));
    handlers.Add("SignalClick", TNotifyEvent([this](TObject* s) {
                   auto* sig = static_cast<TEC_Signal*>(s);
                   seen.push_back(Format("click %d lamp %d", sig->Id, sig->PressedLamp()));
                 }));
    LoadFormDefinitionText(form.get(), kForm, "Lamps.vfm", &handlers);
    form->Show();
    h1 = form->FindChild<TEC_Signal>("H1");
    m2 = form->FindChild<TEC_Signal>("M2");
  }
  THandlerTable handlers;
  std::unique_ptr<TForm> form;
  TEC_Signal* h1 = nullptr;
  TEC_Signal* m2 = nullptr;
  std::vector<std::string> seen;
};

TEST_F(SignalButtons, APressOnALampFiresOnDownAndTheReleaseOnClick) {
  QTest::mousePress(h1->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 5));
  EXPECT_EQ(seen, std::vector<std::string>{"down 101 lamp 1"});
  QTest::mouseRelease(h1->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 5));
  EXPECT_EQ(seen, (std::vector<std::string>{"down 101 lamp 1", "click 101 lamp 1"}));
  seen.clear();
  // The green lamp: a train route.
  QTest::mouseClick(h1->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(22, 4));
  EXPECT_EQ(seen, (std::vector<std::string>{"down 101 lamp 3", "click 101 lamp 3"}));
}

TEST_F(SignalButtons, EachHalfIsTestedWhereItHappens) {
  // Pressed on the white lamp, released off the lamps: no click, and the pressed lamp is cleared.
  QTest::mousePress(h1->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 5));
  QTest::mouseRelease(h1->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 10));
  EXPECT_EQ(seen, std::vector<std::string>{"down 101 lamp 1"});
  EXPECT_EQ(h1->PressedLamp(), 0);
  seen.clear();
  // The red lamp is no button.
  QTest::mouseClick(h1->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(14, 5));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(h1->PressedLamp(), 0);
}

TEST_F(SignalButtons, OtherButtonsFireNothing) {
  QTest::mouseClick(h1->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(22, 5));
  seen.clear();
  QTest::mouseClick(h1->Widget(), Qt::RightButton, Qt::NoModifier, QPoint(6, 5));
  QTest::mouseClick(h1->Widget(), Qt::MiddleButton, Qt::NoModifier, QPoint(6, 5));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(h1->PressedLamp(), 3);
}

TEST_F(SignalButtons, LampsThatAreNoButtonsIgnoreTheMouse) {
  QTest::mouseClick(m2->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 5));
  QTest::mouseClick(m2->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(14, 5));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(m2->PressedLamp(), 0);
  m2->MouseMove({}, 6, 5);
  EXPECT_EQ(m2->Cursor(), crDefault);
  // Turned on, the same signal answers.
  m2->SignalButtons = true;
  QTest::mouseClick(m2->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(14, 5));
  EXPECT_EQ(seen, (std::vector<std::string>{"down 102 lamp 3", "click 102 lamp 3"}));
  // Turned off again, a press on the other lamp leaves the last pressed lamp as it was.
  seen.clear();
  m2->SignalButtons = false;
  QTest::mouseClick(m2->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 5));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(m2->PressedLamp(), 3);
}

TEST_F(SignalButtons, TheHandShowsOverALamp) {
  QTest::mouseMove(h1->Widget(), QPoint(6, 5));
  EXPECT_EQ(h1->Cursor(), crHandPoint);
  EXPECT_EQ(h1->Widget()->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseMove(h1->Widget(), QPoint(14, 5));
  EXPECT_EQ(h1->Cursor(), crDefault);
  h1->MouseMove({}, 23, 6);
  EXPECT_EQ(h1->Cursor(), crHandPoint);
}

}  // namespace
