#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/help_page.h"
#include "program_fixture.h"

namespace corvane::test {
namespace {

// The platform names the separator; the other slash is an ordinary character of a name.
TEST(Paths, FolderAndFileNamePartsWithEitherSeparator) {
    enum Proc { AppPath, DirPath, FileName };
    struct Case {
        char sep;
        Proc proc;
        const char* path;
        const char* expected;
        const char* exeFolder = nullptr;  // C:\Tools or /opt/cv by the separator
    } const cases[] = {
        // clang-format off
        {'\\', AppPath, "", "C:\\Tools\\"},  {'\\', AppPath, "", "C:\\", "C:\\"},
        {'/', AppPath, "", "/opt/cv/"},      {'/', AppPath, "", "/", "/"},
        {'\\', DirPath, "C:\\Sounds\\ding.wav", "C:\\Sounds\\"},  {'\\', DirPath, "ding.wav", "C:\\Tools\\"},
        {'\\', DirPath, "ding.wav", "C:\\", "C:\\"},              {'\\', DirPath, "C:\\", "C:\\"},
        {'\\', DirPath, "D:/x/a.wav", "C:\\Tools\\"},
        {'/', DirPath, "/usr/share/ding.wav", "/usr/share/"},     {'/', DirPath, "ding.wav", "/opt/cv/"},
        {'/', DirPath, "/", "/"},
        {'\\', FileName, "C:\\Sounds\\ding.wav", "ding.wav"},     {'\\', FileName, "ding.wav", "ding.wav"},
        {'\\', FileName, "C:\\Sounds\\", ""},                     {'\\', FileName, "", ""},
        {'\\', FileName, "D:/x/a.wav", "D:/x/a.wav"},
        {'/', FileName, "/usr/share/ding.wav", "ding.wav"},       {'/', FileName, "/usr/share/", ""},
        {'/', FileName, "x\\a.wav", "x\\a.wav"},
        // clang-format on
    };
    for (const Case& c : cases) {
        TestProgram p("", false);
        p.rt.setExecutableFolder(c.exeFolder ? c.exeFolder : c.sep == '/' ? "/opt/cv" : "C:\\Tools", c.sep);
        const std::string got = c.proc == AppPath   ? p.k.pGetAppPath()
                                : c.proc == DirPath ? p.k.pGetDirPath(c.path)
                                                    : p.k.pGetFileName(c.path);
        EXPECT_EQ(got, c.expected) << "procedure " << c.proc << " of '" << c.path << "' with " << c.sep;
    }
}

// The HTML help stands beside the Windows help file the program names: its contents, or a topic by
// its context number.
TEST(Paths, TheHtmlHelpPageForAHelpFilesContentsOrTopic) {
    const std::tuple<const char*, char, HelpCommand, int, HtmlHelpPage> cases[] = {
        // clang-format off
        {"C:\\Tools\\quillmet.hlp", '\\', HelpCommand::Contents, 0, {"C:\\Tools\\help\\index.html", ""}},
        {"C:\\Tools\\quillmet.hlp", '\\', HelpCommand::Context, 13, {"C:\\Tools\\help\\index.html", "preferences"}},
        {"C:\\quillmet.hlp", '\\', HelpCommand::Context, 12, {"C:\\help\\index.html", ""}},
        {"C:\\quillmet.hlp", '\\', HelpCommand::Contents, 13, {"C:\\help\\index.html", ""}},
        {"/opt/cv/quillmet.hlp", '/', HelpCommand::Context, 13, {"/opt/cv/help/index.html", "preferences"}},
        {"/opt/cv/Dravisk.hlp", '/', HelpCommand::Contents, 0, {"/opt/cv/help/index.html", ""}},
        {"quillmet.hlp", '/', HelpCommand::Contents, 0, {"help/index.html", ""}},
        // clang-format on
    };
    for (const auto& [helpFile, sep, command, context, page] : cases)
        EXPECT_EQ(htmlHelpPage(helpFile, sep, command, context), page) << helpFile << " " << context;
}

// The band is the form's own state; every set reaches the peer, since taking a window out of the band
// also lifts it above the ordinary windows. The notification area holds 63 characters of a tip; every
// backend shows the same cut.
TEST(TrayIcon, OnlyFlagsOneAndZeroTouchTheWindowOrderAndATipThatDoesNotFitIsCut) {
    TestProgram p;
    Form& meter = p.meterWindow();
    p.rt.calls.clear();
    for (std::int16_t flag : {2, -1, 7}) p.k.SetTopmost(meter, flag);
    EXPECT_EQ((std::tuple{p.rt.calls.empty(), meter.topmost()}), (std::tuple{true, true}));
    for (std::int16_t flag : {0, 7, 0}) p.k.SetTopmost(meter, flag);
    EXPECT_FALSE(meter.topmost());
    p.k.SetTopmost(meter, 1);
    EXPECT_TRUE(meter.topmost());
    EXPECT_EQ(p.rt.calls, (std::vector<std::string>{"SetTopmost(frmMonitor,0)", "SetTopmost(frmMonitor,0)",
                                                    "SetTopmost(frmMonitor,1)"}));
    for (std::size_t length : {0u, 62u, 63u, 64u, 200u}) {
        p.k.psTrayTip = std::string(length, 'x');
        p.k.TrayModifyIcon();
        EXPECT_EQ(p.rt.tray().calls.back(),
                  std::make_pair(TrayCall::SetTip, std::string(std::min<std::size_t>(length, 63), 'x')))
            << length;
    }
}

}  // namespace
}  // namespace corvane::test
