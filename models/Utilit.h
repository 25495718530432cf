// Free functions shared by the models and the program: the data-line reader, keyword lookup,
// word splitting, the clock text and the exception thrower.
#pragma once
#include <cstdio>
#include <string>

#include "platform/core/Strings.h"

// Throws Exception with this message.
[[noreturn]] void RaiseError(const AnsiString& text);

// Every character is a decimal digit (true for the empty text).
bool IsAllDigits(const char* text);
// strtod consumes the whole text (the empty text counts as a number).
bool IsNumber(const char* text);

// Bytes of a data line that count: the rest of a longer physical line is dropped.
constexpr size_t kDataLineBytes = 239;

// Reads one line of a code page 1251 data file into buf as UTF-8, the line end kept.
// Returns -1 at end of file (buf "EOF"), 0 for a blank line or a line whose first non-blank text
// is marker, 1 for a data line. Only the first kDataLineBytes bytes of a physical line count.
int ReadDataLine(std::FILE* f, std::string& buf, const char* marker);

// Opens path for reading into *f, counts its data lines and rewinds. A missing file returns 0
// (*f null); a file with no data lines is closed, *f set to null, and 0 returned.
int OpenDataFile(std::FILE** f, const std::string& path);

// Trims line in place and returns the index of the first of the n keys equal to it, -1 when none.
int FindKeyIndex(std::string& line, const AnsiString* keys, int n);

// The first word of the trimmed text.
AnsiString FirstWord(const AnsiString& text);
// Trims text and returns what follows its first word and the one separator after it.
AnsiString DropFirstWord(const AnsiString& text);
// DropFirstWord n times, then trimmed.
AnsiString DropWords(const AnsiString& text, unsigned n);

// "hh:mm" of a number of seconds; hours below 10 get a leading zero and do not wrap at 24.
AnsiString SecondsToClock(unsigned int seconds);
