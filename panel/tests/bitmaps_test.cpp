// The panel's picture catalogue: every name the elements can ask for draws at its element's size,
// the name builders follow the elements' naming rules, and the signal lamps sit where the lamp hit
// test looks for them.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "panel/PanelBitmaps.h"
#include "platform/qt/Graphics.h"

namespace {

struct Group {
  std::vector<std::string> names;
  int w, h;
};

// Every picture with the size of the element that draws it.
const std::vector<Group>& Expected() {
  static const std::vector<Group> groups = {
      {{"CELLFREE0", "CELLWHITE0", "CELLRED0", "CELLREDWHITE0"}, 13, 6},
      {{"CELLFREE45", "CELLWHITE45", "CELLRED45", "CELLREDWHITE45"}, 11, 11},
      {{"CELLFREE60", "CELLWHITE60", "CELLRED60", "CELLREDWHITE60"}, 19, 12},
      {{"CELLFREE90", "CELLWHITE90", "CELLRED90", "CELLREDWHITE90"}, 6, 13},
      {{"CELLFREE120", "CELLWHITE120", "CELLRED120", "CELLREDWHITE120"}, 9, 12},
      {{"CELLFREE135", "CELLWHITE135", "CELLRED135", "CELLREDWHITE135"}, 11, 11},
      {{"MRCCELLFREE0", "MRCCELLWHITE0", "MRCCELLRED0", "MRCCELLREDWHITE0", "MRCCELLGREEN0"}, 12, 5},
      {{"MRCCELLFREE45", "MRCCELLWHITE45", "MRCCELLRED45", "MRCCELLREDWHITE45"}, 10, 11},
      {{"MRCCELLFREE120", "MRCCELLWHITE120", "MRCCELLRED120", "MRCCELLREDWHITE120"}, 8, 11},
      {{"MRCCELLFREE135", "MRCCELLWHITE135", "MRCCELLRED135", "MRCCELLREDWHITE135"}, 10, 11},
      {{"RC_SeparatorB", "RC_SeparatorR"}, 4, 4},
      {{"ENDWAYL", "ENDWAYR"}, 8, 10},
      {{"MRC_PEREGONFREE", "MRC_PEREGONRED"}, 13, 12},
      {{"PEREGON240FREE", "PEREGON240WHITE"}, 25, 27},
      {{"PEREGONFREE", "PEREGONWHITE"}, 39, 32},
      {{"BLOCKFREE", "BLOCKRED"}, 23, 11},
      {{"ABWHITEL", "ABGREENR"}, 38, 11},
      {{"RPFREELEFT", "RPWHITELEFT", "RPGREENLEFT", "RPFREERIGHT", "RPWHITERIGHT", "RPGREENRIGHT"}, 32, 15},
      {{"SIGW0L", "SIGW1L", "SIGW0R", "SIGW1R"}, 13, 12},
      {{"SIGG0L", "SIGG1L", "SIGG0R", "SIGG1R"}, 13, 12},
      {{"SIGG0W0L", "SIGG0W1L", "SIGG1W0L", "SIGG0W0R", "SIGG0W1R", "SIGG1W0R"}, 21, 12},
      {{"SIGG0R0W0L", "SIGG0R0W1L", "SIGG0R1W0L", "SIGG1R0W0L", "SIGG0R0W0R", "SIGG0R0W1R", "SIGG0R1W0R",
        "SIGG1R0W0R"},
       29, 12},
      {{"SIGW0R60", "SIGW1R60"}, 14, 14},
      {{"SIGG0R240", "SIGG1R240"}, 14, 14},
      {{"SIGG0R0W0P0L", "SIGG0R0W1P0L", "SIGG0R1W0P0L", "SIGG1R0W0P0L", "SIGG0R0W0P1L", "SIGG0R0W0P0R",
        "SIGG0R0W1P0R", "SIGG0R1W0P0R", "SIGG1R0W0P0R", "SIGG0R0W0P1R"},
       44, 12},
      {{"SIGG0R0P0L", "SIGG0R1P0L", "SIGG1R0P0L", "SIGG0R0P1L", "SIGG0R0P0R", "SIGG0R1P0R", "SIGG1R0P0R",
        "SIGG0R0P1R"},
       36, 12},
      {{"SIGY0G0R0W1V", "SIGY0G0R1W0V", "SIGY0G1R0W0V", "SIGY1G1R0W0V", "SIGY1G0R0W0V"}, 12, 37},
      {{"SIGR0W1V", "SIGR1W0V"}, 12, 21},
      {{"SIGW1R0V", "SIGW0R1V"}, 12, 21},
      {{"SWITCH0L", "SWITCH45L", "SWITCH0R", "SWITCH45R", "SWITCH180L", "SWITCH135L", "SWITCH180R",
        "SWITCH135R"},
       13, 14},
      {{"SWITCH0P", "SWITCH45P", "SWITCH135P"}, 18, 18},
      {{"SWITCH90", "SWITCH90R", "SWITCH90L", "SWITCHCL"}, 14, 14},
      {{"BUTTONON", "BUTTONOFF", "GREENBUTTONON", "GREENBUTTONOFF", "REDBUTTONON", "REDBUTTONOFF",
        "BUTTONGORON", "BUTTONGOROFF"},
       12, 13},
      {{"BUTTONPLOMBED", "BUTTONUNPLOMBEDON", "BUTTONUNPLOMBEDOFF"}, 20, 19},
      {{"BUTTONONRED", "BUTTONONGREEN", "BUTTONONWHITE", "BUTTONOFFRED", "BUTTONOFFGREEN", "BUTTONOFFWHITE"},
       12, 13},
      {{"AMPERFREE"}, 60, 60},
      {{"SECTION"}, 10, 10},
      {{"CHANNELTRAIN", "CHANNELLOUDSPEAKER", "CHANNELSHUNTING"}, 36, 30},
  };
  return groups;
}

std::set<std::string> Listed() {
  const auto names = PanelBitmapNames();
  return {names.begin(), names.end()};
}

// Every name the naming rules give for every value of every property and state, some beyond range.
std::set<std::string> ProducedByRules() {
  std::set<std::string> out;
  auto add = [&](const std::string& n) {
    if (!n.empty()) out.insert(n);
  };
  for (bool mrc : {false, true})
    for (int angle : {0, 45, 60, 90, 120, 135})
      for (int s = 0; s <= 9; ++s) add(CellBitmapName(mrc, angle, s));
  for (int v = -1; v <= 3; ++v) {
    add(SeparatorBitmapName(v));
    add(EndwayBitmapName(v));
    add(DirectABBitmapName(v));
    for (bool st : {false, true}) add(PeregonBitmapName(v, st));
    for (int s = 0; s <= 9; ++s) add(RoutePointerBitmapName(v, s));
  }
  for (bool st : {false, true}) add(BlockBitmapName(st));
  for (int type = 0; type <= 12; ++type)
    for (int dir = 0; dir <= 2; ++dir)
      for (int aspect = 0; aspect <= 12; ++aspect) add(SignalBitmapName(type, dir, aspect));
  for (int type = 0; type <= 9; ++type)
    for (int normal = 0; normal <= 7; ++normal) add(SwitchBitmapName(type, normal));
  for (bool down : {false, true}) {
    for (int kind = 0; kind <= 4; ++kind) add(ButtonBitmapName(kind, down));
    for (bool sealed : {false, true}) add(PlButtonBitmapName(sealed, down));
    for (int state = 0; state <= 3; ++state)
      for (bool phase : {false, true})
        for (int colour = 0; colour <= 3; ++colour) add(ButtonLampBitmapName(down, state, phase, colour));
  }
  add("AMPERFREE");
  add("SECTION");
  for (int channel = 0; channel <= 3; ++channel) add(ChannelBitmapName(channel));
  return out;
}

// Rough colour classes of a lamp lens or track strip.
char Kind(const QColor& c) {
  const int r = c.red(), g = c.green(), b = c.blue();
  if (r > 200 && g > 200 && b > 200) return 'W';
  if (r > 200 && g > 180 && b < 80) return 'Y';
  if (r > 200 && g < 90 && b < 90) return 'R';
  if (g > 180 && r < 110 && b < 130) return 'G';
  if (b > 230 && r > 170 && r < 215) return 'P';
  if (r < 130 && g < 130 && b < 130) return 'd';  // dark or unlit
  return '?';
}

QColor At(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

std::string LitLetters(int aspect) {
  switch (aspect) {
    case 1: case 4: return "W";
    case 2: case 5: return "R";
    case 3: case 6: return "G";
    case 7: case 8: return "P";
    case 9: return "YG";
    case 10: return "Y";
    default: return "";
  }
}

}  // namespace

TEST(PanelBitmapCatalogue, ListsExactlyTheDocumentedNamesWithTheirSizes) {
  std::set<std::string> expected;
  for (const Group& g : Expected())
    for (const std::string& n : g.names) {
      expected.insert(n);
      EXPECT_EQ(PanelBitmapSize(n), QSize(g.w, g.h)) << n;
      const QImage img = DrawPanelBitmap(n);
      ASSERT_FALSE(img.isNull()) << n;
      EXPECT_EQ(img.size(), QSize(g.w, g.h)) << n;
    }
  EXPECT_EQ(Listed(), expected);
  EXPECT_EQ(PanelBitmapNames().size(), expected.size()) << "a name is listed twice";
}

TEST(PanelBitmapCatalogue, EveryNameTheRulesProduceIsListedAndNothingElse) {
  EXPECT_EQ(ProducedByRules(), Listed());
}

TEST(PanelBitmapCatalogue, UnknownNamesGiveNothingAndLookupIgnoresCase) {
  for (const char* n : {"", "CELLGREEN0", "MRCCELLGREEN45", "CELLFREE", "SIGW2L", "SWITCH", "BUTTONONYELLOW",
                        "AMPERFREE ", "no such picture"}) {
    EXPECT_TRUE(DrawPanelBitmap(n).isNull()) << n;
    EXPECT_FALSE(PanelBitmapSize(n).isValid()) << n;
  }
  EXPECT_EQ(DrawPanelBitmap("RC_SEPARATORB"), DrawPanelBitmap("RC_SeparatorB"));
  EXPECT_EQ(DrawPanelBitmap("rc_separatorr"), DrawPanelBitmap("RC_SeparatorR"));
  EXPECT_EQ(DrawPanelBitmap("mrccellwhite0"), DrawPanelBitmap("MRCCELLWHITE0"));
  EXPECT_EQ(PanelBitmapSize("sigg1r0w0l"), QSize(29, 12));
}

TEST(PanelBitmapNames, CellsByFamilyAngleAndShownState) {
  EXPECT_EQ(CellBitmapName(false, 0, 0), "CELLFREE0");
  EXPECT_EQ(CellBitmapName(false, 135, 4), "CELLREDWHITE135");
  EXPECT_EQ(CellBitmapName(true, 45, 1), "MRCCELLWHITE45");
  EXPECT_EQ(CellBitmapName(true, 120, 2), "MRCCELLRED120");
  EXPECT_EQ(CellBitmapName(true, 45, 4), "MRCCELLREDWHITE45");
  // Blinking states show their lit picture; the dark phase is set by the element as another state.
  EXPECT_EQ(CellBitmapName(true, 0, 5), "MRCCELLWHITE0");
  EXPECT_EQ(CellBitmapName(false, 90, 6), "CELLREDWHITE90");
  // Green exists only on the straight route-relay cell.
  EXPECT_EQ(CellBitmapName(true, 0, 3), "MRCCELLGREEN0");
  EXPECT_EQ(CellBitmapName(true, 45, 3), "");
  EXPECT_EQ(CellBitmapName(false, 0, 3), "");
  EXPECT_EQ(CellBitmapName(true, 0, 7), "");
  EXPECT_EQ(CellBitmapName(true, 60, 0), "") << "no route-relay cell at 60 degrees";
  EXPECT_EQ(CellBitmapName(true, 90, 0), "");
}

TEST(PanelBitmapNames, PlanMarksAndRoutePointer) {
  EXPECT_EQ(SeparatorBitmapName(0), "RC_SeparatorB");
  EXPECT_EQ(SeparatorBitmapName(1), "RC_SeparatorR");
  EXPECT_EQ(EndwayBitmapName(1), "ENDWAYR");
  EXPECT_EQ(PeregonBitmapName(0, true), "MRC_PEREGONRED");
  EXPECT_EQ(PeregonBitmapName(2, true), "PEREGON240WHITE");
  EXPECT_EQ(PeregonBitmapName(1, false), "PEREGONFREE");
  EXPECT_EQ(BlockBitmapName(true), "BLOCKRED");
  EXPECT_EQ(DirectABBitmapName(0), "ABWHITEL");
  EXPECT_EQ(DirectABBitmapName(1), "ABGREENR");
  const char* left[] = {"RPFREELEFT", "RPWHITELEFT", "RPGREENLEFT", "RPWHITELEFT", "RPGREENLEFT", "RPFREELEFT"};
  for (int s = 0; s <= 5; ++s) EXPECT_EQ(RoutePointerBitmapName(0, s), left[s]) << s;
  EXPECT_EQ(RoutePointerBitmapName(1, 4), "RPGREENRIGHT");
  EXPECT_EQ(RoutePointerBitmapName(1, 200), "RPFREERIGHT");
}

TEST(PanelBitmapNames, SignalsFollowTheAspectTable) {
  // Rows: type, then the names for shown aspects 0..10 facing left ("" = nothing drawn).
  struct Row {
    int type;
    std::vector<std::string> names;
  };
  const std::vector<Row> rows = {
      {0, {"SIGW0L", "SIGW1L", "", "", "SIGW1L", "", "", "", "", "", ""}},
      {1, {"SIGG0L", "", "", "SIGG1L", "", "", "SIGG1L", "", "", "", ""}},
      {2, {"SIGG0W0L", "SIGG0W1L", "", "SIGG1W0L", "SIGG0W1L", "", "SIGG1W0L", "", "", "", ""}},
      {3, {"SIGG0R0W0L", "SIGG0R0W1L", "SIGG0R1W0L", "SIGG1R0W0L", "SIGG0R0W1L", "SIGG0R1W0L", "SIGG1R0W0L", "",
           "", "", ""}},
      {4, {"SIGW0R60", "SIGW1R60", "", "", "SIGW1R60", "", "", "", "", "", ""}},
      {5, {"SIGG0R240", "", "", "SIGG1R240", "", "", "SIGG1R240", "", "", "", ""}},
      {6, {"SIGG0R0W0P0L", "SIGG0R0W1P0L", "SIGG0R1W0P0L", "SIGG1R0W0P0L", "SIGG0R0W1P0L", "SIGG0R1W0P0L",
           "SIGG1R0W0P0L", "SIGG0R0W0P1L", "SIGG0R0W0P1L", "", ""}},
      {7, {"SIGG0R0P0L", "", "SIGG0R1P0L", "SIGG1R0P0L", "", "SIGG0R1P0L", "SIGG1R0P0L", "SIGG0R0P1L",
           "SIGG0R0P1L", "", ""}},
      {8, {"", "SIGY0G0R0W1V", "SIGY0G0R1W0V", "SIGY0G1R0W0V", "", "", "", "", "", "SIGY1G1R0W0V",
           "SIGY1G0R0W0V"}},
      {9, {"", "SIGR0W1V", "SIGR1W0V", "", "", "", "", "", "", "", ""}},
      {10, {"", "SIGW1R0V", "SIGW0R1V", "", "", "", "", "", "", "", ""}},
  };
  for (const Row& row : rows)
    for (int aspect = 0; aspect <= 10; ++aspect)
      EXPECT_EQ(SignalBitmapName(row.type, 0, aspect), row.names[aspect]) << row.type << " " << aspect;
  EXPECT_EQ(SignalBitmapName(3, 1, 3), "SIGG1R0W0R");
  EXPECT_EQ(SignalBitmapName(3, 2, 5), "SIGG0R1W0R") << "any direction but left ends in R";
  EXPECT_EQ(SignalBitmapName(4, 0, 1), "SIGW1R60");
  EXPECT_EQ(SignalBitmapName(5, 1, 0), "SIGG0R240");
  EXPECT_EQ(SignalBitmapName(9, 0, 2), "SIGR1W0V") << "vertical types ignore the direction";
  EXPECT_EQ(SignalBitmapName(6, 1, 7), "SIGG0R0W0P1R");
  EXPECT_EQ(SignalBitmapName(11, 0, 0), "");
  EXPECT_EQ(SignalBitmapName(3, 0, 11), "");
}

TEST(PanelBitmapNames, SwitchesAndButtons) {
  const char* ver[] = {"SWITCH90", "SWITCH90R", "SWITCH90L", "SWITCHCL", "SWITCHCL", "SWITCHCL"};
  for (int n = 0; n <= 5; ++n) EXPECT_EQ(SwitchBitmapName(7, n), ver[n]);
  const char* per[] = {"SWITCH0P", "SWITCH45P", "SWITCH135P", "SWITCH0P", "SWITCH0P", "SWITCH0P"};
  for (int n = 0; n <= 5; ++n) EXPECT_EQ(SwitchBitmapName(4, n), per[n]);
  EXPECT_EQ(SwitchBitmapName(0, 0), "SWITCH0L");
  EXPECT_EQ(SwitchBitmapName(0, 4), "SWITCH45L");
  EXPECT_EQ(SwitchBitmapName(3, 2), "SWITCH135R");
  EXPECT_EQ(SwitchBitmapName(6, 1), "SWITCH135P");
  EXPECT_EQ(SwitchBitmapName(8, 0), "");
  EXPECT_EQ(SwitchBitmapName(7, 6), "");

  EXPECT_EQ(ButtonBitmapName(0, true), "BUTTONON");
  EXPECT_EQ(ButtonBitmapName(1, false), "GREENBUTTONOFF");
  EXPECT_EQ(ButtonBitmapName(3, true), "BUTTONGORON");
  EXPECT_EQ(PlButtonBitmapName(true, true), "BUTTONPLOMBED");
  EXPECT_EQ(PlButtonBitmapName(false, false), "BUTTONUNPLOMBEDOFF");
  EXPECT_EQ(ButtonLampBitmapName(false, 2, true, 1), "BUTTONOFFGREEN");
  EXPECT_EQ(ButtonLampBitmapName(false, 2, false, 1), "BUTTONOFF");
  EXPECT_EQ(ButtonLampBitmapName(true, 1, false, 2), "BUTTONONWHITE");
  EXPECT_EQ(ButtonLampBitmapName(true, 0, true, 0), "BUTTONON");
  EXPECT_EQ(ButtonLampBitmapName(true, 3, true, 0), "");
  EXPECT_EQ(ButtonLampBitmapName(true, 1, true, 3), "");
  EXPECT_EQ(ButtonLampBitmapName(true, 0, true, 3), "BUTTONON") << "an unlit lamp ignores its colour";
}

TEST(PanelSignalGeometry, HitTestBoundaries) {
  EXPECT_EQ(SignalLampAt(2, 0, 4, 3), 1);
  EXPECT_EQ(SignalLampAt(2, 0, 8, 7), 1);
  EXPECT_EQ(SignalLampAt(2, 0, 12, 5), 3);
  EXPECT_EQ(SignalLampAt(2, 0, 10, 5), 0);
  EXPECT_EQ(SignalLampAt(2, 0, 6, 8), 0);
  EXPECT_EQ(SignalLampAt(2, 1, 6, 5), 3);
  EXPECT_EQ(SignalLampAt(2, 2, 14, 5), 1);
  EXPECT_EQ(SignalLampAt(3, 0, 14, 5), 0) << "the red lamp is not a button";
  EXPECT_EQ(SignalLampAt(3, 0, 22, 5), 3);
  EXPECT_EQ(SignalLampAt(3, 1, 22, 5), 1);
  EXPECT_EQ(SignalLampAt(5, 0, 3, 11), 3);
  EXPECT_EQ(SignalLampAt(5, 0, 6, 4), 0);
  EXPECT_EQ(SignalLampAt(6, 1, 48, 7), 3);
  EXPECT_EQ(SignalLampAt(6, 0, 18, 3), 1);
  EXPECT_EQ(SignalLampAt(7, 0, 26, 5), 3);
  EXPECT_EQ(SignalLampAt(7, 0, 21, 5), 0);
  for (int type : {8, 9, 10})
    for (int x = 0; x < 12; ++x)
      for (int y = 0; y < 37; ++y) EXPECT_EQ(SignalLampAt(type, 2, x, y), 0);
}

// The white and green lamps lie wholly inside the hit areas that report them, and the drawn picture
// lights them there.
TEST(PanelSignalGeometry, LampsSitInsideTheirHitAreas) {
  for (int type = 0; type <= 10; ++type)
    for (int dir = 0; dir <= 2; ++dir) {
      const auto lamps = SignalLamps(type, dir);
      ASSERT_FALSE(lamps.empty()) << type;
      for (const SignalLamp& lamp : lamps) {
        const int want = type >= 8 ? 0 : lamp.color == 'W' ? 1 : lamp.color == 'G' ? 3 : 0;
        for (int y = lamp.rect.top(); y <= lamp.rect.bottom(); ++y)
          for (int x = lamp.rect.left(); x <= lamp.rect.right(); ++x)
            EXPECT_EQ(SignalLampAt(type, dir, x, y), want) << type << "/" << dir << " " << lamp.color;
        if (want == 0) continue;
        // Light that lamp and look at its centre.
        const std::string name = SignalBitmapName(type, dir, want);
        const QImage img = DrawPanelBitmap(name);
        ASSERT_FALSE(img.isNull()) << name;
        const QPoint c = lamp.rect.center();
        EXPECT_EQ(Kind(At(img, c.x(), c.y())), lamp.color) << name;
      }
    }
}

// For every signal picture each lamp's centre shows its colour when the aspect lights it, and a dark
// lens otherwise; lamps stay inside the picture.
TEST(PanelSignalGeometry, EveryPictureLightsExactlyItsAspectsLamps) {
  int checked = 0;
  for (int type = 0; type <= 10; ++type)
    for (int dir = 0; dir <= 2; ++dir)
      for (int aspect = 0; aspect <= 10; ++aspect) {
        const std::string name = SignalBitmapName(type, dir, aspect);
        if (name.empty()) continue;
        const QImage img = DrawPanelBitmap(name);
        ASSERT_FALSE(img.isNull()) << name;
        const std::string lit = LitLetters(aspect);
        for (const SignalLamp& lamp : SignalLamps(type, dir)) {
          ASSERT_TRUE(QRect(QPoint(0, 0), img.size()).contains(lamp.rect)) << name;
          const QPoint c = lamp.rect.center();
          const bool on = lit.find(lamp.color) != std::string::npos;
          EXPECT_EQ(Kind(At(img, c.x(), c.y())), on ? lamp.color : 'd') << name << " lamp " << lamp.color;
          ++checked;
        }
      }
  EXPECT_GT(checked, 100);
}

TEST(PanelSignalGeometry, FacingRightMirrorsTheShortSignals) {
  EXPECT_EQ(DrawPanelBitmap("SIGG0R0W1R"), DrawPanelBitmap("SIGG0R0W1L").mirrored(true, false));
  EXPECT_EQ(DrawPanelBitmap("SIGG1W0R"), DrawPanelBitmap("SIGG1W0L").mirrored(true, false));
  // The lamps of the invitation types keep their places; only the mast changes sides.
  const QImage l = DrawPanelBitmap("SIGG1R0P0L"), r = DrawPanelBitmap("SIGG1R0P0R");
  EXPECT_NE(l, r);
  for (const SignalLamp& lamp : SignalLamps(7, 0))
    EXPECT_EQ(l.pixelColor(lamp.rect.center()), r.pixelColor(lamp.rect.center()));
}

TEST(PanelCellPictures, StripsShowTheirStateColours) {
  EXPECT_EQ(Kind(At(DrawPanelBitmap("MRCCELLWHITE0"), 5, 2)), 'W');
  EXPECT_EQ(Kind(At(DrawPanelBitmap("MRCCELLRED0"), 5, 2)), 'R');
  EXPECT_EQ(Kind(At(DrawPanelBitmap("MRCCELLGREEN0"), 5, 2)), 'G');
  EXPECT_EQ(Kind(At(DrawPanelBitmap("MRCCELLFREE0"), 5, 2)), 'd');
  EXPECT_NE(DrawPanelBitmap("MRCCELLFREE0").pixelColor(5, 2), PanelBackgroundColor()) << "free track is visible";
  EXPECT_EQ(DrawPanelBitmap("MRCCELLFREE0").pixelColor(5, 0), PanelBackgroundColor());
  const QImage rw = DrawPanelBitmap("CELLREDWHITE0");
  EXPECT_EQ(Kind(rw.pixelColor(5, 1)), 'R');
  EXPECT_EQ(Kind(rw.pixelColor(5, 2)), 'W');
  // Slanted cells run corner to corner.
  const QImage c45 = DrawPanelBitmap("CELLWHITE45");
  EXPECT_EQ(Kind(c45.pixelColor(5, 5)), 'W');
  EXPECT_EQ(Kind(c45.pixelColor(0, 10)), 'W');
  EXPECT_EQ(c45.pixelColor(0, 0), PanelBackgroundColor());
  const QImage c135 = DrawPanelBitmap("MRCCELLRED135");
  EXPECT_EQ(Kind(c135.pixelColor(0, 0)), 'R');
  EXPECT_EQ(c135.pixelColor(0, 10), PanelBackgroundColor());
  EXPECT_EQ(Kind(DrawPanelBitmap("CELLRED90").pixelColor(2, 6)), 'R');
  // Every lit picture of a cell differs from its free picture.
  for (const std::string& n : PanelBitmapNames())
    if (n.rfind("CELL", 0) == 0 || n.rfind("MRCCELL", 0) == 0) {
      const std::string family = n.rfind("MRC", 0) == 0 ? "MRCCELL" : "CELL";
      const std::string suffix = n.substr(n.find_first_of("0123456789"));
      if (n != family + "FREE" + suffix) {
        EXPECT_NE(DrawPanelBitmap(n), DrawPanelBitmap(family + "FREE" + suffix)) << n;
      }
    }
}

TEST(PanelButtonPictures, StatesLookDifferent) {
  for (const char* prefix : {"BUTTON", "GREENBUTTON", "REDBUTTON", "BUTTONGOR", "BUTTONUNPLOMBED"})
    EXPECT_NE(DrawPanelBitmap(std::string(prefix) + "ON"), DrawPanelBitmap(std::string(prefix) + "OFF")) << prefix;
  EXPECT_NE(DrawPanelBitmap("BUTTONPLOMBED"), DrawPanelBitmap("BUTTONUNPLOMBEDOFF"));
  for (const char* colour : {"RED", "GREEN", "WHITE"})
    for (const char* state : {"ON", "OFF"}) {
      const std::string lit = std::string("BUTTON") + state + colour;
      EXPECT_NE(DrawPanelBitmap(lit), DrawPanelBitmap(std::string("BUTTON") + state)) << lit;
    }
  EXPECT_EQ(Kind(DrawPanelBitmap("BUTTONOFFGREEN").pixelColor(7, 8)), 'G');
  EXPECT_EQ(Kind(DrawPanelBitmap("BUTTONONRED").pixelColor(7, 8)), 'R');
}

TEST(PanelAmmeter, NeedleGeometryAndDial) {
  EXPECT_EQ(AmmeterPivot(), QPoint(53, 54));
  EXPECT_EQ(AmmeterNeedleAngle(0), 0);
  EXPECT_EQ(AmmeterNeedleAngle(30), 30);
  EXPECT_EQ(AmmeterNeedleAngle(31), 35);
  EXPECT_EQ(AmmeterNeedleAngle(74), 35);
  EXPECT_EQ(AmmeterNeedleAngle(75), 35);
  EXPECT_EQ(AmmeterNeedleAngle(95), 15);
  EXPECT_EQ(AmmeterNeedleAngle(112), -2);
  EXPECT_EQ(AmmeterNeedle(30), QLine(50, 52, 27, 39));
  EXPECT_EQ(AmmeterNeedle(65).p2(), QPoint(28, 36));
  EXPECT_EQ(AmmeterNeedle(0), QLine(50, 54, 23, 54));
  // Wherever the needle swings inside the picture it lies on the white scale window, so a black needle shows on it.
  const QImage dial = DrawPanelBitmap("AMPERFREE");
  for (int pos = 0; pos <= 130; ++pos) {
    const QLine l = AmmeterNeedle(pos);
    for (int k = 3; k <= 9; ++k) {
      const double t = k / 10.0;
      const int x = static_cast<int>(l.x1() + t * (l.x2() - l.x1()));
      const int y = static_cast<int>(l.y1() + t * (l.y2() - l.y1()));
      if (y > 56) continue;  // below the window: the needle leaves the picture when it drops
      const QColor c = dial.pixelColor(x, y);
      EXPECT_TRUE(c.red() > 240 && c.green() > 240 && c.blue() > 240) << pos << " at " << x << "," << y;
    }
  }
}

TEST(PanelBitmaps, RegisteredInThePictureStore)
{
    for (const std::string& name : PanelBitmapNames()) {
        ASSERT_TRUE(BitmapExists(name)) << name;
        EXPECT_EQ(FindBitmap(name).size(), PanelBitmapSize(name)) << name;
    }
}
