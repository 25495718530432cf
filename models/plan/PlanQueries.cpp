// The plan's answers about routes and objects on bus receiver 1: the free route ahead, targets
// and route ends, the nearest object and the distance between objects, the objects on a section,
// parks and ways, random placing in a park, route properties and the height-profile file.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "models/plan/PlanModel.h"
#include "models/base/BusWords.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Paths.h"

namespace {

// The longest file name op 32 accepts.
constexpr size_t kMaxFileName = 255;

bool IsAbsolutePath(const std::string& name)
{
    if (name.empty()) return false;
    if (name[0] == '/' || name[0] == '\\') return true;
    return name.size() >= 2 && name[1] == ':';
}

} // namespace

// ---- targets and routes ----

bool TPlanModel::IsTarget(int T, int N, const TRM_Section* c, int dir) const
{
    if (!c) return false;
    dir = Dir01(dir);
    switch (T) {
    case 1:
    case 2: {
        // Up to a signal (1) or past it (2), whichever way it faces: a route's end signal faces
        // the mover, the signal of its own route faces away from it. Passing a signal that
        // faces the mover's way still needs it open (GetRoute).
        const TRM_Vertex* v = c->FarVertex(dir);
        return v && v->Kind() == 2 && v->Number == N;
    }
    case 3: return c->Number == N;
    case 4: {
        const TRM_Park* p = FindPark(N);
        if (!p) return false;
        for (auto* n = p->Sections.First(); n; n = n->next)
            if (n->value == c) return true;
        return false;
    }
    default: return false;
    }
}

int TPlanModel::FindTarget(int T, int N, TRM_Section* c, int dir)
{
    if (!c) return 0;
    dir = Dir01(dir);
    for (unsigned int i = 0; i < Vertexes.Count(); ++i) Vertexes.Get(i)->ClearMark();
    if ((T == 3 || T == 4) && IsTarget(T, N, c, dir)) return 1;
    return SearchTarget(c->FarVertex(dir), c, T, N, dir, 0) ? 1 : 0;
}

bool TPlanModel::SearchTarget(TRM_Vertex* v, const TRM_Section* s, int T, int N, int dir, unsigned depth)
{
    // Every branch ends at a dead end or a switch seen before; the depth bound is for plans
    // with a loop of joints only.
    if (!v || depth > Sections.Count() + 1) return false;
    const bool bySection = T == 3 || T == 4;
    auto sectionMatches = [&](const TRM_Section* n) { return bySection && IsTarget(T, N, n, dir); };
    int kind = v->Kind();
    if (kind == 1) {
        if (v->Mark) return false;
        v->SetMark();
        auto* sw = static_cast<TRM_Switch*>(v);
        if ((T == 1 || T == 2) && v->Number == N) return true;
        int side = dir == 0 ? TRM_Switch::ForwardPos0 : TRM_Switch::BackwardPos0;
        TRM_Section* b0 = sw->Ends[side];
        TRM_Section* b1 = sw->Ends[side + 1];
        if ((b0 && sectionMatches(b0)) || (b1 && sectionMatches(b1))) return true;
        if (b0 && SearchTarget(b0->FarVertex(dir), b0, T, N, dir, depth + 1)) return true;
        return b1 && SearchTarget(b1->FarVertex(dir), b1, T, N, dir, depth + 1);
    }
    if (kind == 0) return false;
    if ((T == 1 || T == 2) && v->Number == N) return true;
    TRM_Section* next = v->NextSection(dir, s);
    if (!next) return false;
    if (sectionMatches(next)) return true;
    return SearchTarget(next->FarVertex(dir), next, T, N, dir, depth + 1);
}

int TPlanModel::Passability(TRM_Vertex* v, const TRM_Section* s, int dir, int M)
{
    if (!v) return 3;
    dir = Dir01(dir);
    if (!v->NextSection(dir, s)) return 3;
    if (v->Kind() != 2 || !static_cast<TRM_Signal*>(v)->Faces(dir)) return 4;
    if (M == 2) return 0;
    std::string mes = Format("%d %d %d %d", static_cast<int>(brEC), 6, v->Number, M);
    if (!SendMessageA(mes)) return 3;
    int l = 3;
    SScanf(mes.c_str(), "%d", &l);
    return l == 4 ? 1 : l;
}

int TPlanModel::GetRouteEnd(int T, int N, TRM_Section* c, int dir, int mode, TRM_Section*& reached,
                            TRM_Vertex*& beyond)
{
    reached = c;
    beyond = nullptr;
    if (!c) return 0;
    dir = Dir01(dir);
    for (unsigned i = 0; i <= Sections.Count(); ++i) {
        reached = c;
        beyond = c->FarVertex(dir);
        if (IsTarget(T, N, c, dir)) return 1;
        if (beyond && beyond->Kind() == 2 && static_cast<TRM_Signal*>(beyond)->Faces(dir)) {
            // The signal's state as the interlocking sees it; an unknown signal stops the walk.
            std::string mes = Format("%d %d %d %d", static_cast<int>(brEC), 6, beyond->Number, mode);
            int state = 3;
            if (SendMessageA(mes)) SScanf(mes.c_str(), "%d", &state);
            if (state > 1) return 0;
        }
        TRM_Section* next = beyond ? beyond->NextSection(dir, c) : nullptr;
        if (!next) return 0;
        c = next;
    }
    return 0;
}

bool TPlanModel::Nearest(const TRM_Object* o, int dir, int& other, double& gap) const
{
    other = 0;
    gap = 0;
    if (!o) return false;
    dir = Dir01(dir);
    const int back = 1 - dir;
    auto run = PlacementsOf(o);
    if (run.empty()) return false;
    const TRM_ObjectOnSection& front = dir == 0 ? run.front() : run.back();
    TRM_Section* c = front.Section;
    // Distance from o's end to the start (in dir) of section c: negative on o's own section.
    double before = front.FreeAhead(dir) - c->Length;
    for (unsigned i = 0; c && i <= Sections.Count(); ++i) {
        bool found = false;
        for (auto* n = Placements.First(); n; n = n->next) {
            const TRM_ObjectOnSection& p = n->value;
            if (p.Section != c || p.Object == o) continue;
            double g = before + p.FreeAhead(back);
            // Behind o's end (on o's own section) is not ahead.
            if (g < -kPlanTolerance) continue;
            if (!found || g < gap) {
                gap = std::max(0.0, g);
                other = p.Object->Number;
                found = true;
            }
        }
        if (found) return true;
        before += c->Length;
        c = NextSection(c, dir);
    }
    return false;
}

double TPlanModel::Distance(const TRM_Object* a, const TRM_Object* b) const
{
    if (!a || !b || a == b) return -1;
    if (PlacementsOf(b).empty()) return -1;
    int other = 0;
    double gap = 0;
    if (!Nearest(a, 1, other, gap) || other != b->Number) return -1;
    return std::max(0.0, gap - a->EndOffset(1) - b->EndOffset(0));
}

// ---- bus handlers ----
// The fields of a request follow the receiver (word 0) and the command (word 1).

int TPlanModel::StoreOBJ(const TBusWords& w)
{
    return StoreObject(w.Int(2), w.Int(3), AtofC(w.Word(4)), w.Int(5));
}

int TPlanModel::RemoveOBJ(const TBusWords& w)
{
    RemoveObject(w.Int(2));
    return 1;
}

int TPlanModel::MoveOBJ(const TBusWords& w)
{
    TRM_Object* o = FindObject(w.Int(2));
    return o ? MoveObject(o, w.Double(3), w.Int(4)) : 0;
}

int TPlanModel::GetRoute(const TBusWords& w, std::string& mes)
{
    const int number = w.Int(2);
    const int dir = Dir01(w.Int(3));
    const int back = 1 - dir;
    TRM_Object* o = FindObject(number);
    if (!o) return 0;
    std::string ask;
    if (!AskTecn(Format("%d %d %d 1012 1013 1005", static_cast<int>(brTecn), 4, number), ask)) return 0;
    int T = 0, N = 0, M = 0;
    SScanf(ask.c_str(), "%d%d%d", &T, &N, &M);
    if (o->Removed) return 0;
    auto run = PlacementsOf(o);
    if (run.empty()) return 0;
    const TRM_ObjectOnSection& front = dir == 0 ? run.front() : run.back();
    const TRM_ObjectOnSection& rear = dir == 0 ? run.back() : run.front();
    const double s = o->Length();
    int l = 4;
    int v = 0;
    double d = 0;
    TRM_Section* cur = nullptr;
    bool checking = true;
    if (T == 2) {
        TRM_Vertex* behind = rear.Section->FarVertex(back);
        double freeBehind = rear.FreeAhead(back);
        if (behind && behind->Number == N) {
            mes = Format("%3.3f %d %d", std::max(0.0, 0.5 - freeBehind), 4, 0);
            return 1;
        }
        cur = rear.Section;
        d = cur->Length - freeBehind - 0.5;
        checking = false;
    } else {
        cur = front.Section;
        d = front.FreeAhead(dir) - 0.5;
    }
    // The walk looks on past every signal the object may pass, in every mode, so that a mover
    // sees the first one it may not pass in time to brake for it.
    const auto stops = [](int pass) { return pass == 3 || pass == 2; };
    for (unsigned i = 0; i <= Sections.Count(); ++i) {
        if (IsTarget(T, N, cur, dir)) {
            // The walk ends at the target itself, whatever the last signal passed showed: a
            // mover must stop there and not run on through a closed signal just beyond it.
            l = 4;
            if (T == 2) {
                // The whole object must get past the signal.
                d += 1;
                double remainder = s + 0.5;
                TRM_Section* c2 = cur;
                // A signal the object's front has passed already (it closes behind the front)
                // does not hold the rest of the object back.
                bool ahead = checking;
                for (unsigned k = 0; k <= Sections.Count(); ++k) {
                    TRM_Vertex* vx = c2->FarVertex(dir);
                    if (c2 == front.Section) ahead = true;
                    int pass = ahead ? Passability(vx, c2, dir, M) : 4;
                    if (stops(pass)) {
                        l = pass;
                        v = vx ? vx->Number : 0;
                        d -= remainder;
                        break;
                    }
                    c2 = vx->NextSection(dir, c2);
                    remainder -= c2->Length;
                    if (remainder < 0) {
                        l = 4;
                        v = 0;
                        break;
                    }
                }
            }
            break;
        }
        TRM_Vertex* vx = cur->FarVertex(dir);
        if (cur == front.Section) checking = true;
        if (checking) {
            l = Passability(vx, cur, dir, M);
            if (stops(l)) {
                v = vx ? vx->Number : 0;
                if (T == 2) d -= s;
                break;
            }
        }
        TRM_Section* next = vx ? vx->NextSection(dir, cur) : nullptr;
        if (!next) break;
        cur = next;
        d += cur->Length;
    }
    mes = Format("%3.3f %d %d", std::max(0.0, d), l, v);
    return 1;
}

int TPlanModel::GetNearest(const TBusWords& w, std::string& mes)
{
    int other = 0;
    double gap = 0;
    if (!Nearest(FindObject(w.Int(2)), w.Int(3), other, gap)) return 0;
    mes = Format("%d %3.3f", other, gap);
    return 1;
}

int TPlanModel::GetObjectEnd(const TBusWords& w, std::string& mes)
{
    TRM_Object* o = FindObject(w.Int(2));
    if (!o) return 0;
    const int dir = Dir01(w.Int(3, 1));
    auto run = PlacementsOf(o);
    if (run.empty()) return 0;
    const TRM_ObjectOnSection& end = dir == 0 ? run.front() : run.back();
    mes = Format("%d %3.3f %s", end.Section->Number, end.FreeAhead(dir), end.Section->Name.c_str());
    return 1;
}

int TPlanModel::GetSectionObjects(const TBusWords& w, std::string& mes)
{
    const int kinds[4] = {w.Int(3), w.Int(4), w.Int(5), w.Int(6)};
    TRM_Section* s = FindSection(static_cast<int>(w.UInt(2)));
    if (!s) return 0;
    std::vector<int> found;
    for (auto* n = Placements.First(); n; n = n->next)
        if (n->value.Section == s) found.push_back(n->value.Object->Number);
    // Objects coupled to those found, asked from the last one backward.
    for (size_t i = found.size(); i-- > 0;) {
        std::string ask;
        if (!AskTecn(Format("%d %d %d 1006", static_cast<int>(brTecn), 4, found[i]), ask)) break;
        int coupled = 0;
        SScanf(ask.c_str(), "%d", &coupled);
        if (coupled != 0) found.push_back(coupled);
    }
    if (kinds[0] != 0 && kinds[0] != 9999) {
        std::vector<int> kept;
        for (int number : found) {
            std::string ask;
            if (!AskTecn(Format("%d %d %d 1001", static_cast<int>(brTecn), 4, number), ask)) continue;
            int kind = 0;
            SScanf(ask.c_str(), "%d", &kind);
            if (kind != 0 && std::find(std::begin(kinds), std::end(kinds), kind) != std::end(kinds))
                kept.push_back(number);
        }
        found.swap(kept);
    }
    if (found.empty()) return 0;
    std::string reply;
    for (int number : found) reply += Format("%d ", number);
    mes = reply;
    return 1;
}

int TPlanModel::GetDistance(const TBusWords& w, std::string& mes)
{
    double d = Distance(FindObject(w.Int(2)), FindObject(w.Int(3)));
    if (d < 0) {
        mes = "99999";
        return 0;
    }
    mes = Format("%3.3f", d);
    return 1;
}

int TPlanModel::GetWay(const TBusWords& w, std::string& mes)
{
    TRM_Object* o = FindObject(w.Int(2));
    if (!o) return 0;
    for (auto& p : PlacementsOf(o))
        if (!p.Section->Name.empty()) {
            mes = Format(" %s", p.Section->Name.c_str());
            return 1;
        }
    mes = " 0";
    return 0;
}

int TPlanModel::FindTarget(int T, const TBusWords& w, std::string& mes)
{
    TRM_Section* s = FindSection(w.Int(3));
    if (!s) return 0;
    int found = FindTarget(T, w.Int(2), s, w.Int(4));
    mes = Format("%d", found);
    return found;
}

int TPlanModel::GetRouteEnd(const TBusWords& w, std::string& mes)
{
    // Words 2 to 6: target type and number, section, direction, movement mode; the object that
    // may follow them does not change the walk.
    TRM_Section* s = FindSection(w.Int(4));
    if (!s) return 0;
    TRM_Section* reached = nullptr;
    TRM_Vertex* beyond = nullptr;
    int hit = GetRouteEnd(w.Int(2), w.Int(3), s, w.Int(5), w.Int(6), reached, beyond);
    // The fourth field is not used by any reader; it is always 0.
    mes = Format("%d %d %d %d", reached->Number, beyond ? beyond->Number : 0, hit, 0);
    return 1;
}

int TPlanModel::RandomSet(const TBusWords& w, std::string& mes)
{
    const int number = w.Int(3), dir = w.Int(5);
    const float position = w.Float(4);
    const int excluded[5] = {w.Int(6), w.Int(7), w.Int(8), w.Int(9), w.Int(10)};
    TRM_Park* p = FindPark(w.Int(2));
    std::vector<TRM_Section*> sections;
    if (p)
        for (auto* n = p->Sections.First(); n; n = n->next) sections.push_back(n->value);
    auto usable = [&](const TRM_Section* s) {
        return s->Free && std::find(std::begin(excluded), std::end(excluded), s->Number) == std::end(excluded);
    };
    TRM_Section* chosen = nullptr;
    if (!sections.empty()) {
        int pick = Random ? Random() : std::rand();
        TRM_Section* s = sections[static_cast<unsigned>(std::abs(pick)) % sections.size()];
        if (usable(s)) chosen = s;
        for (size_t i = 0; !chosen && i < sections.size(); ++i)
            if (usable(sections[i])) chosen = sections[i];
    }
    if (!chosen) {
        mes = " 0";
        return 0;
    }
    // Placed as op 6 would place it: the position rounded as the text gives it.
    const TBusWords store(Format("%d %d %d %d %3.3f %d", static_cast<int>(brPlan), 6, chosen->Number, number,
                                 static_cast<double>(position), dir));
    if (!StoreOBJ(store)) {
        mes = " 0";
        return 0;
    }
    mes = Format(" %d", chosen->Number);
    return 1;
}

int TPlanModel::GetPark(const TBusWords& w, std::string& mes)
{
    TRM_Object* o = FindObject(w.Int(2));
    if (!o) return 0;
    for (auto& p : PlacementsOf(o))
        if (TRM_Park* park = ParkOfSection(p.Section)) {
            mes = Format(" %d %s", park->Number, park->Name.c_str());
            return 1;
        }
    mes = " 0";
    return 0;
}

int TPlanModel::StepMin(const TBusWords& w, std::string& mes)
{
    TRM_Object* o = FindObject(w.Int(2));
    if (!o) return 0;
    mes = Format("%3.3f", StepMin(o, w.Int(3)));
    return 1;
}

int TPlanModel::GetRouteProp(const TBusWords& w, std::string& mes)
{
    TRM_Object* o = FindObject(w.Int(2));
    if (!o) return 0;
    double grade = 0, curve = 0, breaker = 0;
    GetRouteProp(o, w.Double(3), nullptr, grade, curve, breaker);
    mes = Format("%f %f %f", grade, curve, breaker);
    return 1;
}

int TPlanModel::CreateHmpFile(const TBusWords& w)
{
    const unsigned from = w.UInt(2), to = w.UInt(3);
    const int dir = Dir01(w.Int(4));
    const std::string name = w.Word(5);
    // Only a plain name below the program's folder is written.
    if (name.empty() || name.size() > kMaxFileName || IsAbsolutePath(name)) return 0;
    TRM_Vertex* v = FindVertex(static_cast<int>(from));
    std::FILE* f = OpenFile(name, "w");
    if (!f) return 0;
    auto isFracture = [](const TRM_Vertex* x) { return x && x->Kind() == 11; };
    std::vector<const TRM_Section*> written;
    const TRM_Section* prev = nullptr;
    TRM_Section* s = v ? v->NextSection(dir, nullptr) : nullptr;
    // A loop in the plan ends at the first section written twice.
    while (s && std::find(written.begin(), written.end(), s) == written.end()) {
        std::string line = Format("%3.3f\t%d", s->Length, static_cast<int>(std::lround(s->Curvature)));
        if (!s->Name.empty() && s->Name[0] == '$') line += "\t" + s->Name.substr(1);
        else if (s->Breaker && s->Breaker->Properties())
            line += Format("\t%s%d", s->Breaker->Properties()->Name.c_str(), s->Breaker->Index);
        const TRM_Vertex* entry = s->FarVertex(1 - dir);
        const TRM_Vertex* prevEntry = prev ? prev->FarVertex(1 - dir) : nullptr;
        if (isFracture(entry))
            line += Format("\t%3.3f\t#", static_cast<const TRM_Fracture*>(entry)->Grade * 1000);
        else if (isFracture(prevEntry) && static_cast<const TRM_Fracture*>(prevEntry)->Radius > 100)
            line += Format("\t%3.3f\t#", static_cast<const TRM_Fracture*>(prevEntry)->Radius);
        line += "\n";
        std::string out = Utf8ToCp1251(line);
        std::fwrite(out.data(), 1, out.size(), f);
        written.push_back(s);
        TRM_Vertex* beyond = s->FarVertex(dir);
        if (!beyond || beyond->Number == static_cast<int>(to)) break;
        prev = s;
        s = beyond->NextSection(dir, s);
    }
    std::fclose(f);
    return 1;
}

int TPlanModel::ReStoreOBJ(const TBusWords& w)
{
    // Its senders give the object and the direction.
    return ReStoreObject(w.Int(2), w.Int(3));
}

int TPlanModel::EnumObjects(const TBusWords& w) { return EnumObjects(w.Int(2), w.Int(3)); }
