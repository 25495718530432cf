// The light signal of the panel, and the registration of signals and switches for the form loader.
#include "panel/EC_Signal.h"

#include "panel/EC_Switch.h"
#include "panel/PanelBitmaps.h"
#include "platform/core/CFormat.h"
#include "platform/qt/Properties.h"

namespace {

struct TSignalLayout {
  int width, height;
  TSignalState aspect;
};

// Size and starting aspect of each type: red where the type has a red lamp, else dark.
const TSignalLayout kLayouts[] = {
    {13, 12, 0}, {13, 12, 0}, {21, 12, 0}, {29, 12, 2}, {14, 14, 0}, {14, 14, 0},
    {44, 12, 2}, {36, 12, 2}, {12, 37, 2}, {12, 21, 2}, {12, 21, 2},
};

bool HasRedLamp(TSignalType t) {
  return t == sgWRG || t == sgWRGP || t == sgRGP || t == sgYGRW || t == sgRW || t == sgWR;
}

}  // namespace

TEC_Signal::TEC_Signal(TComponent* owner) : TCustomControl(owner) {
  // OnClick means a release over a lamp, not any click on the control.
  fClickOnRelease = false;
  SetBounds(0, 0, kLayouts[sgWG].width, kLayouts[sgWG].height);
}

void TEC_Signal::SetType(TSignalType t) {
  fType = t;
  if (t > sgWR) return;
  const TSignalLayout& l = kLayouts[t];
  SetBounds(Left(), Top(), l.width, l.height);
  if (t >= sgYGRW) fDirection = sgdVer;
  fState = fShown = l.aspect;
  Repaint();
}

void TEC_Signal::SetDirection(TSigDir d) {
  fDirection = d;
  Repaint();
}

void TEC_Signal::SetState(TSignalState s) {
  if (s == 2 && !HasRedLamp(fType)) s = 0;
  fState = fShown = s;
  Repaint();
}

int TEC_Signal::BlipSignal() {
  if (fState < 4) return 0;
  fShown = fShown == fState ? 0 : fState;
  Repaint();
  return 1;
}

void TEC_Signal::StartRoute(bool on) {
  if (Cell == nullptr) return;
  // Going green the cell keeps the state it replaces; that is the state it goes back to.
  Cell->SetState(on ? csGreen : Cell->SavedState());
}

std::string TEC_Signal::SigName() const { return SigLabel ? SigLabel->Caption() : std::string(); }

int TEC_Signal::MousOnLamp(int x, int y) const { return SignalLampAt(fType, fDirection, x, y); }

std::string TEC_Signal::BitmapName() const { return SignalBitmapName(fType, fDirection, fShown); }

void TEC_Signal::Paint() {
  const std::string name = BitmapName();
  if (!name.empty()) Canvas().DrawBitmap(0, 0, name);
}

void TEC_Signal::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!SignalButtons) return;
  if (button != mbLeft) {
    TCustomControl::MouseDown(button, shift, x, y);
    return;
  }
  fPressed = static_cast<uint8_t>(MousOnLamp(x, y));
  if (fPressed != 0 && OnDown) OnDown(this);
}

void TEC_Signal::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (!SignalButtons) return;
  if (button != mbLeft) {
    TCustomControl::MouseUp(button, shift, x, y);
    return;
  }
  fPressed = static_cast<uint8_t>(MousOnLamp(x, y));
  if (fPressed != 0 && OnClick) OnClick(this);
}

void TEC_Signal::MouseMove(TShiftState, int x, int y) {
  if (!SignalButtons) return;
  const TCursor c = MousOnLamp(x, y) != 0 ? crHandPoint : crDefault;
  if (c != Cursor()) SetCursor(c);
}

// ---------------------------------------------------------------- registration

namespace {

const TEnumNames kSignalTypes = {{"sgW", sgW},       {"sgG", sgG},       {"sgWG", sgWG},   {"sgWRG", sgWRG},
                                 {"sgW60", sgW60},   {"sgG240", sgG240}, {"sgWRGP", sgWRGP}, {"sgRGP", sgRGP},
                                 {"sgYGRW", sgYGRW}, {"sgRW", sgRW},     {"sgWR", sgWR}};
const TEnumNames kSigDirs = {{"sgdLeft", sgdLeft}, {"sgdRight", sgdRight}, {"sgdVer", sgdVer}};
const TEnumNames kSwitchTypes = {{"swOLL", swOLL},   {"swOLR", swOLR},   {"swORL", swORL},
                                 {"swORR", swORR},   {"swPER", swPER},   {"swPERL", swPERL},
                                 {"swPERR", swPERR}, {"swVER", swVER}};
const TEnumNames kSwitchStates = {{"DirectSide", DirectSide},   {"LateralSide1", LateralSide1},
                                  {"LateralSide2", LateralSide2}, {"CloseState0", CloseState0},
                                  {"CloseState1", CloseState1}, {"CloseState2", CloseState2}};

template <class T>
void Class() {
  RegisterComponentClass(T::StaticClassType()->Name, [](TComponent* owner) { return new T(owner); });
}

// A byte property as the element stores it; numbers out of its range are refused at load.
uint8_t Byte(int v) {
  if (v < 0 || v > 255) throw Exception(Format("значение %d вне диапазона 0..255", v));
  return static_cast<uint8_t>(v);
}

}  // namespace

void RegisterSignalSwitchClasses() {
  Class<TEC_Signal>();
  RegisterEnumProperty<TEC_Signal>("Type", kSignalTypes,
                                   [](TEC_Signal& s, int v) { s.SetType(TSignalType(Byte(v))); });
  RegisterIntProperty<TEC_Signal>("Id", [](TEC_Signal& s, int v) { s.Id = v; });
  RegisterEnumProperty<TEC_Signal>("Direction", kSigDirs,
                                   [](TEC_Signal& s, int v) { s.SetDirection(TSigDir(Byte(v))); });
  RegisterBoolProperty<TEC_Signal>("SignalButtons", [](TEC_Signal& s, bool v) { s.SignalButtons = v; });
  RegisterEventProperty<TEC_Signal, TNotifyEvent>("OnDown", [](TEC_Signal& s, TNotifyEvent e) { s.OnDown = e; });
  RegisterReferenceProperty<TEC_Signal, TLabel>("SigLabel", [](TEC_Signal& s, TLabel* l) { s.SigLabel = l; });
  RegisterReferenceProperty<TEC_Signal, TMRC_Cell>("Cell", [](TEC_Signal& s, TMRC_Cell* c) { s.Cell = c; });

  Class<TEC_Switch>();
  RegisterIntProperty<TEC_Switch>("Id", [](TEC_Switch& s, int v) { s.Id = v; });
  RegisterEnumProperty<TEC_Switch>("Normal", kSwitchStates,
                                   [](TEC_Switch& s, int v) { s.SetNormal(TSwitchState(Byte(v))); });
  RegisterEnumProperty<TEC_Switch>("Type", kSwitchTypes,
                                   [](TEC_Switch& s, int v) { s.SetType(TSwitchType(Byte(v))); });
  RegisterEventProperty<TEC_Switch, TNotifyEvent>("OnKolpachekClick",
                                                  [](TEC_Switch& s, TNotifyEvent e) { s.OnKolpachekClick = e; });

  InstallSwitchCapCursor();
}
