// The table of dialogue partners: each partner's name, as bus messages give it, names the channel
// window whose first memo shows what the partner says.
//
// The main window calls Connection->Check() once every window exists, and
// Connection->ShowMessage(partner, text) for interface command 10.
#pragma once
#include <array>
#include <string>

#include "platform/core/Component.h"

class TForm;
class TMemo;

class TCompanion : public TPersistent {
    VELO_CLASS(TCompanion, TPersistent)
public:
    std::string ExecName;  // the partner's name in bus messages
    std::string Canal;     // the Name of its channel window

    // Finds the channel window and its first memo; a missing one is reported in a box.
    void Check();
    // Shows the text as the only line of the memo and shows the window with ExecName + "->"
    // before its caption: 1. While the window is open the text is added as a new line and the
    // window's OnShow runs again: 1. Nothing happens (0) when the window is not known.
    int ShowMessage(const std::string& text);

    // Copies the name and the channel, not the window found by Check.
    void Assign(const TCompanion& c);

    TForm* Form() const { return fForm; }
    TMemo* Memo() const { return fMemo; }

private:
    TForm* fForm = nullptr;
    TMemo* fMemo = nullptr;
};

class TCompanions : public TPersistent {
    VELO_CLASS(TCompanions, TPersistent)
public:
    static constexpr int kCount = 20;

    // Companion00 ... Companion19.
    TCompanion& Companion(int i) { return fItems.at(static_cast<size_t>(i)); }
    const TCompanion& Companion(int i) const { return fItems.at(static_cast<size_t>(i)); }
    // Copies a partner's name and channel into entry i (the writers of Companion00 ... 19).
    void Set(int i, const TCompanion& c) { Companion(i).Assign(c); }
    void Assign(const TCompanions& other);

    // Both walk the entries from the first and stop at the first whose ExecName or Canal is empty.
    void Check();
    // The result of the first partner named exactly name; 0 when none.
    int ShowMessage(const std::string& name, const std::string& text);

private:
    std::array<TCompanion, kCount> fItems;
};

class TConnection : public TComponent {
    VELO_CLASS(TConnection, TComponent)
public:
    explicit TConnection(TComponent* owner = nullptr) : TComponent(owner) {}

    TCompanions& CompanionArray() { return fCompanions; }
    void SetCompanionArray(const TCompanions& c) { fCompanions.Assign(c); }

    void Check() { fCompanions.Check(); }
    int ShowMessage(const std::string& name, const std::string& text) { return fCompanions.ShowMessage(name, text); }

private:
    TCompanions fCompanions;
};
