#pragma once
// The notification-area icon through QSystemTrayIcon.

#include <QSystemTrayIcon>
#include <memory>

#include "platform/runtime.h"

namespace corvane {

class QtTray final : public TrayIcon {
  public:
    QtTray();
    ~QtTray() override;

    void shellNotifyIcon(int message, const NotifyIconData& data) override;
    // Qt's tray reports clicks only, never the mouse resting on the icon.
    bool reportsHover() const override { return false; }

    // Takes the icon off the tray at once, as the end of the program does.
    void remove() { icon_.reset(); }

  private:
    void notifyLater(int mouseMessage);

    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace corvane
