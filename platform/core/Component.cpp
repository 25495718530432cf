// Component ownership and the class registry.
#include "platform/core/Component.h"

#include <algorithm>
#include <map>

const TClassInfo* TObject::StaticClassType()
{
    static const TClassInfo info{"TObject", nullptr};
    return &info;
}

bool TObject::InheritsFromClassName(const std::string& n) const
{
    for (const TClassInfo* c = ClassType(); c; c = c->Parent)
        if (n == c->Name) return true;
    return false;
}

TComponent::TComponent(TComponent* o)
{
    SetOwner(o);
}

TComponent::~TComponent()
{
    // Owned components are destroyed last created first; each removes itself from our list.
    while (!fComponents.empty()) {
        TComponent* c = fComponents.back();
        c->fOwner = nullptr;
        fComponents.pop_back();
        delete c;
    }
    if (fOwner) fOwner->RemoveComponent(this);
}

void TComponent::RemoveComponent(TComponent* c)
{
    auto it = std::find(fComponents.begin(), fComponents.end(), c);
    if (it != fComponents.end()) fComponents.erase(it);
}

void TComponent::SetOwner(TComponent* newOwner)
{
    if (fOwner) fOwner->RemoveComponent(this);
    fOwner = newOwner;
    if (fOwner) fOwner->fComponents.push_back(this);
}

TComponent* TComponent::FindComponent(const std::string& n) const
{
    for (TComponent* c : fComponents)
        if (c->fName == n) return c;
    return nullptr;
}

void TComponent::ForEachOwned(const std::function<void(TComponent*)>& f) const
{
    // Copy first: f may create or destroy fComponents.
    std::vector<TComponent*> snapshot = fComponents;
    for (TComponent* c : snapshot) {
        f(c);
        c->ForEachOwned(f);
    }
}

namespace {
std::map<std::string, TComponentFactory>& Registry()
{
    static std::map<std::string, TComponentFactory> r;
    return r;
}

std::map<std::string, std::string>& Pages()
{
    static std::map<std::string, std::string> r;
    return r;
}
} // namespace

void RegisterComponentClass(const std::string& className, TComponentFactory factory)
{
    Registry()[className] = std::move(factory);
}

void SetComponentClassPage(const std::string& className, const std::string& page)
{
    Pages()[className] = page;
}

std::string ComponentClassPage(const std::string& className)
{
    auto it = Pages().find(className);
    return it == Pages().end() ? std::string() : it->second;
}

bool IsComponentClassRegistered(const std::string& className)
{
    return Registry().count(className) != 0;
}

TComponent* CreateComponentByClassName(const std::string& className, TComponent* owner)
{
    auto it = Registry().find(className);
    return it == Registry().end() ? nullptr : it->second(owner);
}
