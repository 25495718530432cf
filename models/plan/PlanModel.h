// The track plan of the station (component PlanModel, data file "data\plan.dat"): a graph of
// vertices (switches 0-99, signals 100-199, grade fractures 1000-1099, any other number a joint)
// joined by directed sections, with the parks and retarders laid over the sections, the height
// profile, and the switch throws that complete over time. It answers bus receiver 1.
//
// Direction 0 runs along a section from its from-vertex to its to-vertex; any other direction
// value runs the other way. The section beyond s in direction d is asked of s's far vertex.
#pragma once
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "models/plan/Breakers.h"
#include "models/base/Containers.h"
#include "models/base/Model.h"
#include "models/plan/PlanFunction.h"
#include "models/plan/PlanObjects.h"

class TBusWords;
class TPlanModel;
class TRM_Section;
struct TProfileElem;

// Coordinates and grades that the data left open.
constexpr double kUnsetValue = 99999.0;

// One record of plan.dat split into its words, with the line it came from. The field readers
// follow the scanner's rules (a missing field takes its default) but refuse a field that is
// present and is not what the record expects, naming the file, the line and the field.
class TPlanLine {
public:
    TPlanLine(const std::string& file, int line, const std::string& text);

    size_t Size() const { return words.size(); }
    const std::string& Word(size_t i) const { return words[i]; }
    // Field i as an integer; false (value 0) when the record ends before it.
    bool Int(size_t i, int& value) const;
    // Field i as an integer that the record must hold.
    int RequiredInt(size_t i) const;
    // Field i as a real; def when the record ends before it.
    double Real(size_t i, double def) const;
    // Field i as text; def when the record ends before it.
    std::string Text(size_t i, const std::string& def) const;
    // Throws the reason with the file and line.
    [[noreturn]] void Fail(const std::string& reason) const;

    int Line() const { return line; }
    const std::string& Text() const { return text; }

private:
    std::string file;
    int line;
    std::string text;
    std::vector<std::string> words;
};

// ---- vertices ----

class TRM_Vertex {
public:
    TRM_Vertex(TPlanModel* model, int number) : Number(number), Model(model) {}
    virtual ~TRM_Vertex() = default;
    TRM_Vertex(const TRM_Vertex&) = delete;
    TRM_Vertex& operator=(const TRM_Vertex&) = delete;

    // 0 plain vertex, 1 switch, 2 signal, 3 joint, 11 grade fracture.
    virtual int Kind() const { return 0; }
    // Reads the class's own fields of its vertex record.
    virtual void ReadLine(const TPlanLine&) {}
    // The section to take leaving this vertex in direction d, having arrived over s (may be null).
    virtual TRM_Section* NextSection(int d, const TRM_Section* s) const;
    virtual void ReplaceSection(TRM_Section* a, TRM_Section* b);
    // Carries the profile element e on from this vertex (e arrived here).
    virtual void CarryProfile(TProfileElem* e);
    // Attaches s at end 0 (s starts here) or end 1 (s ends here).
    virtual void AttachSection(TRM_Section* s, int end);
    void ClearMark() { Mark = 0; }
    void SetMark() { Mark = 1; }
    virtual AnsiString Dump() const;
    // Bus ops 4, 9 and 24 addressed to this vertex, the message split into w; 0 unless it is a
    // switch.
    virtual int BusCommand(int op, const TBusWords& w, std::string& mes);

    int Number;
    AnsiString Name;
    TPlanModel* Model;
    unsigned char Mark = 0;
    double X = kUnsetValue;
    double Y = kUnsetValue;
    double Z = kUnsetValue;
    // Where the vertex was first named and whether its own vertex record was read.
    int RecordLine = 0;
    bool Described = false;
};

class TRM_Joint : public TRM_Vertex {
public:
    using TRM_Vertex::TRM_Vertex;
    int Kind() const override { return 3; }
    TRM_Section* NextSection(int d, const TRM_Section* s) const override;
    void ReplaceSection(TRM_Section* a, TRM_Section* b) override;
    void CarryProfile(TProfileElem* e) override;
    void AttachSection(TRM_Section* s, int end) override;
    AnsiString Dump() const override;

    TRM_Section* Arriving = nullptr;  // the section that ends here
    TRM_Section* Leaving = nullptr;   // the section that starts here
};

class TRM_Signal : public TRM_Joint {
public:
    TRM_Signal(TPlanModel* model, int number);
    int Kind() const override { return 2; }
    void ReadLine(const TPlanLine& line) override;
    // The signal stands for movements in direction dir.
    bool Faces(int dir) const { return Direction == (dir != 0); }

    bool Direction = false;
};

class TRM_Fracture : public TRM_Joint {
public:
    using TRM_Joint::TRM_Joint;
    int Kind() const override { return 11; }
    void ReadLine(const TPlanLine& line) override;
    void CarryProfile(TProfileElem* e) override;

    double Radius = 200.0;
    // The grade after the fracture (the written value x 0.001). Positive where the track falls in
    // direction 0: the hump rolling model adds it to the force on a cut rolling in direction 0.
    double Grade = kUnsetValue;
    double T = 0;                // half-length of the vertical curve
    double c0 = 0, c1 = 0, c2 = 0;
    // The grade in per mille on the vertical curve at u metres from its start.
    double CurveGrade(double u) const { return -1000.0 * (c0 + c1 * u + c2 * u * u / 2); }
};

class TRM_Switch : public TRM_Vertex, public TDevice {
public:
    TRM_Switch(TPlanModel* model, int number);
    static constexpr int DeviceKind = 1;
    // End slots, in record order.
    enum { ForwardPos0, ForwardPos1, BackwardPos0, BackwardPos1 };

    int Kind() const override { return 1; }
    void ReadLine(const TPlanLine& line) override;
    TRM_Section* NextSection(int d, const TRM_Section* s) const override;
    void ReplaceSection(TRM_Section* a, TRM_Section* b) override;
    void CarryProfile(TProfileElem* e) override;
    void AttachSection(TRM_Section*, int) override {}
    AnsiString Dump() const override;
    int BusCommand(int op, const TBusWords& w, std::string& mes) override;
    // Ends a throw whose due time has come.
    void Step(double t) override;

    // Some section of the switch is occupied: its own list, or its four ends when the list is empty.
    bool Occupied() const;
    // Bus op 9: the throw to position at the given time (null: now plus a random delay).
    int Throw(int position, const double* time);
    // Bus op 37.
    void Close(int value);

    double DueTime = -1.0;
    unsigned char Trailed = 0;
    int LockMode = 0;  // 0 not locked, 1 locked by a route, 2 and above a fault mode
    dllist<TRM_Section*> Own;
    TRM_Section* Ends[4] = {nullptr, nullptr, nullptr, nullptr};
    int State = 0;  // 0/1 lying, 2/3 moving to 0/1, 4/5 in 0/1 under a fault
};

// ---- sections, parks, profile ----

class TRM_Section {
public:
    TRM_Section(TPlanModel* model, int number) : Number(number), Model(model) {}
    virtual ~TRM_Section() = default;
    TRM_Section(const TRM_Section&) = delete;
    TRM_Section& operator=(const TRM_Section&) = delete;

    // Bus op 5: "occupied curvature".
    virtual int StateQuery(std::string& mes) const;
    virtual AnsiString Dump() const;

    // The vertex at the far end going in direction dir.
    TRM_Vertex* FarVertex(int dir) const { return dir == 0 ? To : From; }
    // The grade of its profile element (0 without one).
    double Grade() const;

    unsigned char Free = 1;
    int Number;
    AnsiString Name;
    TRM_Vertex* From = nullptr;
    TRM_Vertex* To = nullptr;
    double Curvature = 0;  // a curve radius above 120, else a frog number
    double Length = 0;
    double StartPos = 0;   // where it starts within its profile element
    TProfileElem* Element = nullptr;
    int EntryFn = 0;
    int ExitFn = 0;
    TRM_Breaker* Breaker = nullptr;
    TPlanModel* Model;
    int RecordLine = 0;
    bool Described = false;
};

class TRM_Park {
public:
    TRM_Park(TPlanModel*, int number) : Number(number) {}
    dllist<TRM_Section*> Sections;
    int Number;
    AnsiString Name;
};

// A run of sections sharing the grade of the fracture that starts it.
struct TProfileElem {
    const double* GradeOf = nullptr;  // the starting fracture's grade
    double Length = 0;
    TRM_Vertex* Start = nullptr;
    TRM_Vertex* End = nullptr;

    double Grade() const { return GradeOf ? *GradeOf : 0.0; }
    AnsiString Dump() const;
};

// ---- the arrays of a plan ----

// Every vertex; sorted by number once the plan is loaded.
class TaVertexes {
public:
    static constexpr unsigned int Slots = 500;
    unsigned int Count() const { return static_cast<unsigned int>(items.size()); }
    TRM_Vertex* Get(unsigned int i) const;
    TRM_Vertex* Find(int number) const;
    TRM_Vertex* Add(std::unique_ptr<TRM_Vertex> v);
    void Sort();
    void Clear();
    unsigned char Sorted = 0;

private:
    std::vector<std::unique_ptr<TRM_Vertex>> items;
};

// Every section; sorted by number once the plan is loaded. Sections never move in memory.
class TaSections {
public:
    static constexpr unsigned int Slots = 500;
    unsigned int Count() const { return static_cast<unsigned int>(items.size()); }
    TRM_Section* Get(unsigned int i) const;
    TRM_Section* Find(int number) const;
    TRM_Section* Add(std::unique_ptr<TRM_Section> s);
    void Sort();
    void Clear();
    unsigned char Sorted = 0;

private:
    std::vector<std::unique_ptr<TRM_Section>> items;
};

// Parks and retarder placements: found by number in array order, at most Capacity of them.
template <class T>
class TRM_SectionPlaceArray {
public:
    TRM_SectionPlaceArray(TPlanModel* model, unsigned int capacity) : Model(model), Capacity(capacity) {}
    unsigned int Count() const { return static_cast<unsigned int>(items.size()); }
    T* Get(unsigned int i) const { return i < items.size() ? items[i].get() : nullptr; }
    T* Find(int number) const
    {
        for (auto& p : items)
            if (p->Number == number) return p.get();
        return nullptr;
    }
    T* FindOrCreate(int number)
    {
        if (T* p = Find(number)) return p;
        if (items.size() >= Capacity) throw Exception("TRM_SectionPlaceArray:: переполнение массива");
        items.push_back(std::make_unique<T>(Model, number));
        return items.back().get();
    }
    void Clear() { items.clear(); }

    TPlanModel* Model;
    const unsigned int Capacity;

private:
    std::vector<std::unique_ptr<T>> items;
};

// ---- the model ----

class TPlanModel : public TModel {
    VELO_CLASS(TPlanModel, TModel)
public:
    explicit TPlanModel(TComponent* owner = nullptr);
    ~TPlanModel() override;

    // Loads "data\breakers.dat", then the plan records from f, then sorts, registers the
    // devices and computes the coordinates and the profile.
    void Read(std::FILE* f) override;
    void Synchronization(double t) override;
    int fnGetModelMessage(std::string& mes, TlstParams* lstPar) override;
    // Empties the plan. The retarder types and the event functions stay.
    void ClearData() override;
    // Switches in array order, then the retarder placements.
    virtual void RegistryDevices();
    // Every reference to section a in the vertices and parks becomes b.
    void ReplaseSection(TRM_Section* a, TRM_Section* b);

    // Look-ups: null when there is none.
    TRM_Vertex* FindVertex(int number) const { return Vertexes.Find(number); }
    TRM_Section* FindSection(int number) const { return Sections.Find(number); }
    TRM_Park* FindPark(int number) const { return Parks.Find(number); }
    TRM_Breaker* FindBreaker(int number) const { return Breakers.Find(number); }
    TRM_Switch* FindSwitch(int number) const;
    // The first park in array order that holds s.
    TRM_Park* ParkOfSection(const TRM_Section* s) const;
    // The section beyond s in direction dir (null at a dead end or a switch that does not lead on).
    TRM_Section* NextSection(const TRM_Section* s, int dir) const;

    // Grade in per mille at x metres from s's from-vertex.
    double GetWaySlope(const TRM_Section* s, double x) const;
    // Curve resistance of a curvature value for a bearing kind (0 or 1).
    static double CurveResistance(double curvature, int kind);

    // Find or create by number while loading; line is where the number was read.
    TRM_Vertex* VertexAt(int number, int line);
    TRM_Section* SectionAt(int number, const TPlanLine& line);

    // Profile building: whether s was assigned in the current walk; assign s to e (false when
    // it already was); start a new element of the given grade at v.
    bool ProfileAssign(TRM_Section* s, TProfileElem* e);
    bool ProfileVisited(const TRM_Section* s) const { return profileVisited.count(s) != 0; }
    TProfileElem* NewProfileElem(const double* grade, TRM_Vertex* start);

    // The plan.
    TaVertexes Vertexes;
    TaSections Sections;
    TRM_SectionPlaceArray<TRM_Breaker> Breakers;
    TaDevices Devices;
    TaRM_Objects Objects;
    TRM_SectionPlaceArray<TRM_Park> Parks;
    TaBreakerProperties BreakerProperties;
    dllist<TProfileElem> Profile;
    TaObjectOnSections Placements;
    TaPlanFunctions SectionFunctions;  // table 1: record 8, run on entering and leaving sections
    TaPlanFunctions EventFunctions;    // table 2: record 9, run for an object's state events

    // The most lines a plan file may have.
    static constexpr int MaxLines = 5000;

    // ---- moving objects (the interface of the technology and movement models) ----

    // The live object with this number; null when there is none.
    TRM_Object* FindObject(int number) const { return Objects.Find(number); }
    // The object with this number, created from the technology model's answers when it is
    // absent; null when the technology model refuses its length.
    TRM_Object* FindOrCreateObject(int number);
    // The object's placements in list order (the end facing direction 0 first).
    std::vector<TRM_ObjectOnSection> PlacementsOf(const TRM_Object* o) const;
    // Lays o with its end facing dir at p metres before the end of s in direction dir.
    // report: raise the enter and leave events against the placements it had. 0 when it does
    // not fit on the track, or when mayOverlap is false and it would lie over another object's
    // wheelbase; the old placements then stay.
    // passed: the sections a move's leading end entered on its way to s, in travel order.
    int PlaceObject(TRM_Object* o, TRM_Section* s, double p, int dir, bool report = true, bool mayOverlap = true,
                    const std::vector<TRM_Section*>* passed = nullptr);
    // Some stretch of run lies over a stretch of another object than o (touching is not lying over).
    bool OverlapsOthers(const TRM_Object* o, const std::vector<TRM_ObjectOnSection>& run) const;
    // Bus op 6: places (creating when needed) and tells the technology model (1029). An object
    // is never laid over another one: the caller waits until the place is clear.
    int StoreObject(int section, int number, double position, int dir);
    // Bus op 7: takes the object off the plan, without events.
    void RemoveObject(int number);
    int MoveObject(TRM_Object* o, double x, int dir, bool toTarget = true);
    double StepMin(TRM_Object* o, int dir);
    bool GetRouteProp(TRM_Object* o, double distance, const TlstParams* axles, double& grade, double& curve,
                      double& breaker);
    // Bus op 34: lays the object again after its length changed, its end facing dir kept.
    int ReStoreObject(int number, int dir);
    // Bus op 36: joins b to a when they are at most 1 m apart.
    int EnumObjects(int a, int b);
    // The gap between a's direction-1 end and b's direction-0 end, the two overhangs taken
    // off (not below 0), when b is the first object behind a in direction 1; -1 otherwise.
    double Distance(const TRM_Object* a, const TRM_Object* b) const;
    // The first other object ahead of o's end facing dir and the gap between their outer axles.
    bool Nearest(const TRM_Object* o, int dir, int& other, double& gap) const;

    // ---- routes and targets ----

    // Target T (1 signal N facing dir beyond c, 2 signal N facing against dir beyond c,
    // 3 section N, 4 park N) is met at section c.
    bool IsTarget(int T, int N, const TRM_Section* c, int dir) const;
    // 1 when target T, N can be reached from c in direction dir by some positions of the switches.
    int FindTarget(int T, int N, TRM_Section* c, int dir);
    // Walks from c in dir by the switches as they lie, to the target, a closed signal or a dead
    // end; 1 when the target was reached.
    int GetRouteEnd(int T, int N, TRM_Section* c, int dir, int mode, TRM_Section*& reached, TRM_Vertex*& beyond);
    // Passability of v met leaving s in direction dir, for movement mode M: 3 no way on,
    // 4 way on, otherwise the interlocking's answer for a signal met in its own direction.
    int Passability(TRM_Vertex* v, const TRM_Section* s, int dir, int M);
    // The section beyond s in direction dir; a switch lying the other way is trailed when it
    // leads on once turned (its number then goes to trailed).
    TRM_Section* NextSectionTrailing(TRM_Section* s, int dir, std::vector<int>& trailed);
    // Sets s's free flag from the placements.
    void UpdateFree(TRM_Section* s);

    // The generator of the random choice of op 22; rand() unless a test sets another.
    std::function<int()> Random;

protected:
    // The record readers.
    void ReadRecord(const TPlanLine& line, int type);
    void ReadSection(const TPlanLine& line);
    void ReadPark(const TPlanLine& line);
    void ReadBreaker(const TPlanLine& line);
    void ReadVertexData(const TPlanLine& line);
    // Records 8 and 9.
    void ReadPlanFunction(const TPlanLine& line, int table);
    // Every section and switch named in the file was described, and every switch end touches it.
    void CheckLinks() const;

    void ComputeCoordinates();
    void BuildProfile();
    void ComputeVerticalCurves();

    // Bus handlers: each reads its fields from the message split once into w; those that answer
    // write the reply over mes.
    int VertexCommand(int op, const TBusWords& w, std::string& mes);
    int GetSectionState(const TBusWords& w, std::string& mes);
    int GetSignalDir(const TBusWords& w, std::string& mes);
    int NextSection(const TBusWords& w, std::string& mes);
    int SetBreakerState(const TBusWords& w);
    int GetWaySlope(const TBusWords& w, std::string& mes);
    int GetPlParam(const TBusWords& w, std::string& mes);
    int GetPlParamID(const TBusWords& w, std::string& mes);
    int SetBreakerResist(const TBusWords& w);
    int SwitchClose(const TBusWords& w);
    int StoreOBJ(const TBusWords& w);
    int RemoveOBJ(const TBusWords& w);
    int MoveOBJ(const TBusWords& w);
    int GetRoute(const TBusWords& w, std::string& mes);
    int GetNearest(const TBusWords& w, std::string& mes);
    int GetObjectEnd(const TBusWords& w, std::string& mes);
    int GetSectionObjects(const TBusWords& w, std::string& mes);
    int GetDistance(const TBusWords& w, std::string& mes);
    int GetWay(const TBusWords& w, std::string& mes);
    int FindTarget(int T, const TBusWords& w, std::string& mes);
    int GetRouteEnd(const TBusWords& w, std::string& mes);
    int RandomSet(const TBusWords& w, std::string& mes);
    int GetPark(const TBusWords& w, std::string& mes);
    int StepMin(const TBusWords& w, std::string& mes);
    int GetRouteProp(const TBusWords& w, std::string& mes);
    int CreateHmpFile(const TBusWords& w);
    int ReStoreOBJ(const TBusWords& w);
    int EnumObjects(const TBusWords& w);

    // Sends [0 4 1 {switch}] for each trailed switch.
    void ReportTrailed(const std::vector<int>& trailed);
    // The route check of an object leaving s over v in direction dir toward target T, N.
    bool RouteCheck(TRM_Vertex* v, TRM_Section* s, int dir, int T, int N, int M);
    // Stops an object whose route check failed.
    void StopObject(TRM_Object* o);
    // The enter and leave events of a move from old to now (both in list order); passed as for
    // PlaceObject: a section entered and left within the move raises both.
    void ReportChanges(TRM_Object* o, const std::vector<TRM_ObjectOnSection>& old,
                       const std::vector<TRM_ObjectOnSection>& now, int dir,
                       const std::vector<TRM_Section*>* passed = nullptr);
    void RunSectionFunction(TRM_Object* o, TRM_Section* s, int fn);
    // The target search beyond v, which was reached over s.
    bool SearchTarget(TRM_Vertex* v, const TRM_Section* s, int T, int N, int dir, unsigned depth);
    // Takes o's placements out of the list (the free flags follow) and returns them.
    std::vector<TRM_ObjectOnSection> TakePlacements(const TRM_Object* o);
    void PutPlacements(const std::vector<TRM_ObjectOnSection>& run);
    // Asks the technology model text (with a list when given); the reply in reply.
    int AskTecn(const std::string& text, std::string& reply, TlstParams* list = nullptr);
    // The technology model's target type, target number and movement mode of an object.
    void AskTarget(int number, int& T, int& N, int& M);

private:
    std::string DataFileName() const;
    std::unordered_set<const TRM_Section*> profileVisited;
};
