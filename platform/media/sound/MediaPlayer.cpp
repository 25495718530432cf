// The media player over the current sound output.
#include "platform/media/sound/MediaPlayer.h"

#include "platform/core/Exception.h"

TMediaPlayer::TMediaPlayer(TComponent* owner) : TComponent(owner) {}

TMediaPlayer::~TMediaPlayer() { Close(); }

void TMediaPlayer::Open()
{
    Close();
    clip = std::make_shared<TWave>(TWave::LoadFromFile(FileName));
}

void TMediaPlayer::Play()
{
    if (!clip) throw Exception("Проигрыватель не открыт");
    TSoundOutput& out = SoundOutput();
    if (!voice || voiceGeneration != SoundOutputGeneration()) {
        voice.reset();
        voice = out.NewVoice();
        voiceGeneration = SoundOutputGeneration();
    }
    voice->Start(clip, [this] {
        if (Notify) DoNotify();
    });
}

void TMediaPlayer::Stop()
{
    if (voice) voice->Stop();
}

void TMediaPlayer::Close()
{
    Stop();
    clip.reset();
}

TMPModes TMediaPlayer::Mode() const { return voice && voice->IsPlaying() ? mpPlaying : mpStopped; }

uint32_t TMediaPlayer::Length() const { return clip ? clip->DurationMs() : 0; }

void TMediaPlayer::DoNotify()
{
    if (OnNotify) OnNotify(this);
}
