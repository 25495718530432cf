// The sample station (station/data) on one bus through the real plan, interlocking, instructor
// and delay models, loaded from a scratch copy of its data folder; the main window (4) and the
// technology model (3) are recorders that the tests may replace.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include "models/base/BusRouter.h"
#include "models/interlocking/EC_Model.h"
#include "models/operations/DelayModel.h"
#include "models/operations/InstructorModel.h"
#include "models/plan/PlanModel.h"
#include "models/technology/TecnModel.h"
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
