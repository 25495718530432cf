// A headless test station for the interlocking model: the model on receiver 2 with the data of
// fixtures/ec/EC_Model.dat, the real delay model on receiver 8, a plan stand-in on receiver 1,
// and scripted recorders for the main window (4) and the instructor model (0).
//
//  1001     10     101 Н      14          11               12         112 Ч1
//   |--------------->|----------------[sw 1]-----plus--- 204 ----------|<---- 202
//                                          \                  13          15          113 Ч2
//                                           +----minus------ 205 --->|121 М2 ----------|<---- 203
//
//  Stretch track 1 (direction 0), block sections 21 and 22 (block indicators 1 and 2):
//   150 П1 >|----- 21 -----151 П2 >|----- 22 ----- 152 П3 >|
//
// Plan section numbers equal the interlocking section numbers.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "models/base/BusRouter.h"
#include "models/operations/DelayModel.h"
#include "models/interlocking/EC_Model.h"
#include "platform/core/CFormat.h"

// The plan as the interlocking sees it: switches that settle a few ticks after a turn, plan
// sections the test marks occupied, turns it can be told to refuse.
class TFakePlan {
public:
    struct Switch {
        int position = 0;
        int target = -1;  // -1 lying, else moving there
        int due = 0;
        int occupied = 0;
        int trailed = 0;
        int lockMode = 0;
    };
    std::map<int, Switch> switches{{1, Switch{}}};
    std::set<unsigned> occupied;
    std::set<int> refuseTurn;
    int tick = 0;
    int throwTicks = 2;

    int Handle(std::string& mes)
    {
        int r = 0, c = 0, a = 0, b = 0;
        SScanf(mes.c_str(), "%d%d%d%d", &r, &c, &a, &b);
        auto it = switches.find(a);
        switch (c) {
        case 4:
            if (it == switches.end()) return 0;
            mes = Format("%d %d %d %d 0.000", it->second.occupied,
                         it->second.target >= 0 ? it->second.target + 2 : it->second.position, it->second.trailed,
                         it->second.lockMode);
            return 1;
        case 9:
            if (it == switches.end() || refuseTurn.count(a)) return 0;
            if (it->second.position == b && it->second.target < 0) return 1;
            it->second.target = b;
            it->second.due = tick + throwTicks;
            return 1;
        case 5:
            mes = Format("%d 0.000000", occupied.count(static_cast<unsigned>(a)) ? 1 : 0);
            return 1;
        case 37:
            return it != switches.end() ? 1 : 0;
        }
        return 0;
    }
    void Tick()
    {
        ++tick;
        for (auto& [n, s] : switches)
            if (s.target >= 0 && tick >= s.due) {
                s.position = s.target;
                s.target = -1;
            }
    }
};

class TTestStation {
public:
    explicit TTestStation(const char* file = "fixtures\\ec\\EC_Model.dat")
    {
        ec.SetName("EC_Model");
        ec.FileName = file;
        ec.Init();
        bus.Attach(brEC, &ec);
        bus.Attach(brDelay, &delay);
        bus.SetReceiver(brPlan, [this](std::string& m, TlstParams*) { return plan.Handle(m); });
        panel.On("4 39 12", "Путь 12", 1);
        panel.On("4 39", nullptr, 0);
        panel.On("4", nullptr, 1);
        bus.SetReceiver(brInterface, panel.AsHandler());
        instructor.On("0", nullptr, 1);
        bus.SetReceiver(brInstructor, instructor.AsHandler());
        ec.OnChangeState = [this](TModel*, AnsiString s) { events.push_back(s); };
    }

    // Sends a message from outside (as the panel or a scenario would); the reply stays in reply.
    int Send(const std::string& text)
    {
        bus.ClearLog();
        reply = text;
        int r = bus.Send(reply);
        own = 1;
        return r;
    }
    // One tick of the main loop: the plan, the delay model, then the interlocking.
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            if (i + 1 == n) bus.ClearLog();
            t += 1;
            plan.Tick();
            delay.Process(static_cast<float>(t));
            ec.Process(static_cast<float>(t));
        }
        own = 0;
    }
    // What went over the bus since the last Send or Tick, in order, without the test's own request
    // and without the occupancy and switch-position polls ([1 4], [1 5]).
    std::vector<std::string> Out() const
    {
        std::vector<std::string> out;
        for (size_t i = own; i < bus.log.size(); ++i) {
            const std::string& r = bus.log[i].request;
            if (r.rfind("1 4 ", 0) == 0 || r.rfind("1 5 ", 0) == 0) continue;
            out.push_back(r);
        }
        return out;
    }
    // Sets a route by its two clicks and lets the switches settle until the start signal opens.
    void SetRoute(unsigned from, unsigned to, unsigned mode)
    {
        Send(Format("2 5 %u %u", from, mode));
        Send(Format("2 5 %u %u", to, mode));
        for (int i = 0; i < 5 && ec.IsRouteGroupe(); ++i) Tick();
    }
    TEC_Signal1* Signal(int n) { return AsSignal(ec.Vertexes.Find(n)); }
    TEC_Switch1* Switch(int n) { return AsSwitch(ec.Vertexes.Find(n)); }
    TEC_Section1* Section(int n) { return ec.Sections.Find(n); }

    TEC_Model ec;
    TDelayModel delay;
    TFakePlan plan;
    TScriptedReceiver panel, instructor;
    TBusRouter bus;
    std::vector<std::string> events;
    std::string reply;
    double t = 0;
    size_t own = 0;
};

using Msgs = std::vector<std::string>;
