#pragma once
// The notification-area icon: the program's record turned into the shell's first-version record, and
// the icon put back when the taskbar is recreated (after Explorer restarts, the shell has forgotten
// every icon and broadcasts "TaskbarCreated").

#include <windows.h>
// (after windows.h, which it needs)
#include <shellapi.h>

#include <functional>
#include <optional>

#include "platform/runtime.h"
#include "platform/win32/handles.h"

namespace corvane::win32 {

// The first-version record: its size is that of the first-version layout on this platform (88 bytes
// in a 32-bit program, more in a 64-bit one), so every shell since the first accepts it.
NOTIFYICONDATAA toShellRecord(const NotifyIconData& data, HWND window, HICON icon);

class ShellTray final : public TrayIcon {
  public:
    ShellTray();

    void setWindow(HWND window) { window_ = window; }
    HWND window() const { return window_; }
    // The window message the icon's notifications arrive as, 0 while no icon is set up.
    UINT callbackMessage() const { return callbackMessage_; }
    UINT taskbarCreatedMessage() const { return taskbarCreated_; }

    void shellNotifyIcon(int message, const NotifyIconData& data) override;
    // Replays the last add, then the last modify, into a new notification area.
    void restore();

    // The shell's entry point; a test puts a recorder here.
    std::function<BOOL(DWORD, NOTIFYICONDATAA*)> shell = [](DWORD message, NOTIFYICONDATAA* nid) {
        return Shell_NotifyIconA(message, nid);
    };

  private:
    HWND window_ = nullptr;
    UniqueIcon icon_;
    UINT callbackMessage_ = 0;
    UINT taskbarCreated_ = 0;
    std::optional<NOTIFYICONDATAA> lastAdd_;
    std::optional<NOTIFYICONDATAA> lastModify_;
};

}  // namespace corvane::win32
