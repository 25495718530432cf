// The hump rolling model on a plan with an analytic profile:
//
//   1000 (-10‰, rising)              1001 (+8‰, falling)
//    #--------[1] 100 m----------------#--------[2] 400 m, retarder 1 (Т-50)--------| 300
//                                  direction 0 ->
//
// One cut (object 1): 12 m long, axles 1 m and 11 m behind its front, equal loads; reduced
// gravity factor 0.01, basic resistance 2 N/kN, no wind. On section 2 alone the net force is
// 8 - 2 = 6 N/kN; with one axle on each side (8 - 10) / 2 - 2 = -3; on section 1 -12.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "models/base/Utilit.h"
#include "platform/core/Exception.h"
#include "rolling_fixture.h"

using namespace rollingtest;

namespace {

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> out;
    std::string w;
    for (char c : text + " ") {
        if (c == ' ' || c == '\t') {
            if (!w.empty()) out.push_back(w);
            w.clear();
        } else {
            w += c;
        }
    }
    return out;
}

const char* const kPlan =
    "6 1000 0 -10\n"
    "6 1001 0 8\n"
    "2 1 1000 1001 100 - 0 0 0\n"
    "2 2 1001 300 400 - 0 0 0\n"
    "5 1 Т-50 1 2\n";
const char* const kBreakers = "0\n1\n1\nТ-50\n2\n0.8\n10\n12.0\n0\n";

const double kFactor = 0.01, kResist = 2;

// The technology model's part for one cut: parameters by name, commands 4, 5, 15, 16; the split
// (17) is refused, as for a train of one cut, unless a rest is named. Every request goes into the shared sequence.
class TFakeTecn {
public:
    explicit TFakeTecn(std::vector<std::string>& log) : seq(log) {}
    std::map<int, std::map<std::string, double>> obj;
    int splitReply = 0;  // the rest's number command 17 answers; 0 refuses the split

    int operator()(std::string& mes, TlstParams* list)
    {
        std::vector<std::string> w = Words(mes);
        std::string line = NormalizeBlanks(mes);
        if (list && w.size() > 1 && w[1] == "5") {
            for (auto* n = list->First(); n; n = n->next) line += Format(" {%s %s}", n->value.name.c_str(), VarToStr(n->value.value).c_str());
        }
        seq.push_back(line);
        if (w.size() < 3) return 0;
        int cmd = std::atoi(w[1].c_str()), number = std::atoi(w[2].c_str());
        if (!obj.count(number)) return 0;
        auto& p = obj[number];
        switch (cmd) {
        case 4: {
            std::string reply;
            if (list) list->Clear();
            for (size_t i = 3; i < w.size(); ++i) {
                if (!p.count(w[i])) return 0;
                reply += Format("%.10g ", p[w[i]]);
                if (list) list->Append(TObjParam(w[i], TObjParam::SetFromDouble(w[i], p[w[i]])));
            }
            if (w.size() == 3) return 0;
            mes = reply;
            return 1;
        }
        case 5:
            if (list) {
                for (auto* n = list->First(); n; n = n->next) p[n->value.name] = VarToDouble(n->value.value);
                return list->First() ? 1 : 0;
            }
            for (size_t i = 3; i + 1 < w.size(); i += 2) p[w[i]] = std::atof(w[i + 1].c_str());
            return w.size() > 4;
        case 15: {
            if (!list) return 0;
            list->Clear();
            const double mass = 60;
            list->Append(TObjParam("2014", mass / 2));
            list->Append(TObjParam("1022", 1));
            list->Append(TObjParam("1023", 0));
            list->Append(TObjParam("-1", 1.0));
            list->Append(TObjParam("-2", 11.0));
            list->Append(TObjParam("2009", kFactor));
            list->Append(TObjParam("2011", mass));
            list->Append(TObjParam("2010", 12.0));
            list->Append(TObjParam("2013", kResist));
            list->Append(TObjParam("2012", 0.0));
            list->Append(TObjParam("1020", 2));
            for (const char* n : {"2002", "2015", "2016", "2017"}) list->Append(TObjParam(n, p[n]));
            return 1;
        }
        case 16:
            if (!list) return 0;
            list->Clear();
            list->Append(TObjParam("2012", 0.0));
            mes = "0.000000";
            return 1;
        case 17:
            if (!splitReply) return 0;
            mes = Format("%d", splitReply);
            return 1;
        default:
            return 0;
        }
    }

private:
    std::vector<std::string>& seq;
};

} // namespace

class RollingFixture : public testing::Test {
protected:
    void SetUp() override
    {
        dir = std::make_unique<TScratchDir>();
        WriteCp1251("data/plan.dat", kPlan);
        WriteCp1251("data/breakers.dat", kBreakers);
        plan.SetName("PlanModel");
        plan.FileName = "data\\plan.dat";
        bus.Attach(brPlan, &plan);
        bus.Attach(9, &rolling);
        bus.SetReceiver(brTecn, [this](std::string& m, TlstParams* l) {
            bool split = m.rfind("3 17", 0) == 0;
            int handled = tecn(m, l);
            if (split && handled && restAt > 0) {
                // The rest, as long as the cut, goes onto section 1 as the plan would lay it.
                tecn.obj[tecn.splitReply] = tecn.obj[1];
                std::string mes = Format("1 6 1 %d %f 0", tecn.splitReply, restAt);
                bus.Send(mes);
            }
            return handled;
        });
        bus.SetReceiver(5, [this](std::string& m, TlstParams* l) {
            if (weatherFails) throw Exception("погода");
            return Weather(m, l, 20, 0, -10);
        });
        bus.SetReceiver(brInterface, [this](std::string& m, TlstParams*) {
            seq.push_back(NormalizeBlanks(m));
            if (NormalizeBlanks(m) == "4 4") {
                if (!clockAnswers) return 0;
                m = "250";
                if (weatherFailsLater) weatherFails = true;
            }
            return 1;
        });
        plan.OnChangeState = [this](TModel*, AnsiString m) { seq.push_back("event " + m); };
        plan.Init();
        rolling.Init();
        rolling.PlanModel = &plan;
    }
    void TearDown() override { dir.reset(); }

    // Places the cut with its first axle `ahead` metres before the east end of `section`.
    TRM_Object* Place(int section, double ahead, const std::map<std::string, double>& params)
    {
        auto& p = tecn.obj[1];
        p = {{"2018", 12}, {"AXIS0001", 1}, {"AXISLAST", 11}, {"1003", 0}, {"1024", 1},
             {"2002", 0}, {"2015", 0}, {"2016", 0}, {"2017", 99999}};
        for (const auto& [k, v] : params) p[k] = v;
        EXPECT_EQ(Send(Format("1 6 %d 1 %f 0", section, ahead)), 1);
        seq.clear();
        return plan.FindObject(1);
    }
    int Send(const std::string& text)
    {
        std::string mes = text;
        return bus.Send(mes);
    }
    void Tick(double dt)
    {
        t += dt;
        plan.Process(static_cast<float>(t));
        rolling.Process(static_cast<float>(t));
    }
    // Position of the first entry that starts with prefix; -1 when none.
    int Index(const std::string& prefix, int from = 0) const
    {
        for (size_t i = static_cast<size_t>(from); i < seq.size(); ++i)
            if (seq[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        return -1;
    }
    int Count(const std::string& prefix) const
    {
        return static_cast<int>(std::count_if(seq.begin(), seq.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; }));
    }
    double Param(const char* name) { return tecn.obj[1][name]; }

    std::unique_ptr<TScratchDir> dir;
    std::vector<std::string> seq;
    TFakeTecn tecn{seq};
    TPlanModel plan;
    TRollingModel rolling;
    TBusRouter bus;
    bool clockAnswers = true, weatherFails = false, weatherFailsLater = false;
    double restAt = 0;  // where a split lays its rest on section 1 (m before its end); 0: nowhere
    double t = 0;
};

// dv/ds = a/v on a constant grade: v = sqrt(v0² + 2as), t = 2s/(v0 + v); over time v = v0 + at.
TEST_F(RollingFixture, RungeKuttaStepsMatchTheClosedFormOnAConstantGrade)
{
    TRM_Object* o = Place(2, 300, {{"2002", 2}});
    ASSERT_NE(o, nullptr);
    o->Params.Clear();
    std::string mes = "3 15 1";
    ASSERT_EQ(o->SendMessage(mes, &o->Params), 1);
    TRollingParam r;
    rolling.FillRollingParam(r, o);
    const double a = kFactor * (8 - kResist), v0 = 2;
    r.ds = 1;
    for (int i = 1; i <= 20; ++i) {
        r = rolling.RollDistanceStep(o, &o->Params, r);
        double v = std::sqrt(v0 * v0 + 2 * a * i);
        EXPECT_NEAR(r.v, v, 1e-9) << "after " << i << " m";
        EXPECT_NEAR(r.t, (v - v0) / a, 1e-9) << "after " << i << " m";
    }
    EXPECT_DOUBLE_EQ(r.s, 20);
    std::vector<std::string> lines = TraceLines();
    ASSERT_EQ(lines.size(), 20u);  // one line per distance step
    EXPECT_EQ(lines[0], "8.000000 0.000000 0.000000 0.000000");

    TRollingParam q;
    rolling.FillRollingParam(q, o);
    q.h = 1.5;
    q = rolling.RollTimeStep(o, &o->Params, q);
    EXPECT_NEAR(q.v, v0 + a * 1.5, 1e-12);
    EXPECT_NEAR(q.ds, v0 * 1.5 + a * 1.5 * 1.5 / 2, 1e-12);
    EXPECT_NEAR(q.t, 1.5, 1e-12);
}

// Command 4 finds the point where the net force turns positive: when the rear axle passes 1001,
// 10 m after the front axle. Pushing then reaches it exactly without a split, and the next step
// splits; the technology refuses (one cut), so the train rolls on whole.
TEST_F(RollingFixture, BreakPointPushingAndARefusedSplit)
{
    Place(1, 4, {{"1003", 3}, {"2002", 1}});
    ASSERT_EQ(Send("9 4 1"), 1);
    EXPECT_NEAR(Param("2017"), 10, 1e-4);
    EXPECT_DOUBLE_EQ(Param("2015"), -4);
    EXPECT_DOUBLE_EQ(Param("2016"), 0);
    EXPECT_EQ(Send("9 4 2"), 0);  // no such object

    // One metre short of it, placed where pushing from -4 would have brought it.
    tecn.obj[1]["2015"] = Param("2017") - 1;
    ASSERT_EQ(Send(Format("1 8 1 %.6f 0", Param("2017") - 1 + 4)), 1);
    seq.clear();
    Tick(1);
    EXPECT_DOUBLE_EQ(Param("2015"), Param("2017"));
    EXPECT_EQ(Param("1003"), 3);
    EXPECT_EQ(Index("event 10"), -1);

    Tick(1);
    int e10 = Index("event 10"), split = Index("3 17 1 1");
    ASSERT_GE(e10, 0);
    ASSERT_GT(split, e10);
    EXPECT_EQ(Param("1003"), 2);
    EXPECT_GT(Param("2002"), 1);  // rolled on after the refused split, faster than pushed
    EXPECT_LE(Param("2016"), t);
    EXPECT_GT(Param("2015"), Param("2017"));
}

// A split whose rest the plan does not hold (its placement failed): the front cut rolls on alone
// and nothing is sent for the rest.
TEST_F(RollingFixture, SplitWhoseRestIsNotOnThePlan)
{
    Place(1, 4, {{"1003", 3}, {"2002", 1}});
    ASSERT_EQ(Send("9 4 1"), 1);
    tecn.splitReply = 7;
    for (int i = 0; i < 30 && Param("1003") == 3; ++i) Tick(1);
    ASSERT_GE(Index("3 17 1 1"), 0);
    EXPECT_EQ(Count("3 5 7"), 0);
    EXPECT_EQ(Count("3 15 7"), 0);
    EXPECT_EQ(Param("1003"), 2);
    EXPECT_GT(Param("2002"), 1);
}

// The rest of a split train (7, laid 40 m behind) is pushed for the rest of the step by the split,
// and not once more by the same step.
TEST_F(RollingFixture, TheRestOfASplitTrainIsPushedOnceInTheStepOfTheSplit)
{
    Place(1, 4, {{"1003", 3}, {"2002", 1}});
    ASSERT_EQ(Send("9 4 1"), 1);
    tecn.splitReply = 7;
    restAt = 60;
    for (int i = 0; i < 30 && Param("1003") == 3; ++i) {
        seq.clear();
        Tick(1);
    }
    ASSERT_GE(Index("3 17 1 1"), 0);
    ASSERT_GE(Index("3 15 7"), 0);
    EXPECT_EQ(Count("3 5 7 {2015"), 1);
    EXPECT_EQ(tecn.obj[7]["1003"], 3);
}

// A standing cut held by a retarder waits without writes or events; released, it starts with
// event 6 at 0.0001 m/s from the start of that step. A standing cut on the rising grade is set
// to mode 0 without events.
TEST_F(RollingFixture, StandingCutsWaitOnARetarderOrStop)
{
    Place(2, 300, {{"1003", 2}});
    ASSERT_EQ(Send("1 33 1 5"), 1);
    seq.clear();
    Tick(1);
    EXPECT_EQ(Count("3 5"), 0);
    EXPECT_EQ(Count("event"), 0);

    ASSERT_EQ(Send("1 33 1 0"), 1);
    seq.clear();
    Tick(1);
    int start = Index("event 6");
    ASSERT_GE(start, 0);
    EXPECT_NE(seq[static_cast<size_t>(start)].find("0.000000 0.000100 1.000000"), std::string::npos) << seq[static_cast<size_t>(start)];
    EXPECT_GT(Param("2002"), 0);

    Place(1, 50, {{"1003", 2}});
    Tick(1);
    EXPECT_EQ(Count("3 5 1 1003 0"), 1);
    EXPECT_EQ(Count("event"), 0);
    EXPECT_EQ(Param("1003"), 0);
}

// A cut coming to rest where its speed reaches zero, v0² / 2a from where it was (to within the
// integration's error, well below the metre of a report step): [3 5 obj 1003 0],
// event 12, [3 5 obj 2015 -99999]; on a retarder whose grade alone would keep it going, event 6
// comes first.
TEST_F(RollingFixture, StopSequence)
{
    TRM_Object* o = Place(1, 50, {{"1003", 2}, {"2002", 0.5}});
    const double from = o->Position(0);
    Tick(10);
    Tick(10);
    EXPECT_NEAR(from - o->Position(0), 0.5 * 0.5 / (2 * kFactor * (10 + kResist)), 0.01);
    int stop = Index("3 5 1 1003 0"), e12 = Index("event 12"), gone = Index("3 5 1 2015 -99999");
    ASSERT_GE(stop, 1);
    EXPECT_EQ(e12, stop + 1);
    EXPECT_EQ(gone, e12 + 1);
    EXPECT_EQ(Count("event 6"), 1);  // the first whole metre; none at the stop
    EXPECT_EQ(Param("1003"), 0);
    EXPECT_EQ(Param("2015"), -99999);

    Place(2, 300, {{"1003", 2}, {"2002", 0.5}});
    ASSERT_EQ(Send("1 33 1 20"), 1);
    seq.clear();
    Tick(10);
    stop = Index("3 5 1 1003 0");
    ASSERT_GE(stop, 1);
    EXPECT_EQ(seq[static_cast<size_t>(stop - 1)].rfind("event 6", 0), 0u) << seq[static_cast<size_t>(stop - 1)];
    EXPECT_EQ(Index("event 12"), stop + 1);
    EXPECT_EQ(Index("3 5 1 2015 -99999"), stop + 2);
}

// Cut 1 rolls at 3 m/s on section 2 towards cut 2, which stands with its body 18 m ahead (both
// 12 m long, axles 1 m in from the ends):
//
//   ---[1]=====> 3 m/s ...... 18 m ......[2]===---|
//
// It runs into it at sqrt(9 + 2 · 0.06 · 18) m/s, above the coupling limit: event 16 with that
// speed, then it stops against it, the bodies touching. Below the limit there is no event 16.
TEST_F(RollingFixture, ACutThatReachesAStandingOneStopsAgainstIt)
{
    for (double limit : {1.5, 5.0}) {
        ASSERT_TRUE(rolling.SetModelParam("2005", limit));
        TRM_Object* o = Place(2, 300, {{"1003", 2}, {"2002", 3}});
        tecn.obj[2] = tecn.obj[1];
        tecn.obj[2]["2002"] = 0;
        tecn.obj[2]["1003"] = 0;
        ASSERT_EQ(Send("1 6 2 2 270 0"), 1);
        seq.clear();
        for (int i = 0; i < 20 && Param("1003") == 2; ++i) Tick(1);
        EXPECT_EQ(Param("1003"), 0);
        int other = 0;
        double gap = 0;
        ASSERT_TRUE(plan.Nearest(o, 0, other, gap));
        EXPECT_EQ(other, 2);
        EXPECT_NEAR(gap - 2, 0, 1e-3) << "the gap between the bodies";
        int impact = Index("event 16");
        if (limit > 4) {
            EXPECT_EQ(impact, -1);
        } else {
            ASSERT_GE(impact, 0);
            EXPECT_LT(impact, Index("3 5 1 1003 0"));
            double s = 0, v = 0;
            ASSERT_EQ(SScanf(seq[static_cast<size_t>(impact)].c_str(), "event 16 %*f %*d %lf %lf", &s, &v), 2);
            EXPECT_NEAR(v, std::sqrt(9 + 2 * kFactor * (8 - kResist) * 18), 0.01);
        }
        ASSERT_EQ(Send("1 7 2"), 1);
    }
}

// Cut 1 (3 m/s) runs into cut 2 rolling on at 1 m/s with its body 0.5 m ahead: event 16 at the
// difference of their speeds, then cut 1 follows it, both rolling, the bodies never into each
// other.
TEST_F(RollingFixture, ACutThatReachesAMovingOneFollowsIt)
{
    TRM_Object* o = Place(2, 300, {{"1003", 2}, {"2002", 3}});
    tecn.obj[2] = tecn.obj[1];
    tecn.obj[2]["2002"] = 1;
    ASSERT_EQ(Send("1 6 2 2 287.5 0"), 1);
    for (int i = 0; i < 5; ++i) {
        Tick(1);
        int other = 0;
        double gap = 0;
        ASSERT_TRUE(plan.Nearest(o, 0, other, gap));
        EXPECT_GT(gap - 2, -1e-6) << "after " << t << " s";
    }
    ASSERT_EQ(Count("event 16"), 1);
    double v = 0;
    ASSERT_EQ(SScanf(seq[static_cast<size_t>(Index("event 16"))].c_str(), "event 16 %*f %*d %*f %lf", &v), 1);
    EXPECT_NEAR(v, 2, 0.1);
    EXPECT_EQ(Param("1003"), 2);
    EXPECT_EQ(tecn.obj[2]["1003"], 2);
    EXPECT_GT(Param("2002"), 1);
}

// A train pushed at 1 m/s towards a cut standing with its body 5 m ahead (the break point far
// off) is pushed up to it and no further.
TEST_F(RollingFixture, APushedTrainStopsAtACutAhead)
{
    TRM_Object* o = Place(1, 60, {{"1003", 3}, {"2002", 1}, {"2015", 0}});
    tecn.obj[2] = tecn.obj[1];
    tecn.obj[2]["1003"] = 0;
    tecn.obj[2]["2002"] = 0;
    ASSERT_EQ(Send("1 6 1 2 43 0"), 1);  // its rear axle 7 m ahead of 1's first axle
    for (int i = 0; i < 10; ++i) Tick(1);
    EXPECT_NEAR(Param("2015"), 5, 1e-6);
    int other = 0;
    double gap = 0;
    ASSERT_TRUE(plan.Nearest(o, 0, other, gap));
    EXPECT_NEAR(gap, 2, 1e-3);
}

// Command 5 from standstill: the clock is stopped and given back, event 10 first, event 11 at the
// distance limit; every written value is a number.
TEST_F(RollingFixture, SingleRollFromStandstill)
{
    Place(1, 4, {});
    ASSERT_TRUE(rolling.SetModelParam("2006", 30.0));
    ASSERT_EQ(Send("9 5 1"), 1);
    EXPECT_EQ(Index("4 4"), 0);
    EXPECT_EQ(Index("4 5 0"), 1);
    EXPECT_EQ(seq.back(), "4 5 250");
    int e10 = Index("event 10");
    ASSERT_GE(e10, 0);
    // Events 1 and 2 are the plan's (sections entered and left).
    for (const char* e : {"event 6", "event 11"}) EXPECT_GT(Index(e), e10) << e;
    EXPECT_EQ(Count("event 12"), 0);
    EXPECT_DOUBLE_EQ(Param("2015"), 30);
    EXPECT_EQ(Param("1003"), 2);
    for (const std::string& s : seq) {
        EXPECT_EQ(s.find("nan"), std::string::npos) << s;
        EXPECT_EQ(s.find("inf"), std::string::npos) << s;
    }

    // Held by a retarder at its break point it ends at once as stopped.
    Place(1, 4, {});
    ASSERT_EQ(Send("1 33 1 20"), 1);
    ASSERT_EQ(Send("9 5 1"), 1);
    EXPECT_GE(Index("event 12"), 0);
    EXPECT_EQ(Param("1003"), 0);
    EXPECT_EQ(seq.back(), "4 5 250");
}

// The interval is given back only when it was read, and also when the roll fails half way.
TEST_F(RollingFixture, SingleRollGivesTheClockBackOnlyWhatItRead)
{
    Place(1, 4, {});
    ASSERT_TRUE(rolling.SetModelParam("2006", 20.0));
    ASSERT_TRUE(rolling.SetModelParam("2002", -1.0));  // not positive: reports every metre
    clockAnswers = false;
    EXPECT_EQ(Send("9 5 1"), 1);
    EXPECT_EQ(Count("4 5"), 1);  // the stop only
    EXPECT_DOUBLE_EQ(Param("2015"), 20);  // from the break point 14 m ahead
    EXPECT_EQ(Count("event 6"), 7);     // the start and metres 15 to 20

    Place(1, 4, {});
    clockAnswers = true;
    weatherFailsLater = true;
    std::string mes = "9 5 1";
    EXPECT_THROW(bus.Send(mes), Exception);
    EXPECT_EQ(seq.back(), "4 5 250");
}
