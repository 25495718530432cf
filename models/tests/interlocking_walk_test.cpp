// A seeded random walk over the sample station: random trainee moves (route clicks in both modes,
// end buttons, cancels, the route-cancel mode, switch keys and hand-back, sealed buttons,
// artificial release, fault modes, closed sections, console releases) and random movements of
// objects on the plan (at most 22 m a one-second tick, never a jump), interleaved with time steps
// of 1 to 181 s. After every message and every tick the interlocking must hold:
//   S1 no section is held by two open routes;
//   S2 an open signal's route is intact: its switches lie right (both halves of a pair), its
//      sections are held by that route and, for a train route, free;
//   S3 the interlocking never turns a switch whose section is occupied or locked by a route,
//      unless the sealed auxiliary-turning button is held;
//   S4 a train signal is closed once its route is entered (part of S2, checked after every tick);
//   S5 a held section frees only behind a movement, by its own route's timed release, or by
//      artificial release;
//   S6 the panel (interface commands 7, 8 and 16) shows the interlocking's own state.
// A violation prints the seed and the shortest sequence of moves it can be shrunk to.
//
// The second walk runs all six models of the main window (plan, technology, interlocking,
// instructor, delay, signal movement) from the start-up messages of data/trenager.ini: the
// lesson's trains (its technology command 6 lines) come through the delay model at their minutes
// and now and then again directly, and run by signals instead of the random movements; now and
// then the walk closes an open signal that an object approaches ("close ahead") or gives МЛ1, МЛ2
// or the train locomotive 1612 a movement order as the radio dialogues register it ("order
// loco kind target mode": to a signal, past a signal or to a section, now and then past
// prohibiting signals; the target looked for ahead and then behind, else error 15); besides
// S1-S6, after every message and tick:
//   T1 no two objects' car bodies (wheelbase and the overhangs beyond the outer axles) overlap;
//   T2 no leading end passes a signal that was closed before the tick, except under an order
//      past prohibiting signals (1005 2, or running under one until it stands or turns while it
//      stops for an order the other way) or after a closing in front of it that the walk made
//      where even the emergency braking (1.2 m/s²) could no longer stop it; both are counted
//      apart, and a train that could have stopped never passes;
//   T3 an object that stood at the last tick, or ran the other way, begins the tick at walking
//      speed (0.05 m/s) at most: nothing starts or turns round at speed;
//   T4 every error 25 (a signal closed in front of a mover) names a signal that was open at the
//      start of the tick or of the one before: none for a signal closed all along.
//
// CI runs a fixed set of seeds (fewer moves in the sanitizer build). The long walk:
//   VELO_WALK_MOVES=1000000 VELO_WALK_SEEDS=100 build/models/models_station_tests
//       --gtest_filter='*InterlockingWalk*.RandomMoves*'
// (the walk runs in five test cases, each a fifth of the seeds);
// and with trains (best in a Release build; a tick of six models costs more):
//   VELO_WALK_MOVES=100000 VELO_WALK_SEEDS=50 build-rel/models/models_station_tests
//       --gtest_filter=InterlockingWalk.Trains*
// (VELO_WALK_FIRST_SEED picks the first seed; the figures are printed at the end.) A printed
// sequence is replayed with the messages of every move by VELO_WALK_REPLAY="2 5 101 1;step 5 77;..."
// under the filter of the walk that printed it.
//
//  |1101-[41]-181>-[42]-101>-[201]-(1)-[203]-(3)- ... receiving park 11-14 ... (17)(19)-(21)-151<-[60 61]-145<-[62] hump
//                                   `-[205]-(5)- ... departure park 21-23 -131..133>-(23)(25)-240-(27)-(29)-242-<104-[28]
//                                                                              crossover (29)(31)-<102-[44]-<183-[43]-|1102
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sample_station.h"
#include "models/base/Utilit.h"
#include "models/movement/SignalMoveModel.h"
#include "models/technology/TecnModel.h"
#include "platform/core/CFormat.h"
#include "platform/core/Strings.h"

namespace {

const int kSignals[] = {101, 102, 104, 111, 112, 113, 114, 121, 122, 123, 131, 132, 133, 145, 151, 171, 172, 173, 174, 181, 183};
const int kSwitches[] = {1, 3, 5, 7, 9, 11, 17, 19, 21, 23, 25, 27, 29, 31};
const int kPlanSections[] = {11, 12, 13, 14, 21, 22, 23, 28, 29, 41, 42, 43, 44, 60, 61, 62, 201, 205, 207, 221, 229, 231};
// The locomotives the movement orders go to: МЛ1, МЛ2 and the train locomotive 1612.
const int kMovers[] = {1, 2, 9};
// Objects placed at the start: number, plan section, length (m).
const int kObjects[][3] = {{1, 11, 300}, {2, 13, 500}, {3, 21, 200}, {4, 22, 300}, {5, 41, 600}, {6, 43, 600}, {7, 60, 40}};

// One move of the walk: a bus message of the trainee (or of a scenario line), or a time step of
// `ticks` one-second ticks in which the objects move as `motion` draws it.
struct TMove {
    std::string text;
    int ticks = 0;
    uint32_t motion = 0;
    std::string Show() const { return text.empty() ? Format("step %d %u", ticks, motion) : text; }
};

// Routes of the station (start, end, mode): random clicks seldom make one, so the walk also
// clicks these pairs.
const int kRoutes[][3] = {{101, 111, 1}, {101, 112, 1}, {101, 113, 1}, {101, 114, 1}, {101, 121, 1}, {101, 122, 1},
                          {101, 123, 1}, {102, 131, 1}, {102, 132, 1}, {102, 133, 1}, {171, 145, 1}, {172, 145, 1},
                          {173, 145, 1}, {174, 145, 1}, {131, 104, 1}, {132, 104, 1}, {133, 104, 1}, {145, 111, 0},
                          {145, 112, 0}, {145, 113, 0}, {145, 114, 0}, {121, 101, 0}, {111, 101, 0}, {131, 104, 0},
                          {101, 113, 0}, {102, 132, 0}, {123, 181, 0}, {133, 102, 0}};

// The trains of the sample lesson: its technology command 6 lines ([3 6 ...]) with the minute
// each is due, read once from station/data/lesson1.shd.
const std::vector<std::pair<int, std::string>>& LessonTrains()
{
    static const std::vector<std::pair<int, std::string>> trains = [] {
        std::vector<std::pair<int, std::string>> out;
        std::FILE* f = nullptr;
        if (OpenDataFile(&f, "data\\lesson1.shd") <= 0) return out;
        std::string line;
        for (int r; (r = ReadDataLine(f, line, "*")) >= 0;) {
            int minute = 0, receiver = 0, command = 0;
            if (r == 1 && SScanf(line.c_str(), "%d%d%d", &minute, &receiver, &command) == 3 && receiver == 3 && command == 6)
                out.emplace_back(minute, Trim(DropWords(line, 1)));
        }
        std::fclose(f);
        return out;
    }();
    return trains;
}

// Appends one or two moves (a route's two clicks, a cancel click after the cancel mode); with
// trains, now and then one of the lesson's trains is created again.
void RandomMove(std::mt19937& rng, std::vector<TMove>& out, bool trains = false)
{
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
    if (trains && !LessonTrains().empty() && pick(100) < 2) {
        out.push_back(TMove{LessonTrains()[static_cast<size_t>(pick(static_cast<int>(LessonTrains().size())))].second, 0, 0});
        return;
    }
    if (trains && pick(100) < 3) {  // a signal closed in front of a train
        out.push_back(TMove{Format("close ahead %d", pick(1000)), 0, 0});
        return;
    }
    if (trains && pick(100) < 5) {  // a movement order to a locomotive, as the radio dialogues give it
        const int kind = 1 + pick(3);
        const int target = kind == 3 ? kPlanSections[pick(std::size(kPlanSections))] : kSignals[pick(std::size(kSignals))];
        out.push_back(TMove{Format("order %d %d %d %d", kMovers[pick(std::size(kMovers))], kind, target, pick(4) ? 0 : 2), 0, 0});
        return;
    }
    if (trains && pick(100) < 10) {  // more train routes, for the trains to run on
        const int* route = kRoutes[pick(std::size(kRoutes))];
        out.push_back(TMove{Format("2 5 %d 1", route[0]), 0, 0});
        out.push_back(TMove{Format("2 5 %d 1", route[1]), 0, 0});
        return;
    }
    auto signal = [&] { return kSignals[pick(std::size(kSignals))]; };
    auto sw = [&] { return kSwitches[pick(std::size(kSwitches))]; };
    auto section = [&] { return kPlanSections[pick(std::size(kPlanSections))]; };
    auto add = [&](const std::string& text) { out.push_back(TMove{text, 0, 0}); };
    int r = pick(100);
    if (r < 25) {
        const int* route = kRoutes[pick(std::size(kRoutes))];
        add(Format("2 5 %d %d", route[0], route[2]));
        add(Format("2 %d %d %d", pick(2) ? 16 : 5, route[1], route[2]));
    } else if (r < 31) add(Format("2 5 %d %d", signal(), pick(2)));
    else if (r < 34) add(Format("2 16 %d %d", signal(), pick(2)));
    else if (r < 37) add("2 7");
    else if (r < 45) {
        add("2 9");
        const int* route = kRoutes[pick(std::size(kRoutes))];
        if (pick(4)) add(Format("2 5 %d %d", route[0], pick(4) ? route[2] : 1 - route[2]));
    } else if (r < 51) add(Format("2 4 %d %d 1", sw(), pick(2) ? 2 : pick(2)));
    else if (r < 53) add(Format("2 18 %d %d", sw(), pick(2)));
    else if (r < 55) add(Format("2 12 %d", section()));
    else if (r < 57) add("2 13");
    else if (r < 60) add(Format("2 19 %d %d", section(), 100 + pick(3)));
    else if (r < 61) add(Format("2 10 %d %d", signal(), 1 + pick(3)));
    else if (r < 62) add(Format("2 15 %d", signal()));
    else if (r < 63) add(Format("2 17 %d %d", section(), pick(4) ? 0 : 1));
    else if (r < 64) add(Format("2 21 %d", sw()));
    else out.push_back(TMove{"", pick(5) == 0 ? 1 + pick(181) : 1 + pick(5), static_cast<uint32_t>(rng())});
}

// The station under the walk, with a panel that remembers what it was told and watchers on the
// plan and the interlocking's own receiver.
class TWalkStation : public TSampleStation {
public:
    std::string violation;  // the first one, empty while none
    bool trace = false;     // keep the messages of the last message or tick
    long openings = 0;      // signals shown open, for the figures
    // With the technology and signal movement models: the lesson's trains run by signals instead
    // of the walk's random movements, and none may pass a closed signal.
    bool trains = false;

    bool Start()
    {
        ResetRandomGenerators();
        if (std::string e = Load(); !e.empty()) {
            violation = e;
            return false;
        }
        bus.recording = false;
        bus.SetReceiver(brInterface, [this](std::string& m, TlstParams*) { return Panel(m); });
        bus.SetReceiver(brTecn, [this](std::string& m, TlstParams*) { return Tecn(m); });
        bus.SetReceiver(brPlan, [this](std::string& m, TlstParams* l) { return PlanWatch(m, l); });
        bus.SetReceiver(brEC, [this](std::string& m, TlstParams* l) { return ECWatch(m, l); });
        bus.SetReceiver(brInstructor, [this](std::string& m, TlstParams* l) { return InstructorWatch(m, l); });
        if (trains) return StartTrains();
        for (const auto& o : kObjects) {
            length[o[0]] = o[2];
            if (!Send(Format("1 6 %d %d 50 0", o[1], o[0]))) {
                violation = Format("object %d cannot be placed on section %d", o[0], o[1]);
                return false;
            }
            speed[o[0]] = 0;
            dir[o[0]] = 0;
        }
        Snapshot();
        return true;
    }

    void Apply(const TMove& m)
    {
        if (!m.text.empty()) {
            Snapshot();
            Traced();
            if (m.text.rfind("order ", 0) == 0) Order(m.text);
            else Send(m.text.rfind("close ahead ", 0) == 0 ? CloseAhead(std::atoi(m.text.c_str() + 12)) : m.text);
            // A train the lesson creates appears at the end of its stretch as a movement would
            // enter it: the interlocking sees it, and closes its route's signal, in the next tick.
            entering = entering || (trains && m.text.rfind("3 6 ", 0) == 0);
            Check("after [" + m.text + "]");
            // Only a placing can lay bodies over each other between ticks.
            if (trains && m.text.rfind("2 ", 0) != 0) CheckBodies("after [" + m.text + "]");
            return;
        }
        if (trains) {
            for (int i = 0; i < m.ticks && violation.empty(); ++i) {
                Snapshot();
                Traced();
                TrainTick();
                entering = false;
                Check(Format("after the tick at %.0f s", t));
                CheckBodies(Format("after the tick at %.0f s", t));
            }
            return;
        }
        std::mt19937 rng(m.motion);
        for (int i = 0; i < m.ticks && violation.empty(); ++i) {
            Snapshot();
            Traced();
            for (auto& [obj, v] : speed) {
                if (rng() % 8 == 0) {
                    v = rng() % 5 ? 0 : static_cast<int>(rng() % 23);
                    dir[obj] = static_cast<int>(rng() % 2);
                }
                if (v > 0 && !Send(Format("1 8 %d %d %d", obj, v, dir[obj]))) dir[obj] = 1 - dir[obj];
            }
            Tick(1.0);
            Check(Format("after the tick at %.0f s", t));
        }
    }

    // The messages of the last message or tick, without the plan's polls and movements.
    std::string Trace() const
    {
        std::string out;
        for (const auto& r : bus.log)
            if (r.request.rfind("1 4 ", 0) && r.request.rfind("1 5 ", 0) && r.request.rfind("1 8 ", 0))
                out += "    " + r.request + " -> " + std::to_string(r.result) + "\n";
        return out;
    }

private:
    // The real technology model, its executors configured as the main window's definition
    // configures them, the signal movement model, the start-up messages, and the lesson's trains
    // queued in the delay model at their minutes.
    bool StartTrains()
    {
        namespace fs = std::filesystem;
        tecnModel.SetName("TecnModel");
        tecnModel.FileName = "DATA\\Tecnology.dat";
        ConfigureExecutorsAsTheMainWindow(tecnModel);
        std::string line;
        bus.Attach(brTecn, &tecnModel);
        move.SetName("SignalMoveModel");
        move.PlanModel = &plan;
        bus.Connect(&move);
        try {
            tecnModel.Init();
            move.Init();
        } catch (const Exception& e) {
            violation = e.Message;
            return false;
        }
        std::FILE* f = nullptr;
        if (OpenDataFile(&f, "data\\trenager.ini") <= 0) {
            violation = "no data\\trenager.ini";
            return false;
        }
        for (int r; (r = ReadDataLine(f, line, "*")) >= 0;)
            if (r == 1) Send(Trim(line));
        std::fclose(f);
        for (const auto& [minute, text] : LessonTrains())
            Send(Format("%d 4 %d %s", static_cast<int>(brDelay), minute * 60, text.c_str()));
        // The main window's loop runs before the trainee's first click: the interlocking has seen
        // the objects the start-up messages placed.
        TrainTick();
        Snapshot();
        Check("after the start-up messages");
        return violation.empty();
    }

    // Before a tick: the first signal facing each object end, its state, the distance to it and
    // the object's speed and mode.
    struct TAhead {
        int signal = 0;
        int state = 3;
        double distance = 0;
        float speed = 0;
        int mode = 0;
    };
    TAhead LookAhead(const TRM_Object& o, int d)
    {
        TAhead a;
        TRM_Section* c = o.EndSection(d);
        double distance = o.Position(d);
        for (int i = 0; c && i < 64 && distance < 1500; ++i) {
            TRM_Vertex* v = c->FarVertex(d);
            if (v && v->Kind() == 2 && static_cast<TRM_Signal*>(v)->Faces(d)) {
                a.signal = v->Number;
                a.distance = distance;
                std::string mes = Format("%d %d %d %d", static_cast<int>(brEC), 6, v->Number, 0);
                if (ec.fnGetMessage(mes, nullptr)) SScanf(mes.c_str(), "%d", &a.state);
                break;
            }
            c = plan.NextSection(c, d);
            if (c) distance += c->Length;
        }
        return a;
    }

    // The trainee's closing of an open signal that some object approaches (the which-th of them,
    // counted round): the interlocking's command to close it.
    std::string CloseAhead(int which)
    {
        std::vector<int> open;
        for (const auto& [end, a] : seen)
            if (a.signal && a.state < 2 && a.distance < 600) open.push_back(a.signal);
        if (open.empty()) return "2 15 0";
        return Format("2 15 %d", open[static_cast<size_t>(which) % open.size()]);
    }

    // A movement order as the radio dialogues register it: the target looked for ahead of the
    // locomotive and then behind it (past a signal, from its other end), registered with the
    // direction found, or the trainee's error 15.
    void Order(const std::string& text)
    {
        int loco = 0, kind = 0, target = 0, mode = 0;
        SScanf(text.c_str(), "order %d %d %d %d", &loco, &kind, &target, &mode);
        for (int attempt = 0; attempt < 2; ++attempt) {
            std::string mes = Format("1 12 %d %d", loco, kind == 2 ? 1 - attempt : attempt);
            unsigned section = 0;
            if (!bus.Send(mes) || SScanf(mes.c_str(), "%u", &section) != 1) return;
            mes = Format("1 19 %d %d %u %d 0", kind, target, section, attempt);
            bool reached = false;
            unsigned end = 0, beyond = 0;
            int flag = 0;
            if (bus.Send(mes))
                reached = kind == 3 ? SScanf(mes.c_str(), "%u%u", &end, &beyond) >= 1 && end == static_cast<unsigned>(target)
                                    : SScanf(mes.c_str(), "%u%u%d", &end, &beyond, &flag) == 3 && flag != 0;
            if (!reached) {
                mes = Format("1 %d %d %u %d", kind == 1 ? 17 : kind == 2 ? 35 : 20, target, section, attempt);
                reached = bus.Send(mes) && SScanf(mes.c_str(), "%u", &end) == 1 && end != 0;
            }
            if (reached) {
                Send(Format("3 5 %d 1003 %d 1012 %d 1013 %d 1005 %d", loco, attempt == 0 ? 1 : -1, kind, target, mode));
                return;
            }
        }
        Send(Format("0 4 15 %d", loco));
    }

    // The instructor's receiver: the errors 25 of the tick are kept for T4.
    int InstructorWatch(std::string& m, TlstParams* l)
    {
        if (m.rfind("0 4 25 ", 0) == 0) {
            closingErrors.push_back(m);
            ++closingErrorCount;
        }
        return instructor.fnGetMessage(m, l);
    }

    // One tick of the main window's loop. Before it the signal ahead of every object end is noted;
    // an object whose leading end crosses a signal facing its way must have found it open (T2).
    void TrainTick()
    {
        std::map<std::pair<int, int>, TAhead> ahead;
        std::map<int, std::pair<int, int>> fronts;
        for (auto* n = plan.Objects.First(); n; n = n->next) {
            if (n->value.Removed) continue;
            const int number = n->value.Number;
            // Speed and mode are asked only where they matter: at a closing, and within a tick's
            // run of a signal.
            const auto ask = [&](TAhead& a) {
                std::string mes = Format("%d %d %d 2002 1005", static_cast<int>(brTecn), 4, number);
                if (tecnModel.fnGetMessage(mes, nullptr)) SScanf(mes.c_str(), "%f%d", &a.speed, &a.mode);
            };
            for (int d : {0, 1}) {
                TAhead a = LookAhead(n->value, d);
                if (a.signal && a.distance < 40) ask(a);
                // A signal seen open before and closed now was closed in front of the object:
                // how far it was and how fast it ran then.
                auto last = seen.find({number, d});
                if (a.signal && a.state >= 2 && last != seen.end() && last->second.signal == a.signal &&
                    last->second.state < 2) {
                    ask(a);
                    closings[{number, a.signal}] = a;
                }
                if (a.signal && a.state < 2) closings.erase({number, a.signal});
                ahead[{number, d}] = a;
            }
            fronts[number] = {n->value.EndSection(0) ? n->value.EndSection(0)->Number : 0,
                              n->value.EndSection(1) ? n->value.EndSection(1)->Number : 0};
        }
        seen = ahead;
        // The modes (1005) at the start of the tick.
        std::map<int, int> modes;
        for (auto* n = plan.Objects.First(); n; n = n->next) {
            std::string mes = Format("%d %d %d 1005", static_cast<int>(brTecn), 4, n->value.Number);
            if (!n->value.Removed && tecnModel.fnGetMessage(mes, nullptr)) SScanf(mes.c_str(), "%d", &modes[n->value.Number]);
        }
        std::map<int, int> states;  // of every signal before the tick
        for (int signal : kSignals) {
            std::string mes = Format("%d %d %d %d", static_cast<int>(brEC), 6, signal, 0);
            states[signal] = 3;
            if (ec.fnGetMessage(mes, nullptr)) SScanf(mes.c_str(), "%d", &states[signal]);
        }
        motion.Before(plan, [this](int n) {
            std::string mes = Format("%d %d %d 2002", static_cast<int>(brTecn), 4, n);
            float v = 0;
            if (tecnModel.fnGetMessage(mes, nullptr)) SScanf(mes.c_str(), "%f", &v);
            return v;
        });
        closingErrors.clear();
        t += 1;
        for (TModel* m : std::initializer_list<TModel*>{&plan, &tecnModel, &delay, &move, &instructor, &ec})
            m->Process(static_cast<float>(t));
        // T3.
        const size_t faults = motion.faults.size();
        motion.After(plan, t);
        if (motion.faults.size() > faults) Violate("T3: " + motion.faults.back());
        // An object given a permission past prohibiting signals runs under it until it stands or
        // turns, even when an order for the other way has come meanwhile (it stops first).
        std::map<int, int> permittedNow;
        for (auto* n = plan.Objects.First(); n; n = n->next) {
            const int number = n->value.Number, way = motion.Direction(number);
            if (n->value.Removed || way < 0) continue;
            auto permit = permitted.find(number);
            if (modes[number] == 2 || (permit != permitted.end() && permit->second == way)) permittedNow[number] = way;
        }
        // T4: the signal an error 25 names was open when the mover last saw it, at the start of
        // this tick or of the one before.
        for (const std::string& e : closingErrors) {
            char name[32] = {0};
            SScanf(e.c_str(), "0 4 25 %31s", name);
            int signal = 0;
            for (int n : kSignals)
                if (TEC_Signal1* sig = AsSignal(ec.Vertexes.Find(n)); sig && (sig->Name == name || Format("%d", n) == name))
                    signal = n;
            auto now = states.find(signal);
            auto last = statesBefore.find(signal);
            if ((now == states.end() || now->second >= 2) && (last == statesBefore.end() || last->second >= 2))
                Violate(Format("T4: [%s] at %.0f s for a signal closed all along", e.c_str(), t));
        }
        statesBefore = states;
        for (auto* n = plan.Objects.First(); n; n = n->next) {
            auto before = fronts.find(n->value.Number);
            if (n->value.Removed || before == fronts.end()) continue;
            for (int d : {0, 1}) {
                TRM_Section* from = plan.FindSection(d == 0 ? before->second.first : before->second.second);
                TRM_Section* now = n->value.EndSection(d);
                if (!from || !now || from == now) continue;
                // The vertices the end crossed on its way in direction d; none when it went the
                // other way.
                std::vector<TRM_Vertex*> crossed;
                for (TRM_Section* c = from; c && c != now && crossed.size() < 16;) {
                    crossed.push_back(c->FarVertex(d));
                    c = plan.NextSection(c, d);
                    if (!c) crossed.clear();
                }
                for (TRM_Vertex* v : crossed) {
                    if (!v || v->Kind() != 2 || !static_cast<TRM_Signal*>(v)->Faces(d)) continue;
                    auto state = states.find(v->Number);
                    if (state == states.end() || state->second < 2) {
                        ++signalsPassed;
                        continue;
                    }
                    auto closed = closings.find({n->value.Number, v->Number});
                    auto permit = permitted.find(n->value.Number);
                    if (modes[n->value.Number] == 2 || (permit != permitted.end() && permit->second == d))
                        ++passedByOrder;
                    else if (closed != closings.end() &&
                             closed->second.speed * closed->second.speed / 2 / kEmergency > closed->second.distance - 0.6)
                        ++passedAfterClosing;
                    else
                        Violate(Format("T2: object %d passed closed signal %d at %.0f s (%.1f m/s, %.1f m before it "
                                       "when it closed)",
                                       n->value.Number, v->Number, t,
                                       closed == closings.end() ? -1.0 : static_cast<double>(closed->second.speed),
                                       closed == closings.end() ? -1.0 : closed->second.distance));
                }
            }
        }
        permitted = permittedNow;
    }

    // T1: the car bodies as stretches (offset from the section's to-vertex, low to high) on the
    // sections: the placements, and the overhangs beyond the outer axles, which may reach onto
    // the sections beyond.
    void CheckBodies(const std::string& when)
    {
        struct TStretch {
            const TRM_Section* section;
            double lo, hi;
            int object;
        };
        std::vector<TStretch> bodies;
        // An object's placements stand next to each other in the list, its direction-0 end first.
        std::vector<std::vector<TRM_ObjectOnSection>> runs;
        for (auto* n = plan.Placements.First(); n; n = n->next) {
            if (runs.empty() || runs.back().front().Object != n->value.Object) runs.emplace_back();
            runs.back().push_back(n->value);
        }
        for (const auto& run : runs) {
            const TRM_Object& o = *run.front().Object;
            for (const auto& p : run) bodies.push_back({p.Section, p.Offset, p.Offset + p.Span, o.Number});
            for (int d : {0, 1}) {
                const TRM_ObjectOnSection& end = d == 0 ? run.front() : run.back();
                TRM_Section* c = end.Section;
                double room = end.FreeAhead(d), over = o.EndOffset(d);
                double from = d == 0 ? end.Offset : end.Offset + end.Span;
                for (int i = 0; c && over > 1e-9 && i < 16; ++i) {
                    double piece = std::min(over, room);
                    if (piece > 0)
                        bodies.push_back(d == 0 ? TStretch{c, from - piece, from, o.Number}
                                                : TStretch{c, from, from + piece, o.Number});
                    over -= piece;
                    c = plan.NextSection(c, d);
                    if (c) {
                        room = c->Length;
                        from = d == 0 ? c->Length : 0;
                    }
                }
            }
        }
        for (size_t i = 0; i < bodies.size(); ++i)
            for (size_t j = i + 1; j < bodies.size(); ++j) {
                const TStretch &a = bodies[i], &b = bodies[j];
                if (a.object != b.object && a.section == b.section && a.lo < b.hi - kBodyTolerance &&
                    b.lo < a.hi - kBodyTolerance)
                    Violate(Format("T1: the bodies of objects %d and %d overlap on section %d (%.3f-%.3f, %.3f-%.3f) %s",
                                   a.object, b.object, a.section->Number, a.lo, a.hi, b.lo, b.hi, when.c_str()));
            }
    }

public:
    long signalsPassed = 0;       // open signals passed by a leading end, for the figures
    long passedByOrder = 0;       // closed ones passed under an order past prohibiting signals
    long passedAfterClosing = 0;  // closed ones passed after a closing in front of the object

private:
    void Traced()
    {
        bus.recording = trace;
        bus.ClearLog();
    }

    // ---- Recorders ----
    int Panel(std::string& m)
    {
        int r = 0, c = 0, a = 0, b = 0, d = 0;
        int n = SScanf(m.c_str(), "%d%d%d%d%d", &r, &c, &a, &b, &d);
        if (c == 39) return 0;
        if (c == 7 && n >= 4) {
            if ((b == 1 || b == 3) && aspects[a] != b) ++openings;
            aspects[a] = b;
        }
        if (c == 8 && n >= 5) cells[a] = d;
        if (c == 16 && n >= 4) lamps[a] = b;
        return 1;
    }
    int Tecn(std::string& m)
    {
        int r = 0, c = 0, obj = 0, par = 0;
        SScanf(m.c_str(), "%d%d%d%d", &r, &c, &obj, &par);
        if (c == 4 && par == 2018 && length.count(obj)) {
            m = Format("%d", length[obj]);
            return 1;
        }
        return c == 5 ? 1 : 0;
    }
    // S3: a turn the interlocking asks of the plan.
    int PlanWatch(std::string& m, TlstParams* l)
    {
        int r = 0, c = 0, n = 0;
        SScanf(m.c_str(), "%d%d%d", &r, &c, &n);
        std::string before = m;
        int result = plan.fnGetMessage(m, l);
        if (c == 9 && result) {
            TEC_Switch1* sw = AsSwitch(ec.Vertexes.Find(n));
            TEC_SwitchSection* sec = sw ? sw->Section : nullptr;
            if (sw && sec && !sw->AuxTurning && (sec->RouteId || sec->SectionState != 0 || PlanOccupied(sec)))
                Violate(Format("S3: [%s] turns switch %d while its section %d is %s", before.c_str(), n, sec->Number,
                               sec->RouteId || sec->SectionState == 2 ? "locked" : "occupied"));
        }
        return result;
    }
    // S5: remembers the releases delivered to the interlocking.
    int ECWatch(std::string& m, TlstParams* l)
    {
        int r = 0, c = 0;
        unsigned a = 0, lamp = 0, id = 0;
        int n = SScanf(m.c_str(), "%d%d%u%u%u", &r, &c, &a, &lamp, &id);
        if (c == 10) {
            TEC_Signal1* sig = AsSignal(ec.Vertexes.Find(static_cast<int>(a)));
            if (sig) released.insert(n >= 5 ? id : sig->Openings);
        }
        if (c == 14) artificial = true;
        return ec.fnGetMessage(m, l);
    }

    // ---- The invariants ----
    bool PlanOccupied(const TEC_Section1* s) const
    {
        for (unsigned ps : s->PlanSections) {
            TRM_Section* p = plan.FindSection(static_cast<int>(ps));
            if (p && !p->Free) return true;
        }
        if (auto* ss = dynamic_cast<const TEC_SwitchSection*>(s))
            for (TEC_Switch1* sw : ss->Switches)
                if (TRM_Switch* p = plan.FindSwitch(sw->Number); p && p->Occupied()) return true;
        return false;
    }
    // Occupied as far as the interlocking can know: a section in a fault mode shows what the
    // fault makes it show.
    bool Occupied(const TEC_Section1* s) const { return s->FaultMode == 100 ? PlanOccupied(s) : s->SectionState == 1; }
    int PlanPosition(int n) const
    {
        TRM_Switch* p = plan.FindSwitch(n);
        if (!p) return -1;
        return p->State == 4 || p->State == 5 ? p->State - 4 : p->State;
    }

    struct TSectionWas {
        int state;
        unsigned route;
        int stage;
    };
    void Snapshot()
    {
        was.clear();
        for (unsigned i = 0; i < ec.Sections.Count(); ++i) {
            TEC_Section1* s = ec.Sections.Get(i);
            was[s] = TSectionWas{s->SectionState, s->RouteId, s->ReleaseStage};
        }
        released.clear();
        artificial = false;
    }
    void Violate(const std::string& text)
    {
        if (violation.empty()) violation = text;
    }

    void Check(const std::string& when)
    {
        std::map<const TEC_Section1*, unsigned> heldBy;
        for (int n : kSignals) {
            TEC_Signal1* sig = AsSignal(ec.Vertexes.Find(n));
            if (!sig || sig->SignalState == 2) continue;
            // Block signals without a route follow the automatic block, not a route.
            if (sig->Kind >= 2 && sig->RouteId == 0) continue;
            if (sig->RouteId == 0) {
                Violate(Format("S2: signal %d open without a route %s", n, when.c_str()));
                continue;
            }
            for (const TEC_Section1* s : sig->RouteSections) {
                auto [it, fresh] = heldBy.emplace(s, sig->RouteId);
                if (!fresh && it->second != sig->RouteId)
                    Violate(Format("S1: section %d in the open routes %u and %u %s", s->Number, it->second, sig->RouteId,
                                   when.c_str()));
                if (s->RouteId != sig->RouteId || s->SectionState == 0)
                    Violate(Format("S2: signal %d open, its section %d not held by its route %s", n, s->Number, when.c_str()));
                if (sig->RouteMode == 1 && Occupied(s) && !entering)
                    Violate(Format("S2/S4: train signal %d open, its section %d occupied %s", n, s->Number, when.c_str()));
            }
            for (const auto& e : sig->RouteSwitches) {
                std::vector<TEC_Switch1*> halves{e.Switch};
                if (e.Switch->Partner) halves.push_back(e.Switch->Partner);
                for (TEC_Switch1* h : halves)
                    if (PlanPosition(h->Number) != e.Position)
                        Violate(Format("S2: signal %d open, switch %d not in %d %s", n, h->Number, e.Position, when.c_str()));
            }
        }
        // S5.
        std::set<unsigned> left;  // routes a movement left a section of
        for (auto& [s, w] : was)
            if (w.route && w.state == 1 && s->SectionState == 0) left.insert(w.route);
        std::set<unsigned> armed;
        for (auto& [s, w] : was)
            if (w.route && w.stage == 1) armed.insert(w.route);
        for (auto& [s, w] : was) {
            if (!w.route || s->RouteId == w.route) continue;
            // Behind a movement: it occupied the section while the route held it (a section in a
            // fault mode does not show it).
            bool passed = (w.state == 1 && s->SectionState == 0) || passedBy[s] == w.route;
            if (passed || released.count(w.route) || left.count(w.route) || (artificial && armed.count(w.route))) continue;
            Violate(Format("S5: section %d lost the lock of route %u (state %d -> %d) %s", s->Number, w.route, w.state,
                           s->SectionState, when.c_str()));
        }
        for (auto& [s, w] : was)
            if (s->RouteId && PlanOccupied(s)) passedBy[s] = s->RouteId;
        // S6.
        for (int n : kSignals) {
            TEC_Signal1* sig = AsSignal(ec.Vertexes.Find(n));
            if (!sig || sig->Kind >= 2) continue;
            int want = sig->SignalState < 2 ? (sig->RouteMode == 1 ? 3 : 1) : sig->ClosedAspect();
            auto it = aspects.find(n);
            int shown = it == aspects.end() ? sig->ClosedAspect() : it->second;
            if (shown != want) Violate(Format("S6: signal %d shows %d, is %d %s", n, shown, want, when.c_str()));
        }
        bool anyArmed = false;
        for (unsigned i = 0; i < ec.Sections.Count(); ++i) {
            TEC_Section1* s = ec.Sections.Get(i);
            anyArmed = anyArmed || s->ReleaseStage == 1;
            if (s->Type == 2) continue;  // blocks show on the block indicators
            int want = s->SectionState == 0 ? 0 : s->SectionState == 1 ? 2 : 1;
            if (s->ReleaseStage == 1) want = s->SectionState == 2 ? 5 : 6;
            auto it = cells.find(s->Number);
            int shown = it == cells.end() ? 0 : it->second;
            if (shown != want)
                Violate(Format("S6: section %d shows %d, is %d (state %d) %s", s->Number, shown, want, s->SectionState,
                               when.c_str()));
        }
        std::map<int, std::vector<TEC_Switch1*>> groups;
        for (int n : kSwitches)
            if (TEC_Switch1* sw = AsSwitch(ec.Vertexes.Find(n))) groups[sw->LampBase()].push_back(sw);
        for (auto& [base, group] : groups) {
            bool moving = false;
            for (TEC_Switch1* sw : group) moving = moving || sw->Position >= 2;
            if ((lamps[base * 10 + 2] != 0) != moving)
                Violate(Format("S6: moving lamp of switch %d is %d %s", base, lamps[base * 10 + 2], when.c_str()));
        }
        if ((lamps[5] != 0) != anyArmed)
            Violate(Format("S6: artificial-release lamp is %d, armed %d %s", lamps[5], anyArmed ? 1 : 0, when.c_str()));
    }

    std::map<int, int> aspects, cells, lamps;
    std::map<int, int> length, speed, dir;
    std::map<const TEC_Section1*, TSectionWas> was;
    std::set<unsigned> released;
    bool artificial = false;
    bool entering = false;  // an object was placed by the last message
    std::map<const TEC_Section1*, unsigned> passedBy;  // the route a movement passed the section in
    TTecnModel tecnModel;
    TSignalMoveModel move;
    std::map<std::pair<int, int>, TAhead> seen;      // by object and end, before the last tick
    std::map<std::pair<int, int>, TAhead> closings;  // by object and signal closed in front of it
    std::vector<std::string> closingErrors;          // the errors 25 of the tick
    std::map<int, int> statesBefore;                 // of every signal before the last tick
    // Objects running under a permission past prohibiting signals, with their direction.
    std::map<int, int> permitted;
public:
    TMotionWatch motion;
    long closingErrorCount = 0;
private:
    // The emergency deceleration the movement model brakes with when the data give none.
    static constexpr double kEmergency = 1.2;
    // Bodies may touch: the movement model stops 0.01 m short of the one ahead at least.
    static constexpr double kBodyTolerance = 0.001;
};

// Runs the moves on a fresh station; the index of the move at which the first violation came,
// or -1. The violation's text in *text.
long gOpenings = 0, gPassed = 0, gByOrder = 0, gAfterClosing = 0, gStarts = 0, gReversals = 0, gClosingErrors = 0;

int RunWalk(const std::vector<TMove>& moves, std::string* text, long* ticks = nullptr, std::string* trace = nullptr,
            bool trains = false)
{
    TWalkStation s;
    s.trace = trace != nullptr;
    s.trains = trains;
    if (!s.Start()) {
        *text = "the station does not load: " + s.violation;
        return 0;
    }
    for (size_t i = 0; i < moves.size(); ++i) {
        s.Apply(moves[i]);
        if (ticks) *ticks += moves[i].ticks;
        if (ticks) gOpenings += s.openings, s.openings = 0;
        if (ticks) gPassed += s.signalsPassed, s.signalsPassed = 0;
        if (ticks) gByOrder += s.passedByOrder, s.passedByOrder = 0;
        if (ticks) gAfterClosing += s.passedAfterClosing, s.passedAfterClosing = 0;
        if (ticks && (i + 1 == moves.size() || !s.violation.empty())) {
            gStarts += s.motion.starts;
            gReversals += s.motion.reversals;
            gClosingErrors += s.closingErrorCount;
        }
        if (!s.violation.empty()) {
            *text = s.violation;
            if (trace) *trace = s.Trace();
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The shortest failing sequence found by dropping chunks of moves while it still fails.
std::vector<TMove> Shrink(std::vector<TMove> moves, double seconds, bool trains)
{
    std::string text;
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    auto budget = [&] { return std::chrono::steady_clock::now() < until; };
    for (size_t chunk = moves.size() / 2; chunk >= 1 && budget(); chunk /= 2) {
        for (size_t at = 0; at < moves.size() && budget();) {
            std::vector<TMove> trial(moves.begin(), moves.begin() + static_cast<long>(at));
            trial.insert(trial.end(), moves.begin() + static_cast<long>(std::min(moves.size(), at + chunk)), moves.end());
            int failed = RunWalk(trial, &text, nullptr, nullptr, trains);
            if (failed >= 0) moves.assign(trial.begin(), trial.begin() + failed + 1);
            else at += chunk;
        }
        if (chunk == 1) break;
    }
    return moves;
}

long EnvNumber(const char* name, long fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

} // namespace

namespace {

// Replays moves given as "2 5 101 1;step 5 77;..." (a step: seconds and motion seed) and prints
// the messages of each; for studying a sequence the walk printed.
void Replay(const char* text, bool trains)
{
    TWalkStation s;
    s.trace = true;
    s.trains = trains;
    ASSERT_TRUE(s.Start()) << s.violation;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ';');) {
        TMove m;
        unsigned ticks = 0, motion = 0;
        if (SScanf(item.c_str(), "step %u %u", &ticks, &motion) == 2) m = TMove{"", static_cast<int>(ticks), motion};
        else m.text = item;
        s.Apply(m);
        std::printf("%s\n%s", m.Show().c_str(), s.Trace().c_str());
        if (!s.violation.empty()) std::printf("VIOLATION %s\n", s.violation.c_str());
    }
}

// Runs the walk over the seeds the environment asks for (see the head of the file), or over
// slice `part` of `parts` even slices of them: the same seeds and moves, spread over test cases
// that ctest can run at once.
void RunSeeds(bool trains, long defaultMoves, long defaultSeeds, const char* name, long part = 0, long parts = 1)
{
    namespace fs = std::filesystem;
    if (!fs::exists(fs::path(VELO_SOURCE_DIR) / "station" / "data" / "EC_Model.dat")) GTEST_SKIP() << "no sample station";
    TStationCopy copy;
    if (const char* replay = std::getenv("VELO_WALK_REPLAY")) return part == 0 ? Replay(replay, trains) : void();
    const long totalMoves = EnvNumber("VELO_WALK_MOVES", defaultMoves);
    const long seeds = std::max(1L, EnvNumber("VELO_WALK_SEEDS", defaultSeeds));
    const long firstSeed = EnvNumber("VELO_WALK_FIRST_SEED", 1);
    const long perSeed = std::max(1L, totalMoves / seeds);
    const long from = firstSeed + seeds * part / parts, to = firstSeed + seeds * (part + 1) / parts;
    auto started = std::chrono::steady_clock::now();
    const std::clock_t cpuStarted = std::clock();
    long moves = 0, ticks = 0, violations = 0;
    gOpenings = gPassed = gByOrder = gAfterClosing = gStarts = gReversals = gClosingErrors = 0;
    for (long seed = from; seed < to; ++seed) {
        std::mt19937 rng(static_cast<uint32_t>(seed));
        std::vector<TMove> walk;
        while (static_cast<long>(walk.size()) < perSeed) RandomMove(rng, walk, trains);
        walk.resize(static_cast<size_t>(perSeed));
        std::string text;
        int failed = RunWalk(walk, &text, &ticks, nullptr, trains);
        moves += failed < 0 ? perSeed : failed + 1;
        if (failed < 0) continue;
        ++violations;
        walk.resize(static_cast<size_t>(failed) + 1);
        std::vector<TMove> shortest = Shrink(walk, 30.0, trains);
        std::string shrunkText, trace;
        RunWalk(shortest, &shrunkText, nullptr, &trace, trains);
        std::ostringstream out;
        out << "seed " << seed << ", move " << failed + 1 << ": " << text << "\nshrunk to " << shortest.size()
            << " moves (" << shrunkText << "):\n";
        for (const TMove& m : shortest) out << "  " << m.Show() << "\n";
        out << "  the messages of the last message or tick:\n" << trace;
        ADD_FAILURE() << out.str();
        if (violations >= 3) break;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%s: %ld moves, %ld one-second ticks, %ld signals opened, %ld signals passed (closed: %ld under an "
                "order, %ld closed in front), %ld starts, %ld reversals, %ld errors 25, seeds %ld-%ld, %ld violations, "
                "%.1f s, %.1f s CPU\n",
                name, moves, ticks, gOpenings, gPassed, gByOrder, gAfterClosing, gStarts, gReversals, gClosingErrors,
                from, to - 1, violations, seconds, static_cast<double>(std::clock() - cpuStarted) / CLOCKS_PER_SEC);
}

} // namespace

// The walk in five slices of four seeds each, so that no one test case sets the suite's time.
constexpr long kWalkSlices = 5;
class InterlockingWalkSlice : public ::testing::TestWithParam<long> {};

TEST_P(InterlockingWalkSlice, RandomMovesKeepTheRoutesSafe)
{
#if defined(__SANITIZE_ADDRESS__)
    RunSeeds(false, 3000, 20, "interlocking walk", GetParam(), kWalkSlices);
#else
    RunSeeds(false, 30000, 20, "interlocking walk", GetParam(), kWalkSlices);
#endif
}

INSTANTIATE_TEST_SUITE_P(Seeds, InterlockingWalkSlice, ::testing::Range(0L, kWalkSlices));

// The same walk with all six models of the main window: the lesson's trains run by signals, and
// no leading end passes a closed one.
TEST(InterlockingWalk, TrainsRunningBySignalsNeverPassAClosedOne)
{
#if defined(__SANITIZE_ADDRESS__)
    RunSeeds(true, 360, 2, "walk with trains");
#else
    RunSeeds(true, 3600, 5, "walk with trains");
#endif
}
