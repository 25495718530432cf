// The signal movement model on a straight track: the real plan model, a technology model that
// keeps object parameters in a table and an interlocking that answers signal states, all on the
// bus. One tick is one model second.
//
//   1001            101                           202
//    o------1-------|>-------------2--------------o      1: 500 m, 2: 3000 m (dead end at 202)
//                   signal 101 faces direction 0
//
// Object 1 is a locomotive 20 m long, its front 100 m before signal 101.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "models/movement/SignalMoveModel.h"
#include "models/plan/tests/plan_contract.h"

using namespace plantest;

namespace {

const char* const kTrack = "2 1 1001 101 500 A 0 1 0\n"
                           "2 2 101 202 3000 B 0 0 0\n"
                           "3 101 0\n";

struct TMoveBus {
    explicit TMoveBus(const std::string& plan = kTrack) : p(plan)
    {
        p.bus.router.SetReceiver(brInterface, [this](std::string& m, TlstParams*) {
            interface.push_back(NormalizeBlanks(m));
            return 1;
        });
        model.PlanModel = &p.bus.model;
        p.bus.router.Connect(&model);
        model.Init();
        p.ec.states[101] = 2;
        Loco(1, 1, 100);
    }
    // A locomotive with the technology defaults, laid with its front pos metres before the end
    // of section, set going.
    void Loco(int number, int section, double pos)
    {
        p.tecn.Add(number, 20);
        for (auto [n, v] : {std::pair{"2003", "0.2"}, {"2004", "-0.5"}, {"2002", "0"}, {"2005", "22.2"},
                            {"2015", "0"}, {"1010", "0"}, {"2016", "0"}, {"1003", "1"}})
            p.tecn.Set(number, n, v);
        p.Ask(Format("1 6 %d %d %f 0", section, number, pos));
    }
    void Tick()
    {
        t += 1;
        p.bus.model.Process(static_cast<float>(t));
        model.Process(static_cast<float>(t));
    }
    // Ticks until an event with this code (at most n ticks); false when none came.
    bool RunUntil(int code, int n = 400)
    {
        for (int i = 0; i < n; ++i) {
            size_t from = p.events.size();
            Tick();
            for (size_t e = from; e < p.events.size(); ++e)
                if (Code(p.events[e]) == code) return true;
        }
        return false;
    }
    static int Code(const std::string& event) { return std::atoi(event.c_str()); }
    std::vector<std::string> Events(int code) const
    {
        std::vector<std::string> out;
        for (auto& e : p.events)
            if (Code(e) == code) out.push_back(e);
        return out;
    }
    // The requests to a receiver from the log's position from on, whoever sent them.
    std::vector<std::string> Sent(int receiver, size_t from) const
    {
        std::vector<std::string> out;
        const auto& log = p.bus.router.log;
        for (size_t i = from; i < log.size(); ++i)
            if (std::atoi(log[i].request.c_str()) == receiver) out.push_back(NormalizeBlanks(log[i].request));
        return out;
    }
    double Param(int number, const char* name) { return AtofC(p.tecn.objects[number].params[name].c_str()); }
    // The free distance the plan reports ahead of the object ("1 10").
    double FreeAhead(int number, int dir = 0)
    {
        std::string r = p.Ask(Format("1 10 %d %d", number, dir));
        return AtofC(r.substr(2).c_str());
    }

    TPlanContract p;
    TSignalMoveModel model;
    std::vector<std::string> interface;
    double t = 0;
};

} // namespace

TEST(SignalMove, AcceleratesBrakesForAClosedSignalAndStartsWhenItOpens)
{
    // A deceleration that is not a braking one reads as the default.
    for (const char* b : {"-0.5", "0", "0.3"}) {
        SCOPED_TRACE(b);
        TMoveBus m;
        m.p.tecn.Set(1, "2004", b);
        m.Tick();
        EXPECT_EQ(m.p.events, (std::vector<std::string>{"7 1.000 1 0.000000 0.000000"}));
        EXPECT_FLOAT_EQ(m.Param(1, "2002"), 0.2f);
        for (int i = 2; i <= 5; ++i) {
            m.Tick();
            EXPECT_NEAR(m.Param(1, "2002"), 0.2 * i, 1e-4);
        }
        ASSERT_TRUE(m.RunUntil(9));
        EXPECT_EQ(m.Events(9).back().substr(m.Events(9).back().rfind(' ')), " 101");
        EXPECT_LE(m.FreeAhead(1), 0.4);
        EXPECT_EQ(m.p.tecn.objects[1].params["1014"], "101");
        EXPECT_EQ(m.p.Placed(1).substr(0, 2), "1:");
        // It waits at the signal, still set going, with a report every 10 s and no second stop.
        for (int i = 0; i < 30; ++i) m.Tick();
        EXPECT_EQ(m.Events(9).size(), 1u);
        EXPECT_EQ(m.Param(1, "1003"), 1);
        EXPECT_EQ(m.p.Placed(1).substr(0, 2), "1:");
        for (auto& e : m.Events(6)) {
            double at = AtofC(e.substr(2).c_str());
            EXPECT_EQ(std::fmod(at, 10.0), 0.0) << e;
        }
        EXPECT_GE(m.Events(6).size(), 3u);
        // The route opens: it starts again and runs to the dead end.
        m.p.ec.states[101] = 0;
        size_t starts = m.Events(7).size();
        m.Tick();
        EXPECT_EQ(m.Events(7).size(), starts + 1);
        ASSERT_TRUE(m.RunUntil(8, 1000));
        EXPECT_LE(m.FreeAhead(1), 0.4);
        EXPECT_EQ(m.Param(1, "1003"), 0);
        EXPECT_EQ(m.Param(1, "2002"), 0);
        // A stopped object is only asked for its run state.
        size_t mark = m.p.Mark();
        m.Tick();
        EXPECT_EQ(m.Sent(brTecn, mark), (std::vector<std::string>{"3 4 1 1003"}));
    }
}

// Whatever the mode (1005: 1 trains from prepared messages, 2 past prohibiting signals), the
// mover stops behind a standing object and never runs into it. The plan's distance to the object
// ahead is between outer axles; the bodies reach 2 m beyond them at both ends of both
// locomotives: it stops with a gap between the bodies.
TEST(SignalMove, BrakesForTheBodyOfTheObjectAheadInEveryMode)
{
    for (const char* mode : {"0", "1", "2"}) {
        SCOPED_TRACE(mode);
        TMoveBus m;
        m.p.ec.states[101] = 0;
        m.Loco(2, 2, 2900);  // standing 100 m beyond signal 101
        m.p.tecn.Set(2, "1003", "0");
        m.p.tecn.Set(1, "1005", mode);
        for (int n : {1, 2}) {
            m.p.tecn.Set(n, "AXIS0001", "2");
            m.p.tecn.Set(n, "AXISLAST", "18");
            ASSERT_EQ(m.p.Ask(Format("1 34 %d 0", n)).substr(0, 2), "1|");
        }
        ASSERT_TRUE(m.RunUntil(8, 1000));
        EXPECT_EQ(m.p.Ask("1 11 1 0").substr(0, 4), "1|2 ");
        EXPECT_EQ(m.Param(1, "1003"), 0);
        EXPECT_TRUE(m.Events(9).empty());
        // Op 14: the gap between the bodies of 2 (ahead) and 1.
        const double gap = AtofC(m.p.Ask("1 14 2 1").substr(2).c_str());
        EXPECT_GT(gap, 0.005);
        EXPECT_LE(gap, 0.41);
        std::printf("body gap at the stop behind a standing locomotive: %.3f m\n", gap);
    }
}

TEST(SignalMove, BackwardsAndOtherRunStates)
{
    TMoveBus m;
    m.p.tecn.Set(1, "1003", "-1");
    size_t mark = m.p.Mark();
    m.Tick();
    auto sent = m.Sent(brPlan, mark);
    EXPECT_NE(std::find(sent.begin(), sent.end(), "1 10 1 1"), sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "1 11 1 1"), sent.end());
    ASSERT_TRUE(m.RunUntil(8, 1000));
    EXPECT_LE(m.FreeAhead(1, 1), 0.4);
    std::string placed = m.p.Placed(1);
    for (const char* state : {"0", "2"}) {
        m.p.tecn.Set(1, "1003", state);
        m.p.tecn.Set(1, "2002", "5");
        m.Tick();
        EXPECT_EQ(m.p.Placed(1), placed);
    }
}

TEST(SignalMove, HeldByBrakeShoesStaysAndStops)
{
    TMoveBus m;
    m.p.ec.states[101] = 0;
    m.p.tecn.Set(1, "1010", "1");
    std::string placed = m.p.Placed(1);
    size_t mark = m.p.Mark();
    m.Tick();
    EXPECT_EQ(m.p.Placed(1), placed);
    EXPECT_EQ(m.interface, (std::vector<std::string>{"4 10"}));
    EXPECT_EQ(m.Param(1, "1003"), 0);
    EXPECT_EQ(m.Param(1, "2002"), 0);
    mark = m.p.Mark();
    m.Tick();
    EXPECT_EQ(m.Sent(brTecn, mark), (std::vector<std::string>{"3 4 1 1003"}));
}

// Above its maximum speed it slows down to it; below, it accelerates to it and holds it.
TEST(SignalMove, NeverAboveItsMaximumSpeed)
{
    TMoveBus m;
    m.p.ec.states[101] = 0;
    m.p.tecn.Set(1, "2002", "25");
    m.Tick();
    EXPECT_TRUE(m.Events(7).empty());
    for (float v = 24.5f; v > 22.2f; v -= 0.5f) {
        EXPECT_NEAR(m.Param(1, "2002"), v, 1e-4);
        m.Tick();
    }
    EXPECT_LE(m.Param(1, "2002"), 22.2 + 1e-4);
    // Accelerating, it reaches its maximum and holds it.
    m.p.tecn.Set(1, "2005", "16.7");
    m.p.tecn.Set(1, "2002", "16.6");
    double top = 0;
    for (int i = 0; i < 60; ++i) {
        m.Tick();
        top = std::max(top, m.Param(1, "2002"));
    }
    EXPECT_LE(top, 16.7 + 1e-4);
    EXPECT_NEAR(m.Param(1, "2002"), 16.7, 1e-4);
}

// Mode 1 (a train from prepared messages) sees past open signal 101 to signal 102 closed 100 m
// beyond it, and brakes for it in time from 13 m/s, never faster than its deceleration.
//
//   1001            101             102                         202
//    o------1-------|>------2-------|>-------------3------------o     2: 100 m
TEST(SignalMove, LooksPastAnOpenSignalToTheFirstClosedOne)
{
    TMoveBus m("2 1 1001 101 500 A 0 1 0\n"
               "2 2 101 102 100 B 0 0 0\n"
               "2 3 102 202 3000 C 0 0 0\n"
               "3 101 0\n"
               "3 102 0\n");
    m.p.ec.states[101] = 0;
    m.p.ec.states[102] = 2;
    m.p.tecn.Set(1, "1005", "1");
    m.p.tecn.Set(1, "2002", "13");
    double before = 13;
    for (int i = 0; i < 200 && m.Events(9).empty(); ++i) {
        m.Tick();
        EXPECT_GE(m.Param(1, "2002"), before - 0.5 - 1e-4) << "at " << m.t;
        before = m.Param(1, "2002");
    }
    ASSERT_EQ(m.Events(9).size(), 1u);
    EXPECT_EQ(m.Events(9).back().substr(m.Events(9).back().rfind(' ')), " 102");
    EXPECT_LE(m.FreeAhead(1), 0.4);
    EXPECT_TRUE(m.Sent(brInstructor, 0).empty());
}

// Signal 101 closes in front of a locomotive running at 20 m/s, front 480, 280 or 80 m before it.
// The service braking (0.5 m/s²) stops it at the signal from 480 m; from 280 m only the emergency
// rate (1.2 m/s², 166.7 m from 20 m/s) stops it, short of the signal; from 80 m it stops beyond
// the signal, its order ended. The last two are the trainee's error 25, once.
TEST(SignalMove, ASignalClosedInFrontBrakesAtTheEmergencyRate)
{
    struct TCase {
        int before;
        bool error, past;
        double rate = 1.2;  // the emergency deceleration; other than 1.2 given as parameter 2006
    };
    std::string track = kTrack;
    track.replace(track.find(" 500 A"), 6, " 1000 A");
    for (TCase c : {TCase{500, false, false}, TCase{300, true, false}, TCase{100, true, true}, TCase{100, true, true, 2}}) {
        SCOPED_TRACE(c.before);
        TMoveBus m(track);
        m.p.ec.states[101] = 0;
        ASSERT_EQ(m.p.Ask(Format("1 6 1 1 %d 0", c.before)).substr(0, 2), "1|");
        m.p.tecn.Set(1, "2005", "20");
        m.p.tecn.Set(1, "2002", "20");
        if (c.rate != 1.2) m.p.tecn.Set(1, "2006", Format("%f", -c.rate));
        m.Tick();
        m.p.ec.states[101] = 2;
        const double closedAt = m.Param(1, "2015");
        double before = m.Param(1, "2002"), hardest = 0;
        for (int i = 0; i < 100 && m.Events(9).empty(); ++i) {
            m.Tick();
            hardest = std::max(hardest, before - m.Param(1, "2002"));
            before = m.Param(1, "2002");
        }
        ASSERT_EQ(m.Events(9).size(), 1u);
        EXPECT_EQ(m.Events(9).back().substr(m.Events(9).back().rfind(' ')), " 101");
        EXPECT_LE(hardest, c.rate + 1e-3);
        const double run = m.Param(1, "2015") - closedAt;
        EXPECT_EQ(m.Param(1, "1003"), c.past ? 0 : 1);
        EXPECT_EQ(m.Sent(brInstructor, 0), c.error ? std::vector<std::string>{"0 4 25 101 1"} : std::vector<std::string>{});
        if (c.error) {
            EXPECT_NEAR(run, 20.0 * 20.0 / 2 / c.rate, 0.5);
            std::printf("emergency stop from 20 m/s at %.1f m/s²: %.2f m\n", c.rate, run);
        } else {
            EXPECT_LE(m.FreeAhead(1), 0.4);
        }
    }
}

// A section's exit function takes the object off the plan while it moves: its step ends there,
// and the next object of the list still gets its own step.
TEST(SignalMove, AnObjectRemovedByItsOwnMoveEndsItsStep)
{
    TMoveBus m(std::string(kTrack) + "8 1 (COM 1 7 (OBJ))\n");
    m.p.ec.states[101] = 0;
    m.Loco(2, 1, 300);
    m.p.tecn.Set(1, "2002", "20");
    m.p.tecn.Set(1, "2004", "-5");
    ASSERT_NE(m.p.bus.model.FindObject(1), nullptr);
    for (int i = 0; i < 30 && m.p.bus.model.FindObject(1); ++i) m.Tick();
    EXPECT_EQ(m.p.bus.model.FindObject(1), nullptr);
    double v2 = m.Param(2, "2002");
    m.Tick();
    EXPECT_GT(m.Param(2, "2002"), v2);
}
