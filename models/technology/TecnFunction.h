// The technology language: the functions of "DATA\Tecnology.dat" that conditions, actions,
// work durations, work conditions and command 25 evaluate for a technology object. It is the
// evaluator of models/base/Expression.h with the keywords
//   GET SET COM IN BETWEEN NOT AND OR > < NOTE MEM CLEAR NTH STRCAT FUNC + * - / INT RND RNDZ
//   ERLANG RETURN OBJ USERFUNC PLANID FALSE TRUE TIME ABS EXECNAME
// and ten memory cells of its own (apart from the plan functions' cells), shared by all
// technology functions of all objects for the whole run.
//
// GET/SET read and write the object's parameters (commands and works included), COM and USERFUNC
// go through the technology model's bus, FUNC n runs technology function n for the same object
// (an unknown n raises "Нет функции n в файле технологии"), EXECNAME n names the executor the
// object holds for skill n (its own first, then its works').
#pragma once
#include <string>

#include "models/base/Containers.h"
#include "models/base/Expression.h"

class TTecnObject;

struct TTecnFunction {
    dllist<AnsiString> Body;  // expression lines, trimmed
    int Number = 0;
};

// Evaluates f's lines in order for obj; the first line that fails stops the run with false and
// an empty *out; otherwise *out gets the last line's result (empty without lines) and true.
bool RunTecnFunction(const TTecnFunction* f, TTecnObject* obj, std::string* out);
// Evaluates the expression in text for obj (f names the running function in errors; may be
// null); the result replaces text on success.
bool EvalTecnExpression(const TTecnFunction* f, TTecnObject* obj, std::string& text);

// The ten memory cells of the technology functions. The run never clears them.
TExprMemory& TecnMemory();
// Empties the memory cells. Tests only.
void ResetTecnMemory();

// FUNC calls nested deeper than this raise the depth error naming the function.
constexpr int kMaxTecnFuncDepth = 64;
