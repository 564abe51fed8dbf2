#include "platform/forms.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/form_instance.h"
#include "platform/headless/headless_runtime.h"
#include "platform/text.h"
#include "program_fixture.h"
#include "two_pictures.h"

namespace corvane {
namespace {

using test::TwoPictures;

std::vector<std::string> rows(const PixelImage& img) {
    return test::rowsOf(img, [](Color c) { return c == 0 ? '.' : '#'; });
}

// Each case draws its boxes (B, by two opposite corners) and lines (L, by their ends) on a blank picture.
TEST(PixelImage, BoxesAndLinesOfEverySlopeIncludeBothEndsAndClipAtTheEdges) {
    struct Draw {
        char kind;
        int x1, y1, x2, y2;
    };
    const std::pair<std::vector<Draw>, std::vector<std::string>> cases[] = {
        // clang-format off
        {{{'B', 4, 2, 1, 1}}, {"......", ".####.", ".####.", "......"}},  // corners in any order
        // A box of zero width is one pixel wide.
        {{{'B', 0, 0, 0, 3}, {'L', 5, 0, 5, 100}, {'L', -100, 3, 2, 3}}, {"#....#", "#....#", "#....#", "###..#"}},
        // Far ends: clipped, not walked.
        {{{'L', 0, 0, 3, 3}, {'L', -1000000000, 1000000003, 1000000003, -1000000000}},
         {"#..#..", ".##...", ".##...", "#..#.."}},
        // Past the right edge: cut there, not carried into the next row; wholly outside; far above and
        // far below: clipped, not walked.
        {{{'B', 4, 1, 9, 2}, {'B', -3, 3, 0, 3}, {'B', 2, -3, 2, 0}, {'B', -9, 0, -1, 3},
          {'B', 1, -1000000000, 1, -1}, {'B', 5, 3, 5, 1000000000}}, {"..#...", "....##", "....##", "#....#"}},
        {{{'L', 0, 0, 5, 2}}, {"##....", "..##..", "....##", "......"}},
        {{{'L', 5, 2, 0, 0}}, {"##....", "..##..", "....##", "......"}},  // drawn from the right
        {{{'L', 5, 0, 0, 3}}, {".....#", "...##.", ".##...", "#....."}},
        {{{'L', 0, 0, 1, 3}}, {"#.....", "#.....", ".#....", ".#...."}},
        {{{'L', 1, 3, 0, 0}}, {"#.....", "#.....", ".#....", ".#...."}},
        {{{'L', 1, 1, 3, 10}}, {"......", ".#....", ".#....", ".#...."}},   // leaves through the bottom edge
        {{{'L', 4, 2, 20, -6}}, {"......", ".....#", "....#.", "......"}},  // and through the top
        // From far away, to its end; from far left, nearly level.
        {{{'L', -999998, -999998, 2, 2}, {'L', -999999999, 2, 5, 3}}, {"#.....", ".#....", "..#...", "######"}},
        {{{'L', 1, 0, 2, 1000000000}}, {".#....", ".#....", ".#....", ".#...."}},  // one pixel across, far down
        // Halfway between two pixels a line takes the one toward its end, along either axis alike.
        {{{'L', 0, 0, 1, 2}}, {"#.....", ".#....", ".#....", "......"}},
        {{{'L', 0, 0, 2, 1}}, {"#.....", ".##...", "......", "......"}},
        // clang-format on
    };
    PixelImage img;
    img.resize(6, 4, 0);
    for (const auto& [draws, want] : cases) {
        img.fill(0);
        const std::uint64_t before = img.drawings();
        for (const Draw& d : draws)
            (img.*(d.kind == 'B' ? &PixelImage::fillRect : &PixelImage::line))(d.x1, d.y1, d.x2, d.y2, 1);
        EXPECT_EQ(rows(img), want) << draws[0].kind << draws[0].x1 << "," << draws[0].y1;
        // Each point walked is a drawing: far ends cost no more than the walk across the image.
        EXPECT_LE(img.drawings() - before, 40 * draws.size());
    }
}

// Width times height stays within 4 Mi pixels. (The meter's window, met later, is bounded in its own
// test.)
TEST(PixelImage, ARidiculousSizeIsCappedInsteadOfExhaustingMemory) {
    PixelImage img;
    for (auto [w, h, capped] :
         {std::array{4096, 2048, 1024}, std::array{5000, 5000, 838}, std::array{2048, 2048, 2048},
          std::array{1, 4194305, 4194304}, std::array{0, 9, 9}, std::array{5, -3, 0}, std::array{-2, 3, 3}}) {
        img.resize(w, h, 0);
        const int width = std::max(w, 0);  // a negative size is none
        EXPECT_EQ((std::array{img.width(), img.height()}), (std::array{width, capped})) << w << "x" << h;
        EXPECT_EQ(img.pixels().size(), std::size_t(width) * std::size_t(capped));
    }
}

// A font's size in pixels on a screen of so many twips a pixel ('f'); a screen that reports none or a
// negative number is taken as the common 15, and a size stays between 1 and 1000 pixels. Units to
// pixels ('u'), to the nearest and within bounds, here -3 and 4; a scale that is no number of units a
// pixel is one.
TEST(PictureText, FontsAndUnitsBecomePixelsWithinBounds) {
    const double nan = std::nan(""), inf = INFINITY;
    const std::tuple<char, double, double, int> cases[] = {
        // clang-format off
        {'f', 9, 15, 12},   {'f', 9, 12, 15},  {'f', 9, 1, 180},     {'f', 9, 0, 12},    {'f', 9, -3, 12},
        {'f', 0.01, 15, 1}, {'f', 0.75, 15, 1}, {'f', nan, 15, 1}, {'f', 1e6, 15, 1000}, {'f', -9, 15, 1},
        {'u', 22.5, 15, 2}, {'u', nan, 15, -3}, {'u', inf, 15, 4},  {'u', -inf, 15, -3}, {'u', 3, 0, 3},
        {'u', -2, nan, -2},
        // clang-format on
    };
    for (const auto& [kind, size, scale, pixels] : cases)
        EXPECT_EQ(pixels, kind == 'f' ? emPixels({.name = "Arial", .points = size}, scale)
                                      : toPixels(size, scale, -3, 4))
            << kind << " " << size << " at " << scale;
}

// The headless test font (6 x 15 pixels a character at 9 pt, 15 twips per pixel) makes every size an
// exact number; the units are those the picture is placed in.
TEST(PictureText, MeasuresEveryLineInThePicturesUnitsAndPrintsLineUnderLine) {
    HeadlessRuntime rt;
    TwoPictures f(rt, FormStyle{.caption = "Test", .font = {.name = "Arial", .points = 9}});
    const std::tuple<const char*, double, double> cases[] = {
        // text, width and height in pixels
        {"", 0, 15},           {"  ", 12, 15}, {"abc", 18, 15}, {"ab\rcde", 18, 30}, {"ab\r\ncde", 18, 30},
        {"ab\n\rcde", 18, 45}, {"a\r", 6, 30}, {"\r\r", 0, 45}, {"a\r\n", 6, 30},  // a break at the end
    };
    const auto extent = [&f](const char* text) {
        return std::array{f.under.textWidth(text), f.under.textHeight(text)};
    };
    for (ScaleMode mode : {ScaleMode::Pixels, ScaleMode::Twips}) {
        f.window.setScaleMode(mode);
        const double unit = mode == ScaleMode::Pixels ? 1 : 15;
        for (const auto& [text, width, height] : cases)
            EXPECT_EQ(extent(text), (std::array{width * unit, height * unit})) << text;
    }
    // A line break is looked for within the text only, never in whatever follows it in memory.
    EXPECT_EQ(splitLines(std::string_view("a\r\nb").substr(0, 2)), (std::vector<std::string_view>{"a", ""}));
    // A bigger font, and bold, which the test font makes a pixel wider.
    f.under.setFont({.name = "Arial", .points = 18, .bold = true});
    EXPECT_EQ(extent("ab"), (std::array{2 * 13 * 15.0, 30 * 15.0}));
    // Printing goes line under line in the fore colour, and a clear starts at the top again.
    TwoPictures g(rt, FormStyle{.caption = "Test", .font = {.name = "Arial", .points = 6}});  // 4 x 10 cells
    g.under.setBackColor(0);
    g.under.setHeight(14);
    g.under.setForeColor(5);
    g.under.setCurrentX(2);
    g.under.print("a b\rc");
    EXPECT_EQ((std::array{g.under.currentX(), g.under.currentY()}), (std::array{0, 20}));
    g.under.print("x");  // below the picture: clipped
    g.under.box(19, 0, 17, 13, 5);
    const std::string text = "..###.....###....#.#", blank = ".................#.#";
    EXPECT_EQ(
        rows(g.under.image()),
        (std::vector<std::string>{".................###", blank, text, text, text, text, text, text, blank,
                                  blank, blank, blank, "###..............#.#", "###..............###"}));
    EXPECT_EQ(g.under.image().at(2, 2), 5u);
    g.under.cls();
    g.under.print("a");
    EXPECT_EQ((std::tuple{g.under.image().at(0, 2), g.under.currentY()}), (std::tuple{5u, 10}));
}

// A picture placed in twips is drawn on in pixels; switching its form to pixel units lays it out
// again, and the mouse reaches the handlers in the form's units. A screen that reports no twips per
// pixel counts one twip a pixel.
TEST(Picture, FollowsItsFormsUnitsInSizeAndMouse) {
    HeadlessRuntime rt;  // 15 twips a pixel
    Form form(rt, "frmTest", FormStyle{});
    Picture& pic = form.addPicture("picTest");
    test::place(pic, 0, 0, 150, 60);
    EXPECT_EQ((std::array{pic.image().width(), pic.image().height()}), (std::array{10, 4}));
    std::vector<std::array<float, 5>> seen;  // which handler (1 down, 2 move, 3 up), button, shift, x, y
    for (auto [handler, which] :
         {std::pair{&Control::onMouseDown, 1.0f}, {&Control::onMouseMove, 2.0f}, {&Control::onMouseUp, 3.0f}})
        pic.*handler = [&seen, which](const MouseArgs& e) {
            seen.push_back({which, float(e.button), float(e.shift), e.x, e.y});
        };
    pic.mouseDown(kLeftButton, 2, 3, 4);
    pic.mouseMove(kRightButton, 4, 5, 6);
    form.setScaleMode(ScaleMode::Pixels);
    EXPECT_EQ((std::array{pic.image().width(), pic.image().height()}), (std::array{150, 60}));
    pic.mouseUp(4, 1, 7, 8);
    EXPECT_EQ(seen,
              (std::vector<std::array<float, 5>>{{1, 1, 2, 45, 60}, {2, 2, 4, 75, 90}, {3, 4, 1, 7, 8}}));
    rt.setScreen(1024, 768, 0);
    form.setScaleMode(ScaleMode::Twips);
    test::place(pic, 30, 45, 60, 15);
    EXPECT_EQ(pic.pixelRect(), (PixelRect{30, 45, 60, 15}));
    // A size below zero is none, what is not a number leaves a place as it was, and a place stops at
    // what a window may have, the bound itself included.
    test::place(pic, -7, 1e12, -5, 0);
    pic.setLeft(std::nan(""));
    EXPECT_EQ((std::tuple{pic.pixelRect(), pic.width()}),
              (std::tuple{PixelRect{-7, kMaxWindowPixels, 0, 0}, 0.0}));
    test::place(pic, -kMaxWindowPixels, 0, kMaxWindowPixels, 1);
    EXPECT_EQ(pic.pixelRect(), (PixelRect{-kMaxWindowPixels, 0, kMaxWindowPixels, 1}));
}

TEST(HeadlessTimers, TickOnlyWhileEnabledWithAnIntervalAndRestartWhenReenabled) {
    HeadlessRuntime rt;
    std::vector<std::string> fired;
    Timer a(rt, "a", 300, true);
    Timer b(rt, "b", 200, false);
    Timer zero(rt, "zero", -1, true);
    for (Timer* t : {&a, &b, &zero})
        t->onTimer = [&, t] { fired.push_back(t->name() + "@" + std::to_string(rt.now())); };
    rt.advance(250);
    b.setEnabled(true);
    b.setEnabled(true);  // counts from now; already on the second time: no restart
    rt.advance(400);
    a.setInterval(-300);
    EXPECT_EQ((std::array{a.interval(), zero.interval()}), (std::array{0, 0}));
    rt.advance(1000);  // no interval: no ticks, enabled or not
    EXPECT_EQ(fired, (std::vector<std::string>{"a@300", "b@450", "a@600", "b@650", "b@850", "b@1050",
                                               "b@1250", "b@1450", "b@1650"}));
    fired.clear();
    b.setInterval(500);
    rt.advance(600);  // a new interval counts from now, not the last tick
    EXPECT_EQ(fired, std::vector<std::string>{"b@2150"});
    rt.end();
    rt.advance(1000);
    EXPECT_EQ(fired.size(), 1u);  // nothing after the end
}

TEST(MouseRouter, TheControlOnTopGetsTheMouseThePressedOneKeepsItAndALeftDownAndUpOnItIsItsClick) {
    HeadlessRuntime rt;
    TwoPictures f(rt);
    MouseRouter& m = f.window.mouse();
    EXPECT_TRUE(m.press(kLeftButton, 0, 12, 3));                 // both lie here: the later one is on top
    EXPECT_TRUE(m.move(kLeftButton, 0, 2, 4));                   // over "under" now, but "over" holds it
    EXPECT_TRUE(m.release(kRightButton, kLeftButton, 0, 2, 4));  // another button: still held
    EXPECT_FALSE(m.release(kLeftButton, 0, 0, 2, 4));            // the last one up lets go
    m.move(0, 0, 2, 4);
    m.move(0, 0, 40, 4);  // then outside both: nobody
    f.over.setVisible(false);
    m.press(kRightButton, 0, 12, 3);
    m.release(kRightButton, 0, 0, 12, 3);  // a hidden control takes no mouse
    f.over.setVisible(true);
    f.over.setEnabled(false);
    EXPECT_EQ(m.controlAt(12, 3), &f.under);  // nor does a disabled one
    f.over.setEnabled(true);
    EXPECT_TRUE(m.doubleClick(kLeftButton, 0, 15, 5));  // the control double-clicked holds the mouse
    m.doubleClick(kRightButton, 0, 15, 5);
    m.release(kRightButton, 0, 0, 15, 5);  // not a double-click
    f.under.setTop(4);                     // places are measured from the control's own corner
    m.press(kLeftButton, 0, 3, 6);
    m.move(kLeftButton, 0, 4, 7);
    m.release(kLeftButton, 0, 0, 3, 6);
    m.move(0, 0, 15, 3);
    EXPECT_EQ(f.seen, (std::vector<std::string>{"down over 2,3 b1", "move over -8,4 b1", "up over -8,4 b2",
                                                "up over -8,4 b1", "move under 2,4 b0", "down under 12,3 b2",
                                                "up under 12,3 b2", "dbl over", "down over 5,5 b2",
                                                "up over 5,5 b2", "down under 3,2 b1", "move under 4,3 b1",
                                                "up under 3,2 b1", "move over 5,3 b0"}));

    // A left button down and up on the same control is its click.
    f.seen.clear();
    f.under.setTop(0);
    for (Picture* p : {&f.under, &f.over})
        p->onClick = [&f, name = p->name()] { f.seen.push_back("click " + name); };
    // Pressed, then released: a click on "under"; let go outside, or another button: none; a click on
    // "over"...
    // clang-format off
    for (auto [button, x, y, ux, uy] : {std::array<int, 5>{kLeftButton, 2, 2, 3, 3}, {kLeftButton, 2, 2, 40, 3},
                                        {kRightButton, 12, 2, 12, 2}, {kLeftButton, 12, 2, 12, 2}}) {
        // clang-format on
        m.press(button, 0, x, y);
        m.release(button, 0, 0, ux, uy);
    }
    m.press(kLeftButton, 0, 12, 2);  // a press whose release was lost on the way
    m.doubleClick(kLeftButton, 0, 12, 2);
    m.release(kLeftButton, 0, 0, 12, 2);  // ...not again
    // A menu took the mouse: the release goes nowhere near a click.
    m.press(kLeftButton, 0, 12, 2);
    m.captureLost();
    m.release(kLeftButton, 0, 0, 12, 2);
    EXPECT_EQ(f.seen.back(), "up over 2,2 b1");  // still the control's release, under the cursor
    std::erase_if(f.seen,
                  [](const std::string& s) { return !s.starts_with("click") && !s.starts_with("dbl"); });
    EXPECT_EQ(f.seen, (std::vector<std::string>{"click under", "click over", "dbl over"}));
}

TEST(FormsRuntime, ClosingIsDecidedByTheFormsOwnHandlers) {
    test::TestProgram p;
    EXPECT_FALSE(p.meterWindow().queryUnload(kCloseFromWindow));  // Alt+F4 on the meter: refused by the meter
    EXPECT_TRUE(p.meterWindow().loaded() && p.meterWindow().visible());

    HeadlessRuntime rt;
    TwoPictures f(rt);
    std::vector<std::string> seen;
    std::int16_t refuse = 1;
    f.window.onQueryUnload = [&](std::int16_t&, std::int16_t reason) {
        seen.push_back("query " + std::to_string(reason));
    };
    f.window.onUnload = [&](std::int16_t& cancel) {
        seen.push_back("unload");
        cancel = refuse;
    };
    f.window.onUnloaded = [&] { seen.push_back("unloaded"); };
    EXPECT_FALSE(f.window.queryUnload(kCloseFromWindow));  // not loaded: nothing to close
    f.window.show();
    f.window.mouse().press(kLeftButton, 0, 1, 1);
    EXPECT_FALSE(f.window.queryUnload(kCloseFromWindow));
    EXPECT_TRUE(f.window.visible());
    refuse = 0;
    EXPECT_TRUE(f.window.unload());
    // An unloaded form holds no mouse.
    EXPECT_EQ((std::tuple{f.window.visible() || f.window.loaded(), f.window.mouse().captured()}),
              (std::tuple{false, nullptr}));
    EXPECT_EQ(seen, (std::vector<std::string>{"query 0", "unload", "query 1", "unload", "unloaded"}));
}

// A form that unloads itself in its own handler is released after the handler returns.
TEST(FormsRuntime, AFormThatUnloadsItselfIsReleasedAfterItsHandlerAndTheSessionsEndAsksEveryFormLeft) {
    HeadlessRuntime rt;
    FormInstance<TwoPictures> dialog(rt, [&] { return std::make_unique<TwoPictures>(rt); });
    TwoPictures& f = dialog.get();
    f.over.onClick = [&f] {
        f.window.unload();
        f.seen.push_back("after the unload");  // still the same form: AddressSanitizer would see otherwise
    };
    f.window.show();
    f.over.click();
    EXPECT_EQ((std::tuple{dialog.find(), rt.forms().size()}), (std::tuple{&f, 1u}));
    rt.runPosted();
    EXPECT_EQ((std::tuple{dialog.find(), rt.forms().size()}), (std::tuple{nullptr, 0u}));

    // Opened again before the release ran: the open form stays.
    dialog.get().window.show();
    dialog.get().window.unload();
    dialog.get().window.show();
    rt.runPosted();
    ASSERT_NE(dialog.find(), nullptr);
    EXPECT_TRUE(dialog.find()->window.visible());
    // The end of the session asks each form once; one that an earlier form's handler released is not
    // asked at all.
    std::vector<std::string> asked;
    std::unique_ptr<TwoPictures> forms[3];
    for (auto& form : forms) {
        form = std::make_unique<TwoPictures>(rt);
        form->window.onQueryUnload = [&asked, &forms, &form](std::int16_t&, std::int16_t reason) {
            asked.push_back(std::to_string(&form - forms) + " " + std::to_string(reason));
            if (&form == forms) forms[1].reset();
        };
        form->window.show();
    }
    rt.endSession();
    EXPECT_EQ(asked, (std::vector<std::string>{"0 2", "2 2"}));
}

TEST(FormsRuntime, ThePeerIsAskedToRepaintOnlyWhenAHandlersDrawingChangedThePixels) {
    HeadlessRuntime rt;
    TwoPictures f(rt);
    rt.runPosted();
    int& repaints = rt.peerOf(f.window).repaints;
    // A whole drawing is one repaint; the same picture again is none; the line alone differing is one.
    for (auto [fill, line, times] :
         {std::array<Color, 3>{0xFF, 1, 1}, {0xFF, 1, 0}, {0xFF00, 1, 1}, {0xFF00, 2, 1}}) {
        const int before = repaints;
        f.under.cls();
        f.under.fillBox(0, 0, 5, 5, fill);
        f.under.line(0, 9, 19, 9, line);
        rt.runPosted();
        EXPECT_EQ(Color(repaints - before), times) << fill << " " << line;
    }
    const std::function<void()> eachAlone[] = {
        [&] { f.under.fillBox(0, 0, 5, 5, 7); }, [&] { f.under.line(0, 9, 19, 9, 7); },
        [&] { f.under.box(1, 1, 4, 4, 8); }, [&] { f.under.cls(); }, [&] { f.under.print("x"); }};
    for (const auto& draw : eachAlone) {
        const int before = repaints;
        draw();
        rt.runPosted();
        EXPECT_EQ(repaints, before + 1) << "every kind of drawing reaches the window by itself";
    }
    for (auto move : {&Picture::setLeft, &Picture::setTop}) {  // painted again at its new place
        const int before = repaints;
        (f.under.*move)(3);
        EXPECT_EQ(repaints, before + 1);
        (f.under.*move)(0);
        rt.runPosted();
        EXPECT_EQ(repaints, before + 2);
    }
}

// A dialog of the tests' own with one control of each kind, two groups of options, a frame holding
// some of them, and a log of what the program hears.
class Controls : public ::testing::Test {
  protected:
    Controls() {
        test::place(frame, 600, 300, 1500, 900);
        test::place(inFrame, 150, 150, 300, 300);
        text.onChange = [this] { seen.push_back("change " + text.text()); };
        for (Control* c : std::initializer_list<Control*>{&check, &a1, &a2, &b1, &ok, &cancel})
            c->onClick = [this, c] { seen.push_back("click " + c->name()); };
        for (Control* c : std::initializer_list<Control*>{&text, &ok})
            c->onKeyPress = [this, c](std::int16_t& key) {
                seen.push_back("key " + std::to_string(key) + " " + c->name());
                if (key == consumed) key = 0;
            };
        for (auto [c, index] : {std::pair<Control*, int>{&text, 2}, {&check, 1}, {&ok, 3}, {&cancel, 3}})
            c->setTabIndex(index);
        ok.setDefault(true);
        cancel.setCancel(true);
    }
    // The stops in Tab's order, by name.
    std::string tabOrder() { return test::namesOf(window.keyboard().tabOrder()); }
    HeadlessRuntime rt;
    Form window{rt, "dlg", FormStyle{.caption = "Kinds", .font = {}}};
    Label& label = window.add<Label>("label");
    TextBox& text = window.add<TextBox>("text");
    CheckBox& check = window.add<CheckBox>("check");
    OptionButton& a1 = window.add<OptionButton>("a1");
    OptionButton& a2 = window.add<OptionButton>("a2");
    Frame& frame = window.add<Frame>("frame");
    OptionButton& b1 = window.add<OptionButton>("b1", &frame);
    Picture& inFrame = window.add<Picture>("inFrame", &frame);
    CommandButton& ok = window.add<CommandButton>("ok");
    CommandButton& cancel = window.add<CommandButton>("cancel");
    std::vector<std::string> seen;
    std::int16_t consumed = -1;
};

TEST_F(Controls, OnlyTheUsersActionsAreReportedOptionsFormOneGroupPerContainerAndFramesCarryTheirControls) {
    text.setText("set by the program");
    text.userEdited("typed");
    text.userEdited("typed");  // the second is no change: nothing to report
    check.setValue(kChecked);
    check.userClicked();
    check.setValue(2);
    check.userClicked();  // greyed
    a1.setValue(true);
    b1.setValue(true);  // another container: another group
    a2.userClicked();
    EXPECT_EQ((std::tuple{text.text(), check.value(), a1.value(), a2.value(), b1.value()}),
              (std::tuple{"typed", kChecked, false, true, true}));
    EXPECT_EQ(seen, (std::vector<std::string>{"change typed", "click check", "click check", "click a2"}));
    // A frame's controls follow its place and its visibility.
    window.show();
    rt.runPosted();
    EXPECT_EQ(
        (std::tuple{inFrame.pixelRect(), window.mouse().controlAt(55, 35), window.mouse().controlAt(45, 35)}),
        (std::tuple{PixelRect{50, 30, 20, 20}, &inFrame, &frame}));  // above its container
    const int repaints = rt.peerOf(window).repaints;
    frame.setLeft(0);
    EXPECT_EQ((std::tuple{inFrame.pixelRect(), inFrame.image().width()}),
              (std::tuple{PixelRect{10, 30, 20, 20}, 20}));
    EXPECT_GE(rt.peerOf(window).repaints, repaints + 3);  // the frame and both of its controls
    frame.setVisible(false);
    EXPECT_EQ((std::tuple{window.mouse().controlAt(15, 35), b1.canHaveFocus()}),
              (std::tuple{nullptr, false}));
}

// A label's box may reach under the text box beside it, made before or after it: the label lies
// beneath, for the pixels and for the mouse, and every frame beneath what it holds.
TEST_F(Controls, LabelsLieBeneathEveryInputAndFramesBeneathWhatTheyHoldWhateverTheOrderOfCreation) {
    Frame& inner = window.add<Frame>("inner", &frame);
    Label& late = window.add<Label>("late", &frame);
    const Frame& deep = window.add<Frame>("deep", &inner);
    window.add<Frame>("last");  // on the form, made after a frame inside another
    for (Control* c : std::initializer_list<Control*>{&label, &text, &late, &inner})
        test::place(*c, c == &label || c == &text ? 0 : 100, c->top(), 600, 600);
    EXPECT_EQ(test::namesOf(window.drawingOrder()),
              "frame last inner deep label late text check a1 a2 b1 inFrame ok cancel ");
    EXPECT_EQ((std::array{label.depth(), frame.depth(), inner.depth(), deep.depth()}),
              (std::array{0, 0, 1, 2}));
    window.show();
    EXPECT_EQ((std::tuple{window.mouse().controlAt(20, 20), window.mouse().controlAt(55, 35)}),
              (std::tuple{&text, &inFrame}));
}

// Whatever the program sets must reach the native window, or the dialog shows stale controls.
TEST_F(Controls, EverySettingTheProgramMakesReachesTheWindow) {
    window.show();
    rt.runPosted();
    label.setCaption("A caption");
    HeadlessFormPeer& peer = rt.peerOf(window);
    const Font big{.name = "Arial", .points = 18, .bold = true};  // 13 x 30 pixels a character; bold, +1
    struct Setting {
        const char* what;
        std::function<void()> set;
        int HeadlessFormPeer::*heard = &HeadlessFormPeer::repaints;
        int times = 1;  // how many windows it changes
    };
    const Setting settings[] = {
        // clang-format off
        {"caption", [&] { label.setCaption("Another caption"); }}, {"text", [&] { text.setText("new text"); }},
        {"locked", [&] { text.setLocked(true); }},                 {"border", [&] { text.setBorder(false); }},
        {"box colour", [&] { text.setBackColor(0x654321); }},
        {"tab stop", [&] { check.setTabStop(false); }},            {"enabled", [&] { ok.setEnabled(false); }},
        {"frame hidden", [&] { frame.setVisible(false); }, &HeadlessFormPeer::repaints, 3},  // and its two
        {"tooltip", [&] { cancel.setToolTipText("Leave"); }},      {"check", [&] { check.setValue(kChecked); }},
        {"option", [&] { a1.setValue(true); }},
        {"other option", [&] { a2.setValue(true); }, &HeadlessFormPeer::repaints, 2},   // and the first
        {"default", [&] { cancel.setDefault(true); }, &HeadlessFormPeer::repaints, 2},  // and the old one
        {"auto-size", [&] { label.setAutoSize(true); }},           {"font", [&] { text.setFont(big); }},
        {"label's font", [&] { label.setFont(big); }},  // sized to its caption again
        {"form colour", [&] { window.setBackColor(0x123456); }},
        {"form caption", [&] { window.setCaption("Renamed"); }, &HeadlessFormPeer::captions},
        {"form place", [&] { window.setLeft(300); }, &HeadlessFormPeer::moves},
        {"form size", [&] { window.setHeight(900); }, &HeadlessFormPeer::moves},
        {"hidden", [&] { window.hide(); }, &HeadlessFormPeer::shows},
        {"shown", [&] { window.show(); }, &HeadlessFormPeer::shows},
        {"shown, focus", [&] { window.show(); }, &HeadlessFormPeer::focusMoves},
        {"focus", [&] { check.setFocus(); }, &HeadlessFormPeer::focusMoves},
        // clang-format on
    };
    for (const Setting& s : settings) {
        SCOPED_TRACE(s.what);
        const int before = peer.*s.heard;
        s.set();
        EXPECT_GE(peer.*s.heard, before + s.times);
    }
    // What the window then reads from the controls is what was set.
    EXPECT_EQ((std::tuple{label.caption(), text.text(), text.locked(), text.border(), text.backColor(),
                          check.tabStop(), ok.enabled(), cancel.toolTipText(), check.value(),
                          window.style().caption, text.font(), label.width(), label.height()}),
              (std::tuple{"Another caption", "new text", true, false, 0x654321u, false, false, "Leave",
                          kChecked, "Renamed", big, (15 * 13 + 1) * 15.0, 30 * 15.0}));
}

TEST_F(Controls, TheFocusStartsAtTheFirstTabStopAndEnterAndEscPressTheirButtons) {
    // Ties keep the form's order; labels and frames are never stops, and a group of options is one
    // stop, at its selected option.
    EXPECT_EQ(tabOrder(), "inFrame check text ok cancel ");
    a2.setValue(true);
    b1.setValue(true);
    EXPECT_EQ(tabOrder(), "a2 b1 inFrame check text ok cancel ");
    Keyboard& keys = window.keyboard();
    window.show();
    EXPECT_EQ(keys.activeControl(), &a2);
    // Tab walks the stops round, Shift+Tab back.
    std::string walk;
    for (bool forward : {true, true, true, true, true, true, true, false, false}) {
        keys.tab(forward);
        walk += keys.activeControl()->name() + " ";
    }
    EXPECT_EQ(walk, "b1 inFrame check text ok cancel a2 cancel ok ");
    for (bool forward : {true, false}) {  // from no focus: the first stop, or the last
        keys.userFocused(nullptr);
        keys.tab(forward);
        EXPECT_EQ(keys.activeControl(), forward ? static_cast<Control*>(&a2) : &cancel);
    }
    // The arrows walk a group by its tab indexes, whatever the order the options were made in.
    OptionButton& a3 = window.add<OptionButton>("a3");
    a3.setTabIndex(1);
    a2.setTabIndex(2);
    a2.setFocus();
    EXPECT_TRUE(keys.arrowKey(true));  // round to the first of the group
    keys.arrowKey(true);
    EXPECT_EQ(keys.activeControl(), &a3);
    keys.arrowKey(false);
    EXPECT_EQ((std::tuple{keys.activeControl(), a1.value() && !a2.value() && !a3.value() && b1.value()}),
              (std::tuple{&a1, true}));
    text.setFocus();
    EXPECT_FALSE(keys.arrowKey(true));  // the text box's own: its caret
    check.setFocus();
    // Not an option: taken, and nothing happens.
    EXPECT_EQ((std::tuple{keys.arrowKey(true), keys.activeControl(), seen}),
              (std::tuple{true, &check, std::vector<std::string>{"click a1", "click a1"}}));
    window.unload();
    seen.clear();
    a1.setVisible(false);
    a2.setTabStop(false);
    frame.setEnabled(false);
    window.show();
    EXPECT_EQ(keys.activeControl(), &check);
    keys.tab(false);  // round backwards, past all that cannot have the focus
    EXPECT_EQ(keys.activeControl(), &cancel);

    // The focus, the key, the key its handler consumes, what the program hears. Consumed by the box;
    // Enter on a button presses that button.
    const std::tuple<Control*, std::int16_t, std::int16_t, std::vector<std::string>> cases[] = {
        // clang-format off
        {&text, kKeyReturn, -1, {"key 13 text", "click ok"}}, {&text, kKeyReturn, kKeyReturn, {"key 13 text"}},
        {&text, kKeyEscape, -1, {"key 27 text", "click cancel"}}, {&cancel, kKeyReturn, -1, {"click cancel"}},
        {&ok, kKeyReturn, kKeyReturn, {"key 13 ok"}}, {&check, 'x', -1, {}},
        // clang-format on
    };
    for (const auto& [focus, key, consumedByBox, heard] : cases) {
        seen.clear();
        focus->setFocus();
        consumed = consumedByBox;
        keys.keyPress(key);
        EXPECT_EQ(seen, heard) << focus->name() << " " << key;
    }
    check.setFocus();
    ok.setEnabled(false);
    seen.clear();
    keys.keyPress(kKeyReturn);  // a disabled default button cannot be pressed
    // One default and one cancel button a form: setting one clears the others, clearing one no other.
    for (const bool set : {true, false}) {
        (set ? cancel : ok).setDefault(set);
        (set ? ok : cancel).setCancel(set);
        EXPECT_EQ((std::array{ok.isDefault(), cancel.isDefault(), ok.isCancel(), cancel.isCancel()}),
                  (std::array{false, true, true, false}))
            << set;
    }
    ok.setEnabled(true);
    keys.keyPress(kKeyReturn);
    keys.keyPress(kKeyEscape);
    EXPECT_EQ(seen, (std::vector<std::string>{"click cancel", "click ok"}));
    window.unload();
    keys.keyPress(kKeyReturn);
    keys.tab(true);
    EXPECT_EQ((std::tuple{keys.arrowKey(true), seen.size(), keys.activeControl()}),
              (std::tuple{false, 2u, &check}));

    // Any key that reaches a form shows where its focus is: Tab, an arrow or another key. Where Tab finds
    // no other place, the focus stays where it is, or is nowhere.
    for (int key = 0; key < 3; ++key) {
        Form form(rt, "form", FormStyle{});
        CheckBox& only = form.add<CheckBox>("only");
        Keyboard& k = form.keyboard();
        form.show();
        k.userFocused(&only);
        EXPECT_FALSE(k.showsFocusMark()) << "shown and clicked only";
        key == 0 ? k.tab(true) : key == 1 ? void(k.arrowKey(true)) : k.keyPress('x');
        EXPECT_EQ((std::tuple{k.activeControl(), k.showsFocusMark()}), (std::tuple{&only, true})) << key;
        only.setTabStop(false);
        k.userFocused(nullptr);  // and with no stop at all
        k.tab(true);
        EXPECT_EQ(k.activeControl(), nullptr);
        // A focused control that can take the focus no more leaves none, where no other can take it.
        only.setTabStop(true);
        k.userFocused(&only);
        only.setEnabled(false);
        form.show();
        EXPECT_EQ(k.activeControl(), nullptr);
    }
}

TEST(FormsRuntime, ADialogsFrameLiesBetweenItsOuterSizeAndItsClientArea) {
    HeadlessRuntime rt;
    rt.setDialogFrame({4, 30, 5, 6});
    Form dialog(rt, "dialog", FormStyle{.caption = "D", .border = BorderStyle::FixedDialog, .font = {}});
    Form plain(rt, "plain", FormStyle{});
    for (Form* f : {&dialog, &plain}) test::place(*f, 0, 0, 3000, 1500);
    // The client area in pixels, then in the form's units.
    const auto client = [](const Form& f) {
        return std::array<double, 4>{double(f.clientPixelWidth()), double(f.clientPixelHeight()),
                                     f.scaleWidth(), f.scaleHeight()};
    };
    EXPECT_EQ(dialog.frame(), (WindowFrame{4, 30, 5, 6}));
    EXPECT_EQ(client(dialog), (std::array<double, 4>{191, 64, 2865, 960}));
    EXPECT_EQ(client(plain), (std::array<double, 4>{200, 100, 3000, 1500}));
    dialog.setScaleMode(ScaleMode::Pixels);
    EXPECT_EQ(client(dialog), (std::array<double, 4>{191, 64, 191, 64}));
    test::place(dialog, 0, 0, 30, 30);  // smaller than its frame: no client area at all
    EXPECT_EQ(client(dialog), (std::array<double, 4>{0, 0, 0, 0}));
}

}  // namespace
}  // namespace corvane
