// TRollingModel: breaking up a train over the hump. A train in movement mode 3 is pushed at its
// own speed (2002) until its front reaches the break point (2017); there the front cut of 1024 cars
// is split off by the technology model and rolls on by gravity (mode 2) through the retarders
// until it stops, while the rest of the train is pushed on towards its own break point. Speeds are
// integrated with a fourth-order Runge-Kutta step over distance, or over time for the last part of
// a clock step. A push that runs up against a cut standing on the hump ends: the train stands
// (mode 0) and event 17 tells the console. All state lives in the technology objects' parameters.
//
// The trainer's main window does not place this model: a host places it, sets PlanModel, steps it
// with the clock and, for commands 4 and 5, routes a receiver number to it. Every message goes out
// through the moving objects (that is, through the plan model's OnSendMessage); receiver 5 is asked
// for the weather (wind direction 2001, wind speed 2003, air temperature 2004).
//
// Sign of the grade: a positive grade falls in direction 0, so it speeds up a cut rolling in
// direction 0.
#pragma once
#include <cstdio>
#include <string>

#include "models/movement/MoveModel.h"

class TRM_Object;

// The working record of one cut, passed by value between the steps.
struct TRollingParam {
    TRM_Object* Object = nullptr;
    double g = 0;      // grade term (N/kN, positive speeds the cut up)
    double r0 = 0;     // basic running resistance (2013)
    double c = 0;      // curve term, multiplied by the square of the speed
    double b = 0;      // retarder term
    double ds = 0;     // step distance (m); the break point after a break-point search
    double k = 0;      // reduced gravity factor (2009): acceleration per unit of force
    double v = 0;      // speed (m/s, 2002)
    double h = 0;      // step time (s)
    double t = 0;      // the object's own time (2016)
    double breakDist = 0;    // break-point distance in the frame of s (2017)
    double s = 0;            // distance run (2015)
    double windSpeed = 5;    // m/s
    double windDir = 20;     // degrees
    double temperature = -10;  // degrees C
    double mass = 0;    // 2011
    double length = 0;  // cut length (2010)
};

class TRollingModel : public TMoveModel {
    VELO_CLASS(TRollingModel, TMoveModel)
public:
    explicit TRollingModel(TComponent* owner = nullptr);
    ~TRollingModel() override;

    // Adds 2001 20, 2003 5, 2004 -10, 2005 1.5 (coupling limit, m/s: a cut that runs into another
    // faster than this raises event 16), 2002 1 (report distance P, m) and 2006 99999 (distance
    // limit of a single roll, m).
    void InitState() override;
    // Pushes every object in mode 3 and rolls every object in mode 2 over the last clock step.
    void Synchronization(double t) override;
    // Command 4 sets up a break point, command 5 runs a whole single roll; the buffer is never written.
    int fnGetModelMessage(std::string& mes, TlstParams* lstPar) override;

    // [r 4 obj]: the break point of an object being pushed (mode 3); 1 when set up.
    int BreakPoint(std::string& mes);
    // [r 5 obj]: a single roll with the main clock stopped; the roll's result.
    int SingleRolling(std::string& mes);

    // Searches [x, x + cut length] ahead of the first axle for the point where the net force turns
    // positive and writes 2017, 2015 and 2016 of the object; the record's ds and breakDist get it.
    TRollingParam BreakPoint(TRM_Object* obj, TlstParams* list, TRollingParam r, double x);
    // One pushing step; false when the technology model refuses a query or a write.
    bool Nadvig(TRM_Object* obj, double t0, double dt);
    // Splits the front cut off at the break point, lets it roll and pushes the rest on.
    void BreakProcess(TRM_Object* obj, TRollingParam r, double tEnd, double rest);
    // One rolling step over [t0, t0 + dt]; false without an object or axle parameters.
    bool StepRolling(TRM_Object* obj, double t0, double dt);
    // A whole roll from the break point to rest or to the distance limit.
    bool SingleRolling(TRM_Object* obj);

    // Copies the object's axle list into the record and asks receiver 5 for the weather.
    void FillRollingParam(TRollingParam& r, TRM_Object* obj);
    // Wind resistance at speed v (technology command 16); 0 when refused.
    double WindResistance(const TRollingParam& r, double v);
    // F(v) = g - r0 - W(v) - c v v - b.
    double NetForce(const TRollingParam& r, double v);
    // One Runge-Kutta step over the record's ds (dv/ds = a/v); a cut whose speed reaches zero
    // within it stops there (speed 0, ds the distance it ran).
    TRollingParam RollDistanceStep(TRM_Object* obj, TlstParams* list, TRollingParam r);
    // One Runge-Kutta step over the record's h (dv/dt = a); a cut whose speed reaches zero within
    // it stops there and stands for the rest of h.
    TRollingParam RollTimeStep(TRM_Object* obj, TlstParams* list, TRollingParam r);

private:
    // The first object ahead of a cut (number 0: none) and the gap between their car bodies.
    struct TAhead {
        int Number = 0;
        double Gap = 0;
    };
    TAhead Ahead(TRM_Object* obj) const;
    // True when object `other` rolls or is pushed on (mode 2 or 3 at a positive speed v).
    static bool MovingAway(TRM_Object* obj, int other, double& v);
    // A cut that touches the one ahead: event 16 above the coupling limit; against a standing one
    // it stops, behind a moving one it keeps that one's speed at most and waits to tEnd.
    void Touch(TRM_Object* obj, TRollingParam r, const TAhead& ahead, double tEnd);
    // The Runge-Kutta stages over distance ds, and over time h; the trace line goes to `to`.
    TRollingParam DistanceRK(TRM_Object* obj, TlstParams* list, TRollingParam r, double ds, std::FILE* to);
    TRollingParam TimeRK(TRM_Object* obj, TlstParams* list, TRollingParam r, double h, bool& stopped);
    // The square of the speed after distance ds, d(v²)/ds = 2a: smooth through a stop.
    double SquareRK(TRM_Object* obj, TlstParams* list, TRollingParam r, double ds);
    double CouplingLimit() const;
    // The report distance P and the distance limit L; a value that is not positive reads as default.
    double ReportDistance() const;
    double DistanceLimit() const;
    // Grade, curve and retarder terms at distance x ahead of the first axle into the record.
    void RouteProp(TRM_Object* obj, TlstParams* list, TRollingParam& r, double x, bool curve = true);
    // Writes 2002, 2015 and 2016 of the record to the object.
    void WriteState(TRM_Object* obj, const TRollingParam& r);
    // [3 5 obj 1003 0], event 12, [3 5 obj 2015 -99999].
    void Stopped(TRM_Object* obj, const TRollingParam& r);
    void Event(TRM_Object* obj, int code, double a, double b, double c);
    // The plan's live object of this number; null when there is none.
    TRM_Object* Find(int number) const;

    std::FILE* trace = nullptr;  // "svt": one line per distance step
};
