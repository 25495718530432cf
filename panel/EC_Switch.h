// The switch key of the panel: a small picture of the switch in its position that the operator
// clicks to throw it, and that may carry a safety cap which blocks throwing until it is taken off.
//
// A press changes the position itself and then fires OnClick; the main window sends the new
// position (Normal) to the interlocking. In cap mode (the main window gives every switch the cap
// cursor, crKolpachek) a press on a three-way switch puts its cap on instead and fires nothing.
// A press on a capped switch fires only OnKolpachekClick; the main window asks whether to take the
// cap off and calls RemoveKolpachek.
#pragma once
#include <cstdint>
#include <string>

#include <QCursor>

#include "platform/qt/Controls.h"

// The position: plus, the two turnouts (minus), and the same three with the cap on (+3).
enum TSwitchState : uint8_t { DirectSide, LateralSide1, LateralSide2, CloseState0, CloseState1, CloseState2 };
// swPER and swVER are three-way switches, the others have two positions.
enum TSwitchType : uint8_t { swOLL, swOLR, swORL, swORR, swPER, swPERL, swPERR, swVER };

// The cursor number of cap mode.
constexpr TCursor crKolpachek = -13;

class TEC_Switch : public TCustomControl {
  VELO_CLASS(TEC_Switch, TCustomControl)
 public:
  explicit TEC_Switch(TComponent* owner);

  int Id = 0;
  // The current position (not only the normal one).
  TSwitchState Normal() const { return fNormal; }
  // Sets the position only when it differs.
  void SetNormal(TSwitchState s);
  void SetState(TSwitchState s);
  TSwitchType Type() const { return fType; }
  void SetType(TSwitchType t);
  // Takes the cap off a capped switch; nothing otherwise.
  void RemoveKolpachek();

  TNotifyEvent OnKolpachekClick;  // OnClick is the control's own
  // The picture of the position; empty when the switch draws nothing.
  std::string BitmapName() const;

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 protected:
  void Paint() override;

 private:
  TSwitchState fNormal = DirectSide;
  TSwitchType fType = swOLL;
};

// The cap cursor: a red cap over a key socket.
QCursor SwitchCapCursor();
// Installs it under crKolpachek (RegisterSignalSwitchClasses does, once an application exists).
void InstallSwitchCapCursor();
