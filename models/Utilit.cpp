// Data-file reading and text utilities.
#include "models/Utilit.h"

#include <cstring>

#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"

void RaiseError(const AnsiString& text) { throw Exception(text); }

bool IsAllDigits(const char* text)
{
    for (const char* p = text; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    return true;
}

bool IsNumber(const char* text)
{
    if (!*text) return true;
    char* end = nullptr;
    StrtodC(text, &end);
    return end && *end == '\0' && end != text;
}

int ReadDataLine(std::FILE* f, std::string& buf, const char* marker)
{
    buf.clear();
    if (std::feof(f)) {
        buf = "EOF";
        return -1;
    }
    std::string raw;
    bool sawEnd = false;
    int c;
    while ((c = std::fgetc(f)) != EOF) {
        if (raw.size() < kDataLineBytes) raw += static_cast<char>(c);
        if (c == '\n') { sawEnd = true; break; }
    }
    (void)sawEnd;
    buf = Cp1251ToUtf8(raw);
    size_t n = 0;
    while (n < buf.size() && IsBlankChar(buf[n])) ++n;
    if (n == buf.size()) return 0;
    const char* hit = std::strstr(buf.c_str(), marker);
    if (hit && static_cast<size_t>(hit - buf.c_str()) == n) return 0;
    return 1;
}

int OpenDataFile(std::FILE** f, const std::string& path)
{
    *f = OpenFile(path, "r");
    if (!*f) return 0;
    int count = 0;
    std::string line;
    int r;
    while ((r = ReadDataLine(*f, line, "*")) != -1)
        if (r == 1) ++count;
    if (count == 0) {
        std::fclose(*f);
        *f = nullptr;
        return 0;
    }
    std::rewind(*f);
    return count;
}

int FindKeyIndex(std::string& line, const AnsiString* keys, int n)
{
    line = Trim(line);
    for (int i = 0; i < n; ++i)
        if (keys[i] == line) return i;
    return -1;
}

AnsiString FirstWord(const AnsiString& text)
{
    AnsiString t = TrimLeft(text);
    size_t e = 0;
    while (e < t.size() && !IsBlankChar(t[e])) ++e;
    return t.substr(0, e);
}

AnsiString DropFirstWord(const AnsiString& text)
{
    AnsiString t = Trim(text);
    size_t e = 0;
    while (e < t.size() && !IsBlankChar(t[e])) ++e;
    if (e >= t.size()) return AnsiString();
    return t.substr(e + 1);
}

AnsiString DropWords(const AnsiString& text, unsigned n)
{
    AnsiString t = text;
    for (unsigned i = 0; i < n; ++i) t = DropFirstWord(t);
    return Trim(t);
}

AnsiString SecondsToClock(unsigned int seconds)
{
    unsigned h = seconds / 3600, m = (seconds % 3600) / 60;
    return Format(h < 10 ? "0%u" : "%u", h) + Format(m < 10 ? ":0%u" : ":%u", m);
}
