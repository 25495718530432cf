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

// Reads one number at p as sscanf's "%d" does (leading blanks, sign, digits) and moves p past it;
// false, p unchanged, when the text there does not begin with one. For reading a message's
// leading fields without a format.
bool ScanInt(const char*& p, int& value);

// The one rule for a whole number, whether typed into a field or read from a file: an optional
// minus and digits whose value fits a 32-bit int (INT_MIN excluded), nothing else: no blanks, no
// plus, no point. False, value unchanged, for anything else.
bool ReadWholeNumber(const std::string& text, int& value);
// The whole number of a field (blanks around it allowed) by that rule, or the platform's
// conversion error "'text' не является целым числом".
int StrToInt(const std::string& text);

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
