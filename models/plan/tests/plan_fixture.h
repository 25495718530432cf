// Helpers of the plan tests: the sample station's plan and retarder files, variants of them
// written to a scratch station folder, and a plan model loaded from them on a headless bus.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

#include "models/base/BusRouter.h"
#include "models/plan/PlanModel.h"
#include "platform/core/Exception.h"
#include "platform/core/Strings.h"

namespace plantest {

namespace fs = std::filesystem;

// A fixture file of fixtures/plan, as UTF-8.
inline std::string Fixture(const std::string& name)
{
    std::ifstream in(fs::path(VELO_TEST_DIR) / "fixtures" / "plan" / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return Cp1251ToUtf8(ss.str());
}

inline std::string SamplePlan() { return Fixture("plan.dat"); }
inline std::string SampleBreakers() { return Fixture("breakers.dat"); }

// text with its first line equal to `line` replaced by `by` (several lines allowed, or none).
inline std::string ReplaceLine(const std::string& text, const std::string& line, const std::string& by)
{
    size_t at = text.find(line + "\n");
    if (at == std::string::npos || (at != 0 && text[at - 1] != '\n')) {
        ADD_FAILURE() << "no line \"" << line << "\" in the fixture";
        return text;
    }
    std::string repl = by.empty() ? std::string() : by + "\n";
    return text.substr(0, at) + repl + text.substr(at + line.size() + 1);
}

// The 1-based number of the line `line` in text.
inline int LineOf(const std::string& text, const std::string& line)
{
    std::istringstream in(text);
    std::string l;
    for (int n = 1; std::getline(in, l); ++n)
        if (l == line) return n;
    ADD_FAILURE() << "no line \"" << line << "\"";
    return 0;
}

// A scratch station folder with data/plan.dat and data/breakers.dat written in code page 1251;
// the working directory is that folder while the object lives (the retarder file has a fixed
// name relative to it).
class TStationDir {
public:
    TStationDir(const std::string& plan, const std::string* breakers)
    {
        static int serial = 0;
        dir = fs::path(testing::TempDir()) /
              ("velo_plan_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
        fs::remove_all(dir);
        fs::create_directories(dir / "data");
        std::ofstream(dir / "data" / "plan.dat", std::ios::binary) << Utf8ToCp1251(plan);
        if (breakers) std::ofstream(dir / "data" / "breakers.dat", std::ios::binary) << Utf8ToCp1251(*breakers);
        previous = fs::current_path();
        fs::current_path(dir);
    }
    ~TStationDir()
    {
        std::error_code ec;
        fs::current_path(previous, ec);
        fs::remove_all(dir, ec);
    }
    TStationDir(const TStationDir&) = delete;
    TStationDir& operator=(const TStationDir&) = delete;

private:
    fs::path dir, previous;
};

// Loads a plan (and the sample retarder types unless others are given, nullptr for none).
inline void LoadPlan(TPlanModel& model, const std::string& plan, const std::string* breakers)
{
    TStationDir station(plan, breakers);
    model.SetName("PlanModel");
    model.FileName = "data\\plan.dat";
    model.Init();
}

inline void LoadPlan(TPlanModel& model, const std::string& plan)
{
    std::string breakers = SampleBreakers();
    LoadPlan(model, plan, &breakers);
}

// The message of the exception that loading the plan raises ("(loaded)" when none).
inline std::string LoadError(const std::string& plan, const std::string* breakers)
{
    TPlanModel model;
    try {
        LoadPlan(model, plan, breakers);
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(loaded)";
}

inline std::string LoadError(const std::string& plan)
{
    std::string breakers = SampleBreakers();
    return LoadError(plan, &breakers);
}

inline std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(no exception)";
}

// The sample plan on a bus with a recording instructor (receiver 0).
struct TPlanOnBus {
    TPlanOnBus() : TPlanOnBus(SamplePlan()) {}
    explicit TPlanOnBus(const std::string& plan)
    {
        LoadPlan(model, plan);
        router.Attach(brPlan, &model);
        router.SetReceiver(brInstructor, instructor.AsHandler());
        instructor.On("0 4", "", 1);
    }
    // Sends text to the bus; returns "result|reply".
    std::string Ask(const std::string& text)
    {
        std::string mes = text;
        int r = router.Send(mes);
        return std::to_string(r) + "|" + mes;
    }

    TPlanModel model;
    TBusRouter router;
    TScriptedReceiver instructor;
};

} // namespace plantest
