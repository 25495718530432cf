// Start-up registration of the switchboard keys, the partner table and the speech output, and
// the speech output's timer, made where the windowing layer is seen (the media player's units
// cannot include it: both layers name a notify event type of their own).
#pragma once
#include <functional>

class TComponent;

// Registers every class below with the class registry and their published properties.
void RegisterKeyClasses();
void RegisterComutatorClasses();   // EC_ComutatorButton.cpp
void RegisterConnectionClasses();  // Connection.cpp
void RegisterSpeakerClasses();     // EC_Speaker.cpp

// A framework timer owned by owner that calls tick every ms milliseconds from the event loop
// (ticks are guarded; unlike the model timers' they go on while a modal window or a box runs).
TComponent* NewPhraseTimer(TComponent* owner, int ms, std::function<void()> tick);
