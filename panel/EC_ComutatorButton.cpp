// The switchboard keys and channel buttons.
#include "panel/EC_ComutatorButton.h"

#include "panel/KeyClasses.h"
#include "platform/core/Paths.h"
#include "platform/media/sound/SoundOutput.h"
#include "platform/qt/Forms.h"
#include "platform/qt/Properties.h"

TPoint SwitchboardMenuPoint(const TControl* c, int x)
{
    // The menu opens under the row of keys whatever row was clicked: the height is taken from
    // the top of the panel that carries the keys, not from the key.
    const TControl* band = c->Parent() ? static_cast<const TControl*>(c->Parent()) : c;
    return {c->ClientToScreen({x + 2, 0}).X, band->ClientToScreen({0, 40}).Y};
}

// ---- TEC_ComutatorButton ----

TEC_ComutatorButton::TEC_ComutatorButton(TComponent* owner) : TSpeedButton(owner)
{
    SetBounds(0, 0, 45, 20);
    AllowAllUp = true;
}

void TEC_ComutatorButton::SetCaptionFont(TColor color, bool bold)
{
    TFont f = Font();
    f.Color = color;
    f.Style = bold ? (f.Style | fsBold) : (f.Style & ~static_cast<TFontStyles>(fsBold));
    SetFont(f);
}

bool TEC_ComutatorButton::ActivateRed()
{
    if (fState != ksIdle) return false;
    fState = ksRinging;
    SetCaptionFont(clRed, true);
    Repaint();
    // The ring holds everything until it has sounded: it blocks without running the event loop,
    // so no timer tick re-enters the models that rang the key.
    if (!FileExists(kKeyRingSound) || !PlaySoundSync(kKeyRingSound)) Beep(700, 500);
    return true;
}

void TEC_ComutatorButton::DeActivate()
{
    SetCaptionFont(clBlack, false);
    fState = ksIdle;
    Repaint();
    LastText.clear();
}

bool TEC_ComutatorButton::Process(float t)
{
    if (Deadline >= 0 && Deadline <= t) {
        Deadline = -1;
        DeActivate();
        return false;
    }
    return true;
}

void TEC_ComutatorButton::SetMessage(const std::string& s)
{
    fMessages.Clear();
    fMessages.Add(s);
}

void TEC_ComutatorButton::NoteMessage()
{
    fMessage.clear();
    fKeptText = LastText;
    if (fMessages.Count() > 0) fMessage = fMessages[0];
    if (fMessages.Count() > 1) fMessage += "...";
}

void TEC_ComutatorButton::MemMessage()
{
    fMessages.Clear();
    fMessages.Add(fMessage);
    LastText = fKeptText;
}

void TEC_ComutatorButton::MouseUp(TMouseButton button, TShiftState shift, int x, int /*y*/)
{
    if (button != mbLeft) return;
    bool raising = Down();
    if (raising && fState == ksRinging) {
        // Left down by an earlier press and rung since: the first click takes the call, it does
        // not only raise the key and let the call run out.
        SetDown(false);
        raising = false;
    }
    if (raising) {
        SetCaptionFont(clBlack, false);
        fState = ksIdle;
        if (Dialog) Dialog->Close();
    } else {
        fState += 2;
        SetCaptionFont(clRed, true);
        if (TComponent* owner = Owner()) {
            for (int i = 0; i < owner->ComponentCount(); ++i) {
                TComponent* c = owner->Components(i);
                if (c == this || c->ClassName() != "TEC_ComutatorButton") continue;
                auto* key = static_cast<TEC_ComutatorButton*>(c);
                if (key->Parent() != Parent() || !key->Down()) continue;
                // Raised as well, so that its next click presses it (and takes a call it gets).
                key->SetDown(false);
                key->DeActivate();
                if (key->Dialog) key->Dialog->Close();
            }
        }
        if (PopupMenu() && fState == ksPressed) {
            PopupMenu()->PopupComponent = this;
            TPoint p = SwitchboardMenuPoint(this, x);
            PopupMenu()->Popup(p.X, p.Y);
        }
    }
    // The release always counts as inside the key, so it toggles Down and clicks.
    TSpeedButton::MouseUp(mbLeft, shift, 1, 1);
    // Closing the dialogue raises the key through the dialogue's own close handling, after which
    // the toggle above would push it down again although this release raised it.
    if (raising && Down()) SetDown(false);
}

// ---- TEC_ConnectButton ----

TEC_ConnectButton::TEC_ConnectButton(TComponent* owner) : TBitBtn(owner)
{
    SetBounds(0, 0, 49, 41);
    SetCaption("");
}

void TEC_ConnectButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TBitBtn::MouseUp(button, shift, x, y);
    if (PopupMenu()) {
        TPoint p = SwitchboardMenuPoint(this, x);
        PopupMenu()->Popup(p.X, p.Y);
    }
}

void RegisterComutatorClasses()
{
    RegisterComponentClass("TEC_ComutatorButton", [](TComponent* owner) { return new TEC_ComutatorButton(owner); });
    RegisterComponentClass("TEC_ConnectButton", [](TComponent* owner) { return new TEC_ConnectButton(owner); });
    RegisterIntProperty<TEC_ComutatorButton>("Podhod", [](TEC_ComutatorButton& k, int v) { k.Podhod = v; });
    RegisterIntProperty<TEC_ComutatorButton>("Executor", [](TEC_ComutatorButton& k, int v) { k.Executor = v; });
}
