// Published properties and events of component classes, as the form loader sets them.
//
// This header needs no Qt, so classes that must not depend on Qt (the models) get their
// properties registered from outside: the program registers, say, `FileName` and
// `OnSendMessage` for "TModel" and every model class inherits them, because a look-up walks the
// run-time class chain from the object's own class up to "TObject".
//
// Usage (from one explicit registration function of a library, never from static initialisers):
//
//   RegisterIntProperty<TEC_Cell>("Id", [](TEC_Cell& c, int v) { c.Id = v; });
//   RegisterEnumProperty<TEC_Signal>("Type", {{"sgW", 0}, {"sgG", 1}},
//                                    [](TEC_Signal& s, int v) { s.SetType(TSignalType(v)); });
//   RegisterStringsProperty<TEC_Section>("Items0", [](TEC_Section& s, const TStringList& l) { ... });
//   RegisterReferenceProperty<TEC_Signal, TLabel>("SigLabel", [](TEC_Signal& s, TLabel* l) { ... });
//   RegisterEventProperty<TModel, TSendMessageEvent>("OnSendMessage",
//                                    [](TModel& m, TSendMessageEvent e) { m.OnSendMessage = e; });
//   RegisterObjectProperty<TConnection>("CompanionArray", [](TConnection& c) -> TPersistent* { ... });
//
// A form supplies its event handlers by name in a THandlerTable:
//
//   Handlers().Add("Button1Click", TNotifyEvent([this](TObject* s) { Button1Click(s); }));
//   Handlers().Add<TSendMessageEvent>("MessageDispatcher", [this](TModel* m, std::string& mes,
//                                     TlstParams* p) { return MessageDispatcher(m, mes, p); });
#pragma once
#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/core/Component.h"
#include "platform/core/Exception.h"
#include "platform/core/Strings.h"

// One value written in a form definition.
struct TPropValue {
    enum TKind { Int, Float, String, Ident, Set, List };
    TKind Kind = Int;
    int64_t IntValue = 0;
    double FloatValue = 0;
    std::string Text;               // String, Ident
    std::vector<std::string> Items; // Set (identifiers), List (texts)

    // Conversions for setters; each raises an Exception naming what was expected.
    int AsInt() const;
    double AsFloat() const;
    bool AsBool() const;                 // True / False
    const std::string& AsString() const; // a quoted text
    const std::string& AsIdent() const;
    TStringList AsStrings() const;       // ( "a" "b" ... )
    const std::vector<std::string>& AsSet() const;
    std::string Describe() const;        // the value as written, for error texts
};

// Event handlers of one form (or frame) by name; event properties are bound to them.
class THandlerTable {
public:
    // The handler is stored as the event type itself: pass a std::function of that type, or a
    // lambda with the type named: Add<TCloseEvent>("FormClose", [this](TObject*, TCloseAction&) {}).
    template <class F>
    void Add(const std::string& name, std::type_identity_t<F> f)
    {
        fHandlers[name] = std::any(F(std::move(f)));
    }
    template <class R, class... A>
    void Add(const std::string& name, std::function<R(A...)> f)
    {
        fHandlers[name] = std::any(std::move(f));
    }
    const std::any* Find(const std::string& name) const;
    bool Contains(const std::string& name) const { return Find(name) != nullptr; }

private:
    std::map<std::string, std::any> fHandlers;
};

// Registry entries. A setter may raise an Exception; the loader adds the file and line.
enum class TPropKind { Value, Reference, Event, Object };

struct TPropInfo {
    TPropKind Kind = TPropKind::Value;
    // Value: sets the property from the written value.
    std::function<void(TObject*, const TPropValue&)> SetValue;
    // Reference: the referenced component must be of class RefClass (or derived from it).
    std::string RefClass;
    std::function<void(TObject*, TComponent*)> SetReference;
    // Event: binds the handler; false when the handler has another type than the event.
    std::function<bool(TObject*, const std::any*)> SetEvent;
    // Object: the nested persistent object whose own properties follow after a dot.
    std::function<TPersistent*(TObject*)> GetObject;
};

void RegisterProperty(const std::string& className, const std::string& propName, TPropInfo info);
// The entry for the object's class or the nearest ancestor that has one; null when none.
const TPropInfo* FindProperty(const TObject* obj, const std::string& propName);

// Enumeration identifiers of a property: identifier -> number.
using TEnumNames = std::vector<std::pair<std::string, int>>;
// The number of an identifier, or a number written as one of their values; anything else raises.
int EnumValue(const TEnumNames& names, const TPropValue& v);

// Colours as the forms write them: clRed, clBtnFace, ... or a number $00BBGGRR.
int ColorValue(const TPropValue& v);

namespace velo_detail {
template <class T>
T& Cast(TObject* o)
{
    return *static_cast<T*>(o);
}
} // namespace velo_detail

template <class T>
void RegisterValueProperty(const std::string& prop, std::function<void(T&, const TPropValue&)> f)
{
    TPropInfo info;
    info.SetValue = [f](TObject* o, const TPropValue& v) { f(velo_detail::Cast<T>(o), v); };
    RegisterProperty(T::StaticClassType()->Name, prop, std::move(info));
}

template <class T>
void RegisterIntProperty(const std::string& prop, std::function<void(T&, int)> f)
{
    RegisterValueProperty<T>(prop, [f](T& o, const TPropValue& v) { f(o, v.AsInt()); });
}

template <class T>
void RegisterFloatProperty(const std::string& prop, std::function<void(T&, double)> f)
{
    RegisterValueProperty<T>(prop, [f](T& o, const TPropValue& v) { f(o, v.AsFloat()); });
}

template <class T>
void RegisterBoolProperty(const std::string& prop, std::function<void(T&, bool)> f)
{
    RegisterValueProperty<T>(prop, [f](T& o, const TPropValue& v) { f(o, v.AsBool()); });
}

template <class T>
void RegisterStringProperty(const std::string& prop, std::function<void(T&, const std::string&)> f)
{
    RegisterValueProperty<T>(prop, [f](T& o, const TPropValue& v) { f(o, v.AsString()); });
}

template <class T>
void RegisterEnumProperty(const std::string& prop, TEnumNames names, std::function<void(T&, int)> f)
{
    RegisterValueProperty<T>(prop, [f, names](T& o, const TPropValue& v) { f(o, EnumValue(names, v)); });
}

template <class T>
void RegisterColorProperty(const std::string& prop, std::function<void(T&, int)> f)
{
    RegisterValueProperty<T>(prop, [f](T& o, const TPropValue& v) { f(o, ColorValue(v)); });
}

template <class T>
void RegisterStringsProperty(const std::string& prop, std::function<void(T&, const TStringList&)> f)
{
    RegisterValueProperty<T>(prop, [f](T& o, const TPropValue& v) { f(o, v.AsStrings()); });
}

// A reference to another component of the form, resolved once the whole definition is read
// (so it may name a component defined further down).
template <class T, class R>
void RegisterReferenceProperty(const std::string& prop, std::function<void(T&, R*)> f)
{
    TPropInfo info;
    info.Kind = TPropKind::Reference;
    info.RefClass = R::StaticClassType()->Name;
    info.SetReference = [f](TObject* o, TComponent* c) { f(velo_detail::Cast<T>(o), static_cast<R*>(c)); };
    RegisterProperty(T::StaticClassType()->Name, prop, std::move(info));
}

// An event bound by handler name; E is the event type (a std::function).
template <class T, class E>
void RegisterEventProperty(const std::string& prop, std::function<void(T&, E)> f)
{
    TPropInfo info;
    info.Kind = TPropKind::Event;
    info.SetEvent = [f](TObject* o, const std::any* h) {
        if (!h) {
            f(velo_detail::Cast<T>(o), E{});
            return true;
        }
        const E* e = std::any_cast<E>(h);
        if (!e) return false;
        f(velo_detail::Cast<T>(o), *e);
        return true;
    };
    RegisterProperty(T::StaticClassType()->Name, prop, std::move(info));
}

// A nested persistent object (e.g. CompanionArray); its properties are written after a dot.
template <class T>
void RegisterObjectProperty(const std::string& prop, std::function<TPersistent*(T&)> f)
{
    TPropInfo info;
    info.Kind = TPropKind::Object;
    info.GetObject = [f](TObject* o) { return f(velo_detail::Cast<T>(o)); };
    RegisterProperty(T::StaticClassType()->Name, prop, std::move(info));
}
