// The ammeter of the switch motors: a dial whose needle swings on the control's own timer while
// switches turn.
//
// Needle positions: 0 rest; 1..64 rising; 65 holding (35 degrees, motors running); 66..110
// falling; above 110 the swing ends at rest. ON lifts the needle and holds it, OFF lets it fall,
// Execute makes one full swing without holding.
#pragma once

#include "platform/qt/Controls.h"

class TEC_Amper : public TCustomControl {
    VELO_CLASS(TEC_Amper, TCustomControl)
public:
    explicit TEC_Amper(TComponent* owner);

    // The needle timer's period in milliseconds.
    int Interval = 10;

    void ON();
    void OFF();
    void Execute();

    int Position() const { return fPosition; }
    bool TimerRunning() const { return fRunning; }
    // The needle timer's tick (tests call it to step the needle).
    void WMTimer(int id) override;

    static constexpr int kTimerId = 1;

protected:
    void Paint() override;

private:
    void StartNeedleTimer();
    void StopNeedleTimer();
    void Step();

    int fPosition = 0;
    bool fRunning = false;
    // The motors were switched on while the needle was down or falling: a rising needle stops
    // at the holding position instead of passing it.
    bool fHold = false;
};
