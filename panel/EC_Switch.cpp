// The switch key of the panel.
#include "panel/EC_Switch.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

#include "panel/PanelBitmaps.h"
#include "platform/qt/Graphics.h"

namespace {

QSize SwitchSize(TSwitchType t) {
  if (t <= swORR) return {13, 14};
  if (t <= swPERR) return {18, 18};
  return {14, 14};
}

}  // namespace

TEC_Switch::TEC_Switch(TComponent* owner) : TCustomControl(owner) {
  // OnClick follows the press itself, not a press and release.
  fClickOnRelease = false;
  SetBounds(0, 0, 13, 14);
  SetCursor(crHandPoint);
}

void TEC_Switch::SetNormal(TSwitchState s) {
  if (s != fNormal) SetState(s);
}

void TEC_Switch::SetState(TSwitchState s) {
  fNormal = s;
  Repaint();
}

void TEC_Switch::SetType(TSwitchType t) {
  fType = t;
  if (t <= swVER) {
    const QSize size = SwitchSize(t);
    SetBounds(Left(), Top(), size.width(), size.height());
  }
  Repaint();
}

void TEC_Switch::RemoveKolpachek() {
  if (fNormal < CloseState0) return;
  fNormal = TSwitchState(fNormal - 3);
  Repaint();
}

std::string TEC_Switch::BitmapName() const { return SwitchBitmapName(fType, fNormal); }

void TEC_Switch::Paint() {
  const std::string name = BitmapName();
  if (!name.empty()) Canvas().DrawBitmap(0, 0, name);
}

void TEC_Switch::MouseDown(TMouseButton button, TShiftState, int, int) {
  if (fNormal > LateralSide2) {
    if (OnKolpachekClick) OnKolpachekClick(this);
    return;
  }
  if (fType == swPER || fType == swVER) {
    if (Cursor() == crKolpachek) {
      fNormal = TSwitchState(fNormal + 3);
      Repaint();
      return;
    }
    if (button == mbLeft)
      fNormal = fNormal == LateralSide1 ? DirectSide : LateralSide2;
    else
      fNormal = fNormal == LateralSide2 ? DirectSide : LateralSide1;
  } else {
    fNormal = fNormal == DirectSide ? LateralSide1 : DirectSide;
  }
  Repaint();
  if (OnClick) OnClick(this);
}

QCursor SwitchCapCursor() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(200, 24, 24));
  // The cap: a dome on a rim, seen from the side.
  p.drawChord(QRectF(2.5, 2.5, 11, 11), 0, 180 * 16);
  p.drawRect(QRectF(1.5, 8.5, 13, 3));
  p.end();
  return QCursor(pm, 8, 8);
}

void InstallSwitchCapCursor() {
  // A cursor picture needs the application object; without one there is nothing to point with.
  if (QGuiApplication::instance() != nullptr) SetCursorShape(crKolpachek, SwitchCapCursor());
}
