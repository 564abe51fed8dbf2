#include "shell/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <utility>

#include "program_fixture.h"

namespace corvane::test {
namespace {

enum class Kind { Int16, Int32, Single, Text };
struct Key {
    const char* name;
    Kind kind;
    double byDefault;  // what a missing key loads as
};

// Every stored key, in the order the store is read and written.
// clang-format off
const Key kKeys[] = {
    {"Position", Kind::Int16, 2},     {"Left", Kind::Single, 0},           {"Top", Kind::Single, 0},
    {"Width", Kind::Single, 10},      {"State", Kind::Int16, 0},           {"ShowTop", Kind::Int16, 1},
    {"Upright", Kind::Int16, 1},      {"LowBound", Kind::Int16, 25},       {"MidBound", Kind::Int16, 50},
    {"EnableAlarm", Kind::Int16, 1},  {"SoundFile", Kind::Text, 0},        {"ShowHelp", Kind::Int16, 1},
    {"FullLife", Kind::Int32, 0},     {"LowColor", Kind::Int32, 4095},     {"MidColor", Kind::Int32, 65535},
    {"HighColor", Kind::Int32, 65280}, {"ACColor", Kind::Int32, 16711680}, {"BGColor", Kind::Int32, 8421504},
    {"GridColor", Kind::Int32, 16777215}, {"BorderColor", Kind::Int32, 16777215}};
// clang-format on

double valueOf(const mKesta& k, std::string_view key) {
    const std::pair<std::string_view, double> values[] = {
        {"Position", k.pnPosOptNum},       {"Left", k.pMonitorLeft},       {"Top", k.pMonitorTop},
        {"Width", k.pMonitorWidth},        {"State", k.pnMonitorHidden},   {"ShowTop", k.pnShowTop},
        {"Upright", k.pnUpright},          {"LowBound", k.pnLowUpper},     {"MidBound", k.pnMidUpper},
        {"EnableAlarm", k.pnAlarmEnabled}, {"ShowHelp", k.pnShowHelpNote}, {"FullLife", k.plFullLifeSaved},
        {"LowColor", k.plColor[0]},        {"MidColor", k.plColor[1]},     {"HighColor", k.plColor[2]},
        {"ACColor", k.plColor[3]},         {"BGColor", k.plColor[4]},      {"GridColor", k.plColor[5]},
        {"BorderColor", k.plColor[6]}};
    for (const auto& [name, v] : values)
        if (name == key) return v;
    ADD_FAILURE() << "no variable for " << key;
    return std::nan("");
}

// The left edge written is where the meter stands: the upper right corner.
TEST(Settings, StartReadsEveryKeyOnceAndExitWritesEachAsTextInTableOrder) {
    const char* texts[] = {" 2",     " 15210", " 0",        " 10",      " 0",        " 1",       " 1",
                           " 25",    " 50",    " 0",        "",         " 1",        " 0",       " 4095",
                           " 65535", " 65280", " 16711680", " 8421504", " 16777215", " 16777215"};
    std::vector<std::string> reads;
    StoreTexts written;
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        reads.push_back("GetSetting(" + sectionOf(kKeys[i].name) + "," + kKeys[i].name + ")");
        written.emplace_back(sectionOf(kKeys[i].name), kKeys[i].name, texts[i]);
    }
    TestProgram p;
    EXPECT_EQ(p.callsStartingWith("GetSetting("), reads);
    p.exit();
    EXPECT_EQ(p.rt.store().entries(), written);
}

TEST(Settings, WhatOneRunSavesTheNextReadsBack) {
    TestProgram first(
        "Position=4 Left=1234.5 Top=-60 Width=14 State=7 ShowTop=0 Upright=0 LowBound=10.5 MidBound=90 "
        "EnableAlarm=1 SoundFile=C:\\Sounds\\ding.wav ShowHelp=0 FullLife=-1 LowColor=&HFFFF& "
        "BGColor=&H123456");
    first.exit();
    // Halves go to the even neighbour; the trailing & makes a colour 32-bit: yellow, not -1.
    std::string saved;
    for (const char* key :
         {"Left", "Top", "State", "EnableAlarm", "ShowHelp", "FullLife", "LowBound", "LowColor"})
        saved += first.stored(key) + ";";
    EXPECT_EQ(saved, " 1234.5;-60; 7; 1; 0;-1; 10; 65535;");

    TestProgram second(first.rt.store().entries());
    for (const Key& key : kKeys) {
        if (key.kind == Kind::Text) continue;
        EXPECT_EQ(valueOf(second.k, key.name), valueOf(first.k, key.name)) << key.name;
    }
    EXPECT_EQ(second.k.psWavFilePath, "C:\\Sounds\\ding.wav");
    second.exit();
    EXPECT_EQ(second.rt.store().entries(), first.rt.store().entries());
}

// Numbers too large, then too small, are clamped to their type. Then every other key present but
// unreadable, the rest missing, and the other way round: each key reads as 0 and as its default once.
// (A first start on an empty store writes the defaults back: see the exit's test.)
TEST(Settings, OutOfRangeNumbersAreClampedATextWithoutANumberGivesZeroAndAMissingKeyItsDefault) {
    constexpr double kFloatMax = std::numeric_limits<float>::max();
    // By kind (16-bit, 32-bit, float).
    const char* texts[2][3] = {{"99999", "1e12", "1e39"}, {"-99999", "-1e12", "-1e39"}};
    const double values[2][3] = {{32767, 2147483647.0, kFloatMax}, {-32768, -2147483648.0, -kFloatMax}};
    const char* noNumber[] = {"", "abc", "&", "-", " . "};
    for (std::size_t way = 0; way < 4; ++way) {
        TestProgram p("", false);
        // The first two ways set every number, the last two every other key from the first or second.
        const auto isSet = [way](std::size_t i) { return way < 2 || i % 2 == way - 2; };
        for (std::size_t i = 0; i < std::size(kKeys); ++i) {
            const Key& key = kKeys[i];
            if (isSet(i) && (way >= 2 || key.kind != Kind::Text))
                p.rt.store().set(sectionOf(key.name), key.name,
                                 way < 2 ? texts[way][int(key.kind)] : noNumber[i / 2 % std::size(noNumber)]);
        }
        loadSettings(p.rt.settings(), p.k);
        for (std::size_t i = 0; i < std::size(kKeys); ++i) {
            const Key& key = kKeys[i];
            if (key.kind == Kind::Text) continue;
            EXPECT_EQ(valueOf(p.k, key.name), way < 2    ? values[way][int(key.kind)]
                                              : isSet(i) ? 0
                                                         : key.byDefault)
                << key.name << " " << way;
        }
    }
}

}  // namespace
}  // namespace corvane::test
