// Plan functions: small programs in the track plan's data that the plan model runs when a moving
// object enters or leaves a section (table 1, record type 8 of plan.dat, also reached by FUNC)
// and when an object reports a state event (table 2, record type 9, function n for event n).
// The language is that of models/Expression.h with the keywords
//   OBJ SECTION COM IN BETWEEN NOT AND OR > < NOTE MEM CLEAR NTH STRCAT FUNC
//   + * - / INT RND RNDZ ERLANG RETURN WAY USERFUNC
// and ten memory cells shared by all plan functions of all objects for the whole run.
//
// How the plan model uses this unit:
//
//   TaPlanFunctions sectionFunctions, eventFunctions;        // tables 1 and 2
//   sectionFunctions.ReadRecord(line);                       // a type-8 data line "8 4 (COM ...)"
//   const TPlanFunction* f = eventFunctions.Find(code);      // lookup by number, null when none
//
//   TPlanObjectContext obj{objectNumber, planModel, &sectionFunctions};
//   TPlanSectionContext sec{sectionNumber, sectionName};
//   std::string out;
//   RunPlanFunction(f, &obj, &sec, &out);                    // section may be null (event functions)
//
// COM and USERFUNC send their messages through obj.Model->SendMessageA, that is through the plan
// model's OnSendMessage; the reply is the value. Errors of a function's text raise Exception
// (TExprError) whose message begins with the language's text ("Неизвестная функция: ...",
// "Ошибка определения функции: ...", "Неверное определение функции: ...") followed by
// " (функция N)"; a function that calls itself without end raises
// "Превышена глубина вычисления функции N".
#pragma once
#include <cstdint>
#include <string>

#include "models/base/Containers.h"
#include "models/base/Expression.h"

class TModel;

struct TPlanFunction {
    AnsiString Text;         // the expression
    unsigned int Number = 0;
};

// A table of plan functions (at most 299), found by number.
class TaPlanFunctions : public TArray300<TPlanFunction> {
public:
    // The first function with this number, null when there is none.
    TPlanFunction* Find(unsigned int number);
    const TPlanFunction* Find(unsigned int number) const;
    // Reads a record line "{type} {number} {expression}" (the type is not checked here: the
    // caller chose the table by it). The expression is the rest of the line after the number,
    // trimmed. A number already in the table raises "Повтор номера функции"; a line without
    // type and number raises "Ошибка определения функции: " with the line.
    void ReadRecord(const AnsiString& line);
};

// What a plan function sees of the moving object it runs for.
struct TPlanObjectContext {
    uint32_t Number = 0;                           // OBJ
    TModel* Model = nullptr;                       // COM and USERFUNC go through its SendMessageA
    const TaPlanFunctions* Functions = nullptr;    // table 1, reached by FUNC
};

// What it sees of the section it runs on (none for event functions).
struct TPlanSectionContext {
    uint32_t Number = 0;   // SECTION
    AnsiString Name;       // WAY
};

// Evaluates f's text for obj (null: every keyword fails) and section (may be null). On success
// the result goes to *out (when out is given); on failure *out is emptied.
bool RunPlanFunction(const TPlanFunction* f, const TPlanObjectContext* obj, const TPlanSectionContext* section,
                     std::string* out);
// Evaluates the expression in text for f's run; the result replaces text on success.
bool EvalExpression(const TPlanFunction* f, const TPlanObjectContext* obj, const TPlanSectionContext* section,
                    std::string& text);
// Replaces every parenthesised group of text by its value; false when some group failed.
bool EvalArguments(const TPlanFunction* f, const TPlanObjectContext* obj, const TPlanSectionContext* section,
                   std::string& text);

// The ten memory cells of the plan functions. The run never clears them.
TExprMemory& PlanMemory();
// Empties the memory cells. Tests only.
void ResetPlanMemory();

// FUNC calls nested deeper than this raise the depth error naming the function.
constexpr int kMaxPlanFuncDepth = 64;
