// The technology model (component TecnModel, bus receiver 3): every train, cut, car and
// locomotive is a technology object with numbered parameters, a state and, as a rule, a finite
// automaton of its technology type. Commands move the automaton from state to state; a
// transition can start and cancel works, which take executors by skill and feed their signal
// back to the automaton when they end. The model reads its automata, works and functions from
// "DATA\Tecnology.dat" (FileName) and its car types from "data\cars.dat".
//
// Lifetime: an object or a work removed while a pass over the objects or works runs (a
// transition that removes the next object through the bus, a cancelled next work, an object
// that removes itself) is unlinked and marked dead at once and freed only when the outermost
// call into the model returns, so no pass ever touches freed memory.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "models/base/Containers.h"
#include "models/base/Model.h"
#include "models/technology/Executors.h"
#include "models/technology/TecnFunction.h"

// One executor requirement: skill, release flag (non-zero: back to the pool when the work ends)
// and five preferred executor numbers (0 = none).
struct TExecProc {
    int Scill = 0;
    int Release = 0;
    int Prefer[5] = {0, 0, 0, 0, 0};
};

struct TWorkTemplate {
    int Number = 0;
    unsigned int Signal = 0;             // command fed to the automaton when the work ends
    std::vector<TExecProc> Requirements;
    AnsiString Duration = "0";           // expression
    std::vector<AnsiString> Conditions;  // expressions, all true before the work may end
    AnsiString Content;
};

struct TAutomatFunction {
    std::vector<int> Start;   // works started (at most 11)
    int Command = 0;
    int Condition = 0;        // technology function that must succeed; 0 none
    int Action = 0;           // technology function run when the transition fires; 0 none
    int Target = -1;          // -1: stay in the state
    std::vector<int> Cancel;  // works cancelled (at most 15)
};

using TAutomatString = std::vector<TAutomatFunction>;

struct TAutomat {
    TArray100<TAutomatString> States;
    int Type = 0;
    std::vector<TExecProc> Requirements;
    std::vector<TObjParam> Defaults;
};

constexpr int kMaxCarAxles = 32;

struct TCarDef {
    AnsiString Name;
    int Axles = 0;
    double Length = 0;
    float C[6] = {0, 0, 0, 0, 0, 0};
    double Axis[kMaxCarAxles] = {};  // position of axle i + 1 from the car's front
};

class TTecnModel;
class TTecnObject;

// A running work; its object owns it.
class TWork {
public:
    TWork(const TWorkTemplate* t, TTecnObject* o);
    virtual ~TWork() = default;
    // Advances the work at time t; true when it has ended.
    virtual bool Step(double t);

    bool Started = false;
    float EndTime = 0;
    std::vector<AnsiString> Conditions;  // still to be found true
    const TWorkTemplate* Template;
    TTecnObject* Object;
    TExecutorPtrList Executors;
    std::vector<TExecProc> Open;         // requirements not yet met
    bool Dead = false;                   // ended or cancelled; freed after the pass
};

class TTecnObject {
public:
    TTecnObject(TTecnModel* model, int number);
    virtual ~TTecnObject();
    TTecnObject(const TTecnObject&) = delete;
    TTecnObject& operator=(const TTecnObject&) = delete;

    // One time step: the works, in order.
    virtual void Step(double t);

    int PlanRef = 0;                 // parameter 1029
    int Number;
    TTecnObject* Prev = nullptr;     // towards the head of the chain
    TTecnObject* Next = nullptr;     // towards the tail
    int State = 0;                   // 9999: removed at the next step; negative: frozen
    TAutomat* Automat = nullptr;
    TObjParamList Params;
    std::vector<std::unique_ptr<TWork>> Works;
    TExecutorPtrList Executors;
    TTecnModel* Model;
    bool Dead = false;               // removed; freed when the outermost call returns

    // The value of a stored or computed parameter; the empty text when there is none.
    TVariant GetParam(const AnsiString& name);
    // The value as text by the type of the name ("" when there is none).
    // value, when given, receives the value the text shows.
    AnsiString GetParamText(const AnsiString& name, TVariant* value = nullptr);
    // Sets a parameter, runs a command or a work command; false when refused.
    bool SetParam(const AnsiString& name, const TVariant& value);

    // The executor held under skill n: in the object's list, then in its works; null when none.
    TExecutor* HeldExecutor(int skill) const;
    bool HasRunningWork(int number) const;

    // The first and the last object of the chain.
    TTecnObject* Head();
    TTecnObject* Tail();
    // The cut from this object along the next links while 1021 stays equal.
    std::vector<TTecnObject*> Cut();
    const TCarDef* CarDef();
    // Wind resistance; lst (may be null) gives 2001-2004 and 2011, else the operator is asked.
    double WindResist(const TlstParams* lst);
};

class TTecnModel : public TModel {
    VELO_CLASS(TTecnModel, TModel)
public:
    explicit TTecnModel(TComponent* owner = nullptr);
    ~TTecnModel() override;

    // The configured executors (published).
    TExecutors* ExecutorArray;
    void SetExecutor(const TExecutors& e) { ExecutorArray->Assign(e); }

    TExecutorPtrList TExecutorList;                 // the free pool
    TArray100<TWorkTemplate> TaWorkTemplates;
    TArray300<TTecnFunction> TaTecnFunctions;
    TArray50<TAutomat> TaAutomats;
    std::vector<std::unique_ptr<TTecnObject>> TlstObjects;  // in order of creation; dead ones skipped
    TArray20<TCarDef> TaCarDef;                     // index 1 is the first car type

    void Read(std::FILE* f) override;
    // Reads the car types, then fills the free pool.
    void InitState() override;
    void Synchronization(double t) override;
    int fnGetModelMessage(std::string& mes, TlstParams* lstPar) override;
    void ClearData() override;

    // "data\cars.dat" by default; tests point it elsewhere.
    AnsiString CarsFileName = "data\\cars.dat";
    // The trainer's model: the technology file must hold an automaton and the car file car
    // types, each record whole (name, six coefficients, at least two distances), or the file is
    // refused with its line. Headless models of a few functions or automata run without them.
    bool StationRequired = false;
    void ReadCars(const AnsiString& path);
    // 1-based index of the car type with this name and axle count, 0 when none.
    unsigned int FindCarDef(const AnsiString& name, int axles) const;
    const TCarDef* CarDefAt(int index) const;

    TTecnFunction* FindFunction(int number);
    TAutomat* FindAutomat(int type);
    const TWorkTemplate* FindWork(int number) const;

    // Objects.
    TTecnObject* FindObject(int number) const;
    // A new object: the next free number, the automaton of the type (none when type < 0 or
    // unknown), the default parameters; null when binding the automaton fails.
    TTecnObject* CreateObject(int type, bool withAutomat);
    // Creation by command 6: binding, the pairs, the reply, the initial transition.
    int ObjStore(int type, const AnsiString& pairs, std::string& reply);
    void RemoveObject(TTecnObject* o);
    // The composition file of command 14; the number of the first object created (0 none).
    unsigned int ReadObjects(const AnsiString& path);

    // Runs technology function n for o; false when it fails or the model has no bus.
    bool RunFunction(int n, TTecnObject* o, std::string* out);
    // The transition step for command c; the new state (or the old one), -1 when refused.
    int Transit(TTecnObject* o, int c);
    void StartWork(TTecnObject* o, int number);
    void CancelWork(TTecnObject* o, int number);
    // Binds an automaton's executors to o: all or nothing.
    bool Bind(TTecnObject* o, const TAutomat* a);
    // Matches one requirement in a list; null when nobody fits.
    static listob<TExecutor*>* Match(TExecutorPtrList& list, const TExecProc& r, const std::vector<TExecutor*>& taken);
    // Moves an executor node of `from` to the end of `to`.
    static void MoveExecutor(TExecutorPtrList& from, listob<TExecutor*>* node, TExecutorPtrList& to);
    void ReleaseWorkExecutors(TWork* w, bool staticOnly);

    // Raises event `code` for o with text: "%d %3.3f %d %s".
    void FireEvent(int code, const TTecnObject* o, const AnsiString& text);

    // Keeps the model entered while it lives; the dead objects and works are freed when the
    // outermost one ends.
    class TEntry {
    public:
        explicit TEntry(TTecnModel* m);
        ~TEntry();
        TEntry(const TEntry&) = delete;
        TEntry& operator=(const TEntry&) = delete;

    private:
        TTecnModel* model;
    };

private:
    // The three sections of the technology file.
    bool ReadWorks(std::FILE* f);
    bool ReadFunctions(std::FILE* f);
    void ReadAutomata(std::FILE* f);
    void Sweep();
    int NextNumber() const;
    int entered = 0;
    // Something was marked dead since the last sweep: a removed object, or a work that ended
    // (every ended work gives its executors back first).
    bool sweepDue = false;
};

// Sets name/value pairs from a text of words (a last name without value is ignored).
void SetPairs(TTecnObject* o, const AnsiString& words);
