// printf/scanf and number conversions that always use the C locale, whatever locale the process runs in.
#pragma once
#include <cstdarg>
#include <string>

// printf into a growable text.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* fmt, va_list ap);
// sscanf with the C locale; returns what sscanf returns.
int SScanf(const char* text, const char* fmt, ...) __attribute__((format(scanf, 2, 3)));
inline int SScanf(const std::string& text, const char* fmt, ...) = delete;

// atol / atof / strtod with the C locale (a text that does not begin with a number reads as 0).
long AtolC(const char* text);
double AtofC(const char* text);
double StrtodC(const char* text, char** end);

// Switches the calling thread to the C locale for its lifetime.
class CLocaleScope {
public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;
private:
    void* previous;
};
