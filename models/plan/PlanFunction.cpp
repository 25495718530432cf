// Plan-function tables, record reading and the plan language's evaluator.
#include "models/plan/PlanFunction.h"

#include "models/base/Model.h"
#include "platform/core/CFormat.h"

namespace {

enum TPlanOwn { poObj, poSection, poFunc, poWay };

// The keywords in the language's table order.
const std::vector<TExprKeyword>& PlanKeywords()
{
    static const std::vector<TExprKeyword> table = {
        {"OBJ", TExprOp::Own, poObj, true},
        {"SECTION", TExprOp::Own, poSection, true},
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
        {"FUNC", TExprOp::Own, poFunc},
        PrimitiveKeyword("+", TPrimitive::Plus),
        PrimitiveKeyword("*", TPrimitive::Mul),
        PrimitiveKeyword("-", TPrimitive::Minus),
        PrimitiveKeyword("/", TPrimitive::Div),
        PrimitiveKeyword("INT", TPrimitive::Int),
        PrimitiveKeyword("RND", TPrimitive::Rnd),
        PrimitiveKeyword("RNDZ", TPrimitive::RndZ),
        PrimitiveKeyword("ERLANG", TPrimitive::Erlang),
        {"RETURN", TExprOp::Return},
        {"WAY", TExprOp::Own, poWay, true},
        {"USERFUNC", TExprOp::UserFunc, 0, true},
    };
    return table;
}

TExprMemory gPlanMemory;

class TPlanEvaluator : public TExprEvaluator {
public:
    TPlanEvaluator(const TPlanFunction* f, const TPlanObjectContext* o, const TPlanSectionContext* s)
        : TExprEvaluator(PlanKeywords(), gPlanMemory), current(f), obj(o), section(s)
    {
    }

    // Evaluates g's text; errors of the text get g's number unless an inner function already
    // gave its own.
    bool RunFunction(const TPlanFunction* g, std::string& text)
    {
        const TPlanFunction* caller = current;
        current = g;
        try {
            bool ok = EvalExpression(text);
            current = caller;
            return ok;
        } catch (TExprError& e) {
            current = caller;
            if (!e.Located) {
                e.Message += Format(" (функция %u)", g->Number);
                e.Located = true;
            }
            throw;
        }
    }

protected:
    bool HasObject() const override { return obj != nullptr; }

    int Send(std::string& mes) override { return obj->Model ? obj->Model->SendMessageA(mes) : 0; }

    AnsiString FunctionName() const override { return current ? Format("%u", current->Number) : AnsiString(); }

    bool RunOwn(int own, const std::string& args, bool, std::string& text) override
    {
        switch (own) {
        case poObj:
            text = Format("%d", static_cast<int>(obj->Number));
            return true;
        case poSection:
        case poWay:
            if (!section) {
                text = " 0";
                return false;
            }
            text = own == poSection ? Format("%d", static_cast<int>(section->Number)) : section->Name;
            return true;
        case poFunc: {
            unsigned n = 0;
            if (SScanf(args.c_str(), "%u", &n) != 1 || !obj->Functions) return false;
            const TPlanFunction* g = obj->Functions->Find(n);
            if (!g) return false;
            if (funcDepth >= kMaxPlanFuncDepth) LimitError(Format("%u", g->Number));
            ++funcDepth;
            std::string t = g->Text;
            bool ok;
            try {
                ok = RunFunction(g, t);
            } catch (...) {
                --funcDepth;
                throw;
            }
            --funcDepth;
            if (ok) text = t;
            return ok;
        }
        }
        return false;
    }

private:
    const TPlanFunction* current;
    const TPlanObjectContext* obj;
    const TPlanSectionContext* section;
    int funcDepth = 0;
};

} // namespace

TPlanFunction* TaPlanFunctions::Find(unsigned int number)
{
    for (unsigned int i = 0; i < Count(); ++i)
        if (Get(i)->Number == number) return Get(i);
    return nullptr;
}

const TPlanFunction* TaPlanFunctions::Find(unsigned int number) const
{
    return const_cast<TaPlanFunctions*>(this)->Find(number);
}

void TaPlanFunctions::ReadRecord(const AnsiString& line)
{
    unsigned int type = 0, number = 0;
    if (SScanf(line.c_str(), "%u%u", &type, &number) != 2) RaiseError("Ошибка определения функции: " + Trim(line));
    if (Find(number)) RaiseError("Повтор номера функции");
    AddNew();
    TPlanFunction& f = Last();
    f.Number = number;
    f.Text = DropWords(line, 2);
}

bool RunPlanFunction(const TPlanFunction* f, const TPlanObjectContext* obj, const TPlanSectionContext* section,
                     std::string* out)
{
    if (out) out->clear();
    if (!f) return false;
    std::string text = f->Text;
    TPlanEvaluator e(f, obj, section);
    if (!e.RunFunction(f, text)) return false;
    if (out) *out = text;
    return true;
}

bool EvalExpression(const TPlanFunction* f, const TPlanObjectContext* obj, const TPlanSectionContext* section,
                    std::string& text)
{
    TPlanEvaluator e(f, obj, section);
    return e.EvalExpression(text);
}

bool EvalArguments(const TPlanFunction* f, const TPlanObjectContext* obj, const TPlanSectionContext* section,
                   std::string& text)
{
    TPlanEvaluator e(f, obj, section);
    return e.EvalArguments(text);
}

TExprMemory& PlanMemory() { return gPlanMemory; }

void ResetPlanMemory()
{
    for (AnsiString& cell : gPlanMemory) cell.clear();
}
