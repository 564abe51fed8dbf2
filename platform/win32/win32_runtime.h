#pragma once
// The Windows backend: the forms runtime over the Win32 API itself. One thread, one message loop; the
// forms become native windows (form_window.h), the timers SetTimer timers on a hidden window, the
// settings live in the registry and the icon in the notification area.

#include <windows.h>

#include <map>
#include <string>

#include "platform/runtime.h"
#include "platform/win32/handles.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/tray_icon.h"

namespace corvane::win32 {

class TimerSlot;

class Win32Runtime final : public Runtime, Screen, PowerService, Clock, ProgramInfo {
  public:
    Win32Runtime();
    ~Win32Runtime() override;
    Win32Runtime(const Win32Runtime&) = delete;
    Win32Runtime& operator=(const Win32Runtime&) = delete;

    // ---- Runtime ----
    std::unique_ptr<FormPeer> createFormPeer(Form& form) override;
    std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) override;
    Screen& screen() override { return *this; }
    SettingsStore& settings() override { return store_; }
    PowerService& power() override { return *this; }
    Clock& clock() override { return *this; }
    TrayIcon& tray() override { return tray_; }
    ProgramInfo& program() override { return *this; }
    int run() override;
    void end() override;
    bool ended() const override { return ended_; }
    void reportProblem(const std::string& text) override;

    // ---- For the backend's windows ----
    ShellTray& shellTray() { return tray_; }
    HWND timerWindow() const { return timerWindow_.get(); }
    // The native window of a form of this runtime.
    static HWND windowOf(Form& form);

  private:
    friend class TimerSlot;
    static LRESULT CALLBACK timerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Screen
    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
    int widthPixels() override;
    int heightPixels() override;
    void getCursorPos(PointPx& point) override;
    // PowerService
    int getSystemPowerStatus(SystemPowerStatus& status) override;
    // Clock
    std::string timeOfDay() override;
    // ProgramInfo
    std::string executableFolder() override;
    char pathSeparator() override { return '\\'; }

    RegistryStore store_;
    ShellTray tray_;
    UniqueWindow timerWindow_;
    std::map<UINT_PTR, TimerSlot*> timers_;
    UINT_PTR nextTimerId_ = 1;
    bool ended_ = false;
};

// The folder part of the executable's full path, without a trailing backslash except at a drive's
// root ("C:\").
std::string folderOfModulePath(const std::string& modulePath);

}  // namespace corvane::win32
