#include "shell/numbers.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

#include "platform/nearest.h"
#include "platform/text.h"

namespace corvane::num {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads characters while skipping blanks wherever they stand, so " 1 2" reads as 12, as the stored
// texts have always been read.
class Cursor {
  public:
    explicit Cursor(std::string_view s) : s_(s) {}
    char peek() {
        skip();
        return i_ < s_.size() ? s_[i_] : '\0';
    }
    void next() {
        skip();
        ++i_;
    }

  private:
    void skip() { i_ = std::min(s_.find_first_not_of(" \t\n", i_), s_.size()); }
    std::string_view s_;
    std::size_t i_ = 0;
};

double readHex(Cursor& c) {
    std::uint64_t value = 0;
    int digits = 0;
    for (int d; (d = hexDigit(c.peek())) >= 0; c.next()) {
        if (value == 0 && d == 0) continue;  // leading zeros do not count towards the width
        if (value >> 60)
            value = UINT64_MAX;  // saturate; the caller clamps to the variable anyway
        else
            value = value * 16 + static_cast<unsigned>(d);
        ++digits;
    }
    const bool longMark = c.peek() == '&';
    if (!longMark && digits <= 4) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    if (digits <= 8) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return static_cast<double>(value);
}

// The value 0.<digits> times ten to the scale, correctly rounded. The C library reads it, given the
// point its locale expects: a decimal-comma locale would otherwise stop it at the point, and " 1.2e+07"
// would read as 1.
double fromDecimal(const std::string& digits, std::int64_t scale) {
    std::string number = "0";
    number += std::localeconv()->decimal_point;
    number += digits;
    number += 'e';
    number += std::to_string(scale);
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace

double valPrefix(std::string_view text) {
    Cursor c(text);
    if (c.peek() == '&') {
        c.next();
        if (c.peek() != 'H' && c.peek() != 'h') return 0;
        c.next();
        return readHex(c);
    }

    // The digits without the point, and where the point stands among them: "012.50" is digits "01250"
    // with the point after two. The value is 0.<significant digits> times ten to a decimal exponent.
    bool negative = false;
    if (c.peek() == '+' || c.peek() == '-') {
        negative = c.peek() == '-';
        c.next();
    }
    std::string digits;
    std::size_t pointAt = std::string::npos;
    for (;; c.next()) {
        if (isDigit(c.peek()))
            digits += c.peek();
        else if (c.peek() == '.' && pointAt == std::string::npos)
            pointAt = digits.size();
        else
            break;
    }
    if (digits.empty()) return 0;
    if (pointAt == std::string::npos) pointAt = digits.size();
    std::int64_t exponent = 0;
    const char e = c.peek();
    if (e == 'e' || e == 'E' || e == 'd' || e == 'D') {
        // A marker without digits after it adds nothing: the exponent stays 0.
        c.next();
        const bool minus = c.peek() == '-';
        if (c.peek() == '+' || c.peek() == '-') c.next();
        // Leading zeros add nothing; past this bound every value is far out of range, even one with a
        // million digits before the exponent.
        constexpr std::int64_t kBound = 1'000'000'000'000'000;
        for (; isDigit(c.peek()); c.next()) exponent = std::min(kBound, exponent * 10 + (c.peek() - '0'));
        if (minus) exponent = -exponent;
    }
    // However far out of range the scale, the converter saturates to infinity or zero; zeros before or
    // after the significant digits change nothing it reads, and all zeros read as zero with the sign.
    const double v = fromDecimal(digits, static_cast<std::int64_t>(pointAt) + exponent);
    if (std::isinf(v))
        return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    return negative ? -v : v;
}

namespace {

template <typename Int>
Int roundClamp(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<Int>(std::clamp(nearestEven(v), static_cast<double>(std::numeric_limits<Int>::min()),
                                       static_cast<double>(std::numeric_limits<Int>::max())));
}

// Fixed notation with the fewest digits that read back to the same value: a whole number is plain
// digits (100000, not 1e+05), however large, and a fraction never has an exponent either.
template <typename T>
std::string format(T v) {
    if (v == 0) return " 0";  // also turns -0 into a plain zero
    const double magnitude = std::fabs(static_cast<double>(v));
    // The value rounded to more and more significant digits until they read back as the same value,
    // which max_digits10 of them always do.
    std::string digits;
    int exponent = 0;  // of the first digit
    for (int precision = 1; precision <= std::numeric_limits<T>::max_digits10; ++precision) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*e", precision - 1, magnitude);
        // "d.ddde+XX", whatever the locale puts as the point: every character but digits is skipped.
        digits.clear();
        const char* at = buf;
        for (; *at && *at != 'e'; ++at)
            if (isDigit(*at)) digits += *at;
        exponent = std::atoi(at + 1);  // past the 'e', which "%e" always writes
        if (static_cast<T>(fromDecimal(digits, exponent + 1)) == static_cast<T>(magnitude)) break;
    }
    // No trailing zero: digits ending in one read back only if the same digits without it did already.
    std::string text = v < 0 ? "-" : " ";
    if (exponent < 0) {
        text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole) return text + digits + std::string(whole - digits.size(), '0');
        text += digits.substr(0, whole) + "." + digits.substr(whole);
    }
    return text;
}

}  // namespace

std::int16_t toInt16(double v) { return roundClamp<std::int16_t>(v); }
std::int32_t toInt32(double v) { return roundClamp<std::int32_t>(v); }

float toSingle(double v) {
    if (std::isnan(v)) return 0;
    constexpr double kMax = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(v, -kMax, kMax));
}

std::string toText(double v) { return std::isfinite(v) ? format(v) : " 0"; }
std::string toText(float v) { return std::isfinite(v) ? format(v) : " 0"; }

}  // namespace corvane::num
