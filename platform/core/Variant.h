// The typed value of a numbered parameter: a 32-bit integer, a double or a text.
// Conversions never throw: text to number as atol/atof, double to integer by truncation.
#pragma once
#include <cstdint>
#include <string>
#include <variant>

using TVariant = std::variant<int32_t, double, std::string>;

int32_t VarToInt(const TVariant& v);
double VarToDouble(const TVariant& v);
// Integer "%d", double "%f", text as is.
std::string VarToStr(const TVariant& v);
bool VarIsText(const TVariant& v);
