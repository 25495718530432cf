// The main loop of the trainer: the main timer that advances the model time by one simulated
// second a tick, the blink timer, and the menu item that starts and pauses the clock.
//
// Both timers run on the GUI thread. A model step may open a modal window or a box whose nested
// event loop delivers further timer events; the windowing layer drops the main timer's ticks
// meanwhile, and the flags below keep a tick run by hand from entering the models twice as well.
// The blink timer goes on (it touches no model), so the panel keeps blinking under a modal window.
#include "app/InterfaceModel.h"
#include "app/TrainerWindows.h"
#include "panel/EC_Button.h"
#include "platform/core/CFormat.h"

namespace {

// Error 12 of the instructor's catalogue: a call not taken within its answer time.
constexpr int kMissedCall = 12;

// Clears a flag when the tick ends, however it ends.
class TTickScope {
public:
    explicit TTickScope(bool& f) : flag(f) { flag = true; }
    ~TTickScope() { flag = false; }
    TTickScope(const TTickScope&) = delete;
    TTickScope& operator=(const TTickScope&) = delete;

private:
    bool& flag;
};

} // namespace

void TfmMain::BindMainLoopHandlers()
{
    Handlers().Add("MainTimerTimer", TNotifyEvent([this](TObject* s) { MainTimerTimer(s); }));
    Handlers().Add("EC_BliperTimer", TNotifyEvent([this](TObject* s) { EC_BliperTimer(s); }));
    Handlers().Add("N35Click", TNotifyEvent([this](TObject* s) { N35Click(s); }));
}

void TfmMain::MainTimerTimer(TObject*)
{
    if (inMainTick) return;
    TTickScope scope(inMainTick);

    ModelTime += 1.0;
    if (IStatusBar* bar = StatusBar()) bar->Process(1);
    for (unsigned i = 0; i < Models.Count(); ++i) (*Models.Get(i))->Process(static_cast<float>(ModelTime));
    for (unsigned i = 0; i < Keys.Count(); ++i) {
        ISwitchboardKey* key = *Keys.Get(i);
        if (key->Process(static_cast<float>(ModelTime))) continue;
        std::string mes = Format("%d %d %d %s", brInstructor, 4, kMissedCall, key->GetCaption().c_str());
        MessageDispatcher(nullptr, mes, nullptr);
    }
}

int TfmMain::BlinkPass(int phase)
{
    int sum = 0;
    for (unsigned i = 0; i < Cells.Count(); ++i) sum += (*Cells.Get(i))->BlipCell(phase);
    for (unsigned i = 0; i < Signals.Count(); ++i) sum += (*Signals.Get(i))->BlipSignal();
    for (unsigned i = 0; i < RoutePointers.Count(); ++i) sum += (*RoutePointers.Get(i))->BlipPointer();
    for (unsigned i = 0; i < ButtonLamps.Count(); ++i) sum += (*ButtonLamps.Get(i))->BlipLamp(phase);
    // While the fencing button is held down every blinking lamp shows lit.
    auto* fencing = dynamic_cast<TEC_Button*>(FindComponent("EC_Button55"));
    int lampPhase = fencing && fencing->Down() ? 1 : phase;
    for (unsigned i = 0; i < Lamps.Count(); ++i) sum += (*Lamps.Get(i))->BlipLamp(lampPhase);
    return sum;
}

void TfmMain::EC_BliperTimer(TObject*)
{
    if (inBlinkTick) return;
    TTickScope scope(inBlinkTick);

    BlinkPhase = !BlinkPhase;
    if (BlinkPass(BlinkPhase ? 1 : 0) == 0 && EC_Bliper) EC_Bliper->SetInterval(0);
}

void TfmMain::N35Click(TObject*)
{
    if (N35 && N35->Caption() == "Пуск")
        StartClock();
    else
        PauseClock();
}
