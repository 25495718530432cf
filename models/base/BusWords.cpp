#include "models/base/BusWords.h"

#include <cstring>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

namespace {
// isspace in the C locale, the blanks sscanf skips.
inline bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
} // namespace

TBusWords::TBusWords(const std::string& message)
{
    const size_t n = message.size() + 1;
    char* buf = small;
    if (2 * n > sizeof small) {
        large = std::make_unique<char[]>(2 * n);
        buf = large.get();
    }
    std::memcpy(buf, message.c_str(), n);
    text = buf;
    buf += n;
    std::memcpy(buf, message.c_str(), n);
    for (char* p = buf; *p && count < kMaxWords;) {
        while (IsBlank(*p)) ++p;
        if (!*p) break;
        words[count++] = p;
        while (*p && !IsBlank(*p)) ++p;
        if (*p) *p++ = '\0';
    }
}

bool TBusWords::Get(size_t i, int& value) const { return i < count && SScanf(words[i], "%d", &value) == 1; }
bool TBusWords::Get(size_t i, unsigned& value) const { return i < count && SScanf(words[i], "%u", &value) == 1; }
bool TBusWords::Get(size_t i, double& value) const { return i < count && SScanf(words[i], "%lf", &value) == 1; }
bool TBusWords::Get(size_t i, float& value) const { return i < count && SScanf(words[i], "%f", &value) == 1; }

std::string TBusWords::Rest(size_t i) const { return DropWords(std::string(text), static_cast<unsigned>(i)); }
