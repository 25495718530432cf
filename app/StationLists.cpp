// Reading the station lists SwitchSt.dat and Zacrepit.dat (see StationLists.h).
#include "app/StationLists.h"

#include <algorithm>
#include <cstdio>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Paths.h"
#include "platform/core/Strings.h"

namespace {

// A whole number written as one word (an optional sign and at most 18 digits; a zero byte is
// no digit).
bool WholeNumber(const std::string& word, long long& value)
{
    size_t d = !word.empty() && (word[0] == '-' || word[0] == '+') ? 1 : 0;
    if (word.size() == d || word.size() - d > 18) return false;
    if (!std::all_of(word.begin() + static_cast<long>(d), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    value = std::stoll(word);
    return true;
}

// The n-th word of the line (from 0); empty when there is none.
std::string Word(const std::string& line, unsigned n) { return FirstWord(DropWords(line, n)); }

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// Reads word n of line as a whole number within lo..hi; otherwise records why and fails.
bool Field(const std::string& line, unsigned n, long long lo, long long hi, const char* what, int lineNo,
           TDataLineProblems& problems, long long& value)
{
    std::string word = Word(line, n);
    if (word.empty()) {
        problems.push_back({lineNo, Format("не указано: %s", what)});
        return false;
    }
    if (!WholeNumber(word, value) || value < lo || value > hi) {
        problems.push_back({lineNo, Format("%s %s вне пределов %lld..%lld", what, word.c_str(), lo, hi)});
        return false;
    }
    return true;
}

} // namespace

std::string DataLineMessage(const std::string& file, int line, const std::string& reason)
{
    return Format("%s, строка %d: %s", file.c_str(), line, reason.c_str());
}

// Characters of a station list line that count (code page 1251: one byte a character).
constexpr size_t kLineBytes = 119;

std::vector<std::string> ReadListLines(const std::string& path)
{
    std::vector<std::string> lines;
    if (path.empty()) return lines;
    std::FILE* f = OpenFile(path, "rb");
    if (!f) return lines;
    std::string raw;
    int c = 0;
    while (c != EOF) {
        raw.clear();
        bool any = false;
        while ((c = std::fgetc(f)) != EOF) {
            any = true;
            if (c == '\n') break;
            if (raw.size() < kLineBytes) raw += static_cast<char>(c);
        }
        if (!any) break;
        while (!raw.empty() && (raw.back() == '\r' || raw.back() == '\n')) raw.pop_back();
        lines.push_back(Cp1251ToUtf8(raw));
    }
    std::fclose(f);
    return lines;
}

// ---- "DATA\SwitchSt.dat" ----

TSwitchStFile ReadSwitchSt(const std::string& path)
{
    TSwitchStFile file;
    int lineNo = 0;
    for (const std::string& line : ReadListLines(path)) {
        ++lineNo;
        long long kind = 0, post = 0, number = 0;
        if (!WholeNumber(Word(line, 0), kind) || kind < 1 || kind > 3) continue;
        if (!Field(line, 1, 0, kMaxPost, "номер поста", lineNo, file.Problems, post)) continue;
        if (!Field(line, 2, 0, kMaxSwitchStNumber, kind == 1 ? "номер стрелки" : "номер секции", lineNo,
                   file.Problems, number))
            continue;
        TSwitchStLine l;
        l.Kind = static_cast<int>(kind);
        l.Post = static_cast<int>(post);
        l.Number = static_cast<int>(number);
        l.Name = DropWords(line, 3);
        l.Line = lineNo;
        if (l.Kind != 1 && l.Name.empty()) {
            file.Problems.push_back({lineNo, Format("у секции %d нет названия", l.Number)});
            continue;
        }
        file.Lines.push_back(l);
    }
    return file;
}

// ---- "DATA\Zacrepit.dat" ----

TZacrepitFile ReadZacrepit(const std::string& path)
{
    TZacrepitFile file;
    int lineNo = 0;
    for (const std::string& line : ReadListLines(path)) {
        ++lineNo;
        std::string word = FirstWord(line);
        int group = StartsWith(word, "п") || StartsWith(word, "П") ? 3
                    : StartsWith(word, "о") || StartsWith(word, "О") ? 7
                                                                      : 0;
        long long v[4] = {0, 0, 0, 0};
        if (group != 0) {
            TZacrepitTrack t;
            t.Group = group;
            t.Name = Word(line, 1);
            t.Line = lineNo;
            if (t.Name.empty()) {
                file.Problems.push_back({lineNo, "не указано: путь"});
                continue;
            }
            if (!Field(line, 2, 0, kMaxTrackId, "номер пути", lineNo, file.Problems, v[0])) continue;
            t.Id = static_cast<unsigned>(v[0]);
            file.Tracks.push_back(t);
            continue;
        }
        // Not a norm (a comment or a heading) unless it begins with a whole number; a zero bound
        // switches the norm off.
        if (!WholeNumber(word, v[0]) || v[0] == 0) continue;
        if (!Field(line, 0, 1, kMaxNormBound, "граница длины состава", lineNo, file.Problems, v[0]) ||
            !Field(line, 1, 0, kMaxTrackId, "путь", lineNo, file.Problems, v[1]) ||
            !Field(line, 2, 0, 1, "признак загрузки", lineNo, file.Problems, v[2]) ||
            !Field(line, 3, 0, kMaxShoes, "число башмаков", lineNo, file.Problems, v[3]))
            continue;
        TZacrepitNorm n;
        n.Bound = static_cast<unsigned>(v[0]);
        n.Track = static_cast<unsigned>(v[1]);
        n.Loaded = static_cast<int>(v[2]);
        n.Shoes = static_cast<unsigned>(v[3]);
        file.Norms.Append(n);
    }
    return file;
}

std::optional<unsigned> NeededShoes(const TZacrepitNorms& norms, unsigned track, int loaded, int length)
{
    for (const listob<TZacrepitNorm>* p = norms.First(); p; p = p->next) {
        const TZacrepitNorm& n = p->value;
        if (n.Track == track && n.Loaded == loaded && static_cast<long long>(n.Bound) > length) return n.Shoes;
    }
    return std::nullopt;
}

std::vector<unsigned> ShoeRange(const TZacrepitNorms& norms)
{
    std::vector<unsigned> range;
    const listob<TZacrepitNorm>* p = norms.First();
    if (!p) return range;
    unsigned lo = p->value.Shoes, hi = p->value.Shoes;
    for (; p; p = p->next) {
        lo = std::min(lo, p->value.Shoes);
        hi = std::max(hi, p->value.Shoes);
    }
    // The reader keeps every count within 0..kMaxShoes; a norm list made otherwise is cut there.
    hi = std::min(hi, kMaxShoes);
    for (unsigned s = lo; s <= hi; ++s) range.push_back(s);
    return range;
}
