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
        // What a terminal would act on is shown escaped: C0, DEL, C1 as a byte and in UTF-8 (also in
        // a longer form); other text as it came, in UTF-8 or Latin-1. The last: the ends of plain text.
        {{"--bogus", "--version"}, Refused, "unknown option '--bogus'"}, {{"-v"}, Refused, "unknown option '-v'"},
        {{"--vers"}, Refused, "unknown option '--vers'"}, {{"--version=2"}, Refused, "unknown option '--version=2'"},
        {{"-platform"}, Refused, "unknown option '-platform'"}, {{"/?"}, Refused, "takes no arguments, found '/?'"},
        {{"file.ini"}, Refused, "takes no arguments, found 'file.ini'"}, {{""}, Refused, "takes no arguments, found ''"},
        {{"-"}, Refused, "takes no arguments, found '-'"},
        {{"--", "--version"}, Refused, "takes no arguments, found '--version'"},
        {{"--\x1b[2J\tx\x7f"}, Refused, "unknown option '--\\x1b[2J\\x09x\\x7f'"},
        {{"--\x9bK\xc2\x9bK\xe0\x82\x9bK\xc1\x9bK\xe0\x9f\xbf\xf5\x80\x80\x80\xed\xa0\x80\xf4\x90\x80\x80\xc2\x9fK\xf0\x82\x82\xac"}, Refused,
         "unknown option '--\\x9bK\\xc2\\x9bK\xe0\\x82\\x9bK\xc1\\x9bK\xe0\\x9f\xbf\xf5\\x80\\x80\\x80\xed\xa0\\x80\xf4\\x90\\x80\\x80\\xc2\\x9fK\xf0\\x82\\x82\xac'"},
        {{"--caf\xc3\xa9-caf\xe9-\xc2\xa0-\xa0-\xe0\xa0\x80\xed\x9f\xbf-\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"}, Refused,
         "unknown option '--caf\xc3\xa9-caf\xe9-\xc2\xa0-\xa0-\xe0\xa0\x80\xed\x9f\xbf-\xf0\x90\x80\x80\xf4\x8f\xbf\xbf'"},
        {{"--\xc2\x1b[2J"}, Refused, "unknown option '--\xc2\\x1b[2J'"},  // a lead byte does not hide an escape
        {{"a\nb"}, Refused, "takes no arguments, found 'a\\x0ab'"}, {{"a b~"}, Refused, "takes no arguments, found 'a b~'"},
        // clang-format on
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
        EXPECT_EQ(got.err, c.answer == Refused ? "corvane: " + std::string(c.complaint) + "\n" + help : "")
            << line;  // then the usage
    }
}

}  // namespace
}  // namespace corvane::test
