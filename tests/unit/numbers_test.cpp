#include "shell/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace corvane::num {
namespace {

// Huge texts stay finite; the last of them: far from the point, still exact.
TEST(Numbers, ReadsTheNumberAtTheFrontOfAText) {
    constexpr double kMax = std::numeric_limits<double>::max();
    // clang-format off
    const std::pair<std::string, double> cases[] = {
        {"2", 2},           {" 4095", 4095},     {"-1", -1},         {"  12abc", 12},      {"1 2 3", 123},
        {"+7", 7},          {"3.25", 3.25},      {".5", 0.5},        {"-.5x", -0.5},       {"1e3", 1000},
        {"2.5E-1", 0.25},   {"1D2", 100},        {"4e", 4},          {"4e+", 4},           {"", 0},
        {"abc", 0},         {"-", 0},            {".", 0},           {"&", 0},             {"&Q1", 0},
        {"&HFFFF", -1},     {"&HFFFF&", 65535},  {"&hff", 255},      {"&HFFF&", 4095},     {"&HFF0000", 16711680},
        {"&H808080", 8421504}, {"&HFFFFFF", 16777215}, {"&H0FFFF", -1}, {"&HFFFFFFFF", -1}, {"&HFFFFFFFF&", -1},
        {"&H", 0},          {" & H 1 0", 16},    {"&H7FFF", 32767},  {"&H8000", -32768},   {"&H10000", 65536},
        {"&H9", 9},         {"&H19&", 25},       {"&H99", 153},      {"&H9FFF", -24577},   {"&H9FFFF", 655359},
        {"&H10000000000000000", 18446744073709551615.0},  // beyond 64 bits: the largest, not wrapped round
        // Leading zeros of an exponent do not count against its length.
        {"1e00000000000001", 10},      {"5e-000000000000400", 0},    {"2D+00000000000000000002", 200},
        {"1.5e0000000000000000000000000000004", 15000},              {"0.001e0000000000000000000003", 1},
        {"1e999", kMax}, {"-1e999", -kMax}, {std::string(5000, '9') + "x", kMax}, {"1e99999999999999999999999", kMax},
        {"-1e-99999999999999999999999", 0}, {"0e99999999999999999999999", 0},
        {"0." + std::string(5000, '0') + "25e5002", 25},
    };
    // clang-format on
    for (const auto& [text, value] : cases)
        EXPECT_EQ(valPrefix(text), value) << '"' << text.substr(0, 30) << '"';
}

// Clamped to the type as the settings' out-of-range test shows, which loads through these.
TEST(Numbers, RoundsHalvesToEvenAndTakesNotANumberAsZero) {
    const std::pair<double, std::int16_t> int16s[] = {{2.5, 2},   {3.5, 4},   {-2.5, -2},
                                                      {25.5, 26}, {15.3, 15}, {std::nan(""), 0}};
    for (auto [value, rounded] : int16s) EXPECT_EQ(toInt16(value), rounded) << value;
    EXPECT_EQ(toSingle(std::nan("")), 0.0f);
}

TEST(Numbers, WritesDecimalTextWithALeadingBlank) {
    // Whole numbers as plain digits and fractions with a point, however large or small: never an
    // exponent; 3.4e38f in the fewest digits, zeros after. (That it reads back, and every 32-bit whole
    // number's text: the fuzz test's.)
    const std::pair<std::string, const char*> texts[] = {
        // clang-format off
        {toText(std::int16_t{2}), " 2"}, {toText(std::int16_t{-1}), "-1"}, {toText(0.0), " 0"},
        {toText(-0.0), " 0"}, {toText(13845.0f), " 13845"}, {toText(0.5f), " 0.5"}, {toText(-2.25f), "-2.25"},
        {toText(100000.0), " 100000"}, {toText(12000000.0f), " 12000000"}, {toText(1e22), " 10000000000000000000000"},
        {toText(3.4e38f), " 340000000000000000000000000000000000000"}, {toText(-7e-5f), "-0.00007"},
        {toText(1.5e-7), " 0.00000015"}, {toText(1.0f / 3), " 0.33333334"},
        // clang-format on
    };
    for (const auto& [text, want] : texts) EXPECT_EQ(text, want);
}

// Switches the C library to a locale that writes one and a half as "1,5"; where the system lacks one,
// it is built from the locales package's sources into a folder LOCPATH names. Whether it could.
bool decimalCommaLocale() {
    const auto tryNames = [] {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de-DE", "German_Germany.1252"})
            if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point == std::string(","))
                return true;
        return false;
    };
    if (tryNames()) return true;
#ifndef _WIN32
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "corvane-test-locales", built = dir / "de_DE.UTF-8";
    std::error_code ec;
    if (!fs::exists(built, ec)) {
        // Built aside and renamed into place, so a test running beside this one never sees half.
        const fs::path mine = dir / ("de_DE.UTF-8." + std::to_string(::getpid()));
        fs::create_directories(dir, ec);
        const std::string make = "localedef -i de_DE -f UTF-8 '" + mine.string() + "' >/dev/null 2>&1";
        if (std::system(make.c_str()) == 0) fs::rename(mine, built, ec);
        fs::remove_all(mine, ec);
    }
    ::setenv("LOCPATH", dir.c_str(), 1);
    const bool made = tryNames();
    ::unsetenv("LOCPATH");  // the locale is loaded; later look-ups use the system's again
    return made;
#else
    return false;
#endif
}

// A desktop session in a language that writes "1,5" sets the C library's locale before the settings
// are read; the stored texts must mean the same there.
TEST(Numbers, ReadAndWriteTheSameUnderADecimalCommaLocale) {
    const bool switched = decimalCommaLocale();
    const std::shared_ptr<void> backToC(nullptr, [](void*) { std::setlocale(LC_ALL, "C"); });
    if (!switched) GTEST_SKIP() << "no decimal-comma locale, and localedef (package locales) cannot make one";
    // A comma ends the number wherever we are.
    EXPECT_EQ((std::array{valPrefix(" 1.5e4"), valPrefix("13.5"), valPrefix(" 1.2e+07"), valPrefix("2,5")}),
              (std::array{15000.0, 13.5, 12000000.0, 2.0}));
    EXPECT_EQ((std::array{toText(13.5f), toText(-0.25), toText(12000000.0f)}),
              (std::array<std::string, 3>{" 13.5", "-0.25", " 12000000"}));
}

// ---- The reader against a plain reading of the rule, on generated texts ----------------------

bool isDecimal(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDecimal(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The rule read the straightforward way: blanks out, then the longest number at the front, handed to
// the C library's converter (the test runs in the "C" locale).
double referenceRead(std::string_view text) {
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    auto skip = [&](std::size_t i, bool (*digit)(char)) {
        while (i < s.size() && digit(s[i])) ++i;
        return i;
    };
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        const std::size_t end = skip(2, isHex);
        std::string hex = s.substr(2, end - 2);
        hex.erase(0, std::min(hex.size(), hex.find_first_not_of('0')));
        const bool longMark = end < s.size() && s[end] == '&';
        if (hex.size() > 16) return 18446744073709551615.0;  // beyond 64 bits: the largest
        const unsigned long long v = hex.empty() ? 0 : std::stoull(hex, nullptr, 16);
        if (!longMark && hex.size() <= 4) return static_cast<std::int16_t>(v);
        if (hex.size() <= 8) return static_cast<std::int32_t>(v);
        return static_cast<double>(v);
    }
    std::size_t i = s.empty() || (s[0] != '+' && s[0] != '-') ? 0 : 1;
    const std::size_t intEnd = skip(i, isDecimal);
    std::size_t end = intEnd;
    bool anyDigit = intEnd > i;
    if (end < s.size() && s[end] == '.') {
        end = skip(end + 1, isDecimal);
        anyDigit = anyDigit || end > intEnd + 1;
    }
    if (!anyDigit) return 0;
    std::string number = s.substr(0, end);
    if (end < s.size() && (s[end] == 'e' || s[end] == 'E' || s[end] == 'd' || s[end] == 'D')) {
        std::size_t j = end + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const std::size_t expEnd = skip(j, isDecimal);
        if (expEnd > j) number.append("e").append(s, end + 1, expEnd - end - 1);
    }
    const double v = std::strtod(number.c_str(), nullptr);
    return std::isinf(v) ? std::copysign(std::numeric_limits<double>::max(), v) : v;
}

// Texts made of the pieces numbers are made of, with the odd stranger, so most of them reach the
// corners of the rule: signs, points, exponents long and short, blanks inside, hexadecimal marks.
std::string generateText(std::mt19937_64& rng) {
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    auto run = [&](std::string_view alphabet, std::size_t maxLength) {
        std::string r(1 + pick(maxLength), ' ');
        for (char& c : r) c = alphabet[pick(alphabet.size())];
        return r;
    };
    const std::string_view digits = "0123456789";
    const std::function<std::string()> pieces[] = {
        [&] { return run(digits, 6); },
        [&] { return run(digits, 6); },
        [&] { return std::string(pick(30), '0') + run(digits, 3); },
        [&] { return run(digits, 400); },
        [&] { return run(".+-eEdD \t\n", 1); },
        [&] {  // an exponent, often with leading zeros or far too many digits
            return run("eEdD", 1) + run("+-", 1).substr(pick(2)) + std::string(pick(25), '0') +
                   run(digits, 1 + pick(3) * 8);
        },
        [&] { return run("&Hh", 2); },
        [&] { return run("0123456789abcdefABCDEF", 18); },
        [&] { return std::string(1, static_cast<char>(pick(256))); },
    };
    std::string t;
    for (std::size_t n = 1 + pick(7); n > 0; --n) t += pieces[pick(std::size(pieces))]();
    return t;
}

long long envCount(const char* name, long long fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoll(v) : fallback;
}

// tools/fuzz-numbers runs this with millions of texts and other seeds.
TEST(NumbersFuzz, ReaderAgreesWithThePlainReadingAndEveryNumberReadsBackAsWritten) {
    const long long count = envCount("CORVANE_FUZZ_TEXTS", 20000);
    std::mt19937_64 rng(static_cast<std::uint64_t>(envCount("CORVANE_FUZZ_SEED", 1)));
    long long misread = 0, notRoundTripped = 0, fromBits = 0;
    std::string examples;
    auto note = [&](long long& counter, const char* what, const std::string& text) {
        if (++counter <= 5) examples.append(what).append(text).append("\n");
    };
    auto quoted = [](const std::string& s) { return ::testing::PrintToString(s.substr(0, 80)); };
    // Plain decimal text: a blank or "-", then digits and at most a point, never an exponent.
    auto plain = [](const std::string& t) {
        return (t[0] == ' ' || t[0] == '-') && t.find_first_not_of("0123456789.", 1) == std::string::npos;
    };
    auto checkRoundTrip = [&](double v) {
        const std::string text = toText(v);
        if (!plain(text) || valPrefix(text) != v) note(notRoundTripped, "wrote ", quoted(text));
        const float f = toSingle(v);
        const std::string ftext = toText(f);
        if (!plain(ftext) || toSingle(valPrefix(ftext)) != f)
            note(notRoundTripped, "wrote float ", quoted(ftext));
        const std::int32_t l = toInt32(v);
        if (toText(l) != std::string(l < 0 ? "" : " ").append(std::to_string(l)))
            note(notRoundTripped, "wrote ", toText(l));
    };
    for (long long n = 0; n < count; ++n) {
        const std::string text = generateText(rng);
        const double got = valPrefix(text), want = referenceRead(text);
        if (!(got == want))
            note(misread, "", quoted(text) + " read as " + toText(got) + ", not " + toText(want));
        checkRoundTrip(got);
        if (n % 4 == 0) {  // and any double at all, from its bits (most are long texts, so fewer)
            if (const auto any = std::bit_cast<double>(rng()); std::isfinite(any)) {
                checkRoundTrip(any);
                ++fromBits;
            }
        }
    }
    EXPECT_EQ(misread, 0) << examples;
    EXPECT_EQ(notRoundTripped, 0) << examples;
    std::printf("%lld texts read and compared; %lld numbers written and read back as double, float and int\n",
                count, count + fromBits);
}

}  // namespace
}  // namespace corvane::num
