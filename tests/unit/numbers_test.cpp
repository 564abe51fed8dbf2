#include "shell/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "decimal_comma_locale.h"

namespace corvane::num {
namespace {

TEST(Numbers, ReadsTheNumberAtTheFrontOfAText) {
    struct Case {
        const char* text;
        double value;
    };
    // clang-format off
    const Case cases[] = {
        {"2", 2},           {" 4095", 4095},     {"-1", -1},         {"  12abc", 12},      {"1 2 3", 123},
        {"+7", 7},          {"3.25", 3.25},      {".5", 0.5},        {"-.5x", -0.5},       {"1e3", 1000},
        {"2.5E-1", 0.25},   {"1D2", 100},        {"4e", 4},          {"4e+", 4},           {"", 0},
        {"abc", 0},         {"-", 0},            {".", 0},           {"&", 0},             {"&Q1", 0},
        {"&HFFFF", -1},     {"&HFFFF&", 65535},  {"&hff", 255},      {"&HFFF&", 4095},     {"&HFF0000", 16711680},
        {"&H808080", 8421504}, {"&HFFFFFF", 16777215}, {"&H0FFFF", -1}, {"&HFFFFFFFF", -1}, {"&HFFFFFFFF&", -1},
        {"&H", 0},          {" & H 1 0", 16},    {"&H7FFF", 32767},  {"&H8000", -32768},   {"&H10000", 65536},
        {"&H9", 9},         {"&H19&", 25},       {"&H99", 153},      {"&H9FFF", -24577},   {"&H9FFFF", 655359},
        // Leading zeros of an exponent do not count against its length.
        {"1e00000000000001", 10},      {"5e-000000000000400", 0},    {"2D+00000000000000000002", 200},
        {"1.5e0000000000000000000000000000004", 15000},              {"0.001e0000000000000000000003", 1},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(valPrefix(c.text), c.value) << '"' << c.text << '"';
}

TEST(Numbers, HugeTextsStayFinite) {
    EXPECT_EQ(valPrefix("1e999"), std::numeric_limits<double>::max());
    EXPECT_EQ(valPrefix("-1e999"), -std::numeric_limits<double>::max());
    EXPECT_GT(valPrefix("&HFFFFFFFFFFFFFFFFFFFF&"), 1e18);
    EXPECT_EQ(valPrefix(std::string(5000, '9') + "x"), std::numeric_limits<double>::max());
    EXPECT_EQ(valPrefix("1e99999999999999999999999"), std::numeric_limits<double>::max());
    EXPECT_EQ(valPrefix("-1e-99999999999999999999999"), 0);
    EXPECT_EQ(valPrefix("0e99999999999999999999999"), 0);
    EXPECT_EQ(valPrefix("0." + std::string(5000, '0') + "25e5002"), 25);  // far from the point, still exact
}

TEST(Numbers, RoundsHalvesToEvenAndClampsToTheType) {
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(25.5), 26);
    EXPECT_EQ(toInt16(15.3), 15);
    EXPECT_EQ(toInt16(40000), 32767);
    EXPECT_EQ(toInt16(-40000), -32768);
    EXPECT_EQ(toInt16(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(toInt32(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(toInt32(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(toInt32(65535), 65535);
    EXPECT_EQ(toSingle(1e300), std::numeric_limits<float>::max());
    EXPECT_EQ(toSingle(-1e300), -std::numeric_limits<float>::max());
}

TEST(Numbers, WritesDecimalTextWithALeadingBlank) {
    EXPECT_EQ(toText(std::int16_t{2}), " 2");
    EXPECT_EQ(toText(std::int32_t{4095}), " 4095");
    EXPECT_EQ(toText(std::int16_t{-1}), "-1");
    EXPECT_EQ(toText(0.0), " 0");
    EXPECT_EQ(toText(-0.0), " 0");
    EXPECT_EQ(toText(13845.0f), " 13845");
    EXPECT_EQ(toText(0.5f), " 0.5");
    EXPECT_EQ(toText(-2.25f), "-2.25");
    EXPECT_EQ(toText(std::int32_t{16711680}), " 16711680");
    // Whole numbers as plain digits and fractions with a point, however large or small: never an exponent.
    EXPECT_EQ(toText(100000.0), " 100000");
    EXPECT_EQ(toText(12000000.0f), " 12000000");
    EXPECT_EQ(toText(std::int32_t{-2000000000}), "-2000000000");
    EXPECT_EQ(toText(1e22), " 10000000000000000000000");
    EXPECT_EQ(toText(3.4e38f), " 339999995214436424907732413799364296704");  // the float's exact value
    EXPECT_EQ(toText(-7e-5f), "-0.00007");
    EXPECT_EQ(toText(1.5e-7), " 0.00000015");
    // What is written reads back to the same value.
    for (float v : {0.1f, 1.0f / 3, 123456.789f, -7e-5f, 3.4e38f, 1e-45f})
        EXPECT_EQ(toSingle(valPrefix(toText(v))), v) << toText(v);
}

// A desktop session in a language that writes "1,5" sets the C library's locale before the settings
// are read; the stored texts must mean the same there.
TEST(Numbers, ReadAndWriteTheSameUnderADecimalCommaLocale) {
    test::DecimalCommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << locale.whyNot();
    EXPECT_EQ(valPrefix(" 1.5e4"), 15000);
    EXPECT_EQ(valPrefix("13.5"), 13.5);
    EXPECT_EQ(valPrefix(" 1.2e+07"), 12000000);
    EXPECT_EQ(valPrefix("2,5"), 2);  // a comma ends the number wherever we are
    EXPECT_EQ(toText(13.5f), " 13.5");
    EXPECT_EQ(toText(-0.25), "-0.25");
    EXPECT_EQ(toText(12000000.0f), " 12000000");
}

}  // namespace
}  // namespace corvane::num
