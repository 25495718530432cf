// The links between the panel library's element classes and the main window's interfaces.
// Each link is a small component owned by its element (made on the first request).
#include "app/PanelAdapters.h"

#include "app/PanelLinks.h"
#include "panel/EC_Ampermeter.h"
#include "panel/EC_Button.h"
#include "panel/EC_Lamp.h"
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
};

class TButtonLampLink : public TLink<TEC_ButtonLamp, IPanelButtonLamp> {
    VELO_CLASS(TButtonLampLink, TComponent)
public:
    using TLink::TLink;
    int GetId() const override { return e->Id; }
    void SetLampColor(int c) override { e->SetLampColor(static_cast<TButtonColor>(c)); }
    void SetState(int s) override { e->SetState(static_cast<TLampState>(s)); }
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
}
