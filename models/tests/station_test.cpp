// The sample station "Тарвина-Сортировочная" (station/data) as the models load it: every model
// starts from it without a complaint, the numbers its files share agree (read through the models,
// not from a second copy), and a train route from the west entry into the departure park can be
// set over the bus.
//
//  |1101-[41]-181>-[42]-101>-[201]-(1)-[203]- ... receiving park
//                                   `-[205]-(5)-[305]-<121-[21 1В]-131>
//                                            `-[211]-(11)-[311]-<122-[22 2В]-132>
//                                                      `-[411]-<123-[23 3В]-133>
//
// Each failure names the file and the number at fault, so that changing one number in one file
// says where to look.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <cstdio>
#include <filesystem>
#include <map>
#include <initializer_list>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sample_station.h"
#include "models/base/BusRouter.h"
#include "models/operations/DelayModel.h"
#include "models/interlocking/EC_Model.h"
#include "models/operations/InstructorModel.h"
#include "models/movement/SignalMoveModel.h"
#include "models/plan/PlanModel.h"
#include "models/technology/TecnModel.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Strings.h"

namespace fs = std::filesystem;

namespace {

const char* const kPlanFile = "data\\plan.dat";
const char* const kECFile = "data\\EC_Model.dat";
const char* const kErrorsFile = "DATA\\errors.dat";
const char* const kSwitchStFile = "DATA\\SwitchSt.dat";

// Every error number the models report with [0 4 {error} ...], and where it is sent.
const int kModelErrors[] = {
    1,    // EC_Route.cpp, turning a switch whose section is occupied; PlanObjects.cpp, a trailed switch
    2,    // PlanModel.cpp, TRM_Switch::Throw of an occupied switch
    22,   // PlanObjects.cpp, a movement on a route that is not set
    23,   // PlanObjects.cpp, passing a switch that is not locked
    25,   // SignalMoveModel.cpp, a signal closed in front of an approaching train
    102,  // EC_Route.cpp, route cancel without the start button
    103,  // EC_Route.cpp, cancel from a closed signal
    113,  // EC_Route.cpp, turning a switch locked in a route
    114,  // EC_Route.cpp, route across a locked route
    115,  // EC_Route.cpp, train route onto an occupied track
    116,  // EC_Route.cpp, button of an open signal
    117,  // EC_Route.cpp, route across a switch out of the interlocking
    118,  // EC_Route.cpp, start button pressed again
    119,  // EC_Route.cpp, route set by buttons of two categories
    120,  // EC_Route.cpp, train route onto a signal of the same direction
    122,  // EC_Route.cpp, route across a closed section
    123,  // EC_Route.cpp, route from a closed approach section
    124,  // EC_Route.cpp, train route cancelled by the shunting button
    125,  // EC_Route.cpp, shunting route cancelled by the train button
    126,  // EC_Section.cpp, false occupancy of a section not inquired
    127,  // EC_Section.cpp, false freeness of a section not inquired
    128,  // EC_Section.cpp, false occupancy of a switch section not inquired
    129,  // EC_Section.cpp, false freeness of a switch section not inquired
};

bool Contains(const std::vector<unsigned>& list, int x)
{
    return std::find(list.begin(), list.end(), static_cast<unsigned>(x)) != list.end();
}

const char* VertexKind(int number)
{
    return number < 100 ? "switch" : number < 200 ? "signal" : "joint";
}

// The first interlocking vertex the plan reaches leaving section `from` in direction d, passing
// only joints and grade fractures the interlocking does not know; 0 when the track ends or meets
// a switch or signal outside the interlocking.
int NextECVertex(const TEC_Model& ec, TRM_Section* from, int d)
{
    for (int guard = 0; from && guard < 500; ++guard) {
        TRM_Vertex* v = from->FarVertex(d);
        if (!v) return 0;
        if (ec.Vertexes.Find(v->Number)) return v->Number;
        if (v->Kind() != 3 && v->Kind() != 11) return 0;
        from = v->NextSection(d, from);
    }
    return 0;
}

int NumberOf(const TEC_Vertex* v) { return v ? v->Number : 0; }

} // namespace

class StationTest : public testing::Test, protected TSampleStation {
protected:
    void SetUp() override
    {
        if (!fs::exists(fs::path(VELO_SOURCE_DIR) / "station" / "data" / "EC_Model.dat"))
            GTEST_SKIP() << "no sample station";
        copy = std::make_unique<TStationCopy>();
        std::string error = Load();
        if (!error.empty()) FAIL() << error;
    }
    void TearDown() override { copy.reset(); }

    std::unique_ptr<TStationCopy> copy;
};

TEST_F(StationTest, InterlockingVerticesAreThePlansSwitchesAndSignals)
{
    ASSERT_GT(ec.Vertexes.Count(), 0u);
    for (unsigned i = 0; i < ec.Vertexes.Count(); ++i) {
        TEC_Vertex* v = ec.Vertexes.Get(i);
        EXPECT_TRUE(v->Described) << kECFile << ": " << VertexKind(v->Number) << " " << v->Number
                                  << " is named on line " << v->RefLine << " but has no record of its own";
        TRM_Vertex* p = plan.FindVertex(v->Number);
        if (!p) {
            ADD_FAILURE() << kECFile << ": " << VertexKind(v->Number) << " " << v->Number << " (first named on line " << v->RefLine
                          << ") is not a vertex of " << kPlanFile;
            continue;
        }
        if (TEC_Switch1* sw = AsSwitch(v)) {
            EXPECT_EQ(p->Kind(), 1) << kECFile << ": switch " << sw->Number << " is not a switch of " << kPlanFile;
        } else if (TEC_Signal1* sig = AsSignal(v)) {
            auto* ps = dynamic_cast<TRM_Signal*>(p);
            if (!ps) {
                ADD_FAILURE() << kECFile << ": signal " << sig->Number << " is not a signal of " << kPlanFile;
                continue;
            }
            EXPECT_EQ(static_cast<int>(ps->Direction), sig->Direction)
                << "signal " << sig->Number << ": direction " << sig->Direction << " in " << kECFile << ", "
                << static_cast<int>(ps->Direction) << " in " << kPlanFile;
        } else {
            // Joints: ends of the interlocking area and insulated joints of the plan.
            EXPECT_TRUE(p->Kind() == 3 || p->Kind() == 11)
                << kECFile << ": joint " << v->Number << " is a switch or signal of " << kPlanFile;
        }
    }
}

// The interlocking's neighbours are the plan's: slot 0 of a switch is its plus (the plan's
// position 0), slots 0 and 1 lead east, 2 and 3 west; a signal's and a joint's lead east and west.
TEST_F(StationTest, InterlockingGraphFollowsThePlansTrack)
{
    for (unsigned i = 0; i < ec.Vertexes.Count(); ++i) {
        TEC_Vertex* v = ec.Vertexes.Get(i);
        TRM_Vertex* p = plan.FindVertex(v->Number);
        if (!p) continue;  // reported by the vertex test
        if (TEC_Switch1* sw = AsSwitch(v)) {
            auto* ps = dynamic_cast<TRM_Switch*>(p);
            if (!ps) continue;
            for (int slot = 0; slot < 4; ++slot)
                EXPECT_EQ(NumberOf(sw->Neighbour[slot]), NextECVertex(ec, ps->Ends[slot], slot < 2 ? 0 : 1))
                    << kECFile << ": switch " << sw->Number << ", neighbour slot " << slot << " (first named on line " << sw->RefLine
                    << ") against the end sections of switch " << sw->Number << " in " << kPlanFile;
            continue;
        }
        TEC_Vertex* const* neighbours = nullptr;
        if (TEC_Signal1* sig = AsSignal(v)) neighbours = sig->Neighbour;
        else if (auto* j = dynamic_cast<TEC_Joint*>(v)) neighbours = j->Neighbour;
        if (!neighbours) continue;
        for (int d = 0; d < 2; ++d)
            EXPECT_EQ(NumberOf(neighbours[d]), NextECVertex(ec, p->NextSection(d, nullptr), d))
                << kECFile << ": " << VertexKind(v->Number) << " " << v->Number << ", neighbour in direction " << d
                << " (first named on line " << v->RefLine << ") against the track of " << kPlanFile;
    }
}

TEST_F(StationTest, InterlockingSectionsAreMadeOfPlanSectionsAndTheirSwitches)
{
    ASSERT_GT(ec.Sections.Count(), 0u);
    for (unsigned i = 0; i < ec.Sections.Count(); ++i) {
        TEC_Section1* s = ec.Sections.Get(i);
        EXPECT_TRUE(s->Described) << kECFile << ": section " << s->Number << " is named on line " << s->RefLine
                                  << " but has no record of its own";
        EXPECT_FALSE(s->PlanSections.empty()) << kECFile << ": section " << s->Number << " has no plan sections";
        for (unsigned ps : s->PlanSections)
            EXPECT_NE(plan.FindSection(static_cast<int>(ps)), nullptr)
                << kECFile << ": section " << s->Number << " (first named on line " << s->RefLine << ") names plan section " << ps
                << ", which "
                << kPlanFile << " does not have";
        if (auto* ss = dynamic_cast<TEC_SwitchSection*>(s)) {
            EXPECT_FALSE(ss->Switches.empty()) << kECFile << ": switch section " << s->Number << " has no switches";
            for (TEC_Switch1* sw : ss->Switches)
                EXPECT_EQ(sw->Section, ss) << kECFile << ": switch section " << s->Number << " lists switch "
                                           << sw->Number << ", whose record names section "
                                           << (sw->Section ? sw->Section->Number : 0);
        }
    }

    for (unsigned i = 0; i < ec.Vertexes.Count(); ++i) {
        TEC_Switch1* sw = AsSwitch(ec.Vertexes.Get(i));
        if (!sw) continue;
        if (!sw->Section) {
            ADD_FAILURE() << kECFile << ": switch " << sw->Number << " has no switch section";
            continue;
        }
        auto& list = sw->Section->Switches;
        EXPECT_TRUE(std::find(list.begin(), list.end(), sw) != list.end())
            << kECFile << ": switch section " << sw->Section->Number << " does not list its switch " << sw->Number;
        // The section's occupancy must cover every plan section the switch owns.
        if (TRM_Switch* p = plan.FindSwitch(sw->Number)) {
            const auto& mine = sw->Section->PlanSections;
            for (auto* node = p->Own.First(); node; node = node->next) {
                TRM_Section* own = node->value;
                EXPECT_TRUE(Contains(mine, own->Number))
                    << kPlanFile << ": switch " << sw->Number << " owns plan section " << own->Number << ", which "
                    << kECFile << " leaves out of switch section " << sw->Section->Number;
            }
        }
        if (sw->Paired) {
            EXPECT_NE(AsSwitch(ec.Vertexes.Find(sw->Paired)), nullptr)
                << kECFile << ": switch " << sw->Number << " is paired with " << sw->Paired << ", which is no switch";
            EXPECT_NE(plan.FindSwitch(sw->Paired), nullptr)
                << kECFile << ": switch " << sw->Number << " is paired with " << sw->Paired << ", which "
                << kPlanFile << " does not have";
        }
    }
}

TEST_F(StationTest, SwitchStateListNamesInterlockingSectionsAndPlanSwitches)
{
    std::FILE* f = nullptr;
    ASSERT_GT(OpenDataFile(&f, kSwitchStFile), 0) << kSwitchStFile;
    std::string line;
    int lineNo = 0, records = 0;
    std::map<std::string, int> names;  // a section's name finds its number, so names are unique
    for (int r; (r = ReadDataLine(f, line, "*")) >= 0;) {
        ++lineNo;
        if (r == 0) continue;
        int kind = 0, post = 0, number = 0;
        if (SScanf(line.c_str(), "%d%d%d", &kind, &post, &number) != 3) continue;
        ++records;
        EXPECT_TRUE(post == 1 || post == 3 || post == 7) << kSwitchStFile << ", line " << lineNo << ": post " << post;
        if (kind == 1)
            EXPECT_NE(plan.FindSwitch(number), nullptr) << kSwitchStFile << ", line " << lineNo << ": switch "
                                                        << number << " is not in " << kPlanFile;
        else if (kind == 2 || kind == 3) {
            EXPECT_NE(ec.Sections.Find(number), nullptr) << kSwitchStFile << ", line " << lineNo << ": section "
                                                         << number << " is not in " << kECFile;
            std::string name = Trim(DropWords(line, 3));
            if (!name.empty() && !names.emplace(name, lineNo).second)
                ADD_FAILURE() << kSwitchStFile << ", line " << lineNo << ": section " << number << " has the name \""
                              << name << "\" of line " << names[name];
        } else
            ADD_FAILURE() << kSwitchStFile << ", line " << lineNo << ": kind " << kind;
    }
    std::fclose(f);
    EXPECT_GT(records, 0);
}

// The start-up messages run without an error, and every plan switch outside the interlocking is
// locked by them (a movement over an unlocked switch is an error).
TEST_F(StationTest, StartUpMessagesLockEverySwitchOutsideTheInterlocking)
{
    const char* const kIni = "data\\trenager.ini";
    std::FILE* f = nullptr;
    ASSERT_GT(OpenDataFile(&f, kIni), 0) << kIni;
    tecn.On("3", nullptr, 1);
    std::string line;
    for (int r; (r = ReadDataLine(f, line, "*")) >= 0;) {
        if (r == 0) continue;
        Send(Trim(line));
    }
    std::fclose(f);
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{});

    for (unsigned i = 0; i < plan.Vertexes.Count(); ++i) {
        auto* ps = dynamic_cast<TRM_Switch*>(plan.Vertexes.Get(i));
        if (!ps || AsSwitch(ec.Vertexes.Find(ps->Number))) continue;
        EXPECT_EQ(ps->LockMode, 1) << kPlanFile << ": switch " << ps->Number << " is outside " << kECFile
                                   << " and " << kIni << " does not lock it";
    }
}

TEST_F(StationTest, EveryErrorTheModelsReportIsCatalogued)
{
    ASSERT_GT(instructor.ErrorDefs().Count(), 0u) << kErrorsFile;
    for (int e : kModelErrors)
        EXPECT_NE(instructor.ErrorDefs().Find(static_cast<unsigned>(e)), nullptr)
            << kErrorsFile << " has no error " << e;
}

TEST_F(StationTest, TrainRouteFromTheWestEntryIntoTheDepartureParkOpensSignal101)
{
    Tick();
    bus.ClearLog();
    ASSERT_EQ(Send("2 5 101 1"), 1);
    ASSERT_EQ(Send("2 5 122 1"), 1);
    TEC_Route* route = ec.GetRoute();
    ASSERT_NE(route, nullptr);
    std::vector<TEC_SwitchRoute> switches = route->Switches;
    ASSERT_FALSE(switches.empty());

    TEC_Signal1* s101 = AsSignal(ec.Vertexes.Find(101));
    ASSERT_NE(s101, nullptr);
    auto thrown = [&] {
        for (const auto& sr : switches) {
            TRM_Switch* p = plan.FindSwitch(sr.Switch->Number);
            if (!p || p->State != sr.Position) return false;
        }
        return true;
    };
    for (int i = 0; i < 60 && !(thrown() && s101->SignalState == 0); ++i) Tick();
    EXPECT_TRUE(thrown());
    for (const auto& sr : switches) {
        TRM_Switch* p = plan.FindSwitch(sr.Switch->Number);
        EXPECT_EQ(p ? p->State : -1, sr.Position) << "switch " << sr.Switch->Number;
        EXPECT_EQ(p ? p->LockMode : -1, 1) << "switch " << sr.Switch->Number << " not locked in the plan";
    }
    ASSERT_EQ(s101->SignalState, 0);

    std::vector<std::string> sent = bus.Requests();
    auto has = [&](const std::string& m) { return std::find(sent.begin(), sent.end(), m) != sent.end(); };
    EXPECT_TRUE(has("4 7 101 3"));
    ASSERT_FALSE(s101->RouteSections.empty());
    for (TEC_Section1* s : s101->RouteSections)
        EXPECT_TRUE(has(Format("4 8 %d %d 1", s->Number, s->Variant))) << "section " << s->Number << " not white";
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{});
    EXPECT_EQ(instructor.ErrorsProtocol.Count(), 0);
}

// The same station with the real technology model, its executors configured as the main window's
// definition (app/forms/Main.vfm) configures them, and the start-up messages sent.
class StationTecnTest : public StationTest {
protected:
    void SetUp() override
    {
        StationTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        tecnModel.SetName("TecnModel");
        tecnModel.FileName = "DATA\\Tecnology.dat";
        ConfigureExecutorsAsTheMainWindow(tecnModel);
        std::string line;
        bus.Attach(brTecn, &tecnModel);
        try {
            tecnModel.Init();
        } catch (const Exception& e) {
            FAIL() << "TecnModel: " << e.Message;
        }
        std::FILE* f = nullptr;
        ASSERT_GT(OpenDataFile(&f, "data\\trenager.ini"), 0);
        for (int r; (r = ReadDataLine(f, line, "*")) >= 0;)
            if (r == 1) Send(Trim(line));
        std::fclose(f);
    }

    void TickAll(double step = 1.0)
    {
        Tick(step);
        tecnModel.Process(static_cast<float>(t));
    }

    std::string Ask(const std::string& text)
    {
        std::string mes = text;
        return bus.Send(mes) ? mes : "refused";
    }

    TTecnModel tecnModel;
};

TEST_F(StationTecnTest, StartUpObjectsStandOnTheirTracks)
{
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{});
    EXPECT_EQ(Ask("3 10 1025 2001"), " 7");
    EXPECT_EQ(Ask("3 4 7 1015 1027"), "2 11 ");
    EXPECT_EQ(Ask("3 4 8 1027 1501"), "13 15 ");
    EXPECT_EQ(Ask("3 4 9 1001 1508 1027"), "2 1612 22 ");
    EXPECT_EQ(Ask("3 4 1 1001 1027"), "2 14 ");
    EXPECT_EQ(Ask("3 4 10 1017"), "2 ");  // the cut is coupled behind МЛ2
    EXPECT_EQ(Ask("3 24 5"), "1");
    for (int n : {3, 4, 5}) EXPECT_EQ(Ask(Format("3 4 %d 1026 1551", n)), "20 0 ") << "object " << n;
    EXPECT_EQ(Ask("3 4 6 1026"), "21 ");
    // The sample composition: five cars in three cuts.
    EXPECT_EQ(Ask("3 14 data\\sostav1.txt"), "11");
    EXPECT_EQ(Ask("3 4 11 1024 1021 1023 1019"), "2 1 0 4 ");
    EXPECT_EQ(Ask("3 4 14 1024 1021 1023"), "2 11 1 ");

    // Track 1П is occupied by train 2001: an arrival route into it is refused.
    Tick();
    Send("2 5 101 1");
    Send("2 5 111 1");
    std::vector<std::string> errors = bus.Requests(brInstructor);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].rfind("0 4 115", 0), 0u) << errors[0];
}

// The station with the signal movement model as well, the six models stepped in the main window's
// order. Before every tick the state of every signal the plan knows is noted: an object whose
// front crosses a signal facing its way must have found that signal open, unless it is under an
// order past prohibiting signals.
class StationMoveTest : public StationTecnTest {
protected:
    void SetUp() override
    {
        StationTecnTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        move.SetName("SignalMoveModel");
        move.PlanModel = &plan;
        bus.Connect(&move);
        move.Init();
        plan.OnChangeState = [this](TModel*, AnsiString text) { events.push_back(text); };
    }

    // One tick of the main window's loop; false when an object ran past a closed signal.
    void Step()
    {
        std::map<int, int> open;
        std::set<int> permitted;  // objects under an order past prohibiting signals
        std::map<int, std::pair<int, int>> fronts;
        for (auto* n = plan.Objects.First(); n; n = n->next) {
            for (int d : {0, 1}) {
                TRM_Section* s = n->value.EndSection(d);
                if (!s) continue;
                TRM_Vertex* v = s->FarVertex(d);
                if (v && v->Kind() == 2) {
                    std::string mes = Format("%d %d %d %d", static_cast<int>(brEC), 6, v->Number, 0);
                    int state = 3;
                    if (bus.Send(mes)) SScanf(mes.c_str(), "%d", &state);
                    open[v->Number] = state;
                }
            }
            fronts[n->value.Number] = {n->value.EndSection(0) ? n->value.EndSection(0)->Number : 0,
                                       n->value.EndSection(1) ? n->value.EndSection(1)->Number : 0};
            if (Ask(Format("3 4 %d 1005", n->value.Number)) == "2 ") permitted.insert(n->value.Number);
        }
        motion.Before(plan, [this](int n) { return static_cast<float>(AtofC(Ask(Format("3 4 %d 2002", n)).c_str())); });
        t += 1;
        for (TModel* m : std::initializer_list<TModel*>{&plan, &tecnModel, &delay, &move, &instructor, &ec})
            m->Process(static_cast<float>(t));
        motion.After(plan, t);
        for (auto* n = plan.Objects.First(); n; n = n->next) {
            auto was = fronts.find(n->value.Number);
            if (n->value.Removed || was == fronts.end()) continue;
            for (int d : {0, 1}) {
                TRM_Section* from = plan.FindSection(d == 0 ? was->second.first : was->second.second);
                TRM_Section* now = n->value.EndSection(d);
                if (!from || !now || from == now) continue;
                TRM_Vertex* v = from->FarVertex(d);
                // Only the end leading the way in direction d passes the vertex on its far side.
                if (now->FarVertex(1 - d) != v) continue;
                if (v && v->Kind() == 2 && static_cast<TRM_Signal*>(v)->Faces(d) && open.count(v->Number) &&
                    !permitted.count(n->value.Number)) {
                    EXPECT_LT(open[v->Number], 2) << "object " << n->value.Number << " passed closed signal " << v->Number
                                                  << " at " << t;
                }
            }
        }
    }
    // Steps until object n raises event code; false after limit ticks.
    bool RunUntil(int n, int code, int limit)
    {
        for (int i = 0; i < limit; ++i) {
            size_t from = events.size();
            Step();
            for (size_t e = from; e < events.size(); ++e) {
                int c = 0, o = 0;
                float at = 0;
                if (SScanf(events[e].c_str(), "%d %f %d", &c, &at, &o) == 3 && c == code && o == n) return true;
            }
        }
        return false;
    }
    // The plan's occupied flag of section s.
    bool Occupied(int s) { return Ask(Format("1 5 %d", s)).rfind("1", 0) == 0; }
    // The free distance ahead of object n in direction d ("1 10").
    double FreeAhead(int n, int d) { return AtofC(Ask(Format("1 10 %d %d", n, d)).c_str()); }

    // The lesson's lines queued in the delay model at their minutes, as "Пуск" queues them.
    void ScheduleLesson()
    {
        std::FILE* f = nullptr;
        ASSERT_GT(OpenDataFile(&f, "data\\lesson1.shd"), 0);
        std::string line;
        for (int r; (r = ReadDataLine(f, line, "*")) >= 0;) {
            if (r != 1) continue;
            float minutes = 0;
            SScanf(line.c_str(), "%f", &minutes);
            Send(Format("%d %d %f %s", static_cast<int>(brDelay), 4, static_cast<double>(minutes * 60),
                        DropWords(line, 1).c_str()));
        }
        std::fclose(f);
    }

    TSignalMoveModel move;
    std::vector<std::string> events;
    // Every start and reversal of every test here begins at walking speed at most.
    TMotionWatch motion;
    void TearDown() override
    {
        EXPECT_EQ(motion.faults, std::vector<std::string>{});
        StationTecnTest::TearDown();
    }
};

// The sample lesson's hour at full speed with all six models: every train it creates is placed on
// its stretch once the entry block section is free and runs up to its entry signal, with no trainee
// error, no exception, and no train past a closed signal. Nobody sets a route, so the later trains
// of a stretch wait for its entry block (state 0, not placed).
TEST_F(StationMoveTest, LessonOneRunsItsHour)
{
    ScheduleLesson();
    bus.ClearLog();
    bus.logLimit = 0;  // the whole hour is read back below
    for (int i = 0; i < 3660; ++i) ASSERT_NO_THROW(Step()) << "at " << t;
    std::vector<std::string> created;
    for (const auto& r : bus.log)
        if (r.request.rfind("3 6 ", 0) == 0) created.push_back(r.reply);
    EXPECT_EQ(created.size(), 6u);
    int placed = 0;
    for (const std::string& n : created) {
        const bool on = Ask("3 4 " + n + " 1029") != "0 ";
        placed += on;
        if (!on) {
            EXPECT_EQ(Ask("3 4 " + n + " 1015"), "0 ") << "train " << n << " neither placed nor waiting";
        }
    }
    // The first two of the west stretch (one at the entry signal, one behind it on the entry
    // block) and the east stretch's only train.
    EXPECT_EQ(placed, 3);
    // Nobody closes a signal in front of a train here: no emergency braking either.
    for (const std::string& e : bus.Requests(brInstructor)) {
        EXPECT_EQ(e.rfind("0 4 17", 0), std::string::npos) << e;
        EXPECT_EQ(e.rfind("0 4 25", 0), std::string::npos) << e;
    }
}

// The second lesson's hour and a quarter with nobody at the panel: all nine trains are created,
// the first of each stretch runs up to its entry signal and the next waits on the entry block
// behind it, and its faults and calls bring no error, no exception and no train past a closed
// signal.
TEST_F(StationMoveTest, LessonTwoRunsItsHour)
{
    std::FILE* f = nullptr;
    ASSERT_GT(OpenDataFile(&f, "data\\lesson2.shd"), 0);
    std::string line;
    for (int r; (r = ReadDataLine(f, line, "*")) >= 0;) {
        if (r != 1) continue;
        float minutes = 0;
        SScanf(line.c_str(), "%f", &minutes);
        Send(Format("%d %d %f %s", static_cast<int>(brDelay), 4, static_cast<double>(minutes * 60), DropWords(line, 1).c_str()));
    }
    std::fclose(f);
    bus.ClearLog();
    bus.logLimit = 0;
    for (int i = 0; i < 75 * 60; ++i) ASSERT_NO_THROW(Step()) << "at " << t;
    std::vector<std::string> created;
    for (const auto& r : bus.log)
        if (r.request.rfind("3 6 ", 0) == 0) created.push_back(r.reply);
    EXPECT_EQ(created.size(), 9u);
    int placed = 0;
    for (const std::string& n : created) placed += Ask("3 4 " + n + " 1029") != "0 ";
    EXPECT_EQ(placed, 4);
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{});
}

// A train from the lesson arrives from the east stretch, waits at the closed entry signal 101,
// runs into receiving track 2П when the trainee sets the route and stops there.
TEST_F(StationMoveTest, ATrainArrivesWaitsAtTheEntrySignalAndRunsInOnItsRoute)
{
    // The lesson's line for minute 2, queued as the scenario queues it.
    ASSERT_EQ(Send("8 4 2 3 6 1 1025 2401 1511 166 1504 50 2001 750 1505 1 1540 4100 1541 1 1542 4000"), 1);
    Step();
    Step();
    Step();
    Step();  // placed once its wait for a free entry block has ended
    std::string n = Ask("3 10 1025 2401");
    const int train = std::atoi(n.c_str());
    ASSERT_GT(train, 0) << n;
    TRM_Object* o = plan.FindObject(train);
    ASSERT_NE(o, nullptr);
    ASSERT_NE(o->EndSection(0), nullptr);
    EXPECT_EQ(o->EndSection(0)->Number, 41);
    ASSERT_TRUE(RunUntil(train, 9, 1000)) << "the train did not stop";
    EXPECT_EQ(events.back().substr(events.back().rfind(' ')), " 101") << events.back();
    EXPECT_LE(FreeAhead(train, 0), 0.4);
    EXPECT_EQ(o->EndSection(0)->Number, 42);

    bus.ClearLog();
    ASSERT_EQ(Send("2 5 101 1"), 1);
    ASSERT_EQ(Send("2 5 112 1"), 1);
    ASSERT_TRUE(RunUntil(train, 7, 120)) << "the train did not start";
    TEC_Signal1* s101 = AsSignal(ec.Vertexes.Find(101));
    ASSERT_NE(s101, nullptr);
    std::vector<int> route = {201, 203, 207, 407, 12};
    std::set<int> occupied, freed;
    bool closedBehind = false;
    for (int i = 0; i < 1000; ++i) {
        size_t from = events.size();
        Step();
        if (o->EndSection(0) && o->EndSection(0)->Number == 201) closedBehind = s101->SignalState != 0;
        for (int s : route) {
            if (Occupied(s)) occupied.insert(s);
            else if (occupied.count(s)) freed.insert(s);
        }
        bool stopped = false;
        for (size_t e = from; e < events.size(); ++e) stopped |= events[e].rfind("8 ", 0) == 0;
        if (stopped) break;
    }
    EXPECT_TRUE(closedBehind) << "signal 101 stayed open behind the train";
    EXPECT_EQ(occupied, std::set<int>(route.begin(), route.end()));
    EXPECT_EQ(freed, std::set<int>({201, 203, 207, 407}));
    EXPECT_EQ(o->EndSection(0)->Number, 12);
    EXPECT_EQ(Ask(Format("3 4 %d 1003 2002", train)), "0 0.000000 ");
    EXPECT_LE(FreeAhead(train, 0), 0.4);
    // The interlocking showed the route's sections white, then red under the train, then free
    // behind it; the target track stays red.
    std::map<int, std::string> shown;
    for (const std::string& e : bus.Requests(brInterface)) {
        int r = 0, c = 0, section = 0, variant = 0, state = 0;
        if (SScanf(e.c_str(), "%d %d %d %d %d", &r, &c, &section, &variant, &state) == 5 && c == 8)
            shown[section] += std::to_string(state);
    }
    EXPECT_EQ(shown, (std::map<int, std::string>{{201, "120"}, {203, "120"}, {207, "120"}, {12, "12"}}));
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{});
}

// The train locomotive on departure track 2В leaves over signal 132 for the departure main and
// runs to its end (section 28), the target the station's departure function gives.
TEST_F(StationMoveTest, ALocomotiveDepartsToTheEndOfTheDepartureMain)
{
    Step();
    ASSERT_EQ(Send("2 5 132 1"), 1);
    ASSERT_EQ(Send("2 5 104 1"), 1);
    for (int i = 0; i < 60; ++i) Step();
    ASSERT_EQ(Send("3 5 9 1012 3 1013 28 1003 1"), 1);
    ASSERT_TRUE(RunUntil(9, 8, 1000)) << "the locomotive did not stop";
    TRM_Object* o = plan.FindObject(9);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->EndSection(0)->Number, 28);
    EXPECT_LE(FreeAhead(9, 0), 0.4);
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{});
}

// The orders to МЛ1 (object 1, on 4П facing east 20 m before humping signal 174, НГ4) of a walk
// of the trainee's moves, as the shunting-radio dialogue registers them, one message or "+N" (N
// model seconds) an item. Orders for the other way reach it while it runs, and the plan's route
// check stops it inside a step again and again (error 22): each order turns it only once it has
// braked to a stand, and a stopped one starts from rest. At the end it stands right before 174,
// closed all along: the last order leaves it there, with no error 25 and no signal passed at stop
// (Step checks every crossing).
TEST_F(StationMoveTest, OrdersStartALocomotiveFromRestAndNeverTurnItAtSpeed)
{
    ScheduleLesson();
    const char* const script[] = {
        "3 5 1 1003 1 1012 3 1013 219 1005 0", "+1", "+2", "+1", "3 5 1 1003 -1 1012 1 1013 171 1005 0", "+1",
        "3 5 1 1003 1 1012 1 1013 174 1005 0", "+16", "3 5 1 1003 -1 1012 2 1013 183 1005 2", "+1",
        "3 5 1 1003 -1 1012 1 1013 151 1005 0", "+1", "3 5 1 1003 -1 1012 1 1013 123 1005 0", "+1",
        "3 5 1 1003 -1 1012 3 1013 11 1005 0", "+1", "3 5 1 1003 1 1012 2 1013 112 1005 0", "+1",
        "3 5 1 1003 1 1012 2 1013 174 1005 0", "+4", "3 5 1 1003 -1 1012 2 1013 122 1005 0", "+1",
        "3 5 1 1003 1 1012 1 1013 183 1005 2", "+2", "3 5 1 1003 1 1012 3 1013 429 1005 0", "+1"};
    double lastStart = -1;
    for (const char* item : script) {
        if (item[0] == '+') {
            for (int i = std::atoi(item + 1); i > 0; --i) Step();
            continue;
        }
        ASSERT_EQ(Send(item), 1) << item;
        lastStart = AtofC(Ask("3 4 1 2002").c_str());
    }
    std::vector<std::string> closings;
    for (const std::string& e : bus.Requests(brInstructor))
        if (e.rfind("0 4 25 ", 0) == 0) closings.push_back(e);
    std::printf("МЛ1: speed at the last order %.2f m/s, errors 25: %zu, starts %ld, reversals %ld\n", lastStart,
                closings.size(), motion.starts, motion.reversals);
    EXPECT_LE(lastStart, TMotionWatch::kWalking);
    EXPECT_EQ(closings, std::vector<std::string>{});
    // It is turned round twice while it runs; it stops first (TMotionWatch, at TearDown).
    EXPECT_GE(motion.reversals, 2);
    // It stands before 174: the last order's route check stopped it again.
    EXPECT_EQ(plan.FindObject(1)->EndSection(0)->Number, 14);
    EXPECT_EQ(Ask("3 4 1 2002"), "0.000000 ");
}

// The train locomotive 1612 (object 9) runs out of 2В towards the departure main; at 10 m/s it
// is ordered back to 2В. It brakes to a stand on its way east at its service rate, with no
// route check against the order it is not yet following, and then starts west from rest.
TEST_F(StationMoveTest, AnOrderTheOtherWayStopsALocomotiveFirst)
{
    Step();
    ASSERT_EQ(Send("2 5 132 1"), 1);
    ASSERT_EQ(Send("2 5 104 1"), 1);
    for (int i = 0; i < 60; ++i) Step();
    ASSERT_EQ(Send("3 5 9 1012 3 1013 28 1003 1"), 1);
    auto speed = [this] { return AtofC(Ask("3 4 9 2002").c_str()); };
    for (int i = 0; i < 200 && speed() < 10; ++i) Step();
    ASSERT_GE(speed(), 10);
    TRM_Object* o = plan.FindObject(9);
    bus.ClearLog();
    ASSERT_EQ(Send("3 5 9 1003 -1 1012 3 1013 22 1005 0"), 1);
    const double v0 = speed();
    auto run = [this] { return AtofC(Ask("3 4 9 2015").c_str()); };
    double before = v0, ran = run();
    int braking = 0;
    for (; braking < 60 && speed() > 0; ++braking) {
        Step();
        EXPECT_NEAR(speed(), std::max(0.0, before - 0.5), 1e-4) << "at " << t;
        EXPECT_GT(run(), ran) << "it goes on east until it stands, at " << t;
        before = speed();
        ran = run();
    }
    EXPECT_EQ(braking, static_cast<int>(std::ceil(v0 / 0.5 - 1e-6)));
    const double ahead = o->Position(0);
    EXPECT_EQ(Ask("3 4 9 1003"), "-1 ");
    Step();
    EXPECT_GT(o->Position(0), ahead);
    EXPECT_NEAR(speed(), 0.2, 1e-4);
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{});
    EXPECT_EQ(motion.reversals, 1);
}

// МЛ1 set going at 15 m/s 120 m before humping signal 174, closed all along: only its emergency
// rate stops it in time, and no trainee closed the signal in front of it, so there is no error 25.
// While it brakes so it is taken off the station, and the next locomotive made gets
// its number: on a free line that one runs on at its own speed, not braking for the old one.
TEST_F(StationMoveTest, AnObjectsNumberGivenAgainStartsWithNothingOfTheOld)
{
    ASSERT_EQ(Send("1 6 14 1 120 0"), 1);
    ASSERT_EQ(Send("3 5 1 1003 1 1012 1 1013 174 1005 0 2002 15"), 1);
    bus.ClearLog();
    Step();
    ASSERT_NEAR(AtofC(Ask("3 4 1 2002").c_str()), 13.8, 1e-3);  // braking at 1.2 m/s²
    // 174 was closed all along: nobody closed it in front of МЛ1.
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{});
    ASSERT_EQ(Send("3 7 1"), 1);
    EXPECT_EQ(Ask("3 6 22 1508 1700 2001 20"), "1");
    ASSERT_EQ(Send("1 6 28 1 600 0"), 1);
    ASSERT_EQ(Send("3 5 1 1003 1 1012 3 1013 28 1005 0 2002 15"), 1);
    for (int i = 0; i < 10; ++i) {
        Step();
        EXPECT_GE(AtofC(Ask("3 4 1 2002").c_str()), 15) << "at " << t;
    }
}

// Train 2403 runs in from the west on its route past Н (signal 101); the trainee closes Н when
// it is 150 m away at full speed. Its service braking cannot stop it there, its emergency
// braking can: it stands before Н, and the trainee's error names the signal and the train as
// the trainee knows them.
TEST_F(StationMoveTest, ClosingASignalInFrontOfATrainIsTheTraineesError)
{
    ASSERT_EQ(Send("8 4 2 3 6 3 1025 2403 1511 170 1504 52 2001 780 1505 1 1540 4100 1541 2 1542 4300"), 1);
    for (int i = 0; i < 4; ++i) Step();
    const int train = std::atoi(Ask("3 10 1025 2403").c_str());
    ASSERT_GT(train, 0);
    ASSERT_EQ(Send("2 5 101 1"), 1);
    ASSERT_EQ(Send("2 5 112 1"), 1);
    for (int i = 0; i < 600 && (FreeAhead(train, 0) > 3000 || plan.FindObject(train)->EndSection(0)->Number != 42 ||
                                 plan.FindObject(train)->Position(0) > 150);
         ++i)
        Step();
    const double v = AtofC(Ask(Format("3 4 %d 2002", train)).c_str());
    ASSERT_GT(v, 13);
    bus.ClearLog();
    instructor.ErrorsProtocol.Clear();
    ASSERT_EQ(Send("2 15 101"), 1);
    ASSERT_TRUE(RunUntil(train, 9, 60));
    EXPECT_EQ(plan.FindObject(train)->EndSection(0)->Number, 42);
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{"0 4 25 Н 2403"});
    ASSERT_EQ(instructor.ErrorsProtocol.Count(), 1);
    EXPECT_EQ(Trim(instructor.ErrorsProtocol[0]), "Закрытие сигнала Н перед приближающимся поездом 2403");
}

// МЛ1 stands on 409, west of 4П, facing east, and is ordered past humping signal 174 (НГ4, at
// the far end of 4П, closed) past prohibiting signals (1005 2). The permission holds until its
// front has passed 174: it runs through, stops with its whole body beyond it on 419, and only
// then is the permission over.
//   -409- 114> -------------- 4П (14), 900 m ------------- 174> -419- (19)
TEST_F(StationMoveTest, OrderedPastAClosedSignalItPassesIt)
{
    ASSERT_EQ(Send("1 6 409 1 1 0"), 1);
    ASSERT_EQ(Send("3 5 1 1003 1 1012 2 1013 174 1005 2"), 1);
    bus.ClearLog();
    int permission = 2;
    for (int i = 0; i < 600 && Ask("3 4 1 1003") != "0 "; ++i) {
        size_t from = events.size();
        Step();
        TRM_Object* o = plan.FindObject(1);
        // The permission is there while the front has not left 4П.
        if (o->EndSection(0)->Number == 14) {
            EXPECT_EQ(Ask("3 4 1 1005"), "2 ") << "at " << t;
        }
        permission = std::atoi(Ask("3 4 1 1005").c_str());
        for (size_t e = from; e < events.size(); ++e) EXPECT_NE(events[e].rfind("9 ", 0), 0u) << events[e];
    }
    EXPECT_EQ(Ask("3 4 1 1003"), "0 ");
    EXPECT_EQ(permission, 0);
    EXPECT_EQ(plan.FindObject(1)->EndSection(0)->Number, 419);
    EXPECT_EQ(plan.FindObject(1)->EndSection(1)->Number, 419);
    EXPECT_EQ(bus.Requests(brInstructor), std::vector<std::string>{});
}

// A train due from the west whose placing on its entry block the plan refuses (as it would one
// too long for the block) waits unannounced and is tried again at every step, as one whose block
// is occupied waits; once the plan takes it, it appears, is announced once and runs in.
TEST_F(StationMoveTest, AnArrivalThePlanRefusesWaitsAndIsTriedAgain)
{
    int refusals = 0;
    bool refuse = true;
    bus.SetReceiver(brPlan, [&](std::string& m, TlstParams* l) {
        if (refuse && m.rfind("1 6 41 ", 0) == 0) {
            ++refusals;
            return 0;
        }
        return plan.fnGetMessage(m, l);
    });
    ASSERT_EQ(Send("8 4 2 3 6 1 1025 2401 1511 166 1504 50 2001 750 1505 1 1540 4100 1541 1 1542 4000"), 1);
    for (int i = 0; i < 10; ++i) Step();
    const int train = std::atoi(Ask("3 10 1025 2401").c_str());
    ASSERT_GT(train, 0);
    EXPECT_GE(refusals, 5);
    EXPECT_EQ(Ask(Format("3 4 %d 1015 1029 1003", train)), "0 0 0 ");
    const auto announced = [this] {
        int n = 0;
        for (const std::string& r : bus.Requests(brInterface)) n += r.find("2401 - на подходе") != std::string::npos;
        return n;
    };
    EXPECT_EQ(announced(), 0);
    refuse = false;
    Step();
    EXPECT_EQ(Ask(Format("3 4 %d 1015 1029 1003", train)), Format("1 %d 1 ", train));
    EXPECT_EQ(plan.FindObject(train)->EndSection(0)->Number, 41);
    for (int i = 0; i < 5; ++i) Step();
    EXPECT_EQ(announced(), 1);
    EXPECT_GT(AtofC(Ask(Format("3 4 %d 2002", train)).c_str()), 0.5);
}

// The partners of the posts answer through their switchboard keys a few seconds after the order
// (the key that opened the order is busy until its window closes), with what the models show.
class StationPartnersTest : public StationTecnTest {
protected:
    void SetUp() override
    {
        StationTecnTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // The main window names the post sections (interface command 39) and takes every call.
        keys.On("4 39 12", "2П");
        keys.On("4 39 227", "27СП");
        keys.On("4 39 219", "19СП");
        keys.On("4 39 203", "3СП");
        keys.On("4 39 225", "25СП");
        keys.On("4 39", nullptr, 0);
        keys.On("4", nullptr, 1);
        bus.SetReceiver(brInterface, keys.AsHandler());
    }

    // Ticks for the given seconds; the texts the keys were rung with ([4 9 {key} 0 {text}]), in order.
    std::vector<std::string> Rings(const std::string& key, int seconds)
    {
        bus.ClearLog();
        for (int i = 0; i < seconds; ++i) TickAll();
        std::vector<std::string> out;
        const std::string prefix = "4 9 " + key + " 0 ";
        for (const std::string& r : bus.Requests(brInterface)) {
            std::string n = NormalizeBlanks(r);
            if (n.rfind(prefix, 0) == 0) out.push_back(n.substr(prefix.size()));
            if (n.rfind("4 32 " + key + " ", 0) == 0) phrases.push_back(n.substr(6 + key.size()));
        }
        for (const std::string& e : bus.Requests(brInstructor)) errors.push_back(e);
        return out;
    }

    // Every word of the phrases the keys were given to speak ([4 32 {key} {phrase}]) has its
    // sound fragment in station/sound.
    void ExpectFragments()
    {
        EXPECT_FALSE(phrases.empty());
        for (const std::string& p : phrases) {
            std::istringstream words(p);
            for (std::string w; words >> w;)
                EXPECT_TRUE(fs::exists(fs::path(VELO_SOURCE_DIR) / "station" / "sound" / (w + ".wav"))) << w;
        }
    }

    TScriptedReceiver keys;
    std::vector<std::string> phrases;
    std::vector<std::string> errors;  // the trainee errors reported while Rings ticked
};

// A signalman's switch or section question is answered with what the plan and the interlocking
// show: the true occupancy of a section that shows free falsely, a switch that a fault keeps
// from turning.
TEST_F(StationPartnersTest, SignalmenAnswerWithWhatTheModelsShow)
{
    ASSERT_EQ(Send("2 19 219 102"), 1);  // 19СП shows free whatever stands on it
    int loco = std::atoi(Ask("3 18 2001 17").c_str());
    ASSERT_GT(loco, 0);
    ASSERT_EQ(Send(Format("1 6 219 %d 5 0", loco)), 1);
    TickAll();
    EXPECT_EQ(Ask("2 11 219").rfind("219 0", 0), 0u) << "the fault shows the section free";
    ASSERT_EQ(Send("3 19 3 19СП"), 1);
    ASSERT_EQ(Send("3 5 3 1551 219 404 1"), 1);
    EXPECT_EQ(Rings("СП3", 6), std::vector<std::string>{"Путевая секция №19СП занята"});

    ASSERT_EQ(Send("1 37 27 3"), 1);  // switch 27 cannot be turned
    ASSERT_EQ(Send("1 9 27 1"), 1);
    ASSERT_EQ(Send("3 5 4 1551 27 400 1"), 1);
    std::vector<std::string> rings = Rings("СП7", 6);
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0].rfind("Стрелка №27 свободна", 0), 0u) << rings[0];
    EXPECT_NE(rings[0].find("Стрелка неисправна, вызывайте электромеханика"), std::string::npos) << rings[0];

    ASSERT_EQ(Send("3 5 3 1551 51 400 1"), 1);  // the hump fan, not interlocked: as the plan has it
    EXPECT_EQ(Rings("СП3", 6), std::vector<std::string>{"Стрелка 51 установлена по +"});
    ASSERT_EQ(Send("3 5 5 1551 1 400 1"), 1);  // post 1
    EXPECT_EQ(Rings("СП1", 6), std::vector<std::string>{"Стрелка №1 свободна, установлена по +"});
    // The phrase spoken when a call is taken is made of words that have sound fragments.
    bool spoken = false;
    for (const std::string& r : bus.Requests(brInterface)) spoken |= NormalizeBlanks(r) == "4 32 СП1 стрелка плюс";
    EXPECT_TRUE(spoken);
    ExpectFragments();
    EXPECT_EQ(errors, std::vector<std::string>{});
}

// The signalmen turn a switch by hand and clamp it, clamp it as it lies, take the clamp off and
// take out a crank, each answered with what the models then show; a switch under a car or held by
// a route is not turned.
TEST_F(StationPartnersTest, SignalmenTurnAndClampSwitchesByHand)
{
    ASSERT_EQ(Send("3 5 5 1551 1 1552 1 402 1"), 1);  // post 1: switch 1 to "-"
    EXPECT_EQ(Rings("СП1", 6), std::vector<std::string>{"Стрелка №1 свободна, заперта на закладки, установлена по -"});
    EXPECT_EQ(Ask("1 4 1").rfind("0 1 0 2", 0), 0u);
    ASSERT_EQ(Send("3 5 5 1551 1 403 1"), 1);
    EXPECT_EQ(Rings("СП1", 6), std::vector<std::string>{"Стрелка №1 свободна, установлена по -"});
    EXPECT_EQ(Ask("1 4 1").rfind("0 1 0 0", 0), 0u);
    ASSERT_EQ(Send("3 5 5 1551 1 405 1"), 1);
    EXPECT_EQ(Rings("СП1", 6), std::vector<std::string>{"Стрелка №1 свободна, заперта на закладки, установлена по -"});
    ASSERT_EQ(Send("3 5 5 1551 1 403 1"), 1);
    Rings("СП1", 6);

    // The hump fan: clamped by hand, and locked again as trenager.ini locks it once unclamped.
    ASSERT_EQ(Send("3 5 3 1551 51 1552 1 402 1"), 1);
    EXPECT_EQ(Rings("СП3", 6), std::vector<std::string>{"Стрелка 51 установлена по -, заперта на закладку"});
    ASSERT_EQ(Send("3 5 3 1551 51 403 1"), 1);
    EXPECT_EQ(Rings("СП3", 6), std::vector<std::string>{"Стрелка 51 установлена по -"});
    EXPECT_EQ(Ask("1 4 51").rfind("0 1 0 1", 0), 0u);

    // Under a locomotive, or held by the route 101 -> 1В: not turned.
    int loco = std::atoi(Ask("3 18 2001 17").c_str());
    ASSERT_EQ(Send(Format("1 6 219 %d 5 0", loco)), 1);
    ASSERT_EQ(Send("3 5 3 1551 19 1552 1 402 1"), 1);
    EXPECT_EQ(Rings("СП3", 6),
              std::vector<std::string>{"Перевести нельзя: стрелка занята или замкнута в маршруте. Стрелка №19 занята, установлена по +"});
    ASSERT_EQ(Send("2 5 101 1"), 1);
    ASSERT_EQ(Send("2 5 121 1"), 1);
    Rings("СП1", 20);
    ASSERT_EQ(Ask("2 11 201").rfind("201 2", 0), 0u) << "the route is not set";
    ASSERT_EQ(Send("3 5 5 1551 1 1552 0 402 1"), 1);
    EXPECT_EQ(Rings("СП1", 6),
              std::vector<std::string>{"Перевести нельзя: стрелка занята или замкнута в маршруте. Стрелка №1 свободна, установлена по -"});
    EXPECT_EQ(Ask("1 4 1").rfind("0 1 0 1", 0), 0u);

    ASSERT_EQ(Send("3 19 4 7"), 1);
    ASSERT_EQ(Send("3 5 4 401 1"), 1);
    EXPECT_EQ(Rings("СП7", 6), std::vector<std::string>{"Курбель №7 извлечен"});
    ExpectFragments();
    EXPECT_EQ(errors, std::vector<std::string>{});
}

// The crossover between the departure main and the arrival main: switch 31 turns with 29, by hand
// as by the interlocking, and the clamps go on and off both; neither turns while a route holds
// the other.
//
//   (27)-[229]-(29)-[329]-|242-[29]-<104 ЧВ-[28]     the departure main
//    |           |
//    |         [429]
//    |           |
//    `--[427]---(31)-[231]-<102 Ч-[44]              the arrival main from the east
TEST_F(StationPartnersTest, SignalmenTurnACrossoverByHandAsOne)
{
    ASSERT_EQ(Send("3 5 4 1551 29 1552 1 402 1"), 1);  // post 7: switch 29 to "-"
    const std::string both = "Стрелка №29 свободна, заперта на закладки, установлена по -; стрелка 31 съезда "
                             "переводится с ней: Стрелка №31 свободна, заперта на закладки, установлена по -";
    EXPECT_EQ(Rings("СП7", 6), std::vector<std::string>{both});
    for (const char* sw : {"1 4 29", "1 4 31"}) EXPECT_EQ(Ask(sw).rfind("0 1 0 2", 0), 0u) << sw;
    ASSERT_EQ(Send("3 5 4 1551 31 403 1"), 1);
    Rings("СП7", 6);
    for (const char* sw : {"1 4 29", "1 4 31"}) EXPECT_EQ(Ask(sw).rfind("0 1 0 0", 0), 0u) << sw;
    ASSERT_EQ(Send("3 5 4 1551 29 405 1"), 1);
    Rings("СП7", 6);
    for (const char* sw : {"1 4 29", "1 4 31"}) EXPECT_EQ(Ask(sw).rfind("0 1 0 2", 0), 0u) << sw;
    ASSERT_EQ(Send("3 5 4 1551 29 403 1"), 1);
    Rings("СП7", 6);

    // Back to "+" by the interlocking; the arrival route 102 -> 1В then holds 31: 29 stays.
    ASSERT_EQ(Send("2 4 29 0 0"), 1);
    Rings("СП7", 10);
    ASSERT_EQ(Send("2 5 102 1"), 1);
    ASSERT_EQ(Send("2 5 131 1"), 1);
    Rings("СП7", 20);
    ASSERT_EQ(Ask("2 11 231").rfind("231 2", 0), 0u) << "the route is not set";
    ASSERT_EQ(Send("3 5 4 1551 29 1552 1 402 1"), 1);
    const std::vector<std::string> refused = Rings("СП7", 6);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0], "Перевести нельзя: стрелка занята или замкнута в маршруте. Стрелка №29 свободна, "
                          "установлена по +; стрелка 31 съезда переводится с ней: Стрелка №31 свободна, установлена по +");
    for (const char* sw : {"1 4 29", "1 4 31"}) EXPECT_EQ(Ask(sw).rfind("0 0 0", 0), 0u) << sw;
    ExpectFragments();
    EXPECT_EQ(errors, std::vector<std::string>{});
}

// The loudspeaker announcements on a train or a cut are acknowledged by the park's staff, the
// reports on a train to the dispatcher by the dispatcher's key, the helper locomotive's orders by
// the driver; none of them changes the train's state.
TEST_F(StationPartnersTest, AnnouncementsAndReportsOnATrainAreAnswered)
{
    auto said = [&](const std::string& order) {
        bus.ClearLog();
        EXPECT_EQ(Send(order), 1) << order;
        std::vector<std::string> out;
        for (const std::string& r : bus.Requests(brInterface)) {
            std::string n = NormalizeBlanks(r);
            if (n.rfind("4 10 ", 0) == 0) out.push_back(n.substr(5));
            if (n.rfind("4 33 ", 0) == 0) phrases.push_back(n.substr(5));
        }
        for (const std::string& e : bus.Requests(brInstructor)) errors.push_back(e);
        return out;
    };
    using Texts = std::vector<std::string>;
    EXPECT_EQ(said("3 5 7 124 1"), Texts{"Сигналист СП3: понял, роспуск поезда 2001 с пути 1П"});
    EXPECT_EQ(said("3 5 7 122 1"), Texts{"Сигналист СП3: понял, к поезду 2001 на пути 1П причепляется локомотив"});
    EXPECT_EQ(said("3 5 7 146 1"), Texts{"Сигналист СП3: понял, поезд 2001 отправляется с пути 1П"});
    EXPECT_EQ(said("3 5 10 124 1"), Texts{"Сигналист Понял, роспуск состава"});
    EXPECT_EQ(said("3 5 10 122 1"), Texts{"Сигналист Понял, к составу причепляется локомотив"});
    for (const char* order : {"3 5 7 423 1", "3 5 7 425 1"})
        EXPECT_EQ(said(order), Texts{"ПЛок Машинист поезда 2001: понял"});

    ASSERT_EQ(Send("3 5 7 140 1"), 1);
    EXPECT_EQ(Rings("ПДСу", 6), Texts{"ДНЦ: понял, поезд 2001 готов к отправлению"});
    ASSERT_EQ(Send("3 5 7 105 1"), 1);
    EXPECT_EQ(Rings("ПДСу", 6), Texts{"ДНЦ: понял, план работы с локомотивом поезда 2001 принят"});
    ASSERT_EQ(Send("3 5 7 424 1"), 1);
    EXPECT_EQ(Rings("ПДСу", 6), Texts{"ДНЦ: понял, поезд 2001 прибыл в полном составе с вспомогательным локомотивом"});
    EXPECT_EQ(Ask("3 4 7 1015"), "2 ");
    ExpectFragments();
    EXPECT_EQ(errors, std::vector<std::string>{});
}

// The electro-mechanic takes one order at a time and reports it done two minutes later, the fault
// cleared in the models, saying plainly whether he found one: 2П and 19СП show their true state,
// switch 27 turns again, a section with nothing wrong is "исправны".
TEST_F(StationPartnersTest, ElectroMechanicClearsTheLessonsFaults)
{
    ASSERT_EQ(Send("2 19 12 101"), 1);  // 2П shows occupied while free
    TickAll();
    EXPECT_EQ(Ask("2 11 12").rfind("12 1", 0), 0u);
    ASSERT_EQ(Send("3 19 6 12 2П"), 1);
    ASSERT_EQ(Send("3 5 6 411 1"), 1);
    ASSERT_EQ(Send("3 19 6 227 27СП"), 1);
    ASSERT_EQ(Send("3 5 6 411 1"), 1);  // busy with 2П
    // The order counts as the inquiry: a locomotive entering 2П before the repair is no error.
    int onTrack = std::atoi(Ask("3 18 2001 17").c_str());
    ASSERT_EQ(Send(Format("1 6 12 %d 100 0", onTrack)), 1);
    EXPECT_EQ(Rings("Рел", 110), std::vector<std::string>{"Занят на другой заявке, повторите позже"});
    EXPECT_EQ(Rings("Рел", 20),
              std::vector<std::string>{"Неисправность устранена: ложная занятость секции 2П. Путевая секция №2П занята"});
    EXPECT_EQ(Ask("2 11 12").rfind("12 1", 0), 0u);

    ASSERT_EQ(Send("1 37 27 3"), 1);
    ASSERT_EQ(Send("1 9 27 1"), 1);
    EXPECT_EQ(Ask("1 4 27").rfind("0 4 0 3", 0), 0u) << "switch 27 does not turn";
    ASSERT_EQ(Send("3 19 6 227 27СП"), 1);
    ASSERT_EQ(Send("3 5 6 411 1"), 1);
    EXPECT_EQ(Rings("Рел", 130),
              std::vector<std::string>{"Неисправность устранена: стрелка 27 переводится. Путевая секция №27СП свободна"});
    EXPECT_EQ(Ask("1 4 27").rfind("0 0 0 0", 0), 0u);
    ASSERT_EQ(Send("1 9 27 1"), 1);
    for (int i = 0; i < 10; ++i) TickAll();
    EXPECT_EQ(Ask("1 4 27").rfind("0 1 0 0", 0), 0u) << "switch 27 turns again";

    // 19СП shows free while a locomotive stands on it; repaired, it shows occupied.
    ASSERT_EQ(Send("2 19 219 102"), 1);
    int loco = std::atoi(Ask("3 18 2001 17").c_str());
    ASSERT_EQ(Send(Format("1 6 219 %d 5 0", loco)), 1);
    TickAll();
    EXPECT_EQ(Ask("2 11 219").rfind("219 0", 0), 0u);
    ASSERT_EQ(Send("3 19 6 219 19СП"), 1);
    ASSERT_EQ(Send("3 5 6 412 1"), 1);
    EXPECT_EQ(Rings("Рел", 130),
              std::vector<std::string>{"Неисправность устранена: ложная свободность секции 19СП. Путевая секция №19СП занята"});
    EXPECT_EQ(Ask("2 11 219").rfind("219 1", 0), 0u);

    // Nothing wrong with 27СП any more.
    ASSERT_EQ(Send("3 19 6 227 27СП"), 1);
    ASSERT_EQ(Send("3 5 6 411 1"), 1);
    EXPECT_EQ(Rings("Рел", 130), std::vector<std::string>{"Устройства исправны. Путевая секция №27СП свободна"});

    // A button sealed again.
    ASSERT_EQ(Send("3 19 6 ИР"), 1);
    ASSERT_EQ(Send("3 5 6 410 1"), 1);
    EXPECT_EQ(Rings("Рел", 130), std::vector<std::string>{"Кнопка ИР опломбирована"});
    ExpectFragments();
    EXPECT_EQ(errors, std::vector<std::string>{});
}

// The two faults of the second lesson, sent as its lines are: each shows on the help as the duty
// officer would see it (a section red with nothing on it at once, a switch when it does not turn),
// with whom to call on which section; the order the help names is answered with the fault found
// and cleared, and the panel then shows the section as it is.
TEST_F(StationPartnersTest, TheSecondLessonsFaultsAreToldOnTheHelpAndCleared)
{
    std::vector<std::string> faults;
    std::FILE* f = nullptr;
    ASSERT_GT(OpenDataFile(&f, "data\\lesson2.shd"), 0);
    std::string line;
    for (int r; (r = ReadDataLine(f, line, "*")) >= 0;) {
        std::istringstream w(line);
        int minutes = 0, receiver = 0;
        w >> minutes >> receiver;
        if (r == 1 && (receiver == 1 || receiver == 2)) faults.push_back(Trim(DropWords(line, 1)));
    }
    std::fclose(f);
    ASSERT_EQ(faults, (std::vector<std::string>{"2 19 203 101", "1 37 25 3"}));

    auto help = [&](const std::string& message) {
        bus.ClearLog();
        Send(message);
        std::vector<std::string> out;
        for (const std::string& r : bus.Requests(brInterface))
            if (NormalizeBlanks(r).rfind("4 38 ", 0) == 0) out.push_back(NormalizeBlanks(r).substr(5));
        return out;
    };
    using Texts = std::vector<std::string>;
    // 3СП falsely occupied.
    ASSERT_EQ(Ask("2 11 203").rfind("203 0", 0), 0u);
    EXPECT_EQ(help(faults[0]), Texts{"0:00 Секция 3СП занята, а поезда на ней нет: вызвать электромеханика Рел, заявка "
                                     "\"Ложная занятость секции\" 3СП"});
    EXPECT_EQ(Ask("2 11 203").rfind("203 1", 0), 0u);
    ASSERT_EQ(Send("3 19 6 203 3СП"), 1);
    ASSERT_EQ(Send("3 5 6 411 1"), 1);
    EXPECT_EQ(Rings("Рел", 130),
              Texts{"Неисправность устранена: ложная занятость секции 3СП. Путевая секция №3СП свободна"});
    EXPECT_EQ(Ask("2 11 203").rfind("203 0", 0), 0u);
    // The same fault again tells the help again; a mode the section already has does not.
    EXPECT_EQ(help("2 19 203 101").size(), 1u);
    EXPECT_EQ(help("2 19 203 101"), Texts{});
    ASSERT_EQ(Send("2 19 203 100"), 1);

    // Switch 25 cannot be turned: nothing shows until it is asked to turn; ordered on its section
    // 25СП, it turns again.
    for (int i = 0; i < 60; ++i) TickAll();
    EXPECT_EQ(help(faults[1]), Texts{});
    EXPECT_EQ(help("1 9 25 1"), Texts{"0:03 Стрелка 25 не переводится: вызвать электромеханика Рел, заявка "
                                      "\"Ложная занятость секции\" 25СП"});
    EXPECT_EQ(help("1 9 25 1"), Texts{});  // still stuck: told once
    EXPECT_EQ(Ask("1 4 25").rfind("0 4 0 3", 0), 0u);
    ASSERT_EQ(Send("3 19 6 225 25СП"), 1);
    ASSERT_EQ(Send("3 5 6 411 1"), 1);
    EXPECT_EQ(Rings("Рел", 130),
              Texts{"Неисправность устранена: стрелка 25 переводится. Путевая секция №25СП свободна"});
    // The answer as the switchboard shows it, not only as compared here: no doubled blank.
    for (const std::string& r : bus.Requests(brInterface)) {
        const size_t text = r.find("Неисправность");
        if (text != std::string::npos) {
            EXPECT_EQ(r.find("  ", text), std::string::npos) << r;
        }
    }
    ASSERT_EQ(Send("1 9 25 1"), 1);
    for (int i = 0; i < 10; ++i) TickAll();
    EXPECT_EQ(Ask("1 4 25").rfind("0 1 0 0", 0), 0u) << "switch 25 turns again";
    ExpectFragments();
    EXPECT_EQ(errors, std::vector<std::string>{});
}

// A train received on 2П stands there when 2П is given a false occupancy, and leaves before the
// repair: the repaired section shows free, not still held by the route the train came in on.
TEST_F(StationPartnersTest, ARepairedSectionShowsFreeOnceItsTrainHasLeft)
{
    TickAll();
    ASSERT_EQ(Send("2 5 101 1"), 1);
    ASSERT_EQ(Send("2 5 112 1"), 1);
    for (int i = 0; i < 20; ++i) TickAll();
    int loco = std::atoi(Ask("3 18 2001 17").c_str());
    ASSERT_EQ(Send(Format("1 6 12 %d 100 0", loco)), 1);
    for (int i = 0; i < 5; ++i) TickAll();
    ASSERT_EQ(Ask("2 11 12").rfind("12 1", 0), 0u);
    ASSERT_EQ(Send("2 19 12 101"), 1);
    ASSERT_EQ(Send(Format("1 7 %d", loco)), 1);
    for (int i = 0; i < 5; ++i) TickAll();
    bus.ClearLog();
    ASSERT_EQ(Send("2 19 12 100"), 1);
    EXPECT_EQ(Ask("2 11 12").rfind("12 0", 0), 0u) << Ask("2 11 12");
    std::string shown;
    for (const std::string& r : bus.Requests(brInterface))
        if (NormalizeBlanks(r).rfind("4 8 12 ", 0) == 0) shown = NormalizeBlanks(r);
    EXPECT_EQ(shown, "4 8 12 0 0");
}

// Errors name a train by its number and a locomotive by its name, not by their object numbers:
// train 2001 (object 7) and МЛ1 (object 1) both run from their tracks towards a track they cannot
// reach that way.
TEST_F(StationTecnTest, ErrorsNameTrainsAndLocomotivesAsTheTraineeKnowsThem)
{
    const std::map<int, std::string> names = {{7, "поезда №2001"}, {1, "локомотива МЛ1"}};
    for (const auto& [obj, name] : names) {
        bus.ClearLog();
        instructor.ErrorsProtocol.Clear();
        ASSERT_EQ(Send(Format("3 5 %d 1012 3 1013 13", obj)), 1);
        Send(Format("1 8 %d 900 0", obj));
        std::vector<std::string> errors = bus.Requests(brInstructor);
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors[0], "0 4 22 " + name);
        ASSERT_GT(instructor.ErrorsProtocol.Count(), 0);
        EXPECT_EQ(Trim(instructor.ErrorsProtocol[0]), "Движение " + name + " по неготовому маршруту");
    }
}

