// Plan geometry: the coordinates the data left open, the height profile with its vertical curves
// at the grade fractures, the grade at a point of a section and the curve resistance.
#include <unordered_set>

#include "models/plan/PlanModel.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"

namespace {

const char* const kCoordinatesError = "Ошибка рассчета координат";

// T and c0..c2 of a fracture between the grades g1 before it and g2 after it: two legs of
// 100 m around the fracture with its radius; the curve is the second interval of that profile
// (from the first tangent point to the second). Equal grades make no curve.
void ComputeFractureCurve(TRM_Fracture& f, double g1, double g2)
{
    f.T = 0;
    f.c0 = f.c1 = f.c2 = 0;
    const double slopes[2] = {g1, g2};
    const double lengths[2] = {100, 100};
    const double radii[2] = {f.Radius, f.Radius};
    if (ComputeVerticalCurve(slopes, lengths, radii, 2) == 0) return;
    double t = 0, arc = 0;
    GetCurveTangent(0, &t, &arc);
    if (!(t > 0)) return;
    f.T = t;
    GetCurvePoint(2, &f.c0, &f.c1, &f.c2);
}

} // namespace

AnsiString TProfileElem::Dump() const
{
    auto radius = [](const TRM_Vertex* v) {
        return v && v->Kind() == 11 ? static_cast<const TRM_Fracture*>(v)->Radius : 0.0;
    };
    return Format("%u %u %3.3f %3.3f %3.3f %3.3f", Start ? static_cast<unsigned>(Start->Number) : 0u,
                  End ? static_cast<unsigned>(End->Number) : 0u, Grade(), Length, radius(Start), radius(End));
}

// ---- coordinates ----

void TPlanModel::ComputeCoordinates()
{
    for (unsigned int i = 0; i < Vertexes.Count(); ++i) {
        const TRM_Vertex* v = Vertexes.Get(i);
        if ((v->Kind() == 1 || v->Kind() == 3) && !(v->X < kUnsetValue)) return;
    }
    for (unsigned int i = 0; i < Vertexes.Count(); ++i) Vertexes.Get(i)->ClearMark();

    // From vertex a along section s until a vertex with a known X; the vertices on the way get
    // X and Y in proportion to their distance along the chain.
    auto walk = [this](const TRM_Vertex* a, TRM_Section* s) {
        struct Point {
            TRM_Vertex* v;
            double d;
        };
        std::vector<Point> chain;
        std::unordered_set<const TRM_Vertex*> seen;
        double d = s->Length;
        TRM_Vertex* v = s->To;
        while (!(v->X < kUnsetValue)) {
            if (!seen.insert(v).second)
                RaiseError(Format("%s, строка %d: %s: вершины без координат замкнуты в кольцо (вершина %d)",
                                  DataFileName().c_str(), v->RecordLine, kCoordinatesError, v->Number));
            chain.push_back({v, d});
            TRM_Section* next = v->NextSection(0, s);
            if (!next) RaiseError(kCoordinatesError);
            d += next->Length;
            s = next;
            v = next->To;
        }
        const TRM_Vertex* b = v;
        for (const Point& p : chain) {
            double k = d != 0 ? p.d / d : 0.0;
            p.v->X = a->X + k * (b->X - a->X);
            p.v->Y = a->Y + k * (b->Y - a->Y);
            p.v->Name.clear();
        }
    };

    for (;;) {
        TRM_Vertex* a = nullptr;
        for (unsigned int i = 0; i < Vertexes.Count(); ++i) {
            TRM_Vertex* v = Vertexes.Get(i);
            if (!v->Mark && v->X < kUnsetValue - 1 && (!a || v->X < a->X)) a = v;
        }
        if (!a) break;
        a->SetMark();
        if (a->Kind() == 1) {
            auto* sw = static_cast<TRM_Switch*>(a);
            for (int e : {TRM_Switch::ForwardPos0, TRM_Switch::ForwardPos1})
                if (sw->Ends[e]) walk(a, sw->Ends[e]);
        } else if (auto* j = dynamic_cast<TRM_Joint*>(a)) {
            if (j->Leaving) walk(a, j->Leaving);
        }
    }
}

// ---- profile ----

TProfileElem* TPlanModel::NewProfileElem(const double* grade, TRM_Vertex* start)
{
    TProfileElem e;
    e.GradeOf = grade;
    e.Start = start;
    return &Profile.Append(e)->value;
}

bool TPlanModel::ProfileAssign(TRM_Section* s, TProfileElem* e)
{
    // A section already laid in this walk closes a loop: the walk stops there.
    if (!profileVisited.insert(s).second) return false;
    s->Element = e;
    s->StartPos = e->Length;
    e->Length += s->Length;
    return true;
}

void TRM_Vertex::CarryProfile(TProfileElem* e) { e->End = this; }

void TRM_Joint::CarryProfile(TProfileElem* e)
{
    if (Leaving && Model->ProfileAssign(Leaving, e)) Leaving->To->CarryProfile(e);
    else e->End = this;
}

void TRM_Fracture::CarryProfile(TProfileElem* e) { e->End = this; }

void TRM_Switch::CarryProfile(TProfileElem* e)
{
    e->End = this;
    for (int pos : {ForwardPos0, ForwardPos1}) {
        TRM_Section* branch = Ends[pos];
        if (!branch || Model->ProfileVisited(branch)) continue;
        TProfileElem* next = Model->NewProfileElem(e->GradeOf, this);
        Model->ProfileAssign(branch, next);
        branch->To->CarryProfile(next);
    }
}

void TPlanModel::BuildProfile()
{
    Profile.Clear();
    for (unsigned int i = 0; i < Sections.Count(); ++i) {
        Sections.Get(i)->Element = nullptr;
        Sections.Get(i)->StartPos = 0;
    }
    for (unsigned int i = 0; i < Vertexes.Count(); ++i) Vertexes.Get(i)->ClearMark();
    for (;;) {
        TRM_Fracture* f = nullptr;
        for (unsigned int i = 0; i < Vertexes.Count() && !f; ++i) {
            TRM_Vertex* v = Vertexes.Get(i);
            if (v->Kind() == 11 && !v->Mark && static_cast<TRM_Fracture*>(v)->Grade <= kUnsetValue - 1)
                f = static_cast<TRM_Fracture*>(v);
        }
        if (!f) break;
        f->SetMark();
        // Each fracture lays its own run; a section reached again from a later fracture takes
        // the later one's element.
        profileVisited.clear();
        TProfileElem* e = NewProfileElem(&f->Grade, f);
        if (f->Leaving && ProfileAssign(f->Leaving, e)) f->Leaving->To->CarryProfile(e);
    }
    profileVisited.clear();
    ComputeVerticalCurves();
}

void TPlanModel::ComputeVerticalCurves()
{
    for (unsigned int i = 0; i < Vertexes.Count(); ++i) {
        if (Vertexes.Get(i)->Kind() != 11) continue;
        auto* f = static_cast<TRM_Fracture*>(Vertexes.Get(i));
        f->T = 0;
        f->c0 = f->c1 = f->c2 = 0;
        if (!f->Arriving || !f->Leaving) continue;
        ComputeFractureCurve(*f, f->Arriving->Grade(), f->Leaving->Grade());
    }
}

// ---- section physics ----

double TPlanModel::GetWaySlope(const TRM_Section* s, double x) const
{
    const TProfileElem* e = s->Element;
    if (!e) return 0;
    double g = e->Grade();
    if (x < 0 || x > s->Length) return g * 1000;
    auto fracture = [](const TRM_Vertex* v) {
        return v && v->Kind() == 11 ? static_cast<const TRM_Fracture*>(v) : nullptr;
    };
    const TRM_Fracture* start = fracture(e->Start);
    const TRM_Fracture* end = fracture(e->End);
    double a = x + s->StartPos;
    double ts = start ? start->T : 0.0;
    double te = end ? end->T : 0.0;
    double f = e->Length;
    if (a < ts) return start->CurveGrade(a + ts);
    if (a <= f - te) return g * 1000;
    return end->CurveGrade(a + te - f);
}

double TPlanModel::CurveResistance(double v, int kind)
{
    if (kind < 0 || kind > 1) RaiseError("Неизвестный тип подшипников");
    if (v < 1e-8) return 0;
    static const double radiusFactor[2] = {29.793805, 13.178029};
    if (v > 120) return radiusFactor[kind] / v;
    struct Frog {
        int n;
        double value[2];
    };
    static const Frog frogs[] = {
        {1, {0.06930704, 0.06930704}},
        {6, {0.1724844, 0.09412713}},
        {9, {0.126125, 0.073622}},
        {11, {0.109112, 0.06609701}},
    };
    int n = static_cast<int>(v + 0.9);
    for (const Frog& fr : frogs)
        if (fr.n == n) return fr.value[kind];
    return 0;
}
