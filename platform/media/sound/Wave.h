// PCM WAV clips: reading and checking RIFF/WAVE files, writing canonical ones, joining fragments,
// and the sine tone that Beep plays.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Uncompressed PCM, 8 bits unsigned or 16 bits signed, one or two channels.
struct TWaveFormat {
    uint16_t Channels = 1;
    uint32_t SampleRate = 22050;
    uint16_t BitsPerSample = 16;

    uint16_t BlockAlign() const { return static_cast<uint16_t>(Channels * (BitsPerSample / 8)); }
    uint32_t ByteRate() const { return SampleRate * BlockAlign(); }
    bool operator==(const TWaveFormat&) const = default;
};

// Where the samples of a checked WAV file lie.
struct TWaveLayout {
    TWaveFormat Format;
    uint64_t DataOffset = 0;
    uint32_t DataSize = 0;  // whole sample frames only
};

// Walks the chunks of an open WAV file ("name" is for the messages). Raises Exception
// "Звуковой файл <name> повреждён: <reason>" for anything but RIFF/WAVE with a PCM "fmt " chunk
// of 1-2 channels and 8 or 16 bits, followed by a "data" chunk that lies inside the file. Reads
// only the chunk headers and the format. A "data" size of 0xFFFFFFFF or 0x7FFFF000 is the
// placeholder written by programs that stream to a pipe, and means "up to the end of the file".
TWaveLayout ReadWaveLayout(std::FILE* f, const std::string& name);

class TWave {
public:
    std::string Name;  // the file it was read from, as given; empty for a generated clip
    TWaveFormat Format;
    std::vector<uint8_t> Data;

    // Length of the clip in milliseconds, rounded up.
    uint32_t DurationMs() const;

    // Reads a whole WAV file (name through MapPath) and closes it. Raises Exception
    // "Не могу открыть звуковой файл <name>" or the errors of ReadWaveLayout.
    static TWave LoadFromFile(const std::string& fileName);
    // A sine tone, 44100 Hz mono 16 bits, with short fades so it does not click.
    static TWave Tone(int frequency, int durationMs);

    // The canonical file: a 44-byte header and the samples.
    std::vector<uint8_t> FileBytes() const;
    // Writes FileBytes() (name through MapPath); raises "Не могу записать звуковой файл <name>".
    void SaveToFile(const std::string& fileName) const;
};

struct TWaveJoin {
    TWaveFormat Format;                // that of the first fragment
    uint32_t DataSize = 0;             // samples written
    std::vector<std::string> Skipped;  // fragments left out because their format differs
};

// Joins the samples of the fragment files, in order, into one canonical WAV file with the first
// fragment's format. A later fragment that is not a PCM WAV, or has another channel count, sample
// rate or sample size, is left out (listed in Skipped). All fragments are checked before the
// output is created: an empty list ("Нет звуковых фрагментов для склейки"), a fragment that
// cannot be opened or a malformed first fragment raises Exception and leaves the output as it
// was; a failure while writing deletes the output. Samples are copied in bounded chunks.
// Names go through MapPath.
TWaveJoin JoinWaveFiles(const std::vector<std::string>& fragments, const std::string& outFile);
