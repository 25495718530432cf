// Signals on a small form: types and directions, aspects and their pictures, blinking, the label,
// the cell in front of the signal, and what is drawn on screen.
//
//   H1 (sgWRG, left)   H2 (sgWRG, right)   M3 (sgWG)   C4 (sgRW, vertical)   P5 (sgRGP)
//   each with its name label but P5; H1 stands behind the route-relay cell Cell1.
#include <gtest/gtest.h>

#include <QImage>
#include <QtTest/QTest>

#include <memory>
#include <string>

#include "panel/EC_Signal.h"
#include "panel/PanelBitmaps.h"
#include "platform/core/CFormat.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

namespace {

const char* const kForm = R"(object fmSignals: TForm
  Width = 300
  Height = 200
  object H1: TEC_Signal
    Left = 10
    Top = 10
    Type = sgWRG
    Id = 101
    SigLabel = LabelH1
    Cell = Cell1
  end
  object H2: TEC_Signal
    Left = 60
    Top = 10
    Type = sgWRG
    Direction = sgdRight
    Id = 102
    SigLabel = LabelH2
  end
  object M3: TEC_Signal
    Left = 110
    Top = 10
    Id = 103
    SigLabel = LabelM3
  end
  object C4: TEC_Signal
    Left = 150
    Top = 10
    Type = sgRW
    Id = 104
    SigLabel = LabelC4
  end
  object P5: TEC_Signal
    Left = 180
    Top = 10
    Type = sgRGP
    Id = 105
  end
  object LabelH1: TLabel
    Left = 10
    Top = 40
    Caption = "Н1"
  end
  object LabelH2: TLabel
    Left = 60
    Top = 40
    Caption = "Н2"
  end
  object LabelM3: TLabel
    Left = 110
    Top = 40
    Caption = "М3"
  end
  object LabelC4: TLabel
    Left = 150
    Top = 40
    Caption = "Ч4"
  end
  object Cell1: TMRC_Cell
    Left = 40
    Top = 60
    Id = 7
  end
end
)";

class Signals : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm>();
    LoadFormDefinitionText(form.get(), kForm, "Signals.vfm", nullptr);
    cell = form->FindChild<TMRC_Cell>("Cell1");
  }
  TEC_Signal* Sig(const std::string& name) { return form->FindChild<TEC_Signal>(name); }

  std::unique_ptr<TForm> form;
  TMRC_Cell* cell = nullptr;
};

TEST_F(Signals, TheFormSetsTypeDirectionIdLabelAndStartingAspect) {
  TEC_Signal* h1 = Sig("H1");
  EXPECT_EQ(h1->Id, 101);
  EXPECT_EQ(h1->Width(), 29);
  EXPECT_EQ(h1->Height(), 12);
  EXPECT_EQ(h1->State(), 2);
  EXPECT_EQ(h1->BitmapName(), "SIGG0R1W0L");
  EXPECT_EQ(h1->SigName(), "Н1");
  EXPECT_EQ(h1->Cell, cell);
  EXPECT_EQ(Sig("H2")->BitmapName(), "SIGG0R1W0R");
  // A shunting signal starts dark.
  EXPECT_EQ(Sig("M3")->Type(), sgWG);
  EXPECT_EQ(Sig("M3")->State(), 0);
  EXPECT_EQ(Sig("M3")->BitmapName(), "SIGG0W0L");
  // The vertical type turns the signal upright and red.
  TEC_Signal* c4 = Sig("C4");
  EXPECT_EQ(c4->Width(), 12);
  EXPECT_EQ(c4->Height(), 21);
  EXPECT_EQ(c4->Direction(), sgdVer);
  EXPECT_EQ(c4->State(), 2);
  EXPECT_EQ(c4->BitmapName(), "SIGR1W0V");
  // No label: no name.
  EXPECT_EQ(Sig("P5")->SigName(), "");
}

TEST_F(Signals, EveryTypeTakesItsSizeAndStartingAspect) {
  struct Row {
    TSignalType type;
    int w, h, aspect;
    TSigDir dir;
  };
  const Row rows[] = {{sgW, 13, 12, 0, sgdLeft},    {sgG, 13, 12, 0, sgdLeft},     {sgWG, 21, 12, 0, sgdLeft},
                      {sgWRG, 29, 12, 2, sgdLeft},  {sgW60, 14, 14, 0, sgdLeft},   {sgG240, 14, 14, 0, sgdLeft},
                      {sgWRGP, 44, 12, 2, sgdLeft}, {sgRGP, 36, 12, 2, sgdLeft},   {sgYGRW, 12, 37, 2, sgdVer},
                      {sgRW, 12, 21, 2, sgdVer},    {sgWR, 12, 21, 2, sgdVer}};
  for (const Row& r : rows) {
    TEC_Signal s(form.get());
    s.SetState(1);
    s.SetType(r.type);
    EXPECT_EQ(s.Width(), r.w) << int(r.type);
    EXPECT_EQ(s.Height(), r.h) << int(r.type);
    EXPECT_EQ(s.State(), r.aspect) << int(r.type);
    EXPECT_EQ(s.ShownState(), r.aspect) << int(r.type);
    EXPECT_EQ(s.Direction(), r.dir) << int(r.type);
  }
  // A type beyond the table is only stored: size, aspect and direction stay.
  TEC_Signal s(form.get());
  s.SetState(3);
  s.SetType(TSignalType(11));
  EXPECT_EQ(s.Type(), 11);
  EXPECT_EQ(s.Width(), 21);
  EXPECT_EQ(s.State(), 3);
  EXPECT_EQ(s.BitmapName(), "");
}

TEST_F(Signals, AspectsShowTheirPicturesAndRedGoesDarkWithoutARedLamp) {
  TEC_Signal* h2 = Sig("H2");
  h2->SetState(3);
  EXPECT_EQ(h2->BitmapName(), "SIGG1R0W0R");
  h2->SetState(1);
  EXPECT_EQ(h2->BitmapName(), "SIGG0R0W1R");
  TEC_Signal* m3 = Sig("M3");
  m3->SetState(3);
  m3->SetState(2);
  EXPECT_EQ(m3->State(), 0);
  EXPECT_EQ(m3->BitmapName(), "SIGG0W0L");
  EXPECT_EQ(m3->BlipSignal(), 0);
  // Invitation on the invitation signal, steady and blinking alike.
  TEC_Signal* p5 = Sig("P5");
  p5->SetState(7);
  EXPECT_EQ(p5->BitmapName(), "SIGG0R0P1L");
  p5->SetState(8);
  EXPECT_EQ(p5->BitmapName(), "SIGG0R0P1L");
  // The four-lamp vertical signal: nothing in aspect 0, yellow and green in aspect 9.
  TEC_Signal s(form.get());
  s.SetType(sgYGRW);
  s.SetState(0);
  EXPECT_EQ(s.BitmapName(), "");
  s.SetState(9);
  EXPECT_EQ(s.BitmapName(), "SIGY1G1R0W0V");
  s.SetState(10);
  EXPECT_EQ(s.BitmapName(), "SIGY1G0R0W0V");
}

TEST_F(Signals, EveryPictureASignalAsksForIsThere) {
  // Whatever the type, direction and aspect, a signal either draws nothing or a picture that
  // exists (the right-facing four-lamp signal included).
  for (int type = 0; type <= 10; ++type)
    for (int dir = 0; dir <= 2; ++dir) {
      TEC_Signal s(form.get());
      s.SetType(TSignalType(type));
      s.SetDirection(TSigDir(dir));
      for (int aspect = 0; aspect <= 10; ++aspect) {
        s.SetState(TSignalState(aspect));
        const std::string name = s.BitmapName();
        if (!name.empty()) {
          EXPECT_TRUE(BitmapExists(name)) << name;
        }
      }
    }
  TEC_Signal s(form.get());
  s.SetType(sgWRGP);
  s.SetDirection(sgdRight);
  EXPECT_EQ(s.BitmapName(), "SIGG0R1W0P0R");
  EXPECT_EQ(PanelBitmapSize(s.BitmapName()), QSize(44, 12));
}

TEST_F(Signals, BlinkingAspectsAlternateWithDarkAndSteadyOnesDoNot) {
  TEC_Signal* h2 = Sig("H2");
  h2->SetState(3);
  EXPECT_EQ(h2->BlipSignal(), 0);
  EXPECT_EQ(h2->BitmapName(), "SIGG1R0W0R");
  h2->SetState(5);
  EXPECT_EQ(h2->BitmapName(), "SIGG0R1W0R");
  EXPECT_EQ(h2->BlipSignal(), 1);
  EXPECT_EQ(h2->ShownState(), 0);
  EXPECT_EQ(h2->BitmapName(), "SIGG0R0W0R");
  EXPECT_EQ(h2->BlipSignal(), 1);
  EXPECT_EQ(h2->ShownState(), 5);
  EXPECT_EQ(h2->BitmapName(), "SIGG0R1W0R");
  EXPECT_EQ(h2->State(), 5);
  // Green blinking, then steady green: the next step reports no blinking.
  h2->SetState(6);
  EXPECT_EQ(h2->BlipSignal(), 1);
  EXPECT_EQ(h2->BitmapName(), "SIGG0R0W0R");
  h2->SetState(3);
  EXPECT_EQ(h2->BlipSignal(), 0);
  EXPECT_EQ(h2->BitmapName(), "SIGG1R0W0R");
  // Steady invitation blinks too, since every aspect from 4 up does.
  TEC_Signal* p5 = Sig("P5");
  p5->SetState(7);
  EXPECT_EQ(p5->BlipSignal(), 1);
  EXPECT_EQ(p5->BitmapName(), "SIGG0R0P0L");
  // A vertical signal has no picture for white blinking: it alternates nothing and dark.
  TEC_Signal* c4 = Sig("C4");
  c4->SetState(4);
  EXPECT_EQ(c4->BitmapName(), "");
  EXPECT_EQ(c4->BlipSignal(), 1);
  EXPECT_EQ(c4->BitmapName(), "");
}

TEST_F(Signals, StartRouteLightsTheCellInFrontGreenAndRestoresIt) {
  form->Show();
  TEC_Signal* h1 = Sig("H1");
  cell->SetState(csRed);
  h1->StartRoute(true);
  EXPECT_EQ(cell->State(), csGreen);
  EXPECT_EQ(cell->PictureName(), "MRCCELLGREEN0");
  EXPECT_TRUE(GrabControl(cell).convertToFormat(QImage::Format_RGB32) ==
              DrawPanelBitmap("MRCCELLGREEN0").convertToFormat(QImage::Format_RGB32));
  h1->StartRoute(false);
  EXPECT_EQ(cell->State(), csRed);
  EXPECT_EQ(cell->PictureName(), "MRCCELLRED0");
  // A signal with no cell does nothing.
  Sig("H2")->StartRoute(true);
  EXPECT_EQ(cell->State(), csRed);
  // Dropped twice, the cell stays as it was.
  h1->StartRoute(false);
  EXPECT_EQ(cell->State(), csRed);
}

TEST_F(Signals, TheCellMustBeARouteRelayCell) {
  TForm other;
  try {
    LoadFormDefinitionText(&other,
                           "object F: TForm\n  object S: TEC_Signal\n    Cell = L\n  end\n"
                           "  object L: TLabel\n  end\nend\n",
                           "Bad.vfm", nullptr);
    FAIL() << "loaded";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Bad.vfm, строка 3: свойство Cell: компонент L не класса TMRC_Cell");
  }
  // A straight cell of the other family is not one either.
  TForm third;
  try {
    LoadFormDefinitionText(&third,
                           "object F: TForm\n  object S: TEC_Signal\n    Cell = C\n  end\n"
                           "  object C: TEC_Cell\n  end\nend\n",
                           "Bad.vfm", nullptr);
    FAIL() << "loaded";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Bad.vfm, строка 3: свойство Cell: компонент C не класса TMRC_Cell");
  }
}

// The signal as drawn on screen is its picture, lamp for lamp.
void ExpectShows(TEC_Signal* s, const std::string& name) {
  ASSERT_EQ(s->BitmapName(), name);
  const QImage shown = GrabControl(s).convertToFormat(QImage::Format_RGB32);
  const QImage picture = DrawPanelBitmap(name).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), picture.size()) << name;
  EXPECT_TRUE(shown == picture) << name;
}

QColor Pixel(TEC_Signal* s, int x, int y) {
  return GrabControl(s).pixelColor(x, y);
}

TEST_F(Signals, OnScreenEachTypeShowsItsAspects) {
  form->Show();
  for (int type = 0; type <= 10; ++type)
    for (int dir = 0; dir <= 1; ++dir) {
      TEC_Signal s(form.get());
      s.SetParent(form.get());
      s.SetBounds(200, 100, 10, 10);
      s.SetType(TSignalType(type));
      if (type < sgYGRW) s.SetDirection(TSigDir(dir));
      s.Show();
      for (int aspect : {0, 1, 2, 3, 5, 7, 9}) {
        s.SetState(TSignalState(aspect));
        if (!s.BitmapName().empty()) {
          ExpectShows(&s, s.BitmapName());
        }
      }
    }
}

TEST_F(Signals, OnScreenTheLitLampIsBrightAndBlinksDark) {
  form->Show();
  TEC_Signal* h1 = Sig("H1");
  // sgWRG facing left: white at x 4..8, red at 12..16, green at 20..24, on the row y 3..7.
  const QColor darkGreen = Pixel(h1, 22, 5);
  h1->SetState(3);
  ExpectShows(h1, "SIGG1R0W0L");
  const QColor green = Pixel(h1, 22, 5);
  EXPECT_GT(green.green(), 200);
  EXPECT_LT(green.red(), 100);
  EXPECT_GT(green.green(), darkGreen.green() + 80);
  h1->SetState(6);
  h1->BlipSignal();
  ExpectShows(h1, "SIGG0R0W0L");
  EXPECT_EQ(Pixel(h1, 22, 5), darkGreen);
  h1->BlipSignal();
  EXPECT_EQ(Pixel(h1, 22, 5), green);
  // Closed: red lamp lit.
  h1->SetState(2);
  const QColor red = Pixel(h1, 14, 5);
  EXPECT_GT(red.red(), 200);
  EXPECT_LT(red.green(), 100);
  // Shunting open on the right-facing signal: its white lamp is the rightmost.
  TEC_Signal* h2 = Sig("H2");
  h2->SetState(1);
  ExpectShows(h2, "SIGG0R0W1R");
  const QColor white = Pixel(h2, 22, 5);
  EXPECT_GT(white.red(), 200);
  EXPECT_GT(white.green(), 200);
  EXPECT_GT(white.blue(), 200);
}

}  // namespace
