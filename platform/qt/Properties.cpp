// Property registry by run-time class name, value conversions and handler tables.
#include "platform/qt/Properties.h"

#include "platform/core/CFormat.h"
#include "platform/qt/Colors.h"

namespace {

std::map<std::string, std::map<std::string, TPropInfo>>& Registry()
{
    static std::map<std::string, std::map<std::string, TPropInfo>> r;
    return r;
}

std::string KindName(TPropValue::TKind k)
{
    switch (k) {
    case TPropValue::Int: return "целое число";
    case TPropValue::Float: return "число";
    case TPropValue::String: return "строка";
    case TPropValue::Ident: return "идентификатор";
    case TPropValue::Set: return "множество";
    case TPropValue::List: return "список строк";
    }
    return "?";
}

[[noreturn]] void Expected(const char* what, const TPropValue& v)
{
    throw Exception(Format("ожидается %s, а не %s %s", what, KindName(v.Kind).c_str(), v.Describe().c_str()));
}

} // namespace

int TPropValue::AsInt() const
{
    if (Kind != Int) Expected("целое число", *this);
    if (IntValue < INT32_MIN || IntValue > INT32_MAX) throw Exception(Format("число вне диапазона: %s", Describe().c_str()));
    return static_cast<int>(IntValue);
}

double TPropValue::AsFloat() const
{
    if (Kind == Int) return static_cast<double>(IntValue);
    if (Kind != Float) Expected("число", *this);
    return FloatValue;
}

bool TPropValue::AsBool() const
{
    if (Kind == Ident && Text == "True") return true;
    if (Kind == Ident && Text == "False") return false;
    Expected("True или False", *this);
}

const std::string& TPropValue::AsString() const
{
    if (Kind != String) Expected("строка в кавычках", *this);
    return Text;
}

const std::string& TPropValue::AsIdent() const
{
    if (Kind != Ident) Expected("идентификатор", *this);
    return Text;
}

TStringList TPropValue::AsStrings() const
{
    if (Kind != List) Expected("список строк", *this);
    TStringList l;
    for (const std::string& s : Items) l.Add(s);
    return l;
}

const std::vector<std::string>& TPropValue::AsSet() const
{
    if (Kind != Set) Expected("множество", *this);
    return Items;
}

std::string TPropValue::Describe() const
{
    switch (Kind) {
    case Int: return Format("%lld", static_cast<long long>(IntValue));
    case Float: return Format("%g", FloatValue);
    case String: return "\"" + Text + "\"";
    case Ident: return Text;
    case Set: {
        std::string s = "[";
        for (size_t i = 0; i < Items.size(); ++i) s += (i ? ", " : "") + Items[i];
        return s + "]";
    }
    case List: return Format("(%d строк)", static_cast<int>(Items.size()));
    }
    return "";
}

const std::any* THandlerTable::Find(const std::string& name) const
{
    auto it = fHandlers.find(name);
    return it == fHandlers.end() ? nullptr : &it->second;
}

void RegisterProperty(const std::string& className, const std::string& propName, TPropInfo info)
{
    Registry()[className][propName] = std::move(info);
}

const TPropInfo* FindProperty(const TObject* obj, const std::string& propName)
{
    const auto& reg = Registry();
    for (const TClassInfo* c = obj->ClassType(); c; c = c->Parent) {
        auto cls = reg.find(c->Name);
        if (cls == reg.end()) continue;
        auto p = cls->second.find(propName);
        if (p != cls->second.end()) return &p->second;
    }
    return nullptr;
}

int EnumValue(const TEnumNames& names, const TPropValue& v)
{
    // A number must be the value of one of the identifiers: the setters cast it to their enum.
    for (const auto& [n, value] : names)
        if ((v.Kind == TPropValue::Ident && n == v.Text) || (v.Kind == TPropValue::Int && v.IntValue == value))
            return value;
    std::string all;
    for (const auto& [n, value] : names) all += (all.empty() ? "" : ", ") + n;
    throw Exception(Format("неизвестное значение %s (допустимы: %s)", v.Describe().c_str(), all.c_str()));
}

int ColorValue(const TPropValue& v)
{
    static const TEnumNames colors = {
        {"clBlack", clBlack},         {"clMaroon", clMaroon},       {"clGreen", clGreen},
        {"clOlive", clOlive},         {"clNavy", clNavy},           {"clPurple", clPurple},
        {"clTeal", clTeal},           {"clGray", clGray},           {"clSilver", clSilver},
        {"clRed", clRed},             {"clLime", clLime},           {"clYellow", clYellow},
        {"clBlue", clBlue},           {"clFuchsia", clFuchsia},     {"clAqua", clAqua},
        {"clWhite", clWhite},         {"clMoneyGreen", clMoneyGreen}, {"clSkyBlue", clSkyBlue},
        {"clCream", clCream},         {"clMedGray", clMedGray},     {"clWindow", clWindow},
        {"clWindowText", clWindowText}, {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText},
        {"clBtnFace", clBtnFace},     {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText},
        {"clBtnText", clBtnText},     {"clBtnHighlight", clBtnHighlight}, {"clInfoText", clInfoText},
        {"clInfoBk", clInfoBk},       {"clNone", clNone},           {"clDefault", clDefault},
    };
    if (v.Kind == TPropValue::Int) {
        // $00BBGGRR and the system colours $8000000n, also when written as negative numbers.
        if (v.IntValue < INT32_MIN || v.IntValue > UINT32_MAX)
            throw Exception(Format("число вне диапазона: %s", v.Describe().c_str()));
        return static_cast<int>(static_cast<uint32_t>(v.IntValue));
    }
    return EnumValue(colors, v);
}
