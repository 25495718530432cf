// C-locale formatting through a per-thread locale switch (uselocale), so Qt's setlocale cannot change it.
#include "platform/core/CFormat.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {
locale_t CLocale()
{
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}
} // namespace

CLocaleScope::CLocaleScope() : previous(uselocale(CLocale())) {}
CLocaleScope::~CLocaleScope() { uselocale(static_cast<locale_t>(previous)); }

std::string FormatV(const char* fmt, va_list ap)
{
    CLocaleScope c;
    va_list ap2;
    va_copy(ap2, ap);
    char small[256];
    int n = std::vsnprintf(small, sizeof small, fmt, ap);
    if (n < 0) { va_end(ap2); return std::string(); }
    if (static_cast<size_t>(n) < sizeof small) { va_end(ap2); return std::string(small, static_cast<size_t>(n)); }
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), fmt, ap2);
    va_end(ap2);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string Format(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string s = FormatV(fmt, ap);
    va_end(ap);
    return s;
}

int SScanf(const char* text, const char* fmt, ...)
{
    CLocaleScope c;
    va_list ap;
    va_start(ap, fmt);
    int n = std::vsscanf(text, fmt, ap);
    va_end(ap);
    return n;
}

long AtolC(const char* text) { return std::strtol(text, nullptr, 10); }

double StrtodC(const char* text, char** end) { return strtod_l(text, end, CLocale()); }

double AtofC(const char* text) { return strtod_l(text, nullptr, CLocale()); }
