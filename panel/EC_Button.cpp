// The panel's push buttons, sealed buttons and lamp buttons, and the registration of this unit's
// element classes with the form loader.
#include "panel/EC_Button.h"

#include "panel/EC_Ampermeter.h"
#include "panel/EC_Lamp.h"
#include "panel/PanelBitmaps.h"
#include "panel/TrenagerStatusBar.h"
#include "platform/qt/Properties.h"

// ---- TEC_Button ----

TEC_Button::TEC_Button(TComponent* owner) : TGraphicControl(owner)
{
    // OnClick is the press, not the framework's press-and-release.
    fClickOnRelease = false;
    SetBounds(0, 0, 12, 13);
}

void TEC_Button::SetDown(bool v)
{
    fDown = v;
    Invalidate();
    if (!v && LeftHandUp) LeftHandUp(this);
}

void TEC_Button::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        fDown = true;
        Invalidate();
        if (OnClick) OnClick(this);
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TEC_Button::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (shift.Contains(ssShift) && LeftHand) {
        LeftHand(this);
    } else {
        fDown = false;
        if (LeftHandUp) LeftHandUp(this);
    }
    Invalidate();
    if (button == mbLeft && OnButtonUp) OnButtonUp(this);
    TGraphicControl::MouseUp(button, shift, x, y);
}

std::string TEC_Button::BitmapName() const
{
    return ButtonBitmapName(Kind(), fDown);
}

void TEC_Button::Paint()
{
    const std::string name = BitmapName();
    if (!name.empty()) Canvas().DrawBitmap(0, 0, name);
}

// ---- TEC_PlButton ----

TEC_PlButton::TEC_PlButton(TComponent* owner) : TEC_Button(owner)
{
    SetBounds(0, 0, 20, 19);
}

void TEC_PlButton::SetPlombed(bool v)
{
    fPlombed = v;
    Invalidate();
}

void TEC_PlButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!fPlombed) TEC_Button::MouseDown(button, shift, x, y);
}

void TEC_PlButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!fPlombed) TEC_Button::MouseUp(button, shift, x, y);
}

std::string TEC_PlButton::BitmapName() const
{
    return PlButtonBitmapName(fPlombed, fDown);
}

// ---- TEC_ButtonLamp ----

void TEC_ButtonLamp::SetLampColor(TButtonColor c)
{
    LampColor = c;
    Invalidate();
}

void TEC_ButtonLamp::SetState(TLampState s)
{
    fState = s;
    Invalidate();
}

int TEC_ButtonLamp::BlipLamp(int)
{
    if (fState != 2) return 0;
    fLit = !fLit;
    Invalidate();
    return 1;
}

void TEC_ButtonLamp::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && !fDown) {
        fDown = true;
        Invalidate();
        if (OnClick) OnClick(this);
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TEC_ButtonLamp::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        fDown = false;
        Invalidate();
        if (OnButtonUp) OnButtonUp(this);
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

std::string TEC_ButtonLamp::BitmapName() const
{
    return ButtonLampBitmapName(fDown, fState, fLit, LampColor);
}

// ---- registration ----

namespace {

template <class T>
void Class()
{
    RegisterComponentClass(T::StaticClassType()->Name, [](TComponent* owner) { return new T(owner); });
}

} // namespace

void RegisterButtonLampClasses()
{
    Class<TEC_Button>();
    Class<TEC_ButtonGreen>();
    Class<TEC_ButtonRed>();
    Class<TEC_ButtonGor>();
    Class<TEC_PlButton>();
    Class<TEC_ButtonLamp>();
    Class<TEC_Lamp>();
    Class<TEC_Amper>();
    Class<TTrenagerStatusBar>();

    RegisterBoolProperty<TEC_Button>("Down", [](TEC_Button& b, bool v) { b.SetDown(v); });
    RegisterIntProperty<TEC_Button>("Id", [](TEC_Button& b, int v) { b.Id = v; });
    RegisterEventProperty<TEC_Button, TNotifyEvent>("OnButtonUp", [](TEC_Button& b, TNotifyEvent e) { b.OnButtonUp = e; });
    RegisterEventProperty<TEC_Button, TNotifyEvent>("LeftHand", [](TEC_Button& b, TNotifyEvent e) { b.LeftHand = e; });
    RegisterEventProperty<TEC_Button, TNotifyEvent>("LeftHandUp", [](TEC_Button& b, TNotifyEvent e) { b.LeftHandUp = e; });
    RegisterStringProperty<TEC_PlButton>("ButtonName", [](TEC_PlButton& b, const std::string& v) { b.ButtonName = v; });
    RegisterBoolProperty<TEC_PlButton>("Plombed", [](TEC_PlButton& b, bool v) { b.SetPlombed(v); });
    RegisterEnumProperty<TEC_ButtonLamp>("LampColor", {{"clbRed", clbRed}, {"clbGreen", clbGreen}, {"clbWhite", clbWhite}},
                                         [](TEC_ButtonLamp& b, int v) { b.SetLampColor(TButtonColor(v)); });

    // The lamp's colour is the control's Color.
    RegisterIntProperty<TEC_Lamp>("Id", [](TEC_Lamp& l, int v) { l.Id = v; });

    RegisterIntProperty<TEC_Amper>("Interval", [](TEC_Amper& a, int v) { a.Interval = v; });

    RegisterIntProperty<TTrenagerStatusBar>("Delay", [](TTrenagerStatusBar& b, int v) { b.Delay = v; });
    RegisterIntProperty<TTrenagerStatusBar>("MaxTemp", [](TTrenagerStatusBar& b, int v) { b.MaxTemp = v; });
    RegisterEventProperty<TTrenagerStatusBar, TNotifyEvent>("OnChangeTemp",
                                                            [](TTrenagerStatusBar& b, TNotifyEvent e) { b.OnChangeTemp = e; });
}
