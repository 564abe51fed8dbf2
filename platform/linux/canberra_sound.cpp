#include "platform/linux/canberra_sound.h"

#include <canberra.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

namespace corvane {

namespace {

// Every sound gets the same id, so a new one cancels the one still playing.
constexpr std::uint32_t kAlarmId = 1;

// Where Windows plays its default sound for a file it cannot play, the desktop's sound theme has the
// bell.
constexpr const char* kDefaultAlert = "bell";

// How long the end of the program waits for a call into the library that has not come back.
constexpr auto kEndPatience = std::chrono::milliseconds(500);

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// The sound file opened for the library, when it is what the Windows program plays: a RIFF file of the
// WAVE form (the library plays other formats too). Opened without blocking, since a FIFO or a device
// would hold a plain open for ever, and kept only if it is a regular file. -1 otherwise.
int openWav(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    char head[12] = {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::pread(fd, head, sizeof head, 0) == sizeof head &&
        std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0)
        return fd;
    ::close(fd);
    return -1;
}

// Chosen over Qt Multimedia's sound effect by measurement: linked in, that library and its audio stack
// (22 more shared libraries) load at every start and cost 2.7 MB of resident memory in every run, also
// in those whose alarm never sounds; this library is opened by the first sound alone, and at rest,
// before and after a sound, the two cost the same CPU time and wake-ups. Without the library or
// without a sound device the alarm stays silent.
class Canberra {
  public:
    Canberra() {
        lib_ = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!lib_ || !find(create_, "ca_context_create") || !find(changeProps_, "ca_context_change_props") ||
            !find(play_, "ca_context_play") || !find(open_, "ca_context_open") ||
            !find(cancel_, "ca_context_cancel") || create_(&context_) != CA_SUCCESS)
            return;
        changeProps_(context_, CA_PROP_APPLICATION_NAME, "Corvane", nullptr);
        opened_ = open_(context_) == CA_SUCCESS;  // finds a driver for the sound system there is
        silenceAlsa();
    }
    // Neither the context nor the library is taken down: their sounds' threads end with the process.
    // Destroying the context unloads the driver, whose thread for the last sound still runs a few of
    // its instructions after letting go: the end right after a sound crashed in the unloaded code.
    ~Canberra() = default;
    Canberra(const Canberra&) = delete;
    Canberra& operator=(const Canberra&) = delete;

    // The file through the descriptor it was checked on, so that the library reads what was checked,
    // or, where that fails, the default alert: an alarm that is on sounds wherever a sound can.
    //
    // The cancel cuts the sound still playing at once through the library's sound-server driver
    // (measured with a 30 s file). Its ALSA driver only stops feeding the device, and what the device
    // holds plays out: through PulseAudio's ALSA plugin the whole sound, so there a file longer than
    // the alarm's ten seconds overlaps the next one. Nothing is ever queued.
    void playFileOrAlert(int fd) {
        if (!opened_) return;
        cancel_(context_, kAlarmId);
        if (fd >= 0) {
            const std::string file = "/proc/self/fd/" + std::to_string(fd);
            if (play_(context_, kAlarmId, CA_PROP_MEDIA_FILENAME, file.c_str(), nullptr) == CA_SUCCESS)
                return;
        }
        play_(context_, kAlarmId, CA_PROP_EVENT_ID, kDefaultAlert, nullptr);
    }

  private:
    // The sound device's library tells standard error of every sound it cannot play, on a machine
    // without a sound card at every alarm; the alarm is as silent about that as about a missing file.
    static void silenceAlsa() {
        void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_NOLOAD);  // only where the driver loaded it
        if (!alsa) return;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        if (auto setHandler = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler")))
            setHandler(ignoreAlsaError);
        dlclose(alsa);  // the driver keeps it loaded
    }

    template <class F>
    bool find(F& fn, const char* name) {
        fn = reinterpret_cast<F>(dlsym(lib_, name));
        return fn != nullptr;
    }

    void* lib_ = nullptr;
    ca_context* context_ = nullptr;
    bool opened_ = false;
    decltype(&ca_context_create) create_ = nullptr;
    decltype(&ca_context_change_props) changeProps_ = nullptr;
    decltype(&ca_context_open) open_ = nullptr;
    decltype(&ca_context_play) play_ = nullptr;
    decltype(&ca_context_cancel) cancel_ = nullptr;
};

}  // namespace

// The library's play call returns before the sound ends, but it opens the file and the sound device
// first. Measured with its ALSA driver on a busy machine: loading the library and opening its context
// 8 to 24 ms, a first sound 4 to 24 ms, later ones 1 to 7 ms with one of 184 ms; a device that does not
// answer holds the call for good. So the library is called from a thread of its own, which the tick
// never waits for and the end of the program waits for only a moment. It takes the newest path only:
// a request that arrives while the last one is still being played replaces it, so the requests never
// pile up.
class CanberraSound::Player {
  public:
    Player() : shared_(std::make_shared<Shared>()), thread_([s = shared_] { run(*s); }) {}
    ~Player() {
        std::unique_lock lock(shared_->mutex);
        shared_->quitting = true;
        shared_->wake.notify_all();
        if (shared_->wake.wait_for(lock, kEndPatience, [this] { return shared_->done; })) {
            lock.unlock();
            thread_.join();
        } else {
            lock.unlock();
            thread_.detach();  // it ends with the process
        }
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void play(const std::string& path) {
        const std::lock_guard lock(shared_->mutex);
        shared_->next = path;
        shared_->wake.notify_all();
    }

  private:
    // What the thread shares with the player, kept alive by the thread too: a thread left behind at
    // the end still finds it.
    struct Shared {
        std::mutex mutex;
        std::condition_variable wake;
        std::optional<std::string> next;
        bool quitting = false;
        bool done = false;  // the thread is through with the library
    };

    static void run(Shared& s) {
        Canberra library;  // loaded here: opening the library, its driver or the device may take its time
        for (;;) {
            std::string path;
            {
                std::unique_lock lock(s.mutex);
                s.wake.wait(lock, [&s] { return s.quitting || s.next; });
                if (s.quitting) break;
                path = std::move(*s.next);
                s.next.reset();
            }
            const int fd = openWav(path);
            library.playFileOrAlert(fd);
            if (fd >= 0) ::close(fd);
        }
        const std::lock_guard lock(s.mutex);
        s.done = true;
        s.wake.notify_all();
    }

    std::shared_ptr<Shared> shared_;
    std::thread thread_;  // last: it starts once everything it uses is there
};

CanberraSound::CanberraSound() = default;
CanberraSound::~CanberraSound() = default;

void CanberraSound::playAsync(const std::string& path) {
    if (!player_) player_ = std::make_unique<Player>();
    player_->play(path);
}

}  // namespace corvane
