#include "platform/linux/ini_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <utility>

#include "linux_test_support.h"
#include "platform/linux/interrupted.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using test::slurp;
using test::spit;

// A program's settings (section, key, text) saved in order and, unless told otherwise, committed.
void save(IniSettingsStore& store, std::initializer_list<std::array<std::string, 3>> settings,
          bool commit = true, const std::string& app = "Corvane") {
    for (const auto& [section, key, text] : settings) store.saveSetting(app, section, key, text);
    if (commit) store.commit();
}

// A symbolic link at the place given, saying what is given, its folders made if need be.
void makeLink(const fs::path& at, const fs::path& to) {
    fs::create_directories(at.parent_path());
    fs::create_symlink(to, at);
}

class IniStore : public ::testing::Test {
  protected:
    IniSettingsStore make() {
        return IniSettingsStore(root, [this](const std::string& t) { problems.push_back(t); });
    }
    // A start from nothing: no settings, nothing said.
    void fresh() {
        fs::remove_all(root);
        problems.clear();
    }
    // Every name under the root with what it holds: a file's text, a link's target, "/" for a folder.
    std::map<std::string, std::string> tree() const {
        std::map<std::string, std::string> all;
        for (const auto& e : fs::recursive_directory_iterator(root))
            all[e.path()] = e.is_symlink()     ? "-> " + fs::read_symlink(e).string()
                            : e.is_directory() ? "/"
                                               : slurp(e);
        return all;
    }
    test::ScratchFolder scratch;
    const fs::path root = scratch.path() / "config";
    const fs::path file = root / "Corvane/Corvane.ini";
    std::vector<std::string> problems;
};

TEST_F(IniStore, WritesKeysInSaveOrderWithTheTextsExactlyAsSaved) {
    {
        auto store = make();
        EXPECT_EQ(store.getSetting("Corvane", "Form", "Position", "2"), "2");  // missing: the default
        save(store, {{"Form", "Position", " 2"}, {"Form", "Left", " 1"}, {"Form", "Left", " 15210"}}, false);
        // Saved but not yet committed: read back as saved, the newest save of a key winning.
        EXPECT_EQ(store.getSetting("Corvane", "Form", "Position", "2"), " 2");
        EXPECT_EQ(store.getSetting("Corvane", "Form", "Left", "0"), " 15210");
        EXPECT_EQ(store.getSetting("Corvane", "Options", "Left", "none"), "none");  // another section's key
        EXPECT_EQ(store.getSetting("Other", "Form", "Left", "none"), "none");       // another program's
        store.saveSetting("Other", "Form", "Left", " 7");  // among this one's, into a file of its own
        save(store, {{"Options", "ShowTop", "-1"},
                     {"Options", "SoundFile", ""},
                     {"Options", "Odd", "\"quoted\" and\nsecond line\\"},
                     {"Options", "Nul", std::string("a\0b", 3)}});
        EXPECT_EQ(store.getSetting("Corvane", "Options", "ShowTop", "0"),
                  "-1");  // committed, read as written
    }
    EXPECT_EQ(slurp(file),
              "[Form]\nPosition= 2\nLeft= 15210\n\n[Options]\nShowTop=-1\nSoundFile=\n"
              "Odd=\"\\\"quoted\\\" and\\x0Asecond line\\\\\"\nNul=\"a\\x00b\"\n");
    // The folders made as the user makes any, the new file private to the user.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ((std::array{fs::status(root).permissions(), fs::status(file.parent_path()).permissions(),
                          fs::status(file).permissions()}),
              (std::array{fs::perms(0777 & ~mask), fs::perms(0777 & ~mask), fs::perms(0600)}));
    auto again = make();
    EXPECT_EQ(again.getSetting("Corvane", "Form", "Left", "0"), " 15210");
    EXPECT_EQ(again.getSetting("Corvane", "options", "showtop", "0"), "-1");  // names ignore case
    EXPECT_EQ(again.getSetting("Corvane", "Options", "SoundFile", "x"), "");  // empty, not the default
    EXPECT_EQ(again.getSetting("Third", "Form", "Left", "none"), "none");     // another program's: no file
    EXPECT_EQ(slurp(root / "Other/Other.ini"), "[Form]\nLeft= 7\n");  // and the other's alone in its own
    EXPECT_TRUE(problems.empty());
}

// What comes before the first section is kept, and a byte-order mark there, which hides no header; a
// key keeps the user's spelling.
TEST_F(IniStore, KeepsWhatItDoesNotKnowAndReplacesValuesInPlace) {
    for (const auto& [head, headKept] :
         {std::pair("; my notes\r\n"s, "; my notes\n"s), std::pair("\xEF\xBB\xBF"s, "\xEF\xBB\xBF"s)}) {
        SCOPED_TRACE(head);
        spit(file,
             head + "[Options]\r\nlowbound=10\r\ngarbage line\r\n  Extra\t = kept\r\n\r\n[Other]\r\nA=1\r\n");
        auto store = make();
        EXPECT_EQ(store.getSetting("Corvane", "Options", "LowBound", "25"), "10");
        EXPECT_EQ(store.getSetting("Corvane", "Options", "Extra", ""), " kept");
        save(store,
             {{"Options", "LowBound", " 30"}, {"Options", "MidBound", " 50"}, {"Form", "Position", " 2"}});
        save(store, {{"Form", "Left", " 9"}});  // a second save keeps what the first one saved
        const std::string kept = headKept +
                                 "[Options]\nlowbound= 30\ngarbage line\n  Extra\t = kept\nMidBound= 50\n\n"
                                 "[Other]\nA=1\n\n";
        EXPECT_EQ(slurp(file), kept + "[Form]\nPosition= 2\nLeft= 9\n");
        auto blind = make();  // a save with no read before it reads the file all the same
        save(blind, {{"Form", "Position", " 3"}});
        EXPECT_EQ(slurp(file), kept + "[Form]\nPosition= 3\nLeft= 9\n");
    }
}

// Only what the program cannot write as a plain line is quoted, and whatever it writes reads back byte
// for byte: every text over the characters that need care, up to four of them long.
TEST(IniDocument, EveryTextReadsBackAsWritten) {
    const std::string alphabet(" \\\"nx0\n\r\0A", 10);
    std::vector<std::string> texts{""};
    for (std::size_t i = 0; texts[i].size() < 4; ++i)
        for (char c : alphabet) texts.push_back(texts[i] + c);
    int wrong = 0;
    for (const std::string& text : texts) {
        IniDocument doc;
        doc.set("Options", "SoundFile", text);
        doc.set("Options", "ShowHelp", " 1");
        const std::string written = doc.serialize();
        const bool plain = text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos &&
                           (text.empty() || text[0] != '"');
        const IniDocument read = IniDocument::parse(written);
        if (read.get("Options", "SoundFile") != text || read.get("Options", "ShowHelp") != " 1" ||
            plain != (written.find("SoundFile=" + text + "\n") != std::string::npos)) {
            EXPECT_LT(++wrong, 5) << "written as: " << written;
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << texts.size();
}

TEST_F(IniStore, HandWrittenQuotedValuesKeepTheirBackslashesAndTheirLines) {
    const std::pair<std::string, std::string> cases[] = {
        // clang-format off
        {R"("C:\new\tone.wav")", R"(C:\new\tone.wav)"},
        {R"("\\server\share\alarm.wav")", R"(\\server\share\alarm.wav)"},
        {R"("C:\Sounds\")", R"(C:\Sounds\)"},  // a lone backslash before the closing quote
        {R"("")", ""}, {R"(")", R"(")"}, {R"("half)", R"("half)"}, {R"("a"b")", R"(a"b)"},
        {R"( "C:\x")", R"( "C:\x")"},  // not quoted: a blank comes first
        // The program's own escapes, where every backslash is one of them.
        {R"("C:\\Sounds\\ding.wav")", R"(C:\Sounds\ding.wav)"},
        {R"("say \"hi\"")", R"(say "hi")"}, {R"("\x41\x0a")", "A\n"},
        {R"("two\x0Alines\x00")", std::string("two\nlines\0", 10)},
        {R"("\xg0")", R"(\xg0)"}, {R"("\x0g")", R"(\x0g)"},  // not hexadecimal: as it stands
        // clang-format on
    };
    for (const auto& [stored, value] : cases) {
        spit(file, "[Options]\nSoundFile=" + stored + "\nLowBound=10\n");
        auto store = make();
        EXPECT_EQ(store.getSetting("Corvane", "Options", "SoundFile", "?"), value) << stored;
        save(store, {{"Options", "SoundFile", value}, {"Options", "LowBound", " 20"}});
        // An unchanged value keeps the line as the user wrote it.
        EXPECT_EQ(slurp(file), "[Options]\nSoundFile=" + stored + "\nLowBound= 20\n");
    }
}

// A file that cannot be read is said once, the defaults taken for it, and is not replaced. A save that
// fails, however it fails, leaves the file the program started with, or what took its place or its
// folder's since, whole, says why, and leaves no temporary.
TEST_F(IniStore, AFileThatCannotBeReadOrReplacedIsLeftWhole) {
    const std::string old = "[Form]\nPosition=3\n";
    const std::string oneMiB = old + ";" + std::string((1 << 20) - old.size() - 2, 'x') + "\n";
    const std::string longApp(246, 'c');  // its file's name fits, the temporary's beside it does not
    using Make = std::function<void(const fs::path& file)>;
    const Make folder = [](const fs::path& f) { fs::create_directories(f); };
    const auto link = [](const char* to) {  // the file's own name for nullptr
        return [to](const fs::path& f) { makeLink(f, to ? fs::path(to) : f); };
    };
    const auto text = [](const std::string& t) { return [t](const fs::path& f) { spit(f, t); }; };
    const struct Case {
        const char* what;
        Make before, after;  // what is made before the start, and after it
        const char* why;     // the reason said, nullptr for a file that reads and is saved
        bool readFails;      // else the save fails
        std::string app = "Corvane";
        bool tinyFiles = false;  // as on a nearly full disk: the first write moves one byte, the next fails
    } cases[] = {
        {"a folder", folder, nullptr, "not a regular file", true},
        {"no byte readable", link("/proc/self/mem"), nullptr, "Input/output error", true},
        {"readable by no one", link("/proc/sys/vm/compact_memory"), nullptr, "Permission denied", true},
        {"a link to itself", link(nullptr), nullptr, "Too many levels of symbolic links", true},
        {"over 1 MiB", text(oneMiB + "\n"), nullptr, "larger than 1048576 bytes", true},
        {"over 1 MiB as it is read", link("/proc/self/pagemap"), nullptr, "File too large", true},
        {"exactly 1 MiB", text(oneMiB), nullptr, nullptr, false},
        {"empty", text(""), nullptr, nullptr, false},
        {"a temporary's name too long", text(old), nullptr, "File name too long", false, longApp},
        {"a file size limit", text(old), nullptr, "File too large", false, "Corvane", true},
        {"a folder in the file's place", nullptr, folder, "Is a directory", false},
        {"a file in the folder's place", nullptr, [&](const fs::path& f) { spit(f.parent_path(), old); },
         "Not a directory", false},
        {"41 links in the file's place, one more than a path may take", nullptr,
         [](const fs::path& f) {  // f -> f1 -> ... -> f41
             for (int i = 0; i <= 40; ++i)
                 makeLink(f.string() + (i ? std::to_string(i) : ""), f.string() + std::to_string(i + 1));
         },
         "Too many levels of symbolic links", false},
    };
    rlimit noLimit{};
    ::getrlimit(RLIMIT_FSIZE, &noLimit);
    const rlimit tiny{1, noLimit.rlim_max};
    const auto ignoredSignal = ::signal(SIGXFSZ, SIG_IGN);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        const auto file = root / c.app / (c.app + ".ini");
        if (c.before) c.before(file);
        const bool holdsPosition = !c.readFails && fs::is_regular_file(file) && !slurp(file).empty();
        auto store = make();
        // A failed read is said once, not once per key.
        EXPECT_EQ((std::tuple{store.getSetting(c.app, "Form", "Position", "2"),
                              store.getSetting(c.app, "Form", "Width", "10"), problems.size()}),
                  (std::tuple{holdsPosition ? "3" : "2", "10", c.readFails ? 1u : 0u}));
        if (c.after) c.after(file);
        const auto before = tree();
        save(store, {{"Form", "Position", " 4"}, {"Form", "Left", " 0"}}, false, c.app);
        ::setrlimit(RLIMIT_FSIZE, c.tinyFiles ? &tiny : &noLimit);
        store.commit();
        ::setrlimit(RLIMIT_FSIZE, &noLimit);
        const std::string f = file.string();
        std::vector<std::string> told;
        if (c.why && c.readFails)
            told = {"cannot read settings file " + f + " (" + c.why +
                        "); starting with default settings and leaving the file as it is",
                    "settings not saved: " + f + " could not be read at start, so it was not replaced"};
        else if (c.why)
            told = {"cannot save settings to " + f + " (" + c.why + "); the previous file is unchanged"};
        EXPECT_EQ(problems, told);
        if (c.why)
            EXPECT_EQ(tree(), before);
        else
            EXPECT_NE(slurp(file).find("Position= 4\n"), std::string::npos);
        save(store, {{"Form", "Left", "1"}}, true, "Other");  // one program's file stops no other's
        EXPECT_EQ(slurp(root / "Other/Other.ini"), "[Form]\nLeft=1\n");
    }
    ::signal(SIGXFSZ, ignoredSignal);
}

// A settings file kept elsewhere and linked in, as dotfile managers do: the link stays and the file it
// leads to gets the new settings, with the mode, owner and group it had; a file made read-only is said
// once and left as it is.
TEST_F(IniStore, SavesThroughLinksKeepsTheModeAndSparesReadOnlyFiles) {
    const fs::path dots = root / "dotfiles";
    // As many links in a row as the system itself follows in one path: 40.
    std::vector<std::pair<fs::path, fs::path>> forty{{file, root / "1"}};
    while (forty.size() < 40)
        forty.emplace_back(forty.back().second, root / std::to_string(forty.size() + 1));
    forty.back().second = root / "target.ini";
    const struct Case {
        const char* what;
        std::vector<std::pair<fs::path, fs::path>> links;  // link, what it says
        fs::path target;
        int mode;
        bool stdinClosed = false;  // which leaves descriptor 0 to the first file or folder opened
    } cases[] = {
        {"plain file", {}, file, 0644},
        {"plain file, standard input closed", {}, file, 0600, true},
        {"relative link", {{file, "../dotfiles/corvane.ini"}}, dots / "corvane.ini", 0640},
        {"link to a link",
         {{file, dots / "current.ini"}, {dots / "current.ini", "corvane.ini"}},
         dots / "corvane.ini",
         0664},
        {"read-only file", {}, file, 0444},
        {"link to a read-only file", {{file, dots / "corvane.ini"}}, dots / "corvane.ini", 0444},
        {"a chain of forty links", forty, root / "target.ini", 0644},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        spit(c.target, "[Form]\nPosition= 1\n");
        fs::permissions(c.target, fs::perms(c.mode));
        // Only root can give a file away.
        const auto [owner, group] =
            ::geteuid() == 0 ? std::pair(4321u, 8765u) : std::pair(::geteuid(), ::getegid());
        ASSERT_EQ(::chown(c.target.c_str(), owner, group), 0);
        for (const auto& [link, to] : c.links) makeLink(link, to);
        std::optional<test::StdinClosed> noStdin;
        if (c.stdinClosed) noStdin.emplace();
        const auto openBefore = test::openFiles();
        auto store = make();
        EXPECT_EQ(store.getSetting("Corvane", "Form", "Position", "2"), " 1");
        for (const char* text : {" 3", " 5", " 4"})
            save(store, {{"Form", "Position", text}});  // an odd number
        const bool readOnly = c.mode == 0444;
        EXPECT_EQ(slurp(c.target), readOnly ? "[Form]\nPosition= 1\n" : "[Form]\nPosition= 4\n");
        EXPECT_EQ(problems, readOnly ? std::vector<std::string>{"settings not saved: " + file.string() +
                                                                " is read-only, so it was left as it is"}
                                     : std::vector<std::string>{});
        struct stat st {};
        ::stat(c.target.c_str(), &st);
        EXPECT_EQ(std::tuple(st.st_mode & 07777, st.st_uid, st.st_gid),
                  std::tuple(unsigned(c.mode), owner, group));
        EXPECT_EQ(test::openFiles(), openBefore);  // every file and folder opened is closed again
        noStdin.reset();
        for (const auto& [link, to] : c.links) EXPECT_EQ(fs::read_symlink(link), to);
        EXPECT_EQ(test::namesIn(file.parent_path()),
                  std::set<std::string>{"Corvane.ini"});  // nothing left over
        EXPECT_TRUE(!fs::exists(dots) || test::namesIn(dots).size() <= 2u);
    }
}

// A file this user may not write, though its owner may, is as read-only as one without the permission;
// on a file system mounted read-only the save fails with that reason. Each store runs in a child process,
// as the user "nobody" and with the folder read-only in a view of its own.
TEST_F(IniStore, AFileThisUserMayNotWriteIsReadOnlyAndAReadOnlyFileSystemSaysSo) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can take another user's ids or mount";
    spit(file, "[Form]\nPosition= 1\n");
    fs::permissions(scratch.path(), fs::perms(0755));
    for (const fs::path& p : {root, file.parent_path()}) fs::permissions(p, fs::perms(0777));
    const auto saveAndSay = [this] {
        auto store = make();
        save(store, {{"Form", "Position", " 3"}});
        return problems.size() == 1 ? problems[0] : std::to_string(problems.size()) + " problems";
    };
    EXPECT_EQ(test::inChild([&] { return ::setgid(65534) || ::setuid(65534) ? "no user" : saveAndSay(); }),
              "settings not saved: " + file.string() + " is read-only, so it was left as it is");
    EXPECT_EQ(test::inChild([&] { return test::readOnlyView(root) ? saveAndSay() : "no mount"; }),
              "cannot save settings to " + file.string() +
                  " (Read-only file system); the previous file is unchanged");
    EXPECT_EQ(slurp(file), "[Form]\nPosition= 1\n");
    EXPECT_EQ(test::namesIn(file.parent_path()), std::set<std::string>{"Corvane.ini"});
}

// A save killed between writing its temporary file and swapping it in leaves the temporary behind;
// the next start or save removes it, and nothing else.
TEST_F(IniStore, StaleTemporariesOfOurOwnAreRemovedAtStartAndAtSave) {
    spit(file, "[Form]\nPosition= 1\n");
    const fs::path dir = file.parent_path();
    // What stays: the names that are not our temporaries, the file, and the temporaries not to be removed.
    std::set<std::string> kept{"Corvane.ini.backup", ".Corvane.ini.saving-toolong",
                               ".Corvane.ini.saving-.abd12", ".Other.ini.saving-aB3xY9"};
    for (const std::string& name : kept) spit(dir / name, "not ours to remove");
    kept.insert({"Corvane.ini", ".Corvane.ini.saving-InUse1", ".Corvane.ini.saving-folder"});
    spit(dir / ".Corvane.ini.saving-aB3xY9", "[Form]\nPos");
    fs::create_directory(dir / ".Corvane.ini.saving-folder");
    // Another running instance in the middle of its save holds a lock on its temporary.
    spit(dir / ".Corvane.ini.saving-InUse1", "[Form]\n");
    const int busy = ::open((dir / ".Corvane.ini.saving-InUse1").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);
    const long filesOpen = test::openFiles();

    auto store = make();
    // Each temporary looked at is closed again.
    EXPECT_EQ((std::tuple{store.getSetting("Corvane", "Form", "Position", "2"), test::openFiles(),
                          test::namesIn(dir)}),
              (std::tuple{" 1", filesOpen, kept}));

    ::close(busy);
    spit(dir / ".Corvane.ini.saving-Zz0000", "");
    save(store, {{"Form", "Position", " 3"}});
    kept.erase(".Corvane.ini.saving-InUse1");
    EXPECT_EQ((std::tuple{test::namesIn(dir), slurp(file), problems.size()}),
              (std::tuple{kept, "[Form]\nPosition= 3\n", 0u}));
}

// The files are read and written through calls a signal may interrupt while they wait, its handler
// installed without SA_RESTART: such a call fails with EINTR and is made again. Any other failure, and
// any result, comes back as it came.
TEST(EintrRetry, AnInterruptedCallIsMadeAgain) {
    int calls = 0;
    const auto failing = [&](int error, int times) {  // a call that fails so many times, then answers
        calls = 0;
        return retryInterrupted([&] {
            errno = ++calls <= times ? error : 0;
            return calls <= times ? -1 : calls;
        });
    };
    // Other failures are not made again: one call.
    EXPECT_EQ((std::array{failing(EINTR, 2), failing(EIO, 2), calls, failing(EINTR, 0)}),
              (std::array{3, -1, 1, 1}));
}

TEST(IniStoreRoot, FollowsXdgConfigHomeOnlyWhenAbsoluteAndARelativeHomeFromTheWorkingFolder) {
    test::ScopedEnv saved{"HOME", "XDG_CONFIG_HOME"};
    ::setenv("HOME", "/home/someone", 1);
    for (const auto& [xdg, root] : {std::pair<const char*, const char*>{"/tmp/cfg", "/tmp/cfg"},
                                    {"relative/cfg", "/home/someone/.config"},
                                    {nullptr, "/home/someone/.config"}}) {
        test::ScopedEnv::set("XDG_CONFIG_HOME", xdg);
        EXPECT_EQ(IniSettingsStore::defaultConfigRoot(), fs::path(root));
    }
    // A relative home is taken from the working folder, every folder of the settings' path made anew.
    const test::ScratchFolder scratch;
    const fs::path workingFolder = fs::current_path();
    fs::current_path(scratch.path());
    ::setenv("HOME", "h", 1);  // a one-letter first folder, not taken for the root's slash
    IniSettingsStore store(IniSettingsStore::defaultConfigRoot(),
                           [](const std::string& t) { ADD_FAILURE() << t; });
    save(store, {{"Form", "Left", " 1"}});
    fs::current_path(workingFolder);
    EXPECT_EQ(slurp(scratch.path() / "h/.config/Corvane/Corvane.ini"), "[Form]\nLeft= 1\n");
}

}  // namespace
}  // namespace corvane
