#pragma once
// The Windows backend: the forms runtime over the Win32 API itself, on one thread with one message
// loop.
//
// Implements: each form as a top-level window built from its style (win32_form_peer.h), timers as
// SetTimer timers (win32_timer_peer.h), deferred calls as posted messages, the settings in the
// registry where earlier versions kept them (registry_store.h), the icon in the notification area
// (win32_tray.h), the screen, battery, clock, alarm sound and program folder (win32_services.h), text
// through GDI (win32_text.h), popup menus through TrackPopupMenu, owned by the hidden window below
// (win32_popup_menu.h), the help through WinHelpA or the browser (win32_help.h), and one running copy
// per session through a named mutex, a later start knocking on the running copy's hidden window.
// Differs from the others: the runtime keeps a hidden top-level window of its own, which the shell's
// notifications (the icon's mouse messages, "TaskbarCreated") and the end of the session reach; a
// message-only window would hear no broadcasts. The end of the session is heard at the query already,
// so the settings are saved even where the process is cut off right after it agrees to end. The tray
// reports the mouse hovering over the icon.

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/runtime.h"
#include "platform/win32/handles.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/win32_choosers.h"
#include "platform/win32/win32_help.h"
#include "platform/win32/win32_popup_menu.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_timer_peer.h"
#include "platform/win32/win32_tray.h"

namespace corvane {

class Win32Runtime final : public Runtime {
  public:
    Win32Runtime();
    ~Win32Runtime() override;
    Win32Runtime(const Win32Runtime&) = delete;
    Win32Runtime& operator=(const Win32Runtime&) = delete;

    // ---- Runtime ----
    std::unique_ptr<FormPeer> createFormPeer(Form& form) override;
    std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) override { return timers_.createPeer(timer); }
    Screen& screen() override { return screen_; }
    SettingsStore& settings() override { return store_; }
    Win32Power& power() override { return power_; }
    Win32Clock& clock() override { return clock_; }
    Win32Tray& tray() override { return tray_; }
    AppInfo& appInfo() override { return appInfo_; }
    Sound& sound() override { return sound_; }
    Win32Text& text() override { return text_; }
    PopupMenu& popupMenu() override { return popupMenu_; }
    HelpService& help() override { return help_; }
    Choosers& choosers() override { return choosers_; }
    void post(std::function<void()> fn) override;
    int run() override;
    void reportProblem(const std::string& text) override;
    bool claimSoleInstance() override;

    // The runtime's hidden window: timers, deferred calls, the shell's notifications, the session.
    HWND window() const { return window_.get(); }
    // The native window of a form of this runtime.
    static HWND windowOf(Form& form);

  protected:
    void stopLoop() override;

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void runPosted();
    void sessionEnds();
    void displayChanged();
    bool knockOnRunningCopy() const;

    Win32Screen screen_;
    RegistryStore store_;
    Win32Power power_;
    Win32Clock clock_;
    Win32Tray tray_;
    Win32AppInfo appInfo_;
    Win32Sound sound_;
    Win32Text text_{screen_};
    Win32PopupMenu popupMenu_;
    Win32Help help_;
    Win32Choosers choosers_;
    Win32Timers timers_;
    std::deque<std::function<void()>> posted_;
    bool postPending_ = false;  // a message to run the deferred calls is on its way
    bool sessionEnded_ = false;
    UniqueWindow window_;
    UniqueHandle soleMutex_;  // held by this thread while this is the running copy
    UINT anotherStartMessage_ = 0;
};

}  // namespace corvane
