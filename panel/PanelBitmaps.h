// The panel's own pictures: every bitmap the panel elements load by name, drawn in code.
//
// Elements build a picture name from their state and layout properties (the name builders below)
// and draw DrawPanelBitmap(name) at (0, 0) of their canvas. Names are looked up without regard to
// case. The geometry that element code depends on (where a signal's lamps are, where the ammeter's
// needle turns) lives here too, so that the pictures and the code that reads clicks or draws over
// them agree.
#pragma once

#include <QColor>
#include <QImage>
#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <string>
#include <vector>

// The picture of that name at its element's size; a null image for a name the panel never draws.
// Never throws.
QImage DrawPanelBitmap(const std::string& name);

// The size of the named picture (the size of its element); an invalid size for an unknown name.
QSize PanelBitmapSize(const std::string& name);

// Every picture name the elements can ask for, in catalogue order.
std::vector<std::string> PanelBitmapNames();

// The panel's background, which every picture uses around its track, lamps and keys.
QColor PanelBackgroundColor();

// ---- Picture names by element state. An empty name means the element draws nothing. ----

// Cells: routeRelay selects the "MRCCELL" family (TMRC_Cell...) over "CELL" (TEC_Cell...);
// angle is the class's suffix (0, 45, 60, 90, 120, 135); shownState a TCellState value.
std::string CellBitmapName(bool routeRelay, int angle, int shownState);

// Plan marks, by their published properties and state.
std::string SeparatorBitmapName(int color);                 // TSeparatColor
std::string EndwayBitmapName(int direction);                // TEWDir
std::string PeregonBitmapName(int type, bool state);        // TPeregonType
std::string BlockBitmapName(bool state);
std::string DirectABBitmapName(int direction);              // TABDir
std::string RoutePointerBitmapName(int direction, int shownState);  // TRPDir, TRPState

// Signal: type is a TSignalType, direction a TSigDir, shownAspect a TSignalState.
std::string SignalBitmapName(int type, int direction, int shownAspect);

// Switch: type is a TSwitchType, normal a TSwitchState.
std::string SwitchBitmapName(int type, int normal);

// Push buttons: kind 0 TEC_Button, 1 TEC_ButtonGreen, 2 TEC_ButtonRed, 3 TEC_ButtonGor.
std::string ButtonBitmapName(int kind, bool down);
std::string PlButtonBitmapName(bool plombed, bool down);
// Button with a lamp: lampState a TLampState, lampColor a TButtonColor.
std::string ButtonLampBitmapName(bool down, int lampState, bool litPhase, int lampColor);

// The picture of a channel button: 0 the train radio, 1 the loudspeaker, 2 the shunting radio.
std::string ChannelBitmapName(int channel);

// ---- Geometry shared with the element code. ----

// One lamp of a signal picture: its colour letter ('W' white, 'R' red, 'G' green, 'Y' yellow,
// 'P' invitation) and the 5 x 5 square, in control coordinates, that the lamp's disc fills.
struct SignalLamp {
  char color;
  QRect rect;
};

// The lamps of a signal of this type facing this direction, as its pictures draw them.
std::vector<SignalLamp> SignalLamps(int type, int direction);

// The lamp hit test of a signal (bounds inclusive, control coordinates): 1 the white lamp (shunting
// route), 3 the green lamp (train route), 0 anywhere else. Every area lies over the drawn lamp.
int SignalLampAt(int type, int direction, int x, int y);

// The ammeter's needle: the pivot the dial is drawn around, the angle in degrees above the resting
// line for a needle position, and the needle's line (ends truncated to whole pixels).
QPoint AmmeterPivot();
int AmmeterNeedleAngle(int position);
QLine AmmeterNeedle(int position);
