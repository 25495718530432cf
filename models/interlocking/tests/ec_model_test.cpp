// Interlocking model data: loading "EC_Model.dat", the element classes and their defaults, the
// device registry, the faults of the data and the receiver-2 envelope.
//
// The test station (fixtures/ec/EC_Model.dat):
//
//  1001     10     101 Н      14          11               12         112 Ч1
//   |--------------->|----------------[sw 1]-----plus--- 204 ----------|<---- 202
//                                          \                  13          15          113 Ч2
//                                           +----minus------ 205 --->|121 М2 ----------|<---- 203
//
//  Stretch track 1 (direction 0), block sections 21 and 22:
//   150 П1 >|----- 21 -----151 П2 >|----- 22 ----- 152 П3 >|
#include <gtest/gtest.h>

#include <fstream>

#include "models/base/BusRouter.h"
#include "models/interlocking/EC_Model.h"
#include "platform/core/Exception.h"
#include "platform/core/Strings.h"

namespace {

std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(no exception)";
}

// Writes UTF-8 text as a code page 1251 file in the temp folder and returns its path.
std::string WriteData(const std::string& name, const std::string& text)
{
    std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << Utf8ToCp1251(text);
    return path;
}

// Loads text as the model's data file; returns the error text, or "" when it loaded.
std::string LoadText(TEC_Model& m, const std::string& text, const std::string& name = "ec_bad.dat")
{
    m.FileName = WriteData(name, text);
    try {
        m.Init();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "";
}

// The smallest complete data: a switch in its switch section, its records for the neighbours.
const char* kTinyStation =
    "1 1 11 0 0 0 0 0\n"
    "4 11 0 0 11\n"
    "5 11 1\n";

} // namespace

TEST(EC_ModelData, FixtureStationLoadsEveryRecordType)
{
    TEC_Model m;
    m.SetName("EC_Model");
    m.FileName = "fixtures\\ec\\EC_Model.dat";
    m.Init();

    ASSERT_EQ(m.Vertexes.Count(), 13u);
    std::vector<int> order;
    for (unsigned i = 0; i < m.Vertexes.Count(); ++i) order.push_back(m.Vertexes.Get(i)->Number);
    EXPECT_EQ(order, (std::vector<int>{1001, 101, 1, 204, 205, 112, 121, 202, 113, 203, 150, 151, 152}));

    auto* sw = AsSwitch(m.Vertexes.Find(1));
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(sw->Owner, &m);
    ASSERT_NE(sw->Section, nullptr);
    EXPECT_EQ(sw->Section->Number, 11);
    EXPECT_EQ(sw->Neighbour[0], m.Vertexes.Find(204));
    EXPECT_EQ(sw->Neighbour[1], m.Vertexes.Find(205));
    EXPECT_EQ(sw->Neighbour[2], m.Vertexes.Find(101));
    EXPECT_EQ(sw->Neighbour[3], nullptr);
    EXPECT_EQ(sw->Position, 0);
    EXPECT_FALSE(sw->Reserved || sw->Individual || sw->AuxTurning);
    std::string st;
    EXPECT_EQ(sw->State(st), 1);
    EXPECT_EQ(st, "0 0 1 0");

    auto* n = AsSignal(m.Vertexes.Find(101));
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Name, "Н");
    EXPECT_EQ(n->Direction, 0);
    EXPECT_EQ(n->Kind, 1);
    EXPECT_EQ(n->SignalState, 2);
    EXPECT_EQ(n->RouteMode, -1);
    EXPECT_EQ(n->Approach, m.Sections.Find(10));
    EXPECT_EQ(n->Neighbour[0], sw);
    EXPECT_EQ(n->Entry[0], -1);
    EXPECT_EQ(n->Sections[0], m.Sections.Find(14));
    EXPECT_EQ(n->Sections[1], nullptr);
    EXPECT_EQ(n->Guarded, m.Sections.Find(14));
    EXPECT_EQ(AsSignal(m.Vertexes.Find(150))->RouteMode, 1);  // kind 2 starts with a train route mode
    EXPECT_NE(dynamic_cast<TEC_Joint*>(m.Vertexes.Find(1001)), nullptr);

    auto* s11 = dynamic_cast<TEC_SwitchSection*>(m.Sections.Find(11));
    ASSERT_NE(s11, nullptr);
    ASSERT_EQ(s11->Switches.size(), 1u);
    EXPECT_EQ(s11->Switches[0], sw);
    EXPECT_EQ(s11->Type, 0);
    auto* s14 = m.Sections.Find(14);
    EXPECT_EQ(s14->Type, 1);
    EXPECT_EQ(s14->FaultMode, 100);
    EXPECT_EQ(s14->SectionState, 0);
    EXPECT_EQ(s14->PlanSections, (std::vector<unsigned>{14}));
    EXPECT_EQ(m.Sections.FindByPlanSection(13), m.Sections.Find(13));
    auto* b22 = dynamic_cast<TEC_Block1*>(m.Sections.Find(22));
    ASSERT_NE(b22, nullptr);
    EXPECT_EQ(b22->Option, 2);

    ASSERT_EQ(m.PeregonTracks.Count(), 1u);
    TEC_PeregonTrack* t = m.PeregonTracks.Find(1);
    EXPECT_EQ(t->Direction, 0);
    EXPECT_EQ(t->Vertex[0], m.Vertexes.Find(150));
    EXPECT_EQ(t->Vertex[1], m.Vertexes.Find(152));
    ASSERT_EQ(t->Blocks.size(), 2u);
    EXPECT_EQ(t->Blocks[1], b22);

    // Devices: switches and signals in vertex order, then sections in array order, then stretches.
    std::vector<TDevice*> expect;
    for (int v : {101, 1, 112, 121, 113, 150, 151, 152}) expect.push_back(dynamic_cast<TDevice*>(m.Vertexes.Find(v)));
    for (int s : {10, 14, 11, 12, 13, 15, 21, 22}) expect.push_back(m.Sections.Find(s));
    expect.push_back(t);
    ASSERT_EQ(m.Devices.Count(), expect.size());
    for (unsigned i = 0; i < expect.size(); ++i) EXPECT_EQ(*m.Devices.Get(i), expect[i]) << i;
}

TEST(EC_ModelData, ClassesFollowNumbersAndFirstCreation)
{
    TEC_Model m;
    // A section first named by a switch stays a switch section whatever its own record says;
    // a signal line cut after field 9 leaves its sections empty and gets the name "0".
    ASSERT_EQ(LoadText(m, "1 5 30 0 150 0 0 0\n"
                          "2 150 1 2 0 0 5 0 0\n"
                          "3 250 0 0 0 0 0 0\n"
                          "3 1001 0 0\n"
                          "4 30 1 0 30\n"
                          "2 100 0 0\n"),
              "");
    EXPECT_NE(AsSwitch(m.Vertexes.Find(5)), nullptr);
    auto* sig = AsSignal(m.Vertexes.Find(150));
    ASSERT_NE(sig, nullptr);
    EXPECT_EQ(sig->Name, "0");
    EXPECT_EQ(sig->Guarded, nullptr);
    EXPECT_EQ(sig->Sections[0], nullptr);
    EXPECT_EQ(sig->RouteMode, 1);
    EXPECT_EQ(sig->SignalState, 2);
    EXPECT_NE(dynamic_cast<TEC_Joint*>(m.Vertexes.Find(250)), nullptr);
    EXPECT_NE(dynamic_cast<TEC_Joint*>(m.Vertexes.Find(1001)), nullptr);
    auto* s30 = dynamic_cast<TEC_SwitchSection*>(m.Sections.Find(30));
    ASSERT_NE(s30, nullptr);
    EXPECT_EQ(s30->Type, 0);
    // Signal 100 is a vertex but never a device: switch 5, signal 150, section 30.
    EXPECT_NE(AsSignal(m.Vertexes.Find(100)), nullptr);
    EXPECT_EQ(m.Devices.Count(), 3u);
}

TEST(EC_ModelData, LastLineWithOrWithoutLineEndAndTheLineCap)
{
    TEC_Model a, b;
    ASSERT_EQ(LoadText(a, std::string(kTinyStation) + "4 12 1 7 12 13", "ec_a.dat"), "");
    ASSERT_EQ(LoadText(b, std::string(kTinyStation) + "4 12 1 7 12 13\r\n", "ec_b.dat"), "");
    for (TEC_Model* m : {&a, &b}) {
        ASSERT_EQ(m->Sections.Count(), 2u);
        EXPECT_EQ(m->Sections.Find(12)->Option, 7);
        EXPECT_EQ(m->Sections.Find(12)->PlanSections, (std::vector<unsigned>{12, 13}));
    }

    // Lines after the 5000th are not read, comments and blank lines included in the count.
    std::string text = kTinyStation;
    for (int i = 4; i <= 4999; ++i) text += i % 2 ? "* comment\n" : "\n";
    text += "4 40 1 0 40\n";  // line 5000
    text += "4 41 1 0 41\n";  // line 5001
    TEC_Model c;
    ASSERT_EQ(LoadText(c, text, "ec_c.dat"), "");
    EXPECT_NE(c.Sections.Find(40), nullptr);
    EXPECT_EQ(c.Sections.Find(41), nullptr);
}

TEST(EC_ModelData, FaultsOfTheDataNameTheLine)
{
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"1 150 0 0\n", "строка 1: номер 150 не является номером стрелки"},
        {"* c\n2 250 0 0\n", "строка 2: номер 250 не является номером светофора"},
        {"3 50 0 0\n", "строка 1: номер 50 не является номером стыка"},
        {"1 0 0 0\n", "строка 1: номер 0 не является номером стрелки"},
        {"4 12 1 0 12\n5 12 1\n", "строка 2: секция 12 не является стрелочной секцией"},
        {"5 12 1\n", "строка 1: секция 12 не является стрелочной секцией"},
        {"4 12 1 0 12\n1 1 12 0 0 0 0 0\n", "строка 2: секция 12 не является стрелочной секцией"},
        {"4 11 0 0 11\n5 11 1 150\n1 1 11\n", "строка 2: номер 150 не является номером стрелки"},
        {"4 21 1 0 21\n6 1 0 0 0 21\n", "строка 2: секция 21 не является блок-участком"},
        {"\n3 201 7 0 0 0 0 0\n", "строка 2: вершина 7 не описана"},
        {"3 201 0 0 0 0 30 0\n", "строка 1: секция 30 не описана"},
        {"3 201 -5 0\n", "строка 1: номер вершины -5 вне диапазона"},
        {"3 201 0 0 0 0 -3\n", "строка 1: номер секции -3 вне диапазона"},
        {"1 1 0 0 0 0 0 0 2\n", "строка 1: значение входа 2 вне диапазона -1..1"},
        {"2 101 2 1\n", "строка 1: направление 2 светофора 101 вне диапазона 0-1"},
        {"2 101 0 5\n", "строка 1: вид 5 светофора 101 вне диапазона 0-4"},
        {"1 1 0 1\n", "строка 1: стрелка 1 спарена сама с собой"},
        {"1 1 0 150\n", "строка 1: номер 150 не является номером стрелки"},
        {"6 1 2 0 0\n", "строка 1: направление 2 перегонного пути вне диапазона 0-1"},
    };
    for (const auto& c : cases) {
        TEC_Model m;
        std::string err = LoadText(m, c.text);
        EXPECT_EQ(err, "Ошибка в файле " + m.FileName + ", " + c.error) << c.text;
    }

    // Lines that are no record are skipped.
    TEC_Model m;
    EXPECT_EQ(LoadText(m, std::string("  \n* 1 5\nnot a record\n0 1 2\n7 1 2\n-1 2\n") + kTinyStation), "");
    EXPECT_EQ(m.Vertexes.Count(), 1u);

    // A file of no record is no interlocking; the trainer's also needs a signal to set a route.
    TEC_Model none, trainer;
    std::string error = LoadText(none, "not a record\n");
    EXPECT_EQ(error, "Ошибка в файле " + none.FileName + ": нет ни одного светофора и ни одной секции");
    trainer.StationRequired = true;
    error = LoadText(trainer, kTinyStation);
    EXPECT_EQ(error, "Ошибка в файле " + trainer.FileName + ": нет ни одного светофора: ни один маршрут не задать");
}

TEST(EC_ModelData, CapacitiesAndMissingFile)
{
    {
        TEC_Model m;
        m.SetName("EC_Model");
        m.FileName = "data\\no-such-EC_Model.dat";
        EXPECT_EQ(ErrorOf([&] { m.Init(); }), "Не могу загрузить файл данных для модели EC_Model: data\\no-such-EC_Model.dat");
    }
    {
        std::string text;
        for (int i = 1; i <= 4; ++i) text += "6 " + std::to_string(i) + " 0 0 0\n";
        TEC_Model m;
        EXPECT_EQ(LoadText(m, text), "TaECPeregonTracks:: переполнение массива");
    }
    {
        std::string text;
        for (int i = 0; i < 500; ++i) text += "3 " + std::to_string(200 + i) + "\n";
        TEC_Model m;
        EXPECT_EQ(LoadText(m, text), "TaECVertexes:: переполнение массива");
    }
    {
        std::string text;
        for (int i = 1; i <= 500; ++i) text += "4 " + std::to_string(i) + " 1 0 1\n";
        TEC_Model m;
        EXPECT_EQ(LoadText(m, text), "TaECSections:: переполнение массива");
    }
    {
        // 299 devices fit, the 300th does not.
        std::string text;
        for (int i = 1; i <= 299; ++i) text += "4 " + std::to_string(i) + " 1 0 1\n";
        TEC_Model m;
        EXPECT_EQ(LoadText(m, text), "");
        EXPECT_EQ(m.Devices.Count(), 299u);
        text += "4 300 1 0 1\n";
        TEC_Model m2;
        EXPECT_EQ(LoadText(m2, text), "Переполнение массива300");
    }
    TEC_Model m;
    EXPECT_EQ(ErrorOf([&] { m.Vertexes.Get(0); }), "TaECVertexes:: индекс вне диапазона");
    EXPECT_EQ(ErrorOf([&] { m.Sections.Get(0); }), "TaECSections:: индекс вне диапазона");
    EXPECT_EQ(ErrorOf([&] { m.PeregonTracks.Get(0); }), "TaECPeregonTracks:: индекс вне диапазона");
}

TEST(EC_ModelData, ReceiverTwoServesNoParameterCommands)
{
    TEC_Model m;
    m.FileName = "fixtures\\ec\\EC_Model.dat";
    m.Init();
    m.AddParam("1001", "5");
    TBusRouter bus;
    bus.Attach(brEC, &m);
    for (const char* text : {"2 1 1001", "2 2 1001 7", "2 3 1002 1", "2 23", "2", "2 0", "x y"}) {
        std::string mes = text;
        EXPECT_EQ(bus.Send(mes), 0) << text;
        EXPECT_EQ(mes, text);
    }
}
