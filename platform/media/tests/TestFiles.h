// Helpers of the sound tests: a scratch working directory and WAV files written byte by byte.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/media/sound/Wave.h"

// Runs each test in a fresh empty working directory.
class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        char tmpl[] = "/tmp/velo_media_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        std::filesystem::current_path(dir);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path previous, dir;
};

inline void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// A clip whose sample bytes count up from 'first', so joined data can be checked byte by byte.
inline TWave Clip(uint32_t dataBytes, TWaveFormat format = {}, uint8_t first = 0)
{
    TWave w;
    w.Format = format;
    for (uint32_t i = 0; i < dataBytes; ++i) w.Data.push_back(static_cast<uint8_t>(first + i));
    return w;
}

// A clip of the given length in 22050 Hz mono 16-bit.
inline TWave ClipMs(uint32_t ms) { return Clip(ms * 2205 / 100 * 2); }

inline void Put32At(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; ++i) v[at + static_cast<size_t>(i)] = static_cast<uint8_t>(x >> (8 * i));
}
inline void Put16At(std::vector<uint8_t>& v, size_t at, uint16_t x)
{
    v[at] = static_cast<uint8_t>(x);
    v[at + 1] = static_cast<uint8_t>(x >> 8);
}
inline uint32_t Get32At(const std::vector<uint8_t>& v, size_t at)
{
    return static_cast<uint32_t>(v[at]) | (static_cast<uint32_t>(v[at + 1]) << 8) |
           (static_cast<uint32_t>(v[at + 2]) << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}
