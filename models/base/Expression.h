// The evaluator shared by the plan-function language and the technology language.
//
// An expression is a call "(NAME arguments...)" or a literal (any other text, its own value).
// Before a call runs, every parenthesised group in it is evaluated and replaced by its value
// (" 0" when it fails), and the text is scanned again from the start, so a value that holds a
// call is evaluated in turn. (IF cond then else) is recognised before the keyword table; its
// truth is the success of cond, never its text (a literal cond, even 0, is true). Booleans are
// the texts " 1" and " 0".
//
// A language gives the evaluator its keyword table (names in upper case, in the language's
// order), its ten memory cells, its bus and its own keywords by deriving from TExprEvaluator:
//
//   class TMyEvaluator : public TExprEvaluator {
//       bool HasObject() const override;                          // none: every keyword fails
//       int Send(std::string& mes) override;                      // COM and USERFUNC traffic
//       bool RunOwn(int own, const std::string& args, bool argsOk, std::string& text) override;
//       AnsiString FunctionName() const override;                 // names the function in errors
//   };
//
// One evaluator object serves one run of a function (and the functions it calls); its budget of
// group substitutions is per run. Nesting is bounded process-wide, so a loop through values that
// hold calls, through FUNC or through the bus ends in TExprError instead of a stack overflow.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "models/base/Utilit.h"
#include "platform/core/Exception.h"

using TExprMemory = std::array<AnsiString, 10>;

// What a keyword runs.
enum class TExprOp {
    Primitive,  // a shared primitive of Utilit (Arg is the TPrimitive)
    Note,       // "n text": cell n := the text from the blank after n on; gives it
    Mem,        // "n" ("%u"): the text of cell n; an empty cell or n above 9 fails
    Clear,      // the empty text
    Return,     // the argument text
    Com,        // sends the argument text as a bus message; the reply
    UserFunc,   // sends "7 {argument text}" (the operator's input box); the reply
    Own,        // a keyword of the language itself (Arg is its code for RunOwn)
};

struct TExprKeyword {
    const char* Name;
    TExprOp Op;
    int Arg = 0;
    // When some argument group failed, the call fails with the text " 0" without running.
    bool NeedsArgs = false;
};

// A keyword that runs one of the shared primitives.
inline TExprKeyword PrimitiveKeyword(const char* name, TPrimitive p, bool needsArgs = false)
{
    return {name, TExprOp::Primitive, static_cast<int>(p), needsArgs};
}

// An error of an expression: an unknown name, unbalanced parentheses, an IF without its parts,
// or an evaluation limit. Located once the message names the function it happened in.
class TExprError : public Exception {
public:
    using Exception::Exception;
    bool Located = false;
};

class TExprEvaluator {
public:
    // Nesting of evaluations (process-wide, FUNC and bus re-entry included) and group
    // substitutions per run: the language's real functions make a few dozen, and a value that
    // keeps bringing back its own call must end in milliseconds.
    static constexpr int kMaxNesting = 500;
    static constexpr long kMaxSteps = 10000;
    // Characters of a text under evaluation: the language's texts fit 250, and a value that
    // brings back its own call must not grow the text with every substitution.
    static constexpr size_t kMaxText = 250;

    TExprEvaluator(const std::vector<TExprKeyword>& keywords, TExprMemory& memory);
    virtual ~TExprEvaluator() = default;
    TExprEvaluator(const TExprEvaluator&) = delete;
    TExprEvaluator& operator=(const TExprEvaluator&) = delete;

    // Evaluates the expression in text; on success the result replaces text. On failure text
    // holds " 0" or the call with its arguments evaluated; callers use only the flag then.
    bool EvalExpression(std::string& text);
    // Replaces every parenthesised group of text by its value and trims it; false when some
    // group failed (its value is then " 0").
    bool EvalArguments(std::string& text);

protected:
    virtual bool HasObject() const = 0;
    // Sends a bus message for the object; the reply stands in mes. Returns 0 when not handled.
    virtual int Send(std::string& mes) = 0;
    // Runs the language's keyword `own` on its evaluated argument text; text holds the call on
    // entry and receives the result on success.
    virtual bool RunOwn(int own, const std::string& args, bool argsOk, std::string& text) = 0;
    // The running function as error messages name it.
    virtual AnsiString FunctionName() const = 0;

    // Raises the limit error naming the running function (or the given name).
    [[noreturn]] void LimitError() const;
    [[noreturn]] void LimitError(const AnsiString& function) const;

    // Keeps the process-wide nesting count for a scope; raises the limit error beyond it.
    class Nest {
    public:
        explicit Nest(const TExprEvaluator& e);
        ~Nest();
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;
    };

private:
    bool EvalIf(const std::string& call, const std::string& body, std::string& text);
    bool RunKeyword(const TExprKeyword& k, const std::string& args, bool argsOk, std::string& text);

    const std::vector<TExprKeyword>& keywords;
    TExprMemory& memory;
    long steps = 0;
};

// "Превышена глубина вычисления функции " and the name: the message of the evaluation limits.
extern const char* const kExprLimitMessage;
