// Small component classes in the shape of the panel's elements and the program's windows, used
// by the tests of the form loader and the controls.
#pragma once
#include <string>
#include <vector>

#include "models/base/Model.h"
#include "platform/qt/FormLoader.h"
#include "platform/qt/Forms.h"

// A cell: draws the picture "TESTCELL", or the one named by Picture.
class TTestCell : public TGraphicControl {
    VELO_CLASS(TTestCell, TGraphicControl)
public:
    explicit TTestCell(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 13, 6); }
    int Id = 0;
    std::string Picture = "TestCell";
    int LoadedCount = 0, IdWhenLoaded = -1;
    void Loaded() override
    {
        ++LoadedCount;
        IdWhenLoaded = Id;
    }

protected:
    void Paint() override { Canvas().DrawBitmap(0, 0, Picture); }
};

// A section: resolves its list against the form at the moment the list is set.
class TTestSection : public TGraphicControl {
    VELO_CLASS(TTestSection, TGraphicControl)
public:
    explicit TTestSection(TComponent* owner) : TGraphicControl(owner) { SetVisible(false); }
    std::vector<TTestCell*> Cells;
    std::vector<std::string> Missing;
    void SetItems0(const TStringList& l)
    {
        Cells.clear();
        Missing.clear();
        for (const std::string& n : l.lines) {
            TComponent* c = Owner()->FindComponent(n);
            if (c && c->InheritsFromClassName("TTestCell"))
                Cells.push_back(static_cast<TTestCell*>(c));
            else
                Missing.push_back(n);
        }
    }
};

// A signal: a windowed control with references to a label and a cell; draws a green lamp.
class TTestSignal : public TCustomControl {
    VELO_CLASS(TTestSignal, TCustomControl)
public:
    explicit TTestSignal(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 21, 12); }
    TLabel* SigLabel = nullptr;
    TTestCell* Cell = nullptr;
    int TimerTicks = 0;
    void WMTimer(int) override { ++TimerTicks; }

protected:
    void Paint() override
    {
        TCanvas& c = Canvas();
        c.Pen.Color = clBlack;
        c.Brush.Color = clLime;
        c.Ellipse(0, 0, 12, 12);
    }
};

class TTestCompanion : public TPersistent {
    VELO_CLASS(TTestCompanion, TPersistent)
public:
    std::string ExecName, Canal;
};

class TTestCompanions : public TPersistent {
    VELO_CLASS(TTestCompanions, TPersistent)
public:
    TTestCompanion Companion00, Companion01;
};

class TTestConnection : public TComponent {
    VELO_CLASS(TTestConnection, TComponent)
public:
    explicit TTestConnection(TComponent* owner) : TComponent(owner) {}
    TTestCompanions CompanionArray;
};

// The sample window: counts what its handlers were asked to do.
class TfmSample : public TForm {
    VELO_CLASS(TfmSample, TForm)
public:
    TfmSample();
    int Clicks = 0, MenuClicks = 0, Shows = 0, Ticks = 0, Frame11LampClicks = 0;
    std::vector<std::string> Messages, Events;
    bool ThrowOnClick = false;
};

// Registers the test classes, their properties and the model's properties (as the program does).
void RegisterTestClasses();
