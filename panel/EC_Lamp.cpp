// The panel's round indicator lamps.
#include "panel/EC_Lamp.h"

TEC_Lamp::TEC_Lamp(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 11, 11);
    SetColor(clYellow);
}

void TEC_Lamp::SetState(TCLampState s)
{
    if (s == fState) return;
    fState = s;
    Invalidate();
}

void TEC_Lamp::On()
{
    fState = 1;
    Invalidate();
}

void TEC_Lamp::Off()
{
    fState = 0;
    Invalidate();
}

void TEC_Lamp::Blip()
{
    fState = 2;
    Invalidate();
}

int TEC_Lamp::BlipLamp(int phase)
{
    if (fState != 2) return 0;
    if (phase == 2) {
        fLit = !fLit;
        Invalidate();
    } else if (fLit != (phase > 0)) {
        fLit = phase > 0;
        Invalidate();
    }
    return 1;
}

void TEC_Lamp::Paint()
{
    TCanvas& c = Canvas();
    c.Pen.Color = clWhite;
    c.Pen.Width = 1;
    c.Pen.Style = psSolid;
    c.Brush.Style = bsSolid;
    // Any state other than on or blinking-lit (including undefined ones) shows the dark lamp.
    c.Brush.Color = ShowsLit() ? Color() : clSilver;
    // The lamp is square, so height and width may stand for each other here.
    c.Ellipse(0, 0, Height(), Width());
}
