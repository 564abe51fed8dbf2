// The status tooltip beside the meter, with the headless test font: 6 x 15 pixels a character at
// Arial 9 pt, 15 twips per pixel on a 1024 x 768 screen.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_fixture.h"
#include "tooltip/frm_tooltip.h"

namespace corvane::test {
namespace {

constexpr Color kInk = 0x00000000;

struct TipProgram : TestProgram {
    using TestProgram::TestProgram;
    frmToolTip& tip() { return program.toolTip(); }
    // The mouse moves over the meter with the cursor at a screen pixel, and time goes on.
    void hover(int x, int y, std::int16_t buttons = 0, long long thenMs = 500) {
        rt.setCursor(x, y);
        meter().picHistory.mouseMove(buttons, 0, 1, 1);
        rt.advance(thenMs);
    }
    Rect tipPlace() { return placeOf(tip().window); }
    std::array<int, 2> tipPixels() { return {tip().window.pixelWidth(), tip().window.pixelHeight()}; }
};

// The box grows toward the middle of the screen from the cursor's half of it, 3 pixels from the meter.
TEST(ToolTip, StandsBesideTheMeterByTheCursorsQuarterOfTheScreen) {
    const std::tuple<const char*, int, int, double, double> cases[] = {
        // stored, cursor, the box's corner
        // clang-format off
        {"Position=2", 1018, 25, 15210 - 360 - 45, 45},  // upper right: left of the meter, top 3 px down
        {"Position=1", 5, 740, 150 + 45, 11239},         // lower left: right of it, bottom 3 px up
        {"Position=0", 5, 25, 195, 45},
        {"Position=3", 1018, 740, 14805, 11239},
        {"Position=4 Left=7605 Top=5000", 512, 384, 7200, 5484},  // the middle itself counts as right and below
        // clang-format on
    };
    for (const auto& [stored, cursorX, cursorY, left, top] : cases) {
        SCOPED_TRACE(stored);
        TipProgram p(stored);
        p.rt.setCursor(cursorX, cursorY);
        p.tip().label("  ab ");  // blanks around the text are the box's own: " ab "
        p.rt.advance(499);
        EXPECT_FALSE(p.tip().window.visible());
        p.rt.advance(1);
        // One line x 1.05.
        EXPECT_EQ((std::tuple{p.tip().window.visible(), p.tipPlace(), p.tipPixels(),
                              placeOf(p.tip().picToolTip), p.tip().window.topmost()}),
                  (std::tuple{true, Rect{left, top, 360, 236.25}, std::array{24, 16}, Rect{0, 0, 360, 236.25},
                              false}));
    }
}

// The outline and the text take the desktop's text colour, unless it would be lost on the pale fill
// (a dark colour scheme's light text): then black.
TEST(ToolTip, AnEmptyTextIsTwoBlanksWideAndOneLineHighWithItsOutline) {
    // The desktop's text colour, the ink.
    const std::pair<Color, Color> cases[] = {{kInk, kInk},
                                             {rgb(0, 0, 128), rgb(0, 0, 128)},
                                             {rgb(255, 255, 255), kInk},
                                             {rgb(211, 211, 211), kInk}};
    for (const auto& [desktop, ink] : cases) {
        TipProgram p;
        p.rt.text().windowText = desktop;
        p.rt.setCursor(1018, 25);
        p.tip().label("");
        p.rt.advance(500);
        EXPECT_EQ(p.tipPixels(), (std::array<int, 2>{12, 16}));
        std::vector<std::string> outlined(16, "#" + std::string(10, '.') + "#");
        outlined.front() = outlined.back() = std::string(12, '#');
        const auto letter = [ink = ink](Color c) { return c == ink ? '#' : c == kToolTipBackColor ? '.' : '?'; };
        EXPECT_EQ(rowsOf(p.tip().picToolTip.image(), letter), outlined) << desktop;
    }
}

// The meter's mouse move hands over the status text; the tick prints it line by line, and places the
// box beside the meter as it is dragged.
TEST(ToolTip, ShowsTheStatusTextInItsLinesAndFollowsTheDraggedMeter) {
    TipProgram p;
    p.power(false, 57);
    p.ticks(1);
    p.hover(1018, 25);
    // " Elapsed: 0 min ", " Energy level: 57 % " and " Acquiring data... ": 20 characters at the
    // widest, and three lines.
    EXPECT_EQ(p.tipPixels(), (std::array<int, 2>{120, 47}));
    const PixelImage& img = p.tip().picToolTip.image();
    auto inked = [&](int x, int y) { return img.at(x, y) == kInk; };
    // Each line starts with its blank; "E", "E", "A", each line under the last; the first line is the
    // shortest.
    EXPECT_FALSE(inked(3, 5) || inked(6, 13) || inked(6, 28) || inked(96, 4));
    EXPECT_TRUE(inked(6, 3) && inked(6, 18) && inked(6, 33) && inked(96, 19));
    p.rt.advance(1000);  // past the revive step, which puts the meter back into its corner at 2 s
    p.dragBy(1018, 25, -100, 300);
    p.rt.advance(500);
    EXPECT_EQ((std::tuple{p.tip().window.visible(), p.tipPlace()}),
              (std::tuple{true, Rect{13710 - 1800 - 45, 4500 + 45, 1800, 708.75}}));
}

TEST(ToolTip, HidesOnceTheCursorLeavesTheMeterWhoseEdgesCountAsInside) {
    const std::tuple<int, int, bool> cases[] = {
        // the cursor's place, whether the tip stays
        {1014, 25, true},  {1024, 25, true},  {1018, 0, true},   {1018, 51, true},
        {1013, 25, false}, {1018, 52, false}, {500, 400, false},
    };
    for (const auto& [x, y, stays] : cases) {
        SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
        TipProgram p;
        p.hover(1018, 25);
        p.rt.setCursor(x, y);
        p.rt.advance(500);
        EXPECT_EQ((std::array{p.tip().window.visible(), p.tip().tmrToolTip.enabled()}),
                  (std::array{stays, stays}));
        p.hover(1018, 25);  // the next move over the meter starts it again
        EXPECT_TRUE(p.tip().window.visible());
    }
}

// A tick that finds the cursor gone still places and draws the box before it hides it.
TEST(ToolTip, ATickWithTheCursorAlreadyGonePlacesAndDrawsBeforeHiding) {
    TipProgram p;
    p.rt.setCursor(100, 100);
    p.tip().label("x");
    p.rt.advance(500);
    EXPECT_EQ((std::tuple{p.tip().window.visible(), p.tipPlace(), p.tip().picToolTip.image().at(6, 4)}),
              (std::tuple{false, Rect{15210 + 150 + 45, 45, 270, 236.25}, kInk}));
    p.rt.advance(5000);
    EXPECT_FALSE(p.tip().window.visible());
}

TEST(ToolTip, TheRightButtonHeldNeitherStartsNorRefreshesIt) {
    TipProgram p;
    p.power(true, 57);
    p.ticks(1);
    p.hover(1018, 25, kRightButton, 2000);
    EXPECT_FALSE(p.program.hasToolTip());
    p.hover(1018, 25);
    EXPECT_EQ(p.tipPixels()[0], 120);  // " Energy level: 57 % ", " Acquiring data... "
    p.power(true, 100);
    p.ticks(1);
    p.hover(1018, 25, kRightButton, 1000);
    EXPECT_EQ(p.tipPixels()[0], 120);
    p.hover(1018, 25);
    EXPECT_EQ(p.tipPixels()[0], 126);  // " Energy level: 100 % ", " Charge completed "
}

}  // namespace
}  // namespace corvane::test
