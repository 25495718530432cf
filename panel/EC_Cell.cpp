// Track cells and plan marks: states, blinking and the pictures they draw.
#include "panel/EC_Cell.h"

#include "panel/EC_Section.h"
#include "panel/PanelBitmaps.h"
#include "platform/qt/Properties.h"

namespace {

void DrawPicture(TCanvas& canvas, const std::string& name)
{
    if (!name.empty()) canvas.DrawBitmap(0, 0, name);
}

} // namespace

// ---- cells ----

TEC_Cell::TEC_Cell(TComponent* owner) : TEC_Cell(owner, false, 0, 13, 6) {}

TEC_Cell::TEC_Cell(TComponent* owner, bool routeRelay, int angle, int width, int height)
    : TGraphicControl(owner), fRouteRelay(routeRelay), fAngle(angle)
{
    SetBounds(0, 0, width, height);
}

void TEC_Cell::SetState(TCellState s)
{
    if (s == csGreen) fSaved = fState;
    fShown = s;
    fState = s;
    ShowCell(s);
}

void TEC_Cell::ShowCell(TCellState s)
{
    fShown = s;
    RequestRepaint();
}

int TEC_Cell::BlipCell(int phase)
{
    // A state above the blinking ones has nothing to show; letting it count as blinking would
    // keep the blink timer running for ever.
    if (fState < csWhiteBlink || fState > csRedWhiteBlink) return 0;
    if (phase == 0)
        fShown = csFree;
    else if (phase == 1)
        fShown = fState;
    if (fState == csWhiteBlink)
        ShowCell(fShown == csWhiteBlink ? csFree : csWhiteBlink);
    else
        ShowCell(fShown == csRedWhiteBlink ? csRed : csRedWhiteBlink);
    return 1;
}

std::string TEC_Cell::PictureName() const
{
    return CellBitmapName(fRouteRelay, fAngle, fShown);
}

void TEC_Cell::Paint()
{
    DrawPicture(Canvas(), PictureName());
}

void TEC_Cell::RequestRepaint()
{
    ++fRepaints;
    Invalidate();
}

// ---- plan marks ----

TEC_Separator::TEC_Separator(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 4, 4);
}

void TEC_Separator::SetColor(TSeparatColor c)
{
    fColor = c;
    Invalidate();
}

std::string TEC_Separator::PictureName() const
{
    return SeparatorBitmapName(static_cast<int>(fColor));
}

void TEC_Separator::Paint()
{
    DrawPicture(Canvas(), PictureName());
}

TEC_WhiteLine::TEC_WhiteLine(TComponent* owner) : TGraphicControl(owner)
{
    TControl::SetColor(clWhite);
}

void TEC_WhiteLine::SetDirection(TLDir d)
{
    fDirection = d;
    Invalidate();
}

void TEC_WhiteLine::Paint()
{
    TCanvas& c = Canvas();
    c.Pen.Color = Color();
    c.Pen.Width = 7;
    c.Pen.Style = psSolid;
    switch (fDirection) {
    case wlGOR:
        c.Pen.Width = 9;
        c.MoveTo(0, 4);
        c.LineTo(Width(), 4);
        break;
    case wlGBT:
        c.MoveTo(3, 3);
        c.LineTo(Width() - 3, Height() - 3);
        break;
    case wlGTB:
        c.MoveTo(3, Height() - 3);
        c.LineTo(Width() - 3, 3);
        break;
    }
}

TEC_Endway::TEC_Endway(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 8, 10);
}

void TEC_Endway::SetDirection(TEWDir d)
{
    fDirection = d;
    Invalidate();
}

std::string TEC_Endway::PictureName() const
{
    return EndwayBitmapName(fDirection);
}

void TEC_Endway::Paint()
{
    DrawPicture(Canvas(), PictureName());
}

TEC_Peregon::TEC_Peregon(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 13, 12);
}

void TEC_Peregon::SetType(TPeregonType t)
{
    fType = t;
    switch (t) {
    case prMRC: SetBounds(Left(), Top(), 13, 12); break;
    case prSimple: SetBounds(Left(), Top(), 39, 32); break;
    case pr240: SetBounds(Left(), Top(), 25, 27); break;
    }
    Invalidate();
}

void TEC_Peregon::SetState(bool s)
{
    fState = s;
    Invalidate();
}

std::string TEC_Peregon::PictureName() const
{
    return PeregonBitmapName(fType, fState);
}

void TEC_Peregon::Paint()
{
    DrawPicture(Canvas(), PictureName());
}

TEC_Block::TEC_Block(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 23, 11);
}

void TEC_Block::SetState(bool s)
{
    fState = s;
    Invalidate();
}

std::string TEC_Block::PictureName() const
{
    return BlockBitmapName(fState);
}

void TEC_Block::Paint()
{
    DrawPicture(Canvas(), PictureName());
}

TEC_DirectAB::TEC_DirectAB(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 38, 11);
}

void TEC_DirectAB::SetDir(TABDir d)
{
    fDirection = d;
    Invalidate();
}

std::string TEC_DirectAB::PictureName() const
{
    return DirectABBitmapName(fDirection);
}

void TEC_DirectAB::Paint()
{
    DrawPicture(Canvas(), PictureName());
}

// ---- route pointer ----

TMRC_RoutePointer::TMRC_RoutePointer(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 32, 15);
}

void TMRC_RoutePointer::SetDir(TRPDir d)
{
    fDirection = d;
    ++fRepaints;
    Invalidate();
}

void TMRC_RoutePointer::SetState(TRPState s)
{
    if (s == fState) return;
    fState = s;
    fShown = s;
    ++fRepaints;
    Invalidate();
}

int TMRC_RoutePointer::BlipPointer()
{
    if (fState < rpsGreenBlink) return 0;
    fShown = fShown == fState ? rpsFree : fState;
    ++fRepaints;
    Invalidate();
    return 1;
}

std::string TMRC_RoutePointer::PictureName() const
{
    return RoutePointerBitmapName(fDirection, fShown);
}

void TMRC_RoutePointer::Paint()
{
    DrawPicture(Canvas(), PictureName());
}

// ---- registration ----

namespace {

template <class T>
void Class()
{
    RegisterComponentClass(T::StaticClassType()->Name, [](TComponent* owner) { return new T(owner); });
}

} // namespace

void RegisterCellClasses()
{
    Class<TEC_Cell>();
    Class<TEC_Cell45>();
    Class<TEC_Cell60>();
    Class<TEC_Cell90>();
    Class<TEC_Cell120>();
    Class<TEC_Cell135>();
    Class<TMRC_Cell>();
    Class<TMRC_Cell45>();
    Class<TMRC_Cell120>();
    Class<TMRC_Cell135>();
    Class<TEC_Separator>();
    Class<TEC_WhiteLine>();
    Class<TEC_Endway>();
    Class<TEC_Peregon>();
    Class<TEC_Block>();
    Class<TEC_DirectAB>();
    Class<TMRC_RoutePointer>();

    RegisterIntProperty<TEC_Cell>("Id", [](TEC_Cell& c, int v) { c.Id = v; });
    RegisterEnumProperty<TEC_Separator>("Color", {{"Blue", 0}, {"Red", 1}},
                                        [](TEC_Separator& s, int v) { s.SetColor(TSeparatColor(v)); });
    RegisterEnumProperty<TEC_WhiteLine>("Direction", {{"wlGOR", wlGOR}, {"wlGBT", wlGBT}, {"wlGTB", wlGTB}},
                                        [](TEC_WhiteLine& l, int v) { l.SetDirection(TLDir(v)); });
    RegisterEnumProperty<TEC_Endway>("Direction", {{"ewdLeft", ewdLeft}, {"ewdRight", ewdRight}},
                                     [](TEC_Endway& e, int v) { e.SetDirection(TEWDir(v)); });
    RegisterEnumProperty<TEC_Peregon>("Type", {{"prMRC", prMRC}, {"prSimple", prSimple}, {"pr240", pr240}},
                                      [](TEC_Peregon& p, int v) { p.SetType(TPeregonType(v)); });
    RegisterEnumProperty<TEC_DirectAB>("Direction", {{"abdLeft", abdLeft}, {"abdRight", abdRight}},
                                       [](TEC_DirectAB& d, int v) { d.SetDir(TABDir(v)); });
    RegisterIntProperty<TMRC_RoutePointer>("Id", [](TMRC_RoutePointer& p, int v) { p.Id = v; });
    RegisterEnumProperty<TMRC_RoutePointer>("Direction", {{"rpdLEFT", rpdLEFT}, {"rpdRIGHT", rpdRIGHT}},
                                            [](TMRC_RoutePointer& p, int v) { p.SetDir(TRPDir(v)); });

    RegisterSectionClasses();
}
