#include "platform/linux/sole_instance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Claim = SoleInstance::Claim;

class Sole : public ::testing::Test {
  protected:
    // In /tmp itself, whatever TMPDIR says: a socket's path must stay within about 100 characters.
    void SetUp() override {
        char name[] = "/tmp/corvane-sole-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override { fs::remove_all(folder); }
    std::unique_ptr<SoleInstance> start(std::chrono::milliseconds patience = 2s, fs::path where = {}) {
        return std::make_unique<SoleInstance>(
            where.empty() ? folder : where, [this](const std::string& t) { problems.push_back(t); },
            patience);
    }
    // A copy that holds the lock the way a copy does, without the socket: starting, or on its way out.
    int holdLockOnly() {
        const int fd = ::open((folder / "corvane.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        EXPECT_EQ(::flock(fd, LOCK_EX), 0);
        return fd;
    }
    static long openFiles() {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
    }
    fs::path folder;
    std::vector<std::string> problems;
};

TEST_F(Sole, LaterStartsKnockOnTheRunningCopyUntilItLetsGo) {
    const long openBefore = openFiles();
    auto first = start();
    ASSERT_EQ(first->claim(), Claim::Won);
    ASSERT_GE(first->knockSocket(), 0);
    EXPECT_EQ(first->takeKnocks(), 0);
    EXPECT_EQ(fs::status(folder / "corvane.socket").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(start()->claim(), Claim::AnotherRuns);
    EXPECT_EQ(start()->claim(), Claim::AnotherRuns);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms) << "an answering copy is not waited for";
    EXPECT_EQ(first->takeKnocks(), 2);
    EXPECT_EQ(first->takeKnocks(), 0);
    first->release();
    EXPECT_FALSE(fs::exists(folder / "corvane.socket"));
    EXPECT_EQ(first->knockSocket(), -1);
    auto next = start();
    EXPECT_EQ(next->claim(), Claim::Won);
    EXPECT_EQ(start()->claim(), Claim::AnotherRuns);
    EXPECT_EQ(next->takeKnocks(), 1);
    EXPECT_TRUE(problems.empty());
    first.reset();
    next.reset();
    EXPECT_EQ(openFiles(), openBefore) << "every lock and socket closed again";
}

// A copy killed outright leaves its lock file and its socket behind; neither keeps the next one out.
TEST_F(Sole, ACopyKilledOutrightDoesNotBlockTheNextStart) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SoleInstance copy(folder, [](const std::string&) {});
        const char won = copy.claim() == Claim::Won ? 'y' : 'n';
        if (::write(ready[1], &won, 1) != 1) ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    char won = 0;
    ASSERT_EQ(::read(ready[0], &won, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(won, 'y');
    EXPECT_EQ(start(100ms)->claim(), Claim::AnotherRuns);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(fs::exists(folder / "corvane.socket"));
    auto next = start(100ms);
    EXPECT_EQ(next->claim(), Claim::Won);
    EXPECT_EQ(start(100ms)->claim(), Claim::AnotherRuns);
    EXPECT_EQ(next->takeKnocks(), 1);
}

TEST_F(Sole, ACopyThatHoldsTheLockWithoutAnsweringIsWaitedForAWhile) {
    const int held = holdLockOnly();
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(start(150ms)->claim(), Claim::AnotherRuns);
    EXPECT_GE(std::chrono::steady_clock::now() - before, 150ms);
    // On its way out: it lets go within the patience, and the start becomes the running copy.
    std::thread leaving([held] {
        std::this_thread::sleep_for(100ms);
        ::close(held);
    });
    auto next = start(2s);
    leaving.join();
    EXPECT_EQ(next->claim(), Claim::Won);
    EXPECT_GE(next->knockSocket(), 0);
    EXPECT_TRUE(problems.empty());
}

TEST_F(Sole, WhereNoGuardCanBeHadTheProgramRunsAndSaysSo) {
    auto nowhere = start(100ms, folder / "missing");
    EXPECT_EQ(nowhere->claim(), Claim::Unguarded);
    EXPECT_EQ(nowhere->knockSocket(), -1);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("missing/corvane.lock"), std::string::npos) << problems[0];
    // Too long a path for a socket: the lock still keeps a second copy out, which ends unheard.
    const fs::path deep = folder / std::string(100, 'd');
    fs::create_directories(deep);
    auto first = start(100ms, deep);
    EXPECT_EQ(first->claim(), Claim::Won);
    EXPECT_EQ(first->knockSocket(), -1);
    EXPECT_EQ(problems.size(), 2u);
    EXPECT_EQ(start(100ms, deep)->claim(), Claim::AnotherRuns);
    first->release();
    // Something in the socket's place that is not a socket: the same.
    fs::create_directories(folder / "corvane.socket" / "x");
    const long openBefore = openFiles();
    auto blocked = start(100ms);
    EXPECT_EQ(blocked->claim(), Claim::Won);
    EXPECT_EQ(blocked->knockSocket(), -1);
    EXPECT_EQ(problems.size(), 3u);
    EXPECT_EQ(openFiles(), openBefore + 1) << "the lock alone stays open";
}

// Without a runtime folder, one of the user's own in the shared folder; one of that name that anyone
// else could use is refused.
TEST_F(Sole, TheRuntimeFolderOrAPrivateOneOfTheUsersOwn) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string restore = saved ? saved : "";
    const auto report = [this](const std::string& t) { problems.push_back(t); };
    const fs::path own = folder / ("corvane-" + std::to_string(::getuid()));
    ::setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
    EXPECT_EQ(SoleInstance::defaultFolder(report, folder), "/run/user/4242");
    EXPECT_FALSE(fs::exists(own));
    for (const char* unfit : {"", "run/user"}) {
        ::setenv("XDG_RUNTIME_DIR", unfit, 1);
        EXPECT_EQ(SoleInstance::defaultFolder(report, folder), own) << unfit;
        struct stat st {};
        ASSERT_EQ(::lstat(own.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    EXPECT_TRUE(problems.empty());
    fs::permissions(own, fs::perms::group_read | fs::perms::group_exec, fs::perm_options::add);
    EXPECT_EQ(SoleInstance::defaultFolder(report, folder), "");
    fs::remove(own);
    fs::create_directory_symlink(folder, own);
    EXPECT_EQ(SoleInstance::defaultFolder(report, folder), "");
    EXPECT_EQ(SoleInstance::defaultFolder(report, folder / "missing"), "");
    EXPECT_EQ(problems.size(), 3u);
    saved ? ::setenv("XDG_RUNTIME_DIR", restore.c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace corvane
