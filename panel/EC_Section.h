// Track sections of the interlocking panel.
//
// A section has no picture of its own: it is the set of cells that light together. Which cells
// those are depends on the route through it (the positions of its switches), so a section keeps
// one list of cell names per route variant (Items0, Items1, ...) and lights one variant at a time.
// The lists name cells of the same form; the form definition lists the cells before the
// sections, so each list is resolved as soon as it is read.
//
// The main window's interface command sets a section found by its ID:
//   section->SetState(TCellState(state), variant);
// and calls Check() on every section once at its first activation.
#pragma once
#include <string>
#include <vector>

#include "panel/EC_Cell.h"
#include "platform/core/Strings.h"
#include "platform/qt/Controls.h"

// A section with one pair of lists; the subclasses have 2, 4, 8 and 16 pairs. Invisible.
class TEC_Section : public TGraphicControl {
    VELO_CLASS(TEC_Section, TGraphicControl)
public:
    // The most lists any section class has, and the most cells one list may hold.
    static constexpr int MaxLists = 32;
    static constexpr int MaxCells = 35;

    explicit TEC_Section(TComponent* owner);

    int ID = 0;

    int PairCount() const { return fPairs; }
    int ListCount() const { return 2 * fPairs; }
    // List i of cell names (i within the class's lists).
    const TStringList& Items(int i) const;
    // Takes over the names of list i and resolves them at once.
    void SetItems(int i, const TStringList& names);

    // Resolves the names of list i among the components of the section's owner. A name that is
    // missing or names no cell is shown in a box captioned "Нет ячейки" and dropped from the
    // list. An index outside the class's lists does nothing.
    virtual void Check(int i);
    // Resolves every list; returns the number of lists.
    int Check();

    // Darkens every cell of every list, then lights the cells of variant v with s and returns
    // how many there are. Variants from 100 on address the second half of the lists; an empty
    // list of the second half falls back to its twin in the first half.
    int SetState(TCellState s, int v);

    // The resolved cells of list i (empty outside the class's lists).
    const std::vector<TEC_Cell*>& Cells(int i) const;

protected:
    TEC_Section(TComponent* owner, int pairs);
    void Paint() override;

private:
    int fPairs = 1;
    std::vector<TStringList> fItems;
    std::vector<TEC_Cell*> fCells[MaxLists];
};

class TEC_Section2 : public TEC_Section {
    VELO_CLASS(TEC_Section2, TEC_Section)
public:
    explicit TEC_Section2(TComponent* owner) : TEC_Section(owner, 2) {}

protected:
    TEC_Section2(TComponent* owner, int pairs) : TEC_Section(owner, pairs) {}
};

class TEC_Section4 : public TEC_Section2 {
    VELO_CLASS(TEC_Section4, TEC_Section2)
public:
    explicit TEC_Section4(TComponent* owner) : TEC_Section2(owner, 4) {}

protected:
    TEC_Section4(TComponent* owner, int pairs) : TEC_Section2(owner, pairs) {}
};

class TEC_Section8 : public TEC_Section4 {
    VELO_CLASS(TEC_Section8, TEC_Section4)
public:
    explicit TEC_Section8(TComponent* owner) : TEC_Section4(owner, 8) {}

protected:
    TEC_Section8(TComponent* owner, int pairs) : TEC_Section4(owner, pairs) {}
};

class TEC_Section16 : public TEC_Section8 {
    VELO_CLASS(TEC_Section16, TEC_Section8)
public:
    explicit TEC_Section16(TComponent* owner) : TEC_Section8(owner, 16) {}
};

// Registers the section classes and their published properties with the form loader.
void RegisterSectionClasses();
