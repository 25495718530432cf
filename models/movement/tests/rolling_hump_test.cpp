// A host for the hump rolling model: the sample station's plan (its hump profile and retarders) and
// technology model (cars.dat, the composition sostav1.txt: 2 gondolas | 1 tank | 2 flat cars), the
// rolling model on receiver 9 and a weather responder on receiver 5.
//
//  (21)-[221]-<151-[60]-#1001-[61 -10‰ 150 m]-<145-[62 20 m]-#1002-[63 +40‰ 40 m, КЗ-5]-#1003-[64 ВЗПГ-3]-(51)-[252]-(52)-[71 1С]
//                                          the train ======>  crest                                       |            `-[72 2С]
//                                                                                                          `-[253]-(53)-[73 3С]
//
// The train stands with its front axle 10 m before the crest and is pushed east at 1.5 m/s; each
// cut breaks away at its break point and rolls through the retarders into the sorting park. The
// hump retarder brakes each cut harder than the one before, so that they come to rest one behind
// the other on 1С. The sections from 221 to 1С start at these metres of the way (switches 51 and
// 52 lie to 1С).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "models/technology/TecnModel.h"
#include "platform/core/Exception.h"
#include "rolling_fixture.h"

using namespace rollingtest;

namespace {

struct TEvent {
    int code = 0;
    double time = 0;
    int object = 0;
    std::string text;
    int section = 0;  // under the object's front when the event came
};

// What one cut did.
struct TCutRun {
    double vMax = 0, vMaxOn63 = 0, vInto64 = -1, vInto71 = -1, stopAt = 0;
    int stopSection = 0;
    bool stopped = false;
};

const std::map<int, double> kWayStart{{221, 0}, {60, 40}, {61, 140}, {62, 290}, {63, 310}, {64, 350}, {252, 400}, {71, 430}};

} // namespace

class RollingHump : public testing::Test {
protected:
    void SetUp() override
    {
        fs::path data = fs::path(VELO_SOURCE_DIR) / "station" / "data";
        if (!fs::exists(data / "plan.dat")) GTEST_SKIP() << "no sample station";
        dir = std::make_unique<TScratchDir>(data);
        plan.SetName("PlanModel");
        plan.FileName = "data\\plan.dat";
        tecn.SetName("TecnModel");
        tecn.FileName = "DATA\\Tecnology.dat";
        rolling.SetName("RollingModel");
        bus.Attach(brPlan, &plan);
        bus.Attach(brTecn, &tecn);
        bus.Attach(9, &rolling);
        bus.SetReceiver(5, [](std::string& m, TlstParams* l) { return Weather(m, l); });
        bus.SetReceiver(brInterface, [](std::string&, TlstParams*) { return 1; });
        bus.SetReceiver(brInstructor, [this](std::string& m, TlstParams*) {
            errors.push_back(NormalizeBlanks(m));
            return 1;
        });
        bus.recording = false;
        plan.OnChangeState = [this](TModel*, AnsiString m) {
            TEvent e;
            char text[200] = "";
            SScanf(m.c_str(), "%d%lf%d %199[^\n]", &e.code, &e.time, &e.object, text);
            e.text = text;
            if (TRM_Object* o = plan.FindObject(e.object))
                if (TRM_Section* s = o->EndSection(0)) e.section = s->Number;
            events.push_back(e);
        };
        plan.Init();
        tecn.Init();
        rolling.Init();
        rolling.PlanModel = &plan;
    }
    void TearDown() override { dir.reset(); }

    std::string Ask(const std::string& text, int expected = 1)
    {
        std::string mes = text;
        EXPECT_EQ(bus.Send(mes), expected) << text;
        return mes;
    }
    double Param(int object, int name) { return AtofC(Ask(Format("3 4 %d %d", object, name)).c_str()); }

    std::unique_ptr<TScratchDir> dir;
    TPlanModel plan;
    TTecnModel tecn;
    TRollingModel rolling;
    TBusRouter bus;
    std::vector<TEvent> events;
    std::vector<std::string> errors;
};

TEST_F(RollingHump, TrainBreaksUpCutByCutIntoTheSortingPark)
{
    // A stale trace is replaced at the first distance step.
    std::ofstream("svt") << "stale\n";

    int first = std::atoi(Ask("3 14 data\\sostav1.txt").c_str());
    ASSERT_GT(first, 0);
    const int cut1 = first, cut2 = first + 2, cut3 = first + 3;
    Ask(Format("3 5 %d 1024 2", cut1));
    Ask(Format("3 5 %d 1024 1", cut2));
    Ask(Format("3 5 %d 1024 2", cut3));
    Ask(Format("1 6 62 %d 10 0", cut1));
    Ask(Format("3 5 %d 1003 3 2002 1.5 2015 0", cut1));
    ASSERT_EQ(Ask(Format("9 4 %d", cut1)), Format("9 4 %d", cut1));  // answers by its result only
    const double firstBreak = Param(cut1, 2017);
    EXPECT_GT(firstBreak, 0);
    EXPECT_LT(firstBreak, 34);
    // The park retarders bring the cuts to rest on the sorting track; the fan stays as it is (its
    // switches count as occupied while any track behind them is), so every cut runs to 1С.
    Ask("1 33 3 3");
    for (int sw : {51, 52, 53}) Ask(Format("1 37 %d 1", sw));
    // The default report distance of 1 m: the cuts, faster than that, keep pace with the clock.

    double t = 0;
    // After every step: no car body inside another, and no rolling cut behind the clock.
    auto check = [&]() {
        std::vector<std::pair<double, double>> bodies;  // front and rear along the way
        for (auto* n = plan.Objects.First(); n; n = n->next) {
            TRM_Object* o = &n->value;
            TRM_Section* s = o->Removed ? nullptr : o->EndSection(0);
            if (!s || !kWayStart.count(s->Number)) continue;
            double front = kWayStart.at(s->Number) + s->Length - o->Position(0) + o->EndOffset(0);
            bodies.push_back({front, front - o->FullLength});
            if (Param(o->Number, 1003) == 2 && Param(o->Number, 2002) > 0) {
                EXPECT_NEAR(Param(o->Number, 2016), t, 1e-3) << "cut " << o->Number;
            }
        }
        std::sort(bodies.begin(), bodies.end());
        for (size_t k = 1; k < bodies.size(); ++k)
            EXPECT_GT(bodies[k].second - bodies[k - 1].first, -1e-3) << "bodies into each other after " << t << " s";
    };
    auto allStopped = [&]() {
        int n = 0;
        for (const TEvent& e : events) n += e.code == 12;
        return n >= 3;
    };
    // The hump retarder is set for each cut as it breaks away, harder for each, so that each
    // comes to rest short of the one before it.
    const std::map<int, int> braking{{cut1, 6}, {cut2, 10}, {cut3, 14}};
    size_t seen = 0;
    for (int i = 0; i < 900 && !allStopped(); ++i) {
        t += 1;
        plan.Process(static_cast<float>(t));
        tecn.Process(static_cast<float>(t));
        rolling.Process(static_cast<float>(t));
        for (; seen < events.size(); ++seen)
            if (events[seen].code == 10 && braking.count(events[seen].object))
                Ask(Format("1 33 1 %d", braking.at(events[seen].object)));
        check();
        if (HasFailure()) break;
    }
    ASSERT_TRUE(allStopped()) << "after " << t << " s";

    // Break points: one per cut, the rest each time with a new one.
    std::vector<int> broke;
    for (const TEvent& e : events)
        if (e.code == 10) {
            broke.push_back(e.object);
            double at = 0, v = 0;
            SScanf(e.text.c_str(), "%lf%lf", &at, &v);
            EXPECT_NEAR(v, 1.5, 1e-6) << "pushing speed at the break point of " << e.object;
            EXPECT_GT(at, -40) << e.object;
            EXPECT_LT(at, 40) << e.object;
            EXPECT_EQ(e.section, 63) << "object " << e.object << " breaks away on the crest";
        }
    EXPECT_EQ(broke, (std::vector<int>{cut1, cut2, cut3}));

    std::map<int, TCutRun> runs;
    for (const TEvent& e : events) {
        if (e.code != 6 && e.code != 12) continue;
        double s = 0, v = 0, time = 0;
        ASSERT_EQ(SScanf(e.text.c_str(), "%lf%lf%lf", &s, &v, &time), 3) << e.text;
        ASSERT_TRUE(FiniteNumbers(e.text)) << e.text;
        TCutRun& r = runs[e.object];
        r.vMax = std::max(r.vMax, v);
        if (e.section == 63) r.vMaxOn63 = std::max(r.vMaxOn63, v);
        if (e.section == 64 && r.vInto64 < 0) r.vInto64 = v;
        if (e.section >= 71 && e.section <= 74 && r.vInto71 < 0) r.vInto71 = v;
        if (e.code == 12) {
            r.stopped = true;
            r.stopAt = s;
            r.stopSection = e.section;
        }
    }
    double behind = -1;  // free length ahead of the previous cut's rear on 1С
    for (int c : {cut1, cut2, cut3}) {
        const TCutRun& r = runs[c];
        EXPECT_TRUE(r.stopped) << c;
        EXPECT_EQ(r.stopSection, 71) << "cut " << c;
        TRM_Object* o = plan.FindObject(c);
        ASSERT_NE(o, nullptr);
        EXPECT_GT(o->Position(0) - o->EndOffset(0), behind) << "cut " << c << " runs into the one before it";
        behind = o->Position(0) + o->Length() + o->EndOffset(1);
        EXPECT_EQ(Param(c, 1003), 0) << c;
        EXPECT_EQ(Param(c, 2015), -99999) << c;
        // A real hump: some 4-7 m/s below the crest, slower after the retarder, at rest within the track.
        EXPECT_GT(r.vMax, 3.5) << c;
        EXPECT_LT(r.vMax, 8) << c;
        EXPECT_GT(r.vInto64, 1) << c;
        EXPECT_LT(r.vInto64, r.vMax + 1e-9) << c;
        EXPECT_GT(r.stopAt, 150) << c;
        EXPECT_LT(r.stopAt, 90 + 30 + 700) << c;
        std::cout << "cut " << c << ": crest 1.5 m/s, top speed " << r.vMax << " m/s (on 63: " << r.vMaxOn63
                  << "), entering 64 " << r.vInto64 << " m/s, entering the track " << r.vInto71 << " m/s, at rest after "
                  << r.stopAt << " m on " << r.stopSection << "\n";
    }
    EXPECT_TRUE(errors.empty()) << errors.front();

    std::vector<std::string> lines = TraceLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.front(), "stale");
    double run = 0;
    for (const auto& [c, r] : runs) run += r.stopAt;
    EXPECT_GE(static_cast<double>(lines.size()), run);  // at least one step per report distance
    for (const std::string& l : lines) ASSERT_TRUE(FiniteNumbers(l)) << l;
}

// A train is pushed over the hump (its break point set out of reach) towards a second train that
// stands on the retarder sections 63-64, as a cut stopped there by an extreme retarder setting
// would. It is pushed up to it; the push cannot go on, so it ends: the train stands with no
// speed, and event 17 (distance run, pushing speed, the train in the way) says why.
TEST_F(RollingHump, APushBlockedByATrainStandingOnTheHumpEnds)
{
    const int pushed = std::atoi(Ask("3 14 data\\sostav1.txt").c_str());
    const int standing = std::atoi(Ask("3 14 data\\sostav1.txt").c_str());
    ASSERT_GT(pushed, 0);
    ASSERT_GT(standing, pushed);
    Ask(Format("1 6 64 %d 0 0", standing));
    Ask(Format("1 6 62 %d 10 0", pushed));
    Ask(Format("3 5 %d 1003 3 2002 1.5 2015 0 2017 1000", pushed));
    double t = 0;
    for (int i = 0; i < 60 && Param(pushed, 1003) == 3; ++i) {
        t += 1;
        plan.Process(static_cast<float>(t));
        tecn.Process(static_cast<float>(t));
        rolling.Process(static_cast<float>(t));
    }
    EXPECT_EQ(Param(pushed, 1003), 0);
    EXPECT_EQ(Param(pushed, 2002), 0);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().code, 17);
    EXPECT_EQ(events.back().object, pushed);
    EXPECT_NE(events.back().text.find(Format(" %d", standing)), std::string::npos) << events.back().text;
    // Op 14: the gap between the bodies.
    const double gap = AtofC(Ask(Format("1 14 %d %d", standing, pushed)).c_str());
    EXPECT_GE(gap, -1e-6);
    EXPECT_LE(gap, 0.01);
    EXPECT_EQ(errors, std::vector<std::string>{});
}
