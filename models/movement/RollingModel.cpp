// The hump rolling model: pushing a train to its break point, splitting the front cut off and
// rolling each cut down through the retarders.
#include "models/movement/RollingModel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "models/plan/PlanModel.h"
#include "platform/core/CFormat.h"
#include "platform/core/Paths.h"

namespace {

// Below this a distance run counts as a multiple of the report distance.
constexpr double kOnMultiple = 0.00000000001;
// The speed a standing cut starts with.
constexpr double kStartSpeed = 0.0001;
// Precision of the break-point search, m.
constexpr double kBreakPrecision = 0.0001;
// Precision of the point where a stopping cut's speed reaches zero: m over a distance step, s
// over a time step.
constexpr double kStopPrecision = 0.00001;
// Bodies closer than this touch, m.
constexpr double kTouch = 0.0001;
// Sub-steps a rolling step makes at most before it takes the rest of the clock step at once (a
// tiny report distance must not stall the clock).
constexpr int kMaxSubSteps = 2000;
// A pushed train this close to a cut that stands ahead of it cannot be pushed on (m).
constexpr double kBlocked = 0.001;

const double kDefaultReport = 1;
const double kDefaultLimit = 99999;
const double kDefaultCoupling = 1.5;

// The value of the first entry of this name read as a double; false when absent or empty text.
bool ListDouble(const TlstParams* list, const char* name, double& out)
{
    if (!list) return false;
    for (auto* n = list->First(); n; n = n->next) {
        if (n->value.name != name) continue;
        if (VarIsText(n->value.value) && VarToStr(n->value.value).empty()) return false;
        out = VarToDouble(n->value.value);
        return true;
    }
    return false;
}

// Step 1 of filling a record: the object's parameters from a list.
void CopyFromList(TRollingParam& r, const TlstParams* list)
{
    ListDouble(list, "2002", r.v);
    ListDouble(list, "2009", r.k);
    ListDouble(list, "2010", r.length);
    ListDouble(list, "2011", r.mass);
    ListDouble(list, "2013", r.r0);
    ListDouble(list, "2015", r.s);
    ListDouble(list, "2016", r.t);
    ListDouble(list, "2017", r.breakDist);
}

// The next multiple of P after s (truncation toward zero, as for the report).
double NextMultiple(double s, double P) { return (std::trunc(s / P) + 1) * P; }

bool OnMultiple(double s, double P) { return std::fabs(std::trunc(s / P) * P - s) < kOnMultiple; }

int Send(TRM_Object* obj, std::string mes, TlstParams* list = nullptr) { return obj->SendMessage(mes, list); }

} // namespace

TRollingModel::TRollingModel(TComponent* owner) : TMoveModel(owner) {}

TRollingModel::~TRollingModel()
{
    if (trace) std::fclose(trace);
}

void TRollingModel::InitState()
{
    AddParam("2001", "20");
    AddParam("2003", "5");
    AddParam("2004", "-10");
    AddParam("2005", "1.5");
    AddParam("2002", "1");
    AddParam("2006", "99999");
}

double TRollingModel::ReportDistance() const
{
    double p = VarToDouble(GetModelParam("2002"));
    return p > 0 && std::isfinite(p) ? p : kDefaultReport;
}

double TRollingModel::DistanceLimit() const
{
    double l = VarToDouble(GetModelParam("2006"));
    return l > 0 && std::isfinite(l) ? l : kDefaultLimit;
}

double TRollingModel::CouplingLimit() const
{
    double v = VarToDouble(GetModelParam("2005"));
    return v >= 0 && std::isfinite(v) ? v : kDefaultCoupling;
}

TRollingModel::TAhead TRollingModel::Ahead(TRM_Object* obj) const
{
    TAhead a;
    int other = 0;
    double axles = 0;
    if (!obj->Model->Nearest(obj, 0, other, axles)) return a;
    TRM_Object* o = obj->Model->FindObject(other);
    if (!o) return a;
    a.Number = other;
    a.Gap = axles - obj->EndOffset(0) - o->EndOffset(1);
    return a;
}

bool TRollingModel::MovingAway(TRM_Object* obj, int other, double& v)
{
    v = 0;
    std::string mes = Format("%d %d %d %d %d", 3, 4, other, 1003, 2002);
    if (!obj->SendMessage(mes)) return false;
    int mode = 0;
    if (SScanf(mes.c_str(), "%d%lf", &mode, &v) != 2 || !std::isfinite(v)) v = 0;
    return (mode == 2 || mode == 3) && v > 0;
}

void TRollingModel::Touch(TRM_Object* obj, TRollingParam r, const TAhead& ahead, double tEnd)
{
    double vOther = 0;
    bool away = MovingAway(obj, ahead.Number, vOther);
    if (obj->Removed) return;
    double impact = away ? r.v - vOther : r.v;
    if (impact > CouplingLimit()) {
        Event(obj, 16, r.s, impact, r.t);
        if (obj->Removed) return;
    }
    if (!away) {
        // Coupled to a standing cut: it stands where it touched it.
        r.v = 0;
        WriteState(obj, r);
        if (!obj->Removed) Stopped(obj, r);
        return;
    }
    // Behind a cut that rolls on: no faster than it, and no further in this clock step.
    r.v = std::min(r.v, vOther);
    r.t = std::max(r.t, tEnd);
    WriteState(obj, r);
}

TRM_Object* TRollingModel::Find(int number) const
{
    TaRM_Objects* list = Objects();
    return list ? list->Find(number) : nullptr;
}

void TRollingModel::Synchronization(double t)
{
    TaRM_Objects* list = Objects();
    const double dt = DeltaT();
    if (!list || dt <= 0) return;
    TObjectsHold hold(*list);
    // The objects there at the start, each once, in list order. The rest of a train split during
    // the pass has already been pushed for the rest of the step by the split itself; objects
    // removed during the pass are skipped.
    std::vector<int> numbers;
    for (auto* n = list->First(); n; n = n->next)
        if (!n->value.Removed) numbers.push_back(n->value.Number);
    for (int number : numbers) {
        TRM_Object* o = list->Find(number);
        if (!o) continue;
        int mode = o->AskTecnParam();
        if (o->Removed) continue;
        if (mode == 2) StepRolling(o, t - dt, dt);
        else if (mode == 3) Nadvig(o, t - dt, dt);
    }
}

int TRollingModel::fnGetModelMessage(std::string& mes, TlstParams*)
{
    int r = 0, c = 0;
    SScanf(mes.c_str(), "%d%d", &r, &c);
    if (c == 4) return BreakPoint(mes);
    if (c == 5) return SingleRolling(mes);
    return 0;
}

// ---- the record ----

void TRollingModel::FillRollingParam(TRollingParam& r, TRM_Object* obj)
{
    r.Object = obj;
    CopyFromList(r, &obj->Params);
    TlstParams weather;
    Send(obj, Format("%d %d %d %d %d", 5, 1, 2001, 2003, 2004), &weather);
    ListDouble(&weather, "2001", r.windDir);
    ListDouble(&weather, "2003", r.windSpeed);
    ListDouble(&weather, "2004", r.temperature);
}

double TRollingModel::WindResistance(const TRollingParam& r, double v)
{
    if (!r.Object) return 0;
    TlstParams list;
    list.Append(TObjParam("2001", r.windDir));
    list.Append(TObjParam("2003", r.windSpeed));
    list.Append(TObjParam("2004", r.temperature));
    list.Append(TObjParam("2011", r.mass));
    list.Append(TObjParam("2002", v));
    if (!Send(r.Object, Format("%d %d %u", 3, 16, static_cast<unsigned>(r.Object->Number)), &list)) return 0;
    double w = 0;
    if (auto* n = list.First()) w = VarToDouble(n->value.value);
    return std::isfinite(w) ? w : 0;
}

double TRollingModel::NetForce(const TRollingParam& r, double v)
{
    return r.g - r.r0 - WindResistance(r, v) - r.c * v * v - r.b;
}

void TRollingModel::RouteProp(TRM_Object* obj, TlstParams* list, TRollingParam& r, double x, bool curve)
{
    double g = 0, c = 0, b = 0;
    obj->GetRouteProp(x, list, g, c, b);
    r.g = g;
    if (curve) r.c = c;
    r.b = b;
}

// ---- the Runge-Kutta steps ----

TRollingParam TRollingModel::RollDistanceStep(TRM_Object* obj, TlstParams* list, TRollingParam r)
{
    if (!trace) trace = std::fopen("svt", "w");
    TRollingParam out = DistanceRK(obj, list, r, r.ds, trace);
    if (out.v > 0 || !(r.v > 0)) return out;
    // The speed reaches zero within the step: the cut stops there, not at the step's end. Near a
    // stop dv/ds = a/v grows without bound, so the point comes from the square of the speed,
    // d(v²)/ds = 2a, which passes zero smoothly.
    double lo = 0, hi = r.ds, e = SquareRK(obj, list, r, hi);
    if (e > 0) {
        lo = hi;
    } else {
        while (hi - lo > kStopPrecision) {
            double mid = (lo + hi) / 2;
            if (SquareRK(obj, list, r, mid) > 0) lo = mid;
            else hi = mid;
        }
        e = 0;
    }
    TRollingParam last = r;
    RouteProp(obj, list, last, lo);  // the terms where it ends
    last.v = std::sqrt(e);
    last.ds = lo;
    last.h = 2 * lo / (r.v + last.v);
    last.t = r.t + last.h;
    last.s = r.s + lo;
    return last;
}

double TRollingModel::SquareRK(TRM_Object* obj, TlstParams* list, TRollingParam r, double ds)
{
    RouteProp(obj, list, r, 0);
    auto f = [&](double e) {
        double u = std::sqrt(std::max(e, 0.0));
        return 2 * r.k * NetForce(r, u);
    };
    const double e0 = r.v * r.v;
    double k1 = ds * f(e0);
    RouteProp(obj, list, r, ds / 2, false);
    double k2 = ds * f(e0 + k1 / 2);
    double k3 = ds * f(e0 + k2 / 2);
    RouteProp(obj, list, r, ds, false);
    double k4 = ds * f(e0 + k3);
    return e0 + (k1 + 2 * (k2 + k3) + k4) / 6;
}

TRollingParam TRollingModel::DistanceRK(TRM_Object* obj, TlstParams* list, TRollingParam r, double ds, std::FILE* to)
{
    RouteProp(obj, list, r, 0);
    const double u0 = r.v;
    r.ds = ds;
    if (!(u0 > 0)) {
        // Nothing to integrate from: the cut stands where it is.
        r.v = 0;
        r.h = 0;
        r.ds = 0;
        return r;
    }
    auto a = [&](double w, double u) { return r.k * (r.g - r.r0 - w - r.c * u * u - r.b); };
    double w0 = WindResistance(r, u0);
    double k1 = ds * a(w0, u0) / u0;
    if (to) {
        std::fprintf(to, "%s", Format("%f %f %f %f\n", r.g, r.c, r.b, w0).c_str());
        std::fflush(to);
    }
    auto stop = [&]() {
        r.v = 0;
        r.h = 2 * ds / u0;
        r.t += r.h;
        r.s += ds;
        return r;
    };
    double u1 = u0 + k1 / 2;
    if (u1 <= 0) return stop();
    RouteProp(obj, list, r, ds / 2, false);
    double k2 = ds * a(WindResistance(r, u1), u1) / u1;
    double u2 = u0 + k2 / 2;
    if (u2 <= 0) return stop();
    double k3 = ds * a(WindResistance(r, u2), u2) / u2;
    double u3 = u0 + k3;
    if (u3 <= 0) return stop();
    RouteProp(obj, list, r, ds, false);
    double k4 = ds * a(WindResistance(r, u3), u3) / u3;
    double v1 = u0 + (k1 + 2 * (k2 + k3) + k4) / 6;
    if (v1 <= 0) return stop();
    r.h = 2 * ds / (u0 + v1);
    r.v = v1;
    r.t += r.h;
    r.s += ds;
    return r;
}

TRollingParam TRollingModel::RollTimeStep(TRM_Object* obj, TlstParams* list, TRollingParam r)
{
    bool stopped = false;
    TRollingParam out = TimeRK(obj, list, r, r.h, stopped);
    if (!stopped) return out;
    // The speed reaches zero within the step: the cut goes only as far as that and stands for
    // the rest of it.
    double lo = 0, hi = r.h;
    TRollingParam last = r;
    last.ds = 0;
    while (hi - lo > kStopPrecision) {
        double mid = (lo + hi) / 2;
        TRollingParam q = TimeRK(obj, list, r, mid, stopped);
        if (!stopped) {
            lo = mid;
            last = q;
        } else {
            hi = mid;
        }
    }
    RouteProp(obj, list, last, last.ds);  // the terms where it stops
    last.v = 0;
    last.h = r.h;
    last.t = r.t + r.h;
    last.s = r.s + last.ds;
    return last;
}

TRollingParam TRollingModel::TimeRK(TRM_Object* obj, TlstParams* list, TRollingParam r, double h, bool& stopped)
{
    stopped = false;
    r.h = h;
    auto stop = [&]() {
        stopped = true;
        r.v = 0;
        r.t += h;
        // A stop never moves the cut backwards.
        if (!(r.ds > 0)) r.ds = 0;
        r.s += r.ds;
        return r;
    };
    RouteProp(obj, list, r, 0);
    const double u0 = r.v;
    double k1 = h * r.k * NetForce(r, u0);
    double m = u0 / 2 + k1 / 8;
    if (m < 0) return stop();
    RouteProp(obj, list, r, h * m);
    double u1 = u0 + k1 / 2;
    if (u1 < 0) return stop();
    double k2 = h * r.k * NetForce(r, u1);
    double u2 = u0 + k2 / 2;
    if (u2 < 0) return stop();
    double k3 = h * r.k * NetForce(r, u2);
    m = u0 + k3 / 2;
    if (m < 0) return stop();
    RouteProp(obj, list, r, h * m);
    double u3 = u0 + k3;
    if (u3 < 0) return stop();
    double k4 = h * r.k * NetForce(r, u3);
    r.ds = h * (u0 + (k1 + k2 + k3) / 6);
    double v1 = u0 + (k1 + 2 * (k2 + k3) + k4) / 6;
    r.v = v1;
    if (v1 <= 0) return stop();
    r.t += h;
    r.s += r.ds;
    return r;
}

// ---- writes and events ----

void TRollingModel::WriteState(TRM_Object* obj, const TRollingParam& r)
{
    TlstParams list;
    list.Append(TObjParam("2002", r.v));
    list.Append(TObjParam("2015", r.s));
    list.Append(TObjParam("2016", r.t));
    Send(obj, Format("%d %d %u", 3, 5, static_cast<unsigned>(obj->Number)), &list);
}

void TRollingModel::Event(TRM_Object* obj, int code, double a, double b, double c)
{
    obj->ChangeState(code, Format("%f %f %f", a, b, c));
}

void TRollingModel::Stopped(TRM_Object* obj, const TRollingParam& r)
{
    unsigned n = static_cast<unsigned>(obj->Number);
    Send(obj, Format("%d %d %u %d %d", 3, 5, n, 1003, 0));
    if (obj->Removed) return;
    Event(obj, 12, r.s, r.v, r.t);
    if (obj->Removed) return;
    Send(obj, Format("%d %d %u %d -99999", 3, 5, n, 2015));
}

// ---- rolling ----

bool TRollingModel::StepRolling(TRM_Object* obj, double t0, double dt)
{
    const double P = ReportDistance();
    if (!obj) return false;
    const unsigned number = static_cast<unsigned>(obj->Number);
    const double tEnd = t0 + dt;
    // Sub-steps run on to the model time, each ending at the next multiple of P, at a change of
    // the track under the axles or at the cut ahead, whichever comes first.
    for (int sub = 0;; ++sub) {
        obj->Params.Clear();
        if (!Send(obj, Format("%d %d %u", 3, 15, number), &obj->Params)) return false;
        TRollingParam r;
        FillRollingParam(r, obj);
        if (obj->Removed || obj->Position(0) < 0) return true;  // nothing left on the plan to move
        // A cut that stood (its own time stopped with it) rolls on from the start of this step.
        r.t = std::max(r.t, t0);
        r.ds = obj->StepMin(0) + 0.0000001;
        if (r.v <= 0) {
            RouteProp(obj, &obj->Params, r, 0);
            if (r.b > 0) return true;  // held by a retarder
            if (NetForce(r, r.v) <= 0) {
                Send(obj, Format("%d %d %u %d %d", 3, 5, number, 1003, 0));
                return true;
            }
            r.v = kStartSpeed;
            r.ds = kStartSpeed;
            Event(obj, 6, r.s, kStartSpeed, r.t);
            if (obj->Removed) return true;
        }
        double toMultiple = NextMultiple(r.s, P) - r.s;
        if (toMultiple < r.ds) r.ds = toMultiple;
        const TAhead ahead = Ahead(obj);
        if (ahead.Number && ahead.Gap < kTouch) {
            Touch(obj, r, ahead, tEnd);
            return true;
        }
        if (ahead.Number && ahead.Gap < r.ds) r.ds = ahead.Gap;
        const TRollingParam before = r;
        if (sub < kMaxSubSteps) {
            r = RollDistanceStep(obj, &obj->Params, r);
            if (tEnd >= r.t) {
                WriteState(obj, r);
                if (obj->Removed) return true;
                bool moved = obj->Move(r.ds, 0);
                if (obj->Removed) return true;
                if (r.v <= 0) {
                    TRollingParam free = r;
                    free.b = 0;
                    if (NetForce(free, free.v) > 0) Event(obj, 6, r.s, r.v, r.t);
                    if (!obj->Removed) Stopped(obj, r);
                    return true;
                }
                // A cut that could not be laid further (the end of the track) ends its step here.
                if (!moved) return true;
                if (OnMultiple(r.s, P)) {
                    Event(obj, 6, r.s, r.v, r.t);
                    if (obj->Removed) return true;
                }
                if (r.t >= tEnd) return true;
                continue;
            }
        }
        // The sub-step would pass the model time: the time left, over time.
        r = before;
        r.h = tEnd - r.t;
        r = RollTimeStep(obj, &obj->Params, r);
        if (ahead.Number && r.ds > ahead.Gap) {
            r.s -= r.ds - ahead.Gap;
            r.ds = ahead.Gap;
        }
        WriteState(obj, r);
        if (obj->Removed) return true;
        obj->Move(r.ds, 0);
        if (obj->Removed) return true;
        if (r.v <= 0) {
            TRollingParam free = r;
            free.b = 0;
            if (NetForce(free, free.v) > 0) {
                // Held by a retarder: it stays in mode 2 and waits.
                Event(obj, 6, r.s, r.v, r.t);
                return true;
            }
            Stopped(obj, r);
            return true;
        }
        if (OnMultiple(r.s, P)) Event(obj, 6, r.s, r.v, r.t);
        return true;
    }
}

// ---- pushing and splitting ----

bool TRollingModel::Nadvig(TRM_Object* obj, double t0, double dt)
{
    if (!obj) return false;
    const unsigned number = static_cast<unsigned>(obj->Number);
    TlstParams list;
    if (!Send(obj, Format("%d %d %u %d %d %d", 3, 4, number, 2002, 2015, 2017), &list)) return false;
    TRollingParam r;
    CopyFromList(r, &list);
    list.Clear();
    double d = dt * r.v;
    // The train is pushed up to a cut standing or held ahead of it, never into it. Once it
    // touches one that does not move away, the push is over: the train stands (1003 0, and so no
    // speed) and the console hears of it (event 17: distance run, the pushing speed, the cut).
    const TAhead ahead = Ahead(obj);
    if (ahead.Number && ahead.Gap < d) {
        double away = 0;
        if (ahead.Gap <= kBlocked && !MovingAway(obj, ahead.Number, away)) {
            if (!Send(obj, Format("%d %d %u %d %d", 3, 5, number, 1003, 0))) return false;
            if (!obj->Removed) obj->ChangeState(17, Format("%f %f %d", r.s, r.v, ahead.Number));
            return true;
        }
        d = std::max(0.0, ahead.Gap);
    }
    if (r.s + d <= r.breakDist) {
        list.Append(TObjParam("2015", r.s + d));
        if (!Send(obj, Format("%d %d %u", 3, 5, number), &list)) return false;
        if (!obj->Removed) obj->Move(d, 0);
        return true;
    }
    // The break point is reached within this step (at once when the train stands or is past it).
    double run = std::max(0.0, r.breakDist - r.s);
    double tEnd = r.v > 0 ? run / r.v + t0 : t0;
    list.Append(TObjParam("2015", r.breakDist));
    list.Append(TObjParam("1003", static_cast<int32_t>(2)));
    list.Append(TObjParam("2016", tEnd));
    if (!Send(obj, Format("%d %d %u", 3, 5, number), &list)) return false;
    if (obj->Removed) return true;
    obj->Move(run, 0);
    if (obj->Removed) return true;
    Event(obj, 10, r.breakDist, r.v, tEnd);
    if (obj->Removed) return true;
    BreakProcess(obj, r, tEnd, t0 + dt - tEnd);
    return true;
}

void TRollingModel::BreakProcess(TRM_Object* obj, TRollingParam r, double tEnd, double rest)
{
    const int n = obj->Number;
    std::string mes = Format("%d %d %u %d", 3, 4, static_cast<unsigned>(n), 1024);
    if (!obj->SendMessage(mes)) return;
    int k = 0;
    SScanf(mes.c_str(), "%d", &k);
    mes = Format("%d %d %u %d", 3, 17, static_cast<unsigned>(n), k);
    if (!obj->SendMessage(mes)) {
        // The front cut is the whole train: it rolls on whole.
        if (TRM_Object* o = Find(n)) StepRolling(o, tEnd, rest);
        return;
    }
    unsigned m = 0;
    SScanf(mes.c_str(), "%u", &m);
    TRM_Object* front = Find(n);
    TRM_Object* next = Find(static_cast<int>(m));
    if (!front) return;
    if (!next) {
        // The rest could not be placed on the plan: only the front cut goes on.
        StepRolling(front, tEnd, rest);
        return;
    }
    double d = front->Length() - front->EndOffset(0) - r.breakDist;
    TlstParams list;
    list.Append(TObjParam("1003", static_cast<int32_t>(3)));
    list.Append(TObjParam("2002", r.v));
    if (!Send(next, Format("%d %d %u", 3, 5, m), &list)) return;
    if (next->Removed) return;
    next->Params.Clear();
    if (!Send(next, Format("%d %d %u", 3, 15, m), &next->Params)) return;
    if (next->Removed) return;
    FillRollingParam(r, next);
    BreakPoint(next, &next->Params, r, d);
    if ((front = Find(n)) != nullptr) StepRolling(front, tEnd, rest);
    if ((next = Find(static_cast<int>(m))) != nullptr) Nadvig(next, tEnd, rest);
}

TRollingParam TRollingModel::BreakPoint(TRM_Object* obj, TlstParams* list, TRollingParam r, double x)
{
    double lo = x, hi = x + r.length, p = x;
    while (hi - lo - kBreakPrecision > 0) {
        double mid = (lo + hi) / 2;
        RouteProp(obj, list, r, mid);
        // The sign of the acceleration: that of the net force.
        if (NetForce(r, r.v) > 0) hi = mid;
        else lo = mid;
        p = mid;
    }
    list->Clear();
    list->Append(TObjParam("2017", p - x));
    list->Append(TObjParam("2015", -x));
    list->Append(TObjParam("2016", 0.0));
    Send(obj, Format("%d %d %u", 3, 5, static_cast<unsigned>(obj->Number)), list);
    r.ds = p;
    r.breakDist = p;
    return r;
}

int TRollingModel::BreakPoint(std::string& mes)
{
    int r = 0, c = 0;
    unsigned number = 0;
    SScanf(mes.c_str(), "%d%d%u", &r, &c, &number);
    TaRM_Objects* objects = Objects();
    if (!objects) return 0;
    TObjectsHold hold(*objects);
    TRM_Object* obj = Find(static_cast<int>(number));
    if (!obj) return 0;
    std::string ask = Format("%d %d %u %d", 3, 4, number, 1003);
    if (!obj->SendMessage(ask)) return 0;
    int mode = 0;
    if (SScanf(ask.c_str(), "%d", &mode) != 1 || mode != 3) return 0;
    if (obj->Removed) return 0;
    obj->Params.Clear();
    if (!Send(obj, Format("%d %d %u", 3, 15, number), &obj->Params)) return 0;
    if (obj->Removed) return 0;
    TRollingParam rec;
    FillRollingParam(rec, obj);
    if (obj->Removed) return 0;
    BreakPoint(obj, &obj->Params, rec, obj->Position(0));
    return 1;
}

// ---- the single roll ----

namespace {

// Gives the main timer its interval back when the roll ends, however it ends.
class TClockRestore {
public:
    TClockRestore(TRM_Object* o, bool read, unsigned ms) : obj(o), known(read), interval(ms) {}
    ~TClockRestore()
    {
        if (!known) return;
        try {
            std::string mes = Format("%d %d %u", 4, 5, interval);
            obj->SendMessage(mes);
        } catch (...) {
            // Nothing more can be done while another failure is on its way.
        }
    }
    TClockRestore(const TClockRestore&) = delete;
    TClockRestore& operator=(const TClockRestore&) = delete;

private:
    TRM_Object* obj;
    bool known;
    unsigned interval;
};

} // namespace

int TRollingModel::SingleRolling(std::string& mes)
{
    int r = 0, c = 0, number = 0;
    SScanf(mes.c_str(), "%d%d%d", &r, &c, &number);
    TaRM_Objects* objects = Objects();
    if (!objects) return 0;
    TObjectsHold hold(*objects);
    TRM_Object* obj = Find(number);
    if (!obj) return 0;
    std::string ask = Format("%d %d", 4, 4);
    unsigned interval = 0;
    // Only an interval the main window gave can be given back.
    bool known = obj->SendMessage(ask) && SScanf(ask.c_str(), "%u", &interval) == 1;
    Send(obj, Format("%d %d 0", 4, 5));
    TClockRestore restore(obj, known, interval);
    return SingleRolling(obj) ? 1 : 0;
}

bool TRollingModel::SingleRolling(TRM_Object* obj)
{
    const double P = ReportDistance(), L = DistanceLimit();
    const unsigned number = static_cast<unsigned>(obj->Number);
    obj->Params.Clear();
    if (!Send(obj, Format("%d %d %u", 3, 15, number), &obj->Params)) return false;
    if (obj->Removed) return false;
    TRollingParam r;
    FillRollingParam(r, obj);
    if (obj->Removed) return false;
    r = BreakPoint(obj, &obj->Params, r, obj->Position(0));
    const double p = r.breakDist;
    r.s = p;
    {
        TlstParams list;
        list.Append(TObjParam("2015", p));
        list.Append(TObjParam("1003", static_cast<int32_t>(2)));
        Send(obj, Format("%d %d %u", 3, 5, number), &list);
    }
    if (obj->Removed) return false;
    obj->Move(p, 0);
    if (obj->Removed) return false;
    Event(obj, 10, p, r.v, r.t);
    if (obj->Removed) return false;
    obj->Params.Clear();
    if (!Send(obj, Format("%d %d %u", 3, 15, number), &obj->Params)) return false;
    if (obj->Removed) return false;
    CopyFromList(r, &obj->Params);
    if (r.v <= 0) {
        // A standing cut starts as in a rolling step, or stops at once.
        RouteProp(obj, &obj->Params, r, 0);
        if (r.b > 0 || NetForce(r, r.v) <= 0) {
            r.v = 0;
            Stopped(obj, r);
            return true;
        }
        r.v = kStartSpeed;
        Event(obj, 6, r.s, r.v, r.t);
        if (obj->Removed) return false;
    }
    for (;;) {
        double ds = obj->StepMin(0) + 0.0000001;
        double toMultiple = NextMultiple(r.s, P) - r.s;
        if (toMultiple < ds) ds = toMultiple;
        double D = L - r.s;
        if (ds >= D) ds = std::max(D, 0.0);
        // The clock stands during a single roll: whatever is ahead counts as standing.
        const TAhead ahead = Ahead(obj);
        if (ahead.Number && ahead.Gap < kTouch) {
            if (r.v > CouplingLimit()) Event(obj, 16, r.s, r.v, r.t);
            if (obj->Removed) return false;
            r.v = 0;
            WriteState(obj, r);
            if (obj->Removed) return false;
            Stopped(obj, r);
            return true;
        }
        if (ahead.Number && ahead.Gap < ds) ds = ahead.Gap;
        r.ds = ds;
        r = RollDistanceStep(obj, &obj->Params, r);
        WriteState(obj, r);
        if (obj->Removed) return false;
        if (!obj->Move(r.ds, 0) || obj->Removed) return false;
        if (D <= 0) {
            Event(obj, 11, r.s, r.v, r.t);
            return true;
        }
        if (r.v <= 0) {
            Stopped(obj, r);
            return true;
        }
        if (OnMultiple(r.s, P)) Event(obj, 6, r.s, r.v, r.t);
        if (obj->Removed) return false;
    }
}
