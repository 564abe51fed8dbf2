// The meter's picture by its pixels: the bar, its band colour, the mains half and the grid.

#include <gtest/gtest.h>

#include <functional>

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

TEST(MeterDrawing, UprightBarsGrowFromTheBottomWithTheMarkOnTheRightHalf) {
    Meter dc("", false, 30);  // 8 x 51: bar from y 36 down, middle colour
    const std::string left = column(dc.pic(), 0);
    EXPECT_EQ(left, "B.........G.........G.........G.....MMMMGMMMMMMMMMB");
    EXPECT_EQ(column(dc.pic(), 7), left);

    Meter full("", true, 100);
    EXPECT_EQ(column(full.pic(), 3), "BHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHHHGHHHHHHHHHB");
    EXPECT_EQ(column(full.pic(), 4), "BAAAAAAAAAGAAAAAAAAAGAAAAAAAAAGAAAAAAAAAGAAAAAAAAAB");
    EXPECT_EQ(row(full.pic(), 5), "HHHHAAAA");

    Meter empty("", false, 0);  // a box of no height lies below the surface: nothing of it shows
    EXPECT_EQ(column(empty.pic(), 2), "B.........G.........G.........G.........G.........B");
}

TEST(MeterDrawing, AnOddThicknessPutsTheMarkOnTheLowerHalfRoundedDown) {
    Meter m("Upright=0 Width=9", true, 75);  // surface 51 x 7: the bar to y 7 (clipped at 6), the mark from 3
    ASSERT_EQ(m.pic().image().height(), 7);
    EXPECT_EQ(column(m.pic(), 12), "HHHAAAA");
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

// The tick draws again only when something the picture shows has changed. After any one change, even
// after ticks that drew nothing new, the next tick shows what a meter started in the new state shows.
TEST(MeterDrawing, EveryChangeReachesThePictureAtTheNextTick) {
    struct Case {
        const char* stored;  // of a meter started in the new state
        bool mains;
        int level;
        std::function<void(mKesta&, frmMonitor&)> change;
        bool shows = true;  // the new picture differs from the old one
    } const cases[] = {
        {"", true, 50, {}},
        {"", false, 57, {}},
        {"LowBound=60", true, 57, [](mKesta& k, frmMonitor&) { k.pnLowUpper = 60; }},
        {"MidBound=60", true, 57, [](mKesta& k, frmMonitor&) { k.pnMidUpper = 60; }},
        {"HighColor=6", true, 57, [](mKesta& k, frmMonitor&) { k.plColor[2] = 6; }},
        {"ACColor=1", true, 57, [](mKesta& k, frmMonitor&) { k.plColor[3] = 1; }},
        {"GridColor=2", true, 57, [](mKesta& k, frmMonitor&) { k.plColor[5] = 2; }},
        {"BorderColor=2", true, 57, [](mKesta& k, frmMonitor&) { k.plColor[6] = 2; }},
        // A new background wipes the picture, even in the colour it had.
        {"BGColor=1", true, 57,
         [](mKesta& k, frmMonitor& m) { m.picHistory.setBackColor(k.plColor[4] = 1); }},
        {"", true, 57, [](mKesta& k, frmMonitor& m) { m.picHistory.setBackColor(k.plColor[4]); }, false},
        {"Width=14", true, 57, [](mKesta& k, frmMonitor&) { k.pMonitorWidth = 14, k.pSetFormSize(); }},
        {"Upright=0", true, 57, [](mKesta& k, frmMonitor&) { k.pnUpright = 0, k.pSetFormSize(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " " + std::to_string(c.level) + (c.mains ? " AC" : " DC"));
        Meter m("", true, 57);
        m.p.ticks(1);
        const std::vector<Color> before = m.pic().image().pixels();
        if (c.change) c.change(m.p.k, m.p.meter());
        m.p.power(c.mains, c.level);
        m.p.ticks(1);
        EXPECT_EQ(m.pic().image().pixels(), Meter(c.stored, c.mains, c.level).pic().image().pixels());
        EXPECT_EQ(m.pic().image().pixels() != before, c.shows);
    }
}

}  // namespace
}  // namespace corvane::test
