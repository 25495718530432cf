// The trainer's status bar.
#include "panel/TrenagerStatusBar.h"

#include "platform/core/CFormat.h"

namespace {
enum { kSlower, kTempo, kFaster, kClock, kErrors, kMessage, kSpare };
// Where the status bar draws a panel's text, from the panel's left edge.
constexpr int kPanelTextInset = 2;
// What a panel gives up at its right: the gap to the next panel and the bevel.
constexpr int kPanelRightEdge = 4;
}

TTrenagerStatusBar::TTrenagerStatusBar(TComponent* owner) : TStatusBar(owner)
{
    // The panels are narrow: the small status-bar type keeps their texts inside them.
    Font().Size = 8;
    FontChanged();
    AddPanel(15, "<");
    AddPanel(90, "Зупинено");
    AddPanel(15, ">");
    AddPanel(40, "");
    AddPanel(140, "Кількість помилок - 0/0");
    AddPanel(900, " ");
    AddPanel(10, " ");
}

void TTrenagerStatusBar::SetFittedText(int panel, const std::string& text)
{
    if (PanelCount() <= panel) return;
    // A panel never cuts its number: it widens to its text (the following panels move right)
    // and keeps that width.
    TCanvas& c = Canvas();
    c.Font = Font();
    const int needed = kPanelTextInset + c.TextWidth(text) + kPanelRightEdge;
    if (Panels(panel).Width < needed) Panels(panel).Width = needed;
    SetPanelText(panel, text);
}

std::string TTrenagerStatusBar::HourText() const
{
    const unsigned hours = fClock / 3600;
    return Format(hours <= 9 ? "0%u" : "%u", hours);
}

void TTrenagerStatusBar::ShowClock(const std::string& separator)
{
    const unsigned minutes = (fClock % 3600) / 60;
    SetFittedText(kClock, Format(minutes <= 9 ? "%s  0%u" : "%s  %u", HourText().c_str(), minutes));
    fSeparator = separator;
    Invalidate();
}

void TTrenagerStatusBar::SetTemp(unsigned t)
{
    const unsigned top = MaxTemp > 0 ? static_cast<unsigned>(MaxTemp) : 0;
    fTemp = t > top ? top : t;
    SetFittedText(kTempo, fTemp == 0 ? std::string("Зупинено") : Format("Темп 1:%u", fTemp));
    ShowClock(":");
    if (OnChangeTemp) OnChangeTemp(this);
}

void TTrenagerStatusBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (fTemp != 0 && PanelCount() > kFaster) {
        const int w0 = Panels(kSlower).Width, w1 = Panels(kTempo).Width, w2 = Panels(kFaster).Width;
        if (x < w0)
            SetTemp(fTemp > 1 ? fTemp - 1 : fTemp);
        else if (x > w0 && x < w0 + w1)
            SetTemp(fTemp < 2 ? 20 : 1);
        else if (x > w0 + w1 && x < w0 + w1 + w2)
            SetTemp(fTemp + 1);
    }
    TStatusBar::MouseDown(button, shift, x, y);
}

void TTrenagerStatusBar::Process(unsigned dt)
{
    fClock += dt;
    ShowClock(fClock % 2 ? ":" : " ");
    if (!fMessagePending || fNextMessage >= fClock) return;
    if (!fQueue.empty()) {
        fNextMessage = fClock + static_cast<unsigned>(Delay);
        if (PanelCount() > kMessage) SetPanelText(kMessage, fQueue.front());
        fQueue.pop_front();
    } else {
        SetColor(clBtnFace);
        fNextMessage = 0;
        fMessagePending = false;
        if (PanelCount() > kMessage) {
            SetPanelStyle(kMessage, psText);
            SetPanelText(kMessage, "");
        }
    }
}

void TTrenagerStatusBar::FixError(const std::string& text, unsigned weight)
{
    ++fErrors;
    fWeights += weight;
    SetFittedText(kErrors, Format("Кількість помилок - %u/%u", fErrors, fWeights));
    if (!fMessagePending) {
        fNextMessage = fClock;
        fMessagePending = true;
    }
    fQueue.push_back(text);
    SetColor(clFuchsia);
}

void TTrenagerStatusBar::Paint()
{
    TStatusBar::Paint();
    if (fSeparator.empty() || PanelCount() <= kClock) return;
    TCanvas& c = Canvas();
    c.Font = Font();
    // The separator stands in the middle of the two blanks between hours and minutes, so it
    // never touches the minutes whatever widths the font gives the blanks and the colon.
    const int gapLeft = Panels(kSlower).Width + Panels(kTempo).Width + Panels(kFaster).Width + kPanelTextInset +
                        c.TextWidth(HourText());
    const int x = gapLeft + (c.TextWidth("  ") - c.TextWidth(fSeparator)) / 2;
    c.Brush.Style = bsSolid;
    c.Brush.Color = Color();
    c.TextOut(x, 3, fSeparator);
}
