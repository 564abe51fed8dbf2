#pragma once
// The notification-area icon docked by hand in an X11 tray: a small window of the program's own that
// the tray takes in (the freedesktop system tray protocol). Qt's own tray icon does the same and more,
// but what it runs to choose its way and set itself up keeps more of Qt's code resident for the
// program's whole life.

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QIcon>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/runtime.h"

namespace corvane {

class DockedTrayIcon final : public QWidget, public QAbstractNativeEventFilter {
  public:
    // Null where there is no X11 tray to dock in now (another platform, or no tray running): Qt's own
    // icon is the one to use there, which also waits for a tray that starts later.
    static std::unique_ptr<DockedTrayIcon> dock(QIcon icon, std::function<void(TrayEvent)> report);
    ~DockedTrayIcon() override;

    // A tray that ends sends the icon back to the desktop, where it hides until the next tray, which it
    // docks in as that announces itself.
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    struct Atoms {
        xcb_atom_t selection, opcode, manager;
    };
    DockedTrayIcon(xcb_connection_t* c, xcb_window_t root, Atoms atoms, bool alpha, QIcon icon,
                   std::function<void(TrayEvent)> report);
    void requestDock();

    xcb_connection_t* c_;
    xcb_window_t root_;
    Atoms atoms_;
    QIcon icon_;
    std::function<void(TrayEvent)> report_;
};

}  // namespace corvane
