#pragma once
// One running copy of the program per user: a lock held for the whole run and a socket beside it, both
// in the user's runtime folder. The kernel lets go of the lock with its process, so a lock left by a
// killed copy never stands in the way of a start; the socket is how a later start tells the running
// copy that the user has started the program again.

#include <chrono>
#include <functional>
#include <string>

namespace corvane {

class SoleInstance {
  public:
    enum class Claim {
        Won,          // this is the running copy now
        AnotherRuns,  // a copy runs; it has been told of this start unless it did not answer in time
        Unguarded,    // no lock could be had at all: the program runs, but without the guard
    };
    using Reporter = std::function<void(const std::string&)>;

    // While a copy holds the lock without answering (it is starting, or on its way out), the claim tries
    // again for up to the given patience.
    SoleInstance(const std::string& folder, Reporter report,
                 std::chrono::milliseconds patience = std::chrono::seconds(2));
    ~SoleInstance();
    SoleInstance(const SoleInstance&) = delete;
    SoleInstance& operator=(const SoleInstance&) = delete;

    Claim claim() const { return claim_; }
    // The socket later starts knock on, to be watched for reading; -1 when there is none.
    int knockSocket() const { return listener_; }
    // Takes the knocks that have come in; returns how many.
    int takeKnocks();
    // Gives the claim up, socket first: a start from now on becomes the running copy.
    void release();

    // $XDG_RUNTIME_DIR when it names an absolute folder; otherwise "corvane" in the user's cache folder
    // ($XDG_CACHE_HOME, or ~/.cache), made if need be, private to the user. Empty when that is no
    // folder of the user's own (reported).
    static std::string defaultFolder(const Reporter& report);

  private:
    bool knock() const;
    void listen();
    void closeListener();

    // How long a claim waits between tries while the lock's holder does not answer, and how many knocks
    // the socket holds before later starts are turned away (the running copy takes them at its next tick).
    static constexpr std::chrono::milliseconds kRetryPause{20};
    static constexpr int kKnockQueue = 8;

    std::string lockPath_;
    std::string socketPath_;
    Reporter report_;
    Claim claim_ = Claim::Unguarded;
    int lock_ = -1;
    int listener_ = -1;
};

}  // namespace corvane
