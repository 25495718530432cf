// Numbered parameters and parameter lists.
#include "models/base/Parametres.h"

#include <cstring>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

TParamType ParamTypeOf(const AnsiString& name)
{
    switch (AtolC(name.c_str()) / 1000) {
    case 1: return TParamType::Integer;
    case 2: return TParamType::Floating;
    default: return TParamType::Text;
    }
}

TVariant TObjParam::SetFromText(const AnsiString& name, const char* text)
{
    switch (ParamTypeOf(name)) {
    case TParamType::Integer: return static_cast<int32_t>(AtolC(text));
    case TParamType::Floating: return AtofC(text);
    default: return std::string(text);
    }
}

TVariant TObjParam::SetFromDouble(const AnsiString& name, double x)
{
    switch (ParamTypeOf(name)) {
    case TParamType::Integer: return VarToInt(TVariant(x + 0.9));
    case TParamType::Floating: return x;
    default: return Format("%f", x);
    }
}

TVariant TObjParam::SetFromInt(const AnsiString& name, int n)
{
    switch (ParamTypeOf(name)) {
    case TParamType::Integer: return static_cast<int32_t>(n);
    case TParamType::Floating: return static_cast<double>(n);
    default: return Format("%d", n);
    }
}

bool TObjParam::ValueDiffers(const TObjParam& a, const TObjParam& b)
{
    if (a.name != b.name) return false;
    long n = AtolC(a.name.c_str());
    if (n < 1000) return false;
    if (n < 2000) return VarToInt(a.value) != VarToInt(b.value);
    if (n < 3000) return VarToDouble(a.value) != VarToDouble(b.value);
    return VarToStr(a.value) != VarToStr(b.value);
}

void TObjParam::FromText(const char* text)
{
    name = FirstWord(text);
    value = SetFromText(name, Trim(DropFirstWord(text)).c_str());
}

AnsiString ParamValueToText(const TObjParam& p)
{
    switch (ParamTypeOf(p.name)) {
    case TParamType::Integer: return Format("%d", VarToInt(p.value));
    case TParamType::Floating: return Format("%f", static_cast<double>(static_cast<float>(VarToDouble(p.value))));
    default: return VarToStr(p.value);
    }
}

namespace {
// Byte order; a name that is a prefix of another comes first.
int CompareNames(const AnsiString& a, const AnsiString& b)
{
    return std::strcmp(a.c_str(), b.c_str());
}
} // namespace

TObjParamList::TObjParamList(const TObjParamList& o) : dllist<TObjParam>()
{
    for (auto* p = o.First(); p; p = p->next) Put(p->value);
}

TObjParamList& TObjParamList::operator=(const TObjParamList& o)
{
    if (this != &o) {
        Clear();
        for (auto* p = o.First(); p; p = p->next) Put(p->value);
    }
    return *this;
}

TObjParamList::~TObjParamList() { index.Clear(); }

listob<TObjParam>* TObjParamList::Find(const AnsiString& name) const
{
    auto* ix = index.First();
    if (!ix) return nullptr;
    while (ix->next && CompareNames(ix->next->value->value.name, name) <= 0) ix = ix->next;
    for (auto* p = ix->value; p; p = p->next) {
        const int c = CompareNames(p->value.name, name);
        if (c == 0) return p;
        if (c > 0) break;
    }
    return nullptr;
}

listob<TObjParam>* TObjParamList::Put(const TObjParam& p)
{
    if (auto* found = Find(p.name)) {
        found->value.value = p.value;
        return found;
    }
    listob<TObjParam>* q = first;
    while (q && CompareNames(q->value.name, p.name) < 0) q = q->next;
    listob<TObjParam>* n = dllist<TObjParam>::InsertAfter(p, q ? q->prev : last);
    RebuildIndex();
    return n;
}

void TObjParamList::Remove(listob<TObjParam>* node)
{
    dllist<TObjParam>::Remove(node);
    RebuildIndex();
}

void TObjParamList::Clear()
{
    index.Clear();
    dllist<TObjParam>::Clear();
}

void TObjParamList::RebuildIndex()
{
    index.Clear();
    unsigned int i = 0;
    for (auto* p = first; p; p = p->next, ++i)
        if (i % 10 == 0) index.Append(p);
}

listob<AnsiString>* ParseWords(dllist<AnsiString>& list, const char* text, int n)
{
    // One pass over the text: a word is a run of characters other than blanks.
    listob<AnsiString>* firstAppended = nullptr;
    int i = 1;
    for (const char* p = text; *p;) {
        while (IsBlankChar(*p)) ++p;
        if (!*p) break;
        const char* b = p;
        while (*p && !IsBlankChar(*p)) ++p;
        if (i++ < n) continue;
        auto* node = list.Append(AnsiString(b, static_cast<size_t>(p - b)));
        if (!firstAppended) firstAppended = node;
    }
    return firstAppended;
}
