// Movement by signals.
#include "models/movement/SignalMoveModel.h"

#include <cmath>
#include <string>

#include "models/plan/PlanModel.h"
#include "platform/core/CFormat.h"
#include "platform/core/Strings.h"

namespace {

// The technology default deceleration, used when an object's own is not a braking one.
constexpr float kDefaultDeceleration = -0.5f;
// How far short of its end an object may come to a stop by braking.
constexpr float kStopShort = 0.4f;
// How far past the end of its free route the service braking curve may reach before braking
// counts as an emergency (the steps of the curve are rounded in single precision).
constexpr float kCurveAllowance = 0.05f;
// The trainee error of a signal closed in front of an approaching train.
constexpr int kErrorClosedInFront = 25;
// How much nearer than at the last step the end of the free route must have come for the
// signal there to have closed in front of the object (steps are rounded in single precision).
constexpr float kClosingMargin = 0.5f;

} // namespace

TSignalMoveModel::TSignalMoveModel(TComponent* owner) : TMoveModel(owner) {}

void TSignalMoveModel::InitState()
{
    TMoveModel::InitState();
    AddParam("2002", "10");
}

float TSignalMoveModel::TargetSpeed(int k)
{
    switch (k) {
    case 0: return 22.1f;
    case 1: return 16.67f;
    default: return 0.0f;
    }
}

namespace {

// Speed changes at rate from v toward limit (not past it) over dt: distance and end speed.
void Accelerate(float v, float rate, float limit, float dt, float& s, float& vNew)
{
    float t1 = dt;
    vNew = v + rate * dt;
    if ((rate > 0 && vNew > limit) || (rate < 0 && vNew < limit)) {
        t1 = (limit - v) / rate;
        vNew = limit;
    }
    s = std::max(0.0f, (v + vNew) / 2 * t1 + vNew * (dt - t1));
    vNew = std::max(0.0f, vNew);
}

// Stopping from v at deceleration rate (< 0) takes more than room metres.
bool Overruns(float v, float rate, float room) { return v * v / 2 / -rate > room; }

} // namespace

bool TSignalMoveModel::MoveWithBraking(const TBraking& br, float D, int k, float v, float dt, float& s, float& vNew)
{
    // Standing within reach of a closed end it is already there: starting would only creep a
    // few centimetres and stop again, raising a start and a stop each time.
    if (v <= 0 && k >= 2 && D <= kStopShort) {
        s = vNew = 0;
        return false;
    }
    // Free running: up to the maximum speed, or down to it from above.
    Accelerate(v, v > br.vmax ? br.b : br.a, br.vmax, dt, s, vNew);
    const float w = TargetSpeed(k);
    const float R = std::max(0.0f, D - s);
    bool urgent = false;
    if (vNew > w && (vNew * vNew - w * w) / 2 / -br.b > R) {
        Accelerate(v, br.b, w, dt, s, vNew);
        // Braking this hard would leave it standing too far short: it keeps its speed this step.
        if (vNew < 1e-6f && D - s > kStopShort) vNew = v;
        // The end came closer than the service braking distance: only the emergency rate may
        // still stop it before (a small allowance for rounding of the braking curve).
        if (k >= 2 && Overruns(vNew, br.b, D - s + kCurveAllowance)) {
            urgent = true;
            Accelerate(v, std::min(br.e, br.b), 0, dt, s, vNew);
        }
    }
    // A closed signal that the emergency braking runs past is passed; anything else is not.
    if (k >= 2 && s > D && !(urgent && k == 2)) {
        vNew = 0;
        s = std::max(0.0f, D - 0.01f);
    }
    return urgent;
}

void TSignalMoveModel::Synchronization(double t)
{
    TaRM_Objects* objects = Objects();
    const double dt = DeltaT();
    if (!objects || dt <= 0) return;
    Forget();
    // A step can remove objects (section and event functions): the hold keeps their memory, and
    // removed ones are skipped.
    TObjectsHold hold(*objects);
    for (auto* n = objects->First(); n; n = n->next) {
        TRM_Object* o = &n->value;
        if (o->Removed) continue;
        const int state = o->AskTecnParam();
        if (o->Removed) continue;
        if (state == 1)
            SignalMove(o, t - dt, dt, false);
        else if (state == -1)
            SignalMove(o, t - dt, dt, true);
    }
}

TSignalMoveModel::TMotion& TSignalMoveModel::MotionOf(const TRM_Object* o)
{
    TMotion& m = motions[o->Number];
    if (m.serial != o->Serial) {
        m = TMotion{};
        m.serial = o->Serial;
    }
    return m;
}

void TSignalMoveModel::Forget()
{
    TaRM_Objects* objects = Objects();
    for (auto it = motions.begin(); it != motions.end();) {
        const TRM_Object* o = objects ? objects->Find(it->first) : nullptr;
        if (!o || o->Serial != it->second.serial) it = motions.erase(it);
        else ++it;
    }
}

namespace {

// The signal's name as the interlocking knows it; its vertex number when it names none.
std::string SignalName(TRM_Object* o, int vertex)
{
    std::string mes = Format("%d %d %d", static_cast<int>(brEC), 24, vertex);
    if (o->SendMessage(mes)) {
        std::string name = Trim(mes);
        if (!name.empty() && name != "0") return name;
    }
    return Format("%d", vertex);
}

} // namespace

void TSignalMoveModel::SignalMove(TRM_Object* o, double t0, double dtD, bool backwards)
{
    if (!o || o->Removed) return;
    // Every message and event below may run functions that remove the object; the caller holds
    // the object list, so o stays readable and the step ends when it is gone.
    TObjectsHold hold(o->Model->Objects);
    const int number = o->Number;
    const float dt = static_cast<float>(dtD);
    const float P = static_cast<float>(VarToDouble(GetModelParam("2002")));
    const auto send = [o](std::string mes) { return o->SendMessage(mes); };

    std::string mes = Format("%d %d %d %d %d %d %d %d %d %d %d", static_cast<int>(brTecn), 4, number, 2003, 2004, 2002,
                             2005, 2015, 1010, 1005, 2016);
    if (!o->SendMessage(mes) || o->Removed) return;
    TBraking br;
    float v = 0, dist = 0, last = 0;
    int held = 0, mode = 0;
    if (SScanf(mes.c_str(), "%f%f%f%f%f%d%d%f", &br.a, &br.b, &v, &br.vmax, &dist, &held, &mode, &last) < 8)
        return;
    // Data must give a negative deceleration; anything else brakes with the default.
    if (!(br.b < 0)) br.b = kDefaultDeceleration;

    TMotion& m = MotionOf(o);
    if (!(v > 0)) {
        m.dir = -1;
        m.braking = false;
    }
    // An order for the other way given to an object still running: it brakes to a stand on the
    // way it runs, and the order takes effect with a start from rest at a later step.
    const int ordered = backwards ? 1 : 0;
    const bool stopping = m.dir >= 0 && m.dir != ordered;
    const int bw = stopping ? m.dir : ordered;
    if (m.endDir != bw) m.endKind = -1;

    // An object braking at its emergency rate goes on braking until it stands.
    TEmergency* em = m.braking ? &m.emergency : nullptr;
    if (em) br.e = em->rate;

    // The object ahead is braked for in every mode: the mode (1005) only says which signals
    // the mover may pass, never that it may run into standing vehicles. The plan measures the
    // gap between the outer axles; the car bodies reach over them by the overhangs.
    float sN = 99999, vN = v;
    mes = Format("%d %d %d %d", static_cast<int>(brPlan), 11, number, bw);
    if (o->SendMessage(mes)) {
        int other = 0;
        float gap = 0;
        if (SScanf(mes.c_str(), "%d %f", &other, &gap) == 2) {
            const TRM_Object* ahead = o->Model->FindObject(other);
            gap -= static_cast<float>(o->EndOffset(bw) + (ahead ? ahead->EndOffset(1 - bw) : 0.0));
            MoveWithBraking(br, gap, 3, v, dt, sN, vN);
        }
    }
    if (o->Removed) return;

    mes = Format("%d %d %d %d", static_cast<int>(brPlan), 10, number, bw);
    if (!o->SendMessage(mes) || o->Removed) return;
    float D = 0;
    int k = 0, vertex = 0;
    if (SScanf(mes.c_str(), "%f%d%d", &D, &k, &vertex) < 3) return;
    // Until it stands it runs under the order it had: a permission past prohibiting signals
    // still covers the signals within its stopping distance.
    if (!stopping) m.runMode = mode;
    if (stopping && k == 2 && m.runMode == 2) {
        D = 99999;
        k = 0;
    }
    float sR = 0, vR = 0;
    if (MoveWithBraking(br, D, k, v, dt, sR, vR) && k == 2 && !em) {
        // Only the emergency rate can still stop it before the signal (the free route ends 0.5 m
        // before it): it brakes so, at the object's own emergency rate.
        TEmergency e{vertex, D + 0.5f, DefaultEmergency};
        mes = Format("%d %d %d %d", static_cast<int>(brTecn), 4, number, 2006);
        float rate = 0;
        if (o->SendMessage(mes) && SScanf(mes.c_str(), "%f", &rate) == 1 && rate != 0) e.rate = -std::fabs(rate);
        if (o->Removed) return;
        e.rate = std::min(e.rate, br.b);
        br.e = e.rate;
        MoveWithBraking(br, D, k, v, dt, sR, vR);
        m.emergency = e;
        m.braking = true;
        em = &m.emergency;
        // The trainee's error when the signal was open at its last step, in the same mode: its
        // route then ran on past the signal. A signal closed all along, or one that a
        // permission past prohibiting signals no longer covers, is none of his doing.
        if (m.endKind >= 0 && m.endMode == mode && m.endAhead > D + kClosingMargin) {
            const auto bus = [o](std::string& text) { return o->SendMessage(text); };
            const std::string signal = SignalName(o, vertex);
            if (o->Removed) return;
            const std::string train = TrainNumber(bus, number);
            if (o->Removed) return;
            send(Format("%d %d %d %s %s", static_cast<int>(brInstructor), 4, kErrorClosedInFront, signal.c_str(),
                        train.c_str()));
            if (o->Removed) return;
        }
    }

    float s = sR, vNew = vR;
    int kind = k;
    int stopVertex = vertex;
    if (em) {
        // Braking down to a stand whatever the route shows; only a nearer object or dead end
        // ahead shortens the step.
        Accelerate(v, em->rate, 0, dt, s, vNew);
        kind = 2;
        stopVertex = em->signal;
        if (k > 2 && sR < s) {
            s = sR;
            vNew = vR;
            kind = k;
        }
    }
    if (sN < s) {
        s = sN;
        vNew = vN;
        kind = 3;
    }
    if (stopping) {
        // Down to a stand at the service rate, or harder where the way ahead asks for it.
        float sS = 0, vS = 0;
        Accelerate(v, br.b, 0, dt, sS, vS);
        if (sS < s) {
            s = sS;
            vNew = vS;
        }
    }

    if (held && s > 0) {
        // Held by brake shoes: it does not move and stands from now on.
        send(Format("%d %d %d %d %d", static_cast<int>(brTecn), 5, number, 1003, 0));
        if (o->Removed) return;
        send(Format("%d %d", static_cast<int>(brInterface), 10));
        if (o->Removed) return;
        send(Format("%d %d %d %d %f", static_cast<int>(brTecn), 5, number, 2002, 0.0));
        m.dir = -1;
        m.braking = false;
        return;
    }

    if (kind == 2 && D <= s && !em) s = vNew = 0;

    if (v > 0 || vNew == 0) {
        if (P > 0 && std::floor(last / P) != std::floor(static_cast<float>(t0 + dtD) / P)) {
            o->ChangeState(6, Format("%f %f", dist + s, vNew));
            if (o->Removed) return;
        }
    } else {
        dist = 0;
        last = static_cast<float>(t0);
        o->ChangeState(7, Format("%f %f", 0.0, 0.0));
        if (o->Removed) return;
    }

    send(Format("%d %d %d %d %f %d %f", static_cast<int>(brTecn), 5, number, 2015, dist + s, 2016, t0 + dtD));
    if (o->Removed) return;

    if (std::fabs(s) > dt * 0.001f) {
        // Running on the way it came, it is not going to its target yet.
        o->Move(s, bw, !stopping);
        if (o->Removed) return;
    }

    // An emergency ends when the object stands; one that ran past its signal stands with its
    // order ended.
    bool ranPast = false;
    if (em) {
        em->beyond -= s;
        if (vNew < dt * 0.05f) {
            ranPast = em->beyond < 0;
            m.braking = false;
            em = nullptr;
        }
    }

    if (stopping && vNew < dt * 0.05f && !ranPast) {
        // Standing, it takes the order for the other way at its next step.
        vNew = 0;
    } else if (kind > 2 && vNew < dt * 0.05f) {
        vNew = 0;
        send(Format("%d %d %d %d %d", static_cast<int>(brTecn), 5, number, 1003, 0));
        if (o->Removed) return;
        o->ChangeState(8, Format("%f %f", dist + s, 0.0));
        if (o->Removed) return;
    } else if (vNew < v && vNew < dt * 0.05f) {
        vNew = 0;
        if (ranPast) {
            send(Format("%d %d %d %d %d", static_cast<int>(brTecn), 5, number, 1003, 0));
            if (o->Removed) return;
        }
        send(Format("%d %d %d %d %d", static_cast<int>(brTecn), 5, number, 1014, stopVertex));
        if (o->Removed) return;
        o->ChangeState(9, Format("%f %f %d", dist + s, 0.0, stopVertex));
        if (o->Removed) return;
    }

    // Anything in the step may have stopped it (the plan's route check, a function an event or
    // a section ran): the speed is the step's only while it is still set going.
    mes = Format("%d %d %d %d", static_cast<int>(brTecn), 4, number, 1003);
    int state = 0;
    if (o->SendMessage(mes)) SScanf(mes.c_str(), "%d", &state);
    if (o->Removed) return;
    if (state != 1 && state != -1) vNew = 0;
    send(Format("%d %d %d %d %f", static_cast<int>(brTecn), 5, number, 2002, vNew));
    if (o->Removed) return;
    m.dir = vNew > 0 ? bw : -1;
    if (vNew <= 0) m.braking = false;
    m.endKind = k;
    m.endDir = bw;
    m.endMode = mode;
    m.endAhead = D - s;
}
