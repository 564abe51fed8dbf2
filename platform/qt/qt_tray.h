#pragma once
// The notification-area icon: docked by hand in an X11 tray running at the start, else through
// QSystemTrayIcon (a tray of the desktop's message bus, or an X11 tray that starts later).

#include <QSystemTrayIcon>
#include <memory>

#include "platform/qt/qt_docked_tray_icon.h"
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
    // Either icon reports clicks only, never the mouse resting on it.
    bool reportsHover() const override { return false; }

  private:
    void notifyLater(TrayEvent event);

    std::unique_ptr<DockedTrayIcon> docked_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace corvane
