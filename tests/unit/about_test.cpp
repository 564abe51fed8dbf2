// The About box on the headless backend: its layout in the fixed-pitch test font, the scrolling line,
// the clock hands and how it closes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "about/frm_info.h"
#include "icon_art.h"
#include "program_fixture.h"

namespace corvane::test {
namespace {

struct WithAbout : TestProgram {
    using TestProgram::TestProgram;
    frmInfo& open() {
        program.showAbout();
        return *program.about().find();
    }
};

// The test font at 8.25 pt is 5 x 13 pixels a character, the bold 9 pt of the name 7 x 15; a dialog's
// frame is 3 pixels around with a 19-pixel caption unless a case sets another.
TEST(About, TheLayoutFollowsTheTextsTheNoticesFourthLineAndTheWindowsFrame) {
    const std::tuple<WindowFrame, Rect, Rect> cases[] = {
        // the frame; the box's and Frame1's places
        {{3, 22, 3, 3}, {5257, 3825, 4620, 3630}, {75, 60, 4380, 3105}},
        {{4, 30, 4, 4}, {5257, 3825, 4620, 3765}, {60, 60, 4380, 3105}},
    };
    for (const auto& [frame, box, frame1] : cases) {
        WithAbout p;
        p.rt.setDialogFrame(frame);
        // As made, before the load places what follows the texts.
        const frmInfo& made = p.program.about().get();
        EXPECT_EQ((std::array{placeOf(made.Frame1), placeOf(made.Frame2), placeOf(made.txtAllrights),
                              placeOf(made.cmdOK)}),
                  (std::array{Rect{0, 60, 0, 0}, Rect{0, 0, 0, 45}, Rect{0, 0, 2775, 255},
                              Rect{0, 5550, 1095, 375}}));
        frmInfo& a = p.open();
        // Placed from the design size, then sized: the corner stays.
        EXPECT_EQ((std::tuple{placeOf(a.window), placeOf(a.Frame1)}), (std::tuple{box, frame1}));
        const std::pair<const Control*, Rect> places[] = {
            // clang-format off
            // Each notice line centred; the fourth, 52 characters, sets the width: 3900 twips, 480 around it.
            {a.lblNotice[0], {577, 1950, 3225, 195}},  {a.lblNotice[1], {652, 2160, 3075, 195}},
            {a.lblNotice[2], {802, 2370, 2775, 195}},  {a.lblNotice[3], {240, 2580, 3900, 195}},
            {a.lblNotice[4], {802, 2790, 2775, 195}},
            {&a.lblAppname, {1185, 270, 2010, 225}},   {&a.imgMain, {1950, 585, 480, 480}},
            {&a.lblCopyright, {840, 1155, 2700, 195}}, {&a.lblName, {1515, 1320, 1350, 195}},
            {&a.txtAllrights, {802, 1545, 2775, 255}}, {&a.Frame2, {120, 1830, 4140, 45}},
            // The four pictures of the hands, never shown themselves, in a row below the box.
            {&a.imgNull, {120, 4680, 480, 480}},       {&a.imgEmpty, {720, 4680, 480, 480}},
            {&a.imgHalf, {1320, 4680, 480, 480}},      {&a.imgFull, {1920, 4680, 480, 480}},
            // Centred across but below what is seen of the frame.
            {&a.cmdOK, {1642, 5550, 1095, 375}},
            // clang-format on
        };
        for (const auto& [control, place] : places) EXPECT_EQ(placeOf(*control), place) << control->name();
        // OK has the focus, for the Enter key, and is the only Tab stop: the scrolling line reads as part
        // of the box, not as a field to type into. The texts the user reads, to the blank.
        EXPECT_EQ((std::tuple{a.window.keyboard().activeControl(), a.window.keyboard().tabOrder(),
                              a.txtAllrights.locked(), a.window.style().caption, a.lblAppname.caption(),
                              a.cmdOK.caption()}),
                  (std::tuple{&a.cmdOK, std::vector<Control*>{&a.cmdOK}, true, " About Corvane",
                              "Corvane Version 2.2", "OK"}));
    }
}

// The line scrolls a character every 127 ms: from its k-th character at tick k to the empty text at tick
// 106, and over again. The hands turn every 109 ms: six ticks up, four right, five down, five left.
TEST(About, TheLineScrollsAndStartsOverAfterTheEmptyTextAndTheHandsTurnRound) {
    WithAbout p;
    // A face whose blends with the icon's soft edges fall on halves.
    p.rt.setSystemColor(SystemColor::ButtonFace, rgb(128, 59, 21));
    frmInfo& a = p.open();
    const std::string blanks(33, ' ');
    EXPECT_EQ(a.scrollText(), blanks + "All Rights Reserved." + blanks + "All Rights Reserved.");
    for (const Image* picture : {&a.imgMain, &a.imgFull})
        EXPECT_EQ((std::array{picture->picture().width(), picture->picture().height()}),
                  (std::array{32, 32}));
    // Each picture of the hands, the letter it is told by below, and the hands it shows.
    // clang-format off
    const std::tuple<const Image*, char, ClockHands> handPictures[] = {
        {&a.imgFull, 'U', ClockHands::Up}, {&a.imgHalf, 'R', ClockHands::Right},
        {&a.imgEmpty, 'D', ClockHands::Down}, {&a.imgNull, 'L', ClockHands::Left}};
    // clang-format on
    std::vector<std::string> scrolled;
    std::string hands;
    for (int ms = 1; ms <= 109 * 127; ++ms) {
        const int repaints = p.rt.peerOf(a.window).repaints;
        p.rt.advance(1);  // each tick read the moment it is due
        // The line as the load left it, just before its first step; then each step's.
        if (ms == 126 || ms % 127 == 0) scrolled.push_back(a.txtAllrights.text());
        // Until the first turn, the icon as it is, hands at ten past ten: none of the four ('?').
        if ((ms % 109 != 0 && ms != 108) || ms > 40 * 109) continue;
        EXPECT_TRUE(ms == 108 || p.rt.peerOf(a.window).repaints > repaints)
            << "the window is asked to show each picture";
        hands += '?';
        for (const auto& [hand, letter, shows] : handPictures)
            if (a.imgMain.picture().pixels() == hand->picture().pixels()) hands.back() = letter;
    }
    EXPECT_EQ((std::vector<std::string>{scrolled[0], scrolled[1], scrolled[2], scrolled[105], scrolled[106],
                                        scrolled[107], scrolled[108], scrolled[109]}),
              (std::vector<std::string>{"All Rights Reserved.", a.scrollText(), a.scrollText().substr(1),
                                        "d.", ".", "", a.scrollText(), a.scrollText().substr(1)}));
    // Four pictures told apart, since each letter above stands for another one.
    EXPECT_EQ(hands, "?UUUUUURRRRDDDDDLLLLLUUUUUURRRRDDDDDLLLLL");  // two whole turns alike
    // Where the icon is opaque its own colour shows, where it is clear the box's, and at its soft edges
    // the blend of the two, to the nearest step.
    int wrong = 0;
    for (const auto& [hand, letter, shows] : handPictures) {
        const std::vector<std::uint32_t> art = programIconPixels(32, shows);
        for (std::size_t i = 0; i < art.size(); ++i) {
            const int alpha = static_cast<int>(art[i] >> 24);
            const Color shown = hand->picture().pixels()[i], box = a.window.backColor();
            for (auto channel : {redOf, greenOf, blueOf}) {
                const int blend = int(channel(fromXrgb(art[i]))) * alpha + int(channel(box)) * (255 - alpha);
                wrong += std::abs(int(channel(shown)) * 255 - blend) > 127;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(About, ClosingPutsTheMeterBackAsShowTopSays) {
    for (const bool clickOk : {true, false})
        for (const bool meterOnTop : {true, false}) {
            const char* stored = meterOnTop ? "ShowTop=1" : "ShowTop=0";
            SCOPED_TRACE(std::string(stored) + (clickOk ? " click" : " Enter"));
            WithAbout p(stored);
            p.ticks(1);
            p.k.SetTopmost(p.meterWindow(), 0);  // as the menu's "About" does
            frmInfo& a = p.open();
            for (std::int16_t key : {kKeyEscape, std::int16_t('x')})
                a.window.keyboard().keyPress(key);  // no cancel button: nothing
            EXPECT_TRUE(a.window.visible());
            const std::size_t before = p.rt.calls.size();
            clickOk ? a.cmdOK.click() : a.window.keyboard().keyPress(kKeyReturn);
            EXPECT_FALSE(a.window.loaded() || a.window.topmost() || a.Timer1.enabled() || a.Timer2.enabled());
            EXPECT_EQ(p.meterWindow().topmost(), meterOnTop);
            EXPECT_EQ(p.callsSince(before), (std::vector<std::string>{"SetTopmost(frmInfo,0)",
                                                                      std::string("SetTopmost(frmMonitor,") +
                                                                          (meterOnTop ? "1)" : "0)")}));
            p.rt.runPosted();
            EXPECT_EQ(p.program.about().find(), nullptr);
        }
}

}  // namespace
}  // namespace corvane::test
