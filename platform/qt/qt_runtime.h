#pragma once
// The Linux desktop backend.
//
// Implements: forms as Qt 6 top-level widgets that paint the model's pixels (qt_form_peer,
// qt_form_widget); timers and deferred calls on Qt's event loop (qt_timer_peer, post); the
// notification-area icon, docked by hand in an X11 tray or through QSystemTrayIcon (qt_tray,
// qt_docked_tray_icon); the screen, cursor and program folder
// (qt_services); the battery from /sys/class/power_supply and the clock
// (platform/linux/linux_services); the alarm sound (platform/linux/canberra_sound); the settings in an
// INI file under the XDG configuration folder (platform/linux/ini_store); SIGTERM, SIGINT, SIGHUP,
// the session manager's save request and the X server going away as the end of the session
// (qt_signal_pipe, qt_display_loss); one running copy per
// user through a lock and a socket in the user's runtime folder (platform/linux/sole_instance).
// Differs from the others: the tray icon reports clicks but no hovering (reportsHover() is false);
// under Wayland the program runs through XWayland, since Wayland lets no window place itself; what
// window managers read and Qt has no flag for is set on the X11 window directly (qt_x11_hints); a
// problem is reported on standard error.

#include <QApplication>
#include <QSocketNotifier>
#include <memory>
#include <optional>

#include "platform/linux/canberra_sound.h"
#include "platform/linux/ini_store.h"
#include "platform/linux/linux_services.h"
#include "platform/linux/sole_instance.h"
#include "platform/qt/qt_choosers.h"
#include "platform/qt/qt_display_loss.h"
#include "platform/qt/qt_help.h"
#include "platform/qt/qt_popup_menu.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/qt_signal_pipe.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_tray.h"
#include "platform/runtime.h"

namespace corvane {

class QtRuntime final : public Runtime {
  public:
    // argc must outlive the runtime: QApplication keeps a reference to it.
    QtRuntime(int& argc, char** argv);
    ~QtRuntime() override;

    std::unique_ptr<FormPeer> createFormPeer(Form& form) override;
    std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) override;
    Screen& screen() override { return screen_; }
    SettingsStore& settings() override { return store_; }
    PowerService& power() override { return power_; }
    Clock& clock() override { return clock_; }
    TrayIcon& tray() override { return tray_; }
    AppInfo& appInfo() override { return appInfo_; }
    Sound& sound() override { return sound_; }
    TextService& text() override { return text_; }
    PopupMenu& popupMenu() override { return popupMenu_; }
    HelpService& help() override { return help_; }
    Choosers& choosers() override { return choosers_; }
    void post(std::function<void()> fn) override;
    int run() override;
    void reportProblem(const std::string& text) override;
    bool claimSoleInstance() override;

  protected:
    void stopLoop() override;

  private:
    QApplication app_;  // first in, last out: every service below needs it
    QtScreen screen_;
    IniSettingsStore store_;
    SysfsPowerService power_;
    LocalClock clock_;
    QtTray tray_;
    QtAppInfo appInfo_;
    CanberraSound sound_;
    QtText text_{screen_};
    QtPopupMenu popupMenu_;
    QtHelp help_;
    QtChoosers choosers_;
    QtSignalPipe signals_;
    QtDisplayLoss displayLoss_;
    bool looping_ = false;  // the event loop runs: from then on the user may have changed something
    int problems_ = 0;      // reported so far
    std::optional<SoleInstance> sole_;
    std::unique_ptr<QSocketNotifier> knocks_;
    std::unique_ptr<QSocketNotifier> powerWatch_;
};

}  // namespace corvane
