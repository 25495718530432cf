// Drawing: fonts, pens, brushes, the canvas a control paints on, the store of named pictures and
// the cursor numbers.
//
// Usage in a control's Paint():
//   TCanvas& c = Canvas();
//   c.DrawBitmap(0, 0, "CELLFREE0");            // a missing name draws nothing, never throws
//   c.Pen.Color = clBlack; c.Pen.Width = 1; c.MoveTo(3, 3); c.LineTo(20, 8);
//   c.Brush.Color = clSilver; c.Ellipse(0, 0, Width(), Height());
//   c.TextOut(4, 2, "Темп 1:1"); int w = c.TextWidth("12");
// Pictures are registered once at start by our own drawing code (case-insensitive names):
//   RegisterBitmap("CELLFREE0", 13, 6, [](QPainter& p) { p.fillRect(0, 0, 13, 6, Qt::black); });
// Painting happens only inside Paint(); code that wants to draw at other times changes its state
// and calls Invalidate().
#pragma once
#include <functional>
#include <string>

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QImage>

#include "platform/qt/Colors.h"

class QPainter;
class QPaintDevice;

QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);

// Font styles, a set of bits.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

struct TFont {
    std::string Name;  // empty: the application's font family
    int Size = 9;      // points
    TColor Color = clWindowText;
    TFontStyles Style = 0;
    QFont ToQFont() const;
    bool operator==(const TFont&) const = default;
};

enum TPenStyle { psSolid, psDash, psDot, psClear };
struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};

enum TBrushStyle { bsSolid, bsClear };
struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// A canvas draws through the painter of the paint in progress. Outside a paint it can still
// measure text (TextWidth/TextHeight) but draws nothing.
class TCanvas {
public:
    TPen Pen;
    TBrush Brush;
    TFont Font;

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Ellipse(int x1, int y1, int x2, int y2);
    void FillRect(const TRect& r);
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;
    // Draws the named picture with its top-left corner at (x, y); nothing when there is none.
    void DrawBitmap(int x, int y, const std::string& name);
    void DrawImage(int x, int y, const QImage& image);
    void StretchDraw(const TRect& r, const QImage& image);

    // The painter of the paint in progress (null outside a paint).
    QPainter* Painter() const { return fPainter; }
    void BeginPaint(QPainter* p);
    void EndPaint();

private:
    void ApplyPen();
    void ApplyBrush();
    QPainter* fPainter = nullptr;
    int fPenX = 0, fPenY = 0;
};

// Named pictures. The draw function paints the picture on a transparent image of the given
// size once; the result is kept. Registering a name again replaces it.
using TBitmapPainter = std::function<void(QPainter&)>;
void RegisterBitmap(const std::string& name, int width, int height, TBitmapPainter draw);
void RegisterBitmap(const std::string& name, const QImage& image);
bool BitmapExists(const std::string& name);
// The picture of that name, or a null image (the first miss of each name is logged once).
QImage FindBitmap(const std::string& name);
// Names that were asked for and missing, in the order first asked (for tests and reviewers).
const std::vector<std::string>& MissingBitmaps();

// Cursor numbers as the forms and elements compare them.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crNo = -18;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
// Installs a shape under a cursor number (e.g. the switch cap cursor under -13).
void SetCursorShape(TCursor id, const QCursor& shape);
QCursor CursorShape(TCursor id);
