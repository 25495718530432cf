// Reading the arrival lists (see ArrivalList.h).
#include "app/dialogues/ArrivalList.h"

#include <cstdio>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Paths.h"

namespace {
// Characters of a line that count (code page 1251: one byte a character).
constexpr size_t kArrivalLineBytes = 119;
} // namespace

std::vector<TArrivalLine> ReadArrivalList(const std::string& path)
{
    std::vector<TArrivalLine> lines;
    if (path.empty()) return lines;
    std::FILE* f = OpenFile(path, "rb");
    if (!f) return lines;
    std::string raw;
    int lineNo = 0;
    while (ReadRawLine(f, raw)) {
        ++lineNo;
        if (raw.size() > kArrivalLineBytes) raw.resize(kArrivalLineBytes);
        while (!raw.empty() && (raw.back() == '\r' || raw.back() == '\n')) raw.pop_back();
        std::string line = Cp1251ToUtf8(raw);
        TArrivalLine l;
        l.Line = lineNo;
        if (SScanf(line.c_str(), "%d %d", &l.Kind, &l.Id) != 2) continue;
        std::string rest = DropWords(line, 2);
        l.Text = l.Kind == 1 ? std::string(FirstWord(rest)) : Trim(rest);
        if (l.Text.empty()) continue;
        lines.push_back(l);
    }
    std::fclose(f);
    return lines;
}
