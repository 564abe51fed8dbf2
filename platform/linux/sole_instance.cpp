#include "platform/linux/sole_instance.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>

#include "platform/linux/path_text.h"

namespace corvane {

namespace {

std::string why(const std::string& path) { return path + ": " + std::strerror(errno); }

// The address of a path; none when the path is too long for one.
std::optional<sockaddr_un> socketAddress(const std::string& text) {
    sockaddr_un address{};  // all zeros: the path's terminator among them
    if (text.size() >= sizeof address.sun_path) return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, text.data(), text.size());
    return address;
}

// Without blocking: a copy that is stopped, its queue of knocks full, would hold a blocking connect for
// ever, and the listener hears a burst of knocks without waiting at the end of it. The protocol is the
// family's one, by its name.
int localSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, PF_UNIX); }

}  // namespace

SoleInstance::SoleInstance(const std::string& folder, Reporter report, std::chrono::milliseconds patience)
    : lockPath_(joinPath(folder, "corvane.lock")),
      socketPath_(joinPath(folder, "corvane.socket")),
      report_(std::move(report)) {
    if (folder.empty()) return;  // defaultFolder has said why
    lock_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (lock_ >= 0) {
        if (::flock(lock_, LOCK_EX | LOCK_NB) == 0) {
            claim_ = Claim::Won;
            listen();
            return;
        }
        if (errno != EWOULDBLOCK) break;  // a lock asked for without waiting is never interrupted
        // The copy holding the lock may not listen yet, or no longer: the lock is tried again too, since
        // a copy on its way out lets it go a moment after its socket.
        if (knock() || std::chrono::steady_clock::now() >= deadline) {
            claim_ = Claim::AnotherRuns;
            release();
            return;
        }
        std::this_thread::sleep_for(kRetryPause);
    }
    // A file that opened but would not lock is let go with the guard, as it holds nothing.
    report_("runs without the guard against a second copy: " + why(lockPath_));
}

SoleInstance::~SoleInstance() { release(); }

void SoleInstance::release() {
    closeListener();
    if (lock_ >= 0) {
        ::close(lock_);
        lock_ = -1;
    }
}

bool SoleInstance::knock() const {
    const auto address = socketAddress(socketPath_);
    if (!address) return false;
    // A knock at a stopped copy fails at once, and the claim tries again until its patience runs out.
    const int fd = localSocket();
    if (fd < 0) return false;
    // Being let in is the whole message: the running copy counts the connection, not what it carries.
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
    ::close(fd);
    return answered;
}

void SoleInstance::listen() {
    const auto address = socketAddress(socketPath_);
    if (!address) {
        report_("a second start cannot reach this copy: the path is too long: " + socketPath_);
        return;
    }
    // Whatever socket is there was left by a copy that was killed: the lock is ours.
    ::unlink(socketPath_.c_str());
    listener_ = localSocket();
    if (listener_ >= 0 &&
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 &&
        ::chmod(socketPath_.c_str(), 0600) == 0 && ::listen(listener_, kKnockQueue) == 0)
        return;
    report_("a second start cannot reach this copy: " + why(socketPath_));
    closeListener();  // and the socket's file, if it was bound before the failing step
}

void SoleInstance::closeListener() {
    if (listener_ < 0) return;
    ::unlink(socketPath_.c_str());
    ::close(listener_);
    listener_ = -1;
}

int SoleInstance::takeKnocks() {
    int knocks = 0;
    if (listener_ < 0) return knocks;
    for (int fd; (fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; ++knocks) ::close(fd);
    return knocks;
}

std::string SoleInstance::defaultFolder(const Reporter& report) {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && *xdg == '/') return xdg;
    // Else a folder in the user's own cache, where nobody else can make one first, as anyone could in
    // a shared place, keeping every start out or every start unguarded.
    std::string cache;
    if (const char* c = std::getenv("XDG_CACHE_HOME"); c && *c == '/') {
        cache = c;
    } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
        cache = joinPath(home, ".cache");
    } else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir == '/') {
        cache = joinPath(user->pw_dir, ".cache");
    } else {
        report("runs without the guard against a second copy: no home folder");
        return {};
    }
    ::mkdir(cache.c_str(), 0700);  // as a missing cache folder is made
    const std::string own = joinPath(cache, "corvane");
    struct stat st {};
    if ((::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) || ::lstat(own.c_str(), &st) != 0) {
        report("runs without the guard against a second copy: " + why(own));
        return {};
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        report("runs without the guard against a second copy: " + own + " is not a folder of this user");
        return {};
    }
    // The user's own: made private again if it was opened up.
    if ((st.st_mode & 077) != 0 && ::chmod(own.c_str(), 0700) != 0) {
        report("runs without the guard against a second copy: " + why(own));
        return {};
    }
    return own;
}

}  // namespace corvane
