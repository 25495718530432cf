// Evaluation of calls, argument groups and IF, and the keywords both expression languages share.
#include "models/base/Expression.h"

#include "platform/core/CFormat.h"

const char* const kExprLimitMessage = "Превышена глубина вычисления функции ";

namespace {

// Evaluations in progress, across all evaluators: a function may reach another one through
// FUNC or through a bus message that runs a function again.
int gNesting = 0;

std::string UpperAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The index just past the ")" that closes the "(" at p, or npos when the text ends first.
size_t GroupEnd(const std::string& text, size_t p)
{
    int depth = 0;
    for (size_t q = p; q < text.size(); ++q) {
        if (text[q] == '(') {
            ++depth;
        } else if (text[q] == ')') {
            if (--depth == 0) return q + 1;
        }
    }
    return std::string::npos;
}

// Characters of a UTF-8 text (the language counts them, not bytes).
size_t Characters(const std::string& text)
{
    size_t n = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

} // namespace

TExprEvaluator::Nest::Nest(const TExprEvaluator& e)
{
    if (gNesting >= kMaxNesting) e.LimitError();
    ++gNesting;
}

TExprEvaluator::Nest::~Nest() { --gNesting; }

TExprEvaluator::TExprEvaluator(const std::vector<TExprKeyword>& keywordTable, TExprMemory& cells)
    : keywords(keywordTable), memory(cells)
{
}

void TExprEvaluator::LimitError() const { LimitError(FunctionName()); }

void TExprEvaluator::LimitError(const AnsiString& function) const
{
    TExprError e(kExprLimitMessage + function);
    e.Located = true;
    throw e;
}

bool TExprEvaluator::EvalExpression(std::string& text)
{
    Nest nest(*this);
    std::string call = Trim(text);
    if (call.size() < 2 || call.front() != '(' || call.back() != ')') {
        text = call;
        return true;
    }
    std::string body = " " + call.substr(1, call.size() - 2);
    if (UpperAscii(FirstWord(body)) == "IF") return EvalIf(call, body, text);

    bool argsOk = EvalArguments(body);
    std::string name = UpperAscii(FirstWord(body));
    // The arguments are what follows NAME and its one separator: (RETURN (WAY)) gives " 0".
    std::string args = DropFirstWord(body);
    const TExprKeyword* keyword = nullptr;
    for (const TExprKeyword& k : keywords)
        if (name == k.Name) {
            keyword = &k;
            break;
        }
    if (!keyword) throw TExprError("Неизвестная функция: " + name);
    text = body;
    if (!HasObject()) return false;
    if (keyword->NeedsArgs && !argsOk) {
        text = " 0";
        return false;
    }
    return RunKeyword(*keyword, args, argsOk, text);
}

bool TExprEvaluator::EvalArguments(std::string& text)
{
    bool ok = true;
    for (;;) {
        size_t p = text.find_first_of("()");
        if (p == std::string::npos) break;
        if (text[p] == ')') throw TExprError("Ошибка определения функции: " + text);
        size_t end = GroupEnd(text, p);
        if (end == std::string::npos) throw TExprError("Ошибка определения функции: " + text);
        // Values are scanned again, so a cell or a reply that holds its own call would never end.
        if (++steps > kMaxSteps) LimitError();
        std::string group = text.substr(p, end - p);
        if (!EvalExpression(group)) {
            group = " 0";
            ok = false;
        }
        text.replace(p, end - p, group);
        if (Characters(text) > kMaxText) LimitError();
    }
    text = Trim(text);
    return ok;
}

bool TExprEvaluator::EvalIf(const std::string& call, const std::string& body, std::string& text)
{
    const std::string message = "Неверное определение функции: " + call;
    std::string rest = Trim(DropFirstWord(body));
    std::string part[3];
    for (std::string& a : part) {
        if (rest.empty()) break;
        if (rest[0] == '(') {
            size_t end = GroupEnd(rest, 0);
            if (end == std::string::npos) throw TExprError(message);
            a = rest.substr(0, end);
            rest = Trim(rest.substr(end));
        } else {
            a = FirstWord(rest);
            rest = Trim(DropFirstWord(rest));
        }
    }
    if (part[0].empty()) throw TExprError(message);
    std::string branch;
    if (EvalExpression(part[0])) {
        if (part[1].empty()) throw TExprError(message);
        branch = part[1];
    } else {
        if (part[2].empty()) return false;
        branch = part[2];
    }
    if (!EvalArguments(branch)) return false;
    text = branch;
    return true;
}

bool TExprEvaluator::RunKeyword(const TExprKeyword& k, const std::string& args, bool argsOk, std::string& text)
{
    switch (k.Op) {
    case TExprOp::Primitive: {
        TPrimitive p = static_cast<TPrimitive>(k.Arg);
        std::string t = args;
        if (!RunPrimitive(p, t)) return false;
        text = PrimitiveIsTest(p) ? " 1" : t;
        return true;
    }
    case TExprOp::Note: {
        int n = -1;
        if (SScanf(FirstWord(args).c_str(), "%d", &n) != 1 || n < 0 || n > 9) return false;
        size_t blank = 0;
        while (blank < args.size() && IsBlankChar(args[blank])) ++blank;
        while (blank < args.size() && !IsBlankChar(args[blank])) ++blank;
        if (blank >= args.size()) return false;
        memory[static_cast<size_t>(n)] = args.substr(blank);
        text = memory[static_cast<size_t>(n)];
        return true;
    }
    case TExprOp::Mem: {
        unsigned n = 0;
        if (SScanf(args.c_str(), "%u", &n) != 1 || n > 9 || memory[n].empty()) return false;
        text = memory[n];
        return true;
    }
    case TExprOp::Clear:
        text.clear();
        return true;
    case TExprOp::Return:
        text = args;
        return true;
    case TExprOp::Com:
    case TExprOp::UserFunc: {
        std::string mes = k.Op == TExprOp::Com ? args : Format("%d %s", 7, args.c_str());
        if (!Send(mes)) return false;
        text = mes;
        return true;
    }
    case TExprOp::Own:
        return RunOwn(k.Arg, args, argsOk, text);
    }
    return false;
}
