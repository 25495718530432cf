// The scenario document: reading, the page texts, sorting and the all-or-nothing save.
#include "app/scenario/ScenarioFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

#include "models/base/Model.h"
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

// Numbers are read by the rule the editor checks its fields with (ReadWholeNumber).
bool Unsigned(const std::string& w, int& v) { return !w.empty() && w[0] != '-' && ReadWholeNumber(w, v); }

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

// A line the editor keeps without understanding it, shown with why.
TTrainRecord KeptLine(const std::string& line, const std::string& display)
{
    TTrainRecord r;
    r.Key = kNoKey;
    r.Page = 3;
    r.Kept = true;
    r.Message = line;
    r.Display = display;
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
        if (w[i] == "1025" && ReadWholeNumber(w[i + 1], v)) {
            r.Key = v;
            break;
        }
    }
    return r;
}

// The page text of a line the editor does not understand: its time, why, and the line.
std::string NotUnderstood(const std::string& time, const std::string& reason, const std::string& line)
{
    return time + "не разобрано" + (reason.empty() ? "" : ": " + reason) + " — " + Trim(line);
}

// The page text of a switchboard call or text of the interface, or "" for another message.
std::string InterfaceDisplay(const std::vector<std::string>& w, const std::string& line)
{
    if (w.size() < 3 || w[1] != "4") return "";
    if (w[2] == "9" && w.size() > 5) return "виклик " + w[3] + ": " + DropWords(line, 5);
    if (w[2] == "32" && w.size() > 4) return "текст для " + w[3] + ": " + DropWords(line, 4);
    if (w[2] == "33" && w.size() > 3) return "мовлення: " + DropWords(line, 3);
    return "";
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

bool ReadScenarioMinutes(const std::string& word, double& minutes, std::string* reason)
{
    auto refuse = [&](const std::string& why) {
        if (reason) *reason = why;
        return false;
    };
    size_t digits = 0, points = 0;
    for (char c : word) {
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.') ++points;
        else return refuse("не прочитано время " + word);
    }
    if (digits == 0 || points > 1) return refuse("не прочитано время " + word);
    minutes = AtofC(word.c_str());
    if (minutes >= kMinutesOfDay) return refuse("время " + word + " вне суток (до 1439 минут, 23:59)");
    return true;
}

bool ParseTrainLine(const std::string& line, TTrainLine& out)
{
    std::vector<std::string> w = Words(line);
    if (w.size() < 4 || w.size() % 2 != 0) return false;
    TTrainLine t;
    double minutes = 0;
    if (!ReadScenarioMinutes(w[0], minutes)) return false;
    t.Minutes = static_cast<int>(minutes);
    if (w[1] != "3" || w[2] != "6" || !Unsigned(w[3], t.Kind)) return false;
    for (size_t i = 4; i < w.size(); i += 2) {
        int param = 0;
        if (!Unsigned(w[i], param)) return false;
        if (param == 1025 && !t.HasNumber) {
            if (!ReadWholeNumber(w[i + 1], t.Number)) return false;
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
    std::string first = TrimLeft(line);
    if (!first.empty() && first[0] == '*') return KeptLine(line, "примечание: " + Trim(first.substr(1)));
    double exact = 0;
    std::string why;
    if (w.empty() || !ReadScenarioMinutes(w[0], exact, &why)) return KeptLine(line, NotUnderstood("", why, line));
    const int minutes = static_cast<int>(exact);
    const std::string time = TimePrefix(minutes);

    if (w.size() > 1 && w[1] == "3") {
        TTrainLine t;
        std::string reason;
        if (w.size() < 4 || w[2] != "6") reason = "";
        else if (!ParseTrainLine(line, t)) reason = "пары параметров поезда";
        else if (!t.HasNumber) reason = "нет номера поезда (1025)";
        else if (PageOfKind(t.Kind) == 0) reason = "вид поезда " + w[3];
        else {
            TTrainRecord r;
            r.Key = t.Number;
            r.Minutes = t.Minutes;
            r.Page = PageOfKind(t.Kind);
            r.Message = line;
            r.Display = TrainDisplay(t, r.Page);
            return r;
        }
        return KeptLine(line, NotUnderstood(time, reason, line));
    }
    std::string call = InterfaceDisplay(w, line);
    if (!call.empty()) return KeptLine(line, time + call);

    // Faults: exactly five whole numbers; a switch fault only with the value the editor writes,
    // a section fault only for a listed section and one of the two fault modes.
    int receiver = 0, command = 0, element = 0, value = 0;
    if (w.size() != 5 || !Unsigned(w[1], receiver) || !Unsigned(w[2], command) || !ReadWholeNumber(w[3], element) ||
        !ReadWholeNumber(w[4], value))
        return KeptLine(line, NotUnderstood(time, "", line));
    TTrainRecord r;
    r.Minutes = minutes;
    r.Page = 3;
    r.Message = line;
    if (receiver == 1 && command == 37 && value == 3) {
        r.Key = 0;
        r.Display = time + Format("Невозможность перевода стрелки %d", element);
        return r;
    }
    if (receiver == 2 && command == 19 && (value == 101 || value == 102)) {
        auto s = std::find_if(sections.begin(), sections.end(), [&](const TScenarioSection& x) { return x.Number == element; });
        if (s == sections.end()) return KeptLine(line, NotUnderstood(time, Format("секции %d нет в списке", element), line));
        r.Key = 1;
        r.Display = time + (value == 101 ? "Ложная занятость секции " : "Ложная свободность секции ") + s->Name;
        return r;
    }
    bool fault = (receiver == 1 && command == 37) || (receiver == 2 && command == 19);
    return KeptLine(line, NotUnderstood(time, fault ? "значение " + w[4] : "", line));
}

bool Utf8Only(const std::string& bytes)
{
    // Code page 1251 bytes 0x80-0xBF that Russian and Ukrainian texts never hold: Ђ Ѓ ѓ † ‡ ‰ Љ ‹
    // Њ Ќ Ћ Џ ђ, the undefined 0x98, ™ љ › њ ќ ћ џ Ј ¤ ¦ ¬ ® µ ¶ ј Ѕ ѕ. Nearly every word of UTF-8
    // Cyrillic has one as the second byte of a letter (е, о, н, р, с, м ...), while the letters,
    // digits, quotes, dashes and signs of a real text (and every byte from 0xC0) are not here.
    static const unsigned char foreign[] = {0x80, 0x81, 0x83, 0x86, 0x87, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E,
                                            0x8F, 0x90, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0xA3,
                                            0xA4, 0xA6, 0xAC, 0xAE, 0xB5, 0xB6, 0xBC, 0xBD, 0xBE};
    return std::any_of(bytes.begin(), bytes.end(), [](char c) {
        return std::find(std::begin(foreign), std::end(foreign), static_cast<unsigned char>(c)) != std::end(foreign);
    });
}

bool ReadScenarioText(const std::string& path, TScenarioText& out)
{
    FilePtr f(OpenFile(path, "rb"));
    if (!f) return false;
    std::string bytes;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f.get())) > 0;) bytes.append(buf, n);
    out = TScenarioText();
    const std::string bom = "\xEF\xBB\xBF";
    size_t at = bytes.compare(0, 3, bom) == 0 ? 3 : 0;
    std::string body = bytes.substr(at);
    bool beyondAscii = std::any_of(body.begin(), body.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    // Valid UTF-8 whose every character code page 1251 has: the round trip gives it back.
    out.Utf8 = beyondAscii && (at > 0 || Utf8Only(body)) && Cp1251ToUtf8(Utf8ToCp1251(body)) == body;
    out.Bom = out.Utf8 && at > 0;
    if (at > 0 && !beyondAscii) out.Lead = bytes.substr(0, at);
    if (!out.Bom && out.Lead.empty()) at = 0;
    while (at < bytes.size()) {
        size_t nl = bytes.find('\n', at);
        size_t end = nl == std::string::npos ? bytes.size() : nl + 1;
        size_t text = nl == std::string::npos ? bytes.size() : nl;
        while (text > at && bytes[text - 1] == '\r') --text;
        TScenarioText::Line l;
        l.Bytes = bytes.substr(at, text - at);
        l.Eol = bytes.substr(text, end - text);
        l.Text = out.Utf8 ? l.Bytes : Cp1251ToUtf8(l.Bytes);
        out.Lines.push_back(std::move(l));
        at = end;
    }
    return true;
}

std::string ReceiverProblem(const std::string& mes)
{
    int receiver = -1;
    const char* p = mes.c_str();
    while (IsBlankChar(*p)) ++p;
    const bool known = ScanInt(p, receiver) && (*p == '\0' || IsBlankChar(*p)) &&
                       (receiver == brInstructor || receiver == brPlan || receiver == brEC || receiver == brTecn ||
                        receiver == brInterface || receiver == brMessage || receiver == brDelay);
    return known ? std::string() : "неизвестный получатель " + FirstWord(mes);
}

std::string ScheduledMessage(const std::string& line, std::string* reason)
{
    auto refuse = [reason](const std::string& why) {
        if (reason) *reason = why;
        return std::string();
    };
    // The editor's rule: a line it cannot place on the day is not scheduled either.
    std::string time = FirstWord(line), why;
    double exact = 0;
    if (!ReadScenarioMinutes(time, exact, &why)) return refuse(why);
    float minutes = 0;
    SScanf(line.c_str(), "%f", &minutes);
    float seconds = minutes * 60;
    std::string mes = DropWords(line, 1);
    if (mes.empty()) return refuse("нет сообщения");
    why = ReceiverProblem(mes);
    if (!why.empty()) return refuse(why);
    return Format("%d %d %f %s", brDelay, 4, static_cast<double>(seconds), mes.c_str());
}

bool ScheduleScenario(const std::string& path, const std::function<bool(std::string&)>& send,
                      std::vector<TUnscheduledLine>& skipped)
{
    TScenarioText text;
    if (!ReadScenarioText(path, text)) return false;
    int number = 0;
    for (const TScenarioText::Line& l : text.Lines) {
        ++number;
        std::string t = Trim(l.Text);
        if (t.empty() || t[0] == '*') continue;
        std::string reason;
        std::string mes = ScheduledMessage(l.Text, &reason);
        if (mes.empty()) skipped.push_back({number, t, reason});
        else if (!send(mes)) skipped.push_back({number, t, "модель задержки не приняла сообщение"});
    }
    return true;
}

std::string UnscheduledText(const std::string& name, const std::vector<TUnscheduledLine>& lines)
{
    // The box names the first lines; the console has every one.
    constexpr size_t kShown = 20;
    std::string s = Format("Не поставлены в расписание строки сценария %s (%u):", name.c_str(),
                           static_cast<unsigned>(lines.size()));
    for (size_t i = 0; i < lines.size() && i < kShown; ++i)
        s += Format("\nстрока %d: %s: ", lines[i].Number, lines[i].Reason.c_str()) + lines[i].Text;
    if (lines.size() > kShown) s += Format("\nи ещё %u (см. консоль)", static_cast<unsigned>(lines.size() - kShown));
    return s;
}

std::string UnscheduledConsoleLine(const std::string& name, const TUnscheduledLine& line)
{
    return Format("сценарий %s, строка %d не поставлена в расписание: %s: ", name.c_str(), line.Number,
                  line.Reason.c_str()) + line.Text;
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
    if (i >= events.size()) return;
    std::string& above = i + 1 < events.size() ? events[i + 1].Before : tail;
    above = events[i].Before + above;
    events.erase(events.begin() + static_cast<std::ptrdiff_t>(i));
}

void TScenarioDocument::RemovePage(int page)
{
    for (size_t i = events.size(); i-- > 0;)
        if (events[i].Page == page && !events[i].Kept) Remove(i);
}

void TScenarioDocument::New()
{
    ScenarioFileName.clear();
    Modified = false;
    Utf8 = false;
    Unlisted = 0;
    Lead.clear();
    events.clear();
    tail.clear();
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
    TScenarioText text;
    if (!ReadScenarioText(path, text)) return TLoadResult::CannotOpen;
    std::vector<TTrainRecord> read;
    std::string blank;  // blank lines not yet placed above an event
    std::string rest;
    unsigned unlisted = 0;
    for (TScenarioText::Line& l : text.Lines) {
        bool isBlank = Trim(l.Text).empty();
        if (unlisted > 0 || (!isBlank && read.size() >= kScenarioCapacity - 1)) {
            rest += l.Bytes + l.Eol;
            if (!isBlank) ++unlisted;
            continue;
        }
        if (isBlank) {
            blank += l.Bytes + l.Eol;
            continue;
        }
        TTrainRecord r = ReadScenarioLine(l.Text, sections);
        r.FromFile = true;
        r.Raw = std::move(l.Bytes);
        r.Eol = std::move(l.Eol);
        r.Before = std::move(blank);
        blank.clear();
        read.push_back(std::move(r));
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
    tail = blank + rest;
    Utf8 = text.Utf8;
    Lead = text.Lead;
    Unlisted = unlisted;
    return unlisted > 0 ? TLoadResult::Overflow : TLoadResult::Read;
}

namespace {

// The file a save replaces: the target of a link (of a chain of them), else the path itself.
std::filesystem::path SaveTarget(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::path p = MapPath(path);
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
        fs::path to = fs::read_symlink(p, ec);
        if (ec) break;
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    return p;
}

// Flushes what was written to a file or a folder to the disk.
bool SyncToDisk(const std::filesystem::path& p)
{
    int fd = ::open(p.c_str(), O_RDONLY);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

bool TScenarioDocument::Save(const std::string& path)
{
    namespace fs = std::filesystem;
    const fs::path target = SaveTarget(path);
    std::error_code ec;
    fs::file_status old = fs::status(target, ec);
    const bool exists = fs::exists(old);
    // A write-protected scenario is not replaced, whoever saves it.
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (exists && ((old.permissions() & write) == fs::perms::none || ::access(target.c_str(), W_OK) != 0)) return false;

    // A temporary file that a crash left behind is replaced; its name is never listed (".tmp").
    const fs::path temp = target.string() + ".tmp";
    fs::remove(temp, ec);
    bool ok = true;
    bool keepLead = false;
    {
        FilePtr f(std::fopen(temp.c_str(), "wb"));
        if (!f) return false;
        // The kept byte-order mark stays only over a text that the two code pages still read alike.
        if (!Lead.empty()) {
            auto ascii = [](const std::string& s) {
                return std::none_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
            };
            keepLead = ascii(tail);
            for (const TTrainRecord& r : events) keepLead = keepLead && ascii(r.Before) && ascii(r.Message);
            if (keepLead) ok = WriteLine(f.get(), Lead);
        }
        for (size_t i = 0; i < events.size() && ok; ++i) {
            const TTrainRecord& r = events[i];
            std::string line = r.Before + (r.FromFile && !Utf8 ? r.Raw : Utf8ToCp1251(r.Message));
            std::string eol = r.FromFile ? r.Eol : "\n";
            // A last line without a line end that is no longer last gets one.
            if ((eol.empty() || eol.back() != '\n') && (i + 1 < events.size() || !tail.empty())) eol += "\n";
            ok = WriteLine(f.get(), line + eol);
        }
        if (ok && !tail.empty()) ok = WriteLine(f.get(), Utf8 ? Utf8ToCp1251(tail) : tail);
        if (ok) ok = std::fflush(f.get()) == 0 && !std::ferror(f.get()) && ::fsync(::fileno(f.get())) == 0;
        std::FILE* raw = f.release();
        if (std::fclose(raw) != 0) ok = false;
    }
    if (ok && exists) fs::permissions(temp, old.permissions(), ec);
    if (ok) fs::rename(temp, target, ec);
    if (!ok || ec) {
        fs::remove(temp, ec);
        return false;
    }
    SyncToDisk(target.has_parent_path() ? target.parent_path() : fs::path("."));
    // The file is code page 1251 now: what was read as UTF-8 is its bytes from here on.
    if (Utf8) {
        for (TTrainRecord& r : events)
            if (r.FromFile) r.Raw = Utf8ToCp1251(r.Message);
        tail = Utf8ToCp1251(tail);
        Utf8 = false;
    }
    if (!keepLead) Lead.clear();
    Modified = false;
    return true;
}
