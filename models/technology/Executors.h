// Executors: the people and machines that carry out the works of the technology model (track
// crews, wagon inspection crews, post signalmen, locomotives, the hump, the electro-mechanic).
// The model holds a table of 20 configured executors; the named ones form its free pool, from
// which automata and works take them by skill.
#pragma once
#include <array>
#include <memory>

#include "models/base/Containers.h"
#include "platform/core/Component.h"
#include "platform/core/Strings.h"

class TModel;

class TExecutor : public TPersistent {
    VELO_CLASS(TExecutor, TPersistent)
public:
    TExecutor() = default;
    TExecutor(const TExecutor&) = default;
    TExecutor& operator=(const TExecutor&) = default;

    int Number = 0;          // used by the bus commands and by the preferred numbers of requirements
    AnsiString ExecName;     // an executor without a name stays out of the free pool
    // Back to the free pool when the work that holds it ends (set by the requirement that took it).
    bool Release = true;

    const AnsiString& Scill() const { return scill; }
    // Stores the text and reads up to five skill codes from it; the missing ones are 0.
    void SetScill(const AnsiString& text);
    // k is one of the five skill codes (so 0 matches an executor with fewer than five).
    bool CanExec(int k) const;
    void SetParent(TModel* model) { parent = model; }
    TModel* Parent() const { return parent; }
    // A static executor goes back to the free pool when the object holding it is removed.
    virtual bool IsStatic() const { return true; }

private:
    AnsiString scill = "0";
    std::array<int, 5> codes{};
    TModel* parent = nullptr;
};

class TDinamicExecutor : public TExecutor {
    VELO_CLASS(TDinamicExecutor, TExecutor)
public:
    bool IsStatic() const override { return false; }
};

// The 20 configured executors (Executor00 ... Executor19). The table owns them; assigning one
// table to another copies the fields, so no executor ever has two owners.
class TExecutors : public TPersistent {
    VELO_CLASS(TExecutors, TPersistent)
public:
    static constexpr int kCount = 20;

    TExecutors();
    TExecutors(const TExecutors& o);
    TExecutors& operator=(const TExecutors& o);
    ~TExecutors() override = default;

    // The executor at 0..19; null outside.
    TExecutor* operator[](int i) const;
    // Copies the fields of e into executor i (nothing outside 0..19).
    void Set(int i, const TExecutor& e);
    void Assign(const TExecutors& o);

private:
    std::array<std::unique_ptr<TExecutor>, kCount> items;
};

// A list of executors the model, an object or a work holds; the executors are shared, never copied.
using TExecutorPtrList = dllist<TExecutor*>;
