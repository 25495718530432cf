// Start-up registration of the switchboard keys, the partner table and the speech output, and
// the speech output's phrase timer.
#include "panel/KeyClasses.h"

#include "platform/qt/Controls.h"

void RegisterKeyClasses()
{
    RegisterComutatorClasses();
    RegisterConnectionClasses();
    RegisterSpeakerClasses();
}

TComponent* NewPhraseTimer(TComponent* owner, int ms, std::function<void()> tick)
{
    auto* timer = new TTimer(owner);
    timer->SetInterval(ms);
    // Speech touches no model: a queued phrase starts while a modal window or a box is open.
    timer->SkipWhileBusy = false;
    timer->SetOnTimer([tick = std::move(tick)](TObject*) { tick(); });
    return timer;
}
