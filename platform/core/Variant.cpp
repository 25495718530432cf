// Non-throwing variant conversions.
#include "platform/core/Variant.h"

#include <cmath>
#include <limits>

#include "platform/core/CFormat.h"

namespace {
int32_t DoubleToInt(double d)
{
    if (std::isnan(d)) return 0;
    if (d >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (d <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(d);
}
} // namespace

int32_t VarToInt(const TVariant& v)
{
    if (auto p = std::get_if<int32_t>(&v)) return *p;
    if (auto p = std::get_if<double>(&v)) return DoubleToInt(*p);
    return static_cast<int32_t>(AtolC(std::get<std::string>(v).c_str()));
}

double VarToDouble(const TVariant& v)
{
    if (auto p = std::get_if<int32_t>(&v)) return *p;
    if (auto p = std::get_if<double>(&v)) return *p;
    return AtofC(std::get<std::string>(v).c_str());
}

std::string VarToStr(const TVariant& v)
{
    if (auto p = std::get_if<int32_t>(&v)) return Format("%d", *p);
    if (auto p = std::get_if<double>(&v)) return Format("%f", *p);
    return std::get<std::string>(v);
}

bool VarIsText(const TVariant& v) { return std::holds_alternative<std::string>(v); }
