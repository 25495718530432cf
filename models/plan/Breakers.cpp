// Retarder types, devices and placements.
#include "models/plan/Breakers.h"

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"

namespace {

const char* const kBreakersDataError = "Ошибка в файле данных замедлителей";

// The next data line, skipping blank and comment lines; false at the end of the file.
bool NextDataLine(std::FILE* f, std::string& line)
{
    int r;
    while ((r = ReadDataLine(f, line, "*")) != -1)
        if (r == 1) return true;
    return false;
}

// The integer a line begins with; false when it begins with none.
bool LineInt(const std::string& line, int& value)
{
    value = 0;
    return SScanf(line.c_str(), "%d", &value) == 1;
}

} // namespace

bool TBreakerProperties::Read(std::FILE* f)
{
    std::string line;
    while (NextDataLine(f, line)) {
        int key = 0;
        LineInt(line, key);
        if (key == 0) return true;
        if (!ReadKey(key, f)) return false;
    }
    return false;
}

bool TBreakerProperties::ReadKey(int key, std::FILE* f)
{
    if (key != 1 && key != 2 && key != 10) return true;  // other keys have no value line
    std::string line;
    if (!NextDataLine(f, line)) return false;
    switch (key) {
    case 1: Name = Trim(line); break;
    case 2: P = AtofC(line.c_str()); break;
    case 10: K = AtofC(line.c_str()); break;
    }
    return true;
}

bool TPositionBreakerProperties::ReadKey(int key, std::FILE* f)
{
    bool position = key >= 21 && key <= 29;
    if (!position && key != 30) return TBreakerProperties::ReadKey(key, f);
    std::string line;
    if (!NextDataLine(f, line)) return false;
    if (key == 30) {
        B0 = AtofC(line.c_str());
        return true;
    }
    char first[240] = "0", second[240] = "0";
    SScanf(line.c_str(), "%239s%239s", first, second);
    Positions.Add(TBreakPosition{AtofC(first), AtofC(second)});
    return true;
}

TaBreakerProperties::~TaBreakerProperties() { TaBreakerProperties::Clear(); }

void TaBreakerProperties::Clear()
{
    for (unsigned int i = 0; i < Count(); ++i) delete *Get(i);
    TArray10<TBreakerProperties*>::Clear();
}

void TaBreakerProperties::Load(const std::string& path)
{
    std::FILE* f = OpenFile(path, "r");
    if (!f) return;
    try {
        std::string line;
        int value = 0;
        if (NextDataLine(f, line)) {
            if (!LineInt(line, value) || value != 0) RaiseError(kBreakersDataError);
            while (NextDataLine(f, line)) {
                LineInt(line, value);
                TBreakerProperties* p = nullptr;
                switch (value) {
                case 1: p = new TWGBreakerProperties; break;
                case 2: p = new TRNZBreakerProperties; break;
                case 3: p = new TPRBreakerProperties; break;
                default: RaiseError(kBreakersDataError);
                }
                try {
                    Add(p);
                } catch (...) {
                    delete p;
                    throw;
                }
                // A type cut off by the end of the file keeps what it read.
                bool more = p->Read(f);
                // A type without a name can never be placed: the file is cut or garbled there.
                if (p->Name.empty()) RaiseError("у типа замедлителя нет имени (ключ 1)");
                if (!more) break;
            }
        }
    } catch (const Exception& e) {
        // Every fault names the file and the line it was found on.
        std::string message = DataFileMessage(path, DataLineNumber(f), e.Message);
        std::fclose(f);
        throw Exception(message);
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
}

TBreakerProperties* TaBreakerProperties::Find(const AnsiString& name) const
{
    for (unsigned int i = 0; i < Count(); ++i)
        if ((*Get(i))->Name == name) return *Get(i);
    return nullptr;
}

// ---- devices ----

double TBreakerDevice::ComputedValue(double, double) { return 0; }
void TBreakerDevice::SetPosition(int) { Mode = 1; }
void TBreakerDevice::SelectPosition(double) { Mode = 1; }
double TBreakerDevice::Divisor() const { return Properties ? Properties->K : 0.0; }
void TBreakerDevice::BindProperties(TBreakerProperties*) {}

double TBreakerDevice::Value(double a, double b)
{
    switch (Mode) {
    case 0: return FixedValue;
    case 1: return ComputedValue(a, b);
    default: return 0;
    }
}

double TWGBreakerDevice::ComputedValue(double a, double)
{
    if (!Properties || Properties->K == 0) return 0;
    return Properties->P / Properties->K * a * 1000;
}

void TWGBreakerDevice::BindProperties(TBreakerProperties* p)
{
    if (p && p->Kind() == 1) Properties = p;
}

TPositionBreakerProperties* TPositionBreakerDevice::PositionProperties() const
{
    return dynamic_cast<TPositionBreakerProperties*>(Properties);
}

void TPositionBreakerDevice::SetPosition(int i)
{
    if (auto* p = PositionProperties()) s = p->Positions.Get(static_cast<unsigned int>(i))->First;
}

void TPositionBreakerDevice::SelectPosition(double)
{
    auto* p = PositionProperties();
    s = p ? p->Positions.Get(0)->First : 0.0;
}

double TPositionBreakerDevice::PositionFactor() const
{
    auto* p = PositionProperties();
    if (!p) return 0;
    double span = p->Positions.Last().First - p->B0;
    if (span == 0) return 0;
    return (s - p->B0) / span;
}

double TRNZBreakerDevice::ComputedValue(double, double b)
{
    if (!Properties) return 0;
    if (given) return 0;
    given = true;
    double f = PositionFactor();
    double k = Properties->K + 10.5;
    if (b == 0 || k == 0) return 0;
    return f * Properties->P * 85 / b / k * 1000;
}

double TRNZBreakerDevice::Divisor() const { return Properties ? Properties->K + 10.5 : 0.0; }

void TRNZBreakerDevice::BindProperties(TBreakerProperties* p)
{
    if (p && p->Kind() == 2) Properties = p;
}

double TPRBreakerDevice::ComputedValue(double, double b)
{
    if (!Properties) return 0;
    double f = PositionFactor();
    if (b == 0 || Properties->K == 0) return 0;
    return f * Properties->P * 85 / b * 250 / Properties->K;
}

void TPRBreakerDevice::BindProperties(TBreakerProperties* p)
{
    if (p && p->Kind() == 3) Properties = p;
}

std::unique_ptr<TBreakerDevice> CreateBreakerDevice(int kind)
{
    switch (kind) {
    case 1: return std::make_unique<TWGBreakerDevice>();
    case 2: return std::make_unique<TRNZBreakerDevice>();
    case 3: return std::make_unique<TPRBreakerDevice>();
    default: return nullptr;
    }
}

// ---- placements ----

AnsiString TRM_Breaker::Dump() const
{
    const TBreakerProperties* p = Properties();
    return Format("%u %s %d", static_cast<unsigned>(Number), p ? p->Name.c_str() : "", Index);
}

void TRM_Breaker::SetResist(double v)
{
    if (!Device) return;
    Device->FixedValue = v;
    Device->Mode = 0;
}
