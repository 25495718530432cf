// A new trainee's first shift on the sample station: a model trainee works the sample lesson's
// hour on the program's own main window and the six real models, doing only what a trainee does
// (taking the calls on the switchboard, clicking route buttons, confirming dialogues) and only what
// the screen tells him (the calls, the help window). Every tick no two objects of the plan may
// overlap. A second run with nobody at the panel lists what an idle trainee is charged with.
#include <QTest>

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "TrainerFixture.h"
#include "app/UtilityWindows.h"
#include "app/dialogues/ChannelWindows.h"
#include "app/dialogues/ElectroMechanic.h"
#include "app/dialogues/MovementTalks.h"
#include "app/dialogues/PostDialogues.h"
#include "app/dialogues/PostTalks.h"
#include "app/dialogues/RadioTalks.h"
#include "app/dialogues/SwitchboardTalks.h"
#include "app/scenario/ScenarioFile.h"
#include "models/operations/InstructorModel.h"
#include "models/plan/PlanModel.h"
#include "panel/EC_Cell.h"
#include "panel/EC_ComutatorButton.h"
#include "panel/EC_Section.h"
#include "platform/core/CFormat.h"

namespace {

// Where things are on the sample station (station/README.md):
//
//   west stretch -> 101 Н -> 201 -> 203 -> 207 -> 111/112 (1П, 2П)       (209 -> 113/114: 3П, 4П)
//                           `-> 205 -> 121 (1В)   `-> 211 -> 122/123 (2В, 3В)
//   1П-4П: 171-174 НГ1-НГ4 -> 217/219 -> 221 -> 60 -> 145 ЧГ (the hump)
//   1В-3В: 131-133 Н1-Н3 -> 223 (1В, 2В) -> 225 -> 227 -> 229 -> 29 -> 104 ЧВ -> 28 (departure main)
//   east stretch -> 102 Ч -> 231 (its cells show switch 31 too) -> 227 -> 225 -> 223 -> 131/132 (1В, 2В)   (225 -> 133: 3В)
const std::map<std::string, int> kSignals = {{"Н", 101},   {"Ч", 102},   {"НГ1", 171}, {"НГ2", 172}, {"НГ3", 173},
                                             {"НГ4", 174}, {"Н1", 131},  {"Н2", 132},  {"Н3", 133},  {"ЧГ", 145},
                                             {"ЧВ", 104}};
const std::map<std::string, int> kTracks = {{"1П", 11}, {"2П", 12}, {"3П", 13}, {"4П", 14},
                                            {"1В", 21}, {"2В", 22}, {"3В", 23}};

// The route's end button and its interlocking sections, which must all be dark on the panel
// before the trainee sets it.
struct TRoute {
    int Start = 0, End = 0;
    std::vector<int> Sections;
};

TRoute RouteOf(const std::string& from, const std::string& to)
{
    const int s = kSignals.at(from);
    if (to == "ЧГ") {
        const bool west = s <= 172;
        return {s, 145, {west ? 217 : 219, 221, 60}};
    }
    if (to == "ЧВ") {
        std::vector<int> secs = {225, 227, 229, 29, 28};
        if (s != 133) secs.push_back(223);
        return {s, 104, secs};
    }
    const int track = kTracks.at(to);
    if (s == 101) {
        if (track < 20) return {s, 100 + track, {201, 203, track <= 12 ? 207 : 209, track}};
        std::vector<int> secs = {201, 205, track};
        if (track > 21) secs.push_back(211);
        return {s, 100 + track, secs};
    }
    std::vector<int> secs = {227, 225, track};
    if (track != 23) secs.push_back(223);
    return {s, 110 + track, secs};
}

// The receiving track whose humping signal is signal.
std::string HumpTrack(const std::string& signal) { return signal.substr(signal.size() - 1) + "П"; }

// The words of a text.
std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> w;
    for (std::string x; in >> x;) w.push_back(x);
    return w;
}

// The word after the first occurrence of key (empty when none), without a trailing comma.
std::string After(const std::string& text, const std::string& key)
{
    auto w = Words(text);
    for (size_t i = 0; i + 1 < w.size(); ++i)
        if (w[i] == key) {
            std::string v = w[i + 1];
            while (!v.empty() && (v.back() == ',' || v.back() == ':')) v.pop_back();
            return v;
        }
    return "";
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The word before the first occurrence of key (empty when none).
std::string Before(const std::string& text, const std::string& key)
{
    auto w = Words(text);
    for (size_t i = 1; i < w.size(); ++i)
        if (w[i] == key) return w[i - 1];
    return "";
}

} // namespace

namespace {

// What the model trainee knows of a train from its departure notice.
struct TTrainNote {
    std::string Kind, Loco, Track;
    int Podhod = 0, Cars = 0;
    bool Loaded = false;
    bool Transit() const { return Has(Kind, "транзит"); }
    bool Passenger() const { return Has(Kind, "пассаж") || Has(Kind, "пригород"); }
};

// A step the trainee waits to take until the panel allows it.
struct TPending {
    enum { Arrival, Hump, Departure, Order, Cancel, Verify, Reroute } What;
    std::string Train, From, To;
    int Wait = 0;  // ticks left before an order that follows a route
    bool Ordered = false;  // waits for the dispatcher's order
    std::string Again = "";  // a cancelled arrival route set again afterwards: its end
};

// The slip the model trainee makes once, on the first occasion for it.
enum class TSlip {
    None,
    WrongAnnouncement,  // a passenger train's arrival announced from the other approach
    WrongEndButton,     // an arrival route's start, then the end of a track it cannot take
    SecondCancel,       // a humping route cancelled twice
    LateRoute,          // an arrival route set four minutes after it could have been
    LateFaultReport,    // the electro-mechanic called about a switch that does not turn four minutes late
    OtherTrack,         // a passenger train routed to another free track than the help proposed
    CancelAndReset,     // an arrival route cancelled at once and set again once released
};

} // namespace

class FirstShiftTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        m = StartSampleStation();
        if (!m) GTEST_SKIP() << "no sample station";
        m->Bus.recording = false;
        plan = dynamic_cast<TPlanModel*>(m->FindComponent("PlanModel"));
        instructor = dynamic_cast<TInstructorModel*>(m->FindComponent("InstructorModel"));
        ASSERT_TRUE(plan && instructor);
    }

    // The lesson (a file of data/) queued as "Пуск" queues it.
    void StartLesson(const std::string& name)
    {
        // Every run of a lesson draws the same inspection times, whichever test ran before it.
        ResetRandomGenerators();
        std::vector<TUnscheduledLine> skipped;
        ASSERT_TRUE(ScheduleScenario("data/" + name, [](std::string& mes) { return SendTrainerMessage(mes); },
                                     skipped))
            << name;
        ASSERT_TRUE(skipped.empty()) << skipped[0].Text << ": " << skipped[0].Reason;
    }

    // The lesson of VELO_LESSON, lesson1.shd when it is not set.
    static std::string LessonOfTheRun()
    {
        const char* lesson = std::getenv("VELO_LESSON");
        return lesson && *lesson ? lesson : "lesson1.shd";
    }

    // The model trainee works the started lesson to its end, making the slip once.
    void WorkTheLesson(TSlip slip);

    // One tick of the main timer; fails the test when two objects of the plan overlap.
    void Tick()
    {
        m->MainTimerTimer(nullptr);
        std::map<TRM_Section*, std::vector<const TRM_ObjectOnSection*>> on;
        for (auto* n = plan->Placements.First(); n; n = n->next) on[n->value.Section].push_back(&n->value);
        for (auto& [section, list] : on)
            for (size_t i = 0; i < list.size(); ++i)
                for (size_t j = i + 1; j < list.size(); ++j) {
                    const auto *a = list[i], *b = list[j];
                    if (a->Object == b->Object) continue;
                    const bool overlap = a->Offset < b->Offset + b->Span - 0.01 && b->Offset < a->Offset + a->Span - 0.01;
                    if (overlap) ++overlaps;
                    EXPECT_FALSE(overlap) << "objects " << a->Object->Number << " and " << b->Object->Number
                                          << " overlap on section " << section->Number << " at " << m->ModelTime;
                }
    }

    std::string Clock() const
    {
        const int minutes = static_cast<int>(m->ModelTime) / 60;
        return Format("%02d:%02d", minutes / 60, minutes % 60);
    }

    // True when every section shows dark (neither locked nor occupied) on the panel.
    bool Dark(const std::vector<int>& sections)
    {
        for (int id : sections) {
            auto* s = m->FindChild<TEC_Section>(Format("EC_Section%d", id));
            if (!s) continue;
            for (int part = 0; part < 2; ++part)
                for (auto* c : s->Cells(part))
                    if (c->State() != csFree) return false;
        }
        return true;
    }

    // A click on a route's start or end: the red end buttons send 16, the green buttons 5.
    bool Click(int button)
    {
        static const std::set<int> ends = {104, 111, 112, 113, 114, 121, 122, 123, 145};
        std::string mes = Format("2 %d %d 1", ends.count(button) ? 16 : 5, button);
        return SendTrainerMessage(mes);
    }

    std::vector<std::string> Errors() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < instructor->ErrorsProtocol.Count(); ++i) out.push_back(Trim(instructor->ErrorsProtocol[i]));
        return out;
    }

    TfmMain* m = nullptr;
    TPlanModel* plan = nullptr;
    TInstructorModel* instructor = nullptr;
    int overlaps = 0;
};


// The model trainee works the whole lesson: every train it is told of in and out, every order
// answered, the information window listing every train it knows at every minute, a help line for
// every step, no two objects overlapping.
void FirstShiftTest::WorkTheLesson(TSlip slip)
{
    TTalk talk([](std::string& mes) { return SendTrainerMessage(mes); });
    // The trains standing at start are secured by two shoes (data/trenager.ini).
    std::map<std::string, int> shoesOn = {{"1П", 2}, {"3П", 2}};
    std::map<std::string, TTrainNote> trains;
    std::set<std::string> humpOrders, outstanding;  // tracks ordered humped; answers still due
    int transitOrders = 0;
    bool humpBusy = false;
    std::vector<TPending> pending;
    std::vector<std::string> calls;
    std::map<std::string, std::string> finalState;
    int helpSeen = 0, steps = 0;
    bool slipped = false;  // the slip is made once
    std::pair<std::string, std::string> routedElsewhere;  // the train and the track it went to instead
    std::set<std::string> stateLines;                     // every line "Стан поїздів" showed
    int lateBy = 240;      // ticks a late route waits
    std::vector<std::pair<int, std::string>> faultLines;  // fault help lines, with the tick to act
    // The tracks being humped, with the tick by which the panel must show them dark: no cut or
    // plan object may stay behind, nor the section stay occupied with nothing on it.
    std::map<std::string, double> humpedBy;
    const double humpingTime = 20 * 60;  // a humping takes ten minutes; twice that is a fault

    // A channel window the trainee has read is closed ("Зрозуміло").
    auto heard = [](const std::string& window) {
        auto* w = dynamic_cast<TChannelWindow*>(Screen().FindForm(window));
        if (w && w->Visible()) w->btCloseClick(nullptr);
    };
    // The answer to an order stands in the partner's channel window ("" the message window),
    // which the trainee then closes.
    auto answered = [&](const std::string& window, const std::string& part, const std::string& what) {
        if (window.empty()) {
            EXPECT_TRUE(Has(fmMessage->mMessage->Text(), part)) << what << " unanswered";
            return;
        }
        auto* w = dynamic_cast<TChannelWindow*>(Screen().FindForm(window));
        ASSERT_NE(w, nullptr) << window;
        EXPECT_TRUE(w->Visible() && Has(w->mMessage->Text(), part)) << what << " unanswered: " << w->mMessage->Text();
        w->btCloseClick(nullptr);
    };

    const int lessonEnd = 75 * 60;
    const bool log = std::getenv("VELO_FIRSTSHIFT_LOG") != nullptr;  // what the trainee saw, minute by minute
    // VELO_FIRSTSHIFT_SHOT_MINUTE: the minute of the pictures (24 when not set).
    const char* minute = std::getenv("VELO_FIRSTSHIFT_SHOT_MINUTE");
    const int shotMinute = minute ? std::atoi(minute) : 24;
    while (m->ModelTime < lessonEnd) {
        Tick();
        // Calls: taken at once, read, closed.
        for (int k = 1; k <= 8; ++k) {
            auto* key = m->FindChild<TEC_ComutatorButton>(Format("EC_ComutatorButton%d", k));
            if (!key || key->State() != TEC_ComutatorButton::ksRinging) continue;
            QTest::mouseClick(key->Widget(), Qt::LeftButton, {}, QPoint(3, 3));
            TStringList* lines = key->GetMessageA();
            const std::string text = lines->Count() ? (*lines)[lines->Count() - 1] : "";
            calls.push_back(key->Caption() + ": " + text);
            if (log) std::printf("%s call %s\n", Clock().c_str(), calls.back().c_str());
            if (fmCommutatorMessage->Visible()) fmCommutatorMessage->btCloseClick(nullptr);
            const std::string caption = key->Caption();
            if (caption == "ПЖСвост" || caption == "ПЖСвер") {
                const std::string n = After(text, "поезд");
                TTrainNote note;
                note.Podhod = caption == "ПЖСвост" ? 2 : 1;
                note.Loco = After(text, "лок.");
                note.Kind = text;
                note.Cars = static_cast<int>(AtolC(Before(text, "ваг.").c_str()));
                note.Loaded = Has(text, "груженый");
                trains[n] = note;
            } else if (caption == "ПДСу") {
                if (Has(text, "первого пути")) humpOrders.insert("1П");
                if (Has(text, "второго пути")) humpOrders.insert("2П");
                if (Has(text, "третьего пути")) humpOrders.insert("3П");
                if (Has(text, "Транзитный")) ++transitOrders;
            } else if (caption == "ПТО") {
                const std::string n = After(text, "Поезд");
                outstanding.erase("inspection " + n);
            }
        }
        // The help window: each new line names the next step.
        TMemo* help = fmActiveHelp->Memo1;
        for (; helpSeen < help->Lines().Count(); ++helpSeen) {
            const std::string line = help->Lines()[helpSeen];
            if (log) std::printf("%s help %s\n", Clock().c_str(), line.c_str());
            const std::string n = After(line, "Поезд").empty() ? After(line, "поезда") : After(line, "Поезд");
            if (Has(line, "ответить \"Ожидаю\"")) {
                ASSERT_TRUE(trains.count(n)) << "help before the notice: " << line;
                TTrainNote& t = trains[n];
                const std::string from = After(line, "маршрут");
                t.Track = line.substr(line.rfind(' ') + 1);
                const std::string key = t.Podhod == 2 ? "ПЖСвост" : "ПЖСвер";
                ConfirmWaiting(talk, n, TOwnerKeyInfo{key, t.Podhod});
                if (t.Passenger() && slip == TSlip::WrongAnnouncement && !slipped) {
                    slipped = true;  // announced as coming from the other side, and not again
                    ConfirmAnnouncedArrival(talk, n, 3 - t.Podhod, kTracks.at(t.Track));
                } else if (t.Passenger())
                    ConfirmAnnouncedArrival(talk, n, t.Podhod, kTracks.at(t.Track));
                else
                    ConfirmArrival(talk, n, t.Podhod, kTracks.at(t.Track), t.Transit() ? 2 : 1);
                outstanding.insert("inspection " + n);
                steps += 2;
                pending.push_back({TPending::Arrival, n, from, t.Track});
            } else if (Has(line, "прибыл на") && !Has(line, ": закрепить")) {
                trains[n].Track = After(line, "на");
            } else if (Has(line, ": закрепить")) {
                // "Поезд 2401 прибыл на 2П: закрепить 3 башмаками (СП3), ...": the track it stands on
                // and the shoe count its norm asks for.
                TTrainNote& t = trains[n];
                t.Track = After(line, "на");
                const int track = kTracks.at(t.Track);
                const int need = static_cast<int>(AtolC(After(line, "закрепить").c_str()));
                ASSERT_GT(need, 0) << line;
                heard("fmGromk");
                auto* dialogue = dynamic_cast<TShoesDialogue*>(Screen().FindForm("fmZacrepit"));
                ASSERT_NE(dialogue, nullptr);
                ConfirmSecuring(talk, n, track, std::to_string(need), dialogue->Norms);
                answered("fmGromk", n, "securing");
                shoesOn[t.Track] = need;
                ++steps;
            } else if (Has(line, "готов к роспуску")) {
                pending.push_back({TPending::Hump, n, After(line, "маршрут"), "ЧГ"});
            } else if (Has(line, "готов:")) {
                pending.push_back({TPending::Departure, n, After(line, "маршрут"), "ЧВ", 0, Has(line, "указания ПДСу")});
            } else if (Has(line, "сообщить ПЖСвер время")) {
                const TTrainNote& t = trains[n];
                const int code = !t.Passenger() ? 142 : Has(t.Kind, "пригород") ? 304 : 302;
                ConfirmDeparture(talk, n, Clock(), 1, code);
                answered("", "понял, поезд " + n, "departure report");
                ++steps;
            } else if (Has(line, "вызвать электромеханика")) {
                const bool late = slip == TSlip::LateFaultReport && !slipped && Has(line, "Стрелка");
                slipped = slipped || late;
                faultLines.push_back({static_cast<int>(m->ModelTime) + (late ? 240 : 0), line});
            } else if (Has(line, "окончен: отменить маршрут")) {
                pending.push_back({TPending::Cancel, n, After(line, "маршрут"), "ЧГ"});
            }
        }
        for (auto h = humpedBy.begin(); h != humpedBy.end();) {
            const bool dark = Dark({kTracks.at(h->first)});
            EXPECT_TRUE(dark || m->ModelTime < h->second) << h->first << " still lit twenty minutes after its humping began, at " << Clock();
            h = dark || m->ModelTime >= h->second ? humpedBy.erase(h) : std::next(h);
        }
        // Faults: "... заявка "Ложная занятость секции" 25СП": the order as the line says, the
        // section picked by its name from the dialogue's list.
        for (auto f = faultLines.begin(); f != faultLines.end();) {
            if (f->first > m->ModelTime) {
                ++f;
                continue;
            }
            const std::string line = f->second;
            f = faultLines.erase(f);
            auto* dialogue = dynamic_cast<TfmElectroMex*>(Screen().FindForm("fmElectroMex"));
            ASSERT_NE(dialogue, nullptr);
            const std::string name = line.substr(line.rfind(' ') + 1);
            int id = 0;
            for (int i = 0; i < dialogue->cbSection->Items().Count(); ++i)
                if (dialogue->cbSection->Items()[i] == name) id = *dialogue->SectionIds.Get(static_cast<unsigned>(i));
            ASSERT_NE(id, 0) << line;
            heard("fmCommutatorMessage");
            ConfirmElectroMechanic(talk, Has(line, "Ложная свободность") ? 3 : 2, std::nullopt, id, name);
            ++steps;
        }
        // Pending steps, in order, each once the panel allows it.
        std::vector<TPending> next;  // the steps a step taken now leads to
        for (auto it = pending.begin(); it != pending.end();) {
            TPending& p = *it;
            bool done = false;
            if (p.What == TPending::Cancel) {
                // "Отмена маршр." and the route's start button. While the interlocking sets another
                // route it takes no click: the cancel mode (its lamp lit) is put off again and the
                // cancel tried at the next tick.
                const int times = slip == TSlip::SecondCancel && !slipped ? 2 : 1;
                std::string mes = "2 9";
                SendTrainerMessage(mes);
                if (Click(kSignals.at(p.From))) {
                    for (int k = 1; k < times; ++k) {
                        mes = "2 9";
                        SendTrainerMessage(mes);
                        Click(kSignals.at(p.From));
                    }
                    slipped = slipped || times == 2;
                    if (!p.Again.empty()) next.push_back({TPending::Arrival, p.Train, p.From, p.Again});
                    else humpBusy = false;
                    ++steps;
                    done = true;
                } else {
                    mes = "2 9";
                    SendTrainerMessage(mes);
                }
            } else if (p.What == TPending::Verify) {
                if (--p.Wait <= 0) {
                    if (Dark(RouteOf(p.From, p.To).Sections)) {
                        if (log) std::printf("%s route %s - %s not set\n", Clock().c_str(), p.From.c_str(), p.To.c_str());
                        next.push_back({TPending::Reroute, p.Train, p.From, p.To});
                    }
                    done = true;
                }
            } else if (p.What == TPending::Reroute) {
                const TRoute r = RouteOf(p.From, p.To);
                if (Dark(r.Sections) && Click(r.Start)) {
                    EXPECT_TRUE(Click(r.End)) << p.Train;
                    next.push_back({TPending::Verify, p.Train, p.From, p.To, 20});
                    done = true;
                }
            } else if (p.What == TPending::Order) {
                if (--p.Wait <= 0) {
                    const TTrainNote& t = trains[p.Train];
                    heard("fmTrain");
                    if (log) std::printf("%s departure order %s\n", Clock().c_str(), p.Train.c_str());
                    ConfirmTrainDeparture(talk, p.Train, t.Loco, kTracks.at(t.Track), 1);
                    answered("fmTrain", p.Train, "departure order");
                    ++steps;
                    done = true;
                }
            } else {
                const TRoute r = RouteOf(p.From, p.To);
                bool allowed = Dark(r.Sections);
                if (p.What == TPending::Hump) {
                    const std::string ordered = HumpTrack(p.From);
                    allowed = allowed && !humpBusy && humpOrders.count(ordered);
                }
                if (p.What == TPending::Departure && p.Ordered) allowed = allowed && transitOrders > 0;
                if (allowed && p.What != TPending::Arrival && p.Wait == 0) {
                    p.Wait = 1;  // done once, also when the route must be clicked again
                    // The shoes away first, as the help says.
                    const std::string track = p.What == TPending::Hump ? HumpTrack(p.From) : trains[p.Train].Track;
                    if (shoesOn.count(track)) {
                        heard("fmGromk");
                        ConfirmShoesRemoval(talk, kTracks.at(track), track, std::to_string(shoesOn[track]));
                        answered("fmGromk", "убраны", "shoe removal");
                        shoesOn.erase(track);
                        ++steps;
                    }
                    // The park is told over the loudspeaker: the humping, and every freight train's
                    // departure to Тарвина-Вертолин, where every departure goes.
                    heard("fmGromk");
                    if (p.What == TPending::Hump) {
                        ConfirmTrackReport(talk, kTracks.at(track), track, "Не указано путь", 124);
                        answered("fmGromk", "роспуск поезда", "humping announcement");
                        ++steps;
                    } else if (!trains[p.Train].Passenger()) {
                        ConfirmOutbound(talk, p.Train, 1, kTracks.at(track), kFreightDeparture);
                        answered("fmGromk", "поезд " + p.Train + " отправляется", "departure announcement");
                        ++steps;
                    }
                }
                if (allowed && p.What == TPending::Arrival && slip == TSlip::LateRoute && !slipped && --lateBy > 0)
                    allowed = false;
                TRoute r2 = r;
                if (allowed && p.What == TPending::Arrival && slip == TSlip::OtherTrack && !slipped &&
                    trains[p.Train].Passenger())
                    for (const char* other : {"1В", "2В", "3В"}) {
                        TRoute o = RouteOf(p.From, other);
                        if (other == p.To || !Dark(o.Sections)) continue;
                        r2 = o;
                        slipped = true;
                        routedElsewhere = {p.Train, other};
                        break;
                    }
                if (allowed) {
                    if (p.What == TPending::Arrival && slip == TSlip::LateRoute) slipped = true;
                    if (p.What == TPending::Arrival && slip == TSlip::WrongEndButton && !slipped) {
                        slipped = true;  // the hump crest's end button first: no route from there
                        Click(r.Start);
                        Click(145);
                    }
                    if (log) std::printf("%s route %s - %s for %s\n", Clock().c_str(), p.From.c_str(), p.To.c_str(), p.Train.c_str());
                    // The interlocking sets one route at a time: a start it does not take now is
                    // clicked again at the next tick.
                    if (!Click(r2.Start)) {
                        ++it;
                        continue;
                    }
                    EXPECT_TRUE(Click(r2.End)) << p.Train;
                    if (p.What == TPending::Arrival && slip == TSlip::CancelAndReset && !slipped) {
                        // Cancelled as soon as the interlocking takes it, and set again once its
                        // sections are dark.
                        slipped = true;
                        TPending cancel{TPending::Cancel, p.Train, p.From, ""};
                        cancel.Again = p.To;
                        next.push_back(cancel);
                    }
                    ++steps;
                    // The route's sections light up once it is set; still dark a while later, it
                    // was not taken and is set again.
                    const std::string to = r2.End == r.End ? p.To : routedElsewhere.second;
                    next.push_back({TPending::Verify, p.Train, p.From, to, 20});
                    if (p.What == TPending::Hump) {
                        humpedBy[HumpTrack(p.From)] = m->ModelTime + humpingTime;
                        humpBusy = true;
                        humpOrders.erase(HumpTrack(p.From));
                    }
                    if (p.What == TPending::Departure) {
                        if (p.Ordered) --transitOrders;
                        next.push_back({TPending::Order, p.Train, "", "", 15});
                        it = pending.erase(it);
                        continue;
                    }
                    done = true;
                }
            }
            it = done ? pending.erase(it) : it + 1;
        }
        pending.insert(pending.end(), next.begin(), next.end());
        // VELO_FIRSTSHIFT_SHOTS=folder: pictures of the information window (its train states) and
        // of the help window at the shot minute, both open from the start as a trainee keeps them.
        if (const char* shots = std::getenv("VELO_FIRSTSHIFT_SHOTS"); shots && m->ModelTime == 1) {
            auto* pages = fmInfo->FindChild<TPageControl>("PageControl1");
            pages->SetActivePage(fmInfo->FindChild<TTabSheet>("TabSheet1"));
            fmInfo->Show();
            fmActiveHelp->Show();
        }
        if (const char* shots = std::getenv("VELO_FIRSTSHIFT_SHOTS"); shots && m->ModelTime == shotMinute * 60) {
            SaveScreenshot(fmInfo, std::string(shots) + "/info.png");
            SaveScreenshot(fmActiveHelp, std::string(shots) + "/help.png");
            SaveScreenshot(m, std::string(shots) + "/panel.png");
        }
        // The information window lists every train the trainee was told of, every minute.
        if (static_cast<int>(m->ModelTime) % 60 == 0) {
            TListBox* list = fmInfo->ListBox1;
            for (const auto& [n, note] : trains) {
                bool listed = false;
                for (int i = 0; i < list->Items().Count(); ++i)
                    if (list->Items()[i].rfind(n + " -", 0) == 0) {
                        listed = true;
                        finalState[n] = list->Items()[i];
                        stateLines.insert(list->Items()[i]);
                    }
                EXPECT_TRUE(listed) << "train " << n << " not listed at " << Clock();
            }
        }
    }
    EXPECT_EQ(overlaps, 0);
    EXPECT_TRUE(Boxes.empty()) << Boxes[0];
    EXPECT_TRUE(outstanding.empty()) << *outstanding.begin();
    // Every phrase a partner spoke had its sound fragments.
    EXPECT_FALSE(std::filesystem::exists("ExecErr.tmp") && std::filesystem::file_size("ExecErr.tmp") > 0)
        << "a fragment is missing";
    // Every train the trainee was told of was inspected and left, humped or departed.
    for (const auto& [n, note] : trains)
        EXPECT_TRUE(Has(finalState[n], "распущен") || Has(finalState[n], "отправлен")) << finalState[n];
    // A humping or transit departure waits for the dispatcher's order; one the lesson never gives
    // (a lesson without orders) is no step left undone. Orders given and not carried out are
    // checked below.
    std::set<std::string> neverOrdered;
    for (auto it = pending.begin(); it != pending.end();) {
        const bool waitsForOrder = it->What == TPending::Hump || (it->What == TPending::Departure && it->Ordered);
        if (!waitsForOrder) {
            ++it;
            continue;
        }
        neverOrdered.insert(it->Train);
        it = pending.erase(it);
    }
    // No train of the lesson is left at the station or on its approach but one fenced from the start,
    // which nobody orders away, and those the dispatcher never ordered away.
    std::string left = "3 10 1005 1";
    if (SendTrainerMessage(left))
        for (const std::string& k : Words(left)) {
            std::string q = "3 4 " + k + " 1025 1501";
            ASSERT_TRUE(SendTrainerMessage(q)) << k;
            if (neverOrdered.count(Words(q).at(0))) continue;
            EXPECT_NE(Words(q).at(1), "0") << "train " << Words(q).at(0) << " was never handled";
        }
    EXPECT_TRUE(pending.empty()) << pending.size() << " steps left undone";
    EXPECT_TRUE(humpedBy.empty()) << humpedBy.begin()->first << " humped at the lesson's end";
    // Every order of the dispatcher was carried out.
    EXPECT_TRUE(humpOrders.empty()) << "humping of " << *humpOrders.begin() << " never done";
    EXPECT_EQ(transitOrders, 0) << "transit departures ordered and not done";
    // A train routed to another track than announced is shown running onto that one.
    if (!routedElsewhere.first.empty()) {
        const auto& [n, track] = routedElsewhere;
        EXPECT_TRUE(stateLines.count(n + " - принимается на путь " + track)) << n << " " << track;
    }
    if (slip != TSlip::None) {
        EXPECT_TRUE(slipped) << "the slip was never made";
    }
    std::printf("[ FirstShift ] %d steps, %zu calls, %d help lines\n", steps, calls.size(), helpSeen);
    std::fflush(stdout);
}

// The lesson of the run (VELO_LESSON; the sample lesson by default) worked without an error.
TEST_F(FirstShiftTest, AModelTraineeWorksTheLessonWithoutAnError)
{
    StartLesson(LessonOfTheRun());
    WorkTheLesson(TSlip::None);
    EXPECT_EQ(Errors(), std::vector<std::string>{});
}

// The second shipped lesson, written with the scenario editor: trains of every kind from both
// sides, faults on the tracks they use, the dispatcher's orders.
TEST_F(FirstShiftTest, AModelTraineeWorksTheSecondLessonWithoutAnError)
{
    StartLesson("lesson2.shd");
    WorkTheLesson(TSlip::None);
    EXPECT_EQ(Errors(), std::vector<std::string>{});
}

// Nobody at the panel: the lesson runs on and the trainee is charged only for what he did not do
// (calls not answered); the models report no fault of their own.
TEST_F(FirstShiftTest, AnIdleTraineeIsChargedOnlyWithMissedCalls)
{
    StartLesson("lesson1.shd");
    while (m->ModelTime < 60 * 60) Tick();
    EXPECT_EQ(overlaps, 0);
    EXPECT_TRUE(Boxes.empty()) << Boxes[0];
    const std::vector<std::string> errors = Errors();
    EXPECT_FALSE(errors.empty());
    for (const std::string& e : errors) {
        std::printf("[ idle trainee ] %s\n", e.c_str());
        EXPECT_TRUE(Has(e, "Не отвечен вызов")) << e;
    }
    std::fflush(stdout);
}

// The hump locomotive МЛ1 at the east end of 4П ordered to the signal Ч4П at the track's west
// end: its driver acknowledges the order on the shunting radio and reports there when it stands
// at its target.
TEST_F(FirstShiftTest, AShuntingDriverReportsWhenItStandsAtItsTarget)
{
    StartLesson("lesson1.shd");
    TTalk talk([](std::string& mes) { return SendTrainerMessage(mes); });
    auto* radio = dynamic_cast<TChannelWindow*>(Screen().FindForm("fmManevr"));
    ASSERT_NE(radio, nullptr);
    Tick();
    ConfirmMoveOrder(talk, 1, TOrderPage::ToSignal, 114, false);
    EXPECT_TRUE(radio->Visible() && Has(radio->mMessage->Text(), "Понял")) << radio->mMessage->Text();
    radio->btCloseClick(nullptr);
    int ticks = 0;
    while (!radio->Visible() && ticks++ < 600) Tick();
    EXPECT_EQ(radio->mMessage->Text(), "Стоим у цели");
    EXPECT_EQ(plan->FindObject(1)->EndSection(0)->Number, 14);
    for (const std::string& e : Errors()) EXPECT_TRUE(Has(e, "Не отвечен вызов")) << e;  // nobody took the calls
}

// One slip each, on the sample lesson: the lesson still ends with every train handled, and the
// trainee is charged with the slip's own errors and nothing more.
TEST_F(FirstShiftTest, ASlipCostsItsOwnErrorsAndNothingMore)
{
    const struct {
        TSlip Slip;
        const char* Name;
        std::vector<std::string> Errors;
    } slips[] = {
        // Error 14 alone: 6202 still runs in, reports standing and leaves.
        {TSlip::WrongAnnouncement, "wrong announcement", {"Поезд №6202 следует с другого направления"}},
        // The interlocking sets no route from Н to the hump crest; the right one then follows.
        {TSlip::WrongEndButton, "wrong end button", {}},
        // Cancelling a route no longer set changes nothing.
        {TSlip::SecondCancel, "second cancel", {}},
        // The train waits at the entry signal and reports only once it stands on its track.
        {TSlip::LateRoute, "late route", {}},
        // The second lesson's switch 25 that does not turn, on the departures' way, reported four
        // minutes late: the departure over it waits, nothing is charged.
        {TSlip::LateFaultReport, "late fault report", {}},
        {TSlip::OtherTrack, "another track", {}},
        {TSlip::CancelAndReset, "cancelled and set again", {}},
    };
    for (const auto& c : slips) {
        SCOPED_TRACE(c.Name);
        if (c.Slip != slips[0].Slip) {
            TearDown();
            SetUp();
        }
        StartLesson(c.Slip == TSlip::LateFaultReport ? "lesson2.shd" : "lesson1.shd");
        WorkTheLesson(c.Slip);
        const std::vector<std::string> errors = Errors();
        ASSERT_EQ(errors.size(), c.Errors.size()) << (errors.empty() ? "" : errors[0]);
        for (size_t i = 0; i < errors.size(); ++i) EXPECT_TRUE(Has(errors[i], c.Errors[i])) << errors[i];
    }
}

// The securing help asks the main window for the shoe count of a train on a track, from the norms
// the securing dialogue checks (data/Zacrepit.dat); a train beyond every norm gets no count.
TEST_F(FirstShiftTest, TheSecuringNormIsAskedOfTheMainWindow)
{
    const struct {
        const char* Ask;
        const char* Shoes;  // nullptr: refused
    } asks[] = {{"4 40 21 1 52", "4"}, {"4 40 12 1 50", "3"}, {"4 40 11 0 20", "1"}, {"4 40 23 1 45", nullptr}};
    for (const auto& a : asks) {
        std::string mes = a.Ask;
        EXPECT_EQ(SendTrainerMessage(mes), a.Shoes != nullptr) << a.Ask;
        EXPECT_EQ(mes, a.Shoes ? a.Shoes : a.Ask);
    }
}
