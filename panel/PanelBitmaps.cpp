// The panel's pictures, drawn in code at the sizes of their elements.
//
// The look is that of a relay interlocking panel: a dark panel face, track strips that are a dim
// grey when free and light white, red or green, signal heads of small round lenses in a black
// housing, rotary switch keys, round push buttons and a sector ammeter. Track strips and signal
// lenses are set pixel by pixel so that they tile cleanly and sit exactly where the element code
// expects them; keys, buttons and arrows are painted with antialiasing.
#include "panel/PanelBitmaps.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// ---------------------------------------------------------------- colours

const QColor kBackground(36, 42, 44);
const QColor kTrackFree(98, 106, 110);
const QColor kTrackWhite(250, 250, 238);
const QColor kTrackRed(232, 28, 28);
const QColor kTrackGreen(36, 214, 70);
const QColor kHousing(8, 8, 8);
const QColor kHousingRim(128, 132, 134);
const QColor kMast(196, 198, 196);
const QColor kBezel(18, 18, 20);

struct LampColours {
  QColor lit;
  QColor dark;
};

LampColours LampColour(char letter) {
  switch (letter) {
    case 'W': return {QColor(248, 248, 244), QColor(74, 78, 82)};
    case 'R': return {QColor(255, 36, 36), QColor(96, 26, 26)};
    case 'G': return {QColor(40, 230, 80), QColor(22, 84, 38)};
    case 'Y': return {QColor(255, 214, 0), QColor(100, 86, 18)};
    case 'P': return {QColor(196, 218, 255), QColor(62, 70, 96)};
    default: return {QColor(255, 0, 255), QColor(255, 0, 255)};
  }
}

// ---------------------------------------------------------------- pixel helpers

QImage Blank(QSize size) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(kBackground);
  return img;
}

void Px(QImage& img, int x, int y, const QColor& c) {
  if (x >= 0 && y >= 0 && x < img.width() && y < img.height()) img.setPixelColor(x, y, c);
}

void FillBox(QImage& img, int x0, int y0, int x1, int y1, const QColor& c) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) Px(img, x, y, c);
}

// A filled disc by pixel centres: the 5 x 5 lamp square gives a round lens with its corners cut.
void Disc(QImage& img, double cx, double cy, double r, const QColor& c) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      if (dx * dx + dy * dy <= r * r) Px(img, x, y, c);
    }
}

// A straight band of half-width hw along the segment a-b (pixel-edge coordinates), cut square at
// its ends; `gap` pixels are left dark at the b end so that neighbouring cells read as separate.
void Band(QImage& img, QPointF a, QPointF b, double hw, double gap, const QColor& c) {
  const double lx = b.x() - a.x(), ly = b.y() - a.y();
  const double len = std::hypot(lx, ly);
  const double ux = lx / len, uy = ly / len;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const double px = x + 0.5 - a.x(), py = y + 0.5 - a.y();
      const double t = px * ux + py * uy;
      const double d = std::fabs(px * uy - py * ux);
      if (t >= 0 && t <= len - gap && d <= hw) Px(img, x, y, c);
    }
}

// A rectangle outline with its four corner pixels left out, filled inside.
void Housing(QImage& img, int x0, int y0, int x1, int y1) {
  FillBox(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, kHousing);
  for (int x = x0 + 1; x < x1; ++x) {
    Px(img, x, y0, kHousingRim);
    Px(img, x, y1, kHousingRim);
  }
  for (int y = y0 + 1; y < y1; ++y) {
    Px(img, x0, y, kHousingRim);
    Px(img, x1, y, kHousingRim);
  }
}

void Antialiased(QPainter& p) { p.setRenderHint(QPainter::Antialiasing, true); }

// An arrow pointing along angleDeg (0 right, 90 up), its tip at `tip`.
void Arrow(QPainter& p, QPointF tip, double angleDeg, double length, double shaft, double headWidth,
           double headLength, const QColor& fill, const QColor& rim) {
  QPolygonF poly;
  poly << QPointF(0, 0) << QPointF(-headLength, -headWidth / 2) << QPointF(-headLength, -shaft / 2)
       << QPointF(-length, -shaft / 2) << QPointF(-length, shaft / 2)
       << QPointF(-headLength, shaft / 2) << QPointF(-headLength, headWidth / 2);
  QTransform t;
  t.translate(tip.x(), tip.y());
  t.rotate(-angleDeg);
  p.setPen(QPen(rim, 1.0));
  p.setBrush(fill);
  p.drawPolygon(t.map(poly));
}

// ---------------------------------------------------------------- cells

enum class Lit { Free, White, Red, RedWhite, Green };

QColor TrackColour(Lit lit) {
  switch (lit) {
    case Lit::White: return kTrackWhite;
    case Lit::Red:
    case Lit::RedWhite: return kTrackRed;
    case Lit::Green: return kTrackGreen;
    default: return kTrackFree;
  }
}

QSize CellSize(bool mrc, int angle) {
  if (mrc) {
    switch (angle) {
      case 0: return {12, 5};
      case 45: return {10, 11};
      case 120: return {8, 11};
      case 135: return {10, 11};
      default: return {};
    }
  }
  switch (angle) {
    case 0: return {13, 6};
    case 45: return {11, 11};
    case 60: return {19, 12};
    case 90: return {6, 13};
    case 120: return {9, 12};
    case 135: return {11, 11};
    default: return {};
  }
}

// Straight cells carry a strip along their middle with one dark pixel at the far end; slanted cells
// run corner to corner so that cells of one angle placed end to end join into one line.
QImage DrawCell(bool mrc, int angle, Lit lit) {
  const QSize size = CellSize(mrc, angle);
  QImage img = Blank(size);
  const QColor c = TrackColour(lit);
  const int w = size.width(), h = size.height();
  if (angle == 0) {
    const int y0 = 1, y1 = h - 2;
    FillBox(img, 0, y0, w - 2, y1, c);
    if (lit == Lit::RedWhite) FillBox(img, 0, (y0 + y1) / 2, w - 2, (y0 + y1 + 1) / 2, kTrackWhite);
  } else if (angle == 90) {
    const int x0 = 1, x1 = w - 2;
    FillBox(img, x0, 0, x1, h - 2, c);
    if (lit == Lit::RedWhite) FillBox(img, (x0 + x1) / 2, 0, (x0 + x1 + 1) / 2, h - 2, kTrackWhite);
  } else {
    // 45 and 60 climb to the right; 120 and 135 fall to the right.
    const bool climbs = angle < 90;
    const QPointF a = climbs ? QPointF(0, h) : QPointF(0, 0);
    const QPointF b = climbs ? QPointF(w, 0) : QPointF(w, h);
    const double hw = mrc ? 1.25 : 1.5;
    Band(img, a, b, hw, 1.0, c);
    if (lit == Lit::RedWhite) Band(img, a, b, 0.6, 1.0, kTrackWhite);
  }
  return img;
}

// ---------------------------------------------------------------- plan marks

QImage DrawSeparator(bool red) {
  QImage img = Blank({4, 4});
  const QColor c = red ? QColor(240, 40, 40) : QColor(48, 110, 255);
  FillBox(img, 0, 1, 3, 2, c);
  FillBox(img, 1, 0, 2, 3, c);
  return img;
}

// A buffer stop: a cross bar at the end of a short piece of track.
QImage DrawEndway(bool right) {
  QImage img = Blank({8, 10});
  FillBox(img, 1, 1, 2, 8, kMast);
  FillBox(img, 3, 4, 7, 5, kTrackFree);
  return right ? img.mirrored(true, false) : img;
}

// A lens in a framed window, for the stretch and block indicators.
void FramedLens(QImage& img, QRect lens, const QColor& c) {
  Housing(img, 0, 0, img.width() - 1, img.height() - 1);
  FillBox(img, lens.left() + 1, lens.top(), lens.right() - 1, lens.bottom(), c);
  FillBox(img, lens.left(), lens.top() + 1, lens.right(), lens.bottom() - 1, c);
}

QImage DrawMrcPeregon(bool occupied) {
  QImage img = Blank({13, 12});
  FramedLens(img, QRect(QPoint(2, 3), QPoint(10, 8)), occupied ? kTrackRed : kTrackFree);
  return img;
}

QImage DrawBlock(bool occupied) {
  QImage img = Blank({23, 11});
  FramedLens(img, QRect(QPoint(2, 2), QPoint(20, 8)), occupied ? kTrackRed : kTrackFree);
  return img;
}

// A stretch arrow leaving at 240 degrees (down and to the left).
QImage DrawPeregon240(bool lit) {
  QImage img = Blank({25, 27});
  QPainter p(&img);
  Antialiased(p);
  Arrow(p, QPointF(4.5, 23.5), 240, 24, 5, 12, 8, lit ? kTrackWhite : kTrackFree, kBackground);
  return img;
}

// The large stretch indicator: an arrow in a framed window.
QImage DrawPeregonSimple(bool lit) {
  QImage img = Blank({39, 32});
  Housing(img, 0, 0, 38, 31);
  QPainter p(&img);
  Antialiased(p);
  Arrow(p, QPointF(34, 16), 0, 29, 8, 18, 10, lit ? kTrackWhite : kTrackFree, kHousing);
  return img;
}

QImage DrawDirectAB(bool right) {
  QImage img = Blank({38, 11});
  QPainter p(&img);
  Antialiased(p);
  if (right)
    Arrow(p, QPointF(37, 5.5), 0, 36, 5, 10, 9, kTrackGreen, kBackground);
  else
    Arrow(p, QPointF(1, 5.5), 180, 36, 5, 10, 9, kTrackWhite, kBackground);
  return img;
}

QImage DrawRoutePointer(bool right, Lit lit) {
  QImage img = Blank({32, 15});
  QPainter p(&img);
  Antialiased(p);
  const QColor c = TrackColour(lit);
  if (right)
    Arrow(p, QPointF(31, 7.5), 0, 30, 6, 13, 10, c, kBackground);
  else
    Arrow(p, QPointF(1, 7.5), 180, 30, 6, 13, 10, c, kBackground);
  return img;
}

// Seen only while laying out a form: a framed sketch of track pieces.
QImage DrawSectionMark() {
  QImage img = Blank({10, 10});
  Housing(img, 0, 0, 9, 9);
  FillBox(img, 2, 3, 7, 3, kTrackWhite);
  FillBox(img, 2, 6, 4, 6, kTrackRed);
  FillBox(img, 6, 6, 7, 6, kTrackWhite);
  return img;
}

// ---------------------------------------------------------------- signals

const char* SignalLetters(int type) {
  static const char* const letters[] = {"W", "G", "GW", "GRW", "W", "G", "GRWP", "GRP", "YGRW", "RW", "WR"};
  return type >= 0 && type <= 10 ? letters[type] : "";
}

bool VerticalSignal(int type) { return type >= 8 && type <= 10; }

// The lamps an aspect lights, or nullptr when the aspect has no picture of its own.
const char* LitLamps(int aspect) {
  switch (aspect) {
    case 0: return "";
    case 1: return "W";
    case 2: return "R";
    case 3: return "G";
    case 7: return "P";
    case 9: return "YG";
    case 10: return "Y";
    default: return nullptr;
  }
}

QImage DrawSignal(int type, int direction, const std::string& lit) {
  const bool right = direction != 0;
  QSize size;
  switch (type) {
    case 0: case 1: size = {13, 12}; break;
    case 2: size = {21, 12}; break;
    case 3: size = {29, 12}; break;
    case 4: case 5: size = {14, 14}; break;
    case 6: size = {44, 12}; break;
    case 7: size = {36, 12}; break;
    case 8: size = {12, 37}; break;
    default: size = {12, 21}; break;
  }
  QImage img = Blank(size);
  const int w = size.width(), h = size.height();
  // The pictures of the four short horizontal types facing right are their left pictures mirrored;
  // draw the left one and turn it over at the end.
  const bool mirror = right && type <= 3;
  const std::vector<SignalLamp> lamps = SignalLamps(type, mirror ? 0 : direction);

  if (type == 4 || type == 5) {
    // A single lens on a mast slanting away from it, down to the right for the 60-degree signal;
    // the 240-degree signal is the same picture upside down, its mast rising to the right.
    const QRect r = lamps.front().rect;
    const double cy = type == 4 ? r.y() + 2.5 : h - (r.y() + 2.5);
    Disc(img, r.x() + 2.5, cy, 4.3, kHousingRim);
    Disc(img, r.x() + 2.5, cy, 3.4, kHousing);
    static const int mast[][2] = {{9, 9}, {10, 10}, {10, 11},                        // the post
                                  {9, 13}, {10, 13}, {11, 12}, {12, 12}, {13, 11}};  // the foot
    for (const auto& m : mast) Px(img, m[0], m[1], kMast);
    if (type == 5) img = img.mirrored(false, true);
  } else if (VerticalSignal(type)) {
    // The head stands on a mast at the bottom.
    const int top = lamps.front().rect.top() - 2, bottom = lamps.back().rect.bottom() + 2;
    Housing(img, 1, top, 9, bottom);
    FillBox(img, 5, bottom + 1, 5, h - 2, kMast);
    FillBox(img, 2, h - 1, 8, h - 1, kMast);
  } else {
    // The head lies along the track with its mast on the left (on the right when facing right).
    const int left = lamps.front().rect.left() - 2, rightEdge = lamps.back().rect.right() + 2;
    Housing(img, left, 1, rightEdge, 9);
    if (!right || mirror) {
      FillBox(img, 0, 1, 0, 9, kMast);
      FillBox(img, 1, 5, left - 1, 5, kMast);
    } else {
      FillBox(img, w - 1, 1, w - 1, 9, kMast);
      FillBox(img, rightEdge + 1, 5, w - 2, 5, kMast);
    }
  }
  for (const SignalLamp& lamp : lamps) {
    const LampColours lc = LampColour(lamp.color);
    const bool on = lit.find(lamp.color) != std::string::npos;
    Disc(img, lamp.rect.x() + 2.5, lamp.rect.y() + 2.5, 2.6, on ? lc.lit : lc.dark);
  }
  return mirror ? img.mirrored(true, false) : img;
}

// ---------------------------------------------------------------- switches

// A rotary key: a round socket with a bar handle through its middle at angleDeg (0 level,
// 90 upright); a capped key shows the red cap instead of the handle.
QImage DrawKey(int side, double angleDeg, bool capped) {
  QImage img = Blank({side, side});
  QPainter p(&img);
  Antialiased(p);
  const double c = side / 2.0, r = side / 2.0 - 0.5;
  p.setPen(QPen(QColor(90, 92, 96), 1.0));
  p.setBrush(kBezel);
  p.drawEllipse(QPointF(c, c), r, r);
  if (capped) {
    QRadialGradient g(QPointF(c - r * 0.35, c - r * 0.35), r);
    g.setColorAt(0, QColor(255, 120, 110));
    g.setColorAt(0.5, QColor(210, 30, 30));
    g.setColorAt(1, QColor(120, 10, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(c, c), r - 1.0, r - 1.0);
    return img;
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 72, 76));
  p.drawEllipse(QPointF(c, c), r * 0.45, r * 0.45);
  QTransform t;
  t.translate(c, c);
  t.rotate(-angleDeg);
  const double half = r - 1.0, thick = side >= 16 ? 3.2 : 2.6;
  QPainterPath handle;
  handle.addRoundedRect(QRectF(-half, -thick / 2, 2 * half, thick), thick / 2, thick / 2);
  p.setBrush(QColor(232, 232, 226));
  p.drawPath(t.map(handle));
  // A dark notch marks the handle's pointing end.
  QPainterPath tip;
  tip.addEllipse(QPointF(half - thick / 2, 0), thick * 0.28, thick * 0.28);
  p.setBrush(QColor(40, 40, 40));
  p.drawPath(t.map(tip));
  return img;
}

// A two-position lever: both slots are cut in the face, the lever lies in the one set.
// The lever turns about a pivot on the left for the 0/45 pictures and on the right for the
// 180/135 pictures; the turned position rises for the "L" pictures and falls for the "R" ones.
QImage DrawLever(double angleDeg, bool pivotRight, bool falls) {
  QImage img = Blank({13, 14});
  QPainter p(&img);
  Antialiased(p);
  const QPointF pivot(pivotRight ? 10.0 : 3.0, falls ? 3.5 : 10.5);
  const double len = 8.5;
  auto end = [&](double deg) {
    const double a = deg * kPi / 180.0;
    return QPointF(pivot.x() + len * std::cos(a), pivot.y() - (falls ? -1 : 1) * len * std::sin(a));
  };
  const double straight = pivotRight ? 180 : 0, turned = pivotRight ? 135 : 45;
  p.setPen(QPen(QColor(14, 14, 14), 3.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(pivot, end(straight));
  p.drawLine(pivot, end(turned));
  p.setPen(QPen(QColor(236, 236, 230), 2.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(pivot, end(angleDeg));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 152, 156));
  p.drawEllipse(pivot, 2.0, 2.0);
  return img;
}

// ---------------------------------------------------------------- buttons

QColor ButtonCap(int kind) {
  switch (kind) {
    case 1: return QColor(34, 160, 60);
    case 2: return QColor(200, 36, 36);
    default: return QColor(196, 196, 188);
  }
}

// A round push button in a black bezel: raised with a highlight when out, sunk and darker when in.
// A lamp inside the cap glows through it when `glow` is valid.
void RoundButton(QPainter& p, QPointF c, double bezel, double cap, const QColor& colour, bool down,
                 const QColor& glow) {
  Antialiased(p);
  p.setPen(QPen(QColor(84, 86, 90), 1.0));
  p.setBrush(kBezel);
  p.drawEllipse(c, bezel, bezel);
  const QPointF cc = down ? c + QPointF(0.3, 0.6) : c;
  const double cr = down ? cap - 0.4 : cap;
  QColor base = glow.isValid() ? glow : colour;
  if (down && !glow.isValid()) base = base.darker(135);
  QRadialGradient g(cc - QPointF(cr * 0.4, cr * 0.4), cr * 1.4);
  if (glow.isValid()) {
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(0.35, base.lighter(115));
    g.setColorAt(1, base);
  } else if (down) {
    g.setColorAt(0, base);
    g.setColorAt(1, base.darker(140));
  } else {
    g.setColorAt(0, base.lighter(150));
    g.setColorAt(0.5, base);
    g.setColorAt(1, base.darker(160));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(cc, cr, cr);
}

QImage DrawButton(int kind, bool down, const QColor& glow = QColor()) {
  QImage img = Blank({12, 13});
  QPainter p(&img);
  if (kind == 3) {
    // The flat horizontal key.
    Antialiased(p);
    p.setPen(QPen(QColor(84, 86, 90), 1.0));
    p.setBrush(kBezel);
    p.drawRoundedRect(QRectF(0.5, 2.5, 11, 8), 2.5, 2.5);
    const QColor cap = down ? ButtonCap(kind).darker(140) : ButtonCap(kind);
    QLinearGradient g(0, 3, 0, 10);
    g.setColorAt(0, down ? cap : cap.lighter(140));
    g.setColorAt(1, cap.darker(150));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, down ? 4.5 : 4, 8, 5), 1.5, 1.5);
    return img;
  }
  RoundButton(p, QPointF(6, 6.5), 5.5, 3.9, ButtonCap(kind), down, glow);
  return img;
}

// The sealed emergency button: a red button in a square metal seat; while sealed a wire crosses it,
// held by a lead seal.
QImage DrawPlButton(bool sealed, bool down) {
  QImage img = Blank({20, 19});
  QPainter p(&img);
  Antialiased(p);
  QLinearGradient seat(0, 0, 20, 19);
  seat.setColorAt(0, QColor(120, 122, 128));
  seat.setColorAt(1, QColor(52, 54, 58));
  p.setPen(QPen(QColor(20, 20, 22), 1.0));
  p.setBrush(seat);
  p.drawRoundedRect(QRectF(0.5, 0.5, 19, 18), 3, 3);
  RoundButton(p, QPointF(10, 9.5), 6.8, 5.0, QColor(214, 32, 32), down, QColor());
  if (sealed) {
    p.setPen(QPen(QColor(220, 220, 210), 1.0));
    p.drawLine(QPointF(2.5, 2.5), QPointF(15.5, 15.5));
    p.drawLine(QPointF(17.5, 2.5), QPointF(15.5, 15.5));
    p.setPen(QPen(QColor(60, 60, 64), 0.8));
    p.setBrush(QColor(168, 170, 176));
    p.drawEllipse(QPointF(15.5, 15.3), 2.6, 2.6);
  }
  return img;
}

QColor ButtonLampColour(int lampColor) {
  switch (lampColor) {
    case 0: return QColor(255, 40, 40);
    case 1: return QColor(40, 230, 80);
    default: return QColor(246, 246, 240);
  }
}

// ---------------------------------------------------------------- ammeter

// A sector movement: the pivot sits in the bottom right corner and the needle swings up from the
// resting line over a white scale window whose edge is an arc about the pivot.
QImage DrawAmmeter() {
  QImage img = Blank({60, 60});
  QPainter p(&img);
  Antialiased(p);
  QLinearGradient caseGrad(0, 0, 60, 60);
  caseGrad.setColorAt(0, QColor(104, 108, 112));
  caseGrad.setColorAt(1, QColor(50, 52, 56));
  p.setPen(QPen(QColor(16, 16, 18), 1.0));
  p.setBrush(caseGrad);
  p.drawRoundedRect(QRectF(0.5, 0.5, 59, 59), 4, 4);
  const QPointF pivot(AmmeterPivot().x() + 0.5, AmmeterPivot().y() + 0.5);
  const QRectF window(3, 3, 54, 54);
  p.save();
  p.setClipRect(window);
  p.setPen(QPen(QColor(20, 20, 20), 1.0));
  p.setBrush(QColor(255, 255, 255));
  p.drawEllipse(pivot, 47, 47);
  p.restore();
  p.setPen(QPen(QColor(20, 20, 20), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(window.adjusted(-0.5, -0.5, 0.5, 0.5));
  // Scale: a tick every 5 degrees from 0 to 45 above the resting line, long ones every 15 and the
  // holding mark at 35 in red, on an arc well outside the needle's reach.
  auto at = [&](double deg, double r) {
    const double rad = deg * kPi / 180.0;
    return QPointF(pivot.x() - r * std::cos(rad), pivot.y() - r * std::sin(rad));
  };
  p.setPen(QPen(QColor(0, 0, 0), 0.9));
  p.drawArc(QRectF(pivot.x() - 38, pivot.y() - 38, 76, 76), 135 * 16, 50 * 16);
  for (int a = -5; a <= 45; a += 5) {
    const bool major = a % 15 == 0;
    p.setPen(QPen(a == 35 ? QColor(210, 0, 0) : QColor(0, 0, 0), major || a == 35 ? 1.4 : 0.9));
    p.drawLine(at(a, major || a == 35 ? 33 : 35), at(a, 38));
  }
  // The unit, a letter A in strokes (no font needed), clear of the needle's sweep.
  p.setPen(QPen(QColor(0, 0, 0), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QPolygonF a;
  a << QPointF(39, 36) << QPointF(43, 25) << QPointF(47, 36);
  p.drawPolyline(a);
  p.drawLine(QPointF(40.6, 32), QPointF(45.4, 32));
  // The pivot cap.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 30, 30));
  p.drawEllipse(pivot, 2.5, 2.5);
  return img;
}

// ---------------------------------------------------------------- channel buttons

// The pictures of the three channel buttons, on a transparent ground so the button face shows:
// the train radio (a locomotive with an aerial), the loudspeaker, the shunting radio (a hand-held
// set). Each sends waves to the right.
constexpr QSize kChannelSize(36, 30);
const QColor kInk(24, 26, 28);

void Waves(QPainter& p, QPointF from, int count) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0, 110, 190), 1.6, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < count; ++i) {
    const double r = 4.0 + 4.0 * i;
    p.drawArc(QRectF(from.x() - r, from.y() - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
  }
}

// A channel picture: draw paints it on the transparent ground, smoothed.
QImage ChannelPicture(const std::function<void(QPainter&)>& draw) {
  QImage img(kChannelSize, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  Antialiased(p);
  draw(p);
  p.end();
  return img;
}

void DrawTrainRadio(QPainter& p) {
  p.setPen(QPen(kInk, 1.0));
  // The locomotive: body with the cab at the front, its window, the frame and three wheels.
  p.setBrush(QColor(200, 40, 36));
  QPolygonF body;
  body << QPointF(2, 24) << QPointF(2, 14) << QPointF(16, 14) << QPointF(16, 10) << QPointF(24, 10)
       << QPointF(26, 14) << QPointF(26, 24);
  p.drawPolygon(body);
  p.setBrush(QColor(210, 236, 250));
  p.drawRect(QRectF(18, 12, 5, 4));
  p.setBrush(kInk);
  p.drawRect(QRectF(1, 24, 26, 1.5));
  for (double x : {6.0, 14.0, 22.0}) p.drawEllipse(QPointF(x, 27), 2.3, 2.3);
  // The aerial on the cab, sending.
  p.setPen(QPen(kInk, 1.2));
  p.drawLine(QPointF(20, 10), QPointF(20, 3));
  Waves(p, QPointF(21, 4), 3);
}

void DrawLoudspeaker(QPainter& p) {
  p.setPen(QPen(kInk, 1.0));
  p.setBrush(QColor(90, 94, 100));
  p.drawRect(QRectF(3, 11, 6, 9));
  QPolygonF cone;
  cone << QPointF(9, 11) << QPointF(18, 4) << QPointF(18, 27) << QPointF(9, 20);
  p.setBrush(QColor(150, 156, 162));
  p.drawPolygon(cone);
  Waves(p, QPointF(19, 15.5), 3);
}

void DrawShuntingRadio(QPainter& p) {
  // The hand-held set: aerial, body, display and keypad.
  p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8, 9), QPointF(8, 2));
  p.setPen(QPen(kInk, 1.0));
  p.setBrush(QColor(40, 120, 60));
  p.drawRoundedRect(QRectF(4, 9, 12, 19), 2, 2);
  p.setBrush(QColor(200, 230, 150));
  p.drawRect(QRectF(6, 11.5, 8, 5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(230, 236, 230));
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) p.drawRect(QRectF(6.2 + col * 2.8, 18.5 + row * 2.8, 1.8, 1.8));
  Waves(p, QPointF(17, 11), 3);
}

// ---------------------------------------------------------------- catalogue

struct Entry {
  std::string name;
  QSize size;
  std::function<QImage()> draw;
};

std::string Upper(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return s;
}

struct Catalogue {
  std::vector<Entry> entries;
  std::map<std::string, size_t> byName;  // upper-case name -> entry

  void Add(const std::string& name, QSize size, std::function<QImage()> draw) {
    if (name.empty()) return;
    if (!byName.emplace(Upper(name), entries.size()).second) return;
    entries.push_back({name, size, std::move(draw)});
  }

  Catalogue() {
    static const Lit kCellLit[] = {Lit::Free, Lit::White, Lit::Red, Lit::Green, Lit::RedWhite,
                                   Lit::White, Lit::RedWhite};
    for (bool mrc : {false, true})
      for (int angle : {0, 45, 60, 90, 120, 135})
        for (int state = 0; state <= 6; ++state) {
          const Lit lit = kCellLit[state];
          Add(CellBitmapName(mrc, angle, state), CellSize(mrc, angle),
              [=] { return DrawCell(mrc, angle, lit); });
        }
    for (int color : {0, 1})
      Add(SeparatorBitmapName(color), {4, 4}, [=] { return DrawSeparator(color == 1); });
    for (int dir : {0, 1})
      Add(EndwayBitmapName(dir), {8, 10}, [=] { return DrawEndway(dir == 1); });
    for (bool state : {false, true}) {
      Add(PeregonBitmapName(0, state), {13, 12}, [=] { return DrawMrcPeregon(state); });
      Add(PeregonBitmapName(2, state), {25, 27}, [=] { return DrawPeregon240(state); });
      Add(PeregonBitmapName(1, state), {39, 32}, [=] { return DrawPeregonSimple(state); });
    }
    for (bool state : {false, true}) Add(BlockBitmapName(state), {23, 11}, [=] { return DrawBlock(state); });
    for (int dir : {0, 1})
      Add(DirectABBitmapName(dir), {38, 11}, [=] { return DrawDirectAB(dir == 1); });
    static const Lit kPointerLit[] = {Lit::Free, Lit::White, Lit::Green, Lit::White, Lit::Green};
    for (int dir : {0, 1})
      for (int state = 0; state <= 4; ++state) {
        const Lit lit = kPointerLit[state];
        Add(RoutePointerBitmapName(dir, state), {32, 15}, [=] { return DrawRoutePointer(dir == 1, lit); });
      }
    for (int type = 0; type <= 10; ++type)
      for (int dir = 0; dir <= 2; ++dir)
        for (int aspect = 0; aspect <= 10; ++aspect) {
          const std::string name = SignalBitmapName(type, dir, aspect);
          if (name.empty()) continue;
          int normal = aspect >= 4 && aspect <= 6 ? aspect - 3 : aspect == 8 ? 7 : aspect;
          const std::string lit = LitLamps(normal);
          Add(name, {}, [=] { return DrawSignal(type, dir, lit); });
        }
    // Switches: the picture of a name does not depend on which type asked for it.
    Add("SWITCH0L", {13, 14}, [] { return DrawLever(0, false, false); });
    Add("SWITCH45L", {13, 14}, [] { return DrawLever(45, false, false); });
    Add("SWITCH0R", {13, 14}, [] { return DrawLever(0, false, true); });
    Add("SWITCH45R", {13, 14}, [] { return DrawLever(45, false, true); });
    Add("SWITCH180L", {13, 14}, [] { return DrawLever(180, true, false); });
    Add("SWITCH135L", {13, 14}, [] { return DrawLever(135, true, false); });
    Add("SWITCH180R", {13, 14}, [] { return DrawLever(180, true, true); });
    Add("SWITCH135R", {13, 14}, [] { return DrawLever(135, true, true); });
    Add("SWITCH0P", {18, 18}, [] { return DrawKey(18, 0, false); });
    Add("SWITCH45P", {18, 18}, [] { return DrawKey(18, 45, false); });
    Add("SWITCH135P", {18, 18}, [] { return DrawKey(18, 135, false); });
    Add("SWITCH90", {14, 14}, [] { return DrawKey(14, 90, false); });
    Add("SWITCH90R", {14, 14}, [] { return DrawKey(14, 45, false); });
    Add("SWITCH90L", {14, 14}, [] { return DrawKey(14, 135, false); });
    Add("SWITCHCL", {14, 14}, [] { return DrawKey(14, 90, true); });
    for (int kind = 0; kind <= 3; ++kind)
      for (bool down : {true, false})
        Add(ButtonBitmapName(kind, down), {12, 13}, [=] { return DrawButton(kind, down); });
    Add(PlButtonBitmapName(true, false), {20, 19}, [] { return DrawPlButton(true, false); });
    for (bool down : {true, false})
      Add(PlButtonBitmapName(false, down), {20, 19}, [=] { return DrawPlButton(false, down); });
    for (bool down : {true, false})
      for (int color = 0; color <= 2; ++color)
        Add(ButtonLampBitmapName(down, 1, true, color), {12, 13},
            [=] { return DrawButton(0, down, ButtonLampColour(color)); });
    Add("AMPERFREE", {60, 60}, [] { return DrawAmmeter(); });
    Add("SECTION", {10, 10}, [] { return DrawSectionMark(); });
    Add(ChannelBitmapName(0), kChannelSize, [] { return ChannelPicture(DrawTrainRadio); });
    Add(ChannelBitmapName(1), kChannelSize, [] { return ChannelPicture(DrawLoudspeaker); });
    Add(ChannelBitmapName(2), kChannelSize, [] { return ChannelPicture(DrawShuntingRadio); });
    // Signal sizes come from the drawing itself, which knows the type's size table.
    for (Entry& e : entries)
      if (!e.size.isValid()) e.size = e.draw().size();
  }

  const Entry* Find(const std::string& name) const {
    auto it = byName.find(Upper(name));
    return it == byName.end() ? nullptr : &entries[it->second];
  }
};

const Catalogue& TheCatalogue() {
  static const Catalogue catalogue;
  return catalogue;
}

std::string OnOff(bool down) { return down ? "ON" : "OFF"; }

}  // namespace

// ---------------------------------------------------------------- public interface

QImage DrawPanelBitmap(const std::string& name) {
  const Entry* e = TheCatalogue().Find(name);
  return e ? e->draw() : QImage();
}

QSize PanelBitmapSize(const std::string& name) {
  const Entry* e = TheCatalogue().Find(name);
  return e ? e->size : QSize();
}

std::vector<std::string> PanelBitmapNames() {
  std::vector<std::string> names;
  for (const Entry& e : TheCatalogue().entries) names.push_back(e.name);
  return names;
}

QColor PanelBackgroundColor() { return kBackground; }

std::string CellBitmapName(bool routeRelay, int angle, int shownState) {
  if (!CellSize(routeRelay, angle).isValid()) return "";
  std::string word;
  switch (shownState) {
    case 0: word = "FREE"; break;
    case 1: case 5: word = "WHITE"; break;
    case 2: word = "RED"; break;
    case 4: case 6: word = "REDWHITE"; break;
    case 3:
      // Only the straight route-relay cell has a green picture.
      if (!routeRelay || angle != 0) return "";
      word = "GREEN";
      break;
    default: return "";
  }
  return (routeRelay ? "MRCCELL" : "CELL") + word + std::to_string(angle);
}

std::string SeparatorBitmapName(int color) {
  return color == 0 ? "RC_SeparatorB" : color == 1 ? "RC_SeparatorR" : "";
}

std::string EndwayBitmapName(int direction) {
  return direction == 0 ? "ENDWAYL" : direction == 1 ? "ENDWAYR" : "";
}

std::string PeregonBitmapName(int type, bool state) {
  switch (type) {
    case 0: return state ? "MRC_PEREGONRED" : "MRC_PEREGONFREE";
    case 1: return state ? "PEREGONWHITE" : "PEREGONFREE";
    case 2: return state ? "PEREGON240WHITE" : "PEREGON240FREE";
    default: return "";
  }
}

std::string BlockBitmapName(bool state) { return state ? "BLOCKRED" : "BLOCKFREE"; }

std::string DirectABBitmapName(int direction) {
  return direction == 0 ? "ABWHITEL" : direction == 1 ? "ABGREENR" : "";
}

std::string RoutePointerBitmapName(int direction, int shownState) {
  if (direction != 0 && direction != 1) return "";
  const char* colour = shownState == 1 || shownState == 3 ? "WHITE"
                       : shownState == 2 || shownState == 4 ? "GREEN"
                                                            : "FREE";
  return std::string("RP") + colour + (direction == 0 ? "LEFT" : "RIGHT");
}

std::string SignalBitmapName(int type, int direction, int shownAspect) {
  if (type < 0 || type > 10) return "";
  const bool vertical = VerticalSignal(type);
  int aspect = shownAspect;
  if (!vertical) {
    // Blinking aspects show the picture of their steady aspect.
    if (aspect >= 4 && aspect <= 6) aspect -= 3;
    if (aspect == 8) aspect = 7;
  } else if (aspect == 0) {
    return "";  // a vertical signal has no dark picture
  }
  const char* lit = LitLamps(aspect);
  if (lit == nullptr) return "";
  const std::string letters = SignalLetters(type);
  for (const char* l = lit; *l; ++l)
    if (letters.find(*l) == std::string::npos) return "";
  std::string name = "SIG";
  for (char letter : letters) {
    name += letter;
    name += std::string(lit).find(letter) != std::string::npos ? '1' : '0';
  }
  if (vertical) return name + "V";
  if (type == 4) return name + "R60";
  if (type == 5) return name + "R240";
  return name + (direction == 0 ? "L" : "R");
}

std::string SwitchBitmapName(int type, int normal) {
  if (normal < 0 || normal > 5) return "";
  switch (type) {
    case 0: return normal == 0 ? "SWITCH0L" : "SWITCH45L";
    case 1: return normal == 0 ? "SWITCH0R" : "SWITCH45R";
    case 2: return normal == 0 ? "SWITCH180L" : "SWITCH135L";
    case 3: return normal == 0 ? "SWITCH180R" : "SWITCH135R";
    case 4: return normal == 1 ? "SWITCH45P" : normal == 2 ? "SWITCH135P" : "SWITCH0P";
    case 5: return normal == 0 ? "SWITCH0P" : "SWITCH45P";
    case 6: return normal == 0 ? "SWITCH0P" : "SWITCH135P";
    case 7: return normal == 0 ? "SWITCH90" : normal == 1 ? "SWITCH90R" : normal == 2 ? "SWITCH90L" : "SWITCHCL";
    default: return "";
  }
}

std::string ButtonBitmapName(int kind, bool down) {
  switch (kind) {
    case 0: return "BUTTON" + OnOff(down);
    case 1: return "GREENBUTTON" + OnOff(down);
    case 2: return "REDBUTTON" + OnOff(down);
    case 3: return "BUTTONGOR" + OnOff(down);
    default: return "";
  }
}

std::string PlButtonBitmapName(bool plombed, bool down) {
  return plombed ? "BUTTONPLOMBED" : "BUTTONUNPLOMBED" + OnOff(down);
}

std::string ButtonLampBitmapName(bool down, int lampState, bool litPhase, int lampColor) {
  if (lampState < 0 || lampState > 2) return "";
  const bool lit = lampState == 1 || (lampState == 2 && litPhase);
  std::string name = "BUTTON" + OnOff(down);
  if (!lit) return name;
  switch (lampColor) {
    case 0: return name + "RED";
    case 1: return name + "GREEN";
    case 2: return name + "WHITE";
    default: return "";
  }
}

std::vector<SignalLamp> SignalLamps(int type, int direction) {
  const bool right = direction != 0;
  auto row = [](std::initializer_list<std::pair<char, int>> lamps) {
    std::vector<SignalLamp> v;
    for (const auto& [c, x] : lamps) v.push_back({c, QRect(x, 3, 5, 5)});
    return v;
  };
  auto column = [](std::initializer_list<std::pair<char, int>> lamps) {
    std::vector<SignalLamp> v;
    for (const auto& [c, y] : lamps) v.push_back({c, QRect(3, y, 5, 5)});
    return v;
  };
  switch (type) {
    case 0: return row({{'W', 4}});
    case 1: return row({{'G', 4}});
    case 2: return right ? row({{'G', 4}, {'W', 12}}) : row({{'W', 4}, {'G', 12}});
    case 3: return right ? row({{'G', 4}, {'R', 12}, {'W', 20}}) : row({{'W', 4}, {'R', 12}, {'G', 20}});
    case 4: return row({{'W', 4}});
    case 5: return {{'G', QRect(4, 6, 5, 5)}};
    // The hit test of these two types does not look at the direction, so their lamps stay put
    // and only the mast changes sides.
    case 6: return row({{'P', 11}, {'W', 19}, {'R', 27}, {'G', 35}});
    case 7: return row({{'P', 11}, {'R', 19}, {'G', 27}});
    case 8: return column({{'Y', 2}, {'G', 10}, {'R', 18}, {'W', 26}});
    case 9: return column({{'R', 2}, {'W', 10}});
    case 10: return column({{'W', 2}, {'R', 10}});
    default: return {};
  }
}

int SignalLampAt(int type, int direction, int x, int y) {
  const bool left = direction == 0;
  auto across = [x](int x0, int x1) { return x >= x0 && x <= x1; };
  if (type == 5) return across(3, 9) && y >= 5 && y <= 11 ? 3 : 0;
  if (y < 3 || y > 7) return 0;
  switch (type) {
    case 0:
    case 4: return across(4, 8) ? 1 : 0;
    case 1: return across(4, 8) ? 3 : 0;
    case 2:
      if (across(4, 8)) return left ? 1 : 3;
      if (across(12, 16)) return left ? 3 : 1;
      return 0;
    case 3:
      if (across(4, 8)) return left ? 1 : 3;
      if (across(20, 24)) return left ? 3 : 1;
      return 0;
    case 6:
      if (across(18, 24)) return 1;
      if (across(34, 48)) return 3;
      return 0;
    case 7: return across(26, 32) ? 3 : 0;
    default: return 0;
  }
}

QPoint AmmeterPivot() { return {53, 54}; }

int AmmeterNeedleAngle(int position) {
  if (position <= 30) return position;
  if (position < 75) return 35;
  return 110 - position;
}

QLine AmmeterNeedle(int position) {
  const double a = AmmeterNeedleAngle(position) * kPi / 180.0;
  const QPoint c = AmmeterPivot();
  return QLine(static_cast<int>(c.x() - 3 * std::cos(a)), static_cast<int>(c.y() - 3 * std::sin(a)),
               static_cast<int>(c.x() - 30 * std::cos(a)), static_cast<int>(c.y() - 30 * std::sin(a)));
}

std::string ChannelBitmapName(int channel) {
  switch (channel) {
    case 0: return "CHANNELTRAIN";
    case 1: return "CHANNELLOUDSPEAKER";
    case 2: return "CHANNELSHUNTING";
    default: return "";
  }
}
