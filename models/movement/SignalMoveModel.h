// TSignalMoveModel: trains and locomotives moving by signals. Every time step each plan object
// that the technology model has set going (run state 1003: 1 forwards, -1 backwards) accelerates
// up to its maximum speed, brakes in time for the end of its free route (a closed signal, a dead
// end, its target) and for the car body of the nearest object ahead, and stops there. A closed
// signal that its service braking can no longer stop a running object before makes it brake at
// its emergency rate (technology parameter 2006, else 1.2 m/s²) down to a stand; when the signal
// was open at the object's last step it was closed in front of it, a trainee error (25, naming
// the signal and the train); an object that ran past the signal so stands with its order ended
// (1003 0). An object starts from rest: an order for the way back given to one still running
// takes effect once it has braked to a stand on the way it runs, and one stopped by anyone has
// lost its speed (the technology model clears 2002 with 1003). Speed, distance run and time go
// back to the technology model; start (7), stop (8, 9) and periodic (6) events go out through
// the plan object. No bus receiver, no data file; what it keeps of an object between steps is
// dropped when the plan no longer has that object.
#pragma once
#include <map>

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

    // The emergency deceleration of an object whose technology parameters do not give one (2006).
    static constexpr float DefaultEmergency = -1.2f;

    // One step toward an end D metres ahead of kind k (0 open, 1 restricted, 2 closed signal,
    // 3 dead end or object ahead, 4 the target) from speed v: the distance s and the new speed,
    // never above vmax. True when the service deceleration can no longer stop the object before
    // an end of kind 2 or more: the step is then made at the emergency rate, and a closed signal
    // that even that cannot stop it before is run past.
    struct TBraking {
        float a = 0.2f;    // acceleration, > 0
        float b = -0.5f;   // service deceleration, < 0
        float vmax = 22.2f;
        float e = DefaultEmergency;  // emergency deceleration, < 0, not weaker than b
    };
    static bool MoveWithBraking(const TBraking& br, float D, int k, float v, float dt, float& s, float& vNew);
    // The speed an end of kind k allows the object to pass it with.
    static float TargetSpeed(int k);

private:
    // An object braking at its emergency rate for a closed signal; it brakes so until it stands.
    struct TEmergency {
        int signal = 0;       // the vertex of the signal
        float beyond = 0;     // metres still to run to the signal; below 0 once it is passed
        float rate = DefaultEmergency;
    };
    // What the model remembers of a moving object between its steps.
    struct TMotion {
        unsigned serial = 0;  // of the plan object: a new object with a reused number starts afresh
        int dir = -1;         // the direction it ran in at its last step; -1 standing
        // The end of its free route as its last step left it: vertex, kind, metres ahead, and
        // the direction and mode (1005) it was seen in; kind -1 when none was seen.
        int endKind = -1, endDir = 0, endMode = 0;
        float endAhead = 0;
        int runMode = 0;  // the mode (1005) of the order it runs under while it stops for another
        bool braking = false;  // an emergency below is on
        TEmergency emergency;
    };
    // The state of o, fresh for an object the model has not seen under its number before.
    TMotion& MotionOf(const TRM_Object* o);
    // Drops the state of objects the plan no longer has.
    void Forget();
    std::map<int, TMotion> motions;  // by object number
};
