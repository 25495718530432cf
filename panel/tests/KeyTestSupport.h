// Helpers of the switchboard tests: a scratch working directory, the recording sound output and
// the folder of the test's sound fragments.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/sound/SoundOutput.h"

// The test's recorded fragments ("поїзд", "прибуває", "2001") and the ring "td.wav".
inline std::string TestSoundDir() { return std::string(VELO_TEST_DIR) + "/sound/"; }

// Each test runs in a fresh empty working directory with the recording sound output.
class SoundScratch : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        char tmpl[] = "/tmp/velo_keys_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        std::filesystem::current_path(dir);
        recorder = std::make_shared<TRecordingSoundOutput>();
        SetSoundOutput(recorder);
    }
    void TearDown() override
    {
        SetSoundOutput(nullptr);
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path previous, dir;
    std::shared_ptr<TRecordingSoundOutput> recorder;
};

inline std::vector<uint8_t> FileBytes(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

inline std::string FileText(const std::string& name)
{
    std::vector<uint8_t> b = FileBytes(name);
    return std::string(b.begin(), b.end());
}
