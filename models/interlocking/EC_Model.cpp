// The interlocking model's data: the vertices, sections and stretch tracks read from
// "data\EC_Model.dat", the device registry and the receiver-2 dispatcher.
//
// Records (blank-separated integers, a missing field reads 0; lines whose first field is no
// integer or names no record type are skipped):
//   1 switch   number section paired nbr0 nbr1 nbr2 nbr3 entry0 entry1 entry2 entry3
//   2 signal   number dir kind approach nbr0 nbr1 entry0 entry1 section0 section1 guarded name
//   3 joint    number nbr0 nbr1 entry0 entry1 section0 section1
//   4 section  number type option plan-section... (up to 6, 0 ends)
//   5 switches of a switch section: section switch... (up to 8, 0 ends)
//   6 stretch  number dir vertex0 vertex1 block... (up to 5, 0 ends)
// Slots 0/1 serve the route direction 0, slots 2/3 (for a switch) or 1 the direction 1.
// An entry value -1 enters a switch at its points, 0 or 1 from its plus or minus branch.
#include "models/interlocking/EC_Model.h"

#include <cerrno>
#include <cstdlib>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

namespace {

constexpr int kMaxLines = 5000;

// Reads up to n integers from text the way "%d%d..." scanning does: it stops at the first field
// that is no integer. The rest of out is 0. *rest points after the last integer read.
int ReadInts(const char* text, int n, int* out, const char** rest = nullptr)
{
    int got = 0;
    const char* p = text;
    for (int i = 0; i < n; ++i) out[i] = 0;
    while (got < n) {
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(p, &end, 10);
        if (end == p) break;
        if (errno == ERANGE || v > 2147483647L || v < -2147483647L - 1) v = v < 0 ? -2147483647L - 1 : 2147483647L;
        out[got++] = static_cast<int>(v);
        p = end;
    }
    if (rest) *rest = p;
    return got;
}

} // namespace

TEC_Vertex::TEC_Vertex(int number) : Number(number) {}
int TEC_Vertex::Trace(int) { return 0; }
bool TEC_Vertex::Reserve() { return true; }
int TEC_Vertex::State(std::string&) { return 0; }

TEC_Switch1* AsSwitch(TEC_Vertex* v) { return v ? v->Switch() : nullptr; }
TEC_Signal1* AsSignal(TEC_Vertex* v) { return v ? v->Signal() : nullptr; }

// ---- Records of the vertices ----

void TEC_Switch1::Read(const std::string& line, int lineNo)
{
    int f[12];
    ReadInts(line.c_str(), 12, f);
    TEC_Model* m = Owner;
    Section = nullptr;
    if (f[2] != 0) {
        Section = dynamic_cast<TEC_SwitchSection*>(m->SectionRef(f[2], 0, lineNo));
        if (!Section) m->DataError(lineNo, Format("секция %d не является стрелочной секцией", f[2]));
    }
    if (f[3] < 0 || f[3] > 99) m->DataError(lineNo, Format("номер %d не является номером стрелки", f[3]));
    Paired = f[3];
    m->VertexRef(Paired, lineNo);
    for (int i = 0; i < 4; ++i) Neighbour[i] = m->VertexRef(f[4 + i], lineNo);
    for (int i = 0; i < 4; ++i) Entry[i] = f[8 + i];
    if (Paired == Number) m->DataError(lineNo, Format("стрелка %d спарена сама с собой", Number));
    Described = true;
}

void TEC_Signal1::Read(const std::string& line, int lineNo)
{
    int f[12];
    const char* rest = nullptr;
    int got = ReadInts(line.c_str(), 12, f, &rest);
    TEC_Model* m = Owner;
    Direction = f[2];
    Kind = f[3];
    if (Direction != 0 && Direction != 1)
        m->DataError(lineNo, Format("направление %d светофора %d вне диапазона 0-1", Direction, Number));
    if (Kind < 0 || Kind > 4) m->DataError(lineNo, Format("вид %d светофора %d вне диапазона 0-4", Kind, Number));
    Approach = m->SectionRef(f[4], 1, lineNo);
    Neighbour[0] = m->VertexRef(f[5], lineNo);
    Neighbour[1] = m->VertexRef(f[6], lineNo);
    Entry[0] = f[7];
    Entry[1] = f[8];
    Sections[0] = m->SectionRef(f[9], 1, lineNo);
    Sections[1] = m->SectionRef(f[10], 1, lineNo);
    Guarded = m->SectionRef(f[11], 1, lineNo);
    Name.assign(1, '0');
    if (got == 12) {
        std::string word = FirstWord(rest);
        if (!word.empty()) Name = word;
    }
    RouteMode = Kind == 2 ? 1 : -1;
    Described = true;
}

void TEC_Joint::Read(const std::string& line, int lineNo)
{
    int f[8];
    ReadInts(line.c_str(), 8, f);
    TEC_Model* m = Owner;
    Neighbour[0] = m->VertexRef(f[2], lineNo);
    Neighbour[1] = m->VertexRef(f[3], lineNo);
    Entry[0] = f[4];
    Entry[1] = f[5];
    Sections[0] = m->SectionRef(f[6], 1, lineNo);
    Sections[1] = m->SectionRef(f[7], 1, lineNo);
    Described = true;
}

// ---- Arrays ----

TEC_Vertex* TaECVertexes::Find(int number) const
{
    for (auto* v : items)
        if (v->Number == number) return v;
    return nullptr;
}

TEC_Section1* TaECSections::Find(int number) const
{
    for (auto* s : items)
        if (s->Number == number) return s;
    return nullptr;
}

TEC_Section1* TaECSections::FindByPlanSection(unsigned planSection) const
{
    for (auto* s : items)
        for (unsigned p : s->PlanSections)
            if (p == planSection) return s;
    return nullptr;
}

TEC_PeregonTrack* TaECPeregonTracks::Find(int number) const
{
    for (auto* t : items)
        if (t->Number == number) return t;
    return nullptr;
}

// ---- The model ----

TEC_Model::TEC_Model(TComponent* owner) : TModel(owner), Vertexes(this), Sections(this), PeregonTracks(this)
{
    FileName = "data\\EC_Model.dat";
}

TEC_Model::~TEC_Model()
{
    route.reset();
    Devices.Clear();
}

void TEC_Model::DataError(int lineNo, const std::string& reason) const
{
    if (lineNo <= 0) RaiseError(Format("Ошибка в файле %s: %s", FileName.c_str(), reason.c_str()));
    RaiseError(Format("Ошибка в файле %s, строка %d: %s", FileName.c_str(), lineNo, reason.c_str()));
}

TEC_Vertex* TEC_Model::VertexRef(int number, int lineNo)
{
    if (number == 0) return nullptr;
    if (number < 0) DataError(lineNo, Format("номер вершины %d вне диапазона", number));
    if (TEC_Vertex* v = Vertexes.Find(number)) return v;
    TEC_Vertex* v;
    switch (number / 100) {
    case 0: v = new TEC_Switch1(number); break;
    case 1: v = new TEC_Signal1(number); break;
    default: v = new TEC_Joint(number); break;
    }
    v->RefLine = lineNo;
    return Vertexes.Add(v);
}

TEC_Section1* TEC_Model::SectionRef(int number, int type, int lineNo)
{
    if (number == 0) return nullptr;
    if (number < 0) DataError(lineNo, Format("номер секции %d вне диапазона", number));
    if (TEC_Section1* s = Sections.Find(number)) return s;
    TEC_Section1* s;
    switch (type) {
    case 0: s = new TEC_SwitchSection(number); break;
    case 2: s = new TEC_Block1(number); break;
    // The type field of a plain section is 1 whatever its record says: only types 0-2 are
    // stepped, and a plain section must be.
    default: s = new TEC_Section1(number, 1); break;
    }
    s->RefLine = lineNo;
    return Sections.Add(s);
}

void TEC_Model::ReadLine(const std::string& line, int lineNo)
{
    int f[11];
    int got = ReadInts(line.c_str(), 11, f);
    if (got < 1 || f[0] < 1 || f[0] > 6) return;
    int type = f[0];
    switch (type) {
    case 1:
    case 2:
    case 3: {
        int n = f[1];
        bool fits = type == 1 ? (n > 0 && n < 100) : type == 2 ? (n >= 100 && n < 200) : n >= 200;
        if (!fits) {
            const char* what = type == 1 ? "стрелки" : type == 2 ? "светофора" : "стыка";
            DataError(lineNo, Format("номер %d не является номером %s", n, what));
        }
        TEC_Vertex* v = VertexRef(n, lineNo);
        v->Read(line, lineNo);
        int nEntries = type == 1 ? 4 : 2;
        for (int i = 0; i < nEntries; ++i)
            if (v->Entry[i] < -1 || v->Entry[i] > 1)
                DataError(lineNo, Format("значение входа %d вне диапазона -1..1", v->Entry[i]));
        break;
    }
    case 4: {
        if (f[1] <= 0) DataError(lineNo, Format("номер секции %d вне диапазона", f[1]));
        TEC_Section1* s = SectionRef(f[1], f[2], lineNo);
        s->Option = f[3];
        s->PlanSections.clear();
        for (int i = 4; i < 10 && f[i] != 0; ++i) {
            if (f[i] < 0) DataError(lineNo, Format("номер участка плана %d вне диапазона", f[i]));
            s->PlanSections.push_back(static_cast<unsigned>(f[i]));
        }
        s->Described = true;
        break;
    }
    case 5: {
        auto* s = dynamic_cast<TEC_SwitchSection*>(Sections.Find(f[1]));
        if (!s) DataError(lineNo, Format("секция %d не является стрелочной секцией", f[1]));
        for (int i = 2; i < 10 && f[i] != 0; ++i) {
            if (f[i] < 0 || f[i] >= 100) DataError(lineNo, Format("номер %d не является номером стрелки", f[i]));
            s->Switches.push_back(AsSwitch(VertexRef(f[i], lineNo)));
        }
        break;
    }
    case 6: {
        if (f[1] <= 0) DataError(lineNo, Format("номер перегонного пути %d вне диапазона", f[1]));
        TEC_PeregonTrack* t = PeregonTracks.Find(f[1]);
        if (!t) t = PeregonTracks.Add(new TEC_PeregonTrack(f[1]));
        if (f[2] != 0 && f[2] != 1) DataError(lineNo, Format("направление %d перегонного пути вне диапазона 0-1", f[2]));
        t->Direction = f[2];
        t->Vertex[0] = VertexRef(f[3], lineNo);
        t->Vertex[1] = VertexRef(f[4], lineNo);
        t->Blocks.clear();
        for (int i = 5; i < 10 && f[i] != 0; ++i) {
            auto* b = dynamic_cast<TEC_Block1*>(SectionRef(f[i], 2, lineNo));
            if (!b) DataError(lineNo, Format("секция %d не является блок-участком", f[i]));
            t->Blocks.push_back(b);
        }
        break;
    }
    }
}

void TEC_Model::CheckDescribed() const
{
    for (unsigned i = 0; i < Vertexes.Count(); ++i) {
        TEC_Vertex* v = Vertexes.Get(i);
        if (!v->Described) DataError(v->RefLine, Format("вершина %d не описана", v->Number));
    }
    for (unsigned i = 0; i < Sections.Count(); ++i) {
        TEC_Section1* s = Sections.Get(i);
        if (!s->Described) DataError(s->RefLine, Format("секция %d не описана", s->Number));
    }
}

void TEC_Model::Read(std::FILE* f)
{
    std::string line;
    for (int lineNo = 1; lineNo <= kMaxLines; ++lineNo) {
        int r = ReadDataLine(f, line, "*");
        if (r == -1) break;
        if (r == 1) ReadLine(line, lineNo);
    }
    CheckDescribed();
    // A file that describes neither a signal nor a section (empty, or no line of it a record)
    // is no interlocking: a lesson on it would set no route and show nothing.
    bool signal = false;
    for (unsigned i = 0; i < Vertexes.Count() && !signal; ++i) signal = AsSignal(Vertexes.Get(i)) != nullptr;
    if (!signal && Sections.Count() == 0) DataError(0, "нет ни одного светофора и ни одной секции");
    if (StationRequired && !signal) DataError(0, "нет ни одного светофора: ни один маршрут не задать");
    if (StationRequired && Sections.Count() == 0) DataError(0, "нет ни одной секции");
    // A pair is named by one half or by both; either half knows the other.
    for (unsigned i = 0; i < Vertexes.Count(); ++i) {
        TEC_Switch1* sw = AsSwitch(Vertexes.Get(i));
        if (!sw || !sw->Paired) continue;
        TEC_Switch1* other = AsSwitch(Vertexes.Find(sw->Paired));
        if (!other) continue;
        sw->Partner = other;
        if (!other->Partner) other->Partner = sw;
    }
    RegistryDevices();
}

void TEC_Model::RegistryDevices()
{
    Devices.Clear();
    for (unsigned i = 0; i < Vertexes.Count(); ++i) {
        TEC_Vertex* v = Vertexes.Get(i);
        if (auto* sw = AsSwitch(v)) Devices.Add(sw);
        else if (auto* sig = AsSignal(v); sig && sig->Number != 100) Devices.Add(sig);
    }
    checkAfter = Devices.Count();
    for (unsigned i = 0; i < Sections.Count(); ++i) {
        TEC_Section1* s = Sections.Get(i);
        if (s->Type >= 0 && s->Type <= 2) Devices.Add(s);
    }
    for (unsigned i = 0; i < PeregonTracks.Count(); ++i) Devices.Add(PeregonTracks.Get(i));
}

void TEC_Model::Synchronization(double t)
{
    // The pending route is checked once a tick, right after the switches have polled the plan.
    for (unsigned i = 0; i < Devices.Count(); ++i) {
        if (i == checkAfter && routeGroupe) CheckRoute();
        (*Devices.Get(i))->Step(t);
    }
    if (checkAfter == Devices.Count() && routeGroupe) CheckRoute();
    Supervise();
}

int TEC_Model::fnGetMessage(std::string& mes, TlstParams*)
{
    // The message is split once; the commands read their fields from the words.
    const TBusWords w(mes);
    int receiver = 0, command = 0;
    if (!w.Get(0, receiver) || !w.Get(1, command)) return 0;
    // A message from outside ends with the routes checked; the model's messages to itself do not.
    struct TDepth {
        TEC_Model* m;
        explicit TDepth(TEC_Model* model) : m(model) { ++m->depth; }
        ~TDepth() { --m->depth; }
        TDepth(const TDepth&) = delete;
        TDepth& operator=(const TDepth&) = delete;
    } nesting(this);
    int r = Dispatch(w, mes);
    if (depth == 1) Supervise();
    return r;
}

int TEC_Model::Dispatch(const TBusWords& w, std::string& mes)
{
    const unsigned a = w.UInt(2), b = w.UInt(3);
    switch (w.Int(1)) {
    case 4: return SwitchCommand(a, b, w.UInt(4));
    case 5: return fnSignalClick(a, b);
    case 6: return fnGetSignalState(w, mes);
    case 7: return fnSignalCancel();
    case 8: return SwitchControl(b);
    case 9: return fnDeleteRouteClick();
    case 10: return TimedRelease(w);
    case 11: return SectionInfo(a, mes);
    case 12: return ArmRelease(a);
    case 13: return ConfirmRelease();
    case 14: return DoRelease();
    case 15: return CloseSignal(a);
    case 16: return fnEndRouteClick(w, mes);
    case 17: return SetClosed(a, b);
    case 18: return AuxTurning(a, b);
    case 19: return SetFault(a, b, mes);
    case 20: return SectionInquiry(w, mes);
    case 21: return SwitchInquiry(a, mes);
    case 22: return FindSection(a, mes);
    case 23: return SetFaultListener(w);
    case 24: return SignalName(a, mes);
    default: return 0;
    }
}

// ---- Bus helpers ----

int TEC_Model::Send(const std::string& text)
{
    std::string buf = text;
    return SendMessageA(buf);
}

void TEC_Model::SendError(int error, const std::string& text)
{
    std::string m = text.empty() ? Format("0 4 %d", error) : Format("0 4 %d %s", error, text.c_str());
    if (inSearch) searchErrors.push_back(m);
    else Send(m);
}

std::string TEC_Model::SectionName(int section)
{
    std::string buf = Format("4 39 %d", section);
    if (!SendMessageA(buf)) return " ";
    return buf;
}

bool TEC_Model::AskPlanSection(unsigned planSection, bool* occupied)
{
    std::string buf = Format("1 5 %u", planSection);
    *occupied = false;
    if (!SendMessageA(buf)) return false;
    int occ = 0;
    SScanf(buf.c_str(), "%d", &occ);
    *occupied = occ != 0;
    return true;
}

bool TEC_Model::AskPlanSwitch(int sw, int* occupied, int* position, int* trailed, int* lockMode)
{
    std::string buf = Format("1 4 %d", sw);
    int f[4] = {0, 0, 0, 0};
    bool ok = SendMessageA(buf) != 0;
    if (ok) SScanf(buf.c_str(), "%d%d%d%d", &f[0], &f[1], &f[2], &f[3]);
    if (occupied) *occupied = f[0];
    if (position) *position = f[1];
    if (trailed) *trailed = f[2];
    if (lockMode) *lockMode = f[3];
    return ok;
}
