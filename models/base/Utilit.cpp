// Data-file reading, text utilities, expression primitives, random generators and vertical curves.
#include "models/base/Utilit.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

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

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

bool IsNumber(const char* text)
{
    const char* p = text;
    while (IsBlankChar(*p)) ++p;
    if (*p == '+' || *p == '-') ++p;
    bool digits = false;
    while (IsDigit(*p)) { ++p; digits = true; }
    if (*p == '.') {
        ++p;
        while (IsDigit(*p)) { ++p; digits = true; }
    }
    if (!digits) return false;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-') ++q;
        if (IsDigit(*q)) {
            while (IsDigit(*q)) ++q;
            p = q;
        }
    }
    return *p == '\0';
}

int ReadDataLine(std::FILE* f, std::string& buf, const char* marker)
{
    buf.clear();
    // A read error ends the file too, or a caller looping until -1 would never stop.
    if (std::feof(f) || std::ferror(f)) {
        buf = "EOF";
        return -1;
    }
    std::string raw;
    int c;
    while ((c = std::fgetc(f)) != EOF) {
        if (raw.size() < kDataLineBytes) raw += static_cast<char>(c);
        if (c == '\n') break;
    }
    buf = Cp1251ToUtf8(raw);
    size_t n = 0;
    while (n < buf.size() && IsBlankChar(buf[n])) ++n;
    if (n == buf.size()) return 0;
    const char* hit = std::strstr(buf.c_str(), marker);
    if (hit && static_cast<size_t>(hit - buf.c_str()) == n) return 0;
    return 1;
}

int DataLineNumber(std::FILE* f)
{
    long pos = std::ftell(f);
    if (pos <= 0) return 0;
    std::rewind(f);
    int lines = 0, c = 0, last = 0;
    for (long i = 0; i < pos && (c = std::fgetc(f)) != EOF; ++i) {
        if (c == '\n') ++lines;
        last = c;
    }
    std::fseek(f, pos, SEEK_SET);
    // The line read last ended at its line end, or is the file's last line without one.
    return last == '\n' ? lines : lines + 1;
}

std::string DataFileMessage(const std::string& file, int line, const std::string& reason)
{
    if (line <= 0) return file + ": " + reason;
    return file + ", строка " + std::to_string(line) + ": " + reason;
}

bool ReadRawLine(std::FILE* f, std::string& line)
{
    line.clear();
    int c;
    bool any = false;
    while ((c = std::fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') break;
        line += static_cast<char>(c);
    }
    return any;
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

// ---- Pseudo-random generators ----------------------------------------------------------------

namespace {
constexpr uint32_t kErlangSeed = 25431;
constexpr uint32_t kRndSeed = 12543;
constexpr uint32_t kRndZSeed = 12543;
uint32_t gErlangState = kErlangSeed;
uint32_t gRndState = kRndSeed;
uint32_t gRndZState = kRndZSeed;

uint32_t& StateOf(TRandomGenerator g)
{
    switch (g) {
    case TRandomGenerator::Erlang: return gErlangState;
    case TRandomGenerator::Rnd: return gRndState;
    case TRandomGenerator::RndZ: break;
    }
    return gRndZState;
}
} // namespace

double RandomUniform(uint32_t& state)
{
    state = 3141592621u * state + 907632281u;
    return state / 4294967296.0;
}

double RandomUniform(TRandomGenerator g) { return RandomUniform(StateOf(g)); }

uint32_t RandomState(TRandomGenerator g) { return StateOf(g); }

void ResetRandomGenerators()
{
    gErlangState = kErlangSeed;
    gRndState = kRndSeed;
    gRndZState = kRndZSeed;
}

double ErlangValue(float a, int k, float b)
{
    float p = 1;
    for (int i = 0; i < k; ++i) p = static_cast<float>(p * RandomUniform(TRandomGenerator::Erlang));
    return b + std::log(static_cast<double>(p)) * (b - a) / k;
}

double NormalValue(double mean, double sigma)
{
    float s = -6;
    for (int i = 0; i < 12; ++i) s = static_cast<float>(s + RandomUniform(TRandomGenerator::RndZ));
    return mean + s * sigma;
}

// ---- Expression primitives -------------------------------------------------------------------

namespace {

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlankChar(text[i])) ++i;
        size_t b = i;
        while (i < text.size() && !IsBlankChar(text[i])) ++i;
        if (i > b) out.push_back(text.substr(b, i - b));
    }
    return out;
}

// Reads every word as a number into values; false at a word that is not one, or with no words.
bool Numbers(const std::string& text, std::vector<double>& values)
{
    for (const std::string& w : Words(text)) {
        if (!IsNumber(w.c_str())) return false;
        values.push_back(AtofC(w.c_str()));
    }
    return !values.empty();
}

// Writes a numeric result with "%f"; an infinite or undefined result is a failure instead.
bool WriteReal(std::string& text, double v)
{
    if (!std::isfinite(v)) return false;
    text = Format("%f", v);
    return true;
}

bool Arithmetic(TPrimitive p, std::string& text)
{
    std::vector<double> v;
    if (!Numbers(text, v)) return false;
    double r = p == TPrimitive::Plus ? 0.0 : p == TPrimitive::Mul ? 1.0 : v[0];
    for (size_t i = p == TPrimitive::Plus || p == TPrimitive::Mul ? 0 : 1; i < v.size(); ++i) {
        switch (p) {
        case TPrimitive::Plus: r += v[i]; break;
        case TPrimitive::Mul: r *= v[i]; break;
        case TPrimitive::Minus: r -= v[i]; break;
        default:
            if (v[i] == 0.0) return false;
            r /= v[i];
            break;
        }
    }
    return WriteReal(text, r);
}

} // namespace

bool PrimitiveIsTest(TPrimitive p)
{
    switch (p) {
    case TPrimitive::Between:
    case TPrimitive::Greater:
    case TPrimitive::Less:
    case TPrimitive::Not:
    case TPrimitive::And:
    case TPrimitive::Or:
    case TPrimitive::In:
        return true;
    default:
        return false;
    }
}

bool RunPrimitive(TPrimitive p, std::string& text)
{
    switch (p) {
    case TPrimitive::Between: {
        float a = 0, b = 0, c = 0;
        SScanf(text.c_str(), "%f%f%f", &a, &b, &c);
        return b <= a && !(a > c);
    }
    case TPrimitive::Greater:
    case TPrimitive::Less: {
        float a = 0, b = 0;
        SScanf(text.c_str(), "%f%f", &a, &b);
        return p == TPrimitive::Greater ? a > b : !(a >= b);
    }
    case TPrimitive::Not: {
        int n = 0;
        SScanf(text.c_str(), "%d", &n);
        return n == 0;
    }
    case TPrimitive::And: {
        std::vector<std::string> w = Words(text);
        for (const std::string& x : w)
            if (!IsNumber(x.c_str()) || AtolC(x.c_str()) == 0) return false;
        return !w.empty();
    }
    case TPrimitive::Or:
        for (const std::string& x : Words(text)) {
            if (!IsNumber(x.c_str())) return false;
            if (AtolC(x.c_str()) != 0) return true;
        }
        return false;
    case TPrimitive::In: {
        std::vector<std::string> w = Words(text);
        for (size_t i = 1; i < w.size(); ++i)
            if (w[i] == w[0]) return true;
        return false;
    }
    case TPrimitive::Int: {
        std::string t = Trim(text);
        if (!IsNumber(t.c_str())) return false;
        double v = std::trunc(AtofC(t.c_str()));
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
        text = Format("%d", static_cast<int>(v));
        return true;
    }
    case TPrimitive::Plus:
    case TPrimitive::Mul:
    case TPrimitive::Minus:
    case TPrimitive::Div:
        return Arithmetic(p, text);
    case TPrimitive::Abs:
        for (char& c : text)
            if (c == '-') c = ' ';
        return true;
    case TPrimitive::Nth: {
        std::vector<std::string> w = Words(text);
        int n = 0;
        if (w.empty() || SScanf(w[0].c_str(), "%d", &n) != 1) return false;
        if (n < 0 || static_cast<size_t>(n) + 1 >= w.size()) return false;
        text = w[static_cast<size_t>(n) + 1];
        return true;
    }
    case TPrimitive::StrCat: {
        std::string r;
        for (char c : text)
            if (c != ' ') r += c;
        if (r.empty()) return false;
        text = r;
        return true;
    }
    case TPrimitive::Rnd:
        text = Format("%f", static_cast<double>(static_cast<float>(RandomUniform(TRandomGenerator::Rnd))));
        return true;
    case TPrimitive::RndZ:
        text = Format("%f", NormalValue(0, 1));
        return true;
    case TPrimitive::Erlang: {
        float a = 0, b = 0;
        int k = 1;
        SScanf(text.c_str(), "%f%d%f", &a, &k, &b);
        if (k <= 0) return false;
        double v = ErlangValue(a, k, b);
        if (!std::isfinite(v)) return false;
        text = Format("%f", static_cast<double>(static_cast<float>(v)));
        return true;
    }
    }
    return false;
}

// ---- Vertical curves -------------------------------------------------------------------------

namespace {
// Numbered from 1; entry 0 stays unused.
double gCurveX[kCurveTableSize + 1];
double gCurveY[kCurveTableSize + 1];
double gCurveK[kCurveTableSize + 1];
double gCurveD2[kCurveTableSize + 1];
double gCurveD3[kCurveTableSize + 1];
double gCurveTangent[kCurveTableSize + 1];
double gCurveArc[kCurveTableSize + 1];
} // namespace

int ComputeVerticalCurve(const double* slopes, const double* lengths, const double* radii, int count)
{
    for (int i = 0; i <= kCurveTableSize; ++i)
        gCurveX[i] = gCurveY[i] = gCurveK[i] = gCurveD2[i] = gCurveD3[i] = gCurveTangent[i] = gCurveArc[i] = 0;

    int grades = 0;
    while (grades < count && grades < kMaxCurveGrades && lengths[grades] > 0.0001) ++grades;
    if (grades == 0) return 0;

    double vx[kMaxCurveGrades + 1], vy[kMaxCurveGrades + 1];
    vx[0] = 0;
    vy[0] = 4.6;
    for (int i = 0; i < grades; ++i) {
        vx[i + 1] = vx[i] + lengths[i];
        vy[i + 1] = vy[i] - lengths[i] * slopes[i];
    }

    int n = 0;
    auto append = [&n](double x, double y, double k) {
        ++n;
        gCurveX[n] = x;
        gCurveY[n] = y;
        gCurveK[n] = k;
    };
    append(vx[0], vy[0], -slopes[0]);
    for (int i = 1; i < grades; ++i) {
        double b = -slopes[i - 1], c = -slopes[i], r = radii[i - 1];
        double t = std::fabs((c - b) / (b * c + 1));
        gCurveArc[i] = std::atan(t) * r;
        double tl = r * t / (std::sqrt(t * t + 1) + 1);
        gCurveTangent[i] = tl;
        double dx1 = tl / std::sqrt(1 + b * b), dx2 = tl / std::sqrt(1 + c * c);
        double x1 = vx[i] - dx1, y1 = vy[i] - dx1 * b;
        double x2 = vx[i] + dx2, y2 = vy[i] + dx2 * c;
        if (x1 == 0 && x2 == 0) return 0;
        append(x1, y1, b);
        append(x2, y2, c);
    }
    append(vx[grades], vy[grades], -slopes[grades - 1]);

    for (int j = 2; j <= n; ++j) {
        double h = gCurveX[j] - gCurveX[j - 1];
        if (h == 0) break;
        double m = (gCurveY[j] - gCurveY[j - 1]) / h;
        double g = gCurveK[j - 1] + gCurveK[j] - 2 * m;
        gCurveD2[j - 1] = (m - gCurveK[j - 1] - g) * 2 / h;
        gCurveD3[j - 1] = g / h * 6 / h;
    }
    return n;
}

void GetCurvePoint(int i, double* k, double* d2, double* d3)
{
    if (i < 0 || i > 49) return;
    *k = gCurveK[i];
    *d2 = gCurveD2[i];
    *d3 = gCurveD3[i];
}

void GetCurveTangent(int i, double* tangent, double* arc)
{
    if (i < 0 || i > 49) {
        *tangent = 0;
        *arc = 0;
        return;
    }
    *tangent = gCurveTangent[i + 1];
    *arc = gCurveArc[i + 1];
}
