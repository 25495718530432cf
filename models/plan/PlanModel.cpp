// The track plan: its vertices, sections, parks and retarder placements, the loader of plan.dat,
// the switch throws and the plan's own bus commands.
#include "models/plan/PlanModel.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "models/base/BusWords.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"

namespace {

const char* const kDefaultPlanFile = "data\\plan.dat";
const char* const kBreakersFile = "data\\breakers.dat";

Exception PlanDataError(const std::string& file, int line, const std::string& reason)
{
    return Exception(Format("%s, строка %d: %s", file.c_str(), line, reason.c_str()));
}

bool ParseInt(const std::string& w, int& value)
{
    if (w.empty()) return false;
    size_t i = (w[0] == '+' || w[0] == '-') ? 1 : 0;
    if (i == w.size()) return false;
    for (size_t k = i; k < w.size(); ++k)
        if (w[k] < '0' || w[k] > '9') return false;
    errno = 0;
    long v = std::strtol(w.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

bool ParseReal(const std::string& w, double& value)
{
    if (w.empty() || !IsNumber(w.c_str())) return false;
    value = AtofC(w.c_str());
    return std::isfinite(value);
}

// One physical line without its line end; false at the end of the file.
bool ReadPhysicalLine(std::FILE* f, std::string& line)
{
    bool any = ReadRawLine(f, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

unsigned SectionNo(const TRM_Section* s) { return s ? static_cast<unsigned>(s->Number) : 0u; }

std::unique_ptr<TRM_Vertex> CreateVertex(TPlanModel* model, int number)
{
    if (number >= 0 && number <= 99) return std::make_unique<TRM_Switch>(model, number);
    if (number >= 100 && number <= 199) return std::make_unique<TRM_Signal>(model, number);
    if (number >= 1000 && number <= 1099) return std::make_unique<TRM_Fracture>(model, number);
    return std::make_unique<TRM_Joint>(model, number);
}

// The delay of a switch throw asked for without a time: normal, mean 2 s, deviation 0.5 s.
double ThrowDelay() { return NormalValue(2.0, 0.5); }

} // namespace

// ---- TPlanLine ----

TPlanLine::TPlanLine(const std::string& fileName, int lineNo, const std::string& lineText)
    : file(fileName), line(lineNo), text(lineText)
{
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlankChar(text[i])) ++i;
        size_t b = i;
        while (i < text.size() && !IsBlankChar(text[i])) ++i;
        if (i > b) words.push_back(text.substr(b, i - b));
    }
}

bool TPlanLine::Int(size_t i, int& value) const
{
    value = 0;
    if (i >= words.size()) return false;
    if (!ParseInt(words[i], value))
        Fail(Format("поле %u \"%s\" не целое число", static_cast<unsigned>(i + 1), words[i].c_str()));
    return true;
}

int TPlanLine::RequiredInt(size_t i) const
{
    int v = 0;
    if (!Int(i, v)) Fail(Format("в записи нет поля %u", static_cast<unsigned>(i + 1)));
    return v;
}

double TPlanLine::Real(size_t i, double def) const
{
    if (i >= words.size()) return def;
    double v = 0;
    if (!ParseReal(words[i], v))
        Fail(Format("поле %u \"%s\" не число", static_cast<unsigned>(i + 1), words[i].c_str()));
    return v;
}

std::string TPlanLine::Text(size_t i, const std::string& def) const
{
    return i < words.size() ? words[i] : def;
}

void TPlanLine::Fail(const std::string& reason) const { throw PlanDataError(file, line, reason); }

// ---- vertices ----

TRM_Section* TRM_Vertex::NextSection(int, const TRM_Section*) const { return nullptr; }
void TRM_Vertex::ReplaceSection(TRM_Section*, TRM_Section*) {}
void TRM_Vertex::AttachSection(TRM_Section*, int) {}
int TRM_Vertex::BusCommand(int, const TBusWords&, std::string&) { return 0; }

AnsiString TRM_Vertex::Dump() const { return Format("%d %3.3f %3.3f %3.3f", Number, X, Y, Z); }

TRM_Section* TRM_Joint::NextSection(int d, const TRM_Section*) const { return d != 0 ? Arriving : Leaving; }

void TRM_Joint::ReplaceSection(TRM_Section* a, TRM_Section* b)
{
    if (Arriving == a) Arriving = b;
    if (Leaving == a) Leaving = b;
}

void TRM_Joint::AttachSection(TRM_Section* s, int end)
{
    if (end == 0) Leaving = s;
    else Arriving = s;
}

AnsiString TRM_Joint::Dump() const
{
    return TRM_Vertex::Dump() + Format(" %u %u", SectionNo(Arriving), SectionNo(Leaving));
}

TRM_Signal::TRM_Signal(TPlanModel* model, int number) : TRM_Joint(model, number)
{
    if (number < 100 || number > 199) RaiseError("TRM_Signal::Неверный номер сигнала");
}

void TRM_Signal::ReadLine(const TPlanLine& line)
{
    int dir = 0;
    line.Int(2, dir);
    Direction = dir > 0;
}

void TRM_Fracture::ReadLine(const TPlanLine& line)
{
    Radius = line.Real(2, 0.0);
    Grade = line.Real(3, 0.0) * 0.001;
}

TRM_Switch::TRM_Switch(TPlanModel* model, int number) : TRM_Vertex(model, number)
{
    if (number >= 100) RaiseError("TRM_Signal::Неверный номер стрелки");
}

void TRM_Switch::ReadLine(const TPlanLine& line)
{
    int v[15] = {};
    for (size_t i = 2; i < 15; ++i) line.Int(i, v[i]);
    if (v[2] < 0 || v[2] > 5) line.Fail(Format("неверное состояние стрелки %d: %d", Number, v[2]));
    State = v[2];
    for (int e = 0; e < 4; ++e) Ends[e] = v[3 + e] > 0 ? Model->SectionAt(v[3 + e], line) : nullptr;
    Own.Clear();
    for (int i = 7; i < 15 && v[i] != 0; ++i) Own.Append(Model->SectionAt(v[i], line));
    if (Own.First() && Own.First() != Own.Last()) {
        Own.First()->value->Name = Format("C%d<", Number);
        Own.Last()->value->Name = Format("C%d>", Number);
    }
}

TRM_Section* TRM_Switch::NextSection(int d, const TRM_Section* s) const
{
    if (State > 1) return nullptr;
    int side = d == 0 ? ForwardPos0 : BackwardPos0;
    int other = d == 0 ? BackwardPos0 : ForwardPos0;
    if (Ends[side + 1]) return Ends[side + State];
    // The point side: only from nowhere or from the branch the switch lies for.
    if (!s || s == Ends[other + State]) return Ends[side];
    return nullptr;
}

void TRM_Switch::ReplaceSection(TRM_Section* a, TRM_Section* b)
{
    for (auto& e : Ends)
        if (e == a) e = b;
    for (auto* n = Own.First(); n; n = n->next)
        if (n->value == a) n->value = b;
}

AnsiString TRM_Switch::Dump() const
{
    return TRM_Vertex::Dump() + Format(" %u %u %u %u", SectionNo(Ends[0]), SectionNo(Ends[1]),
                                       SectionNo(Ends[2]), SectionNo(Ends[3]));
}

bool TRM_Switch::Occupied() const
{
    if (Own.First()) {
        for (auto* n = Own.First(); n; n = n->next)
            if (!n->value->Free) return true;
        return false;
    }
    for (auto* e : Ends)
        if (e && !e->Free) return true;
    return false;
}

void TRM_Switch::Step(double t)
{
    if (DueTime >= 0 && DueTime <= t && (State == 2 || State == 3)) {
        State -= 2;
        DueTime = -1.0;
    }
}

int TRM_Switch::Throw(int position, const double* timeGiven)
{
    double time = timeGiven ? *timeGiven : Model->SysTime() + ThrowDelay();
    if (Occupied()) {
        Model->SendMessageA(Format("%d  %d 2 %d", static_cast<int>(brInstructor), 4, Number).c_str());
        return 0;
    }
    if (State == position) return 1;
    if (time >= -1 && LockMode >= 2) {
        if (State == 0 || State == 1) {
            State += 4;
            // Above 2 a fault keeps it from turning (2 is a clamp put on by hand): the moment the
            // duty officer sees a switch that does not turn, the station's data is told of it.
            if (LockMode > 2) Model->TellFault(Number, LockMode);
            return 1;
        }
        if ((State == 4 || State == 5) && position == State - 4) {
            State = position;
            return 1;
        }
        return 0;
    }
    // Only the two lying positions can be asked for.
    if (position != 0 && position != 1) return 0;
    if (time >= 0) {
        State = position + 2;
        DueTime = time;
        return 1;
    }
    if (time < -1) LockMode = 2;
    State = position;
    DueTime = -1.0;
    return 1;
}

void TRM_Switch::Close(int value)
{
    if (LockMode < 2) LockMode = value;
    else if (value == -1) LockMode = 0;
}

int TRM_Switch::BusCommand(int op, const TBusWords& w, std::string& mes)
{
    switch (op) {
    case 4:
        mes = Format("%d %d %d %d %3.3f", Occupied() ? 1 : 0, State, Trailed, LockMode, DueTime);
        return 1;
    case 9: {
        float time = 0;
        const bool timed = w.Get(4, time);
        double t = time;
        return Throw(w.Int(3), timed ? &t : nullptr);
    }
    case 24:
        if (Occupied()) return 0;
        Trailed = 0;
        return 1;
    default: return 0;
    }
}

// ---- sections ----

int TRM_Section::StateQuery(std::string& mes) const
{
    mes = Format("%d %f", Free ? 0 : 1, Curvature);
    return 1;
}

double TRM_Section::Grade() const { return Element ? Element->Grade() : 0.0; }

AnsiString TRM_Section::Dump() const
{
    return Format("%u %u %u %3.3f %s %f %d %f", static_cast<unsigned>(Number),
                  From ? static_cast<unsigned>(From->Number) : 0u, To ? static_cast<unsigned>(To->Number) : 0u,
                  Length, Name.empty() ? "-" : Name.c_str(), Curvature, Breaker ? Breaker->Number : 0, Grade());
}

// ---- arrays ----

TRM_Vertex* TaVertexes::Get(unsigned int i) const
{
    if (i >= items.size()) throw Exception("TaVertexes:: индекс вне диапазона");
    return items[i].get();
}

TRM_Vertex* TaVertexes::Find(int number) const
{
    if (Sorted) {
        auto it = std::lower_bound(items.begin(), items.end(), number,
                                   [](const std::unique_ptr<TRM_Vertex>& v, int n) { return v->Number < n; });
        return it != items.end() && (*it)->Number == number ? it->get() : nullptr;
    }
    for (auto& v : items)
        if (v->Number == number) return v.get();
    return nullptr;
}

TRM_Vertex* TaVertexes::Add(std::unique_ptr<TRM_Vertex> v)
{
    if (items.size() >= Slots - 1) throw Exception("TaVertexes:: переполнение массива");
    items.push_back(std::move(v));
    Sorted = 0;
    return items.back().get();
}

void TaVertexes::Sort()
{
    std::sort(items.begin(), items.end(), [](auto& a, auto& b) { return a->Number < b->Number; });
    Sorted = 1;
}

void TaVertexes::Clear()
{
    items.clear();
    Sorted = 0;
}

TRM_Section* TaSections::Get(unsigned int i) const
{
    if (i >= items.size()) throw Exception("TaSections:: индекс вне диапазона");
    return items[i].get();
}

TRM_Section* TaSections::Find(int number) const
{
    if (Sorted) {
        auto it = std::lower_bound(items.begin(), items.end(), number,
                                   [](const std::unique_ptr<TRM_Section>& s, int n) { return s->Number < n; });
        return it != items.end() && (*it)->Number == number ? it->get() : nullptr;
    }
    for (auto& s : items)
        if (s->Number == number) return s.get();
    return nullptr;
}

TRM_Section* TaSections::Add(std::unique_ptr<TRM_Section> s)
{
    if (items.size() >= Slots - 1) throw Exception("TaSections:: переполнение массива");
    items.push_back(std::move(s));
    Sorted = 0;
    return items.back().get();
}

void TaSections::Sort()
{
    std::sort(items.begin(), items.end(), [](auto& a, auto& b) { return a->Number < b->Number; });
    Sorted = 1;
}

void TaSections::Clear()
{
    items.clear();
    Sorted = 0;
}

// ---- the model ----

TPlanModel::TPlanModel(TComponent* owner) : TModel(owner), Breakers(this, 50), Parks(this, 20), Random(std::rand)
{
    FileName = kDefaultPlanFile;
}

TPlanModel::~TPlanModel()
{
    // The devices point into the vertices and placements.
    Devices.Clear();
}

std::string TPlanModel::DataFileName() const { return FileName.empty() ? kDefaultPlanFile : FileName; }

TRM_Vertex* TPlanModel::VertexAt(int number, int line)
{
    if (TRM_Vertex* v = Vertexes.Find(number)) return v;
    TRM_Vertex* v = Vertexes.Add(CreateVertex(this, number));
    v->RecordLine = line;
    return v;
}

TRM_Section* TPlanModel::SectionAt(int number, const TPlanLine& line)
{
    if (number <= 0) line.Fail(Format("неверный номер участка %d", number));
    if (TRM_Section* s = Sections.Find(number)) return s;
    TRM_Section* s = Sections.Add(std::make_unique<TRM_Section>(this, number));
    s->RecordLine = line.Line();
    return s;
}

TRM_Switch* TPlanModel::FindSwitch(int number) const
{
    TRM_Vertex* v = FindVertex(number);
    return v && v->Kind() == 1 ? static_cast<TRM_Switch*>(v) : nullptr;
}

TRM_Park* TPlanModel::ParkOfSection(const TRM_Section* s) const
{
    for (unsigned int i = 0; i < Parks.Count(); ++i)
        for (auto* n = Parks.Get(i)->Sections.First(); n; n = n->next)
            if (n->value == s) return Parks.Get(i);
    return nullptr;
}

TRM_Section* TPlanModel::NextSection(const TRM_Section* s, int dir) const
{
    if (!s) return nullptr;
    TRM_Vertex* v = s->FarVertex(dir);
    return v ? v->NextSection(dir, s) : nullptr;
}

void TPlanModel::Read(std::FILE* f)
{
    BreakerProperties.Load(kBreakersFile);

    const std::string file = DataFileName();
    std::string raw;
    int lineNo = 0;
    while (ReadPhysicalLine(f, raw)) {
        ++lineNo;
        if (lineNo > MaxLines) throw PlanDataError(file, lineNo, Format("в файле больше %d строк", MaxLines));
        if (raw.size() > kDataLineBytes)
            throw PlanDataError(file, lineNo, Format("строка длиннее %u символов", static_cast<unsigned>(kDataLineBytes)));
        std::string text = Cp1251ToUtf8(raw);
        int type = 0;
        SScanf(text.c_str(), "%d", &type);
        if (type <= 0 || type > 9) continue;
        ReadRecord(TPlanLine(file, lineNo, text), type);
    }
    // A plan without a section is no station: a lesson on it would show nothing.
    if (Sections.Count() == 0) throw Exception(DataFileMessage(file, 0, "нет ни одного участка"));
    CheckLinks();

    Sections.Sort();
    Vertexes.Sort();
    RegistryDevices();
    ComputeCoordinates();
    BuildProfile();
}

void TPlanModel::ReadRecord(const TPlanLine& line, int type)
{
    switch (type) {
    case 1:
    case 3:
    case 6: {
        TRM_Vertex* v = VertexAt(line.RequiredInt(1), line.Line());
        v->ReadLine(line);
        v->Described = true;
        v->RecordLine = line.Line();
        break;
    }
    case 2: ReadSection(line); break;
    case 4: ReadPark(line); break;
    case 5: ReadBreaker(line); break;
    case 7: ReadVertexData(line); break;
    case 8: ReadPlanFunction(line, 1); break;
    case 9: ReadPlanFunction(line, 2); break;
    default: break;
    }
}

void TPlanModel::ReadSection(const TPlanLine& line)
{
    int number = line.RequiredInt(1);
    int from = line.RequiredInt(2);
    int to = line.RequiredInt(3);
    double length = line.Real(4, 0.0);
    if (length < 0) line.Fail(Format("отрицательная длина участка %d", number));
    std::string name = line.Text(5, "0");
    int entry = 0, exit = 0;
    line.Int(6, entry);
    line.Int(7, exit);
    double curvature = line.Real(8, 0.0);

    TRM_Section* s = SectionAt(number, line);
    s->From = VertexAt(from, line.Line());
    s->To = VertexAt(to, line.Line());
    s->Length = length;
    s->Name = name == "-" ? AnsiString() : name;
    s->EntryFn = entry;
    s->ExitFn = exit;
    s->Curvature = curvature;
    s->Described = true;
    s->RecordLine = line.Line();
    s->From->AttachSection(s, 0);
    s->To->AttachSection(s, 1);
}

void TPlanModel::ReadPark(const TPlanLine& line)
{
    TRM_Park* p = Parks.FindOrCreate(line.RequiredInt(1));
    p->Sections.Clear();
    p->Name = line.Text(2, "");
    for (size_t i = 3; i < 23; ++i) {
        int n = 0;
        if (!line.Int(i, n) || n == 0) break;
        p->Sections.Append(SectionAt(n, line));
    }
}

void TPlanModel::ReadBreaker(const TPlanLine& line)
{
    int number = line.RequiredInt(1);
    if (number <= 0) line.Fail(Format("неверный номер замедлителя %d", number));
    TRM_Breaker* b = Breakers.FindOrCreate(number);
    TBreakerProperties* p = BreakerProperties.Find(line.Text(2, ""));
    if (!p) {
        // The plan's line names the retarder; without the type file every type is unknown.
        std::string reason = "Неизвестный тип замедлителя. Смотри файл data\\breakers.dat";
        if (!FileExists(kBreakersFile)) reason = "нет файла data\\breakers.dat с типами замедлителей";
        else if (BreakerProperties.Count() == 0) reason = "в файле data\\breakers.dat нет ни одного типа замедлителя";
        line.Fail(reason + " (тип " + line.Text(2, "") + ")");
    }
    b->Device = CreateBreakerDevice(p->Kind());
    if (b->Device) b->Device->BindProperties(p);
    int index = 0;
    line.Int(3, index);
    b->Index = index;
    for (size_t i = 4; i < 11; ++i) {
        int n = 0;
        if (!line.Int(i, n) || n == 0) break;
        SectionAt(n, line)->Breaker = b;
    }
}

void TPlanModel::ReadVertexData(const TPlanLine& line)
{
    TRM_Vertex* v = FindVertex(line.RequiredInt(1));
    double x = line.Real(2, kUnsetValue), y = line.Real(3, kUnsetValue), z = line.Real(4, kUnsetValue);
    if (!v) return;
    v->X = x;
    v->Y = y;
    v->Z = z;
    v->Name = line.Text(5, "");
}

void TPlanModel::ReadPlanFunction(const TPlanLine& line, int table)
{
    (table == 1 ? SectionFunctions : EventFunctions).ReadRecord(line.Text());
}

void TPlanModel::CheckLinks() const
{
    const std::string file = DataFileName();
    for (unsigned int i = 0; i < Sections.Count(); ++i) {
        const TRM_Section* s = Sections.Get(i);
        if (!s->Described) throw PlanDataError(file, s->RecordLine, Format("участок %d не описан", s->Number));
    }
    for (unsigned int i = 0; i < Vertexes.Count(); ++i) {
        if (Vertexes.Get(i)->Kind() != 1) continue;
        auto* sw = static_cast<const TRM_Switch*>(Vertexes.Get(i));
        if (!sw->Described) throw PlanDataError(file, sw->RecordLine, Format("стрелка %d не описана", sw->Number));
        for (int e = 0; e < 4; ++e) {
            const TRM_Section* s = sw->Ends[e];
            if (!s) continue;
            bool forward = e == TRM_Switch::ForwardPos0 || e == TRM_Switch::ForwardPos1;
            if (forward && s->From != sw)
                throw PlanDataError(file, sw->RecordLine,
                                    Format("участок %d не начинается у стрелки %d", s->Number, sw->Number));
            if (!forward && s->To != sw)
                throw PlanDataError(file, sw->RecordLine,
                                    Format("участок %d не кончается у стрелки %d", s->Number, sw->Number));
        }
    }
}

void TPlanModel::RegistryDevices()
{
    Devices.Clear();
    for (unsigned int i = 0; i < Vertexes.Count(); ++i)
        if (Vertexes.Get(i)->Kind() == 1) Devices.Add(static_cast<TRM_Switch*>(Vertexes.Get(i)));
    for (unsigned int i = 0; i < Breakers.Count(); ++i) Devices.Add(Breakers.Get(i));
}

void TPlanModel::Synchronization(double t) { Devices.Synchronization(t); }

void TPlanModel::ClearData()
{
    // Nothing may keep pointing at what goes away.
    Devices.Clear();
    Placements.Clear();
    for (auto* n = Objects.First(); n; n = n->next) n->value.Removed = true;
    if (Objects.Holds == 0) Objects.Purge();
    Profile.Clear();
    Parks.Clear();
    Sections.Clear();
    Breakers.Clear();
    Vertexes.Clear();
    profileVisited.clear();
    // The event functions stay: a reload of the same file would find them again.
    SectionFunctions.Clear();
}

void TPlanModel::ReplaseSection(TRM_Section* a, TRM_Section* b)
{
    for (unsigned int i = 0; i < Vertexes.Count(); ++i) Vertexes.Get(i)->ReplaceSection(a, b);
    for (unsigned int i = 0; i < Parks.Count(); ++i)
        for (auto* n = Parks.Get(i)->Sections.First(); n; n = n->next)
            if (n->value == a) n->value = b;
}

// ---- bus commands ----

int TPlanModel::fnGetModelMessage(std::string& mes, TlstParams*)
{
    // Split once: the handlers read their fields from the words, and may write the reply over mes.
    const TBusWords w(mes);
    const int op = w.Int(1);
    switch (op) {
    case 4:
    case 9:
    case 24: return VertexCommand(op, w, mes);
    case 5: return GetSectionState(w, mes);
    case 18: return GetSignalDir(w, mes);
    case 25: return NextSection(w, mes);
    case 26: return SetBreakerState(w);
    case 29: return GetWaySlope(w, mes);
    case 30: return GetPlParam(w, mes);
    case 31: return GetPlParamID(w, mes);
    case 33: return SetBreakerResist(w);
    case 37: return SwitchClose(w);
    default: break;
    }
    // A handler may run plan functions that remove objects: they stay in memory until it returns.
    TObjectsHold hold(Objects);
    switch (op) {
    case 6: return StoreOBJ(w);
    case 7: return RemoveOBJ(w);
    case 8: return MoveOBJ(w);
    case 10: return GetRoute(w, mes);
    case 11: return GetNearest(w, mes);
    case 12: return GetObjectEnd(w, mes);
    case 13: return GetSectionObjects(w, mes);
    case 14: return GetDistance(w, mes);
    case 15: return GetWay(w, mes);
    case 17: return FindTarget(1, w, mes);
    case 19: return GetRouteEnd(w, mes);
    case 20: return FindTarget(3, w, mes);
    case 21: return FindTarget(4, w, mes);
    case 22: return RandomSet(w, mes);
    case 23: return GetPark(w, mes);
    case 27: return StepMin(w, mes);
    case 28: return GetRouteProp(w, mes);
    case 32: return CreateHmpFile(w);
    case 34: return ReStoreOBJ(w);
    case 35: return FindTarget(2, w, mes);
    case 36: return EnumObjects(w);
    default: return 0;
    }
}

// The fields of a request follow the receiver (word 0) and the command (word 1).

int TPlanModel::VertexCommand(int op, const TBusWords& w, std::string& mes)
{
    TRM_Vertex* v = FindVertex(w.Int(2));
    return v ? v->BusCommand(op, w, mes) : 0;
}

int TPlanModel::GetSectionState(const TBusWords& w, std::string& mes)
{
    TRM_Section* s = FindSection(w.Int(2));
    return s ? s->StateQuery(mes) : 0;
}

int TPlanModel::GetSignalDir(const TBusWords& w, std::string& mes)
{
    TRM_Vertex* v = FindVertex(w.Int(2));
    if (!v) return 0;
    mes = Format("%d", v->Kind() == 2 && static_cast<TRM_Signal*>(v)->Direction ? 1 : 0);
    return 1;
}

int TPlanModel::NextSection(const TBusWords& w, std::string& mes)
{
    TRM_Section* next = NextSection(FindSection(w.Int(2)), w.Int(3));
    if (!next) return 0;
    mes = Format("%d", next->Number);
    return 1;
}

int TPlanModel::SetBreakerState(const TBusWords& w)
{
    // Only the retarder's number matters here: its state and time (words 3 and 4) are not kept.
    return FindBreaker(w.Int(2)) ? 1 : 0;
}

int TPlanModel::GetWaySlope(const TBusWords& w, std::string& mes)
{
    TRM_Section* s = FindSection(w.Int(2));
    if (!s) return 0;
    mes = Format("%10.10f", GetWaySlope(s, w.Float(3)));
    return 1;
}

int TPlanModel::GetPlParam(const TBusWords& w, std::string& mes)
{
    const unsigned index = w.UInt(3);
    switch (w.Int(2)) {
    case 0:
        if (index >= Vertexes.Count()) return 0;
        mes = Vertexes.Get(index)->Dump();
        return 1;
    case 1:
        if (index >= Sections.Count()) return 0;
        mes = Sections.Get(index)->Dump();
        return 1;
    case 2:
        if (index >= Breakers.Count()) return 0;
        mes = Breakers.Get(index)->Dump();
        return 1;
    default: return 0;
    }
}

int TPlanModel::GetPlParamID(const TBusWords& w, std::string& mes)
{
    const int n = static_cast<int>(w.UInt(3));
    switch (w.Int(2)) {
    case 0:
        if (TRM_Vertex* v = FindVertex(n)) {
            mes = v->Dump();
            return 1;
        }
        return 0;
    case 1:
        if (TRM_Section* s = FindSection(n)) {
            mes = s->Dump();
            return 1;
        }
        return 0;
    case 2:
        if (TRM_Breaker* b = FindBreaker(n)) {
            mes = b->Dump();
            return 1;
        }
        return 0;
    default: return 0;
    }
}

int TPlanModel::SetBreakerResist(const TBusWords& w)
{
    TRM_Breaker* b = FindBreaker(w.Int(2));
    if (!b) return 0;
    float v = 0;
    const bool given = w.Get(3, v);
    // A missing or negative value stores the model time.
    b->SetResist(!given || v < 0 ? SysTime() : static_cast<double>(v));
    return 1;
}

int TPlanModel::SwitchClose(const TBusWords& w)
{
    TRM_Switch* sw = FindSwitch(w.Int(2));
    if (!sw) return 0;
    sw->Close(w.Int(3));
    return 1;
}
