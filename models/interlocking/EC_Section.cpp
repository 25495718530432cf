// Interlocking sections, stretch tracks and blocks: each tick a section mirrors the plan's
// occupancy, keeps the locks of the routes, releases them behind the movements, and shows its
// state on the panel ([4 8 {section} {variant} {cell state}]). Two fault modes make a section show
// a false state; a movement entering it without the trainee's inquiry is a trainee error.
#include <algorithm>

#include "models/interlocking/EC_Model.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

namespace {

// Cell states of the panel sections.
enum { csFree = 0, csWhite = 1, csRed = 2, csRedWhite = 4, csWhiteBlink = 5, csRedWhiteBlink = 6 };

// A switch's position for the variant: a moving switch counts where it is going.
int SettledPosition(const TEC_Switch1* sw) { return sw->Position >= 2 ? sw->Position - 2 : sw->Position; }

// The block-signal chain towards a stretch, evaluated from the far end. A signal met twice (a loop
// in the data) ends the chain.
void StretchLogic(TEC_Signal1* x, int i, std::vector<TEC_Signal1*>& seen)
{
    if (!x || x->Kind <= 1 || x->Direction != i) return;
    if (std::find(seen.begin(), seen.end(), x) != seen.end()) return;
    seen.push_back(x);
    TEC_Signal1* next = AsSignal(x->Neighbour[i]);
    if (!next) return;
    StretchLogic(next, i, seen);
    if (x->RouteMode > 0) x->SignalState = next->SignalState == 2 ? 1 : 0;
    if (x->Guarded && x->Guarded->SectionState == 1) {
        x->SignalState = 2;
        if (x->Kind == 3) x->RouteMode = -1;
    } else if (x->Kind == 3 && x->SignalState <= 1 && x->Approach && x->Approach->SectionState == 0) {
        x->Approach->ChangeState(2);
    }
}

} // namespace

// ---- Plain sections ----

void TEC_Section1::SendCell(int cellState) { Owner->Send(Format("4 8 %d %d %d", Number, Variant, cellState)); }

bool TEC_Section1::IsOccupied()
{
    // A movement anywhere on the section's plan sections occupies it, not only on the first.
    for (unsigned ps : PlanSections) {
        bool occupied = false;
        if (!Owner->AskPlanSection(ps, &occupied)) return false;
        if (occupied) return true;
    }
    return false;
}

void TEC_Section1::ComputeVariant()
{
    Variant = 0;
    bool seen = false;
    for (size_t i = 1; i < PlanSections.size(); ++i) {
        bool occupied = false;
        if (!Owner->AskPlanSection(PlanSections[i], &occupied)) break;
        if (occupied) {
            LockedMemory = false;
            seen = true;
            break;
        }
    }
    if (!seen && !LockedMemory) Variant = 1;
}

void TEC_Section1::WatchFault(bool occupied, int errorBase)
{
    // A movement that leaves the section while it shows a false state takes its route's lock with
    // it, as its leaving would have in the normal mode: the repair then shows what is there.
    if (!occupied && MovementOn) {
        LockedMemory = false;
        RouteId = 0;
        Next = nullptr;
    }
    if (occupied && SavedState != 1 && CheckTime < 0.01) {
        LockedMemory = false;
        std::string name = Owner->SectionName(Number);
        Owner->SendError(FaultMode == 101 ? errorBase : errorBase + 1, name);
    }
}

void TEC_Section1::Step(double t)
{
    if (PlanSections.empty()) return;
    bool occupied = false;
    if (!Owner->AskPlanSection(PlanSections[0], &occupied)) return;
    if (!occupied && PlanSections.size() > 1) occupied = IsOccupied();
    if (t > CheckTime + 600.0) CheckTime = 0;
    if (FaultMode == 100) {
        MovementOn = occupied;
        if (occupied || SectionState != 2) ChangeState(occupied ? 1 : 0);
        return;
    }
    WatchFault(occupied, 126);
    MovementOn = occupied;
    if (FaultMode == 101 && Option) {
        int old = Variant;
        ComputeVariant();
        if (Variant != old) ChangeFault(101);
    }
    SavedState = occupied ? 1 : 0;
}

void TEC_Section1::GuardTest(int a)
{
    TEC_Signal1* g = Guarding;
    if (!g || g->RouteMode < 0) return;
    if ((g->RouteMode == 0 && a == 0) || (g->RouteMode != 0 && a != 0)) {
        Guarding = nullptr;
        g->Close();
    }
}

void TEC_Section1::ChangeState(int a)
{
    int oldVariant = Variant;
    if (a == 1 && Option) ComputeVariant();
    TEC_Section1* next = RouteNext();
    if (SectionState == 1 && a == 0 && next && next->LockedMemory && next->SectionState == 2 && !next->IsOccupied())
        next->Release();
    // A section released while occupied shows its state again even when it did not change.
    if (a == SectionState && Variant == oldVariant && ReleaseStage != 2) return;
    int cs;
    switch (a) {
    case 0:
        GuardTest(0);
        LockedMemory = false;
        ReleaseStage = 0;
        Next = nullptr;
        RouteId = 0;
        if (FaultMode == 101) {
            SectionState = 1;
            return;
        }
        SectionState = 0;
        cs = csFree;
        break;
    case 1:
        GuardTest(1);
        ReleaseStage = 0;
        SectionState = 1;
        cs = csRed;
        break;
    case 2:
        // A new lock ends an armed artificial release: it was meant for what held the section before.
        LockedMemory = true;
        ReleaseStage = 0;
        if (Option) ComputeVariant();
        if (FaultMode == 101) {
            SectionState = 1;
            cs = csRed;
        } else {
            SectionState = 2;
            cs = csWhite;
        }
        break;
    default:
        return;
    }
    SendCell(cs);
}

void TEC_Section1::Release()
{
    // Route links are data the trainee's actions build up: a loop in them must not recurse forever.
    if (Releasing) return;
    Releasing = true;
    TEC_Section1* next = RouteNext();
    if (next && next->ReleaseStage == 0 && next->LockedMemory) next->Release();
    if (SectionState == 2) {
        ChangeState(0);
    } else if (SectionState == 1) {
        LockedMemory = false;
        RouteId = 0;
        Next = nullptr;
        ReleaseStage = 2;
        ChangeState(1);
    }
    Releasing = false;
}

void TEC_Section1::DropLock()
{
    if (SectionState == 2) {
        ChangeState(0);
        return;
    }
    // Occupied (or shown occupied): the movement frees it later; the route no longer holds it.
    LockedMemory = false;
    RouteId = 0;
    Next = nullptr;
}

void TEC_Section1::ChangeFault(int c)
{
    FaultMode = static_cast<unsigned char>(c);
    auto* ss = dynamic_cast<TEC_SwitchSection*>(this);
    switch (c) {
    case 100:
        // Back to normal the section shows what is on it now; the saved state may be a step old.
        ChangeState(IsOccupied() ? 1 : LockedMemory ? 2 : 0);
        break;
    case 101:
        SavedState = SectionState;
        SectionState = 1;
        if (Option || ss) ComputeVariant();
        GuardTest(1);
        ReleaseStage = 0;
        SendCell(csRed);
        break;
    case 102:
        SavedState = SectionState;
        SectionState = 0;
        if (LockedMemory) {
            ChangeState(2);
            return;
        }
        GuardTest(0);
        LockedMemory = false;
        ReleaseStage = 0;
        Next = nullptr;
        // Its lock memory was lost to a movement: the route no longer holds it.
        RouteId = 0;
        if (ss) ss->LockPlanSwitches(0);
        SendCell(csFree);
        break;
    default:
        SendCell(csFree);
        break;
    }
}

// ---- Switch sections ----

bool TEC_SwitchSection::IsOccupied()
{
    for (TEC_Switch1* sw : Switches) {
        int occupied = 0, pos = 0;
        if (!Owner->AskPlanSwitch(sw->Number, &occupied, &pos)) return false;
        if (occupied) return true;
    }
    for (unsigned ps : PlanSections) {
        bool occupied = false;
        if (!Owner->AskPlanSection(ps, &occupied)) return false;
        if (occupied) return true;
    }
    return false;
}

void TEC_SwitchSection::ComputeVariant()
{
    // Weights 1, 2, 4, ... in list order, so every switch of the list has its own bit.
    Variant = 0;
    int weight = 1;
    for (TEC_Switch1* sw : Switches) {
        Variant += weight * SettledPosition(sw);
        weight *= 2;
    }
}

void TEC_SwitchSection::LockPlanSwitches(int value)
{
    for (TEC_Switch1* sw : Switches) Owner->Send(Format("1 37 %d %d", sw->Number, value));
}

void TEC_SwitchSection::Step(double t)
{
    if (Switches.empty()) return;
    bool occupied = IsOccupied();
    if (t > CheckTime + 600.0) CheckTime = 0;
    if (FaultMode == 100) {
        MovementOn = occupied;
        ChangeState(occupied ? 1 : SectionState == 2 ? 2 : 0);
        return;
    }
    WatchFault(occupied, 128);
    MovementOn = occupied;
    SavedState = occupied ? 1 : 0;
}

void TEC_SwitchSection::ChangeState(int a)
{
    ComputeVariant();
    TEC_Section1* next = RouteNext();
    if (SectionState == 1 && a == 0 && next && next->LockedMemory && next->SectionState == 2 && !next->IsOccupied())
        next->Release();
    if (a == SectionState && !ForceResend && ReleaseStage != 2) return;
    int cs;
    switch (a) {
    case 0:
        GuardTest(0);
        LockedMemory = false;
        ReleaseStage = 0;
        Next = nullptr;
        RouteId = 0;
        LockPlanSwitches(0);
        if (FaultMode == 101) {
            SectionState = 1;
            ForceResend = false;
            return;
        }
        SectionState = 0;
        cs = csFree;
        break;
    case 1:
        GuardTest(1);
        ReleaseStage = 0;
        SectionState = 1;
        cs = csRed;
        break;
    case 2:
        LockedMemory = true;
        ReleaseStage = 0;
        if (FaultMode == 101) {
            SectionState = 1;
            cs = csRed;
        } else {
            LockPlanSwitches(1);
            SectionState = 2;
            cs = csWhite;
        }
        break;
    default:
        return;
    }
    SendCell(cs);
    ForceResend = false;
}

// ---- Block sections and stretch tracks ----

void TEC_Block1::Step(double)
{
    if (PlanSections.empty()) return;
    bool occupied = false;
    if (!Owner->AskPlanSection(PlanSections[0], &occupied)) return;
    if (!occupied && PlanSections.size() > 1) occupied = IsOccupied();
    ChangeState(occupied ? 1 : SectionState == 2 ? 2 : 0);
}

void TEC_Block1::ChangeState(int a)
{
    // A route onto the stretch locks its blocks like any other section: the lock lasts until the
    // movement has passed or the route is released.
    TEC_Section1* next = RouteNext();
    if (SectionState == 1 && a == 0 && next && next->LockedMemory && next->SectionState == 2 && !next->IsOccupied())
        next->Release();
    if (a == SectionState) return;
    switch (a) {
    case 0:
        GuardTest(0);
        LockedMemory = false;
        ReleaseStage = 0;
        Next = nullptr;
        RouteId = 0;
        break;
    case 1:
        GuardTest(1);
        ReleaseStage = 0;
        break;
    case 2:
        LockedMemory = true;
        ReleaseStage = 0;
        break;
    default:
        return;
    }
    SectionState = static_cast<unsigned char>(a);
    Owner->Send(Format("4 13 %d %d", Option, a == 1 ? 1 : 0));
}

void TEC_PeregonTrack::Step(double)
{
    if (Blocks.empty()) return;
    int occupied = 0;
    for (TEC_Block1* b : Blocks)
        if (b->SectionState != 0) occupied = 1;
    if (occupied != IndicatorState) {
        IndicatorState = occupied;
        Owner->Send(Format("4 12 %d %d", Number, occupied));
    }
    seen.clear();
    StretchLogic(AsSignal(Vertex[Direction]), Direction, seen);
}

// ---- Receiver-2 commands of the sections ----

int TEC_Model::SwitchControl(unsigned on)
{
    for (unsigned i = 0; i < Sections.Count(); ++i) {
        auto* ss = dynamic_cast<TEC_SwitchSection*>(Sections.Get(i));
        if (!ss) continue;
        if (on) Send(Format("4 8 %d %d %d", ss->Number, ss->Variant + 25, ss->SectionState == 1 ? csRedWhite : csWhite));
        else ss->ForceResend = true;
        for (TEC_Switch1* sw : ss->Switches)
            if (!sw->Individual) Send(Format("4 16 %d %d", sw->LampBase() * 10 + sw->Position, on ? 1 : 0));
    }
    return 1;
}

int TEC_Model::SetFaultListener(const TBusWords& w)
{
    // The interlocking serves no parameter commands: the listener has a command of its own.
    int object = 0;
    if (!w.Get(2, object) || object < 0) return 0;
    if (!SetModelParam("1090", object)) AddParam("1090", Format("%d", object));
    return 1;
}

int TEC_Model::SectionInfo(unsigned sec, std::string& mes)
{
    TEC_Section1* s = Sections.Find(static_cast<int>(sec));
    if (!s) return 0;
    mes = Format("%d %d %d", s->Number, s->SectionState, s->Variant);
    return 1;
}

int TEC_Model::ArmRelease(unsigned sec)
{
    TEC_Section1* s = Sections.Find(static_cast<int>(sec));
    if (!s) return 0;
    if (s->SectionState == 2) s->SendCell(csWhiteBlink);
    else if (s->SectionState == 1) s->SendCell(csRedWhiteBlink);
    else return 0;
    s->ReleaseStage = 1;
    Send("4 16 5 2");
    Sections.ArtificialRelease = 1;
    return 1;
}

int TEC_Model::ConfirmRelease()
{
    if (!Sections.ArtificialRelease) return 0;
    Send(Format("%d %d %f %d %d", 8, 4, SysTime() + 30.0, 2, 14));
    Send("4 16 5 1");
    return 1;
}

int TEC_Model::DoRelease()
{
    Sections.ArtificialRelease = 0;
    // A route that loses sections is no route any more: its signals close before the release.
    for (unsigned i = 0; i < Sections.Count(); ++i) {
        TEC_Section1* s = Sections.Get(i);
        if (s->ReleaseStage == 1 && s->RouteId) CloseRoute(s->RouteId);
    }
    for (unsigned i = 0; i < Sections.Count(); ++i) {
        TEC_Section1* s = Sections.Get(i);
        if (s->ReleaseStage == 1) s->Release();
    }
    Send("4 16 5 0");
    return 1;
}

int TEC_Model::SetClosed(unsigned planSection, unsigned flag)
{
    TEC_Section1* s = Sections.FindByPlanSection(planSection);
    if (!s) return 0;
    s->Closed = flag != 0;
    return 1;
}

int TEC_Model::SetFault(unsigned sec, unsigned mode, std::string& mes)
{
    TEC_Section1* s = Sections.Find(static_cast<int>(sec));
    if (!s) return 0;
    // Only the normal mode and the two fault modes exist.
    if (mode != 100 && mode != 101 && mode != 102) return 0;
    // The reply is the mode the section was in, so that a repair can tell whether it found a fault.
    const int was = s->FaultMode;
    mes = Format("%d", was);
    // Normal mode on a section in normal mode changes nothing (its saved state is stale).
    if (mode == 100 && was == 100) return 1;
    s->ChangeFault(static_cast<int>(mode));
    if (mode != 100 && was != static_cast<int>(mode)) TellFault(s->Number, static_cast<int>(mode));
    return 1;
}

int TEC_Model::SectionInquiry(const TBusWords& w, std::string& mes)
{
    TEC_Section1* s = Sections.Find(static_cast<int>(w.UInt(2)));
    if (!s) return 0;
    s->CheckTime = SysTime();
    std::string words = w.Rest(3);
    bool occupied = s->IsOccupied();
    mes = "Путевая секция №" + words + (occupied ? " занята " : " свободна");
    return 1;
}

int TEC_Model::FindSection(unsigned planSection, std::string& mes)
{
    TEC_Section1* s = Sections.FindByPlanSection(planSection);
    if (!s) return 0;
    mes = Format("%d", s->Number);
    return 1;
}

// A signal's name, for the texts of trainee errors that models other than this one find.
int TEC_Model::SignalName(unsigned n, std::string& mes)
{
    TEC_Signal1* sig = AsSignal(Vertexes.Find(static_cast<int>(n)));
    if (!sig) return 0;
    mes = sig->Name;
    return 1;
}

// ---- Route supervision ----

bool TEC_Model::RouteIntact(const TEC_Signal1* sig) const
{
    for (const TEC_Section1* s : sig->RouteSections) {
        if (s->RouteId != sig->RouteId) return false;
        if (sig->RouteMode == 1 && s->SectionState == 1) return false;
    }
    for (const auto& e : sig->RouteSwitches) {
        if (e.Switch->Position != e.Position) return false;
        if (e.Switch->Partner && e.Switch->Partner->Position != e.Position) return false;
    }
    return true;
}

void TEC_Model::CloseRoute(unsigned routeId)
{
    for (unsigned i = 0; i < Vertexes.Count(); ++i) {
        TEC_Signal1* sig = AsSignal(Vertexes.Get(i));
        if (sig && sig->RouteId == routeId && sig->SignalState < 2) sig->Close();
    }
}

void TEC_Model::Supervise()
{
    for (unsigned i = 0; i < Vertexes.Count(); ++i) {
        TEC_Signal1* sig = AsSignal(Vertexes.Get(i));
        if (sig && sig->RouteId && sig->SignalState < 2 && !RouteIntact(sig)) sig->Close();
    }
    // An armed artificial release that nothing is left for (the sections were freed or entered
    // meanwhile) no longer shows as armed.
    if (Sections.ArtificialRelease) {
        bool armed = false;
        for (unsigned i = 0; i < Sections.Count(); ++i) armed = armed || Sections.Get(i)->ReleaseStage == 1;
        if (!armed) {
            Sections.ArtificialRelease = 0;
            Send("4 16 5 0");
        }
    }
}
