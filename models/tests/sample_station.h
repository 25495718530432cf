// The sample station (station/data) on one bus through the real plan, interlocking, instructor
// and delay models, loaded from a scratch copy of its data folder; the main window (4) and the
// technology model (3) are recorders that the tests may replace.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "models/base/BusRouter.h"
#include "models/interlocking/EC_Model.h"
#include "models/operations/DelayModel.h"
#include "models/operations/InstructorModel.h"
#include "models/plan/PlanModel.h"
#include "models/technology/TecnModel.h"
#include "platform/core/CFormat.h"
#include "platform/core/Strings.h"

// A scratch copy of the station's data folder, the working directory while it lives (the models
// open their files relative to it).
class TStationCopy {
public:
    TStationCopy()
    {
        namespace fs = std::filesystem;
        dir = fs::path(testing::TempDir()) / ("velo_station_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy(fs::path(VELO_SOURCE_DIR) / "station" / "data", dir / "data", fs::copy_options::recursive);
        previous = fs::current_path();
        fs::current_path(dir);
    }
    ~TStationCopy()
    {
        std::error_code ec;
        std::filesystem::current_path(previous, ec);
        std::filesystem::remove_all(dir, ec);
    }
    TStationCopy(const TStationCopy&) = delete;
    TStationCopy& operator=(const TStationCopy&) = delete;

private:
    std::filesystem::path dir, previous;
};

class TSampleStation {
public:
    // Loads every model from the data folder in the working directory; the text of the first
    // failure, empty when all loaded.
    std::string Load()
    {
        plan.SetName("PlanModel");
        plan.FileName = "data\\plan.dat";
        ec.SetName("EC_Model");
        ec.FileName = "data\\EC_Model.dat";
        instructor.SetName("InstructorModel");
        instructor.FileName = "DATA\\errors.dat";
        delay.SetName("DelayModel");
        bus.Attach(brPlan, &plan);
        bus.Attach(brEC, &ec);
        bus.Attach(brInstructor, &instructor);
        bus.Attach(brDelay, &delay);
        panel.On("4 39", nullptr, 0);  // no section names: the interlocking then uses " "
        panel.On("4", nullptr, 1);
        bus.SetReceiver(brInterface, panel.AsHandler());
        bus.SetReceiver(brTecn, tecn.AsHandler());
        for (TModel* m : std::initializer_list<TModel*>{&plan, &ec, &instructor, &delay}) {
            try {
                m->Init();
            } catch (const Exception& e) {
                return m->Name() + ": " + e.Message;
            }
        }
        return "";
    }

    // One tick of the main loop, model time step seconds later.
    void Tick(double step = 0.5)
    {
        t += step;
        plan.Process(static_cast<float>(t));
        delay.Process(static_cast<float>(t));
        ec.Process(static_cast<float>(t));
        instructor.Process(static_cast<float>(t));
    }

    int Send(const std::string& text)
    {
        std::string mes = text;
        return bus.Send(mes);
    }

    TPlanModel plan;
    TEC_Model ec;
    TInstructorModel instructor;
    TDelayModel delay;
    TBusRouter bus;
    TScriptedReceiver panel, tecn;
    double t = 0;
};

// Sets the technology model's executors as the main window's definition configures them
// ("ExecutorArray.ExecutorNN.Number/Scill/ExecName = value" lines of app/forms/Main.vfm).
inline void ConfigureExecutorsAsTheMainWindow(TTecnModel& tecnModel)
{
    std::ifstream form(std::filesystem::path(VELO_SOURCE_DIR) / "app" / "forms" / "Main.vfm");
    std::string line;
    while (std::getline(form, line)) {
        unsigned i = 0;
        char prop[16] = {0};
        if (std::sscanf(line.c_str(), " ExecutorArray.Executor%2u.%15[A-Za-z] =", &i, prop) != 2) continue;
        TExecutor* e = (*tecnModel.ExecutorArray)[static_cast<int>(i)];
        std::string value = Trim(line.substr(line.find('=') + 1));
        if (!value.empty() && value.front() == '"') value = value.substr(1, value.size() - 2);
        if (std::string(prop) == "Number") e->Number = std::atoi(value.c_str());
        if (std::string(prop) == "Scill") e->SetScill(value);
        if (std::string(prop) == "ExecName") e->ExecName = value;
    }
}

// Watches the plan's objects from tick to tick: one that stood at its last tick, or ran the
// other way, must begin the tick at walking speed at most (technology parameter 2002).
class TMotionWatch {
public:
    static constexpr double kWalking = 0.05;  // m/s

    // Before a tick: where each object stands and the speed it begins the tick with.
    void Before(TPlanModel& plan, const std::function<float(int)>& speedOf)
    {
        for (auto* n = plan.Objects.First(); n; n = n->next) {
            const TRM_Object& o = n->value;
            if (o.Removed || !o.EndSection(0)) continue;
            TWas& w = was[o.Number];
            if (w.serial != o.Serial) w = TWas{nullptr, 0, -2, o.Serial, 0};
            w.section = o.EndSection(0);
            w.ahead = o.Position(0);
            w.speed = speedOf(o.Number);
        }
    }
    // After it: a start or a reversal above walking speed is described in faults.
    void After(TPlanModel& plan, double t)
    {
        for (auto* n = plan.Objects.First(); n; n = n->next) {
            const TRM_Object& o = n->value;
            auto it = was.find(o.Number);
            if (o.Removed || !o.EndSection(0) || it == was.end() || it->second.serial != o.Serial || !it->second.section)
                continue;
            TWas& w = it->second;
            const double d = Moved(plan, w.section, w.ahead, o.EndSection(0), o.Position(0));
            const int dir = std::fabs(d) < 1e-4 ? -1 : d > 0 ? 0 : 1;
            // Seen for the first time, it may have started in the tick that placed it.
            if (dir >= 0 && w.dir != dir && w.dir != -2) {
                const bool reversal = w.dir >= 0;
                ++(reversal ? reversals : starts);
                if (w.speed > kWalking) {
                    ++(reversal ? reversalsAtSpeed : startsAtSpeed);
                    if (faults.size() < 10)
                        faults.push_back(Format("object %d %s at %.2f m/s at %.0f s", o.Number,
                                                reversal ? "reversed" : "started", static_cast<double>(w.speed), t));
                }
            }
            w.dir = dir;
        }
    }

    // The direction object number ran in at the last tick: -1 it stood, -2 not seen yet.
    int Direction(int number) const
    {
        auto it = was.find(number);
        return it == was.end() ? -2 : it->second.dir;
    }

    long starts = 0, reversals = 0, startsAtSpeed = 0, reversalsAtSpeed = 0;
    std::vector<std::string> faults;

private:
    struct TWas {
        TRM_Section* section;
        double ahead;  // free length ahead of the end facing direction 0
        int dir;       // of its motion at the last tick; -1 it stood, -2 not seen yet
        unsigned serial;
        float speed;
    };
    // Metres the end facing direction 0 went in direction 0 (negative: the other way), looked
    // for up to 60 m each way; 0 when not found.
    static double Moved(const TPlanModel& plan, const TRM_Section* s0, double a0, const TRM_Section* s1, double a1)
    {
        double d = 0;
        const TRM_Section* c = s0;
        for (double room = a0; c && d <= 60; c = plan.NextSection(c, 0), room = c ? c->Length : 0) {
            if (c == s1 && room >= a1 - 1e-9) return d + room - a1;
            d += room;
        }
        d = 0;
        c = s0;
        for (double room = s0->Length - a0; c && d <= 60; c = plan.NextSection(c, 1), room = c ? c->Length : 0) {
            if (c == s1 && room >= s1->Length - a1 - 1e-9) return -(d + room - (s1->Length - a1));
            d += room;
        }
        return 0;
    }
    std::map<int, TWas> was;
};
