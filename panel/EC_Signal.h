// The light signal of the panel: one to five lamps drawn in the aspect the interlocking reports,
// blinking where the aspect blinks, the cell in front of it that lights green while a route is
// set from it, and (with SignalButtons) its white and green lamps as shunting and train buttons.
//
// What the main window uses:
//   SetState(aspect)   interface command 7; aspects from 4 up blink once the blink timer runs
//   BlipSignal()       one blink step: 1 when the signal blinks, 0 when it does not
//   StartRoute(on)     interface command 30: the cell in front lit green / restored
//   SigName(), Id      the signal's name (its label's text) and number for the movement dialogues
//   OnDown, OnClick    a left press / release on a lamp; PressedLamp() 1 white, 3 green
#pragma once
#include <cstdint>
#include <string>

#include "panel/EC_Cell.h"
#include "platform/qt/Controls.h"

enum TSignalType : uint8_t { sgW, sgG, sgWG, sgWRG, sgW60, sgG240, sgWRGP, sgRGP, sgYGRW, sgRW, sgWR };
enum TSigDir : uint8_t { sgdLeft, sgdRight, sgdVer };

// Signal aspect: 0 dark, 1 white, 2 red, 3 green, 4 white blinking, 5 red blinking, 6 green
// blinking, 7 invitation, 8 invitation blinking, 9 yellow and green, 10 yellow.
using TSignalState = uint8_t;

class TEC_Signal : public TCustomControl {
  VELO_CLASS(TEC_Signal, TCustomControl)
 public:
  explicit TEC_Signal(TComponent* owner);

  TSignalType Type() const { return fType; }
  // Up to sgWR: the type's size, its aspect (red where it has a red lamp, else dark) and, for the
  // vertical types, the vertical direction. Any other value is only stored.
  void SetType(TSignalType t);
  TSigDir Direction() const { return fDirection; }
  void SetDirection(TSigDir d);

  int Id = 0;
  bool SignalButtons = false;
  TLabel* SigLabel = nullptr;
  // The route-relay cell in front of the signal, or null.
  TMRC_Cell* Cell = nullptr;
  TNotifyEvent OnDown;  // OnClick is the control's own

  TSignalState State() const { return fState; }
  TSignalState ShownState() const { return fShown; }
  uint8_t PressedLamp() const { return fPressed; }

  // A signal without a red lamp goes dark for red.
  void SetState(TSignalState s);
  int BlipSignal();
  void StartRoute(bool on);
  std::string SigName() const;
  // 1 over the white lamp, 3 over the green one, 0 elsewhere (control coordinates).
  int MousOnLamp(int x, int y) const;
  // The picture of the shown aspect; empty when the signal draws nothing.
  std::string BitmapName() const;

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;

 protected:
  void Paint() override;

 private:
  TSignalType fType = sgWG;
  TSigDir fDirection = sgdLeft;
  TSignalState fState = 0;
  TSignalState fShown = 0;
  uint8_t fPressed = 0;
};

// The signal and switch classes and their published properties, for the form loader; also
// installs the switch cap cursor (see EC_Switch.h).
void RegisterSignalSwitchClasses();
