// The scenario editor's page logic, without the window.
#include "app/scenario/ScenarioEditorModel.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"
#include "platform/core/Strings.h"

namespace {

// Sections the editor holds, as many as the main window's post-section list.
constexpr unsigned kSectionCapacity = 200;

// The train kind of a type on a page.
int KindOf(int page, int type, bool help)
{
    static const int kinds[2][4] = {{1, 3, 5, 6}, {12, 11, 9, 10}};
    int k = kinds[page == 1 ? 0 : 1][type];
    return (page == 1 && type == ttBreakUp && help) ? 7 : k;
}

int TypeOfKind(int kind)
{
    switch (kind) {
    case 1: case 7: case 12: return ttBreakUp;
    case 3: case 11: return ttTransit;
    case 5: case 9: return ttPassenger;
    case 6: case 10: return ttSuburban;
    default: return ttNone;
    }
}

bool OneWordOfDigits(const std::string& s) { return !s.empty() && IsAllDigits(s.c_str()); }

// The longest train in conventional cars: its length value (× 15) stays a whole number.
constexpr int kMaxTrainLength = 999;

} // namespace

TTrainPanels TrainPanels(int page, int type)
{
    TTrainPanels p;
    p.Loco = type == ttBreakUp || type == ttTransit;
    p.AddLoko = type == ttTransit;
    p.Help = page == 1 && type == ttBreakUp;
    return p;
}

int TimeToMinutes(const std::string& text)
{
    std::string t;
    for (char c : text)
        if (!IsBlankChar(c)) t += c;
    size_t colon = t.find(':');
    std::string h = colon == std::string::npos ? "" : t.substr(0, colon);
    std::string m = colon == std::string::npos ? "" : t.substr(colon + 1);
    if (h.empty() || h.size() > 2 || m.size() != 2 || !IsAllDigits(h.c_str()) || !IsAllDigits(m.c_str()))
        throw Exception("Не указано время (ЧЧ:ММ)");
    // The rule the file's reader and the run's loader keep: a time of the model day.
    const long hours = AtolC(h.c_str()), minutes = AtolC(m.c_str());
    if (hours > 23 || minutes > 59) throw Exception("Время " + h + ":" + m + " вне суток: часы от 0 до 23, минуты от 0 до 59");
    return static_cast<int>(hours * 60 + minutes);
}

std::vector<std::string> OfferedNumbers(const std::vector<std::string>& fileNames, char prefix,
                                        const std::vector<TTrainRecord>* events)
{
    std::vector<std::string> out;
    for (const std::string& name : fileNames) {
        if (name.empty() || std::tolower(static_cast<unsigned char>(name[0])) != std::tolower(static_cast<unsigned char>(prefix)))
            continue;
        std::string digits = name.substr(1, name.find('.') == std::string::npos ? std::string::npos : name.find('.') - 1);
        if (!OneWordOfDigits(digits)) continue;
        digits = digits.substr(0, 4);
        int n = static_cast<int>(AtolC(digits.c_str()));
        if (events && std::any_of(events->begin(), events->end(), [n](const TTrainRecord& r) { return r.Key == n; }))
            continue;
        if (std::find(out.begin(), out.end(), digits) == out.end()) out.push_back(digits);
    }
    std::stable_sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
        return AtolC(a.c_str()) < AtolC(b.c_str());
    });
    return out;
}

// ---- the model ----

TDataLineProblems TScenarioEditorModel::ReadSwitchList(const std::string& path)
{
    TSwitchStFile file = ReadSwitchSt(path);
    for (const TSwitchStLine& l : file.Lines) {
        if (l.Kind == 1) {
            Switches.push_back(Format("%d", l.Number));
        } else {
            if (Sections.size() >= kSectionCapacity - 1)
                throw TDataFileError(path, l.Line, Format("Переполнение массива%u", kSectionCapacity));
            Sections.push_back({l.Number, l.Name});
        }
    }
    return file.Problems;
}

void TScenarioEditorModel::ReadTrainKinds(const std::string& path)
{
    TrainKinds.clear();
    std::FILE* raw = nullptr;
    if (OpenDataFile(&raw, path) <= 0) return;
    std::string line;
    bool typeNext = false;
    for (int r; (r = ReadDataLine(raw, line, "*")) >= 0;) {
        if (r == 0) continue;
        std::string word = Trim(line);
        if (typeNext) {
            int type = 0;
            if (ReadWholeNumber(word, type)) TrainKinds.push_back(type);
        }
        typeNext = word == "Объект";
    }
    std::fclose(raw);
}

void TScenarioEditorModel::CheckRepeat(const std::string& number) const
{
    if (Trim(number).empty()) return;
    if (Doc.HasKey(StrToInt(number))) throw Exception("Повтор номера поезда");
}

namespace {

// A whole number above 0 of a field, or the refusal text.
int PositiveField(const std::string& field, const char* refusal)
{
    int v = StrToInt(field);
    if (v <= 0) throw Exception(refusal);
    return v;
}

} // namespace

void TScenarioEditorModel::AddTrain(int page, TTrainFields& f)
{
    Doc.Modified = true;
    CheckRepeat(f.Number);
    int number = PositiveField(f.Number, "Номер поезда должен быть больше 0");
    int minutes = TimeToMinutes(f.Time);
    if (f.Type < ttBreakUp || f.Type > ttSuburban) return;
    bool help = page == 1 && f.Help;
    int kind = KindOf(page, f.Type, help);
    if (!TrainKinds.empty() && std::find(TrainKinds.begin(), TrainKinds.end(), kind) == TrainKinds.end())
        throw Exception(Format("Станция не принимает поезд этого типа с этого перегона: в файле технологии нет автомата вида %d",
                               kind));

    TTrainRecord r;
    r.Key = number;
    r.Minutes = minutes;
    r.Page = page;
    if (f.Type == ttBreakUp || f.Type == ttTransit) {
        int i1 = 0, i2 = 0, i3 = 0;
        SScanf(f.Index.c_str(), "%d %d %d", &i1, &i2, &i3);
        if (f.Type == ttBreakUp && i3 != 4000) throw Exception("Станция назначения поезда в разборку должна быть 4000");
        if (f.Type == ttTransit && i3 == 4000) throw Exception("Станция назначения транзитного поезда не может быть 4000");
        int loco = 0;
        if (!ReadWholeNumber(Trim(f.Loco), loco) || loco <= 0) throw Exception("Не указан номер локомотива");
        int length = StrToInt(f.Length);
        if (length < 1 || length > kMaxTrainLength)
            throw Exception(Format("Условная длина поезда должна быть от 1 до %d", kMaxTrainLength));
        int loaded = f.Empty ? 0 : 1;
        if (f.Type == ttBreakUp) {
            r.Message = Format("%d 3 6 %d 1025 %d 1511 %d 1504 %d 2001 %d 1505 %d 1540 %d 1541 %d 1542 %d", minutes, kind,
                               number, loco, length, length * 15, loaded, i1, i2, i3);
        } else {
            int change = PositiveField(f.AddLoko, "Номер локомотива смены должен быть больше 0");
            r.Message = Format("%d 3 6 %d 1025 %d 1511 %d 1504 %d 2001 %d 1505 %d 1513 %d 1540 %d 1541 %d 1542 %d", minutes,
                               kind, number, loco, length, length * 15, loaded, change, i1, i2, i3);
        }
    } else {
        bool passenger = f.Type == ttPassenger;
        r.Message = Format("%d 3 6 %d 1025 %d 2001 %d", minutes, kind, number, passenger ? 400 : 200);
    }
    // The text the line gets when the scenario is opened again.
    r.Display = ReadScenarioLine(r.Message, Sections).Display;
    Doc.Add(r);
    Doc.Sort();
    f.Number.clear();
}

void TScenarioEditorModel::AddFault(const TFaultFields& f)
{
    Doc.Modified = true;
    int minutes = TimeToMinutes(f.Time);
    TTrainRecord r;
    r.Minutes = minutes;
    r.Page = 3;
    switch (f.Type) {
    case ftSwitch: {
        if (f.Switch < 0 || f.Switch >= static_cast<int>(Switches.size())) throw Exception("Не указан номер стрелочного перевода");
        r.Key = 0;
        r.Message = Format("%d 1 37 %s 3", minutes, Switches[static_cast<size_t>(f.Switch)].c_str());
        break;
    }
    case ftOccupied:
    case ftFree: {
        if (f.Section < 0 || f.Section >= static_cast<int>(Sections.size())) throw Exception("Не указан номер секции");
        bool occupied = f.Type == ftOccupied;
        r.Key = occupied ? 1 : 2;
        r.Message = Format("%d 2 19 %d %d", minutes, Sections[static_cast<size_t>(f.Section)].Number, occupied ? 101 : 102);
        break;
    }
    default: throw Exception("Не указан тип неисправности");
    }
    r.Display = ReadScenarioLine(r.Message, Sections).Display;
    Doc.Add(r);
    Doc.Sort();
}

void TScenarioEditorModel::Remove(int page, int item, TTrainFields* fields)
{
    Doc.Modified = true;
    int i = item < 0 ? -1 : Doc.IndexOnPage(page, item);
    if (i < 0) return;
    std::string line = Doc.Events()[static_cast<size_t>(i)].Message;
    Doc.Remove(static_cast<size_t>(i));
    TTrainLine t;
    if (!fields || page == 3 || !ParseTrainLine(line, t)) return;
    TTrainFields& f = *fields;
    f.Type = TypeOfKind(t.Kind);
    if (page == 1) f.Help = t.Kind == 7;
    if (!t.HasNumber) return;
    f.Number = Format("%d", t.Number);
    f.Time = Format("%02d:%02d", t.Minutes / 60, t.Minutes % 60);
    auto pair = [&t](int p, std::string& into) {
        auto it = t.Pairs.find(p);
        if (it != t.Pairs.end()) into = it->second;
    };
    pair(1504, f.Length);
    pair(1511, f.Loco);
    pair(1513, f.AddLoko);
    f.Empty = t.Value(1505, 1) == 0;
    int i1 = t.Value(1540, 0);
    if (i1 != 0) {
        int i2 = t.Value(1541, 0);
        f.Index = Format("%d%s%d %d", i1, i2 < 10 ? " 0" : " ", i2, t.Value(1542, 0));
    }
}

void TScenarioEditorModel::Clear(int page)
{
    Doc.Modified = true;
    Doc.RemovePage(page);
}
