#include "shell/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace corvane::num {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

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
    std::size_t mark() {
        skip();
        return i_;
    }
    void reset(std::size_t m) { i_ = m; }

  private:
    void skip() {
        while (i_ < s_.size() && isBlank(s_[i_])) ++i_;
    }
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

}  // namespace

double valPrefix(std::string_view text) {
    Cursor c(text);
    if (c.peek() == '&') {
        const std::size_t m = c.mark();
        c.next();
        if (c.peek() == 'H' || c.peek() == 'h') {
            c.next();
            return readHex(c);
        }
        c.reset(m);
        return 0;
    }

    std::string number;  // the accepted characters, blanks removed, for the standard converter
    if (c.peek() == '+' || c.peek() == '-') {
        number += c.peek();
        c.next();
    }
    bool anyDigit = false;
    while (isDigit(c.peek())) {
        number += c.peek();
        c.next();
        anyDigit = true;
    }
    if (c.peek() == '.') {
        number += '.';
        c.next();
        while (isDigit(c.peek())) {
            number += c.peek();
            c.next();
            anyDigit = true;
        }
    }
    if (!anyDigit) return 0;
    const char e = c.peek();
    if (e == 'e' || e == 'E' || e == 'd' || e == 'D') {
        // Only an exponent marker followed by digits belongs to the number.
        const std::size_t m = c.mark();
        std::string exponent = "e";
        c.next();
        if (c.peek() == '+' || c.peek() == '-') {
            exponent += c.peek();
            c.next();
        }
        if (isDigit(c.peek())) {
            while (isDigit(c.peek())) {
                if (exponent.size() < 12) exponent += c.peek();  // beyond that it overflows anyway
                c.next();
            }
            number += exponent;
        } else {
            c.reset(m);
        }
    }
    const double v = std::strtod(number.c_str(), nullptr);
    return std::isfinite(v) ? v : std::copysign(std::numeric_limits<double>::max(), v);
}

namespace {

template <typename Int>
Int roundClamp(double v) {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);  // the default rounding mode sends halves to the even neighbour
    if (r <= static_cast<double>(std::numeric_limits<Int>::min())) return std::numeric_limits<Int>::min();
    if (r >= static_cast<double>(std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
    return static_cast<Int>(r);
}

template <typename T>
std::string format(T v) {
    if (v == 0) return " 0";  // also turns -0 into a plain zero
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, res.ptr);
    return v < 0 ? s : " " + s;
}

}  // namespace

std::int16_t toInt16(double v) { return roundClamp<std::int16_t>(v); }
std::int32_t toInt32(double v) { return roundClamp<std::int32_t>(v); }

float toSingle(double v) {
    if (std::isnan(v)) return 0;
    constexpr double kMax = std::numeric_limits<float>::max();
    if (v > kMax) return std::numeric_limits<float>::max();
    if (v < -kMax) return -std::numeric_limits<float>::max();
    return static_cast<float>(v);
}

std::string toText(double v) { return std::isfinite(v) ? format(v) : " 0"; }
std::string toText(float v) { return std::isfinite(v) ? format(v) : " 0"; }

}  // namespace corvane::num
