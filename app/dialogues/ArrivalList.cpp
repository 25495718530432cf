// Reading the arrival lists (see ArrivalList.h).
#include "app/dialogues/ArrivalList.h"

#include "app/StationLists.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

std::vector<TArrivalLine> ReadArrivalList(const std::string& path)
{
    std::vector<TArrivalLine> lines;
    int lineNo = 0;
    for (const std::string& line : ReadListLines(path)) {
        ++lineNo;
        TArrivalLine l;
        l.Line = lineNo;
        if (SScanf(line.c_str(), "%d %d", &l.Kind, &l.Id) != 2) continue;
        std::string rest = DropWords(line, 2);
        l.Text = l.Kind == 1 ? std::string(FirstWord(rest)) : Trim(rest);
        if (l.Text.empty()) continue;
        lines.push_back(l);
    }
    return lines;
}
