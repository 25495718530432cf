// Track sections: cell lists per route variant, resolved among the components of the form.
#include "panel/EC_Section.h"

#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/qt/Forms.h"
#include "platform/qt/Properties.h"

TEC_Section::TEC_Section(TComponent* owner) : TEC_Section(owner, 1) {}

TEC_Section::TEC_Section(TComponent* owner, int pairs) : TGraphicControl(owner), fPairs(pairs)
{
    fItems.resize(static_cast<size_t>(2 * pairs));
    SetVisible(false);
    SetBounds(0, 0, 10, 10);
}

const TStringList& TEC_Section::Items(int i) const
{
    static const TStringList none;
    if (i < 0 || i >= ListCount()) return none;
    return fItems[static_cast<size_t>(i)];
}

void TEC_Section::SetItems(int i, const TStringList& names)
{
    if (i < 0 || i >= ListCount()) return;
    fItems[static_cast<size_t>(i)] = names;
    Check(i);
}

const std::vector<TEC_Cell*>& TEC_Section::Cells(int i) const
{
    static const std::vector<TEC_Cell*> none;
    if (i < 0 || i >= ListCount()) return none;
    return fCells[i];
}

void TEC_Section::Check(int i)
{
    if (i < 0 || i >= ListCount()) return;
    std::vector<TEC_Cell*>& cells = fCells[i];
    TStringList& names = fItems[static_cast<size_t>(i)];
    cells.clear();
    for (int k = 0; k < names.Count();) {
        const std::string name = names[k];
        TComponent* found = nullptr;
        if (TComponent* form = Owner())
            for (int j = 0; j < form->ComponentCount() && !found; ++j)
                if (form->Components(j)->Name() == name) found = form->Components(j);
        if (!found || !found->InheritsFromClassName("TEC_Cell")) {
            MessageBoxA(nullptr, name, "Нет ячейки", MB_OK);
            names.Delete(k);
            continue;
        }
        // A list longer than any the panel needs is a fault of the form, not something to light.
        if (static_cast<int>(cells.size()) == MaxCells)
            throw Exception(Format("секция %s: больше %d ячеек в списке Items%d", Name().c_str(), MaxCells, i));
        cells.push_back(static_cast<TEC_Cell*>(found));
        ++k;
    }
}

int TEC_Section::Check()
{
    for (int i = 0; i < ListCount(); ++i) Check(i);
    return ListCount();
}

int TEC_Section::SetState(TCellState s, int v)
{
    for (int i = 0; i < ListCount(); ++i)
        for (TEC_Cell* c : fCells[i]) c->SetState(csFree);
    if (v > 99) v = v - 100 + fPairs;
    if (v >= fPairs && v < MaxLists && fCells[v].empty()) v -= fPairs;
    // A variant beyond the lists of the class has no cells to light.
    if (v < 0 || v >= ListCount()) return 0;
    for (TEC_Cell* c : fCells[v]) c->SetState(s);
    return static_cast<int>(fCells[v].size());
}

void TEC_Section::Paint()
{
    Canvas().DrawBitmap(0, 0, "SECTION");
}

namespace {

template <class T>
void Class()
{
    RegisterComponentClass(T::StaticClassType()->Name, [](TComponent* owner) { return new T(owner); });
}

// Items<from> ... Items<to - 1>, published by the class that adds them.
template <class T>
void ItemsProperties(int from, int to)
{
    for (int n = from; n < to; ++n)
        RegisterStringsProperty<T>(Format("Items%d", n), [n](T& s, const TStringList& l) { s.SetItems(n, l); });
}

} // namespace

void RegisterSectionClasses()
{
    Class<TEC_Section>();
    Class<TEC_Section2>();
    Class<TEC_Section4>();
    Class<TEC_Section8>();
    Class<TEC_Section16>();
    RegisterIntProperty<TEC_Section>("ID", [](TEC_Section& s, int v) { s.ID = v; });
    ItemsProperties<TEC_Section>(0, 2);
    ItemsProperties<TEC_Section2>(2, 4);
    ItemsProperties<TEC_Section4>(4, 8);
    ItemsProperties<TEC_Section8>(8, 16);
    ItemsProperties<TEC_Section16>(16, 32);
}
