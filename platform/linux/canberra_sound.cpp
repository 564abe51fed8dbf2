#include "platform/linux/canberra_sound.h"

#include <canberra.h>
#include <dlfcn.h>

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <mutex>
#include <optional>
#include <thread>

namespace corvane {

namespace {

// Every sound gets the same id, so a new one cancels the one still playing.
constexpr std::uint32_t kAlarmId = 1;

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// The library plays other formats too; the alarm plays what the Windows program plays: a RIFF file of
// the WAVE form.
bool isWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[12] = {};
    if (!in.read(head, sizeof head)) return false;
    return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
}

// Chosen over Qt Multimedia's sound effect by measurement: linked in, that library and its audio stack
// (22 more shared libraries) load at every start and cost 2.7 MB of resident memory in every run, also
// in those whose alarm never sounds; this library is opened by the first sound alone, and at rest,
// before and after a sound, the two cost the same CPU time and wake-ups. Without the library or
// without a sound device the alarm stays silent, as with a missing file.
class Canberra {
  public:
    Canberra() {
        lib_ = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!lib_ || !find(create_, "ca_context_create") || !find(destroy_, "ca_context_destroy") ||
            !find(changeProps_, "ca_context_change_props") || !find(play_, "ca_context_play") ||
            !find(open_, "ca_context_open") || !find(cancel_, "ca_context_cancel") ||
            create_(&context_) != CA_SUCCESS)
            return;
        changeProps_(context_, CA_PROP_APPLICATION_NAME, "Corvane", nullptr);
        opened_ = open_(context_) == CA_SUCCESS;  // finds a driver for the sound system there is
        silenceAlsa();
    }
    ~Canberra() {
        if (context_) destroy_(context_);  // stops what still plays and waits for its thread
        if (lib_) dlclose(lib_);
    }
    Canberra(const Canberra&) = delete;
    Canberra& operator=(const Canberra&) = delete;

    // The cancel cuts the sound still playing at once through the library's sound-server driver
    // (measured with a 30 s file). Its ALSA driver only stops feeding the device, and what the device
    // holds plays out: through PulseAudio's ALSA plugin the whole sound, so there a file longer than
    // the alarm's ten seconds overlaps the next one. Nothing is ever queued.
    void play(const std::string& path) {
        if (!opened_) return;
        cancel_(context_, kAlarmId);
        play_(context_, kAlarmId, CA_PROP_MEDIA_FILENAME, path.c_str(), nullptr);
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
    decltype(&ca_context_destroy) destroy_ = nullptr;
    decltype(&ca_context_change_props) changeProps_ = nullptr;
    decltype(&ca_context_open) open_ = nullptr;
    decltype(&ca_context_play) play_ = nullptr;
    decltype(&ca_context_cancel) cancel_ = nullptr;
};

}  // namespace

// Takes the newest path only: a request that arrives while the last one is still being opened replaces
// it, so the requests never pile up.
class CanberraSound::Player {
  public:
    Player() : thread_([this] { run(); }) {}
    ~Player() {
        {
            const std::lock_guard lock(mutex_);
            quitting_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void play(const std::string& path) {
        {
            const std::lock_guard lock(mutex_);
            next_ = path;
        }
        wake_.notify_one();
    }

  private:
    void run() {
        Canberra library;  // loaded here: opening a library, a file or a device may take its time
        for (;;) {
            std::string path;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return quitting_ || next_; });
                if (quitting_) return;
                path = std::move(*next_);
                next_.reset();
            }
            if (isWav(path)) library.play(path);
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::string> next_;
    bool quitting_ = false;
    std::thread thread_;  // last: it starts once everything it uses is there
};

CanberraSound::CanberraSound() = default;
CanberraSound::~CanberraSound() = default;

void CanberraSound::playAsync(const std::string& path) {
    if (!player_) player_ = std::make_unique<Player>();
    player_->play(path);
}

}  // namespace corvane
