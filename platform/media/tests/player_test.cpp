// The media player and the short-sound calls: the player protocol against the recording output,
// and real timing through the Qt output's null device (this machine has no audio device; one
// that has plays the clips aloud and still passes).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "TestFiles.h"
#include "platform/core/Exception.h"
#include "platform/media/QtSound.h"
#include "platform/media/sound/MediaPlayer.h"
#include "platform/media/sound/SoundOutput.h"

namespace {

class Player : public ScratchDir {
protected:
    void SetUp() override
    {
        ScratchDir::SetUp();
        recorder = std::make_shared<TRecordingSoundOutput>();
        recorder->FinishAtOnce = false;
        SetSoundOutput(recorder);
    }
    void TearDown() override
    {
        SetSoundOutput(nullptr);
        ScratchDir::TearDown();
    }
    std::shared_ptr<TRecordingSoundOutput> recorder;
};

std::string Error(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(no error)";
}

// Runs the event loop until done() holds or the limit passes.
void RunUntil(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

} // namespace

TEST_F(Player, PlaysAsynchronouslyAndNotifiesAtTheEnd)
{
    ClipMs(50).SaveToFile("temp.wav");
    TMediaPlayer mp;
    int notified = 0;
    mp.Notify = true;
    mp.OnNotify = [&](TObject* sender) {
        EXPECT_EQ(sender, static_cast<TObject*>(&mp));
        EXPECT_EQ(mp.Mode(), mpStopped);
        ++notified;
    };
    EXPECT_EQ(mp.Mode(), mpStopped);
    EXPECT_EQ(Error([&] { mp.Play(); }), "Проигрыватель не открыт");

    mp.FileName = "temp.wav";
    mp.Open();
    EXPECT_TRUE(mp.IsOpen());
    EXPECT_EQ(mp.Length(), 50u);
    mp.Play();
    EXPECT_EQ(mp.Mode(), mpPlaying);
    EXPECT_EQ(notified, 0);
    EXPECT_EQ(recorder->FinishAll(), 1);
    EXPECT_EQ(mp.Mode(), mpStopped);
    EXPECT_EQ(notified, 1);

    mp.Notify = false;
    mp.Play();
    recorder->FinishAll();
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(recorder->Log, (std::vector<std::string>{"play temp.wav", "finish temp.wav", "play temp.wav",
                                                       "finish temp.wav"}));
}

TEST_F(Player, StopAndCloseEndPlayingWithoutNotification)
{
    ClipMs(50).SaveToFile("a.wav");
    TMediaPlayer mp;
    int notified = 0;
    mp.Notify = true;
    mp.OnNotify = [&](TObject*) { ++notified; };
    mp.FileName = "a.wav";
    mp.Open();
    mp.Play();
    mp.Stop();
    EXPECT_EQ(mp.Mode(), mpStopped);
    EXPECT_TRUE(mp.IsOpen());
    mp.Play();
    mp.Close();
    EXPECT_FALSE(mp.IsOpen());
    EXPECT_EQ(mp.Mode(), mpStopped);
    EXPECT_EQ(recorder->FinishAll(), 0);
    EXPECT_EQ(notified, 0);
    EXPECT_EQ(recorder->Log, (std::vector<std::string>{"play a.wav", "stop a.wav", "play a.wav", "stop a.wav"}));
}

TEST_F(Player, OpenRefusesMissingAndMalformedFilesAndStaysClosed)
{
    TMediaPlayer mp;
    mp.FileName = "sound\\none.wav";
    EXPECT_EQ(Error([&] { mp.Open(); }), "Не могу открыть звуковой файл sound\\none.wav");
    EXPECT_FALSE(mp.IsOpen());
    WriteBytes("bad.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '});
    mp.FileName = "bad.wav";
    EXPECT_EQ(Error([&] { mp.Open(); }), "Звуковой файл bad.wav повреждён: нет заголовка RIFF WAVE");
    EXPECT_FALSE(mp.IsOpen());
}

// The speech output rewrites temp.wav for every phrase: the player must not hold it.
TEST_F(Player, CloseReleasesTheFileForRewriting)
{
    TMediaPlayer mp;
    mp.FileName = "temp.wav";
    ClipMs(100).SaveToFile("temp.wav");
    mp.Open();
    mp.Play();
    mp.Close();
    JoinWaveFiles({"temp.wav"}, "copy.wav");
    ClipMs(300).SaveToFile("temp.wav");
    mp.Open();
    EXPECT_EQ(mp.Length(), 300u);
    mp.Play();
    // Even while it plays, the file may go.
    EXPECT_TRUE(std::filesystem::remove("temp.wav"));
    recorder->FinishAll();
    EXPECT_EQ(mp.Mode(), mpStopped);
}

TEST_F(Player, ShortSoundsShareOneVoiceAndSynchronousOnesAreRecorded)
{
    std::filesystem::create_directory("sound");
    ClipMs(20).SaveToFile("sound/tick.wav");
    ClipMs(20).SaveToFile("sound/td.wav");
    EXPECT_TRUE(PlaySoundAsync("sound\\tick.wav"));
    EXPECT_TRUE(PlaySoundAsync("sound\\tick.wav"));
    EXPECT_TRUE(PlaySoundSync("sound\\td.wav"));
    std::string why;
    EXPECT_FALSE(PlaySoundSync("sound\\none.wav", &why));
    EXPECT_EQ(why, "Не могу открыть звуковой файл sound\\none.wav");
    EXPECT_TRUE(Beep(700, 500));
    EXPECT_FALSE(Beep(20, 500));
    EXPECT_FALSE(Beep(700, 0));
    EXPECT_EQ(recorder->Log, (std::vector<std::string>{"play sound\\tick.wav", "stop sound\\tick.wav",
                                                       "play sound\\tick.wav", "sync sound\\td.wav", "beep 700 500"}));
}

TEST_F(Player, APlayerFollowsANewlyInstalledOutput)
{
    ClipMs(20).SaveToFile("a.wav");
    TMediaPlayer mp;
    mp.FileName = "a.wav";
    mp.Open();
    mp.Play();
    auto second = std::make_shared<TRecordingSoundOutput>();
    SetSoundOutput(second);
    recorder.reset();  // the first output goes while the player still holds its voice
    mp.Play();
    EXPECT_EQ(second->Log, (std::vector<std::string>{"play a.wav", "finish a.wav"}));
    EXPECT_EQ(mp.Mode(), mpStopped);
}

// Through the Qt output.
class QtPlayer : public ScratchDir {
protected:
    void TearDown() override
    {
        SetSoundOutput(nullptr);
        ScratchDir::TearDown();
    }
};

TEST_F(QtPlayer, FinishesAfterTheClipsLength)
{
    for (auto device : {TQtSoundOutput::TDevice::Null, TQtSoundOutput::TDevice::Default}) {
        SetSoundOutput(std::make_shared<TQtSoundOutput>(device));
        ClipMs(300).SaveToFile("temp.wav");
        TMediaPlayer mp;
        mp.FileName = "temp.wav";
        mp.Notify = true;
        qint64 notifiedAt = -1;
        QElapsedTimer t;
        mp.OnNotify = [&](TObject*) { notifiedAt = t.elapsed(); };
        mp.Open();
        t.start();
        mp.Play();
        EXPECT_EQ(mp.Mode(), mpPlaying);
        RunUntil([&] { return notifiedAt >= 0; }, 5000);
        EXPECT_GE(notifiedAt, 300);
        EXPECT_LT(notifiedAt, 3500);  // a real device may add latency; the null device adds none
        EXPECT_EQ(mp.Mode(), mpStopped);
    }
}

TEST_F(QtPlayer, StopCancelsTheCompletionAndReplayStartsAfresh)
{
    SetSoundOutput(std::make_shared<TQtSoundOutput>(TQtSoundOutput::TDevice::Null));
    ClipMs(600).SaveToFile("temp.wav");
    TMediaPlayer mp;
    mp.FileName = "temp.wav";
    mp.Notify = true;
    int notified = 0;
    mp.OnNotify = [&](TObject*) { ++notified; };
    mp.Open();
    mp.Play();
    mp.Close();
    ClipMs(100).SaveToFile("temp.wav");
    mp.Open();
    QElapsedTimer t;
    t.start();
    mp.Play();
    RunUntil([&] { return notified > 0; }, 3000);
    EXPECT_EQ(notified, 1);
    EXPECT_GE(t.elapsed(), 100);
    EXPECT_LT(t.elapsed(), 500);  // the first, longer clip did not report
    RunUntil([] { return false; }, 700);
    EXPECT_EQ(notified, 1);
}

// The ring of a switchboard key holds the user interface for the clip's length: no timer of the
// program may fire during it, since the ring is started from inside a model step.
TEST_F(QtPlayer, SynchronousPlayBlocksWithoutProcessingEvents)
{
    for (auto device : {TQtSoundOutput::TDevice::Null, TQtSoundOutput::TDevice::Default}) {
        SetSoundOutput(std::make_shared<TQtSoundOutput>(device));
        std::filesystem::create_directories("sound");
        ClipMs(300).SaveToFile("sound/td.wav");
        bool fired = false;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] { fired = true; });
        timer.start(10);
        QElapsedTimer t;
        t.start();
        EXPECT_TRUE(PlaySoundSync("sound\\td.wav"));
        EXPECT_GE(t.elapsed(), 300);
        EXPECT_LT(t.elapsed(), 3500);
        EXPECT_FALSE(fired);
        RunUntil([&] { return fired; }, 1000);
        EXPECT_TRUE(fired);
    }
}

TEST_F(QtPlayer, BeepTakesItsLength)
{
    SetSoundOutput(std::make_shared<TQtSoundOutput>(TQtSoundOutput::TDevice::Null));
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(Beep(700, 200));
    EXPECT_GE(t.elapsed(), 200);
    EXPECT_LT(t.elapsed(), 1000);
}
