#pragma once
// The seam between the program and a window system: small service interfaces and the peers that mirror
// the forms runtime onto native windows. Exactly one backend implements these in each executable.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/forms.h"
#include "platform/power.h"

namespace corvane {

struct PointPx {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Mirrors one form onto a native window. The form calls these after its state has changed.
class FormPeer {
  public:
    virtual ~FormPeer() = default;
    virtual void geometryChanged() = 0;
    virtual void visibilityChanged() = 0;
    virtual void backColorChanged() = 0;
    virtual void pictureChanged(Picture& picture) = 0;  // new pixels or a new place
    // The window-order call: insertAfter -1 puts the window into the topmost band, -2 takes it out;
    // flags 3 keep its size and place.
    virtual void setWindowPos(int insertAfter, int x, int y, int cx, int cy, unsigned flags) = 0;
};

class TimerPeer {
  public:
    virtual ~TimerPeer() = default;
    virtual void stateChanged() = 0;  // enabled or interval changed
};

class Screen {
  public:
    virtual ~Screen() = default;
    virtual double twipsPerPixelX() = 0;
    virtual double twipsPerPixelY() = 0;
    virtual int widthPixels() = 0;  // the primary screen
    virtual int heightPixels() = 0;
    double widthTwips() { return widthPixels() * twipsPerPixelX(); }
    double heightTwips() { return heightPixels() * twipsPerPixelY(); }
    // Fills the point with the cursor's place in screen pixels; leaves it alone when that fails.
    virtual void getCursorPos(PointPx& point) = 0;
};

// Per-user store of texts under application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string getSetting(const std::string& app, const std::string& section, const std::string& key,
                                   const std::string& defaultText) = 0;
    virtual void saveSetting(const std::string& app, const std::string& section, const std::string& key,
                             const std::string& text) = 0;
    // Makes the saves since the last commit durable, all of them or none.
    virtual void commit() = 0;
};

class PowerService {
  public:
    virtual ~PowerService() = default;
    virtual int getSystemPowerStatus(SystemPowerStatus& status) = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::string timeOfDay() = 0;  // "HH:MM:SS", 24-hour clock, local time
};

// The notification-area icon record, in the shape of the first-version Windows record.
struct NotifyIconData {
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    bool hIcon = false;  // the program icon, or none
    std::array<char, 64> szTip{};
};

constexpr int kNimAdd = 0;
constexpr int kNimModify = 1;
constexpr int kNimDelete = 2;

class TrayIcon {
  public:
    virtual ~TrayIcon() = default;
    virtual void shellNotifyIcon(int message, const NotifyIconData& data) = 0;
    // The icon's mouse notifications, as the number of the mouse message that happened on it.
    std::function<void(int mouseMessage)> onNotify;
};

class ProgramInfo {
  public:
    virtual ~ProgramInfo() = default;
    // Folder of the executable as the platform reports it: no trailing separator except at a root.
    virtual std::string executableFolder() = 0;
    virtual char pathSeparator() = 0;
};

class Runtime {
  public:
    virtual ~Runtime() = default;

    virtual std::unique_ptr<FormPeer> createFormPeer(Form& form) = 0;
    virtual std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) = 0;

    virtual Screen& screen() = 0;
    virtual SettingsStore& settings() = 0;
    virtual PowerService& power() = 0;
    virtual Clock& clock() = 0;
    virtual TrayIcon& tray() = 0;
    virtual ProgramInfo& program() = 0;

    // Runs the event loop until end(); returns the process exit code.
    virtual int run() = 0;
    // Ends the program at once: no timer fires and no other handler runs after it.
    virtual void end() = 0;
    virtual bool ended() const = 0;

    // A problem the user should hear about once (a settings file that cannot be read or written).
    virtual void reportProblem(const std::string& text) = 0;
};

// Each backend defines this; CMake links exactly one backend into an executable.
std::unique_ptr<Runtime> createRuntime(int argc, char** argv);

}  // namespace corvane
