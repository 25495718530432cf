// Numbered parameters: a decimal name whose thousands give the type (1 integer, 2 floating,
// anything else text) and a typed value; the sorted indexed list every model holds; the plain
// list that carries typed results beside a bus message; word splitting of message texts.
#pragma once
#include <string>

#include "models/base/Containers.h"
#include "platform/core/Strings.h"
#include "platform/core/Variant.h"

enum class TParamType { Integer, Floating, Text };

// The type of a parameter name: atol(name) / 1000.
TParamType ParamTypeOf(const AnsiString& name);

class TObjParam {
public:
    TObjParam() = default;
    TObjParam(const AnsiString& n, const TVariant& v) : name(n), value(v) {}

    // Typed value of a text for a name: integer atol, floating atof, text as is.
    static TVariant SetFromText(const AnsiString& name, const char* text);
    // Integer: truncation of x + 0.9; floating: x; text: "%f".
    static TVariant SetFromDouble(const AnsiString& name, double x);
    // Integer: n; floating: n; text: "%d".
    static TVariant SetFromInt(const AnsiString& name, int n);
    // False when the names differ or the name is below 1000; otherwise compares by the name's type.
    static bool ValueDiffers(const TObjParam& a, const TObjParam& b);
    // "name value": the first word is the name, the rest after one separator, trimmed, the value.
    void FromText(const char* text);

    AnsiString name;
    TVariant value{std::string()};
};

// The value as text by the type of its name: "%d", "%f" of the value in single precision, or the text.
AnsiString ParamValueToText(const TObjParam& p);

// Parameters in name order (byte order, a prefix first) with an index of every tenth node.
class TObjParamList : public dllist<TObjParam> {
public:
    TObjParamList() = default;
    TObjParamList(const TObjParamList& o);
    TObjParamList& operator=(const TObjParamList& o);
    ~TObjParamList() override;

    listob<TObjParam>* Find(const AnsiString& name) const;
    // Replaces the value of an existing name or inserts in name order.
    listob<TObjParam>* Put(const TObjParam& p);
    listob<TObjParam>* Append(TObjParam p) override { return Put(p); }
    void Remove(listob<TObjParam>* node) override;
    void Clear() override;
    void Reverse() override {}
    unsigned int IndexLength() const { return index.Length(); }

private:
    void RebuildIndex();
    dllist<listob<TObjParam>*> index;
};

// Unsorted list of typed results; the same name may occur more than once.
class TlstParams : public dllist<TObjParam> {
public:
    ~TlstParams() override = default;
};

// Drops the first n - 1 words of text and appends each remaining word; returns the first node
// appended, or null when nothing was appended.
listob<AnsiString>* ParseWords(dllist<AnsiString>& list, const char* text, int n);
