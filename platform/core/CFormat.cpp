// C-locale formatting through a per-thread locale switch (uselocale), so Qt's setlocale cannot change it.
//
// Bus messages are formatted and scanned several times a tick, so Format and SScanf first try a
// fast path of their own for the plain directives the models use (%d %u %ld %lu %s %c %f with a
// width or precision where printf allows it; %d %u %ld %lu %f %lf %e %g %s with suppression and a
// %s width for scanf). It reads and writes exactly what printf and sscanf in the C locale would;
// whatever it is not sure of (flags, other directives, overlong numbers, infinities, hexadecimal
// floats, a sign without digits, a mismatching literal) goes the general way.
#include "platform/core/CFormat.h"

#include <charconv>
#include <climits>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>

#include "platform/core/Exception.h"

namespace {
locale_t CLocale()
{
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

// isspace in the C locale.
inline bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// ---- formatting ----

// A fixed buffer that refuses to overflow (the caller then takes the general way).
struct TOut {
    char* p;
    char* end;
    bool Put(char c)
    {
        if (p == end) return false;
        *p++ = c;
        return true;
    }
    bool Put(const char* s, size_t n)
    {
        if (static_cast<size_t>(end - p) < n) return false;
        std::memcpy(p, s, n);
        p += n;
        return true;
    }
    // s right-justified in width blanks.
    bool Padded(const char* s, size_t n, int width)
    {
        for (int i = static_cast<int>(n); i < width; ++i)
            if (!Put(' ')) return false;
        return Put(s, n);
    }
};

template <class T>
bool PutInteger(TOut& out, T v, int width)
{
    char tmp[24];
    auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
    return out.Padded(tmp, static_cast<size_t>(r.ptr - tmp), width);
}

// printf into out with the plain directives only; false when the format needs the general way.
bool FastFormat(TOut& out, const char* fmt, va_list ap)
{
    for (const char* f = fmt; *f; ++f) {
        if (*f != '%') {
            if (!out.Put(*f)) return false;
            continue;
        }
        ++f;
        if (*f == '%') {
            if (!out.Put('%')) return false;
            continue;
        }
        // Flags ("-+ #0") and a width or precision from the arguments: the general way.
        if (*f == '-' || *f == '+' || *f == ' ' || *f == '#' || *f == '0' || *f == '*') return false;
        int width = 0, precision = -1;
        while (IsDigit(*f)) {
            width = width * 10 + (*f++ - '0');
            if (width > 64) return false;
        }
        if (*f == '.') {
            ++f;
            precision = 0;
            while (IsDigit(*f)) {
                precision = precision * 10 + (*f++ - '0');
                if (precision > 40) return false;
            }
            if (*f == '*') return false;
        }
        bool isLong = false;
        if (*f == 'l') {
            isLong = true;
            ++f;
        }
        switch (*f) {
        case 'd':
        case 'i':
            if (precision >= 0) return false;
            if (!(isLong ? PutInteger(out, va_arg(ap, long), width) : PutInteger(out, va_arg(ap, int), width))) return false;
            break;
        case 'u':
            if (precision >= 0) return false;
            if (!(isLong ? PutInteger(out, va_arg(ap, unsigned long), width) : PutInteger(out, va_arg(ap, unsigned), width)))
                return false;
            break;
        case 'f':
        case 'F': {
            double v = va_arg(ap, double);
            if (!(v - v == 0)) return false;  // infinities and NaN: the general way
            char tmp[400];
            auto r = std::to_chars(tmp, tmp + sizeof tmp, v, std::chars_format::fixed, precision < 0 ? 6 : precision);
            if (r.ec != std::errc()) return false;
            if (!out.Padded(tmp, static_cast<size_t>(r.ptr - tmp), width)) return false;
            break;
        }
        case 's': {
            if (isLong || precision >= 0) return false;
            const char* s = va_arg(ap, const char*);
            if (!s) return false;
            if (!out.Padded(s, std::strlen(s), width)) return false;
            break;
        }
        case 'c': {
            if (isLong || precision >= 0) return false;
            char c = static_cast<char>(va_arg(ap, int));
            if (!out.Padded(&c, 1, width)) return false;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

// ---- scanning ----

enum class TScan { Done, General };

// A decimal integer of at most 18 digits at *p (after blanks): its value and the text after it.
// False when the text is not plainly one (the caller decides between a matching failure and the
// general way through *general).
bool ReadInteger(const char*& p, long& value, bool& general)
{
    const char* s = p;
    bool negative = false;
    if (*s == '-' || *s == '+') {
        negative = *s == '-';
        ++s;
        if (!IsDigit(*s)) {
            general = true;  // a lone sign: leave it to sscanf
            return false;
        }
    }
    if (!IsDigit(*s)) return false;  // a matching failure
    const char* digits = s;
    long v = 0;
    while (IsDigit(*s)) {
        // A 19th digit could overflow the value: counted before it is taken.
        if (s - digits == 18) {
            general = true;
            return false;
        }
        v = v * 10 + (*s - '0');
        ++s;
    }
    value = negative ? -v : v;
    p = s;
    return true;
}

const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
const float kPow10f[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// A decimal floating-point number at *p (after blanks) as strtod reads it: sign, digits with an
// optional point, an optional exponent. False as ReadInteger.
bool ReadFloat(const char*& p, bool isDouble, double& d, float& fl, bool& general)
{
    const char* s = p;
    bool negative = false;
    if (*s == '-' || *s == '+') {
        negative = *s == '-';
        ++s;
    }
    uint64_t mantissa = 0;
    int digits = 0, fraction = 0, significant = 0;
    if (*s == '0' && (s[1] == 'x' || s[1] == 'X')) {
        general = true;
        return false;
    }
    while (IsDigit(*s)) {
        if (significant > 0 || *s != '0') ++significant;
        if (significant <= 19) mantissa = mantissa * 10 + static_cast<uint64_t>(*s - '0');
        ++digits;
        ++s;
    }
    if (*s == '.') {
        ++s;
        while (IsDigit(*s)) {
            if (significant > 0 || *s != '0') ++significant;
            if (significant <= 19) mantissa = mantissa * 10 + static_cast<uint64_t>(*s - '0');
            ++digits;
            ++fraction;
            ++s;
        }
    }
    if (digits == 0) {
        // "inf", "nan", a lone sign or point: sscanf knows best; any other text does not match.
        if (s != p || *s == 'i' || *s == 'I' || *s == 'n' || *s == 'N' || *s == '.') general = true;
        return false;
    }
    bool exponent = false;
    if (*s == 'e' || *s == 'E') {
        const char* e = s + 1;
        if (*e == '-' || *e == '+') ++e;
        if (!IsDigit(*e)) {
            general = true;  // "1e" followed by no digits
            return false;
        }
        while (IsDigit(*e)) ++e;
        s = e;
        exponent = true;
    }
    // Exactly rounded without strtod when the digits and the power of ten are exact in the type.
    if (!exponent && significant <= 15 && fraction <= 22 && isDouble) {
        double v = static_cast<double>(mantissa) / kPow10[fraction];
        d = negative ? -v : v;
    } else if (!exponent && !isDouble && significant <= 7 && mantissa < (1u << 24) && fraction <= 10) {
        float v = static_cast<float>(mantissa) / kPow10f[fraction];
        fl = negative ? -v : v;
    } else {
        char tmp[128];
        size_t n = static_cast<size_t>(s - p);
        if (n >= sizeof tmp) {
            general = true;
            return false;
        }
        std::memcpy(tmp, p, n);
        tmp[n] = '\0';
        if (isDouble) d = strtod_l(tmp, nullptr, CLocale());
        else fl = strtof_l(tmp, nullptr, CLocale());
    }
    p = s;
    return true;
}

// sscanf with the plain directives only. *result is what sscanf returns; General when the
// caller must run sscanf itself (it then writes the same values again over any already written).
TScan FastScan(const char* text, const char* fmt, va_list ap, int* result)
{
    const char* p = text;
    int assigned = 0;
    bool converted = false;  // a conversion (counted or suppressed) has taken place
    // The end of the input before a conversion: EOF while nothing was converted yet.
    auto inputFailure = [&]() {
        if (assigned == 0 && converted) return TScan::General;
        *result = assigned == 0 ? EOF : assigned;
        return TScan::Done;
    };
    for (const char* f = fmt; *f; ++f) {
        if (IsBlank(*f)) {
            while (IsBlank(*p)) ++p;
            continue;
        }
        if (*f != '%') {
            if (*p != *f) return TScan::General;
            ++p;
            continue;
        }
        ++f;
        bool suppress = false;
        if (*f == '*') {
            suppress = true;
            ++f;
        }
        int width = 0;
        while (IsDigit(*f)) {
            width = width * 10 + (*f++ - '0');
            if (width > 100000) return TScan::General;
        }
        bool isLong = false;
        if (*f == 'l') {
            isLong = true;
            ++f;
        }
        const char conv = *f;
        if (conv != 'd' && conv != 'u' && conv != 's' && conv != 'f' && conv != 'e' && conv != 'g') return TScan::General;
        if (width > 0 && conv != 's') return TScan::General;
        while (IsBlank(*p)) ++p;
        if (*p == '\0') return inputFailure();
        bool general = false;
        switch (conv) {
        case 'd':
        case 'u': {
            long v = 0;
            if (!ReadInteger(p, v, general)) {
                if (general) return TScan::General;
                *result = assigned;
                return TScan::Done;
            }
            if (!suppress) {
                if (conv == 'd') {
                    if (isLong) *va_arg(ap, long*) = v;
                    else *va_arg(ap, int*) = static_cast<int>(v);
                } else {
                    if (isLong) *va_arg(ap, unsigned long*) = static_cast<unsigned long>(v);
                    else *va_arg(ap, unsigned*) = static_cast<unsigned>(v);
                }
                ++assigned;
            }
            break;
        }
        case 'f':
        case 'e':
        case 'g': {
            double d = 0;
            float fl = 0;
            if (!ReadFloat(p, isLong, d, fl, general)) {
                if (general) return TScan::General;
                *result = assigned;
                return TScan::Done;
            }
            if (!suppress) {
                if (isLong) *va_arg(ap, double*) = d;
                else *va_arg(ap, float*) = fl;
                ++assigned;
            }
            break;
        }
        case 's': {
            if (isLong) return TScan::General;
            const char* s = p;
            while (*p && !IsBlank(*p) && (width == 0 || p - s < width)) ++p;
            if (!suppress) {
                char* out = va_arg(ap, char*);
                std::memcpy(out, s, static_cast<size_t>(p - s));
                out[p - s] = '\0';
                ++assigned;
            }
            break;
        }
        }
        converted = true;
    }
    *result = assigned;
    return TScan::Done;
}

} // namespace

CLocaleScope::CLocaleScope() : previous(uselocale(CLocale())) {}
CLocaleScope::~CLocaleScope() { uselocale(static_cast<locale_t>(previous)); }

namespace {

// vsnprintf in the C locale into a growable text.
std::string GeneralFormat(const char* fmt, va_list ap)
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

} // namespace

std::string FormatV(const char* fmt, va_list ap)
{
    char fast[256];
    TOut out{fast, fast + sizeof fast};
    va_list ap1;
    va_copy(ap1, ap);
    bool ok = FastFormat(out, fmt, ap1);
    va_end(ap1);
    if (ok) return std::string(fast, static_cast<size_t>(out.p - fast));
    return GeneralFormat(fmt, ap);
}

std::string Format(const char* fmt, ...)
{
    char fast[256];
    TOut out{fast, fast + sizeof fast};
    va_list ap;
    va_start(ap, fmt);
    bool ok = FastFormat(out, fmt, ap);
    va_end(ap);
    if (ok) return std::string(fast, static_cast<size_t>(out.p - fast));
    va_start(ap, fmt);
    std::string s = GeneralFormat(fmt, ap);
    va_end(ap);
    return s;
}

int SScanf(const char* text, const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    int n = 0;
    TScan how = FastScan(text, fmt, ap, &n);
    va_end(ap);
    if (how == TScan::General) {
        CLocaleScope c;
        va_start(ap, fmt);
        n = std::vsscanf(text, fmt, ap);
        va_end(ap);
    }
    return n;
}

bool ScanInt(const char*& p, int& value)
{
    const char* s = p;
    while (IsBlank(*s)) ++s;
    long v = 0;
    bool general = false;
    if (ReadInteger(s, v, general)) {
        value = static_cast<int>(v);
        p = s;
        return true;
    }
    if (!general) return false;
    int n = 0, consumed = 0;
    CLocaleScope c;
    if (std::sscanf(p, "%d%n", &n, &consumed) != 1) return false;
    value = n;
    p += consumed;
    return true;
}

bool ReadWholeNumber(const std::string& text, int& value)
{
    size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (i == text.size()) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > INT_MAX) return false;
    }
    value = static_cast<int>(text[0] == '-' ? -v : v);
    return true;
}

int StrToInt(const std::string& text)
{
    size_t b = text.find_first_not_of(" \t\r\n");
    size_t e = text.find_last_not_of(" \t\r\n");
    int v = 0;
    if (b == std::string::npos || !ReadWholeNumber(text.substr(b, e - b + 1), v))
        throw Exception("'" + text + "' не является целым числом");
    return v;
}

long AtolC(const char* text)
{
    const char* p = text;
    while (IsBlank(*p)) ++p;
    long v = 0;
    bool general = false;
    if (ReadInteger(p, v, general)) return v;
    return general ? std::strtol(text, nullptr, 10) : 0;
}

double StrtodC(const char* text, char** end) { return strtod_l(text, end, CLocale()); }

double AtofC(const char* text) { return strtod_l(text, nullptr, CLocale()); }
