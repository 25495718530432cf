// TEC_Model: the route-relay interlocking of the station (bus receiver 2). It keeps a coarse graph
// of the station (switches, signals and joints numbered like the plan's vertices), the interlocking
// sections that mirror the occupancy of plan sections, and the stretch tracks with their blocks.
// It never moves anything: it asks the plan model for occupancy and switch positions, turns
// switches through the plan, and tells the main window what the panel must show (receiver 4).
//
// Data: "data\EC_Model.dat", one record a line (switch, signal, joint, section, switch list of a
// switch section, stretch track); see EC_Model.cpp for the record layouts.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "models/base/BusWords.h"
#include "models/base/Model.h"

class TEC_Model;
class TEC_Section1;
class TEC_SwitchSection;
class TEC_Block1;
class TEC_Signal1;
class TEC_Switch1;

// A vertex of the interlocking graph. The class follows from the number: 0-99 a switch,
// 100-199 a signal, anything above a joint.
class TEC_Vertex {
public:
    explicit TEC_Vertex(int number);
    virtual ~TEC_Vertex() = default;
    TEC_Vertex(const TEC_Vertex&) = delete;
    TEC_Vertex& operator=(const TEC_Vertex&) = delete;

    // Fills the vertex from its record (the whole data line); faults of the data throw.
    virtual void Read(const std::string& line, int lineNo) = 0;
    // One step of the route search entering this vertex with an entry value; 1 when the route
    // can go on through it to the end.
    virtual int Trace(int entry);
    // The vertex's own section test during the search; true when the route may take it.
    virtual bool Reserve();
    // Writes the state reply into buf; 0 when the vertex has none.
    virtual int State(std::string& buf);
    // The vertex as a switch or a signal, null when it is not one (cheaper than a cast: the
    // vertices are looked at many times a tick).
    virtual TEC_Switch1* Switch() { return nullptr; }
    virtual TEC_Signal1* Signal() { return nullptr; }

    int Number;
    TEC_Model* Owner = nullptr;
    int Entry[4] = {-1, -1, -1, -1};
    // Set while the route search has this vertex on its current path.
    unsigned char Mark = 0;

    // Filled by its own record (not only named by others); the line that first named it.
    bool Described = false;
    int RefLine = 0;
};

// A switch: slots 0 and 1 of its neighbours serve the route direction 0 (plus branch or the single
// onward vertex, minus branch), slots 2 and 3 the direction 1.
class TEC_Switch1 : public TEC_Vertex, public TDevice {
public:
    explicit TEC_Switch1(int number) : TEC_Vertex(number) {}
    TEC_Switch1* Switch() override { return this; }
    void Read(const std::string& line, int lineNo) override;
    int Trace(int entry) override;
    bool Reserve() override;
    int State(std::string& buf) override;
    // Polls the plan for the switch position.
    void Step(double t) override;

    // The lamp base: the paired switch when there is one, else this switch.
    int LampBase() const { return Paired ? Paired : Number; }

    TEC_Vertex* Neighbour[4] = {nullptr, nullptr, nullptr, nullptr};
    int Position = 0;  // 0 plus, 1 minus, 2 moving to plus, 3 moving to minus
    int Paired = 0;
    // The other half of a pair, whichever of the two names the other: the pair turns as a unit.
    TEC_Switch1* Partner = nullptr;
    TEC_SwitchSection* Section = nullptr;
    bool Reserved = false;
    bool Individual = false;
    bool AuxTurning = false;
    // Set while the sealed button's command is forwarded to the partner, so it is not sent back.
    bool AuxBusy = false;
};

struct TEC_SwitchRoute {
    TEC_Switch1* Switch;
    int Position;
};

class TEC_Signal1 : public TEC_Vertex, public TDevice {
public:
    explicit TEC_Signal1(int number) : TEC_Vertex(number) {}
    TEC_Signal1* Signal() override { return this; }
    void Read(const std::string& line, int lineNo) override;
    int Trace(int entry) override;
    bool Reserve() override;
    void Step(double) override {}

    // Opens the signal for the pending route (its start or an intermediate signal) or, for a
    // kind 4 signal, by itself (route null).
    void Open(bool isStart);
    void Close();
    int ClosedAspect() const { return Kind == 0 ? 0 : 2; }

    TEC_Section1* Sections[2] = {nullptr, nullptr};
    TEC_Vertex* Neighbour[2] = {nullptr, nullptr};
    int SignalState = 2;  // 0 open, 1 open while the next signal is closed, 2 closed
    int Direction = 0;
    int Kind = 0;
    int RouteMode = -1;  // -1 none, 0 shunting, 1 train
    std::string Name = "0";
    TEC_Section1* Approach = nullptr;
    TEC_Section1* Guarded = nullptr;
    std::vector<TEC_Section1*> RouteSections;
    std::vector<TEC_Signal1*> RouteSignals;
    // The switch positions the signal's route needs (for an intermediate signal, those beyond it).
    std::vector<TEC_SwitchRoute> RouteSwitches;
    // The number of the route this signal opened last (numbers are unique in the model), carried
    // by its timed release so that the release frees only what that route still holds.
    unsigned Openings = 0;
    // The route the signal is open for; 0 while closed or when it opened without a route.
    unsigned RouteId = 0;
};

class TEC_Joint : public TEC_Vertex {
public:
    explicit TEC_Joint(int number) : TEC_Vertex(number) {}
    void Read(const std::string& line, int lineNo) override;
    int Trace(int entry) override;
    bool Reserve() override;

    TEC_Vertex* Neighbour[2] = {nullptr, nullptr};
    TEC_Section1* Sections[2] = {nullptr, nullptr};
};

// An interlocking section: plain (TEC_Section1), switch section or block section.
class TEC_Section1 : public TDevice {
public:
    TEC_Section1(int number, int type) : Number(number), Type(type) {}
    ~TEC_Section1() override = default;
    TEC_Section1(const TEC_Section1&) = delete;
    TEC_Section1& operator=(const TEC_Section1&) = delete;

    void Step(double t) override;
    // The occupancy the plan reports for the section.
    virtual bool IsOccupied();
    virtual void ComputeVariant();
    // Moves the section to state a (0 free, 1 occupied, 2 locked) and shows it.
    virtual void ChangeState(int a);
    // Sets the fault mode (100 normal, 101 shown occupied, 102 shown free).
    virtual void ChangeFault(int c);
    // Frees the section and, first, the rest of its route behind it.
    void Release();
    // The next section of the same route, or null.
    TEC_Section1* RouteNext() const { return Next && RouteId && Next->RouteId == RouteId ? Next : nullptr; }
    // Drops the route's hold on the section: a locked section frees, an occupied one keeps its state.
    void DropLock();
    // Closes the guarding signal when a movement enters (train) or clears (shunting) the section.
    void GuardTest(int a);
    void SendCell(int cellState);

    unsigned char SectionState = 0;
    unsigned char SavedState = 0;
    unsigned char FaultMode = 100;
    // A movement stood on the section at its last step, whatever the section showed.
    bool MovementOn = false;
    int Number;
    int Type;
    int Variant = 0;
    int Option = 0;
    bool LockedMemory = false;
    bool Closed = false;
    int ReleaseStage = 0;
    double CheckTime = 0;
    std::vector<unsigned> PlanSections;
    TEC_Signal1* Guarding = nullptr;
    TEC_Section1* Next = nullptr;
    // The route whose lock the section holds (also while a movement occupies it); 0 none. A link
    // to the next section counts only while both hold the same route.
    unsigned RouteId = 0;
    TEC_Model* Owner = nullptr;

    bool Described = false;
    int RefLine = 0;
    // Set while the section is being released, so cyclic route links cannot recurse forever.
    bool Releasing = false;

protected:
    // Step of a plain section in a fault mode: watches for an entry without a prior inquiry.
    void WatchFault(bool occupied, int errorBase);
};

class TEC_SwitchSection : public TEC_Section1 {
public:
    explicit TEC_SwitchSection(int number) : TEC_Section1(number, 0) {}
    void Step(double t) override;
    bool IsOccupied() override;
    void ComputeVariant() override;
    void ChangeState(int a) override;
    void LockPlanSwitches(int value);

    bool ForceResend = false;
    std::vector<TEC_Switch1*> Switches;
};

class TEC_Block1 : public TEC_Section1 {
public:
    explicit TEC_Block1(int number) : TEC_Section1(number, 2) {}
    // Mirrors the plan; a route's lock is kept while the block is free.
    void Step(double t) override;
    void ComputeVariant() override {}
    void ChangeState(int a) override;
};

// A stretch track: its block sections light the stretch indicator, and its stretch signals follow
// the block-signal chain.
class TEC_PeregonTrack : public TDevice {
public:
    explicit TEC_PeregonTrack(int number) : Number(number) {}
    void Step(double t) override;

    int Number;
    int Direction = 0;
    int IndicatorState = 0;
    std::vector<TEC_Block1*> Blocks;
    TEC_Vertex* Vertex[2] = {nullptr, nullptr};
    TEC_Model* Owner = nullptr;

private:
    // The signals the chain has met this tick; kept so that a tick allocates nothing.
    std::vector<TEC_Signal1*> seen;
};

// The route being set: from the first click on its start signal until the signal opens.
class TEC_Route {
public:
    TEC_Signal1* Start = nullptr;
    TEC_Model* Owner = nullptr;
    unsigned End = 0;
    int Direction = 0;
    int Mode = 0;  // 0 shunting, 1 train
    std::vector<TEC_Section1*> Sections;
    std::vector<TEC_Signal1*> Signals;
    std::vector<TEC_SwitchRoute> Switches;
    bool Opened = false;
};

// An owning array of at most N-1 elements; misuse raises "{name}:: переполнение массива" or
// "{name}:: индекс вне диапазона".
template <class T, unsigned N>
class TEC_OwningArray {
public:
    TEC_OwningArray(const char* name, TEC_Model* owner) : fName(name), fOwner(owner) {}
    ~TEC_OwningArray() { Clear(); }
    TEC_OwningArray(const TEC_OwningArray&) = delete;
    TEC_OwningArray& operator=(const TEC_OwningArray&) = delete;

    T* Add(T* x)
    {
        std::unique_ptr<T> hold(x);
        if (items.size() >= N - 1) throw Exception(fName + ":: переполнение массива");
        x->Owner = fOwner;
        items.push_back(hold.release());
        return x;
    }
    T* Get(unsigned i) const
    {
        if (i >= items.size()) throw Exception(fName + ":: индекс вне диапазона");
        return items[i];
    }
    unsigned Count() const { return static_cast<unsigned>(items.size()); }
    void Clear()
    {
        // Elements go in reverse order of creation.
        while (!items.empty()) {
            delete items.back();
            items.pop_back();
        }
    }

protected:
    std::string fName;
    TEC_Model* fOwner;
    std::vector<T*> items;
};

class TaECVertexes : public TEC_OwningArray<TEC_Vertex, 500> {
public:
    explicit TaECVertexes(TEC_Model* owner) : TEC_OwningArray("TaECVertexes", owner) {}
    TEC_Vertex* Find(int number) const;
};

class TaECSections : public TEC_OwningArray<TEC_Section1, 500> {
public:
    explicit TaECSections(TEC_Model* owner) : TEC_OwningArray("TaECSections", owner) {}
    TEC_Section1* Find(int number) const;
    // The first section whose plan sections contain the plan section.
    TEC_Section1* FindByPlanSection(unsigned planSection) const;
    // The artificial release has been armed (command 12) and not yet carried out.
    unsigned char ArtificialRelease = 0;
};

class TaECPeregonTracks : public TEC_OwningArray<TEC_PeregonTrack, 4> {
public:
    explicit TaECPeregonTracks(TEC_Model* owner) : TEC_OwningArray("TaECPeregonTracks", owner) {}
    TEC_PeregonTrack* Find(int number) const;
};

class TEC_Model : public TModel {
    VELO_CLASS(TEC_Model, TModel)
public:
    explicit TEC_Model(TComponent* owner = nullptr);
    ~TEC_Model() override;

    void Read(std::FILE* f) override;
    // The trainer's model: the file must describe a signal (without one no route is ever set)
    // and a section. Fixtures of a few switches or joints run without.
    bool StationRequired = false;
    virtual void RegistryDevices();
    void Synchronization(double t) override;
    // Receiver 2: commands 4 to 23 (23: a signal's name). The common parameter commands 1 to 3
    // are not served here.
    int fnGetMessage(std::string& mes, TlstParams* lstPar) override;

    bool IsRouteGroupe() const { return routeGroupe; }
    bool IsStartMarked() const { return startMarked; }
    bool IsDeleteRouteMode() const { return deleteRouteMode; }
    // The route while a route is in progress, else null.
    TEC_Route* GetRoute() const { return routeGroupe ? route.get() : nullptr; }
    TEC_Route* PendingRoute() const { return route.get(); }

    // Route setting.
    int fnSignalClick(unsigned signal, unsigned mode);
    int fnEndRouteClick(const TBusWords& w, std::string& mes);
    int fnSignalCancel();
    int fnDeleteRouteClick();
    int fnGetSignalState(const TBusWords& w, std::string& mes);
    void SetBegin(TEC_Signal1* signal, unsigned mode);
    void DeleteRoute(bool keepCell);
    void CheckRoute();
    // The route search's step into a vertex: guards the path and drops whatever a failed branch
    // recorded.
    int TraceInto(TEC_Vertex* v, int entry);
    // Adds a section to the pending route once.
    void AddRouteSection(TEC_Section1* s);
    // The section test of a signal or joint during the search.
    bool ReserveSection(TEC_Section1* s, bool testClosed);

    // Sends a text to the bus; the reply is dropped.
    int Send(const std::string& text);
    // Sends a trainee error [0 4 {error} {text}]; held back while the route search runs.
    void SendError(int error, const std::string& text);
    // The section's name from the main window, " " when it does not answer.
    std::string SectionName(int section);
    // [1 5 {plan section}]: true when answered, *occupied from the reply's first number.
    bool AskPlanSection(unsigned planSection, bool* occupied);
    // [1 4 {switch}]: true when answered, the reply's numbers in the out fields.
    bool AskPlanSwitch(int sw, int* occupied, int* position, int* trailed = nullptr, int* lockMode = nullptr);

    // Loading: a fault of the data names the file and the line; a number met first creates its
    // element (vertex class by number, section class by type), filled when its record comes.
    [[noreturn]] void DataError(int lineNo, const std::string& reason) const;
    TEC_Vertex* VertexRef(int number, int lineNo);
    TEC_Section1* SectionRef(int number, int type, int lineNo);

    TaECVertexes Vertexes;
    TaECSections Sections;
    TaECPeregonTracks PeregonTracks;
    TaDevices Devices;

    // Closes every open signal whose route is no longer intact: a switch out of the route's
    // position, a section no longer held by the route, or, for a train route, an occupied section.
    // Runs at the end of every time step and of every message from outside.
    void Supervise();
    bool RouteIntact(const TEC_Signal1* sig) const;
    // Closes the open signals of a route (its start and intermediate signals).
    void CloseRoute(unsigned routeId);
    unsigned NewRouteId() { return ++routeSerial; }

    // Errors met during the route search, sent when the search fails.
    std::vector<std::string> searchErrors;
    bool inSearch = false;

private:
    int Dispatch(const TBusWords& w, std::string& mes);
    int SwitchCommand(unsigned n, unsigned p, unsigned i);
    int AuxTurning(unsigned n, unsigned held);
    int RouteCancelClick(TEC_Signal1* sig, unsigned k);
    int TimedRelease(const TBusWords& w);
    int CloseSignal(unsigned n);
    int SwitchInquiry(unsigned n, std::string& mes);
    int SwitchControl(unsigned on);
    int SectionInfo(unsigned sec, std::string& mes);
    int ArmRelease(unsigned sec);
    int ConfirmRelease();
    int DoRelease();
    int SetClosed(unsigned planSection, unsigned flag);
    int SetFault(unsigned sec, unsigned mode, std::string& mes);
    // [2 23 {object}]: the technology object told of every fault mode set (TModel::TellFault).
    int SetFaultListener(const TBusWords& w);
    int SectionInquiry(const TBusWords& w, std::string& mes);
    int FindSection(unsigned planSection, std::string& mes);
    // [2 24 {signal}]: the signal's name, answered in mes.
    int SignalName(unsigned n, std::string& mes);

    void ReadLine(const std::string& line, int lineNo);
    void CheckDescribed() const;
    void DropRoute();

    std::unique_ptr<TEC_Route> route;
    bool routeGroupe = false;
    bool startMarked = false;
    bool deleteRouteMode = false;
    // The device index after which the pending route is checked once a tick (after the switches
    // and signals have stepped).
    unsigned checkAfter = 0;
    unsigned routeSerial = 0;
    // Nesting of fnGetMessage: the model sends messages to itself.
    int depth = 0;
};

TEC_Switch1* AsSwitch(TEC_Vertex* v);
TEC_Signal1* AsSignal(TEC_Vertex* v);
