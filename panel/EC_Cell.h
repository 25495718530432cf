// Track cells and plan marks of the interlocking panel.
//
// A cell is one short piece of track drawn at one of several angles; the route-relay cells
// (TMRC_Cell...) are the ones the trainer's panel is built from. Plan marks are the passive
// pictures around them: insulating joints, plain lines, track ends, stretch and block indicators,
// the automatic-block direction arrow and the route pointer.
//
// Every element draws one named picture chosen from its state and layout properties (the plain
// line draws with the pen). Cells and the route pointer blink, but only when driven from outside:
// the main window's blink pass calls BlipCell(phase) on every cell and BlipPointer() on every
// pointer, and stops its timer once all of them return 0.
//
// The main window's interface commands address them like this:
//   cell->SetState(TCellState(n));            // cells found by cell->Id
//   pointer->SetState(TRPState(n));           // pointers found by pointer->Id
//   peregon->SetState(v != 0); block->SetState(v != 0);   // by component name
//   sum += cell->BlipCell(phase); sum += pointer->BlipPointer();
#pragma once
#include <cstdint>
#include <string>

#include "platform/qt/Controls.h"

// The state of a cell as bus messages carry it.
enum TCellState : uint8_t {
    csFree = 0,
    csWhite = 1,
    csRed = 2,
    csGreen = 3,     // the cell in front of a signal while its route is being set
    csRedWhite = 4,
    csWhiteBlink = 5,
    csRedWhiteBlink = 6,
};

// Base of every cell: 13 x 6, pictures "CELL...0".
class TEC_Cell : public TGraphicControl {
    VELO_CLASS(TEC_Cell, TGraphicControl)
public:
    explicit TEC_Cell(TComponent* owner);

    int Id = 0;

    // Sets the state and shows it; green first keeps the state it replaces, so that the signal
    // in front of the cell can put it back when the route is dropped.
    void SetState(TCellState s);
    // Shows s without changing the state.
    virtual void ShowCell(TCellState s);
    // One blink step: 1 while the cell blinks (states 5 and 6), else 0. The blink pass
    // alternates phase 0 and 1 so that all blinking cells go in step.
    int BlipCell(int phase);

    TCellState State() const { return fState; }
    TCellState ShownState() const { return fShown; }
    TCellState SavedState() const { return fSaved; }
    // The picture of the shown state; empty when the cell draws nothing.
    std::string PictureName() const;
    // How many times the cell asked to be redrawn.
    int RepaintCount() const { return fRepaints; }

protected:
    TEC_Cell(TComponent* owner, bool routeRelay, int angle, int width, int height);
    void Paint() override;
    void RequestRepaint();

private:
    bool fRouteRelay = false;
    int fAngle = 0;
    TCellState fState = csFree;
    TCellState fShown = csFree;
    TCellState fSaved = csFree;
    int fRepaints = 0;
};

class TEC_Cell45 : public TEC_Cell {
    VELO_CLASS(TEC_Cell45, TEC_Cell)
public:
    explicit TEC_Cell45(TComponent* owner) : TEC_Cell(owner, false, 45, 11, 11) {}
};

class TEC_Cell60 : public TEC_Cell {
    VELO_CLASS(TEC_Cell60, TEC_Cell)
public:
    explicit TEC_Cell60(TComponent* owner) : TEC_Cell(owner, false, 60, 19, 12) {}
};

class TEC_Cell90 : public TEC_Cell {
    VELO_CLASS(TEC_Cell90, TEC_Cell)
public:
    explicit TEC_Cell90(TComponent* owner) : TEC_Cell(owner, false, 90, 6, 13) {}
};

class TEC_Cell120 : public TEC_Cell {
    VELO_CLASS(TEC_Cell120, TEC_Cell)
public:
    explicit TEC_Cell120(TComponent* owner) : TEC_Cell(owner, false, 120, 9, 12) {}
};

class TEC_Cell135 : public TEC_Cell {
    VELO_CLASS(TEC_Cell135, TEC_Cell)
public:
    explicit TEC_Cell135(TComponent* owner) : TEC_Cell(owner, false, 135, 11, 11) {}
};

// The route-relay cells; only the straight one has a green picture.
class TMRC_Cell : public TEC_Cell {
    VELO_CLASS(TMRC_Cell, TEC_Cell)
public:
    explicit TMRC_Cell(TComponent* owner) : TEC_Cell(owner, true, 0, 12, 5) {}

protected:
    TMRC_Cell(TComponent* owner, int angle, int width, int height) : TEC_Cell(owner, true, angle, width, height) {}
};

class TMRC_Cell45 : public TMRC_Cell {
    VELO_CLASS(TMRC_Cell45, TMRC_Cell)
public:
    explicit TMRC_Cell45(TComponent* owner) : TMRC_Cell(owner, 45, 10, 11) {}
};

class TMRC_Cell120 : public TMRC_Cell {
    VELO_CLASS(TMRC_Cell120, TMRC_Cell)
public:
    explicit TMRC_Cell120(TComponent* owner) : TMRC_Cell(owner, 120, 8, 11) {}
};

class TMRC_Cell135 : public TMRC_Cell {
    VELO_CLASS(TMRC_Cell135, TMRC_Cell)
public:
    explicit TMRC_Cell135(TComponent* owner) : TMRC_Cell(owner, 135, 10, 11) {}
};

// ---- plan marks ----

enum class TSeparatColor { Blue = 0, Red = 1 };

// Insulating joint, 4 x 4.
class TEC_Separator : public TGraphicControl {
    VELO_CLASS(TEC_Separator, TGraphicControl)
public:
    explicit TEC_Separator(TComponent* owner);
    TSeparatColor Color() const { return fColor; }
    void SetColor(TSeparatColor c);
    // The picture drawn now; empty when none.
    std::string PictureName() const;

protected:
    void Paint() override;

private:
    TSeparatColor fColor = TSeparatColor::Blue;
};

enum TLDir : int { wlGOR = 0, wlGBT = 1, wlGTB = 2 };

// A plain line drawn with the pen in the control's Color (white unless the form says
// otherwise); its size comes from the form.
class TEC_WhiteLine : public TGraphicControl {
    VELO_CLASS(TEC_WhiteLine, TGraphicControl)
public:
    explicit TEC_WhiteLine(TComponent* owner);
    TLDir Direction() const { return fDirection; }
    void SetDirection(TLDir d);

protected:
    void Paint() override;

private:
    TLDir fDirection = wlGOR;
};

enum TEWDir : int { ewdLeft = 0, ewdRight = 1 };

// End of a track, 8 x 10.
class TEC_Endway : public TGraphicControl {
    VELO_CLASS(TEC_Endway, TGraphicControl)
public:
    explicit TEC_Endway(TComponent* owner);
    TEWDir Direction() const { return fDirection; }
    void SetDirection(TEWDir d);
    // The picture drawn now; empty when none.
    std::string PictureName() const;

protected:
    void Paint() override;

private:
    TEWDir fDirection = ewdLeft;
};

enum TPeregonType : int { prMRC = 0, prSimple = 1, pr240 = 2 };

// The stretch indicator; its size follows Type.
class TEC_Peregon : public TGraphicControl {
    VELO_CLASS(TEC_Peregon, TGraphicControl)
public:
    explicit TEC_Peregon(TComponent* owner);
    TPeregonType Type() const { return fType; }
    void SetType(TPeregonType t);
    bool State() const { return fState; }
    void SetState(bool s);
    // The picture drawn now; empty when none.
    std::string PictureName() const;

protected:
    void Paint() override;

private:
    TPeregonType fType = prMRC;
    bool fState = false;
};

// The block indicator, 23 x 11.
class TEC_Block : public TGraphicControl {
    VELO_CLASS(TEC_Block, TGraphicControl)
public:
    explicit TEC_Block(TComponent* owner);
    bool State() const { return fState; }
    void SetState(bool s);
    // The picture drawn now; empty when none.
    std::string PictureName() const;

protected:
    void Paint() override;

private:
    bool fState = false;
};

enum TABDir : int { abdLeft = 0, abdRight = 1 };

// The automatic-block direction arrow, 38 x 11.
class TEC_DirectAB : public TGraphicControl {
    VELO_CLASS(TEC_DirectAB, TGraphicControl)
public:
    explicit TEC_DirectAB(TComponent* owner);
    TABDir Direction() const { return fDirection; }
    void SetDir(TABDir d);
    // The picture drawn now; empty when none.
    std::string PictureName() const;

protected:
    void Paint() override;

private:
    TABDir fDirection = abdLeft;
};

enum TRPDir : int { rpdLEFT = 0, rpdRIGHT = 1 };
// 0 free, 1 white, 2 green, 3 white, 4 green blinking; only 4 and above blink.
enum TRPState : uint8_t { rpsFree = 0, rpsWhite = 1, rpsGreen = 2, rpsWhite3 = 3, rpsGreenBlink = 4 };

// The route pointer, 32 x 15: the arrow that shows which way a route is being set.
class TMRC_RoutePointer : public TGraphicControl {
    VELO_CLASS(TMRC_RoutePointer, TGraphicControl)
public:
    explicit TMRC_RoutePointer(TComponent* owner);
    int Id = 0;
    TRPDir Direction() const { return fDirection; }
    void SetDir(TRPDir d);
    // Setting the state it already has changes nothing (the blink phase goes on).
    void SetState(TRPState s);
    // One blink step: 1 while the pointer blinks (state 4 and above), else 0.
    int BlipPointer();
    TRPState State() const { return fState; }
    TRPState ShownState() const { return fShown; }
    // The picture drawn now; empty when none.
    std::string PictureName() const;
    // How many times the pointer asked to be redrawn.
    int RepaintCount() const { return fRepaints; }

protected:
    void Paint() override;

private:
    TRPDir fDirection = rpdLEFT;
    TRPState fState = rpsFree;
    TRPState fShown = rpsFree;
    int fRepaints = 0;
};

// Registers the cell, plan mark and track section classes and their published properties
// with the form loader.
void RegisterCellClasses();
