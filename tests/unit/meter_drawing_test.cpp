// The meter's picture by its pixels: the bar, its band colour, the mains half and the grid; and the
// work each tick does for the picture and the tray tip.

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "program_fixture.h"

namespace corvane::test {
namespace {

// Every colour its own, told apart by one letter: Low, Mid, High, Ac, background '.', Grid, Border.
constexpr const char* kColours =
    "LowColor=1 MidColor=2 HighColor=3 ACColor=4 BGColor=5 GridColor=6 BorderColor=7";
char letter(Color c) { return c >= 1 && c <= 7 ? "?LMHA.GB"[c] : '?'; }

std::string row(const Picture& pic, int y) {
    return rowsOf(pic.image(), letter)[static_cast<std::size_t>(y)];
}
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

// Flat, 51 long: the grid lies at 0, 10, ..., 50; a row shows the bar's length and colour.
TEST(MeterDrawing, FlatBarsGrowFromTheLeftUnderTheGrid) {
    // Stored, mains, level; the first and the last row of the surface, the same if not given.
    const std::tuple<const char*, bool, int, std::string, std::string> cases[] = {
        // clang-format off
        {"",                       false, 50,  "BHHHHHHHHHGHHHHHHHHHGHHHHHH...G.........G.........B", ""},  // 25.5 -> 26
        {"",                       false, 30,  "BMMMMMMMMMGMMMMM....G.........G.........G.........B", ""},  // 15.3 -> 15
        {"",                       true,  75,  "BHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHH.G.........B",
                                               "BAAAAAAAAAGAAAAAAAAAGAAAAAAAAAGAAAAAAAA.G.........B"},
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
        Meter m(std::string("Upright=0 ") + stored, mains, level);
        ASSERT_EQ(m.pic().image().height(), 8);
        // Low and on battery the bar blinks: the first tick shows it.
        const std::string& bottom = last.empty() ? top : last;
        EXPECT_EQ(row(m.pic(), 0) + " " + row(m.pic(), 7), top + " " + bottom) << stored << " " << level;
        if (mains) {  // the mark covers the lower half only
            EXPECT_EQ(row(m.pic(), 3) + " " + row(m.pic(), 4), top + " " + bottom) << stored << " " << level;
        }
    }
}

// Upright, 8 x 51, the bar grows from the bottom and the mark takes the right half; flat and of an odd
// thickness, the mark takes the lower half rounded down. A column (x) or a row (y) by its letters.
TEST(MeterDrawing, UprightBarsGrowFromTheBottomAndAnOddThicknessRoundsTheMarksHalfDown) {
    const std::tuple<const char*, bool, int, char, int, const char*> cases[] = {
        // clang-format off
        {"", false, 30, 'x', 0, "B.........G.........G.........G.....MMMMGMMMMMMMMMB"},  // from y 36 down
        {"", false, 30, 'x', 7, "B.........G.........G.........G.....MMMMGMMMMMMMMMB"},
        {"", true, 100, 'x', 3, "BHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHHHB"},
        {"", true, 100, 'x', 4, "BAAAAAAAAAGAAAAAAAAAGAAAAAAAAAGAAAAAAAAAGAAAAAAAAAB"},
        {"", true, 100, 'y', 5, "HHHHAAAA"},
        {"", false, 0, 'x', 2, "B.........G.........G.........G.........G.........B"},  // a box of no height: none
        {"Upright=0 Width=9", true, 75, 'x', 12, "HHHAAAA"},  // 51 x 7: the bar clipped at 6, the mark from 3
        // clang-format on
    };
    for (const auto& [stored, mains, level, axis, at, want] : cases) {
        Meter m(stored, mains, level);
        EXPECT_EQ(axis == 'x' ? column(m.pic(), at) : row(m.pic(), at), want)
            << stored << " " << level << axis << at;
    }
}

TEST(MeterDrawing, TheBlinkWipesTheBarButNeverTheGrid) {
    Meter m("Upright=0", false, 20);
    EXPECT_EQ(row(m.pic(), 2), "BLLLLLLLLLG.........G.........G.........G.........B");
    m.p.ticks(1);
    EXPECT_EQ(row(m.pic(), 2), "B.........G.........G.........G.........G.........B");
    m.p.power(true, 20);  // on mains it never blinks
    for (int i = 0; i < 2; ++i) {
        m.p.ticks(1);
        EXPECT_EQ(row(m.pic(), 2), "BLLLLLLLLLG.........G.........G.........G.........B");
        EXPECT_EQ(row(m.pic(), 6), "BAAAAAAAAAG.........G.........G.........G.........B");
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
        {"nothing", true, 57, {}, {}},
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
