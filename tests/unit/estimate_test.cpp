// The time estimates from the history of samples, and the status text that puts them into words.

#include <gtest/gtest.h>

#include <sstream>

#include "program_fixture.h"

namespace corvane::test {
namespace {

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
        {"AC 50 48 46 44 42",                         25, 999},    // slope 2 on mains, after start-up
        {"AC 60 58 56 54 52",                         20, 999},
        {"AC 50 48 46 44",                            999, 999},   // four samples are too few
        {"AC 100 98 96",                              0, 999},     // full: whatever the history
        {"AC 100.9 98 96 94 92 90",                   0, 999},     // the whole part counts
        {"DC 76 77 78 79 80",                       999, 999},   // the oldest compares with an empty slot
        {"DC 76 77 78 79 80 81",                    999, 76},
        {"DC 76 77 78 79 80 AC 100",                999, 76},
        {"DC 76 77 78 79 80 AC 70",                 999, 999},   // stopped by the higher mains sample
        {"DC 78 79 80 81 82 83 84 85 86 87 88 89 90",999, 78},    // twelve samples at most
        {"DC 30 32 35 37 40 45",                    999, 12},    // slope 2.5
        {"DC 25 27 29 31 33 33",                    999, 12},    // 12.5 to the even neighbour
        {"DC 27 29 31 33 35 35",                    999, 14},    // 13.5 likewise
        {"DC 50 50 50 50 50 50 50 50 50 50 50 50",  999, 999},   // flat: no estimate
        {"DC 0 10 20 30 40 50",                     999, 0},     // empty
        {"DC 0.5 10 20 30 40 50",                   999, 0},
        {"DC 1 2 3 4 5 6",                          999, 1},     // a level of 1 is not empty yet
        {"DC 50 49 51 52 53 54 55",                 999, 999},   // rose on battery: the run ends at once
        {"DC 49 50 51 52 53 54 55",                 999, 49},
        {"AC 57 56 55 54 53 52 51 0 55",              43, 999},    // a zero ends the run: the rest counts not
        {"AC 57 56 55 54 53 DC 52 51",                43, 999},    // so does another source
        {"AC 57 56 55 55 54 53 52 51 50 49 48 47 46 45 44", 47, 999},  // equal levels do not stop it
        {"AC 5 4 3 2 1",                              95, 999},    // down to a level of 1: still a sample
        {"AC 20 20 20 20 20 20 20",                   999, 999},
        {"AC 99.99 99.99 99.99 99.99 99.99 99.99",    999, 999},   // no trend at all
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
    // lie on a line of slope 1, the sixteenth and seventeenth above it.
    TestProgram p;
    setHistory(p.meter(), "DC 60 61 62 63 64 65 66 67 68 69 70 71 72 73 74 80 99");
    EXPECT_EQ(p.meter().GetDischargeTime(40), 54);
}

TEST(Estimate, FitLineKeepsItsSumsAndResultsInSinglePrecision) {
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

}  // namespace
}  // namespace corvane::test
