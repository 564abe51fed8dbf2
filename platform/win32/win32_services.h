#pragma once
// The Windows backend's small services: the screen and cursor, the battery, the time of day, the
// alarm sound and the program's folder, each a thin layer over the system call of the same name.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/runtime.h"

namespace corvane {

class Win32Screen final : public Screen {
  public:
    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
    int widthPixels() override;
    int heightPixels() override;
    // Windows puts the primary monitor's top left corner at the origin itself.
    std::vector<PixelRect> monitors() override;
    void getCursorPos(PointPx& point) override;
    // What AdjustWindowRectEx adds around the client area of a window of the style's window styles.
    WindowFrame windowFrame(const FormStyle& style) override;
    Color systemColor(SystemColor which) override;
};

class Win32Power final : public PowerService {
  public:
    int getSystemPowerStatus(SystemPowerStatus& status) override;
    // The system's call; a test puts a battery of its own here.
    std::function<BOOL(SYSTEM_POWER_STATUS*)> query = [](SYSTEM_POWER_STATUS* s) {
        return GetSystemPowerStatus(s);
    };
};

class Win32Clock final : public Clock {
  public:
    std::string timeOfDay() override;
    // The system's call; a test puts a clock of its own here.
    std::function<void(SYSTEMTIME*)> localTime = [](SYSTEMTIME* t) { GetLocalTime(t); };
};

// The system plays the file on a thread of its own and cuts off the sound still playing; a file it
// cannot play it skips without a word.
class Win32Sound final : public Sound {
  public:
    void playAsync(const std::string& path) override;
};

class Win32AppInfo final : public AppInfo {
  public:
    std::string executableFolder() override;
    char pathSeparator() override { return '\\'; }
};

// The folder part of the executable's full path, without a trailing backslash except at a drive's
// root ("C:\").
std::string folderOfModulePath(const std::string& modulePath);

}  // namespace corvane
