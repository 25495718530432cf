// Component base of the platform layer: run-time class names with their ancestor chain, owner and
// owned components, component names, and the registry that creates components by class name.
#pragma once
#include <functional>
#include <string>
#include <vector>

// Run-time class information: the class name as the system spells it and the parent class.
struct TClassInfo {
    const char* Name;
    const TClassInfo* Parent;
};

// Declares the run-time class of a class derived from Parent. Put it first in the class body.
#define VELO_CLASS(Cls, ParentCls)                                                        \
public:                                                                                   \
    static const TClassInfo* StaticClassType()                                            \
    {                                                                                     \
        static const TClassInfo info{#Cls, ParentCls::StaticClassType()};                 \
        return &info;                                                                     \
    }                                                                                     \
    const TClassInfo* ClassType() const override { return StaticClassType(); }            \
                                                                                          \
private:

class TObject {
public:
    virtual ~TObject() = default;
    static const TClassInfo* StaticClassType();
    virtual const TClassInfo* ClassType() const { return StaticClassType(); }
    std::string ClassName() const { return ClassType()->Name; }
    // True when this object's class or one of its ancestors has the given name.
    bool InheritsFromClassName(const std::string& name) const;
};

class TPersistent : public TObject {
    VELO_CLASS(TPersistent, TObject)
};

// A component has an owner that destroys it, a list of the components it owns (in the order they
// were created) and a name unique among its owner's components.
class TComponent : public TPersistent {
    VELO_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return fName; }
    void SetName(const std::string& n) { fName = n; }
    TComponent* Owner() const { return fOwner; }
    int ComponentCount() const { return static_cast<int>(fComponents.size()); }
    TComponent* Components(int i) const { return fComponents.at(static_cast<size_t>(i)); }
    // The owned component with this name (exact match), or null.
    TComponent* FindComponent(const std::string& n) const;
    // Calls f for every owned component and, depth first, for the components those own.
    void ForEachOwned(const std::function<void(TComponent*)>& f) const;
    // Moves this component to another owner (null: no owner).
    void SetOwner(TComponent* newOwner);

    // Called once the form that owns this component has been completely loaded.
    virtual void Loaded() {}

private:
    void RemoveComponent(TComponent* c);
    std::string fName;
    TComponent* fOwner = nullptr;
    std::vector<TComponent*> fComponents;
};

// The plain event of components: who raised it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Registry of component classes by name, used by the form loader.
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterComponentClass(const std::string& className, TComponentFactory factory);
bool IsComponentClassRegistered(const std::string& className);
// The palette page a form designer shows a registered class on ("" when none was given).
void SetComponentClassPage(const std::string& className, const std::string& page);
std::string ComponentClassPage(const std::string& className);
// Creates a component of a registered class; null when the class is unknown.
TComponent* CreateComponentByClassName(const std::string& className, TComponent* owner);

// Each library registers its classes from one explicit function (e.g. RegisterModelClasses()):
// self-registering statics would be dropped by the linker from a static library.
