// Speech output: a phrase is a line of words, each word the name of a recorded WAV fragment in
// Directory. The fragments are joined into TempFileName and played; queued phrases follow one
// another on a 250 ms timer, NewSpeak interrupts and plays at once.
//
// The main window calls Speak(text) for interface command 33 and NewSpeak(key's last text) when
// a call is taken; NewSpeak's result says whether anything is being spoken, so the text can be
// shown instead. Words without a fragment are listed in "ExecErr.tmp" for the exercise author.
//
// This unit sees only the sound layer (the windowing layer's names would clash with the media
// player's); its timer comes from NewPhraseTimer (KeyClasses.h).
#pragma once
#include <deque>
#include <string>

#include "platform/core/Strings.h"
#include "platform/media/sound/MediaPlayer.h"

// Where the words of a phrase that have no fragment are listed, one path a line.
constexpr const char* kMissingFragmentsFile = "ExecErr.tmp";

class TEC_Speaker : public TMediaPlayer {
    VELO_CLASS(TEC_Speaker, TMediaPlayer)
public:
    explicit TEC_Speaker(TComponent* owner = nullptr);
    // Deletes TempFileName.
    ~TEC_Speaker() override;

    // The joined phrase, relative to the working directory.
    std::string TempFileName = "temp.wav";
    // Put before every word (the trainer uses "sound\\").
    std::string Directory;

    // Queues a phrase for the timer; true.
    bool Speak(const std::string& phrase) { return AddFiles(phrase); }
    bool AddFiles(const std::string& phrase);
    // Stops what plays, drops the queue and plays the phrase at once: true when it is being
    // spoken, false when nothing could be (a missing fragment, a failed join, no words).
    bool NewSpeak(const std::string& phrase);
    // Joins the phrase's fragments and starts playing them: 1 when playing started, else 0.
    int PlayWave(const std::string& phrase);
    // Joins the fragment files into TempFileName; false (nothing written) when the list is empty,
    // a fragment cannot be opened or the first is not a PCM WAV. Fragments whose format differs
    // from the first one's are left out.
    bool MakeWaveFile(const TStringList& fragments);

    // The ready flag follows the player: stopped makes it true; playing makes it false.
    void DoNotify() override;
    // One tick of the phrase timer: starts the next queued phrase once the last one has ended.
    void Tick();

    bool Ready() const { return fReady; }
    const std::deque<std::string>& Queue() const { return fQueue; }
    // The fragment paths of the phrase last built.
    const TStringList& Fragments() const { return fFragments; }

private:
    std::deque<std::string> fQueue;
    TStringList fFragments;
    bool fReady = true;
    TComponent* fTimer = nullptr;
};
