// The status bar at the foot of the trainer's main window: the speed of the simulation (model
// seconds per real second, 0 = stopped) with its "<" and ">" clicks, the model clock with a
// blinking colon, the trainee's error count with the weight sum, and the error texts shown one
// after another, each for Delay model seconds, with the bar in fuchsia until all were shown.
#pragma once
#include <deque>
#include <string>

#include "platform/qt/Controls.h"

class TTrenagerStatusBar : public TStatusBar {
    VELO_CLASS(TTrenagerStatusBar, TStatusBar)
public:
    explicit TTrenagerStatusBar(TComponent* owner);

    // Model seconds each queued error text stays shown.
    long Delay = 20000;
    // The upper bound of the tempo.
    int MaxTemp = 20;
    // Fired by every SetTemp.
    TNotifyEvent OnChangeTemp;

    unsigned Temp() const { return fTemp; }
    bool IsStoped() const { return fTemp == 0; }
    void SetTemp(unsigned t);

    // Advances the clock by dt model seconds and shows the next error text when its time came.
    void Process(unsigned dt);
    // Counts an error with its weight and queues its text.
    void FixError(const std::string& text, unsigned weight);

    unsigned Clock() const { return fClock; }
    unsigned ErrorCount() const { return fErrors; }
    unsigned WeightSum() const { return fWeights; }
    size_t QueuedTexts() const { return fQueue.size(); }
    // What is drawn between the hours and the minutes: ":" or a blank.
    const std::string& Separator() const { return fSeparator; }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    void Paint() override;

private:
    void ShowClock(const std::string& separator);
    // Sets a panel's text, widening the panel where the text would not fit.
    void SetFittedText(int panel, const std::string& text);
    std::string HourText() const;

    unsigned fTemp = 0;
    unsigned fClock = 0;
    unsigned fErrors = 0;
    unsigned fWeights = 0;
    unsigned fNextMessage = 0;
    // A text is pending or showing. Kept beside the time so that an error fixed while the clock
    // still reads 0 is shown at the first tick.
    bool fMessagePending = false;
    std::deque<std::string> fQueue;
    std::string fSeparator;
};
