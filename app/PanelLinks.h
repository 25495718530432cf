// What the main window needs of the panel elements, the status bar, the switchboard keys, the
// partner table and the speech player: one small interface per kind.
//
// The main window collects its components by run-time class name ("TEC_Signal", "TEC_Lamp", ...)
// and reaches each one through the interface of its kind, so its bus commands can be driven and
// checked with stand-in elements, without painting anything. An element class provides its
// interface either by deriving from it or through a link registered with SetPanelLink (an
// adapter owned by the element).
#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/Component.h"

class TForm;

// A track cell (the TEC_Cell and TMRC_Cell families).
class IPanelCell {
public:
    virtual ~IPanelCell() = default;
    virtual int GetId() const = 0;
    // TCellState: 0 free, 1 white, 2 red, 3 green, 4 red-white, 5 white blinking, 6 red-white blinking.
    virtual void SetState(int state) = 0;
    // One blink step with the blink timer's phase: 1 when the cell blinks, else 0.
    virtual int BlipCell(int) { return 0; }
};

// A track section: the cells that light together, one list per route variant.
class IPanelSection {
public:
    virtual ~IPanelSection() = default;
    virtual int GetID() const = 0;
    // Resolves the cell names of every list; the number of lists.
    virtual int Check() = 0;
    virtual void SetState(int state, int variant) = 0;
};

class IPanelSignal {
public:
    virtual ~IPanelSignal() = default;
    virtual int GetId() const = 0;
    // TSignalState: 0 dark ... 10 yellow.
    virtual void SetState(int aspect) = 0;
    // Lights (true) or restores (false) the cell in front of the signal.
    virtual void StartRoute(bool on) = 0;
    // Whether a name label is set, and its text.
    virtual bool HasSigLabel() const = 0;
    virtual std::string SigName() const = 0;
    // One blink step: 1 when the aspect blinks, else 0.
    virtual int BlipSignal() { return 0; }
};

// A switch; the main window only collects them here.
class IPanelSwitch {
public:
    virtual ~IPanelSwitch() = default;
    virtual int GetId() const = 0;
};

class IPanelRoutePointer {
public:
    virtual ~IPanelRoutePointer() = default;
    virtual int GetId() const = 0;
    // TRPState 0 to 4.
    virtual void SetState(int state) = 0;
    // One blink step: 1 when the pointer blinks, else 0.
    virtual int BlipPointer() { return 0; }
};

// A stretch (TEC_Peregon) or block (TEC_Block) indicator.
class IPanelIndicator {
public:
    virtual ~IPanelIndicator() = default;
    virtual void SetState(bool on) = 0;
};

class IPanelAmmeter {
public:
    virtual ~IPanelAmmeter() = default;
    virtual void ON() = 0;
    virtual void OFF() = 0;
    virtual void Execute() = 0;
};

// A sealed button (TEC_PlButton).
class IPanelSealedButton {
public:
    virtual ~IPanelSealedButton() = default;
    virtual std::string GetButtonName() const = 0;
    virtual void SetPlombed(bool on) = 0;
    virtual void Repaint() = 0;
};

// A panel lamp (TEC_Lamp).
class IPanelLamp {
public:
    virtual ~IPanelLamp() = default;
    virtual int GetId() const = 0;
    // TCLampState: 0 off, 1 on, 2 blinking.
    virtual int GetState() const = 0;
    virtual void SetState(int state) = 0;
    virtual int GetColor() const = 0;
    virtual void SetColor(int color) = 0;
    virtual void Repaint() = 0;
    // One blink step: phase 0 or 1 shows the lamp dark or lit, 2 flips it; 1 when it blinks.
    virtual int BlipLamp(int) { return 0; }
};

// A button with a lamp (TEC_ButtonLamp).
class IPanelButtonLamp {
public:
    virtual ~IPanelButtonLamp() = default;
    virtual int GetId() const = 0;
    // TButtonColor: 0 red, 1 green, 2 white.
    virtual void SetLampColor(int color) = 0;
    // TLampState: 0 off, 1 on, 2 blinking.
    virtual void SetState(int state) = 0;
    // One blink step: in state 2 the lamp flips; 1 when it blinks, else 0.
    virtual int BlipLamp(int) { return 0; }
};

// The trainer's status bar (speed, clock, error count).
class IStatusBar {
public:
    virtual ~IStatusBar() = default;
    virtual unsigned Temp() const = 0;
    // Sets the speed (at most MaxTemp) and fires OnChangeTemp.
    virtual void SetTemp(unsigned temp) = 0;
    virtual void FixError(const std::string& text, unsigned weight) = 0;
    // Advances the shown clock and the error texts by dt model seconds.
    virtual void Process(unsigned) {}
};

// A switchboard key (TEC_ComutatorButton).
class ISwitchboardKey {
public:
    virtual ~ISwitchboardKey() = default;
    virtual std::string GetCaption() const = 0;
    // The approach (technology parameter 1011) of the neighbour the key calls; 0 for the others.
    virtual int GetPodhod() const { return 0; }
    // 0 idle, 1 ringing, 2 pressed, 3 ringing and pressed.
    virtual int State() const = 0;
    // Rings an idle key (with its sound); false, changing nothing, when the key is not idle.
    virtual bool ActivateRed() = 0;
    virtual void SetMessage(const std::string& text) = 0;
    virtual void AddMessage(const std::string& text) = 0;
    virtual void SetLastText(const std::string& text) = 0;
    // Model seconds; -1 none.
    virtual void SetDeadline(float t) = 0;
    virtual float GetDeadline() const = 0;
    // The two callback slots the main window fills when it rings the key; the key never calls
    // them itself. An empty function clears a slot.
    virtual void SetCallbacks(std::function<void()> first, std::function<void()> second) = 0;
    // The dialogue window opened for this key, or null.
    virtual void SetOpenDialog(TForm* dialog) = 0;
    // The answer deadline check at model time t: false when the call was just missed (the key
    // is then idle and its deadline cleared).
    virtual bool Process(float) { return true; }
    // What the switchboard message window needs: a callback slot (1 or 2; empty when not set),
    // raising the key, and its deactivation (idle, plain caption, last text emptied).
    virtual std::function<void()> Callback(int) const { return {}; }
    virtual void SetDown(bool) {}
    virtual void DeActivate() {}
};

// The table of dialogue partners (TConnection).
class IPartnerTable {
public:
    virtual ~IPartnerTable() = default;
    virtual void Check() = 0;
    virtual int ShowMessage(const std::string& name, const std::string& text) = 0;
};

// The speech player (TEC_Speaker).
class ISpeaker {
public:
    virtual ~ISpeaker() = default;
    virtual bool Speak(const std::string& phrase) = 0;
};

// ---- links ----

// Makes the interface I of a component whose class does not derive from it; null when the
// component cannot provide it. Registered per run-time class name; the link object must live
// as long as the component (own it by the component, e.g. as an owned TComponent).
template <class I>
using TPanelLink = std::function<I*(TComponent*)>;

template <class I>
std::vector<std::pair<std::string, TPanelLink<I>>>& PanelLinks()
{
    static std::vector<std::pair<std::string, TPanelLink<I>>> links;
    return links;
}

template <class I>
void SetPanelLink(const std::string& className, TPanelLink<I> link)
{
    PanelLinks<I>().emplace_back(className, std::move(link));
}

// A link object of class L (a TComponent that implements the interface and is constructed from
// its element) owned by the element: made on the first request and found again afterwards, so
// it lives exactly as long as the element.
template <class L>
L* OwnedLink(TComponent* element)
{
    for (int i = 0; i < element->ComponentCount(); ++i)
        if (auto* l = dynamic_cast<L*>(element->Components(i))) return l;
    return new L(element);
}

// The interface I of a component: the component itself when its class derives from I, else
// the first link registered for its class or an ancestor; null when none.
template <class I>
I* PanelLink(TComponent* c)
{
    if (!c) return nullptr;
    if (I* i = dynamic_cast<I*>(c)) return i;
    for (auto& [name, link] : PanelLinks<I>())
        if (c->InheritsFromClassName(name))
            if (I* i = link(c)) return i;
    return nullptr;
}
