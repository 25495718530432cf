// The links between the panel library's element classes and the main window's interfaces.
// Each link is a small component owned by its element (made on the first request).
#include "app/PanelAdapters.h"

#include "app/PanelLinks.h"
#include "panel/Connection.h"
#include "panel/EC_Ampermeter.h"
#include "panel/EC_Button.h"
#include "panel/EC_Cell.h"
#include "panel/EC_ComutatorButton.h"
#include "panel/EC_Lamp.h"
#include "panel/EC_Section.h"
#include "panel/EC_Signal.h"
#include "panel/EC_Speaker.h"
#include "panel/EC_Switch.h"
#include "panel/TrenagerStatusBar.h"

namespace {

// A link of interface I onto element class E, owned by the element.
template <class E, class I>
class TLink : public TComponent, public I {
public:
    explicit TLink(TComponent* element) : TComponent(element), e(static_cast<E*>(element)) {}

protected:
    E* e;
};

class TLampLink : public TLink<TEC_Lamp, IPanelLamp> {
    VELO_CLASS(TLampLink, TComponent)
public:
    using TLink::TLink;
    int GetId() const override { return e->Id; }
    int GetState() const override { return e->GetState(); }
    void SetState(int s) override { e->SetState(static_cast<TCLampState>(s)); }
    int GetColor() const override { return e->Color(); }
    void SetColor(int c) override { e->SetColor(c); }
    void Repaint() override { e->Repaint(); }
    int BlipLamp(int phase) override { return e->BlipLamp(phase); }
};

class TButtonLampLink : public TLink<TEC_ButtonLamp, IPanelButtonLamp> {
    VELO_CLASS(TButtonLampLink, TComponent)
public:
    using TLink::TLink;
    int GetId() const override { return e->Id; }
    void SetLampColor(int c) override { e->SetLampColor(static_cast<TButtonColor>(c)); }
    void SetState(int s) override { e->SetState(static_cast<TLampState>(s)); }
    int BlipLamp(int phase) override { return e->BlipLamp(phase); }
};

class TSealedButtonLink : public TLink<TEC_PlButton, IPanelSealedButton> {
    VELO_CLASS(TSealedButtonLink, TComponent)
public:
    using TLink::TLink;
    std::string GetButtonName() const override { return e->ButtonName; }
    void SetPlombed(bool on) override { e->SetPlombed(on); }
    void Repaint() override { e->Repaint(); }
};

class TAmmeterLink : public TLink<TEC_Amper, IPanelAmmeter> {
    VELO_CLASS(TAmmeterLink, TComponent)
public:
    using TLink::TLink;
    void ON() override { e->ON(); }
    void OFF() override { e->OFF(); }
    void Execute() override { e->Execute(); }
};

class TStatusBarLink : public TLink<TTrenagerStatusBar, IStatusBar> {
    VELO_CLASS(TStatusBarLink, TComponent)
public:
    using TLink::TLink;
    unsigned Temp() const override { return e->Temp(); }
    void SetTemp(unsigned t) override { e->SetTemp(t); }
    void FixError(const std::string& text, unsigned weight) override { e->FixError(text, weight); }
    void Process(unsigned dt) override { e->Process(dt); }
};

class TCellLink : public TLink<TEC_Cell, IPanelCell> {
    VELO_CLASS(TCellLink, TComponent)
public:
    using TLink::TLink;
    int GetId() const override { return e->Id; }
    void SetState(int s) override { e->SetState(static_cast<TCellState>(s)); }
    int BlipCell(int phase) override { return e->BlipCell(phase); }
};

class TSectionLink : public TLink<TEC_Section, IPanelSection> {
    VELO_CLASS(TSectionLink, TComponent)
public:
    using TLink::TLink;
    int GetID() const override { return e->ID; }
    int Check() override { return e->Check(); }
    void SetState(int s, int v) override { e->SetState(static_cast<TCellState>(s), v); }
};

class TSignalLink : public TLink<TEC_Signal, IPanelSignal> {
    VELO_CLASS(TSignalLink, TComponent)
public:
    using TLink::TLink;
    int GetId() const override { return e->Id; }
    void SetState(int aspect) override { e->SetState(static_cast<TSignalState>(aspect)); }
    void StartRoute(bool on) override { e->StartRoute(on); }
    bool HasSigLabel() const override { return e->SigLabel != nullptr; }
    std::string SigName() const override { return e->SigName(); }
    int BlipSignal() override { return e->BlipSignal(); }
};

class TSwitchLink : public TLink<TEC_Switch, IPanelSwitch> {
    VELO_CLASS(TSwitchLink, TComponent)
public:
    using TLink::TLink;
    int GetId() const override { return e->Id; }
};

class TRoutePointerLink : public TLink<TMRC_RoutePointer, IPanelRoutePointer> {
    VELO_CLASS(TRoutePointerLink, TComponent)
public:
    using TLink::TLink;
    int GetId() const override { return e->Id; }
    void SetState(int s) override { e->SetState(static_cast<TRPState>(s)); }
    int BlipPointer() override { return e->BlipPointer(); }
};

template <class E>
class TIndicatorLink : public TLink<E, IPanelIndicator> {
    VELO_CLASS(TIndicatorLink, TComponent)
public:
    using TLink<E, IPanelIndicator>::TLink;
    void SetState(bool on) override { this->e->SetState(on); }
};

class TKeyLink : public TLink<TEC_ComutatorButton, ISwitchboardKey> {
    VELO_CLASS(TKeyLink, TComponent)
public:
    using TLink::TLink;
    std::string GetCaption() const override { return e->Caption(); }
    int GetPodhod() const override { return e->Podhod; }
    int State() const override { return e->State(); }
    bool ActivateRed() override { return e->ActivateRed(); }
    void SetMessage(const std::string& t) override { e->SetMessage(t); }
    void AddMessage(const std::string& t) override { e->AddMessage(t); }
    void SetLastText(const std::string& t) override { e->LastText = t; }
    void SetDeadline(float t) override { e->Deadline = t; }
    float GetDeadline() const override { return e->Deadline; }
    void SetCallbacks(std::function<void()> first, std::function<void()> second) override
    {
        e->FirstCallback = std::move(first);
        e->SecondCallback = std::move(second);
    }
    void SetOpenDialog(TForm* dialog) override { e->Dialog = dialog; }
    bool Process(float t) override { return e->Process(t); }
    std::function<void()> Callback(int slot) const override { return slot == 1 ? e->FirstCallback : e->SecondCallback; }
    void SetDown(bool v) override { e->SetDown(v); }
    void DeActivate() override { e->DeActivate(); }
};

class TConnectionLink : public TLink<TConnection, IPartnerTable> {
    VELO_CLASS(TConnectionLink, TComponent)
public:
    using TLink::TLink;
    void Check() override { e->Check(); }
    int ShowMessage(const std::string& name, const std::string& text) override { return e->ShowMessage(name, text); }
};

class TSpeakerLink : public TLink<TEC_Speaker, ISpeaker> {
    VELO_CLASS(TSpeakerLink, TComponent)
public:
    using TLink::TLink;
    bool Speak(const std::string& phrase) override { return e->Speak(phrase); }
};

template <class I, class L>
void Link(const char* className)
{
    SetPanelLink<I>(className, [](TComponent* c) -> I* { return OwnedLink<L>(c); });
}

} // namespace

void RegisterPanelLinks()
{
    static bool done = false;
    if (done) return;
    done = true;
    Link<IPanelLamp, TLampLink>("TEC_Lamp");
    Link<IPanelButtonLamp, TButtonLampLink>("TEC_ButtonLamp");
    Link<IPanelSealedButton, TSealedButtonLink>("TEC_PlButton");
    Link<IPanelAmmeter, TAmmeterLink>("TEC_Amper");
    Link<IStatusBar, TStatusBarLink>("TTrenagerStatusBar");
    Link<IPanelCell, TCellLink>("TEC_Cell");
    Link<IPanelSection, TSectionLink>("TEC_Section");
    Link<IPanelSignal, TSignalLink>("TEC_Signal");
    Link<IPanelSwitch, TSwitchLink>("TEC_Switch");
    Link<IPanelRoutePointer, TRoutePointerLink>("TMRC_RoutePointer");
    Link<IPanelIndicator, TIndicatorLink<TEC_Peregon>>("TEC_Peregon");
    Link<IPanelIndicator, TIndicatorLink<TEC_Block>>("TEC_Block");
    Link<ISwitchboardKey, TKeyLink>("TEC_ComutatorButton");
    Link<IPartnerTable, TConnectionLink>("TConnection");
    Link<ISpeaker, TSpeakerLink>("TEC_Speaker");
}
