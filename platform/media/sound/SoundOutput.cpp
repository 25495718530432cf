// The current sound output, the recording output, and the short-sound calls.
#include "platform/media/sound/SoundOutput.h"

#include <algorithm>

#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"

namespace {

// The output in use and the voice of the short sounds, which belongs to that output. The voice is
// declared last so that it goes before its output.
struct State {
    std::shared_ptr<TSoundOutput> output;
    unsigned shortGeneration = 0;
    std::unique_ptr<TSoundVoice> shortVoice;
    unsigned generation = 0;
};
State& Current()
{
    static State s;
    return s;
}

} // namespace

TSoundOutput& SoundOutput()
{
    State& s = Current();
    if (!s.output) s.output = std::make_shared<TRecordingSoundOutput>();
    return *s.output;
}

void SetSoundOutput(std::shared_ptr<TSoundOutput> output)
{
    State& s = Current();
    s.shortVoice.reset();
    s.output = std::move(output);
    ++s.generation;
}

unsigned SoundOutputGeneration() { return Current().generation; }

struct TRecordingSoundOutput::Shared {
    TRecordingSoundOutput* out;  // null once the output is gone
    std::vector<Voice*> voices;  // live voices
    long starts = 0;             // clips started so far, to finish them in order
};

class TRecordingSoundOutput::Voice : public TSoundVoice {
public:
    explicit Voice(std::shared_ptr<Shared> s) : shared(std::move(s)) { shared->voices.push_back(this); }
    ~Voice() override { std::erase(shared->voices, this); }

    void Start(std::shared_ptr<const TWave> c, std::function<void()> onFinished) override
    {
        Stop();
        clip = std::move(c);
        done = std::move(onFinished);
        playing = true;
        startOrder = ++shared->starts;
        Record("play ");
        if (shared->out && shared->out->FinishAtOnce) Finish();
    }
    void Stop() override
    {
        if (!playing) return;
        playing = false;
        done = nullptr;
        Record("stop ");
    }
    bool IsPlaying() const override { return playing; }

    void Finish()
    {
        playing = false;
        Record("finish ");
        auto cb = std::move(done);
        done = nullptr;
        if (cb) cb();
    }
    void Record(const char* what)
    {
        if (shared->out) shared->out->Log.push_back(what + clip->Name);
    }

    std::shared_ptr<Shared> shared;
    std::shared_ptr<const TWave> clip;
    std::function<void()> done;
    bool playing = false;
    long startOrder = 0;
};

TRecordingSoundOutput::TRecordingSoundOutput() : shared(std::make_shared<Shared>()) { shared->out = this; }

TRecordingSoundOutput::~TRecordingSoundOutput() { shared->out = nullptr; }

std::unique_ptr<TSoundVoice> TRecordingSoundOutput::NewVoice() { return std::make_unique<Voice>(shared); }

void TRecordingSoundOutput::PlaySync(const TWave& clip) { Log.push_back("sync " + clip.Name); }

void TRecordingSoundOutput::Beep(int frequency, int durationMs) { Log.push_back(Format("beep %d %d", frequency, durationMs)); }

int TRecordingSoundOutput::FinishAll()
{
    std::vector<Voice*> due;
    for (Voice* v : shared->voices)
        if (v->playing) due.push_back(v);
    std::sort(due.begin(), due.end(), [](const Voice* a, const Voice* b) { return a->startOrder < b->startOrder; });
    int n = 0;
    for (Voice* v : due) {
        // A completion handler may have stopped, restarted or destroyed a later voice.
        auto& live = shared->voices;
        if (std::find(live.begin(), live.end(), v) == live.end() || !v->playing) continue;
        v->Finish();
        ++n;
    }
    return n;
}

int TRecordingSoundOutput::PlayingCount() const
{
    const auto& live = shared->voices;
    return static_cast<int>(std::count_if(live.begin(), live.end(), [](const Voice* v) { return v->playing; }));
}

bool PlaySoundSync(const std::string& fileName, std::string* error)
{
    try {
        TWave clip = TWave::LoadFromFile(fileName);
        SoundOutput().PlaySync(clip);
        return true;
    } catch (const Exception& e) {
        if (error) *error = e.Message;
        return false;
    }
}

bool PlaySoundAsync(const std::string& fileName, std::string* error)
{
    std::shared_ptr<TWave> clip;
    try {
        clip = std::make_shared<TWave>(TWave::LoadFromFile(fileName));
    } catch (const Exception& e) {
        if (error) *error = e.Message;
        return false;
    }
    TSoundOutput& out = SoundOutput();
    State& s = Current();
    if (!s.shortVoice || s.shortGeneration != s.generation) {
        s.shortVoice = out.NewVoice();
        s.shortGeneration = s.generation;
    }
    s.shortVoice->Start(std::move(clip), nullptr);
    return true;
}

bool Beep(int frequency, int durationMs)
{
    if (frequency < 37 || frequency > 32767 || durationMs < 1) return false;
    SoundOutput().Beep(frequency, durationMs);
    return true;
}
