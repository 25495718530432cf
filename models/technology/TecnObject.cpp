// Technology objects: stored and computed parameters, the parameter setter, chains and cuts,
// axle positions, wind resistance, and the running works.
#include <cmath>

#include "models/base/Utilit.h"
#include "models/technology/TecnModel.h"
#include "platform/core/CFormat.h"

namespace {

bool IsEmptyValue(const TVariant& v) { return VarIsText(v) && VarToStr(v).empty(); }

int StoredInt(const TTecnObject* o, const char* name)
{
    auto* p = o->Params.Find(name);
    return p ? VarToInt(p->value.value) : 0;
}

double StoredDouble(const TTecnObject* o, const char* name)
{
    auto* p = o->Params.Find(name);
    return p ? VarToDouble(p->value.value) : 0;
}

double ListValue(const TlstParams* lst, const char* name)
{
    for (auto* n = lst->First(); n; n = n->next)
        if (n->value.name == name) return VarToDouble(n->value.value);
    return 0;
}

} // namespace

// ---- works ----

TWork::TWork(const TWorkTemplate* t, TTecnObject* o)
    : Conditions(t->Conditions), Template(t), Object(o), Open(t->Requirements)
{
}

bool TWork::Step(double t)
{
    TTecnModel* m = Object->Model;
    if (!Started) {
        for (size_t i = 0; i < Open.size();) {
            TExecutorPtrList* from = &Object->Executors;
            listob<TExecutor*>* node = TTecnModel::Match(*from, Open[i], {});
            bool fromPool = false;
            if (!node) {
                from = &m->TExecutorList;
                node = TTecnModel::Match(*from, Open[i], {});
                fromPool = true;
            }
            if (!node) {
                ++i;
                continue;
            }
            TExecutor* e = node->value;
            e->Release = Open[i].Release != 0;
            TTecnModel::MoveExecutor(*from, node, Executors);
            Open.erase(Open.begin() + static_cast<long>(i));
            if (fromPool) m->FireEvent(4, Object, Format("%d", e->Number));
        }
        if (!Open.empty()) return false;
        std::string text = Template->Duration;
        double d = 0;
        if (!EvalTecnExpression(nullptr, Object, text) || SScanf(text.c_str(), "%lf", &d) != 1 || !std::isfinite(d))
            d = 0;
        EndTime = static_cast<float>(t + d);
        Started = true;
        return false;
    }
    if (!(t > EndTime)) return false;
    while (!Conditions.empty()) {
        std::string c = Conditions.front();
        if (!EvalTecnExpression(nullptr, Object, c)) return false;
        Conditions.erase(Conditions.begin());
    }
    Dead = true;
    m->ReleaseWorkExecutors(this, false);
    if (Template->Signal != 0 && Object->Automat && !Object->Dead) {
        int r = m->Transit(Object, static_cast<int>(Template->Signal));
        if (r >= 0) Object->State = r;
    }
    return true;
}

// ---- objects ----

TTecnObject::TTecnObject(TTecnModel* model, int number) : Number(number), Model(model) {}

TTecnObject::~TTecnObject() = default;

void TTecnObject::Step(double t)
{
    // Only the works there at the start: one started during the step (by the signal of a work
    // that ended) starts waiting for its executors at the next tick, not in this one.
    const size_t count = Works.size();
    for (size_t i = 0; i < count && !Dead; ++i) {
        TWork* w = Works[i].get();
        if (w->Dead) continue;
        try {
            if (w->Step(t)) w->Dead = true;
        } catch (...) {
            // Dropped, so the same fault is not raised again every second.
            if (!w->Dead) {
                w->Dead = true;
                Model->ReleaseWorkExecutors(w, false);
            }
            throw;
        }
    }
}

TTecnObject* TTecnObject::Head()
{
    TTecnObject* o = this;
    while (o->Prev) o = o->Prev;
    return o;
}

TTecnObject* TTecnObject::Tail()
{
    TTecnObject* o = this;
    while (o->Next) o = o->Next;
    return o;
}

bool TTecnObject::HasRunningWork(int number) const
{
    for (const auto& w : Works)
        if (!w->Dead && w->Template->Number == number) return true;
    return false;
}

TExecutor* TTecnObject::HeldExecutor(int skill) const
{
    for (auto* n = Executors.First(); n; n = n->next)
        if (n->value->CanExec(skill)) return n->value;
    for (const auto& w : Works) {
        if (w->Dead) continue;
        for (auto* n = w->Executors.First(); n; n = n->next)
            if (n->value->CanExec(skill)) return n->value;
    }
    return nullptr;
}

std::vector<TTecnObject*> TTecnObject::Cut()
{
    std::vector<TTecnObject*> cut;
    AnsiString first = GetParamText("1021");
    for (TTecnObject* o = this; o; o = o->Next) {
        if (o != this && o->GetParamText("1021") != first) break;
        cut.push_back(o);
    }
    return cut;
}

const TCarDef* TTecnObject::CarDef()
{
    auto* p = Params.Find("1022");
    if (!p || IsEmptyValue(p->value.value)) return nullptr;
    return Model->CarDefAt(VarToInt(p->value.value));
}

double TTecnObject::WindResist(const TlstParams* lst)
{
    double theta, w, T, v, m;
    if (lst) {
        theta = ListValue(lst, "2001");
        v = ListValue(lst, "2002");
        w = ListValue(lst, "2003");
        T = ListValue(lst, "2004");
        m = ListValue(lst, "2011");
    } else {
        std::string mes = "5 1 2001 2003 2004";
        if (!Model->SendMessageA(mes)) return 0;
        dllist<AnsiString> words;
        ParseWords(words, mes.c_str(), 1);
        auto* a = words.First();
        theta = a ? AtofC(a->value.c_str()) : 0;
        auto* b = a ? a->next : nullptr;
        w = b ? AtofC(b->value.c_str()) : 0;
        auto* c = b ? b->next : nullptr;
        T = c ? AtofC(c->value.c_str()) : 0;
        v = StoredDouble(this, "2002");
        m = VarToDouble(GetParam("2011"));
    }
    double denom = (T + 273.0) * m;
    if (denom == 0 || !std::isfinite(denom)) return 0;
    double a = theta * 0.017453;
    double c = std::fabs(std::sin(a) * w);
    double l = std::cos(a) * w;
    double k = 17.8 / denom;
    double u = l + v;
    double q = u * u + c * c;
    double beta = q == 0 ? 0 : std::asin(std::min(1.0, c / std::sqrt(q)));
    double sum = 0;
    bool firstCar = true;
    for (TTecnObject* o : Cut()) {
        const TCarDef* d = o->CarDef();
        if (!d) continue;
        const float* cc = firstCar ? d->C : d->C + 3;
        sum += cc[0] * std::exp(beta * (cc[1] - beta * cc[2]));
        firstCar = false;
    }
    double r = k * q * sum;
    if (u < 0) r = -r;
    return std::isfinite(r) ? r : 0;
}

AnsiString TTecnObject::GetParamText(const AnsiString& name, TVariant* value)
{
    AnsiString n = Trim(name);
    TVariant v = GetParam(n);
    if (value) *value = v;
    if (IsEmptyValue(v)) return AnsiString();
    return ParamValueToText(TObjParam(n, v));
}

TVariant TTecnObject::GetParam(const AnsiString& rawName)
{
    const AnsiString name = Trim(rawName);
    if (name.rfind("AXIS", 0) == 0) {
        bool last = name == "AXISLAST";
        int n = last ? 10000 : static_cast<int>(AtolC(name.c_str() + 4));
        if (n <= 0) return std::string();
        double offset = 0;
        bool found = false;
        double lastAxle = 0;
        for (TTecnObject* o = this; o; o = o->Next) {
            const TCarDef* d = o->CarDef();
            if (!d) break;
            if (d->Axles >= n) return Format("%f", offset + d->Axis[n - 1]);
            n -= d->Axles;
            if (d->Axles > 0) {
                lastAxle = offset + d->Axis[d->Axles - 1];
                found = true;
            }
            offset += d->Length;
        }
        if (last && found) return Format("%f", lastAxle);
        return std::string();
    }
    if (!name.empty() && IsAllDigits(name.c_str())) {
        long N = AtolC(name.c_str());
        if (N >= 200 && N <= 299) return static_cast<int32_t>(HasRunningWork(static_cast<int>(N)) ? 1 : 0);
        switch (N) {
        case 1002: return static_cast<int32_t>(Number);
        case 1006: {
            for (TTecnObject* o = Prev; o; o = o->Prev)
                if (StoredInt(o, "1001") == 1) return static_cast<int32_t>(o->Number);
            for (TTecnObject* o = Next; o; o = o->Next)
                if (StoredInt(o, "1001") == 1) return static_cast<int32_t>(o->Number);
            return static_cast<int32_t>(0);
        }
        case 1010: {
            int s = 0;
            for (TTecnObject* o = Head(); o; o = o->Next) s += StoredInt(o, "1004");
            return static_cast<int32_t>(s);
        }
        case 1015: return static_cast<int32_t>(State);
        case 1017: return static_cast<int32_t>(Prev ? Prev->Number : 0);
        case 1018: return static_cast<int32_t>(Next ? Next->Number : 0);
        case 1019: {
            const TCarDef* d = CarDef();
            return static_cast<int32_t>(d ? d->Axles : 0);
        }
        case 1020: {
            int s = 0;
            for (TTecnObject* o : Cut())
                if (const TCarDef* d = o->CarDef()) s += d->Axles;
            return static_cast<int32_t>(s);
        }
        case 1024: return static_cast<int32_t>(Cut().size());
        case 1026: return static_cast<int32_t>(Automat ? Automat->Type : 0);
        case 1027: {
            for (int dir : {1, 0}) {
                std::string mes = Format("%d %d %d %d", static_cast<int>(brPlan), 12, PlanRef, dir);
                if (!Model->SendMessageA(mes)) continue;
                int first = 0;
                float f = 0;
                char text[2] = {0, 0};
                if (SScanf(mes.c_str(), "%d%f%1s", &first, &f, text) == 3 && text[0]) return static_cast<int32_t>(first);
            }
            return static_cast<int32_t>(0);
        }
        case 1029: return static_cast<int32_t>(PlanRef);
        case 1030: {
            TTecnObject* h = Head();
            return static_cast<int32_t>(StoredInt(h, "1001") == 2 ? h->Number : 0);
        }
        case 1031: {
            TTecnObject* t = Tail();
            return static_cast<int32_t>(StoredInt(t, "1001") == 2 ? t->Number : 0);
        }
        case 2009: {
            double axles = 0, mass = 0;
            for (TTecnObject* o : Cut()) {
                if (const TCarDef* d = o->CarDef()) axles += d->Axles;
                mass += StoredDouble(o, "2007");
            }
            return mass == 0 ? 0.00981 : 0.00981 / (1 + 0.42 * axles / mass);
        }
        case 2010:
        case 2011: {
            double s = 0;
            for (TTecnObject* o : Cut()) s += StoredDouble(o, N == 2010 ? "2001" : "2007");
            return s;
        }
        case 2012: return WindResist(nullptr);
        case 2013: {
            double sm = 0, s = 0;
            for (TTecnObject* o : Cut()) {
                double m = StoredDouble(o, "2007");
                sm += m;
                s += StoredDouble(o, "2008") * m;
            }
            return sm == 0 ? 0.0 : s / sm;
        }
        case 2014: {
            const TCarDef* d = CarDef();
            if (!d || d->Axles == 0) return 0.0;
            return AtofC(Format("%f", StoredDouble(this, "2007") / d->Axles).c_str());
        }
        case 2018: {
            double s = 0;
            for (TTecnObject* o = Head(); o; o = o->Next) s += StoredDouble(o, "2001");
            return s;
        }
        case 2019: {
            double s = 0;
            for (TTecnObject* o = this; o; o = o->Next) s += StoredDouble(o, "2007");
            return s;
        }
        case 3002: {
            const TCarDef* d = CarDef();
            if (!d) return static_cast<int32_t>(0);
            return d->Name;
        }
        default: break;
        }
    }
    if (auto* p = Params.Find(name)) return p->value.value;
    return std::string();
}

bool TTecnObject::SetParam(const AnsiString& rawName, const TVariant& value)
{
    const AnsiString name = Trim(rawName);
    long N = AtolC(name.c_str());
    if (N >= 1000 || N <= 0) {
        if (N == 1026) {
            int type = static_cast<int>(static_cast<unsigned>(VarToInt(value)));
            TAutomat* a = Model->FindAutomat(type);
            if (!a) RaiseError(Format("Неизвестный тип конечного автомата %d(%d)", Number, type));
            for (const auto& w : Works)
                if (!w->Dead)
                    RaiseError(Format("При изменении технологии объекта %d(%d->%d) обнаружены незавершенные работы", Number,
                                      Automat ? Automat->Type : 0, type));
            TAutomat* old = Automat;
            Automat = a;
            if (!Model->Bind(this, a)) {
                Automat = old;
                return false;
            }
            return true;
        }
        if (N == 1029) {
            int ref = VarToInt(value);
            for (TTecnObject* o = Head(); o; o = o->Next) o->PlanRef = ref;
            return true;
        }
        auto* p = Params.Find(name);
        if (!p) return false;
        p->value.value = value;
        // Speed belongs to a moving object: one that stands has none, so that the next order
        // starts it from rest whoever stopped it (the movement models, the plan's route check,
        // a function of the data).
        if (N == 1003 && VarToInt(value) == 0)
            if (auto* speed = Params.Find("2002")) speed->value.value = 0.0;
        return true;
    }
    int cmd = static_cast<int>(N);
    if (N < 200 || N >= 300) {
        if (!Automat) return false;
        int r = Model->Transit(this, cmd);
        if (r < 0) return false;
        State = r;
        return true;
    }
    // A work command passes along the whole chain.
    if (Automat) State = Model->Transit(this, cmd);
    for (TTecnObject* o = Next; o; o = o->Next)
        if (o->Automat) o->State = Model->Transit(o, cmd);
    for (TTecnObject* o = Prev; o; o = o->Prev)
        if (o->Automat) o->State = Model->Transit(o, cmd);
    return true;
}

void SetPairs(TTecnObject* o, const AnsiString& text)
{
    dllist<AnsiString> words;
    ParseWords(words, text.c_str(), 1);
    for (auto* w = words.First(); w && w->next; w = w->next->next)
        o->SetParam(w->value, TObjParam::SetFromText(w->value, w->next->value.c_str()));
}
