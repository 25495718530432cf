// Routes, signals and switches of the interlocking model: setting a route by two clicks, the route
// search over the interlocking graph, turning the route's switches through the plan, opening and
// closing signals, cancelling routes with a timed release, and the switch keys.
//
// The route search records each vertex's part after the onward search has succeeded, so the
// route's sections and switch positions come from the far end back and are reversed at the end.
// A branch that fails leaves nothing behind: what it recorded is dropped and the switches it
// reserved are free again. Trainee errors met during the search are held back and sent only when
// the whole search fails, so an error of a branch that a later branch replaced is never reported.
#include <algorithm>

#include "models/interlocking/EC_Model.h"
#include "platform/core/CFormat.h"

namespace {

// Sets a flag for the life of a scope and restores it after, also when an exception passes.
class TFlagScope {
public:
    explicit TFlagScope(bool& f) : flag(f), old(f) { flag = true; }
    ~TFlagScope() { flag = old; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag;
    bool old;
};

} // namespace

// ---- Vertices ----

int TEC_Switch1::State(std::string& buf)
{
    buf = Format("%d %d 1 0", Position, Reserved ? 1 : 0);
    return 1;
}

int TEC_Switch1::Trace(int entry)
{
    TEC_Model* m = Owner;
    TEC_Route* r = m->PendingRoute();
    int b = r->Direction == 0 ? 0 : 2;
    int target;
    if (entry == -1) {
        size_t errors = m->searchErrors.size();
        if (m->TraceInto(Neighbour[b], Entry[b])) {
            if (!Reserve()) return 0;
            target = 0;
        } else if (m->TraceInto(Neighbour[b + 1], Entry[b + 1])) {
            m->searchErrors.resize(errors);
            if (!Reserve()) return 0;
            target = 1;
        } else {
            return 0;
        }
    } else {
        if (!m->TraceInto(Neighbour[b], Entry[b]) || !Reserve()) return 0;
        target = entry;
    }
    r->Switches.push_back(TEC_SwitchRoute{this, target});
    if (!(Individual && Position != target)) Reserved = true;
    if (Position == target) return 1;
    return m->Send(Format("2 4 %d %d 0", Number, target)) ? 1 : 0;
}

bool TEC_Switch1::Reserve() { return Owner->ReserveSection(Section, false); }

void TEC_Switch1::Step(double)
{
    TEC_Model* m = Owner;
    int occupied = 0, pos = 0;
    // A switch the plan does not answer for keeps its position.
    if (!m->AskPlanSwitch(Number, &occupied, &pos)) return;
    if ((pos != 0 && pos != 1) || pos == Position) return;
    int old = Position;
    Position = pos;
    m->Send("4 14 0");
    int base = LampBase();
    if (Paired != 0) m->Send(Format("2 4 %d %d %d", Paired, Position, Individual ? 1 : 0));
    // The lamps of a pair show the pair: moving until both halves lie.
    bool partnerLies = !Partner || Partner->Position < 2;
    if (Paired == 0 || partnerLies) {
        if (partnerLies) m->Send(Format("4 16 %d 0", base * 10 + 2));
        if (Individual) {
            // A key-controlled switch that was trailed loses the lamp of its old position.
            if (old < 2) m->Send(Format("4 16 %d 0", base * 10 + old));
            m->Send(Format("4 16 %d 1", base * 10 + Position));
        }
    }
}

int TEC_Signal1::Trace(int)
{
    TEC_Model* m = Owner;
    TEC_Route* r = m->PendingRoute();
    int d = r->Direction;
    // The end of the route: its own section test decides; the search never goes past it.
    if (static_cast<unsigned>(Number) == r->End) return Reserve() ? 1 : 0;
    if (Direction == d && this != r->Start && Kind != 0) return 0;
    if (this == r->Start && Approach && Approach->Option && Approach->Closed) {
        m->SendError(123, r->Start->Name);
        return 0;
    }
    if (!Neighbour[d]) return 0;
    if (!m->TraceInto(Neighbour[d], Entry[d])) return 0;
    if (Direction == d && r->Mode == 0 && Kind == 0 && this != r->Start &&
        std::find(r->Signals.begin(), r->Signals.end(), this) == r->Signals.end())
        r->Signals.push_back(this);
    return Reserve() ? 1 : 0;
}

bool TEC_Signal1::Reserve() { return Owner->ReserveSection(Sections[Owner->PendingRoute()->Direction], true); }

void TEC_Signal1::Open(bool isStart)
{
    TEC_Model* m = Owner;
    if (Kind == 4) {
        SignalState = 0;
        if (Guarded) Guarded->ChangeState(2);
        return;
    }
    TEC_Route* r = m->PendingRoute();
    SignalState = 0;
    if (r) RouteMode = r->Mode;
    if (Guarded) Guarded->Guarding = this;
    if (isStart && r) {
        unsigned id = m->NewRouteId();
        Openings = id;
        RouteId = id;
        r->Opened = true;
        RouteSections = r->Sections;
        RouteSignals = r->Signals;
        RouteSwitches = r->Switches;
        for (auto& e : r->Switches) e.Switch->Reserved = false;
        // The links between the sections belong to this route only.
        for (size_t i = 0; i < RouteSections.size(); ++i) {
            RouteSections[i]->Next = i + 1 < RouteSections.size() ? RouteSections[i + 1] : nullptr;
            RouteSections[i]->RouteId = id;
        }
        for (TEC_Signal1* s : RouteSignals) {
            // An intermediate signal guards the part of the route beyond it.
            auto from = std::find(RouteSections.begin(), RouteSections.end(), s->Guarded);
            s->RouteSections.assign(from, RouteSections.end());
            s->RouteSignals.clear();
            s->RouteSwitches.clear();
            for (const auto& e : RouteSwitches)
                if (std::find(from, RouteSections.end(), e.Switch->Section) != RouteSections.end())
                    s->RouteSwitches.push_back(e);
            s->RouteId = id;
            s->Open(false);
        }
        for (TEC_Section1* s : RouteSections) s->ChangeState(2);
        m->ChangeState(Format("%d %u %u %u", 14, static_cast<unsigned>(Number), r->End, static_cast<unsigned>(r->Mode)));
    }
    m->Send(Format("4 7 %d %d", Number, RouteMode == 1 ? 3 : 1));
}

void TEC_Signal1::Close()
{
    RouteMode = -1;
    RouteId = 0;
    if (Guarded && Guarded->Guarding == this) Guarded->Guarding = nullptr;
    SignalState = 2;
    Owner->Send(Format("4 7 %d %d", Number, ClosedAspect()));
}

int TEC_Joint::Trace(int)
{
    TEC_Model* m = Owner;
    if (Number > 1000) return 0;
    int d = m->PendingRoute()->Direction;
    if (!Neighbour[d] || !m->TraceInto(Neighbour[d], Entry[d])) return 0;
    return Reserve() ? 1 : 0;
}

bool TEC_Joint::Reserve() { return Owner->ReserveSection(Sections[Owner->PendingRoute()->Direction], true); }

// ---- The route search ----

int TEC_Model::TraceInto(TEC_Vertex* v, int entry)
{
    if (!v || !route) return 0;
    // A vertex already on the search path means a loop in the data: that branch fails.
    if (v->Mark) return 0;
    size_t nSections = route->Sections.size(), nSignals = route->Signals.size(), nSwitches = route->Switches.size();
    v->Mark = 1;
    int r;
    try {
        r = v->Trace(entry);
    } catch (...) {
        v->Mark = 0;
        throw;
    }
    v->Mark = 0;
    if (!r) {
        for (size_t i = nSwitches; i < route->Switches.size(); ++i) {
            TEC_Switch1* sw = route->Switches[i].Switch;
            bool kept = false;
            for (size_t j = 0; j < nSwitches; ++j) kept = kept || route->Switches[j].Switch == sw;
            if (!kept) sw->Reserved = false;
        }
        route->Switches.resize(nSwitches);
        route->Sections.resize(nSections);
        route->Signals.resize(nSignals);
    }
    return r;
}

void TEC_Model::AddRouteSection(TEC_Section1* s)
{
    if (std::find(route->Sections.begin(), route->Sections.end(), s) == route->Sections.end())
        route->Sections.push_back(s);
}

bool TEC_Model::ReserveSection(TEC_Section1* s, bool testClosed)
{
    if (!s) return true;
    const std::string& name = route->Start->Name;
    // A section another route holds is refused even while a movement occupies it.
    if (s->SectionState == 2 || s->RouteId != 0) {
        SendError(114, name);
        return false;
    }
    if (s->SectionState == 1 && route->Mode == 1) {
        SendError(115, name);
        return false;
    }
    if (testClosed && s->Option && s->Closed) {
        SendError(122, name);
        return false;
    }
    AddRouteSection(s);
    return true;
}

// ---- Route setting ----

int TEC_Model::fnSignalClick(unsigned signal, unsigned mode)
{
    if (routeGroupe) return 0;
    TEC_Signal1* sig = AsSignal(Vertexes.Find(static_cast<int>(signal)));
    if (!sig) return 0;
    if (sig->Kind == 3) {
        sig->RouteMode = 1;
        return 1;
    }
    if (sig->Kind == 4) {
        sig->Open(false);
        return 1;
    }
    if (deleteRouteMode) {
        deleteRouteMode = false;
        return RouteCancelClick(sig, mode);
    }
    if (!startMarked) {
        if (sig->SignalState > 1) {
            SetBegin(sig, mode);
            return 1;
        }
        SendError(116, sig->Name);
        return 0;
    }
    TEC_Signal1* s = route->Start;
    int error = 0;
    if (sig == s) error = 118;
    if (static_cast<int>(mode) != route->Mode) error = 119;
    if (sig->Direction == s->Direction && route->Mode == 1) error = 120;
    if (error) {
        SendError(error, s->Name);
        DeleteRoute(false);
        return 0;
    }
    route->End = signal;
    routeGroupe = true;
    searchErrors.clear();
    int found;
    try {
        TFlagScope searching(inSearch);
        found = TraceInto(s, -1);
    } catch (...) {
        // A fatal trainee error raised on the way must not leave a route in progress for ever.
        searchErrors.clear();
        DropRoute();
        route.reset();
        routeGroupe = startMarked = false;
        throw;
    }
    std::vector<std::string> errors;
    errors.swap(searchErrors);
    if (!found) {
        for (const auto& e : errors) Send(e);
        DeleteRoute(false);
        return 0;
    }
    std::reverse(route->Switches.begin(), route->Switches.end());
    std::reverse(route->Sections.begin(), route->Sections.end());
    return 1;
}

int TEC_Model::fnEndRouteClick(const TBusWords& w, std::string& mes)
{
    if (!startMarked) return 0;
    const unsigned button = w.UInt(2), mode = w.UInt(3);
    mes = Format("2 5 %u %u", button, mode);
    return fnSignalClick(button, mode);
}

void TEC_Model::SetBegin(TEC_Signal1* signal, unsigned mode)
{
    route = std::make_unique<TEC_Route>();
    startMarked = true;
    route->Start = signal;
    route->Owner = this;
    route->Direction = signal->Direction;
    route->Mode = static_cast<int>(mode);
    route->End = 0;
    Send(Format("4 30 %d 1", signal->Number));
    Send(Format("4 31 %d %d", route->Direction + 1, route->Mode + 1));
}

void TEC_Model::DropRoute()
{
    // A route that never opened gives back its switches.
    if (!route || route->Opened) return;
    for (auto& e : route->Switches) e.Switch->Reserved = false;
}

void TEC_Model::DeleteRoute(bool keepCell)
{
    if (route && route->Start) {
        if (!keepCell) Send(Format("4 30 %d 0", route->Start->Number));
        Send(Format("4 31 %d 0", route->Direction + 1));
        DropRoute();
    }
    route.reset();
    routeGroupe = false;
    startMarked = false;
}

int TEC_Model::fnSignalCancel()
{
    if (!startMarked) {
        SendError(102, "");
        return 0;
    }
    DeleteRoute(false);
    return 1;
}

void TEC_Model::CheckRoute()
{
    if (!route) return;
    for (const auto& e : route->Switches) {
        std::string st;
        e.Switch->State(st);
        int pos = 0;
        SScanf(st.c_str(), "%d", &pos);
        if (pos > 1) return;
        // Both halves of a pair must lie right.
        TEC_Switch1* partner = e.Switch->Partner;
        if (pos != e.Position || (partner && partner->Position != e.Position)) {
            if (partner && partner->Position == e.Position + 2) return;
            if (!e.Switch->Individual) Send(Format("2 4 %d %d 0", e.Switch->Number, e.Position));
            return;
        }
    }
    // The sections are tested again now: a section may have been taken or, for a train route,
    // occupied while the switches were moving. The route waits (or is cancelled).
    for (TEC_Section1* s : route->Sections) {
        if (s->SectionState == 2 || s->RouteId != 0) return;
        if (route->Mode == 1 && s->SectionState == 1) return;
    }
    route->Start->Open(true);
    DeleteRoute(true);
}

int TEC_Model::fnDeleteRouteClick()
{
    deleteRouteMode = !deleteRouteMode;
    Send(deleteRouteMode ? "4 16 4 2" : "4 16 4 0");
    return 1;
}

int TEC_Model::RouteCancelClick(TEC_Signal1* sig, unsigned k)
{
    int error = 0;
    if (sig->SignalState != 0) error = 103;
    if (sig->RouteMode != 0 && k == 0) error = 124;
    if (sig->RouteMode == 0 && k == 1) error = 125;
    if (error) {
        SendError(error, sig->Name);
        Send("4 16 4 0");
        return 0;
    }
    double delay;
    int lamp;
    if (!sig->Approach || sig->Approach->SectionState == 0) {
        delay = 6.0;
        lamp = 3;
    } else if (sig->RouteMode == 1) {
        delay = 180.0;
        lamp = 2;
    } else {
        delay = 60.0;
        lamp = 1;
    }
    // The release carries the signal's opening count: a later route from the signal is not freed.
    Send(Format("%d %d %f %d %d %u %d %u", 8, 4, SysTime() + delay, 2, 10, static_cast<unsigned>(sig->Number), lamp,
                sig->Openings));
    Send(Format("%d %d %f %d %d %u", 8, 4, SysTime() + 6.0, 2, 15, static_cast<unsigned>(sig->Number)));
    Send("4 16 4 0");
    Send(Format("4 16 %d 1", lamp));
    return 1;
}

int TEC_Model::TimedRelease(const TBusWords& w)
{
    unsigned n = 0, opening = 0;
    int lamp = 0;
    const bool withOpening = w.Get(2, n) && w.Get(3, lamp) && w.Get(4, opening);
    TEC_Signal1* sig = AsSignal(Vertexes.Find(static_cast<int>(n)));
    if (!sig) return 0;
    // Without the route's number (a message typed on the console or written in a scenario) the
    // release is for the signal's last route.
    unsigned id = withOpening ? opening : sig->Openings;
    // A route whose signal is open again (or still) is not released: only a closed route is.
    bool open = id == sig->RouteId && sig->SignalState < 2;
    std::vector<TEC_Section1*> held;
    if (id != 0 && !open) {
        if (id == sig->Openings) held = sig->RouteSections;
        for (unsigned i = 0; i < Sections.Count(); ++i)
            if (std::find(held.begin(), held.end(), Sections.Get(i)) == held.end()) held.push_back(Sections.Get(i));
    }
    int freed = 0;
    for (TEC_Section1* s : held) {
        if (s->RouteId != id) continue;
        s->DropLock();
        freed = 1;
    }
    // The lamp goes off also when nothing of the route was left to free.
    Send(Format("4 16 %d 0", lamp));
    return freed;
}

int TEC_Model::CloseSignal(unsigned n)
{
    TEC_Signal1* sig = AsSignal(Vertexes.Find(static_cast<int>(n)));
    if (!sig) return 0;
    sig->Close();
    for (TEC_Signal1* s : sig->RouteSignals) s->Close();
    return 1;
}

int TEC_Model::fnGetSignalState(const TBusWords& w, std::string& mes)
{
    const unsigned n = w.UInt(2);
    const int d = w.Int(3);
    TEC_Signal1* sig = AsSignal(Vertexes.Find(static_cast<int>(n)));
    if (!sig) return 0;
    int v = sig->SignalState;
    if (d != 0) {
        if (sig->Kind == 0) v = 0;
        if (sig->SignalState < 2 && sig->RouteMode == 0) v = 2;
    }
    mes = Format("%d %d", v, d);
    return 1;
}

// ---- Switch keys ----

int TEC_Model::SwitchCommand(unsigned n, unsigned p, unsigned i)
{
    TEC_Switch1* sw = AsSwitch(Vertexes.Find(static_cast<int>(n)));
    if (!sw) return 0;
    // A pair turns as a unit: both halves are tested before either is asked of the plan.
    std::vector<TEC_Switch1*> halves{sw};
    if (sw->Partner) halves.push_back(sw->Partner);
    auto lampBases = [&] {
        std::vector<int> bases;
        for (TEC_Switch1* h : halves)
            if (std::find(bases.begin(), bases.end(), h->LampBase()) == bases.end()) bases.push_back(h->LampBase());
        return bases;
    };
    // A switch held by a route being set refuses its key (and does not become key-controlled).
    for (TEC_Switch1* h : halves)
        if (h->Reserved && i == 1 && p != 2) return 0;
    int ip = static_cast<int>(p);
    if (p == 2 && i == 1) {
        // The lamp of a lying position goes out; a moving switch keeps its moving lamp.
        std::vector<int> off;
        for (TEC_Switch1* h : halves) {
            int lamp = h->LampBase() * 10 + h->Position;
            if ((h == sw || h->Individual) && h->Position < 2 && std::find(off.begin(), off.end(), lamp) == off.end())
                off.push_back(lamp);
            h->Individual = false;
        }
        for (int lamp : off) Send(Format("4 16 %d 0", lamp));
        if (routeGroupe) CheckRoute();
        return 1;
    }
    std::vector<bool> wasIndividual;
    for (TEC_Switch1* h : halves) wasIndividual.push_back(h->Individual);
    if (i == 1)
        for (TEC_Switch1* h : halves) h->Individual = true;
    for (TEC_Switch1* h : halves) {
        TEC_SwitchSection* sec = h->Section;
        bool held = sec && (sec->SectionState != 0 || sec->RouteId != 0);
        if (held && ip != h->Position && !h->AuxTurning) {
            SendError(sec->SectionState == 1 ? 1 : 113, Format("%d", h->Number));
            return 0;
        }
    }
    if (i == 0)
        for (TEC_Switch1* h : halves)
            if (h->Individual && ip != h->Position && h->Position != ip + 2) {
                SendError(117, Format("%d", h->Number));
                return 0;
            }
    // A pair is tried first: a half standing under a movement would be refused by the plan after
    // the other half had moved.
    if (halves.size() > 1)
        for (TEC_Switch1* h : halves) {
            int occupied = 0;
            if (ip != h->Position && h->Position != ip + 2 && AskPlanSwitch(h->Number, &occupied, nullptr) && occupied) {
                SendError(1, Format("%d", h->Number));
                return 0;
            }
        }
    std::vector<std::pair<TEC_Switch1*, int>> turned;
    for (TEC_Switch1* h : halves) {
        if (ip == h->Position || h->Position == ip + 2) continue;
        if (!Send(Format("1 9 %d %u ", h->Number, p))) {
            // A turn the plan refuses is no success: a half already asked goes back (and counts as
            // moving until it lies again).
            for (auto& [t, old] : turned) {
                if (old < 2 && Send(Format("1 9 %d %d ", t->Number, old))) t->Position = old + 2;
                else t->Position = old;
            }
            return 0;
        }
        turned.emplace_back(h, h->Position);
        h->Position = ip + 2;
    }
    if (!turned.empty()) {
        Send("4 14 1");
        // A key-controlled switch leaving its position puts out that position's lamp.
        std::vector<int> off;
        for (size_t k = 0; k < halves.size(); ++k)
            for (auto& [t, old] : turned)
                if (t == halves[k] && wasIndividual[k] && old < 2) {
                    int lamp = t->LampBase() * 10 + old;
                    if (std::find(off.begin(), off.end(), lamp) == off.end()) off.push_back(lamp);
                }
        for (int lamp : off) Send(Format("4 16 %d 0", lamp));
        for (int base : lampBases()) Send(Format("4 16 %d 1", base * 10 + 2));
        return 1;
    }
    if (i == 0) return 1;
    for (int base : lampBases()) Send(Format("4 16 %d 1", base * 10 + sw->Position));
    return 1;
}

int TEC_Model::AuxTurning(unsigned n, unsigned held)
{
    TEC_Switch1* sw = AsSwitch(Vertexes.Find(static_cast<int>(n)));
    if (!sw) return 0;
    sw->AuxTurning = held != 0;
    // The sealed button of a pair serves both halves.
    if (!sw->Partner) return 1;
    if (sw->Partner->AuxBusy) return 1;
    TFlagScope busy(sw->AuxBusy);
    return Send(Format("2 18 %d %u", sw->Partner->Number, held));
}

int TEC_Model::SwitchInquiry(unsigned n, std::string& mes)
{
    TEC_Switch1* sw = AsSwitch(Vertexes.Find(static_cast<int>(n)));
    if (!sw) return 0;
    int occupied = 0, pos = 0, trailed = 0, lockMode = 0;
    if (!AskPlanSwitch(sw->Number, &occupied, &pos, &trailed, &lockMode)) return 0;
    if (sw->Section) sw->Section->CheckTime = SysTime();
    std::string reply = Format("Стрелка №%d", sw->Number);
    reply += occupied ? " занята, " : " свободна, ";
    if (trailed) {
        reply += "взрезана.";
    } else {
        if (lockMode == 2) reply += "заперта на закладки, ";
        reply += pos == 0 ? "установлена по + " : pos == 1 ? "установлена по - " : "переводится. ";
    }
    mes = reply;
    return 1;
}
