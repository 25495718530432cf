// Moving objects on the plan: the trains, cuts and locomotives of the technology model as the
// plan sees them. An object covers its wheelbase (first axle to last axle) with placements on
// one or more adjacent sections; the plan keeps the sections' free flags from the placements,
// reports sections entered and left, runs the plan functions of sections and events, and checks
// the route of an object passing a switch or a signal.
//
// Orientation: an object's placements stand next to each other in the plan's placement list,
// the one holding the end that faces direction 0 first. The first axle faces direction 0.
//
// Lifetime: a plan function or a nested bus message can remove an object while the plan is
// working on it (a move, an event, a walk over the object list). While any such work is on the
// stack (TObjectsHold), a removed object only gets its Removed mark: it has no placements any
// more, Find no longer returns it, and its memory is freed when the last hold ends. Code that
// keeps a TRM_Object* across a call that can nest holds the list and checks Removed afterwards.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "models/base/Containers.h"
#include "models/base/Parametres.h"
#include "platform/core/Strings.h"

class TPlanModel;
class TRM_Section;

class TRM_Object {
public:
    TRM_Object(TPlanModel* model, int number) : Model(model), Number(number) {}

    // The wheelbase: the part of the object that its placements cover.
    double Length() const { return FullLength - FirstAxle - LastAxle; }
    // The overhang before the outermost axle at the end facing direction flag (0: the first axle).
    double EndOffset(int flag) const { return flag == 0 ? FirstAxle : LastAxle; }
    // The free length ahead of the object's end facing dir on that end's section; -1 unplaced.
    double Position(int dir) const;
    // The section under the object's end facing dir; null unplaced.
    TRM_Section* EndSection(int dir) const;

    // Moves the object x metres in direction dir: 1 when it was laid at its new place. Unless
    // toTarget is false (an object still running on the way it came while its order is for
    // the other way), the route to its target is checked at every switch and signal passed.
    int Move(double x, int dir, bool toTarget = true);
    // The longest step in direction dir with which no axle passes a change of retarder or
    // curvature and no section with an entry or exit function is passed unnoticed.
    double StepMin(int dir);
    // Grade, curve and retarder terms at distance metres ahead of the first axle. axles is the
    // technology model's axle list of the object; null asks for it. False when unplaced.
    bool GetRouteProp(double distance, const TlstParams* axles, double& grade, double& curve, double& breaker);
    // Runs event function code (table 2) and reports "code time object text".
    void ChangeState(int code, const AnsiString& text);
    // Sends through the plan model; the reply stands in text.
    int SendMessage(std::string& text, TlstParams* list = nullptr);
    // The technology parameter 1003 (the movement mode); 0 when refused.
    int AskTecnParam();

    TPlanModel* Model;
    int Number;
    double FullLength = 0;  // technology parameter 2018
    double FirstAxle = 0;   // "AXIS0001"
    double LastAxle = 0;    // length less "AXISLAST"
    TlstParams Params;      // the axle list the hump rolling model keeps here
    bool Removed = false;
    // Numbers are given again once an object is gone; the serial never is: state that a model
    // keeps by number beside the plan tells a new object from the one it had before.
    unsigned Serial = 0;
};

// One object's stretch on one section. Offset runs from the section's to-vertex to the near end
// of the stretch.
struct TRM_ObjectOnSection {
    TRM_Section* Section = nullptr;
    TRM_Object* Object = nullptr;
    double Offset = 0;
    double Span = 0;

    // The free length between the stretch and the section's end in direction dir.
    double FreeAhead(int dir) const;
};

class TaRM_Objects : public dllist<TRM_Object> {
public:
    // The live object with this number; null when there is none.
    TRM_Object* Find(int number) const;
    // Frees the removed objects when nothing holds the list.
    void Purge();
    int Holds = 0;
    unsigned Created = 0;  // objects created so far, the last serial given
};

// Keeps removed objects in memory while it lives; the last hold to end frees them.
class TObjectsHold {
public:
    explicit TObjectsHold(TaRM_Objects& objects) : list(objects) { ++list.Holds; }
    ~TObjectsHold()
    {
        if (--list.Holds == 0) list.Purge();
    }
    TObjectsHold(const TObjectsHold&) = delete;
    TObjectsHold& operator=(const TObjectsHold&) = delete;

private:
    TaRM_Objects& list;
};

class TaObjectOnSections : public dllist<TRM_ObjectOnSection> {};

// Lengths closer than this count as equal when objects are compared along the track.
constexpr double kPlanTolerance = 0.0005;

// A direction flag as 0 or 1.
inline int Dir01(int dir) { return dir != 0 ? 1 : 0; }
