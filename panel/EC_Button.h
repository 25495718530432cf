// The panel's push buttons: route start and end buttons, the sealed emergency buttons and the
// buttons with a lamp in them.
//
// Buttons report what the mouse does through events; the main window turns them into bus
// messages. A release with Shift held keeps a button in when it has a LeftHand handler: that is
// how the left hand holds a sealed button while the right one clicks elsewhere; SetDown(false)
// lets it out again and fires LeftHandUp.
#pragma once
#include <string>

#include "platform/qt/Controls.h"

// Lamp states of a button lamp and of a round lamp: 0 off, 1 on, 2 blinking.
using TLampState = unsigned char;
using TCLampState = unsigned char;

enum TButtonColor { clbRed = 0, clbGreen = 1, clbWhite = 2 };

class TEC_Button : public TGraphicControl {
    VELO_CLASS(TEC_Button, TGraphicControl)
public:
    explicit TEC_Button(TComponent* owner);

    bool Down() const { return fDown; }
    // Stores, repaints, and fires LeftHandUp when the button comes out.
    void SetDown(bool v);
    int Id = 0;

    // OnClick (inherited) fires on a left press.
    TNotifyEvent OnButtonUp;  // left release
    TNotifyEvent LeftHand;    // release with Shift held: the button stays in
    TNotifyEvent LeftHandUp;  // the button has come out

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    // The picture the button shows now (empty: it draws nothing).
    virtual std::string BitmapName() const;

protected:
    void Paint() override;
    // The picture family of the push buttons (see ButtonBitmapName).
    virtual int Kind() const { return 0; }
    bool fDown = false;
};

class TEC_ButtonGreen : public TEC_Button {
    VELO_CLASS(TEC_ButtonGreen, TEC_Button)
public:
    explicit TEC_ButtonGreen(TComponent* owner) : TEC_Button(owner) {}

protected:
    int Kind() const override { return 1; }
};

class TEC_ButtonRed : public TEC_Button {
    VELO_CLASS(TEC_ButtonRed, TEC_Button)
public:
    explicit TEC_ButtonRed(TComponent* owner) : TEC_Button(owner) {}

protected:
    int Kind() const override { return 2; }
};

class TEC_ButtonGor : public TEC_Button {
    VELO_CLASS(TEC_ButtonGor, TEC_Button)
public:
    explicit TEC_ButtonGor(TComponent* owner) : TEC_Button(owner) {}

protected:
    int Kind() const override { return 3; }
};

// A button under a seal: deaf to the mouse until the seal is taken off.
class TEC_PlButton : public TEC_Button {
    VELO_CLASS(TEC_PlButton, TEC_Button)
public:
    explicit TEC_PlButton(TComponent* owner);

    std::string ButtonName;  // the name the interface command finds the button by
    bool Plombed() const { return fPlombed; }
    void SetPlombed(bool v);

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    std::string BitmapName() const override;

private:
    bool fPlombed = true;
};

// A button with a lamp: pressed it stays in until released (no left-hand holding); the lamp is
// off, lit or blinking in LampColor.
class TEC_ButtonLamp : public TEC_Button {
    VELO_CLASS(TEC_ButtonLamp, TEC_Button)
public:
    explicit TEC_ButtonLamp(TComponent* owner) : TEC_Button(owner) {}

    TButtonColor LampColor = clbRed;
    void SetLampColor(TButtonColor c);
    TLampState State() const { return fState; }
    void SetState(TLampState s);
    bool LitPhase() const { return fLit; }
    // One blink step: 1 when the lamp blinks (its phase flipped), else 0. The argument is unused.
    int BlipLamp(int phase);

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    std::string BitmapName() const override;

private:
    TLampState fState = 0;
    bool fLit = false;
};

// Registers the button, lamp, ammeter and status bar classes and their published properties.
void RegisterButtonLampClasses();
