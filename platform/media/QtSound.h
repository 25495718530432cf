// The sound output of the program: the machine's default audio device through QAudioSink when it
// exists and plays the clip's format, otherwise a null device that stays silent for the clip's
// length, so the simulation's timing is the same with or without sound.
#pragma once
#include <memory>

#include "platform/media/sound/SoundOutput.h"

class QAudioDevice;

class TQtSoundOutput : public TSoundOutput {
public:
    enum class TDevice {
        Default,  // the default audio device when usable, else the null device
        Null,     // always the null device (machines or tests that must stay silent)
    };
    explicit TQtSoundOutput(TDevice device = TDevice::Default);

    // Asynchronous voices need the Qt event loop: completion is delivered through it.
    std::unique_ptr<TSoundVoice> NewVoice() override;
    // Blocks the calling thread for the clip's length. On a device the clip is played by a
    // helper thread with its own event loop while this thread waits; nothing is processed here.
    void PlaySync(const TWave& clip) override;

    // The default audio output when it exists and supports the format; a null device otherwise
    // (always null for TDevice::Null).
    QAudioDevice UsableDevice(const TWaveFormat& format) const;

private:
    TDevice device;
};

// Makes a TQtSoundOutput of the default device the current output. Call it after the
// application object exists, and SetSoundOutput(nullptr) before it goes.
void InstallQtSoundOutput();
