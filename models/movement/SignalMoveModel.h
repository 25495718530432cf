// TSignalMoveModel: trains and locomotives moving by signals. Every time step each plan object
// that the technology model has set going (run state 1003: 1 forwards, -1 backwards) accelerates
// up to its maximum speed, brakes in time for the end of its free route (a closed signal, a dead
// end, its target) and for the nearest object ahead, and stops there. Speed, distance run and
// time go back to the technology model; start (7), stop (8, 9) and periodic (6) events go out
// through the plan object. No bus receiver, no data file.
#pragma once
#include "models/movement/MoveModel.h"

class TRM_Object;

class TSignalMoveModel : public TMoveModel {
    VELO_CLASS(TSignalMoveModel, TMoveModel)
public:
    explicit TSignalMoveModel(TComponent* owner = nullptr);

    // Adds model parameter 2002, the period of the running reports in model seconds (10).
    void InitState() override;
    // One step of every moving object of the plan, in list order.
    void Synchronization(double t) override;
    // One step of o from time t0 over dt seconds; backwards moves it in direction 1.
    void SignalMove(TRM_Object* o, double t0, double dt, bool backwards);

    // One step toward an end D metres ahead of kind k (0 open, 1 restricted, 2 closed signal,
    // 3 dead end or object ahead, 4 the target) from speed v: the distance s and the new speed.
    struct TBraking {
        float a = 0.2f;    // acceleration, > 0
        float b = -0.5f;   // deceleration, < 0
        float vmax = 22.2f;
    };
    static void MoveWithBraking(const TBraking& br, float D, int k, float v, float dt, float& s, float& vNew);
    // The speed an end of kind k allows the object to pass it with.
    static float TargetSpeed(int k);
};
