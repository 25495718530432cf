// Speech output from recorded word fragments.
#include "panel/EC_Speaker.h"

#include <cstdio>

#include "panel/KeyClasses.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"
#include "platform/media/sound/Wave.h"
#include "platform/qt/Properties.h"

namespace {

// The author reads the list beside the station's data files, so it is written in their code page.
void NoteMissingFragment(const std::string& path)
{
    std::FILE* f = OpenFile(kMissingFragmentsFile, "ab");
    if (!f) return;
    const std::string line = Utf8ToCp1251(path) + "\r\n";
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
}

} // namespace

TEC_Speaker::TEC_Speaker(TComponent* owner) : TMediaPlayer(owner)
{
    Notify = true;
    fTimer = NewPhraseTimer(this, 250, [this] { Tick(); });
}

TEC_Speaker::~TEC_Speaker()
{
    delete fTimer;
    Close();
    if (FileExists(TempFileName)) DeleteFile(TempFileName);
}

bool TEC_Speaker::AddFiles(const std::string& phrase)
{
    fQueue.push_back(phrase);
    fReady = true;
    return true;
}

bool TEC_Speaker::NewSpeak(const std::string& phrase)
{
    Close();
    fQueue.clear();
    return PlayWave(phrase) != 0;
}

int TEC_Speaker::PlayWave(const std::string& phrase)
{
    Close();
    fFragments.Clear();
    size_t pos = 0;
    while (pos < phrase.size()) {
        const size_t start = phrase.find_first_not_of(" \t", pos);
        if (start == std::string::npos) break;
        size_t end = phrase.find_first_of(" \t", start);
        if (end == std::string::npos) end = phrase.size();
        const std::string path = Directory + phrase.substr(start, end - start) + ".wav";
        pos = end;
        if (!FileExists(path)) {
            NoteMissingFragment(path);
            return 0;
        }
        fFragments.Add(path);
    }
    // A phrase that could not be joined is not spoken: the file left by an earlier phrase
    // would say something else.
    if (!MakeWaveFile(fFragments) || !FileExists(TempFileName)) return 0;
    try {
        FileName = TempFileName;
        Open();
        Play();
    } catch (const Exception&) {
        Close();
        return 0;
    }
    return 1;
}

bool TEC_Speaker::MakeWaveFile(const TStringList& fragments)
{
    try {
        JoinWaveFiles(fragments.lines, TempFileName);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

void TEC_Speaker::DoNotify()
{
    switch (Mode()) {
    case mpStopped: fReady = true; break;
    case mpPlaying:
    case mpNotReady:
    case mpOpen: fReady = false; break;
    default: break;
    }
    TMediaPlayer::DoNotify();
}

void TEC_Speaker::Tick()
{
    // The player's mode is looked at first: a Speak while a phrase plays sets the flag, and the
    // playing phrase must still finish before the next one starts.
    DoNotify();
    if (!fReady || fQueue.empty()) return;
    const std::string phrase = fQueue.front();
    fQueue.pop_front();
    if (fQueue.empty()) fReady = false;
    PlayWave(phrase);
}

void RegisterSpeakerClasses()
{
    RegisterComponentClass("TEC_Speaker", [](TComponent* owner) { return new TEC_Speaker(owner); });
    RegisterStringProperty<TEC_Speaker>("TempFileName", [](TEC_Speaker& s, const std::string& v) { s.TempFileName = v; });
    RegisterStringProperty<TEC_Speaker>("Directory", [](TEC_Speaker& s, const std::string& v) { s.Directory = v; });
}
