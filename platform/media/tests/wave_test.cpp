// WAV reading and joining: canonical and extended files, files that must be refused, the join of
// speech fragments with its format rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TestFiles.h"
#include "platform/core/Exception.h"
#include "platform/media/sound/Wave.h"

namespace {

using WaveFile = ScratchDir;

std::string LoadError(const std::string& name)
{
    try {
        TWave::LoadFromFile(name);
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(loaded)";
}

} // namespace

TEST_F(WaveFile, CanonicalFileRoundTrips)
{
    TWave w = ClipMs(100);
    w.SaveToFile("a.wav");
    const std::vector<uint8_t> bytes = ReadBytes("a.wav");
    ASSERT_EQ(bytes.size(), 44u + 4410u);
    EXPECT_EQ(Get32At(bytes, 4), 36u + 4410u);
    EXPECT_EQ(Get32At(bytes, 28), 44100u);  // byte rate
    EXPECT_EQ(Get32At(bytes, 40), 4410u);

    TWave r = TWave::LoadFromFile("a.wav");
    EXPECT_EQ(r.Name, "a.wav");
    EXPECT_EQ(r.Format, (TWaveFormat{1, 22050, 16}));
    EXPECT_EQ(r.Data, w.Data);
    EXPECT_EQ(r.DurationMs(), 100u);
}

TEST_F(WaveFile, NamesAreMappedWithoutRegardToCase)
{
    std::filesystem::create_directory("sound");
    ClipMs(10).SaveToFile("sound/путь.wav");
    EXPECT_EQ(TWave::LoadFromFile("SOUND\\ПУТЬ.wav").Data.size(), 440u);
}

TEST_F(WaveFile, SkipsOtherChunksAndALongerFormat)
{
    // RIFF, WAVE, "fmt " of 18 bytes, an odd-sized LIST chunk with its pad byte, then "data".
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 18, 0, 0, 0,
                              1, 0, 2, 0, 0x11, 0x2B, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 8, 0, 0, 0,
                              'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0,
                              'd', 'a', 't', 'a', 6, 0, 0, 0, 1, 2, 3, 4, 5, 6};
    Put32At(b, 4, static_cast<uint32_t>(b.size() - 8));
    WriteBytes("x.wav", b);
    TWave w = TWave::LoadFromFile("x.wav");
    EXPECT_EQ(w.Format, (TWaveFormat{2, 11025, 8}));
    EXPECT_EQ(w.Data, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(WaveFile, StreamPlaceholderSizeMeansToTheEndOfTheFile)
{
    std::vector<uint8_t> b = Clip(1001).FileBytes();  // an odd byte: half a frame is dropped
    Put32At(b, 4, 0x7FFFF024);
    Put32At(b, 40, 0x7FFFF000);
    WriteBytes("p.wav", b);
    EXPECT_EQ(TWave::LoadFromFile("p.wav").Data.size(), 1000u);
    Put32At(b, 40, 0xFFFFFFFF);
    WriteBytes("p.wav", b);
    EXPECT_EQ(TWave::LoadFromFile("p.wav").Data.size(), 1000u);
}

TEST_F(WaveFile, MalformedFilesAreRefusedWithTheReason)
{
    const std::vector<uint8_t> good = Clip(100).FileBytes();
    auto bad = [&](const char* name, auto patch) {
        std::vector<uint8_t> b = good;
        patch(b);
        WriteBytes(name, b);
        return LoadError(name);
    };
    EXPECT_EQ(bad("riff.wav", [](auto& b) { b[0] = 'X'; }), "Звуковой файл riff.wav повреждён: нет заголовка RIFF WAVE");
    EXPECT_EQ(bad("wave.wav", [](auto& b) { b[8] = 'A'; }), "Звуковой файл wave.wav повреждён: нет заголовка RIFF WAVE");
    EXPECT_EQ(bad("short.wav", [](auto& b) { b.resize(10); }), "Звуковой файл short.wav повреждён: нет заголовка RIFF WAVE");
    EXPECT_EQ(bad("nofmt.wav", [](auto& b) { b.resize(12); }), "Звуковой файл nofmt.wav повреждён: нет блока формата");
    EXPECT_EQ(bad("order.wav", [](auto& b) { b[12] = 'X'; }),
              "Звуковой файл order.wav повреждён: блок данных перед блоком формата");
    EXPECT_EQ(bad("nodata.wav", [](auto& b) { b.resize(36); }), "Звуковой файл nodata.wav повреждён: нет блока данных");
    EXPECT_EQ(bad("fmt8.wav", [](auto& b) { Put32At(b, 16, 8); }),
              "Звуковой файл fmt8.wav повреждён: блок формата короче 16 байт");
    EXPECT_EQ(bad("float.wav", [](auto& b) { Put16At(b, 20, 3); }), "Звуковой файл float.wav повреждён: формат 3 не PCM");
    EXPECT_EQ(bad("ch.wav", [](auto& b) { Put16At(b, 22, 6); }), "Звуковой файл ch.wav повреждён: каналов 6");
    EXPECT_EQ(bad("bits.wav", [](auto& b) { Put16At(b, 34, 24); }), "Звуковой файл bits.wav повреждён: разрядность 24 бит");
    EXPECT_EQ(bad("rate.wav", [](auto& b) { Put32At(b, 24, 0); }), "Звуковой файл rate.wav повреждён: частота 0 Гц");
    EXPECT_EQ(bad("align.wav", [](auto& b) { Put16At(b, 32, 4); }), "Звуковой файл align.wav повреждён: неверная длина кадра");
    // The reader must not trust a size it cannot check: this one would ask for 2 GB.
    EXPECT_EQ(bad("big.wav", [](auto& b) { Put32At(b, 40, 0x7FFFFFF0); }),
              "Звуковой файл big.wav повреждён: размер данных 2147483632 больше файла");
    EXPECT_EQ(bad("cut.wav", [](auto& b) { b.resize(100); }), "Звуковой файл cut.wav повреждён: размер данных 100 больше файла");
    EXPECT_EQ(bad("chunk.wav", [](auto& b) { Put32At(b, 16, 0xFFFFFF00); }),
              "Звуковой файл chunk.wav повреждён: блок формата выходит за конец файла");
    EXPECT_EQ(LoadError("missing.wav"), "Не могу открыть звуковой файл missing.wav");
}

// Three fragments of one phrase in 22050 Hz mono 16-bit; a stereo and an 8-bit one among them.
TEST_F(WaveFile, JoinAppendsFragmentsOfTheFirstFormatAndSkipsOthers)
{
    Clip(1000, {}, 0).SaveToFile("a.wav");
    Clip(64, {2, 22050, 16}, 7).SaveToFile("stereo.wav");
    Clip(2000, {}, 100).SaveToFile("b.wav");
    Clip(64, {1, 22050, 8}, 9).SaveToFile("eight.wav");
    Clip(500, {}, 200).SaveToFile("c.wav");

    TWaveJoin j = JoinWaveFiles({"a.wav", "stereo.wav", "b.wav", "eight.wav", "c.wav"}, "temp.wav");
    EXPECT_EQ(j.DataSize, 3500u);
    EXPECT_EQ(j.Skipped, (std::vector<std::string>{"stereo.wav", "eight.wav"}));

    const std::vector<uint8_t> out = ReadBytes("temp.wav");
    ASSERT_EQ(out.size(), 44u + 3500u);
    EXPECT_EQ(Get32At(out, 4), (36u + 1000u) + 2500u);
    EXPECT_EQ(Get32At(out, 40), 3500u);
    EXPECT_EQ(Get32At(out, 28), 44100u);
    std::vector<uint8_t> expected;
    for (const TWave& w : {Clip(1000, {}, 0), Clip(2000, {}, 100), Clip(500, {}, 200)})
        expected.insert(expected.end(), w.Data.begin(), w.Data.end());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin() + 44));
}

TEST_F(WaveFile, AFailedJoinLeavesTheOldOutput)
{
    Clip(10).SaveToFile("a.wav");
    WriteBytes("bad.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e', '!', '!'});
    WriteBytes("temp.wav", {1, 2, 3});
    auto joinError = [](const std::vector<std::string>& parts) -> std::string {
        try {
            JoinWaveFiles(parts, "temp.wav");
        } catch (const Exception& e) {
            return e.Message;
        }
        return "(joined)";
    };
    EXPECT_EQ(joinError({}), "Нет звуковых фрагментов для склейки");
    EXPECT_EQ(joinError({"a.wav", "gone.wav"}), "Не могу открыть звуковой файл gone.wav");
    EXPECT_EQ(joinError({"bad.wav", "a.wav"}), "Звуковой файл bad.wav повреждён: нет заголовка RIFF WAVE");
    EXPECT_EQ(ReadBytes("temp.wav"), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(WaveFile, ALaterMalformedFragmentIsLeftOut)
{
    Clip(10).SaveToFile("a.wav");
    WriteBytes("bad.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e', '!', '!'});
    std::vector<uint8_t> cut = Clip(100).FileBytes();
    cut.resize(60);  // its data size says 100
    WriteBytes("cut.wav", cut);
    TWaveJoin j = JoinWaveFiles({"a.wav", "bad.wav", "cut.wav", "a.wav"}, "temp.wav");
    EXPECT_EQ(j.Skipped, (std::vector<std::string>{"bad.wav", "cut.wav"}));
    EXPECT_EQ(j.DataSize, 20u);
    EXPECT_EQ(ReadBytes("temp.wav").size(), 44u + 20u);
}

// Fragments as the project makes them: espeak-ng writes 22050 Hz mono 16-bit, both to a file
// and, with placeholder sizes, to a pipe.
TEST_F(WaveFile, ReadsAndJoinsSpeechSynthesizerOutput)
{
    if (std::system("command -v espeak-ng >/dev/null 2>&1") != 0) GTEST_SKIP() << "espeak-ng is not installed";
    ASSERT_EQ(std::system("espeak-ng -v ru -w one.wav 'один' 2>/dev/null"), 0);
    ASSERT_EQ(std::system("espeak-ng -v ru --stdout 'два' > two.wav 2>/dev/null"), 0);
    TWave one = TWave::LoadFromFile("one.wav");
    TWave two = TWave::LoadFromFile("two.wav");
    EXPECT_EQ(one.Format, (TWaveFormat{1, 22050, 16}));
    EXPECT_EQ(two.Format, one.Format);
    EXPECT_GT(one.DurationMs(), 100u);
    TWaveJoin j = JoinWaveFiles({"one.wav", "two.wav"}, "temp.wav");
    EXPECT_TRUE(j.Skipped.empty());
    EXPECT_EQ(TWave::LoadFromFile("temp.wav").Data.size(), one.Data.size() + two.Data.size());
}

TEST(Wave, BeepToneHasTheRequestedLength)
{
    TWave tone = TWave::Tone(700, 500);
    EXPECT_EQ(tone.Format, (TWaveFormat{1, 44100, 16}));
    EXPECT_EQ(tone.DurationMs(), 500u);
}
