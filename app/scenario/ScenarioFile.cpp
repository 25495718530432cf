// The scenario document: reading, the page texts, sorting and the all-or-nothing save.
#include "app/scenario/ScenarioFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"
#include "platform/core/Strings.h"

namespace {

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> w;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlankChar(line[i])) ++i;
        size_t b = i;
        while (i < line.size() && !IsBlankChar(line[i])) ++i;
        if (i > b) w.push_back(line.substr(b, i - b));
    }
    return w;
}

// A word of digits with an optional leading minus that fits an int.
bool WholeNumber(const std::string& w, int& v)
{
    size_t d = (!w.empty() && w[0] == '-') ? 1 : 0;
    if (w.size() == d || w.size() - d > 9 || !IsAllDigits(w.c_str() + d)) return false;
    v = static_cast<int>(AtolC(w.c_str()));
    return true;
}

bool Unsigned(const std::string& w, int& v) { return !w.empty() && w[0] != '-' && WholeNumber(w, v); }

// "H:M " unpadded, as the fault lines show their time.
std::string ShortTime(int minutes) { return Format("%d:%d", minutes / 60, minutes % 60); }

std::string Letter(bool loaded) { return loaded ? "Г" : "П"; }

// The page text of an understood train line.
std::string TrainDisplay(const TTrainLine& t, int page)
{
    std::string s = TimePrefix(t.Minutes);
    int n = t.Number;
    bool breakUp = t.Kind == 1 || t.Kind == 7 || t.Kind == 12;
    bool transit = t.Kind == 3 || t.Kind == 11;
    if (breakUp || transit) {
        int i1 = t.Value(1540, page == 1 ? 4100 : 4008);
        int i2 = t.Value(1541, 1);
        int i3 = breakUp ? 4000 : t.Value(1542, t.Kind == 3 ? 4008 : 4100);
        s += Format("%d: %s, ИНД %d%s%d %d, УДЛ %d(%s), лок %d", n, breakUp ? "разборка" : "транзитный", i1,
                    i2 < 10 ? " 0" : " ", i2, i3, t.Value(1504, 50), Letter(t.Value(1505, 1) != 0).c_str(),
                    t.Value(1511, 166));
        if (transit) s += Format(", смена %d", t.Value(1513, 166));
        if (t.Kind == 7) s += " (помощь)";
    } else if (t.Kind == 5 || t.Kind == 9) {
        s += Format("%d: пассажирский ", n);
    } else {
        s += Format("%d: пригородный ", n);
    }
    return s;
}

TTrainRecord KeptLine(const std::string& line)
{
    TTrainRecord r;
    r.Key = kNoKey;
    r.Page = 3;
    r.Kept = true;
    r.Message = line;
    r.Display = line;
    // A kept line sorts by its leading number when it has one; the others get their time after
    // reading (see Load).
    float minutes = 0;
    if (SScanf(line.c_str(), "%f", &minutes) == 1 && minutes >= 0 && minutes < 1e6f)
        r.Minutes = static_cast<int>(minutes);
    else
        r.Minutes = -1;
    // A train line that names its number keeps it, so the number is not given twice.
    std::vector<std::string> w = Words(line);
    for (size_t i = 4; i + 1 < w.size() && w.size() > 1 && w[1] == "3"; i += 2) {
        int v = 0;
        if (w[i] == "1025" && WholeNumber(w[i + 1], v)) {
            r.Key = v;
            break;
        }
    }
    return r;
}

struct FileCloser {
    void operator()(std::FILE* f) const
    {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

int TTrainLine::Value(int param, int def) const
{
    auto it = Pairs.find(param);
    return it == Pairs.end() ? def : static_cast<int>(AtolC(it->second.c_str()));
}

int PageOfKind(int kind)
{
    switch (kind) {
    case 1: case 3: case 5: case 6: case 7: return 1;
    case 9: case 10: case 11: case 12: return 2;
    default: return 0;
    }
}

bool ParseTrainLine(const std::string& line, TTrainLine& out)
{
    std::vector<std::string> w = Words(line);
    if (w.size() < 4 || w.size() % 2 != 0) return false;
    TTrainLine t;
    if (!Unsigned(w[0], t.Minutes) || w[1] != "3" || w[2] != "6" || !Unsigned(w[3], t.Kind)) return false;
    for (size_t i = 4; i < w.size(); i += 2) {
        int param = 0;
        if (!Unsigned(w[i], param)) return false;
        if (param == 1025 && !t.HasNumber) {
            if (!WholeNumber(w[i + 1], t.Number)) return false;
            t.HasNumber = true;
        }
        t.Pairs[param] = w[i + 1];
    }
    out = t;
    return true;
}

std::string TimePrefix(int minutes)
{
    int h = minutes / 60, m = minutes % 60;
    return Format(h < 10 ? "0%d" : "%d", h) + Format(m < 10 ? ":0%d " : ":%d ", m);
}

TTrainRecord ReadScenarioLine(const std::string& line, const TSectionList& sections)
{
    std::vector<std::string> w = Words(line);
    int minutes = 0;
    if (w.empty() || !Unsigned(w[0], minutes) || !IsAllDigits(line.substr(0, 1).c_str())) return KeptLine(line);

    if (w.size() > 1 && w[1] == "3") {
        TTrainLine t;
        int page = 0;
        if (!ParseTrainLine(line, t) || !t.HasNumber || (page = PageOfKind(t.Kind)) == 0) return KeptLine(line);
        TTrainRecord r;
        r.Key = t.Number;
        r.Minutes = t.Minutes;
        r.Page = page;
        r.Message = line;
        r.Display = TrainDisplay(t, page);
        return r;
    }

    // Faults: exactly five whole numbers; a switch fault only with the value the editor writes,
    // a section fault only for a listed section and one of the two fault modes.
    int receiver = 0, command = 0, element = 0, value = 0;
    if (w.size() != 5 || !Unsigned(w[1], receiver) || !Unsigned(w[2], command) || !WholeNumber(w[3], element) ||
        !WholeNumber(w[4], value))
        return KeptLine(line);
    TTrainRecord r;
    r.Minutes = minutes;
    r.Page = 3;
    r.Message = line;
    if (receiver == 1 && command == 37 && value == 3) {
        r.Key = 0;
        r.Display = ShortTime(minutes) + Format(" Невозможность перевода стрелки %d", element);
        return r;
    }
    if (receiver == 2 && command == 19 && (value == 101 || value == 102)) {
        auto s = std::find_if(sections.begin(), sections.end(), [&](const TScenarioSection& x) { return x.Number == element; });
        if (s == sections.end()) return KeptLine(line);
        r.Key = 1;
        r.Display = ShortTime(minutes) + (value == 101 ? " Ложная занятость секции " : " Ложная свободность секции ") + s->Name;
        return r;
    }
    return KeptLine(line);
}

std::vector<std::string> ListScenarioFiles(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(MapPath(dir), ec)) {
        std::string n = e.path().filename().string();
        if (n.size() < 4 || !e.is_regular_file(ec)) continue;
        std::string ext = n.substr(n.size() - 4);
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".shd") names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// ---- the document ----

TScenarioDocument::TScenarioDocument()
{
    // Every byte of the line: a NUL inside a line must not cut off the rest and its line end.
    WriteLine = [](std::FILE* f, const std::string& line) {
        return std::fwrite(line.data(), 1, line.size(), f) == line.size();
    };
}

void TScenarioDocument::Add(const TTrainRecord& r)
{
    if (events.size() >= kScenarioCapacity - 1) throw Exception(Format("Переполнение массива%u", kScenarioCapacity));
    events.push_back(r);
}

void TScenarioDocument::Sort()
{
    std::stable_sort(events.begin(), events.end(),
                     [](const TTrainRecord& a, const TTrainRecord& b) { return a.Minutes < b.Minutes; });
}

void TScenarioDocument::Remove(size_t i)
{
    if (i < events.size()) events.erase(events.begin() + static_cast<std::ptrdiff_t>(i));
}

void TScenarioDocument::RemovePage(int page)
{
    events.erase(std::remove_if(events.begin(), events.end(), [page](const TTrainRecord& r) { return r.Page == page; }),
                 events.end());
}

void TScenarioDocument::New()
{
    ScenarioFileName.clear();
    Modified = false;
    events.clear();
}

int TScenarioDocument::IndexOnPage(int page, int n) const
{
    for (size_t i = 0; i < events.size(); ++i)
        if (events[i].Page == page && n-- == 0) return static_cast<int>(i);
    return -1;
}

std::vector<std::string> TScenarioDocument::PageDisplays(int page) const
{
    std::vector<std::string> out;
    for (const TTrainRecord& r : events)
        if (r.Page == page) out.push_back(r.Display);
    return out;
}

bool TScenarioDocument::HasKey(int key) const
{
    return std::any_of(events.begin(), events.end(), [key](const TTrainRecord& r) { return r.Key == key; });
}

TScenarioDocument::TLoadResult TScenarioDocument::Load(const std::string& path, const TSectionList& sections)
{
    FilePtr f(OpenFile(path, "rb"));
    if (!f) return TLoadResult::CannotOpen;
    std::vector<TTrainRecord> read;
    TLoadResult result = TLoadResult::Read;
    std::string raw;
    while (ReadRawLine(f.get(), raw)) {
        // All of them: a line that ended in a lone "\r" would lose it on the way back.
        while (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (Trim(raw).empty()) continue;
        if (read.size() >= kScenarioCapacity - 1) {
            result = TLoadResult::Overflow;
            break;
        }
        read.push_back(ReadScenarioLine(Cp1251ToUtf8(raw), sections));
    }
    // A kept line without a time of its own (a remark) goes with the event after it, or with
    // the one before it at the end of the file, when an add sorts the list.
    int next = -1;
    for (size_t i = read.size(); i-- > 0;) {
        if (read[i].Minutes < 0) read[i].Minutes = next;
        else next = read[i].Minutes;
    }
    int prev = 0;
    for (TTrainRecord& r : read) {
        if (r.Minutes < 0) r.Minutes = prev;
        prev = r.Minutes;
    }
    events = std::move(read);
    return result;
}

bool TScenarioDocument::Save(const std::string& path)
{
    std::string target = MapPath(path);
    std::string temp = target + ".tmp";
    bool ok = true;
    {
        FilePtr f(std::fopen(temp.c_str(), "wb"));
        if (!f) return false;
        for (const TTrainRecord& r : events)
            if (!(ok = WriteLine(f.get(), Utf8ToCp1251(r.Message) + "\n"))) break;
        if (ok) ok = std::fflush(f.get()) == 0 && !std::ferror(f.get());
        std::FILE* raw = f.release();
        if (std::fclose(raw) != 0) ok = false;
    }
    std::error_code ec;
    if (ok) std::filesystem::rename(temp, target, ec);
    if (!ok || ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    Modified = false;
    return true;
}
