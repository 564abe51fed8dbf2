// The program's start and end: the command line, the settings read and written, the stored state, a
// second start and the end of the session.

#include <gtest/gtest.h>

#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "program_fixture.h"
#include "shell/command_line.h"
#include "shell/settings.h"

namespace corvane::test {
namespace {

// The stored state decides whether the meter starts shown. A second start of the program while this
// one runs brings the meter forward, shown the way the menu shows it and lifted within its band; no
// second icon, nothing else.
TEST(Startup, TheStoredStateDecidesWhetherTheMeterStartsShownAndAnotherStartShowsIt) {
    // Stored, shown at the start, hidden by a double-click, the lift, the state saved.
    const std::tuple<const char*, bool, bool, const char*, const char*> cases[] = {
        // clang-format off
        {"", true, false, "SetTopmost(frmMonitor,1)", " 0"},       {"State=0", true, true, "SetTopmost(frmMonitor,1)", " 0"},
        {"State=1", false, false, "SetTopmost(frmMonitor,1)", " 0"},
        {"ShowTop=0 State=1", false, false, "SetTopmost(frmMonitor,0)", " 0"},
        {"State=7", true, false, "SetTopmost(frmMonitor,1)", " 7"},  // unknown: kept
        // clang-format on
    };
    for (const auto& [stored, shown, hideByDoubleClick, lift, savedState] : cases) {
        SCOPED_TRACE(std::string(stored) + (hideByDoubleClick ? " + double-click" : ""));
        TestProgram p(stored);
        EXPECT_EQ(p.rt.calls.front(), "TrayAdd(Battery status)");
        // Even a meter that starts hidden has been loaded and placed first.
        EXPECT_EQ(placeOf(p.meterWindow()), (Rect{15210, 0, 150, 765}));
        EXPECT_EQ((std::tuple{p.meterWindow().visible(), p.firstCaption()}),
                  (std::tuple{shown, shown ? kHideMeterCaption : kShowMeterCaption}));
        p.ticks(1);  // the first tick puts the meter into the band the settings ask for
        if (hideByDoubleClick) p.meter().picHistory.dblClick();
        const bool wasTopmost = p.meterWindow().topmost();
        p.rt.calls.clear();
        p.rt.anotherStarted();
        EXPECT_TRUE(p.rt.calls.empty()) << "handled from the event loop, not inside the caller";
        p.rt.runPosted();
        EXPECT_EQ((std::tuple{p.meterWindow().visible(), p.firstCaption(), p.meterWindow().topmost()}),
                  (std::tuple{true, kHideMeterCaption, wasTopmost}));
        EXPECT_EQ(p.rt.calls, std::vector<std::string>{lift});
        p.exit();
        EXPECT_EQ(p.stored("State"), savedState);
    }
}

// A double-click on the meter hides it as the menu's command does.
TEST(Startup, TheMenuCommandShowsTheMeterADoubleClickHidesItAndTheStateIsKeptToTheEnd) {
    TestProgram p("State=1");
    auto state = [&p] {
        return std::tuple{p.meterWindow().visible(), p.firstCaption(), p.k.pnMonitorHidden};
    };
    p.main().ToggleMonitor();
    EXPECT_EQ(state(), (std::tuple{true, kHideMeterCaption, std::int16_t{0}}));
    p.meter().picHistory.dblClick();
    EXPECT_EQ(state(), (std::tuple{false, kShowMeterCaption, std::int16_t{1}}));
    // Only the first item tells the state; the others keep their captions.
    std::vector<std::string> captions;
    for (const MenuItem& item : p.main().mnuMenuArray) captions.push_back(item.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{kShowMeterCaption, "-", "Preferences...", "-",
                                                  "Help Topics", "About", "-", "Exit"}));
    // A second start heard just before the end is handled never, and one after it changes nothing.
    p.rt.anotherStarted();
    p.exit();
    const auto callsAtEnd = p.rt.calls;
    p.rt.anotherStarted();
    p.rt.runPosted();
    EXPECT_EQ((std::tuple{p.rt.calls, p.meterWindow().visible(), p.stored("State")}),
              (std::tuple{callsAtEnd, false, " 1"}));
}

TEST(Shutdown, SavesWhereTheMeterStandsNothingRunsAfterwardsAndAFailedSaveChangesNothing) {
    TestProgram p;  // upper right corner
    p.dragBy(500, 100, -91, 20);
    p.exit();
    EXPECT_EQ(p.stored("Position") + p.stored("Left") + p.stored("Top"), " 2 13845 300");
    // The revive step would have put the meter back into its corner at 2 s.
    const auto callsAtEnd = p.rt.calls;
    p.rt.advance(5000);
    EXPECT_EQ((std::tuple{p.meterWindow().left(), p.rt.calls}), (std::tuple{13845, callsAtEnd}));
    // The next start puts it back into the corner all the same. A store that cannot be written then
    // keeps its values, and the program still ends.
    TestProgram next(p.rt.store().entries());
    EXPECT_EQ(placeOf(next.meterWindow()), (Rect{15210, 0, 150, 765}));
    const auto before = next.rt.store().entries();
    next.rt.store().failWrites = true;
    next.dragBy(500, 100, -100, 0);
    next.exit();
    EXPECT_EQ((std::tuple{next.rt.store().entries(), next.rt.problems.size(), next.rt.ended(),
                          next.meterWindow().topmost()}),
              (std::tuple{before, 1u, true, false}));
    // The program gone, the tray that outlives it holds no handler into it.
    HeadlessRuntime rt;
    auto gone = std::make_unique<Program>(rt);
    gone->start();
    gone.reset();
    EXPECT_FALSE(rt.tray().onEvent);
}

// ---- The stored settings ----

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

template <class... T>
std::vector<double> doubles(T... v) {
    return {double(v)...};
}
// The variables of the keys in kKeys's order, the text's place kept by a 0.
std::vector<double> valuesOf(const mKesta& k) {
    return doubles(k.pnPosOptNum, k.pMonitorLeft, k.pMonitorTop, k.pMonitorWidth, k.pnMonitorHidden,
                   k.pnShowTop, k.pnUpright, k.pnLowUpper, k.pnMidUpper, k.pnAlarmEnabled, 0,
                   k.pnShowHelpNote, k.plFullLifeSaved, k.plColor[0], k.plColor[1], k.plColor[2],
                   k.plColor[3], k.plColor[4], k.plColor[5], k.plColor[6]);
}

// What the exit of a first run writes for each key: the left edge is where the meter stands, the upper
// right corner.
const char* kFirstTexts[] = {" 2",     " 15210", " 0",        " 10",      " 0",        " 1",       " 1",
                             " 25",    " 50",    " 0",        "",         " 1",        " 0",       " 4095",
                             " 65535", " 65280", " 16711680", " 8421504", " 16777215", " 16777215"};

// The start reads every key once, in kKeys's order. Reasons 0 to 3 end the program (2: the user logs
// off or the machine shuts down); any other does nothing at all.
TEST(Shutdown, EveryKnownCloseReasonRemovesTheIconSavesAndEndsAndAnUnknownOneDoesNothing) {
    // The icon goes, every key is written as text in kKeys's order, and the meter comes off the top.
    std::vector<std::string> reads, ends{"TrayRemove"};
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        const std::string key = sectionOf(kKeys[i].name) + "," + kKeys[i].name;
        reads.push_back("GetSetting(" + key + ")");
        ends.push_back("SaveSetting(" + key + "," + kFirstTexts[i] + ")");
    }
    ends.insert(ends.end(), {"SetTopmost(frmMonitor,0)", "End"});
    for (std::int16_t reason : {-1, 0, 1, 2, 3, 4, 5}) {
        SCOPED_TRACE(reason);
        TestProgram p;
        EXPECT_EQ(p.callsStartingWith("GetSetting("), reads);
        p.rt.calls.clear();
        reason == 2 ? p.rt.endSession() : p.exit(reason);
        const auto& calls = p.rt.calls;
        if (reason < 0 || reason > 3) {
            EXPECT_EQ((std::array{calls.empty(), p.rt.store().entries().empty(), p.rt.ended()}),
                      (std::array{true, true, false}));
            continue;
        }
        EXPECT_EQ(calls, ends);
        // The icon came with the start tip and went, and nothing else reached it.
        EXPECT_EQ(p.rt.tray().calls, (std::vector<std::pair<TrayCall, std::string>>{
                                         {TrayCall::Add, "Battery status"}, {TrayCall::Remove, ""}}));
    }
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
    EXPECT_EQ(valuesOf(second.k), valuesOf(first.k));
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
        const std::vector<double> loaded = valuesOf(p.k);
        for (std::size_t i = 0; i < std::size(kKeys); ++i)
            if (const Key& key = kKeys[i]; key.kind != Kind::Text) {
                EXPECT_EQ(loaded[i], way < 2    ? values[way][int(key.kind)]
                                     : isSet(i) ? 0
                                                : key.byDefault)
                    << key.name << " " << way;
            }
    }
}

// ---- The command line ----

CommandLineOutcome read(std::vector<const char*> args) {
    args.insert(args.begin(), "corvane");
    return readCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, SwitchesAnswerAndEndInOrderAnythingElseIsRefused) {
    enum Answer { Start, Version, Help, Refused };
    struct Case {
        std::vector<const char*> args;
        Answer answer;
        const char* complaint = "";
    } const cases[] = {
        // clang-format off
        {{}, Start}, {{"--"}, Start}, {{"--version"}, Version}, {{"--help"}, Help}, {{"-h"}, Help},
        {{"--version", "--bogus"}, Version},  // the first switch answers before the rest is read
        {{"--help", "--version"}, Help},
        // What a terminal would act on is shown escaped: C0, DEL, C1 as a byte and in UTF-8 (also in
        // a longer form); other text as it came, in UTF-8 or Latin-1. The last: the ends of plain text.
        {{"--bogus", "--version"}, Refused, "unknown option '--bogus'"}, {{"-v"}, Refused, "unknown option '-v'"},
        {{"--vers"}, Refused, "unknown option '--vers'"}, {{"--version=2"}, Refused, "unknown option '--version=2'"},
        {{"-platform"}, Refused, "unknown option '-platform'"}, {{"/?"}, Refused, "takes no arguments, found '/?'"},
        {{"file.ini"}, Refused, "takes no arguments, found 'file.ini'"}, {{""}, Refused, "takes no arguments, found ''"},
        {{"-"}, Refused, "takes no arguments, found '-'"},
        {{"--", "--version"}, Refused, "takes no arguments, found '--version'"},
        {{"--\x1b[2J\tx\x1f\x7f"}, Refused, "unknown option '--\\x1b[2J\\x09x\\x1f\\x7f'"},
        {{"--\x9bK\xc2\x9bK\xe0\x82\x9bK\xc1\x9bK\xe0\x9f\xbf\xf5\x80\x80\x80\xed\xa0\x80\xf4\x90\x80\x80\xc2\x9fK\xf0\x8f\x82\xac\xdf\x80\x80"}, Refused,
         "unknown option '--\\x9bK\\xc2\\x9bK\xe0\\x82\\x9bK\xc1\\x9bK\xe0\\x9f\xbf\xf5\\x80\\x80\\x80\xed\xa0\\x80\xf4\\x90\\x80\\x80\\xc2\\x9fK\xf0\\x8f\\x82\xac\xdf\x80\\x80'"},
        {{"--caf\xc3\xa9-caf\xe9-\xc2\xa0-\xa0-\xe0\xa0\x80\xed\x9f\xbf-\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"}, Refused,
         "unknown option '--caf\xc3\xa9-caf\xe9-\xc2\xa0-\xa0-\xe0\xa0\x80\xed\x9f\xbf-\xf0\x90\x80\x80\xf4\x8f\xbf\xbf'"},
        {{"--\xc2\x1b[2J"}, Refused, "unknown option '--\xc2\\x1b[2J'"},  // a lead byte does not hide an escape
        {{"a\nb"}, Refused, "takes no arguments, found 'a\\x0ab'"}, {{"a b~"}, Refused, "takes no arguments, found 'a b~'"},
        // clang-format on
    };
    const std::string help = read({"--help"}).out;
    EXPECT_EQ(help.rfind("Usage: corvane [--help | --version]\n", 0), 0u);
    EXPECT_NE(help.find("--version  print the version"), std::string::npos);
    for (const Case& c : cases) {
        std::string line;
        for (const char* a : c.args) line += std::string(a) + ' ';
        const CommandLineOutcome got = read(c.args);
        EXPECT_EQ(got.start, c.answer == Start) << line;
        EXPECT_EQ(got.exitStatus, c.answer == Refused ? 2 : 0) << line;
        EXPECT_EQ(got.out, c.answer == Version ? "Corvane 2.2\n" : c.answer == Help ? help : "") << line;
        EXPECT_EQ(got.err, c.answer == Refused ? "corvane: " + std::string(c.complaint) + "\n" + help : "")
            << line;  // then the usage
    }
}

}  // namespace
}  // namespace corvane::test
