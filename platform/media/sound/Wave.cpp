// WAV reading, writing and joining. Every size read from a file is checked against the file's
// length before anything is allocated or copied.
#include "platform/media/sound/Wave.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void PutTag(std::vector<uint8_t>& v, const char* tag) { v.insert(v.end(), tag, tag + 4); }

[[noreturn]] void Broken(const std::string& name, const std::string& reason)
{
    throw Exception("Звуковой файл " + name + " повреждён: " + reason);
}

std::vector<uint8_t> Header(const TWaveFormat& fmt, uint32_t dataSize)
{
    std::vector<uint8_t> h;
    h.reserve(44);
    PutTag(h, "RIFF");
    Put32(h, 36 + dataSize);
    PutTag(h, "WAVE");
    PutTag(h, "fmt ");
    Put32(h, 16);
    Put16(h, 1);
    Put16(h, fmt.Channels);
    Put32(h, fmt.SampleRate);
    Put32(h, fmt.ByteRate());
    Put16(h, fmt.BlockAlign());
    Put16(h, fmt.BitsPerSample);
    PutTag(h, "data");
    Put32(h, dataSize);
    return h;
}

FilePtr OpenForReading(const std::string& name)
{
    FilePtr f(OpenFile(name, "rb"));
    if (!f) throw Exception("Не могу открыть звуковой файл " + name);
    return f;
}

bool ReadAt(std::FILE* f, uint64_t offset, void* buf, size_t n)
{
    return std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0 && std::fread(buf, 1, n, f) == n;
}

// Copies n bytes from the current position of in to out, a chunk at a time.
bool CopyBytes(std::FILE* in, std::FILE* out, uint64_t n)
{
    uint8_t buf[65536];
    while (n > 0) {
        size_t part = static_cast<size_t>(std::min<uint64_t>(n, sizeof buf));
        if (std::fread(buf, 1, part, in) != part || std::fwrite(buf, 1, part, out) != part) return false;
        n -= part;
    }
    return true;
}

} // namespace

TWaveLayout ReadWaveLayout(std::FILE* f, const std::string& name)
{
    if (std::fseek(f, 0, SEEK_END) != 0) Broken(name, "не читается");
    long end = std::ftell(f);
    if (end < 0) Broken(name, "не читается");
    const uint64_t fileSize = static_cast<uint64_t>(end);

    uint8_t riff[12];
    if (!ReadAt(f, 0, riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        Broken(name, "нет заголовка RIFF WAVE");

    TWaveLayout layout;
    bool haveFormat = false;
    uint64_t pos = 12;
    for (;;) {
        uint8_t chunk[8];
        if (pos + 8 > fileSize || !ReadAt(f, pos, chunk, sizeof chunk))
            Broken(name, haveFormat ? "нет блока данных" : "нет блока формата");
        const uint32_t size = Get32(chunk + 4);
        const uint64_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16) Broken(name, "блок формата короче 16 байт");
            if (body + size > fileSize) Broken(name, "блок формата выходит за конец файла");
            uint8_t fmt[16];
            if (!ReadAt(f, body, fmt, sizeof fmt)) Broken(name, "не читается");
            if (Get16(fmt) != 1) Broken(name, Format("формат %u не PCM", Get16(fmt)));
            layout.Format.Channels = Get16(fmt + 2);
            layout.Format.SampleRate = Get32(fmt + 4);
            layout.Format.BitsPerSample = Get16(fmt + 14);
            if (layout.Format.Channels < 1 || layout.Format.Channels > 2)
                Broken(name, Format("каналов %u", layout.Format.Channels));
            if (layout.Format.BitsPerSample != 8 && layout.Format.BitsPerSample != 16)
                Broken(name, Format("разрядность %u бит", layout.Format.BitsPerSample));
            if (layout.Format.SampleRate < 1000 || layout.Format.SampleRate > 192000)
                Broken(name, Format("частота %u Гц", layout.Format.SampleRate));
            if (Get16(fmt + 12) != layout.Format.BlockAlign()) Broken(name, "неверная длина кадра");
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) Broken(name, "блок данных перед блоком формата");
            uint64_t dataSize = size;
            if (size == 0xFFFFFFFFu || size == 0x7FFFF000u)
                dataSize = fileSize - body;
            else if (body + dataSize > fileSize)
                Broken(name, Format("размер данных %u больше файла", size));
            layout.DataOffset = body;
            layout.DataSize = static_cast<uint32_t>(dataSize - dataSize % layout.Format.BlockAlign());
            return layout;
        } else if (body + size > fileSize) {
            Broken(name, "блок " + std::string(reinterpret_cast<char*>(chunk), 4) + " выходит за конец файла");
        }
        pos = body + size + (size & 1u);  // chunks are padded to an even length
    }
}

uint32_t TWave::DurationMs() const
{
    const uint64_t rate = Format.ByteRate();
    if (rate == 0) return 0;
    return static_cast<uint32_t>((static_cast<uint64_t>(Data.size()) * 1000 + rate - 1) / rate);
}

TWave TWave::LoadFromFile(const std::string& fileName)
{
    FilePtr f = OpenForReading(fileName);
    TWaveLayout layout = ReadWaveLayout(f.get(), fileName);
    TWave w;
    w.Name = fileName;
    w.Format = layout.Format;
    w.Data.resize(layout.DataSize);
    if (layout.DataSize > 0 && !ReadAt(f.get(), layout.DataOffset, w.Data.data(), w.Data.size()))
        Broken(fileName, "не читается");
    return w;
}

TWave TWave::Tone(int frequency, int durationMs)
{
    TWave w;
    w.Format = TWaveFormat{1, 44100, 16};
    const size_t n = static_cast<size_t>(std::max(durationMs, 0)) * 44100 / 1000;
    const size_t fade = std::min<size_t>(n / 2, 441);  // 10 ms
    w.Data.reserve(n * 2);
    for (size_t i = 0; i < n; ++i) {
        double gain = 1.0;
        if (i < fade) gain = static_cast<double>(i) / static_cast<double>(fade);
        else if (n - i <= fade) gain = static_cast<double>(n - i - 1) / static_cast<double>(fade);
        const double phase = 2.0 * std::numbers::pi * frequency * static_cast<double>(i) / 44100.0;
        const auto s = static_cast<int16_t>(std::lround(12000.0 * gain * std::sin(phase)));
        w.Data.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s)));
        w.Data.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
    }
    return w;
}

std::vector<uint8_t> TWave::FileBytes() const
{
    std::vector<uint8_t> bytes = Header(Format, static_cast<uint32_t>(Data.size()));
    bytes.insert(bytes.end(), Data.begin(), Data.end());
    return bytes;
}

void TWave::SaveToFile(const std::string& fileName) const
{
    const std::vector<uint8_t> bytes = FileBytes();
    const std::string path = MapPath(fileName);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) {
        if (f) std::remove(path.c_str());
        throw Exception("Не могу записать звуковой файл " + fileName);
    }
}

TWaveJoin JoinWaveFiles(const std::vector<std::string>& fragments, const std::string& outFile)
{
    if (fragments.empty()) throw Exception("Нет звуковых фрагментов для склейки");

    struct Fragment {
        const std::string* name;
        TWaveLayout layout;
    };
    std::vector<Fragment> parts;
    TWaveJoin result;
    uint64_t total = 0;
    for (const std::string& name : fragments) {
        FilePtr f = OpenForReading(name);
        TWaveLayout layout;
        if (parts.empty()) {
            layout = ReadWaveLayout(f.get(), name);
            result.Format = layout.Format;
        } else {
            try {
                layout = ReadWaveLayout(f.get(), name);
            } catch (const Exception&) {
                result.Skipped.push_back(name);
                continue;
            }
        }
        if (!(layout.Format == result.Format)) {
            result.Skipped.push_back(name);
            continue;
        }
        total += layout.DataSize;
        parts.push_back({&name, layout});
    }
    if (total > 0xFFFFFFFFu - 36) throw Exception("Склеенный звуковой файл " + outFile + " слишком велик");
    result.DataSize = static_cast<uint32_t>(total);

    const std::string path = MapPath(outFile);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) throw Exception("Не могу записать звуковой файл " + outFile);
    const std::vector<uint8_t> header = Header(result.Format, result.DataSize);
    bool ok = std::fwrite(header.data(), 1, header.size(), out) == header.size();
    for (const Fragment& p : parts) {
        if (!ok) break;
        FilePtr in(OpenFile(*p.name, "rb"));
        ok = in && std::fseek(in.get(), static_cast<long>(p.layout.DataOffset), SEEK_SET) == 0 &&
             CopyBytes(in.get(), out, p.layout.DataSize);
    }
    if (std::fclose(out) != 0) ok = false;
    if (!ok) {
        std::remove(path.c_str());
        throw Exception("Не могу записать звуковой файл " + outFile);
    }
    return result;
}
