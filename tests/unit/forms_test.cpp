#include "platform/forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/form_instance.h"
#include "platform/headless/headless_runtime.h"
#include "program_fixture.h"
#include "two_pictures.h"

namespace corvane {
namespace {

using test::TwoPictures;

std::vector<std::string> rows(const PixelImage& img) {
    std::vector<std::string> out;
    for (int y = 0; y < img.height(); ++y) {
        std::string row;
        for (int x = 0; x < img.width(); ++x) row += img.at(x, y) == 0 ? '.' : '#';
        out.push_back(row);
    }
    return out;
}

TEST(PixelImage, BoxesAndLinesIncludeBothEndsAndClipAtTheEdges) {
    PixelImage img;
    img.resize(6, 4, 0);
    img.fillRect(4, 2, 1, 1, 1);  // corners in any order
    EXPECT_EQ(rows(img), (std::vector<std::string>{"......", ".####.", ".####.", "......"}));
    img.fill(0);
    img.fillRect(0, 0, 0, 3, 1);  // a box of zero width is one pixel wide
    img.line(5, 0, 5, 100, 1);
    img.line(-100, 3, 2, 3, 1);
    EXPECT_EQ(rows(img), (std::vector<std::string>{"#....#", "#....#", "#....#", "###..#"}));
    img.fill(0);
    img.line(0, 0, 3, 3, 1);
    img.line(-1000000000, 1000000003, 1000000003, -1000000000, 1);  // far ends: clipped, not walked
    EXPECT_EQ(rows(img), (std::vector<std::string>{"#..#..", ".##...", ".##...", "#..#.."}));
    img.fill(0);
    img.line(0, 0, 5, 2, 1);  // a shallow line steps down where it crosses each half pixel
    EXPECT_EQ(rows(img), (std::vector<std::string>{"##....", "..##..", "....##", "......"}));
}

TEST(PixelImage, ARidiculousSizeIsCappedInsteadOfExhaustingMemory) {
    test::TestProgram p("Width=1E30 Upright=1");
    const Form& w = p.meterWindow();
    EXPECT_EQ(w.pixelWidth(), 32767);
    EXPECT_EQ(w.pixelHeight(), 51);
    EXPECT_LE(
        static_cast<long long>(p.meter().picHistory.image().width()) * p.meter().picHistory.image().height(),
        4LL * 1024 * 1024);
    test::TestProgram negative("Width=-5 Upright=0");
    EXPECT_EQ(negative.meterWindow().pixelHeight(), 0);
    EXPECT_EQ(negative.meter().picHistory.image().height(), 0);
    // A place far off every screen is kept within ten times the largest window, either way.
    for (const char* left : {"-1E30", "1E30"}) {
        test::TestProgram far(std::string("Position=4 Top=1E30 Left=") + left);
        EXPECT_EQ(far.meterWindow().pixelLeft(), left[0] == '-' ? -327670 : 327670);
        EXPECT_EQ(far.meterWindow().pixelTop(), 327670);
    }
}

// The headless test font (6 x 15 pixels a character at 9 pt, 15 twips per pixel) makes every size an
// exact number; the units are those the picture is placed in.
TEST(PictureText, MeasuresTheWidestLineAndEveryLineInThePicturesUnits) {
    HeadlessRuntime rt;
    TwoPictures f(rt, FormStyle{.caption = "Test", .font = {.name = "Arial", .points = 9}});
    struct Case {
        const char* text;
        double width, height;  // pixels
    } const cases[] = {
        {"", 0, 15},           {"  ", 12, 15}, {"abc", 18, 15}, {"ab\rcde", 18, 30}, {"ab\r\ncde", 18, 30},
        {"ab\n\rcde", 18, 45}, {"a\r", 6, 30}, {"\r\r", 0, 45}, {"a\r\n", 6, 30},  // a break at the end
    };
    for (ScaleMode mode : {ScaleMode::Pixels, ScaleMode::Twips}) {
        f.window.setScaleMode(mode);
        const double unit = mode == ScaleMode::Pixels ? 1 : 15;
        for (const Case& c : cases) {
            EXPECT_EQ(f.under.textWidth(c.text), c.width * unit) << c.text;
            EXPECT_EQ(f.under.textHeight(c.text), c.height * unit) << c.text;
        }
    }
    // A bigger font, and bold, which the test font makes a pixel wider.
    f.under.setFont({.name = "Arial", .points = 18, .bold = true});
    EXPECT_EQ(f.under.textWidth("ab"), 2 * 13 * 15);
    EXPECT_EQ(f.under.textHeight("ab"), 30 * 15);
}

TEST(PictureText, PrintsLineUnderLineInTheForeColourAndAClearStartsAtTheTopAgain) {
    HeadlessRuntime rt;
    TwoPictures f(rt, FormStyle{.caption = "Test", .font = {.name = "Arial", .points = 6}});  // 4 x 10 cells
    f.under.setBackColor(0);
    f.under.setHeight(14);
    f.under.setForeColor(5);
    f.under.setCurrentX(2);
    f.under.print("a b\rc");
    EXPECT_EQ(f.under.currentX(), 0);
    EXPECT_EQ(f.under.currentY(), 20);
    f.under.print("x");  // below the picture: clipped
    f.under.box(19, 0, 17, 13, 5);
    const std::string text = "..###.....###....#.#", blank = ".................#.#";
    EXPECT_EQ(
        rows(f.under.image()),
        (std::vector<std::string>{".................###", blank, text, text, text, text, text, text, blank,
                                  blank, blank, blank, "###..............#.#", "###..............###"}));
    EXPECT_EQ(f.under.image().at(2, 2), 5u);
    f.under.cls();
    f.under.print("a");
    EXPECT_EQ(f.under.image().at(0, 2), 5u);
    EXPECT_EQ(f.under.currentY(), 10);
}

TEST(HeadlessTimers, TickOnlyWhileEnabledWithAnIntervalAndRestartWhenReenabled) {
    HeadlessRuntime rt;
    std::vector<std::string> fired;
    Timer a(rt, "a", 300, true), b(rt, "b", 200, false), zero(rt, "zero", 0, true);
    a.onTimer = [&] { fired.push_back("a@" + std::to_string(rt.now())); };
    b.onTimer = [&] { fired.push_back("b@" + std::to_string(rt.now())); };
    zero.onTimer = [&] { fired.push_back("zero"); };
    rt.advance(250);
    b.setEnabled(true);  // counts from now
    b.setEnabled(true);  // already on: no restart
    rt.advance(400);
    a.setInterval(0);  // no interval: no ticks, enabled or not
    rt.advance(1000);
    EXPECT_EQ(fired, (std::vector<std::string>{"a@300", "b@450", "a@600", "b@650", "b@850", "b@1050",
                                               "b@1250", "b@1450", "b@1650"}));
    rt.end();
    rt.advance(1000);
    EXPECT_EQ(fired.size(), 9u);  // nothing after the end
}

TEST(MouseRouter, TheControlOnTopGetsTheMouseAndThePressedOneKeepsItUntilEveryButtonIsUp) {
    HeadlessRuntime rt;
    TwoPictures f(rt);
    MouseRouter& m = f.window.mouse();
    EXPECT_TRUE(m.press(kLeftButton, 0, 12, 3));                 // both lie here: the later one is on top
    EXPECT_TRUE(m.move(kLeftButton, 0, 2, 4));                   // over "under" now, but "over" holds it
    EXPECT_TRUE(m.release(kRightButton, kLeftButton, 0, 2, 4));  // another button: still held
    EXPECT_FALSE(m.release(kLeftButton, 0, 0, 2, 4));            // the last one up lets go
    m.move(0, 0, 2, 4);
    m.move(0, 0, 40, 4);  // outside both: nobody
    f.over.setVisible(false);
    m.press(kRightButton, 0, 12, 3);  // a hidden control takes no mouse
    m.release(kRightButton, 0, 0, 12, 3);
    f.over.setVisible(true);
    f.over.setEnabled(false);
    EXPECT_EQ(m.controlAt(12, 3), &f.under);  // nor does a disabled one
    f.over.setEnabled(true);
    m.doubleClick(kLeftButton, 0, 15, 5);
    m.doubleClick(kRightButton, 0, 15, 5);  // only the left button's double-click is one
    m.release(kRightButton, 0, 0, 15, 5);
    f.under.setTop(4);  // places are measured from the control's own corner
    m.press(kLeftButton, 0, 3, 6);
    m.release(kLeftButton, 0, 0, 3, 6);
    m.move(0, 0, 15, 3);
    EXPECT_EQ(f.seen,
              (std::vector<std::string>{"down over 2,3 b1", "move over -8,4 b1", "up over -8,4 b2",
                                        "up over -8,4 b1", "move under 2,4 b0", "down under 12,3 b2",
                                        "up under 12,3 b2", "dbl over", "down over 5,5 b2", "up over 5,5 b2",
                                        "down under 3,2 b1", "up under 3,2 b1", "move over 5,3 b0"}));
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
    EXPECT_FALSE(f.window.visible() || f.window.loaded());
    EXPECT_EQ(f.window.mouse().captured(), nullptr);  // an unloaded form holds no mouse
    EXPECT_EQ(seen, (std::vector<std::string>{"query 0", "unload", "query 1", "unload", "unloaded"}));
}

TEST(FormsRuntime, AFormThatUnloadsItselfInItsOwnHandlerIsReleasedAfterTheHandlerReturns) {
    HeadlessRuntime rt;
    FormInstance<TwoPictures> dialog(rt, [&] { return std::make_unique<TwoPictures>(rt); });
    TwoPictures& f = dialog.get();
    f.over.onClick = [&f] {
        f.window.unload();
        f.seen.push_back("after the unload");  // still the same form: AddressSanitizer would see otherwise
    };
    f.window.show();
    f.over.click();
    EXPECT_EQ(dialog.find(), &f);
    EXPECT_EQ(rt.forms().size(), 1u);
    rt.runPosted();
    EXPECT_EQ(dialog.find(), nullptr);
    EXPECT_TRUE(rt.forms().empty());

    // Opened again before the release ran: the open form stays.
    dialog.get().window.show();
    dialog.get().window.unload();
    dialog.get().window.show();
    rt.runPosted();
    ASSERT_NE(dialog.find(), nullptr);
    EXPECT_TRUE(dialog.find()->window.visible());
}

TEST(FormsRuntime, ThePeerIsAskedToRepaintOnlyWhenAHandlersDrawingChangedThePixels) {
    HeadlessRuntime rt;
    TwoPictures f(rt);
    auto draw = [&](Color c, Color lineColour = 1) {
        f.under.cls();
        f.under.fillBox(0, 0, 5, 5, c);
        f.under.line(0, 9, 19, 9, lineColour);
    };
    rt.runPosted();
    int before = rt.peerOf(f.window).repaints;
    draw(0xFF);
    rt.runPosted();
    EXPECT_EQ(rt.peerOf(f.window).repaints, before + 1);  // one repaint for the whole drawing
    draw(0xFF);
    rt.runPosted();
    EXPECT_EQ(rt.peerOf(f.window).repaints, before + 1);  // the same picture again: nothing to repaint
    draw(0xFF00);
    rt.runPosted();
    EXPECT_EQ(rt.peerOf(f.window).repaints, before + 2);
    draw(0xFF00, 2);  // only the line differs
    rt.runPosted();
    EXPECT_EQ(rt.peerOf(f.window).repaints, before + 3);
    for (auto move : {&Picture::setLeft, &Picture::setTop}) {  // painted again at its new place
        (f.under.*move)(3);
        EXPECT_EQ(rt.peerOf(f.window).repaints, before + 4);
        (f.under.*move)(0);
        rt.runPosted();
        EXPECT_EQ(rt.peerOf(f.window).repaints, before + 5);
        before += 2;
    }
}

TEST(FormsRuntime, DeferredCallsRunAfterTheCurrentHandlerAndNeverAfterTheEnd) {
    HeadlessRuntime rt;
    std::vector<int> order;
    rt.post([&] {
        order.push_back(1);
        rt.post([&] { order.push_back(3); });
        order.push_back(2);
    });
    EXPECT_TRUE(order.empty());
    rt.advance(0);
    rt.post([&] { order.push_back(4); });
    rt.end();
    rt.advance(1000);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace corvane
