// Moving objects on the plan: creating them from the technology model's answers, laying them on
// sections, moving them with switch trailing and route checks, their events, the smallest safe
// step and the joining of two objects.
#include "models/plan/PlanObjects.h"

#include <algorithm>
#include <cmath>

#include "models/plan/PlanModel.h"
#include "models/base/BusWords.h"
#include "platform/core/CFormat.h"

namespace {

constexpr double kTiny = 0.00001;

// The two sections look the same to an axle: the same retarder (or none) and curvature.
bool Alike(const TRM_Section* a, const TRM_Section* b)
{
    return a && b && a->Breaker == b->Breaker && std::fabs(a->Curvature - b->Curvature) <= 0.0001;
}

// A technology value: the first list entry when there is one, else the reply read as a real.
double ReplyValue(const std::string& reply, const TlstParams& list)
{
    if (list.First()) return VarToDouble(list.First()->value.value);
    double v = 0;
    SScanf(reply.c_str(), "%lf", &v);
    return v;
}

} // namespace

// ---- TRM_Object ----

double TRM_ObjectOnSection::FreeAhead(int dir) const
{
    return dir == 0 ? Offset : Section->Length - Offset - Span;
}

double TRM_Object::Position(int dir) const
{
    auto run = Model->PlacementsOf(this);
    if (run.empty()) return -1;
    return Dir01(dir) == 0 ? run.front().FreeAhead(0) : run.back().FreeAhead(1);
}

TRM_Section* TRM_Object::EndSection(int dir) const
{
    auto run = Model->PlacementsOf(this);
    if (run.empty()) return nullptr;
    return Dir01(dir) == 0 ? run.front().Section : run.back().Section;
}

int TRM_Object::Move(double x, int dir, bool toTarget) { return Model->MoveObject(this, x, dir, toTarget); }

double TRM_Object::StepMin(int dir) { return Model->StepMin(this, dir); }

bool TRM_Object::GetRouteProp(double distance, const TlstParams* axles, double& grade, double& curve, double& breaker)
{
    return Model->GetRouteProp(this, distance, axles, grade, curve, breaker);
}

void TRM_Object::ChangeState(int code, const AnsiString& text)
{
    // A function may remove this object: only copies are used after it ran.
    TPlanModel* model = Model;
    int number = Number;
    TObjectsHold hold(model->Objects);
    if (code >= 0) {
        if (const TPlanFunction* f = model->EventFunctions.Find(static_cast<unsigned>(code))) {
            TPlanObjectContext ctx{static_cast<uint32_t>(number), model, &model->SectionFunctions};
            std::string out;
            RunPlanFunction(f, &ctx, nullptr, &out);
        }
    }
    model->ChangeState(Format("%d %3.3f %d %s", code, model->SysTime(), number, text.c_str()));
}

int TRM_Object::SendMessage(std::string& text, TlstParams* list) { return Model->SendMessageA(text, list); }

int TRM_Object::AskTecnParam()
{
    std::string mes = Format("%d %d %d 1003", static_cast<int>(brTecn), 4, Number);
    if (!Model->SendMessageA(mes)) return 0;
    int v = 0;
    SScanf(mes.c_str(), "%d", &v);
    return v;
}

// ---- the object list ----

TRM_Object* TaRM_Objects::Find(int number) const
{
    for (auto* n = First(); n; n = n->next)
        if (n->value.Number == number && !n->value.Removed) return &n->value;
    return nullptr;
}

void TaRM_Objects::Purge()
{
    for (auto* n = First(); n;) {
        auto* next = n->next;
        if (n->value.Removed) Remove(n);
        n = next;
    }
}

// ---- placements ----

std::vector<TRM_ObjectOnSection> TPlanModel::PlacementsOf(const TRM_Object* o) const
{
    std::vector<TRM_ObjectOnSection> run;
    for (auto* n = Placements.First(); n; n = n->next)
        if (n->value.Object == o) run.push_back(n->value);
    return run;
}

void TPlanModel::UpdateFree(TRM_Section* s)
{
    for (auto* n = Placements.First(); n; n = n->next)
        if (n->value.Section == s) {
            s->Free = 0;
            return;
        }
    s->Free = 1;
}

std::vector<TRM_ObjectOnSection> TPlanModel::TakePlacements(const TRM_Object* o)
{
    std::vector<TRM_ObjectOnSection> run;
    for (auto* n = Placements.First(); n;) {
        auto* next = n->next;
        if (n->value.Object == o) {
            run.push_back(n->value);
            Placements.Remove(n);
        }
        n = next;
    }
    for (auto& p : run) UpdateFree(p.Section);
    return run;
}

void TPlanModel::PutPlacements(const std::vector<TRM_ObjectOnSection>& run)
{
    for (auto& p : run) Placements.Append(p);
    for (auto& p : run) UpdateFree(p.Section);
}

TRM_Section* TPlanModel::NextSectionTrailing(TRM_Section* s, int dir, std::vector<int>& trailed)
{
    if (!s) return nullptr;
    TRM_Vertex* v = s->FarVertex(dir);
    if (!v) return nullptr;
    if (TRM_Section* n = v->NextSection(dir, s)) return n;
    if (v->Kind() != 1) return nullptr;
    auto* sw = static_cast<TRM_Switch*>(v);
    if (sw->State < 0 || sw->State > 3) return nullptr;
    int before = sw->State;
    sw->State = 1 - (before & 1);
    sw->Trailed = 1;
    TRM_Section* n = sw->NextSection(dir, s);
    if (!n) sw->State = before;
    trailed.push_back(sw->Number);
    return n;
}

void TPlanModel::ReportTrailed(const std::vector<int>& trailed)
{
    for (int sw : trailed) SendMessageA(Format("%d %d 1 %d", static_cast<int>(brInstructor), 4, sw).c_str());
}

int TPlanModel::AskTecn(const std::string& text, std::string& reply, TlstParams* list)
{
    reply = text;
    return SendMessageA(reply, list);
}

void TPlanModel::AskTarget(int number, int& T, int& N, int& M)
{
    T = N = M = 0;
    std::string reply;
    if (AskTecn(Format("%d %d %d 1012 1013 1005", static_cast<int>(brTecn), 4, number), reply))
        SScanf(reply.c_str(), "%d%d%d", &T, &N, &M);
}

TRM_Object* TPlanModel::FindOrCreateObject(int number)
{
    if (TRM_Object* o = FindObject(number)) return o;
    std::string reply;
    TlstParams list;
    if (!AskTecn(Format("%d %d %d 2018", static_cast<int>(brTecn), 4, number), reply, &list)) return nullptr;
    TRM_Object o(this, number);
    o.FullLength = ReplyValue(reply, list);
    list.Clear();
    if (AskTecn(Format("%d %d %d AXIS0001", static_cast<int>(brTecn), 4, number), reply, &list)) {
        o.FirstAxle = ReplyValue(reply, list);
        list.Clear();
        if (AskTecn(Format("%d %d %d AXISLAST", static_cast<int>(brTecn), 4, number), reply, &list))
            o.LastAxle = o.FullLength - ReplyValue(reply, list);
    }
    // The answers may have placed an object of this number meanwhile.
    if (TRM_Object* other = FindObject(number)) return other;
    o.Serial = ++Objects.Created;
    return &Objects.Append(o)->value;
}

bool TPlanModel::OverlapsOthers(const TRM_Object* o, const std::vector<TRM_ObjectOnSection>& run) const
{
    for (auto* n = Placements.First(); n; n = n->next) {
        const TRM_ObjectOnSection& q = n->value;
        if (q.Object == o) continue;
        for (const auto& r : run)
            if (r.Section == q.Section && r.Offset < q.Offset + q.Span - kPlanTolerance &&
                q.Offset < r.Offset + r.Span - kPlanTolerance)
                return true;
    }
    return false;
}

int TPlanModel::PlaceObject(TRM_Object* o, TRM_Section* s, double p, int dir, bool report, bool mayOverlap,
                            const std::vector<TRM_Section*>* passed)
{
    if (!o || o->Removed || !s) return 0;
    TObjectsHold hold(Objects);
    dir = Dir01(dir);
    const int back = 1 - dir;
    // A place outside the section would give a negative stretch.
    if (!(p >= 0) || p > s->Length + kTiny) return 0;

    // Lay the wheelbase from the end facing dir backward.
    std::vector<TRM_ObjectOnSection> laid;
    std::vector<int> trailed;
    bool fits = true;
    double rest = std::max(0.0, o->Length());
    TRM_Section* cur = s;
    double pos = std::min(p, s->Length);
    for (unsigned steps = 0;; ++steps) {
        double span = std::max(0.0, std::min(rest, cur->Length - pos));
        double offset = dir == 0 ? pos : cur->Length - pos - span;
        laid.push_back(TRM_ObjectOnSection{cur, o, std::max(0.0, offset), span});
        rest -= span;
        if (rest < kTiny) break;
        cur = steps <= Sections.Count() ? NextSectionTrailing(cur, back, trailed) : nullptr;
        if (!cur) {
            fits = false;
            break;
        }
        pos = 0;
    }
    if (dir != 0) std::reverse(laid.begin(), laid.end());
    if (fits && !mayOverlap && OverlapsOthers(o, laid)) fits = false;

    std::vector<TRM_ObjectOnSection> old;
    if (fits) {
        old = TakePlacements(o);
        PutPlacements(laid);
    }
    ReportTrailed(trailed);
    if (!fits) return 0;
    if (report && !old.empty() && !o->Removed) ReportChanges(o, old, laid, dir, passed);
    return 1;
}

void TPlanModel::RunSectionFunction(TRM_Object* o, TRM_Section* s, int fn)
{
    if (fn == 0) return;
    const TPlanFunction* f = SectionFunctions.Find(static_cast<unsigned>(fn));
    if (!f) return;
    TPlanObjectContext ctx{static_cast<uint32_t>(o->Number), this, &SectionFunctions};
    TPlanSectionContext sec{static_cast<uint32_t>(s->Number), s->Name};
    std::string out;
    RunPlanFunction(f, &ctx, &sec, &out);
}

void TPlanModel::ReportChanges(TRM_Object* o, const std::vector<TRM_ObjectOnSection>& oldRun,
                               const std::vector<TRM_ObjectOnSection>& newRun, int dir,
                               const std::vector<TRM_Section*>* passed)
{
    // Both runs front first for this direction of travel.
    std::vector<TRM_Section*> was, now;
    for (auto& p : oldRun) was.push_back(p.Section);
    for (auto& p : newRun) now.push_back(p.Section);
    if (dir != 0) {
        std::reverse(was.begin(), was.end());
        std::reverse(now.begin(), now.end());
    }
    const auto in = [](const std::vector<TRM_Section*>& run, const TRM_Section* s) {
        return std::find(run.begin(), run.end(), s) != run.end();
    };
    std::vector<TRM_Section*> entered, left;
    if (passed && !passed->empty()) {
        // Every section the leading end entered, in the order passed; left are all the old and
        // passed sections the new run no longer covers, rearmost first.
        for (TRM_Section* s : *passed)
            if (!in(was, s) && !in(entered, s)) entered.push_back(s);
        std::vector<TRM_Section*> way(was.rbegin(), was.rend());
        way.insert(way.end(), passed->begin(), passed->end());
        for (TRM_Section* s : way)
            if (!in(now, s) && !in(left, s)) left.push_back(s);
    } else {
        // Entered at the front: the new sections before the old front, raised in the order passed.
        for (TRM_Section* s : now) {
            if (s == was.front()) break;
            entered.push_back(s);
        }
        std::reverse(entered.begin(), entered.end());
        // Left at the rear: the old sections behind the new rear, rearmost first.
        for (auto it = was.rbegin(); it != was.rend() && *it != now.back(); ++it) left.push_back(*it);
    }

    for (TRM_Section* s : entered) {
        o->ChangeState(1, Format("%d", s->Number));
        if (o->Removed) return;
        RunSectionFunction(o, s, s->EntryFn);
        if (o->Removed) return;
    }
    for (TRM_Section* s : left) {
        o->ChangeState(2, Format("%d", s->Number));
        if (o->Removed) return;
        RunSectionFunction(o, s, s->ExitFn);
        if (o->Removed) return;
    }
}

int TPlanModel::StoreObject(int section, int number, double position, int dir)
{
    TObjectsHold hold(Objects);
    TRM_Object* o = FindOrCreateObject(number);
    if (!o) return 0;
    if (!PlaceObject(o, FindSection(section), position, dir, true, false)) return 0;
    SendMessageA(Format("%d %d %d 1029 %d", static_cast<int>(brTecn), 5, number, number).c_str());
    return 1;
}

void TPlanModel::RemoveObject(int number)
{
    if (TRM_Object* o = FindObject(number)) {
        TakePlacements(o);
        o->Removed = true;
        if (Objects.Holds == 0) Objects.Purge();
    }
    SendMessageA(Format("%d %d %d 1029 0", static_cast<int>(brTecn), 5, number).c_str());
}

void TPlanModel::StopObject(TRM_Object* o)
{
    int number = o->Number;
    SendMessageA(Format("%d %d %d 1003 0", static_cast<int>(brTecn), 5, number).c_str());
    if (o->Removed) return;
    o->ChangeState(15, "");
    // The error names the train or locomotive as the trainee knows it, not by its object number.
    std::string name = MoverName([this](std::string& m) { return SendMessageA(m); }, number);
    SendMessageA(Format("%d %d 22 %s", static_cast<int>(brInstructor), 4, name.c_str()).c_str());
}

bool TPlanModel::RouteCheck(TRM_Vertex* v, TRM_Section* s, int dir, int T, int N, int M)
{
    if (!v) return true;
    int kind = v->Kind();
    if (kind != 1 && kind != 2) return true;
    if (T == 0 || N == 0) return true;
    TRM_Section* next = v->NextSection(dir, s);
    // Past the signal it was ordered past: the rest of the object follows the front through the
    // section just beyond it, whatever vertex ends that section.
    TRM_Vertex* entry = s->FarVertex(1 - dir);
    if (T == 2 && entry && std::abs(N) == entry->Number) return true;
    if (kind == 2) {
        if (!next) return true;
        if (Passability(v, s, dir, M) > 1) return FindTarget(T, N, next, dir) != 0;
    }
    if (!next) return true;
    TRM_Section* reached = nullptr;
    TRM_Vertex* beyond = nullptr;
    if (GetRouteEnd(T, N, next, dir, M, reached, beyond)) return true;
    return FindTarget(T, N, next, dir) != 0;
}

int TPlanModel::MoveObject(TRM_Object* o, double x, int dir, bool toTarget)
{
    if (!o || o->Removed) return 0;
    TObjectsHold hold(Objects);
    dir = Dir01(dir);
    int T = 0, N = 0, M = 0;
    if (toTarget) AskTarget(o->Number, T, N, M);
    if (o->Removed) return 0;
    auto run = PlacementsOf(o);
    if (run.empty()) return 0;
    const TRM_ObjectOnSection& front = dir == 0 ? run.front() : run.back();
    TRM_Section* c = front.Section;
    double g = front.FreeAhead(dir);
    if (!IsTarget(T, N, c, dir) && !RouteCheck(c->FarVertex(dir), c, dir, T, N, M)) {
        StopObject(o);
        if (o->Removed) return 0;
    }
    // A long move may pass every section a few times on a loop, no more.
    const unsigned limit = 4 * Sections.Count() + 16;
    std::vector<TRM_Section*> passed;
    for (unsigned steps = 0; steps < limit; ++steps) {
        if (g - x >= 0) return PlaceObject(o, c, g - x, dir, true, true, &passed);
        TRM_Vertex* v = c->FarVertex(dir);
        if (v && v->Kind() == 1 && static_cast<TRM_Switch*>(v)->LockMode == 0)
            SendMessageA(Format("%d %d 23 %d", static_cast<int>(brInstructor), 4, v->Number).c_str());
        if (o->Removed) return 0;
        std::vector<int> trailed;
        TRM_Section* next = NextSectionTrailing(c, dir, trailed);
        ReportTrailed(trailed);
        if (o->Removed || !next) return 0;
        c = next;
        passed.push_back(c);
        const bool target = IsTarget(T, N, c, dir);
        // The permission past prohibiting signals ends at the target; past a signal (T 2), only
        // once the front has passed that signal too, or the signal would stop the object it
        // was given for.
        const TRM_Vertex* entry = c->FarVertex(1 - dir);
        const bool permissionEnds = T == 2 ? entry && entry->Kind() == 2 && entry->Number == std::abs(N) : target;
        if (permissionEnds && M > 1) {
            M -= 2;
            SendMessageA(Format("%d %d %d 1005 %d", static_cast<int>(brTecn), 5, o->Number, M).c_str());
        }
        if (o->Removed) return 0;
        if (!target && !RouteCheck(c->FarVertex(dir), c, dir, T, N, M)) StopObject(o);
        if (o->Removed) return 0;
        x -= g;
        g = c->Length;
    }
    return 0;
}

double TPlanModel::StepMin(TRM_Object* o, int dir)
{
    if (!o || o->Removed) return 0;
    TObjectsHold hold(Objects);
    dir = Dir01(dir);
    const int back = 1 - dir;
    auto run = PlacementsOf(o);
    if (run.empty()) return 0;
    const unsigned limit = Sections.Count() + 1;

    const TRM_ObjectOnSection q = dir == 0 ? run.front() : run.back();
    TRM_Section* s = q.Section;
    double w = q.FreeAhead(dir);
    const double E = o->EndOffset(dir);
    double m = 99999;
    // Offsets are counted from the object's end facing dir; f and r bound the stretch of alike
    // track under the axle being looked at.
    double f = E - w;
    double r = f + s->Length;
    if (w < kTiny) {
        if (TRM_Section* n = NextSection(s, dir)) {
            s = n;
            f -= s->Length;
            r = E;
        }
    }
    TRM_Section* s0 = s;
    for (unsigned i = 0; i < limit; ++i) {
        TRM_Section* n = NextSection(s, dir);
        if (!Alike(s, n)) break;
        s = n;
        if (s->EntryFn) break;
        f -= s->Length;
    }
    // The first stretch behind s0 that is not alike to it.
    auto backOver = [&](TRM_Section* from) {
        TRM_Section* t = from;
        for (unsigned i = 0; i < limit; ++i) {
            TRM_Section* p = NextSection(t, back);
            if (!Alike(t, p)) break;
            r += p->Length;
            t = p;
        }
        return NextSection(t, back);
    };
    TRM_Section* sb = backOver(s0);

    TlstParams axles;
    std::string reply;
    if (!AskTecn(Format("%d %d %d", static_cast<int>(brTecn), 15, o->Number), reply, &axles)) return 99999;
    if (o->Removed) return 0;
    std::vector<double> offsets;
    for (auto* n = axles.First(); n; n = n->next)
        if (AtolC(n->value.name.c_str()) < 0) offsets.push_back(VarToDouble(n->value.value));
    if (dir != 0) {
        // From the other end, counted from that end.
        std::reverse(offsets.begin(), offsets.end());
        for (double& v : offsets) v = o->FullLength - v;
    }
    for (double v : offsets) {
        for (unsigned i = 0; i < limit && r + 0.0001 < v && sb; ++i) {
            f = r;
            r = f + sb->Length;
            sb = backOver(sb);
        }
        if (v - f > 0.0001 && v - f < m) m = v - f;
    }

    // The rear end must not pass a section with an exit function unnoticed.
    const TRM_ObjectOnSection rq = dir == 0 ? run.back() : run.front();
    TRM_Section* rs = rq.Section;
    double p = dir == 0 ? rq.Offset + rq.Span : rs->Length - rq.Offset;
    for (unsigned i = 0; i < limit && p <= m && (rs->ExitFn == 0 || p <= kTiny); ++i) {
        TRM_Section* n = NextSection(rs, dir);
        if (!n) break;
        rs = n;
        p += rs->Length;
    }
    return std::min(m, p);
}

bool TPlanModel::GetRouteProp(TRM_Object* o, double x, const TlstParams* given, double& grade, double& curve,
                              double& breaker)
{
    grade = curve = breaker = 0;
    if (!o || o->Removed) return false;
    TObjectsHold hold(Objects);
    auto run = PlacementsOf(o);
    if (run.empty()) return false;
    const unsigned limit = Sections.Count() + 1;

    // The reference point x metres ahead of the first axle, as section and distance from its from-vertex.
    TRM_Section* s = run.front().Section;
    double pos = s->Length - run.front().Offset + x;
    for (unsigned i = 0; i < limit && pos > s->Length; ++i) {
        TRM_Section* n = NextSection(s, 0);
        if (!n) {
            pos = s->Length;
            break;
        }
        pos -= s->Length;
        s = n;
    }
    pos = std::min(pos, s->Length);

    TlstParams asked;
    const TlstParams* axles = given;
    if (!axles) {
        std::string reply;
        if (!AskTecn(Format("%d %d %d", static_cast<int>(brTecn), 15, o->Number), reply, &asked)) return true;
        if (o->Removed) return false;
        axles = &asked;
    }
    // Without the weight or the axle count the terms are not defined.
    double weight = 0;
    int count = 0;
    for (auto* n = axles->First(); n; n = n->next) {
        long name = AtolC(n->value.name.c_str());
        if (name == 2011) weight = VarToDouble(n->value.value);
        if (name == 1020) count = VarToInt(n->value.value);
    }
    if (weight == 0 || count == 0) return true;

    int bearing = 1;
    double load = 0, sum = 0, term = 0, curveSum = 0, breakerSum = 0;
    for (auto* n = axles->First(); n; n = n->next) {
        long name = AtolC(n->value.name.c_str());
        if (name == 1023) bearing = VarToInt(n->value.value);
        else if (name == 2014) {
            term += sum * load;
            load = VarToDouble(n->value.value);
            sum = 0;
        } else if (name < 0) {
            TRM_Section* a = s;
            double at = pos - (VarToDouble(n->value.value) - o->FirstAxle);
            for (unsigned i = 0; i < limit && at < 0; ++i) {
                TRM_Section* b = NextSection(a, 1);
                if (!b) {
                    at = 0;
                    break;
                }
                a = b;
                at += a->Length;
            }
            sum += GetWaySlope(a, at);
            curveSum += CurveResistance(a->Curvature, bearing);
            if (a->Breaker) breakerSum += a->Breaker->Value(load, weight);
        }
    }
    grade = (term + sum * load) / weight;
    curve = curveSum / count;
    breaker = breakerSum / count;
    return true;
}

int TPlanModel::ReStoreObject(int number, int dir)
{
    TObjectsHold hold(Objects);
    TRM_Object* o = FindObject(number);
    if (!o) return 0;
    dir = Dir01(dir);
    std::string end = Format("%d %d %d %d", static_cast<int>(brPlan), 12, number, dir);
    if (!GetObjectEnd(TBusWords(end), end)) return 0;
    int section = 0;
    char text[64] = {};
    SScanf(end.c_str(), "%d%63s", &section, text);
    double position = AtofC(text);

    const TRM_Object before = *o;
    std::string reply;
    TlstParams list;
    if (AskTecn(Format("%d %d %d 2018", static_cast<int>(brTecn), 4, number), reply, &list))
        o->FullLength = ReplyValue(reply, list);
    list.Clear();
    if (AskTecn(Format("%d %d %d AXIS0001", static_cast<int>(brTecn), 4, number), reply, &list)) {
        o->FirstAxle = ReplyValue(reply, list);
        list.Clear();
        if (AskTecn(Format("%d %d %d AXISLAST", static_cast<int>(brTecn), 4, number), reply, &list))
            o->LastAxle = o->FullLength - ReplyValue(reply, list);
    }
    if (o->Removed) return 0;
    // Laid afresh without events; when it no longer fits, it stays as it was.
    auto old = TakePlacements(o);
    if (!PlaceObject(o, FindSection(section), position, dir, false)) {
        o->FullLength = before.FullLength;
        o->FirstAxle = before.FirstAxle;
        o->LastAxle = before.LastAxle;
        if (!o->Removed && PlacementsOf(o).empty()) PutPlacements(old);
        return 0;
    }
    // Once as the placing request itself reports it, once for the re-store.
    SendMessageA(Format("%d %d %d 1029 %d", static_cast<int>(brTecn), 5, number, number).c_str());
    if (o->Removed) return 0;
    SendMessageA(Format("%d %d %d 1029 %d", static_cast<int>(brTecn), 5, number, number).c_str());
    return 1;
}

int TPlanModel::EnumObjects(int a, int b)
{
    TRM_Object* oa = FindObject(a);
    TRM_Object* ob = FindObject(b);
    if (!oa || !ob || oa == ob) return 0;
    double d = Distance(oa, ob);
    bool aFirst = true;
    if (d < 0) {
        d = Distance(ob, oa);
        aFirst = false;
    }
    if (d < 0 || d > 1) return 0;
    // The joined run keeps list order: the object nearer direction 0 first.
    auto ra = TakePlacements(oa);
    auto rb = TakePlacements(ob);
    const auto& first = aFirst ? ra : rb;
    const auto& second = aFirst ? rb : ra;
    std::vector<TRM_ObjectOnSection> joined;
    for (auto p : first) {
        p.Object = oa;
        joined.push_back(p);
    }
    for (auto p : second) {
        auto same = std::find_if(joined.begin(), joined.end(),
                                 [&](const TRM_ObjectOnSection& j) { return j.Section == p.Section; });
        if (same != joined.end()) {
            same->Span += p.Span;
            same->Offset = std::min(same->Offset, p.Offset);
            continue;
        }
        p.Object = oa;
        joined.push_back(p);
    }
    PutPlacements(joined);
    return 1;
}
