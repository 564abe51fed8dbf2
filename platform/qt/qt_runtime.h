#pragma once
// The Linux desktop backend: Qt 6 widgets for the windows, the sysfs battery reader, an INI file for
// the settings and QSystemTrayIcon for the notification-area icon.

#include <QApplication>
#include <QSystemTrayIcon>
#include <memory>
#include <vector>

#include "platform/linux/ini_store.h"
#include "platform/runtime.h"

class QSocketNotifier;

namespace corvane {

class QtRuntime final : public Runtime, Screen, PowerService, Clock, TrayIcon, ProgramInfo {
  public:
    QtRuntime(int& argc, char** argv);
    ~QtRuntime() override;

    std::unique_ptr<FormPeer> createFormPeer(Form& form) override;
    std::unique_ptr<TimerPeer> createTimerPeer(Timer& timer) override;
    Screen& screen() override { return *this; }
    SettingsStore& settings() override { return store_; }
    PowerService& power() override { return *this; }
    Clock& clock() override { return *this; }
    TrayIcon& tray() override { return *this; }
    ProgramInfo& program() override { return *this; }
    int run() override;
    void end() override;
    bool ended() const override { return ended_; }
    void reportProblem(const std::string& text) override;

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
    // TrayIcon
    void shellNotifyIcon(int message, const NotifyIconData& data) override;
    // ProgramInfo
    std::string executableFolder() override;
    char pathSeparator() override { return '/'; }

    void registerMain(Form* form) { mainForm_ = form; }
    void unregister(Form* form);

  private:
    void installSignalHandlers();
    void closeRequested(std::int16_t reason);

    QApplication app_;
    IniSettingsStore store_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
    std::unique_ptr<QSocketNotifier> signalNotifier_;
    Form* mainForm_ = nullptr;
    bool ended_ = false;
};

}  // namespace corvane
