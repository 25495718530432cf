// Helpers of the hump rolling tests: a scratch working directory, a weather responder for
// receiver 5, and a plan with an analytic profile whose one cut is kept by a small technology
// stand-in (two axles, fixed reduced gravity factor and resistance, no wind, no splits).
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "models/base/BusRouter.h"
#include "models/movement/RollingModel.h"
#include "models/plan/PlanModel.h"
#include "platform/core/CFormat.h"
#include "platform/core/Strings.h"

namespace rollingtest {

namespace fs = std::filesystem;

// A scratch folder, the working directory while it lives ("svt" is written there). With a
// source folder its contents are copied in first.
class TScratchDir {
public:
    explicit TScratchDir(const fs::path& from = {})
    {
        static int serial = 0;
        dir = fs::path(testing::TempDir()) / ("velo_rolling_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
        fs::remove_all(dir);
        fs::create_directories(dir);
        if (!from.empty()) fs::copy(from, dir / "data", fs::copy_options::recursive);
        previous = fs::current_path();
        fs::current_path(dir);
    }
    ~TScratchDir()
    {
        std::error_code ec;
        fs::current_path(previous, ec);
        fs::remove_all(dir, ec);
    }
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;
    const fs::path& Path() const { return dir; }

private:
    fs::path dir, previous;
};

inline void WriteCp1251(const fs::path& p, const std::string& utf8)
{
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << Utf8ToCp1251(utf8);
}

// Receiver 5: wind direction 2001, wind speed 2003 and air temperature 2004, in the list when one
// is given and as the reply text.
inline int Weather(std::string& mes, TlstParams* list, double dir = 20, double speed = 5, double temp = -10)
{
    if (list) {
        list->Clear();
        list->Append(TObjParam("2001", dir));
        list->Append(TObjParam("2003", speed));
        list->Append(TObjParam("2004", temp));
    }
    mes = Format("%f %f %f", dir, speed, temp);
    return 1;
}

// The lines of "svt"; each must hold four finite numbers.
inline std::vector<std::string> TraceLines()
{
    std::vector<std::string> out;
    std::ifstream in("svt");
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

inline bool FiniteNumbers(const std::string& text)
{
    std::vector<std::string> words;
    std::string w;
    for (char c : text + " ") {
        if (c == ' ') {
            if (!w.empty()) words.push_back(w);
            w.clear();
        } else {
            w += c;
        }
    }
    for (const std::string& x : words) {
        char* end = nullptr;
        double v = std::strtod(x.c_str(), &end);
        if (end == x.c_str() || !std::isfinite(v)) return false;
    }
    return true;
}

} // namespace rollingtest
