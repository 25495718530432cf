// The duty officer's switchboard: the intercom keys that ring on a call and open the phrase menu
// of their partner, and the channel buttons that open a channel's phrase menu.
//
// The main window drives a key:
//   ring it          key->Deadline = time + 90; if (key->ActivateRed()) key->SetMessage(text);
//   the deadline     each tick: if (!key->Process(time)) report the missed call;
//   take a call      in OnMouseUp, State() == 3: key->Deadline = -1; key->NoteMessage();
//                    speak key->LastText or show GetMessageA();
//   the repeat       key->DeActivate(); key->MemMessage(); key->ActivateRed(); ...
// A key never calls its two callback slots itself; the main window and the switchboard message
// window do.
#pragma once
#include <functional>
#include <string>

#include "platform/core/Strings.h"
#include "platform/qt/Controls.h"

class TForm;

// The ring of a key: played to its end before the call returns.
constexpr const char* kKeyRingSound = "sound\\td.wav";

class TEC_ComutatorButton : public TSpeedButton {
    VELO_CLASS(TEC_ComutatorButton, TSpeedButton)
public:
    // 0 idle, 1 ringing, 2 pressed, 3 pressed while ringing.
    enum { ksIdle = 0, ksRinging = 1, ksPressed = 2, ksPressedRinging = 3 };

    explicit TEC_ComutatorButton(TComponent* owner);

    // Passed on by the dialogues opened from the key when they look up its object.
    int Podhod = 0;
    // The technology executor asked about before a dialogue opens (0: none).
    int Executor = 0;
    // The model time by which a call must be answered; -1: no call waits.
    float Deadline = -1;
    // What the partner says when the call is taken (emptied by DeActivate).
    std::string LastText;
    // The dialogue window opened from this key, closed when the key is raised or another key of
    // the panel is pressed. Windows live for the whole run, so it never dangles.
    TForm* Dialog = nullptr;
    // Filled and run by the main window and the switchboard message window.
    std::function<void()> FirstCallback;
    std::function<void()> SecondCallback;

    int State() const { return fState; }

    // Rings an idle key: red bold caption, then the ring sound (or a 700 Hz beep when the sound
    // file is missing), played to its end. False, with nothing changed, when the key is not idle.
    bool ActivateRed();
    // Black plain caption, idle, last text emptied. Deadline, dialogue and Down stay as they are.
    void DeActivate();
    // The answer deadline check at model time t: false when the call was just missed (the key is
    // then idle and the deadline cleared), true otherwise.
    bool Process(float t);

    // The partner's lines.
    void AddMessage(const std::string& s) { fMessages.Add(s); }
    void SetMessage(const std::string& s);
    TStringList* GetMessageA() { return &fMessages; }
    TStringList* GetMessage() { return &fMessages; }
    const std::string& CurrentMessage() const { return fMessage; }
    const std::string& KeptText() const { return fKeptText; }
    // Before a call is taken: keeps the last text for a repeat and sums the memory up as its first
    // line ("..." after it when there are more).
    void NoteMessage();
    // For a repeat: the memory becomes that summary and the last text comes back.
    void MemMessage();

    // A left release raises a pressed key (closing its dialogue) or presses it (raising and
    // deactivating the other pressed keys of the panel and opening the phrase menu when no call
    // rings). A key that is down but ringing (left down, then rung) is pressed: it takes the call.
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void SetCaptionFont(TColor color, bool bold);
    void PopupMenuAt(int x);

    int fState = ksIdle;
    std::string fMessage;
    TStringList fMessages;
    std::string fKeptText;
};

// A channel button: any release opens its phrase menu below the pointer.
class TEC_ConnectButton : public TBitBtn {
    VELO_CLASS(TEC_ConnectButton, TBitBtn)
public:
    explicit TEC_ConnectButton(TComponent* owner);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
};

// Where a key or channel button opens its phrase menu, in screen coordinates: at the pointer's
// x + 2 and 40 below the top of the control's parent (below the row of keys).
TPoint SwitchboardMenuPoint(const TControl* c, int x);
