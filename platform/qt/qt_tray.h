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

    void add(const std::string& tip) override;
    void setTip(const std::string& tip) override;
    // Takes the icon off the tray at once, also at the end of the program.
    void remove() override;
    // Qt's tray reports clicks only, never the mouse resting on the icon.
    bool reportsHover() const override { return false; }

  private:
    void notifyLater(TrayEvent event);

    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace corvane
