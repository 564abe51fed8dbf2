#pragma once
// The number rules the settings and the dialogs share: how a stored text becomes a number, how a
// number becomes text, and how a floating-point value becomes an integer.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::num {

// The number at the front of a text: blanks skipped, "&H" hexadecimal (a trailing "&" marks a 32-bit
// value; up to four digits without it are a 16-bit value), otherwise sign, digits, fraction and
// exponent. No number in front gives 0.
double valPrefix(std::string_view text);

// Nearest integer, halves to the even neighbour; out-of-range values are clamped to the type.
std::int16_t toInt16(double v);
std::int32_t toInt32(double v);
// Half a difference of twips, the difference rounded to a whole number first and the half cut toward
// zero, as the dialogs centre their parts.
inline std::int32_t halfOf(double difference) { return toInt32(difference) / 2; }
// Out-of-range values are clamped to the largest finite float.
float toSingle(double v);

// Decimal text with a leading blank for zero and positive values, "-" for negative ones, "." as the
// point, no grouping, and only the fraction digits the value needs.
std::string toText(double v);
std::string toText(float v);
inline std::string toText(std::int16_t v) { return toText(static_cast<double>(v)); }
inline std::string toText(std::int32_t v) { return toText(static_cast<double>(v)); }

}  // namespace corvane::num
