// The panel's round indicator lamps (interlocking state lamps, switch position lamps, the
// fencing lamp), switched and blinked by the main window.
#pragma once

#include "panel/EC_Button.h"
#include "platform/qt/Controls.h"

// The lamp's colour when lit is the control's Color (yellow unless the form or a command sets
// another); unlit it is silver.
class TEC_Lamp : public TGraphicControl {
    VELO_CLASS(TEC_Lamp, TGraphicControl)
public:
    explicit TEC_Lamp(TComponent* owner);

    int Id = 0;
    // Repaints only when the state changes.
    void SetState(TCLampState s);
    TCLampState GetState() const { return fState; }
    void On();
    void Off();
    void Blip();
    bool LitPhase() const { return fLit; }
    // Whether the lamp shows its colour now.
    bool ShowsLit() const { return fState == 1 || (fState == 2 && fLit); }
    // One blink step of a blinking lamp: phase 2 flips the lit phase; 0 and 1 set it dark or lit
    // (1 holds every blinking lamp lit). Returns 1 when the lamp blinks, else 0.
    int BlipLamp(int phase);

protected:
    void Paint() override;

private:
    TCLampState fState = 0;
    bool fLit = false;
};
