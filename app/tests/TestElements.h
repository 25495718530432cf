// Stand-in panel elements for the main window's tests. Each has a test class name of its own
// whose parent in the run-time class chain is the element class the main window collects by
// ("TTestSignal" derives from "TEC_Signal"), and records what the window does to it.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/PanelLinks.h"
#include "platform/qt/Colors.h"
#include "platform/qt/Forms.h"

// Declares a stand-in class Cls that the run-time chain shows as derived from the element class
// ElementName, itself derived from ParentCls.
#define VELO_TEST_ELEMENT(Cls, ElementName, ParentCls)                                               \
public:                                                                                              \
    static const TClassInfo* StaticClassType()                                                       \
    {                                                                                                \
        static const TClassInfo element{ElementName, ParentCls::StaticClassType()};                  \
        static const TClassInfo info{#Cls, &element};                                                \
        return &info;                                                                                \
    }                                                                                                \
    const TClassInfo* ClassType() const override { return StaticClassType(); }                       \
                                                                                                     \
private:

class TTestCell : public TGraphicControl, public IPanelCell {
    VELO_TEST_ELEMENT(TTestCell, "TEC_Cell", TGraphicControl)
public:
    explicit TTestCell(TComponent* o, int id = 0) : TGraphicControl(o), Id(id) {}
    int GetId() const override { return Id; }
    void SetState(int s) override { States.push_back(s); }
    int BlipCell(int phase) override
    {
        Phases.push_back(phase);
        return !States.empty() && (States.back() == 5 || States.back() == 6) ? 1 : 0;
    }
    int Id;
    std::vector<int> States;
    std::vector<int> Phases;
};

class TTestSection : public TGraphicControl, public IPanelSection {
    VELO_TEST_ELEMENT(TTestSection, "TEC_Section", TGraphicControl)
public:
    explicit TTestSection(TComponent* o, int id = 0) : TGraphicControl(o), ID(id) {}
    int GetID() const override { return ID; }
    int Check() override { return ++Checks; }
    void SetState(int s, int v) override { Calls.push_back({s, v}); }
    int ID;
    int Checks = 0;
    std::vector<std::pair<int, int>> Calls;
};

class TTestSignal : public TGraphicControl, public IPanelSignal {
    VELO_TEST_ELEMENT(TTestSignal, "TEC_Signal", TGraphicControl)
public:
    TTestSignal(TComponent* o, int id, const char* label) : TGraphicControl(o), Id(id), Label(label ? label : ""), Labelled(label != nullptr) {}
    int GetId() const override { return Id; }
    void SetState(int s) override { Aspect = s; }
    void StartRoute(bool on) override { Routes.push_back(on); }
    bool HasSigLabel() const override { return Labelled; }
    std::string SigName() const override { return Labelled ? Label : ""; }
    int BlipSignal() override
    {
        ++Blips;
        return Aspect >= 4 ? 1 : 0;
    }
    int Blips = 0;
    int Id;
    std::string Label;
    bool Labelled;
    int Aspect = -1;
    std::vector<bool> Routes;
};

class TTestSwitch : public TGraphicControl, public IPanelSwitch {
    VELO_TEST_ELEMENT(TTestSwitch, "TEC_Switch", TGraphicControl)
public:
    TTestSwitch(TComponent* o, int id) : TGraphicControl(o), Id(id) {}
    int GetId() const override { return Id; }
    int Id;
};

class TTestLamp : public TGraphicControl, public IPanelLamp {
    VELO_TEST_ELEMENT(TTestLamp, "TEC_Lamp", TGraphicControl)
public:
    TTestLamp(TComponent* o, int id) : TGraphicControl(o), Id(id) {}
    int GetId() const override { return Id; }
    int GetState() const override { return State; }
    void SetState(int s) override { State = s; }
    int GetColor() const override { return LampColor; }
    void SetColor(int c) override { LampColor = c; }
    void Repaint() override { ++Repaints; }
    int BlipLamp(int phase) override
    {
        Phases.push_back(phase);
        return State == 2 ? 1 : 0;
    }
    std::vector<int> Phases;
    int Id;
    int State = 0;
    int LampColor = clRed;
    int Repaints = 0;
};

class TTestButtonLamp : public TGraphicControl, public IPanelButtonLamp {
    VELO_TEST_ELEMENT(TTestButtonLamp, "TEC_ButtonLamp", TGraphicControl)
public:
    TTestButtonLamp(TComponent* o, int id) : TGraphicControl(o), Id(id) {}
    int GetId() const override { return Id; }
    void SetLampColor(int c) override { LampColor = c; }
    void SetState(int s) override { State = s; }
    int BlipLamp(int) override { return State == 2 ? 1 : 0; }
    int Id;
    int LampColor = 0;
    int State = 0;
};

class TTestRoutePointer : public TGraphicControl, public IPanelRoutePointer {
    VELO_TEST_ELEMENT(TTestRoutePointer, "TMRC_RoutePointer", TGraphicControl)
public:
    TTestRoutePointer(TComponent* o, int id) : TGraphicControl(o), Id(id) {}
    int GetId() const override { return Id; }
    void SetState(int s) override { State = s; }
    int BlipPointer() override { return State >= 3 ? 1 : 0; }
    int Id;
    int State = 0;
};

class TTestIndicator : public TGraphicControl, public IPanelIndicator {
    VELO_TEST_ELEMENT(TTestIndicator, "TEC_Peregon", TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;
    void SetState(bool on) override { On = on; }
    bool On = false;
};

class TTestAmmeter : public TGraphicControl, public IPanelAmmeter {
    VELO_TEST_ELEMENT(TTestAmmeter, "TEC_Amper", TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;
    void ON() override { Calls += "on "; }
    void OFF() override { Calls += "off "; }
    void Execute() override { Calls += "swing "; }
    std::string Calls;
};

class TTestSealedButton : public TGraphicControl, public IPanelSealedButton {
    VELO_TEST_ELEMENT(TTestSealedButton, "TEC_PlButton", TGraphicControl)
public:
    TTestSealedButton(TComponent* o, const char* name) : TGraphicControl(o), ButtonName(name) {}
    std::string GetButtonName() const override { return ButtonName; }
    void SetPlombed(bool on) override { Plombed = on; }
    void Repaint() override { ++Repaints; }
    std::string ButtonName;
    bool Plombed = true;
    int Repaints = 0;
};

class TTestStatusBar : public TComponent, public IStatusBar {
    VELO_TEST_ELEMENT(TTestStatusBar, "TTrenagerStatusBar", TComponent)
public:
    using TComponent::TComponent;
    unsigned Temp() const override { return Speed; }
    void SetTemp(unsigned t) override
    {
        Speed = t > 20 ? 20 : t;
        if (OnChangeTemp) OnChangeTemp(nullptr);
    }
    void FixError(const std::string& text, unsigned weight) override
    {
        ++Count;
        Points += weight;
        Texts.push_back(text);
    }
    void Process(unsigned dt) override { Seconds += dt; }
    unsigned Seconds = 0;
    std::function<void(TObject*)> OnChangeTemp;
    unsigned Speed = 0;
    int Count = 0;
    unsigned Points = 0;
    std::vector<std::string> Texts;
};

class TTestKey : public TGraphicControl, public ISwitchboardKey {
    VELO_TEST_ELEMENT(TTestKey, "TEC_ComutatorButton", TGraphicControl)
public:
    TTestKey(TComponent* o, const char* caption) : TGraphicControl(o), KeyCaption(caption) {}
    std::string GetCaption() const override { return KeyCaption; }
    int State() const override { return KeyState; }
    bool ActivateRed() override
    {
        if (KeyState != 0) return false;
        KeyState = 1;
        return true;
    }
    void SetMessage(const std::string& t) override { Memory = {t}; }
    void AddMessage(const std::string& t) override { Memory.push_back(t); }
    void SetLastText(const std::string& t) override { LastText = t; }
    void SetDeadline(float t) override { Deadline = t; }
    float GetDeadline() const override { return Deadline; }
    void SetCallbacks(std::function<void()> a, std::function<void()> b) override
    {
        First = std::move(a);
        Second = std::move(b);
    }
    void SetOpenDialog(TForm* d) override { OpenDialog = d; }
    bool Process(float t) override
    {
        if (Deadline < 0 || t < Deadline) return true;
        Deadline = -1;
        KeyState = 0;
        return false;
    }
    std::function<void()> Callback(int slot) const override { return slot == 1 ? First : Second; }
    void SetDown(bool v) override { Down = v; }
    void DeActivate() override
    {
        KeyState = 0;
        LastText.clear();
        ++DeActivations;
    }
    bool Down = false;
    int DeActivations = 0;
    std::string KeyCaption;
    int KeyState = 0;
    std::vector<std::string> Memory;
    std::string LastText;
    float Deadline = -1;
    std::function<void()> First, Second;
    TForm* OpenDialog = nullptr;
};

class TTestConnection : public TComponent, public IPartnerTable {
    VELO_TEST_ELEMENT(TTestConnection, "TConnection", TComponent)
public:
    using TComponent::TComponent;
    void Check() override { ++Checks; }
    int ShowMessage(const std::string& name, const std::string& text) override
    {
        Shown.push_back(name + "|" + text);
        return name == "МЛ1" ? 1 : 0;
    }
    int Checks = 0;
    std::vector<std::string> Shown;
};

class TTestSpeaker : public TComponent, public ISpeaker {
    VELO_TEST_ELEMENT(TTestSpeaker, "TEC_Speaker", TComponent)
public:
    using TComponent::TComponent;
    bool Speak(const std::string& p) override
    {
        Phrases.push_back(p);
        return true;
    }
    std::vector<std::string> Phrases;
};

// Creates a stand-in owned by owner, named and placed on the form.
template <class T, class... A>
T* AddElement(TComponent* owner, const std::string& name, A&&... args)
{
    T* e = new T(owner, std::forward<A>(args)...);
    e->SetName(name);
    return e;
}
