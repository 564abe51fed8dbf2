#pragma once
// What the tests of the Linux backend share: a scratch folder, the count of open descriptors,
// environment variables put back as they were, standard input closed for a while, waits with a deadline,
// a file's mode and a folder's names.

#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace corvane::test {

// Every descriptor the process has open, to show that none is left behind; those open on one file.
inline long openFiles() { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); }
inline long openings(const std::filesystem::path& file) {
    std::error_code ec;
    return std::count_if(
        std::filesystem::directory_iterator("/proc/self/fd"), {},
        [&](const std::filesystem::path& fd) { return std::filesystem::read_symlink(fd, ec) == file; });
}

// A file's whole text, and a file written with exactly the text given (its folders made).
inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();  // a folder or a failing read gives what was read, without throwing
    return text.str();
}
inline void spit(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// Whether cond came true (asked until it does, once a millisecond) within half a minute, far above the normal
// time even on a busy machine.
template <typename Cond>
bool waitUntil(Cond cond) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (; !cond(); std::this_thread::sleep_for(std::chrono::milliseconds(1)))
        if (std::chrono::steady_clock::now() >= deadline) return false;
    return true;
}

// The permission bits of what a path names, a link itself included; 0 when nothing is there.
inline unsigned modeOf(const std::filesystem::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The names in a folder, hidden ones included.
inline std::set<std::string> namesIn(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

// Standard input closed, as a program started without it has it, which leaves descriptor 0 to the next
// file opened; put back at the end of the scope, or before with reopen().
struct StdinClosed {
    const int copy = ::dup(0);
    StdinClosed() { ::close(0); }
    ~StdinClosed() {
        reopen();
        ::close(copy);
    }
    void reopen() const { ::dup2(copy, 0); }
};

// What f returns, computed in a child process, which may take another user's ids or a view of the files
// of its own without changing the test's; empty when the child did not end well.
inline std::string inChild(const std::function<std::string()>& f) {
    int ends[2];
    if (::pipe(ends) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string out = f();
        ::_exit(::write(ends[1], out.data(), out.size()) == static_cast<ssize_t>(out.size()) ? 0 : 1);
    }
    ::close(ends[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = ::read(ends[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
    ::close(ends[0]);
    int status = -1;
    ::waitpid(child, &status, 0);
    return status == 0 ? out : std::string();
}

// In a child process of inChild: the folder and all under it read-only, as on a file system mounted so,
// for this process alone (a mount namespace of its own; only root may make one here).
inline bool readOnlyView(const std::filesystem::path& folder) {
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND | MS_REC, nullptr) == 0 &&
           ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

// A new empty folder in /tmp itself, whatever TMPDIR says (a socket's path must stay within about 100
// characters), removed with everything in it at the end.
class ScratchFolder {
  public:
    ScratchFolder() {
        char name[] = "/tmp/corvane-test-XXXXXX";
        if (!::mkdtemp(name)) throw std::system_error(errno, std::generic_category(), "mkdtemp");
        path_ = name;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Environment variables changed for a while and put back as they were, the time zone read again.
class ScopedEnv {
  public:
    ScopedEnv(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~ScopedEnv() {
        for (const auto& [name, value] : saved_) set(name, value ? value->c_str() : nullptr);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    // Sets the variable, or removes it for nullptr.
    static void set(const char* name, const char* value) {
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
        ::tzset();
    }

  private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

}  // namespace corvane::test
