// The technology model's bus commands 4 to 25 (receiver 3).
#include "models/base/Utilit.h"
#include "models/technology/TecnModel.h"
#include "platform/core/CFormat.h"

namespace {

bool InChain(TTecnObject* chainMember, TTecnObject* o)
{
    for (TTecnObject* p = chainMember->Head(); p; p = p->Next)
        if (p == o) return true;
    return false;
}

// Scans "{place} {position}" of a plan reply.
void ScanPlace(const std::string& reply, unsigned& place, float& pos)
{
    place = 0;
    pos = 0;
    SScanf(reply.c_str(), "%u%f", &place, &pos);
}

} // namespace

int TTecnModel::fnGetModelMessage(std::string& mes, TlstParams* lstPar)
{
    TEntry entry(this);
    int rcv = 0, cmd = 0, a = 0, b = 0, c = 0;
    SScanf(mes.c_str(), "%d%d%d%d%d", &rcv, &cmd, &a, &b, &c);
    auto send = [this](const std::string& text) {
        std::string m = text;
        int handled = SendMessageA(m);
        return std::make_pair(handled, m);
    };
    switch (cmd) {
    case 4: {
        // The caller's list holds this answer only: a refused query leaves it empty.
        if (lstPar) lstPar->Clear();
        TTecnObject* o = a ? FindObject(a) : nullptr;
        if (!o) return 0;
        dllist<AnsiString> names;
        if (!ParseWords(names, mes.c_str(), 4)) return 0;
        std::string reply;
        TlstParams found;
        for (auto* n = names.First(); n; n = n->next) {
            // Each parameter is evaluated once: computed ones sum over the whole cut.
            TVariant v;
            std::string text = o->GetParamText(n->value, &v);
            if (text.empty()) return 0;
            reply += text;
            reply += ' ';
            if (lstPar) found.Append(TObjParam(n->value, v));
        }
        for (char& ch : reply)
            if (ch == ',') ch = '.';
        if (lstPar) lstPar->AppendAll(found);
        mes = reply;
        return 1;
    }
    case 5: {
        TTecnObject* o = FindObject(a);
        if (!o) return 0;
        if (lstPar && lstPar->First()) {
            TlstParams pairs = *lstPar;
            for (auto* p = pairs.First(); p; p = p->next) o->SetParam(p->value.name, p->value.value);
            return 1;
        }
        AnsiString words = DropWords(mes, 3);
        if (words.empty()) return 0;
        SetPairs(o, words);
        return 1;
    }
    case 6: return ObjStore(a, DropWords(mes, 3), mes);
    case 7: {
        TTecnObject* o = FindObject(a);
        if (!o) return 0;
        RemoveObject(o);
        return 1;
    }
    case 8: {
        // Coupling the object X to the locomotive named by its 1008.
        TTecnObject* x = FindObject(a);
        if (!x) return 0;
        auto* lp = x->Params.Find("1008");
        int l = lp ? VarToInt(lp->value.value) : 0;
        TTecnObject* loco = l ? FindObject(l) : nullptr;
        if (!loco || loco == x || InChain(loco, x)) return 0;
        auto* mode = loco->Params.Find("1003");
        if (mode && VarToInt(mode->value.value) != 0) return 0;
        bool second = false;
        auto r = send(Format("%d %d %d %d", static_cast<int>(brPlan), 14, x->Number, loco->Number));
        if (!r.first) {
            r = send(Format("%d %d %d %d", static_cast<int>(brPlan), 14, loco->Number, x->Number));
            if (!r.first) return 0;
            second = true;
        }
        if (AtofC(r.second.c_str()) > 1.0) return 0;
        if (!second) {
            // Never overwrite a link X already has: the neighbour would still point at X.
            if (x->Prev) return 0;
            TTecnObject* t = loco->Tail();
            t->Next = x;
            x->Prev = t;
        } else {
            if (x->Next) return 0;
            TTecnObject* h = loco->Head();
            h->Prev = x;
            x->Next = h;
        }
        SendMessageA(Format("%d %d %d", static_cast<int>(brPlan), 7, x->Number).c_str());
        SendMessageA(Format("%d %d %d %d", static_cast<int>(brPlan), 34, loco->Number, second ? 0 : 1).c_str());
        return 1;
    }
    case 9: {
        TTecnObject* l = FindObject(a);
        if (!l) return 0;
        auto* kind = l->Params.Find("1001");
        if (!kind || VarToInt(kind->value.value) != 2) return 0;
        // The errors name the locomotive as the trainee knows it.
        auto name = [this, l] { return LocoName([this](std::string& m) { return SendMessageA(m); }, l->Number); };
        if (!l->Prev && !l->Next) {
            SendMessageA(Format("%d %d %d %s", static_cast<int>(brInstructor), 4, 18, name().c_str()).c_str());
            return 0;
        }
        if (l->Prev && l->Next) {
            SendMessageA(Format("%d %d %d %s", static_cast<int>(brInstructor), 4, 19, name().c_str()).c_str());
            return 0;
        }
        int s = l->Prev ? 1 : 0;
        TTecnObject* o = l->Prev ? l->Prev : l->Next;
        if (s) {
            l->Prev = nullptr;
            o->Next = nullptr;
        } else {
            l->Next = nullptr;
            o->Prev = nullptr;
        }
        int number = o->Number;
        auto r = send(Format("%d %d %d %d", static_cast<int>(brPlan), 12, l->Number, s));
        if (r.first) {
            unsigned place;
            float pos;
            ScanPlace(r.second, place, pos);
            SendMessageA(Format("%d %d %d %d", static_cast<int>(brPlan), 34, l->Number, 1 - s).c_str());
            SendMessageA(Format("%d %d %u %d %f %d", static_cast<int>(brPlan), 6, place, number, static_cast<double>(pos), s)
                             .c_str());
        }
        mes = Format("%d", number);
        return 1;
    }
    case 10: {
        TlstParams pairs;
        if (lstPar && lstPar->First()) {
            pairs = *lstPar;
        } else {
            dllist<AnsiString> words;
            ParseWords(words, mes.c_str(), 3);
            for (auto* w = words.First(); w && w->next; w = w->next->next)
                pairs.Append(TObjParam(w->value, TObjParam::SetFromText(w->value, w->next->value.c_str())));
        }
        if (!pairs.First()) return 0;
        std::string reply;
        for (const auto& up : TlstObjects) {
            TTecnObject* o = up.get();
            if (o->Dead) continue;
            bool all = true;
            for (auto* p = pairs.First(); p && all; p = p->next) {
                if (AtolC(p->value.name.c_str()) < 1000) continue;
                // A parameter the object lacks matches nothing. A computed one is worked out
                // once: it may ask another model or the operator.
                TVariant value;
                if (o->GetParamText(p->value.name, &value).empty()) {
                    all = false;
                    break;
                }
                if (TObjParam::ValueDiffers(TObjParam(p->value.name, value), p->value)) all = false;
            }
            if (all) reply += Format(" %d", o->Number);
        }
        if (reply.empty()) return 0;
        mes = reply;
        return 1;
    }
    case 12: {
        TTecnObject* o = CreateObject(-1, false);
        if (!o) return 0;
        mes = Format("%d", o->Number);
        return 1;
    }
    case 13: {
        TTecnObject* o = FindObject(a);
        if (!o) return 0;
        AnsiString name = FirstWord(DropWords(mes, 3)), value = FirstWord(DropWords(mes, 4));
        if (!name.empty() && o->GetParamText(name).empty())
            o->Params.Put(TObjParam(name, TObjParam::SetFromText(name, value.c_str())));
        return 1;
    }
    case 14: {
        unsigned first = ReadObjects(DropWords(mes, 2));
        mes = Format("%u", first);
        return 1;
    }
    case 15: {
        TTecnObject* x = FindObject(a);
        if (!x || !lstPar) return 0;
        lstPar->Clear();
        int axles = 0, k = 0;
        double mass = 0, lengths = 0, weighted = 0;
        for (TTecnObject* o : x->Cut()) {
            const TCarDef* d = o->CarDef();
            if (!d) break;
            auto* mp = o->Params.Find("2007");
            double m = mp ? VarToDouble(mp->value.value) : 0;
            auto* rp = o->Params.Find("2008");
            weighted += (rp ? VarToDouble(rp->value.value) : 0) * m;
            lstPar->Append(TObjParam("2014", d->Axles ? m / d->Axles : 0.0));
            lstPar->Append(TObjParam("1022", o->GetParam("1022")));
            lstPar->Append(TObjParam("1023", o->GetParam("1023")));
            for (int i = 0; i < d->Axles; ++i) lstPar->Append(TObjParam(Format("%d", -(++k)), d->Axis[i] + lengths));
            lengths += d->Length;
            axles += d->Axles;
            mass += m;
        }
        if (!lstPar->First()) return 0;
        lstPar->Append(TObjParam("2009", mass == 0 ? 0.00981 : 0.00981 / (1 + 0.42 * axles / mass)));
        lstPar->Append(TObjParam("2011", mass));
        lstPar->Append(TObjParam("2010", lengths));
        lstPar->Append(TObjParam("2013", mass == 0 ? 0.0 : weighted / mass));
        lstPar->Append(TObjParam("2012", x->WindResist(nullptr)));
        lstPar->Append(TObjParam("1020", static_cast<int32_t>(axles)));
        for (const char* n : {"2002", "2015", "2016", "2017"}) lstPar->Append(TObjParam(n, x->GetParam(n)));
        return 1;
    }
    case 16: {
        TTecnObject* x = FindObject(a);
        if (!x || !lstPar) return 0;
        double v = x->WindResist(lstPar);
        lstPar->Clear();
        lstPar->Append(TObjParam("2012", v));
        mes = Format("%f", v);
        return 1;
    }
    case 17: {
        TTecnObject* x = FindObject(a);
        if (!x || b <= 0) return 0;
        TTecnObject* cc = x;
        for (int i = 1; i < b; ++i) {
            cc = cc->Next;
            if (!cc) return 0;
        }
        TTecnObject* t = cc->Next;
        if (!t) return 0;
        cc->Next = nullptr;
        t->Prev = nullptr;
        int number = t->Number;
        auto r = send(Format("%d %d %d %d", static_cast<int>(brPlan), 12, x->Number, 1));
        if (r.first) {
            unsigned place;
            float pos;
            ScanPlace(r.second, place, pos);
            SendMessageA(Format("%d %d %d %d", static_cast<int>(brPlan), 34, x->Number, 0).c_str());
            SendMessageA(Format("%d %d %u %d %f %d", static_cast<int>(brPlan), 6, place, number, static_cast<double>(pos), 1)
                             .c_str());
        }
        mes = Format("%d", number);
        return 1;
    }
    case 18: {
        TTecnObject* o = CreateObject(-1, false);
        if (!o) return 0;
        o->Params.Put(TObjParam("1001", static_cast<int32_t>(2)));
        SetPairs(o, DropWords(mes, 2));
        mes = Format("%d", o->Number);
        return 1;
    }
    case 19: {
        TTecnObject* o = FindObject(a);
        if (!o || !o->Params.Find("3004")) return 0;
        o->Params.Put(TObjParam("3004", std::string(DropWords(mes, 3))));
        return 1;
    }
    case 20: {
        TTecnObject* o = FindObject(a);
        const TExecutor* e = o ? o->HeldExecutor(b) : nullptr;
        if (!e) return 0;
        mes = e->ExecName;
        return 1;
    }
    case 21:
    case 22: {
        TTecnObject* o = FindObject(a);
        if (!o) return 0;
        TExecutorPtrList& from = cmd == 21 ? o->Executors : TExecutorList;
        TExecutorPtrList& to = cmd == 21 ? TExecutorList : o->Executors;
        for (auto* n = from.First(); n; n = n->next)
            if (n->value->CanExec(b)) {
                int number = n->value->Number;
                MoveExecutor(from, n, to);
                FireEvent(cmd == 21 ? 5 : 4, o, Format("%d", number));
                return 1;
            }
        return 0;
    }
    case 23: {
        TTecnObject* from = FindObject(a);
        TTecnObject* to = FindObject(c);
        if (!from || !to) return 0;
        for (auto* n = from->Executors.First(); n; n = n->next)
            if (n->value->CanExec(b)) {
                int number = n->value->Number;
                MoveExecutor(from->Executors, n, to->Executors);
                FireEvent(5, from, Format("%d", number));
                FireEvent(4, to, Format("%d", number));
                return 1;
            }
        return 0;
    }
    case 24: {
        // [3 24 {e}] from the main window carries no skill: it reads 0.
        bool free = false;
        for (auto* n = TExecutorList.First(); n && !free; n = n->next)
            free = a != 0 ? n->value->Number == a : n->value->CanExec(b);
        mes.assign(1, free ? '1' : '0');
        return 1;
    }
    case 25: {
        TTecnObject* o = FindObject(a);
        if (!o) return 0;
        std::string text = DropWords(mes, 3);
        bool ok = EvalTecnExpression(nullptr, o, text);
        mes = text;
        return ok ? 1 : 0;
    }
    default: return 0;
    }
}
