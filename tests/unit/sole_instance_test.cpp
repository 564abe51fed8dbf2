#include "platform/linux/sole_instance.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "linux_test_support.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Claim = SoleInstance::Claim;

class Sole : public ::testing::Test {
  protected:
    void TearDown() override {
        for (const pid_t child : children) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
    }
    std::unique_ptr<SoleInstance> start(std::chrono::milliseconds patience = 2s, fs::path where = {}) {
        return std::make_unique<SoleInstance>(where.empty() ? folder : where, say, patience);
    }
    // A start that should win, another start beside it, and the knocks the first one then takes.
    // The start that gives way keeps nothing open while it ends.
    std::tuple<Claim, Claim, int> twoStarts(const fs::path& where = {}) {
        const auto first = start(100ms, where);
        const long open = test::openFiles();
        const auto second = start(100ms, where);
        EXPECT_EQ(test::openFiles(), open) << "the second start's lock and knock closed";
        return {first->claim(), second->claim(), first->takeKnocks()};
    }
    test::ScratchFolder scratch;
    const fs::path folder = scratch.path();
    std::vector<std::string> problems;
    const SoleInstance::Reporter say = [this](const std::string& t) { problems.push_back(t); };
    std::vector<pid_t> children;  // ended, if still there, at the end
};

// A stopped copy takes no knocks; once its queue is full, a knock is not even let in, and a later start
// still ends within its patience. Killed outright, it leaves its lock file and its socket behind; neither
// keeps the next start out.
TEST_F(Sole, ACopyStoppedOrKilledOutrightHoldsNoStartUp) {
    // A copy that runs in a child process, as another start of the program would.
    const pid_t copy = ::fork();
    if (copy == 0) {
        const SoleInstance running(folder, {});
        ::pause();
        ::_exit(0);
    }
    children.push_back(copy);
    ASSERT_TRUE(test::waitUntil([this] { return fs::exists(folder / "corvane.socket"); }));
    EXPECT_EQ(start(100ms)->claim(), Claim::AnotherRuns);
    ASSERT_EQ(::kill(copy, SIGSTOP), 0);
    sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
    const std::string path = (folder / "corvane.socket").native();
    std::copy(path.begin(), path.end(), address.sun_path);
    std::vector<int> waiting;  // the knocks of earlier starts, still in the queue
    for (;;) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ASSERT_GE(fd, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            const int error = errno;
            ::close(fd);
            ASSERT_EQ(error, EAGAIN) << "the queue is full";
            break;
        }
        waiting.push_back(fd);
    }
    const pid_t later = ::fork();  // a start in a child process as well, which must end within the deadline
    if (later == 0) ::_exit(static_cast<int>(SoleInstance(folder, {}, 300ms).claim()));
    int status = -1;
    if (!test::waitUntil([&] { return ::waitpid(later, &status, WNOHANG) == later; }))
        children.push_back(later);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, static_cast<int>(Claim::AnotherRuns))
        << "after " << waiting.size() << " knocks";
    for (const int fd : waiting) ::close(fd);
    ::kill(copy, SIGKILL);
    ::waitpid(copy, nullptr, 0);
    std::erase(children, copy);
    ASSERT_TRUE(fs::exists(folder / "corvane.socket"));
    EXPECT_EQ(twoStarts(), (std::tuple{Claim::Won, Claim::AnotherRuns, 1}));
}

// A copy that holds the lock without answering, starting or on its way out, is waited for, without
// spinning, until it lets go; one that answers is knocked on and not waited for. With standard input
// closed, descriptor 0 goes to whatever is opened first: the lock of a copy that waits, wins or knocks,
// the knock of one that waits, the socket of one that wins, the knock the running copy takes. Each
// serves like any other.
TEST_F(Sole, LaterStartsWaitForTheLockAndKnockOnTheCopyThatAnswers) {
    const test::StdinClosed noStdin;
    const long openBefore = test::openFiles();
    const int held = ::open((folder / "corvane.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    auto before = std::chrono::steady_clock::now();
    const std::clock_t cpuBefore = std::clock();
    EXPECT_EQ(start(300ms)->claim(), Claim::AnotherRuns);
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - before;
    EXPECT_GE(waited, 300ms);
    EXPECT_LT(double(std::clock() - cpuBefore) / CLOCKS_PER_SEC, waited.count() / 10)
        << "a wait, not a busy loop";
    const int spare = ::dup(held);  // holds the lock on while the waiting start's knocks take descriptor 0
    std::thread leaving([&] {       // once the next start has opened the lock and waits for it
        test::waitUntil([&] { return test::openings(folder / "corvane.lock") >= 3; });
        ::close(held);
        std::this_thread::sleep_for(100ms);  // a few of its knocks
        ::close(spare);
    });
    auto first = start(60s);
    leaving.join();
    // The socket is the user's own, as the lock below.
    ASSERT_EQ((std::tuple{first->claim(), first->knockSocket(), first->takeKnocks(),
                          test::modeOf(folder / "corvane.socket")}),
              (std::tuple{Claim::Won, 0, 0, 0600u}));
    before = std::chrono::steady_clock::now();
    EXPECT_EQ((std::tuple{start(60s)->claim(), start(60s)->claim()}),
              (std::tuple{Claim::AnotherRuns, Claim::AnotherRuns}));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 60s) << "an answering copy is not waited for";
    EXPECT_EQ((std::tuple{first->takeKnocks(), first->takeKnocks()}), (std::tuple{2, 0}));
    first->release();
    EXPECT_EQ((std::tuple{fs::exists(folder / "corvane.socket"), first->knockSocket()}),
              (std::tuple{false, -1}));
    // Let go before: what was opened since keeps its descriptors, the next copy's and the lowest free
    // numbers, which the lock and the socket had.
    std::vector<int> reused(8);
    for (int& fd : reused) fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    auto next = start();
    EXPECT_EQ(next->claim(), Claim::Won);
    first.reset();
    for (int fd : reused) EXPECT_EQ(::close(fd), 0) << fd;
    EXPECT_EQ((std::tuple{start()->claim(), next->takeKnocks()}), (std::tuple{Claim::AnotherRuns, 1}));
    next.reset();
    EXPECT_EQ((std::tuple{fs::exists(folder / "corvane.socket"), start()->claim()}),
              (std::tuple{false, Claim::Won}));
    noStdin.reopen();
    auto running = start();
    ::close(0);
    // The knock taken, its descriptor 0 closed.
    EXPECT_EQ((std::tuple{start(60s)->claim(), running->takeKnocks(), ::fcntl(0, F_GETFD)}),
              (std::tuple{Claim::AnotherRuns, 1, -1}));
    running.reset();
    EXPECT_EQ(test::openFiles(), openBefore) << "every lock and socket closed again";
    EXPECT_TRUE(problems.empty());
}

TEST_F(Sole, WhereNoGuardCanBeHadTheProgramRunsAndSaysSo) {
    auto nowhere = start(100ms, folder / "missing");
    EXPECT_EQ((std::tuple{nowhere->claim(), nowhere->knockSocket(), problems}),
              (std::tuple{Claim::Unguarded, -1,
                          std::vector{"runs without the guard against a second copy: " + folder.string() +
                                      "/missing/corvane.lock: No such file or directory"}}));
    // Something in the socket's place that is not a socket: the same.
    fs::create_directories(folder / "corvane.socket" / "x");
    const long openBefore = test::openFiles();
    const auto blocked = start(100ms);  // the lock alone stays open
    EXPECT_EQ((std::tuple{blocked->claim(), blocked->knockSocket(), problems.size(), test::openFiles()}),
              (std::tuple{Claim::Won, -1, 2u, openBefore + 1}));
    // The longest path a socket's address holds, and one character more: then the lock still keeps a
    // second copy out, which ends unheard.
    for (const std::size_t length : {107u, 108u}) {
        const fs::path at = folder / std::string(length - folder.native().size() - 16, 'n');
        fs::create_directories(at);
        ASSERT_EQ((at / "corvane.socket").native().size(), length);
        EXPECT_EQ(twoStarts(at), (std::tuple{Claim::Won, Claim::AnotherRuns, length == 107 ? 1 : 0}))
            << length;
        EXPECT_EQ(test::modeOf(at / "corvane.lock"), 0600u);  // made by the copy itself
    }
    EXPECT_EQ(problems.size(), 3u);
}

// Without a runtime folder, a private one in the user's own cache, made if need be; a folder that
// another user made in a shared place, under the name a shared folder would have, does not switch the
// guard off.
TEST_F(Sole, TheRuntimeFolderOrAPrivateOneInTheUsersCache) {
    test::ScopedEnv saved{"XDG_RUNTIME_DIR", "XDG_CACHE_HOME", "HOME"};
    const auto folderFor = [this] { return SoleInstance::defaultFolder(say); };
    // What a child process found, and the last thing it said.
    const auto foundAndSaid = [this](const std::string& got) {
        return got + "|" + (problems.empty() ? "" : problems.back());
    };
    ::setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
    EXPECT_EQ(folderFor(), "/run/user/4242");

    const fs::path cache = folder / "cache";
    const fs::path own = cache / "corvane";
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    const fs::path shared = "/tmp/corvane-" + std::to_string(::getuid());
    const bool madeShared = ::mkdir(shared.c_str(), 0700) == 0;
    if (madeShared) ::chmod(shared.c_str(), 0777);
    if (madeShared && ::geteuid() == 0) {
        EXPECT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
    }
    // Private whatever the user's mask, the strictest included.
    for (const auto& [unfit, mask] : {std::pair("", 022), std::pair("run/user", 077)}) {
        ::setenv("XDG_RUNTIME_DIR", unfit, 1);
        fs::remove_all(cache);
        const mode_t maskBefore = ::umask(mask);
        EXPECT_EQ(folderFor(), own) << unfit;
        ::umask(maskBefore);
        EXPECT_EQ((std::array{test::modeOf(cache), test::modeOf(own)}), (std::array{0700u, 0700u})) << mask;
    }
    EXPECT_EQ(twoStarts(folderFor()), (std::tuple{Claim::Won, Claim::AnotherRuns, 1}));
    if (madeShared) fs::remove(shared);
    for (const unsigned opened : {0701u, 0640u}) {  // the least opened up, and one not even searchable
        fs::permissions(own, fs::perms(opened));
        EXPECT_EQ(folderFor(), own) << "the user's own folder, made private again";
        EXPECT_EQ(test::modeOf(own), 0700u) << opened;
    }
    ::unsetenv("XDG_CACHE_HOME");
    ::setenv("HOME", folder.c_str(), 1);
    EXPECT_EQ(folderFor(), folder / ".cache" / "corvane");
    ::unsetenv("HOME");  // then the account's home folder
    const fs::path accounts = fs::path(::getpwuid(::getuid())->pw_dir) / ".cache" / "corvane";
    const bool hadIt = fs::exists(accounts);
    EXPECT_EQ(folderFor(), accounts);
    if (!hadIt) fs::remove(accounts);
    EXPECT_TRUE(problems.empty());

    // What is not a folder of the user's own is refused, and so is one that cannot be made private again,
    // here on a file system mounted read-only.
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    std::size_t refused = 0;
    if (::geteuid() == 0) {  // only root can mount, or make a folder another user's
        fs::permissions(own, fs::perms(0755));
        EXPECT_EQ(
            test::inChild([&] { return foundAndSaid(test::readOnlyView(cache) ? folderFor() : "no mount"); }),
            "|runs without the guard against a second copy: " + own.string() + ": Read-only file system");
        ASSERT_EQ(::chown(own.c_str(), 65534, 65534), 0);
        EXPECT_EQ(folderFor(), "");
        ++refused;
        EXPECT_EQ(test::inChild([&] {  // an account with no entry in the user database, and no HOME
                      ::unsetenv("XDG_CACHE_HOME");
                      return foundAndSaid(::setuid(4242424) == 0 ? folderFor() : "no user");
                  }),
                  "|runs without the guard against a second copy: no home folder");
    }
    fs::remove_all(own);
    fs::create_directory_symlink(folder, own);
    EXPECT_EQ(folderFor(), "");
    ::setenv("XDG_CACHE_HOME", (folder / "missing" / "cache").c_str(), 1);
    EXPECT_EQ(folderFor(), "");
    EXPECT_EQ(problems.size(), refused + 2);
}

}  // namespace
}  // namespace corvane
