#pragma once
// The notification-area icon: the program's one icon as the shell's first-version record, and the
// icon put back when the taskbar is recreated (after Explorer restarts, the shell has forgotten
// every icon and broadcasts "TaskbarCreated"). The icon's notifications and that broadcast arrive at
// the runtime's hidden window, which hands them here.

#include <windows.h>
// (after windows.h, which it needs)
#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/runtime.h"
#include "platform/win32/handles.h"

namespace corvane {

// The icon's id, and the message its notifications come as to the window (lParam: the mouse message).
inline constexpr UINT kTrayIconId = 1;
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
// The timer that asks a refusing shell again, on the notifications' window; far above the ids of the
// program's own timers, which count up from 1.
inline constexpr UINT_PTR kTrayRetryTimer = 0x7fff0001;

// The first-version record of the program's icon with its tip, to add it or change it: its size is that
// of the first-version layout on this platform (88 bytes in a 32-bit program, more in a 64-bit one), so
// every shell since the first accepts it. The tip is cut where the record's field ends, its terminating
// NUL kept, and the rest of the field is blanks.
NOTIFYICONDATAA toShellRecord(const std::string& tip, HWND window, HICON icon);

class Win32Tray final : public TrayIcon {
  public:
    Win32Tray();

    // The window the shell sends the icon's notifications to.
    void setWindow(HWND window) { window_ = window; }

    void add(const std::string& tip) override;
    void setTip(const std::string& tip) override;
    void remove() override;
    // The shell sends a message for every mouse move over the icon.
    bool reportsHover() const override { return true; }

    // Handles a message to the notifications' window if it is the icon's notification or the new
    // taskbar's broadcast; returns whether it was.
    bool handleMessage(UINT message, LPARAM lParam);
    // The retry timer's tick: the icon offered again.
    void retry() { restore(); }

    // The shell's entry point; a test puts a recorder here.
    std::function<BOOL(DWORD, NOTIFYICONDATAA*)> shell = [](DWORD message, NOTIFYICONDATAA* nid) {
        return Shell_NotifyIconA(message, nid);
    };

  private:
    // Replays the last add, then the last modify, into a new notification area. A shell that is
    // starting or busy (at log-on above all) refuses an icon, and is asked again each second until it
    // takes it; a refused add that reached the shell after all is found by the modify that follows.
    void restore();

    HWND window_ = nullptr;
    UniqueIcon icon_;
    UINT taskbarCreated_ = 0;
    std::optional<NOTIFYICONDATAA> lastAdd_;
    std::optional<NOTIFYICONDATAA> lastModify_;
};

}  // namespace corvane
