#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/power.h"

namespace corvane {

inline constexpr const char* kPowerSupplyRoot = "/sys/class/power_supply";

// Reads the power supplies under root (normally kPowerSupplyRoot) into the
// Windows-shaped record. Never throws: anything unreadable maps to the record's
// "unknown" values.
//
// Made to be read every second for a whole session: the supplies are listed once
// a minute, and at once when a file that read well fails (its supply has gone);
// their files are kept open and each is read with one pread. Whether a pack is in
// and its full size are read when the supplies are listed. On sysfs the reader
// listens to the kernel's announcements of changes to the supplies, and lists them
// again at each one; a tree of ordinary files instead (the tests' fake battery,
// whose files are replaced rather than rewritten) is watched, and listed again
// whenever it changes. Where it hears of changes, an adapter's state is read at
// the listing and then only every fifth reading, not at every one.
class SysfsPowerReader {
  public:
    // At most this many descriptors, the folder's and the watch's included: the
    // files beyond them are opened, read and closed at each reading, so a machine
    // with hundreds of supplies cannot leave the rest of the program without any.
    static constexpr int kMaxOpenFiles = 32;
    static constexpr std::chrono::seconds kListEvery{60};

    // What a reading fills in. The meter needs the power source and the level; the flag and the
    // time left cost two more reads of every battery at every reading (its status and its draw),
    // so a reader made for the source and the level leaves them unknown and reads a battery's
    // status only when no adapter tells the source.
    enum class Detail : std::uint8_t { kFull, kSourceAndLevel };

    explicit SysfsPowerReader(std::string root, Detail detail = Detail::kFull);
    ~SysfsPowerReader();
    SysfsPowerReader(const SysfsPowerReader&) = delete;
    SysfsPowerReader& operator=(const SysfsPowerReader&) = delete;

    SystemPowerStatus read();

    // The kernel's announcements (on sysfs), or a tree of ordinary files watched for supplies and
    // values replaced in it: by default every reading looks at the watch, one more call each second.
    // A caller whose event loop waits on descriptors anyway takes the looking over: handOverWatch()
    // gives it the watch's descriptor (-1 when there is none), and watchFired(), called when it is
    // readable, empties it and has the next reading list the supplies again.
    int handOverWatch();
    void watchFired();

    class Files;

  private:
    std::unique_ptr<Files> files_;
    Detail detail_;
};

// Whether a message of the kernel's announcements (its fields each ended by a 0 byte) is about a
// power supply.
bool isPowerSupplyUevent(std::string_view message);

// One reading, nothing kept open.
SystemPowerStatus readSysfsPowerStatus(const std::string& root);

// The same for the running system's supplies.
SystemPowerStatus readPlatformPowerStatus();

}  // namespace corvane
