// The ammeter of the switch motors.
#include "panel/EC_Ampermeter.h"

#include <algorithm>

#include "panel/PanelBitmaps.h"

namespace {
constexpr int kHoldPosition = 65;
constexpr int kLastPosition = 110;
} // namespace

TEC_Amper::TEC_Amper(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 60, 60);
}

void TEC_Amper::StartNeedleTimer()
{
    SetTimer(this, kTimerId, Interval);
    fRunning = true;
}

void TEC_Amper::StopNeedleTimer()
{
    KillTimer(this, kTimerId);
    fRunning = false;
}

void TEC_Amper::ON()
{
    if (fPosition == 0) {
        fPosition = 5;
        fHold = true;
        StartNeedleTimer();
    } else if (fPosition > kHoldPosition) {
        // Falling: rise again from the mirrored position. Without the hold the needle would reach
        // 65 only from one falling position in three and otherwise swing back to rest while the
        // motors still run.
        fPosition -= kHoldPosition;
        fHold = true;
    }
    Invalidate();
}

void TEC_Amper::OFF()
{
    fHold = false;
    if (fPosition >= 1 && fPosition <= kHoldPosition)
        fPosition = fPosition == kHoldPosition ? kHoldPosition + 1 : 130 - fPosition;
    // No repaint: the next timer step shows the needle where it fell to.
}

void TEC_Amper::Execute()
{
    if (fRunning) StopNeedleTimer();
    fHold = false;
    fPosition = 3;
    StartNeedleTimer();
    Invalidate();
}

void TEC_Amper::WMTimer(int id)
{
    if (id == kTimerId && fPosition != 0) Step();
}

void TEC_Amper::Step()
{
    // At the holding position the needle stays where it is.
    if (fPosition < kHoldPosition)
        fPosition = fHold ? std::min(fPosition + 6, kHoldPosition) : fPosition + 6;
    else if (fPosition > kHoldPosition)
        fPosition += 2;
    if (fPosition > kLastPosition) {
        StopNeedleTimer();
        fPosition = 0;
        fHold = false;
    }
    Invalidate();
}

void TEC_Amper::Paint()
{
    TCanvas& c = Canvas();
    c.DrawBitmap(0, 0, "AMPERFREE");
    const QLine needle = AmmeterNeedle(fPosition);
    c.Pen.Color = clBlack;
    c.Pen.Width = 1;
    c.Pen.Style = psSolid;
    c.MoveTo(needle.x1(), needle.y1());
    c.LineTo(needle.x2(), needle.y2());
}
