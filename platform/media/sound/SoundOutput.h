// Where sound goes. The program installs the audio device output of the Qt layer at start; until
// then, and in tests, a recording output stands in that plays nothing and records every request.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/sound/Wave.h"

// One stream of sound: a media player or the short-sound channel each own one, so a click does
// not cut the speech off.
class TSoundVoice {
public:
    virtual ~TSoundVoice() = default;
    // Starts the clip (stopping what this voice played) and returns at once. onFinished runs once,
    // from the event loop, when the clip has ended; never after Stop, Start or destruction.
    virtual void Start(std::shared_ptr<const TWave> clip, std::function<void()> onFinished) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
};

class TSoundOutput {
public:
    virtual ~TSoundOutput() = default;
    virtual std::unique_ptr<TSoundVoice> NewVoice() = 0;
    // Plays the clip and returns when it has ended, at least the clip's length later. Processes
    // no events meanwhile: no timer, input or paint handler runs until it returns.
    virtual void PlaySync(const TWave& clip) = 0;
    // A tone played synchronously.
    virtual void Beep(int frequency, int durationMs) { PlaySync(TWave::Tone(frequency, durationMs)); }
};

// The output in use (a recording output until one is installed).
TSoundOutput& SoundOutput();
void SetSoundOutput(std::shared_ptr<TSoundOutput> output);
// Changes with every SetSoundOutput, so holders of a voice know when to make a new one.
unsigned SoundOutputGeneration();

// Plays nothing and returns at once; records every request in Log as one line:
// "play <name>", "stop <name>", "finish <name>", "sync <name>", "beep <frequency> <ms>"
// (<name> is the clip's Name). With FinishAtOnce an asynchronous clip finishes inside Start;
// otherwise it plays until FinishAll() is called.
class TRecordingSoundOutput : public TSoundOutput {
public:
    TRecordingSoundOutput();
    ~TRecordingSoundOutput() override;
    std::unique_ptr<TSoundVoice> NewVoice() override;
    void PlaySync(const TWave& clip) override;
    void Beep(int frequency, int durationMs) override;

    // Ends every playing clip, in the order they were started; returns how many ended.
    int FinishAll();
    int PlayingCount() const;

    bool FinishAtOnce = true;
    std::vector<std::string> Log;

private:
    class Voice;
    struct Shared;  // outlives the output while voices remain
    std::shared_ptr<Shared> shared;
};

// The short-sound calls of the program.
// Plays a WAV file and returns when it has ended. False, with no sound, when the file is missing
// or not a PCM WAV (the reason in *error when given).
bool PlaySoundSync(const std::string& fileName, std::string* error = nullptr);
// Starts a WAV file and returns at once; it replaces a short sound still playing. False as above.
bool PlaySoundAsync(const std::string& fileName, std::string* error = nullptr);
// A tone of the given frequency (37-32767 Hz) and length, played synchronously; false, with no
// sound, for a frequency outside that range or a length below 1 ms.
bool Beep(int frequency, int durationMs);
