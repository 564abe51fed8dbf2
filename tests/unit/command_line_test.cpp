#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane::test {
namespace {

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
        // clang-format on
        {{"--bogus", "--version"}, Refused, "corvane: unknown option '--bogus'\n"},
        {{"-v"}, Refused, "corvane: unknown option '-v'\n"},
        {{"--vers"}, Refused, "corvane: unknown option '--vers'\n"},
        {{"--version=2"}, Refused, "corvane: unknown option '--version=2'\n"},
        {{"-platform"}, Refused, "corvane: unknown option '-platform'\n"},
        {{"/?"}, Refused, "corvane: takes no arguments, found '/?'\n"},
        {{"file.ini"}, Refused, "corvane: takes no arguments, found 'file.ini'\n"},
        {{""}, Refused, "corvane: takes no arguments, found ''\n"},
        {{"-"}, Refused, "corvane: takes no arguments, found '-'\n"},
        {{"--", "--version"}, Refused, "corvane: takes no arguments, found '--version'\n"},
        // What a terminal would act on is shown escaped: C0, DEL, C1 as a byte and in UTF-8 (also in
        // a longer form); other text as it came, in UTF-8 or Latin-1.
        {{"--\x1b[2J\tx\x7f"}, Refused, "corvane: unknown option '--\\x1b[2J\\x09x\\x7f'\n"},
        {{"--\x9bK\xc2\x9bK\xe0\x82\x9bK\xc1\x9bK"},
         Refused,
         "corvane: unknown option '--\\x9bK\\xc2\\x9bK\xe0\\x82\\x9bK\xc1\\x9bK'\n"},
        {{"--caf\xc3\xa9-caf\xe9-\xe2\x82\xac-\xa0"},
         Refused,
         "corvane: unknown option '--caf\xc3\xa9-caf\xe9-\xe2\x82\xac-\xa0'\n"},
        {{"a\nb"}, Refused, "corvane: takes no arguments, found 'a\\x0ab'\n"},
        {{"a b~"}, Refused, "corvane: takes no arguments, found 'a b~'\n"},  // the ends of plain text
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
        EXPECT_EQ(got.err, c.answer == Refused ? c.complaint + help : "") << line;  // then the usage
    }
}

}  // namespace
}  // namespace corvane::test
