// Free functions shared by the models and the program: the data-line reader, keyword lookup,
// word splitting, the clock text, the exception thrower, the primitive operations of the two
// expression languages (plan functions and technology functions), the three seeded pseudo-random
// generators and the vertical-curve geometry of the height profile.
//
// Everything here is stateless except the random generators and the vertical-curve tables,
// which are process-wide and used from the main thread only.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/core/Strings.h"

// Throws Exception with this message.
[[noreturn]] void RaiseError(const AnsiString& text);

// Every character is a decimal digit (true for the empty text).
bool IsAllDigits(const char* text);
// The text is one decimal number, as the text-to-double conversion reads it whole: optional
// leading blanks, sign, digits with an optional point, optional exponent ("5", "-2.5", "1e3").
// The empty text, "inf", "nan" and hexadecimal numbers are not numbers.
bool IsNumber(const char* text);

// Bytes of a data line that count: the rest of a longer physical line is dropped.
constexpr size_t kDataLineBytes = 239;

// Reads one line of a code page 1251 data file into buf as UTF-8, the line end kept.
// Returns -1 at end of file or on a read error (buf "EOF"), 0 for a blank line or a line whose
// first non-blank text is marker, 1 for a data line. Only the first kDataLineBytes bytes of a
// physical line count; the rest of it is consumed and never read as a line of its own.
// After the last line end one 0 (nothing read) comes before the -1.
int ReadDataLine(std::FILE* f, std::string& buf, const char* marker);

// The number (from 1) of the physical line that the last read of f ended in; 0 before any read.
// Messages about a faulty data file name it; the file's position is left as it was.
int DataLineNumber(std::FILE* f);
// "{file}, строка {line}: {reason}", or "{file}: {reason}" for a fault of the whole file (line 0).
std::string DataFileMessage(const std::string& file, int line, const std::string& reason);

// Reads one physical line, its line end consumed and not kept; false at the end of the file.
bool ReadRawLine(std::FILE* f, std::string& line);

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

// ---- Pseudo-random generators ----------------------------------------------------------------
// Three independent linear congruential generators; RND and RNDZ start from the same seed, so
// their uniform sequences are identical. The run never reseeds them.
enum class TRandomGenerator { Erlang, Rnd, RndZ };

// One step of a generator state: state := 3141592621 * state + 907632281 (mod 2^32);
// the new state divided by 2^32, a value in [0, 1).
double RandomUniform(uint32_t& state);
// One step of the named generator.
double RandomUniform(TRandomGenerator g);
uint32_t RandomState(TRandomGenerator g);
// Puts the three generators back to their seeds. Tests only.
void ResetRandomGenerators();

// b + ln(p) * (b - a) / k, p the product of k ERLANG draws (single precision): for b > a at most
// b with mean a.
double ErlangValue(float a, int k, float b);
// mean + sigma * (sum of twelve RNDZ draws - 6).
double NormalValue(double mean, double sigma);

// ---- Expression primitives -------------------------------------------------------------------
// The operations common to the plan-function and technology languages. Each takes the argument
// text of one call (after its arguments were evaluated). A test answers true or false and leaves
// the text alone; the other primitives write their result over the text on success and leave it
// alone on failure. Numbers are words that IsNumber accepts, converted in the C locale.
enum class TPrimitive {
    Between,  // "a b c" (single precision, missing 0): b <= a and not a > c
    Greater,  // "a b": a > b
    Less,     // "a b": not a >= b
    Not,      // "n" ("%d", missing 0): n = 0
    And,      // every word a number whose integer part is not 0; no words: false
    Or,       // some word, before any non-number, a number whose integer part is not 0
    In,       // a later word equals the first word exactly
    Int,      // one number, truncated toward zero, "%d"
    Plus,     // sum, "%f"
    Mul,      // product from 1, "%f"
    Minus,    // the first minus each following, "%f"
    Div,      // the first divided by each following, "%f"; division by zero fails
    Abs,      // every '-' becomes a blank; never fails
    Nth,      // "n w0 w1 ...": word n of the words after n; none: false
    StrCat,   // the text without its blanks; an empty result: false
    Rnd,      // a uniform RND value, "%f"
    RndZ,     // a standard normal value, "%f"
    Erlang,   // "a k b" (0, 1, 0 when missing): the Erlang value, "%f"; k <= 0 fails
};

// True for the primitives that answer a truth value only.
bool PrimitiveIsTest(TPrimitive p);
// Runs a primitive on its argument text; see TPrimitive.
bool RunPrimitive(TPrimitive p, std::string& text);

// ---- Vertical curves -------------------------------------------------------------------------
// A profile of straight grades (slope positive when falling) joined by circular vertical curves.
constexpr int kMaxCurveGrades = 14;
constexpr int kCurveTableSize = 50;

// Takes grades from index 0 while i < count, i < kMaxCurveGrades and lengths[i] > 0.0001; radii[i-1]
// is the radius at the vertex between grades i-1 and i. Fills the process-wide tables (points
// numbered from 1: x, y, slope; for each interval the second- and third-derivative terms of the
// cubic through its two points; for each inner vertex the tangent and arc lengths) and returns the
// number of points, 2 x grades, or 0 when a vertex degenerates.
int ComputeVerticalCurve(const double* slopes, const double* lengths, const double* radii, int count);
// For 0 <= i <= 49: the slope of point i and the two terms of interval i; nothing otherwise.
void GetCurvePoint(int i, double* k, double* d2, double* d3);
// For 0 <= i <= 49: the tangent and arc lengths of inner vertex i + 1; both 0 otherwise.
void GetCurveTangent(int i, double* tangent, double* arc);
