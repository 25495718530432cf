// The technology model: tables, object creation and removal, automaton binding, the transition
// step, works and the time step.
#include "models/technology/TecnModel.h"

#include <algorithm>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

TTecnModel::TTecnModel(TComponent* owner) : TModel(owner), ExecutorArray(new TExecutors) {}

TTecnModel::~TTecnModel()
{
    TlstObjects.clear();
    delete ExecutorArray;
}

void TTecnModel::InitState()
{
    ReadCars(CarsFileName);
    TExecutorList.Clear();
    for (int i = 0; i < TExecutors::kCount; ++i) {
        TExecutor* e = (*ExecutorArray)[i];
        if (e->ExecName.empty()) continue;
        e->SetParent(this);
        TExecutorList.Append(e);
    }
}

void TTecnModel::ClearData()
{
    TlstObjects.clear();
    TExecutorList.Clear();
    TaWorkTemplates.Clear();
    TaTecnFunctions.Clear();
    TaAutomats.Clear();
    TaCarDef.Clear();
}

TTecnFunction* TTecnModel::FindFunction(int number)
{
    for (unsigned i = 0; i < TaTecnFunctions.Count(); ++i)
        if (TaTecnFunctions.Get(i)->Number == number) return TaTecnFunctions.Get(i);
    return nullptr;
}

TAutomat* TTecnModel::FindAutomat(int type)
{
    for (unsigned i = 0; i < TaAutomats.Count(); ++i)
        if (TaAutomats.Get(i)->Type == type) return TaAutomats.Get(i);
    return nullptr;
}

const TWorkTemplate* TTecnModel::FindWork(int number) const
{
    for (unsigned i = 0; i < TaWorkTemplates.Count(); ++i)
        if (TaWorkTemplates.Get(i)->Number == number) return TaWorkTemplates.Get(i);
    return nullptr;
}

TTecnObject* TTecnModel::FindObject(int number) const
{
    for (const auto& o : TlstObjects)
        if (!o->Dead && o->Number == number) return o.get();
    return nullptr;
}

int TTecnModel::NextNumber() const
{
    for (int n = 1; n < 100000; ++n)
        if (!FindObject(n)) return n;
    return 0;
}

TTecnModel::TEntry::TEntry(TTecnModel* m) : model(m) { ++model->entered; }

TTecnModel::TEntry::~TEntry()
{
    if (--model->entered == 0) model->Sweep();
}

void TTecnModel::Sweep()
{
    if (!sweepDue) return;
    sweepDue = false;
    for (auto& o : TlstObjects)
        o->Works.erase(std::remove_if(o->Works.begin(), o->Works.end(), [](const auto& w) { return w->Dead; }),
                       o->Works.end());
    TlstObjects.erase(std::remove_if(TlstObjects.begin(), TlstObjects.end(), [](const auto& o) { return o->Dead; }),
                      TlstObjects.end());
}

void TTecnModel::FireEvent(int code, const TTecnObject* o, const AnsiString& text)
{
    ChangeState(Format("%d %3.3f %d %s", code, SysTime(), o->Number, text.c_str()));
}

listob<TExecutor*>* TTecnModel::Match(TExecutorPtrList& list, const TExecProc& r, const std::vector<TExecutor*>& taken)
{
    auto free = [&taken](TExecutor* e) { return std::find(taken.begin(), taken.end(), e) == taken.end(); };
    for (int p : r.Prefer) {
        if (p == 0) continue;
        for (auto* n = list.First(); n; n = n->next)
            if (n->value->Number == p && n->value->CanExec(r.Scill) && free(n->value)) return n;
    }
    for (auto* n = list.First(); n; n = n->next)
        if (n->value->CanExec(r.Scill) && free(n->value)) return n;
    return nullptr;
}

void TTecnModel::MoveExecutor(TExecutorPtrList& from, listob<TExecutor*>* node, TExecutorPtrList& to)
{
    TExecutor* e = node->value;
    from.Remove(node);
    to.Append(e);
}

bool TTecnModel::Bind(TTecnObject* o, const TAutomat* a)
{
    // Each executor is matched at most once, and nothing moves unless every requirement is met.
    std::vector<TExecutor*> taken;
    for (const TExecProc& r : a->Requirements) {
        listob<TExecutor*>* n = Match(TExecutorList, r, taken);
        if (!n) return false;
        taken.push_back(n->value);
    }
    for (size_t i = 0; i < taken.size(); ++i) {
        TExecutor* e = taken[i];
        e->Release = a->Requirements[i].Release != 0;
        for (auto* n = TExecutorList.First(); n; n = n->next)
            if (n->value == e) {
                MoveExecutor(TExecutorList, n, o->Executors);
                break;
            }
        FireEvent(4, o, Format("%d", e->Number));
    }
    for (const TObjParam& p : a->Defaults) o->Params.Put(p);
    return true;
}

TTecnObject* TTecnModel::CreateObject(int type, bool withAutomat)
{
    int number = NextNumber();
    if (number == 0) return nullptr;
    auto obj = std::make_unique<TTecnObject>(this, number);
    TTecnObject* o = obj.get();
    static const struct {
        const char* name;
        TVariant value;
    } defaults[] = {
        {"1001", int32_t(1)},   {"1013", int32_t(0)},      {"1012", int32_t(0)},      {"1008", int32_t(0)},
        {"1004", int32_t(0)},   {"2005", 22.2},            {"2004", -0.5},            {"2003", 0.2},
        {"2002", int32_t(0)},   {"2001", 15.0},            {"1003", int32_t(0)},      {"1016", int32_t(0)},
        {"1005", int32_t(0)},   {"2016", int32_t(0)},      {"2015", int32_t(-99999)}, {"3003", std::string("0")},
        {"3004", std::string()},
    };
    for (const auto& d : defaults) o->Params.Put(TObjParam(d.name, d.value));
    if (withAutomat) o->Automat = FindAutomat(type);
    TlstObjects.push_back(std::move(obj));
    if (o->Automat && !Bind(o, o->Automat)) {
        TlstObjects.pop_back();
        return nullptr;
    }
    return o;
}

int TTecnModel::ObjStore(int type, const AnsiString& pairs, std::string& reply)
{
    TTecnObject* o = CreateObject(type, true);
    if (!o) {
        reply.assign(1, '0');
        return 0;
    }
    SetPairs(o, pairs);
    reply = Format("%d", o->Number);
    if (o->Automat && !o->Dead) o->State = Transit(o, 0);
    return 1;
}

void TTecnModel::ReleaseWorkExecutors(TWork* w, bool staticOnly)
{
    sweepDue = true;
    while (auto* n = w->Executors.First()) {
        TExecutor* e = n->value;
        if (staticOnly && !e->IsStatic()) {
            w->Executors.Remove(n);
            continue;
        }
        if (e->Release || staticOnly) {
            MoveExecutor(w->Executors, n, TExecutorList);
            FireEvent(5, w->Object, Format("%d", e->Number));
        } else {
            MoveExecutor(w->Executors, n, w->Object->Executors);
        }
    }
}

void TTecnModel::RemoveObject(TTecnObject* o)
{
    if (!o || o->Dead) return;
    TEntry entry(this);
    o->Dead = true;
    sweepDue = true;
    while (auto* n = o->Executors.First()) {
        TExecutor* e = n->value;
        if (!e->IsStatic()) {
            o->Executors.Remove(n);
            continue;
        }
        MoveExecutor(o->Executors, n, TExecutorList);
        FireEvent(5, o, Format("%d", e->Number));
    }
    // The executors of unfinished works go back too, or they would be lost for the rest of the run.
    for (auto& w : o->Works) {
        if (w->Dead) continue;
        w->Dead = true;
        ReleaseWorkExecutors(w.get(), true);
    }
    SendMessageA(Format("%d %d %d", static_cast<int>(brPlan), 7, o->Number).c_str());
    FireEvent(13, o, "");
    if (o->Prev && o->Prev->Next == o) o->Prev->Next = nullptr;
    if (o->Next && o->Next->Prev == o) o->Next->Prev = nullptr;
    o->Prev = o->Next = nullptr;
}

bool TTecnModel::RunFunction(int n, TTecnObject* o, std::string* out)
{
    if (out) out->clear();
    if (!OnSendMessage) return false;
    const TTecnFunction* f = FindFunction(n);
    if (!f) RaiseError(Format("Нет функции %d в файле технологии", n));
    return RunTecnFunction(f, o, out);
}

int TTecnModel::Transit(TTecnObject* o, int c)
{
    TEntry entry(this);
    int s = o->State;
    if (s < 0) return -1;
    const TAutomatFunction* found = nullptr;
    // A state the automaton does not have (9999 included) has no transitions.
    if (o->Automat && static_cast<unsigned>(s) < o->Automat->States.Count())
        for (const TAutomatFunction& t : *o->Automat->States.Get(static_cast<unsigned>(s)))
            if (t.Command == c) {
                found = &t;
                break;
            }
    if (!found) {
        if (c < 100)
            RaiseError(Format("%s %d(%d) %d->%d", "Команда на невозможный переход", o->Number,
                              o->Automat ? o->Automat->Type : 0, s, c));
        if (c >= 200 && c <= 299) return s;
        SendMessageA(Format("%d %d %d", static_cast<int>(brInstructor), 4, 17).c_str());
        return -1;
    }
    const TAutomatFunction t = *found;
    if (t.Condition && !RunFunction(t.Condition, o, nullptr)) return s;
    if (t.Action) RunFunction(t.Action, o, nullptr);
    for (int w : t.Start) StartWork(o, w);
    for (int w : t.Cancel) CancelWork(o, w);
    FireEvent(3, o, Format("%d %d %d", c, s, t.Target));
    return t.Target >= 0 ? t.Target : s;
}

void TTecnModel::StartWork(TTecnObject* o, int number)
{
    const TWorkTemplate* t = FindWork(number);
    if (!t) RaiseError(Format("Несуществующая работа %d->%d", o->Number, number));
    o->Works.push_back(std::make_unique<TWork>(t, o));
}

void TTecnModel::CancelWork(TTecnObject* o, int number)
{
    for (auto& w : o->Works)
        if (!w->Dead && w->Template->Number == number) {
            w->Dead = true;
            ReleaseWorkExecutors(w.get(), false);
            return;
        }
}

void TTecnModel::Synchronization(double t)
{
    TEntry entry(this);
    // Only the objects there at the start: one created during the pass takes its first step at
    // the next tick, as one created by a bus message between ticks does.
    const size_t count = TlstObjects.size();
    for (size_t i = 0; i < count; ++i) {
        TTecnObject* o = TlstObjects[i].get();
        if (o->Dead) continue;
        o->Step(t);
        if (!o->Dead && o->State == 9999) RemoveObject(o);
    }
}
