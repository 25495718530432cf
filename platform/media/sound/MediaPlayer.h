// The media player component: a WAV file opened by name, played asynchronously with a completion
// notification, closed again. The speech output derives from it.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/core/Component.h"
#include "platform/media/sound/SoundOutput.h"
#include "platform/media/sound/Wave.h"

enum TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

class TMediaPlayer : public TComponent {
    VELO_CLASS(TMediaPlayer, TComponent)
public:
    explicit TMediaPlayer(TComponent* owner = nullptr);
    ~TMediaPlayer() override;

    // The WAV file to open ("sound\\td.wav" style names are mapped by MapPath).
    std::string FileName;
    // When set, DoNotify runs each time a clip has played to its end.
    bool Notify = false;
    TNotifyEvent OnNotify;

    // Reads the whole file named by FileName and closes it again, so the player never holds the
    // file: it can be rewritten or deleted while the clip is open or playing. Closes what was
    // open first. Raises Exception (the WAV reader's texts) when the file is missing or not a
    // PCM WAV; the player is then closed.
    void Open();
    // Plays the open clip from its start and returns at once. Raises
    // "Проигрыватель не открыт" when nothing is open.
    void Play();
    // Stops playing; the clip stays open. No notification.
    void Stop();
    // Stops playing and forgets the clip. No notification.
    void Close();

    // mpPlaying while a clip plays, otherwise mpStopped (opened or not: a closed player is idle,
    // so whatever waits for mpStopped may start the next clip). The other modes are never reported.
    TMPModes Mode() const;
    bool IsOpen() const { return clip != nullptr; }
    // Length of the open clip in milliseconds (0 when closed).
    uint32_t Length() const;

    // The completion notification; calls OnNotify.
    virtual void DoNotify();

private:
    std::shared_ptr<const TWave> clip;
    std::unique_ptr<TSoundVoice> voice;
    unsigned voiceGeneration = 0;
};
