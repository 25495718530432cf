// The technology model's files: "DATA\Tecnology.dat" (works, functions, automata), the car
// types of "data\cars.dat" and the composition files of command 14.
#include <cstdlib>
#include <memory>

#include "models/base/Utilit.h"
#include "models/technology/TecnModel.h"
#include "platform/core/Exception.h"
#include "platform/core/CFormat.h"
#include "platform/core/Paths.h"

namespace {

const char* const kKeyError = "Ошибка в исходном файле. Неизвестный ключ ";
const char* const kSectionKeyError = "Ошибка в исходном файле. Неизвестный ключ секции ";

// Closes a file on every path.
struct TFileCloser {
    void operator()(std::FILE* f) const
    {
        if (f) std::fclose(f);
    }
};
using TFileHandle = std::unique_ptr<std::FILE, TFileCloser>;

// The next data line as written (its line end dropped); "EOF" at the end of the file.
bool NextLine(std::FILE* f, std::string& line)
{
    int r;
    while ((r = ReadDataLine(f, line, "*")) == 0) {
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return r == 1;
}

// Seven integers of an "Исполнитель" line; missing ones read 0.
TExecProc ReadExecProc(const std::string& line)
{
    TExecProc p;
    SScanf(line.c_str(), "%d%d%d%d%d%d%d", &p.Scill, &p.Release, &p.Prefer[0], &p.Prefer[1], &p.Prefer[2],
           &p.Prefer[3], &p.Prefer[4]);
    return p;
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    size_t p = 0;
    while (p < text.size()) {
        while (p < text.size() && IsBlankChar(text[p])) ++p;
        size_t e = p;
        while (e < text.size() && !IsBlankChar(text[e])) ++e;
        if (e > p) words.push_back(text.substr(p, e - p));
        p = e;
    }
    return words;
}

// Reads integers from words[from...] as a chain of "%d" conversions would: stops at the first
// word that does not begin with a number, and after a word that is only partly a number.
std::vector<int> ScanInts(const std::vector<std::string>& words, size_t from, size_t max)
{
    std::vector<int> v;
    for (size_t i = from; i < words.size() && v.size() < max; ++i) {
        int x = 0, used = 0;
        if (SScanf(words[i].c_str(), "%d%n", &x, &used) != 1) break;
        v.push_back(x);
        if (static_cast<size_t>(used) != words[i].size()) break;
    }
    return v;
}

// A transition line "cmd cond target action works... | cancels...". A missing condition or
// action reads as function 9999, a missing target as "stay".
TAutomatFunction ReadTransition(const std::string& line)
{
    size_t bar = line.find('|');
    std::vector<std::string> head = Words(line.substr(0, bar));
    TAutomatFunction t;
    t.Command = t.Condition = t.Action = 9999;
    std::vector<int> first = ScanInts(head, 0, 2);
    if (!first.empty()) t.Command = first[0];
    if (first.size() == 2 && head.size() > 2) {
        t.Condition = first[1];
        const std::string& w = head[2];
        t.Target = (w[0] == 's' || w[0] == 'S') ? -1 : static_cast<int>(AtolC(w.c_str()));
        std::vector<int> rest = ScanInts(head, 3, 12);
        if (!rest.empty()) t.Action = rest[0];
        for (size_t i = 1; i < rest.size() && rest[i] < 9999; ++i) t.Start.push_back(rest[i]);
    } else if (first.size() == 2) {
        t.Condition = first[1];
    }
    if (bar != std::string::npos)
        for (int w : ScanInts(Words(line.substr(bar + 1)), 0, 15)) {
            if (w >= 9999) break;
            t.Cancel.push_back(w);
        }
    return t;
}

} // namespace

// Works: true when the functions follow, false when the automata follow at once.
bool TTecnModel::ReadWorks(std::FILE* f)
{
    static const AnsiString workKeys[] = {"Работы",  "Работа", "Исполнитель", "Время",  "Содержание",
                                          "Условие", "Сигнал", "Объекты",     "Функции"};
    enum { kWorks, kWork, kExec, kTime, kContent, kCond, kSignal, kObjects, kFunctions };
    std::string line, key;
    bool inWork = false;
    for (;;) {
        NextLine(f, line);
        key = line;
        int k = FindKeyIndex(key, workKeys, 9);
        if (k == kObjects || k == kFunctions) return k == kFunctions;
        if (k == kWorks && !inWork) continue;
        if (k == kWork) {
            NextLine(f, line);
            TaWorkTemplates.AddNew();
            TWorkTemplate& w = TaWorkTemplates.Last();
            w = TWorkTemplate{};
            w.Number = static_cast<int>(AtolC(line.c_str()));
            w.Signal = static_cast<unsigned>(w.Number);
            inWork = true;
            continue;
        }
        if (!inWork || k < 0 || k == kWorks) RaiseError((inWork ? kKeyError : kSectionKeyError) + key);
        TWorkTemplate& w = TaWorkTemplates.Last();
        NextLine(f, line);
        switch (k) {
        case kExec: w.Requirements.push_back(ReadExecProc(line)); break;
        case kTime: w.Duration = line; break;
        case kContent: w.Content = Trim(line); break;
        case kCond: w.Conditions.push_back(line); break;
        case kSignal: {
            unsigned s = 0;
            SScanf(line.c_str(), "%u", &s);
            w.Signal = s;
            break;
        }
        default: break;
        }
    }
}

// Functions: true when the automata follow, false at the end of the file.
bool TTecnModel::ReadFunctions(std::FILE* f)
{
    static const AnsiString keys[] = {"Функция", "Объекты", "EOF"};
    std::string line, key;
    TTecnFunction* fn = nullptr;
    for (;;) {
        bool data = NextLine(f, line);
        key = line;
        int k = data ? FindKeyIndex(key, keys, 3) : 2;
        if (k == 2) return false;
        if (k == 1) return true;
        if (k == 0) {
            NextLine(f, line);
            TaTecnFunctions.AddNew();
            fn = &TaTecnFunctions.Last();
            fn->Body.Clear();
            fn->Number = static_cast<int>(AtolC(line.c_str()));
            continue;
        }
        if (!fn) RaiseError(kSectionKeyError + key);
        fn->Body.Append(key);
    }
}

void TTecnModel::ReadAutomata(std::FILE* f)
{
    static const AnsiString keys[] = {"Объект", "EOF", "Исполнитель", "Параметр", "Состояние"};
    std::string line, key;
    enum { kObject, kEof, kAExec, kParam, kState };
    TAutomat* a = nullptr;
    bool inState = false;
    for (;;) {
        bool data = NextLine(f, line);
        key = line;
        int k = data ? FindKeyIndex(key, keys, 5) : kEof;
        if (k == kEof) return;
        if (k == kObject) {
            NextLine(f, line);
            TaAutomats.AddNew();
            a = &TaAutomats.Last();
            *a = TAutomat{};
            a->Type = static_cast<int>(AtolC(line.c_str()));
            inState = false;
            continue;
        }
        if (inState && k != kState) {
            // A transition line must begin with a digit as written.
            if (line.empty() || line[0] < '0' || line[0] > '9') RaiseError(kKeyError + line);
            a->States.Last().push_back(ReadTransition(line));
            continue;
        }
        if (!a || k < 0) RaiseError(kSectionKeyError + key);
        switch (k) {
        case kAExec:
            NextLine(f, line);
            a->Requirements.push_back(ReadExecProc(line));
            break;
        case kParam: {
            NextLine(f, line);
            TObjParam p;
            p.FromText(Trim(line).c_str());
            a->Defaults.push_back(p);
            break;
        }
        case kState:
            a->States.AddNew();
            a->States.Last().clear();
            inState = true;
            break;
        default: break;
        }
    }
}

void TTecnModel::Read(std::FILE* f)
{
    try {
        if (!ReadWorks(f) || ReadFunctions(f)) ReadAutomata(f);
    } catch (const Exception& e) {
        if (FileName.empty()) throw;
        throw Exception(DataFileMessage(FileName, DataLineNumber(f), e.Message));
    }
    // No object can be created without an automaton: a lesson on such a file would hold nothing.
    if (StationRequired && TaAutomats.Count() == 0) throw Exception(DataFileMessage(FileName, 0, "нет ни одного автомата (Объект)"));
}

void TTecnModel::ReadCars(const AnsiString& path)
{
    TaCarDef.Clear();
    std::FILE* raw = nullptr;
    int lines = OpenDataFile(&raw, path);
    TFileHandle f(raw);
    auto refuse = [&](int line, const std::string& reason) { RaiseError(DataFileMessage(path, line, reason)); };
    if (StationRequired && lines < 3) refuse(0, FileExists(path) ? "нет ни одного типа вагона" : "нет файла");
    if (lines < 2 || !f) return;
    int records = lines / 3;
    std::string line;
    int lineNo = 0;
    auto next = [&]() {
        int r;
        do {
            r = ReadDataLine(f.get(), line, "*");
            ++lineNo;
        } while (r == 0);
        return r == 1;
    };
    for (int i = 0; i < records; ++i) {
        TCarDef c;
        if (!next()) break;
        c.Name = FirstWord(line);
        if (!next()) break;
        int coefficients = SScanf(line.c_str(), "%f%f%f%f%f%f", &c.C[0], &c.C[1], &c.C[2], &c.C[3], &c.C[4], &c.C[5]);
        if (StationRequired && coefficients != 6) refuse(lineNo, "нужно шесть коэффициентов вагона " + c.Name);
        if (!next()) break;
        std::vector<double> d;
        const char* p = line.c_str();
        for (;;) {
            char* end = nullptr;
            double x = StrtodC(p, &end);
            if (end == p) break;
            d.push_back(x);
            p = end;
        }
        if (StationRequired && (d.size() < 2 || !Trim(p).empty()))
            refuse(lineNo, "нужны расстояния между осями вагона " + c.Name + " (не меньше двух чисел)");
        if (d.size() > kMaxCarAxles + 1)
            RaiseError(Format("%s, строка %d: больше %d осей у вагона %s", path.c_str(), lineNo, kMaxCarAxles,
                              c.Name.c_str()));
        c.Axles = static_cast<int>(d.size()) - 1;
        for (size_t k = 0; k < d.size(); ++k) {
            c.Length += d[k];
            if (k + 1 < d.size()) c.Axis[k] = c.Length;
        }
        if (c.Axles < 0) c.Axles = 0;
        TaCarDef.Add(c);
    }
    // The lines after the last whole record: a record cut short.
    if (StationRequired && lines % 3 != 0) {
        next();
        refuse(lineNo, "неполная запись типа вагона (нужны три строки)");
    }
}

unsigned int TTecnModel::FindCarDef(const AnsiString& name, int axles) const
{
    for (unsigned i = 0; i < TaCarDef.Count(); ++i)
        if (TaCarDef.Get(i)->Name == name && TaCarDef.Get(i)->Axles == axles) return i + 1;
    return 0;
}

const TCarDef* TTecnModel::CarDefAt(int index) const
{
    if (index < 1 || static_cast<unsigned>(index) > TaCarDef.Count()) return nullptr;
    return TaCarDef.Get(static_cast<unsigned>(index - 1));
}

unsigned int TTecnModel::ReadObjects(const AnsiString& path)
{
    TFileHandle f(OpenFile(path, "r"));
    if (!f) RaiseError("Нет файла описания состава" + path);
    unsigned int firstCreated = 0;
    TTecnObject* cutStart = nullptr;  // first car of the open cut
    auto closeCut = [&](int n) {
        if (!cutStart) return;
        bool in = false;
        for (auto& o : TlstObjects) {
            if (o.get() == cutStart) in = true;
            if (!in || o->Dead) continue;
            if (!o->Params.Find("1021")) o->Params.Put(TObjParam("1021", static_cast<int32_t>(n)));
            if (!o->Params.Find("2017")) o->Params.Put(TObjParam("2017", 99999.0));
        }
        cutStart = nullptr;
    };
    std::string line;
    int r;
    while ((r = ReadDataLine(f.get(), line, "*")) != -1) {
        if (r == 0) continue;
        if (line[0] == '=') {
            // "=5", "= 5" and "=Отцеп 5": the number after the "=" or after the word it begins.
            int n = 0;
            if (SScanf(line.c_str() + 1, "%d", &n) != 1) SScanf(line.c_str(), "%*s%d", &n);
            closeCut(n);
            continue;
        }
        std::vector<std::string> w = Words(line);
        AnsiString type = w.size() > 0 ? w[0] : "", axleField = w.size() > 1 ? w[1] : "";
        double f3 = w.size() > 2 ? AtofC(w[2].c_str()) : 0, f4 = w.size() > 3 ? AtofC(w[3].c_str()) : 0;
        // The axle count is the number before the last letter of the field ("4с").
        std::string lastLetter, count = axleField;
        if (!count.empty()) {
            size_t e = count.size() - 1;
            while (e > 0 && (static_cast<unsigned char>(count[e]) & 0xC0) == 0x80) --e;
            lastLetter = count.substr(e);
            count = count.substr(0, e);
        }
        unsigned idx = FindCarDef(type, static_cast<int>(AtolC(count.c_str())));
        // Look the car type up before the object exists, so no half-built car remains.
        const TCarDef* def = CarDefAt(static_cast<int>(idx));
        if (!def) TaCarDef.Get(TaCarDef.Count());  // raises the index error
        TTecnObject* before = nullptr;
        for (auto it = TlstObjects.rbegin(); it != TlstObjects.rend(); ++it)
            if (!(*it)->Dead) {
                before = it->get();
                break;
            }
        TTecnObject* o = CreateObject(-1, false);
        if (!o) break;
        if (before && !before->Next) {
            before->Next = o;
            o->Prev = before;
        }
        o->Params.Put(TObjParam("1001", static_cast<int32_t>(3)));
        o->Params.Put(TObjParam("2001", def->Length));
        auto add = [o](const char* name, const TVariant& v) {
            if (!o->Params.Find(name)) o->Params.Put(TObjParam(name, v));
        };
        add("1022", static_cast<int32_t>(idx));
        add("1023", static_cast<int32_t>(lastLetter == "с" ? 0 : 1));
        add("2007", f3);
        add("2008", f4);
        if (!firstCreated) firstCreated = static_cast<unsigned>(o->Number);
        if (!cutStart) cutStart = o;
    }
    closeCut(11);
    return firstCreated;
}
