// The one-second tick on the headless backend: readings, the hour of samples and its phase, the
// minutes on battery, the blink and the alarm, the tray tip, a whole day of ticking; the estimates and
// the status text drawn from the samples; the meter's picture by its pixels and what each tick costs.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <random>
#include <set>
#include <sstream>

#include "program_fixture.h"

// Counts the allocations that are alive, so a long run can show that the program's memory stays flat.
namespace {
std::atomic<long> gLiveAllocations{0};
void* take(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (p) ++gLiveAllocations;
    return p;
}
void giveBack(void* p) {
    if (p) --gLiveAllocations;
    std::free(p);
}
}  // namespace
void* operator new(std::size_t n) {
    if (void* p = take(n)) return p;
    throw std::bad_alloc();
}
// The library's temporary buffers (std::stable_sort) come from the nothrow form.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return take(n); }
void operator delete(void* p) noexcept { giveBack(p); }
void operator delete(void* p, std::size_t) noexcept { giveBack(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { giveBack(p); }

namespace corvane::test {
namespace {

TEST(Readings, TheLevelSourceAndFullLifeAsTheTickReadsThem) {
    // The line status, percent and full life read; the level and source the meter takes. (That the full
    // life is saved: the settings' round trip.)
    const std::tuple<std::uint8_t, std::uint8_t, std::int32_t, float, const char*> cases[] = {
        {1, 57, 7200, 57, "AC"},  {1, 99, 7200, 99, "AC"}, {0, 100, -1, 100, "DC"},
        {255, 101, 0, 100, "DC"}, {0, 255, 5, 100, "DC"},  {7, 0, 9, 0, "DC"}};
    TestProgram p;
    for (const auto& [ac, percent, fullLife, level, source] : cases) {
        p.rt.setPowerStatus(
            {.ACLineStatus = ac, .BatteryLifePercent = percent, .BatteryFullLifeTime = fullLife});
        p.meter().ReadPowerStatus();
        EXPECT_EQ((std::tuple{p.meter().mEnergyLevel, p.meter().msPowerSrc, p.k.plFullLifeSaved}),
                  (std::tuple{level, std::string(source), fullLife}))
            << int(ac) << " " << int(percent);
    }
}

// Ticks second by second and writes down each sample the tick takes ("time source level elapsed; "),
// telling a sample by the history filling up (it holds fewer than sixty here).
std::string samplesOver(TestProgram& p, int seconds) {
    const auto& sources = p.meter().msSrcHistory;
    std::string out;
    for (int i = 0; i < seconds; ++i) {
        const auto before = std::count(sources.begin(), sources.end(), "");
        p.ticks(1);
        if (std::count(sources.begin(), sources.end(), "") != before)
            out += p.rt.clock().timeOfDay() + " " + sources[0] + " " +
                   std::to_string(int(p.meter().mHistory[0])) + " " + std::to_string(p.k.pnElapsedMin) + "; ";
    }
    return out;
}

// A tick late by a second still samples; a whole hour missed looks like no time at all.
TEST(Tick, SamplesFallOnTheSecondOfTheLastChangeOfSource) {
    TestProgram p("", false);
    p.rt.setTimeOfDay(10, 20, 36);  // the first tick comes a second after the start: 10:20:37
    p.power(true, 80);
    p.program.start();
    EXPECT_EQ(samplesOver(p, 275),  // to 10:25:11
              "10:20:37 AC 80 0; 10:21:37 AC 80 0; 10:22:37 AC 80 0; 10:23:37 AC 80 0; 10:24:37 AC 80 0; ");
    p.power(false, 79);                                                      // unplugged at 10:25:12
    EXPECT_EQ(samplesOver(p, 121), "10:26:12 DC 79 1; 10:27:12 DC 79 2; ");  // to 10:27:12
    EXPECT_EQ(p.meter().msSrcHistory[2], "AC");  // the mains samples move down the history
    p.rt.setTimeOfDay(10, 28, 12);               // the tick due at 10:28:12 comes a second late
    EXPECT_EQ(samplesOver(p, 1), "10:28:13 DC 79 3; ");
    p.rt.setTimeOfDay(11, 28, 20);  // no tick for an hour: the same shifted minute, no sample
    EXPECT_TRUE(samplesOver(p, 1).empty());
    EXPECT_EQ(samplesOver(p, 60), "11:29:12 DC 79 4; ");
    p.power(true, 79);
    p.ticks(1);  // plugged in again
    EXPECT_EQ(p.k.pnElapsedMin, 0);
    p.ticks(120);
    EXPECT_EQ(p.k.pnElapsedMin, 0);
}

TEST(Tick, TheSixtyFirstSampleDropsTheFirstAndElapsedMinutesStopAtTheirLargest) {
    TestProgram p;
    p.power(false, 90);
    p.ticks(1);
    for (int minute = 1; minute <= 60; ++minute) {
        p.power(false, 90 - minute % 80);
        p.ticks(60);
    }
    // The 61st sample, then the second; the first, 90, is gone.
    EXPECT_EQ((std::tuple{p.meter().mHistory[0], p.meter().mHistory[59], p.k.pnElapsedMin}),
              (std::tuple{30, 89, 60}));
    p.k.pnElapsedMin = 32766;
    p.ticks(120);
    EXPECT_EQ(p.k.pnElapsedMin, 32767);
}

// The alarm sounds at once on a meter that starts low, then every tenth low tick, and the count goes on
// where it stopped. (The bound of low, which the blink and the alarm share, and the blink itself:
// MeterDrawing's; the bar shown again on the third low tick: the test of each change's cost.)
TEST(Tick, LowOnBatteryTheAlarmSoundsEveryTenthTick) {
    TestProgram p("SoundFile=C:\\alarm.wav", [](TestProgram& q) { q.power(false, 24); });
    p.ticks(11);  // eleventh low tick: the second sound
    EXPECT_EQ(p.callsStartingWith("PlaySound").size(), 2u);
    p.ticks(7);  // 7 more low ticks
    p.power(true, 24);
    p.ticks(30);  // mains: the bar shown (low colour near the bottom), no sound, however low
    EXPECT_EQ(p.meter().picHistory.image().at(2, 48), 0xFFFu);
    p.power(false, 24);
    p.ticks(2);
    EXPECT_EQ(p.callsStartingWith("PlaySound").size(), 2u);
    p.ticks(1);  // the third low tick after the pause, not the tenth
    EXPECT_EQ(p.callsStartingWith("PlaySound"), (std::vector<std::string>(3, "PlaySound(C:\\alarm.wav)")));
    p.k.pnAlarmEnabled = 0;
    p.ticks(20);  // silent without the alarm
    EXPECT_EQ(p.callsStartingWith("PlaySound").size(), 3u);
}

// The load colours the meter and puts it on top whatever ShowTop says; the first tick applies it.
TEST(Tick, TheFirstTickAppliesShowTopAndEveryTickSetsTheTrayTip) {
    for (bool hover : {true, false}) {
        TestProgram p("ShowTop=0 BorderColor=1193046", false);  // &H123456, the window's own colour
        p.rt.tray().setReportsHover(hover);
        p.power(true, 57);
        p.program.start();
        p.rt.advance(999);  // the first tick comes a whole second after the start
        const std::vector<Color>& pixels = p.meter().picHistory.image().pixels();
        EXPECT_EQ(
            (std::tuple{p.meterWindow().topmost(), p.k.psTrayTip,
                        std::count(pixels.begin(), pixels.end(), 0x808080u), p.meterWindow().backColor(),
                        p.callsStartingWith("SetTopmost(frmMonitor,1)").size()}),
            (std::tuple{true, "", 8 * 51, 0x123456u, 1u}));
        p.rt.advance(1);
        EXPECT_EQ((std::tuple{p.meterWindow().topmost(), p.k.psTrayTip}),
                  (std::tuple{false, " Energy level: 57 %, Acquiring data..."}));
        p.ticks(3);
        // An icon that does not report hovering gets the tip whenever it changes, and only then; one that
        // does keeps the tip it was added with until it is hovered.
        EXPECT_EQ(p.rt.tray().calls.size(), hover ? 1u : 2u);
        EXPECT_EQ(p.rt.tray().calls.back().second, hover ? std::string("Battery status") : p.k.psTrayTip);
    }
}

// A day on battery and mains with the plug pulled and pushed at random moments: nothing breaks, the
// history keeps its shape at every tick, the meter repaints only when its picture changes, and the
// program's memory does not grow.
TEST(Tick, ADayOfTickingKeepsTheHistoryWholeAndTheMemoryFlat) {
    TestProgram p;
    std::mt19937 rng(20261206);
    bool mains = false;
    int level = 100;
    long liveAfterAnHour = 0;
    int repaints = 0, changesOrBlinks = 0;
    for (int second = 1; second <= 86400; ++second) {
        const bool wasMains = mains;
        const int wasLevel = level;
        if (rng() % 1800 == 0) mains = !mains;
        if (rng() % 90 == 0) level = std::clamp(level + (mains ? 1 : -1), 0, 100);
        changesOrBlinks += mains != wasMains || level != wasLevel || (!mains && level < 25);
        p.power(mains, level);
        const int before = p.rt.peerOf(p.meterWindow()).repaints;
        p.ticks(1);
        p.rt.calls.clear();
        repaints += p.rt.peerOf(p.meterWindow()).repaints - before;
        const frmMonitor& m = p.meter();
        ASSERT_EQ(m.mEnergyLevel, float(level)) << second;
        for (int i = 0; i < kHistorySize; ++i) {
            // A slot is filled exactly when it has a source; levels stay within 0 to 100.
            ASSERT_TRUE(m.msSrcHistory[i].empty() ? m.mHistory[i] == 0
                                                  : m.msSrcHistory[i] == "AC" || m.msSrcHistory[i] == "DC")
                << second << " " << i;
            ASSERT_TRUE(m.mHistory[i] >= 0 && m.mHistory[i] <= 100);
        }
        ASSERT_LE(p.k.psTrayTip.size(), 60u);
        if (second == 3600) liveAfterAnHour = gLiveAllocations;
    }
    EXPECT_EQ(gLiveAllocations, liveAfterAnHour);
    EXPECT_LE(repaints, changesOrBlinks + 1);  // the same picture is not repainted
}

// ---- The time estimates and the status text ----

// "DC 76 77 78 AC 100": levels newest first, each under the source named before it; the rest of the
// history stays as the load left it.
void setHistory(frmMonitor& m, const std::string& samples) {
    std::istringstream in(samples);
    std::string source;
    int i = 0;
    for (std::string word; in >> word;)
        if (word == "AC" || word == "DC")
            source = word;
        else {
            m.mHistory[i] = std::stof(word);
            m.msSrcHistory[i++] = source;
        }
}

TEST(Estimate, ALineThroughTheNewestRunOnOneSourceOfSixteenSamplesAtMostExtendedToFullOrEmpty) {
    const std::tuple<const char*, std::int16_t, std::int16_t> cases[] = {
        // history, charge, discharge
        // clang-format off
        {"AC 50 48 46 44 42", 25, 999}, {"AC 60 58 56 54 52", 20, 999},  // slope 2 on mains, after start-up
        {"AC 50 48 46 44",                            999, 999},   // four samples are too few
        {"AC 100 98 96",                              0, 999},     // full: whatever the history
        {"AC 100.9 98 96 94 92 90",                   0, 999},     // the whole part counts
        {"DC 76 77 78 79 80",                       999, 999},   // the oldest compares with an empty slot
        {"DC 76 77 78 79 80 81",                    999, 76},    {"DC 76 77 78 79 80 AC 100", 999, 76},
        {"DC 76 77 78 79 80 AC 70",                 999, 999},   // stopped by the higher mains sample
        {"DC 78 79 80 81 82 83 84 85 86 87 88 89 90",999, 78},    // twelve samples at most
        {"DC 30 32 35 37 40 45",                    999, 12},    // slope 2.5
        {"DC 25 27 29 31 33 33",                    999, 12},    // 12.5 to the even neighbour
        {"DC 27 29 31 33 35 35",                    999, 14},    // 13.5 likewise
        {"DC 50 50 50 50 50 50 50 50 50 50 50 50",  999, 999},   // flat: no estimate
        {"DC 0 10 20 30 40 50",                     999, 0},     {"DC 0.5 10 20 30 40 50", 999, 0},  // empty
        {"DC 1 2 3 4 5 6",                          999, 1},     // a level of 1 is not empty yet
        {"DC 50 49 51 52 53 54 55", 999, 999}, {"DC 49 50 51 52 53 54 55", 999, 49},  // rose: ended
        {"AC 57 56 55 54 53 52 51 0 55",              43, 999},    // a zero ends the run: the rest counts not
        {"AC 57 56 55 54 53 DC 52 51",                43, 999},    // so does another source
        {"AC 57 56 55 55 54 53 52 51 50 49 48 47 46 45 44", 47, 999},  // equal levels do not stop it
        {"AC 5 4 3 2 1",                              95, 999},    // down to a level of 1: still a sample
        {"AC 88 87 86 85 83 83 81",                   10, 999},    // 12 / (8/7): 10.5 exactly, so 10
        // no trend at all
        {"AC 20 20 20 20 20 20 20", 999, 999}, {"AC 99.99 99.99 99.99 99.99 99.99 99.99", 999, 999},
        // clang-format on
    };
    for (const auto& [history, charge, discharge] : cases) {
        TestProgram p;
        setHistory(p.meter(), history);
        EXPECT_EQ((std::array{p.meter().GetChargeTime(12), p.meter().GetDischargeTime(12)}),
                  (std::array{charge, discharge}))
            << history;
    }
    // However many samples are asked for, the line goes through sixteen at most: here the first fifteen
    // lie on a line of slope 1, the sixteenth and those after it above it.
    TestProgram p;
    setHistory(p.meter(), "DC 60 61 62 63 64 65 66 67 68 69 70 71 72 73 74 80 99 100");
    EXPECT_EQ(p.meter().GetDischargeTime(40), 54);
    // The sums and the results are kept in single precision.
    const float x[] = {0, 1, 2, 3, 4}, y[] = {30, 32, 35, 37, 40};
    const FittedLine line = FitLine(x, y, 5);
    EXPECT_EQ(line.slope, 2.5f);
    EXPECT_FLOAT_EQ(line.intercept, 29.8f);
}

// The text on several lines is the one on one line broken after each part.
TEST(StatusText, BothFormsByteForByte) {
    // Source, level, minutes on battery, history; the text on one line.
    const std::tuple<const char*, float, std::int16_t, const char*, std::string> cases[] = {
        // clang-format off
        {"DC", 57, 12, "DC 57 58 59 60 61 62", " Elapsed: 12 min, Energy level: 57 %, Lifetime: 57 min "},
        {"AC", 57, 0, "AC 57 56 55 54 53", " Energy level: 57 %, Charge time: 43 min "},
        {"AC", 57, 0, "AC 57 56", " Energy level: 57 %, Acquiring data..."},
        {"AC", 99, 0, "AC 99", " Energy level: 99 %, Acquiring data..."},
        {"AC", 100, 0, "AC 100", " Energy level: 100 %, Charge completed "},
        {"DC", 100, 0, "DC 100", " Elapsed: 0 min, Energy level: 100 %, Charge completed "},
        {"AC", 40, 0, "AC 40 30 20 10 0 0", " Energy level: 40 %, Acquiring data..."},  // an empty sample ends the run
        {"DC", 0, 31, "DC 0", " Elapsed: 31 min, Energy level: 0 %, Lifetime: 0 min "},
        {"DC", 57, 32767, "DC 57", " Elapsed: 32767 min, Energy level: 57 %, Acquiring data..."},
        {"", 0, 0, "", " Energy level: 0 %, Acquiring data..."},
        {"", 56.5f, 0, "", " Energy level: 56 %, Acquiring data..."},
        // clang-format on
    };
    for (const auto& [source, level, elapsed, history, oneLine] : cases) {
        TestProgram p;
        setHistory(p.meter(), history);
        p.meter().msPowerSrc = source;
        p.meter().mEnergyLevel = level;
        p.k.pnElapsedMin = elapsed;
        for (std::int16_t mode : {1, -1, 7}) EXPECT_EQ(p.meter().GetStatusText(mode), oneLine);
        std::string severalLines = oneLine;
        for (auto at = severalLines.find(", "); at != std::string::npos; at = severalLines.find(", ", at))
            severalLines.replace(at, 2, " \r ");
        EXPECT_EQ(p.meter().GetStatusText(0), severalLines);
    }
}

// ---- The meter's picture by its pixels, and the work each tick does for it and the tray tip ----

// Every colour its own, told apart by one letter: Low, Mid, High, Ac, background '.', Grid, Border.
constexpr const char* kColours =
    "LowColor=1 MidColor=2 HighColor=3 ACColor=4 BGColor=5 GridColor=6 BorderColor=7";
char letter(Color c) { return c >= 1 && c <= 7 ? "?LMHA.GB"[c] : '?'; }

std::string column(const Picture& pic, int x) {
    std::string out;
    for (int y = 0; y < pic.image().height(); ++y) out += letter(pic.image().at(x, y));
    return out;
}

// One tick at the level and source given, on a meter of the stored shape.
struct Meter {
    Meter(const std::string& stored, bool mains, int level) : p(std::string(kColours) + " " + stored) {
        p.power(mains, level);
        p.ticks(1);
    }
    const Picture& pic() { return p.meter().picHistory; }
    TestProgram p;
};

// Flat, 51 long: the grid lies at 0, 10, ..., 50; a row shows the bar's length and colour. Low on
// battery the bar blinks: the first tick shows it, the next wipes it, and so on; never the grid.
TEST(MeterDrawing, FlatBarsGrowFromTheLeftUnderTheGridAndBlinkLowOnBattery) {
    // Stored, mains, level; the first and the last row of the surface, the same if not given.
    const std::tuple<const char*, bool, int, std::string, std::string> cases[] = {
        // clang-format off
        {"",                       false, 50,  "BHHHHHHHHHGHHHHHHHHHGHHHHHH...G.........G.........B", ""},  // 25.5 -> 26
        {"",                       false, 30,  "BMMMMMMMMMGMMMMM....G.........G.........G.........B", ""},  // 15.3 -> 15
        {"",                       true,  75,  "BHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHH.G.........B",
                                               "BAAAAAAAAAGAAAAAAAAAGAAAAAAAAAGAAAAAAAA.G.........B"},
        {"",                       true,  20,  "BLLLLLLLLLG.........G.........G.........G.........B",  // never blinks
                                               "BAAAAAAAAAG.........G.........G.........G.........B"},
        {"",                       false, 100, "BHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHHHB", ""},
        {"",                       true,  0,   "B.........G.........G.........G.........G.........B", ""},
        {"",                       false, 24,  "BLLLLLLLLLGLL.......G.........G.........G.........B", ""},
        {"LowBound=50 MidBound=50", false, 49, "BLLLLLLLLLGLLLLLLLLLGLLLLL....G.........G.........B", ""},
        {"LowBound=50 MidBound=50", false, 50, "BHHHHHHHHHGHHHHHHHHHGHHHHHH...G.........G.........B", ""},
        {"LowBound=60 MidBound=40", false, 45, "BLLLLLLLLLGLLLLLLLLLGLLL......G.........G.........B", ""},
        {"LowBound=60 MidBound=40", false, 59, "BLLLLLLLLLGLLLLLLLLLGLLLLLLLLLG.........G.........B", ""},
        {"LowBound=60 MidBound=40", false, 60, "BHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGH........G.........B", ""},
        {"LowBound=60 MidBound=40", false, 39, "BLLLLLLLLLGLLLLLLLLLG.........G.........G.........B", ""},
        // clang-format on
    };
    for (const auto& [stored, mains, level, top, last] : cases) {
        SCOPED_TRACE(std::string(stored) + " " + std::to_string(level));
        Meter m(std::string("Upright=0 ") + stored, mains, level);
        ASSERT_EQ(m.pic().image().height(), 8);
        const std::string& bottom = last.empty() ? top : last;
        const std::string shown = top + top + (mains ? bottom : top) + bottom;  // the mark: the lower half
        std::string wiped = shown;
        if (!mains) std::replace(wiped.begin(), wiped.end(), 'L', '.');
        for (int tick = 0; tick < 4; ++tick, m.p.ticks(1)) {  // shown, wiped, shown again, wiped again
            const std::vector<std::string> rows = rowsOf(m.pic().image(), letter);
            EXPECT_EQ(rows[0] + rows[3] + rows[4] + rows[7], tick % 2 ? wiped : shown) << tick;
        }
    }
}

// Upright, 8 x 51, the bar grows from the bottom and the mark takes the right half; flat and of an odd
// thickness, the mark takes the lower half rounded down. A column (x) or a row (y) by its letters.
TEST(MeterDrawing, UprightBarsGrowFromTheBottomAndAnOddThicknessRoundsTheMarksHalfDown) {
    const std::tuple<const char*, bool, int, char, int, const char*> cases[] = {
        // clang-format off
        {"", false, 50, 'x', 0, "B.........G.........G....HHHHHGHHHHHHHHHGHHHHHHHHHB"},  // 25.5 -> 26: from y 25 down
        {"", false, 95, 'x', 7, "B..HHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHHHB"},  // 48.45 -> 48
        {"", true, 100, 'x', 3, "BHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHHHB"},
        {"", true, 100, 'x', 4, "BAAAAAAAAAGAAAAAAAAAGAAAAAAAAAGAAAAAAAAAGAAAAAAAAAB"},
        {"", true, 100, 'y', 5, "HHHHAAAA"},
        {"", false, 0, 'x', 2, "B.........G.........G.........G.........G.........B"},  // a box of no height: none
        {"Upright=0 Width=9", true, 75, 'x', 12, "HHHAAAA"},  // 51 x 7: the bar clipped at 6, the mark from 3
        // clang-format on
    };
    for (const auto& [stored, mains, level, axis, at, want] : cases) {
        Meter m(stored, mains, level);
        EXPECT_EQ(axis == 'x' ? column(m.pic(), at) : rowsOf(m.pic().image(), letter)[at], want)
            << stored << " " << level << axis << at;
    }
}

// The tick tells a picture drawn on since it last drew by the count of drawings: no two states of a
// picture share a count, whatever was drawn. A box past every edge fills what lies inside only; a
// point outside changes nothing.
TEST(MeterDrawing, EveryDrawingGivesThePictureANewCount) {
    PixelImage img;
    std::set<std::uint64_t> counts{img.drawings()};
    const std::function<void()> drawings[] = {
        [&] { img.resize(8, 8, 1); },     [&] { img.fill(2); },
        [&] { img.plot(1, 1, 3); },       [&] { img.fillRect(-1, -1, 9, 2, 4); },
        [&] { img.line(0, 4, 7, 4, 5); }, [&] { img.line(0, 0, 7, 7, 6); },
        [&] { img.plot(1, 1, 7); },       [&] { img.plot(-1, 7, 3); },
        [&] { img.plot(8, 0, 3); },
    };
    for (const auto& draw : drawings) {
        draw();
        EXPECT_TRUE(counts.insert(img.drawings()).second) << counts.size();
    }
    EXPECT_EQ(rowsOf(img, [](Color c) { return char('0' + c); }),
              (std::vector<std::string>{"64444444", "47444444", "44644444", "22262222", "55556555",
                                        "22222622", "22222262", "22222226"}));
}

// What a change and the tick after it cost: whether the picture was drawn on and the tray tip made
// again, how often the window was asked to repaint the picture, and the calls left for the event loop.
using Work = std::array<int, 4>;

Work workOf(TestProgram& p, const std::function<void(TestProgram&)>& change = {}) {
    const PixelImage& img = p.meter().picHistory.image();
    const auto drawings = img.drawings();
    const int repaints = p.rt.peerOf(p.meterWindow()).repaints;
    const int posts = p.rt.posts;
    p.k.psTrayTip = "untouched";
    if (change) change(p);
    p.ticks(1);
    return {img.drawings() != drawings, p.k.psTrayTip != "untouched",
            p.rt.peerOf(p.meterWindow()).repaints - repaints, p.rt.posts - posts};
}

// At rest the tick only reads: a minute on mains, its sample included, costs nothing at all; on
// battery the sample adds a minute on battery to the tip. A level read after thirteen alike samples
// makes the next sample differ from them only in the newest place, which the tip's estimate reads too.
TEST(Tick, AMinuteAtRestCostsNothingButTheMinuteOnBatteryOrANewestSampleInTheTip) {
    for (auto [mains, level] : {std::pair{true, 57}, {false, 57}, {true, 56}}) {
        Meter m("", mains, 57);
        m.p.ticks(720);  // thirteen samples alike, the last one now
        m.p.power(mains, level);
        m.p.ticks(1);  // the next sample falls on the 59th second
        for (int second = 1; second <= 60; ++second)
            EXPECT_EQ(workOf(m.p), (Work{0, second == 59 && (!mains || level != 57), 0, 0}))
                << mains << level << second;
    }
}

// Changes made outside the tick: a new background colour, a new shape, the monitors reported twice.
void newBackground(TestProgram& p) {
    p.k.plColor[4] = 1;
    p.meter().picHistory.setBackColor(1);
}
template <int width, int upright>
void reshaped(TestProgram& p) {
    p.k.pMonitorWidth = width;
    p.k.pnUpright = upright;
    p.k.pSetFormSize();
}
void screensTwice(TestProgram& p) {
    p.rt.changeScreens(1024, 768);
    p.rt.changeScreens(1024, 768);
}

// The tick draws only for what the picture is drawn from, makes the tip only for what it says, and
// has the window repaint only new pixels. The picture is then the one a meter started in the new
// state (stored as given) shows.
TEST(Tick, EachChangeCostsTheNextTickItsWorkAndNoMore) {
    struct Case {
        const char* what;
        bool mains;  // the power two ticks before the change
        int level;
        std::function<void(TestProgram&)> change;
        Work work;
        const char* stored = "";
    } const cases[] = {
        // clang-format off
        {"nothing, low: the bar shows again", false, 20, {}, {1, 0, 1, 1}},
        {"the level", true, 57, [](TestProgram& p) { p.power(true, 50); }, {1, 1, 1, 1}},
        {"the level, the same pixels", true, 57, [](TestProgram& p) { p.power(true, 56); }, {1, 1, 0, 1}},
        {"the source", true, 57, [](TestProgram& p) { p.power(false, 57); }, {1, 1, 1, 1}},
        {"the minutes on battery", false, 57, [](TestProgram& p) { p.k.pnElapsedMin = 7; }, {0, 1, 0, 0}},
        {"a new sample", true, 57, [](TestProgram& p) { p.ticks(58); }, {0, 1, 0, 0}},
        {"the low bound", true, 57, [](TestProgram& p) { p.k.pnLowUpper = 60; }, {1, 0, 1, 1}, "LowBound=60"},
        {"the middle bound", true, 57, [](TestProgram& p) { p.k.pnMidUpper = 60; }, {1, 0, 1, 1}, "MidBound=60"},
        {"a colour", true, 57, [](TestProgram& p) { p.k.plColor[2] = 6; }, {1, 0, 1, 1}, "HighColor=6"},
        {"the mains colour", true, 57, [](TestProgram& p) { p.k.plColor[3] = 1; }, {1, 0, 1, 1}, "ACColor=1"},
        {"the grid", true, 57, [](TestProgram& p) { p.k.plColor[5] = 2; }, {1, 0, 1, 1}, "GridColor=2"},
        {"the border", true, 57, [](TestProgram& p) { p.k.plColor[6] = 2; }, {1, 0, 1, 1}, "BorderColor=2"},
        // A new background wipes the picture, even in the colour it had.
        {"the background", true, 57, newBackground, {1, 0, 2, 2}, "BGColor=1"},
        {"the same background", true, 57, [](TestProgram& p) { p.meter().picHistory.setBackColor(p.k.plColor[4]); },
         {1, 0, 2, 2}},
        {"the size", true, 57, reshaped<14, 1>, {1, 0, 6, 2}, "Width=14"},
        {"the direction", true, 57, reshaped<10, 0>, {1, 0, 6, 2}, "Upright=0"},
        {"a drawing from elsewhere", true, 57, [](TestProgram& p) { p.meter().picHistory.line(0, 0, 3, 3, 1); },
         {1, 0, 2, 2}},
        // However many changes the window system reports in a row, the program hears of them once and
        // lays the meter out again; the picture stays as it was drawn.
        {"the screens", true, 57, screensTwice, {0, 0, 4, 2}},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Meter m("", c.mains, c.level);
        m.p.ticks(1);
        EXPECT_EQ(workOf(m.p, c.change), c.work);
        const bool mains = m.p.meter().msPowerSrc == "AC";
        const int level = static_cast<int>(m.p.meter().mEnergyLevel);
        EXPECT_EQ(m.pic().image().pixels(), Meter(c.stored, mains, level).pic().image().pixels());
    }
}

}  // namespace
}  // namespace corvane::test
