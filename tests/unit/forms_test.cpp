#include "platform/forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_runtime.h"
#include "program_fixture.h"

namespace corvane {
namespace {

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
    a.setEnabled(false);
    rt.advance(1000);
    EXPECT_EQ(fired, (std::vector<std::string>{"a@300", "b@450", "a@600", "b@650", "b@850", "b@1050",
                                               "b@1250", "b@1450", "b@1650"}));
    rt.end();
    rt.advance(1000);
    EXPECT_EQ(fired.size(), 9u);  // nothing after the end
}

}  // namespace
}  // namespace corvane
