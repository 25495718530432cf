// Speech output: joining fragments, the missing-fragment list, the phrase queue and interrupting.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>

#include "KeyTestSupport.h"
#include "panel/EC_Speaker.h"
#include "platform/core/Strings.h"
#include "platform/media/sound/Wave.h"
#include "platform/qt/Forms.h"
#include "platform/qt/Properties.h"

namespace {

uint32_t Get32(const std::vector<uint8_t>& v, size_t at)
{
    return static_cast<uint32_t>(v.at(at)) | (static_cast<uint32_t>(v.at(at + 1)) << 8) |
           (static_cast<uint32_t>(v.at(at + 2)) << 16) | (static_cast<uint32_t>(v.at(at + 3)) << 24);
}

// A canonical fragment whose sample bytes count up from first.
void Fragment(const std::string& name, uint32_t dataBytes, TWaveFormat format = {}, uint8_t first = 0)
{
    TWave w;
    w.Format = format;
    for (uint32_t i = 0; i < dataBytes; ++i) w.Data.push_back(static_cast<uint8_t>(first + i));
    w.SaveToFile(name);
}

class Speaker : public SoundScratch {
protected:
    void SetUp() override
    {
        SoundScratch::SetUp();
        recorder->FinishAtOnce = false;
        speaker = std::make_unique<TEC_Speaker>();
    }
    void TearDown() override
    {
        speaker.reset();
        SoundScratch::TearDown();
    }
    // What the player was asked to do, in order.
    std::vector<std::string> Log() const { return recorder->Log; }
    std::unique_ptr<TEC_Speaker> speaker;
};

} // namespace

TEST_F(Speaker, APhraseOfRecordedWordsIsJoinedAndPlayed)
{
    speaker->Directory = TestSoundDir();
    // Words are matched to the fragments without regard to case.
    EXPECT_TRUE(speaker->NewSpeak("Поїзд 2001\tприбуває"));
    EXPECT_EQ(Log(), (std::vector<std::string>{"play temp.wav"}));
    EXPECT_EQ(speaker->Mode(), mpPlaying);
    EXPECT_TRUE(speaker->IsOpen());

    uint32_t sum = 0;
    for (const char* w : {"поїзд", "2001", "прибуває"}) sum += Get32(FileBytes(TestSoundDir() + w + ".wav"), 40);
    const std::vector<uint8_t> joined = FileBytes("temp.wav");
    ASSERT_EQ(joined.size(), 44u + sum);
    EXPECT_EQ(Get32(joined, 40), sum);
    EXPECT_EQ(Get32(joined, 4), 36 + sum);
    EXPECT_EQ(Get32(joined, 24), 22050u);
    EXPECT_FALSE(std::filesystem::exists("ExecErr.tmp"));
}

TEST_F(Speaker, JoiningKeepsTheFirstFormatAndSkipsOthers)
{
    Fragment("a.wav", 1000, {}, 0);
    Fragment("b.wav", 2000, {}, 10);
    Fragment("st.wav", 800, {2, 22050, 16});
    Fragment("hi.wav", 600, {1, 44100, 16});
    Fragment("c.wav", 500, {}, 20);
    TStringList parts;
    parts.lines = {"a.wav", "st.wav", "b.wav", "hi.wav", "c.wav"};
    ASSERT_TRUE(speaker->MakeWaveFile(parts));
    const std::vector<uint8_t> out = FileBytes("temp.wav");
    ASSERT_EQ(out.size(), 3544u);
    EXPECT_EQ(Get32(out, 40), 3500u);
    EXPECT_EQ(Get32(out, 4), Get32(FileBytes("a.wav"), 4) + 2500);
    EXPECT_EQ(Get32(out, 28), 44100u);  // byte rate of the first fragment
    std::vector<uint8_t> samples;
    for (const char* f : {"a.wav", "b.wav", "c.wav"}) {
        std::vector<uint8_t> b = FileBytes(f);
        samples.insert(samples.end(), b.begin() + 44, b.end());
    }
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), out.begin() + 44));
}

TEST_F(Speaker, ABadJoinWritesNothing)
{
    EXPECT_FALSE(speaker->MakeWaveFile(TStringList()));
    std::ofstream("bad.wav") << "no sound in here";
    Fragment("a.wav", 100);
    TStringList parts;
    parts.lines = {"bad.wav", "a.wav"};
    EXPECT_FALSE(speaker->MakeWaveFile(parts));
    parts.lines = {"a.wav", "gone.wav"};
    EXPECT_FALSE(speaker->MakeWaveFile(parts));
    EXPECT_FALSE(std::filesystem::exists("temp.wav"));
}

TEST_F(Speaker, AFragmentWhoseLengthOverrunsItsFileIsLeftOut)
{
    Fragment("a.wav", 100);
    Fragment("huge.wav", 100, {}, 50);
    std::vector<uint8_t> b = FileBytes("huge.wav");
    b[40] = 0xFF, b[41] = 0xFF, b[42] = 0xFF, b[43] = 0x7F;
    std::ofstream("huge.wav", std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    TStringList parts;
    parts.lines = {"a.wav", "huge.wav"};
    EXPECT_TRUE(speaker->MakeWaveFile(parts));
    // Only the first fragment's samples: nothing is read past the end of the second one.
    const std::vector<uint8_t> joined = FileBytes("temp.wav");
    ASSERT_EQ(joined.size(), 44u + 100u);
    EXPECT_EQ(Get32(joined, 40), 100u);
    EXPECT_EQ(joined.back(), 99);
}

TEST_F(Speaker, AMissingWordIsListedAndThePhraseIsNotSpoken)
{
    speaker->Directory = "sound\\";
    std::filesystem::create_directory("sound");
    Fragment("sound/раз.wav", 100);
    Fragment("temp.wav", 100);  // left by an earlier phrase: must not be played instead
    EXPECT_EQ(speaker->PlayWave("раз два три"), 0);
    EXPECT_FALSE(speaker->NewSpeak("три раз"));
    EXPECT_TRUE(Log().empty());
    EXPECT_FALSE(speaker->IsOpen());
    // One path a line, as the phrase named it, in the code page of the station's files.
    EXPECT_EQ(FileText("ExecErr.tmp"), Utf8ToCp1251("sound\\два.wav\r\nsound\\три.wav\r\n"));
}

TEST_F(Speaker, APhraseOfBlanksSpeaksNothing)
{
    Fragment("temp.wav", 100);
    EXPECT_EQ(speaker->PlayWave(" \t  "), 0);
    EXPECT_FALSE(speaker->NewSpeak(""));
    EXPECT_TRUE(Log().empty());
    EXPECT_FALSE(std::filesystem::exists("ExecErr.tmp"));
}

TEST_F(Speaker, QueuedPhrasesFollowOneAnother)
{
    Fragment("a.wav", 100);
    Fragment("b.wav", 200);
    EXPECT_TRUE(speaker->Speak("a"));
    EXPECT_TRUE(speaker->AddFiles("b"));
    EXPECT_TRUE(Log().empty());  // nothing before the timer

    speaker->Tick();
    EXPECT_EQ(speaker->Fragments().lines, (std::vector<std::string>{"a.wav"}));
    EXPECT_EQ(recorder->PlayingCount(), 1);
    speaker->Tick();
    speaker->Tick();
    EXPECT_EQ(Log(), (std::vector<std::string>{"play temp.wav"}));
    EXPECT_EQ(speaker->Queue().size(), 1u);

    // A phrase queued while one plays waits too.
    speaker->Speak("a");
    speaker->Tick();
    EXPECT_EQ(Log().size(), 1u);

    EXPECT_EQ(recorder->FinishAll(), 1);
    speaker->Tick();
    EXPECT_EQ(speaker->Fragments().lines, (std::vector<std::string>{"b.wav"}));
    EXPECT_EQ(Get32(FileBytes("temp.wav"), 40), 200u);
    recorder->FinishAll();
    speaker->Tick();
    EXPECT_EQ(speaker->Fragments().lines, (std::vector<std::string>{"a.wav"}));
    EXPECT_TRUE(speaker->Queue().empty());
    recorder->FinishAll();
    speaker->Tick();
    EXPECT_EQ(Log(), (std::vector<std::string>{"play temp.wav", "finish temp.wav", "play temp.wav", "finish temp.wav",
                                               "play temp.wav", "finish temp.wav"}));
}

TEST_F(Speaker, APhraseThatCannotBeSpokenDoesNotHoldTheQueue)
{
    Fragment("b.wav", 200);
    speaker->Speak("a");
    speaker->Speak("b");
    speaker->Tick();
    EXPECT_TRUE(Log().empty());
    speaker->Tick();
    EXPECT_EQ(speaker->Fragments().lines, (std::vector<std::string>{"b.wav"}));
    EXPECT_EQ(Log(), (std::vector<std::string>{"play temp.wav"}));
}

TEST_F(Speaker, NewSpeakInterruptsAndDropsTheQueue)
{
    Fragment("a.wav", 100);
    Fragment("b.wav", 100);
    Fragment("c.wav", 300);
    speaker->Speak("a");
    speaker->Speak("b");
    speaker->Tick();
    ASSERT_EQ(recorder->PlayingCount(), 1);
    EXPECT_TRUE(speaker->NewSpeak("c"));
    EXPECT_TRUE(speaker->Queue().empty());
    EXPECT_EQ(Log(), (std::vector<std::string>{"play temp.wav", "stop temp.wav", "play temp.wav"}));
    EXPECT_EQ(Get32(FileBytes("temp.wav"), 40), 300u);
    EXPECT_EQ(recorder->PlayingCount(), 1);
    recorder->FinishAll();
    speaker->Tick();
    EXPECT_EQ(Log().size(), 4u);  // "b" was dropped
}

TEST_F(Speaker, TheTimerStartsQueuedPhrasesByItself)
{
    recorder->FinishAtOnce = true;
    Fragment("a.wav", 100);
    speaker->Speak("a");
    speaker->Speak("a");
    QElapsedTimer t;
    t.start();
    while (Log().size() < 4 && t.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_EQ(Log(), (std::vector<std::string>{"play temp.wav", "finish temp.wav", "play temp.wav", "finish temp.wav"}));
    EXPECT_GE(t.elapsed(), 400);  // two ticks of 250 ms
}

TEST_F(Speaker, TheJoinedFileGoesWithTheSpeaker)
{
    Fragment("a.wav", 100);
    speaker->TempFileName = "phrase.wav";
    EXPECT_TRUE(speaker->NewSpeak("a"));
    EXPECT_TRUE(std::filesystem::exists("phrase.wav"));
    speaker.reset();
    EXPECT_FALSE(std::filesystem::exists("phrase.wav"));
    EXPECT_TRUE(std::filesystem::exists("a.wav"));
}

TEST_F(Speaker, PublishedPropertiesAndDefaults)
{
    EXPECT_EQ(speaker->TempFileName, "temp.wav");
    EXPECT_EQ(speaker->Directory, "");
    EXPECT_TRUE(speaker->Ready());
    std::unique_ptr<TComponent> s(CreateComponentByClassName("TEC_Speaker", nullptr));
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->ClassName(), "TEC_Speaker");
    TPropValue v;
    v.Kind = TPropValue::String;
    v.Text = "sound\\\\";
    FindProperty(s.get(), "Directory")->SetValue(s.get(), v);
    v.Text = "phrase.wav";
    FindProperty(s.get(), "TempFileName")->SetValue(s.get(), v);
    auto* sp = static_cast<TEC_Speaker*>(s.get());
    EXPECT_EQ(sp->Directory, "sound\\\\");
    EXPECT_EQ(sp->TempFileName, "phrase.wav");
    // The trainer's directory with its doubled separator finds the fragments.
    std::filesystem::create_directory("sound");
    Fragment("sound/так.wav", 100);
    EXPECT_TRUE(sp->NewSpeak("так"));
}

TEST_F(Speaker, AQueuedPhraseStartsWhileAModalWindowIsOpen)
{
    Fragment("a.wav", 100);
    speaker->Speak("a");
    TTimer* timer = nullptr;
    for (int i = 0; i < speaker->ComponentCount() && !timer; ++i) timer = dynamic_cast<TTimer*>(speaker->Components(i));
    ASSERT_NE(timer, nullptr);
    TBusyScope modal;  // what a modal window or a box holds while it is open
    timer->Tick();
    EXPECT_EQ(Log(), (std::vector<std::string>{"play temp.wav"}));
}
