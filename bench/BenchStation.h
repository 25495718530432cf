// What the benchmarks share: a station's models on a headless bus as the main window holds
// them, the scripted activity that sets and releases routes, and the process's resident memory.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "models/base/BusRouter.h"
#include "models/interlocking/EC_Model.h"
#include "models/movement/SignalMoveModel.h"
#include "models/operations/DelayModel.h"
#include "models/operations/InstructorModel.h"
#include "models/plan/PlanModel.h"
#include "models/technology/TecnModel.h"

// A model day in ticks of one simulated second.
constexpr int kDaySeconds = 24 * 60 * 60;

// The station folders made by scripts/scale_station.py: "{root}/x{copies}" with data/ and
// activity.txt.
std::string StationDir(int copies);

// Messages sent at given model seconds: "{period} {offset} {message}" lines, each message sent
// at every second t with t mod period = offset.
class TActivity {
public:
    explicit TActivity(const std::string& file);
    // Sends through send the messages due at model second t.
    void Step(long t, const std::function<void(std::string&)>& send) const;
    size_t Size() const { return count; }

private:
    std::map<long, std::vector<std::vector<std::string>>> byPeriod;  // period -> offset -> messages
    size_t count = 0;
};

// Every model the main window runs, of one station folder on a router, in the main window's
// order: plan, technology (its executors as app/forms/Main.vfm configures them), delay, signal
// movement, instructor and interlocking; the panel (4) answered by a stand-in. The working directory is
// the station folder while it lives.
class THeadlessStation {
public:
    explicit THeadlessStation(const std::string& dir);
    ~THeadlessStation();
    THeadlessStation(const THeadlessStation&) = delete;
    THeadlessStation& operator=(const THeadlessStation&) = delete;

    // The start-up messages of data/trenager.ini.
    void RunStartupMessages();
    // One tick of the main loop: the model time one second on, every model in the form's order.
    void Tick();
    // The scripted activity due now, then a tick.
    void ActiveTick();
    int Send(const std::string& text);

    TPlanModel plan;
    TTecnModel tecn;
    TDelayModel delay;
    TSignalMoveModel move;
    TInstructorModel instructor;
    TEC_Model ec;
    TBusRouter bus;
    TActivity activity;
    long seconds = 0;

private:
    std::string previousDir;
};

// Resident memory of this process in MiB (VmRSS).
double ResidentMiB();
