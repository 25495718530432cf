// The technology language's keyword table and evaluator.
#include "models/technology/TecnFunction.h"

#include "models/technology/TecnModel.h"
#include "platform/core/CFormat.h"

namespace {

enum TTecnOwn { toGet, toSet, toFunc, toObj, toPlanId, toFalse, toTrue, toTime, toExecName };

// The keywords in the language's table order.
const std::vector<TExprKeyword>& TecnKeywords()
{
    static const std::vector<TExprKeyword> table = {
        {"GET", TExprOp::Own, toGet, true},
        {"SET", TExprOp::Own, toSet, true},
        {"COM", TExprOp::Com, 0, true},
        PrimitiveKeyword("IN", TPrimitive::In, true),
        PrimitiveKeyword("BETWEEN", TPrimitive::Between, true),
        PrimitiveKeyword("NOT", TPrimitive::Not),
        PrimitiveKeyword("AND", TPrimitive::And),
        PrimitiveKeyword("OR", TPrimitive::Or),
        PrimitiveKeyword(">", TPrimitive::Greater),
        PrimitiveKeyword("<", TPrimitive::Less),
        {"NOTE", TExprOp::Note},
        {"MEM", TExprOp::Mem},
        {"CLEAR", TExprOp::Clear},
        PrimitiveKeyword("NTH", TPrimitive::Nth),
        PrimitiveKeyword("STRCAT", TPrimitive::StrCat),
        {"FUNC", TExprOp::Own, toFunc},
        PrimitiveKeyword("+", TPrimitive::Plus),
        PrimitiveKeyword("*", TPrimitive::Mul),
        PrimitiveKeyword("-", TPrimitive::Minus),
        PrimitiveKeyword("/", TPrimitive::Div),
        PrimitiveKeyword("INT", TPrimitive::Int),
        PrimitiveKeyword("RND", TPrimitive::Rnd),
        PrimitiveKeyword("RNDZ", TPrimitive::RndZ),
        PrimitiveKeyword("ERLANG", TPrimitive::Erlang),
        {"RETURN", TExprOp::Return},
        {"OBJ", TExprOp::Own, toObj},
        {"USERFUNC", TExprOp::UserFunc, 0, true},
        {"PLANID", TExprOp::Own, toPlanId},
        {"FALSE", TExprOp::Own, toFalse},
        {"TRUE", TExprOp::Own, toTrue},
        {"TIME", TExprOp::Own, toTime},
        PrimitiveKeyword("ABS", TPrimitive::Abs),
        {"EXECNAME", TExprOp::Own, toExecName},
    };
    return table;
}

TExprMemory gTecnMemory;

class TTecnEvaluator : public TExprEvaluator {
public:
    TTecnEvaluator(const TTecnFunction* f, TTecnObject* o) : TExprEvaluator(TecnKeywords(), gTecnMemory), current(f), obj(o) {}

    // Evaluates one line of g; errors of the text get g's number unless an inner function
    // already gave its own.
    bool RunLine(const TTecnFunction* g, std::string& text)
    {
        const TTecnFunction* caller = current;
        current = g;
        try {
            bool ok = EvalExpression(text);
            current = caller;
            return ok;
        } catch (TExprError& e) {
            current = caller;
            if (!e.Located && g) {
                e.Message += Format(" (функция %d)", g->Number);
                e.Located = true;
            }
            throw;
        }
    }

    bool RunBody(const TTecnFunction* g, std::string* out)
    {
        if (out) out->clear();
        std::string last;
        for (auto* line = g->Body.First(); line; line = line->next) {
            std::string text = line->value;
            if (!RunLine(g, text)) {
                if (out) out->clear();
                return false;
            }
            last = text;
        }
        if (out) *out = last;
        return true;
    }

protected:
    bool HasObject() const override { return obj != nullptr; }

    int Send(std::string& mes) override { return obj->Model->SendMessageA(mes); }

    AnsiString FunctionName() const override { return current ? Format("%d", current->Number) : AnsiString(); }

    bool RunOwn(int own, const std::string& args, bool, std::string& text) override
    {
        switch (own) {
        case toGet: {
            std::string v = obj->GetParamText(Trim(args));
            if (v.empty()) return false;
            text = v;
            return true;
        }
        case toSet: {
            AnsiString name = FirstWord(args), value = FirstWord(DropFirstWord(args));
            if (!obj->SetParam(name, TObjParam::SetFromText(name, value.c_str()))) return false;
            text.clear();
            return true;
        }
        case toFunc: {
            unsigned n = 0;
            SScanf(args.c_str(), "%u", &n);
            TTecnModel* m = obj->Model;
            if (!m->OnSendMessage) return false;
            const TTecnFunction* g = m->FindFunction(static_cast<int>(n));
            if (!g) RaiseError(Format("Нет функции %d в файле технологии", static_cast<int>(n)));
            if (funcDepth >= kMaxTecnFuncDepth) LimitError(Format("%d", g->Number));
            ++funcDepth;
            std::string out;
            bool ok;
            try {
                ok = RunBody(g, &out);
            } catch (...) {
                --funcDepth;
                throw;
            }
            --funcDepth;
            if (ok) text = out;
            return ok;
        }
        case toObj:
            text = Format("%u", static_cast<unsigned>(obj->Number));
            return true;
        case toPlanId:
            text = Format("%u", static_cast<unsigned>(obj->PlanRef));
            return true;
        case toFalse:
            return false;
        case toTrue:
            text = " 1";
            return true;
        case toTime:
            text = Format("%f", obj->Model->SysTime());
            return true;
        case toExecName: {
            unsigned n = 0;
            SScanf(args.c_str(), "%u", &n);
            const TExecutor* e = obj->HeldExecutor(static_cast<int>(n));
            if (!e) return false;
            text = e->ExecName;
            return true;
        }
        }
        return false;
    }

private:
    const TTecnFunction* current;
    TTecnObject* obj;
    int funcDepth = 0;
};

} // namespace

bool RunTecnFunction(const TTecnFunction* f, TTecnObject* obj, std::string* out)
{
    if (out) out->clear();
    if (!f) return false;
    TTecnEvaluator e(f, obj);
    return e.RunBody(f, out);
}

bool EvalTecnExpression(const TTecnFunction* f, TTecnObject* obj, std::string& text)
{
    TTecnEvaluator e(f, obj);
    return e.RunLine(f, text);
}

TExprMemory& TecnMemory() { return gTecnMemory; }

void ResetTecnMemory()
{
    for (AnsiString& cell : gTecnMemory) cell.clear();
}
