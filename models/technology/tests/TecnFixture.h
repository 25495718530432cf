// Helpers of the technology tests: a model read from a technology text, a recording bus, and
// the sample station's data folder as the working directory.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "models/base/BusRouter.h"
#include "models/technology/TecnModel.h"
#include "platform/core/Strings.h"

namespace tecn_test {

namespace fs = std::filesystem;

// Writes UTF-8 text to path in code page 1251.
inline void WriteCp1251(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << Utf8ToCp1251(text);
}

// A scratch folder for the test, removed at the end.
class TScratch {
public:
    TScratch()
    {
        dir = fs::path(testing::TempDir()) /
              ("velo_tecn_" + std::to_string(::getpid()) + "_" + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~TScratch() { fs::remove_all(dir); }
    fs::path operator/(const std::string& name) const { return dir / name; }
    fs::path dir;
};

// Reads a technology text into the model; exceptions pass through.
inline void ReadTecnText(TTecnModel& m, const TScratch& s, const std::string& text)
{
    WriteCp1251(s / "Tecnology.dat", text);
    std::FILE* f = std::fopen((s / "Tecnology.dat").c_str(), "r");
    ASSERT_NE(f, nullptr);
    try {
        m.Read(f);
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
}

// The model's events as text, and a bus that records everything and refuses what no one answers.
struct TRecorder {
    std::vector<std::string> events;
    TBusRouter bus;
    void Attach(TTecnModel& m)
    {
        bus.Attach(brTecn, &m);
        m.OnChangeState = [this](TModel*, AnsiString text) { events.push_back(text); };
    }
};

} // namespace tecn_test
