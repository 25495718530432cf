// Movement by signals.
#include "models/movement/SignalMoveModel.h"

#include <cmath>
#include <string>

#include "models/plan/PlanModel.h"
#include "platform/core/CFormat.h"

namespace {

// The technology default deceleration, used when an object's own is not a braking one.
constexpr float kDefaultDeceleration = -0.5f;
// How far short of its end an object may come to a stop by braking.
constexpr float kStopShort = 0.4f;

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

void TSignalMoveModel::MoveWithBraking(const TBraking& br, float D, int k, float v, float dt, float& s, float& vNew)
{
    // Standing within reach of a closed end it is already there: starting would only creep a
    // few centimetres and stop again, raising a start and a stop each time.
    if (v <= 0 && k >= 2 && D <= kStopShort) {
        s = vNew = 0;
        return;
    }
    const auto step = [&](float rate) {
        s = std::max(0.0f, v * dt + rate * dt * dt / 2);
        vNew = std::max(0.0f, v + rate * dt);
    };
    step(v > br.vmax ? br.b : br.a);
    const float w = TargetSpeed(k);
    const float R = std::max(0.0f, D - s);
    if (vNew > w && (w * w - vNew * vNew) / 2 / br.b > R) {
        step(br.b);
        // Braking this hard would leave it standing too far short: it keeps its speed this step.
        if (vNew < 1e-6f && D - s > kStopShort) vNew = v;
    }
    if (k >= 2 && s > D) {
        vNew = 0;
        s = std::max(0.0f, D - 0.01f);
    }
}

void TSignalMoveModel::Synchronization(double t)
{
    TaRM_Objects* objects = Objects();
    const double dt = DeltaT();
    if (!objects || dt <= 0) return;
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

void TSignalMoveModel::SignalMove(TRM_Object* o, double t0, double dtD, bool backwards)
{
    if (!o || o->Removed) return;
    // Every message and event below may run functions that remove the object; the caller holds
    // the object list, so o stays readable and the step ends when it is gone.
    TObjectsHold hold(o->Model->Objects);
    const int number = o->Number;
    const int bw = backwards ? 1 : 0;
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

    // The object ahead is braked for in every mode: the mode (1005) only says which signals
    // the mover may pass, never that it may run into standing vehicles.
    float sN = 99999, vN = v;
    mes = Format("%d %d %d %d", static_cast<int>(brPlan), 11, number, bw);
    if (o->SendMessage(mes)) {
        int other = 0;
        float gap = 0;
        if (SScanf(mes.c_str(), "%d %f", &other, &gap) == 2) MoveWithBraking(br, gap, 3, v, dt, sN, vN);
    }
    if (o->Removed) return;

    mes = Format("%d %d %d %d", static_cast<int>(brPlan), 10, number, bw);
    if (!o->SendMessage(mes) || o->Removed) return;
    float D = 0;
    int k = 0, vertex = 0;
    if (SScanf(mes.c_str(), "%f%d%d", &D, &k, &vertex) < 3) return;
    float sR = 0, vR = 0;
    MoveWithBraking(br, D, k, v, dt, sR, vR);

    float s = sR, vNew = vR;
    int kind = k;
    if (sN < sR) {
        s = sN;
        vNew = vN;
        kind = 3;
    }

    if (held && s > 0) {
        // Held by brake shoes: it does not move and stands from now on.
        send(Format("%d %d %d %d %d", static_cast<int>(brTecn), 5, number, 1003, 0));
        if (o->Removed) return;
        send(Format("%d %d", static_cast<int>(brInterface), 10));
        if (o->Removed) return;
        send(Format("%d %d %d %d %f", static_cast<int>(brTecn), 5, number, 2002, 0.0));
        return;
    }

    if (kind == 2 && D <= s) s = vNew = 0;

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
        o->Move(s, bw);
        if (o->Removed) return;
    }

    if (kind > 2 && vNew < dt * 0.05f) {
        vNew = 0;
        send(Format("%d %d %d %d %d", static_cast<int>(brTecn), 5, number, 1003, 0));
        if (o->Removed) return;
        o->ChangeState(8, Format("%f %f", dist + s, 0.0));
        if (o->Removed) return;
    } else if (vNew < v && vNew < dt * 0.05f) {
        vNew = 0;
        send(Format("%d %d %d %d %d", static_cast<int>(brTecn), 5, number, 1014, vertex));
        if (o->Removed) return;
        o->ChangeState(9, Format("%f %f %d", dist + s, 0.0, vertex));
        if (o->Removed) return;
    }

    send(Format("%d %d %d %d %f", static_cast<int>(brTecn), 5, number, 2002, vNew));
}
