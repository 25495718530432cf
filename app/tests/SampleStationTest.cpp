// The program's own main window on the sample station: every Id of the panel agrees with the
// station's data and the models start without a complaint (routes set from the panel:
// HandlersTest). Skipped when the sample station is not in the source tree.
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "TrainerFixture.h"
#include "panel/EC_Button.h"
#include "panel/EC_Cell.h"
#include "panel/EC_Section.h"
#include "panel/EC_Signal.h"
#include "panel/EC_Switch.h"
#include "platform/core/CFormat.h"
#include "models/technology/TecnModel.h"
#include "app/dialogues/MovementTalks.h"
#include "app/dialogues/PostTalks.h"

namespace {

const std::filesystem::path kStation = std::filesystem::path(VELO_SOURCE_DIR) / "station";

// The data records of a station file, each as its numbers (a record stops at its first word
// that is not a number).
std::vector<std::vector<int>> Records(const std::filesystem::path& file)
{
    std::vector<std::vector<int>> out;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<int> r;
        std::string w;
        while (words >> w) {
            if (w[0] == '*' && r.empty()) break;
            int v = 0;
            if (SScanf(w.c_str(), "%d", &v) != 1) break;
            r.push_back(v);
        }
        if (!r.empty()) out.push_back(r);
    }
    return out;
}

} // namespace

class SampleStationTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        if (!std::filesystem::exists(kStation / "data" / "EC_Model.dat")) GTEST_SKIP() << "no sample station";
        Restart();
    }

    // The program from its start again on a fresh copy of the station's data.
    void Restart()
    {
        DestroyTrainerWindows();
        std::filesystem::remove_all("data");
        std::filesystem::copy(kStation / "data", "data", std::filesystem::copy_options::recursive);
        CreateTrainerWindows([] { return new TfmMain; });
        m = fmMain;
        m->ShowStartDialog = [] {};
        m->FormActivate(m);
    }

    // One model second of every model, as the main timer's tick runs them.
    void Step()
    {
        m->ModelTime += 1;
        for (unsigned k = 0; k < m->Models.Count(); ++k) (*m->Models.Get(k))->Process(static_cast<float>(m->ModelTime));
    }

    std::set<int> Ids(const char* className)
    {
        std::set<int> ids;
        m->ForEachOwned([&](TComponent* c) {
            if (!c->InheritsFromClassName(className)) return;
            if (auto* b = dynamic_cast<TEC_Button*>(c)) ids.insert(b->Id);
        });
        return ids;
    }

    TfmMain* m = nullptr;
};

TEST_F(SampleStationTest, StartsWithoutAComplaint)
{
    EXPECT_TRUE(Boxes.empty()) << (Boxes.empty() ? "" : Boxes[0]);
    EXPECT_FALSE(m->ForeheadPanel->Visible());
    EXPECT_EQ(m->Models.Count(), 6u);
    EXPECT_GT(m->PostSections.Count(), 0u);
    if (const char* shot = std::getenv("VELO_SCREENSHOT")) SaveScreenshot(m, shot);
}

TEST_F(SampleStationTest, EveryIdOfThePanelAgreesWithTheStationData)
{
    auto records = Records("data/EC_Model.dat");
    std::set<int> signalIds, sections, blockOptions, switches, lamps, stretches;
    for (const auto& r : records) {
        if (r[0] == 2 && r.size() > 1) signalIds.insert(r[1]);
        if (r[0] == 4 && r.size() > 3) {
            if (r[2] == 2) blockOptions.insert(r[3]);
            else sections.insert(r[1]);
        }
        if (r[0] == 1 && r.size() > 3) {
            int paired = r[3];
            if (paired == 0) switches.insert(r[1]);
            int base = paired != 0 ? paired : r[1];
            for (int p = 0; p < 3; ++p) lamps.insert(base * 10 + p);
        }
        if (r[0] == 6 && r.size() > 1) stretches.insert(r[1]);
    }
    ASSERT_FALSE(signalIds.empty());

    std::set<int> panelSignalIds, panelSections, panelSwitches, panelLamps, pointers;
    for (unsigned i = 0; i < m->Signals.Count(); ++i) panelSignalIds.insert((*m->Signals.Get(i))->GetId());
    for (unsigned i = 0; i < m->Sections.Count(); ++i) panelSections.insert((*m->Sections.Get(i))->GetID());
    for (unsigned i = 0; i < m->Switches.Count(); ++i) panelSwitches.insert((*m->Switches.Get(i))->GetId());
    for (unsigned i = 0; i < m->Lamps.Count(); ++i) panelLamps.insert((*m->Lamps.Get(i))->GetId());
    for (unsigned i = 0; i < m->RoutePointers.Count(); ++i) pointers.insert((*m->RoutePointers.Get(i))->GetId());
    EXPECT_EQ(panelSignalIds, signalIds);
    EXPECT_EQ(m->Signals.Count(), signalIds.size());
    EXPECT_EQ(panelSections, sections);
    EXPECT_EQ(m->Sections.Count(), sections.size());
    EXPECT_EQ(panelSwitches, switches);
    for (int l : lamps) EXPECT_TRUE(panelLamps.count(l)) << "lamp " << l;
    for (int l : {1, 2, 3, 4, 5, 15}) EXPECT_TRUE(panelLamps.count(l)) << "lamp " << l;
    EXPECT_EQ(pointers, (std::set<int>{1, 2}));
    for (int b : blockOptions) EXPECT_NE(m->FindComponent(Format("EC_Block%d", b)), nullptr) << b;
    for (int s : stretches) EXPECT_NE(m->FindComponent(Format("EC_Peregon%d", s)), nullptr) << s;
    EXPECT_NE(m->FindButtonLamp(15), nullptr);

    // Route buttons stand for signalIds.
    for (const char* cls : {"TEC_ButtonGreen", "TEC_ButtonRed"})
        for (int id : Ids(cls)) EXPECT_TRUE(signalIds.count(id)) << cls << " " << id;
    // Post sections are interlocking sections (or blocks).
    for (unsigned i = 0; i < m->PostSections.Count(); ++i) {
        int n = m->PostSections.Get(i)->Number;
        EXPECT_TRUE(sections.count(n) || (n >= 41 && n <= 44)) << "post section " << n;
    }
}

// The technology model's executors come from the main window's definition: the free pool holds
// the fifteen named ones in table order.
TEST_F(SampleStationTest, ExecutorPoolFromTheForm)
{
    auto* tecn = dynamic_cast<TTecnModel*>(m->FindComponent("TecnModel"));
    ASSERT_NE(tecn, nullptr);
    std::string numbers;
    for (auto* n = tecn->TExecutorList.First(); n; n = n->next) numbers += std::to_string(n->value->Number) + " ";
    // Trains standing at start may hold some; the table itself is complete.
    for (int i = 0; i < 15; ++i) EXPECT_EQ((*tecn->ExecutorArray)[i]->Number, i + 1);
    EXPECT_EQ((*tecn->ExecutorArray)[4]->ExecName, "Сигналист СП3");
    EXPECT_TRUE((*tecn->ExecutorArray)[14]->CanExec(10));
    EXPECT_TRUE((*tecn->ExecutorArray)[15]->ExecName.empty());
    EXPECT_EQ(numbers, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 ");
}

// The trains and locomotives the start-up messages place show their tracks occupied (red);
// the free tracks 2П and 1В stay dark.
TEST_F(SampleStationTest, StandingTrainsShowTheirTracksRed)
{
    auto state = [this](int id) {
        auto* s = m->FindChild<TEC_Section>(Format("EC_Section%d", id));
        return s && !s->Cells(0).empty() ? s->Cells(0)[0]->State() : csFree;
    };
    // As the README says: the interlocking sees them at its first step, the first model second.
    EXPECT_NE(state(11), csRed);
    Step();
    for (int id : {11, 13, 14, 22}) EXPECT_EQ(state(id), csRed) << "track " << id;
    EXPECT_NE(state(12), csRed);
    EXPECT_NE(state(21), csRed);
    EXPECT_TRUE(Prompts.empty()) << Prompts[0];
}

// A lesson train arrives with the clock at speed 20: the panel shows red where the train is, the
// stretch's block sections one after the other, then the route's sections and the target track.
TEST_F(SampleStationTest, AnArrivingTrainShowsItsSectionsRedAsItMoves)
{
    // The stretch's block sections 41 and 42 have indicators of their own (EC_Block1, EC_Block2).
    auto red = [this](int id) {
        if (id == 41 || id == 42) {
            auto* b = m->FindChild<TEC_Block>(Format("EC_Block%d", id - 40));
            return b && b->State();
        }
        auto* s = m->FindChild<TEC_Section>(Format("EC_Section%d", id));
        return s && !s->Cells(0).empty() && s->Cells(0)[0]->State() == csRed;
    };
    ASSERT_NE(m->StatusBar(), nullptr);
    m->StatusBar()->SetTemp(20);
    std::string mes = Format("8 4 %f 3 6 1 1025 2401 1511 166 1504 50 2001 750 1505 1 1540 4100 1541 1 1542 4000",
                             m->ModelTime + 1);
    ASSERT_EQ(m->Bus.Send(mes), 1);
    // Red over the ticks, one letter a section: the first tick each section was red and the
    // first tick after that it was not.
    std::map<int, std::pair<int, int>> seen;
    auto sample = [&](int tick) {
        for (int id : {41, 42, 201, 203, 207, 12}) {
            auto& s = seen.try_emplace(id, -1, -1).first->second;
            if (red(id) && s.first < 0) s.first = tick;
            if (!red(id) && s.first >= 0 && s.second < 0) s.second = tick;
        }
    };
    int tick = 0;
    for (; tick < 600 && !(seen.count(42) && seen[42].first >= 0 && seen[41].second >= 0); ++tick) {
        m->MainTimerTimer(nullptr);
        sample(tick);
    }
    EXPECT_GE(seen[41].first, 0) << "the stretch never showed the train";
    EXPECT_GE(seen[42].first, seen[41].first);
    EXPECT_GT(seen[41].second, seen[42].first) << "block 41 not freed behind the train";
    for (int i = 0; i < 200; ++i, ++tick) m->MainTimerTimer(nullptr);
    mes = "2 5 101 1";
    ASSERT_EQ(m->Bus.Send(mes), 1);
    mes = "2 5 112 1";
    ASSERT_EQ(m->Bus.Send(mes), 1);
    for (int i = 0; i < 600; ++i, ++tick) {
        m->MainTimerTimer(nullptr);
        sample(tick);
    }
    for (int id : {201, 203, 207}) {
        EXPECT_GE(seen[id].first, 0) << "section " << id << " never red";
        EXPECT_GT(seen[id].second, seen[id].first) << "section " << id << " not freed";
    }
    EXPECT_TRUE(red(12));
    EXPECT_FALSE(red(42));
}

// Fencing removed from track 3П at the wagon inspection's request: train 2003 loses its fencing,
// the fencing lamp goes out, and the inspection's key rings with what it did once the window has
// closed.
TEST_F(SampleStationTest, FencingRemovalPutsTheFencingLampOut)
{
    m->MainTimerTimer(nullptr);
    ASSERT_NE(m->FindLamp(15), nullptr);
    EXPECT_EQ(m->FindLamp(15)->GetState(), 2);
    TTalk talk([this](std::string& mes) { return m->MessageDispatcher(nullptr, mes, nullptr); });
    EXPECT_EQ(ConfirmFencingRemoval(talk, 13, "3П", "ПТО"), TOutcome::Close);
    EXPECT_EQ(m->FindLamp(15)->GetState(), 0);
    std::string mes = "3 10 1501 15";
    EXPECT_FALSE(m->Bus.Send(mes)) << "a train still fenced by lamp 15: " << mes;
    ISwitchboardKey* key = m->FindKey("ПТО");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->State(), 0);
    for (int i = 0; i < 8; ++i) m->MainTimerTimer(nullptr);
    EXPECT_EQ(key->State(), 1) << "the wagon inspection did not answer";
}

// МЛ1 on 4П, the humping signal НГ4 in front of it: ordered past НГ4 it waits for the signal, runs
// past it once the humping route to ЧГ is set and then, ordered up to ЧГ (the route's end, facing
// it), stops right in front of it on the hump lead. Each order is acknowledged with where it stands.
TEST_F(SampleStationTest, TheHumpLocomotiveGoesBeyondTheSignalInFrontOfIt)
{
    m->MainTimerTimer(nullptr);
    m->Bus.recording = true;
    TTalk talk([this](std::string& mes) { return m->MessageDispatcher(nullptr, mes, nullptr); });
    auto section = [this](int end) {
        std::string mes = Format("1 12 1 %d", end);
        unsigned s = 0;
        return m->Bus.Send(mes) && SScanf(mes.c_str(), "%u", &s) == 1 ? static_cast<int>(s) : 0;
    };
    auto run = [this](int ticks) {
        for (int i = 0; i < ticks; ++i) m->MainTimerTimer(nullptr);
    };
    m->Bus.ClearLog();
    ConfirmMoveOrder(talk, 1, TOrderPage::OverSignal, 174, false);
    EXPECT_EQ(m->Bus.Requests(brInstructor), std::vector<std::string>{});
    std::vector<std::string> said = m->Bus.Requests(brInterface);
    EXPECT_NE(std::find(said.begin(), said.end(), "4 10 МЛ1 Понял, следую. Нахожусь на секции 4П"), said.end());
    run(60);
    EXPECT_EQ(section(0), 14) << "past the closed signal";

    std::string mes = "2 5 174 1";
    ASSERT_TRUE(m->Bus.Send(mes));
    mes = "2 16 145 1";
    ASSERT_TRUE(m->Bus.Send(mes));
    run(300);
    EXPECT_NE(section(1), 14) << "the locomotive is not past НГ4";
    EXPECT_EQ(section(1), 419);

    m->Bus.ClearLog();
    ConfirmMoveOrder(talk, 1, TOrderPage::ToSignal, 145, false);
    EXPECT_EQ(m->Bus.Requests(brInstructor), std::vector<std::string>{});
    run(600);
    EXPECT_EQ(section(0), 61) << "not in front of ЧГ";
    mes = "1 12 1 0";
    ASSERT_TRUE(m->Bus.Send(mes));
    EXPECT_LT(AtofC(mes.c_str() + mes.find(' ')), 1.0) << mes;
    // Asked where it is ("Положення"), the driver names the panel's section.
    m->Bus.ClearLog();
    m->ReportLocoPosition(1);
    said = m->Bus.Requests(brInterface);
    EXPECT_NE(std::find(said.begin(), said.end(), "4 10 МЛ1 Нахожусь на секции Надвижной путь"), said.end());
}

// The start marker, the cell in front of a route's start signal lit green while the route is being
// set, goes out once the route is set: the interlocking leaves it lit, so it must lie in the route's
// first section, which the route then locks. Shunting routes from every signal of the sample panel
// whose marker lay on its own track or off its routes, the hump locomotive's from НГ4 first.
TEST_F(SampleStationTest, TheStartMarkerGoesOutOnceTheRouteIsSet)
{
    const std::vector<std::pair<int, int>> routes = {{174, 145}, {172, 151}, {111, 101}, {112, 181},
                                                     {113, 101}, {114, 181}, {121, 101}, {122, 181},
                                                     {123, 101}, {132, 104}, {133, 104}};
    for (const auto& [start, end] : routes) {
        Restart();
        Step();
        auto* signal = m->FindChild<TEC_Signal>(Format("EC_Signal%d", start));
        ASSERT_TRUE(signal && signal->Cell) << start;
        std::string mes = Format("2 5 %d 0", start);
        ASSERT_EQ(m->Bus.Send(mes), 1) << start;
        EXPECT_EQ(signal->Cell->State(), csGreen) << start;
        mes = Format("2 5 %d 0", end);
        ASSERT_EQ(m->Bus.Send(mes), 1) << start << " -> " << end;
        for (int i = 0; i < 30 && signal->State() != 1; ++i) Step();
        ASSERT_EQ(signal->State(), 1) << start << " -> " << end << " not set";
        std::vector<std::string> green;
        m->ForEachOwned([&](TComponent* c) {
            if (auto* cell = dynamic_cast<TEC_Cell*>(c); cell && cell->State() == csGreen) green.push_back(c->Name());
        });
        EXPECT_TRUE(green.empty()) << start << " -> " << end << " leaves " << green.front();
    }
}
